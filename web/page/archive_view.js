// What the archive's pages share: reading the JSON, dates, and table cells.

export const $ = (id) => document.getElementById(id);

export async function fetchJson(url) {
  const answer = await fetch(url, { cache: 'no-store' });
  if (!answer.ok) throw new Error(answer.status === 404 ? 'Not found' : `Error ${answer.status}`);
  return answer.json();
}

// "2026-12-09 05:30" in UTC from seconds since 1970.
export function utcText(seconds) {
  return new Date(seconds * 1000).toISOString().replace('T', ' ').replace(/:\d\d\.\d+Z$/, '');
}

export function cell(row, text, className) {
  const td = row.insertCell();
  td.textContent = text;
  if (className) td.className = className;
  return td;
}

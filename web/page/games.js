// The list of archived games: 50 a page, newest first, optionally only the
// games of one player. The filter and page live in the address, so a list
// can be linked and the browser's back button works.
import { $, fetchJson, utcText, cell } from './archive_view.js';

const params = new URLSearchParams(window.location.search);
const handle = params.get('handle') || '';
const page = Math.max(1, Math.floor(Number(params.get('page') || '1')) || 1);

function listUrl(h, p) {
  const q = new URLSearchParams();
  if (h) q.set('handle', h);
  if (p > 1) q.set('page', String(p));
  const s = q.toString();
  return s ? `/games?${s}` : '/games';
}

$('handle').value = handle;
$('filter').addEventListener('submit', (e) => {
  e.preventDefault();
  window.location.assign(listUrl($('handle').value.trim(), 1));
});

async function show() {
  const q = new URLSearchParams({ page: String(page) });
  if (handle) q.set('handle', handle);
  let data;
  try {
    data = await fetchJson(`/api/games?${q}`);
  } catch (err) {
    $('message').textContent = page > 1 ? 'There is no such page.' : `The archive cannot be read (${err.message}).`;
    return;
  }
  // The seats' names come with the list, as the server's core gives them.
  for (const seat of data.seats) $('heads').append(Object.assign(document.createElement('th'), { textContent: seat }));
  const body = $('games').tBodies[0];
  for (const g of data.games) {
    const row = body.insertRow();
    const link = document.createElement('a');
    link.href = `/games/${g.id}`;
    link.textContent = String(g.id);
    row.insertCell().append(link);
    cell(row, utcText(g.endedAt));
    cell(row, g.table);
    g.handles.forEach((h, s) => cell(row, `${h} ${g.totals[s]}`, h.toLowerCase() === handle.toLowerCase() ? 'me' : ''));
  }
  if (!data.games.length) $('message').textContent = handle ? `No games of ${handle}.` : 'No games yet.';
  $('page-no').textContent = `Page ${data.page}`;
  if (page > 1) { $('newer').href = listUrl(handle, page - 1); $('newer').hidden = false; }
  if (data.more) { $('older').href = listUrl(handle, page + 1); $('older').hidden = false; }
}

show();

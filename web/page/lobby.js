// The club's lobby: lists the tables (asked again every second, so changes
// show within two), opens new ones through the API and hands out links.

const $ = (id) => document.getElementById(id);
const RefreshMs = 1000;

// The page's address of a table: "/t/ID/" beside the lobby.
export function tableLink(location, url) {
  return new URL(url, location.href).href;
}

function seatText(seat) {
  if (!seat.handle) return '(empty)';
  return seat.robot ? `${seat.handle} (robot)` : seat.handle;
}

function row(table) {
  const tr = document.createElement('tr');
  const cells = [table.name, table.seats.map(seatText).join(', '), String(table.watchers),
    String(table.dealNumber), table.state];
  for (const text of cells) {
    const td = document.createElement('td');
    td.textContent = text;
    tr.append(td);
  }
  const td = document.createElement('td');
  const a = document.createElement('a');
  a.href = `t/${encodeURIComponent(table.id)}/`;
  a.textContent = 'Open';
  td.append(a);
  tr.append(td);
  tr.dataset.id = table.id;
  return tr;
}

async function refresh() {
  try {
    const answer = await fetch('api/tables', { cache: 'no-store' });
    if (!answer.ok) throw new Error(`status ${answer.status}`);
    const { tables } = await answer.json();
    $('table-rows').replaceChildren(...tables.map(row));
    $('no-tables').hidden = tables.length > 0;
    $('status').textContent = `${tables.length} listed`;
    $('status').classList.remove('lost');
  } catch (e) {
    $('status').textContent = 'The server does not answer';
    $('status').classList.add('lost');
  }
}

async function create(event) {
  event.preventDefault();
  $('create-error').textContent = '';
  const body = {
    name: $('create-name').value,
    robots: $('create-robots').value,
    listed: $('create-listed').checked,
    watchersSeeHands: $('create-watchers').checked,
  };
  try {
    const answer = await fetch('api/tables', {
      method: 'POST',
      headers: { 'Content-Type': 'application/json' },
      body: JSON.stringify(body),
    });
    const reply = await answer.json();
    if (answer.status !== 201) throw new Error(reply.error || `status ${answer.status}`);
    const link = tableLink(window.location, reply.url);
    $('created-link').href = link;
    $('created-link').textContent = link;
    $('created').hidden = false;
    refresh();
  } catch (e) {
    $('create-error').textContent = `The table was not opened: ${e.message}`;
  }
}

async function copyLink() {
  const link = $('created-link').href;
  try {
    await navigator.clipboard.writeText(link);
    $('copy-link').textContent = 'Copied';
  } catch (e) {
    // Without clipboard access (a page not served over https), the link is
    // selected for the user to copy.
    const range = document.createRange();
    range.selectNodeContents($('created-link'));
    window.getSelection().removeAllRanges();
    window.getSelection().addRange(range);
    $('copy-link').textContent = 'Selected: press Ctrl+C';
  }
}

$('create').addEventListener('submit', create);
$('copy-link').addEventListener('click', copyLink);
refresh();
setInterval(refresh, RefreshMs);

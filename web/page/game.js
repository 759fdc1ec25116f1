// The replay viewer: the stored saved game is handed to the core compiled
// to WebAssembly, which plays it again through the engine; the page only
// asks it to move to a moment and shows what it paints and says. The
// game's JSON gives the names of its deals for the deal picker.
import { $, fetchJson, utcText } from './archive_view.js';
import { TableCanvas } from './table_canvas.js';

const SEAT_COLOURS = ['#c0392b', '#2471a3', '#239b56', '#b7950b'];
const id = window.location.pathname.split('/').filter(Boolean).pop();

async function loadCore() {
  const { default: createZelbo } = await import('./zelbo_web.js');
  return createZelbo();
}

async function savedGame() {
  const answer = await fetch(`/api/games/${id}/game.zelbo`, { cache: 'no-store' });
  if (!answer.ok) throw new Error(`Error ${answer.status}`);
  return new Uint8Array(await answer.arrayBuffer());
}

// Each seat's running total over the deals, as lines on a grid.
function drawChart(svg, totals, handles, deal) {
  const NS = 'http://www.w3.org/2000/svg';
  const width = 320, height = 180, pad = 18;
  svg.setAttribute('viewBox', `0 0 ${width} ${height}`);
  svg.replaceChildren();
  const all = totals.flat().concat([0]);
  const low = Math.min(...all), high = Math.max(...all);
  const span = Math.max(1, high - low);
  const x = (d) => pad + (d * (width - 2 * pad)) / Math.max(1, totals.length);
  const y = (v) => height - pad - ((v - low) * (height - 2 * pad)) / span;
  const add = (name, attrs, text) => {
    const e = document.createElementNS(NS, name);
    for (const [k, v] of Object.entries(attrs)) e.setAttribute(k, String(v));
    if (text !== undefined) e.textContent = text;
    svg.append(e);
    return e;
  };
  add('line', { x1: x(0), x2: x(totals.length), y1: y(0), y2: y(0), class: 'axis' });
  add('text', { x: 2, y: y(high), class: 'label' }, String(high));
  add('text', { x: 2, y: y(low), class: 'label' }, String(low));
  if (deal > 0) add('line', { x1: x(deal), x2: x(deal), y1: pad / 2, y2: height - pad / 2, class: 'now' });
  handles.forEach((h, s) => {
    add('text', { x: pad + (s * (width - pad)) / handles.length, y: height - 2, class: 'label', fill: SEAT_COLOURS[s] }, h);
    const points = [[x(0), y(0)]].concat(totals.map((t, d) => [x(d + 1), y(t[s])]));
    add('polyline', { points: points.map((p) => p.join(',')).join(' '), class: 'seat', stroke: SEAT_COLOURS[s] })
      .append(Object.assign(document.createElementNS(NS, 'title'), { textContent: h }));
  });
}

class Viewer {
  constructor(core, replay, game) {
    this.core = core;
    this.replay = replay;
    this.game = game;
    this.table = new TableCanvas($('table'), $('table-box'), core);
    this.totals = replay.totals();
    this.paintQueued = false;
    const pick = $('deal-pick');
    for (const d of game.dealList) {
      const option = new Option(`${d.deal}: ${d.contractName}`, String(d.deal));
      pick.add(option);
    }
    pick.addEventListener('change', () => this.go(replay.dealStart(Number(pick.value))));
    const moves = { 'deal-back': [2, -1], 'trick-back': [1, -1], 'card-back': [0, -1],
      'card-on': [0, 1], 'trick-on': [1, 1], 'deal-on': [2, 1] };
    for (const [button, [unit, dir]] of Object.entries(moves))
      $(button).addEventListener('click', () => this.move(unit, dir));
    const keys = { ArrowLeft: [0, -1], ArrowRight: [0, 1], ArrowUp: [1, -1], ArrowDown: [1, 1],
      PageUp: [2, -1], PageDown: [2, 1] };
    document.addEventListener('keydown', (e) => {
      if (e.target instanceof HTMLSelectElement || e.altKey || e.ctrlKey || e.metaKey) return;
      if (e.key === 'Home') { e.preventDefault(); this.go(0); return; }
      if (e.key === 'End') { e.preventDefault(); this.go(replay.steps()); return; }
      const m = keys[e.key];
      if (!m) return;
      e.preventDefault();
      this.move(m[0], m[1]);
    });
    window.addEventListener('resize', () => this.queuePaint());
    this.reviewRun = 0;
    core.pageConstants().seatNames.forEach((name, seat) => {
      const button = Object.assign(document.createElement('button'), { textContent: `Review ${name}` });
      button.addEventListener('click', () => this.review(seat, name));
      $('review-seats').append(button);
    });
    this.show();
  }

  // Runs the strong robot over `seat`'s decisions in the deal shown, in
  // slices between frames, and lists those where it expects another move
  // to score enough more to be worth a mark.
  async review(seat, name) {
    const run = ++this.reviewRun;
    const r = this.replay;
    const deal = r.deal();
    const progress = $('review-progress');
    const summary = $('review');
    progress.hidden = false;
    progress.value = 0;
    $('review-marks').replaceChildren();
    $('review-summary').textContent = `Reviewing ${name} in deal ${deal}...`;
    summary.dataset.done = '';
    const started = performance.now();
    r.startReview(seat);
    const nextTask = () => new Promise((go) => {
      const channel = new MessageChannel();
      channel.port1.onmessage = () => go();
      channel.port2.postMessage('');
    });
    for (;;) {
      const sliceEnd = performance.now() + 12;
      let done = 0;
      while (performance.now() < sliceEnd && done < 1) done = r.workReview(400);
      progress.value = done;
      if (done >= 1) break;
      await nextTask();
      if (run !== this.reviewRun) return;  // another review began
    }
    const seconds = (performance.now() - started) / 1000;
    const results = r.reviewResults();
    const marked = results.filter((x) => x.marked);
    progress.hidden = true;
    $('review-summary').textContent = `${name} in deal ${deal}: ${results.length} decisions, ` +
      `${marked.length} where the robot expects at least ${this.core.reviewMarkPoints} points more from another move ` +
      `(${seconds.toFixed(1)} s).`;
    for (const x of marked) {
      const step = r.step(x.moment);
      const where = step.card ? `trick ${step.trick}` : 'decision';
      const li = document.createElement('li');
      const jump = Object.assign(document.createElement('button'), {
        textContent: `${where}: played ${x.playedName}, robot ${x.bestName}, ` +
          `${(x.bestValue - x.playedValue).toFixed(1)} points more`,
      });
      jump.addEventListener('click', () => this.go(x.moment));
      li.append(jump);
      $('review-marks').append(li);
    }
    Object.assign(summary.dataset, { done: 'yes', deal: String(deal), decisions: String(results.length),
      marked: String(marked.length), seconds: seconds.toFixed(2) });
  }

  move(unit, direction) { this.go(this.replay.target(unit, direction)); }

  go(moment) {
    this.replay.goTo(moment);
    this.show();
  }

  queuePaint() {
    if (this.paintQueued) return;
    this.paintQueued = true;
    requestAnimationFrame(() => {
      this.paintQueued = false;
      this.table.fit();
      this.table.replay(this.replay.paint());
    });
  }

  show() {
    const r = this.replay;
    const moment = r.moment();
    const deal = r.deal();
    const last = moment > 0 ? r.step(moment - 1) : null;
    const now = $('now');
    const handles = this.game.handles;
    let text = `Deal ${deal}`;
    if (last && last.deal === deal && last.card) text += `, trick ${last.trick}: ${handles[last.seat]} played ${last.name}`;
    else if (moment >= r.steps()) text = 'End of the game';
    now.textContent = text;
    // What the page shows, for tests and assistive tools.
    Object.assign(now.dataset, {
      moment: String(moment), deal: String(deal),
      seat: last && last.card ? String(last.seat) : '', card: last && last.card ? String(last.value) : '',
      trick: last && last.card ? String(last.trick) : '',
    });
    $('deal-pick').value = String(deal);
    $('decisions').replaceChildren(...r.decisions().map((t) => Object.assign(document.createElement('li'), { textContent: t })));
    $('sheet').textContent = r.scoreText();
    const shownDeals = moment >= r.steps() ? this.totals.length : deal - 1;
    drawChart($('chart'), this.totals.slice(0, shownDeals), handles, shownDeals);
    this.queuePaint();
  }
}

async function start() {
  let game;
  try {
    game = await fetchJson(`/api/games/${id}`);
  } catch (err) {
    $('message').textContent = `No such game (${err.message}).`;
    return;
  }
  document.title = `ZelboWin: game ${game.id}`;
  $('title').textContent = `Game ${game.id}, ${utcText(game.endedAt)} UTC, table ${game.table}`;
  $('players').textContent = game.handles.map((h, s) => `${h} ${game.totals[s]}`).join(' \u00b7 ');
  $('records-link').href = `/api/games/${id}/records.txt`;
  $('game-link').href = `/api/games/${id}/game.zelbo`;
  let core, bytes;
  try {
    [core, bytes] = await Promise.all([loadCore(), savedGame()]);
  } catch (err) {
    $('message').textContent = `The replay cannot be shown here (${err.message}); the downloads still work.`;
    return;
  }
  const replay = new core.ArchiveReplay(bytes, game.handles);
  if (!replay.ok()) {
    $('message').textContent = `The stored game does not replay: ${replay.error()}`;
    return;
  }
  window.zelboReplay = new Viewer(core, replay, game);
}

start();

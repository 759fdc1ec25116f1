// The page: loads the core (WebAssembly), joins the table over a WebSocket
// and wires the canvas, dialogs, menus, chat and settings to it.

import { loadSettings, saveSettings, rememberedSeat, rememberSeat } from './settings.js';
import { SocketLink, tableSocketUrl } from './socket_link.js';
import { TableCanvas } from './table_canvas.js';
import { PickGameDialog, ActionDialog } from './dialogs.js';

const $ = (id) => document.getElementById(id);

// The server sends every browser something at least every 15 seconds; a
// connection silent for twice that is taken for dead and made again.
const SILENCE_MS = 30000;
// How long a won trick stays in the middle of the table.
const TRICK_HOLD_MS = 1000;
// The message pane keeps this many lines.
const PANE_LINES = 300;
const TITLE = document.title;

function setStatus(text, lost = false) {
  const s = $('status');
  s.textContent = text;
  s.classList.toggle('lost', lost);
}

async function loadCore() {
  const { default: createZelbo } = await import('./zelbo_web.js');
  return createZelbo();
}

class Page {
  constructor(core) {
    this.core = core;
    this.page = core.pageConstants();
    this.settings = loadSettings(core, this.page);
    this.client = null;
    this.attempt = 0;
    this.retryTimer = 0;
    this.countdown = 0;
    this.holdTimer = 0;
    this.summaryShown = false;  // for the game that ended on the table
    this.noticeTimer = 0;
    this.paintQueued = false;
    this.heardServer = false;
    this.lastHeardMs = 0;
    this.focusSlot = -1;
    this.tableKey = window.location.host + window.location.pathname;
    this.firstTableMs = null;
    this.table = new TableCanvas($('table'), $('table-box'), core);
    this.link = new SocketLink(tableSocketUrl(window.location), {
      opened: () => this.opened(),
      bytes: (bytes) => {
        this.heardServer = true;
        this.lastHeardMs = performance.now();
        this.client.socketBytes(bytes);
      },
      closed: () => this.client.socketClosed(),
    });
    this.pick = new PickGameDialog(core, this.page, () => this.client);
    this.action = new ActionDialog(this.page, () => this.client);
    // What the core asks of the page.
    this.host = {
      openSocket: () => this.link.open(),
      sendBytes: (view) => this.link.send(view),
      closeSocket: () => this.link.close(),
      showPickGame: () => { this.pick.open(); this.placeSheets(); },
      showAction: () => { this.action.open(); this.placeSheets(); },
      hideDialogs: () => {
        this.pick.close();
        this.action.close();
      },
      // A hidden tab gets no animation frames: its title says "Your turn" now.
      repaint: () => {
        this.queuePaint();
        if (document.hidden) this.updateStatus();
      },
      paneLineAdded: (line) => this.addPaneLine(line),
      scoreChanged: () => this.showScoreLines(),
      connectionLost: () => this.retryLater(),
      refused: (why) => this.refused(why),
      holdTrick: () => {
        clearTimeout(this.holdTimer);
        this.holdTimer = setTimeout(() => this.client && this.client.releaseTrick(), TRICK_HOLD_MS);
      },
    };
    this.wire();
  }

  // The seat menus and the join form's seat list, named by the core.
  buildSeatChoices() {
    const names = this.page.seatNames;
    const button = (text, data, value) => {
      const b = document.createElement('button');
      b.textContent = text;
      b.dataset[data] = String(value);
      return b;
    };
    $('sit-items').replaceChildren(...this.page.sitMenuSeats.map((seat) => button(`Sit ${names[seat]}`, 'sit', seat)));
    const stand = document.createElement('button');
    stand.id = 'stand-up';
    stand.textContent = 'Stand up';
    $('sit-items').append(stand);
    $('kibitz-items').prepend(...names.map((name, seat) => button(`Kibbitz ${name}`, 'kibitz', seat)));
    $('kibitz-all').dataset.kibitz = String(this.page.kibitzEveryone);
    $('join-seat').replaceChildren(...names.map((name, seat) => new Option(name, String(seat))));
    $('join-handle').maxLength = this.page.maxHandleLength;
  }

  wire() {
    this.buildSeatChoices();
    window.addEventListener('resize', () => this.queuePaint());
    // Leaving the page closes the connection cleanly, without a retry.
    window.addEventListener('pagehide', () => {
      clearTimeout(this.retryTimer);
      if (this.client) this.client.leave();
    });
    if (window.matchMedia) {
      // A changed zoom or screen changes devicePixelRatio.
      const watch = () => {
        const query = window.matchMedia(`(resolution: ${window.devicePixelRatio}dppx)`);
        query.addEventListener('change', () => { this.queuePaint(); watch(); }, { once: true });
      };
      watch();
    }
    $('table').addEventListener('pointerdown', (e) => {
      this.openDrawer(false);  // the table wants the whole screen again
      const at = this.table.toLayout(e);
      if (at && this.client) {
        e.preventDefault();
        // A finger chooses, then confirms; a mouse plays at once.
        if (e.pointerType === 'touch') this.client.tap(at.x, at.y);
        else this.client.click(at.x, at.y);
      }
    });
    $('table').addEventListener('keydown', (e) => this.onTableKey(e));
    // On the compact table the pane and chat are a drawer over the table.
    $('pane-button').addEventListener('click',
      () => this.openDrawer(!document.body.classList.contains('drawer')));
    $('table').addEventListener('focus', () => this.queuePaint());
    $('table').addEventListener('blur', () => this.queuePaint());
    document.addEventListener('visibilitychange', () => this.updateStatus());
    // A connection that has gone quiet for too long is dropped and made again.
    setInterval(() => {
      if (this.link.socket && this.lastHeardMs && performance.now() - this.lastHeardMs > SILENCE_MS) {
        this.lastHeardMs = 0;
        this.link.abandon();
      }
    }, 1000);
    // As on the desktop, typing anywhere on the page goes to the chat line.
    document.addEventListener('keydown', (e) => {
      const target = e.target;
      if (e.defaultPrevented || e.key.length !== 1 || e.ctrlKey || e.metaKey || e.altKey) return;
      if (target instanceof HTMLInputElement || target instanceof HTMLSelectElement ||
          target.closest('dialog')) return;
      this.openDrawer(true);
      $('chat').focus();
    });
    $('chat').addEventListener('keydown', (e) => {
      if (e.key !== 'Enter' || !this.client) return;
      this.client.chat(e.target.value);
      e.target.value = '';
    });
    for (const b of document.querySelectorAll('[data-sit]')) {
      b.addEventListener('click', () => this.menu(() => this.client.sit(Number(b.dataset.sit))));
    }
    for (const b of document.querySelectorAll('[data-kibitz]')) {
      b.addEventListener('click', () => this.menu(() => this.client.kibitz(Number(b.dataset.kibitz))));
    }
    // An open menu closes on a click anywhere else.
    document.addEventListener('pointerdown', (e) => {
      for (const d of document.querySelectorAll('details.menu[open]')) {
        if (!d.contains(e.target)) d.open = false;
      }
    });
    $('stand-up').addEventListener('click', () => this.menu(() => this.client.standUp()));
    // Keys open and walk the menus: Down moves into a menu's items, Escape closes it.
    for (const d of document.querySelectorAll('details.menu')) {
      d.addEventListener('keydown', (e) => {
        const items = [...d.querySelectorAll('.items button')];
        const at = items.indexOf(document.activeElement);
        if (e.key === 'ArrowDown' || e.key === 'ArrowUp') {
          e.preventDefault();
          d.open = true;
          const step = e.key === 'ArrowDown' ? 1 : -1;
          items[(at + step + items.length) % items.length].focus();
        } else if (e.key === 'Escape') {
          d.open = false;
          d.querySelector('summary').focus();
        }
      });
    }
    $('undo-button').addEventListener('click', () => this.menu(() => this.client.undo()));
    $('score-button').addEventListener('click', () => {
      this.showScoreLines();
      $('score').showModal();
    });
    $('score-close').addEventListener('click', () => $('score').close());
    $('summary-close').addEventListener('click', () => $('summary').close());
    this.wireSettings();
  }

  menu(action) {
    for (const d of document.querySelectorAll('details.menu')) d.open = false;
    if (this.client) action();
    else this.refused('Join the table first.');
  }

  // Keys on the table: Left and Right move the focus ring over the own
  // cards, Enter or Space plays the card under it.
  onTableKey(e) {
    if (!this.client || e.ctrlKey || e.metaKey || e.altKey) return;
    const slots = this.client.handSlots();
    if (!slots.length) return;
    let at = slots.findIndex((s) => s.slot === this.focusSlot);
    if (e.key === 'ArrowLeft' || e.key === 'ArrowRight') {
      if (at < 0) at = e.key === 'ArrowLeft' ? slots.length : -1;
      at = Math.max(0, Math.min(slots.length - 1, at + (e.key === 'ArrowLeft' ? -1 : 1)));
      this.focusSlot = slots[at].slot;
    } else if (e.key === 'Home' || e.key === 'End') {
      this.focusSlot = slots[e.key === 'Home' ? 0 : slots.length - 1].slot;
    } else if (e.key === 'Enter' || e.key === ' ') {
      if (at < 0) this.focusSlot = slots[0].slot;
      else this.client.playSlot(this.focusSlot);
    } else {
      return;
    }
    e.preventDefault();
    this.queuePaint();
  }

  // A line the page adds itself, set apart from the table's lines.
  note(text) {
    this.addPaneLine(text, 'note');
  }

  addPaneLine(line, kind = '') {
    const list = $('lines');
    const li = document.createElement('li');
    // A finished game's line names its replay's page: a link to it.
    const replay = /\/games\/\d+$/.exec(line);
    if (replay) {
      const link = Object.assign(document.createElement('a'), { href: replay[0], textContent: replay[0] });
      li.append(line.slice(0, replay.index), link);
      // The end-of-game summary links to it too (the game is archived just
      // after it ends, so the line may come while the summary is open).
      Object.assign($('summary-replay'), { href: replay[0], hidden: false });
    } else {
      li.textContent = line;
    }
    if (kind) li.className = kind;
    list.append(li);
    while (list.childElementCount > PANE_LINES) list.firstElementChild.remove();
    list.scrollTop = list.scrollHeight;
  }

  refused(why) {
    this.note(why);
    const notice = $('notice');
    notice.textContent = why;
    notice.hidden = false;
    clearTimeout(this.noticeTimer);
    this.noticeTimer = setTimeout(() => { notice.hidden = true; }, 5000);
  }

  wireSettings() {
    const colour = $('set-colour');
    const spacing = $('set-spacing');
    const confirm = $('set-confirm');
    const layout = $('set-layout');
    const shown = $('set-spacing-value');
    spacing.min = String(this.page.minCardSpacing);
    spacing.max = String(this.page.maxCardSpacing);
    const apply = () => {
      this.settings.colour = colour.value;
      this.settings.spacing = Number(spacing.value);
      this.settings.confirmTaps = confirm.checked;
      this.settings.layout = layout.value;
      shown.textContent = spacing.value;
      saveSettings(this.settings);
      this.applyTable();
    };
    colour.addEventListener('input', apply);
    spacing.addEventListener('input', apply);
    confirm.addEventListener('change', apply);
    layout.addEventListener('change', apply);
    $('settings-button').addEventListener('click', () => {
      colour.value = this.settings.colour;
      spacing.value = String(this.settings.spacing);
      confirm.checked = this.settings.confirmTaps;
      layout.value = this.settings.layout;
      shown.textContent = spacing.value;
      $('settings').showModal();
    });
  }

  applyTable() {
    if (!this.client) return;
    this.client.setTable(this.settings.colour, this.settings.spacing);
    this.client.setConfirmTaps(this.settings.confirmTaps);
    this.queuePaint();
  }

  // ---- Joining ----

  askToJoin() {
    const params = new URLSearchParams(window.location.search);
    const handle = params.get('handle');
    if (handle) {
      // A link may carry the choice: ?handle=Ann&sit=0 or &kibitz=4.
      const kibitz = params.get('kibitz');
      this.start(handle, kibitz !== null ? { kibitz: Number(kibitz) } : { sit: Number(params.get('sit') || 0) });
      return;
    }
    // Back after a reload: the same seat at this table, without a click.
    const position = rememberedSeat(this.settings, this.tableKey, this.settings.handle);
    if (this.settings.handle && position !== null) {
      this.start(this.settings.handle, { position });
      return;
    }
    const dialog = $('join');
    $('join-handle').value = this.settings.handle;
    dialog.addEventListener('cancel', (e) => e.preventDefault());
    dialog.addEventListener('close', () => {
      const name = $('join-handle').value.trim();
      if (!name) {
        dialog.showModal();
        return;
      }
      const seat = Number($('join-seat').value);
      this.start(name, dialog.returnValue === 'kibitz' ? { kibitz: this.page.kibitzEveryone } : { sit: seat });
    });
    setStatus('Choose a handle');
    dialog.showModal();
  }

  start(handle, choice) {
    this.settings.handle = handle;
    saveSettings(this.settings);
    this.client = new this.core.PageClient(this.host, handle);
    this.applyTable();
    setStatus('Connecting...');
    this.client.join();
    if (choice.position !== undefined) this.client.takePosition(choice.position);
    else if (choice.kibitz !== undefined) this.client.kibitz(choice.kibitz);
    else this.client.sit(choice.sit);
  }

  opened() {
    const wasLost = this.attempt > 0;
    this.attempt = 0;
    this.lastHeardMs = performance.now();
    clearInterval(this.countdown);
    this.client.socketOpened();
    if (wasLost) this.note('Connected again');
    this.updateStatus();
  }

  // One pane line when the connection is lost, then a countdown in the
  // status until the next attempt; the last table stays in view, greyed.
  retryLater() {
    clearTimeout(this.retryTimer);
    clearInterval(this.countdown);
    if (this.attempt === 0) this.note('Connection lost; reconnecting');
    const delay = this.core.retryDelayMs(this.attempt++);
    const due = performance.now() + delay;
    const show = () => setStatus(
      `Connection lost; trying again in ${Math.max(1, Math.ceil((due - performance.now()) / 1000))} s`, true);
    show();
    this.countdown = setInterval(show, 250);
    this.retryTimer = setTimeout(() => {
      clearInterval(this.countdown);
      setStatus('Reconnecting...', true);
      this.client.join();
    }, delay);
    this.queuePaint();
  }

  updateStatus() {
    if (!this.client) return;
    const s = this.client.state();
    $('table').classList.toggle('stale', this.client.reconnecting());
    if (!s.connected) return;
    setStatus(`${s.handle}, ${this.core.positionText(s.position)}`);
    if (s.position >= 0) rememberSeat(this.settings, this.tableKey, s.handle, s.position);
    // The summary opens once when the game ends; closing it keeps it closed
    // while the ended game stays on the table.
    if (s.phase !== this.page.phaseGameOver) this.summaryShown = false;
    else if (!this.summaryShown) this.summaryShown = this.showSummary();
    const turn = this.client.turnWords();
    const masked = this.client.handsMasked() ? 'This table hides the hands from watchers.' : '';
    const line = turn || masked;
    if ($('turn').textContent !== line) $('turn').textContent = line;
    $('turn').classList.toggle('mine', turn !== '');
    document.title = turn && document.hidden ? `Your turn - ${TITLE}` : TITLE;
    const label = this.client.handWords();
    if ($('table').getAttribute('aria-label') !== label) $('table').setAttribute('aria-label', label);
  }

  // ---- Drawing ----

  queuePaint() {
    if (this.paintQueued) return;
    this.paintQueued = true;
    requestAnimationFrame(() => {
      this.paintQueued = false;
      this.paint();
    });
  }

  // Compact for a narrow or low window unless the settings force a layout;
  // a compact table is laid out for the room its box has.
  chooseLayout() {
    const forced = this.settings.layout;
    const small = window.innerWidth < this.page.compactBelowWidth ||
      window.innerHeight < this.page.compactBelowHeight;
    const compact = forced === 'compact' || (forced !== 'classic' && small);
    document.body.classList.toggle('compact', compact);
    if (!compact) this.openDrawer(false);
    if (!this.client) return;
    const box = $('table-box').getBoundingClientRect();  // unrounded: never a pixel over
    this.client.setLayout(compact, Math.floor(box.width), Math.floor(box.height));
    const [width, height] = this.client.layoutSize();
    this.table.setSize(width, height);
  }

  openDrawer(open) {
    const compact = document.body.classList.contains('compact');
    document.body.classList.toggle('drawer', open && compact);
    $('pane-button').setAttribute('aria-expanded', String(open && compact));
  }

  // On the compact table the decision dialogs are sheets that rise from
  // just above the own hand, so that they never cover it.
  placeSheets() {
    const style = document.body.style;
    const hand = this.client ? this.client.handSlots() : [];
    if (!document.body.classList.contains('compact') || !hand.length) {
      style.removeProperty('--sheet-bottom');
      return;
    }
    const top = Math.min(...hand.map((s) => this.table.toPageRect(s.x, s.y, s.width, s.height).y));
    style.setProperty('--sheet-bottom', `${Math.ceil(window.innerHeight - top)}px`);
  }

  paint() {
    this.chooseLayout();
    this.table.fit();
    if (!this.client) return;
    this.table.replay(this.client.paint());
    this.placeSheets();
    if (document.activeElement === $('table')) {
      const slot = this.client.handSlots().find((s) => s.slot === this.focusSlot);
      if (slot) this.table.ring(slot.x, slot.y, slot.width, slot.height);
    }
    if (this.firstTableMs === null && this.heardServer) this.firstTableMs = performance.now();
    this.updateStatus();
  }

  // The sheet's rows, and its totals apart so that they stay in view.
  showScoreLines() {
    if (!this.client) return;
    $('score-lines').textContent = this.client.scoreText();
    $('score-totals').textContent = this.client.scoreTotals();
  }

  // At the end of the game: places, totals and the running totals as a chart.
  showSummary() {
    const g = this.client.gameSummary();
    if (!g.over) return false;
    if ($('summary').open) return true;
    const names = this.page.seatNames;
    const order = names.map((_, seat) => seat).sort((a, b) => g.places[a] - g.places[b]);
    $('summary-table').tBodies[0].replaceChildren(...order.map((seat) => {
      const tr = document.createElement('tr');
      for (const text of [g.places[seat], names[seat], g.handles[seat], g.totals[seat]]) {
        const td = document.createElement('td');
        td.textContent = String(text);
        tr.append(td);
      }
      return tr;
    }));
    this.drawChart(g.running, names);
    $('summary').showModal();
    return true;
  }

  drawChart(running, names) {
    const svg = $('summary-chart');
    const ns = 'http://www.w3.org/2000/svg';
    const colours = ['#0b3d91', '#b00020', '#1b7a2f', '#7a4a00'];
    const values = running.flat().concat([0]);
    const low = Math.min(...values), high = Math.max(...values);
    // The chart's box is 300 x 150 (the SVG's viewBox), with a margin.
    const x = (i) => 8 + (284 * (i + 1)) / Math.max(1, running.length);
    const y = (v) => 142 - (124 * (v - low)) / Math.max(1, high - low);
    const parts = [];
    const zero = document.createElementNS(ns, 'line');
    Object.entries({ x1: 8, x2: 292, y1: y(0), y2: y(0), stroke: '#999', 'stroke-dasharray': '2 2' })
      .forEach(([k, v]) => zero.setAttribute(k, String(v)));
    parts.push(zero);
    for (const seat of names.keys()) {
      const line = document.createElementNS(ns, 'polyline');
      line.setAttribute('points', [`8,${y(0)}`, ...running.map((r, i) => `${x(i)},${y(r[seat])}`)].join(' '));
      line.setAttribute('fill', 'none');
      line.setAttribute('stroke', colours[seat]);
      line.setAttribute('stroke-width', '2');
      const label = document.createElementNS(ns, 'title');
      label.textContent = names[seat];
      line.append(label);
      parts.push(line);
      const key = document.createElementNS(ns, 'text');
      Object.entries({ x: 14 + seat * 70, y: 12, fill: colours[seat], 'font-size': 11 })
        .forEach(([k, v]) => key.setAttribute(k, String(v)));
      key.textContent = names[seat];
      parts.push(key);
    }
    svg.replaceChildren(...parts);
  }

  // Read-only views for the browser test.
  testHooks() {
    return {
      state: () => this.client && this.client.state(),
      playable: () => (this.client ? this.client.playableCards() : []),
      slotPoint: (slot) => {
        const at = this.client.slotMiddle(slot);
        return this.table.toPage(at.x, at.y);
      },
      // In page pixels: each seat's name (by seat, null where none is
      // shown) and each card of the own hand (its visible part), in hand order.
      layout: () => ({
        compact: document.body.classList.contains('compact'),
        names: this.client.nameRects().map((r) => r && this.table.toPageRect(r.x, r.y, r.width, r.height)),
        hand: this.client.handSlots().map((s) => this.table.toPageRect(s.x, s.y, s.width, s.height)),
      }),
      tableSize: () => [this.table.width, this.table.height],
      // True while the canvas shows something else than the live state.
      paintPending: () => this.paintQueued || Boolean(this.client && this.client.trickHeld()),
      page: () => this.page,
      paneLines: () => (this.client ? this.client.paneLines() : []),
      scoreLines: () => (this.client ? this.client.scoreLines() : []),
      pickOpen: () => this.pick.dialog.open,
      actionOpen: () => this.action.dialog.open,
      statusText: () => $('status').textContent,
      firstTableMs: () => this.firstTableMs,
      drop: () => this.link.drop(),
      turnText: () => $('turn').textContent,
      summary: () => ($('summary').open ? this.client.gameSummary() : null),
      noticeText: () => $('notice').textContent,
      handSlots: () => (this.client ? this.client.handSlots() : []),
      focusSlot: () => this.focusSlot,
    };
  }
}

async function boot() {
  let core;
  try {
    core = await loadCore();
  } catch (e) {
    setStatus('This table was built without the browser client.', true);
    return;
  }
  const page = new Page(core);
  // Tests open the page with ?test to reach its read-only views.
  if (new URLSearchParams(window.location.search).has('test')) window.zelboTest = page.testHooks();
  page.queuePaint();
  page.askToJoin();
}

boot();

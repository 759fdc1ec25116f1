// The page: loads the core (WebAssembly), joins the table over a WebSocket
// and wires the canvas, dialogs, menus, chat and settings to it.

import { loadSettings, saveSettings } from './settings.js';
import { SocketLink, tableSocketUrl } from './socket_link.js';
import { TableCanvas } from './table_canvas.js';
import { PickGameDialog, ActionDialog } from './dialogs.js';

const $ = (id) => document.getElementById(id);

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
    this.paintQueued = false;
    this.paneQueued = false;
    this.heardServer = false;
    this.firstTableMs = null;
    this.table = new TableCanvas($('table'), $('table-box'), core);
    this.link = new SocketLink(tableSocketUrl(window.location), {
      opened: () => this.opened(),
      bytes: (bytes) => {
        this.heardServer = true;
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
      showPickGame: () => this.pick.open(),
      showAction: () => this.action.open(),
      hideDialogs: () => {
        this.pick.close();
        this.action.close();
      },
      repaint: () => this.queuePaint(),
      paneChanged: () => this.queuePane(),
      scoreChanged: () => this.showScoreLines(),
      connectionLost: () => this.retryLater(),
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
      const at = this.table.toLayout(e);
      if (at && this.client) {
        e.preventDefault();
        this.client.click(at.x, at.y);
      }
    });
    // As on the desktop, typing anywhere on the page goes to the chat line.
    document.addEventListener('keydown', (e) => {
      const target = e.target;
      if (e.key.length !== 1 || e.ctrlKey || e.metaKey || e.altKey) return;
      if (target instanceof HTMLInputElement || target instanceof HTMLSelectElement ||
          target.closest('dialog')) return;
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
    $('undo-button').addEventListener('click', () => this.menu(() => this.client.undo()));
    $('score-button').addEventListener('click', () => {
      this.showScoreLines();
      $('score').showModal();
    });
    $('score-close').addEventListener('click', () => $('score').close());
    this.wireSettings();
  }

  menu(action) {
    for (const d of document.querySelectorAll('details.menu')) d.open = false;
    if (this.client) action();
  }

  wireSettings() {
    const colour = $('set-colour');
    const spacing = $('set-spacing');
    const shown = $('set-spacing-value');
    spacing.min = String(this.page.minCardSpacing);
    spacing.max = String(this.page.maxCardSpacing);
    const apply = () => {
      this.settings.colour = colour.value;
      this.settings.spacing = Number(spacing.value);
      shown.textContent = spacing.value;
      saveSettings(this.settings);
      this.applyTable();
    };
    colour.addEventListener('input', apply);
    spacing.addEventListener('input', apply);
    $('settings-button').addEventListener('click', () => {
      colour.value = this.settings.colour;
      spacing.value = String(this.settings.spacing);
      shown.textContent = spacing.value;
      $('settings').showModal();
    });
  }

  applyTable() {
    if (!this.client) return;
    this.client.setTable(this.settings.colour, this.settings.spacing);
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
    if (choice.kibitz !== undefined) this.client.kibitz(choice.kibitz);
    else this.client.sit(choice.sit);
  }

  opened() {
    this.attempt = 0;
    this.client.socketOpened();
    this.updateStatus();
  }

  retryLater() {
    clearTimeout(this.retryTimer);
    const delay = this.core.retryDelayMs(this.attempt++);
    setStatus(`Connection lost; trying again in ${Math.round(delay / 1000)} s`, true);
    this.retryTimer = setTimeout(() => {
      setStatus('Reconnecting...', true);
      this.client.join();
    }, delay);
  }

  updateStatus() {
    if (!this.client) return;
    const s = this.client.state();
    if (!s.connected) return;
    setStatus(`${s.handle}, ${this.core.positionText(s.position)}`);
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

  paint() {
    this.table.fit();
    if (!this.client) return;
    this.table.replay(this.client.paint());
    if (this.firstTableMs === null && this.heardServer) this.firstTableMs = performance.now();
    this.updateStatus();
  }

  queuePane() {
    if (this.paneQueued) return;
    this.paneQueued = true;
    queueMicrotask(() => {
      this.paneQueued = false;
      const list = $('lines');
      const lines = this.client.paneLines();
      list.replaceChildren(...lines.map((line) => {
        const li = document.createElement('li');
        // A finished game's line names its replay's page: a link to it.
        const replay = /\/games\/\d+$/.exec(line);
        if (replay) {
          const link = Object.assign(document.createElement('a'), { href: replay[0], textContent: replay[0] });
          li.append(line.slice(0, replay.index), link);
        } else {
          li.textContent = line;
        }
        return li;
      }));
      list.scrollTop = list.scrollHeight;
    });
  }

  showScoreLines() {
    if (this.client) $('score-lines').textContent = this.client.scoreText();
  }

  // Read-only views for the browser test.
  testHooks() {
    return {
      state: () => this.client && this.client.state(),
      playable: () => (this.client ? this.client.playableCards() : []),
      slotPoint: (slot) => this.table.toPage(this.client.slotMiddle(slot), this.page.handRowMiddle),
      tableSize: () => [this.page.tableWidth, this.page.tableHeight],
      page: () => this.page,
      paneLines: () => (this.client ? this.client.paneLines() : []),
      scoreLines: () => (this.client ? this.client.scoreLines() : []),
      pickOpen: () => this.pick.dialog.open,
      actionOpen: () => this.action.dialog.open,
      statusText: () => $('status').textContent,
      firstTableMs: () => this.firstTableMs,
      drop: () => this.link.drop(),
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

// The Pick-a-game and Action dialogs as HTML. Labels, which boxes are
// enabled and checked, and the code OK sends all come from the core's
// dialog models; these functions only mirror them into the elements.
// Like the desktop's, the dialogs are modeless and only OK closes them.

const $ = (id) => document.getElementById(id);

function keepOpen(dialog) {
  dialog.addEventListener('cancel', (e) => e.preventDefault());
}

function checkbox(label, onChange) {
  const row = document.createElement('label');
  const box = document.createElement('input');
  box.type = 'checkbox';
  box.addEventListener('change', () => onChange(box.checked));
  const text = document.createElement('span');
  text.textContent = label;
  row.append(box, ' ', text);
  return { row, box, text };
}

export class PickGameDialog {
  constructor(core, client) {
    this.client = client;
    this.dialog = $('pick');
    keepOpen(this.dialog);
    this.boxes = [];
    for (let i = 0; i < 7; ++i) {
      const b = checkbox(core.pickBoxLabel(i), (on) => {
        this.client().pickClickBox(i, on);
        this.sync();
      });
      b.box.id = `pick-box-${i}`;
      $('pick-boxes').append(b.row);
      this.boxes.push(b);
    }
    this.suit = $('pick-suit');
    this.rank = $('pick-rank');
    for (let i = 0; i < 4; ++i) this.suit.add(new Option(core.pickSuitEntry(i), String(i)));
    for (let i = 0; i < 13; ++i) this.rank.add(new Option(core.pickRankEntry(i), String(i)));
    this.suit.addEventListener('change', () => this.client().pickSuit(this.suit.selectedIndex));
    this.rank.addEventListener('change', () => this.client().pickRank(this.rank.selectedIndex));
    $('pick-ok').addEventListener('click', () => {
      if (this.client().pickOk()) this.dialog.close();
    });
  }

  sync() {
    const s = this.client().pickState();
    this.boxes.forEach((b, i) => {
      b.box.checked = s.checked[i];
      b.box.disabled = !s.enabled[i];
    });
  }

  open() {
    this.suit.selectedIndex = -1;
    this.rank.selectedIndex = -1;
    this.sync();
    if (!this.dialog.open) this.dialog.show();
    const first = this.boxes.find((b) => !b.box.disabled);
    if (first) first.box.focus();
  }

  close() {
    if (this.dialog.open) this.dialog.close();
  }
}

export class ActionDialog {
  constructor(client) {
    this.client = client;
    this.dialog = $('action');
    keepOpen(this.dialog);
    this.boxes = [];
    for (let i = 0; i < 3; ++i) {
      const b = checkbox('', (on) => this.client().actionSetChecked(i, on));
      b.box.id = `action-box-${i}`;
      $('action-boxes').append(b.row);
      this.boxes.push(b);
    }
    $('action-ok').addEventListener('click', () => {
      if (this.client().actionOk()) this.dialog.close();
    });
  }

  open() {
    const s = this.client().actionState();
    this.boxes.forEach((b, i) => {
      b.text.textContent = s.labels[i];
      b.box.checked = s.checked[i];
      b.box.disabled = !s.enabled[i];
    });
    if (!this.dialog.open) this.dialog.show();
  }

  close() {
    if (this.dialog.open) this.dialog.close();
  }
}

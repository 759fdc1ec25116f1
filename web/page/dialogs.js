// The Pick-a-game and Action dialogs as HTML. Labels, which boxes are
// enabled and checked, and the code OK sends all come from the core's
// dialog models; these classes only mirror them into the elements.
// Like the desktop's, the dialogs are modeless and only OK closes them.

const $ = (id) => document.getElementById(id);

// A dialog of check boxes and an OK button; `name` is the id of the
// <dialog>, its boxes are `${name}-box-${i}` in `${name}-boxes`, OK is
// `${name}-ok`. `ok()` returns whether the dialog closes.
class DecisionDialog {
  constructor(name, count, onToggle, ok) {
    this.dialog = $(name);
    this.dialog.addEventListener('cancel', (e) => e.preventDefault());
    this.boxes = [];
    for (let i = 0; i < count; ++i) {
      const row = document.createElement('label');
      const box = document.createElement('input');
      box.type = 'checkbox';
      box.id = `${name}-box-${i}`;
      box.addEventListener('change', () => onToggle(i, box.checked));
      const text = document.createElement('span');
      row.append(box, ' ', text);
      $(`${name}-boxes`).append(row);
      this.boxes.push({ box, text });
    }
    $(`${name}-ok`).addEventListener('click', () => {
      if (ok()) this.close();
    });
  }

  // Mirrors a model state: {checked: [], enabled: [], labels?: []}.
  mirror(state) {
    this.boxes.forEach((b, i) => {
      if (state.labels) b.text.textContent = state.labels[i];
      b.box.checked = state.checked[i];
      b.box.disabled = !state.enabled[i];
    });
  }

  show() {
    if (!this.dialog.open) this.dialog.show();
  }

  close() {
    if (this.dialog.open) this.dialog.close();
  }
}

export class PickGameDialog extends DecisionDialog {
  constructor(core, page, client) {
    super('pick', page.pickBoxCount, (i, on) => {
      client().pickClickBox(i, on);
      this.mirror(client().pickState());
    }, () => client().pickOk());
    this.client = client;
    this.boxes.forEach((b, i) => { b.text.textContent = core.pickBoxLabel(i); });
    this.suit = $('pick-suit');
    this.suit.size = page.pickSuitCount;  // every suit in view
    this.rank = $('pick-rank');
    for (let i = 0; i < page.pickSuitCount; ++i) this.suit.add(new Option(core.pickSuitEntry(i), String(i)));
    for (let i = 0; i < page.pickRankCount; ++i) this.rank.add(new Option(core.pickRankEntry(i), String(i)));
    this.suit.addEventListener('change', () => client().pickSuit(this.suit.selectedIndex));
    this.rank.addEventListener('change', () => client().pickRank(this.rank.selectedIndex));
  }

  open() {
    this.suit.selectedIndex = -1;
    this.rank.selectedIndex = -1;
    this.mirror(this.client().pickState());
    this.show();
    const first = this.boxes.find((b) => !b.box.disabled);
    if (first) first.box.focus();
  }
}

export class ActionDialog extends DecisionDialog {
  constructor(page, client) {
    super('action', page.actionBoxCount, (i, on) => client().actionSetChecked(i, on), () => client().actionOk());
    this.client = client;
  }

  open() {
    this.mirror(this.client().actionState());
    this.show();
  }
}

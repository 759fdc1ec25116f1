// What the browser remembers between visits: the handle, the table colour,
// the card spacing, whether a tap must be confirmed, the table layout
// ('auto' by the screen's size, 'classic' or 'compact'), and the seat taken at
// each table. Defaults and bounds are the core's (`page` is its
// pageConstants() record), so they are the desktop's too.

const KEY = 'zelbowin';
const LAYOUTS = ['auto', 'classic', 'compact'];

export function loadSettings(core, page) {
  const defaults = { handle: '', colour: page.defaultTableColour, spacing: page.defaultCardSpacing,
    confirmTaps: true, layout: 'auto' };
  let stored = {};
  try {
    stored = JSON.parse(localStorage.getItem(KEY) || '{}') || {};
  } catch {
    stored = {};
  }
  const s = { ...defaults, ...stored };
  if (typeof s.handle !== 'string') s.handle = '';
  if (typeof s.confirmTaps !== 'boolean') s.confirmTaps = true;
  if (!LAYOUTS.includes(s.layout)) s.layout = defaults.layout;
  if (typeof s.colour !== 'string' || !core.isColourText(s.colour)) s.colour = defaults.colour;
  s.spacing = Number.isInteger(s.spacing)
    ? Math.min(page.maxCardSpacing, Math.max(page.minCardSpacing, s.spacing))
    : defaults.spacing;
  return s;
}

export function saveSettings(settings) {
  try {
    localStorage.setItem(KEY, JSON.stringify(settings));
  } catch {
    // Private windows may refuse storage; the settings then last the visit.
  }
}

// The position (seat 0..3 or a watcher's view) last held at the table at
// `table` with `handle`, or null.
export function rememberedSeat(settings, table, handle) {
  const seat = settings.seats && settings.seats[table];
  if (!seat || seat.handle !== handle || !Number.isInteger(seat.position)) return null;
  return seat.position;
}

export function rememberSeat(settings, table, handle, position) {
  if (rememberedSeat(settings, table, handle) === position) return;
  const seats = typeof settings.seats === 'object' && settings.seats ? settings.seats : {};
  seats[table] = { handle, position };
  settings.seats = seats;
  saveSettings(settings);
}

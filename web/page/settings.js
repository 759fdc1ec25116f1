// What the browser remembers between visits: the handle, the table colour
// and the card spacing.

const KEY = 'zelbowin';
const DEFAULTS = { handle: '', colour: '#e6e6e6', spacing: 16 };

export function loadSettings() {
  let stored = {};
  try {
    stored = JSON.parse(localStorage.getItem(KEY) || '{}') || {};
  } catch {
    stored = {};
  }
  const s = { ...DEFAULTS, ...stored };
  if (typeof s.handle !== 'string') s.handle = '';
  if (!/^#[0-9a-f]{6}$/i.test(s.colour)) s.colour = DEFAULTS.colour;
  s.spacing = Number.isInteger(s.spacing) ? Math.min(40, Math.max(8, s.spacing)) : DEFAULTS.spacing;
  return s;
}

export function saveSettings(settings) {
  try {
    localStorage.setItem(KEY, JSON.stringify(settings));
  } catch {
    // Private windows may refuse storage; the settings then last the visit.
  }
}

// '#rrggbb' as [red, green, blue].
export function colourParts(hex) {
  return [1, 3, 5].map((i) => parseInt(hex.slice(i, i + 2), 16));
}

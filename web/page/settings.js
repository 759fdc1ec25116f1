// What the browser remembers between visits: the handle, the table colour
// and the card spacing. Defaults and bounds are the core's (`page` is its
// pageConstants() record), so they are the desktop's too.

const KEY = 'zelbowin';

export function loadSettings(core, page) {
  const defaults = { handle: '', colour: page.defaultTableColour, spacing: page.defaultCardSpacing };
  let stored = {};
  try {
    stored = JSON.parse(localStorage.getItem(KEY) || '{}') || {};
  } catch {
    stored = {};
  }
  const s = { ...defaults, ...stored };
  if (typeof s.handle !== 'string') s.handle = '';
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

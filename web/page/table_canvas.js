// The table on an HTML canvas: carries out the painter's fill, text and
// card-copy operations, scales the 900 x 720 layout to the space it has
// (keeping its proportions, sharp at devicePixelRatio), and maps clicks and
// touches back to layout coordinates.

import { CardArt } from './card_art.js';

export const LAYOUT_WIDTH = 900;
export const LAYOUT_HEIGHT = 720;

// The table's faces: line height and average character width in layout
// pixels (Large, LargeUnderlined, Small, as the core numbers them).
const FACES = [
  { size: 20, line: 24, average: 10, underline: false },
  { size: 20, line: 24, average: 10, underline: true },
  { size: 13, line: 16, average: 6, underline: false },
];
const SAMPLE = 'ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz';

const rgb = (r, g, b) => `rgb(${r},${g},${b})`;

export class TableCanvas {
  constructor(canvas, box, core) {
    this.canvas = canvas;
    this.box = box;
    this.core = core;
    this.ctx = canvas.getContext('2d');
    this.cards = new CardArt(core);
    this.scale = 1;   // CSS pixels per layout pixel
    this.ratio = 1;   // canvas pixels per layout pixel
    this.stretch = FACES.map(() => 1);
  }

  // Sizes the canvas to its box; true when the size changed.
  fit() {
    const width = this.box.clientWidth;
    const height = this.box.clientHeight;
    const scale = Math.max(0.1, Math.min(width / LAYOUT_WIDTH, height / LAYOUT_HEIGHT));
    const dpr = window.devicePixelRatio || 1;
    const cssWidth = Math.floor(LAYOUT_WIDTH * scale);
    const cssHeight = Math.floor(LAYOUT_HEIGHT * scale);
    const pixelWidth = Math.round(cssWidth * dpr);
    const pixelHeight = Math.round(cssHeight * dpr);
    if (pixelWidth === this.canvas.width && pixelHeight === this.canvas.height &&
        this.canvas.style.width === `${cssWidth}px`) return false;
    this.canvas.style.width = `${cssWidth}px`;
    this.canvas.style.height = `${cssHeight}px`;
    this.canvas.width = pixelWidth;
    this.canvas.height = pixelHeight;
    this.scale = cssWidth / LAYOUT_WIDTH;
    this.ratio = pixelWidth / LAYOUT_WIDTH;
    this.cards.setRatio(this.ratio);
    this.measureFaces();
    return true;
  }

  // Each face is squeezed or widened so that its average letter has the
  // width the layout counts on.
  measureFaces() {
    const ctx = this.ctx;
    this.stretch = FACES.map((face) => {
      ctx.font = `800 ${face.size}px sans-serif`;
      const average = ctx.measureText(SAMPLE).width / SAMPLE.length;
      return average > 0 ? Math.min(1.6, Math.max(0.6, face.average / average)) : 1;
    });
  }

  // Carries out a recorded paint: {ints, texts} from the core.
  replay(paint) {
    const { ints, texts } = paint;
    const ctx = this.ctx;
    const core = this.core;
    ctx.setTransform(this.ratio, 0, 0, this.ratio, 0, 0);
    ctx.imageSmoothingEnabled = false;
    let i = 0;
    while (i < ints.length) {
      const op = ints[i];
      if (op === core.opFill) {
        ctx.fillStyle = rgb(ints[i + 5], ints[i + 6], ints[i + 7]);
        ctx.fillRect(ints[i + 1], ints[i + 2], ints[i + 3], ints[i + 4]);
        i += 8;
      } else if (op === core.opText) {
        this.text(ints[i + 1], ints[i + 2], texts[ints[i + 10]], ints[i + 3],
          rgb(ints[i + 4], ints[i + 5], ints[i + 6]), rgb(ints[i + 7], ints[i + 8], ints[i + 9]));
        i += 11;
      } else if (op === core.opCard) {
        const [card, sx, sy, sw, sh, x, y] = ints.subarray(i + 1, i + 8);
        const r = this.ratio;
        ctx.drawImage(this.cards.picture(card), sx * r, sy * r, sw * r, sh * r, x, y, sw, sh);
        i += 8;
      } else {
        break;  // an operation this page does not know
      }
    }
  }

  text(x, y, text, font, colour, background) {
    const face = FACES[font] || FACES[0];
    const ctx = this.ctx;
    const stretch = this.stretch[font] || 1;
    ctx.font = `800 ${face.size}px sans-serif`;
    const width = ctx.measureText(text).width * stretch;
    ctx.fillStyle = background;
    ctx.fillRect(x, y, width, face.line);
    ctx.save();
    ctx.translate(x, y);
    ctx.scale(stretch, 1);
    ctx.fillStyle = colour;
    ctx.textBaseline = 'top';
    ctx.fillText(text, 0, (face.line - face.size) / 2);
    ctx.restore();
    if (face.underline) ctx.fillRect(x, y + face.line - 3, width, 2);
  }

  // Layout coordinates of a pointer event, or null outside the table.
  toLayout(event) {
    const rect = this.canvas.getBoundingClientRect();
    if (rect.width <= 0 || rect.height <= 0) return null;
    const x = Math.floor((event.clientX - rect.left) * LAYOUT_WIDTH / rect.width);
    const y = Math.floor((event.clientY - rect.top) * LAYOUT_HEIGHT / rect.height);
    if (x < 0 || y < 0 || x >= LAYOUT_WIDTH || y >= LAYOUT_HEIGHT) return null;
    return { x, y };
  }

  // The page position of layout point (x, y), for tests.
  toPage(x, y) {
    const rect = this.canvas.getBoundingClientRect();
    return { x: rect.left + (x + 0.5) * rect.width / LAYOUT_WIDTH,
      y: rect.top + (y + 0.5) * rect.height / LAYOUT_HEIGHT };
  }
}

// The table on an HTML canvas: carries out the painter's fill, text and
// card-copy operations, scales the core's table layout to the space it has
// (keeping its proportions, sharp at devicePixelRatio), and maps clicks and
// touches back to layout coordinates. Sizes and faces are the core's; the
// logical size is the layout's (setSize), a compact one laid out for the
// room it has and so shown at one layout pixel a CSS pixel.

import { CardArt } from './card_art.js';

const SAMPLE = 'ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz';

const rgb = (r, g, b) => `rgb(${r},${g},${b})`;

export class TableCanvas {
  constructor(canvas, box, core) {
    this.canvas = canvas;
    this.box = box;
    this.core = core;
    const page = core.pageConstants();
    this.width = page.tableWidth;
    this.height = page.tableHeight;
    this.faces = page.faces;
    this.weight = page.faceWeight;
    this.minStretch = page.minFaceStretch / 100;
    this.maxStretch = page.maxFaceStretch / 100;
    this.ctx = canvas.getContext('2d');
    this.cards = new CardArt(core);
    this.scale = 1;   // CSS pixels per layout pixel
    this.ratio = 1;   // canvas pixels per layout pixel
    this.stretch = this.faces.map(() => 1);
  }

  // The logical size of the layout painted.
  setSize(width, height) {
    if (width === this.width && height === this.height) return;
    this.width = width;
    this.height = height;
    this.canvas.width = 0;  // fit() sizes it again
  }

  // Sizes the canvas to its box; true when the size changed.
  fit() {
    const width = this.box.clientWidth;
    const height = this.box.clientHeight;
    const scale = Math.max(0.1, Math.min(width / this.width, height / this.height));
    const dpr = window.devicePixelRatio || 1;
    const cssWidth = Math.floor(this.width * scale);
    const cssHeight = Math.floor(this.height * scale);
    const pixelWidth = Math.round(cssWidth * dpr);
    const pixelHeight = Math.round(cssHeight * dpr);
    if (pixelWidth === this.canvas.width && pixelHeight === this.canvas.height &&
        this.canvas.style.width === `${cssWidth}px`) return false;
    this.canvas.style.width = `${cssWidth}px`;
    this.canvas.style.height = `${cssHeight}px`;
    this.canvas.width = pixelWidth;
    this.canvas.height = pixelHeight;
    this.scale = cssWidth / this.width;
    this.ratio = pixelWidth / this.width;
    this.cards.setRatio(this.ratio);
    this.measureFaces();
    return true;
  }

  font(face) {
    return `${this.weight} ${face.size}px sans-serif`;
  }

  // Each face is squeezed or widened so that its average letter has the
  // width the layout counts on.
  measureFaces() {
    const ctx = this.ctx;
    this.stretch = this.faces.map((face) => {
      ctx.font = this.font(face);
      const average = ctx.measureText(SAMPLE).width / SAMPLE.length;
      if (!(average > 0)) return 1;
      return Math.min(this.maxStretch, Math.max(this.minStretch, face.average / average));
    });
  }

  // Carries out a recorded paint: {ints, texts} from the core, each
  // operation its kind followed by its fields.
  replay(paint) {
    const { ints, texts } = paint;
    const ctx = this.ctx;
    const core = this.core;
    ctx.setTransform(this.ratio, 0, 0, this.ratio, 0, 0);
    ctx.imageSmoothingEnabled = false;
    let i = 0;
    const next = () => ints[i++];
    const colour = () => rgb(next(), next(), next());
    while (i < ints.length) {
      const op = next();
      if (op === core.opFill) {
        const [x, y, w, h] = [next(), next(), next(), next()];
        ctx.fillStyle = colour();
        ctx.fillRect(x, y, w, h);
      } else if (op === core.opText) {
        const [x, y, font] = [next(), next(), next()];
        const [fore, back] = [colour(), colour()];
        this.text(x, y, texts[next()], font, fore, back);
      } else if (op === core.opCard) {
        const [card, sx, sy, sw, sh, x, y] = [next(), next(), next(), next(), next(), next(), next()];
        const r = this.ratio;
        ctx.drawImage(this.cards.picture(card), sx * r, sy * r, sw * r, sh * r, x, y, sw, sh);
      } else {
        break;  // an operation this page does not know
      }
    }
  }

  text(x, y, text, font, colour, background) {
    const face = this.faces[font] || this.faces[0];
    const ctx = this.ctx;
    const stretch = this.stretch[font] || 1;
    ctx.font = this.font(face);
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
    // The underline marks the player to act: in the text's colour.
    if (face.underlined) {
      ctx.fillStyle = colour;
      ctx.fillRect(x, y + face.underlineTop, width, face.underlineThickness);
    }
  }

  // The keyboard's focus ring around a card of the own hand (layout
  // pixels): dark inside, light outside, so it shows on any table colour.
  ring(x, y, w, h) {
    const ctx = this.ctx;
    ctx.setTransform(this.ratio, 0, 0, this.ratio, 0, 0);
    ctx.lineWidth = 2.5;
    ctx.strokeStyle = '#ffffff';
    ctx.strokeRect(x - 2.5, y - 2.5, w + 5, h + 5);
    ctx.strokeStyle = '#0b3d91';
    ctx.strokeRect(x - 0.5, y - 0.5, w + 1, h + 1);
  }

  // Layout coordinates of a pointer event, or null outside the table.
  toLayout(event) {
    const rect = this.canvas.getBoundingClientRect();
    if (rect.width <= 0 || rect.height <= 0) return null;
    const x = Math.floor((event.clientX - rect.left) * this.width / rect.width);
    const y = Math.floor((event.clientY - rect.top) * this.height / rect.height);
    if (x < 0 || y < 0 || x >= this.width || y >= this.height) return null;
    return { x, y };
  }

  // The page rectangle of a layout rectangle, for tests.
  toPageRect(x, y, w, h) {
    const rect = this.canvas.getBoundingClientRect();
    const sx = rect.width / this.width, sy = rect.height / this.height;
    return { x: rect.left + x * sx, y: rect.top + y * sy, width: w * sx, height: h * sy };
  }

  // The page position of layout point (x, y), for tests.
  toPage(x, y) {
    const rect = this.canvas.getBoundingClientRect();
    return { x: rect.left + (x + 0.5) * rect.width / this.width,
      y: rect.top + (y + 0.5) * rect.height / this.height };
  }
}

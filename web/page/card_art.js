// The 52 card pictures, drawn in the browser from the core's card recipe
// at the pixel ratio the table is shown at, so cards stay sharp.

function tracePath(ctx, steps, core) {
  ctx.beginPath();
  for (const [kind, a, b, c, d, e, f] of steps) {
    if (kind === core.pathMoveTo) ctx.moveTo(a, b);
    else if (kind === core.pathLineTo) ctx.lineTo(a, b);
    else if (kind === core.pathCubicTo) ctx.bezierCurveTo(a, b, c, d, e, f);
    else if (kind === core.pathEllipse) {
      ctx.moveTo(a + c, b);
      ctx.ellipse(a, b, c, d, 0, 0, 2 * Math.PI);
    } else if (kind === core.pathClose) ctx.closePath();
  }
}

function drawLabel(ctx, shape, core) {
  ctx.save();
  if (shape.upsideDown) {
    ctx.translate(core.cardWidth, core.cardHeight);
    ctx.rotate(Math.PI);
  }
  ctx.font = `bold ${Math.round(shape.size)}px sans-serif`;
  ctx.fillStyle = shape.fill;
  ctx.textAlign = 'center';
  ctx.textBaseline = shape.top ? 'top' : 'middle';
  ctx.translate(shape.x, shape.y);
  const width = ctx.measureText(shape.text).width;
  if (shape.maxWidth > 0 && width > shape.maxWidth) ctx.scale(shape.maxWidth / width, 1);
  ctx.fillText(shape.text, 0, 0);
  ctx.restore();
}

// Each picture is drawn the first time it is shown, so a page that shows
// few cards (or none, behind the join form) does not draw the whole deck
// before its first paint.
export class CardArt {
  constructor(core) {
    this.core = core;
    this.ratio = 0;
    this.cardCount = core.pageConstants().cardCount;
    this.pictures = [];
    this.recipes = [];
  }

  // Forgets the pictures when the ratio of picture pixels to layout pixels changes.
  setRatio(ratio) {
    if (Math.abs(ratio - this.ratio) < 1e-3) return;
    this.ratio = ratio;
    this.pictures = [];
  }

  picture(card) {
    const c = card >= 0 && card < this.cardCount ? card : 0;
    if (!this.pictures[c]) this.pictures[c] = this.draw(c);
    return this.pictures[c];
  }

  draw(card) {
    if (!this.recipes[card]) this.recipes[card] = this.core.cardRecipe(card);
    const { cardWidth, cardHeight } = this.core;
    const canvas = document.createElement('canvas');
    canvas.width = Math.ceil(cardWidth * this.ratio);
    canvas.height = Math.ceil(cardHeight * this.ratio);
    const ctx = canvas.getContext('2d');
    ctx.scale(this.ratio, this.ratio);
    for (const shape of this.recipes[card]) {
      if (shape.text !== undefined) {
        drawLabel(ctx, shape, this.core);
        continue;
      }
      tracePath(ctx, shape.path, this.core);
      if (shape.fill) {
        ctx.fillStyle = shape.fill;
        ctx.fill('nonzero');
      }
      if (shape.pen) {
        ctx.strokeStyle = shape.pen;
        ctx.lineWidth = shape.penWidth;
        ctx.stroke();
      }
    }
    return canvas;
  }
}

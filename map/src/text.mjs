// Map lettering. Labels are drawn as outlines taken straight from the font
// files of a pinned npm package, so the picture does not depend on which
// fonts or font configuration the machine happens to have, and the boxes
// used to keep labels apart are the exact ink of each label.
import { readFileSync } from "node:fs";
import { createRequire } from "node:module";
import opentype from "opentype.js";

const require = createRequire(import.meta.url);
const fontDir = require.resolve("dejavu-fonts-ttf/package.json").replace(/package\.json$/, "ttf/");

const cache = new Map();
function font(file) {
  if (!cache.has(file)) {
    const buf = readFileSync(fontDir + file);
    cache.set(file, opentype.parse(buf.buffer.slice(buf.byteOffset, buf.byteOffset + buf.byteLength)));
  }
  return cache.get(file);
}

export const FONTS = {
  regular: "DejaVuSansCondensed.ttf",
  bold: "DejaVuSansCondensed-Bold.ttf",
  italic: "DejaVuSansCondensed-Oblique.ttf",
  wideBold: "DejaVuSans-Bold.ttf",
  wide: "DejaVuSans.ttf",
};

const CAP_HEIGHT = 0.73; // of the font size, for DejaVu Sans
const LEADING = 1.22;

// Lays out text (a string, or an array of lines stacked downwards) with the
// first baseline starting at (0, 0), and returns its size and ink box, so a
// label can be measured before it is placed. align says how lines of
// different lengths line up.
export function shape(text, style, align = "left") {
  const f = font(FONTS[style.font]);
  const options = { kerning: true, letterSpacing: style.letterSpacing || 0 };
  const lines = Array.isArray(text) ? text : [text];
  const widths = lines.map((t) => f.getAdvanceWidth(t, style.size, options));
  const width = Math.max(...widths);
  const leading = style.size * LEADING;
  const placed = lines.map((t, i) => {
    const dx = align === "center" ? (width - widths[i]) / 2 : align === "right" ? width - widths[i] : 0;
    return { text: t, dx, dy: i * leading };
  });
  const ink = { x1: Infinity, y1: Infinity, x2: -Infinity, y2: -Infinity };
  for (const l of placed) {
    const bb = f.getPath(l.text, l.dx, l.dy, style.size, options).getBoundingBox();
    ink.x1 = Math.min(ink.x1, bb.x1);
    ink.y1 = Math.min(ink.y1, bb.y1);
    ink.x2 = Math.max(ink.x2, bb.x2);
    ink.y2 = Math.max(ink.y2, bb.y2);
  }
  const capHeight = style.size * CAP_HEIGHT;
  return {
    text: lines.join(" "),
    lines: placed,
    style,
    width,
    capHeight,
    // From the top of the first line's capitals to the last baseline.
    height: (lines.length - 1) * leading + capHeight,
    ink,
  };
}

// Outline of shaped text with its first baseline starting at (x, y), as SVG path data.
export function outline(shaped, x, y) {
  const f = font(FONTS[shaped.style.font]);
  const options = { kerning: true, letterSpacing: shaped.style.letterSpacing || 0 };
  return shaped.lines
    .map((l) => f.getPath(l.text, x + l.dx, y + l.dy, shaped.style.size, options).toPathData(2))
    .join("");
}

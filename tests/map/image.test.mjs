// Checks on the picture as shipped, against projection.json and against the
// places where Quimbara's window covers or hides it.
import { test } from "node:test";
import assert from "node:assert/strict";
import { readFileSync, statSync } from "node:fs";
import { IMAGE, decodeJpeg, dist, hex } from "./helpers.mjs";
import { COLORS } from "../../map/src/style.mjs";
import { loadFrames } from "../../map/src/frames.mjs";
import { loadPlaces, loadSpain } from "../../map/src/data.mjs";

const { file, frames } = loadFrames();
const img = decodeJpeg(IMAGE);
const C = (name) => hex(COLORS[name]);
const luminance = ([r, g, b]) => 0.299 * r + 0.587 * g + 0.114 * b;
const isDotRed = ([r, g, b]) => r > 80 && g < 100 && r - Math.max(g, b) > 35;

// Nearest colour that antialiasing can make between two of the colours that
// meet in open sea and foreign land.
const BLENDS = [
  ["sea", "coastGlow"], ["coastGlow", "foreign"], ["foreign", "foreignCoast"],
  ["foreignCoast", "coastGlow"], ["foreignCoast", "sea"], ["foreign", "foreignBorder"],
].map(([a, b]) => [C(a), C(b)]);
function offBackground(c) {
  let best = Infinity;
  for (const [a, b] of BLENDS) {
    const ab = [0, 1, 2].map((i) => b[i] - a[i]);
    const t = Math.max(0, Math.min(1, [0, 1, 2].reduce((s, i) => s + (c[i] - a[i]) * ab[i], 0) / ab.reduce((s, v) => s + v * v, 0)));
    best = Math.min(best, dist(c, [0, 1, 2].map((i) => a[i] + t * ab[i])));
  }
  return best;
}

test("the picture is a JPEG of 1267 x 990 px and at most 250 KB", () => {
  const bytes = readFileSync(IMAGE);
  assert.deepEqual([...bytes.subarray(0, 3)], [0xff, 0xd8, 0xff]);
  assert.equal(img.width, file.image.width);
  assert.equal(img.height, file.image.height);
  assert.deepEqual([img.width, img.height], [1267, 990]);
  assert.ok(statSync(IMAGE).size <= 250 * 1024, `${statSync(IMAGE).size} bytes`);
});

test("every dot sits where projection.json puts its place", () => {
  // The 3 x 3 pixels around the computed position must all be the dot's red:
  // a dot drawn one or two pixels off fails.
  const off = [];
  for (const p of loadPlaces()) {
    const [x, y] = frames[p.frame].toPixel(p.lon, p.lat);
    const X = Math.floor(x), Y = Math.floor(y);
    for (let dx = -1; dx <= 1; dx++) {
      for (let dy = -1; dy <= 1; dy++) {
        if (!isDotRed(img.at(X + dx, Y + dy))) off.push(`${p.name} at (${X + dx}, ${Y + dy}): ${img.at(X + dx, Y + dy)}`);
      }
    }
  }
  assert.deepEqual(off, []);
});

test("the corner under the result panel is open sea", () => {
  const sea = C("sea"), glow = C("coastGlow");
  for (let y = 0; y < 75; y++) {
    for (let x = 0; x < 345; x++) {
      const c = img.at(x, y);
      assert.ok(Math.min(dist(c, sea), dist(c, glow)) < 30, `(${x}, ${y}) is ${c}, not sea`);
    }
  }
});

test("nothing but sea and foreign land where the window hides the picture", () => {
  // Rows below 960 and the last column: no lettering, dot, line of the
  // Spanish map or Spanish territory may end up there.
  const hidden = [];
  for (let y = 961; y < img.height; y++) for (let x = 0; x < img.width; x++) hidden.push([x, y]);
  for (let y = 0; y <= 960; y++) hidden.push([img.width - 1, y]);
  const bad = hidden
    .map(([x, y]) => ({ x, y, c: img.at(x, y) }))
    .filter(({ c }) => luminance(c) < 120 || isDotRed(c) || offBackground(c) > 30);
  assert.deepEqual(bad.slice(0, 5), [], `${bad.length} pixels`);

  // Pale Spanish fills are too close to sea/land blends to tell by colour
  // alone, so check the territory itself as well.
  const { provinces } = loadSpain();
  for (const f of provinces) {
    const frame = { 35: "canarias", 38: "canarias", 52: "melilla" }[f.id] ?? "main";
    const visit = (c) => {
      if (typeof c[0] !== "number") return c.forEach(visit);
      const [x, y] = frames[frame].toPixel(c[0], c[1]);
      assert.ok(y <= 960 && x < img.width - 1 && x >= 0 && y >= 0, `province ${f.id} reaches (${x.toFixed(0)}, ${y.toFixed(0)})`);
    };
    visit(f.geometry.coordinates);
  }
});

test("the insets are framed and stand clear of the peninsula, the Balearic Islands and Ceuta", () => {
  const { provinces } = loadSpain();
  const inMainFrame = provinces.filter((f) => !["35", "38", "52"].includes(f.id));
  for (const inset of file.frames.filter((f) => f.id !== "main")) {
    const [x0, y0, w, h] = inset.rect;
    assert.ok(x0 >= 0 && y0 >= 0 && x0 + w <= img.width - 1 && y0 + h <= 960, `${inset.id} leaves the visible picture`);
    assert.ok(x0 >= 345 || y0 >= 75, `${inset.id} is under the result panel`);

    const margin = 4;
    for (const f of inMainFrame) {
      const visit = (c) => {
        if (typeof c[0] !== "number") return c.forEach(visit);
        const [x, y] = frames.main.toPixel(c[0], c[1]);
        const inside = x > x0 - margin && x < x0 + w + margin && y > y0 - margin && y < y0 + h + margin;
        assert.ok(!inside, `${inset.id} inset covers province ${f.id} at (${x.toFixed(0)}, ${y.toFixed(0)})`);
      };
      visit(f.geometry.coordinates);
    }

    // The frame line runs along the rectangle's edge pixels.
    const edge = [];
    for (let x = x0; x < x0 + w; x++) edge.push([x, y0], [x, y0 + h - 1]);
    for (let y = y0; y < y0 + h; y++) edge.push([x0, y], [x0 + w - 1, y]);
    const dark = edge.filter(([x, y]) => luminance(img.at(x, y)) < 130).length;
    assert.ok(dark / edge.length > 0.95, `${inset.id}: only ${dark} of ${edge.length} frame pixels are drawn`);
  }
});

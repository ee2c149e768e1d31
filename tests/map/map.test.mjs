import { after, test } from "node:test";
import assert from "node:assert/strict";
import { execFile } from "node:child_process";
import { mkdtempSync, readFileSync, rmSync } from "node:fs";
import { createRequire } from "node:module";
import { tmpdir } from "node:os";
import { join } from "node:path";
import { fileURLToPath, pathToFileURL } from "node:url";
import { promisify } from "node:util";
import { loadFrames } from "../../map/src/frames.mjs";
import { loadPlaces, loadSpain } from "../../map/src/data.mjs";
import { outline, shape } from "../../map/src/text.mjs";

const MAP = fileURLToPath(new URL("../../map/", import.meta.url));
const shipped = readFileSync(join(MAP, "Mapa_Politico_de_Espana.jpg"));
const mapRequire = createRequire(join(MAP, "package.json")); // the map's own dependencies
const decode = (jpeg) => mapRequire("jpeg-js").decode(jpeg, { formatAsRGBA: false });
const img = decode(shipped);
const at = (x, y) => [...img.data.subarray((y * img.width + x) * 3, (y * img.width + x) * 3 + 3)];
const { file, frames } = loadFrames();
const places = loadPlaces();
const { geoArea } = await import(pathToFileURL(mapRequire.resolve("d3-geo")).href);
const { WGS84 } = mapRequire("geographiclib-geodesic").Geodesic;
const geodesicKm = (a, b) => WGS84.Inverse(a.lat, a.lon, b.lat, b.lon).s12 / 1000;

// The drawings take seconds; they start once the data has loaded. The second fails after its SVG.
const dir = mkdtempSync(join(tmpdir(), "map-test-"));
after(() => rmSync(dir, { recursive: true, force: true }));
const run = (command, ...args) => promisify(execFile)(command, args, { timeout: 120_000 }).catch((failure) => failure);
const regenerated = run("sh", join(MAP, "make-map.sh"), join(dir, "again.jpg"));
const refused = run("node", join(MAP, "src/generate.mjs"), "--svg", join(dir, "map.svg"), "--out", join(dir, "none", "map.jpg"));

// The Canary inset's two dots are closer than 150 km: measure it between capes.
const capes = [[-18.161, 27.709], [-17.779, 28.836], [-14.506, 28.063], [-13.465, 29.235]];
test("distances between the dots, and across the Canary inset, are as true as map/README.md says", () => {
  const points = [...places, ...capes.map(([lon, lat], i) => ({ name: `Canary cape ${i}`, lon, lat, frame: "canarias" }))];
  const pairs = points.flatMap((a, i) => points.slice(i + 1).map((b) => [a, b]));
  const measured = pairs.filter(([a, b]) => a.frame === b.frame && geodesicKm(a, b) >= 150);
  const errors = measured.map(([a, b]) => {
    const [ax, ay] = frames[a.frame].toPixel(a.lon, a.lat);
    const [bx, by] = frames[b.frame].toPixel(b.lon, b.lat);
    return { pair: `${a.name} - ${b.name}`, error: Math.abs(Math.hypot(bx - ax, by - ay) / geodesicKm(a, b) - 1) };
  });
  const worst = errors.reduce((w, e) => (e.error > w.error ? e : w));
  const mean = errors.reduce((sum, e) => sum + e.error, 0) / errors.length;
  // It gives 0.115 % at worst (Palma - Toledo) and 0.068 % on average.
  assert.ok(errors.length > 1000 && worst.error < 0.00125 && mean < 0.00075, `${worst.pair} off by ${worst.error}, mean ${mean}`);
});

test("every dot sits where projection.json puts its place", () => {
  // The 3 x 3 pixels around it must all be red: a dot one pixel off fails.
  const isRed = ([r, g, b]) => r > 80 && g < 100 && r - Math.max(g, b) > 35;
  const off = places.filter((p) => {
    const [x, y] = frames[p.frame].toPixel(p.lon, p.lat).map(Math.floor);
    return ![-1, 0, 1].every((dx) => [-1, 0, 1].every((dy) => isRed(at(x + dx, y + dy))));
  });
  assert.deepEqual(off.map((p) => p.name), []);
});

// Sea and foreign land are lighter than any lettering, dot, line or Spanish coast.
const luminance = ([r, g, b]) => 0.299 * r + 0.587 * g + 0.114 * b;
const OUT_OF_SIGHT = [
  ["the corner under the result panel", [0, 345], [0, 75]],
  ["the rows the window hides", [0, 1267], [961, 990]],
  ["the column the window hides", [1266, 1267], [0, 961]],
];
for (const [where, [x0, x1], [y0, y1]] of OUT_OF_SIGHT) {
  test(`nothing of the map's own is drawn in ${where}`, () => {
    for (let y = y0; y < y1; y++) {
      for (let x = x0; x < x1; x++) assert.ok(luminance(at(x, y)) > 140, `(${x}, ${y}) is ${at(x, y)}`);
    }
  });
}

test("the insets are framed by a line along their edge pixels", () => {
  for (const { id, rect: [x0, y0, w, h] } of file.frames.filter((f) => f.id !== "main")) {
    const across = [...Array(w).keys()].flatMap((i) => [[x0 + i, y0], [x0 + i, y0 + h - 1]]);
    const down = [...Array(h).keys()].flatMap((j) => [[x0, y0 + j], [x0 + w - 1, y0 + j]]);
    const drawn = [...across, ...down].filter(([x, y]) => luminance(at(x, y)) < 130).length;
    assert.ok(drawn > 0.95 * 2 * (w + h), `${id}: only ${drawn} frame pixels drawn`);
  }
});

test("each province is painted in the colour of its own community", () => {
  // Merged, a community's provinces must cover the same ground as IGN's own shape of it.
  const { topology, communities, communityFeatures } = loadSpain();
  for (const { ine, name, provinces } of communities) {
    const members = topology.objects.provinces.geometries.filter((g) => provinces.includes(g.id));
    const official = geoArea(communityFeatures.find((f) => f.id === ine));
    assert.ok(Math.abs(geoArea(mapRequire("topojson-client").merge(topology, members)) / official - 1) < 0.001, name);
  }
});

test("the shipped picture is 1267 x 990 px, at most 250 KB, and what make-map.sh draws", async () => {
  assert.ok(img.width === 1267 && img.height === 990 && shipped.length <= 250 * 1024, `${img.width} x ${img.height}, ${shipped.length} B`);
  const result = await regenerated;
  assert.ok(!(result instanceof Error), result.stderr);
  const again = decode(readFileSync(join(dir, "again.jpg")));
  const diffs = img.data.map((v, i) => Math.abs(v - again.data[i]));
  const mean = diffs.reduce((sum, d) => sum + d, 0) / diffs.length;
  const far = diffs.filter((d) => d > 12).length;
  assert.ok(again.width === img.width && mean < 0.5 && far < diffs.length / 2000, `mean difference ${mean}, ${far} far off`);
});

test("the generator says so, and fails, when it cannot write the picture", async () => {
  const result = await refused;
  assert.ok(result instanceof Error);
  assert.match(result.stderr, /^make-map: cannot write/);
});

test("the credits are printed on the map as map/README.md gives them", async () => {
  await refused;
  const svg = readFileSync(join(dir, "map.svg"), "utf8");
  const credits = readFileSync(join(MAP, "README.md"), "utf8").match(/Credits as printed on the map.*\n+```\n([^`]+)```/)[1];
  // Bottom left, in small print, one line every 12 px.
  credits.trim().split("\n").forEach((line, i) => {
    const lettering = outline(shape(line, { font: "regular", size: 9.5 }), 14, 898 + 12 * i);
    assert.ok(svg.includes(`d="${lettering}"`), `"${line}" is not on the map`);
  });
});

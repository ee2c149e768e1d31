import { after, test } from "node:test";
import assert from "node:assert/strict";
import { execFile } from "node:child_process";
import { mkdtempSync, readFileSync, rmSync } from "node:fs";
import { createRequire } from "node:module";
import { tmpdir } from "node:os";
import { fileURLToPath, pathToFileURL } from "node:url";
import { promisify } from "node:util";
import { loadFrames } from "../../map/src/frames.mjs";
import { loadPlaces, loadSpain } from "../../map/src/data.mjs";
import { outline, shape } from "../../map/src/text.mjs";

const MAP = fileURLToPath(new URL("../../map/", import.meta.url));
const shipped = readFileSync(`${MAP}Mapa_Politico_de_Espana.jpg`);
const mapRequire = createRequire(`${MAP}package.json`); // the map's own dependencies
const decode = (jpeg) => mapRequire("jpeg-js").decode(jpeg, { formatAsRGBA: false });
const img = decode(shipped);
const at = ([x, y]) => [...img.data.subarray((y * img.width + x) * 3, (y * img.width + x) * 3 + 3)];
const pixelsIn = (x0, y0, w, h) => Array.from({ length: w * h }, (_, k) => [x0 + (k % w), y0 + Math.floor(k / w)]);
const [{ frames }, places] = [loadFrames(), loadPlaces()];
const pixelOf = (p) => frames[p.frame].toPixel(p.lon, p.lat);
const { geoArea } = await import(pathToFileURL(mapRequire.resolve("d3-geo")).href);
const geodesicKm = (a, b) => mapRequire("geographiclib-geodesic").Geodesic.WGS84.Inverse(a.lat, a.lon, b.lat, b.lon).s12 / 1000;

// The drawings take seconds; they start once the data has loaded. The second fails after its SVG.
const dir = mkdtempSync(`${tmpdir()}/map-test-`);
after(() => rmSync(dir, { recursive: true, force: true }));
const run = (command, ...args) => promisify(execFile)(command, args, { timeout: 120_000 }).catch((failure) => failure);
const regenerated = run("sh", `${MAP}make-map.sh`, `${dir}/again.jpg`);
const refused = run("node", `${MAP}src/generate.mjs`, "--svg", `${dir}/map.svg`, "--out", `${dir}/none/map.jpg`);

// The Canary inset's two dots are closer than 150 km: measure it between capes.
const capes = [[-18.161, 27.709], [-17.779, 28.836], [-14.506, 28.063], [-13.465, 29.235]];
test("distances between the dots, and across the Canary inset, are as true as map/README.md says", () => {
  const points = [...places, ...capes.map(([lon, lat], i) => ({ name: `Canary cape ${i}`, lon, lat, frame: "canarias" }))];
  const pairs = points.flatMap((a, i) => points.slice(i + 1).map((b) => [a, b]));
  const errors = pairs.filter(([a, b]) => a.frame === b.frame && geodesicKm(a, b) >= 150).map(([a, b]) => {
    const [[ax, ay], [bx, by]] = [a, b].map(pixelOf);
    return { pair: `${a.name} - ${b.name}`, error: Math.abs(Math.hypot(bx - ax, by - ay) / geodesicKm(a, b) - 1) };
  });
  const worst = errors.reduce((w, e) => (e.error > w.error ? e : w));
  const mean = errors.reduce((sum, e) => sum + e.error, 0) / errors.length;
  assert.ok(errors.length > 1000 && worst.error < 0.00125 && mean < 0.00075, `${worst.pair} off by ${worst.error}, mean ${mean}`);
});

test("every dot covers the 3 x 3 pixels where projection.json puts its place", () => {
  const isRed = ([r, g, b]) => r > 80 && g < 100 && r - Math.max(g, b) > 35;
  const around = (p) => pixelsIn(...pixelOf(p).map((v) => Math.floor(v) - 1), 3, 3);
  assert.deepEqual(places.filter((p) => !around(p).every((xy) => isRed(at(xy)))).map((p) => p.name), []);
});

// Sea and foreign land are lighter than any lettering, dot, line or Spanish coast.
const luminance = ([r, g, b]) => 0.299 * r + 0.587 * g + 0.114 * b;
const inked = (xy) => luminance(at(xy)) < 140;

test("nothing of the map's own is drawn under the result panel or where the window cuts the picture off", () => {
  const hidden = { "result panel": [0, 0, 345, 75], "hidden rows": [0, 961, 1267, 29], "hidden column": [1266, 0, 1, 961] };
  for (const [where, rect] of Object.entries(hidden)) {
    const ink = pixelsIn(...rect).filter(inked);
    assert.equal(ink.length, 0, `${ink.length} pixels inked in the ${where}, the first at (${ink[0]})`);
  }
});

test("the insets are framed by a line along their edge pixels", () => {
  for (const { id, rect: [x0, y0, w, h] } of Object.values(frames).filter((f) => f.id !== "main")) {
    const edge = pixelsIn(x0, y0, w, h).filter(([x, y]) => x === x0 || y === y0 || x === x0 + w - 1 || y === y0 + h - 1);
    const drawn = edge.filter(inked).length;
    assert.ok(drawn > 0.95 * edge.length, `${id}: only ${drawn} of ${edge.length} frame pixels drawn`);
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
  assert.deepEqual([img.width, img.height], [1267, 990]);
  assert.ok(shipped.length <= 250 * 1024, `${shipped.length} B`);
  const result = await regenerated;
  assert.ok(!(result instanceof Error), result.stderr);
  const again = decode(readFileSync(`${dir}/again.jpg`));
  const diffs = img.data.map((v, i) => Math.abs(v - again.data[i]));
  const mean = diffs.reduce((sum, d) => sum + d, 0) / diffs.length;
  const far = diffs.filter((d) => d > 12).length;
  assert.ok(again.width === img.width && mean < 0.5 && far < diffs.length / 2000, `mean difference ${mean}, ${far} far off`);
});

test("the generator prints map/README.md's credits at the bottom left, then fails saying so if it cannot write", async () => {
  const { code, stderr } = await refused;
  assert.ok(code > 0 && /^make-map: cannot write/.test(stderr), `exit code ${code}: ${stderr}`);
  const svg = readFileSync(`${dir}/map.svg`, "utf8");
  const credits = readFileSync(`${MAP}README.md`, "utf8").match(/Credits as printed on the map.*\n+```\n([^`]+)```/)[1];
  credits.trim().split("\n").forEach((line, i) => {
    const lettering = outline(shape(line, { font: "regular", size: 9.5 }), 14, 898 + 12 * i);
    assert.ok(svg.includes(`d="${lettering}"`), `"${line}" is not on the map`);
  });
});

// Quimbara reads distances straight off the picture at 1 px = 1 km, so the
// map is only as good as this agreement with the true (WGS84 geodesic)
// distances.
import { test } from "node:test";
import assert from "node:assert/strict";
import { mapImport, mapRequire } from "./helpers.mjs";
import { loadFrames } from "../../map/src/frames.mjs";
import { loadPlaces, loadSpain } from "../../map/src/data.mjs";

const { geoArea, geoContains } = await mapImport("d3-geo");
const topojson = await mapImport("topojson-client");
const { Geodesic } = mapRequire("geographiclib-geodesic");
const geodesicKm = (a, b) => Geodesic.WGS84.Inverse(a.lat, a.lon, b.lat, b.lon).s12 / 1000;
const { frames } = loadFrames();
const places = loadPlaces();

function pairErrors(points, minKm) {
  const errors = [];
  for (let i = 0; i < points.length; i++) {
    for (let j = i + 1; j < points.length; j++) {
      const a = points[i], b = points[j];
      if (a.frame !== b.frame) continue;
      const km = geodesicKm(a, b);
      if (km < minKm) continue;
      const [ax, ay] = frames[a.frame].toPixel(a.lon, a.lat);
      const [bx, by] = frames[b.frame].toPixel(b.lon, b.lat);
      const px = Math.hypot(bx - ax, by - ay);
      errors.push({ pair: `${a.name} - ${b.name}`, km, px, error: Math.abs(px - km) / km });
    }
  }
  return errors;
}

test("distances between the dots match the geodesic within 0.5 %", (t) => {
  const errors = pairErrors(places, 150);
  assert.ok(errors.length > 1000, `only ${errors.length} pairs compared`);
  const worst = errors.reduce((a, b) => (b.error > a.error ? b : a));
  const mean = errors.reduce((s, e) => s + e.error, 0) / errors.length;
  const msg =
    `${errors.length} pairs >= 150 km: max error ${(worst.error * 100).toFixed(3)} % ` +
    `(${worst.pair}: ${worst.px.toFixed(1)} px for ${worst.km.toFixed(1)} km), mean ${(mean * 100).toFixed(3)} %`;
  t.diagnostic(msg);
  assert.ok(worst.error <= 0.005, msg);
});

test("the Canary Islands inset is drawn at 1 px = 1 km too", () => {
  // Its only two dots are closer than 150 km, so measure across the
  // archipelago between capes instead.
  const capes = [
    { name: "Punta Orchilla (El Hierro)", lon: -18.161, lat: 27.709 },
    { name: "Punta Cumplida (La Palma)", lon: -17.779, lat: 28.836 },
    { name: "Punta de Jandía (Fuerteventura)", lon: -14.506, lat: 28.063 },
    { name: "Punta Fariones (Lanzarote)", lon: -13.465, lat: 29.235 },
  ].map((c) => ({ ...c, frame: "canarias" }));
  for (const e of pairErrors(capes, 150)) assert.ok(e.error <= 0.005, `${e.pair}: ${e.px.toFixed(1)} px for ${e.km.toFixed(1)} km`);
});

test("what a user can pick up with the mouse is still within 1 %", (t) => {
  // The program measures between whole pixels, so a click on a dot can be
  // off by up to half a pixel in each direction on top of the projection:
  // at most 1.4 px, under 1 % of 150 km.
  const snapped = places.map((p) => {
    const [x, y] = frames[p.frame].toPixel(p.lon, p.lat);
    return { ...p, sx: Math.floor(x), sy: Math.floor(y) };
  });
  let worst = 0;
  for (const a of snapped) {
    for (const b of snapped) {
      if (a === b || a.frame !== b.frame) continue;
      const km = geodesicKm(a, b);
      if (km < 150) continue;
      worst = Math.max(worst, Math.abs(Math.hypot(a.sx - b.sx, a.sy - b.sy) - km) / km);
    }
  }
  t.diagnostic(`max error between whole pixels: ${(worst * 100).toFixed(3)} %`);
  assert.ok(worst <= 0.01);
});

test("every capital lies in its own province", () => {
  // Catches a wrong GeoNames id or a swapped row in places.json. Coastal
  // cities may fall just off the simplified shoreline, hence the 3 km slack.
  const { provinces } = loadSpain();
  const byId = new Map(provinces.map((f) => [f.id, f]));
  const misplaced = [];
  for (const p of places) {
    const province = byId.get(p.province);
    assert.ok(province, `${p.name}: province ${p.province} is not on the map`);
    if (geoContains(province, [p.lon, p.lat])) continue;
    let nearest = Infinity;
    const visit = (c) => (typeof c[0] === "number" ? (nearest = Math.min(nearest, geodesicKm(p, { lon: c[0], lat: c[1] }))) : c.forEach(visit));
    visit(province.geometry.coordinates);
    if (nearest > 3) misplaced.push(`${p.name} is ${nearest.toFixed(1)} km from province ${p.province}`);
  }
  assert.deepEqual(misplaced, []);
});

test("the places are the 50 province capitals plus Ceuta and Melilla", () => {
  const provinces = places.map((p) => p.province).sort();
  const expected = Array.from({ length: 52 }, (_, i) => String(i + 1).padStart(2, "0"));
  assert.deepEqual(provinces, expected);
  assert.equal(places.filter((p) => p.rank === 0).map((p) => p.name).join(), "Madrid");
  for (const p of places) {
    const inset = { 35: "canarias", 38: "canarias", 52: "melilla" }[p.province] || "main";
    assert.equal(p.frame, inset, `${p.name} is drawn in the wrong frame`);
  }
});

test("every province is coloured as the community it belongs to", () => {
  // communities.json says which provinces make up each community; merged,
  // they must cover the same ground as IGN's own shape of that community,
  // or some province is painted in a wrong colour.
  const { topology, communities, communityFeatures } = loadSpain();
  const shapeOf = new Map(communityFeatures.map((f) => [f.id, f]));
  for (const c of communities) {
    const members = topology.objects.provinces.geometries.filter((g) => c.provinces.includes(g.id));
    assert.equal(members.length, c.provinces.length, `${c.name}: unknown province code`);
    const merged = geoArea(topojson.merge(topology, members));
    const official = geoArea(shapeOf.get(c.ine));
    assert.ok(Math.abs(merged - official) / official < 0.001, `${c.name}: provinces cover ${merged / official} of it`);
  }
  const listed = communities.flatMap((c) => c.provinces);
  assert.equal(new Set(listed).size, listed.length, "a province is listed in two communities");
});

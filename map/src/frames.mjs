// Frames of the map image: the main map and its insets. Each frame has its
// own conformal projection and pixel origin; projection.json is the single
// source of truth, so the generator, the tests and anyone reading the image
// turn latitude/longitude into pixels the same way.
import { readFileSync } from "node:fs";
import proj4 from "proj4";
import { geoProjection } from "d3-geo";

const here = new URL("..", import.meta.url);

export function loadProjectionFile(url = new URL("projection.json", here)) {
  return JSON.parse(readFileSync(url, "utf8"));
}

// Pixel coordinates are continuous: pixel (i, j) covers [i, i+1) x [j, j+1).
// x grows eastwards, y southwards, and one unit is one kilometre on the ground.
export function makeFrame(def) {
  const converter = proj4("WGS84", def.proj);
  const [ox, oy] = def.origin;
  const toPixel = (lon, lat) => {
    const [e, n] = converter.forward([lon, lat]);
    return [ox + e / 1000, oy - n / 1000];
  };
  const toLonLat = (x, y) => converter.inverse([(x - ox) * 1000, (oy - y) * 1000]);

  // d3 draws through a raw projection in kilometres; centring it on the
  // projection's own origin makes d3's translate equal our pixel origin.
  const deg = 180 / Math.PI;
  const raw = (lambda, phi) => {
    const [e, n] = converter.forward([lambda * deg, phi * deg]);
    return [e / 1000, n / 1000];
  };
  raw.invert = (x, y) => {
    const [lon, lat] = converter.inverse([x * 1000, y * 1000]);
    return [lon / deg, lat / deg];
  };
  const origin = converter.inverse([0, 0]);
  const [rx, ry, rw, rh] = def.rect;
  const d3projection = geoProjection(raw)
    .scale(1)
    .center(origin)
    .translate([ox, oy])
    .clipExtent([[rx, ry], [rx + rw, ry + rh]]);

  return { ...def, toPixel, toLonLat, d3projection };
}

export function loadFrames(url) {
  const file = loadProjectionFile(url);
  const frames = Object.fromEntries(file.frames.map((f) => [f.id, makeFrame(f)]));
  return { file, frames };
}

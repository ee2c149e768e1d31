// Shared by the map tests: where things are, and reading the picture back.
import { readFileSync } from "node:fs";
import { createRequire } from "node:module";
import { fileURLToPath, pathToFileURL } from "node:url";

export const MAP_DIR = fileURLToPath(new URL("../../map/", import.meta.url));
export const IMAGE = `${MAP_DIR}Mapa_Politico_de_Espana.jpg`;
export const mapRequire = createRequire(`${MAP_DIR}package.json`);
// The map's own dependencies live in map/node_modules, out of reach of a
// plain import from here.
export const mapImport = (name) => import(pathToFileURL(mapRequire.resolve(name)).href);

export function decodeJpeg(file) {
  const jpeg = mapRequire("jpeg-js");
  const { width, height, data } = jpeg.decode(readFileSync(file), { useTArray: true, formatAsRGBA: false });
  const at = (x, y) => {
    const i = (y * width + x) * 3;
    return [data[i], data[i + 1], data[i + 2]];
  };
  return { width, height, data, at };
}

export const hex = (h) => [1, 3, 5].map((i) => parseInt(h.slice(i, i + 2), 16));
export const dist = (a, b) => Math.hypot(a[0] - b[0], a[1] - b[1], a[2] - b[2]);

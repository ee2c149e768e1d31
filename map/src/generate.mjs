// Builds the political map of Spain that Quimbara shows, at 1 px = 1 km.
//
//   node src/generate.mjs [--out FILE.jpg] [--svg FILE.svg]
//
// Drawing is done as SVG through d3-geo, rasterised by rsvg-convert and
// encoded by ImageMagick, so this file only decides what goes where.
import { execFileSync } from "node:child_process";
import { copyFileSync, mkdtempSync, renameSync, rmSync, statSync, writeFileSync } from "node:fs";
import { tmpdir } from "node:os";
import { dirname, join, resolve } from "node:path";
import { fileURLToPath } from "node:url";
import * as topojson from "topojson-client";
import { geoContains, geoPath } from "d3-geo";
import { loadFrames } from "./frames.mjs";
import { loadNames, loadPlaces, loadSpain, loadWorld, NE_SPAIN } from "./data.mjs";
import { outline, shape } from "./text.mjs";
import { boxOf, intersects, placeLabels } from "./labels.mjs";
import { COLORS, DOT_RADIUS } from "./style.mjs";

const MAP_DIR = resolve(dirname(fileURLToPath(import.meta.url)), "..");
const DEFAULT_OUTPUT = join(MAP_DIR, "Mapa_Politico_de_Espana.jpg");
// Colour at full resolution (no chroma subsampling) keeps the red dots and
// the coloured borders crisp, and the file still stays under 250 KB.
const JPEG_QUALITY = 88;

// Quimbara paints its result panel over this corner and its window hides the
// bottom rows and the last column of the picture.
const PANEL = { x1: 0, y1: 0, x2: 345, y2: 75 };
const LAST_VISIBLE_ROW = 960;

// Portugal, France, Andorra, Morocco, Algeria, Gibraltar.
const NEIGHBOURS = ["620", "250", "020", "504", "012", "292"];

const LABEL_STYLE = {
  0: { font: "wideBold", size: 13 },
  1: { font: "bold", size: 11.5 },
  2: { font: "regular", size: 11.5 },
};
const COUNTRY_STYLE = { font: "wide", size: 12, letterSpacing: 0.18 };
const SEA_STYLE = { font: "italic", size: 13.5, letterSpacing: 0.12 };
const NAME_KINDS = {
  sea: { style: SEA_STYLE, paint: { fill: COLORS.seaText, halo: COLORS.sea, haloWidth: 2.5, haloOpacity: 0.8 } },
  country: { style: COUNTRY_STYLE, paint: { fill: COLORS.countryText, halo: COLORS.foreign, haloWidth: 2.5 } },
  community: { style: { font: "wide", size: 9.5, letterSpacing: 0.16 }, paint: { fill: COLORS.communityText } },
  island: { style: { font: "italic", size: 10.5 }, paint: { fill: COLORS.islandText, halo: COLORS.sea, haloWidth: 2.5, haloOpacity: 0.8 } },
};
const CREDITS = [
  "Cónica conforme de Lambert (WGS84) · 1 px = 1 km",
  "Límites: obra derivada de «Líneas límite",
  "municipales», CC BY 4.0 ign.es (IGN-CNIG).",
  "Países vecinos: Natural Earth.",
  "Capitales: GeoNames, CC BY 4.0.",
];
const TITLE_STYLE = { font: "bold", size: 12 };
const NOTE_STYLE = { font: "regular", size: 9.5 };

const rectBox = ([x, y, w, h], grow = 0) => ({ x1: x - grow, y1: y - grow, x2: x + w + grow, y2: y + h + grow });
const union = (boxes) => ({
  x1: Math.min(...boxes.map((b) => b.x1)),
  y1: Math.min(...boxes.map((b) => b.y1)),
  x2: Math.max(...boxes.map((b) => b.x2)),
  y2: Math.max(...boxes.map((b) => b.y2)),
});
const num = (v) => +v.toFixed(2);

function textSvg(shaped, bx, by, { fill, halo, haloWidth = 3, haloOpacity = 0.9 }) {
  const d = outline(shaped, bx, by);
  const stroke = halo
    ? ` stroke="${halo}" stroke-width="${haloWidth}" stroke-opacity="${haloOpacity}" stroke-linejoin="round" paint-order="stroke"`
    : "";
  return `<path d="${d}" fill="${fill}"${stroke}/>`;
}

// Splits Spain's outline into coast and land border: a stretch of the IGN
// outline is a land border where it runs along a Natural Earth boundary
// between Spain and a neighbour (the two sources differ by well under the
// tolerance used here).
function splitOutline(outlineLines, neBorderLines, toKm, toleranceKm = 2.5) {
  const segments = [];
  for (const line of neBorderLines) {
    for (let i = 1; i < line.length; i++) segments.push([toKm(...line[i - 1]), toKm(...line[i])]);
  }
  const near = ([x, y]) =>
    segments.some(([[ax, ay], [bx, by]]) => {
      if (Math.max(ax, bx) < x - toleranceKm || Math.min(ax, bx) > x + toleranceKm) return false;
      if (Math.max(ay, by) < y - toleranceKm || Math.min(ay, by) > y + toleranceKm) return false;
      const dx = bx - ax, dy = by - ay;
      const len2 = dx * dx + dy * dy;
      const t = len2 ? Math.max(0, Math.min(1, ((x - ax) * dx + (y - ay) * dy) / len2)) : 0;
      return Math.hypot(x - ax - t * dx, y - ay - t * dy) <= toleranceKm;
    });
  const coast = [], border = [];
  for (const line of outlineLines) {
    const flags = line.map((p) => near(toKm(...p)));
    let run = [line[0]], kind = null;
    for (let i = 1; i < line.length; i++) {
      const k = flags[i - 1] && flags[i] ? "border" : "coast";
      if (kind && k !== kind) {
        (kind === "border" ? border : coast).push(run);
        run = [line[i - 1]];
      }
      kind = k;
      run.push(line[i]);
    }
    if (kind) (kind === "border" ? border : coast).push(run);
  }
  return {
    coast: { type: "MultiLineString", coordinates: coast },
    border: { type: "MultiLineString", coordinates: border },
  };
}

function prepareGeography() {
  const spain = loadSpain();
  const world = loadWorld();
  const { topology: es, spanishObject, communityOf } = spain;

  // Natural Earth ids of the countries that show up around Spain (Gibraltar
  // included); Spain itself is kept only to find its land borders.
  const wt = world.topology;
  const around = {
    type: "GeometryCollection",
    geometries: wt.objects.countries.geometries.filter((g) => NEIGHBOURS.includes(g.id) || g.id === NE_SPAIN),
  };
  const foreign = world.countries.filter((f) => NEIGHBOURS.includes(f.id));
  const isSpain = (g) => g.id === NE_SPAIN;
  const neSpainBorders = topojson.mesh(wt, around, (a, b) => a !== b && isSpain(a) !== isSpain(b));
  const foreignBorders = topojson.mesh(wt, around, (a, b) => a !== b && !isSpain(a) && !isSpain(b));
  const foreignCoast = topojson.mesh(wt, around, (a, b) => a === b && !isSpain(a));

  const community = (g) => communityOf.get(g.id).ine;
  const provinceLines = topojson.mesh(es, spanishObject, (a, b) => a !== b && community(a) === community(b));
  const communityLines = topojson.mesh(es, spanishObject, (a, b) => a !== b && community(a) !== community(b));
  const outlineMesh = topojson.mesh(es, spanishObject, (a, b) => a === b);

  return { spain, foreign, neSpainBorders, foreignBorders, foreignCoast, provinceLines, communityLines, outlineMesh };
}

function drawGeography(geo, frame, { outlineParts }) {
  const path = geoPath(frame.d3projection).digits(2);
  const out = [];
  const stroke = (d, color, width, extra = "") =>
    d ? `<path d="${d}" fill="none" stroke="${color}" stroke-width="${width}" stroke-linejoin="round" stroke-linecap="round"${extra}/>` : "";

  // A pale band along every shore, under the land, softens the coastline.
  out.push(stroke(path(geo.foreignCoast), COLORS.coastGlow, 7));
  out.push(stroke(path(outlineParts.coast), COLORS.coastGlow, 7));

  // Neighbours: their own fill colour as a thin stroke too, so that the small
  // mismatch between Natural Earth and IGN borders never shows sea.
  for (const f of geo.foreign) {
    const d = path(f);
    if (d) out.push(`<path d="${d}" fill="${COLORS.foreign}" stroke="${COLORS.foreign}" stroke-width="2" stroke-linejoin="round"/>`);
  }
  out.push(stroke(path(geo.foreignBorders), COLORS.foreignBorder, 1, ` stroke-dasharray="5 2.5"`));
  out.push(stroke(path(geo.foreignCoast), COLORS.foreignCoast, 0.7));

  for (const f of geo.spain.provinces) {
    const d = path(f);
    if (d) out.push(`<path d="${d}" fill="${geo.spain.communityOf.get(f.id).fill}"/>`);
  }
  for (const f of geo.spain.gibraltar.features) {
    const d = path(f);
    if (d) out.push(`<path d="${d}" fill="${COLORS.foreign}" stroke="${COLORS.foreignCoast}" stroke-width="0.6"/>`);
  }
  out.push(stroke(path(geo.provinceLines), COLORS.provinceLine, 0.9));
  out.push(stroke(path(geo.communityLines), COLORS.communityLine, 1.1));
  out.push(stroke(path(outlineParts.coast), COLORS.spainCoast, 0.9));
  out.push(stroke(path(outlineParts.border), COLORS.borderRibbon, 5, ` stroke-opacity="0.75"`));
  out.push(stroke(path(outlineParts.border), COLORS.landBorder, 1.5));
  return out.join("\n");
}

function scaleBar(x, y) {
  const out = [];
  const h = 5;
  // 100 px is 100 km in every frame of this map.
  for (let i = 0; i < 4; i++) {
    const fill = i % 2 ? "#ffffff" : COLORS.note;
    out.push(`<rect x="${x + i * 25}" y="${y}" width="25" height="${h}" fill="${fill}"/>`);
  }
  out.push(`<rect x="${x}" y="${y}" width="100" height="${h}" fill="none" stroke="${COLORS.note}" stroke-width="0.8"/>`);
  // Numbers centred on their ticks; the unit runs on past the last one.
  for (const [km, text] of [[0, "0"], [50, "50"], [100, "100 km"]]) {
    const s = shape(text, NOTE_STYLE);
    const centre = shape(String(km), NOTE_STYLE).width / 2;
    out.push(textSvg(s, x + km - centre, y - 3, { fill: COLORS.note }));
  }
  return out.join("\n");
}

// Key to the symbols, in the open sea of the Gulf of Lion.
function legend(x, y) {
  const w = 168, rowH = 15;
  const out = [];
  const rows = [];
  const title = shape("ESPAÑA", { font: "wideBold", size: 13, letterSpacing: 0.12 });
  const sub = shape(["Comunidades autónomas", "y provincias"], { font: "regular", size: 10 });
  let cy = y + 8;
  rows.push(textSvg(title, x + 9, cy + title.capHeight, { fill: COLORS.text }));
  cy += title.capHeight + 7;
  rows.push(textSvg(sub, x + 9, cy + sub.capHeight, { fill: COLORS.note }));
  cy += sub.height + 9;
  const entry = (symbol, text, style) => {
    const sh = shape(text, style);
    const my = cy + rowH / 2;
    rows.push(symbol(x + 19, my));
    rows.push(textSvg(sh, x + 36, my + sh.capHeight / 2, { fill: COLORS.text }));
    cy += rowH;
  };
  const line = (color, width, extra = "") => (sx, sy) =>
    `<path d="M${sx - 10} ${sy}H${sx + 10}" stroke="${color}" stroke-width="${width}" fill="none"${extra}/>`;
  entry((sx, sy) => `<circle cx="${sx}" cy="${sy}" r="${DOT_RADIUS[0]}" fill="${COLORS.dotRing}" stroke="${COLORS.dot}" stroke-width="1.8"/><circle cx="${sx}" cy="${sy}" r="2.4" fill="${COLORS.dot}"/>`, "Capital del Estado", { font: "bold", size: 10.5 });
  entry((sx, sy) => `<circle cx="${sx}" cy="${sy}" r="${DOT_RADIUS[1]}" fill="${COLORS.dot}" stroke="${COLORS.dotRing}" stroke-width="1.2"/>`, "Sede autonómica", { font: "bold", size: 10.5 });
  entry((sx, sy) => `<circle cx="${sx}" cy="${sy}" r="${DOT_RADIUS[2]}" fill="${COLORS.dot}" stroke="${COLORS.dotRing}" stroke-width="1.2"/>`, "Capital de provincia", { font: "regular", size: 10.5 });
  const swatch = (sx, sy) => `<rect x="${sx - 11}" y="${sy - 5}" width="22" height="10" fill="#e6cfa0"/>`;
  entry((sx, sy) => line(COLORS.borderRibbon, 5, ` stroke-opacity="0.75"`)(sx, sy) + line(COLORS.landBorder, 1.5)(sx, sy), "Frontera", { font: "regular", size: 10.5 });
  entry((sx, sy) => swatch(sx, sy) + line(COLORS.communityLine, 1.1)(sx, sy), "Límite autonómico", { font: "regular", size: 10.5 });
  entry((sx, sy) => swatch(sx, sy) + line(COLORS.provinceLine, 0.9)(sx, sy), "Límite provincial", { font: "regular", size: 10.5 });
  const h = cy - y + 6;
  out.push(`<rect x="${x + 0.5}" y="${y + 0.5}" width="${w}" height="${h}" fill="#ffffff" fill-opacity="0.82" stroke="${COLORS.frame}" stroke-width="1"/>`);
  out.push(...rows);
  return { svg: out.join("\n"), box: { x1: x, y1: y, x2: x + w + 1, y2: y + h + 1 } };
}

export function build() {
  const { frames } = loadFrames();
  const geo = prepareGeography();
  const places = loadPlaces();
  const names = loadNames();
  const main = frames.main;
  const width = 1267, height = 990;

  // Main-frame pixels are kilometres, which is all splitOutline needs.
  const outlineParts = splitOutline(geo.outlineMesh.coordinates, geo.neSpainBorders.coordinates, main.toPixel);

  const svg = [];
  svg.push(`<svg xmlns="http://www.w3.org/2000/svg" width="${width}" height="${height}" viewBox="0 0 ${width} ${height}">`);
  svg.push(`<rect width="${width}" height="${height}" fill="${COLORS.sea}"/>`);

  const insets = Object.values(frames).filter((f) => f.id !== "main");
  svg.push(`<defs>${Object.values(frames)
    .map((f) => `<clipPath id="clip-${f.id}"><rect x="${f.rect[0]}" y="${f.rect[1]}" width="${f.rect[2]}" height="${f.rect[3]}"/></clipPath>`)
    .join("")}</defs>`);
  for (const f of [main, ...insets]) {
    svg.push(`<g clip-path="url(#clip-${f.id})">`);
    svg.push(`<rect x="${f.rect[0]}" y="${f.rect[1]}" width="${f.rect[2]}" height="${f.rect[3]}" fill="${COLORS.sea}"/>`);
    svg.push(drawGeography(geo, f, { outlineParts }));
    svg.push(`</g>`);
    if (f !== main) {
      svg.push(`<rect x="${f.rect[0] + 0.5}" y="${f.rect[1] + 0.5}" width="${f.rect[2] - 1}" height="${f.rect[3] - 1}" fill="none" stroke="${COLORS.frame}" stroke-width="1"/>`);
    }
  }

  // Boxes already lettered or drawn over, per frame: nothing else goes there.
  const reserved = { main: [{ ...PANEL, x2: PANEL.x2 + 3, y2: PANEL.y2 + 3 }] };
  for (const f of insets) {
    reserved.main.push(rectBox(f.rect, 3));
    reserved[f.id] = [];
  }
  const within = {
    main: { x1: 2, y1: 2, x2: width - 3, y2: LAST_VISIBLE_ROW - 3 },
    ...Object.fromEntries(insets.map((f) => [f.id, rectBox(f.rect, -3)])),
  };
  const fixedText = [];
  const reserve = (frame, box, what) => {
    const w = within[frame];
    if (box.x1 < w.x1 || box.y1 < w.y1 || box.x2 > w.x2 || box.y2 > w.y2) throw new Error(`${what} does not fit in frame ${frame}`);
    const clash = reserved[frame].find((r) => intersects(r, box));
    if (clash) throw new Error(`${what} overlaps ${clash.what || "a reserved box"}`);
    reserved[frame].push({ ...box, what });
  };

  // Stacked lines centred on (cx, cy).
  const letter = (lines, style, cx, cy, paint, frame) => {
    const sh = shape(lines, style, "center");
    const bx = cx - sh.width / 2;
    const by = cy - sh.height / 2 + sh.capHeight;
    fixedText.push(textSvg(sh, bx, by, paint));
    reserve(frame, boxOf(sh, bx, by, 2), `"${sh.text}"`);
    return boxOf(sh, bx, by);
  };
  // A fixed name must stand on what it names: its community or country, or
  // open water for a sea. Checked on a grid over the lettering's box.
  const communityFeature = new Map(geo.spain.communityFeatures.map((f) => [f.id, f]));
  const countryFeature = new Map(geo.foreign.map((f) => [f.id, f]));
  const land = [...geo.spain.provinces, ...geo.foreign];
  const onWater = (frame, box) => !boxPoints(frame, box).some((p) => land.some((f) => geoContains(f, p)));
  const boxPoints = (frame, { x1, y1, x2, y2 }) => {
    const pts = [];
    for (let i = 0; i <= 4; i++) {
      for (let j = 0; j <= 2; j++) pts.push(frames[frame].toLonLat(x1 + ((x2 - x1) * i) / 4, y1 + ((y2 - y1) * j) / 2));
    }
    return pts;
  };
  for (const n of names) {
    const [cx, cy] = frames[n.frame].toPixel(n.lon, n.lat);
    const kind = NAME_KINDS[n.kind];
    const style = n.small ? { ...kind.style, size: kind.style.size * 0.8, letterSpacing: 0.1 } : kind.style;
    // Names written across land need no halo: there is no line to read through.
    const paint = n.onLand ? { fill: kind.paint.fill } : kind.paint;
    const box = letter(n.lines, style, cx, cy, paint, n.frame);
    const pts = boxPoints(n.frame, box);
    const what = `"${n.lines.join(" ")}"`;
    const territory = n.ine ? communityFeature.get(n.ine) : n.ne ? countryFeature.get(n.ne) : null;
    if ((n.ine || n.ne) && !territory) throw new Error(`${what} names a territory that is not on the map`);
    if (territory && !pts.every((p) => geoContains(territory, p))) throw new Error(`${what} spills out of its territory`);
    if (n.kind === "sea" && !onWater(n.frame, box)) throw new Error(`${what} runs onto land`);
  }

  // Inset titles sit inside their frames, clear of the land.
  const can = frames.canarias.rect;
  const canTitle = shape("Islas Canarias", TITLE_STYLE);
  fixedText.push(textSvg(canTitle, can[0] + 8, can[1] + 18, { fill: COLORS.text, halo: COLORS.sea }));
  reserve("canarias", boxOf(canTitle, can[0] + 8, can[1] + 18, 2), "Canary Islands title");
  const mel = frames.melilla.rect;
  const melNote = shape("posición desplazada", NOTE_STYLE);
  fixedText.push(textSvg(melNote, mel[0] + 5, mel[1] + 13, { fill: COLORS.note, halo: COLORS.sea, haloWidth: 2 }));
  reserve("melilla", boxOf(melNote, mel[0] + 5, mel[1] + 13, 1.5), "Melilla note");

  const key = legend(1090, 150);
  svg.push(key.svg);
  reserve("main", rectBox([key.box.x1, key.box.y1, key.box.x2 - key.box.x1, key.box.y2 - key.box.y1], 3), "legend");

  // Scale bar and credits in the open Atlantic off the Gulf of Cadiz.
  const sx = 14, sy = 874;
  svg.push(scaleBar(sx, sy));
  reserve("main", { x1: sx - 6, y1: sy - 16, x2: sx + 112, y2: sy + 8 }, "scale bar");
  const creditBoxes = CREDITS.map((line, i) => {
    const sh = shape(line, NOTE_STYLE);
    const bx = sx, by = sy + 24 + i * 12;
    fixedText.push(textSvg(sh, bx, by, { fill: COLORS.note, halo: COLORS.sea, haloWidth: 2, haloOpacity: 0.8 }));
    return boxOf(sh, bx, by, 1.5);
  });
  reserve("main", union(creditBoxes), "credits");
  // The key, the scale and the credits are set at fixed pixels: make sure a
  // change of projection or origin has not pushed land under them.
  for (const r of reserved.main.filter((b) => ["legend", "scale bar", "credits"].includes(b.what))) {
    if (!onWater("main", r)) throw new Error(`the ${r.what} lies over land`);
  }

  // Dots and their names.
  const dots = places.map((p) => {
    const [x, y] = frames[p.frame].toPixel(p.lon, p.lat);
    return { ...p, x, y, r: DOT_RADIUS[p.rank] };
  });
  // In the archipelago a name may run over the sea and its own island, but
  // must not hide another island.
  const islands = geo.spain.provinces
    .filter((f) => geo.spain.communityOf.get(f.id).name === "Canarias")
    .flatMap((f) => (f.geometry.type === "MultiPolygon" ? f.geometry.coordinates : [f.geometry.coordinates]))
    .map((coordinates) => {
      const polygon = { type: "Polygon", coordinates };
      const px = coordinates[0].map(([lon, lat]) => frames.canarias.toPixel(lon, lat));
      const xs = px.map((p) => p[0]), ys = px.map((p) => p[1]);
      return { polygon, box: { x1: Math.min(...xs), y1: Math.min(...ys), x2: Math.max(...xs), y2: Math.max(...ys) } };
    });
  const coversOtherIsland = (dot) => {
    const others = islands.filter(({ box }) => !intersects(box, { x1: dot.x - 6, y1: dot.y - 6, x2: dot.x + 6, y2: dot.y + 6 }));
    return (box) =>
      others.some((isl) => {
        if (!intersects(isl.box, box)) return false;
        for (let x = box.x1; x <= box.x2; x += 2) {
          for (let y = box.y1; y <= box.y2; y += 2) {
            if (geoContains(isl.polygon, frames.canarias.toLonLat(x, y))) return true;
          }
        }
        return false;
      });
  };
  const items = dots.map((d) => ({
    id: d.name,
    x: d.x,
    y: d.y,
    r: d.r,
    shaped: shape(d.lines || d.name, LABEL_STYLE[d.rank]),
    frame: d.frame,
    within: within[d.frame],
    avoid: d.frame === "canarias" ? coversOtherIsland(d) : null,
  }));
  // Each frame is lettered on its own; to the main frame the insets are
  // just reserved boxes.
  const placed = new Map();
  const failed = [];
  for (const frame of Object.keys(frames)) {
    const r = placeLabels(items.filter((it) => it.frame === frame), reserved[frame]);
    for (const [id, p] of r.placed) placed.set(id, p);
    failed.push(...r.failed);
  }
  if (failed.length) throw new Error(`no room for the names of: ${failed.join(", ")}`);

  svg.push(fixedText.join("\n"));
  for (const d of dots) {
    if (d.rank === 0) {
      svg.push(`<circle cx="${num(d.x)}" cy="${num(d.y)}" r="${d.r}" fill="${COLORS.dotRing}" stroke="${COLORS.dot}" stroke-width="1.8"/>`);
      svg.push(`<circle cx="${num(d.x)}" cy="${num(d.y)}" r="2.4" fill="${COLORS.dot}"/>`);
    } else {
      svg.push(`<circle cx="${num(d.x)}" cy="${num(d.y)}" r="${d.r}" fill="${COLORS.dot}" stroke="${COLORS.dotRing}" stroke-width="1.2"/>`);
    }
  }
  for (const it of items) {
    const { bx, by } = placed.get(it.id);
    svg.push(textSvg(it.shaped, bx, by, { fill: COLORS.text, halo: COLORS.halo }));
  }
  svg.push(`</svg>`);

  const labelBoxes = items.map((it) => ({ id: it.id, box: placed.get(it.id).box }));
  return { svg: svg.join("\n"), layout: { dots, labelBoxes, reserved } };
}

function run(cmd, args) {
  try {
    execFileSync(cmd, args, { stdio: ["ignore", "ignore", "pipe"] });
  } catch (err) {
    if (err.code === "ENOENT") throw new Error(`${cmd} is not installed (see map/README.md)`);
    throw new Error(`${cmd} failed: ${err.stderr || err.message}`);
  }
}

export function render(svg, output) {
  const work = mkdtempSync(join(tmpdir(), "quimbara-map-"));
  try {
    const svgFile = join(work, "map.svg");
    const pngFile = join(work, "map.png");
    const jpgFile = join(work, "map.jpg");
    writeFileSync(svgFile, svg);
    run("rsvg-convert", ["--format=png", "--background-color=white", "-o", pngFile, svgFile]);
    run("convert", [pngFile, "-strip", "-sampling-factor", "4:4:4", "-quality", String(JPEG_QUALITY), jpgFile]);
    // Replace the output only once a whole picture exists beside it.
    const tmpOut = `${output}.tmp-${process.pid}`;
    try {
      copyFileSync(jpgFile, tmpOut);
      renameSync(tmpOut, output);
    } catch (err) {
      rmSync(tmpOut, { force: true });
      throw new Error(`cannot write ${output}: ${err.code || err.message}`);
    }
  } finally {
    rmSync(work, { recursive: true, force: true });
  }
}

function parseArgs(argv) {
  const opts = { out: DEFAULT_OUTPUT, svg: null };
  for (let i = 0; i < argv.length; i++) {
    const a = argv[i];
    if ((a === "--out" || a === "--svg") && argv[i + 1]) opts[a.slice(2)] = resolve(argv[++i]);
    else throw new Error(`unknown argument ${a}; usage: generate.mjs [--out FILE.jpg] [--svg FILE.svg]`);
  }
  return opts;
}

if (process.argv[1] && resolve(process.argv[1]) === fileURLToPath(import.meta.url)) {
  try {
    const opts = parseArgs(process.argv.slice(2));
    const started = Date.now();
    const { svg } = build();
    if (opts.svg) writeFileSync(opts.svg, svg);
    render(svg, opts.out);
    const kb = (statSync(opts.out).size / 1024).toFixed(1);
    console.log(`${opts.out}: ${kb} KB in ${((Date.now() - started) / 1000).toFixed(1)} s`);
  } catch (err) {
    console.error(`make-map: ${err.message}`);
    process.exit(1);
  }
}

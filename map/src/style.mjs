// Colours and sizes shared by the generator and the checks on the picture.
export const COLORS = {
  sea: "#b8d8ee",
  coastGlow: "#d3e7f5",
  foreign: "#ebe7df",
  foreignBorder: "#a39b8f",
  foreignCoast: "#86a6bf",
  spainCoast: "#4f7797",
  landBorder: "#4b4b4b",
  borderRibbon: "#c9b8d6",
  communityLine: "#737373",
  provinceLine: "#ffffff",
  frame: "#4b4b4b",
  dot: "#a3122a",
  dotRing: "#ffffff",
  text: "#1f1f1f",
  halo: "#ffffff",
  countryText: "#8c8376",
  seaText: "#3d6c92",
  note: "#3b3b3b",
  communityText: "#6a625c",
  islandText: "#4a4a4a",
};

export const DOT_RADIUS = { 0: 5.5, 1: 3.6, 2: 3.1 };

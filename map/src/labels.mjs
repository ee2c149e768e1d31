// Greedy placement of place names around their dots. Each name tries the
// classic positions (right, upper right, lower right, left, ...) and takes
// the first one that stays inside its frame and clear of every other name,
// dot and reserved box. A name that finds no room stops the build: a map
// with overlapping names would be shipped otherwise.

export function boxOf(shaped, bx, by, pad = 0) {
  return {
    x1: bx + shaped.ink.x1 - pad,
    y1: by + shaped.ink.y1 - pad,
    x2: bx + shaped.ink.x2 + pad,
    y2: by + shaped.ink.y2 + pad,
  };
}

export const intersects = (a, b) => a.x1 < b.x2 && b.x1 < a.x2 && a.y1 < b.y2 && b.y1 < a.y2;
const inside = (a, r) => a.x1 >= r.x1 && a.y1 >= r.y1 && a.x2 <= r.x2 && a.y2 <= r.y2;

// First-baseline origins for a label beside a dot of radius r at (x, y).
// Heights are measured on capitals so that side labels look centred on the dot.
function candidates(x, y, r, { width, capHeight, height }, gap) {
  const g = r + gap;
  const d = g * 0.7;
  const below = height - capHeight; // from the first baseline to the last
  const mid = y - height / 2 + capHeight;
  return [
    [x + g, mid],
    [x + d, y - d - below],
    [x + d, y + d + capHeight],
    [x - g - width, mid],
    [x - d - width, y - d - below],
    [x - d - width, y + d + capHeight],
    [x - width / 2, y - g - 1 - below],
    [x - width / 2, y + g + capHeight + 1],
  ];
}

// items: { id, x, y, r, shaped, within: box, avoid?: box => true when the
// box covers something this name must leave visible }. blocked: boxes
// nothing may cover. Returns the placements by id and the ids left without one.
export function placeLabels(items, blocked, { pad = 1.5, gaps = [2.5, 5, 8] } = {}) {
  const dots = items.map((it) => ({ id: it.id, x1: it.x - it.r - 1, y1: it.y - it.r - 1, x2: it.x + it.r + 1, y2: it.y + it.r + 1 }));
  const taken = [...blocked];
  const placed = new Map();
  const failed = [];

  // Crowded places first: they have the fewest usable positions.
  const crowd = (it) => items.filter((o) => o !== it && Math.hypot(o.x - it.x, o.y - it.y) < 90).length;
  const order = [...items].sort((a, b) => crowd(b) - crowd(a) || a.id.localeCompare(b.id));

  for (const it of order) {
    let choice = null;
    for (const gap of gaps) {
      for (const [bx, by] of candidates(it.x, it.y, it.r, it.shaped, gap)) {
        const box = boxOf(it.shaped, bx, by, pad);
        if (!inside(box, it.within)) continue;
        if (taken.some((t) => intersects(box, t))) continue;
        if (dots.some((d) => d.id !== it.id && intersects(box, d))) continue;
        if (it.avoid && it.avoid(box)) continue;
        choice = { bx, by, box };
        break;
      }
      if (choice) break;
    }
    if (!choice) {
      failed.push(it.id);
      continue;
    }
    placed.set(it.id, choice);
    taken.push(choice.box);
  }
  return { placed, failed };
}

// The committed picture must be what the tool makes from the pinned data,
// and the tool must not write over it unless asked to.
import { test } from "node:test";
import assert from "node:assert/strict";
import { spawnSync } from "node:child_process";
import { mkdtempSync, readFileSync, rmSync, existsSync } from "node:fs";
import { createHash } from "node:crypto";
import { tmpdir } from "node:os";
import { join } from "node:path";
import { IMAGE, MAP_DIR, decodeJpeg } from "./helpers.mjs";

const sha = (f) => createHash("sha256").update(readFileSync(f)).digest("hex");

test("make-map.sh into another folder reproduces the committed picture", (t) => {
  const dir = mkdtempSync(join(tmpdir(), "map-regen-"));
  t.after(() => rmSync(dir, { recursive: true, force: true }));
  const before = sha(IMAGE);
  const out = join(dir, "again.jpg");
  const run = spawnSync("sh", [join(MAP_DIR, "make-map.sh"), out], { encoding: "utf8", timeout: 90_000 });
  assert.equal(run.status, 0, run.stderr);
  assert.equal(sha(IMAGE), before, "the committed picture was rewritten");

  const a = decodeJpeg(IMAGE), b = decodeJpeg(out);
  assert.deepEqual([b.width, b.height], [a.width, a.height]);
  let sum = 0, far = 0;
  for (let i = 0; i < a.data.length; i++) {
    const d = Math.abs(a.data[i] - b.data[i]);
    sum += d;
    if (d > 12) far++;
  }
  const mean = sum / a.data.length;
  t.diagnostic(`mean difference ${mean.toFixed(3)}, ${far} channel values off by more than 12`);
  assert.ok(mean < 0.5 && far < a.data.length / 2000, `mean ${mean}, ${far} far off`);
});

test("make-map.sh fails loudly and leaves nothing behind when it cannot write", () => {
  const out = join(tmpdir(), "no-such-folder-for-map", "map.jpg");
  const run = spawnSync("sh", [join(MAP_DIR, "make-map.sh"), out], { encoding: "utf8", timeout: 90_000 });
  assert.notEqual(run.status, 0);
  assert.match(run.stderr, /make-map:/);
  assert.ok(!existsSync(out));
});

// Checks that ../data/EMassQuick.txt gives the intended short hit lists when
// every element of the library may occur 0..15 times:
//   120 u at 1 ppm   -> C10 plus 2 to 6 other formulas, among them
//                       1H6 12C1 14N1 16O1 24Mg3 (120.00006...)
//   120 u at 0.1 ppm -> only C10
//    60 u at 1 ppm   -> C5 among the hits
// A hit lies strictly inside target +- target * ppm * 1e-6.
// Exits with status 1 when any of these does not hold.
//
//   node check_quick.mjs [path to a library file]

import { readFileSync } from 'node:fs';
import { dirname, join } from 'node:path';
import { fileURLToPath } from 'node:url';

const HERE = dirname(fileURLToPath(import.meta.url));
const FILE = process.argv[2] ?? join(HERE, '..', 'data', 'EMassQuick.txt');
const MAX_COUNT = 15;

// Reads `label,mass` lines; a label is superscript digits (bytes 128..137)
// followed by an ASCII element symbol.
function readLibrary(path) {
  const bytes = readFileSync(path);
  const text = bytes.toString('latin1');
  if (!text.endsWith('\r\n')) throw new Error(`${path}: last line not ended by CR LF`);
  const entries = [];
  for (const line of text.slice(0, -2).split('\r\n')) {
    const comma = line.lastIndexOf(',');
    if (comma < 1) throw new Error(`${path}: bad line ${JSON.stringify(line)}`);
    let massNumber = '';
    let i = 0;
    while (i < comma && line.charCodeAt(i) >= 128 && line.charCodeAt(i) <= 137) {
      massNumber += String(line.charCodeAt(i) - 128);
      i += 1;
    }
    const symbol = line.slice(i, comma);
    if (!massNumber || !/^[A-Z][a-z]?$/.test(symbol)) {
      throw new Error(`${path}: label is not an isotope: ${JSON.stringify(line)}`);
    }
    const massText = line.slice(comma + 1);
    if (!/^\d+(\.\d*[1-9])?$/.test(massText)) throw new Error(`${path}: bad mass ${massText}`);
    entries.push({ name: `${massNumber}${symbol}`, symbol, mass: Number(massText) });
  }
  return entries;
}

// All count vectors (0..MAX_COUNT per entry) whose summed mass lies strictly
// inside the window. Heaviest entries first so the running sum prunes early.
function search(entries, target, ppm) {
  const tol = target * ppm * 1e-6;
  const lo = target - tol;
  const hi = target + tol;
  const order = entries.map((_, i) => i).sort((a, b) => entries[b].mass - entries[a].mass);
  const counts = new Array(entries.length).fill(0);
  const hits = [];
  let visited = 0;
  const walk = (k, sum) => {
    visited += 1;
    if (k === order.length) {
      if (sum > lo && sum < hi) hits.push({ counts: counts.slice(), mass: sum });
      return;
    }
    const idx = order[k];
    for (let n = 0; n <= MAX_COUNT; n++) {
      const s = sum + n * entries[idx].mass;
      if (s >= hi) break;
      counts[idx] = n;
      walk(k + 1, s);
    }
    counts[idx] = 0;
  };
  walk(0, 0);
  hits.sort((a, b) => a.mass - b.mass);
  return { hits, visited, lo, hi };
}

const describe = (entries, counts) =>
  entries
    .map((e, i) => (counts[i] ? `${e.name}${counts[i]}` : ''))
    .filter(Boolean)
    .join(' ');

const only = (entries, symbol, n) => (counts) =>
  entries.every((e, i) => counts[i] === (e.symbol === symbol ? n : 0));

const entries = readLibrary(FILE);
console.log(`${FILE}: ${entries.map((e) => e.name).join(' ')}`);

let failures = 0;
function expect(ok, what) {
  console.log(`  ${ok ? 'ok  ' : 'FAIL'} ${what}`);
  if (!ok) failures += 1;
}

function report(target, ppm) {
  const r = search(entries, target, ppm);
  console.log(`${target} at ${ppm} ppm (window ${r.lo} .. ${r.hi}, ${r.visited} nodes): ${r.hits.length} hit(s)`);
  for (const h of r.hits) {
    const dev = ((h.mass - target) / target) * 1e6;
    console.log(`  ${describe(entries, h.counts).padEnd(36)} ${h.mass.toPrecision(15)}  ${dev.toFixed(3)} ppm`);
  }
  return r.hits;
}

const isC10 = only(entries, 'C', 10);
const isC5 = only(entries, 'C', 5);
const wanted = { H: 6, C: 1, N: 1, O: 1, Mg: 3 };
const isH6CNOMg3 = (counts) => entries.every((e, i) => counts[i] === (wanted[e.symbol] ?? 0));

const h120 = report(120, 1);
expect(h120.some((h) => isC10(h.counts)), '120 @ 1 ppm lists C10');
const others = h120.filter((h) => !isC10(h.counts)).length;
expect(others >= 2 && others <= 6, `120 @ 1 ppm lists 2..6 other formulas (${others})`);
expect(h120.some((h) => isH6CNOMg3(h.counts)), '120 @ 1 ppm lists 1H6 12C1 14N1 16O1 24Mg3');

const h120tight = report(120, 0.1);
expect(h120tight.length === 1 && isC10(h120tight[0].counts), '120 @ 0.1 ppm lists only C10');

const h60 = report(60, 1);
expect(h60.some((h) => isC5(h.counts)), '60 @ 1 ppm lists C5');

if (failures) {
  console.log(`${failures} check(s) failed`);
  process.exit(1);
}
console.log('all checks passed');

// Generates ZELM's default data files in ../data from the element and isotope
// table of the `chemical-elements` npm package (isotope masses and
// representative isotopic compositions as published by NIST).
//
//   cd tools && npm ci && node make_data.mjs
//
// Output files are 8-bit text: every line ends with CR LF, no header, no blank
// lines. Labels in the mass libraries use ZELM's one-byte digit coding:
// superscript digit d is byte 128 + d, subscript digit d is byte 144 + d.
//
// All arithmetic on masses and abundances is done in exact decimal (BigInt)
// so the output does not depend on floating-point summation order.

import { writeFileSync, mkdirSync } from 'node:fs';
import { dirname, join } from 'node:path';
import { fileURLToPath } from 'node:url';
import { createRequire } from 'node:module';
import { elementsAndIsotopes } from 'chemical-elements';

const require = createRequire(import.meta.url);
const PACKAGE_VERSION = require('chemical-elements/package.json').version;

const HERE = dirname(fileURLToPath(import.meta.url));
const DATA_DIR = join(HERE, '..', 'data');

const MAX_Z = 92; // uranium
const MASS_DIGITS = 15; // significant digits for masses
const ABUNDANCE_DIGITS = 6; // significant digits for relative abundances

// ---------------------------------------------------------------------------
// Exact decimal numbers: { n: BigInt, s: scale } stands for n / 10^s.

function decFromNumber(x) {
  // String(x) is the shortest text that reads back as x, i.e. the literal the
  // package was written with.
  let t = String(x);
  if (/e/i.test(t)) throw new Error(`unexpected exponent form: ${t}`);
  let neg = false;
  if (t.startsWith('-')) {
    neg = true;
    t = t.slice(1);
  }
  const [ip, fp = ''] = t.split('.');
  const n = BigInt(ip + fp);
  return { n: neg ? -n : n, s: fp.length };
}

const pow10 = (k) => 10n ** BigInt(k);

function decAlign(a, b) {
  const s = Math.max(a.s, b.s);
  return [a.n * pow10(s - a.s), b.n * pow10(s - b.s), s];
}

function decAdd(a, b) {
  const [x, y, s] = decAlign(a, b);
  return { n: x + y, s };
}

function decMulInt(a, k) {
  return { n: a.n * BigInt(k), s: a.s };
}

const decZero = { n: 0n, s: 0 };

// Rounds the positive-or-negative rational p/q (q > 0) to `digits` significant
// digits, half away from zero, and returns plain decimal text: no exponent,
// no trailing zeros, no trailing point.
function formatRational(p, q, digits) {
  if (q <= 0n) throw new Error('denominator must be positive');
  if (p === 0n) return '0';
  const neg = p < 0n;
  if (neg) p = -p;
  // e = floor(log10(p/q))
  let e = p.toString().length - q.toString().length;
  const geq = (ee) => (ee >= 0 ? p >= q * pow10(ee) : p * pow10(-ee) >= q);
  while (!geq(e)) e -= 1;
  while (geq(e + 1)) e += 1;
  let k = digits - 1 - e; // value = r / 10^k
  let num = p;
  let den = q;
  if (k >= 0) num *= pow10(k);
  else den *= pow10(-k);
  let r = (2n * num + den) / (2n * den);
  if (r === pow10(digits)) {
    r /= 10n;
    k -= 1;
  }
  let text;
  if (k <= 0) {
    text = (r * pow10(-k)).toString();
  } else {
    let digitsText = r.toString().padStart(k + 1, '0');
    const ip = digitsText.slice(0, digitsText.length - k);
    let fp = digitsText.slice(digitsText.length - k).replace(/0+$/, '');
    text = fp ? `${ip}.${fp}` : ip;
  }
  return neg ? `-${text}` : text;
}

const formatDec = (d, digits = MASS_DIGITS) =>
  formatRational(d.n, pow10(d.s), digits);

// ---------------------------------------------------------------------------
// Isotope table

// For every element H..U with natural abundance data: the most abundant
// ("named") isotope and all naturally occurring isotopes in mass-number order.
const elements = [];
const bySymbol = new Map();
for (const el of elementsAndIsotopes) {
  if (el.number < 1 || el.number > MAX_Z) continue;
  const natural = el.isotopes
    .filter((i) => typeof i.abundance === 'number' && i.abundance > 0)
    .sort((a, b) => a.nominal - b.nominal);
  if (natural.length === 0) continue;
  let named = natural[0];
  for (const i of natural) if (i.abundance > named.abundance) named = i;
  const entry = {
    z: el.number,
    symbol: el.symbol,
    named,
    natural,
    mass: decFromNumber(named.mass),
  };
  elements.push(entry);
  bySymbol.set(el.symbol, entry);
}
elements.sort((a, b) => a.z - b.z);

function element(symbol) {
  const e = bySymbol.get(symbol);
  if (!e) throw new Error(`no natural isotope data for ${symbol}`);
  return e;
}

function isotope(symbol, massNumber) {
  const i = element(symbol).natural.find((x) => x.nominal === massNumber);
  if (!i) throw new Error(`no natural isotope ${massNumber}${symbol}`);
  return i;
}

// ---------------------------------------------------------------------------
// Elemental formulas, e.g. "C10H13N5O3", evaluated with the masses of the
// named isotopes.

function parseFormula(formula) {
  const counts = [];
  const re = /([A-Z][a-z]?)(\d*)/gy;
  let m;
  let pos = 0;
  while (pos < formula.length) {
    re.lastIndex = pos;
    m = re.exec(formula);
    if (!m || m[0].length === 0) throw new Error(`bad formula ${formula}`);
    counts.push([m[1], m[2] === '' ? 1 : Number(m[2])]);
    pos = re.lastIndex;
  }
  return counts;
}

function formulaMass(formula) {
  let sum = decZero;
  for (const [sym, n] of parseFormula(formula)) {
    sum = decAdd(sum, decMulInt(element(sym).mass, n));
  }
  return sum;
}

// ---------------------------------------------------------------------------
// Byte coding of labels

function superscriptNumber(n) {
  return Buffer.from(
    String(n)
      .split('')
      .map((c) => 128 + Number(c)),
  );
}

function plainAscii(text) {
  if (!/^[\x20-\x7e]+$/.test(text)) throw new Error(`not plain ASCII: ${text}`);
  return Buffer.from(text, 'latin1');
}

function isotopeLabel(massNumber, symbol) {
  return Buffer.concat([superscriptNumber(massNumber), plainAscii(symbol)]);
}

const CRLF = Buffer.from('\r\n', 'latin1');

function writeLines(name, lines) {
  const parts = [];
  for (const line of lines) {
    const b = Buffer.isBuffer(line) ? line : plainAscii(line);
    if (b.length === 0) throw new Error(`${name}: empty line`);
    if (b.includes(0x0d) || b.includes(0x0a)) throw new Error(`${name}: line break inside a line`);
    parts.push(b, CRLF);
  }
  const out = Buffer.concat(parts);
  writeFileSync(join(DATA_DIR, name), out);
  console.log(`${name}: ${lines.length} lines, ${out.length} bytes`);
}

function libraryLine(labelBytes, massDec) {
  if (labelBytes.includes(0x2c) || labelBytes.includes(0x22)) {
    throw new Error(`label must not contain a comma or double quote: ${labelBytes}`);
  }
  return Buffer.concat([labelBytes, plainAscii(`,${formatDec(massDec)}`)]);
}

// ---------------------------------------------------------------------------
// Element sets of the smaller libraries, in order of atomic number.

// Quick library: small enough that a brute-force search with counts 0..15 per
// element stays fast and gives a short hit list (see check_quick.mjs).
const QUICK_ELEMENTS = ['H', 'C', 'N', 'O', 'Na', 'Mg', 'P', 'S', 'Cl'];

// Basic library: the elements met most often in organic, inorganic and
// biological MS work.
const BASIC_ELEMENTS = [
  'H', 'Li', 'B', 'C', 'N', 'O', 'F', 'Na', 'Mg', 'Al', 'Si', 'P', 'S', 'Cl',
  'K', 'Ca', 'Mn', 'Fe', 'Ni', 'Cu', 'Zn', 'As', 'Se', 'Br', 'Ag', 'I',
  'Pt', 'Au', 'Hg', 'Pb',
];

// Heavy isotopes used as labels and seen in isotope patterns.
const HEAVY_ISOTOPES = [
  [2, 'H'], [13, 'C'], [15, 'N'], [18, 'O'], [34, 'S'], [37, 'Cl'], [81, 'Br'],
];

// Fragments, neutral losses and nucleic-acid building blocks of the Enhanced
// library. Label (plain ASCII) and the elemental formula the mass is
// computed from.
const FRAGMENTS = [
  // small fragments and neutral losses
  ['H2', 'H2'],
  ['OH', 'HO'],
  ['H2O', 'H2O'],
  ['NH2', 'H2N'],
  ['NH3', 'H3N'],
  ['CH2', 'CH2'],
  ['CH3', 'CH3'],
  ['C2H4', 'C2H4'],
  ['C2H5', 'C2H5'],
  ['C3H7', 'C3H7'],
  ['C4H9', 'C4H9'],
  ['CN', 'CN'],
  ['HCN', 'CHN'],
  ['CO', 'CO'],
  ['CHO', 'CHO'],
  ['CH2O', 'CH2O'],
  ['OCH3', 'CH3O'],
  ['CH3OH', 'CH4O'],
  ['CO2', 'CO2'],
  ['COOH', 'CHO2'],
  ['HCOOH', 'CH2O2'],
  ['CH3CO', 'C2H3O'],
  ['CH3COOH', 'C2H4O2'],
  ['C6H5', 'C6H5'],
  ['C7H7', 'C7H7'],
  ['NO', 'NO'],
  ['NO2', 'NO2'],
  ['H2S', 'H2S'],
  ['SO2', 'O2S'],
  ['SO3', 'O3S'],
  ['HCl', 'HCl'],
  ['HBr', 'HBr'],
  ['PO3', 'O3P'],
  ['HPO3', 'HO3P'],
  ['H3PO4', 'H3O4P'],
  // nucleobases
  ['Adenine', 'C5H5N5'],
  ['Guanine', 'C5H5N5O'],
  ['Cytosine', 'C4H5N3O'],
  ['Thymine', 'C5H6N2O2'],
  ['Uracil', 'C4H4N2O2'],
  // sugars
  ['Deoxyribose', 'C5H10O4'],
  ['Ribose', 'C5H10O5'],
  // 2'-deoxynucleosides
  ['dA', 'C10H13N5O3'],
  ['dG', 'C10H13N5O4'],
  ['dC', 'C9H13N3O4'],
  ['dT', 'C10H14N2O5'],
  // ribonucleosides
  ['Adenosine', 'C10H13N5O4'],
  ['Guanosine', 'C10H13N5O5'],
  ['Cytidine', 'C9H13N3O5'],
  ['Uridine', 'C9H12N2O6'],
  // nucleotide residues in a DNA chain (deoxynucleoside monophosphate - H2O)
  ['dAMP', 'C10H12N5O5P'],
  ['dGMP', 'C10H12N5O6P'],
  ['dCMP', 'C9H12N3O6P'],
  ['dTMP', 'C10H13N2O7P'],
];

// Mass adjustments: the value is subtracted from a measured mass before it is
// matched, so an adduct carries the mass it adds and a loss the negative of
// the mass it removes. Atom masses (the electron is not counted).
const ADJUSTMENTS = [
  // [name, sign, formula]
  // cations (positive ion mode)
  ['Adduct +H', +1, 'H'],
  ['Adduct +NH4', +1, 'H4N'],
  ['Adduct +Na', +1, 'Na'],
  ['Adduct +K', +1, 'K'],
  ['Adduct +Li', +1, 'Li'],
  ['Adduct +H3O', +1, 'H3O'],
  ['Adduct +Cu', +1, 'Cu'],
  ['Adduct +Ag', +1, 'Ag'],
  // anions (negative ion mode)
  ['Adduct +OH', +1, 'HO'],
  ['Adduct +Cl', +1, 'Cl'],
  ['Adduct +Br', +1, 'Br'],
  ['Adduct +NO3', +1, 'NO3'],
  ['Adduct +HCOO', +1, 'CHO2'],
  ['Adduct +CH3COO', +1, 'C2H3O2'],
  ['Adduct +CF3COO', +1, 'C2F3O2'],
  // neutral solvent molecules
  ['Adduct +H2O', +1, 'H2O'],
  ['Adduct +CH3OH', +1, 'CH4O'],
  ['Adduct +CH3CN', +1, 'C2H3N'],
  ['Adduct +DMSO', +1, 'C2H6OS'],
  // losses, by increasing mass
  ['Loss -H', -1, 'H'],
  ['Loss -H2', -1, 'H2'],
  ['Loss -CH3', -1, 'CH3'],
  ['Loss -OH', -1, 'HO'],
  ['Loss -NH3', -1, 'H3N'],
  ['Loss -H2O', -1, 'H2O'],
  ['Loss -HCN', -1, 'CHN'],
  ['Loss -CO', -1, 'CO'],
  ['Loss -C2H4', -1, 'C2H4'],
  ['Loss -NO', -1, 'NO'],
  ['Loss -CH2O', -1, 'CH2O'],
  ['Loss -CH3OH', -1, 'CH4O'],
  ['Loss -H2S', -1, 'H2S'],
  ['Loss -HCl', -1, 'HCl'],
  ['Loss -2H2O', -1, 'H4O2'],
  ['Loss -C2H2O', -1, 'C2H2O'],
  ['Loss -CO2', -1, 'CO2'],
  ['Loss -NO2', -1, 'NO2'],
  ['Loss -HCOOH', -1, 'CH2O2'],
  ['Loss -CH3COOH', -1, 'C2H4O2'],
  ['Loss -HBr', -1, 'HBr'],
  ['Loss -SO3', -1, 'O3S'],
  ['Loss -HPO3', -1, 'HO3P'],
  ['Loss -H3PO4', -1, 'H3O4P'],
];

const MAX_ADJUSTMENT_ROWS = 51;
const MAX_ADJUSTMENT_NAME = 18;

// ---------------------------------------------------------------------------
// Writers

function makeIsotopes() {
  const lines = [];
  for (const e of elements) {
    const namedAbundance = decFromNumber(e.named.abundance);
    lines.push(`${e.named.nominal},${e.symbol},${formatDec(decFromNumber(e.named.mass))},100`);
    for (const i of e.natural) {
      if (i === e.named) continue;
      // 100 * a_i / a_named, rounded to ABUNDANCE_DIGITS significant digits
      const a = decFromNumber(i.abundance);
      const p = 100n * a.n * pow10(namedAbundance.s);
      const q = namedAbundance.n * pow10(a.s);
      const rel = formatRational(p, q, ABUNDANCE_DIGITS);
      lines.push(`${i.nominal},${e.symbol},${formatDec(decFromNumber(i.mass))},${rel}`);
    }
  }
  return lines;
}

function namedIsotopeLine(symbol) {
  const e = element(symbol);
  return libraryLine(isotopeLabel(e.named.nominal, e.symbol), e.mass);
}

function makeQuick() {
  return QUICK_ELEMENTS.map(namedIsotopeLine);
}

function makeBasic() {
  return BASIC_ELEMENTS.map(namedIsotopeLine);
}

function makeEnhanced() {
  const lines = elements.map((e) => namedIsotopeLine(e.symbol));
  for (const [a, sym] of HEAVY_ISOTOPES) {
    const i = isotope(sym, a);
    if (i === element(sym).named) throw new Error(`${a}${sym} is the named isotope`);
    lines.push(libraryLine(isotopeLabel(a, sym), decFromNumber(i.mass)));
  }
  const seen = new Set();
  for (const [label, formula] of FRAGMENTS) {
    if (!/^[A-Za-z0-9+\- ]+$/.test(label)) throw new Error(`bad fragment label ${label}`);
    if (seen.has(label)) throw new Error(`duplicate fragment label ${label}`);
    seen.add(label);
    lines.push(libraryLine(plainAscii(label), formulaMass(formula)));
  }
  return lines;
}

function makeAdjustments() {
  const lines = ['"No Mass Adjustment",0'];
  const seen = new Set();
  for (const [name, sign, formula] of ADJUSTMENTS) {
    if (name.includes('"') || name.includes(',')) throw new Error(`bad adjustment name ${name}`);
    if (name.length > MAX_ADJUSTMENT_NAME) throw new Error(`adjustment name too long: ${name}`);
    if (seen.has(name)) throw new Error(`duplicate adjustment ${name}`);
    seen.add(name);
    const m = formulaMass(formula);
    lines.push(`"${name}",${formatDec({ n: m.n * BigInt(sign), s: m.s })}`);
  }
  if (lines.length > MAX_ADJUSTMENT_ROWS) throw new Error('too many mass adjustments');
  return lines;
}

mkdirSync(DATA_DIR, { recursive: true });
console.log(`chemical-elements ${PACKAGE_VERSION}`);
writeLines('isotopes.txt', makeIsotopes());
writeLines('EMassQuick.txt', makeQuick());
writeLines('EMassBasic.txt', makeBasic());
writeLines('EMassEnhanced.txt', makeEnhanced());
writeLines('M-Adjstr.txt', makeAdjustments());
writeFileSync(join(DATA_DIR, 'ConfFile.txt'), Buffer.alloc(0));
console.log('ConfFile.txt: 0 bytes');

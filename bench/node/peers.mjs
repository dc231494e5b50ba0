// The JavaScript peers under the machine's Node.js, on the pieces that
// bench/build_corpus.py wrote. Each subject is timed inside this process,
// so start-up and loading are not counted, with the protocol of the C++
// benchmark: calls in batches (64 lines, or one chunk), warm-up first, then
// nine repetitions of at least MIN_TIME seconds each; the fastest and the
// median repetition are reported.
//   node --allow-natives-syntax peers.mjs CORPUS_DIR [MIN_TIME] > peers-node.json
// Results are flattened with %FlattenString inside the timed loop: a
// string built by replace() may be a rope, and the final copy into one
// string is part of the work, as it is for the plugin.
import { readFileSync } from 'node:fs';
import { escapeUTF8, encodeHTML, decodeHTML } from 'entities';
import he from 'he';
import { smartypants } from 'smartypants';

const dir = process.argv[2];
const minTime = Number(process.argv[3] ?? '0.2');
const REPETITIONS = 9;
const LINE_BATCH = 64;

// Pieces as a program would hold text it read from a UTF-8 file: flat
// strings, one byte per character where the text allows.
function load(name) {
  const all = readFileSync(`${dir}/${name}.u16`).toString('utf16le').split('\0');
  all.pop();
  return all.map((p) => Buffer.from(p, 'utf8').toString('utf8'));
}

// Each subject gets a loop of its own, compiled from fresh source, so
// that its call site sees one function only and the JIT can inline it as
// it would in a program that uses just that library: one loop shared by
// every subject would be megamorphic and slow them all down.
function makePass() {
  const flatten = new Function('s', 'return %FlattenString(s);');
  const loop = new Function('fn', 'flatten', 'pieces', 'first', 'count', `
    let i = first;
    let sink = 0;
    for (let k = 0; k < count; ++k) {
      sink += flatten(fn(pieces[i])).length;
      if (++i === pieces.length) i = 0;
    }
    return sink;`);
  return (fn, pieces, first, count) => loop(fn, flatten, pieces, first, count);
}
let sink = 0;

function charsOf(pieces, first, count) {
  let n = 0;
  let i = first;
  for (let k = 0; k < count; ++k) {
    n += pieces[i].length;
    if (++i === pieces.length) i = 0;
  }
  return n;
}

// Runs batches until seconds have passed; returns [characters, calls, ns].
function run(pass, fn, pieces, batch, seconds, start) {
  let chars = 0;
  let calls = 0;
  let ns = 0n;
  let next = start.value;
  const limit = BigInt(Math.round(seconds * 1e9));
  while (ns < limit) {
    const t0 = process.hrtime.bigint();
    sink += pass(fn, pieces, next, batch);
    const t1 = process.hrtime.bigint();
    ns += t1 - t0;
    chars += charsOf(pieces, next, batch);
    calls += batch;
    next = (next + batch) % pieces.length;
  }
  start.value = next;
  return [chars, calls, Number(ns)];
}

function measure(subject, form, workload, fn) {
  const pieces = load(`${form}.${workload}`);
  const total = pieces.reduce((n, p) => n + p.length, 0);
  const batch = total / pieces.length < 1024 ? LINE_BATCH : 1;
  const start = { value: 0 };
  const pass = makePass();
  run(pass, fn, pieces, batch, Math.max(0.3, minTime), start);  // warm-up: the JIT settles
  const reps = [];
  for (let r = 0; r < REPETITIONS; ++r) {
    const [chars, calls, ns] = run(pass, fn, pieces, batch, minTime, start);
    reps.push({ chars, calls, ns, rate: (chars / ns) * 1e3 });
  }
  reps.sort((a, b) => a.rate - b.rate);
  const best = reps[REPETITIONS - 1];
  const m = reps[REPETITIONS >> 1];
  const row = {
    name: `${subject}:${form}:${workload}`,
    mchar_per_s: best.rate,
    ns_per_call: best.ns / best.calls,
    median_mchar_per_s: m.rate,
    median_ns_per_call: m.ns / m.calls,
    chars: best.chars,
    calls: best.calls,
  };
  process.stderr.write(`${row.name.padEnd(48)} ${row.mchar_per_s.toFixed(1).padStart(9)} Mchar/s ${row.ns_per_call.toFixed(1).padStart(10)} ns/call\n`);
  return row;
}

const rows = [];
for (const w of ['chunks', 'lines']) {
  rows.push(measure('entities.escapeUTF8', 'plain', w, escapeUTF8));
  rows.push(measure('entities.encodeHTML', 'plain', w, encodeHTML));
  rows.push(measure('he.escape', 'plain', w, he.escape));
  rows.push(measure('he.encode', 'plain', w, he.encode));
  rows.push(measure('smartypants (npm)', 'plain', w, smartypants));
  rows.push(measure('encodeURIComponent', 'plain', w, encodeURIComponent));
  for (const form of ['escaped', 'typographic']) {
    rows.push(measure('entities.decodeHTML', form, w, decodeHTML));
    rows.push(measure('he.decode', form, w, he.decode));
  }
  rows.push(measure('decodeURIComponent', 'percent', w, decodeURIComponent));
}
process.stdout.write(JSON.stringify({ runtime: `node ${process.version}`, sink, rows }, null, 1) + '\n');

// The web pages' cost beside the least page that does the same visible job
// (baseline.html), in Debian's headless Chromium, one fresh browser for each
// page and run, the pages in turn. Prints the section for bench/results.md.
//   node bench/web/bench.mjs <base url> <site dir> <server log> <runs> <cpu seconds>
// What a visit transfers is read off the server's log: every file it sent
// whole, to the page or to its service worker.
import { readFileSync, readdirSync } from 'node:fs';
import { join } from 'node:path';
import { brotliCompressSync, constants } from 'node:zlib';
import { chromium } from 'playwright-core';

const [base, site, serverLog, runsText, secondsText] = process.argv.slice(2);
const runs = Number(runsText);
const seconds = Number(secondsText);
const BASELINE = 'baseline.html';
const PAGES = [BASELINE, 'index.html', 'non-lcars.html'];
const ARGS = ['--no-sandbox', '--disable-gpu', '--disable-background-networking',
  '--disable-component-update', '--disable-sync', '--no-first-run'];

const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

// CPU time, in nanoseconds, of every thread of every process below this one
// (the browser and all that it started).
function treeCpuNs() {
  const parents = new Map();
  for (const entry of readdirSync('/proc')) {
    if (!/^\d+$/.test(entry)) continue;
    try {
      const stat = readFileSync(`/proc/${entry}/stat`, 'utf8');
      parents.set(Number(entry), Number(stat.slice(stat.lastIndexOf(')') + 2).split(' ')[1]));
    } catch {
      // gone meanwhile
    }
  }
  const tree = new Set([process.pid]);
  for (let grown = true; grown;) {
    grown = false;
    for (const [pid, parent] of parents) {
      if (tree.has(parent) && !tree.has(pid)) {
        tree.add(pid);
        grown = true;
      }
    }
  }
  tree.delete(process.pid);
  let ns = 0;
  for (const pid of tree) {
    try {
      for (const task of readdirSync(`/proc/${pid}/task`)) {
        ns += Number(readFileSync(`/proc/${pid}/task/${task}/schedstat`, 'utf8').split(' ')[0]);
      }
    } catch {
      // gone meanwhile
    }
  }
  return ns;
}

const compressed = new Map();
function brotliSize(file) {
  if (!compressed.has(file)) {
    compressed.set(file, brotliCompressSync(readFileSync(file), {
      params: { [constants.BROTLI_PARAM_QUALITY]: 11 },
    }).length);
  }
  return compressed.get(file);
}

// The frame that first shows the sentence, in ms from the navigation: the
// first text put on the page (not a script's) that holds it.
function watchSentence() {
  const shown = (node) => node && !['SCRIPT', 'STYLE'].includes(node.nodeName);
  const holds = (node) => shown(node) && shown(node.parentNode) &&
    node.textContent.includes('It is ');
  new MutationObserver((records, observer) => {
    for (const record of records) {
      const nodes = record.type === 'characterData' ? [record.target] : [...record.addedNodes];
      if (!nodes.some(holds)) continue;
      observer.disconnect();
      requestAnimationFrame(() => { window.qvlOnScreen = performance.now(); });
      return;
    }
  }).observe(document, { childList: true, subtree: true, characterData: true });
}

// The files the server sent whole since the log was `from` bytes long.
function sent(from) {
  const files = [];
  const log = readFileSync(serverLog, 'latin1').slice(from);
  for (const [, path, status] of log.matchAll(/"GET (\S+) HTTP\/[\d.]+" (\d+)/g)) {
    if (status === '200') files.push(decodeURIComponent(path.split('?')[0]));
  }
  return files;
}

async function measure(file) {
  const browser = await chromium.launch({ executablePath: '/usr/bin/chromium', args: ARGS });
  const context = await browser.newContext({
    serviceWorkers: 'allow', viewport: { width: 1024, height: 720 },
  });
  const page = await context.newPage();
  const logged = readFileSync(serverLog).length;
  await page.addInitScript(watchSentence);
  await page.goto(base + file);
  await page.waitForFunction(() => window.qvlOnScreen !== undefined, null, { timeout: 20000 });
  const startup = await page.evaluate(() => window.qvlOnScreen);
  // A first visit ends when the page's service worker keeps it.
  if (file !== BASELINE) {
    await page.evaluate(async () => {
      await navigator.serviceWorker.ready;
      while (!navigator.serviceWorker.controller) await new Promise((r) => setTimeout(r, 50));
    });
  }
  await sleep(2000);
  const before = treeCpuNs();
  await sleep(seconds * 1000);
  const cpu = (treeCpuNs() - before) / 1e6;
  const cdp = await context.newCDPSession(page);
  await cdp.send('HeapProfiler.collectGarbage');
  await cdp.send('HeapProfiler.collectGarbage');
  const { usedSize } = await cdp.send('Runtime.getHeapUsage');
  const wasm = await page.evaluate(() => (self.wasmMemory ? self.wasmMemory.buffer.byteLength : 0));
  const files = sent(logged);
  let bytes = 0;
  for (const path of files) bytes += brotliSize(join(site, path === '/' ? 'index.html' : path));
  await browser.close();
  return { startup, cpu, memory: (usedSize + wasm) / 1024, bytes, files: files.length };
}

const results = Object.fromEntries(PAGES.map((p) => [p, []]));
const version = await chromium.launch({ executablePath: '/usr/bin/chromium', args: ARGS })
  .then(async (b) => { const v = b.version(); await b.close(); return v; });
for (let run = 1; run <= runs; run += 1) {
  for (const file of PAGES) {
    const r = await measure(file);
    results[file].push(r);
    console.error(`run ${run} ${file}: start-up ${r.startup.toFixed(1)} ms, ` +
      `CPU ${r.cpu.toFixed(1)} ms in ${seconds} s, memory ${r.memory.toFixed(0)} KiB, ` +
      `${r.files} files, ${r.bytes} bytes`);
  }
}

const median = (values) => {
  const v = [...values].sort((a, b) => a - b);
  return v.length % 2 ? v[(v.length - 1) / 2] : (v[v.length / 2 - 1] + v[v.length / 2]) / 2;
};
const figures = [
  ['Start-up (ms)', 'startup', 1],
  [`CPU time over ${seconds} s (ms)`, 'cpu', 1],
  ['JS heap and WebAssembly memory (KiB)', 'memory', 0],
  ['Transferred, brotli (bytes)', 'bytes', 0],
];
const lines = [
  '## Web, headless Chromium',
  '',
  `Chromium ${version}, headless with software rendering, the pages served from`,
  '127.0.0.1. Against `bench/web/baseline.html`, the least page with the same visible job in',
  'the same face (a 256 x 145 black box with one text computed by one 100 ms interval and',
  'written when it changes).',
  `Medians of ${runs} interleaved runs, a fresh browser for each page and run. Start-up runs`,
  'from the navigation to the frame that first shows the sentence; CPU time is the',
  'browser\'s whole process tree, after start-up; memory is the page\'s JS heap after a',
  'collection plus its WebAssembly memory; transferred is every file the server sends whole',
  'on a first visit, to the page and to its service worker, brotli-compressed (quality 11).',
  'Targets: CPU time at most 1.10 of the baseline\'s, start-up and memory at most 1.5, and',
  'each page under 150 KB transferred.',
  '',
  '| Figure | Page | Product | Baseline | Ratio |',
  '|---|---|---|---|---|',
];
for (const file of PAGES.slice(1)) {
  for (const [label, key, digits] of figures) {
    const p = median(results[file].map((r) => r[key]));
    const b = median(results[BASELINE].map((r) => r[key]));
    lines.push(`| ${label} | ${file} | ${p.toFixed(digits)} | ${b.toFixed(digits)} | ` +
      `${b > 0 ? (p / b).toFixed(2) : 'n/a'} |`);
  }
}
console.log(lines.join('\n'));

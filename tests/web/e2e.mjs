// End to end: both web pages in one browser (Chromium or Firefox, see
// browsers.mjs), driven as a user would (pointer, touch, keyboard) and read
// through the DOM, and in Chromium also through the accessibility tree and on
// a phone's touch screen. Sentences are checked with the tests' own oracle.
//   node tests/web/e2e.mjs <chromium|firefox> <base url> <served dir> <build dir>
// ONLY=<words> runs only the checks whose description holds them.
// <served dir> is a copy of <build dir> that the server serves; the checks
// add to it the broken and changed copies they need.
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import {
  cpSync, mkdirSync, readdirSync, readFileSync, statSync, utimesSync, writeFileSync,
} from 'node:fs';
import { dirname, join } from 'node:path';
import { fileURLToPath } from 'node:url';
import { inflateSync } from 'node:zlib';
import { launch } from './browsers.mjs';

const [name, base, served, buildDir] = process.argv.slice(2);
const root = join(dirname(fileURLToPath(import.meta.url)), '..', '..');
const oracle = join(root, 'tests', 'oracle.py');
const chromium = name === 'chromium';
const MAIN = 'time until qvlfest';
const ABOUT = 'About QVLFEST';
const BUILDS = [
  { page: 'index.html', version: 'Version 2.1.0', red: false },
  { page: 'non-lcars.html', version: 'Version 2.1.1', red: true },
];
// The pages the menu's link buttons open, as the program's author gave them.
const LINKS = [
  ['duckduckgo.com', 'https://duckduckgo.com/?q=QVLFEST+Quorvell+Fest+countdown'],
  ['Official QVL Fest website', 'https://duckduckgo.com/?q=Quorvell+Fest'],
  ['QVL Fest Facebook Page', 'https://www.facebook.com/search/events/?q=QVL%20Fest'],
];
const UNAVAILABLE = 'System Information Is Unavailable At This Time';
const GOODBYE =
  'This program will not function anymore, delete it and have a great time at the show.';

const win = (caption, role = 'dialog') => `section[role=${role}][aria-label="${caption}"]`;
const control = (caption, control) => `${win(caption)} [data-name="${control}"]`;
const SENTENCE = `${control(MAIN, 'Final')} .text`;

let passes = 0;
let failures = 0;

async function check(what, test) {
  if (process.env.ONLY && !what.includes(process.env.ONLY)) return;
  try {
    await test();
    passes += 1;
    console.log(`  ok: ${what}`);
  } catch (error) {
    failures += 1;
    console.log(`  FAILED: ${what}`);
    console.log(`    ${String(error.stack || error).split('\n').join('\n    ')}`);
  }
}

async function until(what, probe, ms = 8000) {
  const end = Date.now() + ms;
  let last;
  for (;;) {
    try {
      last = await probe();
      if (last === true) return true;
    } catch (error) {
      last = error.message;
    }
    if (Date.now() > end) throw new Error(`${what} (last: ${JSON.stringify(last)})`);
    await new Promise((resolve) => setTimeout(resolve, 50));
  }
}

// What the page shows, read from its elements.
const textOf = (page, selector) =>
  page.evaluate((s) => document.querySelector(s)?.textContent ?? null, selector);
const count = (page, selector) =>
  page.evaluate((s) => document.querySelectorAll(s).length, selector);
const shown = (page, selector) => page.evaluate((s) => {
  const el = document.querySelector(s);
  return !!el && el.checkVisibility();
}, selector);
const started = (page) => page.evaluate((s) => {
  const text = document.querySelector(s);
  return !!text && text.textContent.startsWith('It is');
}, SENTENCE);

const browser = await launch(name);

// A page in a context of its own, started: the sentence has replaced its
// design caption. A clock given stands still, and moves a tenth of a second
// at a time until then.
async function start(file, options = {}) {
  const page = await browser.open(options);
  await page.goto(base + file);
  await waitForStart(page, options.time !== undefined);
  return page;
}

// Waits for `probe` while the page's clock, which stands still, moves on a
// tenth of a second at a time.
function whileRunning(page, what, probe, ms) {
  return until(what, async () => {
    await page.runFor(100);
    return probe();
  }, ms);
}

async function waitForStart(page, clock) {
  const probe = () => started(page);
  if (clock) await whileRunning(page, 'the program starts', probe, 15000);
  else await until('the program starts', probe, 15000);
}

function localNow(page) {
  return page.evaluate(() => {
    const d = new Date();
    const two = (n) => String(n).padStart(2, '0');
    return `${d.getFullYear()}-${two(d.getMonth() + 1)}-${two(d.getDate())} ` +
      `${two(d.getHours())}:${two(d.getMinutes())}:${two(d.getSeconds())}`;
  });
}

// The sentence shown is the one due at the page's local time.
async function due(page) {
  const shownSentence = await textOf(page, SENTENCE);
  const at = await localNow(page);
  const run = spawnSync('python3', [oracle, at, shownSentence], { encoding: 'utf8' });
  if (run.status !== 0) throw new Error((run.stdout + run.stderr).trim());
  return true;
}

async function openAbout(page) {
  const before = await count(page, win(ABOUT));
  await page.click('button', 'Menu');
  await until('the panel opens', () => shown(page, control(MAIN, 'Frame1')));
  await page.click('button', 'About this program');
  await until('an about box opens', async () => (await count(page, win(ABOUT))) === before + 1);
}

const messageBox = (title) => win(title, 'alertdialog');

// Every pixel of a label's text lies inside the label: shown alone on black,
// with nothing clipped, and looked at with a margin around it.
async function inkInside(page, label) {
  const box = await page.evaluate((selector) => {
    const el = document.querySelector(selector);
    const client = el.closest('.client');
    for (const other of client.children) if (other !== el) other.style.visibility = 'hidden';
    client.style.overflow = 'visible';
    client.style.background = '#000';
    document.documentElement.style.background = '#000';
    for (const window of document.querySelectorAll('section.window')) {
      if (!window.contains(el)) window.style.visibility = 'hidden';
    }
    el.style.visibility = 'visible';
    el.style.overflow = 'visible';
    el.style.contain = 'none';
    const r = el.getBoundingClientRect();
    return { x: r.left, y: r.top, width: r.width, height: r.height };
  }, control(MAIN, label));
  const margin = 12;
  const clip = { x: box.x - margin, y: box.y - margin, width: box.width + 2 * margin,
    height: box.height + 2 * margin };
  const image = decodePng(Buffer.from(await page.screenshot({ clip })));
  const outside = [];
  for (let y = 0; y < image.height; y += 1) {
    for (let x = 0; x < image.width; x += 1) {
      const at = (y * image.width + x) * image.channels;
      const ink = Math.max(image.data[at], image.data[at + 1], image.data[at + 2]) > 96;
      const within = x >= margin && x < margin + box.width &&
        y >= margin && y < margin + box.height;
      if (ink && !within) outside.push([x - margin, y - margin]);
    }
  }
  assert.deepEqual(outside.slice(0, 8), [], `ink outside the ${box.width} x ${box.height} label`);
}

// A PNG as the browsers write it: 8 bits a channel, not interlaced.
function decodePng(png) {
  const width = png.readUInt32BE(16);
  const height = png.readUInt32BE(20);
  const channels = { 2: 3, 6: 4 }[png[25]];
  const chunks = [];
  for (let at = 8; at < png.length;) {
    const length = png.readUInt32BE(at);
    if (png.toString('latin1', at + 4, at + 8) === 'IDAT') {
      chunks.push(png.subarray(at + 8, at + 8 + length));
    }
    at += 12 + length;
  }
  const raw = inflateSync(Buffer.concat(chunks));
  const stride = width * channels;
  const data = Buffer.alloc(stride * height);
  for (let y = 0; y < height; y += 1) {
    const filter = raw[y * (stride + 1)];
    for (let x = 0; x < stride; x += 1) {
      const a = x >= channels ? data[y * stride + x - channels] : 0;
      const b = y ? data[(y - 1) * stride + x] : 0;
      const c = x >= channels && y ? data[(y - 1) * stride + x - channels] : 0;
      const p = a + b - c;
      const paeth = Math.abs(p - a) <= Math.abs(p - b) && Math.abs(p - a) <= Math.abs(p - c) ? a
        : Math.abs(p - b) <= Math.abs(p - c) ? b : c;
      const predictor = [0, a, b, (a + b) >> 1, paeth][filter];
      data[y * stride + x] = (raw[y * (stride + 1) + 1 + x] + predictor) & 255;
    }
  }
  return { width, height, channels, data };
}

// Presses the title strip `from` its left end, moves the pointer by `by` in
// two steps, and releases; returns where the window was before.
async function dragStrip(page, from, by, mouseButton = 'left') {
  const before = await page.box(win(MAIN));
  const strip = await page.box(control(MAIN, 'Label2'));
  const x = strip.x + from;
  const y = strip.y + 8;
  await page.mouse.move(x, y);
  await page.mouse.down({ button: mouseButton });
  await page.mouse.move(x + by.x / 2, y + by.y / 2, { steps: 2 });
  await page.mouse.move(x + by.x, y + by.y, { steps: 2 });
  await page.mouse.up({ button: mouseButton });
  return before;
}

const at = (box) => [Math.round(box.x), Math.round(box.y)];

async function movedTo(page, where) {
  await until(`the window stands at ${where}`,
    async () => JSON.stringify(at(await page.box(win(MAIN)))) === JSON.stringify(where));
}

// Served copies for the start-up failures and the releases.
function copySite(to, keep = () => true) {
  cpSync(buildDir, join(served, to), {
    recursive: true, filter: (file) => !file.includes('screenshots') && keep(file),
  });
  return `${base}${to}/`;
}

function age(dir, days) {
  const when = new Date(Date.now() - days * 86400e3);
  for (const entry of readdirSync(dir, { recursive: true })) utimesSync(join(dir, entry), when, when);
}

// A release that differs from the one served in the text of the countdown
// window's lower line, made as a host receives it: the files changed and
// the service worker's list made anew, all dated `days` ago; or all but the
// WebAssembly, which keeps its time, so that the server calls the browser's
// old copy current.
function release(dir, from, to, days, { wasmKeepsItsTime = false } = {}) {
  const wasm = join(dir, 'qvlfest.wasm');
  const { mtime } = statSync(wasm);
  const bytes = readFileSync(wasm);
  const place = bytes.indexOf(Buffer.from(from, 'latin1'));
  assert.ok(place >= 0 && from.length === to.length, `no "${from}" to change`);
  bytes.write(to, place, 'latin1');
  writeFileSync(wasm, bytes);
  const run = spawnSync('python3', [join(root, 'app/web/offline.py'), 'refresh', dir],
    { encoding: 'utf8' });
  assert.equal(run.status, 0, run.stderr);
  age(dir, days);
  if (wasmKeepsItsTime) utimesSync(wasm, mtime, mtime);
}

const dates = [
  ['Europe/Berlin', '2026-04-21T10:20:30+02:00'],
  ['Asia/Tokyo', '2027-03-01T00:00:00+09:00'],
  ['America/New_York', '2026-05-31T23:59:59-04:00'],
  ['UTC', '2026-06-25T12:00:00Z'],
  ['Australia/Sydney', '2026-12-24T18:30:00+11:00'],
];
for (const build of BUILDS) {
  console.log(`${name}: ${build.page}`);
  for (const [zone, iso] of dates) {
    await check(`the sentence due on ${iso}` + (chromium ? ` in ${zone}` : ''), async () => {
      const page = await start(build.page, { time: Date.parse(iso), zone });
      await page.runFor(1000);
      await until('the sentence is due', () => due(page));
      await page.close();
    });
  }

  const time = Date.parse('2026-04-21T10:20:30+02:00');
  let page;
  await check('it starts into its countdown window', async () => {
    page = await start(build.page, { time });
  });
  if (!page) continue;
  await check('the window is 256 x 145 CSS pixels', async () => {
    const box = await page.box(`${win(MAIN)} .client`);
    assert.deepEqual([box.width, box.height], [256, 145]);
  });
  await check('the focus starts on Command1 and Tab follows the tab order', async () => {
    const focused = () => page.evaluate(() => document.activeElement.dataset.name);
    assert.equal(await focused(), 'Command1');
    for (const [keys, to] of [['Tab', 'Command2'], ['Tab', 'Command3'], ['Shift+Tab', 'Command2']]) {
      await page.press(keys);
      await until(`${keys} reaches ${to}`, async () => (await focused()) === to);
    }
  });
  await check('Menu shows and hides the panel; a click on the sentence hides it', async () => {
    const panel = control(MAIN, 'Frame1');
    assert.equal(await shown(page, panel), false, 'the panel is shown at start');
    await page.click('button', 'Menu');
    await until('Menu shows the panel', () => shown(page, panel));
    await page.click('button', 'Menu');
    await until('Menu hides the panel', async () => !(await shown(page, panel)));
    await page.click('button', 'Menu');
    await until('Menu shows the panel again', () => shown(page, panel));
    await page.click(control(MAIN, 'Label12'), null, { at: { x: 20, y: 20 } });
    await until('a click on "Until Quorvell Fest !!!" hides it',
      async () => !(await shown(page, panel)));
  });
  if (chromium) {
    await check('the accessibility tree has the window, its buttons and the sentence', async () => {
      const tree = await page.raw.locator('body').ariaSnapshot();
      const words = (await textOf(page, SENTENCE)).trim().replace(/\s+/g, ' ');
      for (const line of [`dialog "${MAIN}"`, 'button "Menu"', 'button "X"', words]) {
        assert.ok(tree.includes(line), `no ${line} in\n${tree}`);
      }
      for (const hidden of ['Command1', 'CurMon', 'ACTUALLY, THIS BUTTON NO LONGER WORKS.']) {
        assert.ok(!tree.includes(hidden), `the developer area's ${hidden} is in\n${tree}`);
      }
    });
  }
  await check(`the about box reads "${ABOUT}", "QVLFEST", "${build.version}"` +
    (build.red ? ' and the red "NON LCARS FONT VERSION"' : ' and no red label'), async () => {
    await openAbout(page);
    const client = await page.box(`${win(ABOUT)} .client`);
    assert.deepEqual(at(client), [156, 129], 'its client area is not at 2340, 1935 twips');
    assert.equal(await textOf(page, control(ABOUT, 'lblTitle')), 'QVLFEST');
    assert.equal(await textOf(page, control(ABOUT, 'lblVersion')), build.version);
    const red = control(ABOUT, 'Label4');
    assert.equal(await count(page, red), build.red ? 1 : 0);
    if (build.red) {
      assert.equal(await textOf(page, red), 'NON LCARS FONT VERSION');
      assert.equal(await page.evaluate((s) => getComputedStyle(document.querySelector(s)).color,
        `${red} .text`), 'rgb(255, 0, 0)');
    }
    await page.press('Enter');
    await until('Enter closes it', async () => (await count(page, win(ABOUT))) === 0);
  });
  await check('Escape closes a fresh about box', async () => {
    await openAbout(page);
    await page.press('Escape');
    await until('Escape closes it', async () => (await count(page, win(ABOUT))) === 0);
  });
  await check('two about boxes at once; OK in one leaves the other', async () => {
    await openAbout(page);
    assert.equal(await shown(page, control(MAIN, 'Frame1')), false, 'the panel stays');
    await openAbout(page);
    await page.click(`${win(ABOUT)} button`, 'OK');
    await until('one box is left', async () => (await count(page, win(ABOUT))) === 1);
  });
  await check('System Info says that the tool is unavailable, and the timers tick meanwhile',
    async () => {
      await page.click(`${win(ABOUT)} button`, 'System Info...');
      const box = messageBox('QVLFEST');
      await until('the message box opens', () => shown(page, box));
      assert.ok((await textOf(page, box)).includes(UNAVAILABLE));
      const before = await textOf(page, SENTENCE);
      await page.runFor(2000);
      await until('the sentence goes on', async () => (await textOf(page, SENTENCE)) !== before);
      await page.click(`${box} button`, 'OK');
      await until('OK closes it', async () => (await count(page, box)) === 0);
      assert.equal(await count(page, win(ABOUT)), 1, 'the about box went too');
    });
  await check('Alt+S presses "System Info..."', async () => {
    await page.click(control(ABOUT, 'lblTitle'));
    await page.press('Alt+s');
    const box = messageBox('QVLFEST');
    await until('the message box opens', () => shown(page, box));
    await page.press('Enter');
    await until('Enter closes it', async () => (await count(page, box)) === 0);
  });
  await check('the ink of the sentence and the line below it keeps to their labels, unclipped',
    async () => {
      await inkInside(page, 'Final');
      await inkInside(page, 'Label12');
    });
  await page.close();
}

console.log(`${name}: index.html, by hand`);
await check('each link button opens its page in a new tab and hides the panel', async () => {
  const page = await start('index.html');
  for (const [caption, address] of LINKS) {
    await page.click('button', 'Menu');
    await until('the panel opens', () => shown(page, control(MAIN, 'Frame1')));
    assert.equal(await page.newTab(() => page.click('button', caption)), address);
    await until('the panel is hidden', async () => !(await shown(page, control(MAIN, 'Frame1'))));
  }
  await page.close();
});
await check('the close button of a drawn title bar closes its window', async () => {
  const page = await start('index.html');
  await openAbout(page);
  await page.click(`${win(ABOUT)} button`, 'Close');
  await until('the about box goes', async () => (await count(page, win(ABOUT))) === 0);
  assert.equal(await count(page, win(MAIN)), 1);
  await page.close();
});
for (const mouseButton of ['left', 'right']) {
  await check(`dragged by its title strip with the ${mouseButton} button, to its release`,
    async () => {
      const page = await start('index.html');
      const before = await dragStrip(page, 40, { x: 100, y: 60 }, mouseButton);
      await page.mouse.move(400, 400, { steps: 2 });
      await movedTo(page, [before.x + 100, before.y + 60]);
      await new Promise((resolve) => setTimeout(resolve, 200));
      assert.deepEqual(at(await page.box(win(MAIN))), [before.x + 100, before.y + 60],
        'it went on after the release');
      await page.click('button', 'Menu');
      await until('the click after the move reaches Menu',
        () => shown(page, control(MAIN, 'Frame1')));
      await page.close();
    });
}
await check('the page is the desktop: a dragged window keeps its title strip in it, also when ' +
  'the page narrows', async () => {
  const page = await start('index.html');
  // The strip reaches from the window's left edge to Menu, 198 pixels; 48 of
  // them stay in the page.
  await dragStrip(page, 10, { x: 990, y: 0 });
  await movedTo(page, [1024 - 48, 16]);
  await page.resize(600, 500);
  await movedTo(page, [600 - 48, 16]);
  await dragStrip(page, 20, { x: -560, y: 0 });
  await movedTo(page, [-8, 16]);
  await dragStrip(page, 190, { x: -180, y: 0 });
  await movedTo(page, [48 - 198, 16]);
  if (chromium) {
    // The pointer leaves the page at its top (WebDriver keeps it inside).
    await dragStrip(page, 180, { x: 0, y: -300 });
    await movedTo(page, [48 - 198, -2]);
  }
  await page.close();
});
await check('across midnight into 22 June: "YEAH!" once, its box, and the sentence stops; ' +
  '"X" then ends everything, and the page starts it again', async () => {
  const page = await start('index.html', { time: Date.parse('2026-06-21T23:59:58+02:00') });
  await page.runFor(2500);
  const arrival = win('YEAH!');
  await until('the arrival window opens', async () => (await count(page, arrival)) === 1);
  await due(page);
  const frozen = await textOf(page, SENTENCE);
  assert.ok(frozen.startsWith('It is 0 days '), frozen);
  await page.runFor(3000);
  await new Promise((resolve) => setTimeout(resolve, 100));
  assert.equal(await textOf(page, SENTENCE), frozen);
  assert.equal(await count(page, arrival), 1);
  // Read from top to bottom, and described by its texts.
  assert.deepEqual(await page.evaluate((s) => [...document.querySelectorAll(`${s} [data-name]`)]
    .map((el) => el.dataset.name), arrival), ['Label1', 'Label3', 'Label4', 'Command1', 'Label2']);
  const described = (selector) => page.evaluate((s) => document.querySelector(s)
    .getAttribute('aria-describedby').split(' ')
    .map((id) => document.getElementById(id).textContent).join(' | '), selector);
  assert.equal(await described(arrival), 'GET FUCKING EXITED | QUORVELL FEST | IS TODAY!!! | ' +
    '*Also, if this window came up and the program actually worked, that is pretty good ' +
    'reason to be exited too!');
  await page.click(`${arrival} button`, 'Click This.');
  const box = messageBox('HEY!');
  await until('its box opens', () => shown(page, box));
  assert.equal(await described(box), GOODBYE);
  // While its handler waits, another handler shows a box of its own; the
  // first box closes first, and both handlers go on.
  await openAbout(page);
  await page.click(`${win(ABOUT)} button`, 'System Info...');
  const inner = messageBox('QVLFEST');
  await until('a second box opens meanwhile', () => shown(page, inner));
  // (The second box lies over the first one's button: the click is sent to it.)
  await page.evaluate((s) => [...document.querySelectorAll(`${s} button`)]
    .find((b) => b.textContent === 'OK').click(), box);
  await until('OK closes the first box', async () => (await count(page, box)) === 0);
  assert.equal(await count(page, inner), 1, 'the second box went with the first');
  await page.click(`${inner} button`, 'OK');
  await until('OK closes the second box', async () => (await count(page, inner)) === 0);
  assert.equal(await count(page, arrival), 1);
  await page.click(`${arrival} button`, 'Click This.');
  await until('"Click This." shows its box again', () => shown(page, box));
  await page.press('Escape');
  await until('Escape closes it', async () => (await count(page, box)) === 0);
  await page.click('button', 'X');
  await until('every window goes', async () => (await count(page, 'section.window')) === 0);
  assert.equal((await textOf(page, '#ended')).trim(), 'QVLFEST has ended. Start it again');
  await page.click('#ended a');
  await waitForStart(page, true);
  await page.close();
});
await check('after one visit the page opens with no network', async () => {
  const page = await start('index.html', { workers: true });
  await until('the service worker serves the page',
    () => page.evaluate(() => navigator.serviceWorker.controller !== null));
  await page.setOffline(true);
  await page.reload();
  await waitForStart(page, false);
  await due(page);
  await page.close();
});
await check('a release reaches a returning visitor on the next visit, and an open page within ' +
  'the hour, where it was; then offline too; the other page is kept once opened', async () => {
  // Served with an old Last-Modified and no Cache-Control, as a plain static
  // host serves it: a browser takes its HTTP cache for fresh.
  const folder = `release-${name}`;
  const url = copySite(folder);
  const dir = join(served, folder);
  age(dir, 30);
  const label = control(MAIN, 'Label12');
  const page = await browser.open({ workers: true, time: Date.now() });
  await page.goto(`${url}index.html`);
  await waitForStart(page, true);
  await whileRunning(page, 'the service worker serves the page',
    () => page.evaluate(() => navigator.serviceWorker.controller !== null));
  release(dir, 'Until Quorvell Fest !!!', 'UNTIL QUORVELL FEST !!!', 29);
  await page.goto(`${url}index.html`);
  await whileRunning(page, 'the second visit shows the new release',
    async () => (await textOf(page, label)) === 'UNTIL QUORVELL FEST !!!', 20000);
  await waitForStart(page, true);
  const before = await dragStrip(page, 40, { x: 100, y: 60 });
  await movedTo(page, [before.x + 100, before.y + 60]);
  release(dir, 'UNTIL QUORVELL FEST !!!', 'Until Quorvell Fest ???', 28,
    { wasmKeepsItsTime: true });
  await page.jump(3600e3);
  await until('the open page shows the next release within the hour',
    async () => (await textOf(page, label)) === 'Until Quorvell Fest ???', 20000);
  await waitForStart(page, true);
  await movedTo(page, [before.x + 100, before.y + 60]);
  const kept = () => page.evaluate(async () => {
    const keys = await caches.keys();
    const names = (await (await caches.open(keys[0])).keys()).map((r) => r.url.split('/').pop());
    return { caches: keys.length, names };
  });
  const once = await kept();
  assert.equal(once.caches, 1, 'the old releases\' caches are gone');
  assert.ok(once.names.includes('qvlfest.wasm') && !once.names.includes('qvlfest-non-lcars.wasm'),
    `the first page keeps the other page's files: ${once.names}`);
  await page.setOffline(true);
  await page.reload();
  await waitForStart(page, true);
  assert.equal(await textOf(page, label), 'Until Quorvell Fest ???');
  await page.setOffline(false);
  await page.goto(`${url}non-lcars.html`);
  await waitForStart(page, true);
  await until('the other page is kept once opened',
    async () => (await kept()).names.includes('qvlfest-non-lcars.wasm'));
  await page.setOffline(true);
  await page.reload();
  await waitForStart(page, true);
  await page.close();
});
await check('under its security policy an inline script slipped into the page does not run',
  async () => {
    const html = readFileSync(join(buildDir, 'index.html'), 'utf8');
    writeFileSync(join(served, `slipped-${name}.html`),
      html.replace('<script src=', '<script>window.qvlSlipped = true;</script>\n<script src='));
    assert.deepEqual(browser.breaches, [], 'breaches before');
    const page = await browser.open({ quiet: true });
    await page.goto(`${base}slipped-${name}.html`);
    await waitForStart(page, false);
    assert.equal(await page.evaluate(() => window.qvlSlipped), undefined);
    await until('the breach is reported', async () => browser.breaches.length > 0);
    assert.ok(browser.breaches.every((b) => b.includes('script-src')),
      browser.breaches.join('\n'));
    browser.breaches.length = 0;
    await page.close();
  });
await check('when it cannot start, one line says why and what to do', async () => {
  const withoutWasm = copySite(`no-wasm-${name}`, (file) => !file.endsWith('.wasm'));
  const onlyPage = copySite(`page-only-${name}`,
    (file) => statSync(file).isDirectory() || file.endsWith('.html'));
  const cases = [
    [`${withoutWasm}index.html`, {},
      'QVLFEST could not start: the site lacks qvlfest.wasm. Tell the site\'s owner.'],
    ['index.html', { script: () => { delete window.WebAssembly; } },
      'QVLFEST needs WebAssembly, which this browser does not run: update the browser, or ' +
      'allow WebAssembly for this site.'],
    [`${onlyPage}index.html`, {},
      'QVLFEST could not load its files. Check the network connection, then reload the page.'],
  ];
  for (const [url, options, line] of cases) {
    const page = await browser.open({ ...options, quiet: true });
    await page.goto(url.startsWith('http') ? url : base + url);
    await until(`"${line}" is shown`, async () => (await shown(page, '#status')) &&
      (await textOf(page, '#status')) === line, 12000);
    await page.close();
  }
  if (chromium) {
    const page = await browser.open({ scripts: false });
    await page.goto(`${base}index.html`);
    const lines = await page.evaluate(() => [...document.querySelectorAll('p')]
      .filter((p) => p.checkVisibility()).map((p) => p.textContent));
    assert.deepEqual(lines, ['QVLFEST runs in JavaScript, which this browser does not run for ' +
      'this page. Allow JavaScript for this site, then reload the page.']);
    await page.close();
  }
});

if (chromium) {
  console.log(`${name}: on a phone`);
  await check('on a phone every button is a 24 x 24 target and every window opens inside ' +
    'the page; touch drags, taps on Menu, a link, the about box and its OK work', async () => {
    const page = await start('index.html',
      { phone: true, time: Date.parse('2026-06-21T23:59:58+02:00') });
    const cdp = await page.context.newCDPSession(page.raw);
    // Every button shown, and every window, on the screen.
    const layout = () => page.evaluate(() => {
      const box = (el) => {
        const r = el.getBoundingClientRect();
        return [r.left, r.top, r.width, r.height].map(Math.round);
      };
      const shownAll = (s) => [...document.querySelectorAll(s)].filter((el) => el.checkVisibility());
      return {
        buttons: shownAll('button').map((b) => [b.textContent || b.getAttribute('aria-label'),
          ...box(b).slice(2)]),
        windows: shownAll('section.window').map((w) => [w.getAttribute('aria-label'), ...box(w)]),
      };
    });
    // Every button is large enough, and the window just opened inside the
    // page (wholly, where it fits).
    const inside = async (opened) => {
      const { buttons, windows } = await layout();
      const small = buttons.filter(([, w, h]) => w < 24 || h < 24);
      assert.deepEqual(small, [], `with "${opened}": buttons under 24 x 24`);
      const [, x, y, w, h] = windows.find(([caption]) => caption === opened);
      const fits = x >= 0 && y >= 0 && (w > 390 || x + w <= 390) && (h > 844 || y + h <= 844);
      assert.ok(fits, `"${opened}" at ${x}, ${y}, ${w} x ${h}`);
    };
    await inside(MAIN);
    const before = await page.box(win(MAIN));
    const strip = await page.box(control(MAIN, 'Label2'));
    const from = { x: strip.x + 40, y: strip.y + 10 };
    const touch = (type, points) => cdp.send('Input.dispatchTouchEvent', { type, touchPoints: points });
    await touch('touchStart', [from]);
    for (let i = 1; i <= 10; i += 1) {
      await touch('touchMove', [{ x: from.x + 8 * i, y: from.y + 12 * i }]);
      await new Promise((resolve) => setTimeout(resolve, 20));
    }
    await touch('touchEnd', []);
    await movedTo(page, [before.x + 80, before.y + 120]);
    await page.runFor(2500);
    await until('the arrival window opens', async () => (await count(page, win('YEAH!'))) === 1);
    await inside('YEAH!');
    // Wider than the phone, it is reached as a user would: a slow swipe on
    // the desktop below it scrolls the page to "Click This.".
    const button = `${win('YEAH!')} button.button`;
    const swipe = [{ x: 350, y: 780 }];
    await touch('touchStart', swipe);
    for (let i = 1; i <= 16; i += 1) {
      await touch('touchMove', [{ x: 350 - 20 * i, y: 780 }]);
      await new Promise((resolve) => setTimeout(resolve, 20));
    }
    await new Promise((resolve) => setTimeout(resolve, 200));
    await touch('touchEnd', []);
    await until('"Click This." is on the screen', () => page.evaluate((s) => {
      const r = document.querySelector(s).getBoundingClientRect();
      return r.left >= 0 && r.right <= 390;
    }, button));
    await page.raw.tap(button);
    await until('its box opens', () => shown(page, messageBox('HEY!')));
    await inside('HEY!');
    await page.raw.tap(`${messageBox('HEY!')} button.button`);
    await until('OK closes it', async () => (await count(page, messageBox('HEY!'))) === 0);
    await page.raw.tap(`${win('YEAH!')} button.close`);
    await page.raw.tap(control(MAIN, 'Command3'));
    await until('a tap on Menu shows the panel', () => shown(page, control(MAIN, 'Frame1')));
    await inside(MAIN);
    const [caption, address] = LINKS[1];
    assert.equal(await page.newTab(() => page.raw.tap(`button:text-is("${caption}")`)), address);
    await page.raw.tap(control(MAIN, 'Command3'));
    await page.raw.tap(control(MAIN, 'Command8'));
    await until('the about box opens', async () => (await count(page, win(ABOUT))) === 1);
    await inside(ABOUT);
    await page.raw.tap(control(ABOUT, 'cmdOK'));
    await until('OK closes it', async () => (await count(page, win(ABOUT))) === 0);
    await page.close();
  });
  await check('screen readers hear each box\'s message and each window\'s texts', async () => {
    const page = await start('index.html');
    const cdp = await page.context.newCDPSession(page.raw);
    const description = async (role, name) => {
      const { nodes } = await cdp.send('Accessibility.getFullAXTree');
      return nodes.find((n) => n.role?.value === role && n.name?.value === name)
        ?.description?.value;
    };
    await openAbout(page);
    assert.match(await description('dialog', MAIN), /^Time until Quorvell Fest It is .* Until/);
    assert.match(await description('dialog', ABOUT),
      /^QVLFEST Version 2\.1\.0 This was based .* DISCLAIMER: +I have no affiliation/);
    await page.click(`${win(ABOUT)} button`, 'System Info...');
    await until('the message box opens', () => shown(page, messageBox('QVLFEST')));
    assert.equal(await description('alertdialog', 'QVLFEST'), UNAVAILABLE);
    await page.close();
  });
  await check('the page can be installed', async () => {
    const page = await start('index.html', { workers: true });
    await page.evaluate(() => navigator.serviceWorker.ready.then(() => true));
    const cdp = await page.context.newCDPSession(page.raw);
    const { errors } = await cdp.send('Page.getAppManifest');
    assert.deepEqual(errors, [], 'the manifest has errors');
    // A test's browser context is off the record, which no page can change.
    const { installabilityErrors } = await cdp.send('Page.getInstallabilityErrors');
    assert.deepEqual(installabilityErrors.filter((e) => e.errorId !== 'in-incognito'), []);
    await page.close();
  });
  await check('screenshots at device scale 2', async () => {
    const shots = join(buildDir, 'screenshots');
    mkdirSync(shots, { recursive: true });
    const page = await start('index.html',
      { time: Date.parse('2026-04-21T10:20:30+02:00'), scale: 2 });
    await page.runFor(1000);
    const size = await page.evaluate((s) => {
      const c = document.querySelector(s);
      return [c.width, c.height];
    }, `${win(MAIN)} canvas`);
    assert.deepEqual(size, [512, 290], 'the surface is not at the device\'s pixels');
    await page.raw.locator(win(MAIN)).screenshot({ path: join(shots, 'web-countdown.png') });
    await openAbout(page);
    await page.raw.locator(win(ABOUT)).screenshot({ path: join(shots, 'web-about.png') });
    await page.close();
  });
  await check('the surfaces follow a change of device scale to 1.5', async () => {
    const page = await start('index.html');
    const surfaces = () => page.evaluate(() => [...document.querySelectorAll('canvas')]
      .map((c) => [c.width, c.height]));
    assert.deepEqual((await surfaces())[0], [256, 145]);
    const cdp = await page.context.newCDPSession(page.raw);
    await cdp.send('Emulation.setDeviceMetricsOverride',
      { width: 1000, height: 700, deviceScaleFactor: 1.5, mobile: false });
    // The form's surfaces (behind and in front of its labels' texts) and
    // the menu panel's, twips at 144 DPI.
    await until('the surfaces are drawn again', async () => {
      const now = JSON.stringify(await surfaces());
      return now === JSON.stringify([[384, 218], [384, 218], [218, 134]]) || now;
    });
    await page.close();
  });
  await check('no request left the page\'s own origin but the links', () => {
    const stray = browser.requests.filter((url) => !url.startsWith(base) &&
      !LINKS.some(([, link]) => link === url));
    assert.deepEqual(stray, []);
  });
}
await check('no breach of the security policy on any page', () => {
  assert.deepEqual(browser.breaches, []);
});
await check('no script error on any page', () => {
  assert.deepEqual(browser.errors, []);
});

await browser.close();
console.log(`${name}: ${passes} passed, ${failures} failed`);
process.exit(failures ? 1 : 0);

// End to end: both web pages in Debian's headless Chromium, driven as a user
// would (pointer, keyboard) through Playwright, read through the DOM and the
// accessibility tree; the clock is Playwright's and the zone the context's.
// Sentences are checked with the tests' own oracle.
//   node tests/web/e2e.mjs <base url> <site dir>
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import { mkdirSync } from 'node:fs';
import { dirname, join } from 'node:path';
import { fileURLToPath } from 'node:url';
import { inflateSync } from 'node:zlib';
import { chromium } from 'playwright-core';

const [base, site] = process.argv.slice(2);
const oracle = join(dirname(fileURLToPath(import.meta.url)), '..', 'oracle.py');
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

let passes = 0;
let failures = 0;
const strayRequests = [];
const pageErrors = [];

async function check(what, test) {
  try {
    await test();
    passes += 1;
    console.log(`  ok: ${what}`);
  } catch (error) {
    failures += 1;
    console.log(`  FAILED: ${what}`);
    console.log(`    ${String(error.message || error).split('\n').join('\n    ')}`);
  }
}

async function until(what, probe, ms = 5000) {
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

const browser = await chromium.launch({
  executablePath: '/usr/bin/chromium',
  args: ['--no-sandbox', '--disable-gpu', '--disable-background-networking',
    '--disable-component-update', '--disable-sync', '--no-first-run'],
});

// A page of its own context: its zone, its device scale, its clock. The
// program has started when the sentence replaces its design caption.
async function start(file, { time, zone = 'Europe/Berlin', scale = 1, workers = 'block' } = {}) {
  const context = await browser.newContext({
    timezoneId: zone, deviceScaleFactor: scale, serviceWorkers: workers,
    viewport: { width: 1024, height: 720 },
  });
  context.on('request', (request) => {
    if (!request.url().startsWith(base) && !LINKS.some(([, url]) => url === request.url())) {
      strayRequests.push(request.url());
    }
  });
  const page = await context.newPage();
  page.on('pageerror', (error) => pageErrors.push(`${file}: ${error.message}`));
  if (time !== undefined) await page.clock.install({ time });
  await page.goto(base + file);
  await page.waitForFunction(() => {
    const text = document.querySelector('[data-name=Final] .text');
    return text && text.textContent.startsWith('It is');
  });
  return page;
}

const windowNamed = (page, name) => page.locator(`section[role=dialog][aria-label="${name}"]`);
const control = (page, windowName, name) =>
  windowNamed(page, windowName).locator(`[data-name="${name}"]`);
const sentence = (page) => control(page, MAIN, 'Final').locator('.text').textContent();
const button = (page, name) => page.getByRole('button', { name, exact: true });

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
  const shown = await sentence(page);
  const at = await localNow(page);
  const run = spawnSync('python3', [oracle, at, shown], { encoding: 'utf8' });
  if (run.status !== 0) throw new Error((run.stdout + run.stderr).trim());
}

// Time stands still a moment after `time`, then runs on by a second: the
// ticks of that second have been handled when this returns.
async function settle(page, time) {
  await page.clock.pauseAt(time + 3000);
  await page.clock.runFor(1000);
}

async function openAbout(page) {
  const before = await windowNamed(page, ABOUT).count();
  await button(page, 'Menu').click();
  await button(page, 'About this program').click();
  await until('an about box opens',
    async () => (await windowNamed(page, ABOUT).count()) === before + 1);
  return windowNamed(page, ABOUT).last();
}

// Every pixel of a label's text lies inside the label: shown alone on black,
// with nothing clipped, and looked at with a margin around it.
async function inkInside(page, name) {
  const label = control(page, MAIN, name);
  const box = await label.evaluate((el) => {
    const client = el.closest('.client');
    for (const other of client.children) if (other !== el) other.style.visibility = 'hidden';
    client.style.overflow = 'visible';
    client.style.background = '#000';
    document.body.style.background = '#000';
    for (const window of document.querySelectorAll('section.window')) {
      if (!window.contains(el)) window.style.visibility = 'hidden';
    }
    el.style.visibility = 'visible';
    el.style.overflow = 'visible';
    el.style.contain = 'none';
    const r = el.getBoundingClientRect();
    return { x: r.left, y: r.top, width: r.width, height: r.height };
  });
  const margin = 12;
  const clip = { x: box.x - margin, y: box.y - margin, width: box.width + 2 * margin,
    height: box.height + 2 * margin };
  const image = decodePng(await page.screenshot({ clip }));
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

// A PNG as Chromium writes it: 8 bits a channel, not interlaced.
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

async function dragTitleStrip(page, mouseButton) {
  const window = windowNamed(page, MAIN);
  const before = await window.boundingBox();
  const strip = await control(page, MAIN, 'Label2').boundingBox();
  const x = strip.x + 40;
  const y = strip.y + 8;
  await page.mouse.move(x, y);
  await page.mouse.down({ button: mouseButton });
  await page.mouse.move(x + 40, y + 20, { steps: 2 });
  await page.mouse.move(x + 100, y + 60, { steps: 2 });
  await page.mouse.up({ button: mouseButton });
  await page.mouse.move(x + 300, y + 200, { steps: 2 });
  const moved = (box) => box.x === before.x + 100 && box.y === before.y + 60;
  await until(`the window moved by (100, 60) from ${before.x}, ${before.y}`,
    async () => moved(await window.boundingBox()));
  await page.waitForTimeout(200);
  const after = await window.boundingBox();
  assert.ok(moved(after), `after the release it went on to ${after.x}, ${after.y}`);
  await button(page, 'Menu').click();
  await until('the click after the move reaches Menu',
    () => control(page, MAIN, 'Frame1').isVisible());
  await button(page, 'Menu').click();
}

const dates = [
  ['Europe/Berlin', '2026-04-21T10:20:30+02:00'],
  ['Asia/Tokyo', '2027-03-01T00:00:00+09:00'],
  ['America/New_York', '2026-05-31T23:59:59-04:00'],
  ['UTC', '2026-06-25T12:00:00Z'],
  ['Australia/Sydney', '2026-12-24T18:30:00+11:00'],
];
for (const build of BUILDS) {
  console.log(build.page);
  for (const [zone, iso] of dates) {
    await check(`the sentence due on ${iso} in ${zone}`, async () => {
      const time = Date.parse(iso);
      const page = await start(build.page, { time, zone });
      await settle(page, time);
      await until('the sentence is due', () => due(page).then(() => true));
      await page.context().close();
    });
  }

  const time = Date.parse('2026-04-21T10:20:30+02:00');
  let page;
  await check('it starts into its countdown window', async () => {
    page = await start(build.page, { time });
  });
  if (!page) continue;
  await check('the window is 256 x 145 CSS pixels', async () => {
    const box = await windowNamed(page, MAIN).locator('.client').boundingBox();
    assert.deepEqual([box.width, box.height], [256, 145]);
  });
  await check('the focus starts on Command1 and Tab follows the tab order', async () => {
    const focused = () => page.evaluate(() => document.activeElement.dataset.name);
    assert.equal(await focused(), 'Command1');
    await page.keyboard.press('Tab');
    await until('Tab reaches Command2', async () => (await focused()) === 'Command2');
    await page.keyboard.press('Tab');
    await until('Tab reaches Menu', async () => (await focused()) === 'Command3');
    await page.keyboard.press('Shift+Tab');
    await until('Shift+Tab goes back to Command2', async () => (await focused()) === 'Command2');
  });
  await check('Menu shows and hides the panel; a click on the sentence hides it', async () => {
    const panel = control(page, MAIN, 'Frame1');
    assert.equal(await panel.isVisible(), false, 'the panel is shown at start');
    await button(page, 'Menu').click();
    await until('Menu shows the panel', () => panel.isVisible());
    await button(page, 'Menu').click();
    await until('Menu hides the panel', async () => !(await panel.isVisible()));
    await button(page, 'Menu').click();
    await until('Menu shows the panel again', () => panel.isVisible());
    await control(page, MAIN, 'Label12').click({ position: { x: 20, y: 20 } });
    await until('a click on "Until Quorvell Fest !!!" hides it',
      async () => !(await panel.isVisible()));
  });
  await check('the accessibility tree has the window, its buttons and the sentence', async () => {
    const tree = await page.locator('body').ariaSnapshot();
    const words = (await sentence(page)).trim().replace(/\s+/g, ' ');
    for (const line of [`dialog "${MAIN}"`, 'button "Menu"', 'button "X"', words]) {
      assert.ok(tree.includes(line), `no ${line} in\n${tree}`);
    }
    for (const hidden of ['Command1', 'CurMon', 'ACTUALLY, THIS BUTTON NO LONGER WORKS.']) {
      assert.ok(!tree.includes(hidden), `the developer area's ${hidden} is in\n${tree}`);
    }
    assert.equal(await control(page, MAIN, 'Label11').textContent(),
      'ACTUALLY, THIS BUTTON NO LONGER WORKS.');
    assert.equal(await control(page, MAIN, 'Label2').textContent(), '  Time until Quorvell Fest');
  });
  await check(`the about box reads "${ABOUT}", "QVLFEST", "${build.version}"` +
    (build.red ? ' and the red "NON LCARS FONT VERSION"' : ' and no red label'), async () => {
    const about = await openAbout(page);
    assert.equal(await about.getAttribute('aria-label'), ABOUT);
    const client = await about.locator('.client').boundingBox();
    assert.deepEqual([client.x, client.y], [156, 129],
      'its client area is not at 2340, 1935 twips');
    assert.equal(await about.locator('[data-name=lblTitle]').textContent(), 'QVLFEST');
    assert.equal(await about.locator('[data-name=lblVersion]').textContent(), build.version);
    const red = about.locator('[data-name=Label4]');
    assert.equal(await red.count(), build.red ? 1 : 0);
    if (build.red) {
      assert.equal(await red.textContent(), 'NON LCARS FONT VERSION');
      assert.equal(await red.locator('.text').evaluate((e) => getComputedStyle(e).color),
        'rgb(255, 0, 0)');
    }
    const tree = await page.locator('body').ariaSnapshot();
    assert.ok(tree.includes(`dialog "${ABOUT}"`), tree);
    await page.keyboard.press('Enter');
    await until('Enter closes it', async () => (await windowNamed(page, ABOUT).count()) === 0);
  });
  await check('Escape closes a fresh about box', async () => {
    await openAbout(page);
    await page.keyboard.press('Escape');
    await until('Escape closes it', async () => (await windowNamed(page, ABOUT).count()) === 0);
  });
  await check('two about boxes at once; OK in one leaves the other', async () => {
    await openAbout(page);
    assert.equal(await control(page, MAIN, 'Frame1').isVisible(), false, 'the panel stays');
    const second = await openAbout(page);
    await second.getByRole('button', { name: 'OK' }).click();
    await until('one box is left', async () => (await windowNamed(page, ABOUT).count()) === 1);
  });
  await check('System Info says that the tool is unavailable, and the timers tick meanwhile',
    async () => {
      const about = windowNamed(page, ABOUT).last();
      await about.getByRole('button', { name: 'System Info...' }).click();
      const box = page.getByRole('alertdialog', { name: 'QVLFEST' });
      await until('the message box opens', () => box.isVisible());
      assert.ok((await box.textContent())
        .includes('System Information Is Unavailable At This Time'));
      const before = await sentence(page);
      await page.clock.runFor(2000);
      await until('the sentence goes on', async () => (await sentence(page)) !== before);
      await box.getByRole('button', { name: 'OK' }).click();
      await until('OK closes it', async () => (await box.count()) === 0);
      assert.equal(await windowNamed(page, ABOUT).count(), 1, 'the about box went too');
    });
  await check('Alt+S presses "System Info..."', async () => {
    await windowNamed(page, ABOUT).last().locator('[data-name=lblTitle]').click();
    await page.keyboard.press('Alt+s');
    const box = page.getByRole('alertdialog', { name: 'QVLFEST' });
    await until('the message box opens', () => box.isVisible());
    await page.keyboard.press('Enter');
    await until('Enter closes it', async () => (await box.count()) === 0);
  });
  await check('the ink of the sentence and the line below it keeps to their labels, unclipped',
    async () => {
      await inkInside(page, 'Final');
      await inkInside(page, 'Label12');
    });
  await page.context().close();
}

console.log('index.html, by hand');
await check('each link button opens its page in a new tab and hides the panel', async () => {
  const page = await start('index.html');
  const context = page.context();
  await context.route((url) => !url.toString().startsWith(base),
    (route) => route.fulfill({ contentType: 'text/html', body: '<title>elsewhere</title>' }));
  for (const [caption, address] of LINKS) {
    await button(page, 'Menu').click();
    const [tab] = await Promise.all([context.waitForEvent('page'), button(page, caption).click()]);
    await tab.waitForLoadState();
    assert.equal(tab.url(), address);
    await tab.close();
    await until('the panel is hidden',
      async () => !(await control(page, MAIN, 'Frame1').isVisible()));
  }
  await context.close();
});
await check('the close button of a drawn title bar closes its window', async () => {
  const page = await start('index.html');
  const about = await openAbout(page);
  await about.getByRole('button', { name: 'Close' }).click();
  await until('the about box goes', async () => (await windowNamed(page, ABOUT).count()) === 0);
  assert.equal(await windowNamed(page, MAIN).count(), 1);
  await page.context().close();
});
for (const mouseButton of ['left', 'right']) {
  await check(`dragged by its title strip with the ${mouseButton} button, to its release`,
    async () => {
      const page = await start('index.html');
      await dragTitleStrip(page, mouseButton);
      await page.context().close();
    });
}
await check('across midnight into 22 June: "YEAH!" once, its box, and the sentence stops; ' +
  '"X" then ends everything', async () => {
  const time = Date.parse('2026-06-21T23:59:58+02:00');
  const page = await start('index.html', { time });
  await page.clock.pauseAt(time + 1500);
  await page.clock.runFor(1000);
  const arrival = windowNamed(page, 'YEAH!');
  await until('the arrival window opens', async () => (await arrival.count()) === 1);
  await due(page);
  const frozen = await sentence(page);
  assert.ok(frozen.startsWith('It is 0 days '), frozen);
  await page.clock.runFor(3000);
  await page.waitForTimeout(100);
  assert.equal(await sentence(page), frozen);
  assert.equal(await arrival.count(), 1);
  await arrival.getByRole('button', { name: 'Click This.' }).click();
  const box = page.getByRole('alertdialog', { name: 'HEY!' });
  await until('its box opens', () => box.isVisible());
  assert.ok((await box.textContent()).includes(
    'This program will not function anymore, delete it and have a great time at the show.'));
  // While its handler waits, another handler shows a box of its own; the
  // first box closes first, and both handlers go on.
  const about = await openAbout(page);
  await about.getByRole('button', { name: 'System Info...' }).click();
  const inner = page.getByRole('alertdialog', { name: 'QVLFEST' });
  await until('a second box opens meanwhile', () => inner.isVisible());
  // (The second box lies over the first one's button: the click is sent to it.)
  await box.getByRole('button', { name: 'OK' }).dispatchEvent('click');
  await until('OK closes the first box', async () => (await box.count()) === 0);
  assert.equal(await inner.count(), 1, 'the second box went with the first');
  await inner.getByRole('button', { name: 'OK' }).click();
  await until('OK closes the second box', async () => (await inner.count()) === 0);
  assert.equal(await arrival.count(), 1);
  await arrival.getByRole('button', { name: 'Click This.' }).click();
  await until('"Click This." shows its box again', () => box.isVisible());
  await page.keyboard.press('Escape');
  await until('Escape closes it', async () => (await box.count()) === 0);
  await button(page, 'X').click();
  await until('every window goes', async () =>
    (await page.locator('section.window').count()) === 0);
  const ended = page.locator('#ended');
  assert.ok(await ended.isVisible());
  assert.equal((await ended.textContent()).trim(), 'QVLFEST has ended. Start it again');
  assert.equal(await ended.getByRole('link').getAttribute('href'), 'index.html');
  await page.context().close();
});
await check('the page can be installed, and after one visit it opens with no network', async () => {
  const page = await start('index.html', { workers: 'allow' });
  await page.evaluate(() => navigator.serviceWorker.ready.then(() => true));
  const cdp = await page.context().newCDPSession(page);
  const { errors } = await cdp.send('Page.getAppManifest');
  assert.deepEqual(errors, [], 'the manifest has errors');
  // A test's browser context is off the record, which no page can change.
  const { installabilityErrors } = await cdp.send('Page.getInstallabilityErrors');
  assert.deepEqual(installabilityErrors.filter((e) => e.errorId !== 'in-incognito'), []);
  await until('the service worker serves the page',
    () => page.evaluate(() => navigator.serviceWorker.controller !== null));
  await page.context().setOffline(true);
  await page.reload();
  await page.waitForFunction(() => {
    const text = document.querySelector('[data-name=Final] .text');
    return text && text.textContent.startsWith('It is');
  });
  await due(page);
  await page.context().close();
});
await check('screenshots at device scale 2', async () => {
  const shots = join(site, 'screenshots');
  mkdirSync(shots, { recursive: true });
  const time = Date.parse('2026-04-21T10:20:30+02:00');
  const page = await start('index.html', { time, scale: 2 });
  await settle(page, time);
  const size = await windowNamed(page, MAIN).locator('canvas').first()
    .evaluate((c) => [c.width, c.height]);
  assert.deepEqual(size, [512, 290], 'the surface is not at the device\'s pixels');
  await windowNamed(page, MAIN).screenshot({ path: join(shots, 'web-countdown.png') });
  const about = await openAbout(page);
  await about.screenshot({ path: join(shots, 'web-about.png') });
  await page.context().close();
});
await check('the surfaces follow a change of device scale to 1.5', async () => {
  const page = await start('index.html');
  const surfaces = () => page.locator('canvas')
    .evaluateAll((all) => all.map((c) => [c.width, c.height]));
  assert.deepEqual((await surfaces())[0], [256, 145]);
  const cdp = await page.context().newCDPSession(page);
  await cdp.send('Emulation.setDeviceMetricsOverride',
    { width: 1000, height: 700, deviceScaleFactor: 1.5, mobile: false });
  // The form's surfaces (behind and in front of its labels' texts) and the
  // menu panel's, twips at 144 DPI.
  await until('the surfaces are drawn again', async () => {
    const now = JSON.stringify(await surfaces());
    return now === JSON.stringify([[384, 218], [384, 218], [218, 134]]) || now;
  });
  await page.context().close();
});
await check('no request left the page\'s own origin but the links', () => {
  assert.deepEqual(strayRequests, []);
});
await check('no script error on any page', () => {
  assert.deepEqual(pageErrors, []);
});

await browser.close();
console.log(`${passes} passed, ${failures} failed`);
process.exit(failures ? 1 : 0);

// The toolkit contract on the web page, in Debian's headless Chromium: the
// cases of cases.txt against the contract's forms as a page (web_main.cpp),
// with real input (Playwright's pointer and keyboard) and what the page
// shows read back from the DOM, the browser's accessibility tree and a
// screenshot. The steps mean what contract.cpp's runner makes them mean.
//   node tests/contract/web.mjs <the contract page's folder>
import { readFileSync } from 'node:fs';
import { createServer } from 'node:http';
import { dirname, extname, join, normalize } from 'node:path';
import { fileURLToPath } from 'node:url';
import { chromium } from 'playwright-core';

// The folder served from 127.0.0.1 by this process, for as long as it runs.
const folder = process.argv[2];
const TYPES = { '.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm',
  '.css': 'text/css', '.woff2': 'font/woff2' };
const server = createServer((request, response) => {
  const path = normalize(decodeURIComponent(new URL(request.url, 'http://x').pathname));
  try {
    const body = readFileSync(join(folder, path));
    response.writeHead(200, { 'content-type': TYPES[extname(path)] || 'application/octet-stream' });
    response.end(body);
  } catch {
    response.writeHead(404);
    response.end();
  }
});
await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
const base = `http://127.0.0.1:${server.address().port}/`;
const here = dirname(fileURLToPath(import.meta.url));
const PATIENCE_MS = 3000;
const TWIPS_PER_PX = 15;
// What this toolkit cannot be asked, with the reason: none.
const CANNOT = new Map();

function readCases(path) {
  const cases = [];
  readFileSync(path, 'utf8').split('\n').forEach((text, i) => {
    const words = text.trim().split(/\s+/).filter(Boolean);
    if (!words.length || words[0].startsWith('#')) return;
    if (words[0] === 'case') cases.push({ title: words.slice(1).join(' '), steps: [] });
    else cases[cases.length - 1].steps.push({ words, line: i + 1 });
  });
  return cases;
}

const browser = await chromium.launch({
  executablePath: '/usr/bin/chromium',
  args: ['--no-sandbox', '--disable-gpu', '--disable-background-networking',
    '--disable-component-update', '--disable-sync', '--no-first-run'],
});
const decoder = await (await browser.newContext()).newPage();

// The driver: the same questions the C++ drivers answer, asked of the page.
class PageDriver {
  constructor(page) {
    this.page = page;
    this.pointer = { x: 0, y: 0 };
  }

  async start(style) {
    await this.page.goto(`${base}contract.html?style=${style}`);
    await this.page.waitForSelector('section.window[aria-label="Board"]:not([hidden])');
    this.first = await this.windowAt('Board');
    // New texts of the labels, counted from here on as the page is given them.
    await this.page.evaluate(() => {
      window.qvlTold = {};
      new MutationObserver((records) => {
        for (const r of records) {
          const node = r.target.nodeType === 1 ? r.target : r.target.parentElement;
          const control = node.closest('[data-name]');
          const window = node.closest('section.window');
          if (!control || !window) continue;
          const key = `${window.getAttribute('aria-label')}.${control.dataset.name}`;
          globalThis.qvlTold[key] = (globalThis.qvlTold[key] || 0) + 1;
        }
      }).observe(document.getElementById('desktop'),
        { subtree: true, childList: true, characterData: true });
    });
  }

  control(target) {
    const [form, name] = target.split('.');
    return this.page.locator(`section.window[aria-label="${form}"] [data-name="${name}"]`);
  }

  async middle(locator) {
    const b = await locator.boundingBox();
    return { x: b.x + b.width / 2, y: b.y + b.height / 2 };
  }

  async windowAt(form) {
    return this.page.locator(`section.window[aria-label="${form}"]`).evaluate((el) =>
      ({ x: el.offsetLeft, y: el.offsetTop }));
  }

  async clickAt(at) {
    this.pointer = at;
    await this.page.mouse.click(at.x, at.y, { delay: 30 });
  }

  boxButtons() {
    return this.page.locator('section.window.box:not([hidden]) .buttons button');
  }

  async box() {
    return this.page.evaluate(() => {
      const box = document.querySelector('section.window.box:not([hidden])');
      if (!box) return null;
      const buttons = [...box.querySelectorAll('.buttons button')]
        .sort((a, b) => a.getBoundingClientRect().left - b.getBoundingClientRect().left);
      // A caption as written, "&" before the underlined access key.
      const caption = (b) => [...b.childNodes].map((n) =>
        (n.nodeName === 'U' ? '&' : '') + n.textContent).join('');
      return { title: box.getAttribute('aria-label'), buttons: buttons.map(caption),
        focus: buttons.indexOf(document.activeElement) };
    });
  }

  async name(target) {
    const snapshot = await this.control(target).ariaSnapshot();
    const quoted = snapshot.match(/"([^"]*)"/);
    if (quoted) return quoted[1];
    const text = snapshot.match(/text: (.*)/);
    return text ? text[1].trim() : snapshot;
  }

  // Every pixel of a box of the client area (twips) in one colour, from a
  // screenshot that a page of its own decodes.
  async ink(form, [left, top, right, bottom], rgb) {
    const client = await this.page.locator(`section.window[aria-label="${form}"] .client`)
      .boundingBox();
    const clip = { x: client.x + left / TWIPS_PER_PX, y: client.y + top / TWIPS_PER_PX,
      width: (right - left) / TWIPS_PER_PX, height: (bottom - top) / TWIPS_PER_PX };
    const png = (await this.page.screenshot({ clip })).toString('base64');
    return decoder.evaluate(async ([data, want]) => {
      const image = new Image();
      image.src = `data:image/png;base64,${data}`;
      await image.decode();
      const canvas = new OffscreenCanvas(image.width, image.height);
      const context = canvas.getContext('2d');
      context.drawImage(image, 0, 0);
      const pixels = context.getImageData(0, 0, image.width, image.height).data;
      for (let at = 0; at < pixels.length; at += 4) {
        if (((pixels[at] << 16) | (pixels[at + 1] << 8) | pixels[at + 2]) !== want) return false;
      }
      return true;
    }, [png, rgb]);
  }
}

async function perform(driver, words) {
  const [verb, a, b] = words;
  const button = (word) => ({ left: 'left', right: 'right', middle: 'middle' })[word];
  const page = driver.page;
  if (verb === 'start') return driver.start(words[2] || 0);
  if (verb === 'click' && a === 'box') {
    return driver.clickAt(await driver.middle(driver.boxButtons().nth(+b)));
  }
  if (verb === 'click') return driver.clickAt(await driver.middle(driver.control(a)));
  if (verb === 'press') {
    driver.pointer = await driver.middle(driver.control(a));
    await page.mouse.move(driver.pointer.x, driver.pointer.y);
    return page.mouse.down({ button: button(b) });
  }
  if (verb === 'release') return page.mouse.up({ button: button(a) });
  if (verb === 'move') {
    driver.pointer = { x: driver.pointer.x + +a, y: driver.pointer.y + +b };
    return page.mouse.move(driver.pointer.x, driver.pointer.y, { steps: 4 });
  }
  if (verb === 'key') return page.keyboard.press(a);
  if (verb === 'wait') return new Promise((resolve) => setTimeout(resolve, +a));
  throw new Error('no such step');
}

// What is seen now, as a string to compare with the expectation's words.
async function seen(driver, words) {
  const what = words[1];
  const page = driver.page;
  if (what === 'focus') {
    return page.evaluate(() => {
      const focus = document.activeElement;
      const window = focus && focus.closest('section.window');
      if (!window) return '';
      if (window.classList.contains('box')) return 'box';
      return `${window.getAttribute('aria-label')}.${focus.dataset.name}`;
    });
  }
  if (what === 'log') return driver.control('Board.Log').locator('.text').textContent();
  if (what === 'box' || what === 'no') {
    const box = await driver.box();
    return box ? `${box.title} ${box.buttons.join(',')} ${box.focus}` : 'no box';
  }
  if (what === 'windows') {
    return page.evaluate(() => {
      const shown = [...document.querySelectorAll('section.window:not(.box):not([hidden])')];
      const active = shown.filter((w) => w.classList.contains('active'));
      return [...active, ...shown.filter((w) => !active.includes(w))]
        .map((w) => w.getAttribute('aria-label')).join(' ');
    });
  }
  if (what === 'moved') {
    const at = await driver.windowAt(words[2]);
    return `${at.x - driver.first.x} ${at.y - driver.first.y}`;
  }
  if (what === 'told') return String(await page.evaluate((key) => globalThis.qvlTold[key] || 0, words[2]));
  if (what === 'name') return driver.name(words[2]);
  if (what === 'ink') {
    const inked = await driver.ink(words[2], words.slice(3, 7).map(Number), parseInt(words[7], 16));
    return inked ? 'that colour' : 'other colours';
  }
  return 'no such expectation';
}

function expected(words) {
  if (words[1] === 'no') return words.slice(1).join(' ');
  if (words[1] === 'moved' || words[1] === 'name') return words.slice(3).join(' ');
  if (words[1] === 'told') return words[3];
  if (words[1] === 'ink') return 'that colour';
  return words.slice(2).join(' ');
}

let failed = 0;
for (const c of readCases(join(here, 'cases.txt'))) {
  const context = await browser.newContext({ viewport: { width: 1024, height: 720 } });
  const page = await context.newPage();
  const errors = [];
  page.on('pageerror', (error) => errors.push(error.message));
  const driver = new PageDriver(page);
  const problems = [], skipped = [];
  for (const { words, line } of c.steps) {
    const kind = words[0] === 'expect' ? `expect ${words[1]}` : words[0];
    if (CANNOT.has(kind)) {
      skipped.push(`line ${line} (${words.join(' ')}): ${CANNOT.get(kind)}`);
      continue;
    }
    try {
      if (words[0] !== 'expect') {
        await perform(driver, words);
        continue;
      }
      const end = Date.now() + PATIENCE_MS;
      let last;
      while ((last = await seen(driver, words)) !== expected(words) && Date.now() < end) {
        await new Promise((resolve) => setTimeout(resolve, 20));
      }
      if (last !== expected(words)) {
        problems.push(`line ${line}: ${words.join(' ')} (seen: ${last})`);
        break;
      }
    } catch (error) {
      problems.push(`line ${line}: ${words.join(' ')} (${error.message.split('\n')[0]})`);
      break;
    }
  }
  for (const e of errors) problems.push(`page error: ${e}`);
  await context.close();
  if (problems.length) failed += 1;
  console.log(`  ${problems.length ? 'FAILED' : 'ok'}: ${c.title}`);
  for (const p of [...problems.map((p) => `failed: ${p}`), ...skipped.map((s) => `skipped: ${s}`)]) {
    console.log(`    ${p}`);
  }
}
await browser.close();
server.close();
console.log(`web contract: ${failed ? `${failed} failed` : 'all cases held'}`);
process.exit(failed ? 1 : 0);

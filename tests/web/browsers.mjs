// The two browsers the pages are tested in, behind one small interface:
// Debian's Chromium through Playwright, Firefox ESR through Puppeteer over
// WebDriver BiDi. Each page is opened in a fresh context of its own (its own
// storage and service workers) with the clock, zone and screen asked for.
// Input is the browser's own (pointer and keys, by coordinates); everything
// else is read from the page. `raw` is the library's page, for what only one
// browser can do.
import { chromium } from 'playwright-core';
import puppeteer from 'puppeteer-core';

const CHROMIUM_ARGS = ['--no-sandbox', '--disable-gpu', '--disable-background-networking',
  '--disable-component-update', '--disable-sync', '--no-first-run'];
export const PHONE = {
  viewport: { width: 390, height: 844 }, deviceScaleFactor: 3, isMobile: true, hasTouch: true,
  userAgent: 'Mozilla/5.0 (Linux; Android 14; Pixel 8) AppleWebKit/537.36 (KHTML, like Gecko) ' +
    'Chrome/156.0.0.0 Mobile Safari/537.36',
};

// Every page reports a breach of its security policy on its console.
function reportPolicyBreaches() {
  document.addEventListener('securitypolicyviolation', (e) => {
    console.error(`qvl-csp: ${e.violatedDirective} ${e.blockedURI}`);
  });
}

// Firefox has no clock to fake from outside: this one, put into the page
// before its scripts run, replaces its Date, its intervals and its timeouts,
// which are all the page reads the time by. Time stands still until the test
// moves it; as it moves, the page handles each timer before the next falls
// due.
function fakeClock(start) {
  const RealDate = Date;
  let now = start;
  let nextId = 1;
  const timers = new Map();
  class FakeDate extends RealDate {
    constructor(...args) {
      if (args.length) super(...args);
      else super(now);
    }

    static now() { return now; }
  }
  window.Date = FakeDate;
  const realTimeout = window.setTimeout.bind(window);
  const add = (fn, ms, args, once) => {
    const every = Math.max(1, Number(ms) || 0);
    timers.set(nextId, { fn, every, at: now + every, args, once });
    return nextId++;
  };
  window.setInterval = (fn, ms, ...args) => add(fn, ms, args, false);
  window.setTimeout = (fn, ms, ...args) => add(fn, ms, args, true);
  window.clearInterval = window.clearTimeout = (id) => timers.delete(id);
  const fire = (id, timer) => {
    if (timer.once) timers.delete(id);
    else timer.at += timer.every;
    timer.fn(...timer.args);
  };
  const settle = () => new Promise((resolve) => realTimeout(resolve, 0));
  window.qvlClock = {
    async runFor(ms) {
      const end = now + ms;
      for (;;) {
        let due = null;
        for (const entry of timers) {
          if (entry[1].at <= end && (!due || entry[1].at < due[1].at)) due = entry;
        }
        if (!due) break;
        now = due[1].at;
        fire(...due);
        await settle();
      }
      now = end;
    },
    // Jumps, with each due timer firing once.
    jump(ms) {
      now += ms;
      for (const [id, timer] of [...timers]) {
        if (timer.at > now || !timers.has(id)) continue;
        if (!timer.once) timer.at = now;
        fire(id, timer);
      }
    },
  };
}

class Page {
  constructor(browser, raw, context, quiet) {
    this.browser = browser;
    this.raw = raw;
    this.context = context;
    raw.on('pageerror', (error) => {
      if (!quiet) browser.errors.push(`${raw.url()}: ${error.message}`);
    });
    raw.on('console', (message) => {
      if (message.text().startsWith('qvl-csp')) {
        browser.breaches.push(`${raw.url()}: ${message.text()}`);
      }
    });
  }

  get mouse() { return this.raw.mouse; }
  goto(url) { return this.raw.goto(url); }
  reload() { return this.raw.reload(); }
  evaluate(fn, arg) { return this.raw.evaluate(fn, arg); }
  screenshot(options) { return this.raw.screenshot(options); }
  close() { return this.context.close(); }

  // Keys as "Shift+Tab" or "Alt+s".
  async press(keys) {
    const parts = keys.split('+');
    const key = parts.pop();
    for (const modifier of parts) await this.raw.keyboard.down(modifier);
    await this.raw.keyboard.press(key);
    for (const modifier of parts.reverse()) await this.raw.keyboard.up(modifier);
  }

  // The box, on the screen, of the first element for `selector` that is
  // shown and whose text (or accessible name) is `text`; with no text, the
  // first shown.
  box(selector, text) {
    return this.raw.evaluate(([selector, text]) => {
      for (const el of document.querySelectorAll(selector)) {
        const name = (el.getAttribute('aria-label') || el.textContent).trim();
        if (text !== undefined && text !== null && name !== text) continue;
        const r = el.getBoundingClientRect();
        if (!r.width || !r.height) continue;
        return { x: r.left, y: r.top, width: r.width, height: r.height };
      }
      return null;
    }, [selector, text]);
  }

  async resize(width, height) {
    if (this.browser.name === 'chromium') await this.raw.setViewportSize({ width, height });
    else await this.raw.setViewport({ width, height });
  }

  async click(selector, text, { button = 'left', at } = {}) {
    const box = await this.box(selector, text);
    if (!box) throw new Error(`nothing to click: ${selector} ${text || ''}`);
    const x = box.x + (at ? at.x : box.width / 2);
    const y = box.y + (at ? at.y : box.height / 2);
    await this.raw.mouse.click(x, y, { button });
  }

  async setOffline(offline) {
    if (this.browser.name === 'chromium') await this.context.setOffline(offline);
    else await this.raw.setOfflineMode(offline);
  }

  // Moves the page's clock on, running its intervals as they fall due.
  async runFor(ms) {
    if (this.browser.name === 'chromium') await this.raw.clock.runFor(ms);
    else await this.raw.evaluate((n) => window.qvlClock.runFor(n), ms);
  }

  // Jumps the clock on by `ms`; each interval due meanwhile fires once.
  async jump(ms) {
    if (this.browser.name === 'chromium') await this.raw.clock.fastForward(ms);
    else await this.raw.evaluate((n) => window.qvlClock.jump(n), ms);
  }

  // The address of the tab that `action` opens.
  async newTab(action) {
    if (this.browser.name === 'chromium') {
      // There is no network: the other site answers with a page of the test's.
      await this.context.route((url) => !url.toString().startsWith('http://127.0.0.1'),
        (route) => route.fulfill({ contentType: 'text/html', body: '<title>elsewhere</title>' }));
      const [tab] = await Promise.all([this.context.waitForEvent('page'), action()]);
      await tab.waitForLoadState();
      const url = tab.url();
      await tab.close();
      return url;
    }
    const before = new Set(await this.context.pages());
    await action();
    const end = Date.now() + 10000;
    for (;;) {
      const tab = (await this.context.pages()).find((p) => !before.has(p));
      // With no network it shows Firefox's error page, which names the address.
      const url = tab && tab.url();
      if (url && url !== 'about:blank') {
        await tab.close();
        const failed = url.startsWith('about:neterror') && /[?&]u=([^&]*)/.exec(url);
        return failed ? decodeURIComponent(failed[1]) : url;
      }
      if (Date.now() > end) throw new Error('no tab opened');
      await new Promise((resolve) => setTimeout(resolve, 50));
    }
  }
}

class Browser {
  constructor(name, raw) {
    this.name = name;
    this.raw = raw;
    this.errors = [];    // script errors on any page
    this.breaches = [];  // of a page's security policy
    this.requests = [];  // every address asked for (Chromium's)
  }

  // A page in a context of its own. `time`: the clock stands still there
  // (ms since the epoch) until the test moves it; `zone`: Chromium's only,
  // Firefox has the zone it was started in, Berlin's; `workers`: whether service
  // workers run; `phone`: a touch screen of a phone's size; `script`: runs
  // in the page before its own; `quiet`: its script errors are expected;
  // `scripts`: false for a browser that runs none (Chromium's only).
  async open({ time, zone = 'Europe/Berlin', scale = 1, workers = false, phone = false, script,
    quiet = false, scripts = true } = {}) {
    if (this.name === 'chromium') {
      const context = await this.raw.newContext({
        timezoneId: zone, serviceWorkers: workers ? 'allow' : 'block', javaScriptEnabled: scripts,
        ...(phone ? PHONE : { deviceScaleFactor: scale, viewport: { width: 1024, height: 720 } }),
      });
      context.on('request', (request) => this.requests.push(request.url()));
      await context.addInitScript(reportPolicyBreaches);
      if (script) await context.addInitScript(script);
      const page = new Page(this, await context.newPage(), context, quiet);
      if (time !== undefined) {
        // Installed a moment before, as pausing may only go forward.
        await page.raw.clock.install({ time: time - 1000 });
        await page.raw.clock.pauseAt(time);
      }
      return page;
    }
    const context = await this.raw.createBrowserContext();
    const raw = await context.newPage();
    await raw.setViewport({ width: 1024, height: 720, deviceScaleFactor: scale });
    await raw.evaluateOnNewDocument(reportPolicyBreaches);
    if (script) await raw.evaluateOnNewDocument(script);
    if (time !== undefined) await raw.evaluateOnNewDocument(fakeClock, time);
    return new Page(this, raw, context, quiet);
  }

  close() { return this.raw.close(); }
}

export async function launch(name) {
  if (name === 'chromium') {
    return new Browser(name, await chromium.launch({
      executablePath: '/usr/bin/chromium', args: CHROMIUM_ARGS,
    }));
  }
  return new Browser(name, await puppeteer.launch({
    browser: 'firefox', executablePath: '/usr/bin/firefox-esr', headless: true,
    protocol: 'webDriverBiDi', args: ['--width=1024', '--height=720'],
    env: { ...process.env, TZ: 'Europe/Berlin' },
  }));
}

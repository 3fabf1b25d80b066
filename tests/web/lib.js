// What the browser build's cases share: the browser started the way this
// machine needs (headless Chromium, or Firefox ESR: QUARN_BROWSER=firefox),
// the page opened from disk, real keyboard, mouse and touch input through the
// browser's automation protocol, screenshots decoded here, and the probes of
// the desktop cases (tests/e2e/probes.sh).
'use strict';

const {spawn} = require('child_process');
const fs = require('fs');
const os = require('os');
const path = require('path');
const zlib = require('zlib');

let puppeteer;
try {
  puppeteer = require('puppeteer-core');
} catch (e) {
  console.error('needs puppeteer-core: run npm ci in the folder of tests/web/package.json (npm, Debian package npm)');
  process.exit(1);
}

const BROWSER = process.env.QUARN_BROWSER || 'chromium';
const EXECUTABLES = {
  chromium: {path: process.env.QUARN_CHROMIUM || '/usr/bin/chromium', debian: 'chromium'},
  firefox: {path: process.env.QUARN_FIREFOX || '/usr/bin/firefox-esr', debian: 'firefox-esr'},
};

function need(what) {
  if (!fs.existsSync(what.path)) {
    console.error(`needs ${what.path}: install the Debian package ${what.debian}`);
    process.exit(1);
  }
}

// SwiftShader gives WebGL without a GPU; the network switches keep the
// browser from reaching out of this closed machine at every start.
async function launchChromium() {
  need(EXECUTABLES.chromium);
  return puppeteer.launch({
    executablePath: EXECUTABLES.chromium.path,
    headless: true,
    userDataDir: fs.mkdtempSync(path.join(os.tmpdir(), 'quarn-chromium-')),
    args: ['--no-sandbox', '--use-angle=swiftshader', '--enable-unsafe-swiftshader', '--no-first-run',
           '--disable-background-networking', '--disable-component-update', '--disable-sync', '--disable-quic',
           '--disable-features=Translate,MediaRouter', '--autoplay-policy=no-user-gesture-required'],
  });
}

// An X server of its own, as the desktop cases have: "DISPLAY" and its stop.
function startXvfb() {
  return new Promise((resolve, reject) => {
    const server = spawn('Xvfb', ['-displayfd', '3', '-nolisten', 'tcp', '-screen', '0', '1280x1024x24'],
                         {stdio: ['ignore', 'ignore', 'ignore', 'pipe']});
    let text = '';
    server.on('error', (e) => reject(new Error(`needs Xvfb (Debian package xvfb): ${e.message}`)));
    server.stdio[3].on('data', (d) => {
      text += d;
      if (text.includes('\n')) resolve({display: ':' + text.trim(), stop: () => server.kill()});
    });
    server.on('exit', (code) => reject(new Error(`Xvfb ended with ${code} before it said its display`)));
  });
}

// Firefox has WebGL 2 (on Mesa) only with a display: headless, but on an X
// server of its own, which ends with the browser. Driven through WebDriver
// BiDi. For the touch cases it says it has a touch screen, which is what
// puppeteer's touch emulation does in Chromium.
async function launchFirefox({touch}) {
  need(EXECUTABLES.firefox);
  const x = await startXvfb();
  process.on('exit', x.stop);
  let browser;
  try {
    browser = await puppeteer.launch({
      browser: 'firefox',
      executablePath: EXECUTABLES.firefox.path,
      headless: true,
      env: {...process.env, DISPLAY: x.display},
      extraPrefsFirefox: touch ? {'dom.w3c_touch_events.enabled': 1, 'dom.maxtouchpoints.testing.value': 5} : {},
    });
  } catch (e) {
    x.stop();
    throw e;
  }
  browser.on('disconnected', x.stop);
  return browser;
}

async function launch({browser = BROWSER, touch = false, compositing = false} = {}) {
  if (browser === 'webkit') return require('./webkit.js').launchWebKit({startXvfb, compositing});
  if (!EXECUTABLES[browser]) throw new Error(`no browser ${browser}: chromium, firefox or webkit`);
  return browser === 'firefox' ? launchFirefox({touch}) : launchChromium();
}

const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

async function waitFor(what, timeoutMs, check) {
  const end = Date.now() + timeoutMs;
  let last;
  for (;;) {
    last = await check();
    if (last === true) return;
    if (Date.now() > end) throw new Error(`${what}${typeof last === 'string' ? ': ' + last : ''} (waited ${timeoutMs} ms)`);
    await sleep(50);
  }
}

// --- Pictures ------------------------------------------------------------------

// An 8-bit, non-interlaced RGB or RGBA PNG (what Chromium writes) as
// {width, height, rgba}.
function decodePng(buffer) {
  let offset = 8;
  let width = 0, height = 0, colourType = 0;
  const data = [];
  while (offset < buffer.length) {
    const length = buffer.readUInt32BE(offset);
    const type = buffer.toString('latin1', offset + 4, offset + 8);
    const body = buffer.subarray(offset + 8, offset + 8 + length);
    if (type === 'IHDR') {
      width = body.readUInt32BE(0);
      height = body.readUInt32BE(4);
      if (body[8] !== 8 || body[12] !== 0) throw new Error('only 8-bit non-interlaced PNGs');
      colourType = body[9];
    } else if (type === 'IDAT') {
      data.push(body);
    }
    offset += 12 + length;
  }
  const channels = colourType === 6 ? 4 : colourType === 2 ? 3 : 0;
  if (!channels) throw new Error(`PNG colour type ${colourType}`);
  const raw = zlib.inflateSync(Buffer.concat(data));
  const stride = width * channels;
  const rows = Buffer.alloc(stride * height);
  for (let y = 0; y < height; ++y) {
    const filter = raw[y * (stride + 1)];
    const line = raw.subarray(y * (stride + 1) + 1, (y + 1) * (stride + 1));
    for (let i = 0; i < stride; ++i) {
      const a = i >= channels ? rows[y * stride + i - channels] : 0;
      const b = y > 0 ? rows[(y - 1) * stride + i] : 0;
      const c = y > 0 && i >= channels ? rows[(y - 1) * stride + i - channels] : 0;
      let v = line[i];
      if (filter === 1) v += a;
      else if (filter === 2) v += b;
      else if (filter === 3) v += (a + b) >> 1;
      else if (filter === 4) {
        const p = a + b - c, pa = Math.abs(p - a), pb = Math.abs(p - b), pc = Math.abs(p - c);
        v += pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
      }
      rows[y * stride + i] = v & 255;
    }
  }
  const rgba = Buffer.alloc(width * height * 4);
  for (let i = 0; i < width * height; ++i) {
    for (let k = 0; k < 3; ++k) rgba[i * 4 + k] = rows[i * channels + k];
    rgba[i * 4 + 3] = channels === 4 ? rows[i * channels + 3] : 255;
  }
  return {width, height, rgba};
}

// An uncompressed 24-bit BMP (what the replay tool writes), bottom row first
// in the file, as {width, height, rgba} top row first.
function decodeBmp(buffer) {
  const offset = buffer.readUInt32LE(10);
  const width = buffer.readInt32LE(18), height = Math.abs(buffer.readInt32LE(22));
  const bottomUp = buffer.readInt32LE(22) > 0;
  const bits = buffer.readUInt16LE(28);
  const bytes = bits / 8;
  const stride = Math.ceil((width * bytes) / 4) * 4;
  const rgba = Buffer.alloc(width * height * 4);
  for (let y = 0; y < height; ++y) {
    const row = offset + (bottomUp ? height - 1 - y : y) * stride;
    for (let x = 0; x < width; ++x) {
      const p = row + x * bytes, q = (y * width + x) * 4;
      rgba[q] = buffer[p + 2];
      rgba[q + 1] = buffer[p + 1];
      rgba[q + 2] = buffer[p];
      rgba[q + 3] = 255;
    }
  }
  return {width, height, rgba};
}

// The rectangle {x, y, width, height} (page pixels, rounded) of a picture.
function crop(picture, {x, y, width, height}) {
  const [x0, y0, w, h] = [x, y, width, height].map(Math.round);
  const rgba = Buffer.alloc(w * h * 4);
  for (let row = 0; row < h; ++row)
    picture.rgba.copy(rgba, row * w * 4, ((y0 + row) * picture.width + x0) * 4, ((y0 + row) * picture.width + x0 + w) * 4);
  return {width: w, height: h, rgba};
}

function pixel(picture, x, y) {
  const i = (y * picture.width + x) * 4;
  return [picture.rgba[i], picture.rgba[i + 1], picture.rgba[i + 2]];
}

// Pixels that differ in the given rectangle (by default the world above the
// bar, without the player's band, as the desktop cases count).
function differingPixels(a, b, {x0 = 0, y0 = 0, x1 = 800, y1 = 545, skipPlayer = true} = {}) {
  let count = 0;
  for (let y = y0; y < y1; ++y) {
    for (let x = x0; x < x1; ++x) {
      if (skipPlayer && x >= 380 && x <= 420) continue;
      const p = pixel(a, x, y), q = pixel(b, x, y);
      if (p[0] !== q[0] || p[1] !== q[1] || p[2] !== q[2]) ++count;
    }
  }
  return count;
}

// --- Probes shared with the desktop cases -------------------------------------

const PROBES = {};
for (const line of fs.readFileSync(path.join(__dirname, '..', 'e2e', 'probes.sh'), 'utf8').split('\n')) {
  const m = /^([A-Z0-9_]+)="(\d+) (\d+) (\d+) (\d+) (\d+)"$/.exec(line.trim());
  if (m) PROBES[m[1]] = m.slice(2).map(Number);
}

function probeMismatch(picture, names) {
  for (const name of names) {
    const probe = PROBES[name];
    if (!probe) throw new Error(`no probe ${name} in tests/e2e/probes.sh`);
    const [x, y, r, g, b] = probe;
    const seen = pixel(picture, x, y);
    if (Math.abs(seen[0] - r) > 3 || Math.abs(seen[1] - g) > 3 || Math.abs(seen[2] - b) > 3)
      return `${name} (${x},${y}) is ${seen.join(' ')}, wanted ${r} ${g} ${b}`;
  }
  return null;
}

// --- The game page ------------------------------------------------------------

// Opens the page from disk. `beforeStart` (a function of the in-page file
// system, run in the page) may change the game's files before it starts.
// A desktop window; a phone held upright, with a touch screen.
const DESKTOP = {width: 1024, height: 768};
const PHONE = {width: 393, height: 851, hasTouch: true, isMobile: true};

async function openGame(browser, page, {query = '', beforeStart = null, url = null, viewport = DESKTOP} = {}) {
  const file = process.env.QUARN_PAGE;
  if (!url && (!file || !fs.existsSync(file))) throw new Error(`no page at ${file}: build it with scripts/build-web.sh`);
  const game = {page, console: [], errors: []};
  page.on('console', (m) => game.console.push(m.text()));
  page.on('pageerror', (e) => game.errors.push(String(e)));
  if (beforeStart) await page.evaluateOnNewDocument(`window.quarnBeforeStart = ${beforeStart.toString()};`);
  await page.setViewport(viewport);
  await page.goto(url || fileUrl(page, file, query));
  return game;
}

// A file of this machine as the page's browser opens it: from disk, or from
// WebKit's server (see webkit.js).
function fileUrl(page, file, query = '') {
  return page.addressOf ? page.addressOf(file, query) : 'file://' + path.resolve(file) + query;
}

// The page's frame that shows this file, or null while there is none.
async function frameShowing(page, file) {
  if (page.childFrame) return page.childFrame(0);
  return page.frames().find((f) => f.url().endsWith(path.basename(file))) || null;
}

// The canvas's box on the page, for screenshots and for pointing at view pixels.
async function canvasBox(page) {
  return page.evaluate(() => {
    const canvas = document.querySelector('#quarn canvas');
    if (!canvas || canvas.style.visibility === 'hidden') return null;
    const r = canvas.getBoundingClientRect();
    return {x: r.left, y: r.top, width: r.width, height: r.height};
  });
}

// The view as the game drew it: its last frame, 800 x 600 whatever size the
// page shows it at, read from the frame the GL 1.1 layer draws into (which
// stays bound for reading in the canvas's WebGL context).
async function shoot(page) {
  const base64 = await page.evaluate(() => {
    const canvas = document.querySelector('#quarn canvas');
    const gl = canvas && canvas.style.visibility !== 'hidden' ? canvas.getContext('webgl2') : null;
    if (!gl || gl.isContextLost()) return null;
    const bytes = new Uint8Array(800 * 600 * 4);
    gl.readPixels(0, 0, 800, 600, gl.RGBA, gl.UNSIGNED_BYTE, bytes);
    let text = '';
    for (let i = 0; i < bytes.length; i += 0x8000) text += String.fromCharCode.apply(null, bytes.subarray(i, i + 0x8000));
    return btoa(text);
  });
  if (!base64) throw new Error('no game canvas with a WebGL context on the page');
  const bottomUp = Buffer.from(base64, 'base64');
  const view = {width: 800, height: 600, rgba: Buffer.alloc(800 * 600 * 4)};
  for (let y = 0; y < 600; ++y) bottomUp.copy(view.rgba, y * 800 * 4, (599 - y) * 800 * 4, (600 - y) * 800 * 4);
  return view;
}

// The view as the page shows it: the canvas's part of a screenshot, pixel for pixel.
async function shown(page) {
  const box = await canvasBox(page);
  if (!box) throw new Error('no game canvas on the page');
  // WebKit's pages are shot whole (see webkit.js) and cropped here.
  const png = Buffer.from(await page.screenshot(page.screenshotsWhole ? {type: 'png'} : {clip: box, type: 'png'}));
  return page.screenshotsWhole ? crop(decodePng(png), box) : decodePng(png);
}

// How a view shown larger than its own size departs from the view scaled
// evenly, where each shown pixel has the view's colours in the shares of its
// area they cover: the pixels off by more than a quarter of the contrast under
// them (and 2 levels), and the worst. A view pixel repeated once in one place
// and twice in the next is off by up to half of it at every edge.
function unevenPixels(view, big) {
  // Per shown column (row): the view's columns (rows) under it and their shares.
  const shares = (shownCount, size) => Array.from({length: shownCount}, (_, i) => {
    const a = (i * size) / shownCount, b = ((i + 1) * size) / shownCount, parts = [];
    for (let k = Math.floor(a); k < Math.min(size, Math.ceil(b)); ++k)
      parts.push([k, ((Math.min(b, k + 1) - Math.max(a, k)) * shownCount) / size]);
    return parts;
  });
  const columns = shares(big.width, view.width), rows = shares(big.height, view.height);
  let count = 0, worst = {off: 0};
  for (let y = 0; y < big.height; ++y) {
    for (let x = 0; x < big.width; ++x) {
      let off = 0, contrast = 0;
      for (let c = 0; c < 3; ++c) {
        let even = 0, low = 255, high = 0;
        for (const [row, wy] of rows[y]) {
          for (const [column, wx] of columns[x]) {
            const v = view.rgba[(row * view.width + column) * 4 + c];
            even += wx * wy * v;
            low = Math.min(low, v);
            high = Math.max(high, v);
          }
        }
        off = Math.max(off, Math.abs(big.rgba[(y * big.width + x) * 4 + c] - even));
        contrast = Math.max(contrast, high - low);
      }
      if (off > 2 + contrast / 4) {
        ++count;
        if (off > worst.off) worst = {off: Math.round(off), contrast, x, y};
      }
    }
  }
  return {count, worst};
}

async function waitColours(page, what, names, timeoutMs = 10000) {
  let picture;
  await waitFor(what, timeoutMs, async () => {
    if (!(await canvasBox(page))) return 'no canvas';
    picture = await shoot(page);
    return probeMismatch(picture, names) || true;
  });
  return picture;
}

// View pixels to page pixels.
async function pagePoint(page, x, y) {
  let box = null;
  await waitFor('a game canvas to point at', 10000, async () => (box = await canvasBox(page)) !== null);
  return {x: box.x + (x + 0.5) * box.width / 800, y: box.y + (y + 0.5) * box.height / 600};
}

async function point(page, x, y) {
  const at = await pagePoint(page, x, y);
  await page.mouse.move(at.x, at.y);
}

// A finger on the view at (x, y) for `ms` (0: lifted at once), or until
// `until` answers true.
async function touchView(page, x, y, {ms = 0, until = null} = {}) {
  const at = await pagePoint(page, x, y);
  await page.touchscreen.touchStart(at.x, at.y);
  if (until) await until();
  else if (ms) await sleep(ms);
  await page.touchscreen.touchEnd();
}

// The on-screen key a screen reader knows by this name: its box on the page.
async function control(page, name) {
  const button = await page.$(`::-p-aria(${name})`);
  const box = button && (await button.boundingBox());
  if (!box) throw new Error(`no on-screen key named "${name}"`);
  return box;
}

async function touchControl(page, name, ms = 0) {
  const box = await control(page, name);
  await page.touchscreen.touchStart(box.x + box.width / 2, box.y + box.height / 2);
  if (ms) await sleep(ms);
  await page.touchscreen.touchEnd();
}

// What of these elements (CSS selectors) is not wholly inside the window, and
// whether the page scrolls: a list of complaints, empty when all is in view.
async function outOfView(page, selectors) {
  return page.evaluate((selectors) => {
    const out = [];
    for (const selector of selectors) {
      const element = document.querySelector(selector);
      if (!element) { out.push(`no ${selector}`); continue; }
      const r = element.getBoundingClientRect();
      if (r.left < 0 || r.top < 0 || r.right > window.innerWidth + 0.5 || r.bottom > window.innerHeight + 0.5)
        out.push(`${selector} at ${Math.round(r.left)},${Math.round(r.top)} to ${Math.round(r.right)},${Math.round(r.bottom)} ` +
                 `in a ${window.innerWidth} x ${window.innerHeight} window`);
    }
    const root = document.documentElement;
    if (root.scrollWidth > window.innerWidth || root.scrollHeight > window.innerHeight)
      out.push(`the page scrolls: ${root.scrollWidth} x ${root.scrollHeight}`);
    return out;
  }, selectors);
}

async function click(page, x, y) {
  await point(page, x, y);
  await sleep(50);
  await page.mouse.down();
  await sleep(250);
  await page.mouse.up();
}

async function holdKey(page, key, ms = 250) {
  await page.keyboard.down(key);
  await sleep(ms);
  await page.keyboard.up(key);
}

// A key pressed and released together, with nothing between them: one batch
// of actions where the protocol has batches (WebDriver BiDi and classic), both
// events sent at once over the DevTools protocol.
async function quickKey(page, key) {
  if (BROWSER === 'chromium') await Promise.all([page.keyboard.down(key), page.keyboard.up(key)]);
  else await page.keyboard.press(key);
}

// A press and release of the left button at view pixel (x, y) with nothing
// between them, as quickKey: two actions sent at once would reach WebDriver
// BiDi and classic WebDriver as two interactions in either order (or, in
// WebKit, the second refused while the first is underway).
async function quickClick(page, x, y) {
  const at = await pagePoint(page, x, y);
  if (BROWSER !== 'chromium') return page.mouse.click(at.x, at.y);
  await page.mouse.move(at.x, at.y);
  await Promise.all([page.mouse.down(), page.mouse.up()]);
}

async function expectMenu(page, timeoutMs = 10000) {
  await point(page, 700, 500);
  return waitColours(page, 'the menu', ['MENU_BACK', 'GAME_IDLE', 'EXIT_IDLE'], timeoutMs);
}

async function toPlay(page) {
  await click(page, 400, 200);
  await point(page, 10, 300);
  return waitColours(page, 'the play screen', ['SKY', 'BOTTOM_BAR', 'CRAFT_IDLE']);
}

// Until the world stops moving (the player has come down); with `player`,
// until the player is at rest too (the world stands still while the player
// falls into a hole).
async function waitStill(page, timeoutMs = 10000, {player = false} = {}) {
  let a = await shoot(page), b;
  await waitFor('the play screen coming to rest', timeoutMs, async () => {
    await sleep(200);
    b = await shoot(page);
    if (differingPixels(a, b, {skipPlayer: !player}) === 0) return true;
    a = b;
    return false;
  });
  return b;
}

// The player's white quad in column 400: its top and bottom rows.
function playerRows(picture) {
  let top = -1, bottom = -1;
  for (let y = 0; y < 545; ++y) {
    const [r, g, b] = pixel(picture, 400, y);
    if (r === 255 && g === 255 && b === 255) {
      if (top < 0) top = y;
      bottom = y;
    }
  }
  return {top, bottom};
}

// The title's exact text (document.title would strip the blanks at its ends).
async function title(page) {
  return page.evaluate(() => (document.querySelector('title') || {}).textContent || '');
}

async function waitTitle(page, re, timeoutMs) {
  await waitFor(`the title matching ${re}`, timeoutMs, async () => re.test(await title(page)) || `title "${await title(page)}"`);
}

// The page's modal box: {caption, text} while one is up, or null.
async function messageBox(page) {
  return page.evaluate(() => {
    const box = document.getElementById('quarn-box');
    if (!box || !box.open) return null;
    return {caption: document.getElementById('quarn-box-caption').textContent,
            text: document.getElementById('quarn-box-text').textContent};
  });
}

async function waitMessageBox(page, timeoutMs = 10000) {
  let box = null;
  await waitFor('an "Error" box', timeoutMs, async () => (box = await messageBox(page)) !== null);
  return box;
}

async function dismissMessageBox(page) {
  await page.click('#quarn-box-ok');
  await waitFor('the box going away', 5000, async () => (await messageBox(page)) === null);
}

// The status the page says the game ended with, or null while it runs.
async function endStatus(page) {
  return page.evaluate(() => {
    const end = document.getElementById('quarn-end');
    return end && !end.hidden ? document.getElementById('quarn-status').textContent : null;
  });
}

async function waitEnd(page, timeoutMs = 10000) {
  let status = null;
  await waitFor('the page saying the game ended', timeoutMs, async () => (status = await endStatus(page)) !== null);
  return status;
}

module.exports = {
  BROWSER, DESKTOP, PHONE, launch, sleep, waitFor, decodePng, decodeBmp, pixel, differingPixels, PROBES,
  probeMismatch, openGame, fileUrl, frameShowing, canvasBox, shoot, shown, unevenPixels, waitColours, pagePoint, point, touchView, control, touchControl,
  outOfView, click, quickClick, holdKey, quickKey, expectMenu, toPlay, waitStill, playerRows, title,
  waitTitle, messageBox, waitMessageBox, dismissMessageBox, endStatus, waitEnd,
};

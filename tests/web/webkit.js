// WebKit for the browser cases: WebKitGTK's MiniBrowser on an Xvfb of its
// own, driven by WebKitWebDriver over classic W3C WebDriver (JSON over HTTP),
// with the pages served from this machine's loopback (WebKit keeps a page
// opened from disk from its neighbours). What the cases and benchmarks ask of
// a page (evaluate, the mouse, the keyboard, screenshots, frames, a second
// page, scripts run before the page's own) is answered here with the names
// puppeteer gives them, so one scenario list serves every browser.
'use strict';

const {execFileSync, spawn} = require('child_process');
const fs = require('fs');
const http = require('http');
const net = require('net');
const path = require('path');

const DRIVER = process.env.QUARN_WEBKIT_DRIVER || '/usr/bin/WebKitWebDriver';
const MINIBROWSER = process.env.QUARN_MINIBROWSER || '/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser';

// WebDriver's code points for the keys the cases press.
const KEYS = {Escape: '\uE00C', ArrowLeft: '\uE012', ArrowUp: '\uE013', ArrowRight: '\uE014', ArrowDown: '\uE015',
              F1: '\uE031'};

const TYPES = {'.html': 'text/html; charset=utf-8', '.js': 'text/javascript', '.wasm': 'application/wasm',
               '.bmp': 'image/bmp', '.png': 'image/png'};

// Every page reports its uncaught errors here; a page's evaluations collect them.
const ERROR_WATCH = `window.quarnPageErrors = [];
window.addEventListener('error', (e) => quarnPageErrors.push(String(e.error || e.message)));
window.addEventListener('unhandledrejection', (e) => quarnPageErrors.push('unhandled rejection: ' + e.reason));`;

// Files of this machine at http://127.0.0.1:<port>/<page number><absolute path>.
// An HTML file gets the scripts its page asked for before anything of its own.
function startServer(scriptsOf) {
  const server = http.createServer((req, res) => {
    const m = /^\/(\d+)(\/[^?#]*)/.exec(req.url);
    const file = m && decodeURIComponent(m[2]);
    if (!file || !fs.existsSync(file) || !fs.statSync(file).isFile()) {
      res.writeHead(404);
      res.end();
      return;
    }
    let body = fs.readFileSync(file);
    const type = TYPES[path.extname(file)] || 'application/octet-stream';
    if (type.startsWith('text/html')) {
      const text = body.toString('utf8');
      const scripts = [ERROR_WATCH, ...scriptsOf(Number(m[1]))].map((s) => `<script>${s}</script>`).join('');
      const head = /<head[^>]*>/i.exec(text) || /<!doctype[^>]*>/i.exec(text);
      const at = head ? head.index + head[0].length : 0;
      body = Buffer.from(text.slice(0, at) + scripts + text.slice(at));
    }
    res.writeHead(200, {'Content-Type': type, 'Cache-Control': 'no-store'});
    res.end(body);
  });
  return new Promise((resolve) => server.listen(0, '127.0.0.1', () => resolve(server)));
}

function freePort() {
  return new Promise((resolve, reject) => {
    const probe = net.createServer();
    probe.on('error', reject);
    probe.listen(0, '127.0.0.1', () => {
      const {port} = probe.address();
      probe.close(() => resolve(port));
    });
  });
}

function call(port, method, url, body) {
  const data = body === undefined ? null : Buffer.from(JSON.stringify(body));
  return new Promise((resolve, reject) => {
    const req = http.request({host: '127.0.0.1', port, method, path: url,
                              headers: data ? {'Content-Type': 'application/json', 'Content-Length': data.length} : {}},
                             (res) => {
      const chunks = [];
      res.on('data', (c) => chunks.push(c));
      res.on('end', () => {
        let answer = null;
        try {
          answer = JSON.parse(Buffer.concat(chunks).toString('utf8') || 'null');
        } catch (e) {
          return reject(new Error(`WebDriver ${method} ${url}: ${res.statusCode}, not JSON`));
        }
        const value = answer && answer.value;
        if (res.statusCode >= 400 || (value && value.error))
          return reject(new Error(`WebDriver ${method} ${url}: ${value ? `${value.error}: ${value.message}` : res.statusCode}`));
        resolve(value);
      });
    });
    req.on('error', reject);
    if (data) req.write(data);
    req.end();
  });
}

// A script of a page as WebDriver runs it: a function of the arguments given, or text.
function functionText(fn) {
  return typeof fn === 'function' ? fn.toString() : `() => (${fn})`;
}

async function launchWebKit({startXvfb, compositing = false}) {
  for (const [file, debian] of [[DRIVER, 'webkit2gtk-driver'], [MINIBROWSER, 'libwebkit2gtk-4.1-0']]) {
    if (!fs.existsSync(file)) throw new Error(`needs ${file}: install the Debian package ${debian}`);
  }
  const x = await startXvfb();
  const stops = [() => x.stop()];
  const stop = () => { while (stops.length) stops.pop()(); };
  process.on('exit', stop);
  try {
    const pages = [];
    const server = await startServer((n) => (pages[n] ? pages[n].scripts : []));
    stops.push(() => server.close());
    const port = await freePort();
    const driver = spawn(DRIVER, [`--port=${port}`], {stdio: 'ignore',
      env: {...process.env, DISPLAY: x.display, NO_AT_BRIDGE: '1', GDK_BACKEND: 'x11'}});
    stops.push(() => driver.kill());
    const end = Date.now() + 10000;
    while (!(await call(port, 'GET', '/status').then((s) => s && s.ready, () => false))) {
      if (Date.now() > end) throw new Error('WebKitWebDriver did not start');
      await new Promise((resolve) => setTimeout(resolve, 100));
    }
    const session = await call(port, 'POST', '/session', {capabilities: {alwaysMatch: {
      'webkitgtk:browserOptions': {binary: MINIBROWSER, args: ['--automation', ...(compositing ? [] : ['--features=-AcceleratedCompositing'])]}}}});
    const base = `/session/${session.sessionId}`;
    let current = await call(port, 'GET', `${base}/window`);
    const origin = `http://127.0.0.1:${server.address().port}`;
    const browser = {name: 'webkit', display: x.display};
    const send = (method, url, body) => call(port, method, base + url, body);
    const clickElement = async (selector) => {
      const element = await send('POST', '/element', {using: 'css selector', value: selector});
      await send('POST', `/element/${Object.values(element)[0]}/click`, {});
    };

    // A page: one top-level browsing context, its own number in the server's addresses.
    const makePage = (handle) => {
      const number = pages.length;
      const listeners = {pageerror: []};
      const page = {handle, scripts: [], number};
      pages.push(page);
      const select = async () => {
        if (current !== handle) await send('POST', '/window', {handle});
        current = handle;
      };
      const run = async (fn, args = []) => {
        await select();
        const answer = await send('POST', '/execute/sync', {
          script: `const value = (${functionText(fn)}).apply(null, arguments);
                   const errors = window.quarnPageErrors ? window.quarnPageErrors.splice(0) : [];
                   return Promise.resolve(value).then((value) => ({value: value === undefined ? null : value, errors}));`,
          args});
        for (const e of answer.errors) for (const f of listeners.pageerror) f(e);
        return answer.value;
      };
      const actions = async (list) => {
        await select();
        await send('POST', '/actions', {actions: list});
      };
      const mouse = (actionList) => actions([{type: 'pointer', id: 'mouse', parameters: {pointerType: 'mouse'},
                                              actions: actionList}]);
      const key = (type, name) => {
        if (!KEYS[name]) throw new Error(`no WebDriver key for ${name}`);
        return {type, value: KEYS[name]};
      };
      // The page's address for a file of this machine.
      page.addressOf = (file, query = '') => `${origin}/${number}${path.resolve(file)}${query}`;
      page.on = (event, f) => { if (listeners[event]) listeners[event].push(f); };
      page.evaluateOnNewDocument = async (fn, ...args) => {
        page.scripts.push(typeof fn === 'function' ? `(${fn})(...${JSON.stringify(args)});` : fn);
      };
      page.goto = async (url) => {
        await select();
        await send('POST', '/url', {url});
      };
      page.evaluate = (fn, ...args) => run(fn, args);
      // The window's inner size, by the outer size's difference from it.
      page.setViewport = async ({width, height}) => {
        await select();
        for (let tries = 0; tries < 3; ++tries) {
          const inner = await run(() => [window.innerWidth, window.innerHeight]);
          if (inner[0] === width && inner[1] === height) return;
          const outer = await send('GET', '/window/rect');
          await send('POST', '/window/rect', {width: outer.width + width - inner[0], height: outer.height + height - inner[1]});
        }
      };
      // The whole page only (WebKit's element screenshots lose their top
      // rows): whoever wants a part crops it.
      page.screenshotsWhole = true;
      page.screenshot = async ({clip = null, path: file = null} = {}) => {
        if (clip) throw new Error('WebKit pages take whole screenshots only');
        await select();
        const png = Buffer.from(await send('GET', '/screenshot'), 'base64');
        if (file) fs.writeFileSync(file, png);
        return png;
      };
      page.mouse = {
        move: (x, y) => mouse([{type: 'pointerMove', x: Math.round(x), y: Math.round(y), origin: 'viewport', duration: 0}]),
        down: () => mouse([{type: 'pointerDown', button: 0}]),
        up: () => mouse([{type: 'pointerUp', button: 0}]),
        // One batch: the driver takes no second action while one is underway.
        click: (x, y) => mouse([{type: 'pointerMove', x: Math.round(x), y: Math.round(y), origin: 'viewport', duration: 0},
                                {type: 'pointerDown', button: 0}, {type: 'pointerUp', button: 0}]),
      };
      page.keyboard = {
        down: (name) => actions([{type: 'key', id: 'keyboard', actions: [key('keyDown', name)]}]),
        up: (name) => actions([{type: 'key', id: 'keyboard', actions: [key('keyUp', name)]}]),
        // Press and release in one batch of actions.
        press: (name) => actions([{type: 'key', id: 'keyboard', actions: [key('keyDown', name), key('keyUp', name)]}]),
      };
      page.click = async (selector) => {
        await select();
        await clickElement(selector);
      };
      // The page's index'th frame (null while it has none), whose calls run
      // with WebDriver's attention moved into it.
      page.childFrame = async (index) => {
        if (index >= (await run(() => document.querySelectorAll('iframe').length))) return null;
        const inside = async (f) => {
          await select();
          await send('POST', '/frame', {id: index});
          try {
            return await f();
          } finally {
            await send('POST', '/frame', {id: null});
          }
        };
        return {
          evaluate: (fn, ...args) => inside(() => send('POST', '/execute/sync', {
            script: `return (${functionText(fn)}).apply(null, arguments);`, args})),
          focus: (selector) => inside(() => send('POST', '/execute/sync', {
            script: 'document.querySelector(arguments[0]).focus();', args: [selector]})),
          click: (selector) => inside(() => clickElement(selector)),
        };
      };
      // The last window stays (WebDriver's session would end with it), blank,
      // for the next page.
      page.close = async () => {
        await select();
        if ((await send('GET', '/window/handles')).length > 1) {
          await send('DELETE', '/window');
          current = null;
        } else {
          await send('POST', '/url', {url: 'about:blank'});
          spare = handle;
        }
      };
      return page;
    };

    // The session's first window, or the last one closed, waits for a page.
    let spare = current;
    browser.newPage = async () => {
      let handle = spare;
      spare = null;
      if (!handle) handle = (await send('POST', '/window/new', {type: 'window'})).handle;
      return makePage(handle);
    };
    // The X server's focus to its root window: the browser's window is then
    // as one that no window manager has focused (a kiosk, a bare X server).
    browser.dropFocus = () => {
      const env = {...process.env, DISPLAY: x.display};
      const root = execFileSync('xdotool', ['search', '--maxdepth', '0', '--name', ''], {env}).toString().trim();
      execFileSync('xdotool', ['windowfocus', '--sync', root], {env});
    };
    browser.close = async () => {
      await send('DELETE', '').catch(() => {});
      stop();
    };
    return browser;
  } catch (e) {
    stop();
    throw e;
  }
}

module.exports = {launchWebKit};

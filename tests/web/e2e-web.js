// End-to-end cases of the browser build: dist/quarn.html opened from disk in
// headless Chromium or Firefox, played with the keyboard, the mouse and a
// touch screen, judged by the page's title, screenshots and what the page says.
//
//   QUARN_PAGE=dist/quarn.html [QUARN_BROWSER=firefox] node tests/web/e2e-web.js <case>
'use strict';

const fs = require('fs');
const os = require('os');
const path = require('path');
const w = require('./lib.js');

const SEED = '?seed=424242';

const cases = {
  // "quarn" while the first second is counted, then the frame rate.
  async title(page) {
    await w.openGame(this.browser, page);
    await w.waitTitle(page, /^quarn$/, 5000);
    await w.waitTitle(page, /^ \[ FPS - [1-9][0-9]* \] $/, 5000);
  },

  async menu(page) {
    await w.openGame(this.browser, page);
    await w.expectMenu(page);
    await w.point(page, 400, 200);
    await w.waitColours(page, 'game button under the pointer', ['GAME_HOVER', 'EXIT_IDLE'], 6000);
    await w.point(page, 400, 350);
    await w.waitColours(page, 'exit button under the pointer', ['GAME_IDLE', 'EXIT_HOVER'], 6000);
    await w.point(page, 300, 200);
    await w.waitColours(page, "pointer on the game button's edge", ['GAME_IDLE', 'EXIT_IDLE'], 6000);
  },

  // "game", walking, digging the grass under the player (one item in slot 1),
  // Esc back to the menu.
  async play(page) {
    await w.openGame(this.browser, page, {query: SEED});
    await w.expectMenu(page);
    await w.toPlay(page);
    const before = await w.waitStill(page);
    const {top, bottom} = w.playerRows(before);
    if (top < 0 || bottom - top < 28) throw new Error(`no white player at x 400 (rows ${top}..${bottom})`);

    await w.holdKey(page, 'ArrowRight');
    await w.sleep(200);
    const walked = await w.shoot(page);
    const changed = w.differingPixels(before, walked);
    if (changed <= 1000) throw new Error(`holding Right changed only ${changed} pixels of the view`);

    // The counts below the slots' pictures, before and after digging.
    const still = await w.waitStill(page, 10000, {player: true});
    const feet = w.playerRows(still).bottom;
    const slot = {x0: 0, y0: 580, x1: 300, y1: 600, skipPlayer: false};
    await w.point(page, 400, feet + 10);
    await page.mouse.down();
    await w.waitFor('an item in the bar', 5000, async () => w.differingPixels(still, await w.shoot(page), slot) > 20);
    await page.mouse.up();

    await w.holdKey(page, 'Escape');
    await w.expectMenu(page);
  },

  // A press and its release with no pause between them, both handled before
  // the next frame: that frame still sees the press. A click on "game" plays,
  // Esc in play brings the menu back, F1 goes to full screen as a held F1 does.
  async quick_click(page) {
    await w.openGame(this.browser, page);
    await w.expectMenu(page);
    await w.point(page, 400, 200);
    await w.waitColours(page, 'game button under the pointer', ['GAME_HOVER', 'EXIT_IDLE'], 6000);
    await w.quickClick(page, 400, 200);
    await w.waitColours(page, 'the play screen after a quick click', ['SKY', 'BOTTOM_BAR']);
    await w.quickKey(page, 'Escape');
    await w.waitColours(page, 'the menu after a quick Esc', ['MENU_BACK']);
    await w.quickKey(page, 'F1');
    await w.waitFor('full screen after a quick F1', 5000, () => page.evaluate(() => !!document.fullscreenElement));
  },

  // A page that loads in a window nobody focused (no window manager) stays
  // without the focus, even when clicked: the press on the view makes the
  // game the active one, as a click activates a desktop window. (WebKit only:
  // the others' windows cannot be left so.)
  async unfocused(page) {
    this.browser.dropFocus();
    await w.openGame(this.browser, page);
    if (await page.evaluate(() => document.hasFocus())) throw new Error('the page has the focus: nothing to try');
    await w.click(page, 700, 500);
    await w.expectMenu(page);
    await w.waitTitle(page, /^ \[ FPS - [1-9][0-9]* \] $/, 5000);
    // The new window of an F1 is as active as the one it replaces.
    await w.holdKey(page, 'F1', 100);
    await w.waitTitle(page, /^quarn$/, 5000);
    await w.waitTitle(page, /^ \[ FPS - [1-9][0-9]* \] $/, 5000);
  },

  // A phone: the view fits the screen with the on-screen keys beside it, a
  // tap on "game" plays, the on-screen Right walks, a finger held on the tile
  // under the player digs it, the on-screen Esc goes back to the menu.
  async touch(page) {
    await w.openGame(this.browser, page, {query: SEED, viewport: w.PHONE});
    await w.waitColours(page, 'the menu', ['MENU_BACK', 'GAME_IDLE', 'EXIT_IDLE']);
    for (const viewport of [w.PHONE, {...w.PHONE, width: w.PHONE.height, height: w.PHONE.width}]) {
      await page.setViewport(viewport);
      await w.waitFor(`the view fitting ${viewport.width} x ${viewport.height}`, 5000, async () => {
        const out = await w.outOfView(page, ['#quarn canvas']);
        return out.length ? out.join('; ') : true;
      });
      const view = await w.canvasBox(page);
      if (Math.abs(view.width / view.height - 4 / 3) > 0.01) throw new Error(`the view is ${view.width} x ${view.height}`);
      for (const name of ['Left', 'Right', 'Up', 'Down', 'Esc', 'Full screen']) {
        const key = await w.control(page, name);
        const apart = key.x + key.width <= view.x || key.x >= view.x + view.width ||
                      key.y + key.height <= view.y || key.y >= view.y + view.height;
        if (!apart) throw new Error(`the on-screen ${name} lies over the view in ${viewport.width} x ${viewport.height}`);
        if (key.x < 0 || key.y < 0 || key.x + key.width > viewport.width || key.y + key.height > viewport.height)
          throw new Error(`the on-screen ${name} is off screen in ${viewport.width} x ${viewport.height}`);
      }
    }
    await page.setViewport(w.PHONE);

    await w.touchView(page, 400, 200);
    await w.waitColours(page, 'the play screen after a tap on "game"', ['SKY', 'BOTTOM_BAR', 'CRAFT_IDLE']);
    const before = await w.waitStill(page);
    await w.touchControl(page, 'Right', 600);
    const walked = await w.waitStill(page, 10000, {player: true});
    if (w.differingPixels(before, walked) <= 1000) throw new Error('holding the on-screen Right did not walk');

    // Ground under the player takes 120 frames: a slow browser needs seconds.
    const feet = w.playerRows(walked).bottom;
    const slot = {x0: 0, y0: 580, x1: 300, y1: 600, skipPlayer: false};
    await w.touchView(page, 400, feet + 10, {until: () => w.waitFor('an item in the bar', 20000,
      async () => w.differingPixels(walked, await w.shoot(page), slot) > 20)});

    await w.touchControl(page, 'Esc');
    // (The last touch left the pointer where it dug, over a button perhaps.)
    await w.waitColours(page, 'the menu after the on-screen Esc', ['MENU_BACK']);
  },

  // Up, Right and the button held, then the page loses the focus or is hidden
  // and they are let go elsewhere: back in the page, nothing moves, and the
  // keys work again.
  async held_keys(page) {
    await w.openGame(this.browser, page, {query: SEED});
    await w.expectMenu(page);
    await w.toPlay(page);
    const still = await w.waitStill(page);
    await w.point(page, 400, w.playerRows(still).bottom + 10);
    const away = {
      blur: () => window.dispatchEvent(new Event('blur')),
      hidden: () => {
        Object.defineProperty(document, 'visibilityState', {configurable: true, get: () => 'hidden'});
        Object.defineProperty(document, 'hidden', {configurable: true, get: () => true});
        document.dispatchEvent(new Event('visibilitychange'));
      },
    };
    const back = {
      blur: () => window.dispatchEvent(new Event('focus')),
      hidden: () => {
        delete document.visibilityState;
        delete document.hidden;
        document.dispatchEvent(new Event('visibilitychange'));
      },
    };
    for (const how of ['blur', 'hidden']) {
      await page.keyboard.down('ArrowUp');
      await page.keyboard.down('ArrowRight');
      await page.mouse.down();
      await w.sleep(300);
      await page.evaluate(away[how]);
      await w.sleep(300);
      await page.evaluate(back[how]);
      const rest = await w.waitStill(page);
      await w.sleep(500);
      if (w.differingPixels(rest, await w.shoot(page), {y1: 600}) !== 0)
        throw new Error(`the game moved on by itself after ${how}`);
      await page.mouse.up();
      await page.keyboard.up('ArrowRight');
      await page.keyboard.up('ArrowUp');
      // Where the held keys left the player may be against a wall on one
      // side (how far it got depends on the browser's frame rate): the other
      // way is then open.
      let walked = false;
      for (const key of ['ArrowLeft', 'ArrowRight']) {
        await w.holdKey(page, key, 400);
        if ((walked = w.differingPixels(rest, await w.shoot(page)) > 1000)) break;
      }
      if (!walked) throw new Error(`neither Left nor Right walks after ${how}`);
    }
  },

  // The browser takes the WebGL context away for two seconds and gives it back:
  // no frames meanwhile (the title, updated by frames only, stays; the first
  // rate after it counts the gap), then the same world with the player in the
  // same place. Taken away for good: a box says so after five seconds.
  async lost_context(page) {
    await w.openGame(this.browser, page, {query: SEED});
    await w.expectMenu(page);
    await w.toPlay(page);
    const before = await w.waitStill(page, 10000, {player: true});
    await w.waitTitle(page, /^ \[ FPS - [1-9][0-9]* \] $/, 5000);
    const rateBefore = Number((await w.title(page)).match(/\d+/)[0]);
    // The browser says the context is lost in a task of its own, and a frame
    // may come before it: titles count from the game's hearing of it (its
    // handler comes first, and the next turn takes the game's deactivation
    // before it considers a frame).
    await page.evaluate(() => {
      window.quarnTitles = [];
      const title = document.querySelector('title'), canvas = document.querySelector('#quarn canvas');
      canvas.addEventListener('webglcontextlost', () => {
        new MutationObserver(() => window.quarnTitles.push(title.textContent))
            .observe(title, {childList: true, characterData: true, subtree: true});
      }, {once: true});
      window.quarnLoser = canvas.getContext('webgl2').getExtension('WEBGL_lose_context');
      window.quarnLoser.loseContext();
    });
    await w.sleep(2000);
    if (await w.messageBox(page)) throw new Error('a box came up before five seconds had passed');
    const during = await page.evaluate(() => window.quarnTitles.slice());
    if (during.length) throw new Error(`frames went on without the context: the title became ${JSON.stringify(during)}`);
    await page.evaluate(() => window.quarnLoser.restoreContext());
    const after = await w.waitStill(page, 10000, {player: true});
    const changed = w.differingPixels(before, after, {y1: 600, skipPlayer: false});
    if (changed !== 0) throw new Error(`the view after the context came back differs in ${changed} pixels`);
    await w.waitFor('a frame rate after the gap', 5000, () => page.evaluate(() => window.quarnTitles.length > 0));
    const first = await page.evaluate(() => window.quarnTitles[0]);
    const rateAfter = Number(first.match(/\d+/)[0]);
    if (!(rateAfter < rateBefore / 2)) throw new Error(`the first rate after the gap is ${rateAfter} fps (${rateBefore} before)`);

    await page.evaluate(() => window.quarnLoser.loseContext());
    const box = await w.waitMessageBox(page, 8000);
    if (box.text !== 'The graphics were lost; reload the page to play again.' || box.caption !== 'Error')
      throw new Error(`the box says "${box.caption}: ${box.text}"`);
  },

  async craft(page) {
    await w.openGame(this.browser, page);
    await w.expectMenu(page);
    await w.toPlay(page);
    await w.click(page, 675, 575);
    await w.waitColours(page, 'the craft screen', ['MENU_BACK', 'BACK_HOVER', 'SPEED_ROW1_GREY']);
    await w.click(page, 675, 575);
    await w.point(page, 10, 300);
    await w.waitColours(page, 'the play screen after "back in game"', ['SKY', 'BOTTOM_BAR', 'CRAFT_IDLE']);
  },

  // Shown larger than the game draws it, the view is even: in windows that
  // show it at about 1.64, 1.12 and 2.24 times, each shown pixel has the
  // view's colours in the shares of its area they cover, the pixels of the
  // view at its own size as the reference. (Each view pixel repeated once or
  // twice shows the 2-pixel strokes of "game" 3 wide in one place and 4 in
  // the next.) The pointer stays off the view, so the menu stands still.
  async even_view(page) {
    await w.openGame(this.browser, page, {viewport: {width: 816, height: 800}});
    let view;
    await w.waitFor('the menu shown at its own size', 10000, async () => {
      if (!(await w.canvasBox(page))) return 'no view yet';
      view = await w.shown(page);
      if (view.width !== 800 || view.height !== 600) return `shown ${view.width} x ${view.height}`;
      return w.probeMismatch(view, ['MENU_BACK', 'GAME_IDLE', 'EXIT_IDLE']) || true;
    });
    // WebKit's window cannot outgrow its Xvfb's 1280 x 1024 screen: two
    // sizes within it, at uneven factors too.
    const sizes = w.BROWSER === 'webkit' ? [{width: 1024, height: 768}, {width: 1240, height: 900}]
        : [{width: 1920, height: 1080}, {width: 1366, height: 768}, {width: 2560, height: 1440}];
    for (const size of sizes) {
      await page.setViewport(size);
      const inner = await page.evaluate(() => [window.innerWidth, window.innerHeight]);
      if (inner[0] !== size.width || inner[1] !== size.height) throw new Error(`the window is ${inner[0]} x ${inner[1]}`);
      let big = {width: 0}, before;
      await w.waitFor(`the view shown larger in a ${size.width} x ${size.height} window`, 10000, async () => {
        before = big;
        big = await w.shown(page);
        return (big.width > 800 && big.width === before.width && big.rgba.equals(before.rgba)) ||
               `shown ${big.width} x ${big.height}`;
      });
      const {count, worst} = w.unevenPixels(view, big);
      if (count) {
        throw new Error(`${count} pixels of the view shown ${big.width} x ${big.height} in a ${size.width} x ` +
                        `${size.height} window are not its even scaling; the worst, (${worst.x}, ${worst.y}), ` +
                        `is off by ${worst.off} where the view's contrast is ${worst.contrast}`);
      }
    }
  },

  // F1 to full screen and back: each a fresh world with the player at the
  // start (the same world for the same seed), the items kept. Then the browser
  // leaves full screen by itself: the game stays in the page, and the next F1
  // goes to full screen again.
  async fullscreen(page) {
    await w.openGame(this.browser, page, {query: SEED});
    await w.expectMenu(page);
    await w.toPlay(page);
    const start = await w.waitStill(page);
    const inPage = await w.canvasBox(page);
    await w.holdKey(page, 'ArrowRight', 600);
    const walked = await w.waitStill(page);
    if (w.differingPixels(start, walked) <= 1000) throw new Error('Right did not walk');

    await w.holdKey(page, 'F1', 100);
    await w.waitFor('full screen', 5000, () => page.evaluate(() => !!document.fullscreenElement));
    await w.waitTitle(page, /^quarn$/, 3000);
    // Scaled up, the view is compared pixel by pixel through the screenshot's
    // samples: a fresh world at the start shows next to nothing of the walk.
    const full = await w.waitStill(page);
    if (w.differingPixels(start, full) > 1000) throw new Error('full screen did not start a fresh world at the start');
    const box = await w.canvasBox(page);
    if (!(box.width > inPage.width && Math.abs(box.width / box.height - 4 / 3) < 0.01))
      throw new Error(`the view is ${box.width} x ${box.height} in full screen, wanted it scaled up at 4:3`);

    await w.holdKey(page, 'ArrowRight', 600);
    await w.holdKey(page, 'F1', 100);
    await w.waitFor('back in the page', 5000, () => page.evaluate(() => !document.fullscreenElement));
    const back = await w.waitStill(page);
    if (w.differingPixels(start, back) !== 0) throw new Error('back in the page, the world is not a fresh one');

    await w.holdKey(page, 'F1', 100);
    await w.waitFor('full screen again', 5000, () => page.evaluate(() => !!document.fullscreenElement));
    await w.waitTitle(page, /^ \[ FPS/, 3000);
    await page.evaluate(() => document.exitFullscreen());
    await w.waitFor('the browser leaving full screen', 5000, () => page.evaluate(() => !document.fullscreenElement));
    await w.waitTitle(page, /^ \[ FPS/, 3000);
    const title = await w.title(page);
    await w.holdKey(page, 'ArrowLeft', 100);
    await w.waitColours(page, 'the game in the page', ['BOTTOM_BAR', 'CRAFT_IDLE']);
    if ((await w.canvasBox(page)).width !== inPage.width) throw new Error('the view kept its full-screen size in the page');
    await w.holdKey(page, 'F1', 100);
    await w.waitFor('full screen after the browser left it', 5000,
                    () => page.evaluate(() => !!document.fullscreenElement));
    if (title === 'quarn') throw new Error('leaving full screen reopened the game');
  },

  // Full screen refused: by a frame that forbids it (at once), and by a
  // browser that first accepts the request and refuses a moment later. Each
  // time the box, and the game goes on in the page.
  async fullscreen_refused(page) {
    const wrapper = path.join(fs.mkdtempSync(path.join(os.tmpdir(), 'quarn-web-')), 'framed.html');
    fs.writeFileSync(wrapper, `<!doctype html><iframe allow="fullscreen 'none'" src="${w.fileUrl(page, process.env.QUARN_PAGE)}"
      width="900" height="760" style="border:0"></iframe>`);
    await w.openGame(this.browser, page, {url: w.fileUrl(page, wrapper)});
    let frame;
    await w.waitFor('the game in its frame', 10000, async () => {
      frame = await w.frameShowing(page, process.env.QUARN_PAGE);
      return !!frame && (await frame.evaluate(() => !!document.querySelector('#quarn canvas')));
    });
    await frame.focus('#quarn canvas');
    await w.holdKey(page, 'F1', 100);
    await w.waitFor('the "Error" box', 10000, async () => {
      const b = await frame.evaluate(() => document.getElementById('quarn-box').open &&
        [document.getElementById('quarn-box-caption').textContent, document.getElementById('quarn-box-text').textContent]);
      if (!b) return false;
      if (b[0] !== 'Error' || b[1] !== 'Unable to switch to fullscreen!') return `box "${b[0]}": "${b[1]}"`;
      return true;
    });
    await frame.click('#quarn-box-ok');
    await w.waitFor('the game running in the page', 10000, async () =>
      /^ \[ FPS - [1-9]/.test(await frame.evaluate(() => document.querySelector('title').textContent)));

    const late = await this.browser.newPage();
    await late.evaluateOnNewDocument(() => {
      Element.prototype.requestFullscreen = () => new Promise((resolve, reject) => {
        setTimeout(() => reject(new TypeError('Fullscreen request denied')), 200);
      });
    });
    const errors = [];
    late.on('pageerror', (e) => errors.push(String(e)));
    await w.openGame(this.browser, late);
    await w.expectMenu(late);
    await w.holdKey(late, 'F1', 100);
    const box = await w.waitMessageBox(late);
    if (box.caption !== 'Error' || box.text !== 'Unable to switch to fullscreen!')
      throw new Error(`box "${box.caption}": "${box.text}" for a late refusal`);
    await w.dismissMessageBox(late);
    await w.expectMenu(late);
    await w.waitTitle(late, /^ \[ FPS - [1-9]/, 3000);
    if (errors.length) throw new Error(`errors on the page after a late refusal: ${errors.join('; ')}`);
  },

  // No WebGL 2: the box, the end, and a line that says what to do.
  async no_webgl2(page) {
    await page.evaluateOnNewDocument(() => {
      const getContext = HTMLCanvasElement.prototype.getContext;
      HTMLCanvasElement.prototype.getContext = function (type, ...rest) {
        return type === 'webgl2' ? null : getContext.call(this, type, ...rest);
      };
    });
    await w.openGame(this.browser, page);
    const box = await w.waitMessageBox(page);
    if (box.caption !== 'Error' || box.text !== 'Unable to create an OpenGL rendering context')
      throw new Error(`box "${box.caption}": "${box.text}"`);
    await w.dismissMessageBox(page);
    const status = await w.waitEnd(page);
    if (status !== '0') throw new Error(`status ${status} without WebGL 2, wanted 0`);
    const line = await page.evaluate(() => {
      const p = document.getElementById('quarn-no-webgl');
      return p && !p.hidden ? p.textContent.replace(/\s+/g, ' ') : null;
    });
    if (!line || !/cannot draw the game/.test(line) || !/another browser/.test(line) || !/hardware acceleration/.test(line))
      throw new Error(`no line saying what to try: ${line}`);
  },

  // The view, the help under it and, once the game has ended, the notice all
  // fit a 1024 x 768 window.
  async exit(page) {
    await w.openGame(this.browser, page);
    await w.expectMenu(page);
    let out = await w.outOfView(page, ['#quarn canvas', '.help']);
    if (out.length) throw new Error(out.join('; '));
    await w.click(page, 400, 350);
    const status = await w.waitEnd(page);
    if (status !== '0') throw new Error(`the page says status ${status} after "exit", wanted 0`);
    out = await w.outOfView(page, ['.help', '#quarn-end', '#quarn-restart']);
    if (out.length) throw new Error(out.join('; '));
  },

  async missing_sprite(page) {
    await w.openGame(this.browser, page, {beforeStart: (FS) => FS.unlink('/sprite.bmp')});
    const box = await w.waitMessageBox(page);
    if (box.caption !== 'Error' || !/^Runtime error {3}2 at [0-9A-F]{8}$/.test(box.text))
      throw new Error(`box "${box.caption}": "${box.text}"`);
    if ((await w.endStatus(page)) !== null) throw new Error('the end was shown before the box was dismissed');
    await w.dismissMessageBox(page);
    const status = await w.waitEnd(page);
    if (status !== '2') throw new Error(`status ${status} for a missing sprite.bmp, wanted 2`);
  },

  // A file that is not a bitmap: "Invalid Bitmap", and the game runs without the picture.
  async invalid_sprite(page) {
    await w.openGame(this.browser, page, {
      beforeStart: (FS) => FS.writeFile('/sprite.bmp', new Uint8Array(202).fill(0).fill(88, 0, 2)),
    });
    const box = await w.waitMessageBox(page);
    if (box.caption !== 'Error' || box.text !== 'Invalid Bitmap') throw new Error(`box "${box.caption}": "${box.text}"`);
    const title = await w.title(page);
    await w.sleep(1500);
    if ((await w.title(page)) !== title) throw new Error('the game ran on while the box was up');
    await w.dismissMessageBox(page);
    await w.expectMenu(page);
    await w.waitTitle(page, /^ \[ FPS - [1-9]/, 3000);
  },
};

async function main() {
  const name = process.argv[2];
  if (!cases[name]) {
    console.error(`usage: e2e-web.js <case>; cases: ${Object.keys(cases).join(' ')}`);
    process.exit(2);
  }
  const browser = await w.launch({touch: name === 'touch'});
  const page = await browser.newPage();
  const errors = [];
  page.on('pageerror', (e) => errors.push(String(e)));
  let failed = null;
  try {
    await cases[name].call({browser}, page);
    if (errors.length) throw new Error(`errors on the page: ${errors.join('; ')}`);
  } catch (e) {
    failed = e;
    const dir = fs.mkdtempSync(path.join(os.tmpdir(), `quarn-web-${name}-`));
    await page.screenshot({path: path.join(dir, 'page.png')}).catch(() => {});
    console.error(`[${name}] ${w.BROWSER} FAIL: ${e.message}\nkept for inspection: ${dir}`);
  }
  await browser.close();
  if (failed) process.exit(1);
  console.log(`[${name}] ${w.BROWSER} passed`);
}

main().catch((e) => {
  console.error(e);
  process.exit(1);
});

// The browser build's frame rate on the menu, play and craft screens, in
// headless Chromium (WebGL 2 on SwiftShader) or Firefox ESR (QUARN_BROWSER=
// firefox; WebGL 2 on Mesa's llvmpipe under Xvfb): the game's own count (the
// title, averaged over a few seconds), the display frames the page was given
// in the same time, which bound it, and how long the page's turns take; and
// the time from the navigation to the end of the first display frame in which
// the page drew. Prints figures (RATE <screen> <game fps> <display fps> <turn
// median ms> <turn 95th percentile ms>, FIRST <ms>, PAGE <bytes>); asserts
// nothing. bench/web-rate.sh shows them beside the Linux build's,
// bench/web-browsers.sh the two browsers side by side.
//
//   NODE_PATH=build-web/web-tests/node_modules QUARN_PAGE=dist/quarn.html node bench/web-rate.js
'use strict';

const fs = require('fs');
const w = require('../tests/web/lib.js');

const SECONDS = Number(process.env.RATE_SECONDS || 5);

// Title readings over the window, and the page's display frames meanwhile.
async function measure(page) {
  const start = await page.evaluate(() => { window.benchTurns = []; return window.benchFrames; });
  const t0 = Date.now();
  const readings = [];
  let last = '';
  while (Date.now() - t0 < SECONDS * 1000) {
    const title = await w.title(page);
    if (title !== last && /FPS - (\d+)/.test(title)) readings.push(Number(/FPS - (\d+)/.exec(title)[1]));
    last = title;
    await w.sleep(100);
  }
  const frames = (await page.evaluate(() => window.benchFrames)) - start;
  const turns = await page.evaluate(() => window.benchTurns.slice().sort((a, b) => a - b));
  const game = readings.length ? readings.reduce((a, b) => a + b, 0) / readings.length : NaN;
  const turnMs = {median: turns[Math.floor(turns.length / 2)] || 0, p95: turns[Math.floor(turns.length * 0.95)] || 0};
  return {game, display: (frames * 1000) / (Date.now() - t0), readings, turnMs};
}

async function main() {
  const file = process.env.QUARN_PAGE;
  const browser = await w.launch();
  const page = await browser.newPage();
  // Display frames counted by a callback of our own; every callback's time
  // (the game's turn among them) measured by wrapping the page's
  // requestAnimationFrame; the first callback that drew anything into WebGL
  // ends the first frame.
  await page.evaluateOnNewDocument(() => {
    window.benchFrames = 0;
    window.benchTurns = [];
    window.benchFirstFrame = null;
    let drew = false;
    for (const name of ['drawArrays', 'drawElements', 'drawArraysInstanced', 'drawElementsInstanced']) {
      const draw = WebGL2RenderingContext.prototype[name];
      WebGL2RenderingContext.prototype[name] = function (...args) {
        drew = true;
        return draw.apply(this, args);
      };
    }
    const raf = window.requestAnimationFrame.bind(window);
    window.requestAnimationFrame = (callback) => raf((t) => {
      const start = performance.now();
      callback(t);
      const end = performance.now();
      window.benchTurns.push(end - start);
      if (drew && window.benchFirstFrame === null) window.benchFirstFrame = end;
    });
    const count = () => { ++window.benchFrames; raf(count); };
    raf(count);
  });
  await w.openGame(browser, page, {query: '?seed=424242'});
  const results = {};
  await w.expectMenu(page);
  const firstFrame = await page.evaluate(() => window.benchFirstFrame);
  await w.sleep(1200);
  results.menu = await measure(page);
  await w.toPlay(page);
  await w.sleep(1200);
  results.play = await measure(page);
  await w.click(page, 675, 575);
  await w.point(page, 400, 450);
  await w.sleep(1200);
  results.craft = await measure(page);
  await browser.close();

  console.log(`PAGE ${fs.statSync(file).size}`);
  console.log(`FIRST ${firstFrame.toFixed(0)}`);
  for (const screen of ['menu', 'play', 'craft']) {
    const r = results[screen];
    console.log(`RATE ${screen} ${r.game.toFixed(1)} ${r.display.toFixed(1)} ${r.turnMs.median.toFixed(2)} ` +
                `${r.turnMs.p95.toFixed(2)}`);
  }
}

main().catch((e) => {
  console.error(e.message || e);
  process.exit(1);
});

// The browser build's frame rate on the menu, play and craft screens, in
// headless Chromium (WebGL 2 on SwiftShader): the game's own count (the title,
// averaged over a few seconds) and the display frames the page was given in
// the same time, which bound it. Prints figures; asserts nothing.
//
//   NODE_PATH=build-web/web-tests/node_modules QUARN_PAGE=dist/quarn.html node bench/web-rate.js
'use strict';

const fs = require('fs');
const w = require('../tests/web/lib.js');

const SECONDS = Number(process.env.QUARN_BENCH_SECONDS || 5);

// Title readings over the window, and the page's display frames meanwhile.
async function measure(page) {
  const start = await page.evaluate(() => window.benchFrames);
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
  const game = readings.length ? readings.reduce((a, b) => a + b, 0) / readings.length : NaN;
  return {game, display: (frames * 1000) / (Date.now() - t0), readings};
}

async function main() {
  const file = process.env.QUARN_PAGE;
  const browser = await w.launch();
  const page = await browser.newPage();
  await page.evaluateOnNewDocument(() => {
    window.benchFrames = 0;
    const count = () => { ++window.benchFrames; requestAnimationFrame(count); };
    requestAnimationFrame(count);
  });
  await w.openGame(browser, page, {query: '?seed=424242'});
  const results = {};
  await w.expectMenu(page);
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

  console.log(`page: ${file} ${fs.statSync(file).size} bytes`);
  for (const screen of ['menu', 'play', 'craft']) {
    const r = results[screen];
    console.log(`FIGURE web ${screen}: ${r.game.toFixed(1)} frames/s drawn by the game (titles ${r.readings.join(' ')}), ` +
                `${r.display.toFixed(1)} display frames/s given to the page`);
  }
}

main().catch((e) => {
  console.error(e.message || e);
  process.exit(1);
});

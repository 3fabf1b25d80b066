// The browser build's frame rate on the menu, play and craft screens, in
// headless Chromium (WebGL 2 on SwiftShader), Firefox ESR (QUARN_BROWSER=
// firefox; WebGL 2 on Mesa's llvmpipe under Xvfb) or WebKitGTK's MiniBrowser
// (QUARN_BROWSER=webkit; under Xvfb too, through WebKitWebDriver, the page
// from the loopback; see tests/web/webkit.js): the game's own count (the
// title, averaged over a few seconds), the display frames the page was given
// in the same time, which bound it, how long the page's turns take, and in
// Chromium the processor time of its renderer and GPU processes meanwhile
// ("-" in the others); and the time from the navigation to the end of the first
// display frame in which the page drew. Prints figures (RATE <screen> <game
// fps> <display fps> <turn median ms> <turn 95th percentile ms> <renderer cpu
// %> <gpu cpu %>, FIRST <ms>, PAGE <bytes>); with RATE_TOGGLES set (say 100),
// also the resident memory of those two processes after one F1 and after that
// many (MEMORY <toggles> <KiB>). Asserts nothing. bench/web-rate.sh and
// bench/cost.sh show them beside the other builds', bench/web-browsers.sh the
// three browsers side by side.
//
//   NODE_PATH=build-web/web-tests/node_modules QUARN_PAGE=dist/quarn.html node bench/web-rate.js
'use strict';

const fs = require('fs');
const {execSync} = require('child_process');
const w = require('../tests/web/lib.js');

const SECONDS = Number(process.env.RATE_SECONDS || 5);
const TOGGLES = Number(process.env.RATE_TOGGLES || 0);
const HZ = Number(execSync('getconf CLK_TCK'));

// The browser's renderer and GPU processes, found among its descendants by
// their --type.
function chromiumProcesses(browser) {
  const children = {};
  for (const pid of fs.readdirSync('/proc').filter((name) => /^\d+$/.test(name))) {
    try {
      const ppid = fs.readFileSync(`/proc/${pid}/stat`, 'utf8').replace(/^.*\) /, '').split(' ')[1];
      (children[ppid] = children[ppid] || []).push(pid);
    } catch (e) {}  // gone meanwhile
  }
  const found = {renderer: [], gpu: []};
  const walk = (pid) => {
    for (const child of children[pid] || []) {
      const line = fs.readFileSync(`/proc/${child}/cmdline`, 'utf8');
      if (line.includes('--type=renderer')) found.renderer.push(child);
      if (line.includes('--type=gpu-process')) found.gpu.push(child);
      walk(child);
    }
  };
  walk(String(browser.process().pid));
  return found;
}

function cpuTicks(pids) {
  let ticks = 0;
  for (const pid of pids) {
    const fields = fs.readFileSync(`/proc/${pid}/stat`, 'utf8').replace(/^.*\) /, '').split(' ');
    ticks += Number(fields[11]) + Number(fields[12]);
  }
  return ticks;
}

function rssKib(pids) {
  let kib = 0;
  for (const pid of pids) kib += Number(/VmRSS:\s+(\d+)/.exec(fs.readFileSync(`/proc/${pid}/status`, 'utf8'))[1]);
  return kib;
}

// Title readings over the window, and the page's display frames meanwhile.
async function measure(page, processes) {
  const start = await page.evaluate(() => { window.benchTurns = []; return window.benchFrames; });
  const cpu0 = [cpuTicks(processes.renderer), cpuTicks(processes.gpu)];
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
  const cpu = [cpuTicks(processes.renderer), cpuTicks(processes.gpu)].map((ticks, i) =>
      processes.renderer.length ? ((100 * (ticks - cpu0[i])) / HZ / ((Date.now() - t0) / 1000)).toFixed(1) : '-');
  const turns = await page.evaluate(() => window.benchTurns.slice().sort((a, b) => a - b));
  const game = readings.length ? readings.reduce((a, b) => a + b, 0) / readings.length : NaN;
  const turnMs = {median: turns[Math.floor(turns.length / 2)] || 0, p95: turns[Math.floor(turns.length * 0.95)] || 0};
  return {game, display: (frames * 1000) / (Date.now() - t0), readings, turnMs, cpu};
}

async function main() {
  const file = process.env.QUARN_PAGE;
  // RATE_COMPOSITING=1: WebKit with accelerated compositing, as a desktop
  // WebKit draws (the cases turn it off; see tests/web/webkit.js).
  const browser = await w.launch({compositing: !!process.env.RATE_COMPOSITING});
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
  const processes = w.BROWSER === 'chromium' ? chromiumProcesses(browser) : {renderer: [], gpu: []};
  if (w.BROWSER === 'chromium' && (!processes.renderer.length || !processes.gpu.length))
    throw new Error('no renderer or GPU process found');
  await w.sleep(1200);
  results.menu = await measure(page, processes);
  await w.toPlay(page);
  await w.sleep(1200);
  results.play = await measure(page, processes);
  await w.click(page, 675, 575);
  await w.point(page, 400, 450);
  await w.sleep(1200);
  results.craft = await measure(page, processes);
  // F1 goes to full screen and back, a new context and a new world each time.
  // It is held until the page has switched: the page may skip display frames
  // meanwhile, and a press let go before the game's next turn is not seen.
  const memory = [];
  for (let i = 1; i <= TOGGLES; ++i) {
    await page.keyboard.down('F1');
    await w.waitFor(`toggle ${i}`, 5000, () => page.evaluate((full) => !!document.fullscreenElement === full, i % 2 === 1));
    await page.keyboard.up('F1');
    await w.sleep(i === TOGGLES ? 500 : 50);
    if (i === 1 || i === TOGGLES) memory.push(`MEMORY ${i} ${rssKib([...processes.renderer, ...processes.gpu])}`);
  }
  await browser.close();

  console.log(`PAGE ${fs.statSync(file).size}`);
  console.log(`FIRST ${firstFrame.toFixed(0)}`);
  for (const screen of ['menu', 'play', 'craft']) {
    const r = results[screen];
    console.log(`RATE ${screen} ${r.game.toFixed(1)} ${r.display.toFixed(1)} ${r.turnMs.median.toFixed(2)} ` +
                `${r.turnMs.p95.toFixed(2)} ${r.cpu[0]} ${r.cpu[1]}`);
  }
  for (const line of memory) console.log(line);
}

main().catch((e) => {
  console.error(e.message || e);
  process.exit(1);
});

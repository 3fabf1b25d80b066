// The browser build's frames are the desktop's: scripted sessions drawn by the
// replay tool built for the browser (quarn-replay.html, WebGL 2 through the
// GL 1.1 layer, in headless Chromium and in Firefox) and by the Linux build's
// quarn-replay (desktop OpenGL), compared pixel for pixel. The Linux pictures
// are drawn once for every browser in QUARN_BROWSERS (by default
// QUARN_BROWSER's, or Chromium).
//
// Two renderers may differ in two ways only. A colour like 0.1 x 255 = 25.5
// is stored as 25 by one and 26 by the other: within 1 per channel. And a
// texture sample whose pixel centre lies exactly on a texel boundary (row 7
// of a 40 x 30 tile samples t = 8.0 of 32 texels) goes to either texel,
// depending on the last bit of the renderer's interpolation. Such a pixel may
// show what the Linux build draws with the view nudged by 1/256 pixel either
// way (quarn-replay --nudge), which puts every tie on one side or the other
// and moves nothing else.
//
//   QUARN_REPLAY_PAGE=build-web/quarn-replay.html QUARN_LINUX_BUILD=build [QUARN_BROWSERS='chromium firefox'] \
//     node tests/web/frames-web.js
'use strict';

const {execFileSync} = require('child_process');
const fs = require('fs');
const os = require('os');
const path = require('path');
const w = require('./lib.js');

const root = path.resolve(__dirname, '..', '..');
// Menu with the pointer on a button, play with the dig sector and counts,
// the craft screen before and after a purchase, play again.
const sessions = [
  {script: 'tests/screens/full_session.script', seed: 2, frames: [3, 150, 400, 635, 638, 640, 646]},
  {script: 'docs/screens.script', seed: 7, frames: [2, 131, 137]},
];

const NUDGES = ['', '0.00390625,0.00390625', '-0.00390625,-0.00390625', '0.00390625,-0.00390625',
                '-0.00390625,0.00390625'];

// Per frame: the Linux build's picture, then the nudged ones.
function linuxShots(session, dir) {
  const tool = path.join(process.env.QUARN_LINUX_BUILD || path.join(root, 'build'), 'quarn-replay');
  if (!fs.existsSync(tool)) throw new Error(`no Linux replay tool at ${tool}: build build/ first`);
  const shots = session.frames.map(() => []);
  NUDGES.forEach((nudge, n) => {
    const args = ['--full', '--seed', String(session.seed), '--script', path.join(root, session.script)];
    if (nudge) args.push('--nudge', nudge);
    for (const f of session.frames) args.push('--screenshot', `${f}:${path.join(dir, `linux-${f}-${n}.bmp`)}`);
    execFileSync(tool, args, {cwd: path.join(root, 'data'), stdio: ['ignore', 'ignore', 'inherit']});
    session.frames.forEach((f, i) => shots[i].push(w.decodeBmp(fs.readFileSync(path.join(dir, `linux-${f}-${n}.bmp`)))));
  });
  return shots;
}

async function webShots(browser, session, dir, name) {
  const page = await browser.newPage();
  const args = ['--full', '--seed', String(session.seed), '--script', '/scripts/' + path.basename(session.script)];
  for (const f of session.frames) args.push('--screenshot', `${f}:/out/${f}.bmp`);
  const file = process.env.QUARN_REPLAY_PAGE;
  if (!file || !fs.existsSync(file)) throw new Error(`no replay page at ${file}: build build-web/ first`);
  await page.goto(w.fileUrl(page, file, '?args=' + encodeURIComponent(args.join(' '))));
  await w.waitFor('the replay tool to end', 120000, () => page.evaluate(() => replay.status !== null));
  const run = await page.evaluate(() => replay);
  if (run.status !== 0) throw new Error(`quarn-replay.html ended with status ${run.status}: ${run.err}`);
  const shots = [];
  for (const f of session.frames) {
    const base64 = await page.evaluate((name) => {
      const bytes = FS.readFile(name);
      let text = '';
      for (let i = 0; i < bytes.length; i += 0x8000) text += String.fromCharCode.apply(null, bytes.subarray(i, i + 0x8000));
      return btoa(text);
    }, `/out/${f}.bmp`);
    const bmp = Buffer.from(base64, 'base64');
    fs.writeFileSync(path.join(dir, `web-${name}-${f}.bmp`), bmp);
    shots.push(w.decodeBmp(bmp));
  }
  await page.close();
  return shots;
}

function channelDifference(a, b, i) {
  let d = 0;
  for (let k = 0; k < 3; ++k) d = Math.max(d, Math.abs(a.rgba[i + k] - b.rgba[i + k]));
  return d;
}

// Pixels that differ from the Linux picture, those that differ by more than 1,
// those that only a nudged picture explains, and the largest difference left
// once the nudged pictures are taken into account.
function compare(linux, web) {
  let differing = 0, beyondOne = 0, ties = 0, most = 0;
  for (let i = 0; i < web.rgba.length; i += 4) {
    const d = channelDifference(linux[0], web, i);
    if (d > 0) ++differing;
    if (d <= 1) continue;
    ++beyondOne;
    let best = d;
    for (const nudged of linux.slice(1)) best = Math.min(best, channelDifference(nudged, web, i));
    if (best <= 1) ++ties;
    most = Math.max(most, best);
  }
  return {differing, beyondOne, ties, most};
}

async function main() {
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'quarn-frames-web-'));
  const browsers = (process.env.QUARN_BROWSERS || w.BROWSER).split(/\s+/).filter(Boolean);
  const linux = sessions.map((session) => linuxShots(session, dir));
  let failed = 0;
  for (const name of browsers) {
    const started = Date.now();
    const browser = await w.launch({browser: name});
    try {
      for (const [s, session] of sessions.entries()) {
        const web = await webShots(browser, session, dir, name);
        session.frames.forEach((frame, i) => {
          if (web[i].width !== 800 || web[i].height !== 600) throw new Error(`web frame ${frame} is ${web[i].width} x ${web[i].height}`);
          const {differing, beyondOne, ties, most} = compare(linux[s][i], web[i]);
          const ok = most <= 1;
          if (!ok) ++failed;
          console.log(`${ok ? 'same' : 'DIFFERENT'}: ${name}: ${session.script} seed ${session.seed} frame ${frame}: ` +
                      `${differing} pixels differ, ${beyondOne} by more than 1, of which ${ties} are texel ties; ` +
                      `largest difference left ${most}`);
        });
      }
    } finally {
      await browser.close();
    }
    console.log(`${name}: ${((Date.now() - started) / 1000).toFixed(1)} s`);
  }
  if (failed) {
    console.error(`${failed} frames differ from the Linux build's by more than 1 in a channel; pictures in ${dir}`);
    process.exit(1);
  }
  fs.rmSync(dir, {recursive: true, force: true});
}

main().catch((e) => {
  console.error(e.message || e);
  process.exit(1);
});

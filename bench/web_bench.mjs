// SPDX-License-Identifier: MIT
// Measures the web page for bench/run.py and prints one JSON object:
// download sizes, the first frame against a blank page that only loads the
// same fonts, processor time while playing and pending timers while paused.
// Usage: node bench/web_bench.mjs SITE_DIR [--quick]
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import zlib from 'node:zlib';
import {launch, open, pending, quit, serve, started} from '../tests/web/harness.mjs';

const site = path.resolve(process.argv[2]);
const quick = process.argv.includes('--quick');
const gzip = (file) => zlib.gzipSync(fs.readFileSync(file), {level: 9}).length;

function sizes() {
  const page = ['index.html', 'boot.js', 'input.js', 'vorlane.js', 'vorlane.wasm'];
  const fonts = fs.readdirSync(path.join(site, 'fonts')).filter((f) => /\.(ttf|otf)$/.test(f));
  return {
    page: Object.fromEntries(page.map((f) => [f, gzip(path.join(site, f))])),
    fonts: fonts.reduce((sum, f) => sum + gzip(path.join(site, 'fonts', f)), 0),
    fontsRaw: fonts.reduce((sum, f) => sum + fs.statSync(path.join(site, 'fonts', f)).size, 0),
  };
}

// A page with the game's own font rules and nothing else, which says when
// its fonts are in and the next frame has been made.
function blankSite() {
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'vorlane-blank-'));
  fs.cpSync(path.join(site, 'fonts'), path.join(dir, 'fonts'), {recursive: true});
  const html = fs.readFileSync(path.join(site, 'index.html'), 'utf8');
  const style = html.slice(html.indexOf('<style>'), html.indexOf('</style>') + 8);
  fs.writeFileSync(path.join(dir, 'index.html'), `<!DOCTYPE html><html><head><meta charset="utf-8">
<title>fonts</title><link rel="icon" href="data:,">${style}</head><body><script>
var faces = [];
document.fonts.forEach(function (f) { faces.push(f.load()); });
Promise.all(faces).then(function () {
  requestAnimationFrame(function () { window.__firstFrame = performance.now(); });
});
</script></body></html>`);
  return dir;
}

// The game's first frame: drawn in the task that gives screen readers the
// counters, shown with the next animation frame.
function watchFirstFrame() {
  new MutationObserver(function (changes, observer) {
    if (!document.querySelector('#counters li')) return;
    observer.disconnect();
    requestAnimationFrame(function () { window.__firstFrame = performance.now(); });
  }).observe(document, {childList: true, subtree: true});
}

async function firstFrame(browser, url, watch) {
  const page = await browser.newPage();
  await page.setCacheEnabled(false);
  if (watch) await page.evaluateOnNewDocument(watch);
  await page.goto(url);
  await page.waitForFunction(() => window.__firstFrame !== undefined, {timeout: 30000});
  const ms = await page.evaluate(() => window.__firstFrame);
  await page.close();
  return ms;
}

const median = (v) => { const s = [...v].sort((a, b) => a - b); return s[Math.floor(s.length / 2)]; };

async function metric(session, name) {
  const {metrics} = await session.send('Performance.getMetrics');
  return metrics.find((m) => m.name === name).value;
}

// One session of play: the page's main-thread task time over `playMs` of
// play after the curtain and the intro, a key pressed every second. The page
// is opened as a player opens it: the tests' count of pending timers wraps
// every timeout the game sets, which costs time of its own.
async function play(browser, url, playMs) {
  const page = await browser.newPage();
  await page.setViewport({width: 640, height: 560});
  await page.goto(url);
  await started(page);
  const session = await page.createCDPSession();
  await session.send('Performance.enable', {timeDomain: 'threadTicks'});
  await new Promise((resolve) => setTimeout(resolve, 5000));  // the curtain and the intro
  const busy0 = await metric(session, 'TaskDuration');
  const t0 = Date.now();
  const keys = ['ArrowLeft', 'ArrowRight', 'a', 's'];
  for (let k = 0; Date.now() - t0 < playMs; k++) {
    await new Promise((resolve) => setTimeout(resolve, 1000));
    await page.keyboard.press(keys[k % keys.length]);
  }
  const busy = await metric(session, 'TaskDuration') - busy0;
  const wall = (Date.now() - t0) / 1000;
  const gameOver = await page.evaluate(() => Array.from(document.querySelectorAll('#window button'))
      .some((b) => b.textContent === 'Game Over' && !b.hidden));
  await page.close();
  return {cpuPercent: (100 * busy) / wall, gameOver};
}

const result = {sizes: sizes()};
const server = await serve(site);
const blankDir = blankSite();
const blank = await serve(blankDir);
const browser = await launch();
try {
  // First frames, the two pages in turn.
  const runs = quick ? 5 : 15;
  const game = [], bare = [];
  for (let k = 0; k < runs; k++) {
    game.push(await firstFrame(browser, server.url, watchFirstFrame));
    bare.push(await firstFrame(browser, blank.url, null));
  }
  result.firstFrame = {game: median(game), blank: median(bare), runs};

  // Processor time of the page's main thread while playing, with a key now
  // and then, in three fresh pages in turn: the figure moves more from page
  // to page than within one, so the median is reported, with all three.
  const sessions = quick ? 1 : 3;
  const playMs = quick ? 10000 : 20000;
  const plays = [];
  for (let k = 0; k < sessions; k++) plays.push(await play(browser, server.url, playMs));
  const cpu = plays.map((p) => p.cpuPercent);
  result.play = {cpuPercent: median(cpu), sessions: cpu, seconds: playMs / 1000,
                 gameOver: plays.some((p) => p.gameOver)};

  // Then paused, in a page whose pending timers are counted.
  const counted = await open(browser, server.url);
  await started(counted);
  const session = await counted.createCDPSession();
  await session.send('Performance.enable', {timeDomain: 'threadTicks'});
  await new Promise((resolve) => setTimeout(resolve, 5000));  // the curtain and the intro
  await counted.keyboard.press('p');
  await counted.waitForFunction(() => Array.from(document.querySelectorAll('#window button'))
      .some((b) => b.textContent === 'Pause' && !b.hidden));
  const holdMs = quick ? 3000 : 10000;
  const idle0 = await metric(session, 'TaskDuration');
  await new Promise((resolve) => setTimeout(resolve, holdMs));
  result.paused = {...(await pending(counted)),
                   cpuPercent: (100 * (await metric(session, 'TaskDuration') - idle0)) / (holdMs / 1000),
                   seconds: holdMs / 1000};
  await counted.close();
} finally {
  await quit(browser);
  await server.close();
  await blank.close();
  fs.rmSync(blankDir, {recursive: true, force: true});
}
console.log(JSON.stringify(result));

// SPDX-License-Identifier: MIT
// Measures the web page for bench/run.py and prints one JSON object: what a
// first visit transfers, the first frame on a phone's profile (a first visit
// against a floor page, and a repeat one served by the service worker), the
// main thread's blocking and the layout's shifts on that first visit,
// Lighthouse's mobile audit, processor time while playing against a floor
// page, and pending timers while paused.
// Usage: node bench/web_bench.mjs SITE_DIR [--quick]
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import zlib from 'node:zlib';
import {createRequire} from 'node:module';
import {pathToFileURL} from 'node:url';
import {launch, open, pending, quit, serve, started} from '../tests/web/harness.mjs';

// Lighthouse, as tests/web's lock file pins it.
const {default: lighthouse} = await import(pathToFileURL(
    createRequire(new URL('../tests/web/package.json', import.meta.url)).resolve('lighthouse')).href);

const site = path.resolve(process.argv[2]);
const quick = process.argv.includes('--quick');
const gzip = (file) => zlib.gzipSync(fs.readFileSync(file), {level: 9}).length;

// Every file of the site, as the service worker lists them, and the worker:
// a first visit fetches all of them (the page's own, then the precache).
function sizes() {
  const listed = fs.readFileSync(path.join(site, 'sw.js'), 'utf8').match(/files: \[([^\]]*)\]/)[1];
  const files = ['sw.js', ...listed.split(', ').map((f) => f.slice(1, -1))];
  const parts = {code: 0, fonts: 0, licences: 0, icons: 0};
  const each = {};
  for (const f of files) {
    const n = gzip(path.join(site, f));
    each[f] = n;
    if (f.endsWith('.woff2')) parts.fonts += n;
    else if (f.endsWith('.txt')) parts.licences += n;
    else if (f.endsWith('.png')) parts.icons += n;
    else parts.code += n;
  }
  return {total: Object.values(each).reduce((a, b) => a + b, 0), parts, each, files: files.length};
}

// The game's first frame: drawn in the task that gives screen readers the
// counters, shown with the next animation frame. Meanwhile the long tasks
// (their time past 50 ms blocks the main thread, as Total Blocking Time
// counts it) and the layout's shifts are summed.
function watchFirstFrame() {
  window.__blocking = 0;
  window.__shift = 0;
  new PerformanceObserver((list) => {
    for (const e of list.getEntries()) window.__blocking += Math.max(0, e.duration - 50);
  }).observe({type: 'longtask', buffered: true});
  new PerformanceObserver((list) => {
    for (const e of list.getEntries()) if (!e.hadRecentInput) window.__shift += e.value;
  }).observe({type: 'layout-shift', buffered: true});
  new MutationObserver(function (changes, observer) {
    if (!document.querySelector('#counters li')) return;
    observer.disconnect();
    requestAnimationFrame(function () { window.__firstFrame = performance.now(); });
  }).observe(document, {childList: true, subtree: true});
}

// A mid-range phone on a slow mobile network: its screen, a processor four
// times slower than this one, 1.6 Mbit/s down and 150 ms of round trip.
async function phone(page) {
  await page.setViewport({width: 390, height: 844, isMobile: true, hasTouch: true, deviceScaleFactor: 3});
  const session = await page.createCDPSession();
  await session.send('Emulation.setCPUThrottlingRate', {rate: 4});
  await session.send('Network.enable');
  await session.send('Network.emulateNetworkConditions', {
    offline: false, latency: 150, downloadThroughput: 1.6e6 / 8, uploadThroughput: 0.75e6 / 8});
  await page.evaluateOnNewDocument(watchFirstFrame);
}

async function firstFrameOf(page) {
  await page.waitForFunction(() => window.__firstFrame !== undefined, {timeout: 60000});
  return page.evaluate(() => window.__firstFrame);
}

// The blocking time and the layout's shift of a first visit, up to a
// second after the first frame (the curtain's opening included).
async function loadCost(page, firstMs) {
  await page.waitForFunction((end) => performance.now() > end, {timeout: 60000, polling: 100}, firstMs + 1000);
  return page.evaluate(() => ({blockingMs: window.__blocking, shift: window.__shift}));
}

// A page of a fresh profile (nothing cached, no service worker) that
// `work(visit)` opens on the phone's profile with visit(url).
async function freshProfile(browser, work) {
  const context = await browser.createBrowserContext();
  try {
    return await work(async (url) => {
      const page = await context.newPage();
      await phone(page);
      await page.goto(url);
      return page;
    });
  } finally {
    await context.close();
  }
}

// A first visit, then, once the service worker has the site, a repeat
// visit in a new tab.
function phoneVisits(browser, url) {
  return freshProfile(browser, async (visit) => {
    const first = await visit(url);
    const firstMs = await firstFrameOf(first);
    const cost = await loadCost(first, firstMs);
    await first.waitForFunction(() => navigator.serviceWorker.controller !== null, {timeout: 60000});
    await first.close();
    const again = await visit(url);
    const repeatMs = await firstFrameOf(again);
    const served = await again.evaluate(() => navigator.serviceWorker.controller !== null);
    await again.close();
    return {firstMs, repeatMs, served, ...cost};
  });
}

// The floor of a first frame: the site's own page (its shell, styles and
// fonts) with no game code, whose script draws its canvas once, at the
// design size and the device's ratio, when the fonts are in, and then lists
// a counter, which is what marks the game's first frame.
function floorFrameSite() {
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'vorlane-floor-frame-'));
  fs.cpSync(site, dir, {recursive: true});
  fs.rmSync(path.join(dir, 'sw.js'));
  const html = fs.readFileSync(path.join(site, 'index.html'), 'utf8')
      .replace(/<link rel="(module)?preload" href="[^"]*\.(js|wasm)"[^>]*>\n?/g, '')
      .replace(/<script\b[^>]*\bsrc=[^>]*><\/script>\n?/g, '')
      .replace('</body>', `<script>
Promise.all(Array.from(document.fonts, (f) => f.load())).then(() => {
  const root = document.getElementById('window'), canvas = document.getElementById('surface');
  const r = devicePixelRatio;
  canvas.width = Math.round(root.offsetWidth * r);
  canvas.height = Math.round(root.offsetHeight * r);
  canvas.style.width = root.offsetWidth + 'px';
  const ctx = canvas.getContext('2d', {alpha: false});
  ctx.fillStyle = '#ff0';
  ctx.fillRect(0, 0, canvas.width, canvas.height);
  ctx.font = 'bold 16px "Vorlane Counters"';
  ctx.fillStyle = '#000';
  ctx.fillText('Score:000000', 10 * r, 20 * r);
  document.getElementById('progress').hidden = true;
  document.getElementById('counters').appendChild(document.createElement('li'));
});
</script>
</body>`);
  fs.writeFileSync(path.join(dir, 'index.html'), html);
  return dir;
}

// A first visit to the floor page, on the same profile.
const floorVisit = (browser, url) => freshProfile(browser, async (visit) => firstFrameOf(await visit(url)));

// Lighthouse's mobile audit (its simulated phone: 4x slower CPU, 1.6 Mbit/s,
// 150 ms round trip) of a first visit, in the same Chromium: the scores of
// its four categories and the performance metrics.
async function audit(url, runs) {
  const browser = await launch();
  const results = [];
  try {
    const port = Number(new URL(browser.wsEndpoint()).port);
    for (let k = 0; k < runs; k++) {
      const {lhr} = await lighthouse(url, {port, output: 'json', logLevel: 'error'});
      const score = (c) => Math.round(lhr.categories[c].score * 100);
      const ms = (a) => lhr.audits[a].numericValue;
      results.push({performance: score('performance'), accessibility: score('accessibility'),
                    bestPractices: score('best-practices'), seo: score('seo'),
                    fcpMs: ms('first-contentful-paint'), lcpMs: ms('largest-contentful-paint'),
                    tbtMs: ms('total-blocking-time'), cls: ms('cumulative-layout-shift')});
    }
  } finally {
    await quit(browser);
  }
  // The run whose performance score is the median.
  const sorted = [...results].sort((a, b) => a.performance - b.performance);
  return {...sorted[Math.floor(sorted.length / 2)], performances: results.map((r) => r.performance), runs};
}

// The floor: a page whose only work is a 50 ms timeout that fills a small
// desynchronized canvas once, what any page ticking like the game costs.
function floorSite() {
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'vorlane-floor-'));
  fs.writeFileSync(path.join(dir, 'index.html'), `<!DOCTYPE html><html><head><meta charset="utf-8">
<title>floor</title><link rel="icon" href="data:,"></head><body>
<canvas id="c" width="100" height="100"></canvas><script>
const ctx = document.getElementById('c').getContext('2d', {desynchronized: true});
let k = 0;
function tick() {
  ctx.fillStyle = (k++ & 1) ? '#ff0' : '#f00';
  ctx.fillRect(0, 0, 100, 100);
  setTimeout(tick, 50);
}
setTimeout(tick, 50);
</script></body></html>`);
  return dir;
}

const median = (v) => { const s = [...v].sort((a, b) => a - b); return s[Math.floor(s.length / 2)]; };

async function metric(session, name) {
  const {metrics} = await session.send('Performance.getMetrics');
  return metrics.find((m) => m.name === name).value;
}

// One session: the game's page and the floor page side by side over the
// same `playMs`, after the curtain and the intro, each given a key every
// second; their main threads' task time. Measured together, the machine's
// moods move both alike, and the ratio holds from run to run. Each page has
// a window of its own (a browser context): a tab behind another is hidden,
// and a hidden game pauses. The game's page is opened as a player opens it:
// the tests' count of pending timers wraps every timeout the game sets,
// which costs time of its own.
async function play(browser, gameUrl, floorUrl, playMs) {
  const windowed = async (url, game) => {
    const context = await browser.createBrowserContext();
    const page = await context.newPage();
    await page.setViewport({width: 640, height: 560});
    await page.goto(url);
    if (game) await started(page);
    const session = await page.createCDPSession();
    await session.send('Performance.enable', {timeDomain: 'threadTicks'});
    return {context, page, session};
  };
  const pages = [await windowed(gameUrl, true), await windowed(floorUrl, false)];
  await new Promise((resolve) => setTimeout(resolve, 5000));  // the curtain and the intro
  const busy0 = await Promise.all(pages.map((p) => metric(p.session, 'TaskDuration')));
  const t0 = Date.now();
  const keys = ['ArrowLeft', 'ArrowRight', 'a', 's'];
  for (let k = 0; Date.now() - t0 < playMs; k++) {
    await new Promise((resolve) => setTimeout(resolve, 1000));
    for (const p of pages) await p.page.keyboard.press(keys[k % keys.length]);
  }
  const busy = await Promise.all(pages.map((p) => metric(p.session, 'TaskDuration')));
  const wall = (Date.now() - t0) / 1000;
  const gameOver = await pages[0].page.evaluate(() => Array.from(document.querySelectorAll('#window button'))
      .some((b) => b.textContent === 'Game Over' && !b.hidden));
  for (const p of pages) await p.context.close();
  const [game, floor] = busy.map((b, k) => (100 * (b - busy0[k])) / wall);
  return {cpuPercent: game, floorPercent: floor, ratio: game / floor, gameOver};
}

const result = {sizes: sizes()};
const server = await serve(site, {gzip: true});
const floorDir = floorSite();
const floor = await serve(floorDir);
const floorFrameDir = floorFrameSite();
const floorFrame = await serve(floorFrameDir, {gzip: true});
const browser = await launch();
try {
  // First frames on the phone's profile, each run in a fresh profile, the
  // game's page and the floor page in turn.
  const runs = quick ? 3 : 5;
  const visits = [], floorFirsts = [];
  for (let k = 0; k < runs; k++) {
    visits.push(await phoneVisits(browser, server.url));
    floorFirsts.push(await floorVisit(browser, floorFrame.url));
  }
  result.phone = {first: median(visits.map((v) => v.firstMs)), repeat: median(visits.map((v) => v.repeatMs)),
                  firsts: visits.map((v) => Math.round(v.firstMs)),
                  repeats: visits.map((v) => Math.round(v.repeatMs)),
                  floor: median(floorFirsts), floors: floorFirsts.map(Math.round),
                  blockingMs: median(visits.map((v) => v.blockingMs)),
                  blockings: visits.map((v) => Math.round(v.blockingMs)),
                  shift: median(visits.map((v) => v.shift)),
                  shifts: visits.map((v) => Number(v.shift.toFixed(4))),
                  served: visits.every((v) => v.served), runs};
  result.lighthouse = await audit(server.url, quick ? 1 : 5);

  // Processor time of the page's main thread while playing, with a key now
  // and then, against the floor page beside it, in fresh pages each
  // session: the median session's ratio is reported. Five sessions, as a
  // session now and then reads a tenth or more off the others (the first
  // after the audits above, say), and the median of three then moves with it.
  const sessions = quick ? 1 : 5;
  const playMs = quick ? 10000 : 15000;
  const plays = [];
  for (let k = 0; k < sessions; k++) plays.push(await play(browser, server.url, floor.url, playMs));
  const ratios = plays.map((p) => p.ratio);
  result.play = {ratio: median(ratios), ratios, sessions: plays.map((p) => p.cpuPercent),
                 floorSessions: plays.map((p) => p.floorPercent),
                 seconds: playMs / 1000, gameOver: plays.some((p) => p.gameOver)};

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
  await floor.close();
  await floorFrame.close();
  fs.rmSync(floorDir, {recursive: true, force: true});
  fs.rmSync(floorFrameDir, {recursive: true, force: true});
}
console.log(JSON.stringify(result));

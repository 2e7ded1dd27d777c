// SPDX-License-Identifier: MIT
// What the browser tests share: a static server for a built site, a fresh
// headless Chromium, pages that count their pending timers, screenshots
// read by their pixels, and waiting for a condition with a deadline.
import fs from 'node:fs';
import http from 'node:http';
import os from 'node:os';
import path from 'node:path';
import zlib from 'node:zlib';
import {createRequire} from 'node:module';
import {after, before} from 'node:test';
import {PNG} from 'pngjs';
import puppeteer from 'puppeteer-core';

export const shippedSite = process.env.VORLANE_SITE;
export const testSite = process.env.VORLANE_TEST_SITE;
export const screenshotDir = process.env.VORLANE_SCREENSHOTS || os.tmpdir();

// The well's geometry in CSS pixels: cells of 292 twips (the design width
// over 20) at 15 twips a pixel, from the corner the walls start at.
export const cell = 292 / 15;
const wellOrigin = {x: 4, y: 3};
export function wellCell(row, col) {
  const left = Math.round(wellOrigin.x + col * cell), top = Math.round(wellOrigin.y + row * cell);
  return {x: left, y: top, w: Math.round(wellOrigin.x + (col + 1) * cell) - left,
          h: Math.round(wellOrigin.y + (row + 1) * cell) - top};
}

const types = {
  '.html': 'text/html; charset=utf-8', '.js': 'text/javascript', '.wasm': 'application/wasm',
  '.css': 'text/css', '.ttf': 'font/ttf', '.otf': 'font/otf', '.woff2': 'font/woff2',
  '.png': 'image/png', '.webmanifest': 'application/manifest+json', '.json': 'application/json',
  '.txt': 'text/plain; charset=utf-8',
};

// Serves `dir` on 127.0.0.1 at a free port; with {gzip: true}, compressed
// as a web server would send it to a browser that accepts gzip. close()
// stops it and drops its open connections at once, as a network gone would.
export async function serve(dir, {gzip = false} = {}) {
  const server = http.createServer((req, res) => {
    const url = new URL(req.url, 'http://localhost');
    const name = url.pathname === '/' ? '/index.html' : decodeURIComponent(url.pathname);
    const file = path.join(dir, path.normalize(name));
    if (!file.startsWith(dir) || !fs.existsSync(file) || fs.statSync(file).isDirectory()) {
      res.writeHead(404).end();
      return;
    }
    const headers = {'Content-Type': types[path.extname(file)] || 'application/octet-stream',
                     'Cache-Control': 'no-store'};
    if (gzip && /\bgzip\b/.test(req.headers['accept-encoding'] || '') && !/\.(png|woff2)$/.test(file)) {
      const body = zlib.gzipSync(fs.readFileSync(file), {level: 9});
      res.writeHead(200, {...headers, 'Content-Encoding': 'gzip', 'Content-Length': body.length});
      res.end(body);
      return;
    }
    res.writeHead(200, {...headers, 'Content-Length': fs.statSync(file).size});
    fs.createReadStream(file).pipe(res);
  });
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  return {url: `http://127.0.0.1:${server.address().port}/`,
          close: () => new Promise((resolve) => {
            server.close(resolve);
            server.closeAllConnections();
          })};
}

export async function launch() {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'vorlane-chromium-'));
  const browser = await puppeteer.launch({
    executablePath: process.env.VORLANE_CHROMIUM || '/usr/bin/chromium',
    headless: true,
    userDataDir: profile,
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
           '--disable-background-networking', '--disable-component-update', '--disable-sync',
           '--disable-dev-shm-usage'],
  });
  browser.profile = profile;
  return browser;
}

// Closes the browser and removes its profile once it has let go of it.
export async function quit(browser) {
  if (!browser) return;
  await browser.close();
  try {
    fs.rmSync(browser.profile, {recursive: true, force: true, maxRetries: 10, retryDelay: 100});
  } catch {
    // A profile left in the temporary directory is harmless.
  }
}

// Counts the page's pending timeouts, intervals and animation frames.
function countPending() {
  const timers = new Set(), frames = new Set(), intervals = new Set();
  const {setTimeout: st, clearTimeout: ct, setInterval: si, clearInterval: ci,
         requestAnimationFrame: raf, cancelAnimationFrame: caf} = window;
  window.setTimeout = function (fn, ms, ...args) {
    const id = st.call(window, (...a) => { timers.delete(id); fn(...a); }, ms, ...args);
    timers.add(id);
    return id;
  };
  window.clearTimeout = (id) => { timers.delete(id); ct.call(window, id); };
  window.setInterval = function (...args) { const id = si.apply(window, args); intervals.add(id); return id; };
  window.clearInterval = (id) => { intervals.delete(id); ci.call(window, id); };
  window.requestAnimationFrame = (fn) => {
    const id = raf.call(window, (t) => { frames.delete(id); fn(t); });
    frames.add(id);
    return id;
  };
  window.cancelAnimationFrame = (id) => { frames.delete(id); caf.call(window, id); };
  window.__pending = () => ({timers: timers.size, intervals: intervals.size, frames: frames.size});
}

// A page at `url` whose pending timers can be counted, its errors kept.
// One static server for `site` and one browser for the whole test file,
// started before its first test and closed after its last.
export function serveAndLaunch(site) {
  const ctx = {server: null, browser: null};
  before(async () => {
    ctx.server = await serve(site);
    ctx.browser = await launch();
  });
  after(async () => {
    await quit(ctx.browser);
    await ctx.server?.close();
  });
  return ctx;
}

// `before(page)`, when given, runs before the page is loaded.
export async function open(browser, url, {viewport = {width: 640, height: 560}, before} = {}) {
  const page = await browser.newPage();
  page.errors = [];
  page.on('pageerror', (e) => page.errors.push(e.message));
  await page.setViewport(viewport);
  await page.evaluateOnNewDocument(countPending);
  if (before) await before(page);
  await page.goto(url);
  return page;
}

export const pending = (page) => page.evaluate(() => window.__pending());

// The game has loaded once screen readers have its counters.
export async function started(page) {
  await page.waitForFunction(() => document.querySelectorAll('#counters li').length >= 4,
                             {timeout: 30000});
}

// The counters as screen readers have them: {scorelabel: 'Score:000000', ...}.
export function counters(page) {
  return page.evaluate(() => Object.fromEntries(Array.from(
      document.querySelectorAll('#counters li'), (li) => [li.dataset.label, li.textContent])));
}

// A screenshot of the game window, decoded; kept as NAME.png for a look
// when a test fails.
export async function shot(page, name) {
  const element = await page.$('#window');
  const bytes = await element.screenshot({type: 'png'});
  if (name) fs.writeFileSync(path.join(screenshotDir, `web-${name}.png`), bytes);
  return PNG.sync.read(Buffer.from(bytes));
}

export function pixel(png, x, y) {
  const i = (Math.round(y) * png.width + Math.round(x)) * 4;
  return [png.data[i], png.data[i + 1], png.data[i + 2]];
}

export const near = (a, b, tolerance = 24) => a.every((v, k) => Math.abs(v - b[k]) <= tolerance);
export const YELLOW = [255, 255, 0];
export const BLUE = [0, 0, 255];
export const RED = [255, 0, 0];
export const BLACK = [0, 0, 0];

// What a rectangle of the picture holds: its commonest colour other than
// black, and the share of black pixels (the hatch lines).
export function summary(png, r) {
  const counts = new Map();
  let black = 0, all = 0;
  for (let y = Math.ceil(r.y); y < Math.floor(r.y + r.h); y++) {
    for (let x = Math.ceil(r.x); x < Math.floor(r.x + r.w); x++) {
      const p = pixel(png, x, y);
      all++;
      if (near(p, BLACK, 40)) { black++; continue; }
      const key = p.join(',');
      counts.set(key, (counts.get(key) || 0) + 1);
    }
  }
  let colour = null, best = 0;
  for (const [key, n] of counts) if (n > best) { best = n; colour = key.split(',').map(Number); }
  return {colour, black: all ? black / all : 0};
}

// The inside of well cell (row, col), within its 4-pixel border.
export const cellInside = (row, col) => {
  const c = wellCell(row, col);
  return {x: c.x + 5, y: c.y + 5, w: c.w - 10, h: c.h - 10};
};

// Which cells of the well's inside (rows 1-20, columns 1-10) hold a block.
export function filledCells(png) {
  const cells = [];
  for (let row = 1; row <= 20; row++) {
    for (let col = 1; col <= 10; col++) {
      const c = wellCell(row, col);
      if (!near(pixel(png, c.x + c.w / 2, c.y + c.h / 2), YELLOW, 8)) cells.push([row, col]);
    }
  }
  return cells;
}

// Polls `probe` until it returns something truthy, and returns that; fails
// with `what` when `timeout` ms pass first.
export async function waitFor(what, probe, {timeout = 30000, every = 40} = {}) {
  const end = Date.now() + timeout;
  for (;;) {
    const value = await probe();
    if (value) return value;
    if (Date.now() > end) throw new Error(`timed out waiting for ${what}`);
    await new Promise((resolve) => setTimeout(resolve, every));
  }
}

// The wall cells: the top and bottom rows and the outer columns.
export function wallCells() {
  const cells = [];
  for (let col = 0; col <= 11; col++) cells.push([0, col], [21, col]);
  for (let row = 1; row <= 20; row++) cells.push([row, 0], [row, 11]);
  return cells;
}

// Whether every wall cell shows as the design has it: red, hatched, with a
// blue border. The curtain hides them until it has opened. A new piece
// passes over the top row: {top: false} leaves that row out.
export function wallsShown(png, {top = true} = {}) {
  return wallCells().filter(([row]) => top || row !== 0).every(([row, col]) => {
    const inside = summary(png, cellInside(row, col));
    const c = wellCell(row, col);
    return inside.colour && near(inside.colour, RED, 8) && inside.black > 0.1 && inside.black < 0.5 &&
        near(pixel(png, c.x + 1, c.y + c.h / 2), BLUE, 8);
  });
}

// The box around everything that is not the well's yellow inside the
// walls, in cells: {left, top, width, height}, or null for an empty well.
export function pieceBox(png) {
  const first = wellCell(1, 1), last = wellCell(20, 10);
  let x0 = Infinity, y0 = Infinity, x1 = -1, y1 = -1;
  // Two pixels in from the walls, whose edges round either way.
  for (let y = first.y + 2; y < last.y + last.h - 2; y++) {
    for (let x = first.x + 2; x < last.x + last.w - 2; x++) {
      if (near(pixel(png, x, y), YELLOW, 8)) continue;
      x0 = Math.min(x0, x); y0 = Math.min(y0, y); x1 = Math.max(x1, x); y1 = Math.max(y1, y);
    }
  }
  if (x1 < 0) return null;
  return {left: Math.round((x0 - 4) / cell), top: (y0 - 3) / cell,
          width: Math.round((x1 - x0 + 1) / cell), height: Math.round((y1 - y0 + 1) / cell)};
}

// The page's button with this caption, if it is on show: its box, and a
// point where a click reaches it (null while the curtain's panels, which
// lie above the buttons, cover it all).
export function shownButton(page, caption) {
  return page.evaluate((text) => {
    const b = Array.from(document.querySelectorAll('#window button'))
        .find((e) => e.textContent === text && !e.hidden);
    if (!b) return null;
    const r = b.getBoundingClientRect();
    let point = null;
    for (let i = 1; i < 8 && !point; i++) {
      for (let j = 1; j < 8 && !point; j++) {
        const x = r.x + (r.width * j) / 8, y = r.y + (r.height * i) / 8;
        if (document.elementFromPoint(x, y) === b) point = {x, y};
      }
    }
    return {x: r.x, y: r.y, width: r.width, height: r.height, disabled: b.disabled, point};
  }, caption);
}

export const windowBox = (page) => page.evaluate(() => {
  const r = document.getElementById('window').getBoundingClientRect();
  return {x: r.x, y: r.y, width: r.width, height: r.height};
});

// axe-core's audit of the page as it is now (pinned by package-lock.json):
// its violations, each as "rule: the elements it found".
const axeSource = createRequire(import.meta.url).resolve('axe-core/axe.min.js');
export async function accessibilityViolations(page) {
  if (!(await page.evaluate(() => typeof window.axe === 'object'))) await page.addScriptTag({path: axeSource});
  const violations = await page.evaluate(async () => (await window.axe.run(document)).violations);
  return violations.map((v) => `${v.id}: ${v.nodes.map((n) => n.target.join(' ')).join(', ')}`);
}

// SPDX-License-Identifier: MIT
// The page as an installed, offline web app, and its start-up: the
// manifest and icons, play with the server gone once the service worker
// has the site, play without a service worker, what a missing or broken
// file says, the progress line and the window's place while loading, and
// every caption's glyphs in the cut fonts.
import assert from 'node:assert/strict';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import {test} from 'node:test';
import zlib from 'node:zlib';
import {PNG} from 'pngjs';
import {launch, open, pieceBox, quit, serve, serveAndLaunch, shippedSite, shot, started, testSite,
        waitFor, wallsShown, wellCell} from './harness.mjs';

const ctx = serveAndLaunch(shippedSite);

// A key moves the first piece of the tests' seeded game (three cells wide,
// two high) one column left: the game plays.
async function keyMovesPiece(page) {
  const first = await waitFor('the first piece in the well', async () => {
    const b = pieceBox(await shot(page));
    return b && b.width === 3 && b.height === 2 && b.top < 9 ? b : null;
  });
  await page.keyboard.press('ArrowLeft');
  await waitFor('the piece one column left', async () => pieceBox(await shot(page))?.left === first.left - 1);
}

// A copy of a site to spoil.
function copySite(site, spoil) {
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'vorlane-site-'));
  fs.cpSync(site, dir, {recursive: true});
  spoil(dir);
  return dir;
}

test('installable: the manifest, its icons, and no installability errors', async () => {
  const page = await open(ctx.browser, ctx.server.url);
  await started(page);
  const session = await page.createCDPSession();
  const manifest = await session.send('Page.getAppManifest');
  assert.ok(manifest.url.endsWith('/manifest.webmanifest'), manifest.url);
  assert.deepEqual(manifest.errors, []);
  const {installabilityErrors} = await session.send('Page.getInstallabilityErrors');
  assert.deepEqual(installabilityErrors, []);
  const data = JSON.parse(manifest.data);
  assert.equal(data.name, 'Vorlane');
  const background = await page.evaluate(() => getComputedStyle(document.body).backgroundColor);
  assert.equal(background, 'rgb(60, 60, 60)');
  assert.equal(data.background_color, '#3c3c3c', 'the page\'s background');
  assert.equal(await page.$eval('meta[name="theme-color"]', (m) => m.content), data.theme_color);

  // Each icon as big as it says; a maskable one has its picture inside the
  // safe circle (80 % of the width) on the background colour.
  for (const icon of data.icons) {
    const png = PNG.sync.read(fs.readFileSync(path.join(shippedSite, icon.src)));
    const size = Number(icon.sizes.split('x')[0]);
    assert.deepEqual([png.width, png.height], [size, size], icon.src);
    if (icon.purpose !== 'maskable') continue;
    let outside = 0;
    for (let y = 0; y < size; y++) {
      for (let x = 0; x < size; x++) {
        const i = (y * size + x) * 4;
        const background = png.data[i] === 0x3c && png.data[i + 1] === 0x3c && png.data[i + 2] === 0x3c &&
            png.data[i + 3] === 255;
        if (!background && Math.hypot(x + 0.5 - size / 2, y + 0.5 - size / 2) > 0.4 * size) outside++;
      }
    }
    assert.equal(outside, 0, `${icon.src}: pixels of the picture outside the safe circle`);
  }
  assert.deepEqual(data.icons.map((i) => `${i.sizes} ${i.purpose}`).sort(),
                   ['192x192 any', '192x192 maskable', '512x512 any', '512x512 maskable']);
  await page.close();
});

test('offline: once the service worker has the site, the game loads and plays with the server gone', async () => {
  const server = await serve(testSite);
  const browser = await launch();
  try {
    const page = await open(browser, `${server.url}?seed=7`);
    await started(page);
    // The first install claims the page; the worker's cache holds the site.
    await page.waitForFunction(() => navigator.serviceWorker.controller !== null, {timeout: 30000});
    const cached = await page.evaluate(async () => {
      const keys = await caches.keys();
      const cache = await caches.open(keys[0]);
      return {keys, files: (await cache.keys()).map((r) => new URL(r.url).pathname.slice(1)).sort()};
    });
    assert.equal(cached.keys.length, 1);
    assert.match(cached.keys[0], /^vorlane-[0-9a-f]{16}$/);
    const listed = fs.readFileSync(path.join(testSite, 'sw.js'), 'utf8').match(/files: \[([^\]]*)\]/)[1];
    assert.deepEqual(cached.files, listed.split(', ').map((f) => f.slice(1, -1)).sort());
    assert.ok(cached.files.includes('vorlane.wasm') && cached.files.includes('index.html'));

    // DevTools' offline mode does not reach the worker: the server goes.
    await server.close();
    await page.reload();
    await started(page);
    await keyMovesPiece(page);
    assert.deepEqual(page.errors, []);
    await page.close();
  } finally {
    await quit(browser);
    await server.close();
  }
});

test('without service workers, with them refused, or with a failed precache, the game plays', async () => {
  const server = await serve(testSite);
  const broken = copySite(testSite, (dir) => fs.rmSync(path.join(dir, 'icons', 'vorlane-512.png')));
  const brokenServer = await serve(broken);
  const browser = await launch();
  try {
    const cases = [
      ['no service worker', server.url, () => { delete Navigator.prototype.serviceWorker; }],
      ['registration refused', server.url, () => {
        ServiceWorkerContainer.prototype.register = () => Promise.reject(new DOMException('refused', 'SecurityError'));
      }],
      ['registration throws', server.url, () => {
        ServiceWorkerContainer.prototype.register = () => { throw new DOMException('refused', 'SecurityError'); };
      }],
      ['a file of the precache missing', brokenServer.url, () => {}],
    ];
    for (const [what, url, setUp] of cases) {
      const page = await browser.newPage();
      page.errors = [];
      page.on('pageerror', (e) => page.errors.push(e.message));
      await page.setViewport({width: 640, height: 560});
      await page.evaluateOnNewDocument(setUp);
      await page.goto(`${url}?seed=7`);
      await started(page);
      await keyMovesPiece(page);
      assert.deepEqual(page.errors, [], what);
      assert.ok(await page.evaluate(() => document.getElementById('fault').hidden), `${what}: no fault shown`);
      if (what === 'a file of the precache missing') {
        // The install failed: no worker controls the page, and no cache is left.
        assert.equal(await page.evaluate(() => navigator.serviceWorker.controller), null);
      }
      await page.close();
    }
  } finally {
    await quit(browser);
    await server.close();
    await brokenServer.close();
    fs.rmSync(broken, {recursive: true, force: true});
  }
});

test('a missing, broken or unreachable file is named truthfully in one readable message, the pad hidden', async () => {
  const font = 'fonts/VorlaneCounters-Bold.woff2';
  const gone = (file) => (dir) => fs.rmSync(path.join(dir, file));
  const spoilt = (file) => (dir) => fs.writeFileSync(path.join(dir, file), 'not what it should be');
  // The network fails on the way to a file: the browser is refused it.
  const cut = (file) => async (page) => {
    const session = await page.createCDPSession();
    await session.send('Network.enable');
    await session.send('Network.setBlockedURLs', {urls: [`*/${file}`]});
  };
  const missing = (what) => new RegExp(`${what} is missing from the site \\(the server answered HTTP 404\\)`);
  const connection = (what) => new RegExp(`${what} could not be loaded: check the connection and reload the page\\.`);
  const cases = [
    ['vorlane.wasm missing', gone('vorlane.wasm'), null, missing("The game's code \\(vorlane\\.wasm\\)")],
    ['vorlane.wasm broken', spoilt('vorlane.wasm'), null, /vorlane\.wasm\) came damaged/],
    ['vorlane.wasm cut off', null, cut('vorlane.wasm'), connection("The game's code \\(vorlane\\.wasm\\)")],
    ['vorlane.js missing', gone('vorlane.js'), null, missing("The game's code \\(vorlane\\.js\\)")],
    ['vorlane.js cut off', null, cut('vorlane.js'), connection("The game's code \\(vorlane\\.js\\)")],
    ['a font broken', spoilt(font), null, new RegExp(`font of the game \\(${font}\\) came damaged`)],
    ['a font missing', gone(font), null, missing(`A font of the game \\(${font}\\)`)],
    ['a font cut off', null, cut(font), connection(`A font of the game \\(${font}\\)`)],
  ];
  for (const [what, spoil, before, expected] of cases) {
    const dir = copySite(shippedSite, spoil || (() => {}));
    const server = await serve(dir);
    const page = await open(ctx.browser, server.url, {
      viewport: {width: 360, height: 640, isMobile: true, hasTouch: true}, before});
    const shown = await waitFor(`the message for ${what}`, () => page.evaluate(() => {
      const fault = document.getElementById('fault');
      if (fault.hidden) return null;
      const r = fault.getBoundingClientRect();
      const onShow = (e) => e.getClientRects().length > 0;
      return {text: fault.textContent, left: r.left, right: r.right, width: r.width,
              progress: document.getElementById('progress').hidden, shown: document.querySelectorAll('#fault').length,
              buttons: Array.from(document.querySelectorAll('button')).filter(onShow).length};
    }));
    assert.match(shown.text, expected, what);
    assert.ok(shown.width >= 250, `${what}: the message is ${shown.width} px wide`);
    assert.ok(shown.left >= 0 && shown.right <= 360, `${what}: the message lies within the screen`);
    assert.ok(shown.progress, `${what}: the progress line went`);
    assert.equal(shown.buttons, 0, `${what}: no pad key or button on show`);
    assert.equal(await page.evaluate(() => document.querySelectorAll('#counters li').length), 0,
                 `${what}: the game did not start`);
    await page.close();
    await server.close();
    fs.rmSync(dir, {recursive: true, force: true});
  }
});

test('a slow load on a phone shows what is loading, in the window\'s place, until the first frame', async () => {
  // An origin of its own, which no service worker has yet.
  const server = await serve(shippedSite);
  const page = await ctx.browser.newPage();
  await page.setViewport({width: 390, height: 844, deviceScaleFactor: 3, isMobile: true, hasTouch: true});
  // Every line the page shows before the first frame as it changes, the
  // window's box in every frame drawn meanwhile, and the layout's shifts.
  await page.evaluateOnNewDocument(() => {
    window.__seen = [];
    window.__boxes = [];
    window.__shift = 0;
    const loading = () => !document.querySelector('#counters li');
    new MutationObserver(() => {
      const progress = document.getElementById('progress');
      if (progress && loading()) window.__seen.push(progress.hidden ? null : progress.textContent);
    }).observe(document, {childList: true, subtree: true, characterData: true});
    const look = () => {
      if (!loading()) return;
      const r = document.getElementById('window').getBoundingClientRect();
      window.__boxes.push([r.x, r.y, r.width, r.height].join());
      requestAnimationFrame(look);
    };
    requestAnimationFrame(look);
    new PerformanceObserver((list) => {
      for (const e of list.getEntries()) window.__shift += e.value;
    }).observe({type: 'layout-shift', buffered: true});
  });
  const session = await page.createCDPSession();
  await session.send('Network.enable');
  await session.send('Network.emulateNetworkConditions',
                     {offline: false, latency: 100, downloadThroughput: 20 * 1024, uploadThroughput: 20 * 1024});
  await page.goto(server.url);
  await started(page);
  const {seen, boxes} = await page.evaluate(() => ({seen: window.__seen, boxes: window.__boxes}));
  const game = await page.evaluate(() => {
    const r = document.getElementById('window').getBoundingClientRect();
    return [r.x, r.y, r.width, r.height];
  });
  const texts = seen.filter(Boolean);
  assert.ok(texts.every((t) => /^Loading the game(: its code \d+( of \d+)? KiB, its fonts \d of 4)?$/.test(t)),
            `every line says what is loading: ${texts.join(' | ')}`);
  const code = texts.map((t) => /its code (\d+) of (\d+) KiB/.exec(t)).filter(Boolean);
  assert.ok(code.length >= 3, `the progress line counted the code as it came: ${texts.join(' | ')}`);
  assert.ok(Number(code.at(-1)[1]) > Number(code[0][1]), 'the count grew');
  assert.equal(code.at(-1)[1], code.at(-1)[2], 'all the code came');
  assert.ok(boxes.length > 0 && boxes.every((b) => b === game.join()),
            `the window's place before the first frame is the box the game takes (${game}): ` +
            `${[...new Set(boxes)].join(' | ')}`);
  // The curtain (the window's two panels, drawn on its surface) opens with
  // no shift of the layout: it has gone once the walls' blue borders show
  // at the window's top and bottom, where it opens last.
  const borders = [wellCell(0, 0), wellCell(21, 0)].map((c) => [c.x + 1, c.y + c.h / 2]);
  await waitFor('the curtain to open', () => page.evaluate((points) => {
    const surface = document.getElementById('surface');
    const k = surface.width / Number(document.getElementById('window').dataset.width);
    return points.every(([x, y]) => {
      const [r, g, b] = surface.getContext('2d').getImageData(Math.floor(x * k), Math.floor(y * k), 1, 1).data;
      return r < 40 && g < 40 && b > 200;
    });
  }, borders));
  const shift = await page.evaluate(() => window.__shift);
  assert.ok(shift <= 0.01, `layout shift ${shift}`);
  assert.ok(await page.evaluate(() => document.getElementById('progress').hidden), 'the line went');
  await session.send('Network.emulateNetworkConditions',
                     {offline: false, latency: 0, downloadThroughput: -1, uploadThroughput: -1});
  await page.close();
  await server.close();
});

// The characters a WOFF2 font maps to glyphs, read from its cmap table.
function woff2Characters(file) {
  const b = fs.readFileSync(file);
  assert.equal(b.toString('latin1', 0, 4), 'wOF2');
  const known = ['cmap', 'head', 'hhea', 'hmtx', 'maxp', 'name', 'OS/2', 'post', 'cvt ', 'fpgm', 'glyf', 'loca', 'prep', 'CFF '];
  const base128 = () => { let v = 0, x; do { x = b[at++]; v = v * 128 + (x & 127); } while (x & 128); return v; };
  let at = 48, offset = 0, cmap = null;
  for (let n = b.readUInt16BE(12); n > 0; n--) {
    const flags = b[at++];
    const tag = (flags & 63) === 63 ? b.toString('latin1', at, (at += 4)) : known[flags & 63];
    let length = base128();
    const version = flags >> 6;
    if ((tag === 'glyf' || tag === 'loca') ? version === 0 : version !== 0) length = base128();
    if (tag === 'cmap') cmap = {offset, length};
    offset += length;
  }
  const data = zlib.brotliDecompressSync(b.subarray(at, at + b.readUInt32BE(20)));
  const t = data.subarray(cmap.offset, cmap.offset + cmap.length);
  const chars = new Set();
  for (let k = 0; k < t.readUInt16BE(2); k++) {
    const sub = t.subarray(t.readUInt32BE(4 + k * 8 + 4));
    if (sub.readUInt16BE(0) !== 4) continue;
    const segs = sub.readUInt16BE(6) / 2;
    for (let s = 0; s < segs; s++) {
      const end = sub.readUInt16BE(14 + s * 2), start = sub.readUInt16BE(16 + segs * 2 + s * 2);
      const delta = sub.readInt16BE(16 + segs * 4 + s * 2), rangeAt = 16 + segs * 6 + s * 2;
      const range = sub.readUInt16BE(rangeAt);
      for (let c = start; c <= end && c !== 0xffff; c++) {
        const glyph = range === 0 ? (c + delta) & 0xffff :
            sub.readUInt16BE(rangeAt + range + (c - start) * 2);
        if (glyph !== 0) chars.add(String.fromCodePoint(c));
      }
    }
  }
  return chars;
}

test('every caption\'s glyphs are in the cut fonts', async () => {
  const page = await ctx.browser.newPage();
  await page.setViewport({width: 640, height: 560});
  // What the game draws on its canvases, with the font it draws in.
  await page.evaluateOnNewDocument(() => {
    window.__drawn = [];
    const fillText = CanvasRenderingContext2D.prototype.fillText;
    CanvasRenderingContext2D.prototype.fillText = function (text, ...rest) {
      window.__drawn.push([this.font, String(text)]);
      return fillText.call(this, text, ...rest);
    };
  });
  await page.goto(ctx.server.url);
  await started(page);
  // Under the closed curtain nothing is drawn: every caption is, once it opens.
  await waitFor('the curtain to open', async () => wallsShown(await shot(page)));
  const {drawn, files} = await page.evaluate(async () => {
    // The page's own reading of its @font-face rules.
    const families = (await import('./boot.js')).fontFiles();
    const texts = window.__drawn.map(([font, text]) => [font, text]);
    for (const b of document.querySelectorAll('#window button')) texts.push([getComputedStyle(b).font, b.textContent]);
    return {drawn: texts, files: Object.fromEntries(families)};
  });
  const wanted = new Map();
  for (const [font, text] of drawn) {
    const family = Object.keys(files).find((f) => font.includes(f));
    assert.ok(family, `"${text}" is drawn in a font of the page: ${font}`);
    const chars = wanted.get(family) || new Set();
    // A counter shows every digit in time.
    for (const c of /\d/.test(text) ? text + '0123456789' : text) chars.add(c);
    wanted.set(family, chars);
  }
  assert.deepEqual([...wanted.keys()].sort(), Object.keys(files).sort(), 'every face draws a caption');
  for (const [family, chars] of wanted) {
    const has = woff2Characters(path.join(shippedSite, files[family]));
    const missing = [...chars].filter((c) => !has.has(c));
    assert.deepEqual(missing, [], `${family} (${files[family]}) lacks glyphs`);
  }
  await page.close();
});

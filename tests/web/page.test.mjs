// SPDX-License-Identifier: MIT
// The page as shipped: what it shows, what it keeps (its files, for play
// offline, and nothing else), focus and scrolling, sharp drawing at any
// device pixel ratio, and what it says in a browser that cannot run it.
import assert from 'node:assert/strict';
import {test} from 'node:test';
import {cellInside, open, serveAndLaunch, shippedSite, shot, started, summary, waitFor, wallsShown} from './harness.mjs';

const sentence = 'This game needs JavaScript and WebAssembly, which this browser has turned off or does not support.';

const ctx = serveAndLaunch(shippedSite);

test('the page is the window: caption, fonts, focus, counters, and nothing stored but the site', async () => {
  const page = await open(ctx.browser, ctx.server.url);
  await started(page);
  assert.equal(await page.title(), 'Zarvex');
  const faces = await page.evaluate(() => Array.from(document.fonts, (f) => `${f.family} ${f.status}`));
  assert.deepEqual(faces.sort(), ['Vorlane Counters loaded', 'Vorlane Game Over loaded',
                                  'Vorlane Hand loaded', 'Vorlane Pause loaded']);
  assert.deepEqual(await page.evaluate(() => {
    const r = document.getElementById('window').getBoundingClientRect();
    return [r.width, r.height];
  }), [421, 433], 'the client area of the design at 15 twips a pixel');
  assert.equal(await page.evaluate(() => document.activeElement.id), 'window', 'the game has the focus');
  // Screen readers have the counters, in a live region, in the order the
  // window shows them, top to bottom.
  const list = await page.evaluate(() => {
    const ul = document.getElementById('counters');
    return {live: ul.getAttribute('aria-live'), items: Array.from(ul.children, (li) => li.textContent)};
  });
  assert.equal(list.live, 'polite');
  assert.deepEqual(list.items, ['Score:000000', 'HiScore:000000', 'Rows:000', 'Blocks:0000']);
  await waitFor('the curtain to open', async () => wallsShown(await shot(page)));
  // Stored: the service worker and its one cache of the site, nothing else.
  await page.waitForFunction(() => navigator.serviceWorker.controller !== null, {timeout: 30000});
  assert.deepEqual(await page.cookies(), [], 'no cookies');
  assert.deepEqual(await page.evaluate(() => [localStorage.length, sessionStorage.length]), [0, 0],
                   'nothing in web storage');
  assert.deepEqual(await page.evaluate(async () => (await indexedDB.databases()).length), 0, 'no database');
  const cachesKept = await page.evaluate(() => caches.keys());
  assert.equal(cachesKept.length, 1, 'one cache');
  assert.match(cachesKept[0], /^vorlane-[0-9a-f]{16}$/);
  const session = await page.createCDPSession();
  const {usageBreakdown} = await session.send('Storage.getUsageAndQuota', {origin: new URL(ctx.server.url).origin});
  assert.deepEqual(usageBreakdown.filter((u) => u.usage > 0).map((u) => u.storageType).sort(),
                   ['cache_storage', 'service_workers'], 'storage used');
  assert.deepEqual(page.errors, []);
  await page.close();
});

test('a browser window smaller than the window: it is scaled to fit, and keys scroll nothing', async () => {
  const page = await open(ctx.browser, ctx.server.url, {viewport: {width: 300, height: 240}});
  await started(page);
  const fitted = await waitFor('the window scaled to fit', () => page.evaluate(() => {
    const r = document.getElementById('window').getBoundingClientRect();
    return r.width < 421 && r.left >= 0 && r.top >= 0 && r.right <= innerWidth && r.bottom <= innerHeight &&
        document.scrollingElement.scrollHeight <= innerHeight && document.scrollingElement.scrollWidth <= innerWidth;
  }));
  assert.ok(fitted);
  for (const key of ['ArrowDown', 'ArrowRight', 'ArrowUp', 'ArrowLeft', 'Space', 'a', 's']) {
    await page.keyboard.press(key);
  }
  assert.deepEqual(await page.evaluate(() => [scrollX, scrollY]), [0, 0]);
  await page.close();
});

test('drawn sharp at the device pixel ratio, and again after zooming', async () => {
  // Hatch lines stay one device pixel wide: at twice the pixels per CSS
  // pixel, about half as much of a wall cell is black.
  const wallBlack = (png, ratio) => {
    const r = cellInside(10, 0);
    return summary(png, {x: r.x * ratio, y: r.y * ratio, w: r.w * ratio, h: r.h * ratio}).black;
  };
  const page = await open(ctx.browser, ctx.server.url, {viewport: {width: 640, height: 560, deviceScaleFactor: 1}});
  await started(page);
  const one = await waitFor('the curtain to open', async () => {
    const png = await shot(page);
    return wallsShown(png) ? png : null;
  });
  // The picture moved to a low-latency canvas after the first frame.
  assert.equal(await page.evaluate(() => document.getElementById('surface').getContext('2d')
      .getContextAttributes().desynchronized), true);
  // Zoom: the device pixel ratio changes while the game runs. Emulation
  // changes it without the resize a browser's zoom brings, so the test
  // raises that.
  await page.setViewport({width: 640, height: 560, deviceScaleFactor: 2});
  await page.evaluate(() => window.dispatchEvent(new Event('resize')));
  await waitFor('the canvas redrawn at the new ratio',
                () => page.evaluate(() => document.getElementById('surface').width === 842));
  const two = await shot(page, 'ratio-2');
  assert.equal(two.width, 842);
  const ratio = wallBlack(two, 2) / wallBlack(one, 1);
  assert.ok(ratio > 0.35 && ratio < 0.65, `black share at 2x over 1x: ${ratio.toFixed(2)}`);
  assert.deepEqual(page.errors, []);
  await page.close();
});

test('a browser without WebAssembly is told so in one sentence', async () => {
  const page = await ctx.browser.newPage();
  await page.evaluateOnNewDocument(() => { delete window.WebAssembly; });
  await page.goto(ctx.server.url);
  const shown = await waitFor('the sentence', () => page.evaluate(() => {
    const p = document.getElementById('unsupported');
    return !p.hidden && p.offsetHeight > 0 ? p.textContent : null;
  }));
  assert.equal(shown, sentence);
  assert.ok(await page.evaluate(() => document.getElementById('window').hidden));
  assert.ok(await page.evaluate(() => document.getElementById('progress').hidden), 'no progress line');
  await page.close();
});

test('a browser with scripts off is told so in one sentence', async () => {
  const page = await ctx.browser.newPage();
  await page.setJavaScriptEnabled(false);
  await page.goto(ctx.server.url);
  // Read through the accessibility tree, which needs no script in the page.
  const snapshot = await page.accessibility.snapshot();
  const texts = [];
  const walk = (node) => { if (node.name) texts.push(node.name); (node.children || []).forEach(walk); };
  walk(snapshot);
  assert.ok(texts.some((t) => t.includes(sentence)), `the sentence is on show: ${texts.join(' | ')}`);
  assert.ok(!texts.some((t) => t.includes('Loading')), `no progress line: ${texts.join(' | ')}`);
  await page.close();
});

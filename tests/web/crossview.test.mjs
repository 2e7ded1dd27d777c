// SPDX-License-Identifier: MIT
// The same scene drawn by both views: a headless game from a fixed seed,
// moved on by the same clock steps and keys, drawn by the desktop view on
// Qt's offscreen platform and by the web view in Chromium. The pictures
// must agree cell by cell; glyphs may differ by their hinting.
import assert from 'node:assert/strict';
import {execFileSync} from 'node:child_process';
import fs from 'node:fs';
import path from 'node:path';
import {test} from 'node:test';
import {PNG} from 'pngjs';
import {BLACK, near, open, pixel, screenshotDir, serveAndLaunch, shot, started, summary, testSite, waitFor} from './harness.mjs';

const qtRenderer = process.env.VORLANE_DESKTOP_SCENE;
const seed = '1234.5';
// Clock steps (aN: N ms) and keys (kN: virtual-key code N).
const scenes = {
  // The curtain halfway open over the intro: its halves are panels of one
  // colour, drawn on the surface. They cover most rectangles, so the
  // picture is compared square by square only.
  curtain: {steps: 'a900', rectangles: false},
  // The curtain open, a piece turned and shifted on its way down; the
  // last steps draw on the well's own canvas alone.
  falling: {steps: 'a6000 k37 a300 k65 a2000', rectangles: true, wellAlone: true},
  // Pieces dropped to the left and right and locked with their colours,
  // the next one on its way, the preview showing the one after.
  stacked: {steps: 'a6000 k40 a3000 k37 k37 k37 k40 a3000 k39 k39 k39 k83 k40 a3000 k65 k40 a3000 a1200',
            rectangles: true},
};

const ctx = serveAndLaunch(testSite);

async function webScene(steps) {
  const page = await open(ctx.browser, `${ctx.server.url}?scene=1&seed=${seed}`);
  await started(page);
  await waitFor('the well\'s own canvas', () => page.evaluate(() => document.getElementById('busy') !== null));
  // The fills of the last step, by canvas.
  const {cells, fills} = await page.evaluate((list) => {
    const t = window.vorlaneTest, fills = {}, fillRect = CanvasRenderingContext2D.prototype.fillRect;
    list.split(' ').forEach((step, k, all) => {
      if (k === all.length - 1) {
        CanvasRenderingContext2D.prototype.fillRect = function (...a) {
          fills[this.canvas.id] = (fills[this.canvas.id] || 0) + 1;
          return fillRect.apply(this, a);
        };
      }
      const value = Number(step.slice(1));
      if (step[0] === 'a') t._vorlane_test_advance(value);
      else t._vorlane_key(value, 0);
    });
    CanvasRenderingContext2D.prototype.fillRect = fillRect;
    return {cells: t.UTF8ToString(t._vorlane_test_cells()), fills};
  }, steps);
  const picture = await shot(page);
  await page.close();
  const controls = cells.trim().split('\n').map((line) => {
    const [kind, x, y, w, h, name] = line.split(' ');
    return {kind, x: +x, y: +y, w: +w, h: +h, name};
  });
  return {picture, controls, fills};
}

// The desktop's picture, and its labels' sizes: {name: [width, height]}.
function qtScene(name, steps) {
  const file = path.join(screenshotDir, `qt-scene-${name}.png`);
  const out = execFileSync(qtRenderer, [seed, steps, file],
                           {env: {...process.env, QT_QPA_PLATFORM: 'offscreen'},
                            stdio: ['ignore', 'pipe', 'inherit'], encoding: 'utf8'});
  const labels = Object.fromEntries(out.trim().split('\n').map((line) => {
    const [label, w, h] = line.split(' ');
    return [label, [Number(w), Number(h)]];
  }));
  return {picture: PNG.sync.read(fs.readFileSync(file)), labels};
}

for (const [name, {steps, rectangles, wellAlone}] of Object.entries(scenes)) {
  test(`the ${name} scene looks the same in both views`, async () => {
    assert.ok(qtRenderer && fs.existsSync(qtRenderer), `the desktop scene renderer is built: ${qtRenderer}`);
    const {picture: web, controls, fills} = await webScene(steps);
    if (wellAlone) assert.ok(fills.busy > 0 && !fills.surface, `fills by canvas: ${JSON.stringify(fills)}`);
    fs.writeFileSync(path.join(screenshotDir, `web-scene-${name}.png`), PNG.sync.write(web));
    const {picture: qt, labels: qtLabels} = qtScene(name, steps);
    assert.equal(web.width, qt.width, 'same width');
    assert.equal(web.height, qt.height, 'same height');

    // Every rectangle on show: the same fill and the same hatch inside its
    // border, and the same border.
    const rects = rectangles ? controls.filter((c) => c.kind === 'R') : [];
    if (rectangles) assert.ok(rects.length >= 75, 'walls, blocks and the preview are on show');
    for (const r of rects) {
      const inside = {x: r.x + 5, y: r.y + 5, w: r.w - 10, h: r.h - 10};
      const a = summary(web, inside), b = summary(qt, inside);
      const where = `${r.name} at ${r.x},${r.y}`;
      assert.ok(a.colour && b.colour && near(a.colour, b.colour, 6),
                `${where}: fill ${a.colour} in the page, ${b.colour} on the desktop`);
      assert.ok(Math.abs(a.black - b.black) < 0.08,
                `${where}: hatch ${a.black.toFixed(2)} in the page, ${b.black.toFixed(2)} on the desktop`);
      // The hatch lines lie where the desktop's do, pixel for pixel.
      let same = 0, all = 0;
      for (let y = inside.y; y < inside.y + inside.h; y++) {
        for (let x = inside.x; x < inside.x + inside.w; x++) {
          same += near(pixel(web, x, y), BLACK, 40) === near(pixel(qt, x, y), BLACK, 40) ? 1 : 0;
          all++;
        }
      }
      assert.ok(same / all >= 0.9, `${where}: hatch lines agree on ${Math.round((100 * same) / all)}% of pixels`);
      const edge = {x: r.x + 1, y: r.y + 1, w: 2, h: r.h - 2};
      assert.ok(near(summary(web, edge).colour, summary(qt, edge).colour, 6), `${where}: border`);
    }

    // The labels sized themselves to their captions in the page's fonts,
    // loaded before the window: as wide as on the desktop, give or take
    // the hinting.
    for (const [label, [width]] of Object.entries(qtLabels)) {
      const l = controls.find((c) => c.name === label);
      assert.ok(l && Math.abs(l.w - width) <= 2, `${label}: ${l?.w} pixels wide in the page, ${width} on the desktop`);
    }
    assert.ok(Object.keys(qtLabels).length === 5, 'the five labels are compared');

    // The whole picture in squares of a cell, text left out: the mean
    // colours agree, so nothing is missing, added or out of place.
    const labels = controls.filter((c) => c.kind === 'L');
    const inLabel = (x, y, s) => labels.some((l) => x < l.x + l.w && l.x < x + s && y < l.y + l.h && l.y < y + s);
    const step = 10;
    let squares = 0;
    for (let y = 0; y + step <= web.height; y += step) {
      for (let x = 0; x + step <= web.width; x += step) {
        if (inLabel(x, y, step)) continue;
        const mean = (png) => {
          const m = [0, 0, 0];
          for (let yy = y; yy < y + step; yy++) {
            for (let xx = x; xx < x + step; xx++) {
              const i = (yy * png.width + xx) * 4;
              for (let k = 0; k < 3; k++) m[k] += png.data[i + k] / (step * step);
            }
          }
          return m;
        };
        const a = mean(web), b = mean(qt);
        assert.ok(near(a, b, 14), `square at ${x},${y}: ${a.map(Math.round)} in the page, ${b.map(Math.round)} on the desktop`);
        squares++;
      }
    }
    assert.ok(squares > 1200, 'most of the picture is compared');
  });
}

test('a button behind a panel shows only where the panel leaves it', async () => {
  const page = await open(ctx.browser, `${ctx.server.url}?scene=1&seed=${seed}`);
  await started(page);
  // Whether the Pause button is cut, and whether its top left corner, where
  // the top half of the curtain lies, is the button's.
  const pause = () => page.evaluate(() => {
    const b = Array.from(document.querySelectorAll('#window button')).find((e) => e.textContent === 'Pause');
    const r = b.getBoundingClientRect();
    return {cut: b.style.clipPath !== '', corner: document.elementFromPoint(r.left + 3, r.top + 3) === b};
  });
  // P while the curtain opens: the button comes in front of it.
  await page.evaluate(() => {
    window.vorlaneTest._vorlane_test_advance(900);
    window.vorlaneTest._vorlane_key(80, 0);
  });
  assert.deepEqual(await pause(), {cut: false, corner: true});
  await page.evaluate(() => window.vorlaneTest.ccall('vorlane_test_bring_to_front', null, ['string'], ['covertop']));
  assert.deepEqual(await pause(), {cut: true, corner: false});
  await page.close();
});

// SPDX-License-Identifier: MIT
// The page on phones and tablets, and for players without a mouse: the
// window fits every screen and stays sharp, fingers and the touch pad play
// the game through real touches (the DevTools protocol's), a hidden page
// pauses, Tab and Space or Enter press the window's buttons, and a storm
// of touches and turns of the phone leaves the game whole.
import assert from 'node:assert/strict';
import {test} from 'node:test';
import {BLUE, RED, YELLOW, accessibilityViolations, counters, near, open, pending, serveAndLaunch, shownButton, started, summary,
        testSite, waitFor} from './harness.mjs';
import {PNG} from 'pngjs';

const ctx = serveAndLaunch(testSite);

const phone = {width: 390, height: 844, deviceScaleFactor: 3, isMobile: true, hasTouch: true};
const screens = {
  'phone 320 x 568': {width: 320, height: 568, deviceScaleFactor: 2, isMobile: true, hasTouch: true},
  'phone on its side, 568 x 320': {width: 568, height: 320, deviceScaleFactor: 2, isMobile: true, hasTouch: true},
  'phone 360 x 640': {width: 360, height: 640, deviceScaleFactor: 3, isMobile: true, hasTouch: true},
  'phone on its side, 640 x 360': {width: 640, height: 360, deviceScaleFactor: 3, isMobile: true, hasTouch: true},
  'phone 390 x 844': phone,
  'phone on its side, 844 x 390': {width: 844, height: 390, deviceScaleFactor: 3, isMobile: true, hasTouch: true},
  'phone 412 x 915, 2.625 device pixels a pixel': {width: 412, height: 915, deviceScaleFactor: 2.625, isMobile: true, hasTouch: true},
  'tablet 768 x 1024': {width: 768, height: 1024, deviceScaleFactor: 2, isMobile: true, hasTouch: true},
  'desktop window 300 x 240': {width: 300, height: 240, deviceScaleFactor: 1},
  'desktop window 2560 x 1440': {width: 2560, height: 1440, deviceScaleFactor: 1},
};

// The visible rectangles of the window in design pixels, from the game itself.
async function controls(page) {
  const text = await page.evaluate(() => {
    const t = window.vorlaneTest;
    return t.UTF8ToString(t._vorlane_test_cells());
  });
  return text.trim().split('\n').map((line) => {
    const [kind, x, y, w, h, name] = line.split(' ');
    return {kind, x: +x, y: +y, w: +w, h: +h, name};
  });
}

const cellPx = 292 / 15;  // a cell in design pixels

// The falling piece: its leftmost column, its top row and its shape (the
// cells relative to its corner), or null before a piece shows.
async function piece(page) {
  const blocks = (await controls(page)).filter((c) => c.name === 'Shape1');
  if (blocks.length === 0) return null;
  const left = Math.min(...blocks.map((b) => b.x)), top = Math.min(...blocks.map((b) => b.y));
  const shape = blocks.map((b) => `${Math.round((b.x - left) / cellPx)},${Math.round((b.y - top) / cellPx)}`)
      .sort().join(' ');
  return {column: Math.round((left - 4) / cellPx), row: (top - 3) / cellPx, shape};
}
// The first piece of ?seed=7: three cells wide, two high, open at the top;
// low enough in the well for a turn (near the top the well refuses some).
const U = '0,0 0,1 1,1 2,0 2,1';
const firstPiece = (page) => untilPiece(page, 'the first piece', (p) => p.shape === U && p.row >= 2.5 && p.row < 8);
const untilPiece = (page, what, check) => waitFor(what, async () => {
  const p = await piece(page);
  return p && check(p) ? p : null;
});

// The falling piece now, and how many rows it fell in the next five ticks.
async function fiveTicks(page) {
  const ticks = () => page.evaluate(() => window.vorlaneTest._vorlane_test_ticks());
  const t0 = await ticks();
  const start = await piece(page);
  const end = await waitFor('five ticks', async () => {
    const [t, p] = await Promise.all([ticks(), piece(page)]);
    return t >= t0 + 5 ? p : null;
  });
  return {start, fell: end.row - start.row};
}

// Where the window is, its scale, and the scroll and zoom of the page.
const geometry = (page) => page.evaluate(() => {
  const root = document.getElementById('window');
  const r = root.getBoundingClientRect();
  return {x: r.x, y: r.y, width: r.width, height: r.height, right: r.right, bottom: r.bottom,
          scale: r.width / Number(root.dataset.width), innerWidth, innerHeight,
          ratio: document.getElementById('surface').width / Number(root.dataset.width),
          scroll: [scrollX, scrollY], zoom: visualViewport.scale,
          overflow: document.scrollingElement.scrollHeight > innerHeight ||
              document.scrollingElement.scrollWidth > innerWidth};
});

// A point of the well, in the page's CSS pixels: column and row of the design's grid.
function wellPoint(g, column, row) {
  return {x: g.x + (4 + column * cellPx) * g.scale, y: g.y + (3 + row * cellPx) * g.scale};
}

// Real touches through the DevTools protocol.
async function touches(session, type, points) {
  await session.send('Input.dispatchTouchEvent', {type, touchPoints: points});
}
async function drag(session, from, to, steps = 8) {
  await touches(session, 'touchStart', [{x: from.x, y: from.y, id: 1}]);
  for (let k = 1; k <= steps; k++) {
    await touches(session, 'touchMove', [{x: from.x + ((to.x - from.x) * k) / steps,
                                          y: from.y + ((to.y - from.y) * k) / steps, id: 1}]);
  }
  await touches(session, 'touchEnd', []);
}
async function tap(session, at) {
  await touches(session, 'touchStart', [{x: at.x, y: at.y, id: 1}]);
  await touches(session, 'touchEnd', []);
}
const centre = (b) => ({x: b.x + b.width / 2, y: b.y + b.height / 2});
const padKey = (page, label) => page.evaluate((name) => {
  const b = document.querySelector(`#pad button[aria-label="${name}"]`);
  const r = b.getBoundingClientRect();
  return {x: r.x, y: r.y, width: r.width, height: r.height};
}, label);
// The window's button with this caption where a tap reaches it.
const buttonInReach = (page, caption) => waitFor(`the ${caption} button in reach`, async () => {
  const shown = await shownButton(page, caption);
  return shown && shown.point ? shown.point : null;
});

// The window's picture in device pixels.
async function picture(page) {
  const element = await page.$('#window');
  return PNG.sync.read(Buffer.from(await element.screenshot({type: 'png'})));
}

// Whether the walls show as drawn for the device: in every wall cell the
// commonest colour is the design's red, the hatch lines are one device
// pixel wide (their share of the cell shrinks as the ratio grows), and no
// pixel is a blend of two colours, as a stretched or filtered picture has.
function wallsSharp(png, walls, ratio) {
  let blends = 0, all = 0;
  for (const w of walls) {
    const border = 4 * ratio + 1;
    const inside = {x: w.x * ratio + border, y: w.y * ratio + border,
                    w: w.w * ratio - 2 * border, h: w.h * ratio - 2 * border};
    const s = summary(png, inside);
    // One line per 8 design pixels each way: two lines of one device pixel
    // in every 8 x ratio.
    const expected = 2 / (8 * ratio);
    if (!s.colour || !near(s.colour, RED, 8) || s.black < expected * 0.6 || s.black > expected * 1.6) return false;
    for (let y = Math.floor(w.y * ratio); y < Math.floor((w.y + w.h) * ratio); y++) {
      for (let x = Math.floor(w.x * ratio) + 1; x < Math.floor((w.x + w.w) * ratio) - 1; x++) {
        const i = (y * png.width + x) * 4, p = [png.data[i], png.data[i + 1], png.data[i + 2]];
        all++;
        if (![RED, BLUE, YELLOW, [0, 0, 0]].some((c) => near(p, c, 12))) blends++;
      }
    }
  }
  return all > 0 && blends / all < 0.002;
}
// The left and right walls, rows 1 to 20, and the top wall between them
// (drawn on the well's own canvas), as the game places them.
const walls = async (page) => (await controls(page)).filter((c) => {
  const side = c.x < 10 || c.x > 200 && c.x < 250;
  return c.name === 'Shape2' && c.y < 400 && (c.y < 10 ? !side : side);
});

async function fitsAndSharp(page, what) {
  // A resize reaches the page a moment after the viewport changes.
  const g = await waitFor(`${what}: the window inside the viewport`, async () => {
    const now = await geometry(page);
    return now.x >= 0 && now.y >= 0 && now.right <= now.innerWidth + 0.01 &&
        now.bottom <= now.innerHeight + 0.01 ? now : null;
  }, {timeout: 10000});
  assert.deepEqual(g.scroll, [0, 0], `${what}: not scrolled`);
  assert.equal(g.zoom, 1, `${what}: not zoomed`);
  assert.equal(g.overflow, false, `${what}: nothing to scroll to`);
  const shown = await walls(page);
  assert.equal(shown.length, 50, `${what}: the side and top walls`);
  // The picture and the ratio read together, in case the page lays itself
  // out once more.
  return waitFor(`${what}: the walls drawn sharp`, async () => {
    const before = await geometry(page);
    const png = await picture(page);
    const now = await geometry(page);
    return now.ratio === before.ratio && wallsSharp(png, shown, now.ratio) ? now : null;
  });
}

async function openOn(viewport, url = `${ctx.server.url}?seed=7`) {
  const page = await open(ctx.browser, url, {viewport});
  await started(page);
  return page;
}

test('the whole window on every screen, sharp, the pad beside it and never over it', async () => {
  for (const [what, viewport] of Object.entries(screens)) {
    const page = await openOn(viewport);
    await untilPiece(page, `${what}: the first piece`, (p) => p.row >= 1);
    const g = await fitsAndSharp(page, what);
    const pad = await page.evaluate(() => {
      const p = document.getElementById('pad');
      return p.hidden ? null : Array.from(p.querySelectorAll('button'), (b) => {
        const r = b.getBoundingClientRect();
        return {label: b.getAttribute('aria-label'), x: r.x, y: r.y, right: r.right, bottom: r.bottom,
                width: r.width, height: r.height};
      });
    });
    if (!viewport.hasTouch) {
      assert.equal(pad, null, `${what}: no pad without touch`);
      // Room for twice the design or more: whole steps; less: down to fit.
      const room = Math.min(g.innerWidth / 421, g.innerHeight / 433);
      if (room >= 2) assert.equal(g.scale, Math.floor(room), `${what}: grown by whole steps`);
      else assert.ok(g.scale < 1, `${what}: scaled down to fit`);
    } else {
      assert.deepEqual(pad.map((b) => b.label).sort(),
                       ['Down', 'Left', 'Pause', 'Right', 'Turn anticlockwise', 'Turn clockwise']);
      for (const b of pad) {
        assert.ok(b.width >= 44 && b.height >= 44, `${what}: ${b.label} is large enough`);
        assert.ok(b.x >= 0 && b.y >= 0 && b.right <= g.innerWidth && b.bottom <= g.innerHeight,
                  `${what}: ${b.label} on screen`);
        assert.ok(b.right <= g.x || b.x >= g.right || b.bottom <= g.y || b.y >= g.bottom,
                  `${what}: ${b.label} beside the window, not over it`);
      }
      // The window takes the room the pad leaves: it touches the screen's
      // edge across, or down to the pad's (within a pixel).
      const taken = Math.max(g.width / g.innerWidth, g.height / g.innerHeight);
      assert.ok(taken > 0.95, `${what}: the window as large as it fits (${taken.toFixed(3)})`);
    }
    assert.deepEqual(page.errors, [], what);
    await page.close();
  }
});

test('a turn of the phone rescales the window without reloading or losing the game', async () => {
  const page = await openOn(phone);
  await page.evaluate(() => { window.sameDocument = true; });
  const first = await firstPiece(page);
  const upright = await geometry(page);
  await page.setViewport({...phone, width: 844, height: 390});
  const turned = await fitsAndSharp(page, 'on its side');
  assert.ok(turned.scale < upright.scale, 'smaller on its side');
  await untilPiece(page, 'the same piece falling on', (p) => p.shape === first.shape && p.row > first.row);
  await page.setViewport(phone);
  await fitsAndSharp(page, 'upright again');
  assert.equal(await page.evaluate(() => window.sameDocument), true, 'no reload');
  assert.deepEqual(page.errors, []);
  await page.close();
});

test('fingers on the well: drags shift by cells, taps turn once, a drag down drops', async () => {
  const page = await openOn(phone);
  const session = await page.createCDPSession();
  // The keys' own turns, for the shapes a tap must give.
  const first = await firstPiece(page);
  await page.keyboard.press('a');
  const clockwise = await untilPiece(page, 'A turns it', (p) => p.shape !== first.shape);
  await page.keyboard.press('s');
  await untilPiece(page, 'S turns it back', (p) => p.shape === first.shape);

  const g = await geometry(page);
  const cell = cellPx * g.scale;
  const from = wellPoint(g, 5, 12);
  await drag(session, from, {x: from.x + 3.5 * cell, y: from.y});
  await untilPiece(page, 'three columns right', (p) => p.column === first.column + 3);
  await drag(session, from, {x: from.x - 3.5 * cell, y: from.y + 0.3 * cell});
  await untilPiece(page, 'three columns back', (p) => p.column === first.column);
  // A second finger that taps during a drag costs it nothing.
  await touches(session, 'touchStart', [{x: from.x, y: from.y, id: 1}]);
  await touches(session, 'touchMove', [{x: from.x + 1.5 * cell, y: from.y, id: 1}]);
  const second = wellPoint(g, 2, 16);
  await touches(session, 'touchStart', [{x: from.x + 1.5 * cell, y: from.y, id: 1}, {...second, id: 2}]);
  await touches(session, 'touchMove', [{x: from.x + 2.5 * cell, y: from.y, id: 1}]);  // the second lifts
  await touches(session, 'touchMove', [{x: from.x + 3.5 * cell, y: from.y, id: 1}]);
  await touches(session, 'touchEnd', []);
  await untilPiece(page, 'three columns right with a second finger', (p) => p.column === first.column + 3);
  // A drag as far down as sideways is read as sideways: no drop.
  await drag(session, from, {x: from.x - 3.5 * cell, y: from.y + 3.5 * cell});
  await untilPiece(page, 'three columns back on a slant', (p) => p.column === first.column);
  const slant = await fiveTicks(page);
  assert.ok(slant.fell >= 0 && slant.fell < 1, `not dropped: fell ${slant.fell} rows in five ticks`);
  // A drag against the wall moves as far as the wall, and back by as many
  // columns as the finger comes back.
  await touches(session, 'touchStart', [{x: from.x, y: from.y, id: 1}]);
  await touches(session, 'touchMove', [{x: from.x + 9.5 * cell, y: from.y, id: 1}]);
  const wall = await untilPiece(page, 'at the right wall', (p) => p.column + 3 === 11);
  await touches(session, 'touchMove', [{x: from.x + 7.5 * cell, y: from.y, id: 1}]);
  await touches(session, 'touchEnd', []);
  await untilPiece(page, 'two columns back from the wall', (p) => p.column === wall.column - 2);

  await tap(session, wellPoint(g, 8, 12));
  await untilPiece(page, 'a tap on the right half turns it clockwise once', (p) => p.shape === clockwise.shape);
  await tap(session, wellPoint(g, 3, 12));
  await untilPiece(page, 'a tap on the left half turns it back', (p) => p.shape === first.shape);

  // Upwards does nothing; downwards by more than a cell drops the piece:
  // a row a tick from then on (without it, a tenth of a row).
  await drag(session, wellPoint(g, 5, 15), wellPoint(g, 5, 5));
  await drag(session, wellPoint(g, 5, 5), wellPoint(g, 5, 7));
  const {start, fell} = await fiveTicks(page);
  assert.ok(fell >= 3, `fell ${fell} rows in five ticks`);
  assert.equal(start.shape, first.shape, 'the upward drag did not turn it');
  // A pinch on the background, off the window and the pad (its bottom
  // line), zooms nothing.
  const y = g.innerHeight - 2;
  const fingers = (spread) => [{x: g.innerWidth / 2 - spread, y, id: 1}, {x: g.innerWidth / 2 + spread, y, id: 2}];
  assert.ok(await page.evaluate((points) => points.every((p) => ['MAIN', 'BODY', 'HTML'].includes(
      document.elementFromPoint(p.x, p.y)?.tagName)), fingers(150)), 'the fingers on the background');
  await touches(session, 'touchStart', fingers(20));
  for (let k = 1; k <= 10; k++) await touches(session, 'touchMove', fingers(20 + k * 13));
  await touches(session, 'touchEnd', []);
  await page.evaluate(() => new Promise((resolve) => requestAnimationFrame(() => requestAnimationFrame(resolve))));
  const after = await geometry(page);
  assert.deepEqual([after.scroll, after.zoom], [[0, 0], 1], 'the page neither scrolled nor zoomed');
  assert.deepEqual(page.errors, []);
  await page.close();
});

test('the pad: its keys do what the keys do, Left repeats while held, the window\'s buttons answer taps', async () => {
  const page = await openOn(phone);
  const session = await page.createCDPSession();
  const first = await firstPiece(page);
  assert.deepEqual(await accessibilityViolations(page), [], 'axe-core in play');
  await tap(session, centre(await padKey(page, 'Right')));
  await untilPiece(page, 'one column right', (p) => p.column === first.column + 1);
  await tap(session, centre(await padKey(page, 'Turn clockwise')));
  const turned = await untilPiece(page, 'turned', (p) => p.shape !== first.shape);
  await tap(session, centre(await padKey(page, 'Turn anticlockwise')));
  await untilPiece(page, 'turned back', (p) => p.shape === first.shape);
  assert.notEqual(turned.shape, first.shape);

  // Held Left: the piece goes on to the wall, a column every repeat.
  const left = centre(await padKey(page, 'Left'));
  await touches(session, 'touchStart', [{x: left.x, y: left.y, id: 1}]);
  await untilPiece(page, 'at the left wall while Left is held', (p) => p.column === 1);
  await touches(session, 'touchEnd', []);
  await waitFor('the repeat to stop', async () => (await pending(page)).timers <= 1);

  // Pause from the pad; nothing is pending then; a tap on "Pause" goes on.
  await tap(session, centre(await padKey(page, 'Pause')));
  await waitFor('the Pause button', () => shownButton(page, 'Pause'));
  await waitFor('nothing pending while paused', async () => {
    const p = await pending(page);
    return p.timers === 0 && p.frames === 0 && p.intervals === 0;
  });
  const paused = await piece(page);
  assert.deepEqual(await accessibilityViolations(page), [], 'axe-core while paused');
  await tap(session, await buttonInReach(page, 'Pause'));
  await waitFor('the Pause button to go', async () => !(await shownButton(page, 'Pause')));
  await untilPiece(page, 'falling again', (p) => p.row > paused.row);

  // Down from the pad until the game is over; a tap on "Game Over" starts
  // the next, the best score kept.
  const down = centre(await padKey(page, 'Down'));
  await waitFor('Game Over', async () => {
    const shown = await shownButton(page, 'Game Over');
    if (!shown) await tap(session, down);
    return shown;
  }, {timeout: 180000, every: 100});
  const end = await counters(page);
  await tap(session, await buttonInReach(page, 'Game Over'));
  await waitFor('a new game', async () => (await counters(page)).scorelabel === 'Score:000000');
  assert.equal((await counters(page)).hscorelabel, end.hscorelabel, 'the best score lasts');
  const g = await geometry(page);
  assert.deepEqual([g.scroll, g.zoom], [[0, 0], 1], 'the page neither scrolled nor zoomed');
  assert.deepEqual(page.errors, []);
  await page.close();
});

test('a hidden page pauses a game under way, and it stays paused when shown again', async () => {
  const page = await openOn({width: 640, height: 560});
  await firstPiece(page);
  const ticks = () => page.evaluate(() => window.vorlaneTest._vorlane_test_ticks());
  // Another tab brought to the front hides this one.
  const other = await ctx.browser.newPage();
  await other.bringToFront();
  await waitFor('the Pause button', () => shownButton(page, 'Pause'));
  const still = await ticks();
  await page.bringToFront();
  await other.close();
  await waitFor('the page shown again', () => page.evaluate(() => document.visibilityState === 'visible'));
  await waitFor('nothing pending', async () => (await pending(page)).timers === 0);
  assert.equal(await ticks(), still, 'no tick since');
  assert.ok(await shownButton(page, 'Pause'), 'still paused');
  assert.deepEqual(page.errors, []);
  await page.close();
});

test('keyboard alone: Tab reaches the buttons, Space and Enter press them, screen readers hear of them', async () => {
  const page = await openOn({width: 640, height: 560});
  const focused = () => page.evaluate(() => {
    const e = document.activeElement;
    return {id: e.id, text: e.tagName === 'BUTTON' ? e.textContent : null,
            ring: e.matches(':focus-visible') && getComputedStyle(e).outlineStyle !== 'none'};
  });
  const announced = () => page.evaluate(() => document.getElementById('announce').textContent);
  await untilPiece(page, 'the first piece', (p) => p.row >= 1);
  await page.keyboard.press('p');
  await waitFor('the Pause button', () => shownButton(page, 'Pause'));
  assert.equal(await announced(), 'Pause button');
  await page.keyboard.press('Tab');
  assert.deepEqual(await focused(), {id: '', text: 'Pause', ring: true});
  const paused = await piece(page);
  await page.keyboard.press('Space');
  await waitFor('the Pause button to go', async () => !(await shownButton(page, 'Pause')));
  assert.equal((await focused()).id, 'window', 'the focus back with the window');
  await untilPiece(page, 'falling again', (p) => p.row > paused.row);

  // To the end of the game with the keyboard alone.
  await waitFor('Game Over', async () => {
    const shown = await shownButton(page, 'Game Over');
    if (!shown) await page.keyboard.press('ArrowDown');
    return shown;
  }, {timeout: 180000, every: 100});
  assert.equal(await announced(), 'Game Over button');
  const end = await counters(page);
  await page.keyboard.press('Tab');
  assert.deepEqual(await focused(), {id: '', text: 'Game Over', ring: true});
  // The game's keys still reach it: P brings "Pause" out, second in Tab's order.
  await page.keyboard.press('p');
  await waitFor('the Pause button', () => shownButton(page, 'Pause'));
  await page.keyboard.press('Tab');
  assert.equal((await focused()).text, 'Pause');
  await page.keyboard.down('Shift');
  await page.keyboard.press('Tab');
  await page.keyboard.up('Shift');
  assert.equal((await focused()).text, 'Game Over');
  await page.keyboard.press('Enter');
  await waitFor('a new game', async () => (await counters(page)).scorelabel === 'Score:000000');
  assert.equal((await counters(page)).hscorelabel, end.hscorelabel, 'the best score lasts');
  assert.equal((await focused()).id, 'window', 'the focus back with the window');
  assert.equal(await announced(), '', 'nothing left to announce');
  assert.deepEqual(page.errors, []);
  await page.close();
});

test('a storm of touches and turns of the phone in every state keeps the game whole', async () => {
  const page = await openOn(phone, `${ctx.server.url}?seed=11`);
  const session = await page.createCDPSession();
  let seed = 11;
  const random = () => { seed = (seed * 1103515245 + 12345) % 2147483648; return seed / 2147483648; };
  const anywhere = (g) => ({x: random() * g.innerWidth, y: random() * g.innerHeight});
  // Off the window's buttons, for a storm that must not restart the game.
  const onButton = (p) => page.evaluate(({x, y}) => !!document.elementFromPoint(x, y)?.closest('#window button'), p);
  const storm = async (n, {spareButtons = false} = {}) => {
    const g = await geometry(page);
    for (let k = 0; k < n; k++) {
      const from = anywhere(g), to = anywhere(g), kind = random();
      if (spareButtons && (await onButton(from) || await onButton(to))) continue;
      if (kind < 0.4) {
        await tap(session, from);
      } else if (kind < 0.8) {
        await drag(session, from, to, 3);
      } else {
        // Three fingers at once.
        const fingers = [from, to, anywhere(g)].map((p, id) => ({...p, id: id + 1}));
        await touches(session, 'touchStart', fingers);
        await touches(session, 'touchMove', fingers.map((p) => ({...p, y: p.y + 30})));
        await touches(session, 'touchEnd', []);
      }
    }
  };
  const turn = async (sideways) => {
    await page.setViewport(sideways ? {...phone, width: 844, height: 390} : phone);
  };
  await storm(60);  // the curtain and the intro
  await turn(true);
  // A touch that starts on a button and ends on the well: pause, then drag
  // from "Pause" across the well.
  await page.keyboard.press('p');
  const pause = await buttonInReach(page, 'Pause');
  const g = await geometry(page);
  await drag(session, pause, wellPoint(g, 8, 18));
  await turn(false);
  // Play on to the end, with whatever pauses the storm makes tapped away.
  await waitFor('Game Over', async () => {
    if (await shownButton(page, 'Game Over')) return true;
    const p = await shownButton(page, 'Pause');
    if (p && p.point) await tap(session, p.point);
    await storm(15);
    for (let i = 0; i < 5; i++) await page.keyboard.press('ArrowDown');
    return false;
  }, {timeout: 240000, every: 50});
  // Hiding the page at game over pauses nothing: the game is not under way.
  const other = await ctx.browser.newPage();
  await other.bringToFront();
  await waitFor('the page hidden', () => page.evaluate(() => document.visibilityState === 'hidden'));
  await page.bringToFront();
  await other.close();
  assert.equal(await shownButton(page, 'Pause'), null, 'no pause over a finished game');
  await storm(40, {spareButtons: true});  // game over
  await turn(true);
  if (await shownButton(page, 'Pause')) await tap(session, await buttonInReach(page, 'Pause'));
  // (A tap right after the storm's may be taken for the second of a double
  // tap, which clicks nothing: the player taps again.)
  await waitFor('a new game', async () => {
    const over = await shownButton(page, 'Game Over');
    if (over && over.point) await tap(session, over.point);
    return (await counters(page)).piecelabel === 'Blocks:0000';
  }, {every: 400});
  await storm(40);  // right after the restart
  await turn(false);
  await waitFor('the curtain open and nothing paused', async () => {
    const p = await shownButton(page, 'Pause');
    if (p && p.point) await tap(session, p.point);
    return !p && (await piece(page))?.row >= 1;
  }, {timeout: 60000, every: 200});
  await fitsAndSharp(page, 'after the storm');
  assert.equal(await page.evaluate(() => document.getElementById('fault').hidden), true, 'no fault');
  assert.deepEqual(page.errors, []);
  await page.close();
});

// SPDX-License-Identifier: MIT
// A game in the page, as a player meets it: real key presses and clicks in
// a headless Chromium, checked by the screenshots' pixels. The tests' build
// of the page starts from a fixed seed, so the first piece is known: one
// three cells wide and two high.
import assert from 'node:assert/strict';
import {test} from 'node:test';
import {YELLOW, accessibilityViolations, counters, near, open, pending, pieceBox, pixel, serveAndLaunch, shot, shownButton,
        started, testSite, waitFor, wallsShown, windowBox} from './harness.mjs';

const ctx = serveAndLaunch(testSite);

const box = async (page, name) => pieceBox(await shot(page, name));
// Waits until the falling piece's box passes `check`, and returns it.
const untilBox = (page, what, check) => waitFor(what, async () => {
  const b = await box(page);
  return b && check(b) ? b : null;
});

// A real click on a part of the button that shows.
async function clickButton(page, caption) {
  const b = await waitFor(`the ${caption} button in reach`, async () => {
    const shown = await shownButton(page, caption);
    return shown && shown.point ? shown : null;
  });
  await page.mouse.click(b.point.x, b.point.y);
}

test('a game: the board, moves and turns, pause, game over and restart', async () => {
  const page = await open(ctx.browser, `${ctx.server.url}?seed=7`);
  await started(page);

  // The curtain opens on the walls, the well and the side panel.
  const board = await waitFor('the curtain to open', async () => {
    const png = await shot(page);
    return wallsShown(png) ? png : null;
  });
  await shot(page, 'board');
  assert.ok(near(pixel(board, 278 + 52, 96 + 52), [0, 0, 255], 8), 'the preview square is blue');
  assert.ok(near(pixel(board, 278 + 100, 8 + 75), [255, 0, 0], 8), 'the next-piece label is red');
  assert.ok(near(pixel(board, 250, 420), YELLOW, 0), 'the window is yellow');

  // The first piece, fully in the well and past the intro's pieces.
  const first = await untilBox(page, 'the first piece in the well',
                               (b) => b.width === 3 && b.height === 2 && b.top < 9);
  assert.deepEqual(await accessibilityViolations(page), [], 'axe-core in play');
  await waitFor('one interval to wake the falling piece, no timeout',
                async () => { const p = await pending(page); return p.intervals === 1 && p.timers === 0; });

  await page.keyboard.press('ArrowLeft');
  await untilBox(page, 'the piece one column left', (b) => b.left === first.left - 1);
  await page.keyboard.press('ArrowRight');
  await page.keyboard.press('ArrowRight');
  await untilBox(page, 'the piece one column right', (b) => b.left === first.left + 1);
  await page.keyboard.press('a');
  await untilBox(page, 'the piece turned by A', (b) => b.width === 2 && b.height === 3);
  await page.keyboard.press('s');
  await untilBox(page, 'the piece turned back by S', (b) => b.width === 3 && b.height === 2);

  // P freezes the picture: nothing is pending, and a key changes nothing
  // on show; the "Pause" button shows.
  await page.keyboard.press('p');
  const pause = await waitFor('the Pause button', () => shownButton(page, 'Pause'));
  const frozen = await shot(page, 'paused');
  const origin = await windowBox(page);
  const face = pixel(frozen, pause.x - origin.x + 10, pause.y - origin.y + 10);
  assert.ok(!near(face, YELLOW, 40) && !near(face, [0, 0, 255], 40), `the button is drawn: ${face}`);
  await waitFor('no timer pending while paused',
                async () => { const p = await pending(page); return p.timers === 0 && p.frames === 0 && p.intervals === 0; });
  await page.keyboard.press('ArrowLeft');
  assert.deepEqual((await shot(page)).data, frozen.data, 'a key while paused changes nothing on show');
  assert.deepEqual(await accessibilityViolations(page), [], 'axe-core while paused');
  const pausedAt = pieceBox(frozen);

  // A click on the button resumes; the keyboard stays with the game.
  await clickButton(page, 'Pause');
  await waitFor('the Pause button to go', async () => !(await shownButton(page, 'Pause')));
  await untilBox(page, 'the piece falling again', (b) => b.top > pausedAt.top);
  assert.equal(await page.evaluate(() => document.activeElement.id), 'window', 'the game keeps the focus');

  // Down, again and again, until the well is full.
  const over = await waitFor('Game Over', async () => {
    const shown = await shownButton(page, 'Game Over');
    if (!shown) await page.keyboard.press('ArrowDown');
    return shown;
  }, {timeout: 180000, every: 100});
  const end = await counters(page);
  await shot(page, 'game-over');
  const score = Number(end.scorelabel.split(':')[1]);
  assert.ok(score >= 50, `pieces were scored: ${end.scorelabel}`);
  assert.equal(end.hscorelabel, `HiScore:${end.scorelabel.split(':')[1]}`, 'the best score is this game\'s');
  assert.ok(over.width > 100 && over.height > 100, 'the Game Over button is large');
  await waitFor('no timer pending once the game is over',
                async () => { const p = await pending(page); return p.timers === 0 && p.frames === 0 && p.intervals === 0; });

  // The restart: a new game, the best score kept.
  await clickButton(page, 'Game Over');
  await waitFor('a new game', async () => {
    const c = await counters(page);
    return c.scorelabel === 'Score:000000' && c.piecelabel === 'Blocks:0000' && c.rowslabel === 'Rows:000' ? c : null;
  });
  assert.equal((await counters(page)).hscorelabel, end.hscorelabel, 'the best score lasts');
  await waitFor('the curtain to open again', async () => wallsShown(await shot(page)));
  await untilBox(page, 'a piece falling in the new game', (b) => b.top >= 1);
  assert.equal(await shownButton(page, 'Game Over'), null, 'the Game Over button went');
  assert.deepEqual(page.errors, [], 'no script errors');
  await page.close();
});

test('a fault in the game stops it and says so on the page', async () => {
  const page = await open(ctx.browser, `${ctx.server.url}?seed=7`);
  await started(page);
  await page.evaluate(() => window.vorlaneTest._vorlane_test_trap_at_next_tick());
  const message = await waitFor('the fault message', () => page.evaluate(() => {
    const fault = document.getElementById('fault');
    return fault.hidden ? null : fault.textContent;
  }));
  assert.match(message, /stopped after an internal error/);
  assert.ok(await page.evaluate(() => document.getElementById('window').classList.contains('stopped')));
  assert.deepEqual(await pending(page), {timers: 0, intervals: 0, frames: 0}, 'nothing runs any more');
  await shot(page, 'fault');
  await page.close();
});

test('a frozen background tab pauses the game, and resuming catches up no ticks in a burst', async () => {
  const page = await open(ctx.browser, `${ctx.server.url}?seed=7`);
  await started(page);
  await untilBox(page, 'play to start', (b) => b.width === 3 && b.height === 2 && b.top >= 1);
  const ticks = () => page.evaluate(() => window.vorlaneTest._vorlane_test_ticks());
  const session = await page.createCDPSession();
  // Freezing hides the page first: the game pauses itself as P would.
  await session.send('Page.setWebLifecycleState', {state: 'frozen'});
  const before = await ticks();
  // Two seconds asleep: forty gravity ticks' worth.
  await new Promise((resolve) => setTimeout(resolve, 2000));
  await session.send('Page.setWebLifecycleState', {state: 'active'});
  await waitFor('the Pause button', () => shownButton(page, 'Pause'));
  assert.equal(await ticks(), before, 'no tick while away');
  await clickButton(page, 'Pause');
  const woken = await waitFor('the first tick after resuming', async () => {
    const t = await ticks();
    return t > before ? t : null;
  });
  assert.ok(woken - before <= 3, `${woken - before} ticks at once after resuming`);
  await page.close();
});

// A key as a keyboard with another layout sends it: the character it types
// and its place on the keyboard differ from a US keyboard's.
async function layoutKey(session, key, code, keyCode) {
  for (const type of ['keyDown', 'keyUp']) {
    await session.send('Input.dispatchKeyEvent',
                       {type, key, code, windowsVirtualKeyCode: keyCode, text: type === 'keyDown' ? key : undefined});
  }
}

test('A, S and P follow the layout: by letter on AZERTY, by place on Russian', async () => {
  const page = await open(ctx.browser, `${ctx.server.url}?seed=7`);
  await started(page);
  const session = await page.createCDPSession();
  await untilBox(page, 'the first piece in the well', (b) => b.width === 3 && b.height === 2 && b.top < 9);
  // AZERTY: the key that types "a" is where a US keyboard has Q.
  await layoutKey(session, 'a', 'KeyQ', 65);
  await untilBox(page, 'the piece turned by the AZERTY A', (b) => b.width === 2 && b.height === 3);
  // Russian: the key in A's place types "ф", the one in S's place "ы".
  await layoutKey(session, 'ы', 'KeyS', 83);
  await untilBox(page, 'the piece turned back by the Russian S', (b) => b.width === 3 && b.height === 2);
  await layoutKey(session, 'з', 'KeyP', 80);
  await waitFor('the Pause button', () => shownButton(page, 'Pause'));
  // A key of another script that stands on no letter of a US keyboard does nothing.
  await layoutKey(session, 'ё', 'Backquote', 192);
  assert.deepEqual(page.errors, []);
  await page.close();
});

test('keys in every state keep the game whole: curtain, intro, play, pause, game over, restart', async () => {
  const page = await open(ctx.browser, `${ctx.server.url}?seed=11`);
  const keys = ['ArrowLeft', 'ArrowRight', 'ArrowDown', 'ArrowUp', 'a', 's', 'p', 'Space', 'Enter', 'q', 'Escape'];
  let k = 0;
  const storm = async (n) => { for (let i = 0; i < n; i++) await page.keyboard.press(keys[k++ % keys.length]); };
  await started(page);
  await storm(40);  // the curtain and the intro
  // Play, with pauses the storm makes and clicks that resume them, to the end.
  await waitFor('Game Over', async () => {
    if (await shownButton(page, 'Game Over')) return true;
    if (await shownButton(page, 'Pause')) await clickButton(page, 'Pause');
    await storm(5);
    for (let i = 0; i < 5; i++) await page.keyboard.press('ArrowDown');
    return false;
  }, {timeout: 180000, every: 50});
  await storm(30);  // game over
  // A P in the storm may have stopped the curtain, whose panels lie above
  // the buttons, before it uncovered "Game Over": the Pause button lets it
  // go on.
  if (await shownButton(page, 'Pause')) await clickButton(page, 'Pause');
  await clickButton(page, 'Game Over');
  await waitFor('a new game', async () => (await counters(page)).piecelabel === 'Blocks:0000');
  await storm(30);  // the restart's curtain
  await waitFor('the new game whole', async () => {
    if (await shownButton(page, 'Pause')) await clickButton(page, 'Pause');
    return wallsShown(await shot(page, 'storm'), {top: false});
  });
  assert.equal(await page.evaluate(() => document.getElementById('fault').hidden), true, 'no fault');
  assert.deepEqual(page.errors, []);
  await page.close();
});

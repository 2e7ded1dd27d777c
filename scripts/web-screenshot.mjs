// SPDX-License-Identifier: MIT
// Makes docs/web-screenshot.png, the README's picture of the page: serves
// build/web (make web), opens it in a headless Chromium, plays a few pieces
// with key presses and saves the page. With --phone, the page on a phone
// held upright, with its touch pad: docs/web-phone-screenshot.png.
// Usage: node scripts/web-screenshot.mjs [--phone] [OUTPUT.png]
import path from 'node:path';
import {fileURLToPath} from 'node:url';
import {launch, open, quit, serve, shownButton, started} from '../tests/web/harness.mjs';

const root = path.dirname(path.dirname(fileURLToPath(import.meta.url)));
const args = process.argv.slice(2);
const phone = args.includes('--phone');
const output = args.find((a) => a !== '--phone') ||
    path.join(root, 'docs', phone ? 'web-phone-screenshot.png' : 'web-screenshot.png');
// A phone of 390 x 844 CSS pixels at two device pixels each (a smaller
// file than the three most such phones have, and as sharp to look at).
const viewport = phone ?
    {width: 390, height: 844, deviceScaleFactor: 2, isMobile: true, hasTouch: true} :
    {width: 560, height: 500};
const pause = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

// Each piece: the keys that place it, then Down to let it fall.
const moves = [['ArrowLeft', 'ArrowLeft', 'ArrowLeft', 'ArrowLeft'], ['ArrowRight', 'ArrowRight', 'ArrowRight'],
               ['a', 'ArrowLeft'], ['s', 'ArrowRight', 'ArrowRight', 'ArrowRight', 'ArrowRight']];

const server = await serve(path.join(root, 'build', 'web'));
const browser = await launch();
try {
  const page = await open(browser, server.url, {viewport});
  await started(page);
  await pause(3000);  // the curtain and the intro
  for (const keys of moves) {
    await pause(400);
    for (const key of keys) await page.keyboard.press(key);
    await pause(300);
    await page.keyboard.press('ArrowDown');
    // One row a tick from near the top: the piece has locked within 1.5 s.
    await pause(1600);
    if (await shownButton(page, 'Game Over')) break;
  }
  await pause(1500);  // the next piece on its way down
  await page.screenshot({path: output});
  console.log(`wrote ${output}`);
} finally {
  await quit(browser);
  await server.close();
}

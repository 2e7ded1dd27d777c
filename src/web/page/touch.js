// SPDX-License-Identifier: MIT
// Fingers and the touch pad. Fingers on the window go to the game as
// touches in twips, where the gesture recogniser (C++) turns them into the
// keys a keyboard would press; the pad's buttons press those keys
// themselves. Either way the keys take the keyboard's path into the game.
import {twipsPerPixel, vk} from './keycodes.js';
import {layout} from './layout.js';

const root = document.getElementById('window');

// Touches on the window's surface and panels (not its push buttons, which
// take their taps as clicks) as calls `touch(phase, id, x, y, ms, scale)`,
// phase 0 start, 1 move, 2 end, 3 cancel, x and y in twips of the window.
export function listenToFingers(touch) {
  const phases = {touchstart: 0, touchmove: 1, touchend: 2, touchcancel: 3};
  const handle = (e) => {
    // Touches that start on a button stay the button's, wherever they go.
    if (e.target.closest && e.target.closest('button')) return;
    // No emulated mouse events, no zoom, no scrolling: the touch is the game's.
    if (e.cancelable) e.preventDefault();
    const box = root.getBoundingClientRect();
    const scale = layout.scale;
    for (const t of e.changedTouches) {
      touch(phases[e.type], t.identifier, (t.clientX - box.left) / scale * twipsPerPixel,
            (t.clientY - box.top) / scale * twipsPerPixel, e.timeStamp, scale);
    }
  };
  for (const type of Object.keys(phases)) root.addEventListener(type, handle, {passive: false});
  root.addEventListener('contextmenu', (e) => e.preventDefault());
}

// The pad's keys, by their area in the pad's grid (index.html's buttons
// carry it): the key each presses, and whether it repeats while held.
const keys = {
  left: {vk: vk.Left, repeats: true}, down: {vk: vk.Down}, right: {vk: vk.Right, repeats: true},
  acw: {vk: vk.S}, cw: {vk: vk.A}, pause: {vk: vk.P},
};
// As a keyboard repeats a held key.
const firstRepeatMs = 170, repeatMs = 50;

// Makes the page's pad (index.html; hidden until the layout shows it)
// call `key(vk)`. Returns {element, release}: release() lets go of a held key.
export function makePad(key) {
  const pad = document.getElementById('pad');
  let held = null;  // {button, timer}
  const release = () => {
    if (!held) return;
    clearTimeout(held.timer);
    held.button.classList.remove('held');
    held = null;
  };

  for (const button of pad.querySelectorAll('.pad-key')) {
    const k = keys[button.dataset.area];
    let pressedAt = -Infinity;
    button.addEventListener('pointerdown', (e) => {
      // The focus stays with the game, and no text is selected.
      e.preventDefault();
      release();
      pressedAt = e.timeStamp;
      if (button.setPointerCapture) {
        try { button.setPointerCapture(e.pointerId); } catch { /* a synthetic pointer */ }
      }
      key(k.vk);
      if (!k.repeats) return;
      button.classList.add('held');
      const again = () => { key(k.vk); held.timer = setTimeout(again, repeatMs); };
      held = {button, timer: setTimeout(again, firstRepeatMs)};
    });
    for (const type of ['pointerup', 'pointercancel', 'lostpointercapture']) {
      button.addEventListener(type, (e) => {
        pressedAt = e.timeStamp;
        if (held && held.button === button) release();
      });
    }
    // A screen reader's activation arrives as a click alone; the click that
    // follows a pointer's release is that press's, already counted.
    button.addEventListener('click', (e) => {
      if (e.timeStamp - pressedAt < 1000) return;
      key(k.vk);
    });
    button.addEventListener('contextmenu', (e) => e.preventDefault());
  }
  return {element: pad, release};
}

// SPDX-License-Identifier: MIT
// Fingers and the touch pad. Fingers on the window go to the game as
// touches in twips, where the gesture recogniser (C++) turns them into the
// keys a keyboard would press; the pad's buttons press those keys
// themselves. Either way the keys take the keyboard's path into the game.
import {layout} from './layout.js';

const twipsPerPixel = 15;
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

// The pad's keys: glyph, name for screen readers, virtual-key code, whether
// it repeats while held, and the group it sits in.
const keys = [
  {glyph: '\u25C0', label: 'Left', vk: 37, repeats: true, group: 'moves', area: 'left'},
  {glyph: '\u25BC', label: 'Down', vk: 40, repeats: false, group: 'moves', area: 'down'},
  {glyph: '\u25B6', label: 'Right', vk: 39, repeats: true, group: 'moves', area: 'right'},
  {glyph: '\u21BA', label: 'Turn anticlockwise', vk: 83, repeats: false, group: 'turns', area: 'acw'},
  {glyph: '\u21BB', label: 'Turn clockwise', vk: 65, repeats: false, group: 'turns', area: 'cw'},
  {glyph: 'P', label: 'Pause', vk: 80, repeats: false, group: 'turns', area: 'pause'},
];
// As a keyboard repeats a held key.
const firstRepeatMs = 170, repeatMs = 50;

// Makes the pad (hidden until `show()`), whose buttons call `key(vk)`.
// Returns {element, show, release}: release() lets go of a held key.
export function makePad(key) {
  const pad = document.createElement('div');
  pad.id = 'pad';
  pad.setAttribute('role', 'group');
  pad.setAttribute('aria-label', 'Touch controls');
  pad.hidden = true;
  const groups = {};
  for (const name of ['moves', 'turns']) {
    groups[name] = document.createElement('div');
    groups[name].className = `pad-group pad-${name}`;
    pad.appendChild(groups[name]);
  }

  let held = null;  // {button, timer}
  const release = () => {
    if (!held) return;
    clearTimeout(held.timer);
    held.button.classList.remove('held');
    held = null;
  };

  for (const k of keys) {
    const button = document.createElement('button');
    button.type = 'button';
    button.className = 'pad-key';
    button.style.setProperty('--area', k.area);
    button.dataset.vk = String(k.vk);
    button.setAttribute('aria-label', k.label);
    // Pad keys stay out of the keyboard's way: the keys themselves do the same.
    button.tabIndex = -1;
    const glyph = document.createElement('span');
    glyph.setAttribute('aria-hidden', 'true');
    glyph.textContent = k.glyph;
    button.appendChild(glyph);
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
    groups[k.group].appendChild(button);
  }
  return {element: pad, show() { pad.hidden = false; }, release};
}

// SPDX-License-Identifier: MIT
// The window's size on screen: the whole window always shows, scaled as one
// piece to the room the viewport gives it (within the safe area, beside the
// touch pad when it shows). On a desktop it keeps its design size, or grows
// by whole steps (x 2, x 3) where there is room for them.
//
// The window is not stretched (a transform would blur it): the bridge lays
// it out at the scaled size and draws at devicePixelRatio x scale, so that
// every border, hatch line and glyph is drawn for the device's pixels. Its
// canvases, and the window's corner (snap()), lie on whole CSS pixels: a
// canvas between device pixels would be filtered across two. (CSS zoom on
// the window would scale it too, but zoomed lengths fall between device
// pixels at ratios such as 3, and the picture blurs.)
//
// The page loads this script before it renders (blocking="render"), and the
// script lays the window's place out at once, the pad included: the first
// frame comes where the page already shows the window.

const root = document.getElementById('window');
const main = root.parentElement;
const pad = document.getElementById('pad');

// The one record of the window's scale, which the bridge reads.
export const layout = {
  scale: 1,  // the window's size on screen over its design size
  dpr: 1,    // device pixels per CSS pixel of the page
  ratio: 1,  // device pixels per design pixel: dpr x scale
  touch: false,  // the pad shows
};

// The window's design size in CSS pixels, as the game set it; before the
// game runs, the place the page's style keeps for it (index.html), which is
// the same, so that the first frame is drawn at its scale at once.
const styled = {width: root.offsetWidth, height: root.offsetHeight};
function designSize() {
  return {width: Number(root.dataset.width) || styled.width,
          height: Number(root.dataset.height) || styled.height};
}

// A length of the design at the window's scale in whole CSS pixels, rounded
// up, as the window and its canvases are sized.
export const scaled = (v) => Math.ceil(v * layout.scale - 1e-6);

// The room inside the safe area.
function room() {
  const style = getComputedStyle(main);
  const px = (name) => parseFloat(style[name]) || 0;
  return {width: main.clientWidth - px('paddingLeft') - px('paddingRight'),
          height: main.clientHeight - px('paddingTop') - px('paddingBottom'),
          gap: px('rowGap')};
}

// The pad's extent in one arrangement: below the window (`below`) or in
// two groups on either side of it. Its keys' sizes follow the viewport's
// width alone: measured once for each width (each measure lays the page out).
const extents = new Map();
function padExtent(arrangement, viewportWidth) {
  const key = `${arrangement} ${viewportWidth}`;
  if (extents.has(key)) return extents.get(key);
  main.dataset.pad = arrangement;
  let width = 0, height = 0;
  for (const group of pad.children) {
    const r = group.getBoundingClientRect();
    width += r.width;
    height = Math.max(height, r.height);
  }
  extents.set(key, {width, height});
  return {width, height};
}

// The largest scale at which `size` fits in width x height.
const fit = (size, width, height) => Math.max(0.05, Math.min(width / size.width, height / size.height));

// Fits the window to its room again and gives it its size on screen;
// returns whether its scale or the device ratio changed, and with them its
// drawing.
export function arrange() {
  const size = designSize();
  if (!size.width || !size.height) return false;
  const r = room();
  let scale;
  if (layout.touch && !pad.hidden) {
    const below = padExtent('below', innerWidth);
    const belowScale = fit(size, r.width, r.height - below.height - r.gap);
    const beside = padExtent('beside', innerWidth);
    const besideScale = fit(size, r.width - beside.width - 2 * r.gap, r.height);
    scale = Math.max(belowScale, besideScale);
    main.dataset.pad = besideScale > belowScale ? 'beside' : 'below';
  } else {
    delete main.dataset.pad;
    // Whole steps keep every line of the design on device pixels.
    const room = fit(size, r.width, r.height);
    scale = room >= 2 ? Math.floor(room) : Math.min(1, room);
  }
  const dpr = window.devicePixelRatio || 1;
  // In whole CSS pixels (the window's size is rounded up to them), the room
  // not exceeded.
  if (!Number.isInteger(scale)) {
    scale = Math.min(scale, Math.floor(scale * size.width) / size.width,
                     Math.floor(scale * size.height) / size.height);
    scale = Math.max(0.05, scale);
  }
  const changed = scale !== layout.scale || dpr !== layout.dpr;
  layout.scale = scale;
  layout.dpr = dpr;
  layout.ratio = dpr * scale;
  root.style.width = `${scaled(size.width)}px`;
  root.style.height = `${scaled(size.height)}px`;
  return changed;
}

// Centring may leave the window's corner between pixels: it is moved onto
// a whole CSS pixel (see the bridge's VL.at). Call once the window has its
// new size.
export function snap() {
  root.style.left = '';
  root.style.top = '';
  const box = root.getBoundingClientRect();
  const dx = Math.round(box.left) - box.left, dy = Math.round(box.top) - box.top;
  if (dx) root.style.left = `${dx}px`;
  if (dy) root.style.top = `${dy}px`;
}

// Shows the pad (a device whose main pointer is a finger, or the first
// touch) and lays the window out beside it.
export function showPad() {
  if (layout.touch) return false;
  layout.touch = true;
  pad.hidden = false;
  arrange();
  snap();
  return true;
}

// The place of the window before anything else is drawn.
if (matchMedia('(pointer: coarse)').matches) {
  showPad();
} else {
  arrange();
  snap();
}

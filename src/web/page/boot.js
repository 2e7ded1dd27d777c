// SPDX-License-Identifier: MIT
// Starts the game once the page's fonts are in (labels measure their
// captions with them), and carries keys, clicks, timeouts and changes of
// scale to it. A fault anywhere stops the game and says so on the page.
import {listenToKeys} from './input.js';
import {arrange, layout, snap} from './layout.js';
import {listenToFingers, makePad} from './touch.js';

const root = document.getElementById('window');
let game = null;
let stopped = false;

// What the bridge calls (see bridge.js): filled in once the game runs.
const page = {wake() {}, click() {}, timer: 0, scale: 1};

function stop(reason) {
  if (stopped) return;
  stopped = true;
  if (page.timer) clearTimeout(page.timer);
  page.timer = 0;
  pad.release();
  root.classList.add('stopped');
  for (const button of root.querySelectorAll('button')) button.disabled = true;
  const fault = document.getElementById('fault');
  // A C++ exception reaches here as a bare number: say what it is.
  const what = typeof reason === 'number' ? 'an exception in the game' :
      String(reason && reason.message ? reason.message : reason);
  fault.textContent = `The game stopped after an internal error and cannot go on (${what}). ` +
      'Reload the page to play again.';
  fault.hidden = false;
}

// Every call into the game goes through here: an exception or a trap
// stops the game rather than leaving a frozen board.
function guarded(call) {
  return (...args) => {
    if (stopped || !game) return;
    try {
      call(...args);
    } catch (e) {
      stop(e);
    }
  };
}

// Zoom, another screen, a resize or a turn of the phone: the window is
// fitted to its room again and, when its scale or the device pixel ratio
// changed, redrawn sharp. Browsers tell of a new ratio by a media query's
// change, a resize, or both.
const rescale = guarded(() => game._vorlane_rescale());
const pad = makePad(guarded((vk) => game._vorlane_key(vk, 0)));
let query = null;
function relayout() {
  if (!game) return;
  if (arrange(pad.element)) {
    page.scale = layout.scale;
    rescale();
  }
  snap();
  watchRatio();
}
function watchRatio() {
  const ratio = window.devicePixelRatio || 1;
  if (query && query.media === `(resolution: ${ratio}dppx)`) return;
  if (query) query.removeEventListener('change', relayout);
  query = matchMedia(`(resolution: ${ratio}dppx)`);
  query.addEventListener('change', relayout);
}

// The pad shows on a device whose main pointer is a finger, or from the
// first touch on.
function showPad() {
  if (layout.touch) return;
  layout.touch = true;
  pad.show();
  relayout();
}

function start() {
  listenToKeys(guarded((vk, shift) => game._vorlane_key(vk, shift)));
  listenToFingers(guarded((...touch) => game._vorlane_touch(...touch)));
  root.after(pad.element);
  window.addEventListener('resize', relayout);
  if (window.visualViewport) window.visualViewport.addEventListener('resize', relayout);
  const coarse = matchMedia('(pointer: coarse)');
  coarse.addEventListener('change', () => { if (coarse.matches) showPad(); });
  document.addEventListener('touchstart', showPad, {capture: true, passive: true});
  // Time away pauses a game under way, as P does; the game decides whether
  // one is. A held pad key is let go.
  document.addEventListener('visibilitychange', () => {
    if (!document.hidden) return;
    pad.release();
    guarded(() => game._vorlane_hidden())();
  });
  window.addEventListener('error', (e) => { if (game) stop(e.error || e.message); });
  window.addEventListener('unhandledrejection', (e) => stop(e.reason));

  const fontsReady = Promise.all([...document.fonts].map((face) => face.load()));
  const started = createVorlane({noInitialRun: true, page, onAbort: stop});

  Promise.all([started, fontsReady]).then(([loaded]) => {
    game = loaded;
    page.wake = guarded(() => game._vorlane_wake());
    page.click = guarded((id) => {
      game._vorlane_click(id);
      root.focus({preventScroll: true});
    });
    guarded(() => game.callMain([]))();
    if (coarse.matches) showPad();
    relayout();
    root.focus({preventScroll: true});
  }, stop);
}

if (typeof WebAssembly !== 'object' || typeof createVorlane !== 'function') {
  root.hidden = true;
  document.getElementById('unsupported').hidden = false;
} else {
  start();
}

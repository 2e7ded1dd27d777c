// SPDX-License-Identifier: MIT
// Starts the game once the page's fonts are in (labels measure their
// captions with them), and carries keys, clicks, timeouts and changes of
// scale to it. A fault anywhere stops the game and says so on the page.
import {listenToKeys} from './input.js';

const root = document.getElementById('window');
let game = null;
let stopped = false;

// What the bridge calls (see bridge.js): filled in once the game runs.
const page = {wake() {}, click() {}, timer: 0};

function stop(reason) {
  if (stopped) return;
  stopped = true;
  if (page.timer) clearTimeout(page.timer);
  page.timer = 0;
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

// Zoom or another screen changes the device pixel ratio: redraw sharp.
// Browsers tell of it by a media query's change, a resize, or both.
let ratio = window.devicePixelRatio || 1;
const rescale = guarded(() => game._vorlane_rescale());
let query = null;
function ratioChanged() {
  const now = window.devicePixelRatio || 1;
  if (now === ratio) return;
  ratio = now;
  rescale();
  watchRatio();
}
function watchRatio() {
  if (query) query.removeEventListener('change', ratioChanged);
  query = matchMedia(`(resolution: ${ratio}dppx)`);
  query.addEventListener('change', ratioChanged);
}

function start() {
  listenToKeys(guarded((vk, shift) => game._vorlane_key(vk, shift)));
  window.addEventListener('resize', ratioChanged);
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
    ratio = window.devicePixelRatio || 1;
    guarded(() => game.callMain([]))();
    watchRatio();
    root.focus({preventScroll: true});
  }, stop);
}

if (typeof WebAssembly !== 'object' || typeof createVorlane !== 'function') {
  root.hidden = true;
  document.getElementById('unsupported').hidden = false;
} else {
  start();
}

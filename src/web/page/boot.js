// SPDX-License-Identifier: MIT
// Loads the game, saying what is loading and how much has come, and starts
// it once its code is instantiated and the page's fonts are in (labels
// measure their captions with them); then carries keys, clicks, timeouts
// and changes of scale to it. A file that cannot be loaded, or a fault
// anywhere, stops the game and says so on the page. Once the game runs,
// a service worker (sw.js) is offered the site, for play without the network.
/* global createVorlane -- the game's module factory, which vorlane.js defines */
import {faces} from './faces.js';
import {listenToKeys} from './input.js';
import {arrange, layout, showPad, snap} from './layout.js';
import {listenToFingers, makePad} from './touch.js';

const root = document.getElementById('window');
let game = null;
let stopped = false;

// What the bridge calls and reads (see bridge.js): filled in once the game runs.
const page = {
  wake() {}, click() {}, timer: 0, repeats: false, layout, faces,
  clearTimer() {
    if (this.timer) (this.repeats ? clearInterval : clearTimeout)(this.timer);
    this.timer = 0;
    this.repeats = false;
  },
};

// A file of the site that did not come, or came broken: its message names it.
class LoadFault extends Error {}

function stop(reason) {
  if (stopped) return;
  stopped = true;
  page.clearTimer();
  pad.release();
  root.classList.add('stopped');
  for (const button of root.querySelectorAll('button')) button.disabled = true;
  document.getElementById('progress').hidden = true;
  const fault = document.getElementById('fault');
  if (reason instanceof LoadFault) {
    // Nothing to press in a game that did not come.
    pad.element.hidden = true;
    for (const button of root.querySelectorAll('button')) button.hidden = true;
    fault.textContent = reason.message;
  } else {
    // A C++ exception reaches here as a bare number: say what it is.
    const what = typeof reason === 'number' ? 'an exception in the game' :
        String(reason && reason.message ? reason.message : reason);
    fault.textContent = `The game stopped after an internal error and cannot go on (${what}). ` +
        'Reload the page to play again.';
  }
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
  if (arrange()) rescale();  // once the game runs
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

// The pad shows on a device whose main pointer is a finger (layout.js
// showed it at once), or from the first touch on.
function touched() {
  if (!stopped && showPad()) relayout();
}

// What has come of the game's code and its fonts, on the page until the
// first frame.
const loading = {code: 0, codeTotal: 0, fonts: 0, fontsTotal: 0};
function showProgress() {
  const kib = (n) => Math.round(n / 1024);
  const code = loading.codeTotal ?
      `${kib(loading.code)} of ${kib(loading.codeTotal)} KiB` : `${kib(loading.code)} KiB`;
  document.getElementById('progress').textContent =
      `Loading the game: its code ${code}, its fonts ${loading.fonts} of ${loading.fontsTotal}`;
}

// Why a file did not come: the server answered without it (the site lacks
// it), or no answer came (the connection).
const unreachable = (what) => new LoadFault(
    `${what} could not be loaded: check the connection and reload the page.`);
const missing = (what, status) => new LoadFault(
    `${what} is missing from the site (the server answered HTTP ${status}): the game cannot ` +
    'start until the site is mended.');
const damaged = (what) => new LoadFault(
    `${what} came damaged and cannot run: reload the page; if this keeps happening, ` +
    'the site itself is broken.');
// A file that a script or a font rule could not load, which does not say
// why: asked of the server again.
async function notLoaded(file, what) {
  let response;
  try {
    response = await fetch(file, {method: 'HEAD', cache: 'no-store'});
  } catch {
    return unreachable(what);
  }
  return response.ok ? damaged(what) : missing(what, response.status);
}

// The game's WebAssembly, compiled as it comes, and counted, so that the
// page can say how much has come. The length is known when the server sent
// the file as it is. Resolves to the compiled module.
async function fetchCode(file) {
  const what = `The game's code (${file})`;
  let response;
  try {
    // The page's head has it preloaded.
    response = await fetch(file);
  } catch {
    throw unreachable(what);
  }
  if (!response.ok) throw missing(what, response.status);
  const length = Number(response.headers.get('Content-Length'));
  if (!response.headers.get('Content-Encoding') && length > 0) loading.codeTotal = length;
  let body = response.body;
  if (body && typeof TransformStream === 'function') {
    body = body.pipeThrough(new TransformStream({transform(chunk, out) {
      loading.code += chunk.length;
      showProgress();
      out.enqueue(chunk);
    }}));
  }
  const counted = new Response(body, {headers: {'Content-Type': 'application/wasm'}});
  let bytes = null;
  try {
    if (WebAssembly.compileStreaming) return await WebAssembly.compileStreaming(counted);
    bytes = await counted.arrayBuffer();
  } catch (e) {
    // A stream cut off is the network's fault; anything else, the file's.
    if (e instanceof TypeError) throw unreachable(what);
    throw damaged(what);
  }
  try {
    return await WebAssembly.compile(bytes);
  } catch {
    throw damaged(what);
  }
}

// The glue that makes the game's module (createVorlane), added to the page.
function addScript(file) {
  return new Promise((resolve, reject) => {
    const script = document.createElement('script');
    script.src = file;
    const what = `The game's code (${file})`;
    script.onload = () => {
      if (typeof createVorlane === 'function') resolve();
      else reject(damaged(what));
    };
    script.onerror = () => notLoaded(file, what).then(reject);
    document.body.appendChild(script);
  });
}

// The file of each family of the page's @font-face rules.
export function fontFiles() {
  const files = new Map();
  for (const sheet of document.styleSheets) {
    for (const rule of sheet.cssRules) {
      if (!(rule instanceof CSSFontFaceRule)) continue;
      const family = rule.style.getPropertyValue('font-family').replace(/["']/g, '').trim();
      const file = /url\(["']?([^"')]+)/.exec(rule.style.getPropertyValue('src'));
      if (file) files.set(family, file[1]);
    }
  }
  return files;
}

// Every face of the page's @font-face rules, each named by its file.
function loadFonts() {
  const files = fontFiles();
  const faces = [...document.fonts];
  loading.fontsTotal = faces.length;
  return Promise.all(faces.map((face) => face.load().then(() => {
    loading.fonts++;
    showProgress();
  }, async () => {
    const family = face.family.replace(/["']/g, '');
    const file = files.get(family);
    const what = `A font of the game (${file || family})`;
    throw file ? await notLoaded(file, what) : damaged(what);
  })));
}

// Offers the site to the service worker once the game runs, so that the
// precache does not take the network from the first frame. The game does
// not need it: without service workers, with storage refused or with a
// failed precache, it plays on from the network.
function offerToServiceWorker() {
  try {
    if (!('serviceWorker' in navigator)) return;
    navigator.serviceWorker.register('sw.js').catch(() => {});
  } catch {
    // Refused outright (storage off, an opaque origin): nothing to do.
  }
}

function start() {
  listenToKeys(guarded((vk, shift) => game._vorlane_key(vk, shift)));
  listenToFingers(guarded((...touch) => game._vorlane_touch(...touch)));
  window.addEventListener('resize', relayout);
  if (window.visualViewport) window.visualViewport.addEventListener('resize', relayout);
  const coarse = matchMedia('(pointer: coarse)');
  coarse.addEventListener('change', () => { if (coarse.matches) touched(); });
  document.addEventListener('touchstart', touched, {capture: true, passive: true});
  // Time away pauses a game under way, as P does; the game decides whether
  // one is. A held pad key is let go.
  document.addEventListener('visibilitychange', () => {
    if (!document.hidden) return;
    pad.release();
    guarded(() => game._vorlane_hidden())();
  });
  window.addEventListener('error', (e) => { if (game) stop(e.error || e.message); });
  window.addEventListener('unhandledrejection', (e) => stop(e.reason));

  // The pad and the scale are settled (layout.js) while the files come, so
  // that the first frame is drawn at once, at its size.
  watchRatio();

  const wasm = 'vorlane.wasm';
  const fontsReady = loadFonts();
  showProgress();
  const code = fetchCode(wasm);
  const started = addScript('vorlane.js').then(() => createVorlane({
    noInitialRun: true, page, onAbort: stop,
    instantiateWasm(imports, receive) {
      code.then((module) => WebAssembly.instantiate(module, imports).then(
          (instance) => receive(instance, module), () => { throw damaged(`The game's code (${wasm})`); }))
          .catch(stop);
      return {};
    },
  }));

  Promise.all([started, fontsReady, code]).then(([loaded]) => {
    game = loaded;
    page.wake = guarded(() => game._vorlane_wake());
    page.click = guarded((id) => {
      game._vorlane_click(id);
      root.focus({preventScroll: true});
    });
    document.getElementById('progress').hidden = true;
    guarded(() => game.callMain([]))();
    root.focus({preventScroll: true});
    // The rest in a task of its own: the first frame's is long on a slow phone.
    setTimeout(() => {
      relayout();
      if (!stopped) offerToServiceWorker();
    });
  }, stop);
}

if (typeof WebAssembly !== 'object') {
  root.hidden = true;
  document.getElementById('progress').hidden = true;
  document.getElementById('unsupported').hidden = false;
} else {
  start();
}

// SPDX-License-Identifier: MIT
// Starts the game once the page's fonts are in (labels measure their
// captions with them), and carries keys, clicks, timeouts and changes of
// scale to it. A fault anywhere stops the game and says so on the page.
(function () {
  'use strict';

  var root = document.getElementById('window');

  if (typeof WebAssembly !== 'object' || typeof createVorlane !== 'function') {
    root.hidden = true;
    document.getElementById('unsupported').hidden = false;
    return;
  }

  var game = null;
  var stopped = false;

  function stop(reason) {
    if (stopped) return;
    stopped = true;
    if (game && game.vlTimer) clearTimeout(game.vlTimer);
    if (game) game.vlTimer = 0;
    root.classList.add('stopped');
    var buttons = root.querySelectorAll('button');
    for (var k = 0; k < buttons.length; k++) buttons[k].disabled = true;
    var fault = document.getElementById('fault');
    // A C++ exception reaches here as a bare number: say what it is.
    var what = typeof reason === 'number' ? 'an exception in the game' :
        String(reason && reason.message ? reason.message : reason);
    fault.textContent = 'The game stopped after an internal error and cannot go on (' + what +
        '). Reload the page to play again.';
    fault.hidden = false;
  }

  // Every call into the game goes through here: an exception or a trap
  // stops the game rather than leaving a frozen board.
  function guarded(call) {
    return function () {
      if (stopped || !game) return;
      try {
        call.apply(null, arguments);
      } catch (e) {
        stop(e);
      }
    };
  }

  // Virtual-key codes of a desktop keyboard. A Latin letter or a digit maps
  // by the character its key types, so that A, S and P are where the layout
  // puts them (AZERTY too); a letter of another script (Cyrillic, Greek...)
  // maps by its key's place, the Latin letter a US keyboard has there.
  var named = {
    Backspace: 8, Tab: 9, Enter: 13, NumpadEnter: 13, ShiftLeft: 16, ShiftRight: 16,
    ControlLeft: 17, ControlRight: 17, AltLeft: 18, AltRight: 18, Escape: 27, Space: 32,
    PageUp: 33, PageDown: 34, End: 35, Home: 36, ArrowLeft: 37, ArrowUp: 38,
    ArrowRight: 39, ArrowDown: 40, Insert: 45, Delete: 46
  };
  function virtualKey(e) {
    var key = e.key || '', code = e.code || '';
    if (key.length === 1 && key !== ' ') {
      var upper = key.toUpperCase();
      if (upper >= 'A' && upper <= 'Z') return upper.charCodeAt(0);
      if (key >= '0' && key <= '9') return key.charCodeAt(0);
      if (/\p{L}/u.test(key)) return /^Key[A-Z]$/.test(code) ? code.charCodeAt(3) : 0;
      return 0;
    }
    var f = /^F([1-9]|1[0-2])$/.exec(key);
    if (f) return 111 + Number(f[1]);
    return named[code] || 0;
  }
  // Keys whose browser defaults (scrolling, finding) must not fire while playing.
  var gameKeys = {32: 1, 37: 1, 38: 1, 39: 1, 40: 1, 65: 1, 80: 1, 83: 1};

  var key = guarded(function (vk, shift) { game._vorlane_key(vk, shift); });
  document.addEventListener('keydown', function (e) {
    var vk = virtualKey(e);
    if (!vk) return;
    var chord = e.ctrlKey || e.altKey || e.metaKey;
    if (gameKeys[vk] && !chord) e.preventDefault();
    key(vk, (e.shiftKey ? 1 : 0) | (e.ctrlKey ? 2 : 0) | (e.altKey ? 4 : 0));
  });

  // Zoom or another screen changes the device pixel ratio: redraw sharp.
  // Browsers tell of it by a media query's change, a resize, or both.
  var ratio = window.devicePixelRatio || 1;
  var rescale = guarded(function () { game._vorlane_rescale(); });
  function ratioChanged() {
    var now = window.devicePixelRatio || 1;
    if (now === ratio) return;
    ratio = now;
    rescale();
    watchRatio();
  }
  var query = null;
  function watchRatio() {
    if (query) query.removeEventListener('change', ratioChanged);
    query = matchMedia('(resolution: ' + ratio + 'dppx)');
    query.addEventListener('change', ratioChanged);
  }
  window.addEventListener('resize', ratioChanged);

  window.addEventListener('error', function (e) { if (game) stop(e.error || e.message); });
  window.addEventListener('unhandledrejection', function (e) { stop(e.reason); });

  var faces = [];
  document.fonts.forEach(function (face) { faces.push(face.load()); });
  var fontsReady = Promise.all(faces);
  var started = createVorlane({
    noInitialRun: true,
    onAbort: function (what) { stop(what); }
  });

  Promise.all([started, fontsReady]).then(function (loaded) {
    game = loaded[0];
    game.vlWake = guarded(function () { game._vorlane_wake(); });
    game.vlClick = guarded(function (id) {
      game._vorlane_click(id);
      root.focus({preventScroll: true});
    });
    ratio = window.devicePixelRatio || 1;
    guarded(function () { game.callMain([]); })();
    watchRatio();
    root.focus({preventScroll: true});
  }, stop);
})();

// SPDX-License-Identifier: MIT
// The keyboard as the game sees it: browser key events as the virtual-key
// codes of a desktop keyboard, raised through the game's one key path.

// A Latin letter or a digit maps by the character its key types, so that
// A, S and P are where the layout puts them (AZERTY too); a letter of
// another script (Cyrillic, Greek...) maps by its key's place, the Latin
// letter a US keyboard has there.
const named = {
  Backspace: 8, Tab: 9, Enter: 13, NumpadEnter: 13, ShiftLeft: 16, ShiftRight: 16,
  ControlLeft: 17, ControlRight: 17, AltLeft: 18, AltRight: 18, Escape: 27, Space: 32,
  PageUp: 33, PageDown: 34, End: 35, Home: 36, ArrowLeft: 37, ArrowUp: 38,
  ArrowRight: 39, ArrowDown: 40, Insert: 45, Delete: 46,
};

export function virtualKey(e) {
  const key = e.key || '', code = e.code || '';
  if (key.length === 1 && key !== ' ') {
    const upper = key.toUpperCase();
    if (upper >= 'A' && upper <= 'Z') return upper.charCodeAt(0);
    if (key >= '0' && key <= '9') return key.charCodeAt(0);
    if (/\p{L}/u.test(key)) return /^Key[A-Z]$/.test(code) ? code.charCodeAt(3) : 0;
    return 0;
  }
  const f = /^F([1-9]|1[0-2])$/.exec(key);
  if (f) return 111 + Number(f[1]);
  return named[code] || 0;
}

// Keys whose browser defaults (scrolling, finding) must not fire while playing.
const gameKeys = new Set([32, 37, 38, 39, 40, 65, 80, 83]);

// Space and Enter on a push button of the window that has the focus (Tab
// put it there) press it, as the browser does; the game does not see them.
const pressesButton = (vk) => (vk === 32 || vk === 13) &&
    document.activeElement instanceof HTMLButtonElement &&
    document.activeElement.parentElement === document.getElementById('window');

// Hands every key-down of the document to `key(vk, shift)`.
export function listenToKeys(key) {
  document.addEventListener('keydown', (e) => {
    const vk = virtualKey(e);
    if (!vk || pressesButton(vk)) return;
    const chord = e.ctrlKey || e.altKey || e.metaKey;
    if (gameKeys.has(vk) && !chord) e.preventDefault();
    key(vk, (e.shiftKey ? 1 : 0) | (e.ctrlKey ? 2 : 0) | (e.altKey ? 4 : 0));
  });
}

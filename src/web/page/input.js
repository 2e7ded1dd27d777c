// SPDX-License-Identifier: MIT
// The keyboard as the game sees it: browser key events as the virtual-key
// codes of a desktop keyboard, raised through the game's one key path.
// The codes come from the game's own table (keycodes.js, written from
// src/platform/keys.h when the page is built).
import {bits, vk} from './keycodes.js';

// The keys that type no character, by their place on the keyboard.
export const named = {
  Backspace: vk.Back, Tab: vk.Tab, Enter: vk.Return, NumpadEnter: vk.Return,
  ShiftLeft: vk.Shift, ShiftRight: vk.Shift, ControlLeft: vk.Control, ControlRight: vk.Control,
  AltLeft: vk.Menu, AltRight: vk.Menu, Escape: vk.Escape, Space: vk.Space,
  PageUp: vk.Prior, PageDown: vk.Next, End: vk.End, Home: vk.Home, ArrowLeft: vk.Left,
  ArrowUp: vk.Up, ArrowRight: vk.Right, ArrowDown: vk.Down, Insert: vk.Insert,
  Delete: vk.Delete,
};

// A Latin letter or a digit maps by the character its key types (their
// codes are their characters'), so that A, S and P are where the layout
// puts them (AZERTY too); a letter of another script (Cyrillic, Greek...)
// maps by its key's place, the Latin letter a US keyboard has there.
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
  if (f) return vk.F1 + Number(f[1]) - 1;
  return named[code] || 0;
}

// Keys whose browser defaults (scrolling, finding) must not fire while playing.
const gameKeys = new Set([vk.Space, vk.Left, vk.Up, vk.Right, vk.Down, vk.A, vk.P, vk.S]);

// Hands every key-down of the document to `key(vk, shift)`.
export function listenToKeys(key) {
  document.addEventListener('keydown', (e) => {
    const code = virtualKey(e);
    if (!code) return;
    const chord = e.ctrlKey || e.altKey || e.metaKey;
    if (gameKeys.has(code) && !chord) e.preventDefault();
    key(code, (e.shiftKey ? bits.ShiftBit : 0) | (e.ctrlKey ? bits.CtrlBit : 0) |
        (e.altKey ? bits.AltBit : 0));
  });
}

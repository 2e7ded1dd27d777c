// SPDX-License-Identifier: MIT
// The page's keys against the game's one table of key codes (keycodes.js,
// written from src/platform/keys.h): a code cannot be added on one side only.
import assert from 'node:assert/strict';
import path from 'node:path';
import {test} from 'node:test';
import {pathToFileURL} from 'node:url';
import {shippedSite} from './harness.mjs';

const site = (name) => import(pathToFileURL(path.join(shippedSite, name)).href);
const {vk, bits} = await site('keycodes.js');
const {named, virtualKey} = await site('input.js');

const range = (first, last) => Array.from({length: last - first + 1}, (_, k) => first + k);

test('every code of the table is a key of the page, and the page raises no other', () => {
  const raised = new Set(Object.values(named));
  for (const c of range(vk.A, vk.Z)) raised.add(virtualKey({key: String.fromCharCode(c).toLowerCase()}));
  for (const c of range(vk.Digit0, vk.Digit9)) raised.add(virtualKey({key: String.fromCharCode(c)}));
  for (const n of range(1, 12)) raised.add(virtualKey({key: `F${n}`}));
  const table = new Set(Object.values(vk));
  for (const code of table) {
    const inRange = (code >= vk.A && code <= vk.Z) || (code >= vk.Digit0 && code <= vk.Digit9) ||
        (code >= vk.F1 && code <= vk.F12);
    assert.ok(raised.has(code) || inRange, `code ${code} of the table is raised by no key`);
  }
  for (const code of raised) {
    const inRange = (code >= vk.A && code <= vk.Z) || (code >= vk.Digit0 && code <= vk.Digit9) ||
        (code >= vk.F1 && code <= vk.F12);
    assert.ok(table.has(code) || inRange, `the page raises ${code}, which the table lacks`);
  }
  assert.equal(vk.Z - vk.A, 25);
  assert.equal(vk.F12 - vk.F1, 11);
  assert.deepEqual(Object.values(bits).sort(), [1, 2, 4]);
});

test('the game keys map by character, by place and by name', () => {
  assert.equal(virtualKey({key: 'a', code: 'KeyQ'}), vk.A, 'AZERTY: A is where it is printed');
  assert.equal(virtualKey({key: 'ы', code: 'KeyS'}), vk.S, 'Russian: the key in the place of S');
  assert.equal(virtualKey({key: 'P', code: 'KeyP'}), vk.P);
  assert.equal(virtualKey({key: 'ArrowLeft', code: 'ArrowLeft'}), vk.Left);
  assert.equal(virtualKey({key: 'F5', code: 'F5'}), 116);
  assert.equal(virtualKey({key: '?', code: 'Slash'}), 0, 'a key the keyboard table lacks');
});

// SPDX-License-Identifier: MIT
// The page's keys against the game's one table of key codes (keycodes.js,
// written from src/platform/keys.h): a code cannot be added on one side
// only, and no file of the page writes a code of its own.
import assert from 'node:assert/strict';
import fs from 'node:fs';
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
  assert.equal(virtualKey({key: 'F5', code: 'F5'}), vk.F1 + 4);
  assert.equal(virtualKey({key: '?', code: 'Slash'}), 0, 'a key the keyboard table lacks');
});

test('every file of the page takes its key codes from the table, by name', () => {
  const dir = new URL('../../src/web/page/', import.meta.url);
  const text = (file) => fs.readFileSync(new URL(file, dir), 'utf8');
  for (const file of fs.readdirSync(dir).filter((f) => /\.(js|html)$/.test(f))) {
    for (const [, name] of text(file).matchAll(/\bvk\.(\w+)/g)) {
      assert.ok(name in vk, `${file}: vk.${name} is not in the table`);
    }
    assert.doesNotMatch(text(file), /data-vk|\bvk: *\d|keyCode|\.which\b/, `${file} writes a key code of its own`);
  }
  // The pad's keys: each area of the page's pad (index.html) presses a key
  // of the table (touch.js).
  const areas = new Set([...text('index.html').matchAll(/data-area="(\w+)"/g)].map((m) => m[1]));
  const pressed = new Map([...text('touch.js').matchAll(/(\w+): \{vk: vk\.(\w+)/g)].map((m) => [m[1], m[2]]));
  assert.deepEqual([...pressed.keys()].sort(), [...areas].sort(), 'a code for every key of the pad');
  assert.deepEqual([...pressed.values()].sort(), ['A', 'Down', 'Left', 'P', 'Right', 'S']);
});

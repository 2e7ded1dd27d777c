// SPDX-License-Identifier: MIT
// The JavaScript linter's rules for the page, its browser tests, the bench
// and the scripts. Run from the top of the tree:
//   npx --prefix tests/web eslint -c tests/web/eslint.config.mjs
import globals from 'globals';

const rules = {
  'no-undef': 'error',
  'no-unused-vars': ['error', {caughtErrors: 'none'}],
  'prefer-const': 'error',
  'eqeqeq': 'error',
};

export default [
  {ignores: ['build/**', '**/node_modules/**']},
  // The page's modules, in the browser.
  {files: ['src/web/page/*.js'], languageOptions: {sourceType: 'module', globals: globals.browser}, rules},
  // The service worker.
  {files: ['src/web/page/sw.js'], languageOptions: {sourceType: 'script', globals: globals.serviceworker}, rules},
  // The bridge: a library that emscripten merges into the game's glue,
  // whose names it provides.
  {
    files: ['src/web/bridge.js'],
    languageOptions: {
      sourceType: 'script',
      globals: {...globals.browser, mergeInto: 'readonly', LibraryManager: 'readonly', Module: 'readonly',
                VL: 'writable', UTF8ToString: 'readonly', HEAP32: 'readonly'},
    },
    rules,
  },
  // The browser tests, the bench and the scripts, in Node (and functions
  // they hand to the browser).
  {
    files: ['tests/web/*.mjs', 'bench/*.mjs', 'scripts/*.mjs'],
    languageOptions: {sourceType: 'module', globals: {...globals.node, ...globals.browser}},
    rules,
  },
];

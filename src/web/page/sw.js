// SPDX-License-Identifier: MIT
// The page's service worker: it keeps every file of the site in a cache
// named after the build, so that after one visit the game loads and plays
// without the network. A new build installs beside the running one and
// waits: it takes over when no page of the old one is open any more, so a
// game in progress never has its files changed under it.
const site = {version: 'unbuilt', files: []};  // written by the build (service_worker.cmake)

const prefix = 'vorlane-';
const name = prefix + site.version;

self.addEventListener('install', (event) => {
  // Revalidated with the server, so that an HTTP cache cannot mix an older
  // file into this build's set.
  event.waitUntil(caches.open(name).then((cache) =>
      cache.addAll(site.files.map((file) => new Request(file, {cache: 'no-cache'})))));
});

self.addEventListener('activate', (event) => {
  event.waitUntil(caches.keys()
      .then((keys) => Promise.all(keys.filter((key) => key.startsWith(prefix) && key !== name)
                                      .map((key) => caches.delete(key))))
      // The first install takes the page that registered it at once; later
      // builds activate only when no page uses the old one, so this claims
      // nothing from a running game.
      .then(() => self.clients.claim()));
});

self.addEventListener('fetch', (event) => {
  const request = event.request;
  if (request.method !== 'GET') return;
  const url = new URL(request.url);
  if (url.origin !== location.origin) return;
  // The site's root is its index.html; a query (the tests' ?seed=) changes no file.
  const scope = new URL(self.registration.scope);
  const key = url.pathname === scope.pathname ? new URL('index.html', scope).href : url.href;
  event.respondWith(caches.open(name)
      .then((cache) => cache.match(key, {ignoreSearch: true}))
      .then((hit) => hit || fetch(request)));
});

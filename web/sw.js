// Offline: every file of the page is kept in a cache at the first visit.
// The network comes first, and each request asks the server whether the
// browser's copy is still current (no-cache: a 304 costs no download), so
// a new build or a changed word list is taken as soon as it is served;
// without the network, the cache answers. The model Best first ranks by
// and its relatedness file are not among the files: the worker fetches
// them when the word list is in and puts its copies in the same cache
// (worker.js), so a visit that never gets that far downloads them once,
// not twice.
'use strict';
const CACHE = 'vexlore-1';
const FILES = ['./', 'index.html', 'vexlore.css', 'dialog.js', 'vexlore.js', 'fit.js', 'worker.js',
               'vexlore-engine.js', 'vexlore-engine.wasm', 'words', 'vexlore.ico', 'lineindex.js',
               'busy-frames.png', 'vexlore-192.png', 'manifest.webmanifest'];

self.addEventListener('install', (e) => {
  e.waitUntil(caches.open(CACHE).then((c) => c.addAll(FILES)).then(() => self.skipWaiting()));
});

self.addEventListener('activate', (e) => {
  e.waitUntil(self.clients.claim());
});

self.addEventListener('fetch', (e) => {
  if (e.request.method !== 'GET')
    return;
  e.respondWith(fetch(e.request, { cache: 'no-cache' }).then((r) => {
    if (r.ok && new URL(e.request.url).origin === self.location.origin) {
      const copy = r.clone();
      caches.open(CACHE).then((c) => c.put(e.request, copy));
    }
    return r;
  }).catch(() => caches.match(e.request).then((r) =>
    // the copy for this very address first: another's query would
    // become the page's own (a navigation takes the answer's address)
    r || caches.match(e.request, { ignoreSearch: true }))));
});

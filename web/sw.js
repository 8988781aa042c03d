// Offline: every file of the page is kept in a cache at the first visit.
// The network comes first, so a new build is taken as soon as it is
// served; without one, the cache answers.
'use strict';
const CACHE = 'vexlore-1';
const FILES = ['./', 'index.html', 'vexlore.css', 'dialog.js', 'vexlore.js', 'worker.js',
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
  e.respondWith(fetch(e.request).then((r) => {
    if (r.ok && new URL(e.request.url).origin === self.location.origin) {
      const copy = r.clone();
      caches.open(CACHE).then((c) => c.put(e.request, copy));
    }
    return r;
  }).catch(() => caches.match(e.request, { ignoreSearch: true })));
});

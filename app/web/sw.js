// Keeps the pages' files, so that after one visit a page opens with no
// network, and brings each release to visitors whole. Every file is listed
// with the start of its content's SHA-256: a release is a new list, and so a
// new worker with a cache of its own, which takes over once it holds all its
// files and drops the old cache. Every file is asked of the server, which
// either sends it or confirms the copy the browser has just loaded, so that a
// first visit loads nothing twice; a file is kept only if it is this
// release's (else it is fetched whole once more), so that the glue and the
// WebAssembly of a page always match, whatever the HTTP cache holds.
// Each page keeps the files every page shares and its own; another page's
// own files are kept when that page is first opened.
const CACHE = 'qvlfest-@VERSION@';
const SHARED = @SHARED@;
const PAGES = @PAGES@;  // the folder's own address is the first page's

const folder = new URL('./', self.location.href);

// A file's name in the folder, or null for an address outside it.
function nameOf(address) {
  const url = new URL(address);
  if (url.origin !== folder.origin || !url.pathname.startsWith(folder.pathname)) return null;
  const name = decodeURIComponent(url.pathname.slice(folder.pathname.length));
  return name === '' ? Object.keys(PAGES)[0] : name;
}

function pageOf(name) {
  return Object.keys(PAGES).find((page) => name in PAGES[page]) || null;
}

function hex(buffer) {
  return Array.from(new Uint8Array(buffer), (b) => b.toString(16).padStart(2, '0')).join('');
}

// Fetches `files` ({name: hash}) and keeps them all, or none of them when one
// cannot be had or belongs to another release.
async function keep(cache, files) {
  const names = Object.keys(files);
  const release = async (name, cache) => {
    const response = await fetch(new Request(name, { cache }));
    if (!response.ok) throw new Error(`${name}: ${response.status}`);
    const digest = await crypto.subtle.digest('SHA-256', await response.clone().arrayBuffer());
    return hex(digest).slice(0, files[name].length) === files[name] ? response : null;
  };
  const responses = await Promise.all(names.map(async (name) => {
    const response = (await release(name, 'no-cache')) || (await release(name, 'reload'));
    if (!response) throw new Error(`${name} is not of this release`);
    return response;
  }));
  await Promise.all(names.map((name, i) => cache.put(name, responses[i])));
}

// The pages open now, and those that an earlier release kept.
async function pagesToKeep() {
  const pages = new Set();
  const open = await self.clients.matchAll({ type: 'window', includeUncontrolled: true });
  for (const client of open) {
    const name = nameOf(client.url);
    if (name && pageOf(name)) pages.add(pageOf(name));
  }
  for (const key of await caches.keys()) {
    if (!key.startsWith('qvlfest-') || key === CACHE) continue;
    const old = await caches.open(key);
    for (const page of Object.keys(PAGES)) if (await old.match(page)) pages.add(page);
  }
  return pages;
}

self.addEventListener('install', (event) => {
  event.waitUntil((async () => {
    const files = { ...SHARED };
    for (const page of await pagesToKeep()) Object.assign(files, PAGES[page]);
    await keep(await caches.open(CACHE), files);
    await self.skipWaiting();
  })());
});

self.addEventListener('activate', (event) => {
  event.waitUntil((async () => {
    for (const key of await caches.keys()) {
      if (key.startsWith('qvlfest-') && key !== CACHE) await caches.delete(key);
    }
    await self.clients.claim();
  })());
});

self.addEventListener('fetch', (event) => {
  const request = event.request;
  const name = request.method === 'GET' ? nameOf(request.url) : null;
  const page = name && pageOf(name);
  if (!name || !(name in SHARED || page)) return;
  event.respondWith((async () => {
    const cache = await caches.open(CACHE);
    const hit = await cache.match(name);
    if (hit) return hit;
    try {
      await keep(cache, page ? PAGES[page] : SHARED);
      return (await cache.match(name)) || fetch(request);
    } catch {
      // The server may hold a newer release than this worker: that page
      // comes from the network meanwhile, and the new worker is fetched.
      self.registration.update().catch(() => {});
      return fetch(request);
    }
  })());
});

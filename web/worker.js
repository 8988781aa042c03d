// The page's search, in a worker of its own: the counterpart of the
// window's message pump. It hosts the engine module, fetches the word list
// into the module's file system and runs Start there; while a search runs,
// the module yields to this worker's event loop from its pump (see
// onyield), so the page's Stop and Close are taken between words. The
// model of English that Best first ranks by, and its relatedness file,
// come after the word list, in the background (loadmodel).
'use strict';
try {
  importScripts('vexlore-engine.js');
} catch (err) {
  // open() tells the page
}

let engine = null;
let searching = false;  // from Start to the search's end
let running = null;     // the module's search, done when it ends
let dropped = false;    // Stop came while Start waited for the model
let model = null;       // the model's load: done when it is loaded or cannot be
let modeldone = false;
const waiting = [];    // commands that came before the engine was ready

// A yield is one round trip through a message channel: a task of its own,
// so the messages the page posted meanwhile are run before it, and not
// clamped as a timer is.
const channel = new MessageChannel();
let wake = null;
let yields = 0, yielded = 0, slept = 0;   // this search's yields, their time, since when
channel.port1.onmessage = () => {
  yields++;
  yielded += performance.now() - slept;
  const w = wake;
  wake = null;
  w();
};

function post(what, more) {
  postMessage(Object.assign({ what: what }, more));
}

const hooks = {
  onlines: (text) => post('lines', { text: text }),
  onclear: () => post('clear'),
  onranked: (on) => post('ranked', { on: on }),
  onbusy: (on) => post('busy', { on: on }),
  onmessage: (text, why) => post('message', { text: text, why: why }),
  onend: () => post('end'),
  onyield: (wakeUp) => {
    wake = wakeUp;
    slept = performance.now();
    channel.port2.postMessage(null);
  },
};

async function run(cmd) {
  switch (cmd.cmd) {
  case 'start':
    if (searching)
      return;          // Start during a search: the dialog ignores it
    searching = true;
    dropped = false;
    if (cmd.best && model && !modeldone) {
      post('busy', { on: true });   // the clip plays, the model's bar fills
      await model;
    }
    if (dropped) {
      searching = false;
      post('busy', { on: false });
      return;
    }
    const t0 = performance.now();
    yields = yielded = 0;
    running = engine.ccall('vex_start', null, ['string', 'number', 'number'],
                           [cmd.text, cmd.multi ? 1 : 0, cmd.best ? 1 : 0], { async: true });
    await running;
    running = null;
    searching = false;
    post('done', { ms: performance.now() - t0, examined: engine._vex_examined(),
                   yields: yields, yielded: yielded });
    break;
  case 'stop':
    dropped = searching && !running;
    engine._vex_stop();
    break;
  case 'close':
    engine._vex_close();
    break;
  }
}

// The model, and the relatedness file the ranking adds to it: fetched
// together once the word list is in, their progress told to the page as
// one, into the module's file system, and loaded there. The server is
// asked each time, as for the list, so a changed file is taken at once; a
// copy goes into the page's cache (sw.js keeps the others), for the visits
// without the network, which that copy answers. Without the relatedness
// file Best first ranks by fluency alone, and the box says so.
const CACHE = 'vexlore-1';
const PROGRESS_MS = 100;    // the page is told of the bytes come this often

// The server's answer for url, or the cache's without the network; throws
// why there is none.
async function answer(url) {
  let r = null;
  try {
    r = await fetch(url, { cache: 'no-cache' });
    if (r.ok && self.caches) {
      const copy = r.clone();     // now, before the body is read
      caches.open(CACHE).then((c) => c.put(url, copy)).catch(() => {});
    }
  } catch (err) {
    r = self.caches ? await caches.match(url).catch(() => null) : null;
    if (!r)
      throw new Error('the server cannot be reached');
  }
  if (!r.ok)
    throw new Error(r.status + ' ' + r.statusText);
  return r;
}

// The body of r, whole; came(n) is told of each n bytes as they come.
async function body(r, came) {
  const parts = [];
  let got = 0;
  for (const reader = r.body.getReader(); ;) {
    const { done, value } = await reader.read();
    if (done)
      break;
    parts.push(value);
    got += value.length;
    came(value.length);
  }
  const data = new Uint8Array(got);
  for (let i = 0, at = 0; i < parts.length; at += parts[i].length, i++)
    data.set(parts[i], at);
  return data;
}

// Loads data, fetched from name, through the module's function load,
// which gives "" or why not: at the root, where the message names it as
// the page's address does, and gone again once read, as the file is read
// whole.
function loadfile(name, data, load) {
  const path = name.replace(/.*\//, '');
  engine.FS.writeFile(path, data);
  const why = engine.ccall(load, 'string', ['string'], [path]);
  engine.FS.unlink(path);
  return why;
}

async function loadmodel() {
  const q = new URL(self.location).searchParams;
  const names = [q.get('model') || 'english.model', q.get('related') || 'english.related'];
  const answers = await Promise.allSettled(
    names.map((n) => answer(new URL(n, self.location).href)));
  let got = 0, told = 0, total = 0;
  for (const a of answers)
    total += a.status === 'fulfilled' ? +a.value.headers.get('Content-Length') || 0 : 0;
  post('model', { got: 0, total: total });
  const came = (n) => {
    got += n;
    if (performance.now() - told >= PROGRESS_MS) {
      told = performance.now();
      post('model', { got: got, total: total });
    }
  };
  const [model, related] = await Promise.allSettled(answers.map((a) =>
    a.status === 'fulfilled' ? body(a.value, came) : Promise.reject(a.reason)));
  // not while a search sleeps in the module: they load between searches
  while (running)
    await running;
  let why, note = '';
  try {
    if (model.status === 'rejected')
      throw model.reason;
    why = loadfile(names[0], model.value, 'vex_model');
  } catch (err) {
    why = 'Best first needs the model file ' + names[0] + ', which could not be loaded: ' +
          err.message + '.';
  }
  if (!why) {
    try {
      if (related.status === 'rejected')
        throw related.reason;
      note = loadfile(names[1], related.value, 'vex_related');
    } catch (err) {
      note = 'Ranked by fluency alone: the relatedness file ' + names[1] +
             ' could not be loaded: ' + err.message + '.';
    }
  }
  modeldone = true;
  post('model', why ? { failed: why } : { ready: true, note: note });
}

onmessage = (e) => {
  if (engine)
    run(e.data);
  else
    waiting.push(e.data);
};

// Why the engine's file did not load, in a sentence for the page's
// message: the server's answer, or else what went wrong with the file.
async function whynot(file, err) {
  let how;
  try {
    const r = await fetch(file, { cache: 'no-cache' });
    how = r.ok ? (err ? ': ' + err.message : '') : ' (' + r.status + ' ' + r.statusText + ')';
  } catch (e) {
    how = ': the server cannot be reached';
  }
  return 'The file ' + file + ' could not be loaded' + how + '.';
}

async function open() {
  if (typeof VexEngine === 'undefined') {
    post('failed', { why: await whynot('vexlore-engine.js') });
    return;
  }
  const words = new URL(self.location).searchParams.get('words') || 'words';
  let data = null;
  try {
    // the server is asked each time, so a changed list is taken at once
    const r = await fetch(words, { cache: 'no-cache' });
    if (r.ok)
      data = new Uint8Array(await r.arrayBuffer());
  } catch (err) {
    // no list: the dialog says so
  }
  // the list goes into the module's file system at the path it has on
  // the server, which the message names if there is none
  const path = decodeURIComponent(new URL(words, self.location).pathname);
  // ?scan=NAME picks the line scan, as VEXLORE_SCAN does for the finder
  const scan = new URL(self.location).searchParams.get('scan');
  const setup = (m) => { if (scan) m.ENV.VEXLORE_SCAN = scan; };
  try {
    engine = await VexEngine(Object.assign({ locateFile: (f) => f, preRun: [setup] }, hooks));
  } catch (err) {
    post('failed', { why: await whynot('vexlore-engine.wasm', err) });
    return;
  }
  if (data) {
    engine.FS.mkdirTree(path.replace(/\/[^/]*$/, '') || '/');
    engine.FS.writeFile(path, data);
  }
  if (!engine.ccall('vex_open', 'number', ['string'], [path])) {
    post('end');
    return;
  }
  post('ready', { bytes: data.length, scan: engine.ccall('vex_scan', 'string', [], []) });
  model = loadmodel();
  while (waiting.length)
    run(waiting.shift());
}

open();

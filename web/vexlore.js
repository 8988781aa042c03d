// The main dialog in the page. The controls are made from the dialog's
// table (dialog.js) and sit where it puts them, in pixels from this font's
// dialog base units; the search runs in a worker (worker.js), which sends
// the lines in batches that the results list (lineindex.js) takes in.
'use strict';
(function () {
  const D = self.DIALOG;
  const form = document.getElementById('dialog');
  const box = document.getElementById('box');
  const FRAMES = 23, FRAME_W = 48, FRAME_MS = 1000 / 7;

  // Dialog base units as Windows works them out (frontend/dialog.cpp): the
  // average width of the 52 letters, halved with rounding, and the
  // font's height; then dialog units to pixels as MulDiv rounds.
  function baseunits() {
    const s = document.createElement('span');
    s.textContent = 'ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz';
    s.style.cssText = 'position:absolute;visibility:hidden;white-space:pre;font:inherit';
    form.appendChild(s);
    const r = s.getBoundingClientRect();
    s.remove();
    return [Math.trunc((Math.round(r.width) / 26 + 1) / 2), Math.round(r.height)];
  }
  const muldiv = (u, base, div) => Math.trunc((u * base + Math.trunc(div / 2)) / div);
  const [bx, by] = baseunits();
  const px = (u) => muldiv(u, bx, 4), py = (u) => muldiv(u, by, 8);
  function place(el, c, ox, oy) {
    el.style.left = (px(c.x) - (ox || 0)) + 'px';
    el.style.top = (py(c.y) - (oy || 0)) + 'px';
    el.style.width = px(c.w) + 'px';
    el.style.height = py(c.h) + 'px';
  }
  form.style.width = px(D.width) + 'px';
  form.style.height = py(D.height) + 'px';

  let start, stop, close, text, single, multi, best, clip, list, group = null;
  let labels = 0;
  for (const c of D.controls) {
    let el;
    switch (c.kind) {
    case 'defbutton':
    case 'button':
      el = document.createElement('button');
      el.type = c.kind === 'defbutton' ? 'submit' : 'button';
      el.textContent = c.text;
      break;
    case 'edit':
      el = text = document.createElement('input');
      el.type = 'text';
      el.id = 'text';
      el.spellcheck = false;
      break;
    case 'list':
      el = list = document.createElement('div');
      el.className = 'results';
      el.id = 'results';
      el.setAttribute('role', 'listbox');
      el.setAttribute('aria-labelledby', 'listed');
      el.tabIndex = 0;
      break;
    case 'label':
      // the prompt labels the text field, the second label the list
      if (labels++ === 0) {
        el = document.createElement('label');
        el.htmlFor = 'text';
      } else {
        el = document.createElement('span');
        el.id = 'listed';
        el.className = 'label';
      }
      el.textContent = c.text;
      break;
    case 'group':
      el = group = document.createElement('fieldset');
      el.className = 'group';
      el.innerHTML = '<div class="frame"></div><legend></legend>';
      el.querySelector('legend').textContent = c.text;
      group.c = c;
      break;
    case 'radio': {
      // inside the group, at the table's place less the group's
      const label = document.createElement('label');
      const input = document.createElement('input');
      // no tabindex: the browser makes the group one tab stop, the
      // checked button, and the arrows move within it
      input.type = 'radio';
      input.name = 'type';
      label.append(input, c.text);
      place(label, c, px(group.c.x), py(group.c.y));
      group.appendChild(label);
      if (c.id === D.ids.single) {
        single = input;
        input.checked = true;
      } else {
        multi = input;
      }
      continue;
    }
    case 'check': {
      // Best first: in the group too, a tab stop of its own
      const label = document.createElement('label');
      best = document.createElement('input');
      best.type = 'checkbox';
      best.id = 'best';
      label.append(best, c.text);
      label.className = 'check';
      place(label, c, px(group.c.x), py(group.c.y));
      group.appendChild(label);
      continue;
    }
    case 'clip':
      el = clip = document.createElement('div');
      el.className = 'clip';
      el.setAttribute('role', 'img');
      el.setAttribute('aria-hidden', 'true');    // named only while it plays
      el.appendChild(document.createElement('div'));
      break;
    }
    // the clip takes no focus, though the template gives it a tab stop
    if (c.kind !== 'edit' && c.kind !== 'list' && c.kind !== 'clip')
      el.tabIndex = c.tabstop ? 0 : -1;
    if (c.kind === 'label' || c.kind === 'group')
      el.removeAttribute('tabindex');
    el.dataset.id = c.id;
    place(el, c);
    form.appendChild(el);
    if (c.id === D.ids.start) start = el;
    else if (c.id === D.ids.stop) stop = el;
    else if (c.id === D.ids.close) close = el;
  }
  if (group) {
    const frame = group.querySelector('.frame');
    frame.style.top = Math.trunc(by / 2) + 'px';
  }

  // Best first ranks by the model of English and the relatedness file,
  // which the worker fetches once the word list is in: a thin bar under
  // the check box shows how much has come; if the model cannot be had, the
  // box is disabled and says why, to the eye in its tooltip and to a
  // screen reader in its description; without the relatedness file it
  // ranks by fluency alone, and says so there.
  const loading = document.createElement('progress');
  const bestwhy = document.createElement('span');
  if (best) {
    const c = D.controls.find((k) => k.kind === 'check');
    loading.className = 'loading';
    loading.max = 1;
    loading.value = 0;
    loading.hidden = true;
    loading.setAttribute('aria-label', 'Loading the model of English');
    loading.style.left = (px(c.x) - px(group.c.x) + px(10)) + 'px';
    loading.style.top = (py(c.y + c.h) - py(group.c.y) + 1) + 'px';
    loading.style.width = px(c.w - 10) + 'px';
    loading.style.height = Math.max(3, py(2)) + 'px';
    group.appendChild(loading);
    bestwhy.id = 'bestwhy';
    bestwhy.className = 'why';
    form.appendChild(bestwhy);
  }
  function modelstate(m) {
    if (!best)
      return;
    if (m.failed) {
      best.checked = false;
      best.disabled = true;
      best.parentNode.title = m.failed;
      bestwhy.textContent = m.failed;
      best.setAttribute('aria-describedby', 'bestwhy');
      loading.hidden = true;
    } else if (m.ready) {
      loading.hidden = true;
      if (m.note) {
        best.parentNode.title = m.note;
        bestwhy.textContent = m.note;
        best.setAttribute('aria-describedby', 'bestwhy');
      }
    } else {
      loading.hidden = false;
      loading.value = m.total ? m.got / m.total : 0;
    }
  }

  // The results list: every line in the index, and only the rows in view
  // in the page.
  const index = new self.LineIndex();
  let ranked = false;     // the list is a ranking's, in its order
  const rowh = by;
  const rows = document.createElement('div');
  rows.className = 'rows';
  list.appendChild(rows);
  const pool = [];
  // Past this height a browser no longer scrolls an element: a longer list
  // is drawn at scale, the scroll bar standing for the lines.
  const TALLEST = 1 << 24;
  // The list's top in pixels of the whole list, as the keys last put it.
  // At scale a scroll bar's pixel stands for more than one: the browser's
  // own steps of its keys would skip rows, and the scroll position it keeps
  // is too coarse to say which row is at the top. So the keys move the
  // list here, and where the scroll position is still the one they left,
  // their top holds.
  let keyed = null;    // { at: the scroll position they left, top }
  function geometry() {
    const n = index.count, view = list.clientHeight;
    const full = n * rowh, tall = Math.min(full, TALLEST);
    return { n: n, view: view, full: full, tall: tall };
  }
  function toptoscroll(g, top) {
    return g.full <= TALLEST ? top : g.tall > g.view ? top / (g.full - g.view) * (g.tall - g.view) : 0;
  }
  function listtop(g) {
    if (keyed && keyed.at === list.scrollTop)
      return keyed.top;
    if (g.full <= TALLEST)
      return list.scrollTop;
    return g.tall > g.view ? list.scrollTop / (g.tall - g.view) * (g.full - g.view) : 0;
  }
  function draw() {
    const g = geometry(), n = g.n;
    rows.style.height = g.tall + 'px';
    const shown = Math.ceil(g.view / rowh) + 1;
    const top = listtop(g);
    const first = Math.floor(top / rowh);
    const offset = list.scrollTop - (top - first * rowh);
    for (let i = 0; i < shown; i++) {
      let row = pool[i];
      if (!row) {
        row = pool[i] = document.createElement('div');
        row.setAttribute('role', 'option');
        row.style.height = rowh + 'px';
        row.style.lineHeight = rowh + 'px';
        rows.appendChild(row);
      }
      const k = first + i;
      if (k < n) {
        row.hidden = false;
        row.style.top = (offset + i * rowh) + 'px';
        row.textContent = index.at(k);
        row.setAttribute('aria-setsize', n);
        row.setAttribute('aria-posinset', k + 1);
      } else {
        row.hidden = true;
      }
    }
  }
  // The keys of a list box: a row for an arrow, a page less a row for Page
  // Up and Down, so that no row goes by unseen, and the ends.
  list.addEventListener('keydown', (e) => {
    const g = geometry();
    const page = Math.max(1, Math.floor(g.view / rowh) - 1) * rowh;
    const steps = { ArrowDown: rowh, ArrowUp: -rowh, PageDown: page, PageUp: -page };
    let top;
    if (e.key in steps)
      top = listtop(g) + steps[e.key];
    else if (e.key === 'Home' || e.key === 'End')
      top = e.key === 'Home' ? 0 : g.full;
    else
      return;
    if (e.altKey || e.ctrlKey || e.metaKey || e.shiftKey)
      return;
    e.preventDefault();
    // a whole row at the top, as the arrows leave it
    top = Math.max(0, Math.min(Math.round(top / rowh) * rowh, g.full - g.view));
    list.scrollTop = toptoscroll(g, top);
    keyed = { at: list.scrollTop, top: top };
    redraw();
  });
  let drawing = false;
  function redraw() {
    if (!drawing) {
      drawing = true;
      requestAnimationFrame(() => { drawing = false; draw(); });
    }
  }
  list.addEventListener('scroll', redraw);

  // The busy clip: the frame follows the clock, at 7 a second. A search's
  // end is told to a screen reader, with the lines listed.
  const frame = clip.firstChild;
  const status = document.getElementById('status');
  let playing = 0, stopping = false;
  function busy(on) {
    list.setAttribute('aria-busy', on ? 'true' : 'false');
    clip.dataset.playing = on ? '1' : '0';
    clip.setAttribute('aria-hidden', on ? 'false' : 'true');
    if (on)
      clip.setAttribute('aria-label', 'Busy');
    else
      clip.removeAttribute('aria-label');
    if (on && !playing) {
      status.textContent = '';
      stopping = false;
      const t0 = performance.now();
      const tick = () => {
        const f = Math.floor((performance.now() - t0) / FRAME_MS) % FRAMES;
        frame.style.backgroundPosition = (-f * FRAME_W) + 'px 0';
      };
      tick();
      playing = setInterval(tick, FRAME_MS / 2);
    } else if (!on && playing) {
      clearInterval(playing);
      playing = 0;
    }
  }
  // at the search's end, once the placeholder line too has come
  function announce() {
    const n = index.count;
    status.textContent = (stopping ? 'Search stopped: ' : 'Search ended: ') +
      (n === 1 ? '1 line, ' + index.at(0).trim() : n.toLocaleString('en-US') + ' lines') + '.';
  }

  // Messages one at a time in a modal box; the end waits for them.
  const shown = [];
  let boxopen = false;
  function nextbox() {
    if (boxopen || !shown.length)
      return;
    const m = shown.shift();
    if (m.end) {
      ended();
      return;
    }
    boxopen = true;
    document.getElementById('boxtext').textContent = m.text.replace(/\r\n/g, '\n');
    document.getElementById('boxwhy').textContent = m.why;
    box.showModal();
  }
  box.addEventListener('close', () => { boxopen = false; nextbox(); });

  // Close: the window goes where the browser lets a page close it (an
  // installed app's window); otherwise the page says the program ended.
  function ended() {
    worker.terminate();
    busy(false);
    window.close();
    document.body.innerHTML = '<p class="ended">Vexlore has ended.</p>';
    document.title = 'Vexlore has ended';
  }

  // For the tests and the benchmarks: the list's lines, the time the page
  // spent merging them in, the last search's figures (its time in the
  // worker; listed, the ms from Start to its end with every line listed),
  // the line scan the engine chose, and the model's state (at: when the
  // page heard it, in the ms of performance.now).
  const vexlore = window.vexlore = { lines: () => index.all(), listms: 0, last: null, ready: null,
                                     started: 0, failed: null, model: null };

  // The worker or the engine did not load: the dialog says why and offers
  // no Start; Close still ends the page.
  function failed(why) {
    if (vexlore.failed)
      return;
    vexlore.failed = why;
    start.disabled = true;
    shown.push({ text: 'Vexlore could not start.\n' + why });
    nextbox();
  }

  const worker = new Worker('worker.js' + location.search);
  worker.onerror = (e) => {
    if (!vexlore.ready)
      failed(e.message || 'The file worker.js could not be loaded.');
  };
  worker.onmessage = (e) => {
    const m = e.data;
    switch (m.what) {
    case 'clear':
      index.clear(ranked);
      vexlore.listms = 0;
      list.scrollTop = 0;
      keyed = null;
      redraw();
      break;
    case 'ranked':
      ranked = m.on;    // a ranking's list keeps its order, best first
      break;
    case 'lines': {
      const t = performance.now();
      for (const l of m.text.split('\n').slice(0, -1))
        index.add(l);
      vexlore.listms += performance.now() - t;
      redraw();
      break;
    }
    case 'busy':
      busy(m.on);
      break;
    case 'message':
      shown.push({ text: m.text, why: m.why || '' });
      nextbox();
      break;
    case 'end':
      shown.push({ end: true });
      nextbox();
      break;
    case 'done':
      m.listed = performance.now() - vexlore.started;
      vexlore.last = m;
      announce();
      break;
    case 'ready':
      m.at = performance.now();
      vexlore.ready = m;
      break;
    case 'model':
      m.at = performance.now();
      vexlore.model = m;
      modelstate(m);
      break;
    case 'failed':
      failed(m.why);
      break;
    }
  };
  const send = (cmd) => worker.postMessage(cmd);

  form.addEventListener('submit', (e) => {
    e.preventDefault();
    if (start.disabled)
      return;
    vexlore.started = performance.now();
    send({ cmd: 'start', text: text.value, multi: multi.checked,
           best: !!best && best.checked && !best.disabled });
  });
  function stopsearch() {
    stopping = playing !== 0;
    send({ cmd: 'stop' });
  }
  stop.addEventListener('click', stopsearch);
  close.addEventListener('click', () => vexlore.failed ? ended() : send({ cmd: 'close' }));
  // Esc is Stop, as the dialog manager makes it on Windows
  document.addEventListener('keydown', (e) => {
    if (e.key === 'Escape' && !boxopen) {
      e.preventDefault();
      stopsearch();
    }
  });

  // at the left edge, however narrow the page (fit.js scales the window)
  start.focus({ preventScroll: true });
  draw();
  if ('serviceWorker' in navigator)
    navigator.serviceWorker.register('sw.js').catch(() => {});
})();

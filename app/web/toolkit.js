// The page side of the web toolkit (web_toolkit.cpp): it makes and changes
// the page's elements as the program says, and queues what the user does
// for the program: it gives the program a turn (qvl_turn) once the event's
// own handling is over, or wakes a box's loop where one waits. Nothing here
// decides what input means, and the program is called into nowhere else.
Module.qvl = (function () {
  'use strict';
  // Made from bridge.def, as page.h is.
  const Ev = { @QVL_BRIDGE_EVENTS@ };
  const Num = { @QVL_BRIDGE_NUMBERS@ };
  const BUTTON_BITS = [1, 4, 2];  // PointerEvent.buttons by PointerEvent.button

  const queue = [];
  const ticksWaiting = new Set();
  const tickers = new Map();
  const windows = new Map();
  const images = new Map();
  let wake = null;
  let running = true;
  let ticks = 0;

  // A window's ticker for an interval, as one number: ticks are posted ten
  // times a second, and should leave no garbage.
  function tickKey(w, ms) {
    return w * 65536 + ms;
  }

  function post(type, w, control, a, b, c) {
    if (type === Ev.Tick) {
      // The service worker starts once the program has shown its countdown,
      // so that it does not slow the start.
      if (++ticks === 2) watchReleases();
      const key = tickKey(w, a);
      if (ticksWaiting.has(key)) return;
      ticksWaiting.add(key);
    }
    // Only the latest of a run of moves or resizes waits.
    const last = queue[queue.length - 1];
    if ((type === Ev.PointerMove || type === Ev.Resized) && last && last[0] === type &&
      last[1] === w) {
      last[4] = b;
      last[5] = c;
      return;
    }
    queue.push([type, w, control, a | 0, b | 0, c | 0]);
    if (wake) {
      // A box's loop waits for it.
      const resolve = wake;
      wake = null;
      resolve();
    } else if (type === Ev.Tick) {
      turn();  // a timer's own callback: nothing of the page's is under way
    } else if (!turnDue) {
      turnDue = true;
      Promise.resolve().then(turn);
    }
  }

  // The program's turn, once the page's own handling of this event is over.
  let turnDue = false;
  function turn() {
    turnDue = false;
    if (!wake && running) Module._qvl_turn();
  }

  function next(out) {
    const e = queue.shift();
    if (!e) return 0;
    if (e[0] === Ev.Tick) ticksWaiting.delete(tickKey(e[1], e[3]));
    const at = out >> 2;
    for (let i = 0; i < 6; i += 1) HEAP32[at + i] = e[i];
    return 1;
  }

  function wait(wakeUp) {
    wake = wakeUp;
  }

  // The local date and time. The clock is read at every call (once a tick);
  // turning it into local fields is done once a second, since they change no
  // more often.
  let second = NaN;
  const fields = new Int32Array(6);
  function localNow(out) {
    const now = Date.now();
    if (Math.floor(now / 1000) !== second) {
      second = Math.floor(now / 1000);
      const d = new Date(now);
      fields.set([d.getFullYear(), d.getMonth() + 1, d.getDate(), d.getHours(), d.getMinutes(),
        d.getSeconds()]);
    }
    HEAP32.set(fields, out >> 2);
  }

  function msToNextSecond() {
    return 1000 - Date.now() % 1000;
  }

  function hex(rgb) {
    return '#' + (rgb >>> 0).toString(16).padStart(6, '0');
  }

  function desktop() {
    return document.getElementById('desktop');
  }

  function control(w, c) {
    const win = windows.get(w);
    return c === Num.Overlay ? win.overlay : c < 0 ? win.surface : win.controls.get(c);
  }

  function container(w, c) {
    const win = windows.get(w);
    return c < 0 ? win.client : win.controls.get(c).el;
  }

  function box(el, left, top, width, height) {
    el.style.left = left + 'px';
    el.style.top = top + 'px';
    el.style.width = width + 'px';
    el.style.height = height + 'px';
  }

  function surface(parent) {
    const canvas = document.createElement('canvas');
    canvas.className = 'surface';
    canvas.setAttribute('aria-hidden', 'true');
    parent.append(canvas);
    return { el: parent, canvas: canvas, context: canvas.getContext('2d') };
  }

  function createWindow(w, frame, caption, clientWidth, clientHeight, edge, title, overlayZ) {
    const el = document.createElement('section');
    const box = frame === Num.FrameMessageBox;
    el.className = 'window' + (frame !== Num.FrameNone ? ' dialog' : '') + (box ? ' box' : '');
    el.setAttribute('role', box ? 'alertdialog' : 'dialog');
    el.setAttribute('aria-label', caption);
    el.dataset.w = w;
    el.hidden = true;
    const win = { el: el, caption: null, controls: new Map(), described: [] };
    if (frame !== Num.FrameNone) {
      el.style.borderWidth = edge + 'px';
      const bar = document.createElement('div');
      bar.className = 'titlebar';
      bar.style.height = title + 'px';
      win.caption = document.createElement('span');
      win.caption.className = 'caption';
      win.caption.textContent = caption;
      const close = document.createElement('button');
      close.className = 'close';
      close.style.width = title + 'px';
      close.tabIndex = -1;
      close.setAttribute('aria-label', 'Close');
      bar.append(win.caption, close);
      el.append(bar);
    }
    win.client = document.createElement('div');
    win.client.className = 'client';
    if (box) {
      win.message = document.createElement('div');
      win.message.className = 'message';
      win.message.id = 'qvl-' + w + '-message';
      el.setAttribute('aria-describedby', win.message.id);
      win.buttons = document.createElement('div');
      win.buttons.className = 'buttons';
      win.client.append(win.message, win.buttons);
    } else {
      win.client.style.width = clientWidth + 'px';
      win.client.style.height = clientHeight + 'px';
      win.surface = surface(win.client);
      win.overlay = surface(win.client);
      win.overlay.canvas.classList.add('overlay');
      win.overlay.canvas.style.zIndex = overlayZ;
    }
    el.append(win.client);
    desktop().append(el);
    windows.set(w, win);
  }

  function place(w, left, top) {
    const s = windows.get(w).el.style;
    s.left = left + 'px';
    s.top = top + 'px';
  }

  // Its size as laid out, while it is not shown yet.
  function measure(w, out) {
    const el = windows.get(w).el;
    el.style.visibility = 'hidden';
    el.hidden = false;
    HEAP32.set([el.offsetWidth, el.offsetHeight], out >> 2);
    el.hidden = true;
    el.style.visibility = '';
  }

  function visibleArea(out) {
    const top = desktop();
    HEAP32.set([top.scrollLeft, top.scrollTop, top.scrollLeft + top.clientWidth,
      top.scrollTop + top.clientHeight], out >> 2);
  }

  function show(w, z) {
    const el = windows.get(w).el;
    el.style.zIndex = z;
    el.hidden = false;
  }

  function setCaption(w, text) {
    const win = windows.get(w);
    win.el.setAttribute('aria-label', text);
    if (win.caption) win.caption.textContent = text;
  }

  function destroy(w) {
    const win = windows.get(w);
    if (!win) return;
    tickers.forEach(function (id, key) {
      if (key.startsWith(w + ':')) stopTicker(w, +key.slice(key.indexOf(':') + 1));
    });
    win.el.remove();
    windows.delete(w);
  }

  function createLabel(w, c, name, parent, left, top, width, height, z, offscreen) {
    const el = document.createElement('div');
    el.className = 'label';
    el.dataset.c = c;
    el.dataset.name = name;
    box(el, left, top, width, height);
    el.style.zIndex = z;
    const win = windows.get(w);
    if (offscreen) {
      el.setAttribute('aria-hidden', 'true');
    } else {
      // A window is described by the texts it shows, so that a screen
      // reader reads them when it opens.
      el.id = 'qvl-' + w + '-' + c;
      win.described.push(el.id);
      win.el.setAttribute('aria-describedby', win.described.join(' '));
    }
    const text = document.createElement('div');
    text.className = 'text';
    el.append(text);
    container(w, parent).append(el);
    win.controls.set(c, { el: el, text: text });
  }

  function labelFace(w, c, family, bold, em, color, scale, wrap, raise, indent) {
    const s = control(w, c).text.style;
    s.fontFamily = '"' + family + '"';
    s.fontWeight = bold ? 700 : 400;
    s.fontSize = em + 'px';
    s.color = color;
    s.left = indent + 'px';
    s.top = -raise + 'px';
    s.width = wrap + 'px';
    if (scale !== 1) s.transform = 'scaleX(' + scale + ')';
  }

  function createButton(w, c, name, parent, left, top, width, height, z, offscreen, family, bold,
    em) {
    const el = document.createElement('button');
    el.type = 'button';
    el.className = 'button';
    el.dataset.c = c;
    el.dataset.name = name;
    box(el, left, top, width, height);
    el.style.zIndex = z;
    el.style.fontFamily = '"' + family + '"';
    el.style.fontWeight = bold ? 700 : 400;
    el.style.fontSize = em + 'px';
    if (offscreen) el.setAttribute('aria-hidden', 'true');
    container(w, parent).append(el);
    windows.get(w).controls.set(c, { el: el, text: el });
  }

  function createChrome(w, c, name, parent, left, top, width, height, z) {
    const el = document.createElement('div');
    el.className = 'chrome';
    el.dataset.name = name;
    box(el, left, top, width, height);
    el.style.zIndex = z;
    container(w, parent).append(el);
    windows.get(w).controls.set(c, surface(el));
  }

  function boxText(w, text, icon) {
    const win = windows.get(w);
    win.message.textContent = text;
    win.message.dataset.icon = icon;
  }

  function addBoxButton(w, c) {
    const win = windows.get(w);
    const el = document.createElement('button');
    el.type = 'button';
    el.className = 'button';
    el.dataset.c = c;
    win.buttons.append(el);
    win.controls.set(c, { el: el, text: el });
  }

  function setText(w, c, text, keyAt) {
    const target = control(w, c).text;
    if (keyAt < 0) {
      target.textContent = text;
      return;
    }
    const key = document.createElement('u');
    key.textContent = text.charAt(keyAt);
    target.replaceChildren(text.slice(0, keyAt), key, text.slice(keyAt + 1));
  }

  // Cuts the covered parts out of a label, so that its text shows only where
  // no label in front of it covers it.
  function labelCover(w, c, edges) {
    const el = control(w, c).el;
    if (!edges.length) {
      el.style.clipPath = '';
      return;
    }
    // Its size as set: the window may not be shown yet.
    let path = `M0 0H${parseFloat(el.style.width)}V${parseFloat(el.style.height)}H0Z`;
    for (let i = 0; i < edges.length; i += 4) {
      path += `M${edges[i]} ${edges[i + 1]}H${edges[i + 2]}V${edges[i + 3]}H${edges[i]}Z`;
    }
    el.style.clipPath = `path(evenodd, "${path}")`;
  }

  function sizeSurface(w, c, width, height) {
    const canvas = control(w, c).canvas;
    canvas.width = width;
    canvas.height = height;
  }

  function fill(w, c, l, t, r, b, rgb) {
    const context = control(w, c).context;
    context.fillStyle = hex(rgb);
    context.fillRect(l, t, r - l, b - t);
  }

  function line(w, c, x1, y1, x2, y2, pen, rgb) {
    const context = control(w, c).context;
    const centre = pen % 2 ? 0.5 : 0;
    context.strokeStyle = hex(rgb);
    context.lineWidth = pen;
    context.beginPath();
    context.moveTo(x1 + centre, y1 + centre);
    context.lineTo(x2 + centre, y2 + centre);
    context.stroke();
  }

  // Whole factors of a picture stay sharp; others are smoothed.
  function picture(w, c, l, t, r, b, file) {
    const context = control(w, c).context;
    let image = images.get(file);
    if (!image) {
      image = new Image();
      image.src = file;
      images.set(file, image);
    }
    const draw = function () {
      context.imageSmoothingEnabled = (r - l) % image.naturalWidth !== 0;
      context.drawImage(image, l, t, r - l, b - t);
    };
    if (image.complete && image.naturalWidth) draw();
    else image.decode().then(draw, function () {});
  }

  // The interval runs from the first tick on; the program may stop or start
  // the ticker again during that tick.
  function startTicker(w, ms, first) {
    const key = w + ':' + ms;
    const tick = function () { post(Ev.Tick, w, -1, ms); };
    if (first === ms) {
      tickers.set(key, setInterval(tick, ms));
      return;
    }
    tickers.set(key, setTimeout(function () {
      tickers.set(key, setInterval(tick, ms));
      tick();
    }, first));
  }

  function stopTicker(w, ms) {
    const key = w + ':' + ms;
    clearInterval(tickers.get(key));  // a first tick's timeout as well
    tickers.delete(key);
    ticksWaiting.delete(tickKey(w, ms));
  }

  function ended() {
    running = false;
    document.getElementById('ended').hidden = false;
  }

  // A new release is loaded in place of this one; the page's history entry
  // carries the first window's place across.
  function switchRelease(left, top) {
    history.replaceState(Object.assign({}, history.state, { qvlPlace: [left, top] }), '');
    location.reload();
  }

  function keptPlace(out) {
    const state = history.state;
    if (!state || !state.qvlPlace) return 0;
    HEAP32.set(state.qvlPlace, out >> 2);
    const rest = Object.assign({}, state);
    delete rest.qvlPlace;
    history.replaceState(rest, '');
    return 1;
  }

  // Input: raw, as it happens; positions in CSS pixels of the desktop, from
  // its top left corner wherever it is scrolled to.
  function windowOf(node) {
    const el = node && node.closest ? node.closest('.window') : null;
    return el ? +el.dataset.w : -1;
  }

  function at(e) {
    const top = desktop();
    return [Math.round(e.clientX + top.scrollLeft), Math.round(e.clientY + top.scrollTop)];
  }

  function pressTarget(e) {
    const bar = e.target.closest('.titlebar');
    if (bar) return { el: bar, control: Num.TitleBar };
    const label = e.target.closest('.label');
    return label ? { el: label, control: +label.dataset.c } : null;
  }

  // The key's own character, whatever Alt makes of it on the keyboard's layout.
  function accessCharacter(e) {
    if (/^(Key[A-Z]|Digit[0-9])$/.test(e.code)) return e.code.charCodeAt(e.code.length - 1);
    return e.key.length === 1 ? e.key.charCodeAt(0) : 0;
  }

  function listen() {
    const top = desktop();
    top.addEventListener('pointerdown', function (e) {
      const w = windowOf(e.target);
      if (w < 0 || e.target.closest('button')) return;
      const target = pressTarget(e);
      if (!target) {
        post(Ev.Activate, w, -1, 0);
        return;
      }
      target.el.setPointerCapture(e.pointerId);
      post(Ev.MouseDown, w, target.control, e.button, ...at(e));
    });
    top.addEventListener('pointermove', function (e) {
      const target = pressTarget(e);
      if (!target || !target.el.hasPointerCapture(e.pointerId)) return;
      const w = windowOf(e.target), [x, y] = at(e);
      if (e.button >= 0 && e.button < BUTTON_BITS.length) {
        // Another button went down or up while one is held.
        const down = (e.buttons & BUTTON_BITS[e.button]) !== 0;
        post(down ? Ev.MouseDown : Ev.MouseUp, w, target.control, e.button, x, y);
        return;
      }
      post(Ev.PointerMove, w, target.control, 0, x, y);
    });
    top.addEventListener('pointerup', function (e) {
      const target = pressTarget(e);
      if (!target) return;
      post(Ev.MouseUp, windowOf(e.target), target.control, e.button, ...at(e));
    });
    top.addEventListener('pointercancel', function (e) {
      const w = windowOf(e.target);
      if (w >= 0) post(Ev.PointerLost, w, -1, 0);
    });
    // A press keeps the keyboard focus where it is, unless on a button.
    top.addEventListener('mousedown', function (e) {
      if (!e.target.closest('button')) e.preventDefault();
    });
    top.addEventListener('contextmenu', function (e) { e.preventDefault(); });
    top.addEventListener('click', function (e) {
      const w = windowOf(e.target);
      if (w < 0) return;
      if (e.target.closest('.close')) {
        post(Ev.Close, w, -1, 0);
        return;
      }
      const button = e.target.closest('button.button');
      if (button) post(Ev.Click, w, +button.dataset.c, 0);
    });
    top.addEventListener('focusin', function (e) {
      const button = e.target.closest('button.button');
      if (button) post(Ev.FocusIn, windowOf(button), +button.dataset.c, 0);
    });
    document.addEventListener('keydown', function (e) {
      const focus = document.activeElement;
      if (!running || (focus && focus !== document.body && !top.contains(focus))) return;
      const w = windowOf(focus);
      const plain = !e.altKey && !e.ctrlKey && !e.metaKey;
      if (plain && (e.key === 'Enter' || e.key === 'Escape')) {
        e.preventDefault();
        post(Ev.Key, w, -1, e.key === 'Escape' ? 1 : 0);
      } else if (plain && e.key === 'Tab') {
        e.preventDefault();
        post(Ev.Tab, w, -1, e.shiftKey ? 1 : 0);
      } else if (!e.ctrlKey && !e.metaKey && accessCharacter(e)) {
        // Alt's own meaning in the browser (its menus) gives way to the page.
        if (e.altKey) e.preventDefault();
        post(Ev.Character, w, -1, accessCharacter(e), e.altKey ? 1 : 0);
      }
    });
    watchScale();
    window.addEventListener('resize', function () {
      if (window.devicePixelRatio !== scale) watchScale();
      post(Ev.Resized, -1, -1, 0);
    });
  }

  // The device-pixel ratio changes with the zoom and the screen: a change
  // of the resolution that matches, or a resize, tells of it.
  let scale = 0;
  function watchScale() {
    if (scale && window.devicePixelRatio !== scale) post(Ev.ScaleChanged, -1, -1, 0);
    scale = window.devicePixelRatio;
    matchMedia('(resolution: ' + scale + 'dppx)').addEventListener('change', watchScale,
      { once: true });
  }

  // Releases. The service worker keeps one release's files; a new release
  // takes over once it has them all, and the program then moves to it when
  // that costs the user nothing. An open page looks for one when it starts,
  // when it is shown again, and every hour.
  function watchReleases() {
    if (!('serviceWorker' in navigator)) return;
    const workers = navigator.serviceWorker;
    let served = workers.controller !== null;
    workers.addEventListener('controllerchange', function () {
      if (served) post(Ev.Release, -1, -1, 0);
      served = true;
    });
    workers.register('sw.js').then(function (registration) {
      const look = function () { registration.update().catch(function () {}); };
      if (served) look();
      document.addEventListener('visibilitychange', function () {
        if (document.visibilityState === 'visible') look();
      });
      setInterval(look, 3600 * 1000);
    }, function () {});
  }

  // What the page says when the program cannot start. Until this script runs,
  // the line says that the page's files did not load.
  const status = document.getElementById('status');
  const wasm = document.currentScript.src.replace(/\.js$/, '.wasm');
  status.hidden = true;
  function cannotStart(text) {
    status.textContent = text;
    status.className = 'failed';
    status.hidden = false;
  }
  Module.onAbort = function () {
    if (typeof WebAssembly !== 'object') {
      cannotStart('QVLFEST needs WebAssembly, which this browser does not run: ' +
        'update the browser, or allow WebAssembly for this site.');
      return;
    }
    fetch(wasm, { method: 'HEAD', cache: 'no-store' }).then(function (response) {
      cannotStart(response.ok ? 'QVLFEST stopped on an internal error. Reload the page.'
        : 'QVLFEST could not start: the site lacks ' + wasm.slice(wasm.lastIndexOf('/') + 1) +
        '. Tell the site\'s owner.');
    }, function () {
      cannotStart('QVLFEST could not start: there is no network connection. ' +
        'Connect, then reload the page.');
    });
  };

  // The program starts once the page's faces are loaded, so that no text is
  // ever shown in a stand-in face. They are decoded while the WebAssembly
  // compiles (the style sheet that declares them is in by now); without them
  // it starts in the browser's own faces.
  const faces = [];
  document.fonts.forEach(function (face) { faces.push(face.load()); });
  Module.preRun = [].concat(Module.preRun || [], function () {
    addRunDependency('qvl-faces');
    Promise.allSettled(faces).then(function () {
      listen();
      removeRunDependency('qvl-faces');
    });
  });

  return {
    next: next, wait: wait, createWindow: createWindow, place: place, measure: measure, show: show,
    localNow: localNow, msToNextSecond: msToNextSecond, visibleArea: visibleArea, switchRelease: switchRelease, keptPlace: keptPlace,
    setCaption: setCaption, destroy: destroy, createLabel: createLabel, labelFace: labelFace,
    createButton: createButton, createChrome: createChrome, boxText: boxText,
    addBoxButton: addBoxButton, setText: setText, labelCover: labelCover, sizeSurface: sizeSurface, fill: fill, line: line,
    picture: picture, startTicker: startTicker, stopTicker: stopTicker, ended: ended,
    deviceScale: function () { return window.devicePixelRatio || 1; },
    coarsePointer: function () { return matchMedia('(pointer: coarse)').matches; },
    openTab: function (address) { window.open(address, '_blank', 'noopener'); },
    systemColor: function (index, rgb) {
      document.documentElement.style.setProperty('--sys-' + index, hex(rgb));
    },
    setActive: function (w, on) { windows.get(w).el.classList.toggle('active', !!on); },
    setBlocked: function (w, on) { windows.get(w).el.inert = !!on; },
    setVisible: function (w, c, on) { control(w, c).el.hidden = !on; },
    focus: function (w, c) { control(w, c).el.focus({ preventScroll: true }); },
    defaultLook: function (w, c, on) { control(w, c).el.classList.toggle('default', !!on); },
  };
})();

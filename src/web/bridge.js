// SPDX-License-Identifier: MIT
// The page side of the view: the canvas the surface and its panels are
// drawn on, an HTML button for each push button, the text of the labels for
// screen readers, and the one timeout that wakes the game.
// The elements are the page's (index.html): #window holds the game.
//
// The page and the bridge meet in one object, which boot.js makes and hands
// to createVorlane() as its option `page`:
//   page.wake()     the timeout or interval fired: the game runs the ticks due;
//   page.click(id)  push button `id` was pressed;
//   page.timer      the one pending timeout or interval (0 when none), which
//                   the bridge sets (page.repeats: it is an interval);
//   page.clearTimer()  clears it: the bridge's call, and the page's when it
//                   stops the game;
//   page.layout     the page's one record of the window's scale and the
//                   device's ratio (layout.js): read here, never written;
//   page.faces      the family of the page's fonts for each face the game
//                   asks for (faces.js).

mergeInto(LibraryManager.library, {
  $VL: {
    surface: null,
    surfaceContext: null,
    widgets: {},       // id -> {element}
    // The busy area's canvas over the surface (see placeLayer()), if any,
    // and the box of the surface it shows, in device pixels.
    layer: null,
    layerContext: null,
    layerBox: null,
    noBox: [0, 0, 0, 0],  // the surface's corner, as a layerBox
    wantedLayer: [0, 0, 0, 0],  // the box the game asked for
    // Between a drawing's begin and end (vl_draw), the canvases drawn on:
    // the surface's, the layer's, or both. Each has its context, its clip
    // (left, top, right, bottom) and origin in the surface's device pixels,
    // and the colour value last set on it, if a plain colour. The layer's
    // context is translated by the layer's corner once for all, so that
    // the surface's coordinates draw on it, and hatch patterns continue
    // across.
    targets: [],
    onSurface: {ctx: null, clip: [0, 0, 0, 0], origin: [0, 0], fillStyle: null},
    onLayer: {ctx: null, clip: [0, 0, 0, 0], origin: [0, 0], fillStyle: null},
    ratio: 1,          // device pixels per CSS pixel of the design
    dpr: 1,            // device pixels per CSS pixel of the page
    scale: 1,          // the window on screen over its design size
                       // (the three as the page's layout had them at the
                       // last vl_device_ratio, for the drawing under way)
    patterns: [],      // hatch style -> its lines' CanvasPattern at the present ratio
    colours: {},       // colour value -> CSS colour
    measure: null,     // a context for measuring text
    metrics: {},       // CSS font -> its line metrics
    performance: null,  // the page's, kept (see $VL__postset)

    // The wake-up's callback, one function for the page's life.
    wake: function() {
      const page = Module['page'];
      if (!page.repeats) page.timer = 0;
      page.wake();
    },
    root: function() { return document.getElementById('window'); },
    // A low-latency canvas goes to the screen without waiting for the
    // page's own frame, which halves the cost of a tick's repaint; but its
    // first frame comes a fifth of a second later on a slow phone. The
    // surface moves to one with its picture after the first frame.
    lowLatency: function() {
      const plain = VL.surface;
      const fast = plain.cloneNode(false);  // its id, size and style, no pixels
      const context = fast.getContext('2d', {alpha: false, desynchronized: true});
      context.drawImage(plain, 0, 0);
      plain.replaceWith(fast);
      VL.surface = fast;
      VL.surfaceContext = context;
      VL.placeLayer(true);
    },
    // The busy area (where a tick draws) on a canvas of its own above the
    // surface: a low-latency canvas sends the whole of itself to the screen
    // at each frame, so a tick's frame then carries the well, not the
    // window. The layer's pixels must lie exactly on the surface's: it is
    // kept only where both map whole device pixels to whole CSS pixels,
    // and grown to such a box. Once the surface is low-latency; `copy`
    // takes the surface's picture into a new layer.
    placeLayer: function(copy) {
      if (!VL.surfaceContext || !VL.surfaceContext.getContextAttributes().desynchronized) return;
      const want = VL.wantedLayer, dpr = VL.dpr, surface = VL.surface;
      const whole = function(css) { return Math.abs(css * dpr - Math.round(css * dpr)) < 1e-6; };
      // A device pixel's edge as the nearest CSS pixel at or beyond it, in
      // the direction `step`, whose device pixel is whole.
      const snap = function(device, step) {
        let css = step < 0 ? Math.floor(device / dpr + 1e-6) : Math.ceil(device / dpr - 1e-6);
        for (let k = 0; k < 16 && !whole(css); k++) css += step;
        return whole(css) ? css : NaN;
      };
      const width = parseFloat(surface.style.width), height = parseFloat(surface.style.height);
      const l = snap(want[0], -1), t = snap(want[1], -1), r = snap(want[2], 1), b = snap(want[3], 1);
      if (!(want[2] > want[0] && want[3] > want[1] && l >= 0 && t >= 0 && r <= width && b <= height &&
            whole(width) && whole(height) && surface.width === Math.round(width * dpr))) {
        if (VL.layer) VL.layer.remove();
        VL.layer = VL.layerContext = VL.layerBox = null;
        return;
      }
      if (!VL.layer) {
        VL.layer = document.createElement('canvas');
        VL.layer.id = 'busy';
        VL.layer.setAttribute('aria-hidden', 'true');
        VL.layerContext = VL.layer.getContext('2d', {alpha: false, desynchronized: true});
        surface.after(VL.layer);
      }
      const box = [Math.round(l * dpr), Math.round(t * dpr), Math.round(r * dpr), Math.round(b * dpr)];
      VL.layer.width = box[2] - box[0];
      VL.layer.height = box[3] - box[1];
      const s = VL.layer.style;
      s.left = l + 'px';
      s.top = t + 'px';
      s.width = (r - l) + 'px';
      s.height = (b - t) + 'px';
      VL.layerBox = box;
      VL.layerContext.setTransform(1, 0, 0, 1, -box[0], -box[1]);
      if (copy) VL.layerContext.drawImage(surface, 0, 0);
    },
    // Screen readers hear of a button when it comes on show ("Pause
    // button"); the message goes when the button does, so that the next
    // showing is news again. The live region is made with the window,
    // before anything is said in it.
    live: null,
    announce: function(button, shown) {
      const live = VL.live;
      const text = button.textContent + ' button';
      if (shown) {
        live.textContent = text;
      } else if (live.textContent === text) {
        live.textContent = '';
      }
    },
    // A CSS font of the game, its face named as the page's family for it.
    fonts: {},  // the game's CSS font -> the page's
    font: function(pointer) {
      const given = UTF8ToString(pointer);
      let css = VL.fonts[given];
      if (css === undefined) {
        css = given.replace(/"([^"]+)"/, function(quoted, face) {
          const family = Module['page'].faces[face];
          return family ? '"' + family + '"' : quoted;
        });
        VL.fonts[given] = css;
      }
      return css;
    },
    colour: function(c) {
      let css = VL.colours[c];
      if (css === undefined) {
        css = 'rgb(' + (c & 255) + ',' + ((c >> 8) & 255) + ',' + ((c >> 16) & 255) + ')';
        VL.colours[c] = css;
      }
      return css;
    },
    // Draws on `target` from now to the drawing's end: with `ctx`, cut to
    // the box left, top, right, bottom, from the origin.
    aim: function(target, ctx, left, top, right, bottom, originLeft, originTop) {
      const c = target.clip;
      target.ctx = ctx;
      c[0] = left;
      c[1] = top;
      c[2] = right;
      c[3] = bottom;
      target.origin[0] = originLeft;
      target.origin[1] = originTop;
      target.fillStyle = null;
      VL.targets.push(target);
    },
    // Hatches a box from each target's origin with FillStyle `style` (6 or
    // 7; no other has lines).
    hatch: function(left, top, right, bottom, style) {
      const targets = VL.targets;
      if (style !== 6 && style !== 7) return;
      const pattern = VL.pattern(style);
      for (let k = 0; k < targets.length; k++) {
        const target = targets[k], o = target.origin, shifted = o[0] !== 0 || o[1] !== 0;
        // Anchored to the origin: a panel's lines start at its corner.
        if (shifted) pattern.setTransform(new DOMMatrix([1, 0, 0, 1, o[0], o[1]]));
        target.ctx.fillStyle = pattern;
        target.fillStyle = null;
        VL.fillClipped(target, left + o[0], top + o[1], right + o[0], bottom + o[1]);
        if (shifted) pattern.setTransform(new DOMMatrix());
      }
    },
    // Fills a box from the target's origin with a colour.
    fill: function(target, left, top, right, bottom, colour) {
      // Setting a colour parses it: skipped when it is the one already set.
      if (target.fillStyle !== colour) {
        target.ctx.fillStyle = VL.colour(colour);
        target.fillStyle = colour;
      }
      const o = target.origin;
      VL.fillClipped(target, left + o[0], top + o[1], right + o[0], bottom + o[1]);
    },
    // Fills a rectangle with the fill style set, cut to the area being
    // painted: a clip path would cost more than the arithmetic.
    fillClipped: function(target, left, top, right, bottom) {
      const c = target.clip;
      left = Math.max(left, c[0]);
      top = Math.max(top, c[1]);
      right = Math.min(right, c[2]);
      bottom = Math.min(bottom, c[3]);
      if (right > left && bottom > top) target.ctx.fillRect(left, top, right - left, bottom - top);
    },
    // A place of the design in whole CSS pixels at the window's scale, and
    // a size, rounded up. Whole CSS pixels, because browsers lay pages out
    // in 64ths of one, where a third is not found: a canvas placed or sized
    // between device pixels is filtered and blurs. (At scale 1 both are the
    // design's own lengths.)
    at: function(v) { return Math.round(v * VL.scale); },
    size: function(v) { return Math.ceil(v * VL.scale - 1e-6); },
    // Sizes a canvas to a size of the design at the window's scale, its
    // backing store at the device ratio; what the scale rounds up is filled
    // with `back`, and the drawing, at the ratio, covers the rest.
    fit: function(canvas, context, width, height, back) {
      const cssWidth = VL.size(width), cssHeight = VL.size(height);
      const w = Math.round(cssWidth * VL.dpr);
      const h = Math.round(cssHeight * VL.dpr);
      if (canvas.width !== w || canvas.height !== h) {
        canvas.width = w;
        canvas.height = h;
        // Only the strips beyond the design's own pixels: the first paint
        // covers the rest, and a whole fill at a phone's ratio costs as much
        // as that paint.
        const dw = Math.min(w, Math.floor(width * VL.ratio));
        const dh = Math.min(h, Math.floor(height * VL.ratio));
        context.fillStyle = VL.colour(back);
        if (dw < w) context.fillRect(dw, 0, w - dw, h);
        if (dh < h) context.fillRect(0, dh, dw, h - dh);
      }
      canvas.style.width = cssWidth + 'px';
      canvas.style.height = cssHeight + 'px';
    },
    // A font's ascent, ascent plus descent, and leading (the line gap: a
    // normal line's height less the other two), measured once.
    lineMetrics: function(font) {
      let m = VL.metrics[font];
      if (m) return m;
      if (!VL.measure) VL.measure = document.createElement('canvas').getContext('2d');
      VL.measure.font = font;
      const t = VL.measure.measureText('Hg');
      const span = document.createElement('span');
      span.style.font = font;
      span.style.lineHeight = 'normal';
      span.style.position = 'absolute';
      span.style.visibility = 'hidden';
      span.textContent = 'Hg';
      document.body.appendChild(span);
      const normal = span.getBoundingClientRect().height;
      span.remove();
      const height = t.fontBoundingBoxAscent + t.fontBoundingBoxDescent;
      m = {ascent: t.fontBoundingBoxAscent, height: height, leading: Math.max(0, normal - height)};
      VL.metrics[font] = m;
      return m;
    },
    // The lines of a hatch style: a tile of lines one device pixel wide,
    // eight CSS pixels apart, repeated from the canvas origin. A line
    // x + y = c covers the pixels whose centres it passes through, those
    // with x + y = c - 1, as the desktop's aliased lines do.
    pattern: function(style) {
      if (VL.patterns[style]) return VL.patterns[style];
      const size = Math.max(1, Math.round(8 * VL.ratio));
      const tile = document.createElement('canvas');
      tile.width = size;
      tile.height = size;
      const t = tile.getContext('2d');
      t.fillStyle = '#000';
      for (let k = 0; k < size; k++) {
        if (style === 6) {
          t.fillRect(k, 0, 1, 1);
          t.fillRect(0, k, 1, 1);
        } else {
          t.fillRect(k, k, 1, 1);
          t.fillRect(size - 1 - k, k, 1, 1);
        }
      }
      VL.patterns[style] = VL.surfaceContext.createPattern(tile, 'repeat');
      return VL.patterns[style];
    },
  },

  // Looking the Performance object up on the global object costs more than
  // reading its clock, at every tick: it is looked up once. (The library's
  // objects are written out when the page is built, so it cannot be read in
  // $VL itself.)
  $VL__postset: 'VL.performance = performance;',

  vl_window__deps: ['$VL'],
  vl_window: function(title, back, width, height) {
    const text = UTF8ToString(title);
    if (document.title !== text) document.title = text;
    const root = VL.root();
    root.setAttribute('aria-label', text);
    // The design size, for the page's layout; the size on screen is scaled.
    root.dataset.width = String(width);
    root.dataset.height = String(height);
    root.style.width = VL.size(width) + 'px';
    root.style.height = VL.size(height) + 'px';
    root.style.background = VL.colour(back);
    if (!VL.surface) {
      VL.surface = document.getElementById('surface');
      // The first frame on a plain canvas, which shows soonest; play on a
      // low-latency one once that frame is out (lowLatency()).
      VL.surfaceContext = VL.surface.getContext('2d', {alpha: false});
      requestAnimationFrame(() => setTimeout(VL.lowLatency));
      VL.live = document.createElement('p');
      VL.live.id = 'announce';
      VL.live.className = 'sr-only';
      VL.live.setAttribute('role', 'status');
      root.after(VL.live);
    }
    VL.fit(VL.surface, VL.surfaceContext, width, height, back);
  },

  vl_device_ratio__deps: ['$VL'],
  vl_device_ratio: function() {
    // Device pixels per CSS pixel of the design: the window is scaled by
    // the page's layout, and its canvases are drawn for the pixels they cover.
    const layout = Module['page'].layout;
    VL.dpr = layout.dpr;
    VL.scale = layout.scale;
    // The hatch lines are drawn in device pixels: new ones for a new ratio.
    if (layout.ratio !== VL.ratio) VL.patterns = [];
    VL.ratio = layout.ratio;
    return VL.ratio;
  },

  vl_layer__deps: ['$VL'],
  vl_layer: function(left, top, right, bottom) {
    const want = VL.wantedLayer;
    want[0] = left;
    want[1] = top;
    want[2] = right;
    want[3] = bottom;
    VL.placeLayer(false);
  },

  // The drawing of a flush, as view.cpp writes it (bridge.h's DrawOp):
  // what falls on the layer is drawn there, and on the surface unless the
  // layer holds all of it. Everything but text is an axis-aligned
  // rectangle in device pixels, cut to the clip rectangle by hand: cheaper
  // than a clip path on the canvas. The contexts keep their transforms:
  // only vl_text scales, and it restores what it changed.
  vl_draw__deps: ['$VL'],
  vl_draw: function(ops, count) {
    const h = HEAP32, targets = VL.targets;
    for (let i = ops >> 2, end = i + count; i < end;) {
      switch (h[i]) {
        case 0: {  // begin: clip, origin
          const left = h[i + 1], top = h[i + 2], right = h[i + 3], bottom = h[i + 4];
          const box = VL.layerBox;
          targets.length = 0;
          if (!(box && left >= box[0] && top >= box[1] && right <= box[2] && bottom <= box[3])) {
            VL.aim(VL.onSurface, VL.surfaceContext, left, top, right, bottom, h[i + 5], h[i + 6]);
          }
          if (box) {
            const l = Math.max(left, box[0]), t = Math.max(top, box[1]);
            const r = Math.min(right, box[2]), b = Math.min(bottom, box[3]);
            if (r > l && b > t) VL.aim(VL.onLayer, VL.layerContext, l, t, r, b, h[i + 5], h[i + 6]);
          }
          i += 7;
          break;
        }
        case 1:  // fill: box, colour
          for (let k = 0; k < targets.length; k++) {
            VL.fill(targets[k], h[i + 1], h[i + 2], h[i + 3], h[i + 4], h[i + 5]);
          }
          i += 6;
          break;
        case 2:  // hatch: box, style
          VL.hatch(h[i + 1], h[i + 2], h[i + 3], h[i + 4], h[i + 5]);
          i += 6;
          break;
        default:  // end
          targets.length = 0;
          i += 1;
      }
    }
  },

  vl_text__deps: ['$VL'],
  vl_text: function(font, colour, left, top, width, wrap, text) {
    const targets = VL.targets;
    if (targets.length === 0) return;
    const css = VL.font(font);
    if (!VL.measure) VL.measure = document.createElement('canvas').getContext('2d');
    const measure = VL.measure;
    measure.font = css;
    const metrics = VL.lineMetrics(measure.font);
    const words = UTF8ToString(text).split(' ');
    const lines = [];
    if (wrap) {
      // Greedy word wrap; a word wider than the box stands on a line of its own.
      let line = '';
      for (let i = 0; i < words.length; i++) {
        const next = line === '' ? words[i] : line + ' ' + words[i];
        if (line !== '' && measure.measureText(next).width > width) {
          lines.push(line);
          line = words[i];
        } else {
          line = next;
        }
      }
      lines.push(line);
    } else {
      lines.push(words.join(' '));
    }
    for (let t = 0; t < targets.length; t++) {
      const target = targets[t], ctx = target.ctx, c = target.clip, o = target.origin;
      const box = target === VL.onLayer ? VL.layerBox : VL.noBox;
      ctx.save();
      ctx.beginPath();
      ctx.rect(c[0], c[1], c[2] - c[0], c[3] - c[1]);
      ctx.clip();
      ctx.setTransform(VL.ratio, 0, 0, VL.ratio, o[0] - box[0], o[1] - box[1]);
      ctx.font = css;
      ctx.fillStyle = VL.colour(colour);
      target.fillStyle = null;
      ctx.textBaseline = 'alphabetic';
      // Each line starts with the font's leading, as the desktop lays text out.
      for (let k = 0; k < lines.length; k++) {
        ctx.fillText(lines[k], left,
                     top + metrics.leading * (k + 1) + metrics.ascent + k * metrics.height);
      }
      ctx.restore();
    }
  },

  vl_text_width__deps: ['$VL'],
  vl_text_width: function(font, text) {
    if (!VL.measure) VL.measure = document.createElement('canvas').getContext('2d');
    VL.measure.font = VL.font(font);
    return VL.measure.measureText(UTF8ToString(text)).width;
  },

  vl_text_height__deps: ['$VL'],
  vl_text_height: function(font) {
    return VL.lineMetrics(VL.font(font)).height;
  },

  vl_widget_create__deps: ['$VL'],
  vl_widget_create: function(id, caption, font) {
    const element = document.createElement('button');
    element.type = 'button';
    element.className = 'push';
    element.textContent = UTF8ToString(caption);
    element.style.font = VL.font(font);
    // A click leaves the keyboard with the game (the mouse does not move
    // the focus), but Tab reaches a button on show, for players without a
    // mouse.
    element.addEventListener('mousedown', function(e) { e.preventDefault(); });
    element.addEventListener('click', function() {
      Module['page'].click(id);
    });
    element.dataset.widget = String(id);
    element.hidden = true;
    // Tab meets the buttons from the last one made to the first: "Game
    // Over" before "Pause", the way out of a finished game first.
    VL.root().insertBefore(element, VL.root().querySelector('button'));
    VL.widgets[id] = {element: element};
  },

  vl_widget_place__deps: ['$VL'],
  vl_widget_place: function(id, left, top, width, height, visible) {
    const w = VL.widgets[id];
    if (!w) return;
    const s = w.element.style;
    // A button is the browser's: zoomed whole, caption and all.
    s.zoom = VL.scale === 1 ? '' : String(VL.scale);
    s.left = left + 'px';
    s.top = top + 'px';
    s.width = width + 'px';
    s.height = height + 'px';
    if (w.element.hidden === !!visible) VL.announce(w.element, visible);
    w.element.hidden = !visible;
  },

  vl_widget_cut__deps: ['$VL'],
  vl_widget_cut: function(id, boxes, count) {
    const w = VL.widgets[id];
    if (!w) return;
    // The button less the holes, even-odd: each hole is reached from the
    // corner and left back to it, which encloses nothing.
    let path = '';
    for (let k = 0; k < count; k++) {
      const b = (boxes >> 2) + 4 * k;
      const l = HEAP32[b] + 'px ', t = HEAP32[b + 1] + 'px', r = HEAP32[b + 2] + 'px ';
      const bottom = HEAP32[b + 3] + 'px';
      path += ', ' + l + t + ', ' + r + t + ', ' + r + bottom + ', ' + l + bottom + ', ' + l + t + ', 0 0';
    }
    w.element.style.clipPath = path === '' ? '' : 'polygon(evenodd, 0 0, 100% 0, 100% 100%, 0 100%, 0 0' + path + ')';
  },

  vl_widget_destroy__deps: ['$VL'],
  vl_widget_destroy: function(id) {
    const w = VL.widgets[id];
    if (!w) return;
    if (!w.element.hidden) VL.announce(w.element, false);
    w.element.remove();
    delete VL.widgets[id];
  },

  vl_widget_order__deps: ['$VL'],
  vl_widget_order: function(ids, count) {
    for (let k = 0; k < count; k++) {
      const w = VL.widgets[HEAP32[(ids >> 2) + k]];
      if (w) w.element.style.zIndex = String(k + 1);
    }
  },

  vl_labels: function(lines) {
    const list = document.getElementById('counters');
    if (!list) return;
    const entries = UTF8ToString(lines).split('\n');
    for (let k = 0; k < entries.length; k++) {
      if (entries[k] === '') continue;
      const tab = entries[k].indexOf('\t');
      const name = entries[k].slice(0, tab), caption = entries[k].slice(tab + 1);
      let item = list.querySelector('[data-label="' + name + '"]');
      if (!item) {
        item = document.createElement('li');
        item.dataset.label = name;
        list.appendChild(item);
      }
      if (item.textContent !== caption) item.textContent = caption;
    }
  },

  vl_now__deps: ['$VL'],
  vl_now: function() {
    return VL.performance.now();
  },

  // The time of day from the page's Date: the C library's local time would
  // first read the time zone through Intl, a cost on a phone's first frame.
  vl_seconds_since_midnight: function() {
    const d = new Date();
    return d.getHours() * 3600 + d.getMinutes() * 60 + d.getSeconds() + d.getMilliseconds() / 1000;
  },

  // The pending timeout is page.timer, so that the page can stop the game
  // without calling into it.
  vl_timeout__deps: ['$VL'],
  vl_timeout: function(ms) {
    const page = Module['page'];
    page.clearTimer();
    page.timer = setTimeout(VL.wake, Math.ceil(ms));
  },

  vl_timeout_every__deps: ['$VL'],
  vl_timeout_every: function(ms) {
    const page = Module['page'];
    page.clearTimer();
    page.repeats = true;
    page.timer = setInterval(VL.wake, ms);
  },

  vl_timeout_clear: function() {
    Module['page'].clearTimer();
  },
});

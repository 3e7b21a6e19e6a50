// gyrewell.js - the saver in a web page: the front end over the WebAssembly
// module (web_scene.h), the one script of index.html.
//
// The page must be served (over http or https): browsers do not load a module
// from a file:// page. Any static server will do; the files are index.html,
// this script, gyrewell.wasm and gyrewell-nosimd.wasm, side by side.
//
// What the page does:
//   - The canvas fills the window at the device's own pixels and the scene is
//     drawn at scale floor(devicePixelRatio), as the Windows saver draws at
//     its display's whole scale. A resize (or a move to a screen of another
//     ratio) builds the scene anew.
//   - A click on the picture or a key (not a browser shortcut with Ctrl, Alt or
//     the command key) goes full screen, and keeps the screen awake there
//     (Screen Wake Lock) where the browser allows it; a key, a click, the wheel
//     or moving the mouse leaves it again (moves in the first half second,
//     while the browser settles, do not count).
//   - The animation pauses while the page is hidden. It steps at most once
//     every 15.625 ms, the Windows saver's pace, on the browser's frames.
//   - The panel holds the saver's two settings, the number of sprites (20 to
//     200) and the backdrop (the desktop with the pit, or black), kept in
//     localStorage, and the desktop: a picture the user chooses or drops on
//     the page, or the screen itself, through the screen-capture prompt. Until
//     then the backdrop is a picture drawn here. A picture is fitted to cover
//     the canvas, centred, and a captured screen is one still frame, as the
//     saver's copy of the desktop is.
//   - Whatever goes wrong (a picture that does not decode, a refused capture,
//     a window too large to draw) is said in the page, and the saver goes on
//     as before (at a smaller size, enlarged by the browser, when too large).
//
// Each frame is composed in the module, which converts the blocks that changed
// into its picture of the canvas; the page puts them into the canvas by the
// cheaper of two routes, measured as the Windows saver measures its own
// (effect/present_route.h): one putImageData of their bounds (the picture
// holds the whole of the previous frame, so the pixels between the blocks are
// put unchanged), or one per block. A frame composed in full is put whole.
//
// URL parameters, for a link or a test; a value out of range follows the
// settings' rules (the count's default is 100, the backdrop's the desktop) or
// is ignored (scale, frames, seed):
//   count=N              sprites, 20..200 (not stored)
//   backdrop=desktop|black
//   seed=N               the generator's seed (default: the clock at each start)
//   scale=N              draw N times larger, 1..8, instead of floor(devicePixelRatio)
//   desktop=URL          the desktop picture, from this page's own site
//   frames=N             compose and present N frames at once, then stop and set
//                        the title to "gyrewell: N frames shown"
//   simd=0               the module without WebAssembly SIMD
// window.gyrewell tells the frames shown so far and the blend's rows in use.
'use strict';

(() => {
  const StepMs = 15.625;
  const LeaveGraceMs = 500;
  const LeaveMovePixels = 4;
  const CountRule = { low: 20, high: 200, fallback: 100 };
  const BackdropDesktop = 1;
  const BackdropBlack = 2;
  const Stored = { count: 'gyrewell.count', backdrop: 'gyrewell.backdrop' };
  // A function of one SIMD instruction: the browser validates it only when
  // it has WebAssembly SIMD.
  const SimdProbe = new Uint8Array([0, 97, 115, 109, 1, 0, 0, 0, 1, 5, 1, 96, 0, 1, 123, 3, 2, 1, 0, 10, 10, 1, 8, 0,
    65, 0, 253, 15, 253, 98, 11]);

  const params = new URLSearchParams(location.search);
  const canvas = document.getElementById('saver');
  const context = canvas.getContext('2d');
  const messageBox = document.getElementById('message');
  const state = {
    gyrewell: null,     // the module's exports
    picture: null,      // ImageData over the module's picture
    count: CountRule.fallback,
    backdrop: BackdropDesktop,
    desktop: null,      // ImageBitmap of the chosen picture or screen; null: the built-in one
    frames: 0,
    last: -Infinity,
    request: 0,         // of the next animation frame; 0 while paused
    rebuild: false,
    stopped: false,     // frames=N has run
    enteredAt: 0,       // of full screen
    leftAt: -Infinity,
    origin: null,       // the first mouse position seen in full screen
    wakeLock: null,
  };
  window.gyrewell = { frames: 0, blend: '' };

  // ---- settings -----------------------------------------------------------

  // Decimal text as the settings file's integer read takes it (leading blanks,
  // digits up to the first other character, 0x for hexadecimal); NaN for none.
  function integer(text) {
    return text === null ? NaN : Number.parseInt(text, /^\s*[-+]?0[xX]/.test(text) ? 16 : 10);
  }
  function holdCount(text) {
    const n = integer(text);
    return n >= CountRule.low && n <= CountRule.high ? n : CountRule.fallback;
  }
  function holdBackdrop(text) {
    return text === 'black' ? BackdropBlack : BackdropDesktop;
  }
  function stored(key) {
    try {
      return localStorage.getItem(key);
    } catch {
      return null;  // storage turned off: the defaults
    }
  }
  function store(key, value) {
    try {
      localStorage.setItem(key, value);
    } catch {
      say('The settings cannot be kept in this browser; they hold until the page is closed.');
    }
  }
  function wholeParameter(name, low, high) {
    const n = integer(params.get(name));
    return Number.isInteger(n) && n >= low && n <= high ? n : null;
  }

  // ---- messages -----------------------------------------------------------

  let messageTimer = 0;
  function say(text) {
    messageBox.textContent = text;
    messageBox.hidden = false;
    clearTimeout(messageTimer);
    messageTimer = setTimeout(() => { messageBox.hidden = true; }, 15000);
  }
  messageBox.addEventListener('click', () => { messageBox.hidden = true; });

  // ---- the scene ----------------------------------------------------------

  function deviceSize() {
    const ratio = window.devicePixelRatio || 1;
    return {
      width: Math.max(1, Math.round(window.innerWidth * ratio)),
      height: Math.max(1, Math.round(window.innerHeight * ratio)),
      scale: wholeParameter('scale', 1, 8) ?? Math.min(8, Math.max(1, Math.floor(ratio))),
    };
  }

  // A new scene for the window as it is now; a size the module cannot take is
  // halved until it can, and said.
  function build() {
    const g = state.gyrewell;
    const want = deviceSize();
    const seed = wholeParameter('seed', 0, 0xFFFFFFFF) ?? (Date.now() >>> 0);
    let { width, height } = want;
    let status = g.gyrewell_start(width, height, want.scale, state.count, state.backdrop, seed);
    while (status !== 0 && (width > 1 || height > 1)) {
      width = Math.ceil(width / 2);
      height = Math.ceil(height / 2);
      status = g.gyrewell_start(width, height, want.scale, state.count, state.backdrop, seed);
    }
    if (status !== 0) {
      say('The saver cannot start: the browser gives it no memory.');
      state.picture = null;
      return;
    }
    if (width !== want.width || height !== want.height) {
      say(`The window is ${want.width} × ${want.height} pixels, more than the saver can draw here; ` +
          `it draws ${width} × ${height} and the browser enlarges that.`);
    }
    const w = g.gyrewell_width(), h = g.gyrewell_height();
    canvas.width = w;
    canvas.height = h;
    // The module grew its memory while starting: views taken before are gone.
    const bytes = new Uint8ClampedArray(g.memory.buffer, g.gyrewell_picture(), w * h * 4);
    state.picture = new ImageData(bytes, w, h);
    layDesktop();
  }

  // The backdrop's picture, drawn here: a dusk sky over two ridges.
  function drawBuiltIn(c, w, h) {
    const sky = c.createLinearGradient(0, 0, 0, h);
    sky.addColorStop(0, '#1d3047');
    sky.addColorStop(0.6, '#5d8bb0');
    sky.addColorStop(1, '#e3b37a');
    c.fillStyle = sky;
    c.fillRect(0, 0, w, h);
    const ridge = (base, height, color, waves) => {
      c.beginPath();
      c.moveTo(0, h);
      for (let x = 0; x <= w; x += Math.max(1, w / 64)) {
        c.lineTo(x, h * base - h * height * (0.5 + 0.5 * Math.sin(x / w * Math.PI * waves)));
      }
      c.lineTo(w, h);
      c.fillStyle = color;
      c.fill();
    };
    ridge(0.85, 0.12, '#2e4a3c', 3);
    ridge(0.95, 0.08, '#1f3328', 5);
  }

  // The desktop into the module's snapshot: the chosen picture fitted to cover
  // the canvas, or the built-in one. The next frame goes whole.
  function layDesktop() {
    if (state.picture === null) return;
    const { width: w, height: h } = state.picture;
    const scratch = document.createElement('canvas');
    scratch.width = w;
    scratch.height = h;
    const c = scratch.getContext('2d', { willReadFrequently: true });
    if (state.desktop === null) {
      drawBuiltIn(c, w, h);
    } else {
      const d = state.desktop;
      const s = Math.max(w / d.width, h / d.height);
      const dw = d.width * s, dh = d.height * s;
      c.drawImage(d, (w - dw) / 2, (h - dh) / 2, dw, dh);
    }
    state.picture.data.set(c.getImageData(0, 0, w, h).data);
    state.gyrewell.gyrewell_lay_desktop();
  }

  function putBlock(at) {
    context.putImageData(state.picture, 0, 0, at[0], at[1], at[2], at[3]);
  }

  // One frame: composed, its changed blocks put into the canvas, the sprites moved.
  function step() {
    const g = state.gyrewell;
    g.gyrewell_compose();
    const n = g.gyrewell_present();
    if (n === 1) {
      putBlock(new Int32Array(g.memory.buffer, g.gyrewell_blocks(), 4));
    } else if (n > 1) {
      const route = g.gyrewell_route();
      const start = performance.now();
      if (route === 0) {
        putBlock(new Int32Array(g.memory.buffer, g.gyrewell_bounds(), 4));
      } else {
        const blocks = new Int32Array(g.memory.buffer, g.gyrewell_blocks(), 4 * n);
        for (let i = 0; i < n; ++i) putBlock(blocks.subarray(4 * i, 4 * i + 4));
      }
      g.gyrewell_route_cost(route, Math.round((performance.now() - start) * 1000));
    }
    g.gyrewell_move();
    window.gyrewell.frames = ++state.frames;
  }

  function tick(now) {
    state.request = requestAnimationFrame(tick);
    if (state.rebuild) {
      state.rebuild = false;
      build();
    }
    if (state.picture === null || now - state.last < StepMs) return;
    state.last = now;
    step();
  }

  function run() {
    if (state.request === 0 && !state.stopped && !document.hidden) {
      state.last = -Infinity;
      state.request = requestAnimationFrame(tick);
    }
  }
  function pause() {
    cancelAnimationFrame(state.request);
    state.request = 0;
  }

  // ---- the desktop picture -------------------------------------------------

  async function usePicture(blob, name) {
    let bitmap;
    try {
      bitmap = await createImageBitmap(blob, { colorSpaceConversion: 'none', premultiplyAlpha: 'none' });
    } catch {
      say(`${name} is not a picture this browser can show; the backdrop stays as it was.`);
      return false;
    }
    state.desktop = bitmap;
    layDesktop();
    return true;
  }

  // desktop=URL: a picture of this page's own site.
  async function loadDesktopParameter(value) {
    let url;
    try {
      url = new URL(value, location.href);
    } catch {
      url = null;
    }
    if (url === null || url.origin !== location.origin) {
      say(`The desktop picture must come from this site (${location.origin}), not ${value}.`);
      return;
    }
    try {
      const response = await fetch(url);
      if (!response.ok) throw new Error(String(response.status));
      await usePicture(await response.blob(), value);
    } catch (e) {
      say(`The desktop picture ${value} cannot be loaded (${e.message}).`);
    }
  }

  async function captureScreen() {
    if (!navigator.mediaDevices?.getDisplayMedia) {
      say('This browser cannot share the screen with a page.');
      return;
    }
    let stream;
    try {
      stream = await navigator.mediaDevices.getDisplayMedia({ video: true, audio: false });
    } catch {
      say('The screen was not shared; the backdrop stays as it was.');
      return;
    }
    const video = document.createElement('video');
    video.muted = true;
    video.srcObject = stream;
    try {
      await video.play();
      await new Promise((done) => (video.readyState >= 2 ? done() : video.addEventListener('loadeddata', done)));
      state.desktop = await createImageBitmap(video);
      layDesktop();
    } catch (e) {
      say(`The shared screen gave no picture (${e.message}).`);
    } finally {
      for (const track of stream.getTracks()) track.stop();
    }
  }

  // ---- full screen -----------------------------------------------------------

  // The input that left full screen is not the next one's start: a click
  // ends with its click event after the pointerdown that left.
  function enterFullscreen() {
    if (document.fullscreenElement || !document.documentElement.requestFullscreen) return;
    if (performance.now() - state.leftAt < LeaveGraceMs) return;
    document.documentElement.requestFullscreen().catch(() => say('The browser did not allow full screen.'));
  }
  function leaveFullscreen() {
    state.leftAt = performance.now();
    if (document.fullscreenElement) document.exitFullscreen().catch(() => {});
  }
  async function keepAwake() {
    if (!document.fullscreenElement || document.hidden || state.wakeLock || !navigator.wakeLock) return;
    try {
      state.wakeLock = await navigator.wakeLock.request('screen');
      state.wakeLock.addEventListener('release', () => { state.wakeLock = null; });
    } catch {
      state.wakeLock = null;  // refused (battery saver, policy): the screen may sleep
    }
  }

  document.addEventListener('fullscreenchange', () => {
    if (document.fullscreenElement) {
      state.enteredAt = performance.now();
      state.origin = null;
      keepAwake();
    } else if (state.wakeLock) {
      state.wakeLock.release().catch(() => {});
    }
  });
  const inPanel = (e) => e.target instanceof Element && e.target.closest('#panel, #message') !== null;
  canvas.addEventListener('click', enterFullscreen);
  document.addEventListener('keydown', (e) => {
    if (document.fullscreenElement) leaveFullscreen();
    else if (!inPanel(e) && !e.repeat && !e.ctrlKey && !e.metaKey && !e.altKey) enterFullscreen();
  });
  for (const type of ['pointerdown', 'wheel']) {
    document.addEventListener(type, () => {
      if (document.fullscreenElement) leaveFullscreen();
    }, { passive: true });
  }
  document.addEventListener('mousemove', (e) => {
    if (!document.fullscreenElement || performance.now() - state.enteredAt < LeaveGraceMs) return;
    if (state.origin === null) {
      state.origin = { x: e.screenX, y: e.screenY };
    } else if (Math.abs(e.screenX - state.origin.x) > LeaveMovePixels ||
               Math.abs(e.screenY - state.origin.y) > LeaveMovePixels) {
      leaveFullscreen();
    }
  });

  document.addEventListener('visibilitychange', () => {
    if (document.hidden) {
      pause();
    } else {
      run();
      keepAwake();
    }
  });
  window.addEventListener('resize', () => { state.rebuild = true; });

  // ---- the panel -------------------------------------------------------------

  const countInput = document.getElementById('count');
  const countShown = document.getElementById('count-shown');
  const fileInput = document.getElementById('file');
  function showSettings() {
    countInput.value = String(state.count);
    countShown.textContent = String(state.count);
    document.getElementById(state.backdrop === BackdropBlack ? 'backdrop-black' : 'backdrop-desktop').checked = true;
  }
  countInput.addEventListener('input', () => { countShown.textContent = countInput.value; });
  countInput.addEventListener('change', () => {
    state.count = holdCount(countInput.value);
    store(Stored.count, String(state.count));
    state.rebuild = true;
  });
  for (const radio of document.querySelectorAll('input[name=backdrop]')) {
    radio.addEventListener('change', () => {
      state.backdrop = holdBackdrop(radio.value);
      store(Stored.backdrop, radio.value);
      state.rebuild = true;
    });
  }
  document.getElementById('choose').addEventListener('click', () => fileInput.click());
  fileInput.addEventListener('change', () => {
    if (fileInput.files.length > 0) usePicture(fileInput.files[0], fileInput.files[0].name);
    fileInput.value = '';
  });
  document.getElementById('capture').addEventListener('click', captureScreen);
  document.getElementById('fullscreen').addEventListener('click', enterFullscreen);
  document.addEventListener('dragover', (e) => e.preventDefault());
  document.addEventListener('drop', (e) => {
    e.preventDefault();
    const file = e.dataTransfer?.files[0];
    if (file) usePicture(file, file.name);
  });

  // ---- start -----------------------------------------------------------------

  async function loadModule() {
    const name = params.get('simd') !== '0' && WebAssembly.validate(SimdProbe) ? 'gyrewell.wasm'
                                                                              : 'gyrewell-nosimd.wasm';
    const response = await fetch(name);
    if (!response.ok) throw new Error(`${name}: ${response.status}`);
    // Not instantiateStreaming: not every server sends the wasm type.
    const { instance } = await WebAssembly.instantiate(await response.arrayBuffer(), {});
    instance.exports._initialize();
    return instance.exports;
  }

  async function start() {
    state.count = holdCount(params.get('count') ?? stored(Stored.count));
    state.backdrop = holdBackdrop(params.get('backdrop') ?? stored(Stored.backdrop));
    showSettings();
    try {
      state.gyrewell = await loadModule();
    } catch (e) {
      say(`The saver's module cannot be loaded (${e.message}); the page must be served over http.`);
      return;
    }
    window.gyrewell.blend = readText(state.gyrewell, state.gyrewell.gyrewell_blend_kernel());
    const desktop = params.get('desktop');
    build();
    if (desktop !== null) await loadDesktopParameter(desktop);
    const frames = wholeParameter('frames', 1, 1000000);
    if (frames !== null) {
      for (let i = 0; i < frames; ++i) step();
      state.stopped = true;
      document.title = `gyrewell: ${frames} frames shown`;
      return;
    }
    run();
  }

  function readText(g, at) {
    const bytes = new Uint8Array(g.memory.buffer, at);
    return new TextDecoder().decode(bytes.subarray(0, bytes.indexOf(0)));
  }

  start();
})();

// The page around the web build: fits the 640 x 480 picture to the window with square pixels,
// loads the program and the media with a progress bar, waits for a click or a tap (browsers start
// sound only after one), then runs the demo; full screen on F or the button; when the program ends
// (Escape, as on the desktop) it says so. With ?golden it runs the parity program instead and
// prints its lines.
//
// Every file is checked as it arrives, and the first one that is missing or wrong stops the page
// with a message that names it as it is spelled: media.json (the list of the media, with their
// sizes), each file of Media/ (its size, and that it is the PNG, JPEG or Ogg Vorbis its name says;
// the pictures are also decoded once by the browser), and the program (zypho.js, zypho.wasm).
'use strict';

(function () {
  const golden = new URLSearchParams(location.search).has('golden');
  const program = golden ? 'zypho-golden' : 'zypho';
  const $ = (id) => document.getElementById(id);
  const stage = $('stage');
  const canvas = $('canvas');

  // What the page is doing, for people and for the tests: loading, ready, running, over, failed.
  const zypho = (window.zypho = { state: 'loading', lines: [], errors: [], exitStatus: null, error: null });

  function show(panel) {
    for (const id of ['loading', 'start', 'over', 'failed']) $(id).classList.toggle('hidden', id !== panel);
  }

  function fail(message) {
    if (zypho.state === 'failed') return;  // the first failure is the one to read
    zypho.state = 'failed';
    zypho.error = String(message instanceof Error ? message.message : message);
    $('failed-text').textContent = zypho.error;
    show('failed');
  }

  // One scale for both axes, as large as the window allows, in portrait and landscape alike.
  function fit() {
    const scale = Math.max(0.25, Math.min(window.innerWidth / 640, window.innerHeight / 480));
    stage.style.width = Math.floor(640 * scale) + 'px';
    stage.style.height = Math.floor(480 * scale) + 'px';
    stage.style.setProperty('--px', scale + 'px');
  }
  window.addEventListener('resize', fit);
  window.addEventListener('orientationchange', fit);
  document.addEventListener('fullscreenchange', fit);
  fit();

  // On a touch screen the start screen says "tap".
  const touch = window.matchMedia && window.matchMedia('(pointer: coarse)').matches;
  if (touch) $('start-hint').textContent = 'tap to start';

  function toggleFullscreen() {
    if (document.fullscreenElement) {
      document.exitFullscreen().catch(() => {});
      return;
    }
    if (!stage.requestFullscreen) return;
    stage.requestFullscreen().then(() => {
      // Escape belongs to the demo (it ends it, as on the desktop); where the browser allows,
      // it is kept from leaving full screen (holding it still does).
      if (navigator.keyboard && navigator.keyboard.lock) navigator.keyboard.lock(['Escape']).catch(() => {});
    }).catch(() => {});
  }
  $('fullscreen').addEventListener('click', toggleFullscreen);
  document.addEventListener('keydown', (e) => {
    if ((e.key === 'f' || e.key === 'F') && !e.ctrlKey && !e.altKey && !e.metaKey) toggleFullscreen();
  });

  // The bytes of everything that is loaded, for the bar.
  const progress = { loaded: 0, total: 0 };
  function showProgress() {
    $('loading-fill').style.width = (100 * Math.min(1, progress.loaded / Math.max(progress.total, 1))) + '%';
    $('loading-text').textContent = 'loading: ' + Math.round(progress.loaded / 1024) + ' / ' +
      Math.round(progress.total / 1024) + ' kB';
  }

  // Fetches `file` whole, counting its bytes into the bar; fails naming it.
  async function fetchBytes(file, counted) {
    let response;
    try {
      response = await fetch(file);
    } catch (e) {
      throw new Error(`cannot load ${file}: ${e.message}`);
    }
    if (!response.ok) throw new Error(`cannot load ${file}: ${response.status} ${response.statusText}`.trim());
    const parts = [];
    let size = 0;
    const reader = response.body.getReader();
    for (;;) {
      let chunk;
      try {
        chunk = await reader.read();
      } catch (e) {
        throw new Error(`cannot load ${file}: ${e.message}`);
      }
      if (chunk.done) break;
      parts.push(chunk.value);
      size += chunk.value.length;
      if (counted) {
        progress.loaded += chunk.value.length;
        showProgress();
      }
    }
    const bytes = new Uint8Array(size);
    let at = 0;
    for (const p of parts) { bytes.set(p, at); at += p.length; }
    return bytes;
  }

  // What each kind of media file must begin with.
  const kinds = {
    png: { what: 'a PNG picture', magic: [0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a], picture: true },
    jpg: { what: 'a JPEG picture', magic: [0xff, 0xd8, 0xff], picture: true },
    ogg: { what: 'an Ogg Vorbis track', magic: [0x4f, 0x67, 0x67, 0x53] },
  };

  async function checkMedia(file, bytes, size) {
    const kind = kinds[(file.split('.').pop() || '').toLowerCase()];
    if (bytes.length !== size) throw new Error(`${file} is ${bytes.length} bytes, media.json says ${size}`);
    if (!kind) return;
    if (kind.magic.some((b, i) => bytes[i] !== b)) throw new Error(`${file} is not ${kind.what}`);
    if (kind.picture && window.createImageBitmap) {
      let bitmap;
      try {
        bitmap = await createImageBitmap(new Blob([bytes]));
      } catch (e) {
        throw new Error(`${file} is not ${kind.what} that can be read: ${e.message}`);
      }
      bitmap.close();
    }
  }

  // media.json: [{"name": "aa.jpg", "size": 98863}, ...], then every file it lists.
  async function loadMedia() {
    const listBytes = await fetchBytes('media.json', false);
    let list;
    try {
      list = JSON.parse(new TextDecoder().decode(listBytes));
    } catch (e) {
      throw new Error(`media.json is not a list of the media: ${e.message}`);
    }
    if (!Array.isArray(list) || list.length === 0 ||
        !list.every((f) => f && typeof f.name === 'string' && /^[^/\\]+$/.test(f.name) &&
          Number.isInteger(f.size) && f.size >= 0)) {
      throw new Error('media.json is not a list of the media: each entry needs a "name" and a "size"');
    }
    progress.total += list.reduce((sum, f) => sum + f.size, 0);
    showProgress();
    return Promise.all(list.map(async (f) => {
      const file = 'Media/' + f.name;
      const bytes = await fetchBytes('Media/' + encodeURIComponent(f.name), true).catch((e) => {
        throw new Error(e.message.replace('Media/' + encodeURIComponent(f.name), file));
      });
      await checkMedia(file, bytes, f.size);
      return { name: f.name, bytes };
    }));
  }

  // A tiny module that uses a 128-bit SIMD instruction: the program needs them.
  const simd = new Uint8Array([0, 97, 115, 109, 1, 0, 0, 0, 1, 5, 1, 96, 0, 1, 123, 3, 2, 1, 0, 10, 10, 1,
    8, 0, 65, 0, 253, 15, 253, 98, 11]);

  // The program's compiled code, fetched and checked here so that a failure names the file.
  async function loadWasm(imports) {
    const file = program + '.wasm';
    if (typeof WebAssembly !== 'object') throw new Error(`this browser cannot run ${file}: it has no WebAssembly`);
    if (!WebAssembly.validate(simd)) throw new Error(`this browser cannot run ${file}: it needs WebAssembly SIMD`);
    const response = await fetch(file).catch((e) => { throw new Error(`cannot load ${file}: ${e.message}`); });
    if (!response.ok) throw new Error(`cannot load ${file}: ${response.status} ${response.statusText}`.trim());
    const length = Number(response.headers.get('Content-Length')) || 0;
    progress.total += length;
    showProgress();
    try {
      if (WebAssembly.instantiateStreaming && /^application\/wasm\b/.test(response.headers.get('Content-Type') || '')) {
        // Compiled while it downloads.
        const result = await WebAssembly.instantiateStreaming(response, imports);
        progress.loaded += length;
        showProgress();
        return result;
      }
      const bytes = await response.arrayBuffer();
      progress.loaded += length;
      showProgress();
      return await WebAssembly.instantiate(bytes, imports);
    } catch (e) {
      if (e instanceof WebAssembly.CompileError) throw new Error(`${file} is not a WebAssembly program: ${e.message}`);
      if (e instanceof WebAssembly.LinkError) throw new Error(`${file} does not belong to ${program}.js: ${e.message}`);
      throw new Error(`cannot load ${file}: ${e.message}`);
    }
  }

  // The program's runtime: started by hand once the media are in its file system.
  let runtimeReady;
  const runtime = new Promise((resolve) => { runtimeReady = resolve; });
  let flipsAtStart = 0;
  window.Module = {
    canvas,
    noInitialRun: true,
    print: (text) => { zypho.lines.push(text); console.log(text); },
    printErr: (text) => { zypho.errors.push(text); console.warn(text); },
    instantiateWasm: (imports, receive) => {
      loadWasm(imports).then((r) => receive(r.instance, r.module), fail);
      return {};
    },
    onRuntimeInitialized: () => runtimeReady(),
    onExit: (status) => ended(status),
    onAbort: (what) => fail('the program stopped: ' + what),
  };

  function ended(status) {
    if (zypho.state === 'over' || zypho.state === 'failed') return;
    zypho.exitStatus = status;
    // The demo ends only on Escape, after at least one picture: ending before the first one means
    // start-up could not go on (no sound device, or the music could not be read). It said why.
    if (!golden && Module._zypho_web_flips && Module._zypho_web_flips() === flipsAtStart) {
      const why = zypho.errors.filter((line) => line.startsWith('zypho: '));
      fail(why.length ? why.map((line) => line.slice(7)).join('; ') : 'the demo stopped before its first picture');
      return;
    }
    zypho.state = 'over';
    if (!golden) show('over');
    if (document.fullscreenElement) setTimeout(() => document.exitFullscreen().catch(() => {}), 1500);
  }

  // The program's sound, opened here, in the click or tap that starts the demo (browsers start
  // sound only then), at the track's own rate, 44100 Hz: the mixer's chunks play as they are.
  // sound.js places them on the sound's clock; without it, or when the context cannot be made at
  // that rate, SDL plays them its own way (and opens a context of its own, at the browser's rate).
  async function openSound() {
    if (Module.SDL2 && Module.SDL2.audioContext) return;
    let context;
    try {
      context = new AudioContext({ sampleRate: 44100, latencyHint: 'interactive' });
    } catch (e) {
      console.warn('zypho: no sound at 44100 Hz: ' + e);
      return;
    }
    context.resume().catch(() => {});
    Module.SDL2 = Object.assign(Module.SDL2 || {}, { audioContext: context });
    Module.zyphoSound = await window.zyphoSound.open(context);
  }

  function start(event) {
    if (zypho.state !== 'ready') return;
    if (event && event.cancelable) event.preventDefault();  // a tap: no second start from its click
    zypho.state = 'running';
    show(null);
    canvas.focus();
    zypho.startedAt = performance.now();
    flipsAtStart = Module._zypho_web_flips ? Module._zypho_web_flips() : 0;
    openSound().then(() => {
      try {
        Module.callMain([]);
      } catch (e) {
        if (e !== 'unwind' && !(e && e.name === 'ExitStatus')) fail(e);
      }
    });
  }
  zypho.start = start;
  $('start').addEventListener('click', start);
  $('start').addEventListener('touchend', start);
  document.addEventListener('keydown', (e) => {
    if (zypho.state === 'ready' && (e.key === 'Enter' || e.key === ' ')) start();
  });

  const script = document.createElement('script');
  script.src = program + '.js';
  script.onerror = () => fail(`cannot load ${script.src.split('/').pop()}`);
  document.body.appendChild(script);

  Promise.all([loadMedia(), runtime]).then(([files]) => {
    if (zypho.state === 'failed') return;
    FS.mkdir('/Media');
    for (const f of files) FS.writeFile('/Media/' + f.name, f.bytes);
    FS.chdir('/');
    if (golden) {
      zypho.state = 'running';
      $('loading-text').textContent = 'checking the golden frames';
      setTimeout(() => {
        try {
          Module.callMain(['--thumbnails']);
        } catch (e) {
          if (!(e && e.name === 'ExitStatus')) return fail(e);
        }
        try { zypho.thumbnails = FS.readFile('/golden-thumbnails.rgb'); } catch (e) { zypho.thumbnails = null; }
        ended(zypho.exitStatus === null ? 0 : zypho.exitStatus);
        $('loading-text').textContent = zypho.lines.join('\n');
      }, 0);
      return;
    }
    // The pictures decoded now, not while the scenes are built after the zero point.
    $('loading-text').textContent = 'preparing the pictures';
    if (Module._zypho_web_decode_pictures) Module._zypho_web_decode_pictures();
    zypho.state = 'ready';
    show('start');
  }).catch(fail);
})();

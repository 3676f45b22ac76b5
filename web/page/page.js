// The page around the web build: fits the 640 x 480 picture to the window with square pixels,
// loads the media with a progress bar, waits for a click (browsers start sound only after one),
// then runs the demo; full screen on F or the button; when the program ends (Escape, as on the
// desktop) it says so. With ?golden it runs the parity program instead and prints its lines.
'use strict';

(function () {
  const golden = new URLSearchParams(location.search).has('golden');
  const $ = (id) => document.getElementById(id);
  const stage = $('stage');
  const canvas = $('canvas');

  // What the page is doing, for people and for the tests: loading, ready, running, over, failed.
  const zypho = (window.zypho = { state: 'loading', lines: [], exitStatus: null, error: null });

  function show(panel) {
    for (const id of ['loading', 'start', 'over', 'failed']) $(id).classList.toggle('hidden', id !== panel);
  }

  function fail(message) {
    zypho.state = 'failed';
    zypho.error = String(message);
    $('failed-text').textContent = zypho.error;
    show('failed');
  }

  // One scale for both axes, as large as the window allows.
  function fit() {
    const scale = Math.max(0.25, Math.min(window.innerWidth / 640, window.innerHeight / 480));
    stage.style.width = Math.floor(640 * scale) + 'px';
    stage.style.height = Math.floor(480 * scale) + 'px';
    stage.style.setProperty('--px', scale + 'px');
  }
  window.addEventListener('resize', fit);
  document.addEventListener('fullscreenchange', fit);
  fit();

  function toggleFullscreen() {
    if (document.fullscreenElement) {
      document.exitFullscreen().catch(() => {});
      return;
    }
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

  // The program's runtime: started by hand once the media are in its file system.
  let runtimeReady;
  const runtime = new Promise((resolve) => { runtimeReady = resolve; });
  window.Module = {
    canvas,
    noInitialRun: true,
    print: (text) => { zypho.lines.push(text); console.log(text); },
    printErr: (text) => { console.warn(text); },
    onRuntimeInitialized: () => runtimeReady(),
    onExit: (status) => ended(status),
    onAbort: (what) => fail('the program stopped: ' + what),
  };

  function ended(status) {
    if (zypho.state === 'over') return;
    zypho.exitStatus = status;
    zypho.state = 'over';
    if (!golden) show('over');
    if (document.fullscreenElement) setTimeout(() => document.exitFullscreen().catch(() => {}), 1500);
  }

  // Fetches every file of media.json, counting the bytes into the bar.
  async function loadMedia() {
    const list = await (await fetch('media.json')).json();
    const total = list.reduce((sum, f) => sum + f.size, 0);
    let loaded = 0;
    const progress = () => {
      $('loading-fill').style.width = (100 * Math.min(1, loaded / Math.max(total, 1))) + '%';
      $('loading-text').textContent = 'loading the media: ' + Math.round(loaded / 1024) + ' / ' +
        Math.round(total / 1024) + ' kB';
    };
    progress();
    return Promise.all(list.map(async (file) => {
      const response = await fetch('Media/' + encodeURIComponent(file.name));
      if (!response.ok) throw new Error('cannot load Media/' + file.name + ': ' + response.status);
      const reader = response.body.getReader();
      const parts = [];
      let size = 0;
      for (;;) {
        const { done, value } = await reader.read();
        if (done) break;
        parts.push(value);
        size += value.length;
        loaded += value.length;
        progress();
      }
      const bytes = new Uint8Array(size);
      let at = 0;
      for (const p of parts) { bytes.set(p, at); at += p.length; }
      return { name: file.name, bytes };
    }));
  }

  function start() {
    if (zypho.state !== 'ready') return;
    zypho.state = 'running';
    show(null);
    canvas.focus();
    zypho.startedAt = performance.now();
    try {
      Module.callMain([]);
    } catch (e) {
      if (e !== 'unwind' && !(e && e.name === 'ExitStatus')) fail(e);
    }
  }
  zypho.start = start;
  $('start').addEventListener('click', start);
  document.addEventListener('keydown', (e) => {
    if (zypho.state === 'ready' && (e.key === 'Enter' || e.key === ' ')) start();
  });

  const script = document.createElement('script');
  script.src = golden ? 'zypho-golden.js' : 'zypho.js';
  script.onerror = () => fail('cannot load ' + script.src);
  document.body.appendChild(script);

  Promise.all([loadMedia(), runtime]).then(([files]) => {
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
    zypho.state = 'ready';
    show('start');
  }).catch(fail);
})();

// The web build in a real browser: Debian's Chromium, headless, driven by puppeteer-core (which
// downloads no browser of its own). It serves build-web/site/ with web/serve.js on a free
// loopback port and checks
//   - parity: zypho-golden, run in the page on the virtual clock, prints the checksums recorded in
//     the desktop's golden table (tests/shell/golden_frames_test.cpp, read from that file);
//   - the live demo: after the click on the start screen the music plays (the AudioContext runs,
//     its clock advances, the mixer produces loud chunks), the expected scene is on screen at
//     chosen moments (recognised against the golden frames' thumbnails), the oscilloscope's trace
//     and the level bars are drawn from the very chunk of sound that pass had, the canvas shows
//     the last flipped picture pixel for pixel, every cut's musical hit is heard with the first
//     picture of the new scene (measured at the audio destination: tests/web/sync-probe.js), and
//     Escape on the end screen ends the program and the page says so. The demo plays its whole
//     timeline in real time, as a viewer sees it.
// Frame rates and the first picture's delay are measured and printed, never asserted.
// Also: every missing or broken file (media.json, a picture, the music, zypho.js, zypho.wasm)
// stops the page with a message that names the file as it is spelled; on a phone (Chromium's
// mobile emulation, touch events) a tap starts the demo and the picture fits the screen upright
// and sideways.
//
// Run: node --test tests/web/  (needs build-web/site from scripts/web-build; ZYPHO_WEB_SITE names
// another folder, CHROMIUM another browser binary).
'use strict';

const assert = require('node:assert/strict');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const { test, before, after } = require('node:test');
const puppeteer = require('puppeteer-core');
const { KnownDevices } = puppeteer;
const { serve } = require('../../web/serve.js');
const { installProbe, measureSync, timelineFromSource } = require('./sync-probe.js');

const top = path.resolve(__dirname, '..', '..');
const site = process.env.ZYPHO_WEB_SITE || path.join(top, 'build-web', 'site');
const chromium = process.env.CHROMIUM || '/usr/bin/chromium';
const W = 640, H = 480, THUMB = 8, TW = W / THUMB, TH = H / THUMB;
const SAMPLE_SCALE = (H * 0.5) / 65536;  // the program's scale for 16-bit samples
// The desktop's golden table: "{ms, 0x...ull},  // scene name" between the BEGIN/END markers.
function desktopGolden() {
  const file = path.join(top, 'tests', 'shell', 'golden_frames_test.cpp');
  const text = fs.readFileSync(file, 'utf8');
  const begin = text.indexOf('// BEGIN GOLDEN'), end = text.indexOf('// END GOLDEN');
  assert.ok(begin >= 0 && end > begin, `no BEGIN/END GOLDEN markers in ${file}`);
  const rows = [];
  const re = /\{\s*(\d+)\s*,\s*0x([0-9a-fA-F]+)ull\s*\}\s*,\s*\/\/\s*(.*)/g;
  for (let m; (m = re.exec(text.slice(begin, end)));) {
    rows.push({ ms: Number(m[1]), checksum: m[2].toLowerCase().padStart(16, '0'), name: m[3].trim() });
  }
  assert.ok(rows.length > 0, `no rows in the golden table of ${file}`);
  return rows;
}

// The timeline's entries and how late the track is heard, from the program's sources.
const { entries, heardLateMs: HEARD_LATE_MS } = timelineFromSource(top);
// A moment `after` ms into the entry called `scene`; `left`: ms from then to the entry's end.
function moment(scene, after, extra = {}) {
  assert.ok(entries.has(scene), `the schedule has no entry "${scene}"`);
  const e = entries.get(scene);
  return { at: e.start + after, left: e.length - after, scene, ...extra };
}

let server, browser, base, userDir;
const golden = desktopGolden();
let thumbnails = null;  // Uint8Array: one 80 x 60 RGB thumbnail per golden frame, from the browser

before(async () => {
  assert.ok(fs.existsSync(path.join(site, 'index.html')),
    `${site}/index.html is missing: build the web version first (scripts/web-build)`);
  server = await serve(site, 0);
  base = `http://127.0.0.1:${server.address().port}/`;
  userDir = fs.mkdtempSync(path.join(process.env.TMPDIR || os.tmpdir(), 'zypho-chromium-'));
  const args = [
    '--autoplay-policy=no-user-gesture-required', '--disable-gpu', '--no-first-run',
    '--disable-background-networking', '--disable-component-update', '--disable-sync',
    '--disable-quic', '--disable-background-timer-throttling', '--disable-renderer-backgrounding',
    '--disable-backgrounding-occluded-windows', '--window-size=800,600',
  ];
  if (process.getuid && process.getuid() === 0) args.push('--no-sandbox');
  browser = await puppeteer.launch({
    executablePath: chromium, headless: true, userDataDir: userDir, args,
    protocolTimeout: 600000, defaultViewport: { width: 800, height: 600 },
  });
});

after(async () => {
  if (browser) await browser.close();
  if (server) server.close();
  if (userDir) fs.rmSync(userDir, { recursive: true, force: true });
});

async function openPage(query, prepare) {
  const page = await browser.newPage();
  const errors = [];
  page.on('pageerror', (e) => errors.push(String(e)));
  if (prepare) await page.evaluateOnNewDocument(prepare);
  await page.goto(base + query, { waitUntil: 'load', timeout: 120000 });
  return { page, errors };
}

async function waitForState(page, states, timeout) {
  await page.waitForFunction((s) => s.includes(window.zypho.state), { timeout, polling: 100 }, states);
  return page.evaluate(() => ({ state: window.zypho.state, error: window.zypho.error }));
}

test('the browser build draws the desktop\'s golden frames on the virtual clock', { timeout: 900000 }, async () => {
  const { page, errors } = await openPage('?golden');
  const t0 = Date.now();
  const end = await waitForState(page, ['over', 'failed'], 840000);
  const seconds = (Date.now() - t0) / 1000;
  const lines = await page.evaluate(() => window.zypho.lines);
  assert.equal(end.state, 'over', `the parity program failed: ${end.error}\n${lines.join('\n')}\n${errors.join('\n')}`);
  const got = new Map();
  for (const line of lines) {
    const m = /^golden (\d+) 0x([0-9a-f]{16})$/.exec(line);
    if (m) got.set(Number(m[1]), m[2]);
  }
  assert.ok(lines.includes('golden done'), `the parity program did not finish:\n${lines.join('\n')}`);
  // The build has 128-bit SIMD: the pixel kernels run their SSE2 paths (on wasm's vector
  // instructions), not the portable ones.
  assert.ok(lines.includes('golden kernels blend sse2 blur sse2'),
    `the web build does not run the SIMD kernels: ${lines.find((l) => l.startsWith('golden kernels')) || 'no kernels line'}`);
  const differ = [];
  for (const g of golden) {
    const web = got.get(g.ms);
    if (web !== g.checksum) differ.push(`  ${g.ms} ms (${g.name}): desktop 0x${g.checksum}, browser ${web ? '0x' + web : 'none'}`);
  }
  const extra = [...got.keys()].filter((ms) => !golden.some((g) => g.ms === ms));
  console.log(`# golden frames: ${golden.length - differ.length} of ${golden.length} match the desktop's (${seconds.toFixed(1)} s in the browser)`);
  assert.deepEqual(extra, [], `the browser printed frames the desktop's table does not have: ${extra.join(', ')}`);
  assert.equal(differ.length, 0, `golden frames that differ from the desktop's:\n${differ.join('\n')}`);

  const thumbs = await page.evaluate(() => window.zypho.thumbnails && Array.from(window.zypho.thumbnails));
  assert.ok(thumbs && thumbs.length === golden.length * TW * TH * 3, 'the parity program wrote no thumbnails');
  thumbnails = Uint8Array.from(thumbs);
  await page.close();
});

// One consistent reading of the last flipped frame and of the chunk that pass drew from, taken
// between two passes; thumbnail and the measurements the checks need are made in the page.
async function snapshot(page) {
  return page.evaluate((W, H, THUMB) => {
    const M = Module;
    const px = M.HEAPU8.subarray(M._zypho_web_screen_pixels(), M._zypho_web_screen_pixels() + W * H * 4);
    const n = M._zypho_web_pass_chunk_samples();
    const chunk = Array.from(M.HEAP16.subarray(M._zypho_web_pass_chunk() >> 1, (M._zypho_web_pass_chunk() >> 1) + n));
    // 80 x 60 means of 8 x 8 blocks, RGB (the screen is XRGB8888: bytes B, G, R, X).
    const tw = W / THUMB, th = H / THUMB, thumb = new Array(tw * th * 3).fill(0);
    for (let y = 0; y < H; ++y)
      for (let x = 0; x < W; ++x) {
        const o = (y * W + x) * 4, t = ((y / THUMB | 0) * tw + (x / THUMB | 0)) * 3;
        thumb[t] += px[o + 2]; thumb[t + 1] += px[o + 1]; thumb[t + 2] += px[o];
      }
    for (let i = 0; i < thumb.length; ++i) thumb[i] = Math.floor(thumb[i] / (THUMB * THUMB));
    // Per pixel: 1 white, 2 the oscilloscope's ink (248, 225, 170), 0 anything else.
    const kind = new Uint8Array(W * H);
    for (let i = 0; i < W * H; ++i) {
      const b = px[4 * i], g = px[4 * i + 1], r = px[4 * i + 2];
      kind[i] = r === 255 && g === 255 && b === 255 ? 1 : r === 248 && g === 225 && b === 170 ? 2 : 0;
    }
    return {
      elapsed: performance.now() - window.zyphoProbe.zeroPoint, flips: M._zypho_web_flips(), chunk, thumb,
      kind: btoa(String.fromCharCode.apply(null, kind.subarray(0, 0)) || '') + Array.from(kind).join(''),
      audio: M.SDL2 && M.SDL2.audioContext ? { state: M.SDL2.audioContext.state, time: M.SDL2.audioContext.currentTime } : null,
      mixed: M._zypho_web_chunks_mixed(), loud: M._zypho_web_loud_chunks(), playing: M._zypho_web_music_playing(),
    };
  }, W, H, THUMB);
}

// The golden frame whose thumbnail is nearest (mean absolute difference per byte).
function nearestGolden(thumb) {
  const size = TW * TH * 3;
  let best = null;
  const all = golden.map((g, k) => {
    let sum = 0;
    for (let i = 0; i < size; ++i) sum += Math.abs(thumb[i] - thumbnails[k * size + i]);
    const d = sum / size;
    if (!best || d < best.d) best = { g, d };
    return { g, d };
  });
  return { best, all };
}

// Level bars: for every column, the bar the chunk's samples call for (left channel from row 120,
// right from row 360) against the white run on screen from that base line. Returns the share of
// columns where they agree, and of columns with a bar at all.
function levelBarsAgreement(kind, chunk) {
  let agree = 0, columns = 0, withBar = 0;
  for (let i = 0; i < 2 * W && i < chunk.length; ++i) {
    const x = i >> 1, baseRow = i % 2 === 0 ? H / 4 : (3 * H) / 4;
    const d = Math.trunc(Math.max(-H, Math.min(H, Math.fround(chunk[i] * SAMPLE_SCALE))));
    const top = Math.max(d < 0 ? baseRow + d : baseRow, 0), bottom = Math.min(d < 0 ? baseRow : baseRow + d, H);
    if (bottom - top < 2) continue;  // too short to tell from the background
    ++withBar;
    let white = 0;
    for (let y = top; y < bottom; ++y) white += kind[y * W + x] === '1' ? 1 : 0;
    ++columns;
    if (white >= 0.9 * (bottom - top)) ++agree;
  }
  return { share: columns ? agree / columns : 0, withBar };
}

// Oscilloscope: the canvas (240 px wide) swings about the screen; find where its trace is. For
// canvas column i in 10 .. 229 the trace is at row 100 + trunc(sample_i × scale / 8), three
// pixels wide. Returns the best share of trace pixels in ink over all placements, and the trace's
// height in rows (a flat trace would prove little).
function scopeAgreement(kind, chunk) {
  const rows = [];
  for (let i = 10; i < 230; ++i) rows.push(100 + Math.trunc(Math.fround(chunk[i] * SAMPLE_SCALE) * 0.125));
  const spread = Math.max(...rows) - Math.min(...rows);
  let best = 0, at = null;
  for (let oy = -100; oy < H; ++oy)
    for (let ox = -240; ox < W; ++ox) {
      let hit = 0, seen = 0;
      for (let k = 0; k < rows.length; ++k) {
        const x = ox + 10 + k, y = oy + rows[k];
        if (x < 0 || x >= W || y < 0 || y >= H) continue;
        ++seen;
        if (kind[y * W + x] === '2') ++hit;
      }
      if (seen >= 150 && hit / seen > best) { best = hit / seen; at = [ox, oy]; }
    }
  return { share: best, at, spread };
}

test('the live demo plays its music and draws its scenes from it', { timeout: 900000 }, async (t) => {
  assert.ok(thumbnails, 'the golden frames\' thumbnails are needed (the parity test failed)');
  const { page, errors } = await openPage('', installProbe);
  const ready = await waitForState(page, ['ready', 'failed'], 240000);
  assert.equal(ready.state, 'ready', `the page did not get ready: ${ready.error}`);
  assert.ok(await page.$eval('#start', (e) => !e.classList.contains('hidden')), 'the start screen is not shown');
  // The shaking words fail the flash thresholds (zypho-capture --flash-report): the start screen
  // warns of them.
  assert.match(await page.$eval('#photosensitivity', (e) => e.innerText), /photosensitivity warning: .*flash/,
    'the start screen shows no photosensitivity warning');
  await page.click('#start');
  await page.waitForFunction(() => window.zyphoProbe.zeroPoint !== null, { timeout: 120000, polling: 50 });
  const elapsed = () => page.evaluate(() => performance.now() - window.zyphoProbe.zeroPoint);
  const waitUntil = (at) => page.waitForFunction((at) => performance.now() - window.zyphoProbe.zeroPoint >= at,
    { timeout: at + 60000, polling: 20 }, at);
  const fps = [];
  const rate = async (ms) => {
    const a = await page.evaluate(() => [Module._zypho_web_flips(), performance.now()]);
    await new Promise((r) => setTimeout(r, ms));
    const b = await page.evaluate(() => [Module._zypho_web_flips(), performance.now()]);
    fps.push((1000 * (b[0] - a[0])) / (b[1] - a[1]));
  };

  await t.test('the music plays', async () => {
    await waitUntil(1500);
    const a = await snapshot(page);
    await rate(2000);
    const b = await snapshot(page);
    assert.ok(a.audio, 'the program opened no AudioContext');
    assert.equal(b.audio.state, 'running', 'the AudioContext is not running');
    assert.ok(b.audio.time - a.audio.time > 0.5, `the AudioContext's clock advanced by ${(b.audio.time - a.audio.time).toFixed(3)} s in 2 s`);
    assert.equal(b.playing, 1, 'the music is not playing (Mix_PlayingMusic)');
    assert.ok(b.mixed - a.mixed >= 10, `the mixer produced ${b.mixed - a.mixed} chunks in 2 s`);
    assert.ok(b.loud - a.loud >= 5, `only ${b.loud - a.loud} of those chunks had sound in them`);
  });

  // At each moment: the nearest golden thumbnail belongs to the expected scene.
  const moments = [
    moment('falling logos', 2000), moment('bezier web', 7000),
    moment('oscilloscope', 4000, { scope: true }), moment('plasma', 4000),
    moment('level bars and walkers', 3000, { bars: true }), moment('credits', 5000),
    moment('end screen', 600),
  ];
  for (const m of moments) {
    await t.test(`${m.scene} at ${m.at / 1000} s`, async () => {
      assert.ok(golden.some((g) => g.name === m.scene), `the golden table names no frame "${m.scene}"`);
      await waitUntil(m.at - 700);
      await rate(700);
      // A few frames 150 ms apart; for the audio-driven scenes, until three of them had sound
      // loud enough to tell a drawing of it from a flat line (at most 40 frames).
      const measure = (x) => (m.scope ? scopeAgreement(x.kind, x.chunk) : m.bars ? levelBarsAgreement(x.kind, x.chunk) : null);
      const telling = (r) => (m.scope ? r.spread >= 4 : r.withBar >= 100);
      const shots = [];
      // The shots stay within the entry, clear of the next cut, whose timing is measured below.
      const until = m.at + Math.min(6000, m.left - 1000);
      for (let k = 0; k < 40; ++k) {
        const x = await snapshot(page);
        x.result = measure(x);
        shots.push(x);
        if (k >= 3 && (!x.result || shots.filter((y) => telling(y.result)).length >= 3)) break;
        if (x.elapsed + 300 > until) break;
        await new Promise((r) => setTimeout(r, 150));
      }
      const s = shots[0];
      // The canvas shows the last flipped picture, pixel for pixel (RGBA there, XRGB on screen).
      const canvasDiff = await page.evaluate((W, H) => {
        const M = Module;
        const px = M.HEAPU8.subarray(M._zypho_web_screen_pixels(), M._zypho_web_screen_pixels() + W * H * 4);
        const shown = document.getElementById('canvas').getContext('2d').getImageData(0, 0, W, H).data;
        let differ = 0, first = null;
        for (let i = 0; i < W * H; ++i) {
          const same = shown[4 * i] === px[4 * i + 2] && shown[4 * i + 1] === px[4 * i + 1] &&
            shown[4 * i + 2] === px[4 * i] && shown[4 * i + 3] === 255;
          if (!same && differ++ === 0) first = [i % W, Math.floor(i / W), Array.from(shown.subarray(4 * i, 4 * i + 4)), Array.from(px.subarray(4 * i, 4 * i + 4))];
        }
        return { differ, first };
      }, W, H);
      assert.equal(canvasDiff.differ, 0, `the canvas differs from the screen in ${canvasDiff.differ} pixels, ` +
        `first at ${canvasDiff.first && canvasDiff.first.slice(0, 2)}: RGBA ${canvasDiff.first && canvasDiff.first[2]}, screen BGRX ${canvasDiff.first && canvasDiff.first[3]}`);
      const { best, all } = nearestGolden(s.thumb);
      const ranking = all.sort((p, q) => p.d - q.d).slice(0, 3).map((e) => `${e.g.name} at ${e.g.ms} ms (${e.d.toFixed(1)})`);
      // The scenes over the shared background (walkers, worm, oscilloscope, level bars) differ
      // in small, moving parts that thumbnails cannot tell apart; the audio-driven ones are
      // recognised by their drawing below instead.
      if (!m.scope && !m.bars) {
        assert.equal(best.g.name, m.scene,
          `at ${(s.elapsed / 1000).toFixed(1)} s the screen looks most like ${ranking.join(', ')}, not "${m.scene}"`);
      } else {
        const distinct = new Set(shots.map((x) => x.chunk.join(','))).size;
        assert.ok(distinct >= 3, `the sound the scene drew from changed ${distinct - 1} times in ${shots.length} frames 150 ms apart`);
        const loud = shots.filter((x) => telling(x.result));
        assert.ok(loud.length >= 2, `the music was too quiet to check the drawing in ${shots.length} frames (` +
          shots.map((x) => (m.scope ? `trace spread ${x.result.spread} rows` : `${x.result.withBar} bars`)).join(', ') + ')');
        for (const x of loud) {
          const when = `at ${(x.elapsed / 1000).toFixed(1)} s`;
          if (m.scope) {
            assert.ok(x.result.share >= 0.95, `${when} the oscilloscope's trace is not the pass's sound: at best ${(100 * x.result.share).toFixed(0)}% of its pixels in ink (canvas at ${x.result.at})`);
          } else {
            assert.ok(x.result.share >= 0.85, `${when} only ${(100 * x.result.share).toFixed(0)}% of ${x.result.withBar} level bars match the pass's sound`);
          }
        }
        console.log(`# ${m.scene}: ${loud.length} of ${shots.length} frames checked against their sound, ` +
          loud.map((x) => `${(100 * x.result.share).toFixed(0)}%`).join(', '));
      }
    });
  }

  // The track is laid out so that each cut's hit is heard with the cut (MUSIC_HEARD_LATE_MS after
  // the zero point), and the page plays every chunk at its frame on the sound's own clock, late
  // by the browser's picture delay (1.5 display refreshes). That placement holds on any machine,
  // loaded or not, as it is the sound's clock that places the samples: each hit must be heard
  // within 5 ms of the cut plus that delay (the page moves a chunk once the clocks drift 3 ms
  // apart). When the pictures come is up to the machine: a busy page shows a scene's first
  // picture late now and then (its code is compiled on first use, too), so the hit against the
  // first picture is asserted for the cuts as a whole, by their median, and printed for each.
  await t.test('every cut\'s hit is heard with the first picture of the new scene', async () => {
    const cuts = [...entries].filter(([, e]) => e.start > 0).map(([scene, e]) => ({ scene, at: e.start }));
    await waitUntil(Math.max(...cuts.map((c) => c.at)) + 500);
    const sync = await measureSync(page, cuts, HEARD_LATE_MS);
    const sound = await page.evaluate(() => Module.zyphoSound &&
      { ...Module.zyphoSound.stats, pictureDelayMs: Module.zyphoSound.pictureDelayMs });
    console.log(`# the first picture is flipped ${sync.firstFrameMs.toFixed(1)} ms after the zero point; ` +
      `sound: ${sound ? `${sound.chunks} chunks, ${sound.lateChunks} late (${sound.lateFrames} frames: ${JSON.stringify(sound.late)}), ` +
        `${sound.moved} moved, picture delay ${sound.pictureDelayMs.toFixed(1)} ms` : 'no scheduler'}`);
    console.log('# hit heard - first picture of the scene shown, ms: ' +
      sync.cuts.map((c) => `${c.scene} ${c.offset === null ? '-' : c.offset.toFixed(1)}`).join(', '));
    assert.ok(sound, 'the page plays the sound without its scheduler (sound.js): no AudioWorklet?');
    // The track's 50 ms before each hit and 50 ms from it are found in what reached the
    // destination: a true match scores near 1, anything else near 0. A chunk moved inside one of
    // them lowers its score, and the other one is taken.
    for (const c of sync.cuts) {
      assert.ok(c.correlation >= 0.8, `at the cut to ${c.scene} (${c.at} ms) the sound at the destination is not the track ` +
        `(correlation ${c.correlation.toFixed(3)})`);
      const late = c.heard - c.at - sound.pictureDelayMs;
      assert.ok(Math.abs(late) <= 5, `the hit of the cut to ${c.scene} (${c.at} ms) is heard ${late.toFixed(1)} ms away from ` +
        `where the page placed it (the cut plus ${sound.pictureDelayMs.toFixed(1)} ms)`);
      assert.ok(c.offset !== null, `no picture of ${c.scene} was shown`);
    }
    const offsets = sync.cuts.map((c) => c.offset).sort((a, b) => a - b);
    const median = offsets[offsets.length >> 1];
    assert.ok(Math.abs(median) <= 20, `the cuts' hits are heard ${median.toFixed(1)} ms (median) after their first pictures`);
  });

  await t.test('Escape on the end screen ends the program and the page says so', async () => {
    await page.keyboard.press('Escape');
    const end = await waitForState(page, ['over', 'failed'], 60000);
    assert.equal(end.state, 'over', `the page ended as "${end.state}": ${end.error}`);
    assert.ok(await page.$eval('#over', (e) => !e.classList.contains('hidden')), 'the page does not say the demo is over');
  });
  const sorted = fps.slice().sort((a, b) => a - b);
  console.log(`# frame rate in headless Chromium: median ${sorted[sorted.length >> 1].toFixed(1)} fps (${sorted.map((f) => f.toFixed(0)).join(', ')})`);
  assert.deepEqual(errors, [], 'the page reported errors');
  await page.close();
});

// A page that is not in a secure context has no AudioWorklet: the demo still plays, its sound
// through a real ScriptProcessorNode, and the console says that the music may drift.
test('without AudioWorklet the demo plays its music through a ScriptProcessorNode and says so', { timeout: 300000 }, async () => {
  const { page, errors } = await openPage('', () => {
    Object.defineProperty(BaseAudioContext.prototype, 'audioWorklet', { get: () => undefined });
  });
  const warnings = [];
  page.on('console', (m) => { if (['warn', 'warning'].includes(m.type())) warnings.push(m.text()); });
  const ready = await waitForState(page, ['ready', 'failed'], 240000);
  assert.equal(ready.state, 'ready', `the page did not get ready: ${ready.error}`);
  await page.click('#start');
  await page.waitForFunction(() => window.zypho.state === 'running' && Module._zypho_web_flips && Module._zypho_web_flips() > 0,
    { timeout: 60000, polling: 50 });
  await new Promise((r) => setTimeout(r, 2500));
  const sound = await page.evaluate(() => ({
    scheduler: Boolean(Module.zyphoSound), state: Module.SDL2.audioContext.state,
    mixed: Module._zypho_web_chunks_mixed(), loud: Module._zypho_web_loud_chunks(),
  }));
  assert.equal(sound.scheduler, false, 'the page placed the sound without AudioWorklet');
  assert.equal(sound.state, 'running', 'the AudioContext is not running');
  assert.ok(sound.mixed >= 10 && sound.loud >= 5, `the ScriptProcessorNode played ${sound.mixed} chunks, ${sound.loud} with sound`);
  assert.ok(warnings.some((w) => /no AudioWorklet .*may drift off the beat/.test(w)),
    `the console does not say why the sound may drift: ${JSON.stringify(warnings)}`);
  assert.deepEqual(errors, [], 'the page reported errors');
  await page.close();
});

// The page with some of its files replaced: `files` maps a path of the site ("media.json",
// "Media/aa.jpg") to a response { status, body, type }.
async function openBroken(files) {
  const page = await browser.newPage();
  await page.setRequestInterception(true);
  page.on('request', (request) => {
    const name = decodeURIComponent(new URL(request.url()).pathname.slice(1));
    const r = files[name];
    if (!r) return request.continue();
    return request.respond({ status: r.status || 200, contentType: r.type || 'application/octet-stream', body: r.body || '' });
  });
  await page.goto(base, { waitUntil: 'load', timeout: 120000 });
  return page;
}

// What the failure panel shows, as a person reads it (with the style sheet applied).
async function failure(page, timeout = 120000) {
  const end = await waitForState(page, ['failed', 'ready', 'running', 'over'], timeout);
  const shown = await page.$eval('#failed', (e) => !e.classList.contains('hidden'));
  const text = await page.$eval('#failed-text', (e) => e.innerText);
  return { state: end.state, shown, text };
}

test('a missing or broken file stops the page with a message that names it', { timeout: 600000 }, async (t) => {
  const sizes = JSON.parse(fs.readFileSync(path.join(site, 'media.json'), 'utf8'));
  const sizeOf = (name) => sizes.find((f) => f.name === name).size;
  const notFound = { status: 404, body: 'not found\n', type: 'text/plain' };
  const cases = [
    { what: 'media.json missing', files: { 'media.json': notFound }, says: /cannot load media\.json: 404/ },
    { what: 'media.json not JSON', files: { 'media.json': { body: 'oops', type: 'application/json' } }, says: /media\.json is not a list of the media/ },
    { what: 'media.json without sizes', files: { 'media.json': { body: '[{"name":"aa.jpg"}]', type: 'application/json' } }, says: /media\.json is not a list of the media/ },
    { what: 'a picture missing', files: { 'Media/aa.jpg': notFound }, says: /cannot load Media\/aa\.jpg: 404/ },
    { what: 'a picture cut short', files: { 'Media/bb.png': { body: Buffer.alloc(100, 0x89), type: 'image/png' } }, says: new RegExp(`Media/bb\\.png is 100 bytes, media\\.json says ${sizeOf('bb.png')}`) },
    { what: 'a picture that is not one', files: { 'Media/ab.png': { body: Buffer.alloc(sizeOf('ab.png'), 0x41), type: 'image/png' } }, says: /Media\/ab\.png is not a PNG picture/ },
    { what: 'a picture that does not decode', files: { 'Media/fd.jpg': { body: Buffer.concat([Buffer.from([0xff, 0xd8, 0xff]), Buffer.alloc(sizeOf('fd.jpg') - 3, 0x13)]), type: 'image/jpeg' } }, says: /Media\/fd\.jpg is not a JPEG picture that can be read/ },
    { what: 'the music missing', files: { 'Media/s.ogg': notFound }, says: /cannot load Media\/s\.ogg: 404/ },
    { what: 'the music not Ogg', files: { 'Media/s.ogg': { body: Buffer.alloc(sizeOf('s.ogg'), 0), type: 'audio/ogg' } }, says: /Media\/s\.ogg is not an Ogg Vorbis track/ },
    { what: 'the program missing', files: { 'zypho.wasm': notFound }, says: /cannot load zypho\.wasm: 404/ },
    { what: 'the program broken', files: { 'zypho.wasm': { body: Buffer.from('not a program at all'), type: 'application/wasm' } }, says: /zypho\.wasm is not a WebAssembly program/ },
    { what: 'the program broken, served as bytes', files: { 'zypho.wasm': { body: Buffer.from('\0asm junk'), type: 'application/octet-stream' } }, says: /zypho\.wasm is not a WebAssembly program/ },
    { what: 'the runtime missing', files: { 'zypho.js': notFound }, says: /cannot load zypho\.js/ },
  ];
  for (const c of cases) {
    await t.test(c.what, async () => {
      const page = await openBroken(c.files);
      const f = await failure(page);
      await page.close();
      assert.equal(f.state, 'failed', `the page went on to "${f.state}"`);
      assert.ok(f.shown, 'the failure panel is not shown');
      assert.match(f.text, c.says);
    });
  }

  // Music whose head is right but which the program cannot read: the program's start-up stops
  // before the first picture and says why; the page passes that on.
  await t.test('music the program cannot read', async () => {
    const ogg = fs.readFileSync(path.join(site, 'Media', 's.ogg'));
    const broken = Buffer.concat([Buffer.from('OggS'), Buffer.alloc(ogg.length - 4, 0x55)]);
    const page = await openBroken({ 'Media/s.ogg': { body: broken, type: 'audio/ogg' } });
    const ready = await waitForState(page, ['ready', 'failed'], 120000);
    assert.equal(ready.state, 'ready', `the page did not get ready: ${ready.error}`);
    await page.click('#start');
    await waitForState(page, ['failed', 'over'], 60000);  // the program starts once the sound is open
    const f = await failure(page, 60000);
    await page.close();
    assert.equal(f.state, 'failed', `the page went on to "${f.state}"`);
    assert.ok(f.shown, 'the failure panel is not shown');
    assert.match(f.text, /cannot load Media\/s\.ogg/);
  });
});

// The stage's box and the window's, in CSS pixels.
async function layout(page) {
  return page.evaluate(() => {
    const r = document.getElementById('stage').getBoundingClientRect();
    return { x: r.left, y: r.top, w: r.width, h: r.height, vw: window.innerWidth, vh: window.innerHeight };
  });
}

function assertFits(l, how) {
  assert.ok(l.x >= 0 && l.y >= 0 && l.x + l.w <= l.vw + 0.5 && l.y + l.h <= l.vh + 0.5,
    `${how}: the picture (${l.w} x ${l.h} at ${l.x}, ${l.y}) does not fit the ${l.vw} x ${l.vh} screen`);
  assert.ok(Math.abs(l.w * 3 - l.h * 4) <= 4, `${how}: the picture is ${l.w} x ${l.h}, not 4:3`);
  assert.ok(l.w >= l.vw - 1 || l.h >= l.vh - 1, `${how}: the picture (${l.w} x ${l.h}) does not fill the ${l.vw} x ${l.vh} screen either way`);
  assert.ok(Math.abs(l.x + l.w / 2 - l.vw / 2) <= 1 && Math.abs(l.y + l.h / 2 - l.vh / 2) <= 1, `${how}: the picture is not centred`);
}

test('on a phone a tap starts the demo and the picture fits upright and sideways', { timeout: 300000 }, async () => {
  const page = await browser.newPage();
  const errors = [];
  page.on('pageerror', (e) => errors.push(String(e)));
  const phone = KnownDevices['Pixel 5'];
  await page.emulate(phone);
  await page.goto(base, { waitUntil: 'load', timeout: 120000 });
  const ready = await waitForState(page, ['ready', 'failed'], 240000);
  assert.equal(ready.state, 'ready', `the page did not get ready: ${ready.error}`);
  assert.equal(await page.$eval('#start-hint', (e) => e.innerText), 'tap to start');
  assertFits(await layout(page), 'upright');

  await page.tap('#start');
  await page.waitForFunction(() => window.zypho.state === 'running' && Module._zypho_web_flips() > 10, { timeout: 60000, polling: 50 });
  assert.ok(await page.evaluate(() => Module.SDL2 && Module.SDL2.audioContext && Module.SDL2.audioContext.state === 'running'),
    'the sound did not start with the tap');

  await page.setViewport({ ...phone.viewport, width: phone.viewport.height, height: phone.viewport.width, isLandscape: true });
  await page.waitForFunction(() => window.innerWidth > window.innerHeight, { timeout: 10000 });
  await new Promise((r) => setTimeout(r, 200));
  assertFits(await layout(page), 'sideways');
  const flips = await page.evaluate(() => Module._zypho_web_flips());
  await new Promise((r) => setTimeout(r, 500));
  assert.ok(await page.evaluate(() => Module._zypho_web_flips()) > flips, 'the demo stopped when the phone was turned');
  assert.deepEqual(errors, [], 'the page reported errors');
  await page.close();
});

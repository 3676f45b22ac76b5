// When the live page's music is heard against when its pictures are shown, measured from outside
// the program: what reaches the audio destination is recorded sample by sample, aligned with the
// decoded track by cross-correlation, and put on the page's clock with the output's own time
// stamps (getOutputTimestamp); each picture is taken as shown with the animation frame after the
// pass that drew it. Used by the browser test and by scripts/web-bench.
//
//   await page.evaluateOnNewDocument(installProbe);   // before the page loads
//   ... the demo runs ...
//   const sync = await measureSync(page, cuts, heardLateMs);
//
// installProbe hooks, in the page:
//   - AudioWorklet.addModule: with the page's own module it loads a recorder, and every node the
//     page connects to a context's destination is connected to that recorder too, which hands
//     each block of 128 frames over with its frame number (so the record is exact to the frame);
//   - requestAnimationFrame: every animation frame's time, and after each of the program's passes
//     its elapsed time (Module._zypho_web_elapsed) and when it flipped;
//   - the output's time stamps, read once per animation frame.
'use strict';

// Runs in the page (serialised by puppeteer): no references to anything outside it.
function installProbe() {
  const probe = (window.zyphoProbe = {
    zeroPoint: null, frames: [], passes: [], stamps: [], context: null,
    record: new Float32Array(0), recordFrom: 0, recorded: 0,
  });
  const SECONDS = 180;

  const recorderSource = `
    class Recorder extends AudioWorkletProcessor {
      constructor() { super(); this.buffer = new Float32Array(4096); this.from = -1; this.n = 0; }
      process(inputs, outputs) {
        const input = inputs[0];
        const frames = outputs[0][0].length;
        if (this.n === 0) this.from = currentFrame;
        for (let i = 0; i < frames; ++i) {
          let v = 0;
          for (const channel of input) v += channel[i];
          this.buffer[this.n + i] = input.length ? v / input.length : 0;
        }
        this.n += frames;
        if (this.n === this.buffer.length) {
          this.port.postMessage({ from: this.from, samples: this.buffer }, [this.buffer.buffer]);
          this.buffer = new Float32Array(4096);
          this.n = 0;
        }
        return true;
      }
    }
    registerProcessor('zypho-probe-recorder', Recorder);`;
  const recorderUrl = URL.createObjectURL(new Blob([recorderSource], { type: 'text/javascript' }));

  const addModule = AudioWorklet.prototype.addModule;
  const recorders = new WeakMap();  // context -> recorder node
  const loaded = new WeakSet();     // worklets with the recorder's module
  AudioWorklet.prototype.addModule = function (url, options) {
    const worklet = this;
    return addModule.call(worklet, url, options).then(() => {
      if (loaded.has(worklet)) return undefined;
      loaded.add(worklet);
      return addModule.call(worklet, recorderUrl);
    });
  };
  const connect = AudioNode.prototype.connect;
  AudioNode.prototype.connect = function (target, ...rest) {
    const result = connect.call(this, target, ...rest);
    if (target instanceof AudioDestinationNode && !(this instanceof AudioWorkletNode && this.isProbe)) {
      const context = target.context;
      let recorder = recorders.get(context);
      if (!recorder) {
        recorder = new AudioWorkletNode(context, 'zypho-probe-recorder', { numberOfOutputs: 1, outputChannelCount: [1] });
        recorder.isProbe = true;
        recorders.set(context, recorder);
        connect.call(recorder, context.destination);  // it outputs silence: this keeps it pulled
        probe.context = context;
        probe.record = new Float32Array(SECONDS * context.sampleRate);
        recorder.port.onmessage = (e) => {
          const at = e.data.from;
          if (at + e.data.samples.length <= probe.record.length) probe.record.set(e.data.samples, at);
          probe.recorded = Math.max(probe.recorded, at + e.data.samples.length);
        };
      }
      connect.call(this, recorder);
    }
    return result;
  };

  const raf = window.requestAnimationFrame.bind(window);
  let lastFlips = 0;
  window.requestAnimationFrame = (callback) => raf((time) => {
    callback(time);
    const M = window.Module;
    if (!window.zypho || window.zypho.state !== 'running') return;  // the runtime is not up yet
    const flips = M._zypho_web_flips();
    if (flips !== lastFlips) {
      lastFlips = flips;
      probe.passes.push([time, M._zypho_web_elapsed(), M._zypho_web_last_flip_ms()]);
      if (probe.zeroPoint === null && M.zyphoZeroPointMs !== undefined) probe.zeroPoint = M.zyphoZeroPointMs;
    }
  });
  const everyFrame = (time) => {
    probe.frames.push(time);
    const c = probe.context;
    if (c && c.state === 'running') {
      const s = c.getOutputTimestamp();
      if (s.contextTime > 0) probe.stamps.push([s.contextTime, s.performanceTime]);
    }
    raf(everyFrame);
  };
  raf(everyFrame);
}

// The decoded track (mono, the mean of its channels) and what the page recorded around each cut,
// fetched from the page; the analysis is done here.
async function measureSync(page, cuts, heardLateMs, { windowMs = 100, searchMs = 120 } = {}) {
  const data = await page.evaluate(async (cuts, heardLateMs, windowMs, searchMs) => {
    const probe = window.zyphoProbe;
    const rate = probe.context.sampleRate;
    const bytes = await (await fetch('Media/s.ogg')).arrayBuffer();
    const decoded = await new OfflineAudioContext(2, 1, rate).decodeAudioData(bytes);
    const l = decoded.getChannelData(0), r = decoded.getChannelData(1);
    // Page ms minus context ms, from the time stamps read within a second of page time `ms`: their
    // median, as one reading can be off by the output's jitter.
    const offsetNear = (ms) => {
      const near = probe.stamps.filter((s) => Math.abs(s[1] - ms) <= 1000).map((s) => s[1] - 1000 * s[0]);
      const all = near.length ? near : probe.stamps.map((s) => s[1] - 1000 * s[0]);
      all.sort((a, b) => a - b);
      return all[all.length >> 1];
    };
    const half = Math.round((windowMs / 2) * rate / 1000), search = Math.round(searchMs * rate / 1000);
    const out = [];
    for (const cut of cuts) {
      const hit = Math.round(((cut.at - heardLateMs) * rate) / 1000);  // the hit's sample in the track
      const track = new Float32Array(2 * half);
      for (let i = 0; i < 2 * half; ++i) track[i] = (l[hit - half + i] + r[hit - half + i]) / 2;
      // Where the timeline expects the hit: heard with the cut, on the page's clock; the record
      // is searched around it, from frame `from`, which is heard at page time `fromMs`.
      const offset = offsetNear(probe.zeroPoint + cut.at);
      const from = Math.round(((probe.zeroPoint + cut.at - offset) / 1000) * rate) - half - search;
      const recorded = Array.from(probe.record.subarray(from, from + 2 * half + 2 * search));
      out.push({ ...cut, from, fromMs: (from / rate) * 1000 + offset, track: Array.from(track), recorded });
    }
    return { rate, zeroPoint: probe.zeroPoint, passes: probe.passes, frames: probe.frames, out,
      firstFlip: Module._zypho_web_first_flip_ms() };
  }, cuts, heardLateMs, windowMs, searchMs);

  // Normalised cross-correlation of `template` against the record, over every lag.
  const bestLag = (template, recorded) => {
    let energyT = 0;
    for (const v of template) energyT += v * v;
    let best = { lag: -1, score: -Infinity };
    for (let lag = 0; lag + template.length <= recorded.length; ++lag) {
      let dot = 0, energy = 0;
      for (let i = 0; i < template.length; ++i) {
        const v = recorded[lag + i];
        dot += v * template[i];
        energy += v * v;
      }
      const score = energy > 0 && energyT > 0 ? dot / Math.sqrt(energy * energyT) : 0;
      if (score > best.score) best = { lag, score };
    }
    return best;
  };
  const results = [];
  for (const o of data.out) {
    const half = o.track.length / 2;
    // The stretch just before the hit and the one from the hit on, each found on its own: where
    // the page moved a chunk (a few ms, to follow a drifting clock) inside one of them, the other
    // still matches whole, and the hit's sample is at the edge of both.
    const before = bestLag(o.track.slice(0, half), o.recorded);
    const after = bestLag(o.track.slice(half), o.recorded);
    const best = before.score > after.score ? before : after;
    const heardFrame = o.from + best.lag + (best === before ? half : 0);
    const heardMs = o.fromMs + ((heardFrame - o.from) * 1000) / data.rate;
    // The first picture of the new scene: the first pass whose elapsed time is in it, shown with
    // the first animation frame that begins after its flip (a late pass may flip after the next
    // frame's nominal start, and its picture then waits for the frame after).
    const first = data.passes.find((p) => p[1] >= o.at);
    let shownMs = null;
    if (first) shownMs = data.frames.find((t) => t > Math.max(first[0], first[2])) ?? null;
    results.push({
      scene: o.scene, at: o.at, correlation: best.score,
      heard: heardMs - data.zeroPoint, shown: shownMs === null ? null : shownMs - data.zeroPoint,
      offset: shownMs === null ? null : heardMs - shownMs,
      firstElapsed: first ? first[1] : null,
    });
  }
  return { cuts: results, firstFrameMs: data.firstFlip - data.zeroPoint };
}

// The timeline as src/shell/schedule.h writes it ({"name", duration, ... rows, each entry from
// the end of the one before), read from the source under `top`: name -> { start, length } (ms;
// the end screen's length Infinity, as it lasts until Escape); and how late the track is heard
// after the zero point (MUSIC_HEARD_LATE_MS of src/shell/audio_latency.h, from its parts).
function timelineFromSource(top) {
  const fs = require('fs'), path = require('path');
  const file = path.join(top, 'src', 'shell', 'schedule.h');
  const text = fs.readFileSync(file, 'utf8');
  const table = text.slice(text.indexOf('schedule[] = {'), text.indexOf('};', text.indexOf('schedule[] = {')));
  const entries = new Map();
  let at = 0;
  for (const m of table.matchAll(/^\s*\{"([^"]+)",\s*(\d+|UNTIL_STOP),/gm)) {
    const length = m[2] === 'UNTIL_STOP' ? Infinity : Number(m[2]);
    entries.set(m[1], { start: at, length });
    at += m[2] === 'UNTIL_STOP' ? 0 : length;
  }
  if (!entries.size) throw new Error(`no schedule rows in ${file}`);
  const latency = fs.readFileSync(path.join(top, 'src', 'shell', 'audio_latency.h'), 'utf8');
  const value = (name) => Number(new RegExp(`${name} = (\\d+);`).exec(latency)[1]);
  const chunks = value('MUSIC_FIRST_CHUNK_AFTER_ZERO') + value('MUSIC_CHUNKS_IN_DEVICE');
  return { entries, heardLateMs: Math.round((chunks * value('AUDIO_CHUNK_FRAMES') * 1000) / 44100) };
}

module.exports = { installProbe, measureSync, timelineFromSource };

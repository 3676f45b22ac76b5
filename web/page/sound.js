// The demo's sound in the page, placed by the sound's own clock.
//
// The program mixes its music with SDL_mixer, which SDL2's emscripten audio asks for one chunk of
// 4096 frames each time the ScriptProcessorNode it makes (context.createScriptProcessor) calls
// onaudioprocess. A real ScriptProcessorNode calls it on the page's thread whenever that thread
// is free, and plays what it got whenever it got it: a busy moment (the scenes being built, a
// slow pass) delays the sound for good. Here the context hands SDL a stand-in for that node
// instead: the page itself asks for each chunk, ahead of time, and an AudioWorklet
// (sound-worklet.js) plays it from the frame of the sound's clock at which it is to be heard.
//
// When it is to be heard: the program calls startMusic(zeroPointMs, heardLateMs) once it has
// started the music, before the mixer's next chunk: that chunk begins with the track's first
// sample, which belongs to the timeline's moment zeroPointMs + heardLateMs (page clock, ms), the
// delay the soundtrack is laid out for. Chunk n after it belongs n chunk lengths later. Each is
// heard at its moment plus the browser's picture delay (below), turned from the page's clock into
// the sound's with getOutputTimestamp(), which counts the output's own latency: the median of
// the last STAMPS readings, since a single reading can be off by the output's own jitter (a
// busy machine calls a sound device late). Chunks follow each other frame for frame unless the
// two clocks drift apart by more than SLACK_MS (a glitch of the output, say); then the next chunk
// moves to its frame (a click, once in a long while, instead of music drifting off).
//
// The picture delay: the browser shows what a pass drew when it composes its next frame, one
// display refresh after the pass read the clock, and the first pass of a scene reads the clock on
// average half a refresh after the cut. So the music is heard 1.5 refreshes later than the
// timeline has it, and each cut's hit comes with the first picture of the new scene.
//
// A chunk is mixed LEAD_CHUNKS chunk lengths before it is heard, plus the output's latency
// and MARGIN_MS, so the page's thread may stall that long without the sound stalling: the
// audio-driven scenes still draw the chunk the mixer handed over last, about a chunk ahead of the
// ear, as on the desktop. Before startMusic nothing is mixed: the mixer has nothing to play.
//
// Without AudioWorklet (a page not served from https or localhost, or an old browser) SDL gets
// a real ScriptProcessorNode, and the console says that the music may drift off the beat.
'use strict';

(function () {
  const CHUNK_FRAMES = 4096;  // what SDL asks the node for: the mixer's chunk
  const LEAD_CHUNKS = 1;      // chunks mixed ahead of the ear, beyond the output's latency
  const MARGIN_MS = 40;       // the pump's period, the message's way to the audio thread, jitter
  const PUMP_MS = 10;         // how often the page looks whether a chunk is due
  const SLACK_MS = 3;         // drift between the clocks tolerated before a chunk is moved
  const STAMPS = 15;          // output time stamps kept, one per look (about 150 ms of them)
  const REFRESHES = 16;       // display refresh intervals kept to measure the refresh

  // The display's refresh interval, ms: the median of the last intervals between animation
  // frames, measured from the page's start (a 60 Hz display until there are some). Every frame
  // also runs the listeners (the open sound's pump).
  const refreshes = [];
  let lastFrameTime = null;
  const frameListeners = [];
  function refreshMs() {
    if (refreshes.length < 4) return 1000 / 60;
    const sorted = refreshes.slice().sort((a, b) => a - b);
    return sorted[sorted.length >> 1];
  }
  // How much later than the timeline the music is heard: see the top of this file.
  const pictureDelayMs = () => 1.5 * refreshMs();
  function everyFrame(time) {
    if (lastFrameTime !== null && time > lastFrameTime) {
      refreshes.push(time - lastFrameTime);
      if (refreshes.length > REFRESHES) refreshes.shift();
    }
    lastFrameTime = time;
    for (const f of frameListeners) f();
    requestAnimationFrame(everyFrame);
  }
  requestAnimationFrame(everyFrame);

  // Opens the sound on `context`: loads the worklet and gives the context the node stand-in.
  // Resolves to the scheduler, or to null when the browser cannot (the reason is on the console).
  async function open(context) {
    if (!context.audioWorklet || typeof AudioWorkletNode === 'undefined') {
      console.warn('zypho: this page has no AudioWorklet (it needs https or localhost): the sound ' +
        'plays through a ScriptProcessorNode and may drift off the beat');
      return null;
    }
    try {
      await context.audioWorklet.addModule('sound-worklet.js');
    } catch (e) {
      console.warn(`zypho: cannot load sound-worklet.js (${e.message}): the sound plays through a ` +
        'ScriptProcessorNode and may drift off the beat');
      return null;
    }
    const player = new AudioWorkletNode(context, 'zypho-chunks', {
      numberOfInputs: 0, numberOfOutputs: 1, outputChannelCount: [2],
    });
    player.connect(context.destination);
    const sound = scheduler(context, player);
    context.createScriptProcessor = sound.mixerNode;
    return sound;
  }

  function scheduler(context, player) {
    const rate = context.sampleRate;
    const chunkMs = (CHUNK_FRAMES * 1000) / rate;
    const spare = [];        // [left, right] buffers back from the worklet
    let node = null;         // the stand-in SDL was given
    let nextHeardAt = null;  // page ms at which the next chunk mixed is heard; null: not yet
    let nextFrame = null;    // the frame right after the last chunk sent
    const stats = { chunks: 0, lateChunks: 0, lateFrames: 0, moved: 0, late: [] };
    const offsets = [];      // page ms minus context ms of the output's last time stamps

    player.port.onmessage = (e) => {
      spare.push([e.data.left, e.data.right]);
      if (e.data.late > 0) {
        stats.lateChunks += 1;
        stats.lateFrames += e.data.late;
        if (stats.late.length < 10) stats.late.push([e.data.index, e.data.late]);
      }
    };

    // Reads the output's time stamp (once the sound runs).
    function readClock() {
      if (context.state !== 'running') return;
      const stamp = context.getOutputTimestamp();
      if (!(stamp.contextTime > 0)) return;
      offsets.push(stamp.performanceTime - 1000 * stamp.contextTime);
      if (offsets.length > STAMPS) offsets.shift();
    }
    // The context frame heard at page time `ms`.
    function frameAt(ms) {
      const sorted = offsets.slice().sort((a, b) => a - b);
      return Math.round(((ms - sorted[sorted.length >> 1]) / 1000) * rate);
    }

    function mixOne() {
      const [left, right] = spare.pop() || [new Float32Array(CHUNK_FRAMES), new Float32Array(CHUNK_FRAMES)];
      const planes = [left, right];
      node.onaudioprocess({
        outputBuffer: {
          numberOfChannels: 2, length: CHUNK_FRAMES, sampleRate: rate, duration: CHUNK_FRAMES / rate,
          getChannelData: (c) => planes[c],
        },
      });
      let frame = frameAt(nextHeardAt);
      if (nextFrame !== null && Math.abs(frame - nextFrame) <= (SLACK_MS * rate) / 1000) frame = nextFrame;
      else if (nextFrame !== null) stats.moved += 1;
      player.port.postMessage({ index: stats.chunks, frame, left, right }, [left.buffer, right.buffer]);
      nextFrame = frame + CHUNK_FRAMES;
      nextHeardAt += chunkMs;
      stats.chunks += 1;
    }

    // Mixes every chunk that is due.
    function pump() {
      readClock();
      if (!node || !node.onaudioprocess || nextHeardAt === null || !offsets.length) return;
      const lead = LEAD_CHUNKS * chunkMs + 1000 * ((context.baseLatency || 0) + (context.outputLatency || 0)) + MARGIN_MS;
      while (nextHeardAt - performance.now() < lead) mixOne();
    }
    // Looked at on every animation frame and every PUMP_MS between them.
    frameListeners.push(pump);
    const timer = setInterval(() => {
      if (context.state === 'closed') clearInterval(timer);
      else pump();
    }, PUMP_MS);

    return {
      stats,
      // context.createScriptProcessor for SDL: the node it gets is asked for chunks by the page.
      // Any other shape than the mixer's chunks gets a real node.
      mixerNode(frames, inputs, channels) {
        if (frames !== CHUNK_FRAMES || channels !== 2) {
          console.warn(`zypho: the sound asks for ${frames}-frame chunks of ${channels} channels, not ` +
            `${CHUNK_FRAMES} of 2: it plays through a ScriptProcessorNode and may drift off the beat`);
          return BaseAudioContext.prototype.createScriptProcessor.call(context, frames, inputs, channels);
        }
        node = { onaudioprocess: null, connect() {}, disconnect() { node = null; } };
        return node;
      },
      // Whether the sound's clock runs and has been read against the page's.
      ready() {
        readClock();
        return context.state === 'running' && offsets.length > 0;
      },
      // The music starts with the next chunk mixed: see the top of this file.
      startMusic(zeroPointMs, heardLateMs) {
        this.pictureDelayMs = pictureDelayMs();
        nextHeardAt = zeroPointMs + heardLateMs + this.pictureDelayMs;
        nextFrame = null;
        pump();
      },
      pictureDelayMs: null,  // ms later than the timeline the music is heard, once it started
    };
  }

  window.zyphoSound = { open };
})();

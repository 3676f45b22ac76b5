// The demo's sound on the browser's audio thread: plays the mixer's chunks, each from the frame
// of the sound's own clock that the page stamped on it (sound.js), so that when a sample is heard
// does not depend on when the page's thread found the time to mix it.
//
// The page posts { frame, left, right }: two Float32Arrays of one chunk, to be played from
// context frame `frame` on. Each render quantum takes from the chunks that overlap it and is
// silent where none does. A chunk that comes after its first frames were due plays the rest at
// their own frames: the music skips those frames rather than coming in late. Played chunks go
// back to the page, { left, right, late } (late: frames that were due before the chunk came), so
// their buffers are used again.
'use strict';

class ChunkPlayer extends AudioWorkletProcessor {
  constructor() {
    super();
    this.chunks = [];  // in the order of their frames
    this.port.onmessage = (e) => this.receive(e.data);
  }

  receive(chunk) {
    chunk.late = Math.max(0, Math.min(chunk.left.length, currentFrame - chunk.frame));
    let i = this.chunks.length;
    while (i > 0 && this.chunks[i - 1].frame > chunk.frame) --i;
    this.chunks.splice(i, 0, chunk);
  }

  process(inputs, outputs) {
    const [left, right] = outputs[0];
    const from = currentFrame, to = currentFrame + left.length;
    left.fill(0);
    right.fill(0);
    while (this.chunks.length && this.chunks[0].frame + this.chunks[0].left.length <= from) {
      const done = this.chunks.shift();
      this.port.postMessage({ index: done.index, left: done.left, right: done.right, late: done.late }, [done.left.buffer, done.right.buffer]);
    }
    for (const c of this.chunks) {
      if (c.frame >= to) break;
      const start = Math.max(from, c.frame), end = Math.min(to, c.frame + c.left.length);
      left.set(c.left.subarray(start - c.frame, end - c.frame), start - from);
      right.set(c.right.subarray(start - c.frame, end - c.frame), start - from);
    }
    return true;
  }
}

registerProcessor('zypho-chunks', ChunkPlayer);

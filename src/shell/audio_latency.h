#pragma once
// When the music is heard, measured against the timeline's zero point.
//
// The mixer mixes one chunk of 4096 sample frames (92.88 ms) at a time, and a music started with
// Mix_PlayMusic begins at the start of the next chunk it mixes. Left to chance, that chunk could
// come anywhere from 0 to 93 ms after the music is started. So start-up fixes the zero point just
// after a chunk was mixed (Demo::start_up waits for the post-mix hook): building the scenes takes
// about 10 ms, well within a chunk, and the music then always goes out with the first chunk mixed
// after the zero point, one chunk length later. That chunk is played once the chunk before it has
// been: one more chunk length in the sound device.
//
// The soundtrack is laid out on this delay, so that a hit meant for a scene's first frame is heard
// with it, and the capture tool lays the track under its frames with the same delay.

#include "gfx/media_facts.h"  // SAMPLE_RATE

constexpr int AUDIO_CHUNK_FRAMES = 4096;  // sample frames per mixed chunk
// One chunk's length in ms: 92.88.
constexpr double AUDIO_CHUNK_MS = AUDIO_CHUNK_FRAMES * 1000.0 / SAMPLE_RATE;

// From the zero point to the mixing of the music's first chunk, in chunks: the zero point follows
// a mixed chunk and the music goes out with the next one.
constexpr int MUSIC_FIRST_CHUNK_AFTER_ZERO = 1;
// From the mixing of a chunk to its first sample reaching the ear, in chunks: the device plays
// the chunk mixed before it first.
constexpr int MUSIC_CHUNKS_IN_DEVICE = 1;

// How long start-up waits for the mixer's next chunk before it fixes the zero point anyway (no
// chunk comes while the device stalls): a little over two chunks.
constexpr int MIXER_WAIT_TIMEOUT_MS = 200;

// The track's sample 0 is heard this long after the zero point: sample s of the track is heard
// at elapsed (s / SAMPLE_RATE) s + MUSIC_HEARD_LATE_MS. 186 ms.
constexpr int MUSIC_HEARD_LATE_MS =
    static_cast<int>((MUSIC_FIRST_CHUNK_AFTER_ZERO + MUSIC_CHUNKS_IN_DEVICE) * AUDIO_CHUNK_MS + 0.5);

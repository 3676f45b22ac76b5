#pragma once
// When the music is heard, measured against the timeline's zero point. Start-up fixes the zero
// point, builds every scene and only then starts the music; the mixer starts it with the next
// chunk it mixes, and a mixed chunk waits in the sound device for the one before it to be played.
// The soundtrack is laid out on this delay, so that a hit meant for a scene's first frame is heard
// with it, and the capture tool lays the track under its frames with the same delay.

#include "gfx/media_facts.h"  // SAMPLE_RATE

constexpr int AUDIO_CHUNK_FRAMES = 4096;  // sample frames per mixed chunk: 92.88 ms

// From the zero point to Mix_PlayMusic: building the scenes and drawing the first background
// (about 17 ms, measured on a Release build).
constexpr double MUSIC_START_LEAD_MS = 17.0;
// One chunk's length in ms.
constexpr double AUDIO_CHUNK_MS = AUDIO_CHUNK_FRAMES * 1000.0 / SAMPLE_RATE;
// From Mix_PlayMusic to the ear: on average half a chunk until the mixer's next chunk begins
// (the music starts at its start), then one chunk in the device before it is played.
constexpr double MUSIC_DEVICE_DELAY_MS = 1.5 * AUDIO_CHUNK_MS;

// The track's sample 0 is heard this long after the zero point: sample s of the track is heard
// at elapsed (s / SAMPLE_RATE) s + MUSIC_HEARD_LATE_MS.
constexpr int MUSIC_HEARD_LATE_MS = static_cast<int>(MUSIC_START_LEAD_MS + MUSIC_DEVICE_DELAY_MS + 0.5);

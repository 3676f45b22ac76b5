#pragma once
// What the web build tells its page (and the page's tests) about the running demo: the screen's
// pixels, how many flips happened, and the sound the mixer produced. Exported to JavaScript.

#include "sdl12_types.h"

#ifdef __cplusplus
extern "C" {
#endif

// The screen's pixel memory (640 x 480 XRGB8888, pitch 2560), null before the screen is open.
const Uint8* zypho_web_screen_pixels(void);
// SDL_Flip calls so far.
Uint32 zypho_web_flips(void);
// The first zypho_web_pass_chunk_samples() samples (interleaved stereo, signed 16-bit) of the
// mixed chunk that was the latest when the last flip happened: what that pass's audio-driven
// scenes drew from.
const Sint16* zypho_web_pass_chunk(void);
int zypho_web_pass_chunk_samples(void);
// Chunks the mixer produced while a post-mix hook was set, and how many of them were not silent.
Uint32 zypho_web_chunks_mixed(void);
Uint32 zypho_web_loud_chunks(void);
// Whether the music plays (Mix_PlayingMusic).
int zypho_web_music_playing(void);

#ifdef __cplusplus
}
#endif

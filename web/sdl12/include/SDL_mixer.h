#pragma once
// SDL_mixer 1.2's API as this program uses it, for the web build: SDL2_mixer's functions, which
// keep SDL_mixer 1.2's names and meaning, except the device opening and the post-mix hook, which
// go through the layer (sdl12.cpp).

#include "SDL.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef struct Mix_Chunk {
    int allocated;
    Uint8* abuf;
    Uint32 alen;
    Uint8 volume;
} Mix_Chunk;

typedef struct _Mix_Music Mix_Music;

#define MIX_DEFAULT_FREQUENCY 22050
#define MIX_DEFAULT_FORMAT AUDIO_S16LSB
#define MIX_DEFAULT_CHANNELS 2
#define MIX_MAX_VOLUME 128

int SDL12_Mix_OpenAudio(int frequency, Uint16 format, int channels, int chunksize);
void SDL12_Mix_SetPostMix(void (*mix_func)(void* udata, Uint8* stream, int len), void* arg);
#define Mix_OpenAudio SDL12_Mix_OpenAudio
#define Mix_SetPostMix SDL12_Mix_SetPostMix

int Mix_QuerySpec(int* frequency, Uint16* format, int* channels);
void Mix_CloseAudio(void);
Mix_Music* Mix_LoadMUS(const char* file);
void Mix_FreeMusic(Mix_Music* music);
int Mix_PlayMusic(Mix_Music* music, int loops);
int Mix_PlayingMusic(void);
int Mix_HaltMusic(void);
Mix_Chunk* Mix_LoadWAV(const char* file);
void Mix_FreeChunk(Mix_Chunk* chunk);
#define Mix_GetError SDL_GetError

#ifdef __cplusplus
}
#endif

#pragma once
// The demo shell: start-up, the scene timeline, the main loop and shutdown. One Demo owns the
// screen, the music, the shared pictures and one instance of every scene.

#include <SDL.h>
#include <SDL_mixer.h>

#include <memory>

#include "gfx/clock.h"
#include "gfx/sprite_set.h"
#include "shell/images.h"

class BezierWeb;
class BlockBanner;
class Blur;
class Credits;
class DriftingSprites;
class EndScreen;
class FadeIn;
class FallingLogos;
class GreetingsSwing;
class LevelBars;
class Oscilloscope;
class Plasma;
class RevealWorm;
class ShakingWords;
class SpriteTrio;
class Walker;
class Walkers;
class WavyCaption;

class Demo {
public:
    // Every tick reading of the shell and of the scenes goes through `clock`.
    explicit Demo(Clock& clock);
    ~Demo();
    Demo(const Demo&) = delete;
    Demo& operator=(const Demo&) = delete;

    // Initialises SDL, opens the display and the audio, loads everything, fixes the zero point,
    // builds every scene, draws the first background and starts the music. Returns false when SDL
    // or the display could not be set up; the message is then on standard output and the caller
    // ends the process with status 1. A failed audio open or music load returns true with
    // quit_requested set, so that the loop ends before its first pass.
    bool start_up();

    // Runs passes until a stop was requested and no music plays.
    void run();
    // One pass of the loop: false (and nothing done) when the loop is over.
    bool pass();
    // Releases the music unless a stop already did, closes the audio device, shuts SDL down.
    void shut_down();

    // Escape or window close: request the stop, release the music once, close the audio.
    void stop();

    Clock& clock;
    SDL_Surface* screen = nullptr;
    Mix_Music* music = nullptr;
    int quit_requested = 0;
    Uint32 start_ticks = 0;
    int elapsed = 0;           // ms since the zero point, this pass
    int previous_elapsed = 0;  // ms since the zero point, the pass before
    Uint32 white_pixel = 0;    // the screen's pixel value for white
    Images images;

    // The current sprite set: the strips that the drifting sprites, the walkers and the credits
    // share. The walker and the sprite trio own sets of their own.
    std::unique_ptr<SpriteSet> sprites;

    // One object per scene, built once at start-up in this order and kept until the end.
    std::unique_ptr<FadeIn> fade_in;
    std::unique_ptr<Oscilloscope> oscilloscope;
    std::unique_ptr<FallingLogos> falling_logos;
    std::unique_ptr<GreetingsSwing> greetings_swing;
    std::unique_ptr<SpriteTrio> sprite_trio;
    std::unique_ptr<EndScreen> end_screen;
    std::unique_ptr<Walkers> walkers;
    std::unique_ptr<Walker> walker;
    std::unique_ptr<Credits> credits;
    std::unique_ptr<RevealWorm> reveal_worm;
    std::unique_ptr<Plasma> plasma;
    std::unique_ptr<DriftingSprites> drifting_sprites;
    std::unique_ptr<BlockBanner> block_banner;
    std::unique_ptr<ShakingWords> shaking_words;
    std::unique_ptr<WavyCaption> wavy_caption;
    std::unique_ptr<BezierWeb> bezier_web;
    std::unique_ptr<Blur> blur;
    std::unique_ptr<LevelBars> level_bars;

private:
    void build_scenes();
};

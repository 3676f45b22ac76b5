#include "shell/demo.h"

#include <cstdio>
#include <cstdlib>

#include "audio/capture.h"
#include "gfx/blit.h"
#include "gfx/sge.h"
#include "scenes/bezier_web.h"
#include "scenes/block_banner.h"
#include "scenes/blur.h"
#include "scenes/credits.h"
#include "scenes/drifting_sprites.h"
#include "scenes/end_screen.h"
#include "scenes/fade_in.h"
#include "scenes/falling_logos.h"
#include "scenes/greetings_swing.h"
#include "scenes/level_bars.h"
#include "scenes/oscilloscope.h"
#include "scenes/plasma.h"
#include "scenes/reveal_worm.h"
#include "scenes/shaking_words.h"
#include "scenes/sprite_trio.h"
#include "scenes/walker.h"
#include "scenes/walkers.h"
#include "scenes/wavy_caption.h"
#include "shell/memory.h"
#include "shell/schedule.h"

Demo::Demo(Clock& clock_) : clock(clock_) {}

Demo::~Demo() = default;

bool Demo::start_up() {
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_AUDIO) < 0) {
        std::printf("Unable to init SDL: %s\n", SDL_GetError());
        return false;
    }
    std::atexit(SDL_Quit);

    // Full screen, software surface: its rows are width × 4 bytes apart, it needs no lock and its
    // pixels stay at one address, which the worm and the plasma rely on.
    screen = SDL_SetVideoMode(640, 480, 32, SDL_FULLSCREEN);
    if (!screen) {
        std::printf("Unable to set video: %s\n", SDL_GetError());
        return false;
    }

    if (Mix_OpenAudio(44100, AUDIO_S16LSB, 2, 4096) < 0) {
        std::fprintf(stderr, "zypho: cannot open audio: %s\n", Mix_GetError());
        quit_requested = 1;
    }
    // Mix_QuerySpec leaves its outputs alone when no device is open.
    int frequency = 0, channels = 0;
    Uint16 format = 0;
    Mix_QuerySpec(&frequency, &format, &channels);
    sample_bits = format & 0xFF;

    music = Mix_LoadMUS("Media/s.ogg");
    if (!music) {
        std::fprintf(stderr, "zypho: cannot load Media/s.ogg: %s\n", Mix_GetError());
        quit_requested = 1;
    }
    Mix_SetPostMix(capture_callback, nullptr);

    load_images(images);
    SDL_WM_SetCaption("Half-baked tricks on SCREEN :: ZYPHO", nullptr);
    prepare_memory(screen);  // first touches of memory now, not after the zero point

    // The zero point. Everything below counts into the first pass's elapsed time, so the
    // timeline runs ahead of the music by however long it takes.
    elapsed = 0;
    previous_elapsed = 0;
    start_ticks = clock.ticks();

    build_scenes();

    sge_ClearSurface(screen, 0, 215, 246);
    blit_at(images.background, 0, 0);
    if (music) Mix_PlayMusic(music, 1);
    return true;
}

// Every scene, in a fixed order: the order of the image loads and of the random draws depends on
// it (the drifting sprites seed the generator and draw their layout right away).
void Demo::build_scenes() {
    // The fade-in draws the opening picture and snapshots the screen before anything else draws.
    fade_in = std::make_unique<FadeIn>(screen, images.opening);
    oscilloscope = std::make_unique<Oscilloscope>(clock, images.scope_canvas);
    sample_scale = compute_sample_scale(screen->h, sample_bits);
    white_pixel = SDL_MapRGB(screen->format, 255, 255, 255);
    falling_logos = std::make_unique<FallingLogos>(images.upper_logo, images.lower_logo);
    sge_Update_OFF();  // the display is updated by the flip at the end of each pass only
    greetings_swing =
        std::make_unique<GreetingsSwing>(clock, screen, images.greetings_bg, images.sign);
    sprite_trio = std::make_unique<SpriteTrio>();
    end_screen = std::make_unique<EndScreen>(screen);
    sprites = std::make_unique<SpriteSet>();
    walkers = std::make_unique<Walkers>(*sprites);
    walker = std::make_unique<Walker>();
    credits = std::make_unique<Credits>(clock, *sprites, images.credits_bg);
    reveal_worm = std::make_unique<RevealWorm>(screen, images.background);
    plasma = std::make_unique<Plasma>(screen, images.tv_frame);
    falling_logos->create_caption_font();
    drifting_sprites =
        std::make_unique<DriftingSprites>(*sprites, images.upper_logo, images.lower_logo);
    block_banner = std::make_unique<BlockBanner>();
    shaking_words = std::make_unique<ShakingWords>(images.shaking_bg, images.shaking_left,
                                                   images.shaking_right);
    wavy_caption = std::make_unique<WavyCaption>(clock, images.caption_tile);
    // These three load and draw nothing when built.
    bezier_web = std::make_unique<BezierWeb>(clock, screen, images.background, images.upper_logo,
                                             images.lower_logo);
    blur = std::make_unique<Blur>(screen);
    level_bars = std::make_unique<LevelBars>(screen, white_pixel);
}

void Demo::stop() {
    quit_requested = 1;
    if (music) {
        Mix_FreeMusic(music);
        music = nullptr;
    }
    Mix_CloseAudio();
}

bool Demo::pass() {
    // Once a stop is requested the loop ends as soon as no music plays; before that the music is
    // not consulted at all.
    if (quit_requested && !Mix_PlayingMusic()) return false;

    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        if (event.type == SDL_QUIT ||
            (event.type == SDL_KEYDOWN && event.key.keysym.sym == SDLK_ESCAPE))
            stop();
    }

    previous_elapsed = elapsed;
    elapsed = static_cast<int>(clock.ticks() - start_ticks);
    run_schedule(*this, elapsed, elapsed - previous_elapsed);
    SDL_Flip(screen);
    return true;
}

void Demo::run() {
    while (pass()) {
    }
}

void Demo::shut_down() {
    if (music) {
        Mix_FreeMusic(music);
        music = nullptr;
    }
    Mix_CloseAudio();
    SDL_Quit();
}

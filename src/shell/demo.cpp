#include "shell/demo.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "audio/capture.h"
#include "gfx/blit.h"
#include "gfx/image.h"
#include "gfx/sge.h"
#include "shell/memory.h"
#include "shell/registry.h"
#include "shell/schedule.h"

namespace {

// Why Media/ cannot be read ("" when it can): a missing or unreadable folder, or one that can be
// listed but not entered. Asked only once the track failed to load.
std::string unreadable_media() {
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::directory_iterator listing(media::DIR, ec);
    if (ec) return ec.message();
    const fs::file_status track = fs::status(TRACK_FILE, ec);  // listed but not entered?
    (void)track;
    if (ec && ec != std::errc::no_such_file_or_directory) return ec.message();
    return "";
}

}  // namespace

void Demo::refuse_to_run(const std::string& reason) {
    quit_requested = 1;
    if (!stop_reason.empty()) stop_reason += "; ";
    stop_reason += reason;
    if (report_stop) std::fprintf(stderr, "zypho: %s\n", reason.c_str());
}

Demo::Demo(Clock& clock_) : clock(clock_) {
    for (auto& row : call_index_)
        for (int& i : row) i = -1;
}

Demo::~Demo() = default;

StartUp Demo::start_up() {
    const StartUp opened = open_and_load();
    if (opened == StartUp::failed) return opened;
    if (wait_for_mixer && music_will_start()) wait_for_mixer(capture_buffer, MIXER_WAIT_TIMEOUT_MS);
    return start_timeline();
}

StartUp Demo::open_and_load() {
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_AUDIO) < 0) {
        std::printf("Unable to init SDL: %s\n", SDL_GetError());
        return StartUp::failed;
    }
    std::atexit(SDL_Quit);

    // Full screen, software surface: its rows are width × 4 bytes apart, it needs no lock and its
    // pixels stay at one address, which the worm and the plasma rely on.
    screen = SDL_SetVideoMode(SCREEN_W, SCREEN_H, SCREEN_BPP, SDL_FULLSCREEN);
    if (!screen) {
        std::printf("Unable to set video: %s\n", SDL_GetError());
        return StartUp::failed;
    }

    if (open_audio(AUDIO_RATE, AUDIO_FORMAT, AUDIO_CHANNELS, AUDIO_CHUNK_FRAMES) < 0)
        refuse_to_run(std::string("cannot open audio: ") + Mix_GetError() +
                      ". The demo plays its own music and needs a sound device; to run it "
                      "without sound: SDL_AUDIODRIVER=dummy zypho");
    // Mix_QuerySpec leaves its outputs alone when no device is open.
    int frequency = 0, channels = 0;
    Uint16 format = 0;
    Mix_QuerySpec(&frequency, &format, &channels);
    sample_bits = format & 0xFF;

    music = Mix_LoadMUS(TRACK_FILE);
    if (!music) {
        const std::string reason = Mix_GetError();
        const std::string folder = unreadable_media();
        if (folder.empty()) {
            refuse_to_run(std::string("cannot load ") + TRACK_FILE + ": " + reason);
        } else {
            // Nothing in it will load either: one line for the folder, none for each file.
            std::error_code ec;
            refuse_to_run(std::string("cannot read ") + media::DIR + " in '" +
                          std::filesystem::current_path(ec).string() + "': " + folder +
                          " (the demo reads its pictures and music from Media/ under the "
                          "working directory)");
            report_image_failures(false);
        }
    }
    Mix_SetPostMix(capture_callback, nullptr);

    load_images(images);
    SDL_WM_SetCaption("Half-baked tricks on SCREEN :: ZYPHO", nullptr);
    prepare_memory(screen);  // first touches of memory now, not after the zero point
    return quit_requested ? StartUp::stop_before_first_pass : StartUp::ok;
}

bool Demo::music_will_start() const { return music && !quit_requested; }

StartUp Demo::start_timeline() {
    // The zero point. Everything below counts into the first pass's elapsed time; the music it
    // starts goes out with the mixer's next chunk, one chunk length after the zero point, as long
    // as all this takes less than a chunk (shell/audio_latency.h).
    elapsed = 0;
    previous_elapsed = 0;
    start_ticks = clock.ticks();

    build_scenes();

    sge_ClearSurface(screen, 0, 215, 246);
    blit_at(screen, images[Picture::background], 0, 0);
    if (music) Mix_PlayMusic(music, 1);
    return quit_requested ? StartUp::stop_before_first_pass : StartUp::ok;
}

void Demo::build_scenes() {
    sample_scale = compute_sample_scale(screen->h, sample_bits);
    white_pixel = SDL_MapRGB(screen->format, 255, 255, 255);
    sge_Update_OFF();  // the display is updated by the flip at the end of each pass only

    for (int i = 0; i < SCENE_REGISTRY_SIZE; ++i) {
        const SceneMaker& maker = scene_registry[i];
        std::unique_ptr<Scene> scene = maker.make(*this);
        if (maker.name && scene) scenes.push_back({maker.name, std::move(scene)});
    }

    for (int n = 0; n < SCHEDULE_SIZE; ++n)
        for (int c = 0; c < MAX_CALLS; ++c) {
            call_index_[n][c] = -1;
            const char* name = schedule[n].calls[c].scene;
            for (std::size_t i = 0; name && i < scenes.size(); ++i)
                if (std::strcmp(scenes[i].name, name) == 0) call_index_[n][c] = static_cast<int>(i);
        }
}

void Demo::load_current_sprites() { current_sprites_.emplace(); }

const SpriteSet& Demo::current_sprites() const {
    if (!current_sprites_) {
        std::fprintf(stderr, "zypho: a scene is built from the current sprite set before the build "
                             "step that loads it (shell/registry.cpp)\n");
        std::abort();
    }
    return *current_sprites_;
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

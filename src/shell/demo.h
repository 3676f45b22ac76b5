#pragma once
// The demo shell: start-up, the scene timeline, the main loop and shutdown. One Demo owns the
// screen, the music, the shared pictures and one instance of every scene.

#include <SDL.h>
#include <SDL_mixer.h>

#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "audio/capture.h"
#include "gfx/clock.h"
#include "gfx/font.h"
#include "gfx/media_facts.h"
#include "gfx/sprite_set.h"
#include "scenes/scene.h"
#include "shell/audio_latency.h"
#include "shell/images.h"
#include "shell/schedule.h"

// The audio device as the demo opens it (the display: SCREEN_W, SCREEN_H, SCREEN_BPP).
constexpr int AUDIO_RATE = SAMPLE_RATE;    // sample frames per second: the track's rate
constexpr Uint16 AUDIO_FORMAT = AUDIO_S16LSB;  // signed 16-bit little-endian
constexpr int AUDIO_CHANNELS = 2;
// AUDIO_CHUNK_FRAMES, sample frames per mixed chunk: shell/audio_latency.h
constexpr int AUDIO_CHUNK_BYTES = AUDIO_CHUNK_FRAMES * AUDIO_CHANNELS * 2;  // 16384

// What start-up did.
enum class StartUp {
    ok,                      // everything is set up and the music plays: run the loop
    stop_before_first_pass,  // no audio device or no track: quit_requested is set, the reason is
                             // on standard error, and the loop ends before its first pass
    failed,                  // SDL or the display could not be set up: the message is on
                             // standard output; the caller ends the process with status 1
};

class Demo {
public:
    // Every tick reading of the shell and of the scenes goes through `clock`.
    explicit Demo(Clock& clock);
    ~Demo();
    Demo(const Demo&) = delete;
    Demo& operator=(const Demo&) = delete;

    // Initialises SDL, opens the display and the audio, loads everything, fixes the zero point,
    // builds every scene, draws the first background and starts the music. A failed audio open
    // or music load does not stop start-up: it completes and says stop_before_first_pass.
    // Before the zero point it waits (through wait_for_mixer) for the mixer to mix a chunk, so
    // that the music goes out with the chunk after it (shell/audio_latency.h).
    StartUp start_up();
    // start_up in its two halves, for a caller that cannot wait in between (a browser tab, whose
    // sound is mixed on the program's own thread once it gets control back): everything up to
    // the zero point, then the zero point, the scenes and the music.
    StartUp open_and_load();
    StartUp start_timeline();
    // Whether start_timeline will start the music: a device is open and the track loaded.
    bool music_will_start() const;

    // How start_up waits for the mixer's next chunk: wait_for_next_chunk's signature. A seam for
    // the tests; null skips the wait (the offline runner, whose music is fed by its own clock).
    using MixerWait = bool (*)(const CaptureBuffer& buffer, int timeout_ms);
    MixerWait wait_for_mixer = wait_for_next_chunk;

    // How start-up opens the audio device: Mix_OpenAudio's signature and result (negative on
    // failure). A seam for the tests, which hand in an opener that fails.
    using AudioOpener = int (*)(int frequency, Uint16 format, int channels, int chunk_frames);
    AudioOpener open_audio = Mix_OpenAudio;

    // Runs passes until a stop was requested and no music plays.
    void run();
    // One pass of the loop: false (and nothing done) when the loop is over.
    bool pass();
    // Releases the music unless a stop already did, closes the audio device, shuts SDL down.
    void shut_down();

    // Escape or window close: request the stop, release the music once, close the audio.
    void stop();

    // Why start-up asked to stop before the first pass, in one line ("" when it did not).
    std::string stop_reason;
    // Whether start-up prints that reason on standard error as "zypho: ..." (the offline runner
    // reports it in its own words).
    bool report_stop = true;

    Clock& clock;
    SDL_Surface* screen = nullptr;
    Mix_Music* music = nullptr;
    int quit_requested = 0;
    Uint32 start_ticks = 0;
    int elapsed = 0;           // ms since the zero point, this pass
    int previous_elapsed = 0;  // ms since the zero point, the pass before
    Uint32 white_pixel = 0;    // the screen's pixel value for white
    // What the audio-driven scenes read: the post-mix hook's buffer and the sample scale.
    CaptureSource capture = program_capture();
    Images images;

    // Slots the shell owns and start-up fills at build steps of their own (shell/registry.cpp);
    // the scenes built after a step are handed what it filled.
    //
    // The current sprite set: the strips that the drifting sprites, the walkers and the credits
    // share (the walker and the sprite trio own sets of their own). Loaded by the step before the
    // walkers'; current_sprites() hands it out and stops the program with a message if a build
    // step asks for it before then, since the registry's order is then wrong.
    void load_current_sprites();
    const SpriteSet& current_sprites() const;
    // The falling logos' caption font, a SmallFont of their own: loaded after the plasma, long
    // after the logos are built, so the logos are handed the slot and draw no caption while it
    // is empty.
    std::optional<SmallFont> caption_font;

    // One object per scene, built once at start-up in the registry's order (shell/registry.cpp)
    // and kept until the end.
    struct BuiltScene {
        const char* name;
        std::unique_ptr<Scene> scene;
    };
    std::vector<BuiltScene> scenes;

    // The scene built under `name`, or null.
    Scene* scene(const char* name) const {
        for (const BuiltScene& s : scenes)
            if (std::strcmp(s.name, name) == 0) return s.scene.get();
        return nullptr;
    }
    template <typename T>
    T* find(const char* name) const {
        return dynamic_cast<T*>(scene(name));
    }

    // The scene that call c of schedule entry n goes to; null when the demo has none by that name.
    Scene* call_target(int n, int c) const {
        const int i = call_index_[n][c];
        return i < 0 ? nullptr : scenes[static_cast<std::size_t>(i)].scene.get();
    }

private:
    void build_scenes();
    std::optional<SpriteSet> current_sprites_;
    // Sets quit_requested and adds `reason` to stop_reason (printed unless report_stop is off).
    void refuse_to_run(const std::string& reason);
    // Index in `scenes` of each schedule call's scene, -1 for none; looked up once, at start-up.
    int call_index_[SCHEDULE_SIZE][MAX_CALLS];
};

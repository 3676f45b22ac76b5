// Start-up's share of the shipped media: everything it loads after the timeline's zero point (the
// three sprite sets, the four SmallFont and four BigFont sheets, the oscilloscope's clean copy of
// its canvas). That time counts into the first frame and runs the timeline ahead of the music, so
// it should stay under 100 ms.

#include <SDL.h>
#include <SDL_image.h>
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

const std::string MEDIA = std::string(ZYPHO_SOURCE_DIR) + "/Media/";
const char* const STRIPS[] = {"sm.png", "bi.png", "bl.png", "cra.png", "crb.png", "dm.png", "st.png", "wm.png"};

void load_and_free(const std::vector<std::string>& files) {
    for (const std::string& f : files) {
        SDL_Surface* s = IMG_Load(f.c_str());
        benchmark::DoNotOptimize(s);
        if (s) SDL_FreeSurface(s);
    }
}

std::vector<std::string> startup_files() {
    std::vector<std::string> files;
    for (int set = 0; set < 3; ++set)
        for (const char* s : STRIPS) files.push_back(MEDIA + s);
    for (int i = 0; i < 4; ++i) files.push_back(MEDIA + "alpb.png");
    for (int i = 0; i < 4; ++i) files.push_back(MEDIA + "alp.png");
    files.push_back(MEDIA + "ab.png");
    return files;
}

}  // namespace

// All of it, as start-up loads it.
static void BM_MediaLoadedAfterZeroPoint(benchmark::State& state) {
    const std::vector<std::string> files = startup_files();
    for (auto _ : state) load_and_free(files);
    state.counters["files"] = double(files.size());
}
BENCHMARK(BM_MediaLoadedAfterZeroPoint)->Unit(benchmark::kMillisecond);

// The parts, one sprite set and one sheet of each font.
static void BM_OneSpriteSet(benchmark::State& state) {
    std::vector<std::string> files;
    for (const char* s : STRIPS) files.push_back(MEDIA + s);
    for (auto _ : state) load_and_free(files);
}
BENCHMARK(BM_OneSpriteSet)->Unit(benchmark::kMillisecond);

static void BM_SmallFontSheet(benchmark::State& state) {
    for (auto _ : state) load_and_free({MEDIA + "alpb.png"});
}
BENCHMARK(BM_SmallFontSheet)->Unit(benchmark::kMicrosecond);

static void BM_BigFontSheet(benchmark::State& state) {
    for (auto _ : state) load_and_free({MEDIA + "alp.png"});
}
BENCHMARK(BM_BigFontSheet)->Unit(benchmark::kMicrosecond);

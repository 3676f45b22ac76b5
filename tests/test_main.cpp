// The tests' entry point: every test runs headless on SDL's dummy drivers unless the environment
// asks for others, and the never-released surfaces of a demo run are not reported as leaks.

#include <gtest/gtest.h>

#include <cstdlib>

extern "C" const char* __asan_default_options() { return "detect_leaks=0"; }

int main(int argc, char** argv) {
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

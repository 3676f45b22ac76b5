// The C library's random number generator as the desktop has it (GNU libc's rand and srand: the
// additive feedback generator of random(3), 31 words of state), for the web build, whose own C
// library (musl) draws different numbers. The scenes seed it and draw from it through sge_Random,
// so the same seed must give the same sequence in both builds, or the sprites, the worm and the
// shaking words land elsewhere. Defined here, these take the place of the C library's.

#include <cstdint>

namespace {

constexpr int DEGREE = 31;     // words of state
constexpr int SEPARATION = 3;  // distance between the two taps

struct Generator {
    std::int32_t state[DEGREE];
    int front = SEPARATION;  // index of the tap that is added to and read
    int rear = 0;

    void seed(unsigned int seed) {
        if (seed == 0) seed = 1;
        state[0] = static_cast<std::int32_t>(seed);
        // 16807 × word mod (2^31 − 1) by Schrage's method, from the seed taken as a signed 32-bit
        // word, as glibc computes it (seeds of 2^31 and more start from a negative word).
        long long word = static_cast<std::int32_t>(seed);
        for (int i = 1; i < DEGREE; ++i) {
            const long long hi = word / 127773;
            const long long lo = word % 127773;
            word = 16807 * lo - 2836 * hi;
            if (word < 0) word += 2147483647;
            state[i] = static_cast<std::int32_t>(word);
        }
        front = SEPARATION;
        rear = 0;
        for (int i = 0; i < 10 * DEGREE; ++i) next();
    }

    std::int32_t next() {
        const std::uint32_t value =
            static_cast<std::uint32_t>(state[front]) + static_cast<std::uint32_t>(state[rear]);
        state[front] = static_cast<std::int32_t>(value);
        if (++front >= DEGREE) front = 0;
        if (++rear >= DEGREE) rear = 0;
        return static_cast<std::int32_t>(value >> 1);
    }

    Generator() { seed(1); }
};

Generator generator;

}  // namespace

extern "C" void srand(unsigned int seed) { generator.seed(seed); }
extern "C" int rand(void) { return generator.next(); }

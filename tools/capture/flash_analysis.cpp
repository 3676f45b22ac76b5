#include "flash_analysis.h"

#include <array>
#include <cmath>
#include <cstring>
#include <stdexcept>

namespace flash {

namespace {

// The sRGB linearisation of WCAG 2.2's relative luminance (threshold 0.04045): 0 to 1.
double linearise(int c) {
    const double s = c / 255.0;
    return s <= 0.04045 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
}

// Per 8-bit channel value, weight × its linear value, in millionths: the linear value itself
// with weight 1, one channel's share of the relative luminance with its weight.
std::array<int, 256> make_weighted(double weight) {
    std::array<int, 256> table{};
    for (int c = 0; c < 256; ++c)
        table[c] = static_cast<int>(std::lround(weight * linearise(c) * UNIT));
    return table;
}

const std::array<int, 256> LINEAR = make_weighted(1.0);
const std::array<int, 256> LUMINANCE_R = make_weighted(0.2126);
const std::array<int, 256> LUMINANCE_G = make_weighted(0.7152);
const std::array<int, 256> LUMINANCE_B = make_weighted(0.0722);

inline int luminance_of(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    return LUMINANCE_R[r] + LUMINANCE_G[g] + LUMINANCE_B[b];
}

inline std::int64_t red_of(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    const std::int64_t excess = static_cast<std::int64_t>(LINEAR[r]) - LINEAR[g] - LINEAR[b];
    return excess > 0 ? excess * RED_SCALE : 0;
}

inline bool saturated_of(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    const std::int64_t sum = static_cast<std::int64_t>(LINEAR[r]) + LINEAR[g] + LINEAR[b];
    return sum > 0 && static_cast<std::int64_t>(LINEAR[r]) * SATURATED_RED_DENOMINATOR >=
                          sum * SATURATED_RED_NUMERATOR;
}

}  // namespace

int linear_channel(std::uint8_t c) { return LINEAR[c]; }
int relative_luminance(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    return luminance_of(r, g, b);
}
std::int64_t red_value(std::uint8_t r, std::uint8_t g, std::uint8_t b) { return red_of(r, g, b); }
bool saturated_red(std::uint8_t r, std::uint8_t g, std::uint8_t b) { return saturated_of(r, g, b); }

}  // namespace flash

namespace {

// A pixel's state byte: the direction of its last transition, and whether the tracked low and
// high states are saturated reds (red flashes only).
constexpr std::uint8_t DIRECTION = 3;  // mask
constexpr std::uint8_t NONE = 0;       // no transition yet: both extremes tracked
constexpr std::uint8_t ROSE = 1;       // last transition a rise: the peak is tracked
constexpr std::uint8_t FELL = 2;       // last transition a fall: the valley is tracked
constexpr std::uint8_t LOW_SATURATED = 4, HIGH_SATURATED = 8;

// More than three flashes: at least this many transitions in the window.
constexpr int OVER_TRANSITIONS = 2 * (flash::MAX_FLASHES_PER_SECOND + 1);  // 8

enum class Kind { general, red };

// Whether a move from `from` to `to` (a rise when to > from) is a transition of `kind`; the
// saturation flags say whether each state is a saturated red.
template <Kind kind>
bool is_transition(std::int64_t from, bool from_saturated, std::int64_t to, bool to_saturated) {
    const std::int64_t change = to > from ? to - from : from - to;
    if constexpr (kind == Kind::general) {
        const std::int64_t darker = to > from ? from : to;
        return change >= flash::GENERAL_MIN_CHANGE && darker < flash::GENERAL_DARKER_BELOW;
    } else {
        return change > flash::RED_MIN_CHANGE && (from_saturated || to_saturated);
    }
}

// One frame of one pixel: updates the tracked extremes with `value` and says whether the pixel
// made a transition.
template <Kind kind>
bool step(std::int64_t& low, std::int64_t& high, std::uint8_t& state, std::int64_t value,
          bool saturated) {
    const std::uint8_t direction = state & DIRECTION;
    bool low_saturated = state & LOW_SATURATED, high_saturated = state & HIGH_SATURATED;
    // A state of equal value that is a saturated red stands for the extreme: the red test then
    // sees it.
    if (direction != FELL && (value > high || (value == high && saturated))) {
        high = value;
        high_saturated = saturated;
    }
    if (direction != ROSE && (value < low || (value == low && saturated))) {
        low = value;
        low_saturated = saturated;
    }
    std::uint8_t next = direction;
    if (direction != ROSE && is_transition<kind>(low, low_saturated, value, saturated)) {
        next = ROSE;
        high = value;
        high_saturated = saturated;
    } else if (direction != FELL && is_transition<kind>(high, high_saturated, value, saturated)) {
        next = FELL;
        low = value;
        low_saturated = saturated;
    }
    state = static_cast<std::uint8_t>(next | (low_saturated ? LOW_SATURATED : 0) |
                                      (high_saturated ? HIGH_SATURATED : 0));
    return next != direction;
}

}  // namespace

FlashAnalyser::FlashAnalyser(int width, int height, int frames_per_second)
    : width_(width), window_(frames_per_second) {
    if (width <= 0 || height <= 0 || frames_per_second < 1 || frames_per_second > 240)
        throw std::invalid_argument("FlashAnalyser: bad size or frame rate");
    pixels_ = static_cast<std::size_t>(width) * height;
    words_ = (pixels_ + 63) / 64;
    previous_.assign(pixels_ * 3, 0);
    for (Track* track : {&general_, &red_}) {
        track->low.assign(pixels_, 0);
        track->high.assign(pixels_, 0);
        track->state.assign(pixels_, NONE);
        track->count.assign(pixels_, 0);
        track->ring.assign(words_ * static_cast<std::size_t>(window_), 0);
        track->histogram.assign(static_cast<std::size_t>(window_) + 1, 0);
        track->histogram[0] = static_cast<int>(pixels_);
    }
}

void FlashAnalyser::reset_track(Track& track, std::size_t pixel, std::int64_t value,
                                bool saturated) {
    track.low[pixel] = track.high[pixel] = value;
    track.state[pixel] =
        static_cast<std::uint8_t>(NONE | (saturated ? LOW_SATURATED | HIGH_SATURATED : 0));
}

// Forgets the transitions of the frame one window ago, whose slot the new frame takes.
void FlashAnalyser::expire(Track& track, int slot) {
    std::uint64_t* bits = &track.ring[static_cast<std::size_t>(slot) * words_];
    for (std::size_t w = 0; w < words_; ++w) {
        std::uint64_t word = bits[w];
        while (word) {
            const std::size_t pixel = w * 64 + static_cast<std::size_t>(__builtin_ctzll(word));
            word &= word - 1;
            std::uint8_t& count = track.count[pixel];
            --track.histogram[count];
            if (count == OVER_TRANSITIONS) --track.over;
            --count;
            ++track.histogram[count];
        }
        bits[w] = 0;
    }
}

void FlashAnalyser::add_transition(Track& track, int slot, std::size_t pixel) {
    track.ring[static_cast<std::size_t>(slot) * words_ + pixel / 64] |= std::uint64_t{1}
                                                                        << (pixel % 64);
    std::uint8_t& count = track.count[pixel];
    --track.histogram[count];
    ++count;
    ++track.histogram[count];
    if (count == OVER_TRANSITIONS) ++track.over;
}

void FlashAnalyser::summarise(const Track& track, int& flashes, double& area, bool& fails) const {
    const auto pixels = static_cast<long long>(pixels_);
    area = static_cast<double>(track.over) / static_cast<double>(pixels);
    fails = track.over * 100LL >= flash::FAILING_AREA_PERCENT * pixels;
    // The most transitions that pixels covering 25 % of the screen all reached, as flashes.
    long long covered = 0;
    flashes = 0;
    for (int c = window_; c > 0; --c) {
        covered += track.histogram[static_cast<std::size_t>(c)];
        if (covered * 100 >= flash::FAILING_AREA_PERCENT * pixels) {
            flashes = c / 2;
            break;
        }
    }
}

FlashFrame FlashAnalyser::add_frame(const std::uint8_t* rgb) {
    const int slot = static_cast<int>(frames_ % window_);
    expire(general_, slot);
    expire(red_, slot);
    std::size_t transitions = 0;
    const bool first = frames_ == 0;
    const auto width = static_cast<std::size_t>(width_);
    for (std::size_t i = 0; i < pixels_; ++i) {
        const std::uint8_t* now = rgb + i * 3;
        std::uint8_t* before = &previous_[i * 3];
        // A pixel whose colour did not change keeps its state: unchanged rows are passed over
        // whole, unchanged pixels one by one.
        if (!first && i % width == 0 && std::memcmp(now, before, width * 3) == 0) {
            i += width - 1;
            continue;
        }
        const std::uint8_t r = now[0], g = now[1], b = now[2];
        if (!first && before[0] == r && before[1] == g && before[2] == b) continue;
        before[0] = r;
        before[1] = g;
        before[2] = b;
        const std::int64_t luminance = flash::luminance_of(r, g, b);
        const std::int64_t red = flash::red_of(r, g, b);
        const bool saturated = flash::saturated_of(r, g, b);
        if (first) {
            reset_track(general_, i, luminance, false);
            reset_track(red_, i, red, saturated);
            continue;
        }
        const bool general = step<Kind::general>(general_.low[i], general_.high[i],
                                                 general_.state[i], luminance, false);
        const bool red_flash =
            step<Kind::red>(red_.low[i], red_.high[i], red_.state[i], red, saturated);
        if (general) add_transition(general_, slot, i);
        if (red_flash) add_transition(red_, slot, i);
        if (general || red_flash) ++transitions;
    }
    ++frames_;

    FlashFrame frame;
    frame.transition_area = static_cast<double>(transitions) / static_cast<double>(pixels_);
    summarise(general_, frame.general_flashes, frame.general_area, frame.general_fails);
    summarise(red_, frame.red_flashes, frame.red_area, frame.red_fails);
    return frame;
}

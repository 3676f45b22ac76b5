#pragma once
// Photosensitivity analysis of a sequence of frames: general flashes and red flashes, frame by
// frame, after WCAG 2.x (success criterion 2.3.1 "Three Flashes or Below Threshold" and its
// definitions "general flash and red flash thresholds" and "relative luminance") and Ofcom's
// broadcast guidance on flashing images.
//
// The method, for every pixel on its own:
//
//  1. Each frame gives the pixel two values, both from its sRGB channels linearised as the
//     relative-luminance definition does (c/255 ≤ 0.04045: c/255 / 12.92, else
//     ((c/255 + 0.055) / 1.055)^2.4):
//       - its relative luminance Y = 0.2126 R + 0.7152 G + 0.0722 B, 0 (black) to 1 (white);
//       - its red value (R − G − B) × 320, 0 where negative, 0 to 320; the state is a
//         "saturated red" when R / (R + G + B) ≥ 0.8 (never for black).
//  2. A transition is the change between adjacent peaks and valleys of a value over time. The
//     analyser follows the extreme the value has reached since the pixel's last transition (the
//     highest after a rise, the lowest after a fall; both before the first) and counts a
//     transition in the frame where the value has moved far enough back from that extreme:
//       - general: by 0.1 or more of relative luminance, the darker of the two states below 0.80;
//       - red: by more than 20 in red value, and the state at one end or both a saturated red.
//     The new state is then the extreme to watch, in the other direction. Successive transitions
//     therefore alternate: any two in a row are a pair of opposing transitions, a flash.
//  3. A pixel's flashes in the last second are the disjoint pairs among its transitions in the
//     last `frames_per_second` frames (those frames' changes span one second): half the number
//     of transitions, rounded down.
//  4. A frame's second fails when the pixels with more than three flashes in it cover 25 % of
//     the screen or more, for general or for red flashes. The area is the combined one: the
//     pixels need not touch.
//
// Choices where the definitions leave one:
//  - The area is read against the whole 640 × 480 screen. WCAG's practical reading is 25 % of
//    any 10-degree field, estimated as a 341 × 256 rectangle on a 1024 × 768 display at desktop
//    distance; the demo's picture is scaled to fill a display and watched as a whole, as a
//    broadcast picture is in Ofcom's guidance, so the screen is the field: 76 800 pixels or
//    more fail.
//  - "25 % or more" fails (WCAG: passes at "no more than" 25 %): the stricter side at exactly
//    25 %.
//  - Red flashes use WCAG's working definition of "a pair of opposing transitions involving a
//    saturated red" with (R − G − B) × 320 (WCAG 2.2's notes also give a newer one, a change of
//    more than 0.2 in the CIE 1976 UCS chromaticity diagram, which is not used here). Each
//    transition of the pair must pass the test on its own, as "for both transitions" says.
//  - WCAG's exception for fine balanced patterns (checkerboards with squares under 0.1 degree)
//    is not applied: every pixel counts.
//  - Values are integers in millionths (luminance 0 to 1 000 000, red value 0 to 320 000 000),
//    from tables made once per 8-bit channel value, so the analysis is exact and repeatable;
//    the rounding is below a millionth of the thresholds' units.
//
// The analyser allocates everything when made; add_frame allocates nothing. A pixel whose
// colour did not change since the previous frame is passed over (its state cannot change), a row
// of them with one comparison.

#include <cstdint>
#include <vector>

namespace flash {

constexpr int UNIT = 1'000'000;  // values are in millionths: luminance 1.0 = UNIT

// General flash: a change in relative luminance of 10 % or more of the maximum (1.0) ...
constexpr int GENERAL_MIN_CHANGE = UNIT / 10;  // millionths of relative luminance, inclusive
// ... where the relative luminance of the darker state is below 0.80.
constexpr int GENERAL_DARKER_BELOW = UNIT * 8 / 10;  // millionths of relative luminance, exclusive
// Red flash: a change in (R − G − B) × 320 of more than 20 ...
constexpr std::int64_t RED_SCALE = 320;               // the red value's factor, unitless
constexpr std::int64_t RED_MIN_CHANGE = 20LL * UNIT;  // millionths of red value, exclusive
// ... with a state where R / (R + G + B) ≥ 0.8 = 4 / 5, i.e. 5 R ≥ 4 (R + G + B).
constexpr int SATURATED_RED_NUMERATOR = 4, SATURATED_RED_DENOMINATOR = 5;

// More than three flashes in any one second ...
constexpr int MAX_FLASHES_PER_SECOND = 3;  // flashes (pairs of opposing transitions)
// ... over 25 % of the screen or more fails.
constexpr int FAILING_AREA_PERCENT = 25;  // % of the screen's pixels, inclusive

// The linearised sRGB value of an 8-bit channel, in millionths (0 to UNIT).
int linear_channel(std::uint8_t c);
// The relative luminance of an RGB colour, in millionths.
int relative_luminance(std::uint8_t r, std::uint8_t g, std::uint8_t b);
// The red value max(0, (R − G − B) × 320) of an RGB colour, in millionths.
std::int64_t red_value(std::uint8_t r, std::uint8_t g, std::uint8_t b);
// Whether the colour is a saturated red: R / (R + G + B) ≥ 0.8 on linear channels, not black.
bool saturated_red(std::uint8_t r, std::uint8_t g, std::uint8_t b);

}  // namespace flash

// What one frame shows about the second that ends with it.
struct FlashFrame {
    double transition_area = 0;  // fraction of the screen (0..1) with a general or red
                                 // transition in this frame
    int general_flashes = 0;     // general flashes in the last second that at least 25 % of the
                                 // screen made (the largest count met over that area)
    double general_area = 0;     // fraction of the screen with more than three general flashes
                                 // in the last second
    int red_flashes = 0;         // the same for red flashes
    double red_area = 0;
    bool general_fails = false;  // general_area ≥ 25 %, i.e. general_flashes > 3
    bool red_fails = false;      // red_area ≥ 25 %, i.e. red_flashes > 3
    bool fails() const { return general_fails || red_fails; }
};

class FlashAnalyser {
public:
    // Frames of width × height pixels at `frames_per_second` (1 to 240): the one-second window is
    // that many frames.
    FlashAnalyser(int width, int height, int frames_per_second);

    // The next frame: width × height × 3 RGB bytes, rows top to bottom.
    FlashFrame add_frame(const std::uint8_t* rgb);

    long long frames() const { return frames_; }

private:
    // Transitions of one kind (general or red): each pixel's tracked extremes and its
    // transitions in the window.
    struct Track {
        std::vector<std::int64_t> low, high;  // the lowest and highest value since the last
                                              // transition (millionths)
        std::vector<std::uint8_t> state;      // direction of the last transition, saturation
                                              // of the tracked extremes (flag bits)
        std::vector<std::uint8_t> count;      // transitions in the window, 0..window
        std::vector<std::uint64_t> ring;      // window × words bits: which pixels had a
                                              // transition in each of the last frames
        std::vector<int> histogram;           // pixels by count, window + 1 entries
        int over = 0;                         // pixels with more than three flashes
    };

    void reset_track(Track& track, std::size_t pixel, std::int64_t value, bool saturated);
    void expire(Track& track, int slot);
    void add_transition(Track& track, int slot, std::size_t pixel);
    void summarise(const Track& track, int& flashes, double& area, bool& fails) const;

    int width_, window_;
    std::size_t pixels_, words_;
    long long frames_ = 0;
    std::vector<std::uint8_t> previous_;  // the previous frame's RGB bytes
    Track general_, red_;
};

#include "shell/registry.h"

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
#include "shell/demo.h"

namespace {
template <typename T, typename... Args>
std::unique_ptr<Scene> make(Args&&... args) {
    return std::make_unique<T>(std::forward<Args>(args)...);
}
using Made = std::unique_ptr<Scene>;
using P = Picture;
}  // namespace

// One line per step, in the order start-up takes them: the order of the image loads and of the
// random draws depends on it (the drifting sprites seed the generator and draw their layout right
// away). A new scene goes at the end, and into a schedule row by its name.
const SceneMaker scene_registry[] = {
    // The fade-in draws the opening picture and snapshots the screen before anything else draws.
    {"fade-in", [](Demo& d) -> Made { return make<FadeIn>(d.screen, d.images[P::opening]); }},
    {"oscilloscope", [](Demo& d) -> Made {
         return make<Oscilloscope>(d.clock, d.screen, d.images[P::scope_canvas], d.capture); }},
    // The caption font is not loaded yet: the logos are handed its slot (filled further down).
    {"falling logos", [](Demo& d) -> Made {
         return make<FallingLogos>(d.screen, d.images[P::upper_logo], d.images[P::lower_logo],
                                   d.caption_font); }},
    {"greetings swing", [](Demo& d) -> Made {
         return make<GreetingsSwing>(d.clock, d.screen, d.images[P::greetings_bg],
                                     d.images[P::sign]); }},
    {"sprite trio", [](Demo& d) -> Made { return make<SpriteTrio>(d.screen); }},
    {"end screen", [](Demo& d) -> Made { return make<EndScreen>(d.screen); }},
    // Slot: the current sprite set, loaded just before the walkers, the first scene to draw it.
    {nullptr, [](Demo& d) -> Made { d.load_current_sprites(); return nullptr; }},
    {"walkers", [](Demo& d) -> Made { return make<Walkers>(d.screen, d.current_sprites()); }},
    {"walker", [](Demo& d) -> Made { return make<Walker>(d.screen); }},
    {"credits", [](Demo& d) -> Made {
         return make<Credits>(d.clock, d.screen, d.current_sprites(), d.images[P::credits_bg]); }},
    {"reveal worm", [](Demo& d) -> Made {
         return make<RevealWorm>(d.screen, d.images[P::background]); }},
    {"plasma", [](Demo& d) -> Made { return make<Plasma>(d.screen, d.images[P::tv_frame]); }},
    // Slot: the falling logos' caption font, loaded here, after the plasma, not with the logos.
    {nullptr, [](Demo& d) -> Made { d.caption_font.emplace(); return nullptr; }},
    {"drifting sprites", [](Demo& d) -> Made {
         return make<DriftingSprites>(d.screen, d.current_sprites(), d.images[P::upper_logo],
                                      d.images[P::lower_logo]); }},
    {"block-letter banner", [](Demo& d) -> Made { return make<BlockBanner>(d.screen); }},
    {"shaking words", [](Demo& d) -> Made {
         return make<ShakingWords>(d.screen, d.images[P::shaking_bg], d.images[P::shaking_left],
                                   d.images[P::shaking_right]); }},
    {"wavy caption", [](Demo& d) -> Made {
         return make<WavyCaption>(d.clock, d.screen, d.images[P::caption_tile]); }},
    // These three load and draw nothing when built.
    {"bezier web", [](Demo& d) -> Made {
         return make<BezierWeb>(d.clock, d.screen, d.images[P::background],
                                d.images[P::upper_logo], d.images[P::lower_logo]); }},
    {"blur", [](Demo& d) -> Made { return make<Blur>(d.screen); }},
    {"level bars", [](Demo& d) -> Made {
         return make<LevelBars>(d.screen, d.white_pixel, d.capture); }},
};

const int SCENE_REGISTRY_SIZE = static_cast<int>(std::size(scene_registry));

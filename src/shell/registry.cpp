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
}  // namespace

// One line per scene, in the order start-up builds them: the order of the image loads and of the
// random draws depends on it (the drifting sprites seed the generator and draw their layout right
// away). A new scene goes at the end, and into a schedule row by its name.
const SceneMaker scene_registry[] = {
    // The fade-in draws the opening picture and snapshots the screen before anything else draws.
    {"fade-in", [](Demo& d) -> Made { return make<FadeIn>(d.screen, d.images.opening); }},
    {"oscilloscope", [](Demo& d) -> Made {
         return make<Oscilloscope>(d.clock, d.images.scope_canvas); }},
    {"falling logos", [](Demo& d) -> Made {
         return make<FallingLogos>(d.images.upper_logo, d.images.lower_logo); }},
    {"greetings swing", [](Demo& d) -> Made {
         return make<GreetingsSwing>(d.clock, d.screen, d.images.greetings_bg, d.images.sign); }},
    {"sprite trio", [](Demo&) -> Made { return make<SpriteTrio>(); }},
    {"end screen", [](Demo& d) -> Made { return make<EndScreen>(d.screen); }},
    // The current sprite set is loaded with the walkers, the first scene that draws from it.
    {"walkers", [](Demo& d) -> Made {
         d.sprites = std::make_unique<SpriteSet>();
         return make<Walkers>(*d.sprites); }},
    {"walker", [](Demo&) -> Made { return make<Walker>(); }},
    {"credits", [](Demo& d) -> Made {
         return make<Credits>(d.clock, *d.sprites, d.images.credits_bg); }},
    {"reveal worm", [](Demo& d) -> Made { return make<RevealWorm>(d.screen, d.images.background); }},
    {"plasma", [](Demo& d) -> Made { return make<Plasma>(d.screen, d.images.tv_frame); }},
    // The falling logos' caption font is loaded here, after the plasma, not with the logos.
    {nullptr, [](Demo& d) -> Made {
         if (auto* logos = d.find<FallingLogos>("falling logos")) logos->create_caption_font();
         return nullptr; }},
    {"drifting sprites", [](Demo& d) -> Made {
         return make<DriftingSprites>(*d.sprites, d.images.upper_logo, d.images.lower_logo); }},
    {"block-letter banner", [](Demo&) -> Made { return make<BlockBanner>(); }},
    {"shaking words", [](Demo& d) -> Made {
         return make<ShakingWords>(d.images.shaking_bg, d.images.shaking_left,
                                   d.images.shaking_right); }},
    {"wavy caption", [](Demo& d) -> Made {
         return make<WavyCaption>(d.clock, d.images.caption_tile); }},
    // These three load and draw nothing when built.
    {"bezier web", [](Demo& d) -> Made {
         return make<BezierWeb>(d.clock, d.screen, d.images.background, d.images.upper_logo,
                                d.images.lower_logo); }},
    {"blur", [](Demo& d) -> Made { return make<Blur>(d.screen); }},
    {"level bars", [](Demo& d) -> Made { return make<LevelBars>(d.screen, d.white_pixel); }},
};

const int SCENE_REGISTRY_SIZE = static_cast<int>(std::size(scene_registry));

// The shared picture table against the shipped files: every picture start-up loads is there at the
// size the table gives (the scenes are laid out for it), and the table's keyed pictures are the
// ones whose files hold the key colour.

#include <SDL.h>
#include <SDL_image.h>
#include <gtest/gtest.h>

#include <string>

#include "gfx/media_facts.h"

namespace {
const std::string TOP = std::string(ZYPHO_SOURCE_DIR) + "/";

// Whether any pixel of the picture is exactly the key colour.
bool holds_key_colour(SDL_Surface* raw) {
    SDL_Surface* s = SDL_CreateRGBSurface(SDL_SWSURFACE, raw->w, raw->h, 32, 0xFF0000, 0xFF00, 0xFF, 0);
    SDL_BlitSurface(raw, nullptr, s, nullptr);
    const Uint32 key = (Uint32(KEY_R) << 16) | (Uint32(KEY_G) << 8) | KEY_B;
    bool found = false;
    for (int y = 0; y < s->h && !found; ++y) {
        const Uint32* row = reinterpret_cast<const Uint32*>(static_cast<Uint8*>(s->pixels) + y * s->pitch);
        for (int x = 0; x < s->w && !found; ++x) found = (row[x] & 0xFFFFFF) == key;
    }
    SDL_FreeSurface(s);
    return found;
}
}  // namespace

TEST(PictureTable, EveryPictureIsShippedAtItsSizeAndOnlyKeyedOnesHoldTheKeyColour) {
    int keyed = 0;
    for (int p = 0; p < PICTURE_COUNT; ++p) {
        const PictureFacts& f = pictures[p];
        SDL_Surface* raw = IMG_Load((TOP + f.file).c_str());
        ASSERT_NE(raw, nullptr) << f.file << ": " << IMG_GetError();
        EXPECT_EQ(raw->w, f.w) << f.file;
        EXPECT_EQ(raw->h, f.h) << f.file;
        EXPECT_EQ(holds_key_colour(raw), is_keyed(static_cast<Picture>(p))) << f.file;
        keyed += is_keyed(static_cast<Picture>(p));
        SDL_FreeSurface(raw);
    }
    EXPECT_EQ(keyed, 5);
}

TEST(PictureTable, NamesAreDistinctAndInMedia) {
    for (int p = 0; p < PICTURE_COUNT; ++p) {
        EXPECT_EQ(std::string(pictures[p].file).rfind(media::DIR, 0), 0u) << pictures[p].file;
        for (int q = 0; q < p; ++q) EXPECT_STRNE(pictures[p].file, pictures[q].file);
    }
}

#pragma once
// Helpers for the sprite scene tests: which strip frame a screen pixel shows.

#include "support/headless.h"

// The frame i (0..15) whose frame_colour the screen shows at (x, y); −1 for any other colour.
int frame_at(const HeadlessScreen& screen, int x, int y);

// a + rand() % (b − a + 1): the sprite scenes' random draw, replayed independently of the code
// under test.
int replay_random(int a, int b);

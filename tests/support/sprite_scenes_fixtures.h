#pragma once
// Helpers for the sprite scene tests: which strip frame a screen pixel shows.

#include "support/headless.h"

// The frame i (0..15) whose frame_colour the screen shows at (x, y); −1 for any other colour.
int frame_at(const HeadlessScreen& screen, int x, int y);

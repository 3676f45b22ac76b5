#pragma once
// Readying memory before the timeline's zero point. What start-up does after the zero point counts
// into the first pass and runs the picture ahead of the music; much of it was the first touch of
// memory: every page the loads, the decoders and the scenes' buffers write for the first time
// costs a page fault (tens of microseconds each in a virtual machine), and the fade-in's first
// blit was the screen memory's first touch. This moves that work before the zero point.

#include <SDL.h>

#include <cstddef>

// How much heap memory prepare_memory readies: more than everything start-up allocates after the
// zero point (three sprite sets, eight glyph sheets, the oscilloscope's copy, the fade-in's two
// screen buffers, the tables, the decoders' scratch).
constexpr std::size_t PREPARED_HEAP_BYTES = 16u << 20;

// Writes every page of the screen's pixel memory with the byte it already holds (the picture
// does not change), and, where the C library allows it (glibc), keeps large blocks in the heap
// instead of mapping each one afresh and returning it when freed, then takes, writes and frees
// PREPARED_HEAP_BYTES so that the allocations after it find their pages ready. A null screen is
// skipped. Calls no SDL function.
void prepare_memory(SDL_Surface* screen);

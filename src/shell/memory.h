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
// screen buffers, the tables, the decoders' scratch): about 8 MiB with the shipped media
// (BM_StartUpFreshProcess's heap_allocated_MiB), and half as much again for room.
constexpr std::size_t PREPARED_HEAP_BYTES = 12u << 20;

// Maps and backs every page of the screen's pixel memory, its bytes left as they are (the picture
// does not change), and, where the C library allows it (glibc), keeps large blocks in the heap
// instead of mapping each one afresh and returning it when freed, then takes, readies and frees
// PREPARED_HEAP_BYTES so that the allocations after it find their pages ready (in WebAssembly:
// the memory already grown to hold them). On Linux the pages
// are readied in one call each, not one fault per page, and the heap's whole 2 MiB stretches as
// huge pages where the system offers them. A null screen is skipped. Calls no SDL function.
void prepare_memory(SDL_Surface* screen);

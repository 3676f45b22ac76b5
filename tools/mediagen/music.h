#pragma once
// The soundtrack: a piece in sections, one per schedule entry and keyed by the entry's name, laid
// out on the timeline as it is heard (shell/audio_latency.h), rendered sample by sample.

#include <cstdint>
#include <string>
#include <vector>

namespace mg {

// How long the track goes on once the end screen is up: the last chord and its echoes ringing
// out, then silence.
constexpr int END_TAIL_MS = 7000;

// The track's length in sample frames: the timed entries of the schedule, then END_TAIL_MS.
long long track_frames();

// The entries the piece has a section for, in its order.
std::vector<std::string> music_section_names();

// "" when every entry in `entries` has exactly one section in `sections` and every section names
// an entry, in the same order; otherwise what is wrong, naming the entry or the section.
std::string check_sections(const std::vector<std::string>& entries,
                           const std::vector<std::string>& sections);

// The names of the schedule's entries, in timeline order.
std::vector<std::string> schedule_entry_names();

// The whole track: interleaved stereo, SAMPLE_RATE Hz, 16-bit, track_frames() frames. Throws
// std::runtime_error when the sections do not match the schedule (check_sections).
std::vector<int16_t> render_track();

// FNV-1a, 64 bits, over the samples' little-endian bytes: the track's fingerprint before encoding,
// kept in the Ogg file's comments under PCM_HASH_TAG.
std::uint64_t pcm_fingerprint(const std::vector<int16_t>& pcm);
constexpr const char* PCM_HASH_TAG = "ZYPHO_PCM_FNV1A64";

}  // namespace mg

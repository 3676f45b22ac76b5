// The soundtrack: an original synth piece in A minor at 120 BPM (a beat is 0.5 s, a bar of 4/4
// is 2 s), rendered sample by sample from oscillators, filters and noise.
//
// Form. The piece has one section per schedule entry (src/shell/schedule.h), found by the entry's
// name, and a section lasts as long as its entry. The entries last 5, 6, 10 or 15 s: 2½, 3, 5 or
// 7½ bars. Each section is a phrase of whole bars that ends on a cadence, and the odd beats after
// it are a written fill or a stop that leads into the next section: 7½ bars are a 4-bar theme, a
// 2-bar cadence (iv V | i) and a 6-beat fill; 5 bars are a 4-bar phrase and a turnaround bar;
// 2½ bars are two bars and a 2-beat pickup. Every section starts with its hit (a crash, a kick,
// the first chord) on the entry's first frame as heard: the music is laid out on the timeline
// late by MUSIC_HEARD_LATE_MS (shell/audio_latency.h), the time from the zero point to the ear.
//
// Arc: intro (fade-in), kick and bass (falling logos), the groove (drifting sprites), theme A
// (Bezier web), a walking break (walkers), the breakdown, quiet and dark (reveal worm), a wash and
// a roll (blur), the drop with theme B (oscilloscope), its variation (walker and scope), acid
// (plasma), stabs (level bars), a major-key chip tune (greetings), theme A again (credits),
// half-time stabs (banner), the intense part (shaking words), the finale, densest and loudest
// (wavy caption), and the last chord ringing out (end screen).
//
// Notation. Melodies are written as note names with their values, one bar between bars lines:
// "A4:8. C5:8. E5:8 A5:4 G5:8 E5:8 |" is a dotted eighth A4, a dotted eighth C5, an eighth E5, a
// quarter A5 and so on (1 whole, 2 half, 4 quarter, 8 eighth, 16 sixteenth, a dot adds half;
// r is a rest). Every bar must add up to 4/4. Chords are written per bar ("Am F C G"), two to a
// bar as "Dm/E". Drum and bass patterns are 16 steps to the bar. Instruments are patches with
// their settings in units.
//
// Mix and master: every voice goes through a DC blocker; the bass has its sub-oscillator at the
// note's own pitch and is high-passed at 30 Hz; sends to a reverb and a ping-pong delay; a dip of
// the pads and plucks after every kick; then an equaliser, the sections' levels, a fixed gain and
// a true-peak limiter that looks at the signal four times oversampled.

#include "music.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "gfx/media_facts.h"
#include "shell/audio_latency.h"
#include "shell/schedule.h"

namespace mg {

namespace {

constexpr double PI = 3.14159265358979323846;
constexpr int SR = SAMPLE_RATE;
constexpr double BEAT_S = 0.5;                                 // seconds per beat: 120 BPM
constexpr double HEARD_LATE_S = MUSIC_HEARD_LATE_MS / 1000.0;  // the track runs this far ahead

double mtof(double note) { return 440.0 * std::pow(2.0, (note - 69.0) / 12.0); }
double db(double decibels) { return std::pow(10.0, decibels / 20.0); }

// ---- sound sources and filters ------------------------------------------------------------

// Deterministic white noise, -1 .. 1.
struct Noise {
    uint32_t s;
    explicit Noise(uint32_t seed) : s(seed * 2654435761u + 12345u) {}
    float next() {
        s ^= s << 13;
        s ^= s >> 17;
        s ^= s << 5;
        return float(s) / 2147483648.0f - 1.0f;
    }
};

// Band-limited step correction for the saw and pulse oscillators.
double poly_blep(double t, double dt) {
    if (t < dt) {
        t /= dt;
        return t + t - t * t - 1.0;
    }
    if (t > 1.0 - dt) {
        t = (t - 1.0) / dt;
        return t * t + t + t + 1.0;
    }
    return 0.0;
}

struct Osc {
    double phase = 0;  // 0 .. 1
    void advance(double f) {
        phase += f / SR;
        if (phase >= 1) phase -= 1;
    }
    double saw(double f) {
        double v = 2.0 * phase - 1.0 - poly_blep(phase, f / SR);
        advance(f);
        return v;
    }
    double pulse(double f, double width) {
        double dt = f / SR, v = phase < width ? 1.0 : -1.0;
        v += poly_blep(phase, dt);
        double t2 = phase + (1.0 - width);
        if (t2 >= 1) t2 -= 1;
        v -= poly_blep(t2, dt);
        advance(f);
        return v;
    }
    double sine(double f) {
        double v = std::sin(2 * PI * phase);
        advance(f);
        return v;
    }
};

// State-variable filter (trapezoidal): low-, band- and high-pass outputs; cutoff in Hz,
// resonance 0 .. 0.95.
struct Svf {
    double ic1 = 0, ic2 = 0, lp = 0, bp = 0, hp = 0;
    double last_cutoff = -1, g = 0;
    void run(double v, double cutoff, double res) {
        if (cutoff != last_cutoff) {
            last_cutoff = cutoff;
            g = std::tan(PI * std::min(std::max(cutoff, 20.0), SR * 0.45) / SR);
        }
        double k = 2.0 - 2.0 * res;
        double a1 = 1.0 / (1.0 + g * (g + k)), a2 = g * a1, a3 = g * a2;
        double v3 = v - ic2;
        double v1 = a1 * ic1 + a2 * v3;
        double v2 = ic2 + a2 * ic1 + a3 * v3;
        ic1 = 2 * v1 - ic1;
        ic2 = 2 * v2 - ic2;
        lp = v2;
        bp = v1;
        hp = v - k * v1 - v2;
    }
};

// One-pole high-pass at 8 Hz: keeps every voice free of a standing offset (a pulse wave's, the
// kick's click), so nothing is left when a note starts or stops.
struct DcBlocker {
    double x1 = 0, y1 = 0;
    static constexpr double R = 1.0 - 2 * PI * 8.0 / SR;
    double run(double x) {
        double y = x - x1 + R * y1;
        x1 = x;
        y1 = y;
        return y;
    }
};

// RBJ biquad, for the master equaliser.
struct Biquad {
    double b0 = 1, b1 = 0, b2 = 0, a1 = 0, a2 = 0, z1 = 0, z2 = 0;
    static Biquad shelf(bool high, double f0, double gain_db) {
        const double A = std::pow(10.0, gain_db / 40.0), w = 2 * PI * f0 / SR, c = std::cos(w),
                     s = std::sin(w), alpha = s / 2 * std::sqrt(2.0), sa = 2 * std::sqrt(A) * alpha;
        Biquad q;
        double a0;
        if (high) {
            q.b0 = A * ((A + 1) + (A - 1) * c + sa);
            q.b1 = -2 * A * ((A - 1) + (A + 1) * c);
            q.b2 = A * ((A + 1) + (A - 1) * c - sa);
            a0 = (A + 1) - (A - 1) * c + sa;
            q.a1 = 2 * ((A - 1) - (A + 1) * c);
            q.a2 = (A + 1) - (A - 1) * c - sa;
        } else {
            q.b0 = A * ((A + 1) - (A - 1) * c + sa);
            q.b1 = 2 * A * ((A - 1) - (A + 1) * c);
            q.b2 = A * ((A + 1) - (A - 1) * c - sa);
            a0 = (A + 1) + (A - 1) * c + sa;
            q.a1 = -2 * ((A - 1) + (A + 1) * c);
            q.a2 = (A + 1) + (A - 1) * c - sa;
        }
        q.b0 /= a0, q.b1 /= a0, q.b2 /= a0, q.a1 /= a0, q.a2 /= a0;
        return q;
    }
    static Biquad peak(double f0, double q_factor, double gain_db) {
        const double A = std::pow(10.0, gain_db / 40.0), w = 2 * PI * f0 / SR,
                     alpha = std::sin(w) / (2 * q_factor), c = std::cos(w);
        Biquad q;
        const double a0 = 1 + alpha / A;
        q.b0 = (1 + alpha * A) / a0;
        q.b1 = -2 * c / a0;
        q.b2 = (1 - alpha * A) / a0;
        q.a1 = -2 * c / a0;
        q.a2 = (1 - alpha / A) / a0;
        return q;
    }
    static Biquad highpass(double f0, double q_factor) {
        const double w = 2 * PI * f0 / SR, alpha = std::sin(w) / (2 * q_factor), c = std::cos(w);
        Biquad q;
        const double a0 = 1 + alpha;
        q.b0 = (1 + c) / 2 / a0;
        q.b1 = -(1 + c) / a0;
        q.b2 = (1 + c) / 2 / a0;
        q.a1 = -2 * c / a0;
        q.a2 = (1 - alpha) / a0;
        return q;
    }
    double run(double x) {
        double y = b0 * x + z1;
        z1 = b1 * x - a1 * y + z2;
        z2 = b2 * x - a2 * y;
        return y;
    }
};

// ---- instruments: patches ------------------------------------------------------------------

// A saw bass through a resonant low-pass, with a sine sub at the note's own pitch.
struct BassPatch {
    double saw_level;    // 0 .. 1
    double sub_level;    // 0 .. 1, sine at the note's pitch
    double cutoff_hz;    // the low-pass at rest
    double env_hz;       // added to the cutoff at the note's start ...
    double env_decay_s;  // ... falling by e^-1 in this time
    double resonance;    // 0 .. 0.95
    double drive;        // tanh drive, 1 = gentle
    double level;        // output, 0 .. 1
};
const BassPatch ROUND_BASS{0.7, 0.55, 420, 1500, 0.07, 0.5, 1.0, 0.42};
const BassPatch DRIVING_BASS{0.7, 0.5, 480, 2600, 0.06, 0.62, 1.8, 0.42};
const BassPatch ACID_BASS{0.8, 0.2, 260, 1800, 0.09, 0.88, 2.5, 0.36};
const BassPatch DEEP_DRONE{0.45, 0.7, 170, 200, 0.2, 0.2, 1.0, 0.36};
const BassPatch WALKING_BASS{0.6, 0.6, 700, 1800, 0.07, 0.35, 1.0, 0.42};
const BassPatch FAT_BASS{0.75, 0.5, 600, 3000, 0.05, 0.7, 2.6, 0.4};

// A lead line: pulse (width swept), two detuned saws, or sine with its octave; delayed vibrato.
enum class Wave { pulse, saws, sine };
struct LeadPatch {
    Wave wave;
    double cutoff_hz;      // the low-pass at rest ...
    double env_hz;         // ... opened by this much at the note's start
    double vibrato_cents;  // depth, reached 0.4 s into the note
    double release_s;
    double level;
    double reverb, delay;  // send levels, 0 .. 1
};
const LeadPatch PULSE_LEAD{Wave::pulse, 3200, 2800, 18, 0.12, 0.3, 0.15, 0.3};
const LeadPatch SAW_LEAD{Wave::saws, 3600, 2800, 15, 0.12, 0.28, 0.15, 0.3};
const LeadPatch CHIP_LEAD{Wave::pulse, 5000, 2000, 12, 0.06, 0.26, 0.1, 0.2};
const LeadPatch FLUTE{Wave::sine, 3000, 1000, 22, 0.3, 0.34, 0.35, 0.45};
const LeadPatch SIREN{Wave::saws, 3000, 1500, 30, 0.2, 0.16, 0.15, 0.35};

// A short square pluck for arpeggios and chip runs.
struct PluckPatch {
    double width;      // pulse width, 0 .. 1
    double cutoff_hz;  // at rest ...
    double env_hz;     // ... opened by this much, times the note's brightness
    double decay_s;    // amplitude falls by e^-1 in this time
    double level;
};
const PluckPatch ARP_PLUCK{0.25, 1200, 5200, 0.11, 0.2};
const PluckPatch CHIP_PLUCK{0.5, 2400, 4000, 0.08, 0.16};

// A pad: detuned saws per chord tone, each side detuned its own way.
struct PadPatch {
    double cutoff_hz;  // low-pass at brightness 0 ...
    double bright_hz;  // ... plus this much at brightness 1
    double attack_s;
    double release_s;
    double level;
};
const PadPatch WARM_PAD{500, 3200, 0.4, 0.6, 0.05};
const PadPatch DARK_PAD{300, 1200, 0.8, 1.2, 0.055};
const PadPatch LAST_PAD{500, 3400, 0.03, 4.5, 0.06};

// ---- notation -------------------------------------------------------------------------------

// A note of a melody: start and length in beats from the melody's start, MIDI key.
struct Note {
    double at, len;
    int key;
};

// The words of `text`, split at blanks.
std::vector<std::string> words(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> out;
    for (std::string word; in >> word;) out.push_back(word);
    return out;
}

// The letter and accidental that start a note or chord name ("C#5", "Bb", "Am") as semitones
// above C, -1 (Cb) to 12 (B#); `i` is left on the first character after them. Throws, calling the
// name a `what`, when it does not start with A to G.
int read_pitch(const std::string& name, size_t& i, const char* what) {
    static const int steps[7] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G
    if (name.empty() || name[0] < 'A' || name[0] > 'G')
        throw std::runtime_error(std::string("bad ") + what + " '" + name + "'");
    int pitch = steps[name[0] - 'A'];
    i = 1;
    if (i < name.size() && name[i] == '#')
        ++pitch, ++i;
    else if (i < name.size() && name[i] == 'b')
        --pitch, ++i;
    return pitch;
}

// "A4", "C#5", "Bb3" as a MIDI key (C4 = 60).
int parse_key(const std::string& name) {
    size_t i = 0;
    const int pitch = read_pitch(name, i, "note");
    if (i >= name.size()) throw std::runtime_error("bad note '" + name + "'");
    return pitch + 12 * (std::stoi(name.substr(i)) + 1);
}

// "A4:8. C5:8 r:4 | ..." as notes; every bar must add up to 4 beats.
std::vector<Note> melody(const std::string& text) {
    std::vector<Note> notes;
    double at = 0, bar_start = 0;
    auto close_bar = [&] {
        if (std::fabs(at - bar_start - 4) > 1e-9)
            throw std::runtime_error("a bar of " + std::to_string(at - bar_start) + " beats in \"" +
                                     text + "\"");
        bar_start = at;
    };
    for (const std::string& token : words(text)) {
        if (token == "|") {
            close_bar();
            continue;
        }
        const size_t colon = token.find(':');
        if (colon == std::string::npos) throw std::runtime_error("no value in '" + token + "'");
        std::string value = token.substr(colon + 1);
        const bool dotted = !value.empty() && value.back() == '.';
        if (dotted) value.pop_back();
        double beats = 4.0 / std::stoi(value) * (dotted ? 1.5 : 1.0);
        const std::string name = token.substr(0, colon);
        if (name != "r") notes.push_back({at, beats, parse_key(name)});
        at += beats;
    }
    if (at != bar_start) close_bar();
    return notes;
}

struct Chord {
    int root;  // pitch class, 0 = C
    bool minor;
    int tone(int i) const {  // chord tone i (0 root, 1 third, 2 fifth, 3 octave, ...)
        static const int minor_steps[3] = {0, 3, 7}, major_steps[3] = {0, 4, 7};
        return root + (i / 3) * 12 + (minor ? minor_steps[i % 3] : major_steps[i % 3]);
    }
};

Chord parse_chord(const std::string& name) {
    size_t i = 0;
    const int root = read_pitch(name, i, "chord");
    const bool minor = name.substr(i) == "m";
    if (!minor && i != name.size()) throw std::runtime_error("bad chord '" + name + "'");
    return {(root + 12) % 12, minor};
}

// A chord with its start and length in beats.
struct Harmony {
    double at, len;
    Chord chord;
};

// "Am F Dm/E Am" as harmony: one chord a bar, or two with a slash.
std::vector<Harmony> progression(const std::string& text) {
    std::vector<Harmony> out;
    double bar = 0;
    for (const std::string& token : words(text)) {
        const size_t slash = token.find('/');
        if (slash == std::string::npos) {
            out.push_back({bar, 4, parse_chord(token)});
        } else {
            out.push_back({bar, 2, parse_chord(token.substr(0, slash))});
            out.push_back({bar + 2, 2, parse_chord(token.substr(slash + 1))});
        }
        bar += 4;
    }
    return out;
}

// The window of one section, in beats of the piece.
struct Window {
    double at, beats;
    double end() const { return at + beats; }
};

// ---- the song -------------------------------------------------------------------------------

// Where a voice goes besides the main mix: dipped under the kick, and how much to the effects.
struct Send {
    bool ducked;
    double reverb, delay;  // 0 .. 1
};
constexpr Send DIRECT{false, 0, 0};

struct Bus {
    std::vector<float> l, r;
    explicit Bus(size_t n) : l(n), r(n) {}
};

class Song {
public:
    Song()
        : frames_(size_t(track_frames())),
          dry_(frames_),
          duck_(frames_),
          reverb_(frames_),
          delay_(frames_),
          pump_(frames_, 1.0f),
          fader_(frames_, 1.0f) {}

    std::vector<int16_t> render();

    // The sections, each composed into its window.
    void intro(Window w);
    void logos(Window w);
    void groove(Window w);
    void theme_a(Window w);
    void walking_break(Window w);
    void breakdown(Window w);
    void wash(Window w);
    void drop(Window w);
    void drop_variation(Window w);
    void acid(Window w);
    void stabs(Window w);
    void chip_tune(Window w);
    void theme_a_again(Window w);
    void half_time(Window w);
    void intense(Window w);
    void finale(Window w);
    void last_chord(Window w);

    // The section's level, from its hit on: the fader set to `gain_db` for the whole section.
    void level(Window w, double gain_db);

private:
    size_t frames_;
    Bus dry_, duck_, reverb_, delay_;  // direct, dipped under the kick, and the two effect sends
    std::vector<float> pump_;          // gain of the dipped bus
    std::vector<float> fader_;         // the sections' levels
    uint32_t noise_seed_ = 1;

    // The sample at which `beat` of the piece is played.
    static long long at(double beat) { return std::llround((beat * BEAT_S - HEARD_LATE_S) * SR); }
    static size_t len(double beats) { return size_t(beats * BEAT_S * SR); }

    // Adds one sample to the buses, panned (-1 left .. 1 right, constant power).
    void put(long long i, double v, double pan, Send send = DIRECT) {
        if (i < 0 || i >= (long long)frames_) return;
        const double a = (pan + 1) * PI / 4, gl = std::cos(a) * 1.4142, gr = std::sin(a) * 1.4142;
        Bus& b = send.ducked ? duck_ : dry_;
        b.l[size_t(i)] += float(v * gl);
        b.r[size_t(i)] += float(v * gr);
        if (send.reverb > 0) {
            reverb_.l[size_t(i)] += float(v * gl * send.reverb);
            reverb_.r[size_t(i)] += float(v * gr * send.reverb);
        }
        if (send.delay > 0) {
            delay_.l[size_t(i)] += float(v * gl * send.delay);
            delay_.r[size_t(i)] += float(v * gr * send.delay);
        }
    }
    void put_stereo(long long i, double l, double r) {
        if (i < 0 || i >= (long long)frames_) return;
        dry_.l[size_t(i)] += float(l);
        dry_.r[size_t(i)] += float(r);
    }

    // ---- drums ----
    void kick(double beat, double vel) {
        const long long s = at(beat);
        const size_t n = size_t(0.4 * SR);
        const double start_hz = 170, end_hz = 50, sweep_s = 0.035, decay_s = 0.12, click = 0.2;
        Osc o;
        DcBlocker dc;
        for (size_t k = 0; k < n; ++k) {
            const double t = double(k) / SR;
            double v = o.sine(end_hz + (start_hz - end_hz) * std::exp(-t / sweep_s)) *
                           std::exp(-t / decay_s) +
                       (k < 60 ? click * (1 - k / 60.0) : 0.0);
            put(s + (long long)k, dc.run(std::tanh(v * 1.5)) * vel * 0.42, 0);
        }
        for (size_t k = 0; k < size_t(0.25 * SR); ++k) {  // the dip of the pads and plucks
            const long long i = s + (long long)k;
            if (i < 0 || i >= (long long)frames_) continue;
            const float g = float(1.0 - 0.5 * std::exp(-double(k) / SR * 9));
            pump_[size_t(i)] = std::min(pump_[size_t(i)], g);
        }
    }
    void snare(double beat, double vel, double pan = -0.25) {
        const long long s = at(beat);
        const size_t n = size_t(0.28 * SR);
        Noise nz(noise_seed_++);
        Osc o;
        Svf f;
        DcBlocker dc;
        for (size_t k = 0; k < n; ++k) {
            const double t = double(k) / SR;
            f.run(nz.next(), 6500, 0.2);
            const double body =
                o.sine(190 * (1 + 0.4 * std::exp(-t * 40))) * std::exp(-t * 30) * 0.5;
            put(s + (long long)k, dc.run(f.lp * std::exp(-t * 15) * 0.9 + body) * vel * 0.4, pan,
                {false, 0.14, 0});
        }
    }
    void clap(double beat, double vel) {
        const long long s = at(beat);
        const size_t n = size_t(0.25 * SR);
        Noise nz(noise_seed_++);
        Svf f;
        for (size_t k = 0; k < n; ++k) {
            const double t = double(k) / SR;
            f.run(nz.next(), 1500, 0.5);
            const double env =
                (t < 0.033 ? std::exp(-std::fmod(t, 0.011) * 180) : std::exp(-(t - 0.033) * 22));
            put(s + (long long)k, f.bp * env * vel * 0.8, 0.5, {false, 0.2, 0});
        }
    }
    void hat(double beat, double vel, bool open) {
        const long long s = at(beat);
        const size_t n = size_t((open ? 0.3 : 0.06) * SR);
        Noise nz(noise_seed_++);
        Svf f;
        for (size_t k = 0; k < n; ++k) {
            const double t = double(k) / SR;
            f.run(nz.next(), 7500, 0.3);
            put(s + (long long)k, f.hp * std::exp(-t * (open ? 11 : 70)) * vel * 0.3, 0.6,
                {false, 0.05, 0});
        }
    }
    void crash(double beat, double vel) {
        const long long s = at(beat);
        const size_t n = size_t(2.2 * SR);
        Noise nl(noise_seed_++), nr(noise_seed_++);
        Svf fl, fr;
        for (size_t k = 0; k < n; ++k) {
            const double t = double(k) / SR,
                         env = std::exp(-t * 2.2) * vel * 0.2 * (k < 20 ? k / 20.0 : 1.0);
            fl.run(nl.next(), 5000, 0.15);
            fr.run(nr.next(), 5000, 0.15);
            put_stereo(s + (long long)k, fl.hp * env, fr.hp * env);
        }
    }
    void tom(double beat, int key, double vel, double pan) {
        const long long s = at(beat);
        const size_t n = size_t(0.5 * SR);
        Osc o;
        DcBlocker dc;
        for (size_t k = 0; k < n; ++k) {
            const double t = double(k) / SR;
            const double v = o.sine(mtof(key) * (1 + 0.5 * std::exp(-t * 18))) * std::exp(-t * 6);
            put(s + (long long)k, dc.run(v) * vel * 0.45, pan, {false, 0.3, 0});
        }
    }
    // Noise sweeping up over `beats`, ending at its loudest.
    void riser(double beat, double beats, double vel) {
        const long long s = at(beat);
        const size_t n = len(beats);
        Noise nl(noise_seed_++), nr(noise_seed_++);
        Svf fl, fr;
        for (size_t k = 0; k < n; ++k) {
            const double x = double(k) / double(n), cut = 300 * std::pow(40.0, x),
                         amp = x * x * vel * 0.28;
            fl.run(nl.next(), cut, 0.6);
            fr.run(nr.next(), cut * 1.07, 0.6);
            put_stereo(s + (long long)k, fl.bp * amp, fr.bp * amp);
        }
    }

    // ---- pitched voices ----
    void bass(double beat, double beats, int key, double vel, const BassPatch& p,
              double glide_from = 0) {
        const long long s = at(beat);
        const size_t n = len(beats), rel = size_t(0.02 * SR);
        Osc saw, sub;
        Svf f, hp;
        DcBlocker dc;
        for (size_t k = 0; k < n + rel; ++k) {
            const double t = double(k) / SR;
            const double note =
                glide_from > 0 && t < 0.06 ? glide_from + (key - glide_from) * t / 0.06 : key;
            const double fr = mtof(note);
            const double v = saw.saw(fr) * p.saw_level;
            f.run(v, p.cutoff_hz + p.env_hz * std::exp(-t / p.env_decay_s), p.resonance);
            double out = std::tanh(f.lp * p.drive) / std::max(1.0, p.drive * 0.6) +
                         sub.sine(fr) * p.sub_level;
            hp.run(out, 30, 0.3);  // nothing below 30 Hz
            const double amp =
                k < 40 ? k / 40.0 : (k < n ? 1.0 : 1.0 - double(k - n) / double(rel));
            put(s + (long long)k, dc.run(hp.hp) * amp * vel * p.level, 0, {true, 0, 0});
        }
    }
    void lead(double beat, double beats, int key, double vel, double pan, const LeadPatch& p) {
        const long long s = at(beat);
        const size_t n = len(beats), rel = size_t(p.release_s * SR);
        Osc o, o2;
        Svf f;
        DcBlocker dc;
        for (size_t k = 0; k < n + rel; ++k) {
            const double t = double(k) / SR;
            const double vib = t > 0.15 ? p.vibrato_cents / 100 * std::sin(2 * PI * 5.5 * t) *
                                              std::min(1.0, (t - 0.15) * 4)
                                        : 0.0;
            const double fr = mtof(key + vib);
            const double v = p.wave == Wave::pulse
                                 ? o.pulse(fr, 0.3 + 0.15 * std::sin(2 * PI * 0.7 * t)) * 0.6
                             : p.wave == Wave::saws ? o.saw(fr) * 0.5 + o2.saw(fr * 1.006) * 0.4
                                                    : o.sine(fr) * 0.9 + o2.sine(fr * 2) * 0.15;
            f.run(v, p.cutoff_hz + p.env_hz * std::exp(-t * 6), 0.2);
            const double amp =
                (k < 200 ? k / 200.0 : 1.0) * (k < n ? 1.0 - 0.25 * std::min(1.0, t * 2)
                                                     : 0.75 * (1.0 - double(k - n) / double(rel)));
            put(s + (long long)k, dc.run(f.lp) * amp * vel * p.level, pan,
                {false, p.reverb, p.delay});
        }
    }
    void pluck(double beat, double beats, int key, double vel, double pan, const PluckPatch& p,
               double bright = 1.0) {
        const long long s = at(beat);
        const size_t n = len(beats);
        Osc o;
        Svf f;
        DcBlocker dc;
        for (size_t k = 0; k < n; ++k) {
            const double t = double(k) / SR;
            f.run(o.pulse(mtof(key), p.width), p.cutoff_hz + p.env_hz * bright * std::exp(-t * 18),
                  0.3);
            const double amp = std::exp(-t / p.decay_s) * (k < 30 ? k / 30.0 : 1.0) *
                               (k + 200 > n ? double(n - k) / 200.0 : 1.0);
            put(s + (long long)k, dc.run(f.lp) * amp * vel * p.level, pan, {true, 0.1, 0.25});
        }
    }
    // Three detuned saws per chord tone, each side detuned its own way.
    void pad(double beat, double beats, Chord c, double vel, double bright, const PadPatch& p) {
        const long long s = at(beat);
        const size_t n = len(beats), rel = size_t(p.release_s * SR),
                     att = size_t(p.attack_s * SR) + 1;
        for (int tone = 0; tone < 4; ++tone) {
            const int key = 48 + c.tone(tone) + (c.root > 4 ? -12 : 0) + 12;
            for (int side = 0; side < 2; ++side) {
                Osc o[3];
                for (int v = 0; v < 3; ++v)
                    o[v].phase = std::fmod(0.137 * key + 0.291 * side + 0.413 * v, 1.0);
                Svf f;
                DcBlocker dc;
                const double detune = side ? 1.0 : -1.0;
                for (size_t k = 0; k < n + rel; ++k) {
                    const double t = double(k) / SR, fr = mtof(key);
                    const double v = o[0].saw(fr) + o[1].saw(fr * (1 + 0.004 * detune)) +
                                     o[2].saw(fr * (1 - 0.0025 * detune));
                    f.run(v,
                          p.cutoff_hz +
                              p.bright_hz * bright * (0.8 + 0.2 * std::sin(2 * PI * 0.25 * t)),
                          0.1);
                    const double env = (k < att ? double(k) / att : 1.0) *
                                       (k < n ? 1.0 : std::exp(-double(k - n) / double(rel) * 4.0));
                    const double out = dc.run(f.lp) * env * vel * p.level;
                    const long long i = s + (long long)k;
                    if (i < 0 || i >= (long long)frames_) continue;
                    (side ? duck_.r : duck_.l)[size_t(i)] += float(out);
                    (side ? reverb_.r : reverb_.l)[size_t(i)] += float(out * 0.3);
                }
            }
        }
    }
    // A short brass-like chord: two saws per tone through a closing filter.
    void stab(double beat, double beats, Chord c, double vel, double pan) {
        const long long s = at(beat);
        const size_t n = len(beats);
        for (int tone = 0; tone < 3; ++tone) {
            const int key = 60 + c.tone(tone) - (c.root > 7 ? 12 : 0);
            Osc o, o2;
            Svf f;
            DcBlocker dc;
            for (size_t k = 0; k < n; ++k) {
                const double t = double(k) / SR;
                const double v = o.saw(mtof(key)) + o2.saw(mtof(key) * 1.005);
                f.run(v, 700 + 4000 * std::exp(-t * 10), 0.25);
                const double amp = std::exp(-t * 5) * (k < 80 ? k / 80.0 : 1.0) *
                                   (k + 300 > n ? double(n - k) / 300.0 : 1.0);
                put(s + (long long)k, dc.run(f.lp) * amp * vel * 0.11, pan, {false, 0.25, 0.15});
            }
        }
    }

    // ---- patterns ----
    // fn(beat, symbol) for every non-'.' step of a 16-step bar pattern repeated from b0 for
    // `beats`.
    static void steps(double b0, double beats, const char* pattern,
                      const std::function<void(double, char)>& fn) {
        const size_t n = std::char_traits<char>::length(pattern);
        for (int i = 0; i < int(std::lround(beats * 4)); ++i) {
            const char c = pattern[size_t(i) % n];
            if (c != '.') fn(b0 + i * 0.25, c);
        }
    }
    void drums(double b0, double beats, const char* k, const char* sn, const char* h,
               double vel = 1.0) {
        steps(b0, beats, k, [&](double b, char c) { kick(b, (c == 'X' ? 1.0 : 0.8) * vel); });
        steps(b0, beats, sn, [&](double b, char c) {
            if (c == 'c')
                clap(b, vel);
            else
                snare(b, (c == 'X' ? 1.0 : c == 'g' ? 0.35 : 0.8) * vel);
        });
        steps(b0, beats, h, [&](double b, char c) {
            hat(b, (c == 'X' || c == 'O' ? 1.0 : 0.55) * vel, c == 'o' || c == 'O');
        });
    }
    // A snare roll of `beats` in 16ths, growing from `from` to `to`.
    void roll(double b0, double beats, double from, double to) {
        const int n = int(std::lround(beats * 4));
        for (int i = 0; i < n; ++i)
            snare(b0 + i * 0.25, from + (to - from) * i / std::max(1, n - 1));
    }
    static int bass_key(Chord c) { return 33 + (c.root - 9 + 12) % 12; }  // A1 .. G#2

    // The harmony from b0, each chord's steps of `pattern`: X root, x root softer, o octave, 5
    // fifth.
    void bass_line(double b0, const std::vector<Harmony>& h, const char* pattern,
                   const BassPatch& p) {
        for (const Harmony& c : h)
            steps(b0 + c.at, c.len, pattern, [&](double b, char s) {
                const int key = bass_key(c.chord) + (s == 'o' ? 12 : s == '5' ? 7 : 0);
                bass(b, 0.22, key, s == 'X' ? 1.0 : 0.85, p);
            });
    }
    void pads(double b0, const std::vector<Harmony>& h, double vel, double bright,
              const PadPatch& p = WARM_PAD) {
        for (const Harmony& c : h) pad(b0 + c.at, c.len, c.chord, vel, bright, p);
    }
    void arp(double b0, const std::vector<Harmony>& h, const std::vector<int>& order, double vel,
             int base = 60, double rate = 0.25, const PluckPatch& p = ARP_PLUCK) {
        for (const Harmony& c : h) {
            int i = 0;
            for (double b = 0; b < c.len - 1e-9; b += rate, ++i) {
                const int key = base + c.chord.tone(order[size_t(i) % order.size()]) -
                                (c.chord.root > 7 ? 12 : 0);
                pluck(b0 + c.at + b, rate * 0.95, key, vel, (i % 2) ? 0.8 : -0.8, p);
            }
        }
    }
    void play(double b0, const std::vector<Note>& m, int transpose, double vel, double pan,
              const LeadPatch& p) {
        for (const Note& n : m) lead(b0 + n.at, n.len, n.key + transpose, vel, pan, p);
    }

    void effects();
    void master(std::vector<float>& l, std::vector<float>& r);
};

// ---- the themes -------------------------------------------------------------------------------

// Theme A over Am F C G, and its cadence over Dm/E Am.
const char* const THEME_A =
    "A4:8. C5:8. E5:8 A5:4 G5:8 E5:8 | F5:8. E5:8. C5:8 A4:4 C5:8 D5:8 | "
    "E5:8. G5:8. C6:8 B5:8 G5:8 E5:4 | D5:8. B4:8. G4:8 D5:4 E5:4";
const char* const THEME_A_CADENCE = "F5:8. E5:8. D5:8 C5:4 B4:4 | A4:2. r:4";
// Theme B, the drop's busier line over the same chords, and its cadence.
const char* const THEME_B =
    "A5:8 A5:16 G5:16 A5:8 C6:8 B5:8 A5:8 G5:8 E5:8 | F5:8 F5:16 E5:16 F5:8 A5:8 G5:8 F5:8 E5:8 C5:8 | "
    "E5:8 E5:16 D5:16 E5:8 G5:8 C6:8. B5:16 G5:4 | B5:8 A5:8 G5:8 D5:8 G5:8. A5:16 B5:4";
const char* const THEME_B_CADENCE = "A5:8 G5:8 F5:8 D5:8 E5:8 G#5:8 B5:8 G#5:8 | A5:2. r:4";
// The greetings' tune over C G Am F, ending G/C on the tonic.
const char* const THEME_GREET =
    "C5:8 E5:8 G5:8 E5:16 G5:16 C6:4 G5:4 | B4:8 D5:8 G5:8 D5:16 G5:16 B5:4 A5:8 G5:8 | "
    "A4:8 C5:8 E5:8 A5:8 G5:8 E5:8 C5:4 | F5:8 E5:8 D5:8 C5:8 D5:4 G4:4 | B4:8 D5:8 F5:8 D5:8 C5:2";
// The breakdown's slow line over Am Dm F E, home on A.
const char* const THEME_DARK = "E5:2. C5:4 | F5:2. D5:4 | A5:2 G5:2 | G#5:1 | A5:1";

const std::vector<int> UP{0, 1, 2, 3, 4, 5, 3, 2}, UP_DOWN{0, 2, 4, 5, 4, 2}, TRIAD{0, 1, 2};

const char* const FOUR = "X...x...x...x...";
const char* const BACKBEAT = "....X.......X...";
const char* const HATS16 = "x.x.X.x.x.x.X.x.";
const char* const OFF_HATS = "..o...o...o...o.";
const char* const NONE_16 = "................";

// ---- the sections -----------------------------------------------------------------------------

// 2½ bars: the pad swells on Am and F, an arpeggio opens up; a 2-beat pickup on E leads in.
void Song::intro(Window w) {
    level(w, 0.5);
    pads(w.at, progression("Am F"), 0.8, 0.2, PadPatch{500, 3200, 1.5, 0.6, 0.05});
    for (int i = 0; i < 32; ++i) {  // brighter and louder step by step
        const Chord c = i < 16 ? parse_chord("Am") : parse_chord("F");
        pluck(w.at + i * 0.25, 0.24, 60 + c.tone(UP[size_t(i) % 8]) - (c.root > 7 ? 12 : 0),
              0.3 + 0.6 * i / 32.0, (i % 2) ? 0.6 : -0.6, ARP_PLUCK, 0.1 + 0.9 * i / 32.0);
    }
    pad(w.at + 8, 2, parse_chord("E"), 0.8, 0.4, WARM_PAD);
    riser(w.at + 4, w.beats - 4, 0.9);
    steps(w.end() - 2, 2, "..x.x.x.",
          [&](double b, char) { snare(b, 0.3 + (b - (w.end() - 2)) * 0.2); });
}

// 5 bars: kick, bass and pad over Am F C G, then a bar of E with a roll.
void Song::logos(Window w) {
    level(w, 1.7);
    crash(w.at, 0.8);
    const auto h = progression("Am F C G");
    drums(w.at, 16, FOUR, NONE_16, NONE_16);
    bass_line(w.at, h, "X.x.X.x.X.x.X.x.", ROUND_BASS);
    pads(w.at, h, 0.9, 0.35);
    kick(w.at + 16, 1.0);
    bass(w.at + 16, 1.5, bass_key(parse_chord("E")), 1.0, ROUND_BASS);
    pad(w.at + 16, 4, parse_chord("E"), 0.9, 0.4, WARM_PAD);
    roll(w.at + 16, 4, 0.25, 0.8);
}

// 7½ bars: the full groove, Am F C G | Am F | E, then a 6-beat break on E.
void Song::groove(Window w) {
    level(w, 1.3);
    crash(w.at, 1.0);
    const auto h = progression("Am F C G Am F");
    drums(w.at, 24, FOUR, BACKBEAT, HATS16);
    bass_line(w.at, h, "X..xo.x.X..xo.x.", ROUND_BASS);
    arp(w.at, h, UP, 0.7);
    pads(w.at, h, 0.7, 0.4);
    // the break: bass and toms answer each other on E, the snare builds in the last beat
    const double b = w.at + 24;
    const Chord e = parse_chord("E");
    pad(b, 6, e, 0.7, 0.45, WARM_PAD);
    steps(b, 4, "X.....x.X.....x.", [&](double t, char) { kick(t, 0.9); });
    steps(b, 4, "X..x..o.X..x..o.", [&](double t, char s) {
        bass(t, 0.22, bass_key(e) + (s == 'o' ? 12 : 0), 0.9, ROUND_BASS);
    });
    steps(b, 4, "...t...t...t..tt",
          [&](double t, char) { tom(t, 45 + int(t - b) % 3 * 3, 0.7, -0.3 + 0.2 * (t - b)); });
    roll(b + 4, 2, 0.4, 0.9);
}

// 7½ bars: theme A over the groove, its cadence on Am, then a 6-beat fill into the break.
void Song::theme_a(Window w) {
    level(w, -1.4);
    crash(w.at, 1.0);
    const auto h = progression("Am F C G Dm/E Am");
    drums(w.at, 24, FOUR, BACKBEAT, HATS16);
    bass_line(w.at, h, "X..xo.x.X..xo.x.", ROUND_BASS);
    pads(w.at, h, 0.8, 0.45);
    play(w.at, melody(THEME_A), 0, 1.0, -0.35, PULSE_LEAD);
    play(w.at + 16, melody(THEME_A_CADENCE), 0, 1.0, -0.35, PULSE_LEAD);
    // the fill: Dm for 4 beats of kick and hats, then a 2-beat roll
    const double b = w.at + 24;
    const auto dm = progression("Dm");
    drums(b, 4, FOUR, "....x.......x..x", HATS16);
    bass_line(b, dm, "X..xo.x.X..xo.x.", ROUND_BASS);
    pad(b, 6, parse_chord("Dm"), 0.8, 0.45, WARM_PAD);
    roll(b + 4, 2, 0.5, 1.0);
}

// 3 bars: a walking bass under claps, Dm Em Am: a cadence on the tonic.
void Song::walking_break(Window w) {
    level(w, 2.6);
    crash(w.at, 0.7);
    drums(w.at, w.beats, "X.......x.......", "....c.......c...", "x.xxx.xxx.xxx.xx", 0.9);
    for (const Harmony& c : progression("Dm Em Am")) {
        for (int q = 0; q < 4; ++q) {
            const int key = bass_key(c.chord) + 12 + (c.chord.tone(q) - c.chord.root);
            bass(w.at + c.at + q, 0.45, key, 1.0, WALKING_BASS);
        }
        stab(w.at + c.at + 1.5, 0.4, c.chord, 0.6, 0.5);
        stab(w.at + c.at + 3.5, 0.4, c.chord, 0.5, -0.5);
    }
}

// 5 bars: the breakdown, quiet and dark: drone, toms and the slow line, Am Dm F E | Am.
void Song::breakdown(Window w) {
    level(w, -6.0);
    crash(w.at, 0.5);
    const auto h = progression("Am Dm F E Am");
    for (const Harmony& c : h) {
        pad(w.at + c.at, c.len, c.chord, 1.0, 0.05, DARK_PAD);
        bass(w.at + c.at, c.len - 0.1, bass_key(c.chord), 0.8, DEEP_DRONE);
    }
    steps(w.at, 16, "X.......X.......", [&](double b, char) { kick(b, 0.7); });
    steps(w.at, 16, "......t.......t.", [&](double b, char) { tom(b, 45, 0.6, -0.4); });
    steps(w.at, 16, "...............t", [&](double b, char) { tom(b, 40, 0.6, 0.4); });
    play(w.at, melody(THEME_DARK), 0, 1.0, 0.3, FLUTE);
}

// 2½ bars: a wash of held pad, F G | E, a riser, and a roll that speeds up from 8ths to 32nds.
void Song::wash(Window w) {
    level(w, -2.1);
    crash(w.at, 0.8);
    tom(w.at, 33, 0.9, 0);
    pads(w.at, progression("F G"), 1.0, 0.6, PadPatch{500, 3200, 1.0, 0.6, 0.05});
    pad(w.at + 8, 2, parse_chord("E"), 1.0, 0.7, WARM_PAD);
    riser(w.at, w.beats, 1.2);
    bass(w.at, 8, bass_key(parse_chord("F")), 0.7, DEEP_DRONE);
    bass(w.at + 8, 2, bass_key(parse_chord("E")), 0.8, DEEP_DRONE);
    for (int i = 0; i < 8; ++i) snare(w.at + i * 0.5, 0.3 + 0.02 * i);          // 4 beats of 8ths
    for (int i = 0; i < 16; ++i) snare(w.at + 4 + i * 0.25, 0.45 + 0.02 * i);   // 4 beats of 16ths
    for (int i = 0; i < 16; ++i) snare(w.at + 8 + i * 0.125, 0.65 + 0.02 * i);  // 2 beats of 32nds
}

// 7½ bars: the drop: driving bass, theme B and its cadence, then a 6-beat stop-and-go.
void Song::drop(Window w) {
    level(w, 0.7);
    crash(w.at, 1.1);
    const auto h = progression("Am F C G Dm/E Am");
    drums(w.at, 24, FOUR, BACKBEAT, HATS16, 1.05);
    bass_line(w.at, h, "XxoxXxoxXxoxXxox", DRIVING_BASS);
    pads(w.at, h, 0.7, 0.5);
    play(w.at, melody(THEME_B), 0, 1.0, -0.35, SAW_LEAD);
    play(w.at + 16, melody(THEME_B_CADENCE), 0, 1.0, -0.35, SAW_LEAD);
    // stop: one hit on F, two beats of silence but the echoes, then kicks and a roll into the
    // variation
    const double b = w.at + 24;
    const Chord f = parse_chord("F");
    kick(b, 1.0);
    stab(b, 0.5, f, 1.0, 0);
    bass(b, 0.5, bass_key(f), 1.0, DRIVING_BASS);
    steps(b + 2, 4, "X...X...X.X.XXXX", [&](double t, char) { kick(t, 0.9); });
    roll(b + 4, 2, 0.5, 1.0);
    pad(b + 2, 4, parse_chord("G"), 0.6, 0.6, WARM_PAD);
}

// 7½ bars: the drop's variation, theme B an octave up over F G Am Am, cadence, 6-beat fill.
void Song::drop_variation(Window w) {
    level(w, -2.0);
    crash(w.at, 1.1);
    const auto h = progression("F G Am Am Dm/E Am");
    drums(w.at, 24, FOUR, BACKBEAT, "x.X.x.X.x.X.xxX.", 1.05);
    bass_line(w.at, h, "XxoxXxoxXxoxXxox", DRIVING_BASS);
    arp(w.at, h, UP_DOWN, 0.6, 72);
    play(w.at, melody(THEME_B), 12, 0.75, 0.4, PULSE_LEAD);
    play(w.at + 16, melody(THEME_B_CADENCE), 12, 0.75, 0.4, PULSE_LEAD);
    const double b = w.at + 24;  // the fill: toms down the kit, then a 2-beat roll
    drums(b, 4, "X.......X.......", NONE_16, HATS16);
    steps(b, 4, "..t.t.t...t.t.t.",
          [&](double t, char) { tom(t, 52 - int((t - b) * 2), 0.8, 0.5 - 0.25 * (t - b)); });
    bass_line(b, progression("Am"), "X..xo.x.X..xo.x.", DRIVING_BASS);
    roll(b + 4, 2, 0.5, 1.0);
}

// 5 bars: acid: a resonant bass line sweeping open and shut over Am Dm, a bar of fill on E.
void Song::acid(Window w) {
    level(w, 0.2);
    crash(w.at, 1.0);
    drums(w.at, 16, FOUR, "....c.......c...", OFF_HATS);
    const int line[16] = {0, 0, 12, 0, 3, 0, 15, 0, 7, 0, 10, 12, 0, 5, 0, 3};  // steps above A1
    for (int i = 0; i < 64; ++i) {
        const double sweep = 0.5 - 0.5 * std::cos(2 * PI * i / 32.0);
        const int key = 45 + line[i % 16] + (i >= 32 ? 5 : 0);  // Am for two bars, Dm for two
        const bool accent = i % 16 == 0 || i % 16 == 6 || i % 16 == 11;
        BassPatch p = ACID_BASS;
        p.cutoff_hz += 1600 * sweep;
        p.env_hz = accent ? 2500 : 1200;
        bass(w.at + i * 0.25, 0.24, key, accent ? 1.0 : 0.8, p, i % 8 == 3 ? key - 12 : 0);
    }
    pads(w.at, progression("Am Am Dm Dm"), 0.6, 0.2, DARK_PAD);
    // the turnaround bar on E: the line climbs, the kick doubles, a roll
    const double b = w.at + 16;
    for (int i = 0; i < 16; ++i) {
        BassPatch p = ACID_BASS;
        p.cutoff_hz += 100.0 * i;
        bass(b + i * 0.25, 0.24, 40 + (i % 4 == 2 ? 12 : 0) + i / 4, 0.9, p);
    }
    steps(b, 4, "X.X.X.X.X.X.X.X.", [&](double t, char) { kick(t, 0.9); });
    roll(b + 2, 2, 0.4, 0.9);
}

// 3 bars: hard left and right stabs over Am F G; G turns to the greetings' C.
void Song::stabs(Window w) {
    level(w, 4.4);
    crash(w.at, 1.1);
    const auto h = progression("Am F G");
    drums(w.at, w.beats, "X.x.X...X.x.X...", "....X..x....X...", "XxXxXxXxXxXxXxXx", 1.05);
    bass_line(w.at, h, "X.X.o.X.X.X.o.X.", DRIVING_BASS);
    for (const Harmony& c : h)
        for (int i = 0; i < 8; ++i)
            stab(w.at + c.at + i * 0.5, 0.3, c.chord, 0.9, (i % 2) ? 1.0 : -1.0);
}

// 5 bars: a bouncy chip tune in C major, C G Am F | G/C.
void Song::chip_tune(Window w) {
    level(w, -1.7);
    crash(w.at, 0.9);
    const auto h = progression("C G Am F G/C");
    drums(w.at, 16, "X.....x.X.......", "....X.......X..g", "x..x..x.x..x..x.");
    drums(w.at + 16, 4, "X.......X.X.X...", "....X.....X.X.X.", "x.x.x.x.x.x.x.x.");
    bass_line(w.at, h, "X.o.X.o.X.o.X.o.", ROUND_BASS);
    for (const Harmony& c : h)  // a chord arpeggio in 32nds
        for (int i = 0; i < int(c.len * 8); ++i)
            pluck(w.at + c.at + i * 0.125, 0.12,
                  72 + c.chord.tone(TRIAD[size_t(i) % 3]) - (c.chord.root > 7 ? 12 : 0), 0.45,
                  (i % 2) ? 0.5 : 0.2, CHIP_PLUCK, 0.6);
    play(w.at, melody(THEME_GREET), 0, 0.9, -0.4, CHIP_LEAD);
}

// 5 bars: theme A again, Am F C G, and a bar of E that holds the last note: a half cadence.
void Song::theme_a_again(Window w) {
    level(w, -0.4);
    crash(w.at, 1.0);
    const auto h = progression("Am F C G E");
    drums(w.at, 16, FOUR, BACKBEAT, HATS16);
    bass_line(w.at, h, "X..xo.x.X..xo.x.", ROUND_BASS);
    arp(w.at, h, UP, 0.5);
    pads(w.at, h, 0.7, 0.45);
    play(w.at, melody(THEME_A), 0, 1.0, -0.35, SAW_LEAD);
    play(w.at + 16, melody("G#5:2 B5:2"), 0, 0.9, -0.35, SAW_LEAD);
    roll(w.at + 18, 2, 0.4, 0.9);
}

// 2½ bars: half-time brass stabs, Am | F, then a stop on G with a riser.
void Song::half_time(Window w) {
    level(w, 3.1);
    crash(w.at, 1.0);
    drums(w.at, 8, "X...............", "........X.......", "x...x...x...x...");
    for (const Harmony& c : progression("Am Am/F")) {
        stab(w.at + c.at, 0.9, c.chord, 1.1, 0);
        bass(w.at + c.at, 1.5, bass_key(c.chord), 1.0, FAT_BASS);
    }
    const Chord g = parse_chord("G");
    stab(w.at + 8, 0.5, g, 1.1, 0);
    kick(w.at + 8, 1.0);
    bass(w.at + 8, 0.5, bass_key(g), 1.0, FAT_BASS);
    riser(w.at + 6, 4, 0.8);
}

// 5 bars: the intense part: driving bass, a siren, Am Am F G, and a bar of E with a full roll.
void Song::intense(Window w) {
    level(w, 1.4);
    crash(w.at, 1.1);
    const auto h = progression("Am Am F G");
    drums(w.at, 16, "X.x.X.x.X.x.X.x.", "....X..g.g..X.gg", "xXxXxXxXxXxXxXxX", 1.05);
    bass_line(w.at, h, "XxxxXxxoXxxxXxxo", FAT_BASS);
    for (int i = 0; i < 8; ++i) lead(w.at + 2 * i, 1.0, (i % 2) ? 88 : 84, 0.55, 0.5, SIREN);
    const Chord e = parse_chord("E");
    steps(w.at + 16, 4, "X...X...X...X...", [&](double t, char) { kick(t, 1.0); });
    bass(w.at + 16, 3.5, bass_key(e), 1.0, FAT_BASS);
    pad(w.at + 16, 4, e, 0.9, 0.6, WARM_PAD);
    roll(w.at + 16, 4, 0.4, 1.0);
}

// 7½ bars: the finale, densest and loudest: theme A in octaves over the groove with a wobbling
// bass, Am F C G | F G, then a 6-beat roll on E into the last chord.
void Song::finale(Window w) {
    level(w, -0.3);
    crash(w.at, 1.2);
    const auto h = progression("Am F C G Dm/E Am");
    drums(w.at, 24, FOUR, BACKBEAT, HATS16, 1.05);
    steps(w.at, 24, "..o...o...o...o.", [&](double b, char) { hat(b, 0.5, true); });
    int i = 0;
    for (const Harmony& c : h)
        for (double b = 0; b < c.len - 1e-9; b += 0.25, ++i) {  // a slow filter wobble
            BassPatch p = DRIVING_BASS;
            p.cutoff_hz = 300 + 1400 * (0.5 + 0.5 * std::sin(2 * PI * i / 12.0));
            p.resonance = 0.7;
            bass(w.at + c.at + b, 0.22, bass_key(c.chord) + ((i % 4 == 2) ? 12 : 0), 1.0, p);
        }
    arp(w.at, h, UP, 0.55, 72);
    pads(w.at, h, 0.8, 0.55);
    play(w.at, melody(THEME_A), 12, 0.8, -0.4, SAW_LEAD);
    play(w.at, melody(THEME_A), 0, 0.55, 0.5, PULSE_LEAD);
    play(w.at + 16, melody(THEME_A_CADENCE), 12, 0.8, -0.4, SAW_LEAD);
    play(w.at + 16, melody(THEME_A_CADENCE), 0, 0.55, 0.5, PULSE_LEAD);
    // the roll: E under a 24-step crescendo, the kick on every beat
    const double b = w.at + 24;
    const Chord e = parse_chord("E");
    pad(b, 6, e, 1.0, 0.7, WARM_PAD);
    bass(b, 5.8, bass_key(e), 1.0, DRIVING_BASS);
    steps(b, 6, "X...X...X...X...", [&](double t, char) { kick(t, 1.0); });
    roll(b, 6, 0.4, 1.1);
    riser(b, 6, 1.0);
}

// The end screen: A minor, struck once, left to ring: a pad with a long release, the bass, a
// stab and the lead's A, decaying for the whole tail.
void Song::last_chord(Window w) {
    level(w, 0.4);
    crash(w.at, 1.2);
    kick(w.at, 1.0);
    const Chord am = parse_chord("Am");
    pad(w.at, 1.5, am, 1.3, 0.6, LAST_PAD);
    BassPatch ring = ROUND_BASS;
    ring.env_decay_s = 0.3;
    bass(w.at, 3, bass_key(am), 1.0, ring);
    stab(w.at, 4, am, 1.0, 0);
    LeadPatch last = SAW_LEAD;
    last.release_s = 2.5;
    lead(w.at, 2, 81, 0.7, -0.2, last);
    lead(w.at, 2, 76, 0.5, 0.3, FLUTE);
}

void Song::level(Window w, double gain_db) {
    const long long s = std::max(0LL, at(w.at)), e = std::min((long long)frames_, at(w.end()));
    const float g = float(db(gain_db));
    for (long long i = s; i < e; ++i) fader_[size_t(i)] = g;
}

// The piece's sections, one per schedule entry, by the entry's name.
struct Section {
    const char* entry;
    void (Song::*compose)(Window);
};
const Section SECTIONS[] = {
    {"fade-in", &Song::intro},
    {"falling logos", &Song::logos},
    {"drifting sprites", &Song::groove},
    {"bezier web", &Song::theme_a},
    {"walkers", &Song::walking_break},
    {"reveal worm", &Song::breakdown},
    {"blur", &Song::wash},
    {"oscilloscope", &Song::drop},
    {"walker and oscilloscope", &Song::drop_variation},
    {"plasma", &Song::acid},
    {"level bars and walkers", &Song::stabs},
    {"greetings swing", &Song::chip_tune},
    {"credits", &Song::theme_a_again},
    {"block-letter banner", &Song::half_time},
    {"shaking words", &Song::intense},
    {"wavy caption and sprite trio", &Song::finale},
    {"end screen", &Song::last_chord},
};

// Reverb (parallel combs into series all-passes, slightly different per side), a ping-pong delay
// of a dotted eighth, the dip after the kicks.
void Song::effects() {
    const size_t n = frames_;
    std::vector<float> out_l(n), out_r(n);
    for (int side = 0; side < 2; ++side) {
        const std::vector<float>& in = side ? reverb_.r : reverb_.l;
        std::vector<float>& out = side ? out_r : out_l;
        const int combs[8] = {1116, 1188, 1277, 1356, 1422, 1491, 1557, 1617};
        const int alls[4] = {556, 441, 341, 225};
        const int spread = side ? 23 : 0;
        std::vector<float> acc(n, 0.0f);
        for (int c = 0; c < 8; ++c) {
            const size_t length = size_t(combs[c] + spread);
            std::vector<float> buf(length, 0.0f);
            float store = 0;
            size_t p = 0;
            for (size_t i = 0; i < n; ++i) {
                const float y = buf[p];
                store = y * 0.7f + store * 0.3f;  // damping
                buf[p] = in[i] * 0.015f + store * 0.84f;
                acc[i] += y;
                if (++p == length) p = 0;
            }
        }
        for (int a = 0; a < 4; ++a) {
            const size_t length = size_t(alls[a] + spread);
            std::vector<float> buf(length, 0.0f);
            size_t p = 0;
            for (size_t i = 0; i < n; ++i) {
                const float b = buf[p], y = -acc[i] + b;
                buf[p] = acc[i] + b * 0.5f;
                acc[i] = y;
                if (++p == length) p = 0;
            }
        }
        DcBlocker dc;
        for (size_t i = 0; i < n; ++i) out[i] = float(dc.run(acc[i] * 2.0f));
    }
    const size_t d = size_t(0.375 * SR);  // a dotted eighth
    std::vector<float> dl(n, 0.0f), dr(n, 0.0f);
    for (size_t i = d; i < n; ++i) {  // each side's echo comes back on the other side
        dl[i] = delay_.r[i - d] * 0.55f + dr[i - d] * 0.4f;
        dr[i] = delay_.l[i - d] * 0.55f + dl[i - d] * 0.4f;
    }
    for (size_t i = 0; i < n; ++i) {
        dry_.l[i] += duck_.l[i] * pump_[i] + out_l[i] + dl[i] * 0.6f;
        dry_.r[i] += duck_.r[i] * pump_[i] + out_r[i] + dr[i] * 0.6f;
    }
}

// ---- the master -------------------------------------------------------------------------------

// The equaliser's bands and the fixed gain before the limiter.
constexpr double MASTER_HIGHPASS_HZ = 25;
constexpr double LOW_SHELF_HZ = 150, LOW_SHELF_DB = -3.0;
constexpr double LOW_MID_HZ = 500, LOW_MID_Q = 0.9, LOW_MID_DB = -2.5;
constexpr double PRESENCE_HZ = 3500, PRESENCE_Q = 0.8, PRESENCE_DB = 5.0;
constexpr double HIGH_SHELF_HZ = 6000, HIGH_SHELF_DB = 7.5;
constexpr double MASTER_GAIN_DB = -1.3;
constexpr double CEILING_DBTP =
    -3.5;  // the limiter's true-peak ceiling (the encoder adds a little)
constexpr double LOOKAHEAD_S = 0.0015;  // the limiter reaches its gain this early ...
constexpr double RELEASE_S = 0.12;      // ... and lets go with this time constant

// A windowed-sinc interpolator: the three in-between points of a 4x oversampling.
struct Oversampler {
    static constexpr int TAPS = 16;  // per phase
    double h[3][TAPS];
    Oversampler() {
        for (int p = 0; p < 3; ++p)
            for (int k = 0; k < TAPS; ++k) {
                const double x = (k - TAPS / 2 + 1) - (p + 1) / 4.0;  // distance from the point
                const double sinc = std::sin(PI * x) / (PI * x);
                const double wdw = 0.5 + 0.5 * std::cos(PI * x / (TAPS / 2));
                h[p][k] = sinc * wdw;
            }
    }
    // The highest magnitude among x[i] and the points between x[i] and x[i + 1].
    double peak(const std::vector<float>& x, size_t i) const {
        double m = std::fabs(x[i]);
        if (i + TAPS / 2 >= x.size() || i < TAPS / 2) return m;
        for (int p = 0; p < 3; ++p) {
            double v = 0;
            for (int k = 0; k < TAPS; ++k) v += h[p][k] * x[i + size_t(k) - TAPS / 2 + 1];
            m = std::max(m, std::fabs(v));
        }
        return m;
    }
};

void Song::master(std::vector<float>& l, std::vector<float>& r) {
    const size_t n = l.size();
    for (int side = 0; side < 2; ++side) {
        std::vector<float>& x = side ? r : l;
        Biquad hp = Biquad::highpass(MASTER_HIGHPASS_HZ, 0.7),
               low = Biquad::shelf(false, LOW_SHELF_HZ, LOW_SHELF_DB),
               low_mid = Biquad::peak(LOW_MID_HZ, LOW_MID_Q, LOW_MID_DB),
               mid = Biquad::peak(PRESENCE_HZ, PRESENCE_Q, PRESENCE_DB),
               high = Biquad::shelf(true, HIGH_SHELF_HZ, HIGH_SHELF_DB);
        const double gain = db(MASTER_GAIN_DB);
        for (size_t i = 0; i < n; ++i)
            x[i] = float(high.run(mid.run(low_mid.run(low.run(hp.run(x[i]))))) * gain * fader_[i]);
    }
    // The limiter's gain: what each sample's true peak allows, the lowest of the next LOOKAHEAD
    // samples, released slowly, then averaged over LOOKAHEAD samples so that it ramps down in time.
    const Oversampler os;
    const double ceiling = db(CEILING_DBTP);
    const size_t look = size_t(LOOKAHEAD_S * SR);
    std::vector<float> allowed(n);
    for (size_t i = 0; i < n; ++i) {
        const double p = std::max(os.peak(l, i), os.peak(r, i));
        allowed[i] = float(p > ceiling ? ceiling / p : 1.0);
    }
    std::vector<float> held(n);
    for (size_t i = 0; i < n; ++i) {  // the lowest of allowed[i .. i + look - 1], released
        float m = 1.0f;
        for (size_t k = 0; k < look && i + k < n; ++k) m = std::min(m, allowed[i + k]);
        held[i] = m;
    }
    const float release = float(1.0 - std::exp(-1.0 / (RELEASE_S * SR)));
    for (size_t i = 1; i < n; ++i)
        held[i] = std::min(held[i], held[i - 1] + (1.0f - held[i - 1]) * release);
    double sum = 0;
    std::vector<float> gain(n);
    for (size_t i = 0; i < n; ++i) {  // the mean of held[i - look + 1 .. i]: never above allowed[i]
        sum += held[i];
        if (i >= look) sum -= held[i - look];
        const size_t count = std::min(i + 1, look);
        gain[i] = float(sum / double(count));
    }
    for (size_t i = 0; i < n; ++i) {
        l[i] *= gain[i];
        r[i] *= gain[i];
    }
}

std::vector<int16_t> Song::render() {
    const std::string why = check_sections(schedule_entry_names(), music_section_names());
    if (!why.empty()) throw std::runtime_error("the music does not follow the schedule: " + why);
    for (const Section& s : SECTIONS) {
        const int n = schedule_index(s.entry);
        const double at = schedule_start_ms[n] / 1000.0 / BEAT_S;
        const double end = n + 1 < SCHEDULE_SIZE ? schedule_start_ms[n + 1] / 1000.0 / BEAT_S
                                                 : (TIMELINE_MS + END_TAIL_MS) / 1000.0 / BEAT_S;
        (this->*s.compose)(Window{at, end - at});
    }
    effects();
    master(dry_.l, dry_.r);
    // the very end: the last half second fades to silence, whatever is still ringing
    const size_t n = frames_, fade = size_t(SR / 2);
    for (size_t i = n - fade; i < n; ++i) {
        const float g = float(n - i) / float(fade);
        dry_.l[i] *= g;
        dry_.r[i] *= g;
    }
    std::vector<int16_t> pcm(n * 2);
    for (size_t i = 0; i < n; ++i) {
        pcm[i * 2] = int16_t(std::lround(std::max(-1.0f, std::min(1.0f, dry_.l[i])) * 32767.0f));
        pcm[i * 2 + 1] =
            int16_t(std::lround(std::max(-1.0f, std::min(1.0f, dry_.r[i])) * 32767.0f));
    }
    return pcm;
}

}  // namespace

long long track_frames() { return (static_cast<long long>(TIMELINE_MS) + END_TAIL_MS) * SR / 1000; }

std::vector<std::string> music_section_names() {
    std::vector<std::string> names;
    for (const Section& s : SECTIONS) names.push_back(s.entry);
    return names;
}

std::vector<std::string> schedule_entry_names() {
    std::vector<std::string> names;
    for (const ScheduleEntry& e : schedule) names.push_back(e.name);
    return names;
}

std::string check_sections(const std::vector<std::string>& entries,
                           const std::vector<std::string>& sections) {
    for (const std::string& s : sections) {
        if (std::count(sections.begin(), sections.end(), s) > 1)
            return "two sections for the entry \"" + s + "\"";
        if (std::find(entries.begin(), entries.end(), s) == entries.end())
            return "the section \"" + s + "\" names no schedule entry";
    }
    for (const std::string& e : entries)
        if (std::find(sections.begin(), sections.end(), e) == sections.end())
            return "the entry \"" + e + "\" has no section";
    for (size_t i = 0; i < entries.size(); ++i)
        if (sections[i] != entries[i])
            return "the section \"" + sections[i] +
                   "\" is out of the schedule's order (its entry is \"" + entries[i] + "\")";
    return "";
}

std::vector<int16_t> render_track() { return Song().render(); }

std::uint64_t pcm_fingerprint(const std::vector<int16_t>& pcm) {
    std::uint64_t hash = 14695981039346656037ull;
    for (int16_t s : pcm) {
        const uint16_t u = uint16_t(s);
        for (int b = 0; b < 2; ++b) {
            hash ^= (u >> (8 * b)) & 0xFF;
            hash *= 1099511628211ull;
        }
    }
    return hash;
}

}  // namespace mg

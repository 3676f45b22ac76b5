// The soundtrack: an original synth piece at 120 BPM, A minor, 165 s, rendered sample by sample
// from oscillators, filters and noise. It follows the demo's timeline (src/shell/schedule.h):
// one section per schedule entry, starting on the entry's bound and lasting until the next one
// (the last to the end of the track), usually marked by a crash and a kick. One beat is 0.5 s and
// every bound is a whole number of beats. Section by section (Song::compose): intro with a pad
// swell, an arpeggio opening up and a riser (fade-in); kick and bass under the pad (falling
// logos); the full groove (drifting sprites); melody A (Bezier web); a walking bass break with
// claps (walkers); dark drone, toms and a slow eerie line (reveal worm); a wash of held pad, riser
// and snare roll (blur); the drop, driving bass and melody B (oscilloscope); its variation with
// melody B an octave up (walker and scope); acid bass (plasma); hard left/right stabs (level
// bars); a bouncy major-key chip tune (greetings); melody A again (credits); half-time brass
// stabs (banner); intense bass, snare rolls and a siren (shaking words); the finale with a filter
// wobble (wavy caption); the last chord ringing out (end screen).
//
// Stereo: hats and claps lean right, snare and lead left, the arpeggio ping-pongs, the pad's
// voices are detuned differently on each side and the delay answers from the other side.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <vector>

#include "art.h"
#include "shell/schedule.h"

namespace mg {

namespace {

constexpr double PI = 3.14159265358979323846;
constexpr double BEAT = 0.5;           // seconds per beat at 120 BPM
constexpr double LENGTH_S = 165.0;     // the track's length
constexpr int SR = SAMPLE_RATE;

// The beats of schedule entry n: from its bound to the next one's, the last to the track's end.
struct Section {
    double at, beats, end;  // beats
};
Section section(int n) {
    const double at = schedule_start_ms[n] / 1000.0 / BEAT;
    const double end = n + 1 < SCHEDULE_SIZE ? schedule_start_ms[n + 1] / 1000.0 / BEAT : LENGTH_S / BEAT;
    return {at, end - at, end};
}

double mtof(double note) { return 440.0 * std::pow(2.0, (note - 69.0) / 12.0); }

// Deterministic white noise.
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
    double phase = 0;
    double saw(double f) {
        double dt = f / SR, v = 2.0 * phase - 1.0 - poly_blep(phase, dt);
        phase += dt;
        if (phase >= 1) phase -= 1;
        return v;
    }
    double pulse(double f, double width) {
        double dt = f / SR;
        double v = phase < width ? 1.0 : -1.0;
        v += poly_blep(phase, dt);
        double t2 = phase + (1.0 - width);
        if (t2 >= 1) t2 -= 1;
        v -= poly_blep(t2, dt);
        phase += dt;
        if (phase >= 1) phase -= 1;
        return v;
    }
    double sine(double f) {
        double v = std::sin(2 * PI * phase);
        phase += f / SR;
        if (phase >= 1) phase -= 1;
        return v;
    }
    double tri(double f) {
        double v = phase < 0.5 ? 4 * phase - 1 : 3 - 4 * phase;
        phase += f / SR;
        if (phase >= 1) phase -= 1;
        return v;
    }
};

// State-variable filter (trapezoidal): low-pass and high-pass outputs, cutoff in Hz, res 0..~0.95.
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

struct Bus {
    std::vector<float> l, r;
    explicit Bus(size_t n) : l(n), r(n) {}
};

struct Chord {
    int root;   // pitch class, 0 = C
    bool minor;
    int tone(int i) const {  // chord tone i (0 root, 1 third, 2 fifth, 3 octave, ...)
        static const int minor_steps[3] = {0, 3, 7}, major_steps[3] = {0, 4, 7};
        return root + (i / 3) * 12 + (minor ? minor_steps[i % 3] : major_steps[i % 3]);
    }
};

const Chord Am{9, true}, Dm{2, true}, Em{4, true}, F{5, false}, C{0, false}, G{7, false}, E{4, false};

// A note of a melody: start and length in 16th notes, MIDI number.
struct Note {
    int at, len, key;
};

// Melody A: the main theme, over Am F C G (64 16ths).
const std::vector<Note> THEME_A = {
    {0, 3, 69},  {3, 3, 72},  {6, 2, 76},  {8, 4, 81},  {12, 2, 79}, {14, 2, 76}, {16, 3, 77}, {19, 3, 76},
    {22, 2, 72}, {24, 4, 69}, {28, 2, 72}, {30, 2, 74}, {32, 3, 76}, {35, 3, 79}, {38, 2, 84}, {40, 2, 83},
    {42, 2, 79}, {44, 4, 76}, {48, 3, 74}, {51, 3, 71}, {54, 2, 67}, {56, 4, 74}, {60, 4, 76}};
// Melody B: the drop's busier line, same chords.
const std::vector<Note> THEME_B = {
    {0, 2, 81},  {2, 1, 81},  {3, 1, 79},  {4, 2, 81},  {6, 2, 84},  {8, 2, 83},  {10, 2, 81}, {12, 2, 79},
    {14, 2, 76}, {16, 2, 77}, {18, 1, 77}, {19, 1, 76}, {20, 2, 77}, {22, 2, 81}, {24, 2, 79}, {26, 2, 77},
    {28, 2, 76}, {30, 2, 72}, {32, 2, 76}, {34, 1, 76}, {35, 1, 74}, {36, 2, 76}, {38, 2, 79}, {40, 3, 84},
    {43, 1, 83}, {44, 4, 79}, {48, 2, 83}, {50, 2, 81}, {52, 2, 79}, {54, 2, 74}, {56, 3, 79}, {59, 1, 81},
    {60, 4, 83}};
// The greetings tune, over C G Am F.
const std::vector<Note> THEME_GREET = {
    {0, 2, 72},  {2, 2, 76},  {4, 2, 79},  {6, 1, 76},  {7, 1, 79},  {8, 4, 84},  {12, 4, 79}, {16, 2, 71},
    {18, 2, 74}, {20, 2, 79}, {22, 1, 74}, {23, 1, 79}, {24, 4, 83}, {28, 2, 81}, {30, 2, 79}, {32, 2, 69},
    {34, 2, 72}, {36, 2, 76}, {38, 2, 81}, {40, 2, 79}, {42, 2, 76}, {44, 4, 72}, {48, 2, 77}, {50, 2, 76},
    {52, 2, 74}, {54, 2, 72}, {56, 4, 74}, {60, 4, 67}};
// The dark section's slow line, over Am Dm F E.
const std::vector<Note> THEME_DARK = {{0, 12, 76}, {12, 4, 72}, {16, 12, 77}, {28, 4, 74},
                                      {32, 8, 81}, {40, 8, 79}, {48, 16, 80}};

class Song {
public:
    Song() : frames_(size_t(LENGTH_S * SR)), dry_(frames_), duck_(frames_), reverb_(frames_), delay_(frames_),
             pump_(frames_, 1.0f) {}

    std::vector<int16_t> render();

private:
    size_t frames_;
    Bus dry_, duck_, reverb_, delay_;  // direct, ducked under the kick, and the two effect sends
    std::vector<float> pump_;          // gain of the ducked bus: dips after every kick
    uint32_t noise_seed_ = 1;

    static size_t at(double beat) { return size_t(std::llround(beat * BEAT * SR)); }

    // Adds one sample to the buses, panned (-1 left .. 1 right, constant power).
    void put(size_t i, double v, double pan, bool ducked, double rev, double dly) {
        if (i >= frames_) return;
        double a = (pan + 1) * PI / 4, gl = std::cos(a) * 1.4142, gr = std::sin(a) * 1.4142;
        Bus& b = ducked ? duck_ : dry_;
        b.l[i] += float(v * gl);
        b.r[i] += float(v * gr);
        if (rev > 0) {
            reverb_.l[i] += float(v * gl * rev);
            reverb_.r[i] += float(v * gr * rev);
        }
        if (dly > 0) {
            delay_.l[i] += float(v * gl * dly);
            delay_.r[i] += float(v * gr * dly);
        }
    }

    // ---- drums ----
    void kick(double beat, double vel) {
        size_t s = at(beat), n = size_t(0.45 * SR);
        Osc o;
        for (size_t k = 0; k < n; ++k) {
            double t = double(k) / SR;
            double f = 44 + 110 * std::exp(-t * 28);
            double v = o.sine(f) * std::exp(-t * 7.5) + (k < 90 ? 0.25 * (1 - k / 90.0) : 0.0);
            put(s + k, std::tanh(v * 1.6) * vel * 0.55, 0, false, 0, 0);
        }
        for (size_t k = 0; k < size_t(0.25 * SR) && s + k < frames_; ++k) {  // side-chain dip
            float g = float(1.0 - 0.55 * std::exp(-double(k) / SR * 9));
            pump_[s + k] = std::min(pump_[s + k], g);
        }
    }
    void snare(double beat, double vel, double pan = -0.3) {
        size_t s = at(beat), n = size_t(0.3 * SR);
        Noise nz(noise_seed_++);
        Osc o;
        Svf f;
        for (size_t k = 0; k < n; ++k) {
            double t = double(k) / SR;
            f.run(nz.next(), 5200, 0.2);
            double v = f.lp * std::exp(-t * 16) * 0.8 + o.sine(185 * (1 + 0.4 * std::exp(-t * 40))) * std::exp(-t * 28) * 0.6;
            put(s + k, v * vel * 0.42, pan, false, 0.12, 0);
        }
    }
    void clap(double beat, double vel) {
        size_t s = at(beat), n = size_t(0.25 * SR);
        Noise nz(noise_seed_++);
        Svf f;
        for (size_t k = 0; k < n; ++k) {
            double t = double(k) / SR;
            f.run(nz.next(), 1400, 0.55);
            double env = std::exp(-std::fmod(t, 0.011) * 180) * (t < 0.033 ? 1.0 : 0.0) + (t >= 0.033 ? std::exp(-(t - 0.033) * 22) : 0.0);
            put(s + k, f.bp * env * vel * 0.9, 0.55, false, 0.2, 0);
        }
    }
    void hat(double beat, double vel, bool open) {
        size_t s = at(beat), n = size_t((open ? 0.3 : 0.06) * SR);
        Noise nz(noise_seed_++);
        Svf f;
        for (size_t k = 0; k < n; ++k) {
            double t = double(k) / SR;
            f.run(nz.next(), 8000, 0.3);
            put(s + k, f.hp * std::exp(-t * (open ? 11 : 70)) * vel * 0.3, 0.7, false, 0.05, 0);
        }
    }
    void crash(double beat, double vel) {
        size_t s = at(beat), n = size_t(1.8 * SR);
        Noise nl(noise_seed_++), nr(noise_seed_++);
        Svf fl, fr;
        for (size_t k = 0; k < n; ++k) {
            double t = double(k) / SR, env = std::exp(-t * 2.6) * vel * 0.24;
            fl.run(nl.next(), 6500, 0.2);
            fr.run(nr.next(), 6500, 0.2);
            if (s + k >= frames_) break;
            dry_.l[s + k] += float(fl.hp * env);
            dry_.r[s + k] += float(fr.hp * env);
        }
    }
    void tom(double beat, int key, double vel, double pan) {
        size_t s = at(beat), n = size_t(0.5 * SR);
        Osc o;
        for (size_t k = 0; k < n; ++k) {
            double t = double(k) / SR;
            double v = o.sine(mtof(key) * (1 + 0.5 * std::exp(-t * 18))) * std::exp(-t * 6);
            put(s + k, v * vel * 0.5, pan, false, 0.3, 0);
        }
    }

    // ---- pitched ----
    // Saw bass through a resonant low-pass whose cutoff jumps up by `env` at the note start.
    void bass(double beat, double len, int key, double vel, double cutoff, double env, double res, double drive = 1.0,
              double glide_from = 0) {
        size_t s = at(beat), n = size_t(len * BEAT * SR), rel = size_t(0.01 * SR);
        Osc a, b;
        Svf f;
        for (size_t k = 0; k < n + rel; ++k) {
            double t = double(k) / SR;
            double note = glide_from > 0 && t < 0.06 ? glide_from + (key - glide_from) * t / 0.06 : key;
            double fr = mtof(note);
            double v = a.saw(fr) * 0.7 + b.pulse(fr * 0.5, 0.5) * 0.45;
            f.run(v, cutoff + env * std::exp(-t * 14), res);
            double amp = k < 40 ? k / 40.0 : (k < n ? 1.0 : 1.0 - double(k - n) / rel);
            put(s + k, std::tanh(f.lp * drive) / std::max(1.0, drive * 0.6) * amp * vel * 0.42, 0, true, 0, 0);
        }
    }
    // Lead: pulse with slow pulse-width sweep and delayed vibrato. wave 0 pulse, 1 saw, 2 sine.
    void lead(double beat, double len, int key, double vel, double pan, int wave = 0, double dly = 0.3) {
        size_t s = at(beat), n = size_t(len * BEAT * SR), rel = size_t(0.12 * SR);
        Osc o, o2;
        Svf f;
        for (size_t k = 0; k < n + rel; ++k) {
            double t = double(k) / SR;
            double vib = t > 0.15 ? 0.18 * std::sin(2 * PI * 5.5 * t) * std::min(1.0, (t - 0.15) * 4) : 0.0;
            double fr = mtof(key + vib);
            double v = wave == 0 ? o.pulse(fr, 0.3 + 0.15 * std::sin(2 * PI * 0.7 * t)) * 0.6
                     : wave == 1 ? o.saw(fr) * 0.5 + o2.saw(fr * 1.006) * 0.4
                                 : o.sine(fr) * 0.9 + o2.sine(fr * 2) * 0.15;
            f.run(v, 2600 + 2400 * std::exp(-t * 6), 0.2);
            double amp = (k < 200 ? k / 200.0 : 1.0) * (k < n ? 1.0 - 0.25 * std::min(1.0, t * 2) : (1.0 - 0.25) * (1.0 - double(k - n) / rel));
            put(s + k, f.lp * amp * vel * 0.3, pan, false, 0.15, dly);
        }
    }
    // Short square pluck for arpeggios and chip runs.
    void pluck(double beat, double len, int key, double vel, double pan, double bright = 1.0) {
        size_t s = at(beat), n = size_t(len * BEAT * SR);
        Osc o;
        Svf f;
        for (size_t k = 0; k < n; ++k) {
            double t = double(k) / SR;
            f.run(o.pulse(mtof(key), 0.25), 900 + 5000 * bright * std::exp(-t * 18), 0.3);
            double amp = std::exp(-t * 9) * (k < 30 ? k / 30.0 : 1.0) * (k + 200 > n ? double(n - k) / 200.0 : 1.0);
            put(s + k, f.lp * amp * vel * 0.2, pan, true, 0.1, 0.25);
        }
    }
    // Pad: three detuned saws per chord tone, each side detuned its own way; slow attack.
    void pad(double beat, double len, Chord c, double vel, double bright, double attack = 0.4) {
        size_t s = at(beat), n = size_t(len * BEAT * SR), rel = size_t(0.6 * SR);
        for (int tone = 0; tone < 4; ++tone) {
            int key = 48 + c.tone(tone) + (c.root > 4 ? -12 : 0) + 12;
            for (int side = 0; side < 2; ++side) {
                Osc o[3];
                for (int v = 0; v < 3; ++v) o[v].phase = hash01(uint64_t(key), uint64_t(side), uint64_t(v));
                Svf f;
                for (size_t k = 0; k < n + rel; ++k) {
                    double t = double(k) / SR, fr = mtof(key);
                    double d = side ? 0.0045 : 0.0065;
                    double v = o[0].saw(fr * (1 - d)) + o[1].saw(fr) + o[2].saw(fr * (1 + d));
                    f.run(v, 500 + 2200 * bright, 0.1);
                    double amp = std::min(1.0, t / attack) * (k < n ? 1.0 : 1.0 - double(k - n) / rel);
                    size_t i = s + k;
                    if (i >= frames_) break;
                    float out = float(f.lp * amp * vel * 0.028);
                    (side ? duck_.r : duck_.l)[i] += out;
                    (side ? reverb_.r : reverb_.l)[i] += out * 0.5f;
                }
            }
        }
    }
    // Brass-like stab: a chord of filtered saws with a short envelope.
    void stab(double beat, double len, Chord c, double vel, double pan) {
        size_t s = at(beat), n = size_t(len * BEAT * SR);
        for (int tone = 0; tone < 3; ++tone) {
            int key = 60 + c.tone(tone) - (c.root > 7 ? 12 : 0);
            Osc o, o2;
            Svf f;
            for (size_t k = 0; k < n; ++k) {
                double t = double(k) / SR;
                double v = o.saw(mtof(key)) + o2.saw(mtof(key) * 1.005);
                f.run(v, 600 + 4000 * std::exp(-t * 10), 0.25);
                double amp = std::exp(-t * 5) * (k < 80 ? k / 80.0 : 1.0) * (k + 300 > n ? double(n - k) / 300.0 : 1.0);
                put(s + k, f.lp * amp * vel * 0.11, pan, false, 0.25, 0.15);
            }
        }
    }
    // Noise sweeping up over `len` beats.
    void riser(double beat, double len, double vel) {
        size_t s = at(beat), n = size_t(len * BEAT * SR);
        Noise nl(noise_seed_++), nr(noise_seed_++);
        Svf fl, fr;
        for (size_t k = 0; k < n && s + k < frames_; ++k) {
            double x = double(k) / n;
            double cut = 300 * std::pow(40.0, x);
            fl.run(nl.next(), cut, 0.6);
            fr.run(nr.next(), cut * 1.07, 0.6);
            double amp = x * x * vel * 0.3;
            dry_.l[s + k] += float(fl.bp * amp);
            dry_.r[s + k] += float(fr.bp * amp);
        }
    }

    // ---- patterns ----
    // Calls fn(beat, symbol) for every non-'.' step of a 16th-note pattern repeated over `beats`.
    static void steps(double b0, double beats, const char* pattern, const std::function<void(double, char)>& fn) {
        size_t len = std::char_traits<char>::length(pattern);
        for (int i = 0; i < int(beats * 4); ++i) {
            char c = pattern[size_t(i) % len];
            if (c != '.') fn(b0 + i * 0.25, c);
        }
    }
    void drums(double b0, double beats, const char* k, const char* sn, const char* h, double vel = 1.0) {
        steps(b0, beats, k, [&](double b, char c) { kick(b, (c == 'X' ? 1.0 : 0.8) * vel); });
        steps(b0, beats, sn, [&](double b, char c) {
            if (c == 'c') clap(b, vel);
            else snare(b, (c == 'X' ? 1.0 : c == 'g' ? 0.35 : 0.8) * vel);
        });
        steps(b0, beats, h, [&](double b, char c) { hat(b, (c == 'X' || c == 'O' ? 1.0 : 0.55) * vel, c == 'o' || c == 'O'); });
    }
    // Chords of `per` beats each, cycling through `prog` from b0 for `beats`.
    static void chords(double b0, double beats, double per, const std::vector<Chord>& prog,
                       const std::function<void(double, double, Chord)>& fn) {
        int n = 0;
        for (double b = 0; b < beats - 1e-9; b += per, ++n) fn(b0 + b, std::min(per, beats - b), prog[size_t(n) % prog.size()]);
    }
    // A melody of 64 16ths repeated from b0 for `beats`; notes cut at the end.
    static void melody(double b0, double beats, const std::vector<Note>& m, int transpose,
                       const std::function<void(double, double, int)>& fn) {
        for (int rep = 0; rep * 16 < beats; ++rep)
            for (const Note& n : m) {
                double b = rep * 16 + n.at * 0.25;
                if (b >= beats) continue;
                fn(b0 + b, std::min(n.len * 0.25, beats - b), n.key + transpose);
            }
    }
    static int bass_key(Chord c) { return 33 + (c.root - 9 + 12) % 12; }

    void bass_line(double b0, double beats, double per, const std::vector<Chord>& prog, const char* pattern,
                   double cutoff, double env, double res, double drive = 1.0, double vel = 1.0) {
        chords(b0, beats, per, prog, [&](double cb, double len, Chord c) {
            steps(cb, len, pattern, [&](double b, char s) {
                int key = bass_key(c) + (s == 'o' ? 12 : s == '5' ? 7 : 0);
                bass(b, s == 'L' ? 0.9 : 0.22, key, vel * (s == 'X' ? 1.0 : 0.85), cutoff, env, res, drive);
            });
        });
    }
    void arp(double b0, double beats, double per, const std::vector<Chord>& prog, const int* order, int order_len,
             double vel, int base = 60, double rate = 0.25) {
        chords(b0, beats, per, prog, [&](double cb, double len, Chord c) {
            int i = 0;
            for (double b = 0; b < len - 1e-9; b += rate, ++i) {
                int key = base + c.tone(order[i % order_len]) - (c.root > 7 ? 12 : 0);
                pluck(cb + b, rate * 0.95, key, vel, (i % 2) ? 0.85 : -0.85);
            }
        });
    }

    void compose();
    void effects();
};

void Song::compose() {
    const std::vector<Chord> main{Am, F, C, G}, greet{C, G, Am, F}, dark{Am, Dm, F, E}, walk{Dm, Em, Am},
        drop2{F, G, Am, Am};
    static const int up[8] = {0, 1, 2, 3, 4, 5, 3, 2};
    static const int updown[6] = {0, 2, 4, 5, 4, 2};
    static const int chip[4] = {0, 1, 2, 3};
    const char* four = "X...x...x...x...";
    const char* backbeat = "....X.......X...";
    const char* hats16 = "x.x.X.x.x.x.X.x.";
    const char* offhats = "..o...o...o...o.";

    // entry 0: intro
    {
        const Section s = section(0);
        chords(s.at, s.beats, 4, {Am, F, C}, [&](double b, double len, Chord c) { pad(b, len, c, 0.8, 0.15 + b * 0.03, 1.5); });
        for (int i = 0; i < 40; ++i) {  // the arpeggio opens up: brighter and louder step by step
            Chord c = i < 16 ? Am : i < 32 ? F : C;
            pluck(i * 0.25, 0.24, 60 + c.tone(up[i % 8]) - (c.root > 7 ? 12 : 0), 0.3 + 0.6 * i / 40.0, (i % 2) ? 0.6 : -0.6,
                  0.1 + 0.9 * i / 40.0);
        }
        riser(s.at + 4, 6, 0.9);
    }

    // entry 1: kick and bass
    {
        const Section s = section(1);
        crash(s.at, 0.8);
        drums(s.at, s.beats, four, "................", "................");
        bass_line(s.at, s.beats, 4, main, "X.x.X.x.X.x.X.x.", 320, 900, 0.5);
        chords(s.at, s.beats, 4, main, [&](double b, double len, Chord c) { pad(b, len, c, 0.9, 0.35); });
        steps(s.end - 2, 2, "..x.x.x.X.X.XXXX", [&](double b, char) { snare(b, 0.5 + (b - (s.end - 2)) * 0.25); });
    }

    // entry 2: full groove
    {
        const Section s = section(2);
        crash(s.at, 1.0);
        drums(s.at, s.beats, four, backbeat, hats16);
        bass_line(s.at, s.beats, 4, main, "X..xo.x.X..xo.x.", 380, 1500, 0.55);
        arp(s.at, s.beats, 4, main, up, 8, 0.7);
        chords(s.at, s.beats, 4, main, [&](double b, double len, Chord c) { pad(b, len, c, 0.7, 0.4); });
    }

    // entry 3: melody A over the groove
    {
        const Section s = section(3);
        crash(s.at, 1.0);
        drums(s.at, s.beats, four, backbeat, hats16);
        bass_line(s.at, s.beats, 4, main, "X..xo.x.X..xo.x.", 400, 1600, 0.55);
        chords(s.at, s.beats, 4, main, [&](double b, double len, Chord c) { pad(b, len, c, 0.8, 0.45); });
        melody(s.at, s.beats, THEME_A, 0, [&](double b, double len, int key) { lead(b, len, key, 1.0, -0.4); });
        steps(s.end - 2, 2, "x.x.x.x.XxXxXXXX", [&](double b, char) { snare(b, 0.6 + (b - (s.end - 2)) * 0.2); });
    }

    // entry 4: walking break
    {
        const Section s = section(4);
        crash(s.at, 0.7);
        drums(s.at, s.beats, "X.......x.......", "....c.......c...", "x.xxx.xxx.xxx.xx", 0.9);
        chords(s.at, s.beats, 4, walk, [&](double cb, double, Chord c) {
            const int walk_steps[4] = {0, 1, 2, 3};
            for (int q = 0; q < 4; ++q) {
                int key = bass_key(c) + 12 + (c.tone(walk_steps[q]) - c.root);
                bass(cb + q, 0.45, key, 1.0, 700, 1800, 0.35);
            }
            stab(cb + 1.5, 0.4, c, 0.6, 0.5);
            stab(cb + 3.5, 0.4, c, 0.5, -0.5);
        });
    }

    // entry 5: dark
    {
        const Section s = section(5);
        crash(s.at, 0.6);
        chords(s.at, s.beats, 4, dark, [&](double b, double len, Chord c) {
            pad(b, len, c, 1.1, 0.05, 0.8);
            bass(b, len - 0.1, bass_key(c), 0.9, 160, 200, 0.2);
        });
        steps(s.at, s.beats, "X.......X.......", [&](double b, char) { kick(b, 0.9); });
        steps(s.at, s.beats, "......t.......t.", [&](double b, char) { tom(b, 45, 0.8, -0.4); });
        steps(s.at, s.beats, "...............t", [&](double b, char) { tom(b, 40, 0.8, 0.4); });
        melody(s.at, s.beats, THEME_DARK, 0, [&](double b, double len, int key) { lead(b, len, key, 1.1, 0.4, 2, 0.45); });
    }

    // entry 6: wash
    {
        const Section s = section(6);
        crash(s.at, 0.8);
        tom(s.at, 33, 1.0, 0);
        chords(s.at, s.beats, 4, {Am, F, G}, [&](double b, double len, Chord c) { pad(b, len, c, 1.1, 0.6, 1.0); });
        riser(s.at, s.beats, 1.3);
        steps(s.at + 4, 6, "x...x...x...x...x.x.x.x.x.x.x.x.xxxxxxxx", [&](double b, char) { snare(b, 0.35 + (b - (s.at + 4)) * 0.11); });
        bass(s.at, s.beats, bass_key(Am), 0.8, 120, 100, 0.1);
    }

    // entry 7: the drop
    {
        const Section s = section(7);
        crash(s.at, 1.2);
        drums(s.at, s.beats, four, backbeat, hats16, 1.05);
        bass_line(s.at, s.beats, 4, main, "XxoxXxoxXxoxXxox", 450, 2600, 0.65, 1.8);
        chords(s.at, s.beats, 4, main, [&](double b, double len, Chord c) { pad(b, len, c, 0.7, 0.5); });
        melody(s.at, s.beats, THEME_B, 0, [&](double b, double len, int key) { lead(b, len, key, 1.0, -0.4, 1); });
        steps(s.end - 2, 2, "X.X.X.X.XXXXXXXX", [&](double b, char) { snare(b, 0.6 + (b - (s.end - 2)) * 0.2); });
    }

    // entry 8: drop variation
    {
        const Section s = section(8);
        crash(s.at, 1.2);
        drums(s.at, s.beats, four, backbeat, "x.X.x.X.x.X.xxX.", 1.05);
        bass_line(s.at, s.beats, 4, drop2, "XxoxXxoxXxoxXxox", 500, 2600, 0.65, 1.8);
        arp(s.at, s.beats, 4, drop2, updown, 6, 0.6, 72);
        melody(s.at, s.beats, THEME_B, 12, [&](double b, double len, int key) { lead(b, len, key, 0.8, 0.45, 0); });
        steps(s.end - 2, 2, "XxXxXxXxXXXXXXXX", [&](double b, char) { snare(b, 0.5 + (b - (s.end - 2)) * 0.25); });
    }

    // entry 9: acid
    {
        const Section s = section(9);
        crash(s.at, 1.0);
        drums(s.at, s.beats, four, "....c.......c...", offhats);
        {
            const int acid[16] = {0, 0, 12, 0, 3, 0, 15, 0, 7, 0, 10, 12, 0, 5, 0, 3};
            for (int i = 0; i < 80; ++i) {
                double b = s.at + i * 0.25, sweep = 0.5 - 0.5 * std::cos(2 * PI * i / 40.0);
                int key = 45 + acid[i % 16];
                bool accent = i % 16 == 0 || i % 16 == 6 || i % 16 == 11;
                bass(b, 0.24, key, accent ? 1.0 : 0.8, 250 + 1600 * sweep, accent ? 2500 : 1200, 0.88, 2.5,
                     i % 8 == 3 ? key - 12 : 0);
            }
        }
        chords(s.at, s.beats, 8, {Am, Dm}, [&](double b, double len, Chord c) { pad(b, len, c, 0.6, 0.2, 1.0); });
    }

    // entry 10: hard left/right stabs
    {
        const Section s = section(10);
        crash(s.at, 1.2);
        drums(s.at, s.beats, "X.x.X...X.x.X...", "....X..x....X...", "XxXxXxXxXxXxXxXx", 1.1);
        bass_line(s.at, s.beats, 4, {Am, F, G}, "X.X.o.X.X.X.o.X.", 500, 2400, 0.6, 2.0);
        chords(s.at, s.beats, 4, {Am, F, G}, [&](double cb, double, Chord c) {
            for (int i = 0; i < 8; ++i) stab(cb + i * 0.5, 0.3, c, 0.9, (i % 2) ? 1.0 : -1.0);
        });
    }

    // entry 11: greetings chip tune
    {
        const Section s = section(11);
        crash(s.at, 0.9);
        drums(s.at, s.beats, "X.....x.X.......", "....X.......X..g", "x..x..x.x..x..x.");
        bass_line(s.at, s.beats, 4, greet, "X.o.X.o.X.o.X.o.", 900, 1200, 0.3);
        chords(s.at, s.beats, 4, greet, [&](double cb, double len, Chord c) {
            for (int i = 0; i < int(len * 8); ++i)  // C64-style chord arpeggio in 32nds
                pluck(cb + i * 0.125, 0.12, 72 + c.tone(chip[i % 3]) - (c.root > 7 ? 12 : 0), 0.45, (i % 2) ? 0.5 : 0.2, 0.6);
        });
        melody(s.at, s.beats, THEME_GREET, 0, [&](double b, double len, int key) { lead(b, len, key, 0.9, -0.45, 0, 0.2); });
    }

    // entry 12: credits, melody A again
    {
        const Section s = section(12);
        crash(s.at, 1.0);
        drums(s.at, s.beats, four, backbeat, hats16);
        bass_line(s.at, s.beats, 4, main, "X..xo.x.X..xo.x.", 400, 1600, 0.55);
        arp(s.at, s.beats, 4, main, up, 8, 0.5);
        chords(s.at, s.beats, 4, main, [&](double b, double len, Chord c) { pad(b, len, c, 0.7, 0.45); });
        melody(s.at, s.beats, THEME_A, 0, [&](double b, double len, int key) { lead(b, len, key, 1.0, -0.4, 1); });
    }

    // entry 13: half-time stabs
    {
        const Section s = section(13);
        crash(s.at, 1.1);
        drums(s.at, s.beats, "X...............", "........X.......", "x...x...x...x...");
        chords(s.at, s.beats, 2, {Am, Am, F, G, Am}, [&](double b, double, Chord c) {
            stab(b, 0.9, c, 1.1, 0);
            bass(b, 1.5, bass_key(c), 1.0, 300, 1200, 0.4, 1.5);
        });
        riser(s.end - 4, 4, 0.8);
    }

    // entry 14: intense
    {
        const Section s = section(14);
        crash(s.at, 1.2);
        drums(s.at, s.beats, "X.x.X.x.X.x.X.x.", "....X..g.g..X.gg", "xXxXxXxXxXxXxXxX", 1.1);
        bass_line(s.at, s.beats, 4, {Am, Am, F, G}, "XxxxXxxoXxxxXxxo", 600, 3000, 0.7, 3.0);
        for (double b = s.at; b < s.end; b += 2)  // siren
            lead(b, 1.0, (int(b) % 4 == 2) ? 88 : 84, 0.55, 0.5, 1, 0.35);
        steps(s.end - 2, 2, "XXXXXXXXXXXXXXXX", [&](double b, char) { snare(b, 0.5 + (b - (s.end - 2)) * 0.25); });
    }

    // entry 15: finale
    {
        const Section s = section(15);
        crash(s.at, 1.3);
        drums(s.at, s.beats, four, backbeat, hats16, 1.05);
        for (int i = 0; i < 120; ++i) {  // bass with a slow filter wobble
            double b = s.at + i * 0.25;
            Chord c = main[size_t(i / 16) % 4];
            double wob = 0.5 + 0.5 * std::sin(2 * PI * i / 12.0);
            bass(b, 0.22, bass_key(c) + ((i % 4 == 2) ? 12 : 0), 1.0, 300 + 1400 * wob, 1500, 0.7, 1.8);
        }
        arp(s.at, s.beats, 4, main, up, 8, 0.55, 72);
        chords(s.at, s.beats, 4, main, [&](double b, double len, Chord c) { pad(b, len, c, 0.8, 0.5); });
        melody(s.at, s.beats, THEME_A, 12, [&](double b, double len, int key) { lead(b, len, key, 0.85, -0.45, 1); });
        melody(s.at, s.beats, THEME_A, 0, [&](double b, double len, int key) { lead(b, len, key, 0.5, 0.55, 0, 0.1); });
        steps(s.end - 2, 2, "X.X.X.X.XXXXXXXX", [&](double b, char) { snare(b, 0.6 + (b - (s.end - 2)) * 0.2); });
    }

    // entry 16: the last chord
    {
        const Section s = section(16);
        crash(s.at, 1.3);
        kick(s.at, 1.0);
        pad(s.at, 3, Am, 1.4, 0.6, 0.05);
        bass(s.at, 4, bass_key(Am), 1.0, 400, 1500, 0.4, 1.5);
        stab(s.at, 3, Am, 1.0, 0);
        lead(s.at, 3, 81, 0.7, -0.2, 1, 0.4);
    }
}

// Reverb (parallel combs into series all-passes, slightly different per side), a ping-pong
// delay of a dotted eighth, the side-chain dip, and the master stage: a soft knee above 0.8 and a
// final level with the peak at 0.84 of full scale (the encoder overshoots a little on transients).
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
            size_t len = size_t(combs[c] + spread);
            std::vector<float> buf(len, 0.0f);
            float store = 0;
            size_t p = 0;
            for (size_t i = 0; i < n; ++i) {
                float y = buf[p];
                store = y * 0.75f + store * 0.25f;  // damping
                buf[p] = in[i] * 0.015f + store * 0.84f;
                acc[i] += y;
                if (++p == len) p = 0;
            }
        }
        for (int a = 0; a < 4; ++a) {
            size_t len = size_t(alls[a] + spread);
            std::vector<float> buf(len, 0.0f);
            size_t p = 0;
            for (size_t i = 0; i < n; ++i) {
                float b = buf[p];
                float y = -acc[i] + b;
                buf[p] = acc[i] + b * 0.5f;
                acc[i] = y;
                if (++p == len) p = 0;
            }
        }
        for (size_t i = 0; i < n; ++i) out[i] = acc[i] * 2.2f;
    }
    const size_t d = size_t(0.375 * SR);  // dotted eighth
    std::vector<float> dl(n, 0.0f), dr(n, 0.0f);
    for (size_t i = d; i < n; ++i) {  // each side's echo comes back on the other side
        dl[i] = delay_.r[i - d] * 0.55f + dr[i - d] * 0.4f;
        dr[i] = delay_.l[i - d] * 0.55f + dl[i - d] * 0.4f;
    }
    for (size_t i = 0; i < n; ++i) {
        dry_.l[i] += duck_.l[i] * pump_[i] + out_l[i] + dl[i] * 0.7f;
        dry_.r[i] += duck_.r[i] * pump_[i] + out_r[i] + dr[i] * 0.7f;
    }
}

std::vector<int16_t> Song::render() {
    compose();
    effects();
    const size_t n = frames_;
    // the end: fade the last second to silence
    for (size_t i = n - size_t(SR); i < n; ++i) {
        float g = float(n - i) / float(SR);
        dry_.l[i] *= g;
        dry_.r[i] *= g;
    }
    // loudness: bring the 99.9th percentile to 0.8, round the few peaks above it off softly
    std::vector<float> mags;
    mags.reserve(n / 16 + 1);
    for (size_t i = 0; i < n; i += 16) mags.push_back(std::max(std::fabs(dry_.l[i]), std::fabs(dry_.r[i])));
    std::nth_element(mags.begin(), mags.begin() + long(mags.size() * 999 / 1000), mags.end());
    float ref = std::max(1e-6f, mags[mags.size() * 999 / 1000]);
    float pre = 0.8f / ref;
    auto knee = [](float x) {
        float a = std::fabs(x);
        if (a <= 0.8f) return x;
        float y = 0.8f + 0.2f * std::tanh((a - 0.8f) / 0.2f);
        return x < 0 ? -y : y;
    };
    float peak = 1e-6f;
    for (size_t i = 0; i < n; ++i) {
        dry_.l[i] = knee(dry_.l[i] * pre);
        dry_.r[i] = knee(dry_.r[i] * pre);
        peak = std::max(peak, std::max(std::fabs(dry_.l[i]), std::fabs(dry_.r[i])));
    }
    const float gain = 0.84f / peak;
    std::vector<int16_t> pcm(n * 2);
    for (size_t i = 0; i < n; ++i) {
        pcm[i * 2] = int16_t(std::lround(std::max(-1.0f, std::min(1.0f, dry_.l[i] * gain)) * 32767.0f));
        pcm[i * 2 + 1] = int16_t(std::lround(std::max(-1.0f, std::min(1.0f, dry_.r[i] * gain)) * 32767.0f));
    }
    return pcm;
}

}  // namespace

std::vector<int16_t> render_track() { return Song().render(); }

}  // namespace mg

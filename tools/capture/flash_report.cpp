#include "flash_report.h"

#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "output_file.h"
#include "progress.h"
#include "shell/offline.h"
#include "shell/schedule.h"
#include "writers.h"

namespace {

const char* scene_at(int ms) { return schedule[schedule_entry(ms)].name; }

// The CSV's scene field: quoted when it holds a comma or a quote (no schedule name does).
void append_field(std::string& csv, const char* text) {
    if (!std::strpbrk(text, ",\"\n")) {
        csv += text;
        return;
    }
    csv += '"';
    for (const char* c = text; *c; ++c) {
        if (*c == '"') csv += '"';
        csv += *c;
    }
    csv += '"';
}

// ---- summary ----------------------------------------------------------------------------------

enum class Kind { general, red };

int flashes_of(const FlashFrame& f, Kind kind) {
    return kind == Kind::general ? f.general_flashes : f.red_flashes;
}
double area_of(const FlashFrame& f, Kind kind) {
    return kind == Kind::general ? f.general_area : f.red_area;
}
bool fails_of(const FlashFrame& f, Kind kind) {
    return kind == Kind::general ? f.general_fails : f.red_fails;
}

// The record whose second is the worst for `kind`: the most flashes over 25 % of the screen, then
// the largest area with more than three; the earliest of equals.
std::size_t worst_record(const std::vector<FlashRecord>& records, Kind kind) {
    std::size_t worst = 0;
    for (std::size_t i = 1; i < records.size(); ++i) {
        const FlashFrame &a = records[i].result, &b = records[worst].result;
        if (flashes_of(a, kind) > flashes_of(b, kind) ||
            (flashes_of(a, kind) == flashes_of(b, kind) && area_of(a, kind) > area_of(b, kind)))
            worst = i;
    }
    return worst;
}

std::string kind_line(const std::vector<FlashRecord>& records, Kind kind) {
    const bool fails = std::any_of(records.begin(), records.end(),
                                   [&](const FlashRecord& r) { return fails_of(r.result, kind); });
    const FlashRecord& worst = records[worst_record(records, kind)];
    const int flashes = flashes_of(worst.result, kind);
    const char* name = kind == Kind::general ? "general" : "red";
    char line[320];
    if (flashes == 0 && area_of(worst.result, kind) == 0) {
        std::snprintf(line, sizeof line,
                      "%s flashes: pass; no second with a %s flash over 25 %% of the screen or "
                      "a pixel with more than three\n",
                      name, name);
        return line;
    }
    std::snprintf(line, sizeof line,
                  "%s flashes: %s; worst second: the one up to %.3f s (%s), %d flash%s a second "
                  "over 25 %% of the screen, %.3g %% of the screen with more than three\n",
                  name, fails ? "FAIL" : "pass", worst.ms / 1000.0, scene_at(worst.ms), flashes,
                  flashes == 1 ? "" : "es", area_of(worst.result, kind) * 100.0);
    return line;
}

}  // namespace

std::string flash_csv_header() {
    return "time_s,scene,transition_area,general_flashes_1s,general_area_over_3,red_flashes_1s,"
           "red_area_over_3,fails\n";
}

void append_flash_csv_row(std::string& csv, const FlashRecord& record) {
    const FlashFrame& f = record.result;
    char number[32];
    std::snprintf(number, sizeof number, "%.3f,", record.ms / 1000.0);
    csv += number;
    append_field(csv, scene_at(record.ms));
    char rest[160];
    std::snprintf(rest, sizeof rest, ",%.6f,%d,%.6f,%d,%.6f,%d\n", f.transition_area,
                  f.general_flashes, f.general_area, f.red_flashes, f.red_area, f.fails() ? 1 : 0);
    csv += rest;
}

bool flash_records_pass(const std::vector<FlashRecord>& records) {
    return std::none_of(records.begin(), records.end(),
                        [](const FlashRecord& r) { return r.result.fails(); });
}

std::string flash_summary(const std::vector<FlashRecord>& records, int fps) {
    if (records.empty()) return "flash report: no frames\nresult: PASS\n";
    std::string out;
    char line[320];
    std::snprintf(line, sizeof line, "flash report: %lld frames at %d fps, %.3f s to %.3f s\n",
                  static_cast<long long>(records.size()), fps, records.front().ms / 1000.0,
                  records.back().ms / 1000.0);
    out += line;
    out += kind_line(records, Kind::general);
    out += kind_line(records, Kind::red);

    // Failing stretches: runs of failing frames, each shown from the start of its first failing
    // second (one second before that frame, or the range's start) to its last failing frame.
    int stretches = 0;
    for (std::size_t i = 0; i < records.size();) {
        if (!records[i].result.fails()) {
            ++i;
            continue;
        }
        std::size_t j = i;
        bool general = false, red = false;
        while (j < records.size() && records[j].result.fails()) {
            general = general || records[j].result.general_fails;
            red = red || records[j].result.red_fails;
            ++j;
        }
        const long long start_frame = std::max(records[i].frame - fps, records.front().frame);
        const int from = frame_ms(start_frame, fps), to = records[j - 1].ms;
        std::string scenes;
        for (int n = schedule_entry(from); n <= schedule_entry(to); ++n)
            scenes += std::string(scenes.empty() ? "" : ", ") + schedule[n].name;
        std::snprintf(line, sizeof line, "failing: %.3f s to %.3f s, %s flashes (%s)\n",
                      from / 1000.0, to / 1000.0,
                      general && red ? "general and red"
                      : general      ? "general"
                                     : "red",
                      scenes.c_str());
        out += line;
        ++stretches;
        i = j;
    }
    if (stretches == 0) out += "failing: none\n";
    out += flash_records_pass(records) ? "result: PASS\n" : "result: FAIL\n";
    return out;
}

// ---- plot -------------------------------------------------------------------------------------

namespace {

// A 5 × 7 pixel font for the plot's labels: capitals, digits and a few signs; lower case is
// drawn as capitals, anything else as a space. Each row's five bits, the leftmost the highest.
struct Glyph {
    char c;
    std::uint8_t rows[7];
};
constexpr Glyph FONT[] = {
    {'A', {0x0E, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11}},
    {'B', {0x1E, 0x11, 0x11, 0x1E, 0x11, 0x11, 0x1E}},
    {'C', {0x0E, 0x11, 0x10, 0x10, 0x10, 0x11, 0x0E}},
    {'D', {0x1E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x1E}},
    {'E', {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x1F}},
    {'F', {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x10}},
    {'G', {0x0E, 0x11, 0x10, 0x17, 0x11, 0x11, 0x0F}},
    {'H', {0x11, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11}},
    {'I', {0x0E, 0x04, 0x04, 0x04, 0x04, 0x04, 0x0E}},
    {'J', {0x07, 0x02, 0x02, 0x02, 0x02, 0x12, 0x0C}},
    {'K', {0x11, 0x12, 0x14, 0x18, 0x14, 0x12, 0x11}},
    {'L', {0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x1F}},
    {'M', {0x11, 0x1B, 0x15, 0x15, 0x11, 0x11, 0x11}},
    {'N', {0x11, 0x11, 0x19, 0x15, 0x13, 0x11, 0x11}},
    {'O', {0x0E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E}},
    {'P', {0x1E, 0x11, 0x11, 0x1E, 0x10, 0x10, 0x10}},
    {'Q', {0x0E, 0x11, 0x11, 0x11, 0x15, 0x12, 0x0D}},
    {'R', {0x1E, 0x11, 0x11, 0x1E, 0x14, 0x12, 0x11}},
    {'S', {0x0F, 0x10, 0x10, 0x0E, 0x01, 0x01, 0x1E}},
    {'T', {0x1F, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04}},
    {'U', {0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E}},
    {'V', {0x11, 0x11, 0x11, 0x11, 0x11, 0x0A, 0x04}},
    {'W', {0x11, 0x11, 0x11, 0x15, 0x15, 0x15, 0x0A}},
    {'X', {0x11, 0x11, 0x0A, 0x04, 0x0A, 0x11, 0x11}},
    {'Y', {0x11, 0x11, 0x11, 0x0A, 0x04, 0x04, 0x04}},
    {'Z', {0x1F, 0x01, 0x02, 0x04, 0x08, 0x10, 0x1F}},
    {'0', {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E}},
    {'1', {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E}},
    {'2', {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F}},
    {'3', {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E}},
    {'4', {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02}},
    {'5', {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E}},
    {'6', {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E}},
    {'7', {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08}},
    {'8', {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E}},
    {'9', {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C}},
    {'-', {0x00, 0x00, 0x00, 0x1F, 0x00, 0x00, 0x00}},
    {'.', {0x00, 0x00, 0x00, 0x00, 0x00, 0x0C, 0x0C}},
    {'%', {0x18, 0x19, 0x02, 0x04, 0x08, 0x13, 0x03}},
    {'(', {0x02, 0x04, 0x08, 0x08, 0x08, 0x04, 0x02}},
    {')', {0x08, 0x04, 0x02, 0x02, 0x02, 0x04, 0x08}},
    {',', {0x00, 0x00, 0x00, 0x00, 0x0C, 0x04, 0x08}},
    {':', {0x00, 0x0C, 0x0C, 0x00, 0x0C, 0x0C, 0x00}},
    {'/', {0x00, 0x01, 0x02, 0x04, 0x08, 0x10, 0x00}},
    {';', {0x00, 0x0C, 0x0C, 0x00, 0x0C, 0x04, 0x08}},
};
constexpr int GLYPH_W = 5, GLYPH_H = 7, ADVANCE = 6;  // px

const Glyph* glyph(char c) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    for (const Glyph& g : FONT)
        if (g.c == c) return &g;
    return nullptr;
}

struct Colour {
    std::uint8_t r, g, b;
};
constexpr Colour BACKGROUND{18, 18, 24}, PANEL{30, 30, 40}, FAILING{80, 22, 26}, GRID{55, 55, 70},
    TEXT{210, 210, 220}, GENERAL{110, 150, 225}, RED{235, 45, 45}, LIMIT{235, 200, 60},
    SCENE{120, 120, 140};

class Canvas {
public:
    Canvas(int w, int h) : w_(w), h_(h), px_(static_cast<std::size_t>(w) * h * 3) {
        fill(0, 0, w, h, BACKGROUND);
    }
    void set(int x, int y, Colour c) {
        if (x < 0 || y < 0 || x >= w_ || y >= h_) return;
        std::uint8_t* p = &px_[(static_cast<std::size_t>(y) * w_ + x) * 3];
        p[0] = c.r;
        p[1] = c.g;
        p[2] = c.b;
    }
    void fill(int x0, int y0, int x1, int y1, Colour c) {  // [x0, x1) × [y0, y1)
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) set(x, y, c);
    }
    // Text from its top-left corner, left to right.
    void text(int x, int y, const std::string& s, Colour c) {
        for (std::size_t i = 0; i < s.size(); ++i)
            if (const Glyph* g = glyph(s[i]))
                for (int gy = 0; gy < GLYPH_H; ++gy)
                    for (int gx = 0; gx < GLYPH_W; ++gx)
                        if (g->rows[gy] & (0x10 >> gx))
                            set(x + static_cast<int>(i) * ADVANCE + gx, y + gy, c);
    }
    // Text reading upwards from its bottom-left corner (the glyphs turned a quarter left).
    void text_up(int x, int y, const std::string& s, Colour c) {
        for (std::size_t i = 0; i < s.size(); ++i)
            if (const Glyph* g = glyph(s[i]))
                for (int gy = 0; gy < GLYPH_H; ++gy)
                    for (int gx = 0; gx < GLYPH_W; ++gx)
                        if (g->rows[gy] & (0x10 >> gx))
                            set(x + gy, y - static_cast<int>(i) * ADVANCE - gx, c);
    }
    const std::uint8_t* data() const { return px_.data(); }

private:
    int w_, h_;
    std::vector<std::uint8_t> px_;
};

// The plot's layout, px.
constexpr int PLOT_W = 1600, PLOT_H = 500;
constexpr int LEFT = 60, RIGHT = 20, AREA_W = PLOT_W - LEFT - RIGHT;  // the panels' columns
constexpr int TOP_A = 30, HEIGHT_A = 240;                             // flashes per second
constexpr int TOP_B = 310, HEIGHT_B = 130;  // % of the screen with more than three

}  // namespace

bool write_flash_plot(const std::string& path, const std::vector<FlashRecord>& records, int fps,
                      std::string& error) {
    Canvas canvas(PLOT_W, PLOT_H);
    const std::size_t n = records.size();
    if (n == 0) {
        error = "no frames to plot";
        return false;
    }
    // The records of each column: [first, end).
    auto column = [&](int x, std::size_t& first, std::size_t& end) {
        first = static_cast<std::size_t>(x) * n / AREA_W;
        end = std::max(first + 1, static_cast<std::size_t>(x + 1) * n / AREA_W);
    };
    int most = 0;
    for (const FlashRecord& r : records)
        most = std::max({most, r.result.general_flashes, r.result.red_flashes});
    const int top_flashes = std::max(6, most + 1);  // the flashes axis, 0 to this
    auto y_flashes = [&](int f) { return TOP_A + HEIGHT_A - f * HEIGHT_A / top_flashes; };
    auto y_area = [&](double a) { return TOP_B + HEIGHT_B - static_cast<int>(a * HEIGHT_B + 0.5); };

    // Panels, failing columns shaded, grid lines.
    canvas.fill(LEFT, TOP_A, LEFT + AREA_W, TOP_A + HEIGHT_A, PANEL);
    canvas.fill(LEFT, TOP_B, LEFT + AREA_W, TOP_B + HEIGHT_B, PANEL);
    for (int x = 0; x < AREA_W; ++x) {
        std::size_t first, end;
        column(x, first, end);
        bool fails = false;
        for (std::size_t i = first; i < end; ++i) fails = fails || records[i].result.fails();
        if (fails) {
            canvas.fill(LEFT + x, TOP_A, LEFT + x + 1, TOP_A + HEIGHT_A, FAILING);
            canvas.fill(LEFT + x, TOP_B, LEFT + x + 1, TOP_B + HEIGHT_B, FAILING);
        }
    }
    const int step = top_flashes <= 12 ? 1 : 5;
    for (int f = 0; f <= top_flashes; f += step) {
        canvas.fill(LEFT, y_flashes(f), LEFT + AREA_W, y_flashes(f) + 1, GRID);
        canvas.text(LEFT - 8 - ADVANCE * static_cast<int>(std::to_string(f).size()),
                    y_flashes(f) - 3, std::to_string(f), TEXT);
    }
    for (int percent = 0; percent <= 100; percent += 25) {
        canvas.fill(LEFT, y_area(percent / 100.0), LEFT + AREA_W, y_area(percent / 100.0) + 1,
                    GRID);
        const std::string label = std::to_string(percent) + "%";
        canvas.text(LEFT - 8 - ADVANCE * static_cast<int>(label.size()),
                    y_area(percent / 100.0) - 3, label, TEXT);
    }

    // The values: bars for general flashes, a line for red ones; the limits dashed.
    for (int x = 0; x < AREA_W; ++x) {
        std::size_t first, end;
        column(x, first, end);
        int general = 0, red = 0;
        double general_area = 0, red_area = 0;
        for (std::size_t i = first; i < end; ++i) {
            const FlashFrame& f = records[i].result;
            general = std::max(general, f.general_flashes);
            red = std::max(red, f.red_flashes);
            general_area = std::max(general_area, f.general_area);
            red_area = std::max(red_area, f.red_area);
        }
        canvas.fill(LEFT + x, y_flashes(general), LEFT + x + 1, TOP_A + HEIGHT_A, GENERAL);
        canvas.fill(LEFT + x, y_area(general_area), LEFT + x + 1, TOP_B + HEIGHT_B, GENERAL);
        canvas.fill(LEFT + x, y_flashes(red) - 1, LEFT + x + 1, y_flashes(red) + 1, RED);
        canvas.fill(LEFT + x, y_area(red_area) - 1, LEFT + x + 1, y_area(red_area) + 1, RED);
        if (x % 8 < 5) {
            canvas.set(LEFT + x, y_flashes(flash::MAX_FLASHES_PER_SECOND), LIMIT);
            canvas.set(LEFT + x, y_area(flash::FAILING_AREA_PERCENT / 100.0), LIMIT);
        }
    }

    // Scene starts: a dotted line across both panels and the name beside it, reading upwards from
    // below the panel's top edge, over the values; the range's first scene is named at its left
    // edge.
    const int t0 = records.front().ms;
    const long long span = static_cast<long long>(records.back().ms) - t0 + 1000 / fps;
    for (int s = 0; s < SCHEDULE_SIZE; ++s) {
        const int start = schedule_start_ms[s];
        const bool first_scene = s == schedule_entry(t0);
        if (!first_scene && (start <= t0 || start > records.back().ms)) continue;
        const int x = first_scene
                          ? LEFT
                          : LEFT + static_cast<int>((start - t0) * AREA_W / std::max(1LL, span));
        if (!first_scene)
            for (int y = TOP_A; y < TOP_B + HEIGHT_B; y += 3) canvas.set(x, y, SCENE);
        const int length = static_cast<int>(std::strlen(schedule[s].name)) * ADVANCE;
        canvas.text_up(x + 3, TOP_A + 4 + length, schedule[s].name, TEXT);
    }

    // The time axis: a tick and the seconds every 1, 5, 10 or 20 s, as the span allows.
    const long long span_s = span / 1000 + 1;
    const int every = span_s <= 15 ? 1 : span_s <= 60 ? 5 : span_s <= 200 ? 10 : 20;
    for (int s = (t0 + 999) / 1000; s * 1000LL <= records.back().ms; ++s) {
        if (s % every != 0) continue;
        const int x = LEFT + static_cast<int>((s * 1000LL - t0) * AREA_W / std::max(1LL, span));
        canvas.fill(x, TOP_B + HEIGHT_B, x + 1, TOP_B + HEIGHT_B + 4, TEXT);
        const std::string label = std::to_string(s);
        canvas.text(x - ADVANCE * static_cast<int>(label.size()) / 2, TOP_B + HEIGHT_B + 7, label,
                    TEXT);
    }

    canvas.text(LEFT, TOP_A - 18,
                "flashes a second over 25% of the screen: general (blue bars), red (red line); "
                "more than 3 fails (dashed); failing seconds shaded",
                TEXT);
    canvas.text(LEFT, TOP_B - 18,
                "% of the screen with more than 3 flashes a second; 25% or more fails (dashed)",
                TEXT);
    canvas.text(LEFT + AREA_W / 2 - 30, TOP_B + HEIGHT_B + 22, "time (s)", TEXT);
    const std::string verdict = flash_records_pass(records) ? "result: pass" : "result: fail";
    canvas.text(LEFT + AREA_W - ADVANCE * static_cast<int>(verdict.size()), TOP_B + HEIGHT_B + 22,
                verdict, flash_records_pass(records) ? TEXT : RED);
    return write_png_file(path, canvas.data(), PLOT_W, PLOT_H, error);
}

// ---- the run ----------------------------------------------------------------------------------

bool run_flash_report(int fps, int from_ms, int to_ms, const std::string& csv_path,
                      const std::string& plot_path, bool quiet, std::vector<FlashRecord>& records,
                      std::string& error) {
    // Unwritable places are found before the run.
    for (const std::string* path : {&csv_path, &plot_path}) {
        if (path->empty()) continue;
        TempFile probe;
        if (!probe.create(*path, error)) return false;
        probe.remove();
    }
    OfflineRun run;
    if (!run.start_up()) {
        error = "the demo could not start: " + run.error();
        return false;
    }
    const int to = to_ms >= 0 ? to_ms : run.track_ms();
    const long long first = (static_cast<long long>(from_ms) * fps + 999) / 1000;
    const long long end = (static_cast<long long>(to) * fps + 999) / 1000;
    if (end <= first) {
        error = "the range holds no frame (the track ends at " + std::to_string(run.track_ms()) +
                " ms)";
        return false;
    }

    // Everything the frames need is allocated here, once.
    FlashAnalyser analyser(OFFLINE_SCREEN_W, OFFLINE_SCREEN_H, fps);
    std::vector<std::uint8_t> rgb(OFFLINE_RGB_BYTES);
    records.clear();
    records.reserve(static_cast<std::size_t>(end - first));
    std::string csv = flash_csv_header();
    csv.reserve(csv.size() + static_cast<std::size_t>(end - first) * 128);

    Progress progress("flash report", end, quiet);
    for (long long n = 0; n < end; ++n) {
        const int ms = frame_ms(n, fps);
        if (!run.pass_at(ms)) {
            error = run.error();
            return false;
        }
        if (n >= first) {
            run.read_rgb(rgb.data());
            records.push_back({n, ms, analyser.add_frame(rgb.data())});
            append_flash_csv_row(csv, records.back());
        }
        progress.update(n + 1);
    }
    progress.finish();
    run.shut_down();

    if (!write_file_atomically(csv_path, reinterpret_cast<const std::uint8_t*>(csv.data()),
                               csv.size(), error))
        return false;
    if (!plot_path.empty() && !write_flash_plot(plot_path, records, fps, error)) {
        ::unlink(csv_path.c_str());
        return false;
    }
    return true;
}

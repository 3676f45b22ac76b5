#include "progress.h"

#include <unistd.h>

#include <cstdio>

std::string clock_text(double seconds) {
    long long s = seconds < 0 ? 0 : static_cast<long long>(seconds + 0.5);
    char text[32];
    if (s >= 3600)
        std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", s / 3600, s / 60 % 60, s % 60);
    else
        std::snprintf(text, sizeof text, "%lld:%02lld", s / 60, s % 60);
    return text;
}

Progress::Progress(const std::string& label, long long total, bool quiet)
    : label_(label),
      total_(total > 0 ? total : 1),
      quiet_(quiet),
      tty_(isatty(STDERR_FILENO) != 0),
      start_(std::chrono::steady_clock::now()),
      last_draw_(start_) {}

double Progress::seconds() const {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
}

void Progress::update(long long done) {
    if (quiet_) return;
    const auto now = std::chrono::steady_clock::now();
    const bool last = done >= total_;
    const double elapsed = std::chrono::duration<double>(now - start_).count();
    const double fraction = static_cast<double>(done) / static_cast<double>(total_);
    const double left = done > 0 ? elapsed * (total_ - done) / static_cast<double>(done) : 0.0;
    const std::string eta = done > 0 ? clock_text(left) + " left" : "";
    if (tty_) {
        if (!last && drawn_ && now - last_draw_ < std::chrono::milliseconds(200)) return;
        last_draw_ = now;
        constexpr int WIDTH = 30;
        const int filled = static_cast<int>(fraction * WIDTH);
        std::string bar(static_cast<std::size_t>(filled), '#');
        bar.resize(WIDTH, '.');
        std::fprintf(stderr, "\r%s [%s] %3d%%  %lld/%lld  %s   ", label_.c_str(), bar.c_str(),
                     static_cast<int>(fraction * 100), done, total_, eta.c_str());
        drawn_ = true;
    } else {
        const int tenth = static_cast<int>(fraction * 10);
        if (tenth == last_tenth_) return;
        last_tenth_ = tenth;
        std::fprintf(stderr, "%s %3d%%  %lld/%lld  %s\n", label_.c_str(), tenth * 10, done, total_,
                     eta.c_str());
    }
    std::fflush(stderr);
}

void Progress::finish() {
    if (quiet_ || !tty_ || !drawn_) return;
    std::fputc('\n', stderr);
    drawn_ = false;
}

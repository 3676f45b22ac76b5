#pragma once
// A progress bar with the estimated time left, on standard error: redrawn in place on a terminal
// at most five times a second, a plain line every tenth of the way otherwise.

#include <chrono>
#include <string>

class Progress {
public:
    // `total`: units of work (passes); `quiet`: show nothing.
    Progress(const std::string& label, long long total, bool quiet);
    void update(long long done);
    // Ends the bar's line.
    void finish();
    double seconds() const;  // wall time since construction

private:
    std::string label_;
    long long total_;
    bool quiet_, tty_;
    int last_tenth_ = -1;
    bool drawn_ = false;
    std::chrono::steady_clock::time_point start_, last_draw_;
};

// "1:23" for 83 seconds, "1:02:03" past an hour.
std::string clock_text(double seconds);

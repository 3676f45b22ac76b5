#pragma once
// Running one of the built programs as a child process, the way a user runs it from a shell.

#include <string>
#include <vector>

struct ChildResult {
    int status;  // exit status, -1 when killed by a signal
    std::string out, err;
};

// Runs `program args` in the working directory through /bin/sh, with `env` (assignments such as
// "PATH=/x") put before it, standard input from /dev/null, and returns its status and output. In
// a build with the address sanitizer, the allocations still held at exit are not reported as
// leaks: the demo never releases what start-up made.
ChildResult run_child(const std::string& program, const std::string& args, const std::string& env = "");

// The whole file, or "" when it cannot be read.
std::string slurp(const std::string& path);

// The names in `dir`, sorted: what a test compares to say nothing else was left there.
std::vector<std::string> entries(const std::string& dir);

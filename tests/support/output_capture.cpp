#include "support/output_capture.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

struct Capture {
    int fd;           // the descriptor being caught: 1 or 2
    int saved = -1;   // a copy of the descriptor as it was, -1 while nothing is caught
    std::string path; // the scratch file
};

Capture stdout_capture{STDOUT_FILENO, -1, ""};
Capture stderr_capture{STDERR_FILENO, -1, ""};

std::string scratch_template() {
    const char* dir = std::getenv("TMPDIR");
    std::string path = dir && *dir ? dir : "/tmp";
    if (path.back() != '/') path += '/';
    return path + "zypho_captured.XXXXXX";
}

void start(Capture& c) {
    if (c.saved >= 0) {
        ADD_FAILURE() << "descriptor " << c.fd << " is already being caught";
        return;
    }
    std::string name = scratch_template();
    std::vector<char> buffer(name.begin(), name.end());
    buffer.push_back('\0');
    const int file = mkstemp(buffer.data());
    if (file < 0) {
        ADD_FAILURE() << "cannot make a scratch file " << name << ": " << std::strerror(errno);
        return;
    }
    std::fflush(nullptr);
    c.saved = dup(c.fd);
    dup2(file, c.fd);
    close(file);
    c.path = buffer.data();
}

std::string finish(Capture& c) {
    if (c.saved < 0) {
        ADD_FAILURE() << "descriptor " << c.fd << " is not being caught";
        return "";
    }
    std::fflush(nullptr);
    dup2(c.saved, c.fd);
    close(c.saved);
    c.saved = -1;
    std::string text;
    if (FILE* in = std::fopen(c.path.c_str(), "rb")) {
        char chunk[4096];
        size_t n;
        while ((n = std::fread(chunk, 1, sizeof chunk, in)) > 0) text.append(chunk, n);
        std::fclose(in);
    } else {
        ADD_FAILURE() << "cannot read back " << c.path;
    }
    std::remove(c.path.c_str());
    return text;
}

}  // namespace

void capture_stdout() { start(stdout_capture); }
void capture_stderr() { start(stderr_capture); }
std::string captured_stdout() { return finish(stdout_capture); }
std::string captured_stderr() { return finish(stderr_capture); }

#pragma once
// Catching what a test's code writes to standard output or standard error. The file descriptor
// is pointed at a scratch file under TMPDIR (/tmp when it is not set) until the text is taken
// back, so the tests run where /tmp is not writable; GoogleTest's own capture always uses /tmp.

#include <string>

// Starts catching standard output (or error): C stdio is flushed first, and everything written
// to the descriptor from now on goes to the scratch file. A second start before the text is
// taken is a test fault and fails the test.
void capture_stdout();
void capture_stderr();

// Stops catching, puts the descriptor back, and returns what was written meanwhile. Called
// without a capture running, fails the test and returns "".
std::string captured_stdout();
std::string captured_stderr();

#pragma once
// zypho-capture: the demo recorded offline. Returns the process's exit status: 0 done, 1 failed
// (message on standard error, nothing left under the output's name), 2 bad command line,
// 130 interrupted.

int capture_main(int argc, char** argv);

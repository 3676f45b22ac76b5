#pragma once
// zypho-capture: the demo recorded offline. Returns the process's exit status: 0 done, 1 failed
// (the reason in the last line on standard error, nothing left under the output's name), 2 bad
// command line, 130 or 143 interrupted by SIGINT or SIGTERM (nothing left either).

int capture_main(int argc, char** argv);

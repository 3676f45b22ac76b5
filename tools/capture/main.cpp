// zypho-capture: records the demo offline as PNG frames or an MP4 video. See --help.

#include "capture.h"

int main(int argc, char** argv) { return capture_main(argc, argv); }

#pragma once

#include <string>

// What a start-up probe (a program linked with startup/QuitAtFirstFrame.cpp) gave: the
// milliseconds from starting it to its first painted frame, and its resident memory then.
struct ProbeRun {
    double milliseconds = -1;   // negative: the probe never painted a frame, or failed
    double residentMiB = -1;
};

// Starts the probe with the present environment, its errors discarded, and waits for it.
ProbeRun runProbe(const char* probe);

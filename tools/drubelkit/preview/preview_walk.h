// The timer ticks of a preview: progress walks from 0 up to each listed
// value in turn, the way the install window's ticks would.
#pragma once

#include <string>
#include <vector>

struct PreviewTick {
    int Progress;  // 0..1000, 1010 or 1020
    bool Finish;   // the FINISH pictures follow this tick (the one at 1010)
    int Shot;      // index of the listed value this tick shows, or -1
};

// Parses "P1,P2,..." (decimal). False with a reason for anything else.
bool ParseProgressList(const char* text, std::vector<int>* values, std::string* error);

// One tick at 0, then ticks `step` apart up to each value (a value is always
// hit exactly). 1010 is reached from 1000 in one tick, 1020 after 1010; a
// value listed again gets one more tick at the same progress. Values must
// not go down, must be 0..1000, 1010 or 1020, and 1010 is sent only once.
bool PlanPreviewWalk(const std::vector<int>& values, int step, std::vector<PreviewTick>* ticks,
                     std::string* error);

// The install window's decisions, apart from the window: what the next-disc
// step does, which progress frame a timer tick draws, and what a key or a
// mouse button does.
#pragma once

#include <cstdint>

enum NextDiscAction {
    NextDiscFinish,  // every disc is done
    NextDiscSkip,    // nothing of this disc belongs to the option: not even asked for
    NextDiscCopy,    // ask for the disc and copy it
};

// For the 0-based `disc` about to be handled, with DISCNUM and InstallOption.
NextDiscAction DecideNextDisc(int disc);

// The progress value of a timer tick: 1020 once finished, else the share of
// bytes read and written in parts per thousand, at most 1000. False when no
// frame is drawn (nothing to copy at all).
bool TickProgress(bool finished, uint64_t bytesRead, uint64_t bytesWritten, uint64_t total,
                  int* progress);

// The progress total for the listed bytes of the installation: read and
// written bytes both count, so twice the bytes, held at 2^64 - 1.
uint64_t ProgressTotalOf(uint64_t listedBytes);

enum InstallInput {
    InputKey,        // WM_KEYDOWN
    InputSystemKey,  // WM_SYSKEYDOWN
    InputButtonUp,   // any mouse button released
};

enum InputAction {
    InputIgnored,
    InputAskAbort,
    InputCloseWindow,
};

constexpr unsigned KeyEscape = 0x1B;
constexpr unsigned KeyF4 = 0x73;

InputAction DecideInput(InstallInput input, unsigned key, bool finished);

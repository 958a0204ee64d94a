// The millisecond clock of the install screen: timeGetTime in the program,
// a monotonic clock on the host. Tests and the preview tool fix it to drive
// the animation frame by frame.
#pragma once

#include <cstdint>

uint32_t RenderClockNow();
// From now on RenderClockNow returns `ms` until the next call.
void SetRenderClock(uint32_t ms);
// Back to the system clock.
void ReleaseRenderClock();

// The system's own clock (render_clock_win32.cpp, render_clock_posix.cpp).
uint32_t SystemMilliseconds();

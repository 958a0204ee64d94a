#include "install/render_clock.h"

static bool ClockFixed = false;
static uint32_t FixedMilliseconds = 0;

uint32_t RenderClockNow()
{
    return ClockFixed ? FixedMilliseconds : SystemMilliseconds();
}

void SetRenderClock(uint32_t ms)
{
    FixedMilliseconds = ms;
    ClockFixed = true;
}

void ReleaseRenderClock()
{
    ClockFixed = false;
}

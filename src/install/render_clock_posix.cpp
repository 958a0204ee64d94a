#include "install/render_clock.h"

#include <ctime>

// Wraps like timeGetTime after 49.7 days; the renderer only takes differences.
uint32_t SystemMilliseconds()
{
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<uint32_t>(static_cast<uint64_t>(ts.tv_sec) * 1000u +
                                 static_cast<uint64_t>(ts.tv_nsec) / 1000000u);
}

#include "install/render_clock.h"

#include <windows.h>
#include <mmsystem.h>

uint32_t SystemMilliseconds()
{
    return timeGetTime();
}

#include "install/render_clock.h"

#include "common/system_dlls.h"

uint32_t SystemMilliseconds()
{
    return SysTimeMilliseconds();
}

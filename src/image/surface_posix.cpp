#include "image/surface_memory.h"

// The host has no device contexts: every surface is a memory surface.
void FreeSurface(Surface* surface)
{
    ReleaseMemorySurface(surface);
}

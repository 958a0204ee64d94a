// The GDI side of surfaces: DIB sections in memory device contexts, and
// copies to windows.
#pragma once

#include "image/surface.h"

#include <windows.h>

Surface* CreateWindowSurface(HWND window);
Surface* CreateSurface(HWND window, int32_t x, int32_t y, int32_t width, int32_t height);
void PresentSurface(HWND window, const Surface* surface);
void PresentSurfaceRect(HWND window, const Surface* surface, const RECT* rect);
void PresentDirtyRects(HWND window, const Surface* surface, const DirtyRectList* list);

// The DPI the window is laid out at: its monitor's on Windows 10 and later
// (the program is per-monitor aware), else the system's. 96 when unknown.
unsigned GetWindowDpi(HWND window);

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

// The install show at a DPI above 96: drawn on a surface of the window's
// client size at 96 DPI (SurfaceSizeForScreen), and shown stretched to the
// real pixels, as exact pixel copies at a whole factor (200 %) and by the
// system's smooth halftone stretch at any other (150 %). At 96 (or 0) they
// are the plain surface and copies.
Surface* CreateScaledWindowSurface(HWND window, unsigned dpi);
// `rect` in window pixels (a paint rectangle).
void PresentScaledWindowRect(HWND window, const Surface* surface, const RECT* rect, unsigned dpi);
void PresentScaledDirtyRects(HWND window, const Surface* surface, const DirtyRectList* list,
                             unsigned dpi);

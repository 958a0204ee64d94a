// Off-screen 32-bit surfaces and the pixel operations on them. Everything
// here is portable; the GDI side (window surfaces, presenting) is in
// surface_gdi.h.
#pragma once

#include "common/geometry.h"

#include <cstdint>

struct Surface {
    int32_t X, Y;           // where PresentSurface shows it in its window
    int32_t Width, Height;
    Rect View;              // origin and clip of view-relative drawing
    void* Bitmap;           // HBITMAP of the DIB section, or null for a memory surface
    uint8_t* Bits;          // Width x Height x 4 bytes, rows bottom-up
    void* MemDC;            // HDC holding Bitmap, or null
};

constexpr int DirtyRectSlots = 256;

struct DirtyRect {
    int32_t InUse;
    int32_t left, top, right, bottom;
};

// A table of 256 slot pointers followed in the same block by the 256 slots.
// The list ends at the first slot whose InUse is 0.
struct DirtyRectList {
    DirtyRect* Slots[DirtyRectSlots];
};

// Set once by DetectMmx; picks the packed blend kernel.
extern int MmxAvailable;
void DetectMmx();

// A surface whose pixels are plain memory (no device context): the host's
// surfaces, and scratch surfaces. Null on failure. FreeSurface frees it.
Surface* CreateMemorySurface(int32_t width, int32_t height);
void FreeSurface(Surface* surface);

int DrawImage(Surface* surface, const uint8_t* pixels, int32_t x, int32_t y, int32_t width,
              int32_t height, int inView);
int DrawImagePart(Surface* surface, const uint8_t* pixels, int32_t x, int32_t y, int32_t width,
                  int32_t height, int32_t sourceStride, int inView);
// Scales the picture over the whole surface as a plain copy (alpha ignored).
int StretchPixelsToSurface(Surface* surface, const uint8_t* pixels, int32_t width, int32_t height);
int CopyRectFromSurface(const Surface* surface, uint8_t* buffer, const Rect* rect);
int CopyRectToSurface(Surface* surface, const uint8_t* buffer, const Rect* rect);
void OffsetRectToView(const Surface* surface, Rect* rect);

DirtyRectList* AllocDirtyRectList();
void FreeDirtyRectList(DirtyRectList* list);
void ClearDirtyRects(DirtyRectList* list);
void AddDirtyRect(DirtyRectList* list, const Rect* rect);

#include "image/surface_gdi.h"
#include "image/scale.h"
#include "image/surface_memory.h"

#include <algorithm>
#include <cstdlib>

namespace {

void DescribeBitmap(BITMAPINFO* info, int32_t width, int32_t height)
{
    ZeroMemory(info, sizeof *info);
    info->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info->bmiHeader.biWidth = width;
    info->bmiHeader.biHeight = height;  // positive: bottom-up rows
    info->bmiHeader.biPlanes = 1;
    info->bmiHeader.biBitCount = 32;
    info->bmiHeader.biCompression = BI_RGB;
}

// Copies a rectangle of the surface (surface coordinates) to the window's
// context at (destX, destY). A memory surface has no context of its own;
// its rows go through SetDIBitsToDevice, whose source rows count from the
// bottom.
void CopyToWindow(HDC windowDC, const Surface* surface, int32_t destX, int32_t destY, int32_t left,
                  int32_t top, int32_t width, int32_t height)
{
    // Only what lies on the surface: GDI would clip a bitmap source itself,
    // but the rows handed to SetDIBitsToDevice must exist.
    if (left < 0) {
        destX -= left;
        width += left;
        left = 0;
    }
    if (top < 0) {
        destY -= top;
        height += top;
        top = 0;
    }
    width = std::min(width, surface->Width - left);
    height = std::min(height, surface->Height - top);
    if (width <= 0 || height <= 0)
        return;
    if (surface->MemDC != nullptr) {
        BitBlt(windowDC, destX, destY, width, height, static_cast<HDC>(surface->MemDC), left, top,
               SRCCOPY);
        return;
    }
    BITMAPINFO info;
    DescribeBitmap(&info, surface->Width, surface->Height);
    SetDIBitsToDevice(windowDC, destX, destY, static_cast<DWORD>(width), static_cast<DWORD>(height),
                      left, surface->Height - (top + height), 0, static_cast<UINT>(surface->Height),
                      surface->Bits, &info, DIB_RGB_COLORS);
}

}  // namespace

Surface* CreateSurface(HWND window, int32_t x, int32_t y, int32_t width, int32_t height)
{
    if (width <= 0 || height <= 0)
        return nullptr;
    Surface* surface = static_cast<Surface*>(calloc(1, sizeof(Surface)));
    if (surface == nullptr)
        return nullptr;
    surface->X = x;
    surface->Y = y;
    surface->Width = width;
    surface->Height = height;
    surface->View = Rect{0, 0, width, height};

    HDC windowDC = GetDC(window);
    HDC memDC = windowDC != nullptr ? CreateCompatibleDC(windowDC) : nullptr;
    BITMAPINFO info;
    DescribeBitmap(&info, width, height);
    void* bits = nullptr;
    HBITMAP bitmap = memDC != nullptr
                         ? CreateDIBSection(windowDC, &info, DIB_RGB_COLORS, &bits, nullptr, 0)
                         : nullptr;
    if (windowDC != nullptr)
        ReleaseDC(window, windowDC);
    if (bitmap == nullptr || bits == nullptr || SelectObject(memDC, bitmap) == nullptr) {
        if (bitmap != nullptr)
            DeleteObject(bitmap);
        if (memDC != nullptr)
            DeleteDC(memDC);
        free(surface);
        return nullptr;
    }
    SetMapMode(memDC, MM_TEXT);
    SetBkMode(memDC, TRANSPARENT);
    SetPolyFillMode(memDC, WINDING);
    surface->Bitmap = bitmap;
    surface->Bits = static_cast<uint8_t*>(bits);
    surface->MemDC = memDC;
    return surface;
}

Surface* CreateWindowSurface(HWND window)
{
    RECT client;
    if (!GetClientRect(window, &client))
        return nullptr;
    Surface* surface = CreateSurface(window, 0, 0, client.right, client.bottom);
    if (surface != nullptr)
        surface->View = Rect{client.left, client.top, client.right, client.bottom};
    return surface;
}

// Surfaces without a bitmap are memory surfaces (CreateMemorySurface).
void FreeSurface(Surface* surface)
{
    if (surface == nullptr)
        return;
    if (surface->Bitmap == nullptr) {
        ReleaseMemorySurface(surface);
        return;
    }
    // The context goes first: a bitmap still selected into one cannot be
    // deleted.
    if (surface->MemDC != nullptr)
        DeleteDC(static_cast<HDC>(surface->MemDC));
    DeleteObject(static_cast<HBITMAP>(surface->Bitmap));
    free(surface);
}

void PresentSurface(HWND window, const Surface* surface)
{
    if (surface == nullptr)
        return;
    HDC dc = GetDC(window);
    if (dc == nullptr)
        return;
    CopyToWindow(dc, surface, surface->X, surface->Y, 0, 0, surface->Width, surface->Height);
    ReleaseDC(window, dc);
}

void PresentSurfaceRect(HWND window, const Surface* surface, const RECT* rect)
{
    if (surface == nullptr || rect == nullptr)
        return;
    HDC dc = GetDC(window);
    if (dc == nullptr)
        return;
    CopyToWindow(dc, surface, rect->left, rect->top, rect->left, rect->top, rect->right - rect->left,
                 rect->bottom - rect->top);
    ReleaseDC(window, dc);
}

void PresentDirtyRects(HWND window, const Surface* surface, const DirtyRectList* list)
{
    if (surface == nullptr || list == nullptr || !list->Slots[0]->InUse)
        return;
    HDC dc = GetDC(window);
    if (dc == nullptr)
        return;
    for (int i = 0; i < DirtyRectSlots && list->Slots[i]->InUse; ++i) {
        const DirtyRect* r = list->Slots[i];
        CopyToWindow(dc, surface, r->left, r->top, r->left, r->top, r->right - r->left,
                     r->bottom - r->top);
    }
    ReleaseDC(window, dc);
}

unsigned GetWindowDpi(HWND window)
{
    // GetDpiForWindow exists from Windows 10 (1607) on; older systems have
    // one DPI for every monitor.
    using DpiForWindow = UINT(WINAPI*)(HWND);
    static const DpiForWindow forWindow = reinterpret_cast<DpiForWindow>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    if (forWindow != nullptr && window != nullptr) {
        const UINT dpi = forWindow(window);
        if (dpi != 0)
            return dpi;
    }
    HDC dc = GetDC(window);
    if (dc == nullptr)
        return 96;
    const int dpi = GetDeviceCaps(dc, LOGPIXELSX);
    ReleaseDC(window, dc);
    return dpi > 0 ? static_cast<unsigned>(dpi) : 96;
}

Surface* CreateScaledWindowSurface(HWND window, unsigned dpi)
{
    if (dpi == 0 || dpi == BaseDpi)
        return CreateWindowSurface(window);
    RECT client;
    if (!GetClientRect(window, &client))
        return nullptr;
    const int32_t width = SurfaceSizeForScreen(client.right, dpi);
    const int32_t height = SurfaceSizeForScreen(client.bottom, dpi);
    Surface* surface = CreateSurface(window, 0, 0, width, height);
    if (surface != nullptr)
        surface->View = Rect{0, 0, width, height};
    return surface;
}

namespace {

// One surface rectangle onto the window at `dpi`. A halftone stretch looks
// at the pixels around each one: it is given a pixel more on every side and
// clipped to the rectangle's own place, so that pieces stretched one by one
// meet without seams.
void StretchToWindow(HDC dc, const Surface* surface, Rect r, unsigned dpi)
{
    r.left = std::max(r.left, 0);
    r.top = std::max(r.top, 0);
    r.right = std::min(r.right, surface->Width);
    r.bottom = std::min(r.bottom, surface->Height);
    if (r.left >= r.right || r.top >= r.bottom || surface->MemDC == nullptr)
        return;
    const bool whole = dpi % BaseDpi == 0;
    Rect source = r;
    if (!whole)
        source = Rect{std::max(r.left - 1, 0), std::max(r.top - 1, 0),
                      std::min(r.right + 1, surface->Width), std::min(r.bottom + 1, surface->Height)};
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, SurfaceToScreen(r.left, dpi), SurfaceToScreen(r.top, dpi),
                      SurfaceToScreen(r.right, dpi), SurfaceToScreen(r.bottom, dpi));
    SetStretchBltMode(dc, whole ? COLORONCOLOR : HALFTONE);
    SetBrushOrgEx(dc, 0, 0, nullptr);
    const int32_t x = SurfaceToScreen(source.left, dpi);
    const int32_t y = SurfaceToScreen(source.top, dpi);
    StretchBlt(dc, x, y, SurfaceToScreen(source.right, dpi) - x, SurfaceToScreen(source.bottom, dpi) - y,
               static_cast<HDC>(surface->MemDC), source.left, source.top, source.right - source.left,
               source.bottom - source.top, SRCCOPY);
    RestoreDC(dc, saved);
}

}  // namespace

void PresentScaledWindowRect(HWND window, const Surface* surface, const RECT* rect, unsigned dpi)
{
    if (dpi == 0 || dpi == BaseDpi) {
        PresentSurfaceRect(window, surface, rect);
        return;
    }
    if (surface == nullptr || rect == nullptr)
        return;
    HDC dc = GetDC(window);
    if (dc == nullptr)
        return;
    StretchToWindow(dc, surface, ScreenRectToSurface(Rect{rect->left, rect->top, rect->right, rect->bottom}, dpi),
                    dpi);
    ReleaseDC(window, dc);
}

void PresentScaledDirtyRects(HWND window, const Surface* surface, const DirtyRectList* list,
                             unsigned dpi)
{
    if (dpi == 0 || dpi == BaseDpi) {
        PresentDirtyRects(window, surface, list);
        return;
    }
    if (surface == nullptr || list == nullptr || !list->Slots[0]->InUse)
        return;
    HDC dc = GetDC(window);
    if (dc == nullptr)
        return;
    for (int i = 0; i < DirtyRectSlots && list->Slots[i]->InUse; ++i) {
        const DirtyRect* d = list->Slots[i];
        StretchToWindow(dc, surface, Rect{d->left, d->top, d->right, d->bottom}, dpi);
    }
    ReleaseDC(window, dc);
}

// Surfaces on GDI: DIB sections in memory contexts, presented to a window.
#include "image/surface_gdi.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

namespace {

struct TestWindow {
    HWND Handle;
    TestWindow(int width, int height)
    {
        Handle = CreateWindowExA(0, "STATIC", "surface test", WS_POPUP | WS_VISIBLE, 0, 0, width, height,
                                 nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    }
    ~TestWindow() { DestroyWindow(Handle); }
};

// Pixel at surface column x, row y (0 at the top), as BGRA bytes.
uint8_t* At(Surface* s, int x, int y)
{
    return s->Bits + (static_cast<size_t>(s->Height - 1 - y) * s->Width + x) * 4;
}

TEST(GdiSurface, CreateSurfaceMakesABottomUpDibSectionInAMemoryContext)
{
    TestWindow window(200, 100);
    ASSERT_NE(nullptr, window.Handle);
    Surface* s = CreateSurface(window.Handle, 10, 20, 64, 48);
    ASSERT_NE(nullptr, s);
    EXPECT_EQ(10, s->X);
    EXPECT_EQ(20, s->Y);
    EXPECT_EQ(64, s->Width);
    EXPECT_EQ(48, s->Height);
    EXPECT_EQ(0, s->View.left);
    EXPECT_EQ(64, s->View.right);
    EXPECT_EQ(48, s->View.bottom);
    ASSERT_NE(nullptr, s->Bitmap);
    ASSERT_NE(nullptr, s->MemDC);
    ASSERT_NE(nullptr, s->Bits);

    DIBSECTION dib = {};
    ASSERT_EQ(static_cast<int>(sizeof dib), GetObjectA(static_cast<HBITMAP>(s->Bitmap), sizeof dib, &dib));
    printf("DIB section: %ld x %ld, %u bits, compression %lu\n", dib.dsBmih.biWidth, dib.dsBmih.biHeight,
           dib.dsBmih.biBitCount, dib.dsBmih.biCompression);
    EXPECT_EQ(64, dib.dsBmih.biWidth);
    EXPECT_EQ(48, dib.dsBmih.biHeight);  // positive: bottom-up
    EXPECT_EQ(32, dib.dsBmih.biBitCount);
    EXPECT_EQ(static_cast<DWORD>(BI_RGB), dib.dsBmih.biCompression);
    HDC dc = static_cast<HDC>(s->MemDC);
    EXPECT_EQ(static_cast<HGDIOBJ>(s->Bitmap), GetCurrentObject(dc, OBJ_BITMAP));
    printf("modes: map %d, background %d, fill %d\n", GetMapMode(dc), GetBkMode(dc), GetPolyFillMode(dc));
    EXPECT_EQ(MM_TEXT, GetMapMode(dc));
    EXPECT_EQ(TRANSPARENT, GetBkMode(dc));
    EXPECT_EQ(WINDING, GetPolyFillMode(dc));

    // The top-left pixel is the first of the last memory row.
    uint8_t* p = At(s, 0, 0);
    p[0] = 0x10;
    p[1] = 0x20;
    p[2] = 0xF0;
    GdiFlush();
    const COLORREF got = GetPixel(dc, 0, 0);
    printf("GetPixel(0, 0) = %06lX\n", static_cast<unsigned long>(got));
    EXPECT_EQ(RGB(0xF0, 0x20, 0x10), got);
    FreeSurface(s);
}

TEST(GdiSurface, WindowSurfaceTakesTheClientArea)
{
    TestWindow window(320, 200);
    RECT client;
    ASSERT_TRUE(GetClientRect(window.Handle, &client));
    Surface* s = CreateWindowSurface(window.Handle);
    ASSERT_NE(nullptr, s);
    printf("client %ld x %ld, surface %d x %d\n", client.right, client.bottom, s->Width, s->Height);
    EXPECT_EQ(0, s->X);
    EXPECT_EQ(client.right, s->Width);
    EXPECT_EQ(client.bottom, s->Height);
    EXPECT_EQ(client.right, s->View.right);
    EXPECT_EQ(client.bottom, s->View.bottom);
    FreeSurface(s);
}

COLORREF WindowPixel(HWND window, int x, int y)
{
    GdiFlush();
    HDC dc = GetDC(window);
    const COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return c;
}

TEST(GdiSurface, DrawingAndPresentingBothKindsOfSurface)
{
    TestWindow window(160, 120);
    Surface* gdi = CreateSurface(window.Handle, 0, 0, 160, 120);
    Surface* memory = CreateMemorySurface(160, 120);
    ASSERT_NE(nullptr, gdi);
    ASSERT_NE(nullptr, memory);
    std::vector<uint8_t> picture(40 * 30 * 4);
    uint8_t blue = 200;
    for (Surface* s : {gdi, memory}) {
        const char* kind = s == gdi ? "GDI" : "memory";
        for (size_t i = 0; i < picture.size(); i += 4) {
            picture[i] = blue;
            picture[i + 1] = 100;
            picture[i + 2] = 50;
            picture[i + 3] = 255;
        }
        EXPECT_EQ(1, DrawImage(s, picture.data(), 5, 6, 40, 30, 0));
        EXPECT_EQ(blue, At(s, 5, 6)[0]);
        EXPECT_EQ(50, At(s, 44, 35)[2]);

        PresentSurface(window.Handle, s);
        COLORREF got = WindowPixel(window.Handle, 10, 10);
        printf("%s surface: window pixel (10, 10) after PresentSurface: %06lX\n", kind,
               static_cast<unsigned long>(got));
        EXPECT_EQ(RGB(50, 100, blue), got);
        EXPECT_EQ(RGB(0, 0, 0), WindowPixel(window.Handle, 100, 100));

        // The next presents copy only parts: mark the surface first.
        At(s, 20, 20)[0] = 7;
        At(s, 30, 30)[0] = 9;
        const RECT update = {15, 15, 25, 25};
        PresentSurfaceRect(window.Handle, s, &update);
        EXPECT_EQ(RGB(50, 100, 7), WindowPixel(window.Handle, 20, 20));
        EXPECT_EQ(RGB(50, 100, blue), WindowPixel(window.Handle, 30, 30));
        const RECT outside = {-20, -20, 400, 400};  // larger than the surface
        PresentSurfaceRect(window.Handle, s, &outside);

        At(s, 30, 30)[0] = 11;
        At(s, 40, 10)[0] = 12;
        DirtyRectList* list = AllocDirtyRectList();
        PresentDirtyRects(window.Handle, s, list);  // first slot free: nothing
        EXPECT_EQ(RGB(50, 100, 9), WindowPixel(window.Handle, 30, 30));
        const Rect r = {28, 28, 32, 32};
        AddDirtyRect(list, &r);
        PresentDirtyRects(window.Handle, s, list);
        got = WindowPixel(window.Handle, 30, 30);
        printf("%s surface: window pixel (30, 30) after PresentDirtyRects: %06lX\n", kind,
               static_cast<unsigned long>(got));
        EXPECT_EQ(RGB(50, 100, 11), got);
        EXPECT_EQ(RGB(50, 100, blue), WindowPixel(window.Handle, 40, 10));
        FreeDirtyRectList(list);
        blue = 150;
    }
    FreeSurface(gdi);
    FreeSurface(memory);
    FreeSurface(nullptr);
}

TEST(GdiSurface, RefusesEmptySizes)
{
    TestWindow window(50, 50);
    EXPECT_EQ(nullptr, CreateSurface(window.Handle, 0, 0, 0, 10));
    EXPECT_EQ(nullptr, CreateSurface(window.Handle, 0, 0, 10, -1));
}

TEST(GdiSurface, DetectMmxReadsTheProcessor)
{
    DetectMmx();
    printf("DetectMmx: MmxAvailable = %d (%s)\n", MmxAvailable, sizeof(void*) == 8 ? "x86_64" : "i686");
    EXPECT_TRUE(MmxAvailable == 0 || MmxAvailable == 1);
#if defined(__x86_64__)
    EXPECT_EQ(1, MmxAvailable);
#endif
}

}  // namespace

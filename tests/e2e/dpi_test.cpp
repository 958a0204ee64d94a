// The launcher at the scalings players use (100, 150 and 200 %): its title
// picture fills the same share of its area at each, read back from the
// screen of a virtual display.
#include "e2e_fixture.h"

#include <cstdlib>

namespace {

// The screen under the window's client area, as 32-bit pixels top-down.
struct Capture {
    int Width = 0;
    int Height = 0;
    std::vector<uint32_t> Pixels;
    uint32_t At(int x, int y) const { return Pixels[static_cast<size_t>(y) * Width + x] & 0xFFFFFF; }
};

Capture CaptureClient(HWND window)
{
    Capture capture;
    RECT client;
    GetClientRect(window, &client);
    POINT origin = {0, 0};
    ClientToScreen(window, &origin);
    capture.Width = client.right;
    capture.Height = client.bottom;
    if (capture.Width <= 0 || capture.Height <= 0)
        return capture;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = capture.Width;
    info.bmiHeader.biHeight = -capture.Height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, capture.Width, capture.Height, screen, origin.x, origin.y, SRCCOPY);
    GdiFlush();
    capture.Pixels.assign(static_cast<uint32_t*>(bits),
                          static_cast<uint32_t*>(bits) + capture.Width * capture.Height);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return capture;
}

// A picture for the README: the capture as a bitmap file.
void SaveBitmap(const Capture& capture, const std::string& path)
{
    BITMAPFILEHEADER file = {};
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof header;
    header.biWidth = capture.Width;
    header.biHeight = -capture.Height;
    header.biPlanes = 1;
    header.biBitCount = 32;
    const DWORD bytes = static_cast<DWORD>(capture.Pixels.size() * 4);
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof header;
    file.bfSize = file.bfOffBits + bytes;
    std::string data(reinterpret_cast<const char*>(&file), sizeof file);
    data.append(reinterpret_cast<const char*>(&header), sizeof header);
    data.append(reinterpret_cast<const char*>(capture.Pixels.data()), bytes);
    WriteBytesTo(path, data);
}

void SetLogPixels(DWORD dpi)
{
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, nullptr, 0,
                                             KEY_SET_VALUE, nullptr, &key, nullptr));
    RegSetValueExA(key, "LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi), sizeof dpi);
    RegCloseKey(key);
}

class Dpi : public DrubelTest {
protected:
    void SetUp() override
    {
        const char* graphics = getenv("DRUBEL_WINE_GRAPHICS");
        if (graphics == nullptr || std::string(graphics) != "x11")
            GTEST_SKIP() << "needs a display (run-e2e-display)";
        DrubelTest::SetUp();
    }
    void TearDown() override
    {
        if (HasFatalFailure() || IsSkipped())
            return;
        SetLogPixels(96);
        DrubelTest::TearDown();
    }
};

}  // namespace

TEST_F(Dpi, TheTitlePictureFillsItsAreaAtEveryScale)
{
    // The sample's own title where run-e2e built its discs: its disc 1 in a
    // folder, which the search finds as the folder the launcher starts from.
    std::string folder = Work / "product";
    std::string caption = ProductTitle;
    const std::string sample = BuiltDisc("DRUBEL_E2E_SAMPLES", 1);
    if (!sample.empty() && CopyTree(sample, folder))
        caption = "星霜のアルカディア Arcadia of Starfrost";
    else
        MakeProductFolder(folder, BaseScript());
    const std::string shots = DriveFolder('E') + "\\..\\..";
    const DWORD scales[] = {96, 144, 192};
    double blackAt96 = -1;
    int widthAt96 = 0;
    for (DWORD dpi : scales) {
        SCOPED_TRACE(std::to_string(dpi) + " DPI");
        SetLogPixels(dpi);
        HANDLE process = StartIn(folder, "t");
        HWND launcher = WaitForLauncher(caption);
        ASSERT_NE(nullptr, launcher);
        Sleep(1000);  // painted
        const Capture capture = CaptureClient(launcher);
        // The title's area: the client area left of the button column.
        RECT button;
        GetWindowRect(GetDlgItem(launcher, LaunchInstall), &button);
        POINT corner = {button.left, button.top};
        ScreenToClient(launcher, &corner);
        const int areaWidth = corner.x;
        ASSERT_GT(areaWidth, 0);
        ASSERT_GT(capture.Height, 0);
        long black = 0, all = 0;
        for (int y = capture.Height / 2; y < capture.Height; ++y)
            for (int x = 0; x < areaWidth / 2; ++x, ++all)
                black += capture.At(x, y) == 0;
        const double share = static_cast<double>(black) / static_cast<double>(all);
        printf("%lu DPI: client %dx%d, title area %d wide, lower-left quarter %.1f%% black\n", dpi,
               capture.Width, capture.Height, areaWidth, share * 100);
        SaveBitmap(capture, shots + "\\launcher-" + std::to_string(dpi) + ".bmp");
        if (dpi == 96) {
            blackAt96 = share;
            widthAt96 = capture.Width;
        } else {
            // The layout did follow the DPI, and the picture with it.
            EXPECT_GT(capture.Width * 96, widthAt96 * static_cast<int>(dpi) * 9 / 10);
            EXPECT_NEAR(blackAt96, share, 0.10);
        }
        EXPECT_LT(share, 0.30);
        ExitLauncher(launcher);
        CloseHandle(process);
    }
}

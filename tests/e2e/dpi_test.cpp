// The launcher at the scalings players use (100, 125, 150 and 200 %): its title
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

Capture CaptureScreen(int x, int y, int width, int height)
{
    Capture capture;
    POINT origin = {x, y};
    capture.Width = width;
    capture.Height = height;
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

Capture CaptureClient(HWND window)
{
    RECT client;
    GetClientRect(window, &client);
    POINT origin = {0, 0};
    ClientToScreen(window, &origin);
    return CaptureScreen(origin.x, origin.y, client.right, client.bottom);
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
    const DWORD scales[] = {96, 120, 144, 192};
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

// The install show at 200 %: the whole screen in its real pixels, the
// panel and its pictures twice their size, pixel for pixel.
TEST_F(Dpi, TheInstallShowCoversTheScreenAtTwiceItsSize)
{
    const std::string sample = BuiltDisc("DRUBEL_E2E_SAMPLES", 1);
    ASSERT_FALSE(sample.empty()) << "run-e2e built no sample discs";
    const std::string folder = Work / "DISC1";
    ASSERT_TRUE(CopyTree(sample, folder));
    const std::string caption = "星霜のアルカディア Arcadia of Starfrost";
    SetLogPixels(192);
    HANDLE process = StartIn(folder, "t");
    HWND launcher = WaitForLauncher(caption);
    ASSERT_NE(nullptr, launcher);
    PressButton(launcher, LaunchInstall);
    HWND options = WaitForDialog("星霜のアルカディア のインストール設定");
    ASSERT_NE(nullptr, options);
    PressButton(options, 1003);  // the minimum installation: disc 1 only
    PressButton(options, IDOK);
    HWND show = nullptr;
    for (int i = 0; i < 100 && !show; ++i, Sleep(100))
        show = FindWindowA("QRX_INST", nullptr);
    ASSERT_NE(nullptr, show);
    Sleep(3000);  // on the finish screen
    RECT area;
    GetWindowRect(show, &area);
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    EXPECT_EQ(0, area.left);
    EXPECT_EQ(width, area.right);
    EXPECT_EQ(height, area.bottom);
    const Capture capture = CaptureScreen(0, 0, width, height);
    SaveBitmap(capture, DriveFolder('E') + "\\..\\..\\install-show-192.bmp");
    // Each pixel of the 96-DPI drawing is a block of 2 x 2 on the screen.
    long blocks = 0, whole = 0;
    for (int y = 0; y + 1 < height; y += 2)
        for (int x = 0; x + 1 < width; x += 2, ++blocks)
            whole += capture.At(x, y) == capture.At(x + 1, y) && capture.At(x, y) == capture.At(x, y + 1) &&
                     capture.At(x, y) == capture.At(x + 1, y + 1);
    EXPECT_GT(whole, blocks * 99 / 100) << whole << " of " << blocks << " blocks are whole";
    PostMessageA(show, WM_KEYDOWN, 'A', 0);
    launcher = WaitForLauncher(caption);
    ASSERT_NE(nullptr, launcher);
    ExitLauncher(launcher);
    CloseHandle(process);
    char programFiles[MAX_PATH] = {};
    ExpandEnvironmentStringsA("%ProgramFiles%\\Lumenfield", programFiles, MAX_PATH);
    RemoveTree(programFiles);
    DeleteUserKey("Software\\Lumenfield\\Arcadia");
}

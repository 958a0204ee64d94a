// Stand-in for the game program of 星霜のアルカディア: one window with the
// title, so that the launcher, the shortcuts and the uninstaller have a
// real program to start and remove. Esc or the close box ends it.
#include <windows.h>

namespace {

const char kClassName[] = "ArcadiaStandIn";
const char kTitle[] = "星霜のアルカディア";
const char kLineJa[] = "これはサンプル用の代役ゲームです。";
const char kLineEn[] = "This is a stand-in game.";
const char kHint[] = "Esc キーで終了します。";

void PaintWindow(HWND window)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    RECT client;
    GetClientRect(window, &client);

    // Night-blue fill with gold and white text, like the title picture.
    HBRUSH back = CreateSolidBrush(RGB(14, 16, 48));
    FillRect(dc, &client, back);
    DeleteObject(back);
    SetBkMode(dc, TRANSPARENT);

    HFONT big = CreateFontA(40, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET,
                            OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                            DEFAULT_PITCH | FF_DONTCARE, "ＭＳ Ｐゴシック");
    HFONT small = CreateFontA(18, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET,
                              OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                              DEFAULT_PITCH | FF_DONTCARE, "ＭＳ Ｐゴシック");

    RECT line = client;
    line.top = client.bottom / 2 - 90;
    line.bottom = line.top + 50;
    HGDIOBJ old = SelectObject(dc, big);
    SetTextColor(dc, RGB(240, 200, 120));
    DrawTextA(dc, kTitle, -1, &line, DT_CENTER | DT_SINGLELINE | DT_VCENTER);

    SelectObject(dc, small);
    SetTextColor(dc, RGB(230, 235, 255));
    OffsetRect(&line, 0, 70);
    DrawTextA(dc, kLineJa, -1, &line, DT_CENTER | DT_SINGLELINE | DT_VCENTER);
    OffsetRect(&line, 0, 30);
    DrawTextA(dc, kLineEn, -1, &line, DT_CENTER | DT_SINGLELINE | DT_VCENTER);
    SetTextColor(dc, RGB(140, 150, 200));
    OffsetRect(&line, 0, 50);
    DrawTextA(dc, kHint, -1, &line, DT_CENTER | DT_SINGLELINE | DT_VCENTER);

    SelectObject(dc, old);
    DeleteObject(big);
    DeleteObject(small);
    EndPaint(window, &ps);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT:
        PaintWindow(window);
        return 0;
    case WM_KEYDOWN:
        if (wParam == VK_ESCAPE) {
            DestroyWindow(window);
        }
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show)
{
    WNDCLASSA wc = {};
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    wc.lpszClassName = kClassName;
    if (!RegisterClassA(&wc)) {
        return 1;
    }

    // An 800x600 client area, the game's native screen size.
    RECT frame = {0, 0, 800, 600};
    DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    AdjustWindowRect(&frame, style, FALSE);
    HWND window = CreateWindowA(kClassName, kTitle, style, CW_USEDEFAULT, CW_USEDEFAULT,
                                frame.right - frame.left, frame.bottom - frame.top, nullptr,
                                nullptr, instance, nullptr);
    if (!window) {
        return 1;
    }
    ShowWindow(window, show);
    UpdateWindow(window);

    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}

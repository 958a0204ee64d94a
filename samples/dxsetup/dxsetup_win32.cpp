// Stand-in for the DirectX setup program on disc 2 of 星霜のアルカディア.
// The launcher's DirectX button starts it; it only says what it is.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    MessageBoxA(nullptr,
                "DirectX セットアップ（サンプル）\r\n\r\n"
                "この製品の見本ディスクには DirectX は入っていません。\r\n"
                "This sample disc carries no DirectX runtime.",
                "DirectX セットアップ（サンプル）", MB_OK | MB_ICONINFORMATION);
    return 0;
}

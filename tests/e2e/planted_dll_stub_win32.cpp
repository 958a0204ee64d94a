// Somebody else's DLL, planted under a name the launcher loads: when it is
// loaded, its code runs, and it says so in the file that
// DRUBEL_E2E_PLANTED names. It carries winmm's two functions that the
// launcher once imported, so that a program importing them would start
// with it rather than fail to.
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID)
{
    if (reason != DLL_PROCESS_ATTACH)
        return TRUE;
    char mark[MAX_PATH] = {};
    char self[MAX_PATH] = {};
    if (!GetEnvironmentVariableA("DRUBEL_E2E_PLANTED", mark, sizeof mark))
        return TRUE;
    GetModuleFileNameA(module, self, sizeof self);
    HANDLE file = CreateFileA(mark, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        WriteFile(file, self, lstrlenA(self), &written, nullptr);
        WriteFile(file, "\r\n", 2, &written, nullptr);
        CloseHandle(file);
    }
    return TRUE;
}

extern "C" __declspec(dllexport) DWORD WINAPI timeGetTime() { return GetTickCount(); }
extern "C" __declspec(dllexport) UINT WINAPI mciSendCommandW(UINT, UINT, DWORD_PTR, DWORD_PTR)
{
    return 1;
}

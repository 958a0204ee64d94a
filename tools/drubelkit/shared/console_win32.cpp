#include "shared/console.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <io.h>
#include <shellapi.h>

namespace {

UINT EarlierOutputPage = 0;

void RestoreOutputPage()
{
    if (EarlierOutputPage != 0)
        SetConsoleOutputCP(EarlierOutputPage);
}

// Code is loaded from the system folder only, never from the current
// folder or the folder of a product the tool was pointed at. Looked up at
// run time: Windows before 8 without the update lacks the call.
void RestrictDllSearch()
{
    typedef BOOL(WINAPI * SetDefaultDllDirectoriesFn)(DWORD);
    const HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    const auto set = reinterpret_cast<SetDefaultDllDirectoriesFn>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
    if (set != nullptr)
        set(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

}  // namespace

void StartTool(int, char**, ToolStart* start)
{
    RestrictDllSearch();
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    for (int i = 0; wide != nullptr && i < count; ++i) {
        const int n = WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, nullptr, 0, nullptr, nullptr);
        std::string arg(n > 0 ? static_cast<size_t>(n - 1) : 0, '\0');
        if (n > 1)
            WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, &arg[0], n, nullptr, nullptr);
        start->Args.push_back(arg);
    }
    LocalFree(wide);
    for (std::string& a : start->Args)
        start->Argv.push_back(&a[0]);
    start->Argv.push_back(nullptr);
    // The messages are UTF-8; a console shows them as such, a file or a
    // pipe gets the bytes of the Linux build.
    if (GetConsoleWindow() != nullptr) {
        EarlierOutputPage = GetConsoleOutputCP();
        SetConsoleOutputCP(CP_UTF8);
        atexit(RestoreOutputPage);
    }
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
}

bool ToolOwnsConsole()
{
    DWORD processes[2];
    return GetConsoleProcessList(processes, 2) == 1;
}

void WaitForKey()
{
    fputs("\nPress a key to close this window.\n", stderr);
    fflush(stderr);
    HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    FlushConsoleInputBuffer(input);
    INPUT_RECORD record;
    DWORD read = 0;
    while (ReadConsoleInputW(input, &record, 1, &read) && read == 1) {
        if (record.EventType == KEY_EVENT && record.Event.KeyEvent.bKeyDown)
            return;
    }
}

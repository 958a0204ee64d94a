#include "common/system_dlls.h"

#include <cwchar>

namespace {

// Not declared by headers for old targets; the values are the system's.
constexpr DWORD SearchSystem32 = 0x00000800;  // LOAD_LIBRARY_SEARCH_SYSTEM32

bool Restricted = false;

// The system folder and a backslash, or an empty text.
bool SystemDllPath(const wchar_t* name, wchar_t* path, size_t chars)
{
    UINT n = GetSystemDirectoryW(path, static_cast<UINT>(chars));
    if (n == 0 || n >= chars)
        return false;
    const size_t length = wcslen(name);
    if (n + 1 + length + 1 > chars)
        return false;
    if (path[n - 1] != L'\\')
        path[n++] = L'\\';
    wmemcpy(path + n, name, length + 1);
    return true;
}

template <typename Function>
Function KernelFunction(const char* name)
{
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    return kernel != nullptr ? reinterpret_cast<Function>(reinterpret_cast<void (*)()>(
                                   GetProcAddress(kernel, name)))
                             : nullptr;
}

}  // namespace

HMODULE LoadSystemDll(const wchar_t* name)
{
    wchar_t path[MAX_PATH + 32];
    if (!SystemDllPath(name, path, sizeof path / sizeof path[0]))
        return nullptr;
    // Under the restriction a DLL's own imports come from the system folder
    // already; without it the altered search takes them from the folder of
    // the DLL named by full path, the system folder, rather than from the
    // program's.
    return LoadLibraryExW(path, nullptr, Restricted ? 0 : LOAD_WITH_ALTERED_SEARCH_PATH);
}

bool RestrictDllSearch()
{
    // No window, no message box before this: the shell's and the common
    // controls' DLLs load their helpers by name.
    using SetDefaultDirectories = BOOL(WINAPI*)(DWORD);
    using SetDllDirectory = BOOL(WINAPI*)(LPCWSTR);
    if (auto setDirectory = KernelFunction<SetDllDirectory>("SetDllDirectoryW"))
        setDirectory(L"");  // the current folder is out of the search
    if (auto setDefault = KernelFunction<SetDefaultDirectories>("SetDefaultDllDirectories")) {
        if (setDefault(SearchSystem32)) {
            Restricted = true;
            return true;
        }
    }
    // Without the call (Vista, XP without its update) the names that the
    // system's DLLs load later by name are loaded from the system folder
    // first: a load by name then finds the one already in the process.
    // Windows 95/98/NT 4 have no such helpers; loading fails harmlessly.
    static const wchar_t* const Preloaded[] = {
        L"uxtheme.dll", L"userenv.dll", L"setupapi.dll", L"apphelp.dll", L"propsys.dll",
        L"dwmapi.dll",  L"cryptbase.dll", L"oleacc.dll", L"clbcatq.dll", L"version.dll",
    };
    // An old system without one of them must not show a box for it.
    const UINT previous = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    for (const wchar_t* name : Preloaded)
        LoadSystemDll(name);
    SetErrorMode(previous);
    return false;
}

namespace {

using TimeGetTime = DWORD(WINAPI*)();
using MciSendCommand = MCIERROR(WINAPI*)(MCIDEVICEID, UINT, DWORD_PTR, DWORD_PTR);

struct Winmm {
    TimeGetTime Time;
    MciSendCommand Command;
};

// Loaded once; the renderer's clock may ask from the window's thread, the
// disc search from the main thread, both before any worker runs: a second
// load on a race finds the same module.
const Winmm& WinmmFunctions()
{
    static Winmm functions = [] {
        Winmm loaded = {nullptr, nullptr};
        if (HMODULE module = LoadSystemDll(L"winmm.dll")) {
            loaded.Time = reinterpret_cast<TimeGetTime>(
                reinterpret_cast<void (*)()>(GetProcAddress(module, "timeGetTime")));
            loaded.Command = reinterpret_cast<MciSendCommand>(
                reinterpret_cast<void (*)()>(GetProcAddress(module, "mciSendCommandW")));
        }
        return loaded;
    }();
    return functions;
}

}  // namespace

DWORD SysTimeMilliseconds()
{
    const Winmm& winmm = WinmmFunctions();
    return winmm.Time != nullptr ? winmm.Time() : GetTickCount();
}

MCIERROR SysMciSendCommand(MCIDEVICEID device, UINT message, DWORD_PTR flags, DWORD_PTR parameter)
{
    const Winmm& winmm = WinmmFunctions();
    return winmm.Command != nullptr ? winmm.Command(device, message, flags, parameter)
                                    : MCIERR_DEVICE_NOT_INSTALLED;
}

bool SysMciAvailable() { return WinmmFunctions().Command != nullptr; }

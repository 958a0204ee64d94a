#include "app/game_start.h"

#include "common/cp932.h"
#include "common/system_text.h"
#include "common/text.h"
#include "script/setup_model.h"

#include <windows.h>
#include <exdisp.h>
#include <shldisp.h>
#include <shlguid.h>
#include <shlobj.h>

#include <memory>

// The launcher runs elevated, since it installs below Program Files; the
// game must not. Where the install folder is one any user may write into
// (C:\Games), whoever replaced the game's program would run as
// administrator, and the game itself would write as one. So an elevated
// launcher starts the game as the user at the desktop: through the
// desktop's own shell (the shell runs it, with its own rights), else with
// the shell's token; a launcher that is not elevated (Windows 9x, XP, no
// UAC) starts it itself, as before. The DirectX setup, which needs the
// rights, is started elsewhere and keeps them.

static GameStartWay LastWay = GameStartNotStarted;

GameStartWay LastGameStartWay() { return LastWay; }

namespace {

template <typename T>
struct Released {
    T* Pointer = nullptr;
    ~Released()
    {
        if (Pointer != nullptr)
            Pointer->Release();
    }
    T** Out() { return &Pointer; }
    void** OutVoid() { return reinterpret_cast<void**>(&Pointer); }
    explicit operator bool() const { return Pointer != nullptr; }
    T* operator->() const { return Pointer; }
};

struct Handle {
    HANDLE Value = nullptr;
    ~Handle()
    {
        if (Value != nullptr && Value != INVALID_HANDLE_VALUE)
            CloseHandle(Value);
    }
};

// The token calls, looked up at run time: Windows 9x has no tokens.
struct TokenCalls {
    BOOL(WINAPI* OpenToken)(HANDLE, DWORD, PHANDLE);
    BOOL(WINAPI* GetInformation)(HANDLE, TOKEN_INFORMATION_CLASS, LPVOID, DWORD, PDWORD);
    BOOL(WINAPI* Duplicate)(HANDLE, DWORD, LPSECURITY_ATTRIBUTES, SECURITY_IMPERSONATION_LEVEL,
                            TOKEN_TYPE, PHANDLE);
    BOOL(WINAPI* CreateWithToken)(HANDLE, DWORD, LPCWSTR, LPWSTR, DWORD, LPVOID, LPCWSTR,
                                  LPSTARTUPINFOW, LPPROCESS_INFORMATION);
};

template <typename Fn>
void Find(HMODULE module, const char* name, Fn* function)
{
    *function = module != nullptr
        ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)))
        : nullptr;
}

const TokenCalls& Tokens()
{
    static TokenCalls calls = [] {
        TokenCalls found = {};
        HMODULE advapi = GetModuleHandleW(L"advapi32.dll");
        Find(advapi, "OpenProcessToken", &found.OpenToken);
        Find(advapi, "GetTokenInformation", &found.GetInformation);
        Find(advapi, "DuplicateTokenEx", &found.Duplicate);
        Find(advapi, "CreateProcessWithTokenW", &found.CreateWithToken);
        return found;
    }();
    return calls;
}

bool RunsElevated()
{
    const TokenCalls& calls = Tokens();
    Handle token;
    if (calls.OpenToken == nullptr || calls.GetInformation == nullptr ||
        !calls.OpenToken(GetCurrentProcess(), TOKEN_QUERY, &token.Value))
        return false;
    // Before Vista there is no such class of information: nothing is elevated.
    TOKEN_ELEVATION elevation = {};
    DWORD size = 0;
    return calls.GetInformation(token.Value, TokenElevation, &elevation, sizeof elevation, &size) &&
           elevation.TokenIsElevated != 0;
}

HWND DesktopShellWindow()
{
    HWND(WINAPI * get)() = nullptr;
    Find(GetModuleHandleW(L"user32.dll"), "GetShellWindow", &get);
    return get != nullptr ? get() : nullptr;
}

// The desktop's shell dispatch object: the desktop folder view's
// application, which belongs to the shell's process.
bool DesktopShellDispatch(IShellDispatch2** shell)
{
    Released<IShellWindows> windows;
    if (FAILED(CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_ALL, __uuidof(IShellWindows),
                                windows.OutVoid())))
        return false;
    VARIANT location;
    VariantInit(&location);
    location.vt = VT_I4;
    location.lVal = CSIDL_DESKTOP;
    VARIANT root;
    VariantInit(&root);
    long window = 0;
    Released<IDispatch> desktop;
    if (windows->FindWindowSW(&location, &root, SWC_DESKTOP, &window, SWFO_NEEDDISPATCH,
                              desktop.Out()) != S_OK ||
        !desktop)
        return false;
    Released<IServiceProvider> provider;
    Released<IShellBrowser> browser;
    Released<IShellView> view;
    Released<IDispatch> background;
    Released<IShellFolderViewDual> folderView;
    Released<IDispatch> application;
    return SUCCEEDED(desktop->QueryInterface(__uuidof(IServiceProvider), provider.OutVoid())) &&
           SUCCEEDED(provider->QueryService(SID_STopLevelBrowser, __uuidof(IShellBrowser),
                                            browser.OutVoid())) &&
           SUCCEEDED(browser->QueryActiveShellView(view.Out())) &&
           SUCCEEDED(view->GetItemObject(SVGIO_BACKGROUND, __uuidof(IDispatch),
                                         background.OutVoid())) &&
           SUCCEEDED(background->QueryInterface(__uuidof(IShellFolderViewDual),
                                                folderView.OutVoid())) &&
           SUCCEEDED(folderView->get_Application(application.Out())) &&
           SUCCEEDED(application->QueryInterface(__uuidof(IShellDispatch2),
                                                 reinterpret_cast<void**>(shell)));
}

VARIANT TextVariant(BSTR text)
{
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_BSTR;
    v.bstrVal = text;
    return v;
}

bool StartThroughDesktopShell(const wchar_t* program, const wchar_t* folder)
{
    const HRESULT init = CoInitialize(nullptr);
    bool started = false;
    {
        Released<IShellDispatch2> shell;
        if (DesktopShellDispatch(shell.Out())) {
            BSTR file = SysAllocString(program);
            BSTR arguments = SysAllocString(L"");
            BSTR directory = SysAllocString(folder);
            BSTR verb = SysAllocString(L"open");
            VARIANT show;
            VariantInit(&show);
            show.vt = VT_I4;
            show.lVal = SW_SHOWNORMAL;
            if (file && arguments && directory && verb)
                started = SUCCEEDED(shell->ShellExecute(file, TextVariant(arguments),
                                                        TextVariant(directory), TextVariant(verb),
                                                        show));
            SysFreeString(file);
            SysFreeString(arguments);
            SysFreeString(directory);
            SysFreeString(verb);
        }
    }
    if (SUCCEEDED(init))
        CoUninitialize();
    return started;
}

bool StartWithShellToken(HWND shellWindow, const wchar_t* program, wchar_t* commandLine,
                         const wchar_t* folder)
{
    const TokenCalls& calls = Tokens();
    DWORD processId = 0;
    if (calls.CreateWithToken == nullptr || calls.OpenToken == nullptr ||
        calls.Duplicate == nullptr || GetWindowThreadProcessId(shellWindow, &processId) == 0)
        return false;
    Handle process;
    process.Value = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, processId);
    Handle token;
    Handle primary;
    if (process.Value == nullptr ||
        !calls.OpenToken(process.Value, TOKEN_DUPLICATE, &token.Value) ||
        !calls.Duplicate(token.Value,
                          TOKEN_QUERY | TOKEN_DUPLICATE | TOKEN_ASSIGN_PRIMARY |
                              TOKEN_ADJUST_DEFAULT | TOKEN_ADJUST_SESSIONID,
                          nullptr, SecurityImpersonation, TokenPrimary, &primary.Value))
        return false;
    // The launcher's own environment, as a game started by it always had.
    wchar_t* environment = GetEnvironmentStringsW();
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started = {};
    const BOOL ok = calls.CreateWithToken(primary.Value, 0, program, commandLine,
                                          CREATE_UNICODE_ENVIRONMENT, environment, folder,
                                          &startup, &started);
    if (environment != nullptr)
        FreeEnvironmentStringsW(environment);
    if (!ok)
        return false;
    CloseHandle(started.hThread);
    CloseHandle(started.hProcess);
    return true;
}

std::unique_ptr<wchar_t[]> Wide(const char* text)
{
    const size_t chars = strlen(text) + 1;
    std::unique_ptr<wchar_t[]> wide(new (std::nothrow) wchar_t[chars]);
    if (wide && !Cp932ToWide(text, reinterpret_cast<char16_t*>(wide.get()), chars))
        wide.reset();
    return wide;
}

// The path is quoted on the command line: the default install folder lies
// below "Program Files", and an unquoted path would reach the game as a
// program name cut at the blank plus stray arguments.
bool StartGameProcess()
{
    LastWay = GameStartNotStarted;
    char program[PathWidth];
    char commandLine[PathWidth + 2];
    if (!JoinPath(program, SetupScript.InstallFolder, SetupScript.EXENAME) ||
        !FormatText(commandLine, sizeof commandLine, "\"%s\"", program))
        return false;
    HWND shellWindow = RunsElevated() ? DesktopShellWindow() : nullptr;
    // Not elevated, or no desktop shell to run it as: as before.
    if (shellWindow == nullptr) {
        PROCESS_INFORMATION process = {};
        if (!SysCreateProcess(program, commandLine, 0, SetupScript.InstallFolder, &process))
            return false;
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        LastWay = GameStartDirect;
        return true;
    }
    std::unique_ptr<wchar_t[]> wideProgram = Wide(program);
    std::unique_ptr<wchar_t[]> wideCommand = Wide(commandLine);
    std::unique_ptr<wchar_t[]> wideFolder = Wide(SetupScript.InstallFolder);
    if (!wideProgram || !wideCommand || !wideFolder)
        return false;
    // The shell reports no failure of the program itself: a missing one is
    // told here, as a direct start would tell it.
    const DWORD attributes = GetFileAttributesW(wideProgram.get());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    if (StartThroughDesktopShell(wideProgram.get(), wideFolder.get())) {
        LastWay = GameStartDesktopShell;
        return true;
    }
    if (StartWithShellToken(shellWindow, wideProgram.get(), wideCommand.get(), wideFolder.get())) {
        LastWay = GameStartShellToken;
        return true;
    }
    // Never with the launcher's own rights while a desktop user is there.
    return false;
}

}  // namespace

int StartInstalledGame(const InstanceLock& lock)
{
    lock.Release();
    if (StartGameProcess()) {
        SetupScript.AppMode = ModeExit;
        return 1;
    }
    if (!lock.Take()) {
        ResetSetupScript();
        return 0;
    }
    SysMessageBox(nullptr, "起動に失敗しました。再インストールする事をお薦めします。",
                  SetupScript.APPLITITLE, MB_OK);
    SetupScript.AppMode = ModeMenu;
    return 1;
}

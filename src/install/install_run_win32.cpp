#include "install/install_run.h"

#include "common/dialog_win32.h"
#include "common/path_rules.h"
#include "install/install_journal.h"
#include "install/install_window.h"
#include "install/options_dialog.h"
#include "script/setup_model.h"

#include <windows.h>

static const char InstallClassName[] = "QRX_INST";

int WriteInstallRecord()
{
    // The record belongs under Software: a script's key anywhere else (the
    // user's environment, say) is never written.
    if (!IsSoftwareSubkey(SetupScript.REGADDRESS))
        return 0;
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, SetupScript.REGADDRESS, 0, nullptr,
                        REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return 0;
    const DWORD option = SetupScript.InstallOption;
    // A record with only one of its values would be a false "installed".
    const bool written =
        RegSetValueExA(key, "InstallFolder", 0, REG_BINARY,
                       reinterpret_cast<const BYTE*>(SetupScript.InstallFolder),
                       sizeof SetupScript.InstallFolder) == ERROR_SUCCESS &&
        RegSetValueExA(key, "InstallOption", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&option),
                       sizeof option) == ERROR_SUCCESS;
    RegCloseKey(key);
    return written ? 1 : 0;
}

static ATOM RegisterInstallClass()
{
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = InstallWindowProc;
    windowClass.hInstance = ModuleInstance();
    // The program carries no icon: these find none and the class has none.
    windowClass.hIcon = LoadIconA(ModuleInstance(), MAKEINTRESOURCEA(32512));
    windowClass.hIconSm = LoadIconA(ModuleInstance(), MAKEINTRESOURCEA(32512));
    windowClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    windowClass.lpszMenuName = InstallClassName;
    windowClass.lpszClassName = InstallClassName;
    return RegisterClassExA(&windowClass);
}

// A creation that failed in WM_CREATE (no screen surface) had its
// destruction post a quit that nobody will read.
static void DropQuitMessage()
{
    MSG message;
    PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
}

static void ReportOutcome()
{
    if (SetupScript.AppMode == ModeInstall) {
        if (!WriteInstallRecord()) {
            // An installation the launcher cannot know of is taken back
            // rather than left behind unrecorded.
            RollBackInstallation();
            MessageBoxA(nullptr, "レジストリエラー", SetupScript.APPLITITLE, MB_OK);
            SetupScript.AppMode = ModeExit;
            return;
        }
        JournalFinish();
        SetupScript.IsInstalled = 1;
        SetupScript.AppMode = ModeMenu;
    } else if (SetupScript.AppMode == ModeMenu) {
        MessageBoxA(nullptr, "インストールを中断しました。", SetupScript.APPLITITLE, MB_OK);
    }
}

int RunInstallWindow(int showCommand, void (*releaseInstanceLock)())
{
    // The script and the pictures are read from the current folder, which
    // the removal after an abort leaves at the drive root: without it back,
    // the launcher could not show its title and the program would end.
    char currentFolder[MAX_PATH] = {};
    const DWORD folderLength = GetCurrentDirectoryA(sizeof currentFolder, currentFolder);
    const bool folderKept = folderLength != 0 && folderLength < sizeof currentFolder;
    HWND desktop = GetDesktopWindow();
    RECT area;
    GetWindowRect(desktop, &area);
    RegisterInstallClass();
    InitializeCriticalSection(&ScreenLock);
    HWND window = CreateWindowExA(WS_EX_TOPMOST, InstallClassName, InstallClassName,
                                  WS_POPUP | WS_CHILD, area.left, area.top, area.right,
                                  area.bottom, desktop, nullptr, ModuleInstance(), nullptr);
    if (window == nullptr) {
        // Also when the screen surface could not be made: the player is told,
        // rather than the program ending as if nothing had been asked for.
        DropQuitMessage();
        UnregisterClassA(InstallClassName, ModuleInstance());
        DeleteCriticalSection(&ScreenLock);
        MessageBoxA(nullptr, "ウィンドウ作成エラー", InstallClassName, MB_OK);
        if (releaseInstanceLock)
            releaseInstanceLock();
        return 0;
    }
    ShowWindow(window, showCommand);
    UpdateWindow(window);
    SetFocus(window);

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    UnregisterClassA(InstallClassName, ModuleInstance());
    DeleteCriticalSection(&ScreenLock);
    if (folderKept)
        SetCurrentDirectoryA(currentFolder);
    ReportOutcome();
    return 1;
}

int RunInstallation(int showCommand, void (*releaseInstanceLock)())
{
    const INT_PTR result = InstallOptionsDialog();
    // A dialog that could not even open confirmed nothing.
    if (result == -1)
        SetupScript.AppMode = ModeExit;
    if (SetupScript.AppMode != ModeInstall)
        return 1;
    return RunInstallWindow(showCommand, releaseInstanceLock);
}

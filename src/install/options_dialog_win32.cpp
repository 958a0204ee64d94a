#include "install/options_dialog.h"

#include "common/drive_root.h"
#include "common/path_rules.h"
#include "common/text.h"
#include "image/epa.h"
#include "image/surface_gdi.h"
#include "install/install_sizes.h"
#include "install/options_text.h"
#include "launcher/launcher.h"
#include "res/resource.h"
#include "script/setup_model.h"
#include "uninstall/uninstall.h"

#include <shlobj.h>

#include <cstdlib>

namespace {

constexpr int LogoX = 12;
constexpr int LogoY = 12;
constexpr int LogoWidth = 400;
constexpr int LogoHeight = 98;

Surface* LogoSurface;

void Tell(HWND dialog, const char* text)
{
    MessageBoxA(dialog, text, SetupScript.APPLITITLE, MB_OK);
}

void SetOptionLabel(HWND dialog, int id, const char* title, uint32_t mask)
{
    char label[PathWidth];
    ComposeOptionLabel(label, sizeof label, title, SumFileSizes(AllDiscs, mask));
    SetDlgItemTextA(dialog, id, label);
}

bool ShowLogo(HWND dialog)
{
    LogoSurface = CreateSurface(dialog, LogoX, LogoY, LogoWidth, LogoHeight);
    if (LogoSurface == nullptr)
        return false;
    int32_t width = 0;
    int32_t height = 0;
    uint8_t* picture = LoadEpaImage("LOGO.EPA", &width, &height);
    if (picture == nullptr) {
        FreeSurface(LogoSurface);
        LogoSurface = nullptr;
        ShowUnreadableData(dialog, "LOGO.EPA");
        return false;
    }
    // Drawn at its own size, cut to the surface: a logo of another size must
    // not make the drawing read past its pixels.
    DrawImage(LogoSurface, picture, 0, 0, width, height, 0);
    free(picture);
    PresentSurface(dialog, LogoSurface);
    return true;
}

void OnInitDialog(HWND dialog)
{
    char text[PathWidth];
    ComposeOptionsCaption(text, sizeof text, SetupScript.APPLITITLE);
    SetWindowTextA(dialog, text);
    if (SetupScript.OPTIONTITLE[0][0] != '\0')
        SetOptionLabel(dialog, IDC_OPTION_FIRST, SetupScript.OPTIONTITLE[0], OptionFull);
    if (SetupScript.OPTIONTITLE[1][0] != '\0') {
        SetOptionLabel(dialog, IDC_OPTION_SECOND, SetupScript.OPTIONTITLE[1], OptionSecond);
    } else {
        SendDlgItemMessageA(dialog, IDC_OPTION_SECOND, BM_SETCHECK, BST_INDETERMINATE, 0);
        ShowWindow(GetDlgItem(dialog, IDC_OPTION_SECOND), SW_HIDE);
    }
    ComposeFolderHint(text, sizeof text, SetupScript.MUSTMAKEFOLDER);
    SetDlgItemTextA(dialog, IDC_INSTALL_HINT, text);
    CheckDlgButton(dialog, IDC_OPTION_FIRST, BST_CHECKED);
    SetDlgItemTextA(dialog, IDC_INSTALL_PATH, SetupScript.InstallBasePath);
    SetupScript.InstallOption = OptionFull;
    if (!ShowLogo(dialog)) {
        SetupScript.AppMode = ModeExit;
        EndDialog(dialog, 0);
    }
}

void Browse(HWND dialog)
{
    IMalloc* allocator = nullptr;
    if (FAILED(SHGetMalloc(&allocator)) || allocator == nullptr)
        return;
    // The browser's tree lives on COM objects of this thread.
    const bool com = SUCCEEDED(CoInitialize(nullptr));
    char displayName[MAX_PATH] = {};
    BROWSEINFOA info = {};
    info.hwndOwner = dialog;
    info.pidlRoot = nullptr;
    info.pszDisplayName = displayName;
    info.lpszTitle = "インストール先フォルダの指定";
    info.ulFlags = BIF_RETURNONLYFSDIRS;
    LPITEMIDLIST items = SHBrowseForFolderA(&info);
    if (items != nullptr) {
        char path[MAX_PATH] = {};
        if (SHGetPathFromIDListA(items, path)) {
            CopyText(SetupScript.InstallBasePath, path);
            CutTrailingBackslashKeepRoot(SetupScript.InstallBasePath);
            SetDlgItemTextA(dialog, IDC_INSTALL_PATH, SetupScript.InstallBasePath);
        }
        allocator->Free(items);
    }
    if (com)
        CoUninitialize();
    allocator->Release();
}

void Confirm(HWND dialog)
{
    // A text longer than the path buffer would be read cut, as another path.
    if (GetWindowTextLengthA(GetDlgItem(dialog, IDC_INSTALL_PATH)) >= PathWidth) {
        Tell(dialog, "インストール先の指定が不正です。再度入力して下さい。");
        return;
    }
    char text[PathWidth] = {};
    GetDlgItemTextA(dialog, IDC_INSTALL_PATH, text, sizeof text);
    CopyText(SetupScript.InstallBasePath, text);
    // The install folder always lies inside the folder the player chose:
    // never beside it or above it through the script's own folder names,
    // never somewhere that depends on the current folder, and never where
    // the uninstall would refuse to take it away again.
    char base[PathWidth];
    char folder[PathWidth];
    if (!IsPlainFolderPath(SetupScript.MUSTMAKEFOLDER) ||
        !IsPlainFolderPath(SetupScript.BRANDFOLDER) || !IsAbsoluteFolderPath(text) ||
        !NormalizeInstallPath(SetupScript.InstallBasePath) ||
        !CopyText(base, SetupScript.InstallBasePath) ||
        !ComposeInstallFolder(base, SetupScript.MUSTMAKEFOLDER, folder, sizeof folder) ||
        !InstallFolderUsableHere(folder)) {
        Tell(dialog, "インストール先の指定が不正です。再度入力して下さい。");
        return;
    }
    char drive[PathWidth];
    DrivePartOf(SetupScript.InstallBasePath, drive, sizeof drive);
    if (drive[0] == '\0') {
        Tell(dialog, "インストール先のドライブが不明です。再度入力して下さい。");
        return;
    }
    const uint64_t required = SumFileSizes(AllDiscs, SetupScript.InstallOption);
    ULARGE_INTEGER available;
    if (!GetDiskFreeSpaceExA(drive, &available, nullptr, nullptr)) {
        Tell(dialog, "インストール先のドライブが不正です。再度入力して下さい。");
        return;
    }
    if (required > available.QuadPart &&
        DialogBoxParamA(static_cast<HINSTANCE>(SetupScript.Instance),
                        MAKEINTRESOURCEA(IDD_DISK_SPACE_WARNING), dialog,
                        DiskSpaceWarningDialogProc, 0) != 0)
        return;
    CopyText(base, SetupScript.InstallBasePath);
    ComposeInstallFolder(base, SetupScript.MUSTMAKEFOLDER, SetupScript.InstallFolder,
                         sizeof SetupScript.InstallFolder);
    // A drive root keeps its backslash: "C:" alone is the current folder there.
    CutTrailingBackslashKeepRoot(SetupScript.InstallBasePath);
    if (IsDlgButtonChecked(dialog, IDC_DESKTOP_SHORTCUT) == BST_CHECKED)
        SetupScript.InstallOption |= DesktopShortcutBit;
    EndDialog(dialog, 0);
}

void OnCommand(HWND dialog, int id)
{
    switch (id) {
    case IDC_OPTION_FIRST:
        SetupScript.InstallOption = OptionFull;
        break;
    case IDC_OPTION_SECOND:
        SetupScript.InstallOption = OptionSecond;
        break;
    case IDC_OPTION_THIRD:
        SetupScript.InstallOption = OptionThird;
        break;
    case IDC_OPTION_FOURTH:
        SetupScript.InstallOption = OptionFourth;
        break;
    case IDC_INSTALL_BROWSE:
        Browse(dialog);
        break;
    case IDOK:
        Confirm(dialog);
        break;
    case IDCANCEL:
        SetupScript.AppMode = ModeMenu;
        EndDialog(dialog, 0);
        break;
    }
}

void OnPaint(HWND dialog)
{
    PAINTSTRUCT paint;
    BeginPaint(dialog, &paint);
    if (LogoSurface != nullptr)
        PresentSurface(dialog, LogoSurface);
    EndPaint(dialog, &paint);
}

}  // namespace

bool NormalizeInstallPath(char* path)
{
    char full[PathWidth];
    char* filePart = nullptr;
    const DWORD length = GetFullPathNameA(path[0] != '\0' ? path : ".", sizeof full, full, &filePart);
    if (length == 0 || length >= sizeof full)
        return false;
    return CopyText(path, PathWidth, full);
}

INT_PTR CALLBACK InstallOptionsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog(dialog);
        break;
    case WM_PAINT:
        OnPaint(dialog);
        break;
    case WM_COMMAND:
        OnCommand(dialog, LOWORD(wParam));
        break;
    case WM_DESTROY:
        FreeSurface(LogoSurface);
        LogoSurface = nullptr;
        break;
    }
    return 0;
}

INT_PTR CALLBACK DiskSpaceWarningDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_INITDIALOG)
        return TRUE;
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        EndDialog(dialog, LOWORD(wParam) == IDOK ? 1 : 0);
        return TRUE;
    }
    return FALSE;
}

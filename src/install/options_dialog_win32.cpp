#include "install/options_dialog.h"

#include "archive/setup_data.h"
#include "common/dialog_win32.h"
#include "common/drive_root.h"
#include "common/path_rules.h"
#include "common/run_switches.h"
#include "common/setup_log.h"
#include "common/system_text.h"
#include "common/text.h"
#include "image/epa.h"
#include "image/scale.h"
#include "image/surface_gdi.h"
#include "install/install_sizes.h"
#include "install/link_check.h"
#include "install/options_text.h"
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

// The dialog's own data, kept in its user data.
struct OptionsDialog {
    Surface* Logo;
};

void Tell(HWND dialog, const char* text)
{
    SysMessageBox(dialog, text, SetupScript.APPLITITLE, MB_OK);
}

void SetOptionLabel(HWND dialog, int id, const char* title, uint32_t mask)
{
    char label[PathWidth];
    ComposeOptionLabel(label, sizeof label, title, SumFileSizes(AllDiscs, mask));
    SysSetDlgItemText(dialog, id, label);
}

// The logo's place and size grow with the dialog's DPI, as its layout does.
bool ShowLogo(HWND dialog, OptionsDialog* data, unsigned dpi)
{
    data->Logo = CreateSurface(dialog, ScaleForDpi(LogoX, dpi), ScaleForDpi(LogoY, dpi),
                               ScaleForDpi(LogoWidth, dpi), ScaleForDpi(LogoHeight, dpi));
    if (data->Logo == nullptr)
        return false;
    int32_t width = 0;
    int32_t height = 0;
    char logo[PathWidth];
    uint8_t* picture =
        SourcePath(logo, "LOGO.EPA") ? LoadEpaImage(logo, &width, &height) : nullptr;
    if (picture == nullptr) {
        FreeSurface(data->Logo);
        data->Logo = nullptr;
        ShowUnreadableData(dialog, logo[0] != '\0' ? logo : "LOGO.EPA", SetupScript.APPLITITLE);
        return false;
    }
    if (dpi != BaseDpi) {
        int32_t scaledWidth = 0;
        int32_t scaledHeight = 0;
        uint8_t* scaled = ScalePictureForDpi(picture, width, height, dpi, &scaledWidth, &scaledHeight);
        if (scaled != nullptr) {
            free(picture);
            picture = scaled;
            width = scaledWidth;
            height = scaledHeight;
        }
    }
    // Drawn at its own size, cut to the surface: a logo of another size must
    // not make the drawing read past its pixels.
    DrawImage(data->Logo, picture, 0, 0, width, height, 0);
    free(picture);
    PresentSurface(dialog, data->Logo);
    return true;
}

void OnInitDialog(HWND dialog)
{
    char text[PathWidth];
    ComposeOptionsCaption(text, sizeof text, SetupScript.APPLITITLE);
    SysSetWindowText(dialog, text);
    if (SetupScript.OPTIONTITLE[0][0] != '\0')
        SetOptionLabel(dialog, IDC_OPTION_FIRST, SetupScript.OPTIONTITLE[0], OptionFull);
    if (SetupScript.OPTIONTITLE[1][0] != '\0') {
        SetOptionLabel(dialog, IDC_OPTION_SECOND, SetupScript.OPTIONTITLE[1], OptionSecond);
    } else {
        SendDlgItemMessageW(dialog, IDC_OPTION_SECOND, BM_SETCHECK, BST_INDETERMINATE, 0);
        ShowWindow(GetDlgItem(dialog, IDC_OPTION_SECOND), SW_HIDE);
    }
    ComposeFolderHint(text, sizeof text, SetupScript.MUSTMAKEFOLDER);
    SysSetDlgItemText(dialog, IDC_INSTALL_HINT, text);
    CheckDlgButton(dialog, IDC_OPTION_FIRST, BST_CHECKED);
    SysSetDlgItemText(dialog, IDC_INSTALL_PATH, SetupScript.InstallBasePath);
    SetupScript.InstallOption = OptionFull;
    if (!ShowLogo(dialog, DialogData<OptionsDialog>(dialog), GetWindowDpi(dialog))) {
        SetupScript.AppMode = ModeExit;
        EndDialog(dialog, 0);
    }
}

// A folder the browser offers that no 932 path names (a name with "ë", a
// Chinese one, on a volume without short names): the player picks another.
const char UnusableFolderMessage[] =
    "選択されたフォルダは使用できません。\r\n別のフォルダを指定して下さい。";

void Browse(HWND dialog)
{
    // The browser's tree lives on COM objects of this thread.
    const bool com = SUCCEEDED(CoInitialize(nullptr));
    char path[PathWidth] = {};
    SysBrowseResult result;
    while ((result = SysBrowseForFolder(dialog, "インストール先フォルダの指定", path, sizeof path)) ==
           SysBrowseUnusable)
        Tell(dialog, UnusableFolderMessage);
    if (result == SysBrowseChosen) {
        CopyText(SetupScript.InstallBasePath, path);
        CutTrailingBackslashKeepRoot(SetupScript.InstallBasePath);
        SysSetDlgItemText(dialog, IDC_INSTALL_PATH, SetupScript.InstallBasePath);
    }
    if (com)
        CoUninitialize();
}

bool ResolveDestination(void*, char* path) { return NormalizeInstallPath(path); }

bool DestinationUsableHere(void*, const char* folder) { return InstallFolderUsableHere(folder); }

// The answer is kept in the context (when there is one), for the log.
bool DriveFreeBytes(void* context, const char* drive, uint64_t* bytes)
{
    const bool known = SysGetFreeSpace(drive, bytes);
    if (known && context != nullptr)
        *static_cast<uint64_t*>(context) = *bytes;
    return known;
}

const char* VerdictName(DestinationVerdict verdict)
{
    switch (verdict) {
    case DestinationAccepted:
        return "accepted";
    case DestinationShortOfSpace:
        return "short of space";
    case DestinationInvalid:
        return "not a folder to install to";
    case DestinationDriveUnknown:
        return "no drive letter";
    case DestinationDriveInvalid:
        return "the drive's free space unknown";
    }
    return "?";
}

// The option's title, for the log: its bit counts from OptionFull down.
const char* OptionTitleOf(uint32_t option)
{
    for (int i = 0; i < MaxOptionTitles && i < 4; ++i)
        if (option & (OptionFull >> i))
            return SetupScript.OPTIONTITLE[i];
    return "";
}

uint32_t PathAttributes(void*, const char* path) { return SysGetFileAttributes(path); }

// A link where the installation would write refuses the destination before
// anything is made or copied. True when the player was told.
bool RefusedForLink(HWND dialog, const char* installFolder)
{
    char link[PathWidth];
    if (!FindLinkInInstallation(installFolder, PathAttributes, nullptr, link, sizeof link))
        return false;
    LogLine("A link lies in the install folder's way: %s", link);
    char text[PathWidth + 160];
    if (!FormatLinkedDestinationMessage(text, sizeof text, link))
        CopyText(text, DestinationMessage(DestinationInvalid));
    Tell(dialog, text);
    return true;
}

void Confirm(HWND dialog)
{
    // A text too long for 260 bytes, or one with a character 932 lacks,
    // names no folder the installation could make.
    char text[PathWidth] = {};
    const bool fits = SysGetDlgItemText(dialog, IDC_INSTALL_PATH, text);
    uint64_t freeBytes = 0;
    const DestinationSystem system = {&freeBytes, ResolveDestination, DestinationUsableHere,
                                      DriveFreeBytes};
    Destination destination;
    const uint64_t needed = SumFileSizes(AllDiscs, SetupScript.InstallOption);
    const DestinationVerdict verdict =
        JudgeDestination(fits ? text : nullptr, SetupScript.MUSTMAKEFOLDER, SetupScript.BRANDFOLDER,
                         needed, system, &destination);
    LogLine("Install folder %s, option \"%s\": %llu bytes needed, %llu free: %s", fits ? text : "(too long)",
            OptionTitleOf(SetupScript.InstallOption), static_cast<unsigned long long>(needed),
            static_cast<unsigned long long>(freeBytes), VerdictName(verdict));
    // The next opening shows what was tried, confirmed or not.
    if (destination.Read)
        CopyText(SetupScript.InstallBasePath, destination.Typed);
    if (const char* message = DestinationMessage(verdict)) {
        Tell(dialog, message);
        return;
    }
    if (RefusedForLink(dialog, destination.InstallFolder))
        return;
    if (verdict == DestinationShortOfSpace &&
        RunModalDialog(IDD_DISK_SPACE_WARNING, dialog, DiskSpaceWarningDialogProc, nullptr) != 0)
        return;
    if (verdict == DestinationShortOfSpace)
        LogLine("Disk space warning: the player goes on");
    CopyText(SetupScript.InstallBasePath, destination.Chosen);
    CopyText(SetupScript.InstallFolder, destination.InstallFolder);
    if (IsDlgButtonChecked(dialog, IDC_DESKTOP_SHORTCUT) == BST_CHECKED)
        SetupScript.InstallOption |= DesktopShortcutBit;
    LogLine("Chosen: install folder %s, option \"%s\" (0x%02X), desktop link %s", SetupScript.InstallFolder,
            OptionTitleOf(SetupScript.InstallOption), static_cast<unsigned>(SetupScript.InstallOption),
            (SetupScript.InstallOption & DesktopShortcutBit) ? "yes" : "no");
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
    const OptionsDialog* data = DialogData<OptionsDialog>(dialog);
    if (data != nullptr && data->Logo != nullptr)
        PresentSurface(dialog, data->Logo);
    EndPaint(dialog, &paint);
}

// Moved to a monitor of another DPI: the logo is made again at its scale.
void OnDpiChanged(HWND dialog, unsigned dpi)
{
    OptionsDialog* data = DialogData<OptionsDialog>(dialog);
    if (data == nullptr)
        return;
    FreeSurface(data->Logo);
    data->Logo = nullptr;
    if (!ShowLogo(dialog, data, dpi)) {
        SetupScript.AppMode = ModeExit;
        EndDialog(dialog, 0);
    }
    InvalidateRect(dialog, nullptr, TRUE);
}

}  // namespace

bool NormalizeInstallPath(char* path)
{
    char full[PathWidth];
    if (!SysGetFullPath(path[0] != '\0' ? path : ".", full))
        return false;
    return CopyText(path, PathWidth, full);
}

INT_PTR CALLBACK InstallOptionsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog(dialog);
        // The focus stays where the template puts it.
        return FALSE;
    case WM_PAINT:
        OnPaint(dialog);
        return TRUE;
    case WM_COMMAND:
        OnCommand(dialog, LOWORD(wParam));
        return TRUE;
    case WM_DPICHANGED:
        OnDpiChanged(dialog, LOWORD(wParam));
        return FALSE;  // the system moves and sizes the dialog
    }
    return FALSE;
}

bool ChooseOptionsUnattended()
{
    static const uint32_t Options[SwitchMaxOption] = {OptionFull, OptionSecond, OptionThird};
    const int chosen = ActiveSwitches.Option != 0 ? ActiveSwitches.Option : 1;
    if (SetupScript.OPTIONTITLE[chosen - 1][0] == '\0') {
        LogLine("refused: /OPTION=%d names no install option of this product", chosen);
        return false;
    }
    SetupScript.InstallOption = Options[chosen - 1];
    // The folder as the player would type it into the dialog, judged the same way.
    char text[PathWidth] = {};
    CopyText(text, ActiveSwitches.HasDir ? ActiveSwitches.Dir : SetupScript.InstallBasePath);
    const DestinationSystem system = {nullptr, ResolveDestination, DestinationUsableHere, DriveFreeBytes};
    Destination destination;
    const uint64_t required = SumFileSizes(AllDiscs, SetupScript.InstallOption);
    const DestinationVerdict verdict =
        JudgeDestination(text, SetupScript.MUSTMAKEFOLDER, SetupScript.BRANDFOLDER, required, system, &destination);
    LogLine("install folder %s, option %d (%s), %llu bytes needed", destination.InstallFolder, chosen,
            SetupScript.OPTIONTITLE[chosen - 1], static_cast<unsigned long long>(required));
    if (const char* message = DestinationMessage(verdict)) {
        LogLine("refused: %s", message);
        return false;
    }
    char link[PathWidth];
    if (FindLinkInInstallation(destination.InstallFolder, PathAttributes, nullptr, link, sizeof link)) {
        LogLine("refused: a link lies on the way: %s", link);
        return false;
    }
    // No one is there to force past the warning.
    if (verdict == DestinationShortOfSpace) {
        LogLine("refused: not enough free space for %llu bytes", static_cast<unsigned long long>(required));
        return false;
    }
    CopyText(SetupScript.InstallBasePath, destination.Chosen);
    CopyText(SetupScript.InstallFolder, destination.InstallFolder);
    if (!ActiveSwitches.NoDesktop)
        SetupScript.InstallOption |= DesktopShortcutBit;
    return true;
}

INT_PTR InstallOptionsDialog()
{
    OptionsDialog data = {};
    const INT_PTR result =
        RunModalDialog(IDD_INSTALL_OPTIONS, nullptr, InstallOptionsDialogProc, &data);
    // The logo goes with the dialog.
    FreeSurface(data.Logo);
    return result;
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

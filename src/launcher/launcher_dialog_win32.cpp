#include "launcher/launcher.h"
#include "launcher/launcher_text.h"

#include "archive/setup_data.h"
#include "common/dialog_win32.h"
#include "common/system_text.h"
#include "image/scale.h"
#include "image/surface_gdi.h"
#include "res/resource.h"
#include "script/setup_model.h"

#include <cstdlib>

// The dialog's own data, kept in its user data.
struct LauncherData {
    Surface* Title;
};

static void EndLauncher(HWND dialog, uint32_t mode)
{
    SetupScript.AppMode = mode;
    EndDialog(dialog, 0);
}

static void SetCaption(HWND dialog)
{
    char* caption = nullptr;
    if (SetupScript.SUBTITLE[0] != '\0')
        caption = static_cast<char*>(calloc(1, 128));
    if (caption) {
        FormatLauncherCaption(caption, 128, SetupScript.APPLITITLE, SetupScript.SUBTITLE);
        SysSetWindowText(dialog, caption);
        free(caption);
    } else {
        SysSetWindowText(dialog, SetupScript.APPLITITLE);
    }
}

static void SetButtons(HWND dialog)
{
    const bool directX = SetupScript.DXPLACE[0] != '\0';
    if (directX)
        EnableWindow(GetDlgItem(dialog, IDC_LAUNCH_DIRECTX), TRUE);
    if (SetupScript.IsInstalled) {
        SysSetDlgItemText(dialog, IDC_LAUNCH_INSTALL, "アンインストール");
        EnableWindow(GetDlgItem(dialog, IDC_LAUNCH_GAME), TRUE);
        EnableWindow(GetDlgItem(dialog, IDC_LAUNCH_CHECK), TRUE);
        SetFocus(GetDlgItem(dialog, IDC_LAUNCH_GAME));
    } else {
        SetFocus(GetDlgItem(dialog, IDC_LAUNCH_INSTALL));
    }
    if (!directX)
        ShowWindow(GetDlgItem(dialog, IDC_LAUNCH_DIRECTX), SW_HIDE);
}

// False when there is no surface or no picture: the launcher cannot be shown.
// A picture the disc does not give is the player's to know of. The dialog
// grows with its DPI, and so does the picture, to fill the same share of it.
static bool ShowTitle(HWND dialog, LauncherData* data, unsigned dpi)
{
    const int32_t size = ScaleForDpi(TitleSize, dpi);
    data->Title = CreateSurface(dialog, 0, 0, size, size);
    if (!data->Title)
        return false;
    int32_t width = 0;
    int32_t height = 0;
    uint8_t* picture = LoadTitlePicture(&width, &height);
    if (!picture) {
        FreeSurface(data->Title);
        data->Title = nullptr;
        char path[PathWidth];
        SourcePath(path, TitlePictureName);
        ShowUnreadableData(dialog, path, SetupScript.APPLITITLE);
        return false;
    }
    if (size != TitleSize) {
        int32_t scaledWidth = 0;
        int32_t scaledHeight = 0;
        uint8_t* scaled = ScalePictureForDpi(picture, width, height, dpi, &scaledWidth, &scaledHeight);
        // Without memory for the larger picture the smaller one still shows.
        if (scaled) {
            free(picture);
            picture = scaled;
            width = scaledWidth;
            height = scaledHeight;
        }
    }
    DrawTitlePicture(data->Title, picture, width, height);
    free(picture);
    PresentSurface(dialog, data->Title);
    return true;
}

// Moved to a monitor of another DPI: the system lays the dialog out anew,
// and the picture is made again at the new scale.
static void OnDpiChanged(HWND dialog, unsigned dpi)
{
    LauncherData* data = DialogData<LauncherData>(dialog);
    if (!data)
        return;
    FreeSurface(data->Title);
    data->Title = nullptr;
    if (!ShowTitle(dialog, data, dpi))
        EndLauncher(dialog, ModeExit);
    InvalidateRect(dialog, nullptr, TRUE);
}

static void OnInitDialog(HWND dialog)
{
    SetCaption(dialog);
    SetButtons(dialog);
    if (!ShowTitle(dialog, DialogData<LauncherData>(dialog), GetWindowDpi(dialog)))
        EndLauncher(dialog, ModeExit);
}

static void OnPaint(HWND dialog)
{
    PAINTSTRUCT paint;
    BeginPaint(dialog, &paint);
    const LauncherData* data = DialogData<LauncherData>(dialog);
    if (data && data->Title)
        PresentSurfaceRect(dialog, data->Title, &paint.rcPaint);
    EndPaint(dialog, &paint);
}

static void OnCommand(HWND dialog, int command)
{
    switch (command) {
    case IDC_LAUNCH_GAME:
        EndLauncher(dialog, ModeStartGame);
        break;
    case IDC_LAUNCH_EXIT:
        EndLauncher(dialog, ModeExit);
        break;
    case IDC_LAUNCH_INSTALL:
        EndLauncher(dialog, SetupScript.IsInstalled ? ModeUninstall : ModeInstall);
        break;
    case IDC_LAUNCH_DIRECTX:
        LaunchDirectXSetup(dialog);
        break;
    case IDC_LAUNCH_CHECK:
        EndLauncher(dialog, ModeVerify);
        break;
    }
}

static INT_PTR CALLBACK LauncherDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog(dialog);
        return FALSE;  // the focus is set
    case WM_PAINT:
        OnPaint(dialog);
        return TRUE;
    case WM_COMMAND:
        OnCommand(dialog, LOWORD(wParam));
        return TRUE;
    case WM_CLOSE:
        EndLauncher(dialog, ModeExit);
        return TRUE;
    case WM_DPICHANGED:
        OnDpiChanged(dialog, LOWORD(wParam));
        return FALSE;  // the system moves and sizes the dialog
    case WM_CTLCOLORDLG:
        return reinterpret_cast<INT_PTR>(GetStockObject(BLACK_BRUSH));
    }
    return FALSE;
}

void LauncherDialog()
{
    LauncherData data = {};
    const INT_PTR result = RunModalDialog(IDD_LAUNCHER, nullptr, LauncherDialogProc, &data);
    // The title picture goes with the dialog.
    FreeSurface(data.Title);
    // Without its template the launcher can never set a mode; leave instead of
    // opening it again and again.
    if (result == -1)
        SetupScript.AppMode = ModeExit;
}

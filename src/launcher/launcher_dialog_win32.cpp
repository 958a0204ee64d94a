#include "launcher/launcher.h"
#include "launcher/launcher_text.h"

#include "archive/setup_data.h"
#include "common/dialog_win32.h"
#include "common/system_text.h"
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
// A picture the disc does not give is the player's to know of.
static bool ShowTitle(HWND dialog, LauncherData* data)
{
    data->Title = CreateSurface(dialog, 0, 0, TitleSize, TitleSize);
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
    DrawTitlePicture(data->Title, picture, width, height);
    free(picture);
    PresentSurface(dialog, data->Title);
    return true;
}

static void OnInitDialog(HWND dialog)
{
    SetCaption(dialog);
    SetButtons(dialog);
    if (!ShowTitle(dialog, DialogData<LauncherData>(dialog)))
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

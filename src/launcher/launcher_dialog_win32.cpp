#include "launcher/launcher.h"
#include "launcher/launcher_text.h"

#include "image/surface_gdi.h"
#include "res/resource.h"
#include "script/setup_model.h"

#include <cstdlib>

static Surface* TitleSurface;

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
        SetWindowTextA(dialog, caption);
        free(caption);
    } else {
        SetWindowTextA(dialog, SetupScript.APPLITITLE);
    }
}

static void SetButtons(HWND dialog)
{
    const bool directX = SetupScript.DXPLACE[0] != '\0';
    if (directX)
        EnableWindow(GetDlgItem(dialog, IDC_LAUNCH_DIRECTX), TRUE);
    if (SetupScript.IsInstalled) {
        SetDlgItemTextA(dialog, IDC_LAUNCH_INSTALL, "アンインストール");
        EnableWindow(GetDlgItem(dialog, IDC_LAUNCH_GAME), TRUE);
        EnableWindow(GetDlgItem(dialog, IDC_LAUNCH_CHECK), TRUE);
        SetFocus(GetDlgItem(dialog, IDC_LAUNCH_GAME));
    } else {
        SetFocus(GetDlgItem(dialog, IDC_LAUNCH_INSTALL));
    }
    if (!directX)
        ShowWindow(GetDlgItem(dialog, IDC_LAUNCH_DIRECTX), SW_HIDE);
}

void ShowUnreadableData(HWND owner, const char* member)
{
    char text[PathWidth];
    FormatUnreadableDataMessage(text, sizeof text, UnreadableDataName(member));
    MessageBoxA(owner, text, SetupScript.APPLITITLE, MB_OK);
}

// False when there is no surface or no picture: the launcher cannot be shown.
// A picture the disc does not give is the player's to know of.
static bool ShowTitle(HWND dialog)
{
    TitleSurface = CreateSurface(dialog, 0, 0, TitleSize, TitleSize);
    if (!TitleSurface)
        return false;
    int32_t width = 0;
    int32_t height = 0;
    uint8_t* picture = LoadTitlePicture(&width, &height);
    if (!picture) {
        FreeSurface(TitleSurface);
        TitleSurface = nullptr;
        ShowUnreadableData(dialog, "TITLE.EPA");
        return false;
    }
    DrawTitlePicture(TitleSurface, picture, width, height);
    free(picture);
    PresentSurface(dialog, TitleSurface);
    return true;
}

static void OnInitDialog(HWND dialog)
{
    SetCaption(dialog);
    SetButtons(dialog);
    if (!ShowTitle(dialog))
        EndLauncher(dialog, ModeExit);
}

static void OnPaint(HWND dialog)
{
    PAINTSTRUCT paint;
    BeginPaint(dialog, &paint);
    if (TitleSurface)
        PresentSurfaceRect(dialog, TitleSurface, &paint.rcPaint);
    EndPaint(dialog, &paint);
}

static void OnCommand(HWND dialog, WPARAM command)
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
        OnCommand(dialog, wParam);
        return TRUE;
    case WM_CLOSE:
        EndLauncher(dialog, ModeExit);
        return TRUE;
    case WM_CTLCOLORDLG:
        return reinterpret_cast<INT_PTR>(GetStockObject(BLACK_BRUSH));
    case WM_DESTROY:
        FreeSurface(TitleSurface);
        TitleSurface = nullptr;
        return TRUE;
    }
    return FALSE;
}

void LauncherDialog()
{
    const INT_PTR result =
        DialogBoxParamA(static_cast<HINSTANCE>(SetupScript.Instance),
                        MAKEINTRESOURCEA(IDD_LAUNCHER), nullptr, LauncherDialogProc, 0);
    // Without its template the launcher can never set a mode; leave instead of
    // opening it again and again.
    if (result == -1)
        SetupScript.AppMode = ModeExit;
}

#include "install/shortcuts.h"

#include "common/link_guard.h"
#include "common/folder_rights.h"
#include "common/setup_log.h"
#include "common/system_text.h"
#include "common/text.h"
#include "install/folders.h"
#include "install/install_journal.h"
#include "install/install_layout.h"
#include "script/setup_model.h"
#include "uninstall/uninstall_paths.h"

#include <shlobj.h>

HRESULT CreateShellLink(const char* linkFile, const char* target, const char* description,
                        const char* arguments, const char* workFolder, const char* iconFile,
                        int iconIndex, int showCommand)
{
    return SysSaveShellLink(linkFile, target, description, arguments, workFolder, iconFile,
                            iconIndex, showCommand);
}

// `root`: the outermost level of the group the installation makes, below
// which nothing is written through a link; null for the desktop, where only
// the link file itself is looked at.
static void MakeLink(const char* root, const char* linkFolder, int index)
{
    ShortcutPaths paths;
    // A link the journal cannot take back is not made.
    if (!ComposeShortcutPaths(linkFolder, index, &paths)) {
        LogLine("Link %s not made: its path does not fit", SetupScript.SHORTCUTNAME[index]);
        return;
    }
    if (SysFindLink(root != nullptr ? root : paths.LinkFile, paths.LinkFile)) {
        LogLine("Link %s not made: a link lies on its way", paths.LinkFile);
        return;
    }
    if (!JournalNewFile(paths.LinkFile)) {
        LogLine("Link %s not made: the journal cannot take it", paths.LinkFile);
        return;
    }
    const HRESULT made = CreateShellLink(paths.LinkFile, paths.Target, SetupScript.SHORTCUTLABEL[index],
                                         SetupScript.SHORTCUTPARAM[index], paths.WorkFolder, nullptr, 0,
                                         SW_SHOWNORMAL);
    // The shell's error as the system's own, where it is one.
    SetLastError(HRESULT_FACILITY(made) == FACILITY_WIN32 ? HRESULT_CODE(made) : static_cast<DWORD>(made));
    LogResult(SUCCEEDED(made), "Make link %s to %s", paths.LinkFile, paths.Target);
}

// A level made must be a real folder right after.
static bool MakeGroupLevel(const char* path)
{
    if (SysCreateFolder(path)) {
        LogLine("Make folder %s: done", path);
        JournalNewFolder(path);
    } else {
        LogFolderNotMade(path);
    }
    return SysIsRealFolder(path);
}

// Programs\BRANDNAME\APPLITITLE, made level by level; an empty level is left
// out, as the uninstall leaves it out. `root` gets its outermost level.
// False when its names would leave the programs folder, the path does not
// fit, or a level is a link.
static bool MakeGroupFolder(const char* programs, char* group, char* root)
{
    int levels = 0;
    if (!BuildShortcutGroup(group, PathWidth, programs, SetupScript.BRANDNAME,
                            SetupScript.APPLITITLE, &levels))
        return false;
    CopyText(root, PathWidth, group);
    if (levels == 2) {
        if (!BuildContainedPath(root, PathWidth, programs, SetupScript.BRANDNAME) ||
            !MakeGroupLevel(root))
            return false;
    }
    // With both levels empty the links go into the programs folder itself.
    if (levels == 0)
        return true;
    return !SysFindLink(root, group) && MakeGroupLevel(group);
}

// The folder of an uninstaller copy that a link starts elevated gets rights
// of its own; the game's folders keep what they inherit, since old games
// write into their own folder.
static void ProtectUninstallerFolder(int index)
{
    char folder[PathWidth];
    if (IsUninstallerLink(index, SetupScript.ModuleName) &&
        JoinPath(folder, SetupScript.InstallFolder, SetupScript.SHORTCUTFOLDER[index]))
        ProtectFolderForAdministrators(folder);
}

int CreateShortcuts(int desktop)
{
    // Without its path a special folder gets no links: an empty path would
    // put them at the root of the current drive. One that no 932 path names
    // (nor a short form) gets none either.
    char programs[PathWidth] = {};
    const bool havePrograms = SysGetSpecialFolder(CSIDL_PROGRAMS, programs);
    CutTrailingBackslash(programs);
    if (FAILED(CoInitialize(nullptr)))
        return 0;
    char group[PathWidth] = {};
    char root[PathWidth] = {};
    if (havePrograms && MakeGroupFolder(programs, group, root)) {
        for (int i = 0; i < MaxShortcuts && SetupScript.SHORTCUTNAME[i][0] != '\0'; ++i) {
            ProtectUninstallerFolder(i);
            MakeLink(root, group, i);
        }
    }
    if (desktop) {
        char desktopFolder[PathWidth] = {};
        if (SysGetSpecialFolder(CSIDL_DESKTOP, desktopFolder)) {
            CutTrailingBackslash(desktopFolder);
            MakeLink(nullptr, desktopFolder, 0);
        }
    }
    CoUninitialize();
    return 1;
}

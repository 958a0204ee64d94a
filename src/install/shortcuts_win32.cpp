#include "install/shortcuts.h"

#include "common/folder_rights.h"
#include "common/system_text.h"
#include "common/text.h"
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

static void MakeLink(const char* linkFolder, int index)
{
    ShortcutPaths paths;
    // A link the journal cannot take back is not made.
    if (!ComposeShortcutPaths(linkFolder, index, &paths) || !JournalNewFile(paths.LinkFile))
        return;
    CreateShellLink(paths.LinkFile, paths.Target, SetupScript.SHORTCUTLABEL[index],
                    SetupScript.SHORTCUTPARAM[index], paths.WorkFolder, nullptr, 0, SW_SHOWNORMAL);
}

static void MakeGroupLevel(const char* path)
{
    if (SysCreateFolder(path))
        JournalNewFolder(path);
}

// Programs\BRANDNAME\APPLITITLE, made level by level; an empty level is left
// out, as the uninstall leaves it out. False when its names would leave the
// programs folder or the path does not fit.
static bool MakeGroupFolder(const char* programs, char* group)
{
    int levels = 0;
    if (!BuildShortcutGroup(group, PathWidth, programs, SetupScript.BRANDNAME,
                            SetupScript.APPLITITLE, &levels))
        return false;
    if (levels == 2) {
        char brand[PathWidth];
        if (!BuildContainedPath(brand, sizeof brand, programs, SetupScript.BRANDNAME))
            return false;
        MakeGroupLevel(brand);
    }
    if (levels > 0)
        MakeGroupLevel(group);
    return true;
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
    if (havePrograms && MakeGroupFolder(programs, group)) {
        for (int i = 0; i < MaxShortcuts && SetupScript.SHORTCUTNAME[i][0] != '\0'; ++i) {
            ProtectUninstallerFolder(i);
            MakeLink(group, i);
        }
    }
    if (desktop) {
        char desktopFolder[PathWidth] = {};
        if (SysGetSpecialFolder(CSIDL_DESKTOP, desktopFolder)) {
            CutTrailingBackslash(desktopFolder);
            MakeLink(desktopFolder, 0);
        }
    }
    CoUninitialize();
    return 1;
}

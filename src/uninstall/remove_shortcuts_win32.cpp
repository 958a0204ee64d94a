#include "uninstall/uninstall.h"
#include "uninstall/uninstall_paths.h"

#include "common/link_guard.h"
#include "common/setup_log.h"
#include "common/system_text.h"
#include "common/text.h"
#include "script/setup_model.h"

#include <windows.h>
#include <shlobj.h>

// Links are deleted strictly: one that is already missing, or reached
// through a link from `root` (the outermost level the installation made;
// null for none), makes the result 0.
static int DeleteLink(const char* root, const char* folder, const char* name)
{
    char path[PathWidth];
    if (!BuildContainedPath(path, sizeof path, folder, name)) {
        LogLine("Remove link %s: its path does not fit", name);
        return 0;
    }
    if (root != nullptr && !SysReachedWithoutLink(root, path)) {
        LogLine("Remove link %s: passed over, reached through a link", path);
        return 0;
    }
    const bool removed = SysDeleteFile(path);
    LogResult(removed, "Remove link %s", path);
    return removed ? 1 : 0;
}

static int RemoveStartMenuGroup()
{
    // Without the programs folder (or a 932 form of it) every path below
    // would start at the root of the current drive.
    char programs[PathWidth];
    if (!SysGetSpecialFolder(CSIDL_PROGRAMS, programs))
        return 0;
    CutTrailingBackslash(programs);
    char group[PathWidth];
    int levels = 0;
    if (!BuildShortcutGroup(group, sizeof group, programs, SetupScript.BRANDNAME,
                            SetupScript.APPLITITLE, &levels))
        return 0;
    // The group's levels are the installation's; the programs folder above
    // them is the system's.
    char brand[PathWidth] = {};
    if (levels == 2 && !BuildContainedPath(brand, sizeof brand, programs, SetupScript.BRANDNAME))
        return 0;
    const char* root = levels == 2 ? brand : group;
    int result = 1;
    for (int i = 0; i < MaxShortcuts && SetupScript.SHORTCUTNAME[i][0] != '\0'; ++i) {
        if (!DeleteLink(root, group, SetupScript.SHORTCUTNAME[i]))
            result = 0;
    }
    // With both levels empty the group is the programs folder itself.
    if (levels == 0 || !SysRemoveFolderBelow(root, group))
        result = 0;
    // The brand folder may hold other titles: it goes only when empty.
    if (levels == 2)
        LogResult(SysRemoveFolder(brand), "Remove folder %s", brand);
    return result;
}

static int RemoveDesktopLink()
{
    if (SetupScript.SHORTCUTNAME[0][0] == '\0')
        return 1;
    char desktop[PathWidth];
    if (!SysGetSpecialFolder(CSIDL_DESKTOP, desktop))
        return 0;
    CutTrailingBackslash(desktop);
    // The desktop is the player's, no level of the installation's.
    return IsRemovalRoot(desktop) ? DeleteLink(nullptr, desktop, SetupScript.SHORTCUTNAME[0]) : 0;
}

int RemoveShortcuts(int withDesktop)
{
    int result = RemoveStartMenuGroup();
    if (withDesktop && !RemoveDesktopLink())
        result = 0;
    return result;
}

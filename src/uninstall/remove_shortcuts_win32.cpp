#include "uninstall/uninstall.h"
#include "uninstall/uninstall_paths.h"

#include "common/system_text.h"
#include "common/text.h"
#include "script/setup_model.h"

#include <windows.h>
#include <shlobj.h>

// Links are deleted strictly: one that is already missing makes the result 0.
static int DeleteLink(const char* folder, const char* name)
{
    char path[PathWidth];
    return BuildContainedPath(path, sizeof path, folder, name) && SysDeleteFile(path) ? 1 : 0;
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
    int result = 1;
    for (int i = 0; i < MaxShortcuts && SetupScript.SHORTCUTNAME[i][0] != '\0'; ++i) {
        if (!DeleteLink(group, SetupScript.SHORTCUTNAME[i]))
            result = 0;
    }
    // With both levels empty the group is the programs folder itself.
    if (levels == 0 || !RemoveFolderTolerant(group))
        result = 0;
    // The brand folder may hold other titles: it goes only when empty.
    if (levels == 2) {
        char brand[PathWidth];
        if (BuildContainedPath(brand, sizeof brand, programs, SetupScript.BRANDNAME))
            SysRemoveFolder(brand);
    }
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
    return IsRemovalRoot(desktop) ? DeleteLink(desktop, SetupScript.SHORTCUTNAME[0]) : 0;
}

int RemoveShortcuts(int withDesktop)
{
    int result = RemoveStartMenuGroup();
    if (withDesktop && !RemoveDesktopLink())
        result = 0;
    return result;
}

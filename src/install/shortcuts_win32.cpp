#include "install/shortcuts.h"

#include "common/text.h"
#include "install/install_journal.h"
#include "install/install_layout.h"
#include "common/shell_folders.h"
#include "script/setup_model.h"
#include "uninstall/uninstall_paths.h"

#include <shlobj.h>

static HRESULT FillLink(IShellLinkA* link, const char* target, const char* description,
                        const char* arguments, const char* workFolder, const char* iconFile,
                        int iconIndex, int showCommand)
{
    HRESULT result = link->SetPath(target);
    if (SUCCEEDED(result))
        result = link->SetDescription(description);
    if (SUCCEEDED(result))
        result = link->SetArguments(arguments);
    if (SUCCEEDED(result))
        result = link->SetWorkingDirectory(workFolder);
    if (SUCCEEDED(result))
        result = link->SetIconLocation(iconFile ? iconFile : "", iconIndex);
    if (SUCCEEDED(result))
        result = link->SetShowCmd(showCommand);
    return result;
}

HRESULT CreateShellLink(const char* linkFile, const char* target, const char* description,
                        const char* arguments, const char* workFolder, const char* iconFile,
                        int iconIndex, int showCommand)
{
    IShellLinkA* link = nullptr;
    HRESULT result = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_IShellLinkA, reinterpret_cast<void**>(&link));
    if (FAILED(result))
        return result;
    IPersistFile* file = nullptr;
    result = link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
    if (SUCCEEDED(result))
        result = FillLink(link, target, description, arguments, workFolder, iconFile, iconIndex,
                          showCommand);
    if (SUCCEEDED(result)) {
        WCHAR wide[MAX_PATH];
        // A name that does not convert whole is not saved under a cut name.
        if (MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, linkFile, -1, wide, MAX_PATH) == 0)
            result = HRESULT_FROM_WIN32(GetLastError());
        else
            result = file->Save(wide, TRUE);
    }
    if (file)
        file->Release();
    link->Release();
    return result;
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
    if (CreateDirectoryA(path, nullptr))
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

int CreateShortcuts(int desktop)
{
    // Without its path a special folder gets no links: an empty path would
    // put them at the root of the current drive.
    char programs[PathWidth] = {};
    const bool havePrograms = GetSpecialFolderPath(CSIDL_PROGRAMS, programs) != 0;
    CutTrailingBackslash(programs);
    if (FAILED(CoInitialize(nullptr)))
        return 0;
    char group[PathWidth] = {};
    if (havePrograms && MakeGroupFolder(programs, group)) {
        for (int i = 0; i < MaxShortcuts && SetupScript.SHORTCUTNAME[i][0] != '\0'; ++i)
            MakeLink(group, i);
    }
    if (desktop) {
        char desktopFolder[PathWidth] = {};
        if (GetSpecialFolderPath(CSIDL_DESKTOP, desktopFolder)) {
            CutTrailingBackslash(desktopFolder);
            MakeLink(desktopFolder, 0);
        }
    }
    CoUninitialize();
    return 1;
}

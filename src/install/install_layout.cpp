#include "install/install_layout.h"

#include "common/path_rules.h"
#include "common/text.h"

#include <cstring>

bool SaveGoesToLocalAppData(uint32_t platformId, uint32_t majorVersion,
                            const char* const* programFiles, int count, const char* installFolder)
{
    if (platformId != PlatformNt || majorVersion < 6 || installFolder == nullptr)
        return false;
    for (int i = 0; i < count; ++i) {
        // An empty value would be a prefix of every folder.
        const char* folder = programFiles[i];
        if (folder != nullptr && folder[0] != '\0' &&
            EqualNoCaseN(installFolder, folder, strlen(folder)))
            return true;
    }
    return false;
}

bool ComposeInstallIniText(char* dest, size_t size, const char* savePath)
{
    return FormatText(dest, size, "save=%s", savePath);
}

bool ComposeShortcutPaths(const char* linkFolder, int index, ShortcutPaths* paths)
{
    const char* name = SetupScript.SHORTCUTNAME[index];
    const char* folder = SetupScript.SHORTCUTFOLDER[index];
    const char* link = SetupScript.SHORTCUTLINK[index];
    if (!IsContainedRelativePath(name) || !JoinPath(paths->LinkFile, linkFolder, name))
        return false;
    if (folder[0] == '\0') {
        return CopyText(paths->WorkFolder, SetupScript.InstallFolder) &&
               JoinPath(paths->Target, SetupScript.InstallFolder, link);
    }
    return FormatText(paths->WorkFolder, sizeof paths->WorkFolder, "%s\\%s",
                      SetupScript.InstallFolder, folder) &&
           FormatText(paths->Target, sizeof paths->Target, "%s\\%s\\%s", SetupScript.InstallFolder,
                      folder, link);
}

bool IsUninstallerLink(int index, const char* moduleName)
{
    if (index < 0 || index >= MaxShortcuts || moduleName == nullptr || moduleName[0] == '\0')
        return false;
    const char* folder = SetupScript.SHORTCUTFOLDER[index];
    const char* link = SetupScript.SHORTCUTLINK[index];
    const char letter = SetupScript.SHORTCUTPARAM[index][0];
    const size_t length = strlen(moduleName);
    return folder[0] != '\0' && IsContainedRelativePath(folder) && strlen(link) == length &&
           EqualNoCaseN(link, moduleName, length) &&
           (letter == 'u' || letter == 'U' || letter == 'r' || letter == 'R');
}

#include "app/relaunch_folder.h"

#include "common/text.h"

#include <cstring>

namespace {

size_t WithoutSeparator(const char* path)
{
    const size_t length = strlen(path);
    return EndsWithBackslash(path) ? length - 1 : length;
}

bool IsHexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

}  // namespace

bool FormatRelaunchFolder(char* dest, size_t size, const char* tempFolder,
                          const uint8_t (&random)[RelaunchRandomBytes])
{
    static const char Digits[] = "0123456789ABCDEF";
    char name[sizeof RelaunchFolderPrefix + 2 * RelaunchRandomBytes];
    memcpy(name, RelaunchFolderPrefix, sizeof RelaunchFolderPrefix - 1);
    char* at = name + sizeof RelaunchFolderPrefix - 1;
    for (uint8_t byte : random) {
        *at++ = Digits[byte >> 4];
        *at++ = Digits[byte & 0x0F];
    }
    *at = '\0';
    // No temporary folder names no folder: a relative one would depend on
    // the current folder.
    if (tempFolder[0] == '\0') {
        if (size > 0)
            dest[0] = '\0';
        return false;
    }
    return JoinPath(dest, size, tempFolder, name);
}

bool IsRelaunchFolder(const char* folder, const char* tempFolder)
{
    const size_t tempLength = WithoutSeparator(tempFolder);
    const size_t length = WithoutSeparator(folder);
    const size_t nameLength = sizeof RelaunchFolderPrefix - 1 + 2 * RelaunchRandomBytes;
    // The temporary folder, a separator that is a whole character (the
    // temporary folder's last one was cut above), then the name.
    if (tempLength == 0 || length != tempLength + 1 + nameLength ||
        !EqualNoCaseN(folder, tempFolder, tempLength) || folder[tempLength] != '\\')
        return false;
    const char* name = folder + tempLength + 1;
    if (!EqualNoCaseN(name, RelaunchFolderPrefix, sizeof RelaunchFolderPrefix - 1))
        return false;
    for (size_t i = sizeof RelaunchFolderPrefix - 1; i < nameLength; ++i)
        if (!IsHexDigit(name[i]))
            return false;
    return true;
}

#include "uninstall/uninstall_entry.h"

#include "common/path_rules.h"
#include "common/text.h"

#include <cstring>

namespace {

char Folded(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool IsPlainAscii(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

// The last level of a listed name ("uninst\Drubel.exe" → "Drubel.exe") and
// the folder before it.
const char* FileNameOf(const char* name)
{
    const char* last = FindLastBackslash(name);
    return last ? last + 1 : name;
}

bool SameText(const char* a, const char* b)
{
    const size_t length = strlen(a);
    return length == strlen(b) && EqualNoCaseN(a, b, length);
}

// A listed, non-pattern file of `option` named `folder` + "\" + `file`.
bool Listed(const char* folder, const char* file, uint32_t option)
{
    char wanted[PathWidth];
    if (folder[0] == '\0' ? !CopyText(wanted, file) : !JoinPath(wanted, folder, file))
        return false;
    for (int disc = 0; disc < MaxDiscs; ++disc) {
        for (int entry = 0; entry < MaxFilesPerDisc; ++entry) {
            const FileEntry& f = SetupScript.DiscFiles[disc][entry];
            if (f.Name == nullptr || f.Name[0] == '\0')
                break;
            if ((f.OptionMask & option) != 0 && !IsPattern(f.Name) && SameText(f.Name, wanted))
                return true;
        }
    }
    return false;
}

}  // namespace

bool UninstallEntryName(const char* regAddress, char* name, size_t size)
{
    if (size > 0)
        name[0] = '\0';
    if (regAddress == nullptr || regAddress[0] == '\0')
        return false;
    size_t length = strlen(regAddress);
    if (EndsWithBackslash(regAddress))
        --length;
    uint32_t hash = 2166136261u;
    for (size_t i = 0; i < length; ++i) {
        hash ^= static_cast<unsigned char>(Folded(regAddress[i]));
        hash *= 16777619u;
    }
    // The readable part: the levels below "Software\", which every record has.
    size_t start = 0;
    if (length > 9 && EqualNoCaseN(regAddress, "Software\\", 9))
        start = 9;
    char readable[41];
    size_t n = 0;
    for (size_t i = start; i < length && n < sizeof readable - 1; ++i)
        readable[n++] = IsPlainAscii(regAddress[i]) ? regAddress[i] : '_';
    readable[n] = '\0';
    return FormatText(name, size, "Drubel_%s_%08x", readable, static_cast<unsigned>(hash));
}

bool UninstallEntryKey(const char* regAddress, char* key, size_t size)
{
    char name[80];
    if (!UninstallEntryName(regAddress, name, sizeof name)) {
        if (size > 0)
            key[0] = '\0';
        return false;
    }
    return FormatText(key, size, "%s\\%s", UninstallEntryRoot, name);
}

void FormatEntryDisplayName(char* name, size_t size, const char* title, const char* subtitle)
{
    if (subtitle[0] == '\0')
        CopyText(name, size, title);
    else
        FormatText(name, size, "%s %s", title, subtitle);
}

bool FormatEntryInstallDate(char* date, size_t size, unsigned year, unsigned month, unsigned day)
{
    if (year > 9999 || month < 1 || month > 12 || day < 1 || day > 31) {
        if (size > 0)
            date[0] = '\0';
        return false;
    }
    return FormatText(date, size, "%04u%02u%02u", year, month, day);
}

uint32_t EntryEstimatedSize(uint64_t bytes)
{
    const uint64_t kilobytes = bytes / 1024 + (bytes % 1024 != 0 ? 1 : 0);
    return kilobytes > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<uint32_t>(kilobytes);
}

bool FormatEntryUninstallString(char* command, size_t size, const char* program)
{
    return FormatText(command, size, "\"%s\" u", program);
}

bool FindListedLauncherCopy(const char* moduleName, uint32_t option, char* folder, size_t size)
{
    if (size > 0)
        folder[0] = '\0';
    if (moduleName == nullptr || moduleName[0] == '\0')
        return false;
    for (int disc = 0; disc < MaxDiscs; ++disc) {
        for (int entry = 0; entry < MaxFilesPerDisc; ++entry) {
            const FileEntry& f = SetupScript.DiscFiles[disc][entry];
            if (f.Name == nullptr || f.Name[0] == '\0')
                break;
            if ((f.OptionMask & option) == 0 || IsPattern(f.Name) ||
                !IsContainedRelativePath(f.Name) || !SameText(FileNameOf(f.Name), moduleName))
                continue;
            char part[PathWidth];
            if (!FolderPartOf(f.Name, part, sizeof part))
                continue;
            if (Listed(part, ScriptFileName, option) && Listed(part, ArchiveFileName, option))
                return CopyText(folder, size, part);
        }
    }
    return false;
}

bool UninstallProgramPath(const char* installFolder, const char* moduleName, uint32_t option,
                          char* path, size_t size, bool* listed)
{
    char folder[PathWidth];
    *listed = FindListedLauncherCopy(moduleName, option, folder, sizeof folder);
    if (!*listed && !CopyText(folder, UninstallerFolder))
        return false;
    char base[PathWidth];
    if (folder[0] == '\0' ? !CopyText(base, installFolder) : !JoinPath(base, installFolder, folder))
        return false;
    return JoinPath(path, size, base, moduleName);
}

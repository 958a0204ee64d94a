#include "app/command_letter.h"

#include "common/text.h"

CommandAction ReadCommandLetter(const char* commandLine)
{
    switch (commandLine ? commandLine[0] : '\0') {
    case '\0':
        return CommandRelaunchLauncher;
    case 'u':
    case 'U':
        return CommandRelaunchUninstall;
    case 't':
    case 'T':
        return CommandLauncher;
    case 'r':
    case 'R':
        return CommandUninstall;
    default:
        return CommandUnknown;
    }
}

void ModuleNameFromPath(const char* path, char* name, size_t size)
{
    // Drive, folders and name are split where a path splits them: after the
    // last separator, or after the drive's colon.
    const char* start = path;
    for (const char* p = path; *p != '\0';) {
        const unsigned char c = static_cast<unsigned char>(p[0]);
        if (IsLeadByte(c, static_cast<unsigned char>(p[1]))) {
            p += 2;
            continue;
        }
        if (c == '\\' || c == '/' || c == ':')
            start = p + 1;
        ++p;
    }
    CopyText(name, size, start);
}

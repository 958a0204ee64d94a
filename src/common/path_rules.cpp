#include "common/path_rules.h"

#include "common/text.h"

#include <cstring>

bool IsContainedRelativePath(const char* name)
{
    if (name == nullptr || name[0] == '\0' || name[0] == '\\' || name[0] == '/')
        return false;
    const char* segment = name;
    for (const char* p = name;; ++p) {
        const unsigned char c = static_cast<unsigned char>(*p);
        if (c != '\0' && IsLeadByte(c, static_cast<unsigned char>(p[1]))) {
            ++p;
            continue;
        }
        if (c == ':')
            return false;
        if (c == '\\' || c == '/' || c == '\0') {
            // Windows ignores trailing dots and blanks of a segment, so ". ."
            // and ".. " walk up just like "..".
            size_t length = static_cast<size_t>(p - segment);
            while (length > 0 && (segment[length - 1] == ' ' || segment[length - 1] == '.'))
                --length;
            if (length == 0 && p > segment && segment[0] == '.' && p - segment >= 2)
                return false;
            if (c == '\0')
                return true;
            segment = p + 1;
        }
    }
}

bool IsPattern(const char* name)
{
    return strchr(name, '?') != nullptr || strchr(name, '*') != nullptr;
}

bool FolderPartOf(const char* name, char* folder, size_t size)
{
    const char* slash = FindLastBackslash(name);
    if (slash == nullptr)
        return CopyText(folder, size, "");
    return CopyTextN(folder, size, name, static_cast<size_t>(slash - name));
}

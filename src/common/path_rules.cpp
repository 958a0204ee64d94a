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

bool IsPlainFolderPath(const char* name)
{
    if (name == nullptr)
        return false;
    if (name[0] == '\0')
        return true;
    if (name[0] == '\\' || name[0] == '/')
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
            const bool trailing = c == '\0' || p[1] == '\0';
            if (p == segment)
                return c == '\0' && segment > name;  // only after a trailing separator
            bool onlyDots = true;
            for (const char* q = segment; q < p; ++q)
                if (*q != '.' && *q != ' ')
                    onlyDots = false;
            if (onlyDots)
                return false;
            if (c == '\0' || (trailing && c != '\0'))
                return true;
            segment = p + 1;
        }
    }
}

bool IsSoftwareSubkey(const char* key)
{
    static const char prefix[] = "Software\\";
    if (key == nullptr)
        return false;
    for (size_t i = 0; i + 1 < sizeof prefix; ++i) {
        char c = key[i];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        char want = prefix[i];
        if (want >= 'A' && want <= 'Z')
            want = static_cast<char>(want - 'A' + 'a');
        if (c != want)
            return false;
    }
    const char* rest = key + sizeof prefix - 1;
    return rest[0] != '\0' && rest[0] != '\\' && rest[0] != '/';
}

bool IsPattern(const char* name)
{
    return strchr(name, '?') != nullptr || strchr(name, '*') != nullptr;
}

static size_t CharacterLength(const char* p)
{
    return IsLeadByte(static_cast<unsigned char>(p[0]), static_cast<unsigned char>(p[1])) ? 2 : 1;
}

static bool SameCharacter(const char* a, const char* b)
{
    if (CharacterLength(a) == 2)
        return CharacterLength(b) == 2 && a[0] == b[0] && a[1] == b[1];
    return CharacterLength(b) == 1 && EqualNoCaseN(a, b, 1);
}

bool MatchesNamePattern(const char* pattern, const char* name)
{
    // Iterative, with one point to come back to after the last '*': time
    // stays linear in the name for each star, and no recursion depth.
    const char* star = nullptr;
    const char* resume = nullptr;
    while (*name != '\0') {
        if (*pattern == '*') {
            star = pattern++;
            resume = name;
            continue;
        }
        if (*pattern == '?') {
            ++pattern;
            name += CharacterLength(name);
            continue;
        }
        if (*pattern != '\0' && SameCharacter(pattern, name)) {
            pattern += CharacterLength(pattern);
            name += CharacterLength(name);
            continue;
        }
        if (star == nullptr)
            return false;
        pattern = star + 1;
        resume += CharacterLength(resume);
        name = resume;
    }
    while (*pattern == '*')
        ++pattern;
    if (pattern[0] == '.' && pattern[1] == '*') {
        ++pattern;
        while (*pattern == '*')
            ++pattern;
    }
    return *pattern == '\0';
}

bool ListedPatternNames(const char* listed, const char* found)
{
    if (listed == nullptr || found == nullptr || found[0] == '\0')
        return false;
    const char* slash = FindLastBackslash(listed);
    return MatchesNamePattern(slash != nullptr ? slash + 1 : listed, found);
}

bool FolderPartOf(const char* name, char* folder, size_t size)
{
    const char* slash = FindLastBackslash(name);
    if (slash == nullptr)
        return CopyText(folder, size, "");
    return CopyTextN(folder, size, name, static_cast<size_t>(slash - name));
}

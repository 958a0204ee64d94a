#include "shared/disc_files.h"

#include "shared/check_text.h"
#include "shared/host_files.h"
#include "verify/md5.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

char Fold(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool EqualIgnoringCase(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (Fold(a[i]) != Fold(b[i]))
            return false;
    return true;
}

std::vector<std::string> FolderEntries(const std::string& folder)
{
    std::vector<HostEntry> entries;
    HostList(folder, &entries);
    std::vector<std::string> names;
    for (const HostEntry& e : entries)
        names.push_back(e.Name);
    return names;
}

// The entry of `folder` named `part`: the exact name first, else the first
// that differs only in letter case.
bool FindPart(const std::string& folder, const std::string& part, std::string* found)
{
    const std::string exact = folder + HostSlash + part;
    if (HostExists(exact)) {
        *found = exact;
        return true;
    }
    for (const std::string& name : FolderEntries(folder)) {
        if (EqualIgnoringCase(name, part)) {
            *found = folder + HostSlash + name;
            return true;
        }
    }
    return false;
}

std::vector<std::string> SplitParts(const std::string& path)
{
    std::vector<std::string> parts;
    std::string part;
    for (char c : path) {
        if (c == '/' || c == '\\') {
            if (!part.empty())
                parts.push_back(part);
            part.clear();
        } else {
            part += c;
        }
    }
    if (!part.empty())
        parts.push_back(part);
    return parts;
}

// Length of the UTF-8 character that starts with `c`.
size_t CharLength(unsigned char c)
{
    return c < 0xC0 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
}

}  // namespace

std::string HostSeparators(const std::string& path)
{
    std::string out = path;
    std::replace(out.begin(), out.end(), '\\', HostSlash[0]);
    return out;
}

bool FindOnDiscUtf8(const std::string& root, const std::string& utf8Path, std::string* path)
{
    std::string at = root;
    for (const std::string& part : SplitParts(utf8Path)) {
        std::string next;
        if (part == "." || part == ".." || !FindPart(at, part, &next)) {
            *path = at;
            return false;
        }
        at = next;
    }
    *path = at;
    return true;
}

bool FindOnDisc(const std::string& root, const char* cp932Path, std::string* path)
{
    return FindOnDiscUtf8(root, Cp932ToUtf8(cp932Path), path);
}

bool WildcardMatch(const char* pattern, const char* name)
{
    // Iterative, with one point to come back to after the last '*'.
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
            name += std::min(CharLength(static_cast<unsigned char>(*name)), strlen(name));
            continue;
        }
        if (*pattern != '\0' && Fold(*pattern) == Fold(*name)) {
            ++pattern;
            ++name;
            continue;
        }
        if (star == nullptr)
            return false;
        pattern = star + 1;
        resume += std::min(CharLength(static_cast<unsigned char>(*resume)), strlen(resume));
        name = resume;
    }
    while (*pattern == '*')
        ++pattern;
    return *pattern == '\0';
}

std::vector<std::string> MatchOnDisc(const std::string& root, const std::string& utf8Path)
{
    std::vector<std::string> matches;
    const bool pattern = utf8Path.find_first_of("*?") != std::string::npos;
    if (!pattern) {
        std::string path;
        if (FindOnDiscUtf8(root, utf8Path, &path) && IsRegularFile(path))
            matches.push_back(path);
        return matches;
    }
    const std::string host = HostSeparators(utf8Path);
    const size_t slash = host.find_last_of(HostSlashes);
    const std::string last = slash == std::string::npos ? host : host.substr(slash + 1);
    std::string folder = root;
    if (slash != std::string::npos && !FindOnDiscUtf8(root, host.substr(0, slash), &folder))
        return matches;
    for (const std::string& name : FolderEntries(folder)) {
        const std::string path = folder + HostSlash + name;
        if (WildcardMatch(last.c_str(), name.c_str()) && IsRegularFile(path))
            matches.push_back(path);
    }
    return matches;
}

bool IsRegularFile(const std::string& path)
{
    HostEntry e;
    return HostInfo(path, &e) && !e.Folder;
}

bool IsFolder(const std::string& path)
{
    HostEntry e;
    return HostInfo(path, &e) && e.Folder;
}

bool FileSize(const std::string& path, uint64_t* size)
{
    HostEntry e;
    if (!HostInfo(path, &e) || e.Folder)
        return false;
    *size = e.Size;
    return true;
}

bool FileMd5(const std::string& path, std::string* hex)
{
    FILE* f = HostOpen(path, "rb");
    if (f == nullptr)
        return false;
    Md5Context context;
    Md5Init(&context);
    static uint8_t chunk[1 << 16];
    size_t n;
    while ((n = fread(chunk, 1, sizeof chunk, f)) > 0)
        Md5Update(&context, chunk, n);
    const bool ok = ferror(f) == 0;
    fclose(f);
    uint8_t digest[16];
    Md5Final(&context, digest);
    char text[33];
    Md5ToHex(digest, text);
    *hex = text;
    return ok;
}

bool DigestCache::Get(const std::string& path, std::string* hex)
{
    const auto found = Known.find(path);
    if (found != Known.end()) {
        *hex = found->second;
        return true;
    }
    if (!FileMd5(path, hex))
        return false;
    Known[path] = *hex;
    return true;
}

bool MakeFolders(const std::string& path)
{
    std::string at;
    for (size_t i = 0; i <= path.size(); ++i) {
        if (i == path.size() || strchr(HostSlashes, path[i]) != nullptr) {
            at = path.substr(0, i);
            // A drive ("C:") is no folder to make.
            if (!at.empty() && at.back() != ':' && !HostMakeFolder(at))
                return false;
        }
    }
    return IsFolder(path);
}

bool CopyTree(const std::string& from, const std::string& to, uint64_t* files, uint64_t* bytes,
              std::string* error)
{
    if (!MakeFolders(to)) {
        *error = "cannot make the folder '" + to + "'";
        return false;
    }
    std::vector<HostEntry> entries;
    HostList(from, &entries);
    for (const HostEntry& e : entries) {
        const std::string source = from + HostSlash + e.Name;
        const std::string target = to + HostSlash + e.Name;
        if (e.Folder) {
            if (!CopyTree(source, target, files, bytes, error))
                return false;
            continue;
        }
        FILE* in = HostOpen(source, "rb");
        FILE* out = in != nullptr ? HostOpen(target, "wb") : nullptr;
        bool ok = in != nullptr && out != nullptr;
        static uint8_t chunk[1 << 16];
        size_t n;
        while (ok && (n = fread(chunk, 1, sizeof chunk, in)) > 0) {
            ok = fwrite(chunk, 1, n, out) == n;
            *bytes += n;
        }
        ok = ok && ferror(in) == 0;
        if (in != nullptr)
            fclose(in);
        if (out != nullptr)
            ok = fclose(out) == 0 && ok;
        // The copy keeps the file's date: the same product, the same discs.
        if (!ok || !HostSetTime(target, e.Time)) {
            *error = "cannot copy '" + source + "' to '" + target + "'";
            return false;
        }
        ++*files;
    }
    return true;
}

void RemoveTreeQuietly(const std::string& path)
{
    if (!HostExists(path))
        return;
    if (HostIsRealFolder(path)) {
        for (const std::string& name : FolderEntries(path))
            RemoveTreeQuietly(path + HostSlash + name);
        HostRemoveFolder(path);
    } else {
        HostRemoveFile(path);
    }
}

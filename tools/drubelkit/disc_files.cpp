#include "disc_files.h"

#include "check_text.h"
#include "common/path_rules.h"
#include "verify/md5.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

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
    std::vector<std::string> names;
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr)
        return names;
    while (const dirent* e = readdir(dir)) {
        if (strcmp(e->d_name, ".") != 0 && strcmp(e->d_name, "..") != 0)
            names.push_back(e->d_name);
    }
    closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

// The entry of `folder` named `part`: the exact name first, else the first
// that differs only in letter case.
bool FindPart(const std::string& folder, const std::string& part, std::string* found)
{
    struct stat st;
    const std::string exact = folder + "/" + part;
    if (lstat(exact.c_str(), &st) == 0) {
        *found = exact;
        return true;
    }
    for (const std::string& name : FolderEntries(folder)) {
        if (EqualIgnoringCase(name, part)) {
            *found = folder + "/" + name;
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

}  // namespace

std::string HostSeparators(const std::string& path)
{
    std::string out = path;
    std::replace(out.begin(), out.end(), '\\', '/');
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
    // The launcher's own rule, on the 932 forms: a name the code page cannot
    // hold is one no launcher could copy, so it matches nothing.
    std::string pattern932, name932;
    size_t bad = 0;
    return Utf8ToCp932(pattern, &pattern932, &bad) && Utf8ToCp932(name, &name932, &bad) &&
           MatchesNamePattern(pattern932.c_str(), name932.c_str());
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
    const size_t slash = host.rfind('/');
    const std::string last = slash == std::string::npos ? host : host.substr(slash + 1);
    std::string folder = root;
    if (slash != std::string::npos && !FindOnDiscUtf8(root, host.substr(0, slash), &folder))
        return matches;
    for (const std::string& name : FolderEntries(folder)) {
        const std::string path = folder + "/" + name;
        if (WildcardMatch(last.c_str(), name.c_str()) && IsRegularFile(path))
            matches.push_back(path);
    }
    return matches;
}

bool IsRegularFile(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool IsFolder(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool FileSize(const std::string& path, uint64_t* size)
{
    struct stat st;
    if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    *size = static_cast<uint64_t>(st.st_size);
    return true;
}

bool FileMd5(const std::string& path, std::string* hex)
{
    FILE* f = fopen(path.c_str(), "rb");
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
        if (i == path.size() || path[i] == '/') {
            at = path.substr(0, i);
            if (!at.empty() && mkdir(at.c_str(), 0777) != 0 && errno != EEXIST)
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
    for (const std::string& name : FolderEntries(from)) {
        const std::string source = from + "/" + name;
        const std::string target = to + "/" + name;
        if (IsFolder(source)) {
            if (!CopyTree(source, target, files, bytes, error))
                return false;
            continue;
        }
        FILE* in = fopen(source.c_str(), "rb");
        FILE* out = in != nullptr ? fopen(target.c_str(), "wb") : nullptr;
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
        if (!ok) {
            *error = "cannot copy '" + source + "' to '" + target + "'";
            return false;
        }
        ++*files;
    }
    return true;
}

void RemoveTreeQuietly(const std::string& path)
{
    struct stat st;
    if (lstat(path.c_str(), &st) != 0)
        return;
    if (S_ISDIR(st.st_mode)) {
        for (const std::string& name : FolderEntries(path))
            RemoveTreeQuietly(path + "/" + name);
        rmdir(path.c_str());
    } else {
        unlink(path.c_str());
    }
}

// Disc folders on the publisher's machine, seen the way the launcher sees a
// disc: names are found regardless of letter case, as on a CD, and a listed
// name with '*' or '?' in its last part is a pattern over the files of its
// folder.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

// A script path (code page 932, '\' separated) as a path below `root` on
// this machine, each part found ignoring ASCII letter case. False when a
// part is missing; `path` then holds the part that was found.
bool FindOnDisc(const std::string& root, const char* cp932Path, std::string* path);
// The same for a UTF-8 path, as the product's own script writes it.
bool FindOnDiscUtf8(const std::string& root, const std::string& utf8Path, std::string* path);

// The regular files a pattern matches (sorted), or the one file a plain
// name names. Empty when nothing matches or the file is a folder.
std::vector<std::string> MatchOnDisc(const std::string& root, const std::string& utf8Path);

// '*' (any run) and '?' (one character) over UTF-8 text, ignoring ASCII case.
bool WildcardMatch(const char* pattern, const char* name);

bool IsRegularFile(const std::string& path);
bool IsFolder(const std::string& path);
bool FileSize(const std::string& path, uint64_t* size);

// MD5 of a file as 32 lower-case hexadecimal digits; false when unreadable.
bool FileMd5(const std::string& path, std::string* hex);

// The digests of one build, kept per path until a file is written again.
struct DigestCache {
    std::map<std::string, std::string> Known;
    bool Get(const std::string& path, std::string* hex);
    void Forget(const std::string& path) { Known.erase(path); }
};

// Copies a folder tree (files and folders; links are followed). Counts the
// files and bytes copied. False with `error` set on the first failure.
bool CopyTree(const std::string& from, const std::string& to, uint64_t* files, uint64_t* bytes,
              std::string* error);
// Removes a folder tree this tool made; quiet about what is already gone.
void RemoveTreeQuietly(const std::string& path);
// Makes every missing folder of `path` (itself included).
bool MakeFolders(const std::string& path);

// A UTF-8 script path with the separators of this system ('\' becomes '/'
// on Linux).
std::string HostSeparators(const std::string& path);

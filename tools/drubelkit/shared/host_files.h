// The publisher's file system, with UTF-8 paths on every system: POSIX calls
// on Linux, the wide calls on Windows, so that Japanese names work whatever
// the system's code page. Both '/' and, on Windows, '\' separate folders.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// What separates folders in the paths the tool makes, and what it takes.
#ifdef _WIN32
constexpr char HostSlash[] = "\\";
constexpr char HostSlashes[] = "/\\";
#else
constexpr char HostSlash[] = "/";
constexpr char HostSlashes[] = "/";
#endif

struct HostEntry {
    std::string Name;  // the last part of the path, UTF-8
    bool Folder = false;
    uint64_t Size = 0;
    int64_t Time = 0;  // last write, seconds since 1970-01-01 UTC
};

// What `path` is (links followed). False when it does not exist.
bool HostInfo(const std::string& path, HostEntry* entry);
// True when anything is at `path`, a broken link included.
bool HostExists(const std::string& path);
// True for a folder itself, false for a link to one: what a removal walks.
bool HostIsRealFolder(const std::string& path);
// The entries of a folder but "." and "..", sorted by their UTF-8 names so
// that nothing depends on the file system's order.
bool HostList(const std::string& folder, std::vector<HostEntry>* entries);

FILE* HostOpen(const std::string& path, const char* mode);
bool HostSetTime(const std::string& path, int64_t time);
// True when the folder exists afterwards.
bool HostMakeFolder(const std::string& path);
bool HostRemoveFile(const std::string& path);
bool HostRemoveFolder(const std::string& path);
// Renames a file or a folder; `to` must not exist.
bool HostRename(const std::string& from, const std::string& to);
// Renames a file over another.
bool HostReplace(const std::string& from, const std::string& to);
// The absolute form of an existing path, or empty.
std::string HostFullPath(const std::string& path);
std::string HostCurrentFolder();
bool HostChangeFolder(const std::string& path);
// The folder of the running program.
std::string HostProgramFolder();
// The folder for scratch files (TMPDIR, or the user's temporary folder).
std::string HostTempFolder();
// Makes a new folder named `prefix` and six characters, readable by this
// user only until the caller opens it up.
bool HostMakeUniqueFolder(const std::string& prefix, std::string* made);
// Gives such a folder the access of any other the user makes.
void HostMakeOrdinary(const std::string& folder);
// A path as the program's own code opens it (code page 932 on Windows,
// the short form when the long one has none); empty when it cannot be.
std::string HostProgramPath(const std::string& path);
// Makes the copy of `target` at `link` that the launcher finds there: a
// symbolic link where the system has them for everyone, else a copy.
bool HostLinkOrCopy(const std::string& target, const std::string& link);

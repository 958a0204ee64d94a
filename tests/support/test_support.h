// Files and folders for tests, on the host and under Wine alike. Paths are
// narrow (code page 932 on Windows) like the program's own.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A fresh empty folder, removed with its content when the object goes.
struct TempDir {
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    // Path of a name inside the folder, with the platform's separator.
    std::string operator/(const std::string& name) const;
    std::string Path;
};

// Makes `path` the current folder for the object's lifetime.
struct ScopedCurrentDir {
    explicit ScopedCurrentDir(const std::string& path);
    ~ScopedCurrentDir();
    std::string Previous;
};

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes);
void WriteText(const std::string& path, const std::string& text);
std::vector<uint8_t> ReadBytes(const std::string& path);
bool FileExists(const std::string& path);
bool MakeFolder(const std::string& path);
// Removes everything inside the folder; the folder itself stays.
void EmptyFolder(const std::string& path);
// Removes the folder with everything inside it.
void RemoveTree(const std::string& path);

// Deterministic pseudo-random bytes for test data.
std::vector<uint8_t> PatternBytes(size_t count, uint32_t seed);

char PathSeparator();

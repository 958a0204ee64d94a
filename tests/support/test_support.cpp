#include "support/test_support.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

#ifdef _WIN32
#include <windows.h>
#else
#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

char PathSeparator()
{
#ifdef _WIN32
    return '\\';
#else
    return '/';
#endif
}

#ifdef _WIN32
static std::string MakeTempFolder()
{
    char base[MAX_PATH];
    GetTempPathA(MAX_PATH, base);
    static unsigned counter = 0;
    for (;;) {
        char path[MAX_PATH];
        snprintf(path, sizeof path, "%sdrubel-test-%lu-%u", base, GetCurrentProcessId(), ++counter);
        if (CreateDirectoryA(path, nullptr))
            return path;
        if (GetLastError() != ERROR_ALREADY_EXISTS)
            throw std::runtime_error("cannot make a temporary folder");
    }
}

void EmptyFolder(const std::string& path)
{
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA((path + "\\*").c_str(), &found);
    if (h == INVALID_HANDLE_VALUE)
        return;
    do {
        if (strcmp(found.cFileName, ".") == 0 || strcmp(found.cFileName, "..") == 0)
            continue;
        const std::string child = path + "\\" + found.cFileName;
        SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            RemoveTree(child);
        else
            DeleteFileA(child.c_str());
    } while (FindNextFileA(h, &found));
    FindClose(h);
}

void RemoveTree(const std::string& path)
{
    EmptyFolder(path);
    RemoveDirectoryA(path.c_str());
}

bool MakeFolder(const std::string& path) { return CreateDirectoryA(path.c_str(), nullptr) != 0; }

ScopedCurrentDir::ScopedCurrentDir(const std::string& path)
{
    char previous[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, previous);
    Previous = previous;
    SetCurrentDirectoryA(path.c_str());
}

ScopedCurrentDir::~ScopedCurrentDir() { SetCurrentDirectoryA(Previous.c_str()); }

bool FileExists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}
#else
static std::string MakeTempFolder()
{
    const char* base = getenv("TMPDIR");
    std::string pattern = std::string(base != nullptr ? base : "/tmp") + "/drubel-test-XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (mkdtemp(buffer.data()) == nullptr)
        throw std::runtime_error("cannot make a temporary folder");
    return buffer.data();
}

static int RemoveOne(const char* path, const struct stat*, int, struct FTW*)
{
    remove(path);
    return 0;
}

void RemoveTree(const std::string& path) { nftw(path.c_str(), RemoveOne, 16, FTW_DEPTH | FTW_PHYS); }

void EmptyFolder(const std::string& path)
{
    RemoveTree(path);
    mkdir(path.c_str(), 0777);
}

bool MakeFolder(const std::string& path) { return mkdir(path.c_str(), 0777) == 0; }

ScopedCurrentDir::ScopedCurrentDir(const std::string& path)
{
    char previous[4096];
    if (getcwd(previous, sizeof previous) != nullptr)
        Previous = previous;
    if (chdir(path.c_str()) != 0)
        throw std::runtime_error("cannot enter " + path);
}

ScopedCurrentDir::~ScopedCurrentDir()
{
    if (chdir(Previous.c_str()) != 0) {
    }
}

bool FileExists(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}
#endif

TempDir::TempDir() : Path(MakeTempFolder()) {}
TempDir::~TempDir() { RemoveTree(Path); }

std::string TempDir::operator/(const std::string& name) const { return Path + PathSeparator() + name; }

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes)
{
    FILE* f = fopen(path.c_str(), "wb");
    if (f == nullptr)
        throw std::runtime_error("cannot write " + path);
    if (!bytes.empty())
        fwrite(bytes.data(), 1, bytes.size(), f);
    fclose(f);
}

void WriteText(const std::string& path, const std::string& text)
{
    WriteBytes(path, std::vector<uint8_t>(text.begin(), text.end()));
}

std::vector<uint8_t> ReadBytes(const std::string& path)
{
    std::vector<uint8_t> bytes;
    FILE* f = fopen(path.c_str(), "rb");
    if (f == nullptr)
        return bytes;
    uint8_t chunk[65536];
    size_t n;
    while ((n = fread(chunk, 1, sizeof chunk, f)) > 0)
        bytes.insert(bytes.end(), chunk, chunk + n);
    fclose(f);
    return bytes;
}

std::vector<uint8_t> PatternBytes(size_t count, uint32_t seed)
{
    std::vector<uint8_t> bytes(count);
    uint32_t x = seed * 2654435761u + 1;
    for (size_t i = 0; i < count; ++i) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        bytes[i] = static_cast<uint8_t>(x);
    }
    return bytes;
}

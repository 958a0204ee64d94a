#include "shared/host_files.h"

#include "shared/check_text.h"

#include <windows.h>

#include <algorithm>
#include <cwchar>

namespace {

std::wstring Wide(const std::string& utf8)
{
    if (utf8.empty())
        return std::wstring();
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &out[0], n);
    return out;
}

std::string Utf8(const wchar_t* wide, size_t length)
{
    if (length == 0)
        return std::string();
    const int n = WideCharToMultiByte(CP_UTF8, 0, wide, static_cast<int>(length), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide, static_cast<int>(length), &out[0], n, nullptr, nullptr);
    return out;
}

// 100-nanosecond steps since 1601 against seconds since 1970.
constexpr int64_t EpochSteps = 116444736000000000LL;

int64_t UnixTime(const FILETIME& t)
{
    const int64_t steps = static_cast<int64_t>((static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime);
    const int64_t since = steps - EpochSteps;
    return since >= 0 ? since / 10000000 : -((-since + 9999999) / 10000000);
}

FILETIME FileTime(int64_t time)
{
    const uint64_t steps = static_cast<uint64_t>(time * 10000000 + EpochSteps);
    FILETIME t;
    t.dwLowDateTime = static_cast<DWORD>(steps);
    t.dwHighDateTime = static_cast<DWORD>(steps >> 32);
    return t;
}

void Fill(const WIN32_FILE_ATTRIBUTE_DATA& data, HostEntry* entry)
{
    entry->Folder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    entry->Size = entry->Folder ? 0 : (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    entry->Time = UnixTime(data.ftLastWriteTime);
}

struct Handle {
    HANDLE H;
    ~Handle()
    {
        if (H != INVALID_HANDLE_VALUE)
            CloseHandle(H);
    }
};

}  // namespace

bool HostInfo(const std::string& path, HostEntry* entry)
{
    // Through the handle, so that a link reports what it leads to.
    Handle h {CreateFileW(Wide(path).c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                          nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr)};
    BY_HANDLE_FILE_INFORMATION info;
    if (h.H == INVALID_HANDLE_VALUE || !GetFileInformationByHandle(h.H, &info))
        return false;
    const size_t slash = path.find_last_of(HostSlashes, path.size() > 1 ? path.size() - 2 : 0);
    entry->Name = slash == std::string::npos ? path : path.substr(slash + 1);
    WIN32_FILE_ATTRIBUTE_DATA data;
    data.dwFileAttributes = info.dwFileAttributes;
    data.nFileSizeHigh = info.nFileSizeHigh;
    data.nFileSizeLow = info.nFileSizeLow;
    data.ftLastWriteTime = info.ftLastWriteTime;
    Fill(data, entry);
    return true;
}

bool HostExists(const std::string& path)
{
    return GetFileAttributesW(Wide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool HostIsRealFolder(const std::string& path)
{
    const DWORD a = GetFileAttributesW(Wide(path).c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) != 0 && (a & FILE_ATTRIBUTE_REPARSE_POINT) == 0;
}

bool HostList(const std::string& folder, std::vector<HostEntry>* entries)
{
    entries->clear();
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW(Wide(folder + "\\*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE)
        return GetLastError() == ERROR_FILE_NOT_FOUND;
    do {
        if (wcscmp(found.cFileName, L".") == 0 || wcscmp(found.cFileName, L"..") == 0)
            continue;
        HostEntry entry;
        entry.Name = Utf8(found.cFileName, wcslen(found.cFileName));
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0 || !HostInfo(folder + "\\" + entry.Name, &entry)) {
            WIN32_FILE_ATTRIBUTE_DATA data;
            data.dwFileAttributes = found.dwFileAttributes;
            data.nFileSizeHigh = found.nFileSizeHigh;
            data.nFileSizeLow = found.nFileSizeLow;
            data.ftLastWriteTime = found.ftLastWriteTime;
            Fill(data, &entry);
        }
        entry.Name = Utf8(found.cFileName, wcslen(found.cFileName));
        entries->push_back(entry);
    } while (FindNextFileW(find, &found));
    FindClose(find);
    std::sort(entries->begin(), entries->end(),
              [](const HostEntry& a, const HostEntry& b) { return a.Name < b.Name; });
    return true;
}

FILE* HostOpen(const std::string& path, const char* mode)
{
    return _wfopen(Wide(path).c_str(), Wide(mode).c_str());
}

bool HostSetTime(const std::string& path, int64_t time)
{
    Handle h {CreateFileW(Wide(path).c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                          OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr)};
    const FILETIME t = FileTime(time);
    return h.H != INVALID_HANDLE_VALUE && SetFileTime(h.H, nullptr, &t, &t);
}

bool HostMakeFolder(const std::string& path)
{
    if (!CreateDirectoryW(Wide(path).c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
        return false;
    HostEntry e;
    return HostInfo(path, &e) && e.Folder;
}

bool HostRemoveFile(const std::string& path) { return DeleteFileW(Wide(path).c_str()) != 0; }
bool HostRemoveFolder(const std::string& path) { return RemoveDirectoryW(Wide(path).c_str()) != 0; }

bool HostRename(const std::string& from, const std::string& to)
{
    return MoveFileExW(Wide(from).c_str(), Wide(to).c_str(), 0) != 0;
}

bool HostReplace(const std::string& from, const std::string& to)
{
    return MoveFileExW(Wide(from).c_str(), Wide(to).c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

std::string HostFullPath(const std::string& path)
{
    if (!HostExists(path))
        return std::string();
    wchar_t full[32768];
    const DWORD n = GetFullPathNameW(Wide(path).c_str(), 32768, full, nullptr);
    return n == 0 || n >= 32768 ? std::string() : Utf8(full, n);
}

std::string HostCurrentFolder()
{
    wchar_t here[32768];
    const DWORD n = GetCurrentDirectoryW(32768, here);
    return n == 0 || n >= 32768 ? std::string() : Utf8(here, n);
}

bool HostChangeFolder(const std::string& path) { return SetCurrentDirectoryW(Wide(path).c_str()) != 0; }

std::string HostProgramFolder()
{
    wchar_t self[32768];
    const DWORD n = GetModuleFileNameW(nullptr, self, 32768);
    const std::string path = n == 0 || n >= 32768 ? std::string() : Utf8(self, n);
    const size_t slash = path.find_last_of(HostSlashes);
    return slash == std::string::npos ? "." : path.substr(0, slash);
}

std::string HostTempFolder()
{
    wchar_t temp[MAX_PATH + 2];
    const DWORD n = GetTempPathW(MAX_PATH + 2, temp);
    std::string folder = n == 0 || n > MAX_PATH + 1 ? std::string(".") : Utf8(temp, n);
    while (folder.size() > 3 && (folder.back() == '\\' || folder.back() == '/'))
        folder.pop_back();
    return folder;
}

bool HostMakeUniqueFolder(const std::string& prefix, std::string* made)
{
    static const char digits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    uint64_t seed = GetTickCount64() ^ (static_cast<uint64_t>(GetCurrentProcessId()) << 32);
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = prefix;
        for (int i = 0; i < 6; ++i) {
            seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
            name += digits[(seed >> 33) % 36];
        }
        if (CreateDirectoryW(Wide(name).c_str(), nullptr)) {
            *made = name;
            return true;
        }
        if (GetLastError() != ERROR_ALREADY_EXISTS)
            return false;
    }
    return false;
}

// A new folder inherits its parent's access: nothing to open up.
void HostMakeOrdinary(const std::string&) {}

std::string HostProgramPath(const std::string& path)
{
    std::string cp932;
    size_t bad = 0;
    if (Utf8ToCp932(path, &cp932, &bad))
        return cp932;
    // The short form is plain ASCII where the volume keeps one.
    wchar_t shortForm[32768];
    const DWORD n = GetShortPathNameW(Wide(path).c_str(), shortForm, 32768);
    if (n == 0 || n >= 32768 || !Utf8ToCp932(Utf8(shortForm, n), &cp932, &bad))
        return std::string();
    return cp932;
}

// Symbolic links need a privilege on Windows: the archive is copied.
bool HostLinkOrCopy(const std::string& target, const std::string& link)
{
    return CopyFileW(Wide(target).c_str(), Wide(link).c_str(), TRUE) != 0;
}

#include "shared/host_files.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

bool HostInfo(const std::string& path, HostEntry* entry)
{
    struct stat st;
    if (stat(path.c_str(), &st) != 0)
        return false;
    const size_t slash = path.find_last_of('/', path.size() > 1 ? path.size() - 2 : 0);
    entry->Name = slash == std::string::npos ? path : path.substr(slash + 1);
    entry->Folder = S_ISDIR(st.st_mode);
    entry->Size = S_ISREG(st.st_mode) ? static_cast<uint64_t>(st.st_size) : 0;
    entry->Time = static_cast<int64_t>(st.st_mtime);
    return S_ISDIR(st.st_mode) || S_ISREG(st.st_mode);
}

bool HostExists(const std::string& path)
{
    struct stat st;
    return lstat(path.c_str(), &st) == 0;
}

bool HostIsRealFolder(const std::string& path)
{
    struct stat st;
    return lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool HostList(const std::string& folder, std::vector<HostEntry>* entries)
{
    entries->clear();
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr)
        return false;
    while (const dirent* e = readdir(dir)) {
        if (strcmp(e->d_name, ".") == 0 || strcmp(e->d_name, "..") == 0)
            continue;
        HostEntry entry;
        HostInfo(folder + "/" + e->d_name, &entry);
        entry.Name = e->d_name;
        entries->push_back(entry);
    }
    closedir(dir);
    std::sort(entries->begin(), entries->end(),
              [](const HostEntry& a, const HostEntry& b) { return a.Name < b.Name; });
    return true;
}

FILE* HostOpen(const std::string& path, const char* mode) { return fopen(path.c_str(), mode); }

bool HostSetTime(const std::string& path, int64_t time)
{
    const struct timespec times[2] = {{static_cast<time_t>(time), 0}, {static_cast<time_t>(time), 0}};
    return utimensat(AT_FDCWD, path.c_str(), times, 0) == 0;
}

bool HostMakeFolder(const std::string& path)
{
    struct stat st;
    return (mkdir(path.c_str(), 0777) == 0 || errno == EEXIST) && stat(path.c_str(), &st) == 0 &&
           S_ISDIR(st.st_mode);
}

bool HostRemoveFile(const std::string& path) { return unlink(path.c_str()) == 0; }
bool HostRemoveFolder(const std::string& path) { return rmdir(path.c_str()) == 0; }

bool HostRename(const std::string& from, const std::string& to)
{
    return !HostExists(to) && rename(from.c_str(), to.c_str()) == 0;
}

bool HostReplace(const std::string& from, const std::string& to)
{
    return rename(from.c_str(), to.c_str()) == 0;
}

std::string HostFullPath(const std::string& path)
{
    char full[PATH_MAX];
    return realpath(path.c_str(), full) != nullptr ? std::string(full) : std::string();
}

std::string HostCurrentFolder()
{
    char here[PATH_MAX];
    return getcwd(here, sizeof here) != nullptr ? std::string(here) : std::string();
}

bool HostChangeFolder(const std::string& path) { return chdir(path.c_str()) == 0; }

std::string HostProgramFolder()
{
    const std::string self = HostFullPath("/proc/self/exe");
    return self.substr(0, self.rfind('/'));
}

std::string HostTempFolder()
{
    const char* tmp = getenv("TMPDIR");
    return tmp != nullptr && *tmp != '\0' ? tmp : "/tmp";
}

bool HostMakeUniqueFolder(const std::string& prefix, std::string* made)
{
    std::string pattern = prefix + "XXXXXX";
    if (mkdtemp(&pattern[0]) == nullptr)
        return false;
    *made = pattern;
    return true;
}

void HostMakeOrdinary(const std::string& folder)
{
    const mode_t mask = umask(0);
    umask(mask);
    chmod(folder.c_str(), 0777 & ~mask);
}

std::string HostProgramPath(const std::string& path) { return path; }

bool HostLinkOrCopy(const std::string& target, const std::string& link)
{
    const std::string full = HostFullPath(target);
    return !full.empty() && symlink(full.c_str(), link.c_str()) == 0;
}

#include "archive/osfile.h"

#include "common/text.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

// Descriptor 0 is a valid descriptor, so the handle is the descriptor plus one.
static int Descriptor(OsFile file) { return static_cast<int>(reinterpret_cast<intptr_t>(file)) - 1; }

// Turns the program's backslash separators into the host's, leaving 0x5C
// trail bytes of two-byte characters alone.
static std::string HostPath(const char* path)
{
    std::string result;
    for (const char* p = path; *p != '\0'; ++p) {
        if (IsLeadByte(static_cast<unsigned char>(p[0]), static_cast<unsigned char>(p[1]))) {
            result += p[0];
            result += p[1];
            ++p;
            continue;
        }
        result += (*p == '\\') ? '/' : *p;
    }
    return result;
}

OsFile OsOpenRead(const char* path)
{
    if (path == nullptr)
        return nullptr;
    const int fd = open(HostPath(path).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd);
        return nullptr;
    }
#ifdef POSIX_FADV_SEQUENTIAL
    posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
#endif
    return reinterpret_cast<OsFile>(static_cast<intptr_t>(fd) + 1);
}

bool OsFileSize(OsFile file, uint64_t* size)
{
    struct stat st;
    if (file == nullptr || fstat(Descriptor(file), &st) != 0)
        return false;
    *size = static_cast<uint64_t>(st.st_size);
    return true;
}

bool OsRead(OsFile file, void* buffer, uint32_t count, uint32_t* delivered)
{
    *delivered = 0;
    if (file == nullptr)
        return false;
    // read() may return less than asked before the end of the file; the
    // Windows read on a disk file does not, so keep going until the end.
    uint8_t* out = static_cast<uint8_t*>(buffer);
    while (*delivered < count) {
        const ssize_t n = read(Descriptor(file), out + *delivered, count - *delivered);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (n == 0)
            break;
        *delivered += static_cast<uint32_t>(n);
    }
    return true;
}

bool OsSkip(OsFile file, uint32_t offset)
{
    return file != nullptr && lseek(Descriptor(file), static_cast<off_t>(offset), SEEK_CUR) >= 0;
}

bool OsSeek(OsFile file, uint64_t position)
{
    return file != nullptr && lseek(Descriptor(file), static_cast<off_t>(position), SEEK_SET) >= 0;
}

void OsClose(OsFile file)
{
    if (file != nullptr)
        close(Descriptor(file));
}

bool OsNamesEqual(const char* a, const char* b)
{
    const size_t la = strlen(a);
    return la == strlen(b) && EqualNoCaseN(a, b, la);
}

// The thin layer between the archive reader and the operating system: Win32
// handles on Windows, POSIX descriptors on the host. Nothing above it needs
// to know which.
#pragma once

#include <cstdint>

// An open file, or null. On Windows it is the HANDLE itself.
typedef void* OsFile;

// Opens an existing regular file for reading, shared for reading, with the
// sequential-scan hint. Null when it cannot be opened. On the host a
// backslash is a folder separator, as it is for the program.
OsFile OsOpenRead(const char* path);

// Size of the open file; false on failure.
bool OsFileSize(OsFile file, uint64_t* size);

// One read of up to `count` bytes at the current position. `*delivered`
// receives the count read (fewer at the end of the file). False when the
// system read failed.
bool OsRead(OsFile file, void* buffer, uint32_t count, uint32_t* delivered);

// Moves the position `offset` bytes forward from where it stands.
bool OsSkip(OsFile file, uint32_t offset);

// Sets the position from the start of the file.
bool OsSeek(OsFile file, uint64_t position);

void OsClose(OsFile file);

// Case-insensitive equality of two member names: a Japanese
// system's comparison on Windows (whatever the system's own locale), a byte comparison that folds ASCII letters outside
// two-byte characters on the host.
bool OsNamesEqual(const char* a, const char* b);

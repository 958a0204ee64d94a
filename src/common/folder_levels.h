// The levels of a folder path, parent first, as CreateFolderPath makes them.
#pragma once

// The longest path whose levels are walked: a Windows path.
constexpr int FolderLevelWidth = 260;

// Calls `make` with each level of `path`: every prefix that ends in a
// separator (the separator kept), then the whole path. The second byte of a
// two-byte character is never a separator, even when it is 0x5C. Returns 0,
// calling nothing, when the path does not fit the 260-byte work buffer.
int ForEachFolderLevel(const char* path, void (*make)(const char* level, void* context),
                       void* context);

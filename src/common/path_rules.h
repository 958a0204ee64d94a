// Rules for the relative names a script lists (files to copy or delete,
// folders to make, save data), shared by installing and uninstalling.
#pragma once

#include <cstddef>

// True when `name` stays inside the folder it is joined to: not empty, no
// drive ("X:"), no leading separator (a root of its own), and no ".."
// segment. Both '\' and '/' count as separators, as they do for Windows;
// a 0x5C trail byte of a two-byte character does not.
bool IsContainedRelativePath(const char* name);

// True when the name holds a wildcard ('?' or '*') and so names a pattern.
bool IsPattern(const char* name);

// The folder part of a listed name: everything before its last backslash, or
// an empty text when it has none. False when it does not fit.
bool FolderPartOf(const char* name, char* folder, size_t size);

// Rules for the relative names a script lists (files to copy or delete,
// folders to make, save data), shared by installing and uninstalling.
#pragma once

#include <cstddef>

// True when `name` stays inside the folder it is joined to: not empty, no
// drive ("X:"), no leading separator (a root of its own), and no ".."
// segment. Both '\' and '/' count as separators, as they do for Windows;
// a 0x5C trail byte of a two-byte character does not.
bool IsContainedRelativePath(const char* name);

// True when a folder name the script gives for a level of its own
// (MUSTMAKEFOLDER, BRANDFOLDER, SAVEFOLDER) names only folders below the one
// it is joined to: an empty text, or segments that are neither empty nor
// made of dots and blanks alone ("." and ".." walk nowhere or up), no drive,
// no leading separator. One trailing separator is allowed.
bool IsPlainFolderPath(const char* name);

// True when `key` is a subkey of "Software\" (letter case aside) under the
// user's root, where an install record belongs: "Software\" followed by a
// non-empty name that does not start with a separator.
bool IsSoftwareSubkey(const char* key);

// True when the name holds a wildcard ('?' or '*') and so names a pattern.
bool IsPattern(const char* name);

// The folder part of a listed name: everything before its last backslash, or
// an empty text when it has none. False when it does not fit.
bool FolderPartOf(const char* name, char* folder, size_t size);

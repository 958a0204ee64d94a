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

// The script's own rule for a pattern's last level, the one every user of a
// listed pattern applies (the copy, the uninstall, the save removal and the
// publisher's tool): '*' stands for any run of characters, none included,
// '?' for exactly one (a two-byte character is one), and every other
// character for itself, ASCII letters without regard to case. A pattern
// that ends in ".*" also matches a name without an extension, as "*.*"
// matches every name. The system's own search is only a first sieve: it
// also matches short names ("*.sav" finds "memo.save" through MEMO~1.SAV),
// so each name it finds is matched again here, by its long name.
bool MatchesNamePattern(const char* pattern, const char* name);

// True when `found`, the long name of an entry a search for the listed
// pattern `listed` found, is one the listing names: its last level matches
// by MatchesNamePattern.
bool ListedPatternNames(const char* listed, const char* found);

// The folder part of a listed name: everything before its last backslash, or
// an empty text when it has none. False when it does not fit.
bool FolderPartOf(const char* name, char* folder, size_t size);

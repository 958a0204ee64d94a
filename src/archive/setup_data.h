// Telling the player that the setup data on the disc cannot be read: which
// file to name, and the message.
#pragma once

#include <cstddef>

// The message shown when setup data of the disc cannot be read, naming the
// file: the program ends after it.
bool FormatUnreadableDataMessage(char* dest, size_t size, const char* fileName);

// The file to name when the picture at `memberPath` (as LoadEpaImage takes
// it) could not be had: the member's name when it lies loose or the archive
// beside it is sound (the member is then missing or damaged), else the
// archive, which is missing, empty, cut short or describes more than it holds.
const char* UnreadableDataName(const char* memberPath);

#ifdef _WIN32
#include <windows.h>

// The message for the picture at `memberPath` in a box owned by `owner`,
// with `caption`.
void ShowUnreadableData(HWND owner, const char* memberPath, const char* caption);
#endif

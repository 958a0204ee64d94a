// Drive numbers (1 for A: up to 26 for Z:, 0 for none) and the drive-root
// paths made of them.
#pragma once

#include <cstddef>

// 1 for A (or a) up to 26 for Z (or z); 0 for anything that is no letter.
int DriveNumberFromLetter(char letter);

// "E:\" for 5. False (and an empty text) for a number outside 1..26 or a
// buffer under 4 bytes.
bool FormatDriveRoot(int drive, char* root, size_t size);

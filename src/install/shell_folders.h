// Paths of the shell's special folders (desktop, Start-menu programs, local
// application data), by their CSIDL numbers.
#pragma once

// Fills the 260-byte `path` with the folder's file-system path; non-zero
// when it was obtained. On failure `path` holds an empty text.
int GetSpecialFolderPath(int csidl, char path[260]);

// Paths of the shell's special folders (desktop, Start-menu programs, local
// application data), by their CSIDL numbers: where an installation puts its
// links and saves, and where its removal looks for them.
#pragma once

// Fills the 260-byte `path` with the folder's file-system path; true when it
// was obtained. On failure `path` holds an empty text; SysTextHadNoForm()
// then tells a folder that exists but has no 932 path, not even a short one.
bool GetSpecialFolderPath(int csidl, char path[260]);

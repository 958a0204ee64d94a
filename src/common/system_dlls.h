// Where the program's DLLs come from. The program runs with an
// administrator's rights from folders that other programs may write into
// (a disc folder on the hard disk, an install folder like C:\Games), and
// Windows looks for a DLL that is not one of its known DLLs in the
// program's own folder first. So the program imports only known DLLs, and
// loads every other one itself, from the system folder by its full path.
#pragma once

#include <windows.h>
#include <mmsystem.h>

// Called first thing in the entry, before any window: DLLs loaded from now
// on come from the system folder only. Where the system lacks the call
// (Vista, XP without its update), the DLLs that the system's own DLLs load
// by name later are loaded from the system folder now, so that a later
// load by name finds them loaded. On Windows 95/98/NT 4 it changes nothing.
// True when the restriction itself is in force.
bool RestrictDllSearch();

// `name` ("winmm.dll") from the system folder, by its full path; its own
// imports come from there too. Null when it cannot be had.
HMODULE LoadSystemDll(const wchar_t* name);

// winmm, loaded at its first use. Without it the clock is the tick count
// and every command fails with MCIERR_DEVICE_NOT_INSTALLED.
DWORD SysTimeMilliseconds();
MCIERROR SysMciSendCommand(MCIDEVICEID device, UINT message, DWORD_PTR flags, DWORD_PTR parameter);
// True when winmm's media control interface could be loaded at all.
bool SysMciAvailable();

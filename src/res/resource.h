// Resource ids of Drubel.exe: dialog templates and their control ids. Shared
// by the resource script and the dialog procedures.
#pragma once

// Dialog templates.
#define IDD_INSTALL_OPTIONS 101
#define IDD_LAUNCHER 102
#define IDD_UNINSTALL 109
#define IDD_INSERT_DISC 111
#define IDD_DRIVE_SELECT 112
#define IDD_DISK_SPACE_WARNING 113
#define IDD_FILE_CHECK 114

// Launcher (102).
#define IDC_LAUNCH_GAME 1
#define IDC_LAUNCH_EXIT 2
#define IDC_LAUNCH_INSTALL 3
#define IDC_LAUNCH_DIRECTX 4
#define IDC_LAUNCH_CHECK 5

// Install options (101).
#define IDC_INSTALL_PATH 1000
#define IDC_INSTALL_BROWSE 1001
#define IDC_OPTION_FIRST 1002
#define IDC_OPTION_SECOND 1003
#define IDC_OPTION_THIRD 1004
#define IDC_OPTION_FOURTH 1005
#define IDC_INSTALL_HINT 1011
#define IDC_DESKTOP_SHORTCUT 1020

// Uninstall (109).
#define IDC_DELETE_SAVE_DATA 1009
#define IDC_UNINSTALL_TEXT 1012

// Insert disc (111): results are the button ids 1, 2 and 3, and 4 when
// the player picked a folder that holds the disc.
#define IDC_FORCE_RUN 3
#define IDC_BROWSE_DISC 4
#define IDC_DISC_NAME 1015

// Drive selection (112).
#define IDC_DRIVE_LIST 1016

// File check (114).
#define IDC_CHECK_LIST 1018
#define IDC_CHECK_PROGRESS 1019

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

// The manifest and the version record.
#define IDR_MANIFEST 1
#define IDR_VERSION 1

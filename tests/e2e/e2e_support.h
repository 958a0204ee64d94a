// The end-to-end driver's view of Drubel.exe: products written to folders
// and fake drives, the program started as a player starts it, and its
// windows found, read and operated from outside.
#pragma once

#include "support/test_support.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// ---- Places ---------------------------------------------------------------

// The program under test, the stand-in DirectX setup, and the folders the
// run script mapped as the CD/DVD drives E: and F: and the removable G:.
std::string DrubelExe();
std::string DirectXStub();
std::string DriveFolder(char letter);
// Empties a fake drive's folder: the drive then holds no disc.
void EjectDisc(char letter);
// Disc `disc` (1-based) of a product `drubelkit build` made for the run:
// the sample product (DRUBEL_E2E_SAMPLES) or the one-disc mini-product
// (DRUBEL_E2E_MINI). Empty when the run script built none.
std::string BuiltDisc(const char* variable, int disc);

// A fresh folder for one test, removed with its content afterwards.
using Workspace = TempDir;

// ---- Products ---------------------------------------------------------------

// A bitmap file (54-byte header, 32-bit pixels) of one colour, the picture
// form the program takes besides EPA.
std::vector<uint8_t> PlainBitmap(uint32_t width, uint32_t height, uint32_t bgra);

// Script lines (Shift-JIS) joined with CR LF.
std::string ScriptText(const std::vector<std::string>& lines);
// Writes Drubel.ini and an Instdata.pak holding it and, unless told not
// to, a 320 x 320 "TITLE.EPA".
void WriteProduct(const std::string& folder, const std::string& script, bool withTitle = true);
void WriteBytesTo(const std::string& path, const std::string& bytes);
std::string ReadBytesFrom(const std::string& path);
bool Exists(const std::string& path);
// Copies every file below `from` to the same place below `to`, making the
// folders; false when a file could not be copied.
bool CopyTree(const std::string& from, const std::string& to);

// ---- Processes --------------------------------------------------------------

struct Launch {
    std::string Program;
    std::string Arguments;         // after the quoted program path; empty for none
    std::string CurrentFolder;
    std::string TempFolder;        // TMP and TEMP of the program; empty: inherited
    std::string MarkFile;          // DRUBEL_E2E_MARK for the DirectX stand-in
};

// Starts the program; the returned handle is closed by the caller.
HANDLE StartProgram(const Launch& launch);
// Waits for a process to end; its exit code, or -1 when it is still running.
long WaitForExit(HANDLE process, DWORD milliseconds);
// Ends every process started or found by the driver that still runs.
void EndStrayProcesses();

// ---- Windows ----------------------------------------------------------------

// A visible top-level dialog of another process with this caption, waited for
// up to `milliseconds`; null when none came.
HWND WaitForDialog(const std::string& caption, DWORD milliseconds = 20000);
// The same, passing over one window (a message box captioned like its owner).
HWND WaitForDialogExcept(const std::string& caption, HWND except, DWORD milliseconds = 20000);
// Waits until the window is gone; false when it stays.
bool WaitForWindowGone(HWND window, DWORD milliseconds = 20000);
// True when a process shows any visible dialog in the given time.
bool ProcessShowsWindow(DWORD processId, DWORD milliseconds);

std::string WindowText(HWND window);
std::string ControlText(HWND dialog, int id);
bool ControlEnabled(HWND dialog, int id);
bool ControlVisible(HWND dialog, int id);
HWND FocusOf(HWND dialog);
DWORD ProcessOf(HWND window);

// The first two columns of each row of a list view in another process.
using ListRow = std::pair<std::string, std::string>;
std::vector<ListRow> ListRows(HWND list);

std::string ProcessImagePath(DWORD processId);
// The process of a window, opened so that the driver can wait for it.
HANDLE OpenWindowProcess(HWND window);

// A click on a button (the command a click sends), Escape, the close box.
void PressButton(HWND dialog, int id);
void PressEscape(HWND dialog);
void PressCloseBox(HWND dialog);

// Message boxes: the static text, and its buttons.
std::string MessageBoxText(HWND box);

// Combo boxes: their entries.
std::vector<std::string> ComboEntries(HWND dialog, int id);
void SelectComboEntry(HWND dialog, int id, int index);

// ---- Registry ---------------------------------------------------------------

void WriteInstallRecord(const std::string& key, const std::string& folder, DWORD option);
void DeleteUserKey(const std::string& key);
// The files Windows is asked to delete at its next start.
std::vector<std::string> PendingRemovals();

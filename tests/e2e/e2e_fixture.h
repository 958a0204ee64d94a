// What every end-to-end test starts from: no disc in either fake drive, no
// launcher running, and a workspace with a copy of the program.
#pragma once

#include "e2e_support.h"

#include <gtest/gtest.h>

// Control ids of the dialogs, as the program's resources give them.
enum : int {
    LaunchGame = 1,
    LaunchExit = 2,
    LaunchInstall = 3,
    LaunchDirectX = 4,
    LaunchCheck = 5,
    DiscName = 1015,
    DriveList = 1016,
    ForceRun = 3,
};

// The product every test starts from: one title, two discs, DirectX on disc 2.
extern const char* const ProductTitle;
extern const char* const RecordKey;
std::vector<std::string> BaseScript();

class DrubelTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Puts a product (script and archive) and a copy of Drubel.exe in a folder.
    std::string MakeProductFolder(const std::string& folder, const std::vector<std::string>& lines,
                                  bool withTitle = true);
    // Starts the copy of Drubel.exe in `folder` with the letter, the folder
    // being the current one, and a temporary folder of the test's own.
    HANDLE StartIn(const std::string& folder, const std::string& letter);
    // The launcher's window, waited for.
    HWND WaitForLauncher(const std::string& caption);
    // Ends the launcher with its exit button and waits for its process.
    void ExitLauncher(HWND launcher);

    // The relaunch folders ("Drubel-" and 16 hexadecimal digits) in the
    // temporary folder, with their trailing backslash.
    std::vector<std::string> RelaunchFolders() const;
    // The one relaunch folder; empty (a failure added) when there is not
    // exactly one.
    std::string RelaunchFolder() const;

    Workspace Work;
    std::string Temp;  // the program's temporary folder; its name has a blank
};

// The product of the installation scenarios, modelled on the sample game:
// two discs, a full and a minimum option, MAKEFOLDER folders, a wildcard
// entry on disc 2, shortcuts with a subfolder and arguments, save data and
// an install screen. Disc 1 goes into E:, disc 2 into F: when asked for.
// The stand-in game is a copy of this driver (see install_product.cpp).
#pragma once

#include "e2e_fixture.h"
#include "support/shell_link_reader.h"

#include <string>
#include <vector>

// Control ids of the options dialog and the insert-disc dialog.
enum : int {
    InstallPath = 1000,
    OptionFirst = 1002,
    OptionSecond = 1003,
    InstallHint = 1011,
    DesktopShortcut = 1020,
};

struct DiscFile {
    int Disc;           // 1 or 2
    std::string Name;   // below the disc's root and the install folder
    size_t Size;
    bool FullOnly;      // mask 8, else 0x0C
    std::string Source = {};  // when set, the disc file is a copy of this file
};

class InstallTest : public DrubelTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // The script of the product; a test may change it before StartProduct.
    std::vector<std::string> ProductScript() const;
    // Writes disc 1 into E: (disc 2 waits in Work/disc2) and the product
    // folder, starts the launcher and opens the options dialog.
    HWND StartAndOpenOptions(const std::vector<std::string>& script);
    // The product folder with `script`, and disc 1 in E:, without a start.
    std::string PrepareProduct(const std::vector<std::string>& script);
    HWND StartAndOpenOptions() { return StartAndOpenOptions(ProductScript()); }
    void InsertDisc2();
    // Confirms the options and waits for the install window.
    HWND ConfirmOptions(HWND options);
    // Answers the insert-disc dialog of disc 2 after putting the disc in F:.
    void AnswerDisc2Request();
    // The finish screen: waits until the links exist, then a key closes it.
    void WaitForFinish();
    void CloseFinishScreen(HWND window);
    // A whole installation of `script` with the first (full) or second
    // option, disc 2 inserted when asked for; returns the launcher after it.
    HWND InstallProduct(const std::vector<std::string>& script, bool full, bool desktopLink);

    // Expected paths.
    std::string InstallFolder() const;
    std::string LocalSaveFolder() const;
    std::string StartMenuGroup() const;
    std::string DesktopFolder() const { return Desktop; }

    // Every listed file of the option is in the install folder, byte for byte.
    void ExpectInstalled(bool full);
    // Nothing of the installation is left on the disk.
    void ExpectNothingInstalled();

    std::vector<DiscFile> Files;
    std::string Disc2;      // where disc 2 waits until inserted
    std::string Desktop;    // the prefix's desktop, redirected for the test
    std::string GameMark;   // where the stand-in game reports
    HANDLE Process = nullptr;
    std::string StartArguments = "t";  // the launcher's command line
    std::string PreviousDesktop;
};

// The bytes a disc file holds.
std::string DiscFileBytes(const DiscFile& file);

// The install window (class "QRX_INST"), waited for; null when none came.
HWND WaitForInstallWindow(DWORD milliseconds = 20000);
// A message box (or dialog) with this caption, and its text.
HWND WaitForBox(const std::string& caption, DWORD milliseconds = 30000);
// Polls until the condition holds or the time is up.
bool WaitUntil(bool (*condition)(const std::string&), const std::string& argument,
               DWORD milliseconds = 30000);

// Shell links are read back with ReadShellLink (support/shell_link_reader.h).
using LinkInfo = ShellLinkInfo;

// The install record's values under RecordKey.
bool ReadRecord(std::vector<uint8_t>* folder, DWORD* folderType, DWORD* option, DWORD* optionType);



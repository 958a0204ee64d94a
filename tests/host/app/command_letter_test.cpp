#include "app/command_letter.h"
#include "app/install_record.h"

#include "script/setup_model.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

TEST(CommandLetter, OnlyTheFirstCharacterCounts)
{
    EXPECT_EQ(CommandRelaunchLauncher, ReadCommandLetter(""));
    EXPECT_EQ(CommandRelaunchLauncher, ReadCommandLetter(nullptr));
    EXPECT_EQ(CommandRelaunchUninstall, ReadCommandLetter("u"));
    EXPECT_EQ(CommandRelaunchUninstall, ReadCommandLetter("Uninstall"));
    EXPECT_EQ(CommandLauncher, ReadCommandLetter("t"));
    EXPECT_EQ(CommandLauncher, ReadCommandLetter("T whatever"));
    EXPECT_EQ(CommandUninstall, ReadCommandLetter("r"));
    EXPECT_EQ(CommandUninstall, ReadCommandLetter("R"));
    EXPECT_EQ(CommandUnknown, ReadCommandLetter("x"));
    EXPECT_EQ(CommandUnknown, ReadCommandLetter(" t"));
}

TEST(ModuleName, IsTheFileNameWithExtension)
{
    char name[ModuleNameWidth];
    ModuleNameFromPath("E:\\setup\\Drubel.exe", name, sizeof name);
    EXPECT_STREQ("Drubel.exe", name);
    ModuleNameFromPath("C:Drubel.exe", name, sizeof name);
    EXPECT_STREQ("Drubel.exe", name);
    // The second byte of ソ (83 5C) is no folder separator.
    ModuleNameFromPath("C:\\tmp\\\x83\x5C" "Setup.exe", name, sizeof name);
    EXPECT_STREQ("\x83\x5C" "Setup.exe", name);
    const std::string longName(200, 'a');
    ModuleNameFromPath(("C:\\" + longName).c_str(), name, sizeof name);
    EXPECT_EQ(127u, strlen(name));
}

TEST(InstallBasePath, JoinsTheProgramFilesFolderAndTheBrandFolder)
{
    char base[PathWidth];
    ComposeInstallBasePath(base, sizeof base, "D:\\Programs", "Lumenfield\\");
    EXPECT_STREQ("D:\\Programs\\Lumenfield\\", base);
    ComposeInstallBasePath(base, sizeof base, nullptr, "Lumenfield\\");
    EXPECT_STREQ("C:\\Program Files\\Lumenfield\\", base);
    ComposeInstallBasePath(base, sizeof base, nullptr, "");
    EXPECT_STREQ("C:\\Program Files\\", base);
}

TEST(InstallRecord, AFullValueWithoutTerminatorIsCutNeverReadPast)
{
    // The value sits at the end of a larger block whose next byte is not 0:
    // reading past the 260 bytes would show up as a longer text.
    std::vector<uint8_t> block(PathWidth + 16, 'B');
    std::fill(block.begin(), block.begin() + PathWidth, 'A');
    char folder[PathWidth];
    EXPECT_TRUE(TakeInstallFolderValue(folder, sizeof folder, block.data(), PathWidth));
    EXPECT_EQ(std::string(PathWidth - 1, 'A'), folder);

    // A two-byte character across the cut is dropped whole.
    std::fill(block.begin(), block.begin() + PathWidth, 'A');
    block[PathWidth - 2] = '\x83';
    block[PathWidth - 1] = '\x5C';
    EXPECT_TRUE(TakeInstallFolderValue(folder, sizeof folder, block.data(), PathWidth));
    EXPECT_EQ(std::string(PathWidth - 2, 'A'), folder);

    EXPECT_FALSE(TakeInstallFolderValue(folder, sizeof folder, block.data(), 0));
    EXPECT_STREQ("", folder);
}

TEST(InstallRecord, AnEmptyFolderMeansNotInstalledAndTheDefaultFolder)
{
    SetupScript.IsInstalled = 1;
    strcpy(SetupScript.InstallBasePath, "C:\\Program Files\\Lumenfield\\");
    strcpy(SetupScript.MUSTMAKEFOLDER, "Arcadia");
    const uint8_t empty[PathWidth] = {};
    ApplyInstallRecord(empty, sizeof empty);
    EXPECT_EQ(0, SetupScript.IsInstalled);
    EXPECT_STREQ("C:\\Program Files\\Lumenfield\\Arcadia", SetupScript.InstallFolder);

    SetupScript.IsInstalled = 1;
    ApplyInstallRecord(nullptr, 0);
    EXPECT_EQ(0, SetupScript.IsInstalled);

    const char installed[] = "D:\\Games\\Arcadia";
    ApplyInstallRecord(reinterpret_cast<const uint8_t*>(installed), sizeof installed);
    EXPECT_EQ(1, SetupScript.IsInstalled);
    EXPECT_STREQ("D:\\Games\\Arcadia", SetupScript.InstallFolder);
    memset(SetupScript.InstallFolder, 0, sizeof SetupScript.InstallFolder);
    SetupScript.IsInstalled = 0;
}

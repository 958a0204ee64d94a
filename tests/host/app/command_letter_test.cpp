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

TEST(InstallRecord, OnlyTheShapesTheInstallationWritesMakeARecord)
{
    std::vector<uint8_t> full(PathWidth, 0);
    memcpy(full.data(), "D:\\Games\\Arcadia", 16);
    std::vector<uint8_t> unterminated(PathWidth, 'A');
    std::vector<uint8_t> tooLong(PathWidth + 1, 0);
    memcpy(tooLong.data(), "D:\\Games\\Arcadia", 16);
    const uint8_t shortText[] = "D:\\G";
    const uint8_t sz[] = {'C', 0, ':', 0, 0, 0};  // REG_SZ "C:" as UTF-16
    const uint32_t eight = 8;
    const uint8_t* eightBytes = reinterpret_cast<const uint8_t*>(&eight);
    const uint8_t eightText[] = {'8', 0, 0, 0};
    const RecordValue goodOption = {true, RecordDwordType, eightBytes, 4};
    struct Case {
        const char* What;
        RecordValue Folder;
        RecordValue Option;
        bool Installed;
    };
    const Case cases[] = {
        {"as written", {true, RecordBinaryType, full.data(), PathWidth}, goodOption, true},
        {"shorter block", {true, RecordBinaryType, shortText, sizeof shortText}, goodOption, true},
        {"no terminator", {true, RecordBinaryType, unterminated.data(), PathWidth}, goodOption, false},
        {"261 bytes", {true, RecordBinaryType, tooLong.data(), PathWidth + 1}, goodOption, false},
        {"REG_SZ folder", {true, 1, sz, sizeof sz}, goodOption, false},
        {"empty folder", {true, RecordBinaryType, tooLong.data() + 20, 200}, goodOption, false},
        {"folder unread", {false, 0, nullptr, 0}, goodOption, false},
        {"REG_SZ option", {true, RecordBinaryType, full.data(), PathWidth}, {true, 1, eightText, 4}, false},
        {"binary option", {true, RecordBinaryType, full.data(), PathWidth}, {true, RecordBinaryType, eightBytes, 4}, false},
        {"2-byte option", {true, RecordBinaryType, full.data(), PathWidth}, {true, RecordDwordType, eightBytes, 2}, false},
        {"option unread", {true, RecordBinaryType, full.data(), PathWidth}, {false, 0, nullptr, 0}, false},
    };
    strcpy(SetupScript.InstallBasePath, "C:\\Program Files\\Lumenfield\\");
    strcpy(SetupScript.MUSTMAKEFOLDER, "Arcadia");
    for (const Case& c : cases) {
        SetupScript.IsInstalled = c.Installed ? 0 : 1;
        SetupScript.InstallOption = 0x38;
        ApplyInstallRecord(c.Folder, c.Option);
        EXPECT_EQ(c.Installed ? 1 : 0, SetupScript.IsInstalled) << c.What;
        EXPECT_EQ(c.Installed ? 8u : 0u, SetupScript.InstallOption) << c.What;
        EXPECT_STREQ(!c.Installed                   ? "C:\\Program Files\\Lumenfield\\Arcadia"
                     : c.Folder.Length == PathWidth ? "D:\\Games\\Arcadia"
                                                    : "D:\\G",
                     SetupScript.InstallFolder)
            << c.What;
    }
    memset(SetupScript.InstallFolder, 0, sizeof SetupScript.InstallFolder);
    SetupScript.IsInstalled = 0;
    SetupScript.InstallOption = 0;
}

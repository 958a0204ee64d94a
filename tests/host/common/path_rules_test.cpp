#include "common/path_rules.h"

#include <gtest/gtest.h>

TEST(PathRules, ListedNamesMustStayInsideTheirFolder)
{
    for (const char* good : {"Game.exe", "data\\bgm.dat", "data/voice/a.vce", "a..b\\c", "...x",
                             "ソ\\x.dat", "data\\", ".hidden", "a\\.\\b"})
        EXPECT_TRUE(IsContainedRelativePath(good)) << good;
    for (const char* bad : {"", "..", "..\\x", "data\\..\\..\\x", "x\\..", "a/../b", "\\Windows\\x",
                            "/etc", "C:\\x", "C:x", "data\\c:x", ".. \\x", ". .\\x", "..."})
        EXPECT_FALSE(IsContainedRelativePath(bad)) << bad;
}

TEST(PathRules, TheScriptsOwnFolderLevelsStayBelowTheirParent)
{
    for (const char* good : {"", "TestGame", "Maker\\", "Maker\\Game", "a..b", "ソ\\表", ".x"})
        EXPECT_TRUE(IsPlainFolderPath(good)) << good;
    for (const char* bad : {".", "..", "..\\Outside", "..\\..\\windows\\", "a\\.\\b", "a\\..",
                            ". .", "\\Windows", "/x", "C:\\x", "C:", "a\\\\b", "\\", "a\\\\"})
        EXPECT_FALSE(IsPlainFolderPath(bad)) << bad;
}

TEST(PathRules, AnInstallRecordBelongsUnderSoftware)
{
    for (const char* good : {"Software\\Maker\\Game", "SOFTWARE\\x", "software\\x"})
        EXPECT_TRUE(IsSoftwareSubkey(good)) << good;
    for (const char* bad : {"Environment", "Software", "Software\\", "Software\\\\x", "Softwarex\\y",
                            "Control Panel\\Desktop", ""})
        EXPECT_FALSE(IsSoftwareSubkey(bad)) << bad;
}

TEST(PathRules, PatternsAndFolderParts)
{
    EXPECT_TRUE(IsPattern("data\\*.vce"));
    EXPECT_TRUE(IsPattern("a?.sav"));
    EXPECT_FALSE(IsPattern("data\\bgm.dat"));
    char folder[16];
    EXPECT_TRUE(FolderPartOf("data\\voice\\*.vce", folder, sizeof folder));
    EXPECT_STREQ("data\\voice", folder);
    EXPECT_TRUE(FolderPartOf("*.sav", folder, sizeof folder));
    EXPECT_STREQ("", folder);
    EXPECT_TRUE(FolderPartOf("ソ*.sav", folder, sizeof folder));
    EXPECT_STREQ("", folder);
    EXPECT_FALSE(FolderPartOf("a-very-long-folder\\x", folder, sizeof folder));
}

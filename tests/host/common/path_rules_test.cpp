#include "common/path_rules.h"

#include <gtest/gtest.h>

TEST(PathRules, ListedNamesMustStayInsideTheirFolder)
{
    for (const char* good : {"Game.exe", "data\\bgm.dat", "data/voice/a.vce", "a..b\\c", "...x",
                             "ソ\\x.dat", "data\\", ".hidden", "a\\.\\b"})
        EXPECT_TRUE(IsContainedRelativePath(good)) << good;
    for (const char* bad : {"", "..", "..\\x", "data\\..\\..\\x", "x\\..", "a/../b", "\\Windows\\x",
                            "/etc", "C:\\x", "C:x", "data\\c:x", ".. \\x", ". .\\x", "...",
                            "\xFD\\..\\x"})
        EXPECT_FALSE(IsContainedRelativePath(bad)) << bad;
}

TEST(PathRules, TheScriptsOwnFolderLevelsStayBelowTheirParent)
{
    for (const char* good : {"", "TestGame", "Maker\\", "Maker\\Game", "a..b", "ソ\\表", ".x"})
        EXPECT_TRUE(IsPlainFolderPath(good)) << good;
    for (const char* bad : {".", "..", "..\\Outside", "..\\..\\windows\\", "a\\.\\b", "a\\..",
                            ". .", "\\Windows", "/x", "C:\\x", "C:", "a\\\\b", "\\", "a\\\\",
                            "\xFD\\.."})
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

TEST(PathRules, APatternMatchesLongNamesByTheScriptsOwnRule)
{
    struct Case {
        const char* Pattern;
        const char* Name;
        bool Matches;
    };
    const Case cases[] = {
        {"*.sav", "slot1.sav", true},      {"*.sav", "SLOT1.SAV", true},
        {"*.sav", "memo.save", false},     {"*.sav", "slot1.savold", false},
        {"*.sav", "MEMO~1.SAV", true},     {"slot?.sav", "slot1.sav", true},
        {"slot?.sav", "slot10.sav", false}, {"slot?.sav", "slot.sav", false},
        {"?.sav", "ソ.sav", true},         {"*", "anything", true},
        {"*.*", "README", true},           {"*.*", "a.b.c", true},
        {"a*.*", "abc", true},             {"*.vce", ".vce", true},
        {"*a*a", "aaa", true},             {"*a*a", "ab", false},
        {"ソ*", "ソフト", true},           {"ソ?", "ソ表", true},
        {"*\x5C", "\x83\x5C", false},   {"表.txt", "表.TXT", true},
        {"*.sav", "", false},              {"", "x", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.Matches, MatchesNamePattern(c.Pattern, c.Name)) << c.Pattern << " " << c.Name;
    EXPECT_TRUE(ListedPatternNames("data\\voice\\*.vce", "a01.vce"));
    EXPECT_FALSE(ListedPatternNames("data\\voice\\*.vce", "a01.vceold"));
    EXPECT_FALSE(ListedPatternNames("*.sav", ""));
}

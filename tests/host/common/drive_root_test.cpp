#include "common/drive_root.h"

#include <gtest/gtest.h>

#include <cstring>

TEST(DriveLetters, LettersOfEitherCaseGiveTheSameNumber)
{
    EXPECT_EQ(1, DriveNumberFromLetter('A'));
    EXPECT_EQ(5, DriveNumberFromLetter('E'));
    EXPECT_EQ(5, DriveNumberFromLetter('e'));
    EXPECT_EQ(26, DriveNumberFromLetter('z'));
    // Anything else names no drive rather than a number outside 1..26.
    EXPECT_EQ(0, DriveNumberFromLetter('1'));
    EXPECT_EQ(0, DriveNumberFromLetter('['));
    EXPECT_EQ(0, DriveNumberFromLetter('\0'));
}

TEST(DriveLetters, RootPathsAreLetterColonBackslash)
{
    char root[4];
    ASSERT_TRUE(FormatDriveRoot(5, root, sizeof root));
    EXPECT_STREQ("E:\\", root);
    ASSERT_TRUE(FormatDriveRoot(26, root, sizeof root));
    EXPECT_STREQ("Z:\\", root);
    EXPECT_FALSE(FormatDriveRoot(0, root, sizeof root));
    EXPECT_STREQ("", root);
    EXPECT_FALSE(FormatDriveRoot(27, root, sizeof root));
    EXPECT_FALSE(FormatDriveRoot(5, root, 3));
}

TEST(DriveLetters, ARootKeepsItsBackslashAndOnlyWholePathsAreAbsolute)
{
    const struct {
        const char* Path;
        const char* Cut;  // after CutTrailingBackslashKeepRoot
        bool Root;
        bool Absolute;
    } cases[] = {
        {"C:\\", "C:\\", true, true},
        {"d:/", "d:/", true, true},
        {"C:\\Games\\", "C:\\Games", false, true},
        {"C:\\Games", "C:\\Games", false, true},
        {"\\\\server\\share\\", "\\\\server\\share", false, true},
        {"C:", "C:", false, false},
        {"C:Games", "C:Games", false, false},
        {"\\Games\\", "\\Games", false, false},
        {"\\\\", "\\", false, false},
        {"Games", "Games", false, false},
        {"", "", false, false},
    };
    for (const auto& c : cases) {
        char path[32];
        strcpy(path, c.Path);
        CutTrailingBackslashKeepRoot(path);
        EXPECT_STREQ(c.Cut, path) << c.Path;
        EXPECT_EQ(c.Root, IsDriveRootPath(c.Path)) << c.Path;
        EXPECT_EQ(c.Absolute, IsAbsoluteFolderPath(c.Path)) << c.Path;
    }
}

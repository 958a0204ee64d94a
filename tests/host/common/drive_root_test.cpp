#include "common/drive_root.h"

#include <gtest/gtest.h>

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

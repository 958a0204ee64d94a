#include "install/install_sizes.h"
#include "install/options_text.h"
#include "install_model_fixture.h"

#include <string>

using SizeSums = InstallModelTest;

TEST_F(SizeSums, CountOnlyFilesSharingABitWithTheMask)
{
    ListFile(0, 0, "a", 100, 0x0C);
    ListFile(0, 1, "b", 20, 0x08);
    ListFile(0, 2, "c", 3, 0x04);
    EXPECT_EQ(123u, SumFileSizes(0, 0x0C));
    EXPECT_EQ(120u, SumFileSizes(0, 0x08));
    EXPECT_EQ(103u, SumFileSizes(0, 0x04));
    EXPECT_EQ(0u, SumFileSizes(0, 0x01));
    // The desktop bit is just one more bit of the word.
    EXPECT_EQ(103u, SumFileSizes(0, 0x24));
}

TEST_F(SizeSums, AllDiscsStopAtTheFirstDiscWithoutFilesAndAListAtItsFirstEmptyEntry)
{
    ListFile(0, 0, "a", 1, 8);
    ListFile(0, 1, "", 1000, 8);  // ends disc 1
    ListFile(0, 2, "hidden", 1000, 8);
    ListFile(1, 0, "b", 10, 8);
    ListFile(3, 0, "after a gap", 5000, 8);
    EXPECT_EQ(11u, SumFileSizes(AllDiscs, 8));
    EXPECT_EQ(5000u, SumFileSizes(3, 8));
    EXPECT_EQ(0u, SumFileSizes(10, 8));
    EXPECT_EQ(0u, SumFileSizes(-2, 8));
}

TEST_F(SizeSums, ASumPassesFourGigabytesWithoutWrapping)
{
    for (int i = 0; i < 3; ++i)
        ListFile(0, i, "big", 0xFFFFFFFFu, 8);
    EXPECT_EQ(3ull * 0xFFFFFFFFull, SumFileSizes(AllDiscs, 8));
}

TEST(FormatDecimal, WritesDigitsWithoutLeadingZerosAndWithoutATerminator)
{
    char buffer[12];
    memset(buffer, 0, sizeof buffer);
    EXPECT_EQ(1, FormatDecimal(0, buffer));
    EXPECT_EQ(std::string(), buffer);
    EXPECT_EQ(1, FormatDecimal(1005, buffer));
    EXPECT_EQ(std::string("1005"), buffer);
    memset(buffer, 'x', sizeof buffer);
    FormatDecimal(4294967295u, buffer);
    EXPECT_EQ(std::string("4294967295xx"), std::string(buffer, 12));
    memset(buffer, 0, sizeof buffer);
    FormatDecimal(1000000000u, buffer);
    EXPECT_EQ(std::string("1000000000"), buffer);
}

TEST(OptionTexts, SizesAreRoundedUpAndAnExactMegabyteGainsOne)
{
    char label[260];
    ComposeOptionLabel(label, sizeof label, "Full", 0);
    EXPECT_EQ(std::string("Full ( 1MB)"), label);
    ComposeOptionLabel(label, sizeof label, "Full", 1048576);
    EXPECT_EQ(std::string("Full ( 2MB)"), label);
    ComposeOptionLabel(label, sizeof label, "Full", 1048575);
    EXPECT_EQ(std::string("Full ( 1MB)"), label);
    ComposeOptionLabel(label, sizeof label, "Full", 18874368ull + 5);
    EXPECT_EQ(std::string("Full ( 19MB)"), label);
    // Only the low 32 bits of the figure are shown.
    ComposeOptionLabel(label, sizeof label, "Huge", (1ull << 52));
    EXPECT_EQ(std::string("Huge ( 1MB)"), label);
}

TEST(OptionTexts, CaptionAndHint)
{
    char text[260];
    ComposeOptionsCaption(text, sizeof text, "Game");
    EXPECT_EQ(std::string("Game のインストール設定"), text);
    ComposeFolderHint(text, sizeof text, "Arcadia");
    EXPECT_EQ(std::string("（指定場所に Arcadia フォルダを作成し、そこにインストールします。）"), text);
}

TEST(ChosenFolder, DrivePartIsALetterAndAColon)
{
    char drive[260];
    DrivePartOf("C:\\Games", drive, sizeof drive);
    EXPECT_EQ(std::string("C:"), drive);
    DrivePartOf("d:", drive, sizeof drive);
    EXPECT_EQ(std::string("d:"), drive);
    DrivePartOf("\\\\server\\share\\games", drive, sizeof drive);
    EXPECT_EQ(std::string(), drive);
    DrivePartOf("", drive, sizeof drive);
    EXPECT_EQ(std::string(), drive);
}

TEST(ChosenFolder, ADriveRootLosesItsBackslashAndTheFolderIsMadeBelowIt)
{
    char base[PathWidth] = "C:\\";
    char folder[PathWidth];
    ASSERT_TRUE(ComposeInstallFolder(base, "Arcadia", folder, sizeof folder));
    EXPECT_EQ(std::string("C:"), base);
    EXPECT_EQ(std::string("C:\\Arcadia"), folder);

    // The katakana so (83 5C) at the end is no backslash to cut.
    char kana[PathWidth] = "C:\\\x83\x5C";
    ASSERT_TRUE(ComposeInstallFolder(kana, "G", folder, sizeof folder));
    EXPECT_EQ(std::string("C:\\\x83\x5C\\G"), folder);
}

TEST(ChosenFolder, AFolderThatWouldNotFitIsRefusedRatherThanCut)
{
    char base[PathWidth];
    const std::string longBase = "C:\\" + std::string(250, 'a');
    CopyText(base, longBase.c_str());
    char folder[PathWidth];
    EXPECT_FALSE(ComposeInstallFolder(base, "Arcadia", folder, sizeof folder));
}

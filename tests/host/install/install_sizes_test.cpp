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

TEST_F(SizeSums, AllDiscsAreOneToDiscnumPastDiscsWithoutFilesAndAListEndsAtItsFirstEmptyName)
{
    SetupScript.DISCNUM = 4;
    ListFile(0, 0, "a", 1, 8);
    ListFile(0, 1, "", 1000, 8);  // ends disc 1
    ListFile(0, 2, "hidden", 1000, 8);
    ListFile(2, 0, "after a gap", 10, 8);
    ListFile(4, 0, "beyond DISCNUM", 5000, 8);
    EXPECT_EQ(11u, SumFileSizes(AllDiscs, 8));
    EXPECT_EQ(5000u, SumFileSizes(4, 8));
    EXPECT_EQ(0u, SumFileSizes(10, 8));
    EXPECT_EQ(0u, SumFileSizes(-2, 8));
    // A DISCNUM beyond the model's ten discs names no more of them.
    SetupScript.DISCNUM = 0xFFFFFFFFu;
    ListFile(9, 0, "tenth", 100000, 8);
    EXPECT_EQ(105011u, SumFileSizes(AllDiscs, 8));
}

TEST_F(SizeSums, SumsAndMegabytesAre64BitAndHeldAtTheTopInsteadOfWrapping)
{
    SetupScript.DISCNUM = 2;
    ListFile(0, 0, "a", 0xFFFFFFFFull, 8);
    ListFile(0, 1, "b", 5000000000ull, 8);
    ListFile(1, 0, "c", 1, 8);
    EXPECT_EQ(0xFFFFFFFFull + 5000000000ull + 1, SumFileSizes(AllDiscs, 8));
    ListFile(1, 1, "d", UINT64_MAX - 5, 8);
    EXPECT_EQ(UINT64_MAX, SumFileSizes(AllDiscs, 8));
    EXPECT_EQ(UINT64_MAX - 4, SumFileSizes(1, 8));

    const struct {
        uint64_t Bytes;
        const char* Label;
    } cases[] = {
        {0, "Full ( 1MB)"},
        {1048575, "Full ( 1MB)"},
        {1048576, "Full ( 2MB)"},  // an exact megabyte gains one
        {18874368ull + 5, "Full ( 19MB)"},
        {5000000000ull, "Full ( 4769MB)"},
        {1ull << 52, "Full ( 4294967297MB)"},
        {UINT64_MAX, "Full ( 17592186044416MB)"},
    };
    for (const auto& c : cases) {
        char label[260];
        ComposeOptionLabel(label, sizeof label, "Full", c.Bytes);
        EXPECT_EQ(std::string(c.Label), label) << c.Bytes;
    }
}

TEST(FormatDecimal, WritesDigitsWithoutLeadingZerosAndWithoutATerminator)
{
    char buffer[24];
    memset(buffer, 0, sizeof buffer);
    EXPECT_EQ(1, FormatDecimal(0, buffer));
    EXPECT_EQ(std::string(), buffer);
    EXPECT_EQ(1, FormatDecimal(1005, buffer));
    EXPECT_EQ(std::string("1005"), buffer);
    memset(buffer, 'x', sizeof buffer);
    FormatDecimal(4294967295u, buffer);
    EXPECT_EQ(std::string("4294967295xx"), std::string(buffer, 12));
    memset(buffer, 0, sizeof buffer);
    FormatDecimal(UINT64_MAX, buffer);
    EXPECT_EQ(std::string("18446744073709551615"), buffer);
    memset(buffer, 0, sizeof buffer);
    FormatDecimal(10000000000000000000ull, buffer);
    EXPECT_EQ(std::string("10000000000000000000"), buffer);
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

#include "install/install_flow.h"
#include "install_model_fixture.h"

using NextDisc = InstallModelTest;

TEST_F(NextDisc, DiscsWithoutFilesOfTheOptionAreSkippedAndTheLastLeadsToTheFinish)
{
    SetupScript.DISCNUM = 3;
    SetupScript.InstallOption = 4 | DesktopShortcutBit;
    ListFile(0, 0, "a", 10, 0x0C);
    ListFile(1, 0, "voice", 10, 0x08);
    ListFile(2, 0, "empty", 0, 0x04);  // listed, but 0 bytes in all
    EXPECT_EQ(NextDiscCopy, DecideNextDisc(0));
    EXPECT_EQ(NextDiscSkip, DecideNextDisc(1));
    EXPECT_EQ(NextDiscSkip, DecideNextDisc(2));
    EXPECT_EQ(NextDiscFinish, DecideNextDisc(3));
}

TEST_F(NextDisc, ADiscCountBeyondTheModelEndsAfterItsTenDiscs)
{
    SetupScript.DISCNUM = 0xFFFFFFFFu;
    SetupScript.InstallOption = 8;
    EXPECT_EQ(NextDiscSkip, DecideNextDisc(9));
    EXPECT_EQ(NextDiscFinish, DecideNextDisc(10));
    SetupScript.DISCNUM = 0;
    EXPECT_EQ(NextDiscFinish, DecideNextDisc(0));
}

TEST(TickProgress, PartsPerThousandOfReadAndWrittenBytesNeverBeyond1000)
{
    int value = -1;
    ASSERT_TRUE(TickProgress(false, 0, 0, 2000, &value));
    EXPECT_EQ(0, value);
    ASSERT_TRUE(TickProgress(false, 1000, 999, 2000, &value));
    EXPECT_EQ(999, value);
    // Files larger than their listed sizes.
    ASSERT_TRUE(TickProgress(false, 5000, 5000, 2000, &value));
    EXPECT_EQ(1000, value);
    // 64-bit all the way: 3 TB of each.
    ASSERT_TRUE(TickProgress(false, 3ull << 40, 3ull << 40, 12ull << 40, &value));
    EXPECT_EQ(500, value);
    // Listed sizes near 2^64: neither the total nor the share wraps.
    const uint64_t total = ProgressTotalOf(UINT64_MAX / 2 + 7);
    EXPECT_EQ(UINT64_MAX, total);
    EXPECT_EQ(2000u, ProgressTotalOf(1000));
    ASSERT_TRUE(TickProgress(false, UINT64_MAX / 4, UINT64_MAX / 4, total, &value));
    EXPECT_EQ(499, value);
    ASSERT_TRUE(TickProgress(false, UINT64_MAX, UINT64_MAX, total, &value));
    EXPECT_EQ(1000, value);
    ASSERT_TRUE(TickProgress(false, 5ull << 30, 0, 10ull << 30, &value));
    EXPECT_EQ(500, value);
    value = -1;
    EXPECT_FALSE(TickProgress(false, 10, 10, 0, &value));
    EXPECT_EQ(-1, value);
    ASSERT_TRUE(TickProgress(true, 0, 0, 0, &value));
    EXPECT_EQ(1020, value);
}

TEST(InstallInput, EscapeAsksWhileCopyingAndClosesTheFinishScreen)
{
    EXPECT_EQ(InputAskAbort, DecideInput(InputKey, KeyEscape, false));
    EXPECT_EQ(InputIgnored, DecideInput(InputKey, 'A', false));
    EXPECT_EQ(InputCloseWindow, DecideInput(InputKey, KeyEscape, true));
    EXPECT_EQ(InputCloseWindow, DecideInput(InputKey, 'A', true));
    // Alt+F4 always asks, even on the finish screen; other system keys do nothing.
    EXPECT_EQ(InputAskAbort, DecideInput(InputSystemKey, KeyF4, false));
    EXPECT_EQ(InputAskAbort, DecideInput(InputSystemKey, KeyF4, true));
    EXPECT_EQ(InputIgnored, DecideInput(InputSystemKey, 'A', true));
    EXPECT_EQ(InputIgnored, DecideInput(InputButtonUp, 0, false));
    EXPECT_EQ(InputCloseWindow, DecideInput(InputButtonUp, 0, true));
}

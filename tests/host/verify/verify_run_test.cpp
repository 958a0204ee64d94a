#include "verify/verify_run.h"

#include "support/md5_hex.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

const char EmptyMd5[] = "d41d8cd98f00b204e9800998ecf8427e";

// What the dialog's controls would show, recorded.
struct FakeView {
    std::vector<std::string> Names;
    std::vector<std::string> Status;
    std::vector<uint32_t> Ranges;
    std::vector<uint32_t> Positions;
    int Opens = 0;

    static void Show(void* c, int item, const char* status)
    {
        auto* self = static_cast<FakeView*>(c);
        self->Status.resize(self->Names.size());
        self->Status.at(item) = status;
    }
    static void Start(void* c, uint32_t range)
    {
        auto* self = static_cast<FakeView*>(c);
        self->Ranges.push_back(range);
        self->Positions.clear();
    }
    static void Progress(void* c, uint32_t position)
    {
        static_cast<FakeView*>(c)->Positions.push_back(position);
    }
    VerifyView View() { return {this, Show, Start, Progress}; }
};

void ClearModel()
{
    for (auto& disc : SetupScript.DiscFiles) {
        for (auto& entry : disc) {
            free(entry.Name);
            entry = FileEntry{};
        }
    }
    SetupScript.DISCNUM = 0;
}

void SetEntry(int disc, int entry, const char* name, const std::string& digest)
{
    FileEntry& file = SetupScript.DiscFiles[disc][entry];
    file.Name = static_cast<char*>(calloc(1, PathWidth));
    snprintf(file.Name, PathWidth, "%s", name);
    snprintf(file.Digest, sizeof file.Digest, "%s", digest.c_str());
}

class VerifyRunTest : public testing::Test {
protected:
    void SetUp() override
    {
        ClearModel();
        VerifyRun.Items = Items.get();
    }
    void TearDown() override
    {
        AbandonVerifyRun(&VerifyRun);
        ClearModel();
    }

    // Lists the files as the dialog does.
    void Collect(FakeView& view)
    {
        view.Names.clear();
        CollectVerifyItems(Items.get(),
            [](void* c, int item, const char* name) {
                static_cast<FakeView*>(c)->Names.resize(item + 1);
                static_cast<FakeView*>(c)->Names[item] = name;
            },
            &view);
    }
    // Lists the files and runs every step to the end. Returns the number of
    // steps taken.
    int RunAll(FakeView& view)
    {
        Collect(view);
        ResetVerifyState(&VerifyRun);
        uint8_t piece[VerifyPieceSize];
        int steps = 0;
        while (VerifyStep(&VerifyRun, view.View(), Dir.Path.c_str(), piece))
            ++steps;
        EXPECT_EQ(nullptr, VerifyRun.OpenFile);
        return steps;
    }

    TempDir Dir;
    std::unique_ptr<VerifyItems> Items{new VerifyItems()};
    VerifyState VerifyRun{};
};

}  // namespace

TEST(VerifyRules, DigestsCompareWithoutRegardToCase)
{
    EXPECT_TRUE(DigestMatches(EmptyMd5, EmptyMd5));
    EXPECT_TRUE(DigestMatches(EmptyMd5, "D41D8CD98F00B204E9800998ECF8427E"));
    EXPECT_TRUE(DigestMatches(EmptyMd5, "d41D8cd98F00b204e9800998ecf8427E"));
    EXPECT_FALSE(DigestMatches(EmptyMd5, "d41d8cd98f00b204e9800998ecf8427f"));
    EXPECT_FALSE(DigestMatches(EmptyMd5, "d41d8cd98f00b204e9800998ecf8427"));
    EXPECT_FALSE(DigestMatches(EmptyMd5, "d41d8cd98f00b204e9800998ecf8427e0"));
    EXPECT_FALSE(DigestMatches(EmptyMd5, ""));
}

TEST(VerifyRules, ProgressRangeIsThePieceCountUpTo16Bits)
{
    const uint64_t piece = VerifyPieceSize;
    EXPECT_EQ(0u, ProgressRange(0));
    EXPECT_EQ(1u, ProgressRange(1));
    EXPECT_EQ(1u, ProgressRange(piece));
    EXPECT_EQ(2u, ProgressRange(piece + 1));
    EXPECT_EQ(65535u, ProgressRange(65535u * piece));
    EXPECT_EQ(65535u, ProgressRange(65536u * piece));
    EXPECT_EQ(65535u, ProgressRange(UINT64_MAX));
    EXPECT_EQ(7u, ProgressPosition(7, 100 * piece));
    // Files past 4 GB: the position keeps its share of the range.
    const uint64_t huge = (5ull << 30) + 3;
    EXPECT_EQ(65535u, ProgressPosition(huge / piece + 1, huge));
    EXPECT_EQ(32767u, ProgressPosition((huge / piece + 1) / 2, huge));
    EXPECT_EQ(65535u, ProgressPosition(UINT64_MAX / piece + 1, UINT64_MAX));
}

TEST(VerifyRules, ALargeFileStillFillsTheBarStepByStep)
{
    const uint64_t piece = VerifyPieceSize;
    for (const uint64_t size : {uint64_t{65536} * piece, uint64_t{0xFFFFFFFF}, 70000 * piece + 5, (uint64_t{5} << 30) + 3}) {
        const uint64_t pieces = (size + piece - 1) / piece;
        uint32_t last = 0;
        for (uint64_t done = 0; done <= pieces; ++done) {
            const uint32_t position = ProgressPosition(done, size);
            ASSERT_GE(position, last) << size << " " << done;
            ASSERT_LE(position - last, 1u);
            last = position;
        }
        EXPECT_EQ(0u, ProgressPosition(0, size));
        EXPECT_EQ(ProgressRange(size), last) << size;
    }
}

TEST_F(VerifyRunTest, ItemsAreTheFilesWithADigestOfEveryDiscUpToDiscnum)
{
    SetEntry(0, 0, "a.dat", "11");
    SetEntry(0, 1, "nodigest.dat", "");
    SetEntry(0, 2, "b.dat", "22");
    SetEntry(2, 0, "c.dat", "33");  // disc 2 (index 1) lists nothing
    SetEntry(3, 0, "beyond.dat", "44");
    SetupScript.DISCNUM = 3;
    std::vector<std::string> names;
    const int count = CollectVerifyItems(Items.get(),
        [](void* c, int item, const char* name) {
            auto* list = static_cast<std::vector<std::string>*>(c);
            EXPECT_EQ(static_cast<int>(list->size()), item);
            list->push_back(name);
        },
        &names);
    EXPECT_EQ(3, count);
    EXPECT_EQ((std::vector<std::string>{"a.dat", "b.dat", "c.dat"}), names);
    EXPECT_STREQ("22", Items->Digest[1]);
    EXPECT_STREQ("33", Items->Digest[2]);
}

TEST_F(VerifyRunTest, FilesOfAnOptionThatWasNotInstalledAreNotListed)
{
    SetEntry(0, 0, "both.dat", "11");
    SetEntry(0, 1, "full.dat", "22");
    SetEntry(0, 2, "minimum.dat", "33");
    SetupScript.DiscFiles[0][0].OptionMask = 0x0C;
    SetupScript.DiscFiles[0][1].OptionMask = 0x08;
    SetupScript.DiscFiles[0][2].OptionMask = 0x04;
    SetupScript.DISCNUM = 1;
    auto collect = [this] {
        std::vector<std::string> names;
        CollectVerifyItems(Items.get(),
            [](void* c, int, const char* name) {
                static_cast<std::vector<std::string>*>(c)->push_back(name);
            },
            &names);
        return names;
    };
    SetupScript.InstallOption = 0x04 | DesktopShortcutBit;
    EXPECT_EQ((std::vector<std::string>{"both.dat", "minimum.dat"}), collect());
    EXPECT_STREQ("33", Items->Digest[1]);
    SetupScript.InstallOption = 0x08;
    EXPECT_EQ((std::vector<std::string>{"both.dat", "full.dat"}), collect());
    // No option word to go by: every file with a digest.
    SetupScript.InstallOption = 0;
    EXPECT_EQ((std::vector<std::string>{"both.dat", "full.dat", "minimum.dat"}), collect());
}

TEST_F(VerifyRunTest, AnEmptyNameEndsItsDiscsListAndTheNamesComeFromTheItemTable)
{
    SetEntry(0, 0, "a.dat", "11");
    SetEntry(0, 1, "", "22");
    SetEntry(0, 2, "hidden.dat", "33");
    SetEntry(1, 0, "b.dat", "44");
    SetupScript.DISCNUM = 2;
    FakeView view;
    Collect(view);
    EXPECT_EQ((std::vector<std::string>{"a.dat", "b.dat"}), view.Names);
    EXPECT_EQ(2, Items->Count);
    EXPECT_STREQ("b.dat", Items->Name[1]);
    EXPECT_STREQ("44", Items->Digest[1]);
}

TEST_F(VerifyRunTest, DiscnumBeyondTheTableIsBounded)
{
    SetEntry(9, 0, "last.dat", "11");
    SetupScript.DISCNUM = 0xFFFFFFFF;
    int count = CollectVerifyItems(Items.get(), [](void*, int, const char*) {}, nullptr);
    EXPECT_EQ(1, count);
}

TEST_F(VerifyRunTest, VerdictsOfSoundChangedMissingAndUpperCaseFiles)
{
    const auto content = PatternBytes(20000, 7);
    WriteBytes(Dir / "good.dat", content);
    WriteBytes(Dir / "upper.dat", content);
    auto changed = content;
    changed[19999] ^= 1;
    WriteBytes(Dir / "changed.dat", changed);
    MakeFolder(Dir / "sub");
    WriteBytes(Dir / (std::string("sub") + PathSeparator() + "empty.dat"), {});
    SetEntry(0, 0, "good.dat", Md5Hex(content));
    SetEntry(0, 1, "changed.dat", Md5Hex(content));
    SetEntry(0, 2, "missing.dat", Md5Hex(content));
    SetEntry(0, 3, "upper.dat", UpperHex(Md5Hex(content)));
    SetEntry(0, 4, "sub\\empty.dat", EmptyMd5);
    SetupScript.DISCNUM = 1;
    FakeView view;
    RunAll(view);
    EXPECT_EQ((std::vector<std::string>{"OK", "NG - Different", "NG - Cannot Open", "OK", "OK"}),
              view.Status);
    EXPECT_EQ(2u, VerifyRun.ErrorCount);
    EXPECT_EQ(5, VerifyRun.CurrentItem);  // one past the last: no such item ended the run
}

TEST_F(VerifyRunTest, AFileOfOnePieceIsReadInOneAndOneByteMoreInTwoAndTheBarMovesPerPiece)
{
    WriteBytes(Dir / "exact.dat", PatternBytes(VerifyPieceSize, 1));
    WriteBytes(Dir / "onemore.dat", PatternBytes(VerifyPieceSize + 1, 2));
    WriteBytes(Dir / "empty.dat", {});
    SetEntry(0, 0, "exact.dat", Md5Hex(PatternBytes(VerifyPieceSize, 1)));
    SetupScript.DISCNUM = 1;
    FakeView view;
    // One open and one piece.
    EXPECT_EQ(2, RunAll(view));
    EXPECT_EQ((std::vector<uint32_t>{1}), view.Ranges);
    EXPECT_EQ((std::vector<uint32_t>{1}), view.Positions);

    ClearModel();
    SetEntry(0, 0, "onemore.dat", Md5Hex(PatternBytes(VerifyPieceSize + 1, 2)));
    SetupScript.DISCNUM = 1;
    FakeView two;
    EXPECT_EQ(3, RunAll(two));
    EXPECT_EQ((std::vector<uint32_t>{2}), two.Ranges);
    EXPECT_EQ((std::vector<uint32_t>{1, 2}), two.Positions);
    EXPECT_EQ("OK", two.Status[0]);

    ClearModel();
    SetEntry(0, 0, "empty.dat", EmptyMd5);
    SetupScript.DISCNUM = 1;
    FakeView none;
    // The empty file is read as one zero-length last piece; the bar stays at 0 of 0.
    EXPECT_EQ(2, RunAll(none));
    EXPECT_EQ((std::vector<uint32_t>{0}), none.Ranges);
    EXPECT_TRUE(none.Positions.empty());
    EXPECT_EQ("OK", none.Status[0]);
}

TEST_F(VerifyRunTest, NoItemsEndsTheRunAtOnceWithoutErrors)
{
    FakeView view;
    EXPECT_EQ(0, RunAll(view));
    EXPECT_EQ(0u, VerifyRun.ErrorCount);
}

TEST_F(VerifyRunTest, AStoppedRunClosesItsFile)
{
    WriteBytes(Dir / "big.dat", PatternBytes(5 * VerifyPieceSize, 3));
    SetEntry(0, 0, "big.dat", "x");
    SetupScript.DISCNUM = 1;
    FakeView view;
    Collect(view);
    ResetVerifyState(&VerifyRun);
    uint8_t piece[VerifyPieceSize];
    VerifyStep(&VerifyRun, view.View(), Dir.Path.c_str(), piece);
    VerifyStep(&VerifyRun, view.View(), Dir.Path.c_str(), piece);
    ASSERT_NE(nullptr, VerifyRun.OpenFile);
    EXPECT_EQ(VerifyPieceSize, VerifyRun.BytesDone);
    EXPECT_EQ("Now Checking...", view.Status[0]);
    AbandonVerifyRun(&VerifyRun);
    EXPECT_EQ(nullptr, VerifyRun.OpenFile);
}

TEST_F(VerifyRunTest, AFileThatShrinksWhileReadIsAReadFailure)
{
    WriteBytes(Dir / "shrinks.dat", PatternBytes(3 * VerifyPieceSize, 4));
    SetEntry(0, 0, "shrinks.dat", Md5Hex(PatternBytes(3 * VerifyPieceSize, 4)));
    SetupScript.DISCNUM = 1;
    FakeView view;
    Collect(view);
    ResetVerifyState(&VerifyRun);
    uint8_t piece[VerifyPieceSize];
    VerifyStep(&VerifyRun, view.View(), Dir.Path.c_str(), piece);
    WriteBytes(Dir / "shrinks.dat", PatternBytes(100, 4));
    while (VerifyStep(&VerifyRun, view.View(), Dir.Path.c_str(), piece)) {
    }
    EXPECT_EQ("NG - Read Failed", view.Status[0]);
    EXPECT_EQ(1u, VerifyRun.ErrorCount);
}

#include "shared/cli.h"
#include "shared/host_files.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace {

int RunPak(std::vector<std::string> args)
{
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(&a[0]);
    argv.push_back(nullptr);
    return RunPakCommand(static_cast<int>(args.size()), argv.data());
}

class PakCommandTest : public ::testing::Test {
protected:
    TempDir dir;
    ScopedCurrentDir cwd{dir.Path};
};

TEST_F(PakCommandTest, CreateListAndExtractRoundTrip)
{
    WriteText("Drubel.ini", "APPLITITLE = \"x\"\r\n");
    WriteBytes("TITLE.EPA", PatternBytes(5000, 3));
    ASSERT_EQ(ExitOk, RunPak({"pak", "create", "out.pak", "Drubel.ini", "TITLE.EPA"}));
    ASSERT_EQ(ExitOk, RunPak({"pak", "extract", "out.pak", "title.epa", "-o", "got.epa"}));
    EXPECT_EQ(ReadBytes("TITLE.EPA"), ReadBytes("got.epa"));
    EXPECT_EQ(ExitOk, RunPak({"pak", "list", "out.pak"}));
    EXPECT_EQ(ExitBadInput, RunPak({"pak", "extract", "out.pak", "NONE.EPA", "-o", "none"}));
    EXPECT_FALSE(FileExists("none"));
}

TEST_F(PakCommandTest, ExtractIgnoresALooseFileOfTheSameName)
{
    WriteText("A.TXT", "archived");
    ASSERT_EQ(ExitOk, RunPak({"pak", "create", "out.pak", "A.TXT"}));
    WriteText("A.TXT", "loose now");
    ASSERT_EQ(ExitOk, RunPak({"pak", "extract", "out.pak", "A.TXT", "-o", "got"}));
    const std::vector<uint8_t> got = ReadBytes("got");
    EXPECT_EQ("archived", std::string(got.begin(), got.end()));
}

TEST_F(PakCommandTest, BadInputLeavesNoArchive)
{
    WriteText("A.TXT", "a");
    WriteText("a.txt.copy", "b");
    EXPECT_EQ(ExitBadInput, RunPak({"pak", "create", "out.pak", "A.TXT", "MISSING.TXT"}));
    EXPECT_FALSE(FileExists("out.pak"));
    const std::string longName(32, 'L');
    WriteText(longName, "x");
    EXPECT_EQ(ExitBadInput, RunPak({"pak", "create", "out.pak", longName}));
    EXPECT_FALSE(FileExists("out.pak"));
    MakeFolder("sub");
    WriteText("sub/a.txt", "x");
    EXPECT_EQ(ExitBadInput, RunPak({"pak", "create", "out.pak", "A.TXT", "sub/a.txt"}));
    EXPECT_FALSE(FileExists("out.pak"));
    EXPECT_EQ(ExitOk, RunPak({"pak", "create", "--short-names", "out.pak", "A.TXT"}));
}

TEST_F(PakCommandTest, MembersBeyondTheFormats32BitSizesAreRefusedBeforeTheyAreRead)
{
    // Sparse files: sizes without disk.
    WriteText("A.TXT", "a");
    for (const auto& sparse : {std::make_pair("HUGE.BIN", 4ll << 30), std::make_pair("HALF1.BIN", 3ll << 30),
                               std::make_pair("HALF2.BIN", 1ll << 30)}) {
        FILE* f = HostOpen(sparse.first, "wb");
        ASSERT_NE(nullptr, f);
        ASSERT_EQ(0, fseeko64(f, sparse.second - 1, SEEK_SET));
        fputc(0, f);
        fclose(f);
    }
    const struct {
        std::vector<std::string> Members;
        const char* Error;
    } cases[] = {
        {{"A.TXT", "HUGE.BIN"},
         "drubelkit pak: member HUGE.BIN is 4294967296 bytes: an archive member holds at most "
         "4294967295 bytes\n"},
        {{"HALF1.BIN", "A.TXT", "HALF2.BIN"},
         "drubelkit pak: the archive would pass 4294967295 bytes with member HALF2.BIN: its sizes "
         "and offsets are 32-bit\n"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = {"pak", "create", "out.pak"};
        args.insert(args.end(), c.Members.begin(), c.Members.end());
        testing::internal::CaptureStderr();
        EXPECT_EQ(ExitBadInput, RunPak(args));
        EXPECT_EQ(c.Error, testing::internal::GetCapturedStderr());
        EXPECT_FALSE(FileExists("out.pak"));
    }
}

TEST_F(PakCommandTest, UsageErrorsAndHelp)
{
    EXPECT_EQ(ExitUsage, RunPak({"pak"}));
    EXPECT_EQ(ExitUsage, RunPak({"pak", "frobnicate"}));
    EXPECT_EQ(ExitUsage, RunPak({"pak", "create", "only.pak"}));
    EXPECT_EQ(ExitOk, RunPak({"pak", "--help"}));
    EXPECT_EQ(ExitOk, RunPak({"pak", "create", "--help"}));
    EXPECT_EQ(ExitBadInput, RunPak({"pak", "list", "missing.pak"}));
}

}  // namespace

#include "cli.h"
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

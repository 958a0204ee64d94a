#include "common/run_switches.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct SwitchCase {
    const char* Line;
    bool Ok;
    char Letter;
    std::string Summary;  // the switches as FormatRunSwitches writes them, or the word not understood
};

}  // namespace

TEST(RunSwitches, LinesAreReadAsTheirLetterAndSwitches)
{
    const std::vector<SwitchCase> cases = {
        {"", true, '\0', ""},
        {"t", true, 't', ""},
        {"r", true, 'r', ""},
        {"u", true, 'u', ""},
        {"   t", true, 't', ""},
        {"tx", true, 't', ""},  // only the first character of a letter counts
        {"/VERYSILENT", true, '\0', "/VERYSILENT"},
        {"/verysilent /Dir=\"C:\\Games\" /OPTION=2 /LOG=\"C:\\setup.log\"", true, '\0',
         "/VERYSILENT /DIR=\"C:\\Games\" /OPTION=2 /LOG=\"C:\\setup.log\""},
        {"t /SILENT /NODESKTOP", true, 't', "/SILENT /NODESKTOP"},
        {"/UNINSTALL /SILENT /DELETESAVES", true, '\0', "/SILENT /UNINSTALL /DELETESAVES"},
        {"/SUPPRESSMSGBOXES /LOG", true, '\0', "/SUPPRESSMSGBOXES /LOG"},
        {"/REPAIR /VERYSILENT", true, '\0', "/VERYSILENT /REPAIR"},
        {"/DIR=C:\\Games", true, '\0', "/DIR=\"C:\\Games\""},
        {"/DIR=\"C:\\My Games\\ゲーム\"", true, '\0', "/DIR=\"C:\\My Games\\ゲーム\""},
        // A trail byte 0x5C or a blank-looking byte inside a name is not a separator.
        {"/DIR=\"C:\\表\"", true, '\0', "/DIR=\"C:\\表\""},
        {"/OPTION=4", false, '\0', "/OPTION=4"},
        {"/OPTION=0", false, '\0', "/OPTION=0"},
        {"/OPTION=", false, '\0', "/OPTION="},
        {"/DIR=", false, '\0', "/DIR="},
        {"/DIR=\"C:\\Games", false, '\0', "/DIR=\"C:\\Games"},
        {"/SILENT=1", false, '\0', "/SILENT=1"},
        {"/FAST", false, '\0', "/FAST"},
        // Words that are no switch are passed over, as they always were.
        {"/SILENT -x", true, '\0', "/SILENT"},
        {"t r", true, 't', ""},
    };
    for (const SwitchCase& c : cases) {
        SCOPED_TRACE(c.Line);
        char letter = '?';
        RunSwitches s;
        ASSERT_EQ(c.Ok, ParseRunArguments(c.Line, &letter, &s));
        EXPECT_EQ(c.Letter, letter);
        if (!c.Ok) {
            EXPECT_EQ(c.Summary, s.Bad);
            continue;
        }
        char out[600];
        ASSERT_TRUE(FormatRunSwitches(s, out, sizeof out));
        EXPECT_EQ(c.Summary, out);
        EXPECT_EQ(!c.Summary.empty(), s.Any);
        // What is written back reads the same.
        RunSwitches again;
        char none = '?';
        ASSERT_TRUE(ParseRunArguments(out, &none, &again));
        char twice[600];
        ASSERT_TRUE(FormatRunSwitches(again, twice, sizeof twice));
        EXPECT_STREQ(out, twice);
    }
}

TEST(RunSwitches, AFolderTooLongForThePathWidthIsRefused)
{
    const std::string line = "/DIR=\"C:\\" + std::string(SwitchPathWidth, 'a') + "\"";
    char letter;
    RunSwitches s;
    EXPECT_FALSE(ParseRunArguments(line.c_str(), &letter, &s));
}

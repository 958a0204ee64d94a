#include "common/setup_log.h"

#include <gtest/gtest.h>

#include <string>

namespace {
const LogTime When = {2026, 12, 9, 7, 5, 3, 42};
}

TEST(SetupLog, NamesCountUpAndLinesCarryTheirTimeInUtf8)
{
    char name[64];
    ASSERT_TRUE(FormatLogFileName(When, 7, name, sizeof name));
    EXPECT_STREQ("Drubel Setup Log 2026-12-09 #007.txt", name);
    EXPECT_FALSE(FormatLogFileName(When, 1000, name, sizeof name));

    struct Case {
        const char* Text;     // code page 932, as the program holds it
        const char* Utf8;     // what the file holds after the time
    };
    const Case cases[] = {
        {"copied C:\\Games\\a.dat", "copied C:\\Games\\a.dat"},
        {"インストール先: C:\\ゲーム\\表", u8"インストール先: C:\\ゲーム\\表"},
        {"two\r\nlines", "two  lines"},
        {"bad \xA0 byte", "bad ? byte"},
    };
    for (const Case& c : cases) {
        char line[256];
        const size_t n = FormatLogLine(When, c.Text, line, sizeof line);
        EXPECT_EQ("2026-12-09 07:05:03.042 " + std::string(c.Utf8) + "\r\n", std::string(line, n)) << c.Utf8;
    }
    // A short buffer cuts at a character and still ends the line.
    char shortLine[30];
    const size_t n = FormatLogLine(When, "ゲームゲームゲーム", shortLine, sizeof shortLine);
    EXPECT_EQ(std::string("2026-12-09 07:05:03.042 ") + u8"ゲ" + "\r\n", std::string(shortLine, n));
}

#include "common/box_answer.h"

TEST(SetupLog, AnUnaskedBoxTakesItsDefaultButton)
{
    struct Case {
        uint32_t Type;
        int Answer;
    };
    const Case cases[] = {
        {0x00, 1},          // MB_OK
        {0x01, 1},          // MB_OKCANCEL
        {0x101, 2},         // MB_OKCANCEL | MB_DEFBUTTON2
        {0x04, 6},          // MB_YESNO
        {0x104, 7},         // MB_YESNO | MB_DEFBUTTON2
        {0x203, 2},         // MB_YESNOCANCEL | MB_DEFBUTTON3
        {0x204, 6},         // MB_YESNO | MB_DEFBUTTON3: no third button
        {0x30 | 0x04, 6},   // an icon changes nothing
        {0x05, 4},          // MB_RETRYCANCEL
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.Answer, DefaultBoxAnswer(c.Type)) << std::hex << c.Type;
}

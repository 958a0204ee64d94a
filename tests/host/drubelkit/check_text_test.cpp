#include "shared/check_text.h"

#include <gtest/gtest.h>

namespace {

// Narrow literals of the tests are code page 932; u8 literals stay UTF-8.
TEST(CheckTextTest, ShiftJisBecomesUtf8)
{
    EXPECT_EQ(u8"星霜のアルカディア・DISC1", Cp932ToUtf8("星霜のアルカディア・DISC1"));
    EXPECT_EQ(u8"ソフト\\data", Cp932ToUtf8("ソフト\\data"));  // 83 5C is a katakana, then a real backslash
    EXPECT_EQ(u8"ｱｲ", Cp932ToUtf8("\xB1\xB2"));                // half-width katakana
    EXPECT_EQ("plain ASCII ~", Cp932ToUtf8("plain ASCII ~"));
}

TEST(CheckTextTest, BytesThatDoNotConvertAreSpelledOut)
{
    EXPECT_EQ("a\\xA0b",
        Cp932ToUtf8("a\xA0"
                    "b"));
    EXPECT_EQ("\\x80\\xFD\\xFF", Cp932ToUtf8("\x80\xFD\xFF"));
    // A lead byte at the very end, or before a byte that makes no pair.
    EXPECT_EQ("x\\x82", Cp932ToUtf8("x\x82"));
    EXPECT_EQ(std::string("\\x81\n"), Cp932ToUtf8("\x81\n"));
    EXPECT_EQ(std::string("\\x85") + u8"ア", Cp932ToUtf8("\x85\x83\x41"));
    EXPECT_EQ("ab", Cp932ToUtf8("abc", 2));
}

TEST(CheckTextTest, JsonStringsEscapeQuotesBackslashesAndControls)
{
    EXPECT_EQ("\"a\\\"b\\\\c\"", JsonString("a\"b\\c"));
    EXPECT_EQ("\"\\r\\n\\t\\u0001\"", JsonString("\r\n\t\x01"));
    EXPECT_EQ("\"\\\\xA0\"", JsonString(Cp932ToUtf8("\xA0")));
    EXPECT_EQ(std::string("\"") + u8"星" + "\"", JsonString(u8"星"));
}

}  // namespace

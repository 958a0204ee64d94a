#include "script/script_lexer.h"
#include "script/setup_model.h"

#include <gtest/gtest.h>

namespace {

uint32_t Number(const char* text, std::string* rest = nullptr, bool* digits = nullptr)
{
    const char* end;
    bool any;
    const uint32_t n = ReadNumber(text, &end, &any);
    if (rest != nullptr)
        *rest = end;
    if (digits != nullptr)
        *digits = any;
    return n;
}

uint32_t Value(const char* text, bool* known = nullptr)
{
    const char* end;
    bool k;
    const uint32_t v = ReadValue(text, &end, &k);
    if (known != nullptr)
        *known = k;
    return v;
}

uint32_t Signed(const char* text)
{
    const char* end;
    bool known;
    return ReadSignedValue(text, &end, &known);
}

TEST(ScriptLexerTest, NumbersAreDecimalOrHexAndWrap)
{
    std::string rest;
    bool digits;
    EXPECT_EQ(4096u, Number("  4096 0x10", &rest));
    EXPECT_EQ(" 0x10", rest);
    EXPECT_EQ(0x1Fu, Number("0x1f,", &rest));
    EXPECT_EQ(",", rest);
    EXPECT_EQ(0xABCu, Number("0XaBc"));
    EXPECT_EQ(0u, Number("abc", &rest, &digits));
    EXPECT_FALSE(digits);
    EXPECT_EQ("abc", rest);
    EXPECT_EQ(0u, Number("0xg", &rest, &digits));
    EXPECT_TRUE(digits);          // the 0 before the x
    EXPECT_EQ(0u, Number("-5"));  // plain numbers take no sign
    EXPECT_EQ(4294967295u, Number("4294967295"));
    EXPECT_EQ(0u, Number("4294967296"));  // wraps
    EXPECT_EQ(1u, Number("0x100000001"));
}

TEST(ScriptLexerTest, NamedValuesMatchCaseInsensitivelyAndLongestWins)
{
    EXPECT_EQ(13u, Value("DISC10"));
    EXPECT_EQ(4u, Value("disc1"));
    EXPECT_EQ(4u, Value("DISC11"));  // begins with DISC1, not with DISC10
    EXPECT_EQ(0x2000Au, Value("DIRECTION_RIGHTDOWN"));
    EXPECT_EQ(0x20002u, Value("direction_right"));
    EXPECT_EQ(0x20005u, Value("Direction_LeftUp"));
    EXPECT_EQ(0x80000001u, Value("POPUPMESSAGE"));
    EXPECT_EQ(0xFFFFFFFFu, Value("INFINITE"));
    EXPECT_EQ(101u, Value("TO_FINISH"));
    EXPECT_EQ(0x10001u, Value("STRETCH_DESKTOPX"));  // a name need only begin the text
    bool known;
    EXPECT_EQ(0u, Value("DISC", &known));
    EXPECT_FALSE(known);
    EXPECT_EQ(0u, Value("", &known));
    EXPECT_FALSE(known);
    EXPECT_EQ(12u, Value("12DISC1"));  // a leading digit makes it a number
}

TEST(ScriptLexerTest, SignedValuesNegateNumbersAndNames)
{
    EXPECT_EQ(static_cast<uint32_t>(-5), Signed("-5"));
    EXPECT_EQ(static_cast<uint32_t>(-5), Signed("  -  5"));
    EXPECT_EQ(1u, Signed("-INFINITE"));
    EXPECT_EQ(static_cast<uint32_t>(-16), Signed("-0x10"));
    EXPECT_EQ(0x10000u, Signed("normal"));
}

TEST(ScriptLexerTest, QuotedTextsStopAtCommaAndLineEnd)
{
    QuotedText t = ScanQuotedText("\"a b=c\" rest");
    EXPECT_EQ(QuoteClosed, t.End);
    EXPECT_EQ("a b=c", std::string(t.Begin, t.Length));
    EXPECT_EQ(" rest", std::string(t.After));

    t = ScanQuotedText("\"ab,cd\"");
    EXPECT_EQ(QuoteCutAtComma, t.End);
    EXPECT_EQ("ab", std::string(t.Begin, t.Length));
    EXPECT_EQ(",cd\"", std::string(t.After));

    t = ScanQuotedText("\"ab\r\n\"x\"");
    EXPECT_EQ(QuoteCutAtLineEnd, t.End);
    EXPECT_EQ("ab", std::string(t.Begin, t.Length));

    t = ScanQuotedText("\"");
    EXPECT_EQ(QuoteCutAtLineEnd, t.End);
    EXPECT_EQ(0u, t.Length);
}

TEST(ScriptLexerTest, KeysMatchInTableOrderAndCaseSensitively)
{
    EXPECT_EQ(KeyFileList, MatchScriptKey("FILELIST DISC1"));
    EXPECT_EQ(KeyFileSize, MatchScriptKey("FILESIZE DISC1"));
    EXPECT_EQ(KeyFileOption, MatchScriptKey("FILEOPTION DISC1"));
    EXPECT_EQ(KeyFile, MatchScriptKey("FILE = "));
    EXPECT_EQ(KeyFile, MatchScriptKey("FILENAME = "));
    EXPECT_EQ(KeyBrandFolder, MatchScriptKey("BRANDFOLDER"));
    EXPECT_EQ(KeyBrandName, MatchScriptKey("BRANDNAME"));
    EXPECT_EQ(KeyComment, MatchScriptKey("// DISCNUM = 2"));
    EXPECT_EQ(KeyNone, MatchScriptKey("discnum = 2"));
    EXPECT_EQ(KeyNone, MatchScriptKey(" DISCNUM = 2"));
    EXPECT_EQ(KeyNone,
        MatchScriptKey("\xEF\xBB\xBF"
                       "DISCNUM = 2"));
    EXPECT_EQ(KeyNone, MatchScriptKey("FIL"));
    EXPECT_EQ(KeyNone, MatchScriptKey(""));
    for (int k = 0; k < ScriptKeyCount; ++k)
        EXPECT_EQ(k, MatchScriptKey(ScriptKeyName(static_cast<ScriptKey>(k))))
            << ScriptKeyName(static_cast<ScriptKey>(k));
}

TEST(ScriptLexerTest, WordsItemsAndEqualsStayOnTheLine)
{
    EXPECT_EQ(" b", std::string(FindWordEnd("a,c b")));
    EXPECT_EQ(",c b", std::string(FindItemEnd("a,c b")));
    EXPECT_EQ("\tx", std::string(FindItemEnd("a\tx")));
    EXPECT_EQ(nullptr, FindEquals("KEY \"a\"\r\n= 1"));
    EXPECT_EQ("= 1", std::string(FindEquals("KEY = 1")));
    EXPECT_EQ("\r\nb", std::string(FindLineEnd("a \r\nb")));
    EXPECT_EQ("b", std::string(SkipLineBreaks("\r\n\n\rb")));
}

}  // namespace

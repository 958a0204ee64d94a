#include "common/cp932.h"
#include "common/text.h"

#include <gtest/gtest.h>

#include <string>

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#include <iconv.h>
#endif

namespace {

// The system's own answer: Windows' table of code page 932, or the C
// library's, which reports a lone lead byte as an incomplete character and
// any other byte it cannot read as an illegal one.
bool SystemTakesAsLead(unsigned char b)
{
#ifdef _WIN32
    return IsDBCSLeadByteEx(932, b) != FALSE;
#else
    iconv_t cd = iconv_open("UTF-16LE", "CP932");
    char in[1] = {static_cast<char>(b)};
    char out[8];
    char* source = in;
    char* dest = out;
    size_t left = 1, room = sizeof out;
    const bool incomplete = iconv(cd, &source, &left, &dest, &room) == static_cast<size_t>(-1) &&
                            errno == EINVAL;
    iconv_close(cd);
    return incomplete;
#endif
}

bool IsDoubleByteLead(int b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

}  // namespace

TEST(Cp932, EveryByteIsALeadByteExactlyWhenTheSystemTakesItForOne)
{
    int leads = 0;
    for (int b = 1; b <= 0xFF; ++b) {
        const bool lead = SystemTakesAsLead(static_cast<unsigned char>(b));
        leads += lead ? 1 : 0;
        EXPECT_EQ(lead, IsLeadByte(static_cast<unsigned char>(b), 0x5C)) << std::hex << b;
    }
    EXPECT_EQ(31 + 29, leads);
}

// Every pair the code page maps comes back as a text that maps to the same
// characters; a pair the code page does not map is refused, never cut.
TEST(Cp932, EveryDoubleByteLeadRangeRoundTrips)
{
    int mapped = 0;
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        if (!IsDoubleByteLead(lead))
            continue;
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            if (trail == 0x7F)
                continue;
            const char pair[4] = {static_cast<char>(lead), static_cast<char>(trail), 'x', 0};
            char16_t wide[8];
            if (!Cp932ToWide(pair, wide)) {
                EXPECT_EQ(0, wide[0]);
                continue;
            }
            ++mapped;
            ASSERT_EQ(2u, WideLength(wide)) << std::hex << lead << " " << trail;
            char back[8];
            ASSERT_TRUE(WideToCp932(wide, back)) << std::hex << lead << " " << trail;
            char16_t again[8];
            ASSERT_TRUE(Cp932ToWide(back, again));
            EXPECT_EQ(wide[0], again[0]) << std::hex << lead << " " << trail;
            EXPECT_EQ(u'x', again[1]);
        }
    }
    // JIS X 0208 alone holds nearly 7,000 characters; the extensions more.
    EXPECT_GT(mapped, 7000);
}

TEST(Cp932, NamesWithA5CTrailByteKeepItThroughEveryStep)
{
    // 表 (95 5C), ソ (83 5C), 能 (94 5C): the second byte is a backslash's.
    const char name[] = "C:\\\x95\x5C\\\x83\x5C\x94\x5C.dat";
    char16_t wide[64];
    ASSERT_TRUE(Cp932ToWide(name, wide));
    EXPECT_EQ(std::u16string(u"C:\\表\\ソ能.dat"), std::u16string(wide));
    char back[64];
    ASSERT_TRUE(WideToCp932(wide, back));
    EXPECT_STREQ(name, back);
    EXPECT_STREQ("\x83\x5C\x94\x5C.dat", FindLastBackslash(back) + 1);
}

TEST(Cp932, WhatCannotBeHeldIsAClearFailure)
{
    struct Case {
        const char* Text;
        const char* Why;
    } narrowCases[] = {
        {"abc\x83", "a lead byte at the end"},
        {"\x81\x20x", "a lead byte before a blank"},
        {"\x85\x40", "a lead byte whose row the code page leaves empty"},
    };
    for (const Case& c : narrowCases) {
        char16_t wide[8] = {u'?'};
        EXPECT_FALSE(Cp932ToWide(c.Text, wide)) << c.Why;
        EXPECT_EQ(0, wide[0]) << c.Why;
    }
    const char16_t* wideCases[] = {u"Zoë", u"张伟", u"\xD800x"};
    for (const char16_t* text : wideCases) {
        char narrow[16] = "?";
        EXPECT_FALSE(WideToCp932(text, narrow)) << "case " << (text - wideCases[0]);
        EXPECT_STREQ("", narrow);
    }
    // A name that does not fit is refused whole, never cut to a shorter one.
    char16_t small[4];
    EXPECT_FALSE(Cp932ToWide("abcd", small));
    EXPECT_EQ(0, small[0]);
    char tiny[4];
    EXPECT_FALSE(WideToCp932(u"ソソ", tiny));
    EXPECT_STREQ("", tiny);
    EXPECT_TRUE(WideToCp932(u"ソ", tiny));
}

TEST(Cp932, APathTheCodePageCannotHoldFallsBackToItsShortForm)
{
    struct Case {
        bool LongConverts, HaveShort, ShortConverts;
        SystemPathChoice Expected;
    } cases[] = {
        {true, false, false, SystemPathAsIs},
        {true, true, true, SystemPathAsIs},
        {false, true, true, SystemPathShortForm},
        {false, true, false, SystemPathUnusable},
        {false, false, false, SystemPathUnusable},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.Expected, ChooseSystemPath(c.LongConverts, c.HaveShort, c.ShortConverts))
            << c.LongConverts << c.HaveShort << c.ShortConverts;
}

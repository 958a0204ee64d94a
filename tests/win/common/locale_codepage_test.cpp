#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>

// The prefix's locale decides the ANSI code page: the runs under other
// locales name the one they expect in DRUBEL_EXPECT_ACP (932 otherwise).
TEST(CodePage, FollowsTheLocale)
{
    const char* expected = getenv("DRUBEL_EXPECT_ACP");
    const unsigned long want = expected != nullptr ? strtoul(expected, nullptr, 10) : 932;
    printf("GetACP() = %u\n", GetACP());
    EXPECT_EQ(want, GetACP()) << "GetACP() returned " << GetACP();
}

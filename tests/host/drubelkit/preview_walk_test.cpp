#include "preview/preview_walk.h"

#include <gtest/gtest.h>

namespace {

std::vector<PreviewTick> Plan(const std::vector<int>& values, int step)
{
    std::vector<PreviewTick> ticks;
    std::string error;
    EXPECT_TRUE(PlanPreviewWalk(values, step, &ticks, &error)) << error;
    return ticks;
}

std::string Describe(const std::vector<PreviewTick>& ticks)
{
    std::string s;
    for (const PreviewTick& t : ticks) {
        s += std::to_string(t.Progress);
        if (t.Finish)
            s += "F";
        if (t.Shot >= 0)
            s += "#" + std::to_string(t.Shot);
        s += " ";
    }
    return s;
}

std::string Refused(const std::vector<int>& values)
{
    std::vector<PreviewTick> ticks;
    std::string error;
    EXPECT_FALSE(PlanPreviewWalk(values, 10, &ticks, &error));
    return error;
}

}  // namespace

TEST(PreviewWalk, StartsAtZeroAndLandsOnEveryValue)
{
    EXPECT_EQ(Describe(Plan({250}, 100)), "0 100 200 250#0 ");
    EXPECT_EQ(Describe(Plan({0, 120}, 50)), "0#0 50 100 120#1 ");
    EXPECT_EQ(Describe(Plan({990, 1020}, 20)).substr(0, 12), "0 20 40 60 8");
    EXPECT_EQ(Describe(Plan({990, 1020}, 500)), "0 500 990#0 1000 1010F 1020#1 ");
}

TEST(PreviewWalk, FinishComesFromAThousandInOneTick)
{
    EXPECT_EQ(Describe(Plan({1010}, 400)), "0 400 800 1000 1010F#0 ");
    EXPECT_EQ(Describe(Plan({1000, 1010, 1020, 1020}, 1000)), "0 1000#0 1010F#1 1020#2 1020#3 ");
}

TEST(PreviewWalk, RepeatedValueShowsOneMoreTick)
{
    EXPECT_EQ(Describe(Plan({0, 0, 10, 10}, 10)), "0#0 0#1 10#2 10#3 ");
}

TEST(PreviewWalk, RefusesWhatTheInstallWindowNeverSends)
{
    EXPECT_NE(Refused({500, 400}).find("must not go down"), std::string::npos);
    EXPECT_NE(Refused({1005}).find("1005"), std::string::npos);
    EXPECT_NE(Refused({1021}).find("1021"), std::string::npos);
    EXPECT_NE(Refused({1010, 1010}).find("only once"), std::string::npos);
    EXPECT_NE(Refused({}).find("nothing"), std::string::npos);
}

TEST(PreviewWalk, ParsesCommaSeparatedValues)
{
    std::vector<int> values;
    std::string error;
    ASSERT_TRUE(ParseProgressList("0,250,1010", &values, &error));
    EXPECT_EQ(values, (std::vector<int>{0, 250, 1010}));
    for (const char* bad : {"", ",1", "1,", "1,,2", "-5", "1;2", "5x", "99999999999"})
        EXPECT_FALSE(ParseProgressList(bad, &values, &error)) << bad;
}

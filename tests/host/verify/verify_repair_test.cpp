#include "verify/verify_repair.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

namespace {

struct Listed {
    const char* Name;
    int Disc;
    const char* Verdict;
};

std::unique_ptr<VerifyItems> ItemsOf(const std::vector<Listed>& listed, std::vector<const char*>* verdicts)
{
    std::unique_ptr<VerifyItems> items(new VerifyItems());
    for (const Listed& l : listed) {
        snprintf(items->Name[items->Count], PathWidth, "%s", l.Name);
        items->Disc[items->Count] = static_cast<uint8_t>(l.Disc);
        verdicts->push_back(l.Verdict);
        ++items->Count;
    }
    return items;
}

}  // namespace

// Only the files found damaged go back, grouped by disc so that each disc
// is asked for once, in list order within a disc.
TEST(VerifyRepair, ThePlanTakesTheDamagedFilesDiscByDisc)
{
    std::vector<const char*> verdicts;
    auto items = ItemsOf({{"a", 1, StatusDifferent},
                          {"b", 0, StatusOk},
                          {"c", 0, StatusCannotOpen},
                          {"d", 1, StatusOk},
                          {"e", 2, StatusReadFailed},
                          {"f", 0, StatusDifferent},
                          {"g", 1, nullptr}},
                         &verdicts);
    std::unique_ptr<RepairPlan> plan(new RepairPlan());
    PlanRepair(items.get(), verdicts.data(), plan.get());
    ASSERT_EQ(4, plan->Count);
    EXPECT_EQ((std::vector<int>{2, 5, 0, 4}), std::vector<int>(plan->Item, plan->Item + plan->Count));
    ASSERT_EQ(3, plan->DiscCount);
    EXPECT_EQ((std::vector<int>{0, 1, 2}), std::vector<int>(plan->Disc, plan->Disc + plan->DiscCount));
    EXPECT_EQ(RepairNotTried, plan->Fate[3]);
}

TEST(VerifyRepair, TheTemporaryNameStaysBesideItsPlace)
{
    char out[PathWidth];
    EXPECT_TRUE(RepairTempPath(out, sizeof out, "C:\\Games\\A\\data\\bgm.dat"));
    EXPECT_STREQ("C:\\Games\\A\\data\\bgm.dat.repair~", out);
    const std::string longName = "C:\\G\\" + std::string(250, 'x');
    EXPECT_TRUE(RepairTempPath(out, sizeof out, longName.c_str()));
    EXPECT_STREQ("C:\\G\\~drubel.repair~", out);
    EXPECT_FALSE(RepairTempPath(out, sizeof out, std::string(259, 'x').c_str()));
    EXPECT_STREQ("", out);
}

TEST(VerifyRepair, TheOutcomeNamesWhatWasNotRepairedAndWhy)
{
    std::vector<const char*> verdicts;
    auto items = ItemsOf({{"data\\a.dat", 0, StatusDifferent},
                          {"data\\b.dat", 0, StatusDifferent},
                          {"movie\\op.mpg", 1, StatusCannotOpen}},
                         &verdicts);
    std::unique_ptr<RepairPlan> plan(new RepairPlan());
    PlanRepair(items.get(), verdicts.data(), plan.get());
    char text[2048];
    for (RepairFate& fate : plan->Fate)
        fate = RepairDone;
    FormatRepairOutcome(items.get(), plan.get(), false, text, sizeof text);
    EXPECT_STREQ("3 個のファイルを修復しました。インストールされたファイルはすべて正常です。", text);

    plan->Fate[1] = RepairDiscDamaged;
    plan->Fate[2] = RepairNotTried;
    FormatRepairOutcome(items.get(), plan.get(), true, text, sizeof text);
    EXPECT_STREQ("修復を中断しました。1 個のファイルを修復しました。\n次のファイルは修復できませんでした：\n"
                 "data\\b.dat（ディスクのファイルも壊れています）\nmovie\\op.mpg（修復していません）\n",
                 text);
    // A short buffer loses whole names, never half of one.
    char small[120];
    FormatRepairOutcome(items.get(), plan.get(), true, small, sizeof small);
    EXPECT_EQ(std::string::npos, std::string(small).find("movie"));
}

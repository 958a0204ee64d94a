#include "verify/verify_repair.h"

#include "common/text.h"

#include <cstring>

const char StatusRepairing[] = "Now Repairing...";

void PlanRepair(const VerifyItems* items, const char* const* verdicts, RepairPlan* plan)
{
    plan->Count = 0;
    plan->DiscCount = 0;
    const int count = items->Count < MaxVerifyItems ? items->Count : MaxVerifyItems;
    for (int disc = 0; disc < MaxDiscs; ++disc) {
        const int before = plan->Count;
        for (int item = 0; item < count; ++item) {
            if (items->Disc[item] != disc || verdicts[item] == nullptr || verdicts[item] == StatusOk ||
                strcmp(verdicts[item], StatusOk) == 0)
                continue;
            plan->Item[plan->Count] = item;
            plan->Fate[plan->Count] = RepairNotTried;
            ++plan->Count;
        }
        if (plan->Count > before)
            plan->Disc[plan->DiscCount++] = static_cast<uint8_t>(disc);
    }
}

bool RepairTempPath(char* out, size_t size, const char* target)
{
    if (FormatText(out, size, "%s.repair~", target))
        return true;
    const char* slash = FindLastBackslash(target);
    if (slash != nullptr && CopyTextN(out, size, target, static_cast<size_t>(slash - target) + 1) &&
        AppendText(out, size, "~drubel.repair~"))
        return true;
    if (size > 0)
        out[0] = '\0';
    return false;
}

static const char* FateNote(RepairFate fate)
{
    switch (fate) {
    case RepairDiscDamaged: return "（ディスクのファイルも壊れています）";
    case RepairFailed: return "（ディスクから読めないか、書き込めません）";
    case RepairNotTried: return "（修復していません）";
    case RepairDone: break;
    }
    return "";
}

void FormatRepairOutcome(const VerifyItems* items, const RepairPlan* plan, bool cancelled, char* out,
                         size_t size)
{
    int repaired = 0;
    for (int i = 0; i < plan->Count; ++i)
        repaired += plan->Fate[i] == RepairDone ? 1 : 0;
    const int left = plan->Count - repaired;
    if (left == 0) {
        FormatText(out, size, "%d 個のファイルを修復しました。インストールされたファイルはすべて正常です。",
                   repaired);
        return;
    }
    if (cancelled)
        FormatText(out, size, "修復を中断しました。%d 個のファイルを修復しました。\n", repaired);
    else
        FormatText(out, size, "%d 個のファイルを修復しました。\n", repaired);
    AppendText(out, size, "次のファイルは修復できませんでした：\n");
    int named = 0;
    for (int i = 0; i < plan->Count; ++i) {
        if (plan->Fate[i] == RepairDone)
            continue;
        if (named == MaxNamedFiles) {
            char more[64];
            FormatText(more, sizeof more, "ほか %d 個\n", left - named);
            AppendText(out, size, more);
            break;
        }
        char line[PathWidth + 96];
        FormatText(line, sizeof line, "%s%s\n", items->Name[plan->Item[i]], FateNote(plan->Fate[i]));
        // A name that does not fit is left out whole, never cut inside a character.
        if (strlen(out) + strlen(line) >= size)
            break;
        AppendText(out, size, line);
        ++named;
    }
}

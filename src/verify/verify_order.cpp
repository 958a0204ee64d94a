#include "verify/verify_order.h"

#include <algorithm>
#include <cstring>

void ResetVerifyOrder(VerifyOrder* order, int count)
{
    order->Count = count < 0 ? 0 : count > MaxVerifyItems ? MaxVerifyItems : count;
    order->NextToClaim = 0;
    order->NextLargest = 0;
    order->HaveSizes = false;
    order->NextToTell = 0;
    order->Told = false;
    order->LastBar = -1;
    order->ErrorCount = 0;
    order->ShownPosition = 0;
    const size_t items = static_cast<size_t>(order->Count);
    memset(order->Verdict, 0, items * sizeof order->Verdict[0]);
    memset(order->Range, 0, items * sizeof order->Range[0]);
    for (size_t i = 0; i < items; ++i)
        order->Position[i].store(0, std::memory_order_relaxed);
    memset(order->Opened, 0, items * sizeof order->Opened[0]);
    memset(order->Taken, 0, items * sizeof order->Taken[0]);
}

void OrderLargestFirst(VerifyOrder* order, const uint64_t* sizes)
{
    for (int i = 0; i < order->Count; ++i)
        order->BySize[i] = i;
    std::stable_sort(order->BySize, order->BySize + order->Count,
                     [sizes](int a, int b) { return sizes[a] > sizes[b]; });
    order->HaveSizes = true;
}

int ClaimVerifyItem(VerifyOrder* order, bool largest)
{
    int item = -1;
    if (largest && order->HaveSizes) {
        while (order->NextLargest < order->Count && order->Taken[order->BySize[order->NextLargest]])
            ++order->NextLargest;
        if (order->NextLargest < order->Count)
            item = order->BySize[order->NextLargest++];
    } else {
        while (order->NextToClaim < order->Count && order->Taken[order->NextToClaim])
            ++order->NextToClaim;
        if (order->NextToClaim < order->Count)
            item = order->NextToClaim++;
    }
    if (item >= 0)
        order->Taken[item] = 1;
    return item;
}

static bool InRun(const VerifyOrder* order, int item) { return item >= 0 && item < order->Count; }

// Shows every verdict that is in up to the first item still in work, then
// that item's start and bar: exactly what one hasher going down the list
// would have shown by now, never an item ahead of one before it.
static void Advance(VerifyOrder* order, const VerifyView& view)
{
    while (order->NextToTell < order->Count) {
        const int item = order->NextToTell;
        const char* verdict = order->Verdict[item];
        if (!order->Opened[item] && verdict == nullptr)
            return;
        if (order->Opened[item] && !order->Told) {
            view.StartProgress(view.Context, order->Range[item]);
            view.ShowStatus(view.Context, item, StatusChecking);
            order->Told = true;
            order->ShownPosition = 0;
        }
        if (order->Told && order->Position[item] != order->ShownPosition) {
            order->ShownPosition = order->Position[item];
            view.ShowProgress(view.Context, order->ShownPosition);
        }
        if (verdict == nullptr)
            return;
        if (verdict != StatusOk)
            ++order->ErrorCount;
        if (order->Told)
            order->LastBar = item;
        view.ShowStatus(view.Context, item, verdict);
        ++order->NextToTell;
        order->Told = false;
    }
}

void NoteVerifyOpened(VerifyOrder* order, int item, uint32_t range, const VerifyView& view)
{
    if (!InRun(order, item))
        return;
    order->Opened[item] = 1;
    order->Range[item] = range;
    Advance(order, view);
}

void NoteVerifyProgress(VerifyOrder* order, int item, uint32_t position, const VerifyView& view)
{
    if (!InRun(order, item))
        return;
    order->Position[item] = position;
    // Only the item being shown moves the bar.
    if (item == order->NextToTell)
        Advance(order, view);
}

void NoteVerifyVerdict(VerifyOrder* order, int item, const char* verdict, const VerifyView& view)
{
    if (!InRun(order, item) || verdict == nullptr)
        return;
    order->Verdict[item] = verdict;
    Advance(order, view);
}

bool VerifyOrderDone(const VerifyOrder* order) { return order->NextToTell >= order->Count; }

VerifyGlance GlanceAtVerifyOrder(const VerifyOrder* order)
{
    VerifyGlance glance = {order->NextToTell, -1, order->LastBar, 0, 0};
    if (glance.Told < order->Count && order->Told) {
        glance.Checking = glance.BarItem = glance.Told;
        glance.Position = order->Position[glance.Told].load(std::memory_order_relaxed);
    }
    if (glance.BarItem >= 0) {
        glance.Range = order->Range[glance.BarItem];
        if (glance.Checking < 0)
            glance.Position = glance.Range;
    }
    return glance;
}

void ShowVerifyGlance(const VerifyOrder* order, VerifyGlance* shown, const VerifyGlance& now,
                      const VerifyView& view)
{
    const int told = now.Told < order->Count ? now.Told : order->Count;
    for (int item = shown->Told; item < told; ++item)
        view.ShowStatus(view.Context, item, order->Verdict[item]);
    if (now.BarItem >= 0 && now.BarItem != shown->BarItem) {
        view.StartProgress(view.Context, now.Range);
        shown->Position = 0;
    }
    if (now.Checking >= 0 && now.Checking != shown->Checking)
        view.ShowStatus(view.Context, now.Checking, StatusChecking);
    if (now.BarItem >= 0 && now.Position != shown->Position)
        view.ShowProgress(view.Context, now.Position);
    *shown = now;
    shown->Told = told;
}

static void Locked(HasherReport* report, void (*note)(HasherReport*, uint32_t, const char*),
                   uint32_t value, const char* text)
{
    if (report->Lock != nullptr)
        report->Lock(report->LockContext);
    note(report, value, text);
    if (report->Unlock != nullptr)
        report->Unlock(report->LockContext);
}

static void ReportStatus(void* context, int item, const char* status)
{
    auto* report = static_cast<HasherReport*>(context);
    report->Item = item;
    Locked(report,
           [](HasherReport* r, uint32_t, const char* s) {
               if (s == StatusChecking)
                   NoteVerifyOpened(r->Order, r->Item, r->Range, *r->Shown);
               else
                   NoteVerifyVerdict(r->Order, r->Item, s, *r->Shown);
           },
           0, status);
}

static void ReportStart(void* context, uint32_t range)
{
    static_cast<HasherReport*>(context)->Range = range;
}

static void ReportProgress(void* context, uint32_t position)
{
    auto* report = static_cast<HasherReport*>(context);
    VerifyOrder* order = report->Order;
    if (!InRun(order, report->Item))
        return;
    order->Position[report->Item].store(position, std::memory_order_relaxed);
    // Another file is on show: this one's bar waits for its turn, and its
    // last position is there when it comes.
    if (report->Item != order->NextToTell.load(std::memory_order_relaxed))
        return;
    Locked(report,
           [](HasherReport* r, uint32_t p, const char*) { NoteVerifyProgress(r->Order, r->Item, p, *r->Shown); },
           position, nullptr);
}

VerifyView HasherView(HasherReport* report)
{
    return {report, ReportStatus, ReportStart, ReportProgress};
}

bool RunHasher(VerifyState* state, HasherReport* report, const char* installFolder, uint8_t* piece,
               bool (*stop)(void* context), void* stopContext)
{
    const VerifyView view = HasherView(report);
    for (;;) {
        if (stop(stopContext)) {
            AbandonVerifyRun(state);
            return false;
        }
        if (state->OpenFile == nullptr) {
            if (report->Lock != nullptr)
                report->Lock(report->LockContext);
            const int item = ClaimVerifyItem(report->Order, report->Largest);
            if (report->Unlock != nullptr)
                report->Unlock(report->LockContext);
            if (item < 0)
                return true;
            // The step opens the item after the current one.
            state->CurrentItem = item - 1;
        }
        VerifyStep(state, view, installFolder, piece);
    }
}

// Several hashers check the items at once; the list, the bar and the
// verdict count still go item by item in list order, as from one hasher.
// The hashers take items in turn from one counter and report here, one at a
// time (the caller holds a lock around every call); what is shown goes to
// one view, in list order only.
#pragma once

#include "verify/verify_run.h"

#include <atomic>
#include <cstdint>

struct VerifyOrder {
    int Count;          // items of the run
    int NextToClaim;    // the next item in list order not yet taken (or past it)
    int NextLargest;    // the same in BySize
    bool HaveSizes;     // BySize holds the items largest first
    // The first item whose verdict is not shown yet. Read without the lock
    // by a hasher deciding whether its progress moves the bar at all.
    std::atomic<int> NextToTell;
    bool Told;          // NextToTell's "Now Checking..." and bar are shown
    int LastBar;        // the last item told whose bar was shown, or -1
    uint32_t ErrorCount;
    uint32_t ShownPosition;              // NextToTell's bar, as last shown
    const char* Verdict[MaxVerifyItems]; // null until the item's verdict is in
    uint32_t Range[MaxVerifyItems];      // the bar's range, once opened
    // The bar's position, as last reported: each hasher stores its own
    // item's without the lock, so that a file not on show costs no lock a piece.
    std::atomic<uint32_t> Position[MaxVerifyItems];
    uint8_t Opened[MaxVerifyItems];
    uint8_t Taken[MaxVerifyItems];
    int BySize[MaxVerifyItems];          // item indexes, largest listed size first
};

// A new run of `count` items (at most MaxVerifyItems).
void ResetVerifyOrder(VerifyOrder* order, int count);

// Lets the hashers that take the largest first do so: `sizes` are the
// items' listed sizes.
void OrderLargestFirst(VerifyOrder* order, const uint64_t* sizes);

// The next item to check, or -1 when every item has been taken: the first in
// list order, or with `largest` (and sizes given) the largest left. One
// hasher going down the list keeps the list and the bar moving; the others
// taking the largest files leave no large file for the end, when one
// hasher alone would still be on it.
int ClaimVerifyItem(VerifyOrder* order, bool largest = false);

// What a hasher found out about its item. Each shows on `view` what may be
// shown by now: everything up to the first item still in work, that item's
// start and its bar.
void NoteVerifyOpened(VerifyOrder* order, int item, uint32_t range, const VerifyView& view);
void NoteVerifyProgress(VerifyOrder* order, int item, uint32_t position, const VerifyView& view);
void NoteVerifyVerdict(VerifyOrder* order, int item, const char* verdict, const VerifyView& view);

// True once every item's verdict has been shown.
bool VerifyOrderDone(const VerifyOrder* order);

// What a view that looks from time to time, rather than being told of
// every report, shows of a run: rows before Told have their verdicts in the
// order's Verdict, row Checking (-1: none) is in work, and the bar is that
// of BarItem (-1: none yet), at Position of Range. With none in work it is
// the last told file's, full. A dialog told of every file of thousands of
// small ones would spend more on redrawing than the hashers on hashing.
struct VerifyGlance {
    int Told;
    int Checking;
    int BarItem;
    uint32_t Range;
    uint32_t Position;
};
constexpr VerifyGlance NothingShown = {0, -1, -1, 0, 0};

// What one hasher going down the list would have shown by now. Taken under
// the lock; the verdicts it names stay as they are after it.
VerifyGlance GlanceAtVerifyOrder(const VerifyOrder* order);

// Shows on `view` what changed from `shown` to `now`, in list order, and
// makes `now` the shown. A file that ended with none after it in work
// leaves its bar full.
void ShowVerifyGlance(const VerifyOrder* order, VerifyGlance* shown, const VerifyGlance& now,
                      const VerifyView& view);

// A view for one hasher that reports to an order: VerifyStep drives it as it
// drives the dialog's view. `Lock`/`Unlock` guard the order (may be null
// where one hasher runs). The status texts tell opened from done.
struct HasherReport {
    VerifyOrder* Order;
    const VerifyView* Shown;
    void* LockContext;
    void (*Lock)(void* context);
    void (*Unlock)(void* context);
    int Item;         // the item in work
    uint32_t Range;   // its bar's range, from StartProgress
    bool Largest;     // takes the largest item left rather than the next
};
VerifyView HasherView(HasherReport* report);

// One hasher's whole share of a run: takes items until none is left, each
// read and hashed through VerifyStep with `state` (its own, with the run's
// Items) and `piece` (VerifyPieceSize bytes). `stop` is asked before every
// piece. True when it ran out of items, false when stopped.
bool RunHasher(VerifyState* state, HasherReport* report, const char* installFolder, uint8_t* piece,
               bool (*stop)(void* context), void* stopContext);

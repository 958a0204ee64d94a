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

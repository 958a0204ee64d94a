// The repair after a check: which files go back, from which discs in which
// order, under which temporary names, and what the player is told at the
// end. The copying itself is the dialog's (Windows) side.
#pragma once

#include "verify/verify_run.h"

#include <cstddef>
#include <cstdint>

extern const char StatusRepairing[];

// What became of one damaged item.
enum RepairFate : uint8_t {
    RepairNotTried = 0,   // its disc was never reached (cancelled)
    RepairDone,           // copied back and sound on a second check
    RepairDiscDamaged,    // the disc's copy has another digest: left as it was
    RepairFailed,         // the disc's copy could not be read or the place written
};

struct RepairPlan {
    int Count;                         // damaged items
    int Item[MaxVerifyItems];          // their item indexes, disc by disc, list order within
    RepairFate Fate[MaxVerifyItems];   // by plan position
    int DiscCount;
    uint8_t Disc[MaxDiscs];            // 0-based discs to ask for, in ascending order
};

// The items whose verdict is not OK (`verdicts` by item index, null for
// an item without one), grouped by their disc in ascending order.
void PlanRepair(const VerifyItems* items, const char* const* verdicts, RepairPlan* plan);

// `target` with ".repair~" after it, in the same folder, so that a rename
// over the target stays on its volume; where that does not fit, a fixed
// name in the target's folder. False when neither fits.
bool RepairTempPath(char* out, size_t size, const char* target);

// The closing message: every file repaired, or the names of those that were
// not and why, and whether a cancelled disc request stopped the repair. At
// most `MaxNamedFiles` names; the rest are counted.
constexpr int MaxNamedFiles = 12;
void FormatRepairOutcome(const VerifyItems* items, const RepairPlan* plan, bool cancelled, char* out,
                         size_t size);

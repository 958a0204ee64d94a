// The repair of what a check found: the damaged files copied back from
// their discs, each disc asked for in turn.
#pragma once

#include "verify/verify_repair.h"

#include <windows.h>

// Carries out `plan` (its Fate filled in), showing each item's work through
// `show`. False when a disc request was cancelled: the files repaired until
// then stay repaired.
bool RepairFiles(HWND owner, const VerifyItems* items, RepairPlan* plan,
                 void (*show)(HWND owner, int item, const char* status));

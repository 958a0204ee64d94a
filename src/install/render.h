// The install screen renderer: draws the BACK ... FINISH pictures of the
// setup script into the install window's surface, frame by frame, and lists
// the rectangles that changed. Its working state lives in the run-time fields
// of SetupScript.ScreenElements.
#pragma once

#include "image/surface.h"

// Phases of RenderInstallFrame.
constexpr int RenderPhaseFirst = 0;   // background and base panel, once
constexpr int RenderPhaseTick = 1;    // one timer tick
constexpr int RenderPhaseFinish = 2;  // the FINISH pictures, once after the 1010 tick

// Progress values beyond the copy (1000): the finish message, then every
// tick of the finish screen.
constexpr int ProgressToFinish = 1010;
constexpr int ProgressAfterFinish = 1020;

// Clears `list`, draws what the phase calls for at `progress` (tenths of a
// percent) and lists each changed rectangle in surface coordinates.
// Nonzero when anything was drawn or erased.
int RenderInstallFrame(int phase, int progress, Surface* surface, DirtyRectList* list);

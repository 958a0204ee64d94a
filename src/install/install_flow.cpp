#include "install/install_flow.h"

#include "common/scaled_share.h"
#include "install/install_sizes.h"
#include "install/render.h"
#include "script/setup_model.h"

NextDiscAction DecideNextDisc(int disc)
{
    // The model holds ten discs; a larger DISCNUM names no more of them.
    const uint32_t discs = SetupScript.DISCNUM < MaxDiscs ? SetupScript.DISCNUM : MaxDiscs;
    if (disc < 0 || static_cast<uint32_t>(disc) >= discs)
        return NextDiscFinish;
    if (SumFileSizes(disc, SetupScript.InstallOption) == 0)
        return NextDiscSkip;
    return NextDiscCopy;
}

bool TickProgress(bool finished, uint64_t bytesRead, uint64_t bytesWritten, uint64_t total,
                  int* progress)
{
    if (finished) {
        *progress = ProgressAfterFinish;
        return true;
    }
    if (total == 0)
        return false;
    *progress = static_cast<int>(ScaledShare(AddSizes(bytesRead, bytesWritten), total, 1000));
    return true;
}

uint64_t ProgressTotalOf(uint64_t listedBytes)
{
    return AddSizes(listedBytes, listedBytes);
}

InputAction DecideInput(InstallInput input, unsigned key, bool finished)
{
    switch (input) {
    case InputKey:
        if (finished)
            return InputCloseWindow;
        return key == KeyEscape ? InputAskAbort : InputIgnored;
    case InputSystemKey:
        return key == KeyF4 ? InputAskAbort : InputIgnored;
    case InputButtonUp:
        return finished ? InputCloseWindow : InputIgnored;
    }
    return InputIgnored;
}

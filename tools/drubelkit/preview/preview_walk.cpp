#include "preview/preview_walk.h"

#include "install/render.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>

bool ParseProgressList(const char* text, std::vector<int>* values, std::string* error)
{
    values->clear();
    const char* p = text;
    for (;;) {
        if (*p < '0' || *p > '9') {
            *error = std::string("'") + text + "' is not a list of progress values such as 0,500,1010";
            return false;
        }
        errno = 0;
        char* end = nullptr;
        const long value = strtol(p, &end, 10);
        if (errno != 0 || value > 1000000) {
            *error = std::string("progress value out of range in '") + text + "'";
            return false;
        }
        values->push_back(static_cast<int>(value));
        p = end;
        if (*p == '\0')
            return true;
        if (*p != ',') {
            *error = std::string("'") + text + "' is not a list of progress values such as 0,500,1010";
            return false;
        }
        ++p;
    }
}

static bool ValidValue(int v)
{
    return (v >= 0 && v <= 1000) || v == ProgressToFinish || v == ProgressAfterFinish;
}

bool PlanPreviewWalk(const std::vector<int>& values, int step, std::vector<PreviewTick>* ticks,
                     std::string* error)
{
    ticks->assign(1, PreviewTick{0, false, -1});
    if (values.empty() || step < 1) {
        *error = "nothing to show";
        return false;
    }
    for (size_t i = 0; i < values.size(); ++i) {
        const int target = values[i];
        const int current = ticks->back().Progress;
        if (!ValidValue(target)) {
            *error = "progress " + std::to_string(target) + " is none of 0..1000, 1010, 1020";
            return false;
        }
        if (target < current) {
            *error = "progress values must not go down (" + std::to_string(target) + " after " +
                     std::to_string(current) + ")";
            return false;
        }
        if (target == ProgressToFinish && current == ProgressToFinish) {
            *error = "1010 comes only once: the install window sends it once";
            return false;
        }
        const size_t before = ticks->size();
        // Copying: `step` at a time, the last step cut to land on the value.
        const int copyEnd = target < 1000 ? target : 1000;
        while (ticks->back().Progress < copyEnd)
            ticks->push_back(PreviewTick{std::min(ticks->back().Progress + step, copyEnd), false, -1});
        if (target >= ProgressToFinish && ticks->back().Progress < ProgressToFinish)
            ticks->push_back(PreviewTick{ProgressToFinish, true, -1});
        if (target == ProgressAfterFinish && ticks->back().Progress < ProgressAfterFinish)
            ticks->push_back(PreviewTick{ProgressAfterFinish, false, -1});
        // A value already reached shows one tick later (time goes on).
        if (ticks->size() == before && ticks->back().Shot >= 0)
            ticks->push_back(PreviewTick{target, false, -1});
        ticks->back().Shot = static_cast<int>(i);
    }
    return true;
}

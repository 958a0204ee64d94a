// The contact sheet of `drubelkit preview`: one labelled frame per listed
// progress value, in rows.
#pragma once

#include "preview/preview_canvas.h"

#include <string>
#include <vector>

struct PreviewShot {
    Canvas Frame;
    std::string Label;
};

// Frames of equal size in a grid of about as many columns as rows, each with
// its label in a strip above it and a thin outline around it.
Canvas ComposeContactSheet(const std::vector<PreviewShot>& shots);

// The sheet's size for `count` frames of one size, and where frame `index`
// lies on it (top-left of the frame itself).
void ContactSheetSize(size_t count, int32_t frameWidth, int32_t frameHeight, int32_t* width,
                      int32_t* height);
void ContactSheetFramePosition(size_t count, int32_t frameWidth, int32_t frameHeight, size_t index,
                               int32_t* x, int32_t* y);

// A rectangle of pixels: left and top inside, right and bottom outside.
#pragma once

#include <cstdint>

struct Rect {
    int32_t left, top, right, bottom;
};

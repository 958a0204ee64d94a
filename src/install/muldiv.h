// Scaling the way the Windows MulDiv does it, on every platform, so that the
// install screen moves the same on the host as on the disc's program.
#pragma once

#include <cstdint>

// a x b / c with a 64-bit product, rounded to the nearest integer with halves
// away from zero. A zero divisor, or a result outside 32 bits, gives -1.
int32_t PortableMulDiv(int32_t a, int32_t b, int32_t c);

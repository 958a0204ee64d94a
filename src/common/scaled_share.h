// Progress shares of byte counts that may pass 4 GB: the install screen's
// parts per thousand and the file check's bar position.
#pragma once

#include <cstdint>

// floor(part x scale / whole), at most `scale`; 0 when `whole` is 0. Never
// overflows: where part x scale would pass 64 bits, both counts lose their
// low bits first, which changes the share by far less than one step.
inline uint64_t ScaledShare(uint64_t part, uint64_t whole, uint32_t scale)
{
    if (whole == 0)
        return 0;
    if (part >= whole)
        return scale;
    while (scale != 0 && part > UINT64_MAX / scale) {
        part >>= 1;
        whole >>= 1;
    }
    return part * scale / whole;
}

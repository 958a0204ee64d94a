#include "install/muldiv.h"

int32_t PortableMulDiv(int32_t a, int32_t b, int32_t c)
{
    if (c == 0)
        return -1;
    const int64_t product = static_cast<int64_t>(a) * b;
    // Rounding on magnitudes makes halves go away from zero on both sides;
    // |product| <= 2^62 and |c| <= 2^31, so nothing here can overflow.
    const uint64_t magnitude = product < 0 ? 0 - static_cast<uint64_t>(product)
                                           : static_cast<uint64_t>(product);
    const uint64_t divisor = c < 0 ? 0 - static_cast<uint64_t>(static_cast<int64_t>(c))
                                   : static_cast<uint64_t>(c);
    const uint64_t quotient = (magnitude + divisor / 2) / divisor;
    const bool negative = (product < 0) != (c < 0);
    if (negative) {
        if (quotient > 0x80000000u)
            return -1;
        return static_cast<int32_t>(0 - static_cast<int64_t>(quotient));
    }
    if (quotient > 0x7FFFFFFFu)
        return -1;
    return static_cast<int32_t>(quotient);
}

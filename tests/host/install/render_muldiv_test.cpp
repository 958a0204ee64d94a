#include "install/muldiv.h"

#include <gtest/gtest.h>

#include <cstdint>

TEST(PortableMulDiv, RoundsHalvesAwayFromZero)
{
    EXPECT_EQ(PortableMulDiv(500, 400, 1000), 200);
    EXPECT_EQ(PortableMulDiv(3, 1, 2), 2);     // 1.5
    EXPECT_EQ(PortableMulDiv(5, 1, 2), 3);     // 2.5
    EXPECT_EQ(PortableMulDiv(-3, 1, 2), -2);   // -1.5
    EXPECT_EQ(PortableMulDiv(3, 1, -2), -2);
    EXPECT_EQ(PortableMulDiv(-3, -1, -2), -2);
    EXPECT_EQ(PortableMulDiv(-3, -1, 2), 2);
    EXPECT_EQ(PortableMulDiv(1, 1, 3), 0);     // 0.33
    EXPECT_EQ(PortableMulDiv(2, 1, 3), 1);     // 0.67
    EXPECT_EQ(PortableMulDiv(-2, 1, 3), -1);
    EXPECT_EQ(PortableMulDiv(0, 7, -5), 0);
}

TEST(PortableMulDiv, ZeroDivisorAndOverflowGiveMinusOne)
{
    EXPECT_EQ(PortableMulDiv(10, 20, 0), -1);
    EXPECT_EQ(PortableMulDiv(0, 0, 0), -1);
    EXPECT_EQ(PortableMulDiv(INT32_MAX, 2, 1), -1);
    EXPECT_EQ(PortableMulDiv(INT32_MIN, 2, 1), -1);
    EXPECT_EQ(PortableMulDiv(INT32_MIN, -1, 1), -1);
    // The product may pass 32 bits when the quotient does not.
    EXPECT_EQ(PortableMulDiv(INT32_MAX, INT32_MAX, INT32_MAX), INT32_MAX);
}

TEST(PortableMulDiv, MatchesExactRationalRounding)
{
    // Against long-hand arithmetic on seeded values of every sign.
    uint32_t seed = 12345;
    auto next = [&seed] {
        seed = seed * 1103515245u + 12345u;
        return static_cast<int32_t>(seed);
    };
    for (int i = 0; i < 20000; ++i) {
        const int32_t a = next() >> (i % 24), b = next() >> (i % 20), c = next() >> (i % 28);
        if (c == 0)
            continue;
        const __int128 p = static_cast<__int128>(a) * b;
        const __int128 m = (p < 0 ? -p : p), d = (c < 0 ? -static_cast<__int128>(c) : c);
        __int128 q = m / d;
        if ((m % d) * 2 >= d)
            ++q;
        if ((p < 0) != (c < 0))
            q = -q;
        const int32_t expected = (q > INT32_MAX || q < INT32_MIN) ? -1 : static_cast<int32_t>(q);
        ASSERT_EQ(PortableMulDiv(a, b, c), expected) << a << " " << b << " " << c;
    }
}

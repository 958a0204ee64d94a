#include "image/blend.h"
#include "image/cpu_features.h"
#include "image/surface.h"

#include "image_test_util.h"

#include <gtest/gtest.h>

namespace {

// The rule itself, written as plainly as possible.
void ReferenceBlend(uint8_t* d, const uint8_t* s, int32_t count)
{
    for (int32_t i = 0; i < count; ++i) {
        const int a = s[i * 4 + 3];
        for (int c = 0; c < 3; ++c) {
            const int v = d[i * 4 + c] * (255 - a) + s[i * 4 + c] * a;
            d[i * 4 + c] = static_cast<uint8_t>(v / 255);
        }
        d[i * 4 + 3] = 0;
    }
}

typedef void (*Kernel)(uint8_t*, const uint8_t*, int32_t);
struct NamedKernel {
    Kernel Run;
    const char* Name;
};

// Every kernel path this processor can run.
std::vector<NamedKernel> Kernels()
{
    std::vector<NamedKernel> k = {{BlendRowExact, "exact"},
                                  {BlendRowPacked, "packed"},
                                  {BlendRowPackedPortable, "packed portable"}};
#if DRUBEL_X86_KERNELS
    if (CpuHasSse2())
        k.push_back({BlendRowPackedSse2, "packed SSE2"});
    if (CpuHasSsse3())
        k.push_back({BlendRowPackedSsse3, "packed SSSE3"});
#endif
    return k;
}

TEST(Blend, EveryChannelValueAndAlphaOfEveryKernel)
{
    // For each alpha, one row holds every (s, d) pair in blue; green and red
    // carry other pairs so that the lanes are checked apart.
    const std::vector<NamedKernel> kernels = Kernels();
    printf("kernels checked: %zu\n", kernels.size());
    std::vector<uint8_t> source(65536 * 4), dest(65536 * 4), want, got;
    for (int a = 0; a < 256; ++a) {
        for (int s = 0; s < 256; ++s) {
            for (int d = 0; d < 256; ++d) {
                const size_t i = (static_cast<size_t>(s) * 256 + d) * 4;
                source[i] = static_cast<uint8_t>(s);
                source[i + 1] = static_cast<uint8_t>(d);
                source[i + 2] = static_cast<uint8_t>(255 - s);
                source[i + 3] = static_cast<uint8_t>(a);
                dest[i] = static_cast<uint8_t>(d);
                dest[i + 1] = static_cast<uint8_t>(s);
                dest[i + 2] = static_cast<uint8_t>(d ^ 0x5A);
                dest[i + 3] = static_cast<uint8_t>(s ^ d);
            }
        }
        want = dest;
        ReferenceBlend(want.data(), source.data(), 65536);
        for (const NamedKernel& k : kernels) {
            got = dest;
            k.Run(got.data(), source.data(), 65536);
            ASSERT_EQ(want, got) << k.Name << ", alpha " << a;
        }
    }
}

TEST(Blend, RandomRowsOfOddWidthsAndOffsets)
{
    for (uint32_t seed = 1; seed <= 400; ++seed) {
        TestRandom r(seed);
        const int32_t width = seed <= 64 ? static_cast<int32_t>(seed) : static_cast<int32_t>(r.Next() % 1999 + 1);
        const int32_t offset = static_cast<int32_t>(r.Next() % 4);  // unaligned starts
        std::vector<uint8_t> source = RandomPixels(width + offset, seed * 7);
        std::vector<uint8_t> dest = RandomPixels(width + offset, seed * 13);
        // Alpha in runs, as pictures have it, so that whole groups of clear
        // or opaque pixels occur; and destinations already blended on
        // (fourth byte clear).
        for (int32_t i = 1; seed % 2 == 0 && i < width + offset; ++i)
            if (r.Next() % 16 != 0)
                source[i * 4 + 3] = source[i * 4 - 1];
        for (int32_t i = 0; seed % 3 == 0 && i < width + offset; ++i)
            dest[i * 4 + 3] = 0;
        std::vector<uint8_t> want = dest;
        ReferenceBlend(want.data() + offset * 4, source.data() + offset * 4, width);
        for (const NamedKernel& k : Kernels()) {
            std::vector<uint8_t> got = dest;
            k.Run(got.data() + offset * 4, source.data() + offset * 4, width);
            ASSERT_EQ(want, got) << k.Name << ", width " << width << ", seed " << seed;
        }
    }
}

TEST(Blend, ClearAndOpaqueSourcesAndTheFourthByte)
{
    const uint8_t source[8] = {10, 20, 30, 0, 250, 251, 252, 255};
    for (const NamedKernel& k : Kernels()) {
        uint8_t dest[8] = {1, 2, 255, 99, 5, 6, 7, 99};
        k.Run(dest, source, 2);
        const uint8_t want[8] = {1, 2, 255, 0, 250, 251, 252, 0};
        EXPECT_EQ(0, memcmp(want, dest, 8)) << k.Name;
    }
}

TEST(Blend, DetectMmxReportsTheProcessor)
{
    DetectMmx();
    printf("DetectMmx: MmxAvailable = %d\n", MmxAvailable);
#if defined(__x86_64__)
    EXPECT_EQ(1, MmxAvailable);  // every x86_64 processor has MMX
#endif
}

}  // namespace

#include "image/cpu_features.h"
#include "image/blend.h"
#include "image/surface.h"

#include <cstdint>

#if DRUBEL_X86_KERNELS
#include <cpuid.h>
#endif

int MmxAvailable = 0;

namespace {

constexpr uint32_t MmxBit = 1u << 23;   // leaf 1, EDX
constexpr uint32_t Sse2Bit = 1u << 26;  // leaf 1, EDX
constexpr uint32_t Ssse3Bit = 1u << 9;  // leaf 1, ECX

#if DRUBEL_X86_KERNELS
// The identification instruction exists when bit 21 of the flags register
// (ID) can be changed. Every x86_64 processor has it; an i486 may not.
bool CpuidPresent()
{
#if defined(__x86_64__)
    return true;
#else
    uint32_t changed = 0, original = 0;
    __asm__ volatile(
        "pushfl\n\t"
        "popl %0\n\t"
        "movl %0, %1\n\t"
        "xorl $0x200000, %0\n\t"
        "pushl %0\n\t"
        "popfl\n\t"
        "pushfl\n\t"
        "popl %0\n\t"
        "pushl %1\n\t"
        "popfl"
        : "=&r"(changed), "=&r"(original)
        :
        : "cc");
    return ((changed ^ original) & 0x200000u) != 0;
#endif
}

// The feature words (EDX, ECX) of leaf 1, or zeros when there is no leaf 1.
void StandardFeatures(uint32_t* edx, uint32_t* ecx)
{
    *edx = *ecx = 0;
    if (!CpuidPresent())
        return;
    uint32_t a = 0, b = 0, c = 0, d = 0;
    __cpuid(0, a, b, c, d);
    if (a < 1)
        return;
    __cpuid(1, a, b, c, d);
    *edx = d;
    *ecx = c;
}
#else
void StandardFeatures(uint32_t* edx, uint32_t* ecx)
{
    *edx = *ecx = 0;
}
#endif

// Bit 0: known; then the flags. Written once; a race writes the same value.
int CachedFeatures()
{
    static int known = 0;
    if (known == 0) {
        uint32_t edx = 0, ecx = 0;
        StandardFeatures(&edx, &ecx);
        // The processor's word alone is not enough on an old system.
        const bool sse2 = (edx & Sse2Bit) != 0 && SystemSupportsSse();
        known = 1 | (sse2 ? 2 : 0) | (sse2 && (ecx & Ssse3Bit) ? 4 : 0);
    }
    return known;
}

}  // namespace

void DetectMmx()
{
    uint32_t edx = 0, ecx = 0;
    StandardFeatures(&edx, &ecx);
    MmxAvailable = (edx & MmxBit) != 0 ? 1 : 0;
}

bool CpuHasSse2()
{
    return (CachedFeatures() & 2) != 0;
}

bool CpuHasSsse3()
{
    return (CachedFeatures() & 4) != 0;
}

// The two row kernels behind DrawImage. Both give, per colour channel,
// floor((d * (255 - a) + s * a) / 255) and clear the destination's fourth
// byte; the packed one gets there with SIMD lanes and no division.
#pragma once

#include <cstdint>

#if defined(__i386__) || defined(__x86_64__)
#define DRUBEL_X86_KERNELS 1
#else
#define DRUBEL_X86_KERNELS 0
#endif

// Blends `count` source pixels (BGRA) over `count` destination pixels.
void BlendRowExact(uint8_t* dest, const uint8_t* source, int32_t count);
// The fastest of the packed paths below that the processor runs.
void BlendRowPacked(uint8_t* dest, const uint8_t* source, int32_t count);

// The packed paths one by one, so that each is tested on a machine that
// would pick another. The portable one (64-bit words of 16-bit lanes) runs
// anywhere: processors without SSE2 and hosts that are not x86.
void BlendRowPackedPortable(uint8_t* dest, const uint8_t* source, int32_t count);
#if DRUBEL_X86_KERNELS
// Only when CpuHasSse2() / CpuHasSsse3().
void BlendRowPackedSse2(uint8_t* dest, const uint8_t* source, int32_t count);
void BlendRowPackedSsse3(uint8_t* dest, const uint8_t* source, int32_t count);
#endif

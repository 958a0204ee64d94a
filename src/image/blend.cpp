#include "image/blend.h"

#include "image/cpu_features.h"

#if DRUBEL_X86_KERNELS
#include <tmmintrin.h>
#endif

void BlendRowExact(uint8_t* dest, const uint8_t* source, int32_t count)
{
    for (int32_t i = 0; i < count; ++i) {
        const uint8_t* s = source + 4 * i;
        uint8_t* d = dest + 4 * i;
        const unsigned a = s[3];
        for (int c = 0; c < 3; ++c)
            d[c] = static_cast<uint8_t>((d[c] * (255u - a) + s[c] * a) / 255u);
        d[3] = 0;
    }
}

// Both packed paths divide without dividing: floor(t / 255) for
// t <= 255 * 255 is (t + 1 + (t >> 8)) >> 8, and equally (t * 0x8081) >> 23.

namespace {

// A pixel's three colours in a 64-bit word as 16-bit lanes (the top lane
// stays 0).
inline uint64_t Spread(uint32_t p)
{
    return (p & 0xFFu) | static_cast<uint64_t>((p >> 8) & 0xFFu) << 16 |
           static_cast<uint64_t>((p >> 16) & 0xFFu) << 32;
}

inline uint32_t Gather(uint64_t lanes)
{
    return static_cast<uint32_t>(lanes & 0xFFu) | static_cast<uint32_t>((lanes >> 16) & 0xFFu) << 8 |
           static_cast<uint32_t>((lanes >> 32) & 0xFFu) << 16;
}

// Byte by byte so that blue is the low byte on any host; compilers turn
// these into single loads and stores.
inline uint32_t Load32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

inline void Store32(uint8_t* p, uint32_t v)
{
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
    p[2] = static_cast<uint8_t>(v >> 16);
    p[3] = static_cast<uint8_t>(v >> 24);
}

// A pixel as 16-bit lanes: each product is at most 255 * 255 and the sum of
// both likewise, so no lane ever carries into the next.
inline uint32_t BlendPixelLanes(uint32_t s, uint32_t d)
{
    const uint32_t a = s >> 24;
    if (a == 255)
        return s & 0x00FFFFFFu;
    if (a == 0)
        return d & 0x00FFFFFFu;
    uint64_t t = Spread(s) * a + Spread(d) * (255u - a);
    t = (t + 0x0000000100010001ull + ((t >> 8) & 0x000000FF00FF00FFull)) >> 8;
    return Gather(t);
}

#if DRUBEL_X86_KERNELS
#define SSE2_INLINE static inline __attribute__((always_inline, target("sse2")))
#define SSSE3_INLINE static inline __attribute__((always_inline, target("ssse3")))

// Groups of four wholly opaque or wholly transparent pixels (most of a
// typical picture) need no arithmetic. Under transparent pixels only the
// fourth byte changes, and on a surface that has been drawn on it is clear
// already: then nothing is written at all. True when the group is done;
// else `*d` holds the destination pixels.
SSE2_INLINE bool BlendPlainGroup(__m128i s, __m128i* dp, __m128i* d)
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i colour = _mm_set1_epi32(0x00FFFFFF);
    const __m128i alpha = _mm_andnot_si128(colour, s);
    if (_mm_movemask_epi8(_mm_cmpeq_epi32(alpha, _mm_andnot_si128(colour, _mm_cmpeq_epi32(zero, zero)))) == 0xFFFF) {
        _mm_storeu_si128(dp, _mm_and_si128(s, colour));
        return true;
    }
    *d = _mm_loadu_si128(dp);
    if (_mm_movemask_epi8(_mm_cmpeq_epi32(alpha, zero)) == 0xFFFF) {
        if (_mm_movemask_epi8(_mm_cmpeq_epi32(_mm_andnot_si128(colour, *d), zero)) != 0xFFFF)
            _mm_storeu_si128(dp, _mm_and_si128(*d, colour));
        return true;
    }
    return false;
}

// The same test over eight pixels at once: one branch for a run of them.
SSE2_INLINE bool BlendPlainEight(__m128i s0, __m128i s1, __m128i* dp)
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i colour = _mm_set1_epi32(0x00FFFFFF);
    const __m128i alphaBits = _mm_andnot_si128(colour, _mm_cmpeq_epi32(zero, zero));
    if (_mm_movemask_epi8(_mm_cmpeq_epi32(_mm_and_si128(_mm_and_si128(s0, s1), alphaBits), alphaBits)) == 0xFFFF) {
        _mm_storeu_si128(dp, _mm_and_si128(s0, colour));
        _mm_storeu_si128(dp + 1, _mm_and_si128(s1, colour));
        return true;
    }
    if (_mm_movemask_epi8(_mm_cmpeq_epi32(_mm_and_si128(_mm_or_si128(s0, s1), alphaBits), zero)) == 0xFFFF) {
        const __m128i d0 = _mm_loadu_si128(dp), d1 = _mm_loadu_si128(dp + 1);
        if (_mm_movemask_epi8(_mm_cmpeq_epi32(_mm_and_si128(_mm_or_si128(d0, d1), alphaBits), zero)) != 0xFFFF) {
            _mm_storeu_si128(dp, _mm_and_si128(d0, colour));
            _mm_storeu_si128(dp + 1, _mm_and_si128(d1, colour));
        }
        return true;
    }
    return false;
}

// floor(t / 255) for any 16-bit t is (t * 0x8081) >> 23: the high half of
// the product, shifted by 7.
SSE2_INLINE __m128i DivideBy255(__m128i t)
{
    return _mm_srli_epi16(_mm_mulhi_epu16(t, _mm_set1_epi16(static_cast<short>(0x8081))), 7);
}

// Two pixels widened to eight 16-bit lanes, blended in one step; `a` holds
// each pixel's alpha in all four of its lanes.
SSE2_INLINE __m128i BlendTwoSse2(__m128i s16, __m128i d16, __m128i a)
{
    const __m128i k255 = _mm_set1_epi16(255);
    return DivideBy255(_mm_add_epi16(_mm_mullo_epi16(s16, a), _mm_mullo_epi16(d16, _mm_sub_epi16(k255, a))));
}

// Four pixels as two steps of two; the fourth bytes come out clear.
SSE2_INLINE __m128i BlendFourSse2(__m128i s, __m128i d)
{
    const __m128i zero = _mm_setzero_si128();
    // Each pixel's alpha in both 16-bit halves of its 32-bit lane, then
    // spread over the four lanes of its widened pixel.
    const __m128i a32 = _mm_srli_epi32(s, 24);
    const __m128i a16 = _mm_or_si128(a32, _mm_slli_epi32(a32, 16));
    const __m128i lo =
        BlendTwoSse2(_mm_unpacklo_epi8(s, zero), _mm_unpacklo_epi8(d, zero), _mm_unpacklo_epi32(a16, a16));
    const __m128i hi =
        BlendTwoSse2(_mm_unpackhi_epi8(s, zero), _mm_unpackhi_epi8(d, zero), _mm_unpackhi_epi32(a16, a16));
    return _mm_and_si128(_mm_packus_epi16(lo, hi), _mm_set1_epi32(0x00FFFFFF));
}

// The same with one multiply-add per step: each 16-bit lane pairs d and s
// (less 128, as signed bytes) and the weights 255 - a and a, so the lane
// gets (255 - a)(d - 128) + a(s - 128) = t - 255 * 128, which always fits
// (from -32640 to 32385).
SSSE3_INLINE __m128i BlendFourSsse3(__m128i s, __m128i d)
{
    const __m128i bias = _mm_set1_epi8(static_cast<char>(0x80));
    const __m128i invertLow = _mm_set1_epi16(0x00FF);  // 255 - a is a ^ 255
    const __m128i alphaLo = _mm_setr_epi8(3, 3, 3, 3, 3, 3, 3, 3, 7, 7, 7, 7, 7, 7, 7, 7);
    const __m128i alphaHi = _mm_setr_epi8(11, 11, 11, 11, 11, 11, 11, 11, 15, 15, 15, 15, 15, 15, 15, 15);
    const __m128i offset = _mm_set1_epi16(255 * 128);
    const __m128i sb = _mm_xor_si128(s, bias), db = _mm_xor_si128(d, bias);
    const __m128i weightLo = _mm_xor_si128(_mm_shuffle_epi8(s, alphaLo), invertLow);
    const __m128i weightHi = _mm_xor_si128(_mm_shuffle_epi8(s, alphaHi), invertLow);
    const __m128i lo = DivideBy255(_mm_add_epi16(_mm_maddubs_epi16(weightLo, _mm_unpacklo_epi8(db, sb)), offset));
    const __m128i hi = DivideBy255(_mm_add_epi16(_mm_maddubs_epi16(weightHi, _mm_unpackhi_epi8(db, sb)), offset));
    return _mm_and_si128(_mm_packus_epi16(lo, hi), _mm_set1_epi32(0x00FFFFFF));
}

// One row loop for both: eight pixels a pass while they are all opaque or
// all clear, else two groups of four; then four, a pair and a single.
#define DRUBEL_BLEND_ROW(BlendFour)                                                                 \
    int32_t i = 0;                                                                                  \
    for (; i + 8 <= count; i += 8) {                                                                \
        __m128i* dp = reinterpret_cast<__m128i*>(dest + 4 * i);                                     \
        const __m128i s0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + 4 * i));       \
        const __m128i s1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + 4 * i + 16));  \
        if (BlendPlainEight(s0, s1, dp))                                                            \
            continue;                                                                               \
        __m128i d;                                                                                  \
        if (!BlendPlainGroup(s0, dp, &d))                                                           \
            _mm_storeu_si128(dp, BlendFour(s0, d));                                                 \
        if (!BlendPlainGroup(s1, dp + 1, &d))                                                       \
            _mm_storeu_si128(dp + 1, BlendFour(s1, d));                                             \
    }                                                                                               \
    for (; i + 4 <= count; i += 4) {                                                                \
        __m128i* dp = reinterpret_cast<__m128i*>(dest + 4 * i);                                     \
        const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + 4 * i));        \
        __m128i d;                                                                                  \
        if (!BlendPlainGroup(s, dp, &d))                                                            \
            _mm_storeu_si128(dp, BlendFour(s, d));                                                  \
    }                                                                                               \
    if (i + 2 <= count) {                                                                           \
        __m128i* dp = reinterpret_cast<__m128i*>(dest + 4 * i);                                     \
        const __m128i s = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(source + 4 * i));        \
        _mm_storel_epi64(dp, BlendFour(s, _mm_loadl_epi64(dp)));                                    \
        i += 2;                                                                                     \
    }                                                                                               \
    if (i < count)                                                                                  \
        Store32(dest + 4 * i, BlendPixelLanes(Load32(source + 4 * i), Load32(dest + 4 * i)));
#endif

}  // namespace

#if DRUBEL_X86_KERNELS
__attribute__((target("sse2"))) void BlendRowPackedSse2(uint8_t* dest, const uint8_t* source, int32_t count)
{
    DRUBEL_BLEND_ROW(BlendFourSse2)
}

__attribute__((target("ssse3"))) void BlendRowPackedSsse3(uint8_t* dest, const uint8_t* source, int32_t count)
{
    DRUBEL_BLEND_ROW(BlendFourSsse3)
}
#endif

void BlendRowPackedPortable(uint8_t* dest, const uint8_t* source, int32_t count)
{
    int32_t i = 0;
    for (; i + 2 <= count; i += 2) {
        const uint32_t d0 = Load32(dest + 4 * i), d1 = Load32(dest + 4 * i + 4);
        const uint32_t s0 = Load32(source + 4 * i), s1 = Load32(source + 4 * i + 4);
        Store32(dest + 4 * i, BlendPixelLanes(s0, d0));
        Store32(dest + 4 * i + 4, BlendPixelLanes(s1, d1));
    }
    if (i < count)
        Store32(dest + 4 * i, BlendPixelLanes(Load32(source + 4 * i), Load32(dest + 4 * i)));
}

void BlendRowPacked(uint8_t* dest, const uint8_t* source, int32_t count)
{
#if DRUBEL_X86_KERNELS
    // The 32-bit program also runs on processors older than SSE2.
    if (CpuHasSsse3()) {
        BlendRowPackedSsse3(dest, source, count);
        return;
    }
    if (CpuHasSse2()) {
        BlendRowPackedSse2(dest, source, count);
        return;
    }
#endif
    BlendRowPackedPortable(dest, source, count);
}

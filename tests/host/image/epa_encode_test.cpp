#include "image/epa_encode.h"

#include "image/epa.h"
#include "image_test_util.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <set>

namespace {

// Decodes through the program's decoder; also checks that the stream fills
// the planes exactly, with nothing left over.
std::vector<uint8_t> RoundTrip(const std::vector<uint8_t>& file, int32_t* w, int32_t* h)
{
    uint8_t* p = DecodeImageFile(file.data(), file.size(), w, h);
    EXPECT_NE(nullptr, p);
    if (p == nullptr)
        return {};
    std::vector<uint8_t> out(p, p + static_cast<size_t>(*w) * *h * 4);
    free(p);
    return out;
}

void ExpectRoundTrip(const std::vector<uint8_t>& pixels, uint32_t w, uint32_t h, uint32_t bits,
                     uint32_t wantBits)
{
    std::vector<uint8_t> file;
    std::string error;
    ASSERT_TRUE(EncodeEpa(pixels.data(), w, h, bits, &file, &error)) << error;
    EpaInfo info;
    ASSERT_EQ(EpaOk, ParseEpaHeader(file.data(), file.size(), &info));
    EXPECT_EQ(wantBits, info.BitsPerPixel);
    int32_t gw = 0, gh = 0;
    EXPECT_EQ(pixels, RoundTrip(file, &gw, &gh)) << w << "x" << h << " as " << wantBits;
    EXPECT_EQ(static_cast<int32_t>(w), gw);
    EXPECT_EQ(static_cast<int32_t>(h), gh);
}

// A picture with structure (gradients, blocks, repeats) and some noise.
std::vector<uint8_t> Structured(uint32_t w, uint32_t h, uint32_t seed, bool alpha, int colours = 0)
{
    TestRandom r(seed);
    std::vector<uint8_t> p(static_cast<size_t>(w) * h * 4);
    for (uint32_t y = 0; y < h; ++y)
        for (uint32_t x = 0; x < w; ++x) {
            uint8_t* q = &p[(static_cast<size_t>(y) * w + x) * 4];
            const bool block = ((x / 7) + (y / 5)) % 3 == 0;
            uint32_t v = block ? 40 : (x * 3 + y * 2) & 0xFF;
            if (r.Next() % 11 == 0)
                v = r.Byte();
            if (colours > 0)
                v %= static_cast<uint32_t>(colours);
            q[0] = static_cast<uint8_t>(v);
            q[1] = static_cast<uint8_t>(colours > 0 ? v * 2 : v ^ (y & 0x0F));
            q[2] = static_cast<uint8_t>(colours > 0 ? 255 - v : x & 0xFF);
            q[3] = alpha ? (block ? 0 : static_cast<uint8_t>(r.Alpha())) : 255;
        }
    return p;
}

TEST(EpaEncode, RoundTripsEveryKindAndSize)
{
    const uint32_t sizes[][2] = {{1, 1}, {2, 1}, {1, 7}, {3, 3}, {17, 9}, {64, 33}, {2500, 3}, {2049, 2}};
    uint32_t seed = 1;
    for (const auto& s : sizes) {
        const uint32_t w = s[0], h = s[1];
        ExpectRoundTrip(Structured(w, h, seed++, true), w, h, EpaBitsAuto, 32);
        ExpectRoundTrip(Structured(w, h, seed++, false), w, h, 24, 24);
        ExpectRoundTrip(Structured(w, h, seed++, false), w, h, 32, 32);
        ExpectRoundTrip(Structured(w, h, seed++, false, 200), w, h, 8, 8);
        ExpectRoundTrip(Structured(w, h, seed++, false, 200), w, h, 24, 24);
    }
    // Noise defeats every match; flat colour is all long copies.
    ExpectRoundTrip(RandomPixels(301 * 7, 3), 301, 7, 32, 32);
    std::vector<uint8_t> flat(4000 * 3 * 4, 0x7F);
    ExpectRoundTrip(flat, 4000, 3, 32, 32);
}

TEST(EpaEncode, AutoPicksTheKindAndExplicitKindsRefuseWhatTheyCannotKeep)
{
    std::vector<uint8_t> p(30 * 20 * 4, 255);
    for (size_t i = 0; i < 600; ++i) {
        p[i * 4] = static_cast<uint8_t>(i % 256);
        p[i * 4 + 1] = static_cast<uint8_t>(i % 256 / 3);
    }
    EXPECT_EQ(8u, ChooseEpaBits(p.data(), 30, 20));
    ExpectRoundTrip(p, 30, 20, EpaBitsAuto, 8);
    std::vector<uint8_t> file;
    std::string error;
    ASSERT_TRUE(EncodeEpa(p.data(), 30, 20, 8, &file, &error));
    EXPECT_EQ(0, file[5]);  // 256 colours are stored as 0

    p = Structured(30, 20, 6, false);
    EXPECT_EQ(24u, ChooseEpaBits(p.data(), 30, 20));
    EXPECT_FALSE(EncodeEpa(p.data(), 30, 20, 8, &file, &error));
    EXPECT_NE(std::string::npos, error.find("256"));

    p[7] = 254;
    EXPECT_EQ(32u, ChooseEpaBits(p.data(), 30, 20));
    EXPECT_FALSE(EncodeEpa(p.data(), 30, 20, 24, &file, &error));
    EXPECT_FALSE(EncodeEpa(p.data(), 30, 20, 8, &file, &error));
    EXPECT_FALSE(EncodeEpa(p.data(), 30, 20, 16, &file, &error));

    // Three colours: colour count 3 in the header.
    std::vector<uint8_t> three(12 * 4, 255);
    for (int i = 0; i < 12; ++i)
        three[i * 4] = static_cast<uint8_t>(i % 3);
    ASSERT_TRUE(EncodeEpa(three.data(), 4, 3, EpaBitsAuto, &file, &error));
    EXPECT_EQ(3, file[5]);
    EXPECT_EQ(0, file[4]);
}

// The tokens of a stream, for looking at which forms the encoder chose.
struct TokenUse {
    std::set<int> Nibbles;
    bool ShortForm = false, LongForm = false, Literal = false;
};

TokenUse ReadTokens(const std::vector<uint8_t>& stream)
{
    TokenUse use;
    for (size_t i = 0; i < stream.size();) {
        const uint8_t c = stream[i++];
        if (c < 16) {
            use.Literal = true;
            i += c;
            continue;
        }
        use.Nibbles.insert(c >> 4);
        if (c & 8) {
            use.LongForm = true;
            ++i;
        } else {
            use.ShortForm = true;
        }
    }
    return use;
}

TEST(EpaCompress, UsesEveryDistanceAndBothLengthForms)
{
    // For each nibble a plane where only that distance repeats anything:
    // random bytes, then a run that copies from exactly that distance.
    const uint32_t w = 40;
    const int64_t distance[16] = {0, 1, w, w + 1, 2, w - 1, 2 * w, 3, 2 * w + 2, w + 2,
                                  2 * w + 1, 2 * w - 1, 2 * w - 2, w - 2, 3 * w, 4};
    std::set<int> used;
    bool shortForm = false, longForm = false;
    for (int k = 1; k < 16; ++k) {
        for (size_t runLength : {5u, 30u}) {
            std::vector<uint8_t> planes(w * 4);
            TestRandom r(static_cast<uint32_t>(k * 100 + runLength));
            // Distinct-ish noise: no byte equals one 1 to 4, w-2..w+2,
            // 2w-2..2w+2 or 3w bytes back except where planted.
            for (size_t i = 0; i < planes.size(); ++i)
                planes[i] = static_cast<uint8_t>(i * 7 + (r.Next() & 1) * 128);
            const size_t start = w * 3 + 4;
            for (size_t i = start; i < start + runLength && i < planes.size(); ++i)
                planes[i] = planes[i - static_cast<size_t>(distance[k])];
            std::vector<uint8_t> stream;
            EpaCompress(planes.data(), planes.size(), w, &stream);
            std::vector<uint8_t> back(planes.size(), 0);
            ASSERT_EQ(planes.size(), EpaExpand(stream.data(), stream.size(), back.data(), w, 4));
            ASSERT_EQ(planes, back);
            const TokenUse use = ReadTokens(stream);
            used.insert(use.Nibbles.begin(), use.Nibbles.end());
            shortForm = shortForm || use.ShortForm;
            longForm = longForm || use.LongForm;
        }
    }
    EXPECT_EQ(15u, used.size());
    EXPECT_TRUE(shortForm);
    EXPECT_TRUE(longForm);
}

// The cheapest stream by brute force: every distance, every length.
size_t SlowOptimalSize(const std::vector<uint8_t>& p, uint32_t w)
{
    const int64_t distance[16] = {0, 1, w, w + 1, 2, int64_t(w) - 1, 2 * w, 3, 2 * w + 2, w + 2,
                                  2 * w + 1, 2 * int64_t(w) - 1, 2 * int64_t(w) - 2, int64_t(w) - 2, 3 * w, 4};
    const size_t n = p.size();
    std::vector<size_t> cost(n + 1, SIZE_MAX);
    cost[n] = 0;
    for (size_t i = n; i-- > 0;) {
        for (size_t l = 1; l <= 15 && i + l <= n; ++l)
            cost[i] = std::min(cost[i], 1 + l + cost[i + l]);
        for (int k = 1; k < 16; ++k) {
            const int64_t d = distance[k];
            if (d <= 0 || d > int64_t(i))
                continue;
            for (size_t l = 1; l <= 2047 && i + l <= n && p[i + l - 1] == p[i + l - 1 - d]; ++l)
                cost[i] = std::min(cost[i], (l <= 7 ? 1 : 2) + cost[i + l]);
        }
    }
    return cost[0];
}

TEST(EpaCompress, StreamIsAsSmallAsTheBestParse)
{
    for (uint32_t seed = 1; seed <= 60; ++seed) {
        TestRandom r(seed);
        const uint32_t w = 1 + r.Next() % 12;
        const uint32_t rows = 1 + r.Next() % 40;
        const size_t n = static_cast<size_t>(w) * rows;
        std::vector<uint8_t> p(n);
        // Few symbols and runs, so that matches of all lengths occur.
        for (size_t i = 0; i < n; ++i)
            p[i] = r.Next() % 4 == 0 && i > 0 ? p[i - 1] : static_cast<uint8_t>(r.Next() % 3);
        std::vector<uint8_t> stream;
        EpaCompress(p.data(), n, w, &stream);
        ASSERT_EQ(SlowOptimalSize(p, w), stream.size()) << "seed " << seed;
        std::vector<uint8_t> back(n, 0xEE);
        ASSERT_EQ(n, EpaExpand(stream.data(), stream.size(), back.data(), w, rows)) << "seed " << seed;
        ASSERT_EQ(p, back) << "seed " << seed;
    }
}

}  // namespace

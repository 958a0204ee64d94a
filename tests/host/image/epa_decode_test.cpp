#include "image/epa.h"

#include "archive/pak_writer.h"
#include "image_test_util.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

struct FreeDeleter {
    void operator()(uint8_t* p) const { free(p); }
};
using Picture = std::unique_ptr<uint8_t, FreeDeleter>;

Picture Decode(const std::vector<uint8_t>& file, int32_t* w = nullptr, int32_t* h = nullptr)
{
    return Picture(DecodeImageFile(file.data(), file.size(), w, h));
}

std::vector<uint8_t> Expand(const std::vector<uint8_t>& stream, uint32_t width, uint32_t rows,
                            size_t* produced = nullptr)
{
    std::vector<uint8_t> planes(static_cast<size_t>(width) * rows, 0xEE);
    const size_t n = EpaExpand(stream.data(), stream.size(), planes.data(), width, rows);
    if (produced != nullptr)
        *produced = n;
    return planes;
}

TEST(EpaHeader, ResultCodesAndFields)
{
    EpaInfo info;
    std::vector<uint8_t> f = MakeEpaFile(0, 7, 9, {}, {}, 16);
    ASSERT_EQ(EpaOk, ParseEpaHeader(f.data(), f.size(), &info));
    EXPECT_EQ(7u, info.Width);
    EXPECT_EQ(9u, info.Height);
    EXPECT_EQ(8u, info.BitsPerPixel);
    EXPECT_EQ(16u, info.ColourCount);
    f = MakeEpaFile(0, 1, 1, {}, {}, 0);
    ASSERT_EQ(EpaOk, ParseEpaHeader(f.data(), f.size(), &info));
    EXPECT_EQ(256u, info.ColourCount);
    EXPECT_EQ(256u, info.ImportantColours);
    f = MakeEpaFile(2, 3, 4, {});
    ASSERT_EQ(EpaOk, ParseEpaHeader(f.data(), f.size(), &info));
    EXPECT_EQ(32u, info.BitsPerPixel);
    EXPECT_EQ(0u, info.ColourCount);

    f[0] = 'X';
    EXPECT_EQ(EpaBadSignature, ParseEpaHeader(f.data(), f.size(), &info));
    f[0] = 'E';
    f[2] = 2;
    EXPECT_EQ(EpaBadVersion, ParseEpaHeader(f.data(), f.size(), &info));
    f[2] = 1;
    f[3] = 2;
    EXPECT_EQ(EpaUnsupported, ParseEpaHeader(f.data(), f.size(), &info));
    f[3] = 1;
    f[4] = 3;
    EXPECT_EQ(EpaUnsupported, ParseEpaHeader(f.data(), f.size(), &info));
    EXPECT_EQ(EpaBadSignature, ParseEpaHeader(f.data(), 15, &info));
}

TEST(EpaExpand, ControlByteExamples)
{
    size_t produced = 0;
    // 0x18 0x05: distance 1, length 5 after one literal.
    std::vector<uint8_t> p = Expand({0x01, 0x42, 0x18, 0x05}, 6, 1, &produced);
    EXPECT_EQ(std::vector<uint8_t>(6, 0x42), p);
    EXPECT_EQ(6u, produced);
    // 0x23: three bytes from the row above.
    p = Expand({0x04, 1, 2, 3, 4, 0x23, 0x01, 9}, 4, 2);
    EXPECT_EQ((std::vector<uint8_t>{1, 2, 3, 4, 1, 2, 3, 9}), p);
    // 0x2F 0xFF: 2047 bytes at distance w.
    const uint32_t w = 2100;
    std::vector<uint8_t> stream;
    std::vector<uint8_t> row = PatternBytes(w, 5);
    stream = LiteralStream(row);
    stream.push_back(0x2F);
    stream.push_back(0xFF);
    p = Expand(stream, w, 2, &produced);
    EXPECT_EQ(w + 2047u, produced);
    for (uint32_t i = 0; i < 2047; ++i)
        ASSERT_EQ(row[i], p[w + i]) << i;
    // 0x00 consumes itself and produces nothing.
    p = Expand({0x00, 0x02, 7, 8}, 2, 1, &produced);
    EXPECT_EQ((std::vector<uint8_t>{7, 8}), p);
    // An overlapping copy repeats its pattern (distance 3, length 7).
    p = Expand({0x03, 1, 2, 3, 0x77}, 10, 1);
    EXPECT_EQ((std::vector<uint8_t>{1, 2, 3, 1, 2, 3, 1, 2, 3, 1}), p);
    // Distance 4 repeated far beyond one doubling (length 300).
    p = Expand({0x04, 1, 2, 3, 4, 0xF9, 0x2C}, 304, 1, &produced);
    EXPECT_EQ(304u, produced);
    for (size_t i = 0; i < p.size(); ++i)
        ASSERT_EQ(1 + i % 4, p[i]) << i;
}

TEST(EpaExpand, EveryDistanceOfTheTable)
{
    const uint32_t w = 10;
    const int64_t distance[16] = {0, 1, w, w + 1, 2, w - 1, 2 * w, 3, 2 * w + 2, w + 2,
                                  2 * w + 1, 2 * w - 1, 2 * w - 2, w - 2, 3 * w, 4};
    const std::vector<uint8_t> head = PatternBytes(40, 9);
    for (int k = 1; k < 16; ++k) {
        std::vector<uint8_t> stream = LiteralStream(head);
        stream.push_back(static_cast<uint8_t>(k << 4 | 1));
        size_t produced = 0;
        const std::vector<uint8_t> p = Expand(stream, w, 5, &produced);
        EXPECT_EQ(41u, produced);
        EXPECT_EQ(head[40 - distance[k]], p[40]) << "nibble " << k;
    }
}

TEST(EpaExpand, MalformedStreamsStopAndKeepWhatWasDecoded)
{
    size_t produced = 0;
    // A reference before the first byte.
    std::vector<uint8_t> p = Expand({0x02, 5, 6, 0x31, 0x02, 7, 8}, 4, 1, &produced);
    EXPECT_EQ(2u, produced);
    EXPECT_EQ(5, p[0]);
    EXPECT_EQ(0xEE, p[2]);  // left as it was
    // A final run that overshoots is cut at the end.
    p = Expand({0x01, 3, 0x1F, 0xFF}, 5, 1, &produced);
    EXPECT_EQ(5u, produced);
    EXPECT_EQ(std::vector<uint8_t>(5, 3), p);
    // A literal longer than what is left.
    p = Expand({0x05, 1, 2, 3, 4, 5}, 3, 1, &produced);
    EXPECT_EQ(3u, produced);
    // Input that ends early: inside a literal, before a length byte, before a control.
    Expand({0x05, 1, 2}, 8, 1, &produced);
    EXPECT_EQ(2u, produced);
    Expand({0x01, 1, 0x18}, 8, 1, &produced);
    EXPECT_EQ(1u, produced);
    Expand({0x01, 1}, 8, 1, &produced);
    EXPECT_EQ(1u, produced);
    Expand({}, 4, 4, &produced);
    EXPECT_EQ(0u, produced);
}

TEST(EpaExpand, NarrowPlanesCopyFromAheadAndGoOn)
{
    // Width 1 gives w - 1 = 0 and w - 2 = -1, width 2 gives w - 2 = 0: the
    // copy reads the bytes at or after the ones it writes, and the stream
    // goes on after it. The buffer's own bytes are what it reads (0xEE).
    size_t produced = 0;
    std::vector<uint8_t> p = Expand({0x01, 1, 0x52, 0xD1, 0x01, 9}, 1, 5, &produced);
    EXPECT_EQ(5u, produced);
    EXPECT_EQ((std::vector<uint8_t>{1, 0xEE, 0xEE, 0xEE, 9}), p);
    p = Expand({0x02, 1, 2, 0xD2, 0x01, 7}, 2, 3, &produced);
    EXPECT_EQ(5u, produced);
    EXPECT_EQ(7, p[4]);
    // A source past the end of the planes reads as zero.
    p = Expand({0x01, 4, 0xD3}, 1, 4, &produced);
    EXPECT_EQ((std::vector<uint8_t>{4, 0xEE, 0xEE, 0}), p);

    // Decoded as a picture the copied bytes are zero and the rest is whole:
    // a 1 x 3 24-bit picture, blue 5 _ _, green all copied, red 6 7 8.
    std::vector<uint8_t> file = {'E', 'P', 1, 1, 1, 0, 0, 0, 1, 0, 0, 0, 3, 0, 0, 0};
    const uint8_t stream[] = {0x01, 5, 0x52, 0xD3, 0x03, 6, 7, 8};
    file.insert(file.end(), stream, stream + sizeof stream);
    int32_t w = 0, h = 0;
    Picture picture = Decode(file, &w, &h);
    ASSERT_NE(nullptr, picture);
    const uint8_t* px = picture.get();
    // Bottom row first: (0, 0, 8), (0, 0, 7), (5, 0, 6).
    const uint8_t expected[12] = {0, 0, 8, 255, 0, 0, 7, 255, 5, 0, 6, 255};
    EXPECT_EQ(0, memcmp(expected, px, sizeof expected));
}

TEST(EpaDecode, KindsAlphaAndBottomRowFirst)
{
    // 2 x 2, 24-bit: planes B, G, R, rows top to bottom.
    const std::vector<uint8_t> planes24 = {1, 2, 3, 4, 11, 12, 13, 14, 21, 22, 23, 24};
    int32_t w = 0, h = 0;
    Picture p = Decode(MakeEpaFile(1, 2, 2, LiteralStream(planes24)), &w, &h);
    ASSERT_TRUE(p);
    EXPECT_EQ(2, w);
    EXPECT_EQ(2, h);
    // Memory row 0 is the bottom row (plane row 1).
    const uint8_t want24[16] = {3, 13, 23, 255, 4, 14, 24, 255, 1, 11, 21, 255, 2, 12, 22, 255};
    EXPECT_EQ(0, memcmp(want24, p.get(), 16));

    std::vector<uint8_t> planes32 = planes24;
    for (uint8_t a : {0, 128, 255, 7})
        planes32.push_back(a);
    p = Decode(MakeEpaFile(2, 2, 2, LiteralStream(planes32)));
    ASSERT_TRUE(p);
    EXPECT_EQ(255, p.get()[3]);   // bottom-left: alpha plane row 1, column 0
    EXPECT_EQ(7, p.get()[7]);
    EXPECT_EQ(0, p.get()[11]);
    EXPECT_EQ(128, p.get()[15]);

    // 8-bit, colour count 16: the stream still starts at 784.
    std::vector<uint8_t> palette(768, 0);
    for (int i = 0; i < 16; ++i) {
        palette[i * 3] = static_cast<uint8_t>(i);
        palette[i * 3 + 1] = static_cast<uint8_t>(100 + i);
        palette[i * 3 + 2] = static_cast<uint8_t>(200 + i);
    }
    const std::vector<uint8_t> f = MakeEpaFile(0, 3, 1, {0x03, 15, 0, 9}, palette, 16);
    ASSERT_EQ(788u, f.size());
    p = Decode(f);
    ASSERT_TRUE(p);
    const uint8_t want8[12] = {15, 115, 215, 255, 0, 100, 200, 255, 9, 109, 209, 255};
    EXPECT_EQ(0, memcmp(want8, p.get(), 12));
}

TEST(EpaDecode, DamagedFilesStayInsideTheirBuffers)
{
    // Shorter than the header: no picture.
    std::vector<uint8_t> f = MakeEpaFile(1, 2, 2, {});
    EXPECT_FALSE(Decode(std::vector<uint8_t>(f.begin(), f.begin() + 15)));
    // A header alone: an all-zero (transparent black) picture, even of a
    // kind that is otherwise opaque.
    int32_t w = 0, h = 0;
    Picture p = Decode(f, &w, &h);
    ASSERT_TRUE(p);
    EXPECT_EQ(std::vector<uint8_t>(16, 0), std::vector<uint8_t>(p.get(), p.get() + 16));
    // A stream that stops halfway keeps the pixels it completed; the rest
    // stays zero. Here the top row and one pixel of the bottom row are
    // whole (memory row 1 is the top).
    std::vector<uint8_t> planes = PatternBytes(3 * 2 * 3, 8);
    planes.resize(2 * 6 + 4);
    p = Decode(MakeEpaFile(1, 3, 2, LiteralStream(planes)));
    ASSERT_TRUE(p);
    EXPECT_EQ(planes[0], p.get()[12]);
    EXPECT_EQ(planes[12 + 2], p.get()[12 + 8 + 2]);
    EXPECT_EQ(255, p.get()[12 + 8 + 3]);
    EXPECT_EQ(planes[3], p.get()[0]);
    EXPECT_EQ(255, p.get()[3]);
    EXPECT_EQ(std::vector<uint8_t>(8, 0), std::vector<uint8_t>(p.get() + 4, p.get() + 12));
    // An 8-bit file cut inside its palette has no pixel data.
    f = MakeEpaFile(0, 1, 1, {0x01, 0}, {1, 2, 3});
    p = Decode(f);
    ASSERT_TRUE(p);
    const uint8_t want[4] = {1, 2, 3, 255};
    EXPECT_EQ(0, memcmp(want, p.get(), 4));
    f.resize(100);
    p = Decode(f);
    ASSERT_TRUE(p);
    EXPECT_EQ(0, p.get()[0] | p.get()[3]);
    // No pixels at all, however many rows: a picture, and a quick one.
    p = Decode(MakeEpaFile(1, 0, 0x7FFFFFFF, {0x0F}), &w, &h);
    ASSERT_TRUE(p);
    EXPECT_EQ(0, w);
    EXPECT_EQ(0x7FFFFFFF, h);
    // Sizes no memory holds are refused before any allocation.
    EXPECT_FALSE(Decode(MakeEpaFile(2, 0x7FFFFFFF, 0x7FFFFFFF, {})));
    EXPECT_FALSE(Decode(MakeEpaFile(2, 0x80000000u, 1, {})));
}

std::vector<uint8_t> MakeBitmap(int32_t width, int32_t height, const std::vector<uint8_t>& pixels,
                                uint16_t bits = 32, uint32_t compression = 0)
{
    std::vector<uint8_t> f(54, 0);
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i)
            f[at + i] = static_cast<uint8_t>(v >> (8 * i));
    };
    f[0] = 'B';
    f[1] = 'M';
    put32(2, static_cast<uint32_t>(54 + pixels.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<uint32_t>(width));
    put32(22, static_cast<uint32_t>(height));
    f[26] = 1;
    f[28] = static_cast<uint8_t>(bits);
    put32(30, compression);
    f.insert(f.end(), pixels.begin(), pixels.end());
    return f;
}

TEST(EpaDecode, BitmapFallbackReadsItsHeader)
{
    const std::vector<uint8_t> px = PatternBytes(2 * 3 * 4, 77);
    int32_t w = 0, h = 0;
    Picture p = Decode(MakeBitmap(2, 3, px), &w, &h);
    ASSERT_TRUE(p);
    EXPECT_EQ(2, w);
    EXPECT_EQ(3, h);
    EXPECT_EQ(px, std::vector<uint8_t>(p.get(), p.get() + px.size()));
    // Top-down rows come back bottom-up.
    p = Decode(MakeBitmap(2, -3, px), &w, &h);
    ASSERT_TRUE(p);
    EXPECT_EQ(3, h);
    EXPECT_EQ(0, memcmp(px.data(), p.get() + 16, 8));
    EXPECT_EQ(0, memcmp(px.data() + 16, p.get(), 8));
    // Not a 32-bit uncompressed bitmap, or pixels beyond the file: no picture.
    EXPECT_FALSE(Decode(MakeBitmap(2, 3, px, 24)));
    EXPECT_FALSE(Decode(MakeBitmap(2, 3, px, 32, 3)));
    EXPECT_FALSE(Decode(MakeBitmap(2, 4, px)));
    EXPECT_FALSE(Decode(MakeBitmap(0, 3, px)));
    std::vector<uint8_t> f = MakeBitmap(2, 3, px);
    f.resize(53);
    EXPECT_FALSE(Decode(f));
    // An "EP" file of version 2 is no EPA: it goes to the fallback, which
    // finds no bitmap either.
    f = MakeEpaFile(1, 2, 2, LiteralStream(PatternBytes(12, 1)));
    f[2] = 2;
    EpaInfo info;
    EXPECT_EQ(EpaBadVersion, ParseEpaHeader(f.data(), f.size(), &info));
    w = h = -1;
    EXPECT_FALSE(Decode(f, &w, &h));
    EXPECT_EQ(-1, w);
}

TEST(EpaLoad, LooseFileFirstThenArchive)
{
    TempDir dir;
    ScopedCurrentDir cwd(dir.Path);
    const std::vector<uint8_t> inPak = MakeEpaFile(1, 1, 1, {0x03, 10, 20, 30});
    const std::vector<uint8_t> loose = MakeEpaFile(1, 1, 1, {0x03, 40, 50, 60});
    std::vector<PakMemberData> members(1);
    members[0].Name = "TITLE.EPA";
    members[0].Data = inPak;
    std::vector<uint8_t> archive;
    std::string error;
    ASSERT_TRUE(PakBuild(members, false, &archive, &error)) << error;
    WriteBytes("Instdata.pak", archive);

    int32_t w = 0, h = 0;
    Picture p(LoadEpaImage("TITLE.EPA", &w, &h));
    ASSERT_TRUE(p);
    EXPECT_EQ(1, w);
    EXPECT_EQ(10, p.get()[0]);
    WriteBytes("TITLE.EPA", loose);
    p.reset(LoadEpaImage("TITLE.EPA", nullptr, nullptr));
    ASSERT_TRUE(p);
    EXPECT_EQ(40, p.get()[0]);
    EXPECT_FALSE(Picture(LoadEpaImage("LOGO.EPA", &w, &h)));
    WriteBytes("EMPTY.EPA", {});
    EXPECT_FALSE(Picture(LoadEpaImage("EMPTY.EPA", &w, &h)));
}

}  // namespace

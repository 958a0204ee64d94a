#include "shared/cli.h"
#include "shared/png_io.h"
#include "support/md5_hex.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

namespace {

int RunEpa(std::vector<std::string> args)
{
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(&a[0]);
    argv.push_back(nullptr);
    return RunEpaCommand(static_cast<int>(args.size()), argv.data());
}

class EpaCommandTest : public ::testing::Test {
protected:
    TempDir dir;
    ScopedCurrentDir cwd{dir.Path};
};

// w x h BGRA bottom-up with a gradient; `colours` limits the distinct values.
std::vector<uint8_t> Picture(uint32_t w, uint32_t h, bool alpha, uint32_t colours = 0)
{
    std::vector<uint8_t> p(static_cast<size_t>(w) * h * 4);
    for (uint32_t y = 0; y < h; ++y)
        for (uint32_t x = 0; x < w; ++x) {
            uint8_t* q = &p[(static_cast<size_t>(y) * w + x) * 4];
            uint32_t v = x * 5 + y * 3;
            if (colours != 0)
                v %= colours;
            q[0] = static_cast<uint8_t>(v);
            q[1] = static_cast<uint8_t>(colours != 0 ? 0 : y);
            q[2] = static_cast<uint8_t>(colours != 0 ? 9 : x ^ y);
            q[3] = alpha ? static_cast<uint8_t>((x * 40) & 0xFF) : 255;
        }
    return p;
}

void SavePng(const std::string& path, uint32_t w, uint32_t h, const std::vector<uint8_t>& pixels)
{
    std::vector<uint8_t> file;
    std::string error;
    ASSERT_TRUE(WritePng(w, h, pixels.data(), &file, &error)) << error;
    WriteBytes(path, file);
}

std::vector<uint8_t> LoadPng(const std::string& path, uint32_t* w, uint32_t* h)
{
    std::vector<uint8_t> pixels;
    std::string error;
    EXPECT_TRUE(ReadPng(ReadBytes(path), w, h, &pixels, &error)) << error;
    return pixels;
}

TEST_F(EpaCommandTest, EncodeDecodeRoundTripsEveryType)
{
    struct Case {
        uint32_t W, H;
        bool Alpha;
        uint32_t Colours;
        const char* Type;
        uint8_t ColourType;  // header byte 4
    };
    const Case cases[] = {
        {33, 17, true, 0, "auto", 2},   {33, 17, false, 0, "auto", 1}, {40, 9, false, 200, "auto", 0},
        {40, 9, false, 200, "24", 1},   {40, 9, false, 200, "32", 2},  {1, 1, false, 0, "8", 0},
        {2100, 3, true, 0, "32", 2},
    };
    for (const Case& c : cases) {
        const std::vector<uint8_t> pixels = Picture(c.W, c.H, c.Alpha, c.Colours);
        SavePng("in.png", c.W, c.H, pixels);
        ASSERT_EQ(ExitOk, RunEpa({"epa", "encode", "in.png", "out.epa", "--type", c.Type})) << c.Type;
        const std::vector<uint8_t> epa = ReadBytes("out.epa");
        ASSERT_GT(epa.size(), 16u);
        EXPECT_EQ(c.ColourType, epa[4]) << c.W << "x" << c.H << " " << c.Type;
        EXPECT_EQ(ExitOk, RunEpa({"epa", "info", "out.epa"}));
        ASSERT_EQ(ExitOk, RunEpa({"epa", "decode", "out.epa", "back.png"}));
        uint32_t w = 0, h = 0;
        EXPECT_EQ(pixels, LoadPng("back.png", &w, &h));
        EXPECT_EQ(c.W, w);
        EXPECT_EQ(c.H, h);
    }
}

// One set of PNG files (tests/host/drubelkit/png, made by make-pngs.py)
// decodes to the same pixels through libpng and through WIC.
TEST(PngFiles, EveryKindDecodesToThePixelsMeant)
{
    std::string folder = __FILE__;
    folder = folder.substr(0, folder.find_last_of("/\\")) + "/png/";
#ifdef _WIN32
    if (folder[0] == '/')
        folder = "Z:" + folder;  // Wine's drive for the Linux root
#endif
    const struct {
        const char* Name;
        const char* Md5;  // of the pixels; null: the file is refused
    } files[] = {
        {"palette-alpha.png", "4fc6cd1fb13a225080760de4c8f1fc1f"},
        {"palette-4bit.png", "3eee0c9f32ff02d3112e7abc1db5d240"},
        {"grey.png", "ccbca92df82d2d31312b155e0e803a97"},
        {"grey-2bit.png", "bb30518f70880a745df04eab8fb64112"},
        {"grey-alpha.png", "3e4eacee9c4ea60a54d79cfa090c12f9"},
        {"grey-16bit.png", "ccbca92df82d2d31312b155e0e803a97"},
        {"rgb.png", "29dc9c741f86c51553f47530694c3225"},
        {"rgba.png", "02b0ad5afa0d43e3cff2705c73bb6d5a"},
        {"rgb-16bit.png", "29dc9c741f86c51553f47530694c3225"},
        {"rgba-16bit.png", "02b0ad5afa0d43e3cff2705c73bb6d5a"},
        {"rgba-interlaced.png", "02b0ad5afa0d43e3cff2705c73bb6d5a"},
        {"palette-interlaced.png", "3eee0c9f32ff02d3112e7abc1db5d240"},
        {"damaged.png", nullptr},
    };
    for (const auto& f : files) {
        uint32_t w = 0, h = 0;
        std::vector<uint8_t> pixels;
        std::string error;
        const bool read = ReadPng(ReadBytes(folder + f.Name), &w, &h, &pixels, &error);
        EXPECT_EQ(f.Md5 != nullptr, read) << f.Name << ": " << error;
        if (f.Md5 == nullptr || !read)
            continue;
        EXPECT_EQ(7u, w) << f.Name;
        EXPECT_EQ(5u, h) << f.Name;
        EXPECT_EQ(f.Md5, Md5Hex(pixels)) << f.Name;
    }
}

TEST_F(EpaCommandTest, BadInputIsAnErrorAndLeavesNoOutput)
{
    WriteText("not.png", "this is text, not a picture");
    EXPECT_EQ(ExitBadInput, RunEpa({"epa", "encode", "not.png", "out.epa"}));
    EXPECT_FALSE(FileExists("out.epa"));
    EXPECT_EQ(ExitBadInput, RunEpa({"epa", "encode", "missing.png", "out.epa"}));

    SavePng("in.png", 20, 20, Picture(20, 20, true));
    std::vector<uint8_t> png = ReadBytes("in.png");
    png.resize(png.size() / 2);
    WriteBytes("cut.png", png);
    EXPECT_EQ(ExitBadInput, RunEpa({"epa", "encode", "cut.png", "out.epa"}));
    EXPECT_FALSE(FileExists("out.epa"));
    // A kind that cannot keep the picture.
    EXPECT_EQ(ExitBadInput, RunEpa({"epa", "encode", "in.png", "out.epa", "--type", "24"}));
    EXPECT_FALSE(FileExists("out.epa"));

    EXPECT_EQ(ExitBadInput, RunEpa({"epa", "decode", "not.png", "out.png"}));
    EXPECT_EQ(ExitBadInput, RunEpa({"epa", "info", "not.png"}));
    ASSERT_EQ(ExitOk, RunEpa({"epa", "encode", "in.png", "good.epa"}));
    std::vector<uint8_t> epa = ReadBytes("good.epa");
    epa.resize(epa.size() - 3);
    WriteBytes("cut.epa", epa);
    EXPECT_EQ(ExitBadInput, RunEpa({"epa", "info", "cut.epa"}));
    epa.resize(10);
    WriteBytes("cut.epa", epa);
    EXPECT_EQ(ExitBadInput, RunEpa({"epa", "decode", "cut.epa", "out.png"}));
    EXPECT_FALSE(FileExists("out.png"));
}

// What the launcher shows for every file it takes: a damaged stream as far
// as it decodes, and a 32-bit bitmap through its fallback.
TEST_F(EpaCommandTest, DecodeShowsWhatTheLauncherShows)
{
    // A palette picture: one plane, so the rows that decode are whole.
    const std::vector<uint8_t> pixels = Picture(20, 20, false, 200);
    SavePng("in.png", 20, 20, pixels);
    ASSERT_EQ(ExitOk, RunEpa({"epa", "encode", "in.png", "good.epa"}));
    std::vector<uint8_t> epa = ReadBytes("good.epa");
    epa.resize(784 + (epa.size() - 784) / 2);
    WriteBytes("cut.epa", epa);
    testing::internal::CaptureStderr();
    EXPECT_EQ(ExitOk, RunEpa({"epa", "decode", "cut.epa", "cut.png"}));
    const std::string messages = testing::internal::GetCapturedStderr();
    EXPECT_NE(std::string::npos, messages.find("warning: 'cut.epa': the picture data is truncated")) << messages;
    uint32_t w = 0, h = 0;
    const std::vector<uint8_t> cut = LoadPng("cut.png", &w, &h);
    ASSERT_EQ(pixels.size(), cut.size());
    EXPECT_EQ(0, cut[3]);                                  // the bottom rows stayed transparent
    EXPECT_EQ(pixels[pixels.size() - 4], cut[cut.size() - 4]);  // the top rows came out

    // A bitmap: 54-byte header, 32-bit rows bottom-up.
    std::vector<uint8_t> bmp(54 + 2 * 3 * 4, 0);
    const uint8_t header[] = {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0,
                              2, 0, 0, 0, 3, 0, 0, 0, 1, 0, 32, 0};
    std::copy(header, header + sizeof header, bmp.begin());
    for (size_t i = 54; i < bmp.size(); ++i)
        bmp[i] = static_cast<uint8_t>(i);
    WriteBytes("plain.bmp", bmp);
    ASSERT_EQ(ExitOk, RunEpa({"epa", "decode", "plain.bmp", "plain.png"}));
    EXPECT_EQ(std::vector<uint8_t>(bmp.begin() + 54, bmp.end()), LoadPng("plain.png", &w, &h));
    EXPECT_EQ(2u, w);
    EXPECT_EQ(3u, h);
}

TEST_F(EpaCommandTest, UsageErrorsAndHelp)
{
    EXPECT_EQ(ExitUsage, RunEpa({"epa"}));
    EXPECT_EQ(ExitUsage, RunEpa({"epa", "squash"}));
    EXPECT_EQ(ExitUsage, RunEpa({"epa", "encode", "in.png"}));
    EXPECT_EQ(ExitUsage, RunEpa({"epa", "encode", "in.png", "out.epa", "--type", "16"}));
    EXPECT_EQ(ExitUsage, RunEpa({"epa", "decode", "in.epa"}));
    EXPECT_EQ(ExitOk, RunEpa({"epa", "--help"}));
    EXPECT_EQ(ExitOk, RunEpa({"epa", "encode", "--help"}));
}

}  // namespace

#include "archive/pak_writer.h"
#include "image/epa_encode.h"
#include "preview/preview_sheet.h"
#include "shared/cli.h"
#include "shared/png_io.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace {

int RunPreview(std::vector<std::string> args)
{
    args.insert(args.begin(), "preview");
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(&a[0]);
    argv.push_back(nullptr);
    return RunPreviewCommand(static_cast<int>(args.size()), argv.data());
}

std::vector<uint8_t> Solid(uint32_t w, uint32_t h, uint32_t argb)
{
    std::vector<uint8_t> p(static_cast<size_t>(w) * h * 4);
    for (size_t i = 0; i < p.size(); i += 4) {
        p[i] = argb & 0xFF;
        p[i + 1] = (argb >> 8) & 0xFF;
        p[i + 2] = (argb >> 16) & 0xFF;
        p[i + 3] = argb >> 24;
    }
    return p;
}

std::vector<uint8_t> Epa(uint32_t w, uint32_t h, uint32_t argb)
{
    std::vector<uint8_t> file;
    std::string error;
    EXPECT_TRUE(EncodeEpa(Solid(w, h, argb).data(), w, h, 0, &file, &error)) << error;
    return file;
}

struct Png {
    uint32_t Width = 0, Height = 0;
    std::vector<uint8_t> Pixels;
    // RGB of pixel (x, y), 0 at the top.
    uint32_t At(int32_t x, int32_t y) const
    {
        const uint8_t* p = &Pixels[(static_cast<size_t>(Height - 1 - y) * Width + x) * 4];
        return p[0] | p[1] << 8 | p[2] << 16;
    }
};

Png LoadPng(const std::string& path)
{
    Png png;
    std::string error;
    EXPECT_TRUE(ReadPng(ReadBytes(path), &png.Width, &png.Height, &png.Pixels, &error)) << error;
    return png;
}

// A 200 x 100 screen: grey background, a red square from 50 %, a green
// square that is shown until 30 %.
const char Script[] =
    "BACK \"BG.EPA\" 0 0 STRETCH_DESKTOP\r\n"
    "WRITE \"RED.EPA\" 10 10 50\r\n"
    "ELEMENT \"GREEN.EPA\" 100 10 0 30\r\n";

class PreviewCommand : public testing::Test {
protected:
    void SetUp() override
    {
        MakeFolder(Dir / "art");
        WriteText(Dir / "art/Drubel.ini", Script);
        WriteBytes(Dir / "art/BG.EPA", Epa(4, 4, 0xFF808080));
        WriteBytes(Dir / "art/RED.EPA", Epa(20, 20, 0xFFFF0000));
        WriteBytes(Dir / "art/GREEN.EPA", Epa(20, 20, 0xFF00FF00));
    }

    TempDir Dir;
};

}  // namespace

TEST_F(PreviewCommand, ContactSheetShowsEachListedMoment)
{
    const std::string sheet = Dir / "sheet.png";
    ASSERT_EQ(RunPreview({Dir / "art/Drubel.ini", "--size", "200x100", "--at", "0,290,500,1020",
                          "-o", sheet}),
              ExitOk);
    const Png png = LoadPng(sheet);
    int32_t width = 0, height = 0;
    ContactSheetSize(4, 200, 100, &width, &height);
    ASSERT_EQ(png.Width, static_cast<uint32_t>(width));
    ASSERT_EQ(png.Height, static_cast<uint32_t>(height));
    const uint32_t grey = 0x808080, red = 0xFF0000, green = 0x00FF00;
    const uint32_t wanted[4][2] = {{grey, green}, {grey, green}, {red, grey}, {red, grey}};
    for (size_t i = 0; i < 4; ++i) {
        int32_t x = 0, y = 0;
        ContactSheetFramePosition(4, 200, 100, i, &x, &y);
        // The packed blend of the program lands one level low on opaque 255.
        EXPECT_NEAR(png.At(x + 15, y + 15) & 0xFF0000, wanted[i][0] & 0xFF0000, 0x010000) << i;
        EXPECT_NEAR(png.At(x + 15, y + 15) & 0xFF00, wanted[i][0] & 0xFF00, 0x0100) << i;
        EXPECT_NEAR(png.At(x + 105, y + 15) & 0xFF00, wanted[i][1] & 0xFF00, 0x0100) << i;
        EXPECT_EQ(png.At(x + 190, y + 90), grey) << i;
        // Something of the label above the frame is drawn in white.
        bool labelled = false;
        for (int32_t ly = y - 18; ly < y; ++ly)
            for (int32_t lx = x; lx < x + 40; ++lx)
                labelled = labelled || png.At(lx, ly) == 0xFFFFFF;
        EXPECT_TRUE(labelled) << i;
    }
}

TEST_F(PreviewCommand, FramesFolderHoldsEveryTick)
{
    const std::string frames = Dir / "frames";
    ASSERT_EQ(RunPreview({Dir / "art/Drubel.ini", "--size", "40x30", "--at", "100,1010", "--step",
                          "50", "--tick", "250", "--frames", frames}),
              ExitOk);
    // The first frame, then 21 ticks from 0 to 1000 and the one at 1010.
    for (int i = 0; i <= 22; ++i) {
        char name[32];
        snprintf(name, sizeof name, "frame-%04d.png", i);
        ASSERT_TRUE(FileExists(frames + "/" + name)) << name;
        EXPECT_EQ(LoadPng(frames + "/" + name).Width, 40u);
    }
    EXPECT_FALSE(FileExists(frames + "/frame-0023.png"));
    EXPECT_FALSE(FileExists(Dir / "sheet.png"));
}

TEST_F(PreviewCommand, PicturesComeFromTheArchiveWhenGiven)
{
    std::vector<PakMemberData> members(3);
    members[0] = {"BG.EPA", Epa(4, 4, 0xFF0000FF)};
    members[1] = {"RED.EPA", ReadBytes(Dir / "art/RED.EPA")};
    members[2] = {"GREEN.EPA", ReadBytes(Dir / "art/GREEN.EPA")};
    std::vector<uint8_t> archive;
    std::string error;
    ASSERT_TRUE(PakBuild(members, false, &archive, &error)) << error;
    WriteBytes(Dir / "disc.pak", archive);
    const std::string sheet = Dir / "sheet.png";
    ASSERT_EQ(RunPreview({"--pak", Dir / "disc.pak", Dir / "art/Drubel.ini", "--size", "200x100",
                          "--at", "0", "-o", sheet}),
              ExitOk);
    const Png png = LoadPng(sheet);
    int32_t x = 0, y = 0;
    ContactSheetFramePosition(1, 200, 100, 0, &x, &y);
    EXPECT_EQ(png.At(x + 190, y + 90), 0x0000FFu);  // the archive's blue, not the loose grey
}

TEST_F(PreviewCommand, MissingPicturesAreNamedAndTheSheetIsStillWritten)
{
    remove((Dir / "art/GREEN.EPA").c_str());
    const std::string sheet = Dir / "sheet.png";
    testing::internal::CaptureStderr();
    const int status = RunPreview({Dir / "art/Drubel.ini", "--size", "64x48", "--at", "500", "-o", sheet});
    const std::string messages = testing::internal::GetCapturedStderr();
    EXPECT_EQ(status, ExitBadInput);
    EXPECT_NE(messages.find("Drubel.ini:3: error: the ELEMENT picture 'GREEN.EPA' is missing"), std::string::npos)
        << messages;
    EXPECT_EQ(messages.find("RED.EPA"), std::string::npos) << messages;
    EXPECT_TRUE(FileExists(sheet));
}

TEST_F(PreviewCommand, BadUsageIsRefused)
{
    const std::string script = Dir / "art/Drubel.ini";
    const std::string out = Dir / "o.png";
    testing::internal::CaptureStderr();
    EXPECT_EQ(RunPreview({script, "--at", "0", "-o", out}), ExitUsage);
    EXPECT_EQ(RunPreview({script, "--size", "0x10", "--at", "0", "-o", out}), ExitUsage);
    EXPECT_EQ(RunPreview({script, "--size", "10x10", "--at", "5,1", "-o", out}), ExitUsage);
    EXPECT_EQ(RunPreview({script, "--size", "10x10", "--at", "5", "-o", out, "--frames", Dir.Path}), ExitUsage);
    EXPECT_EQ(RunPreview({script, "--size", "10x10", "--at", "5"}), ExitUsage);
    EXPECT_EQ(RunPreview({script, "--size", "10x10", "--at", "5", "--tick", "0", "-o", out}), ExitUsage);
    EXPECT_EQ(RunPreview({Dir / "none.ini", "--size", "10x10", "--at", "5", "-o", out}), ExitBadInput);
    testing::internal::GetCapturedStderr();
    EXPECT_FALSE(FileExists(out));
}

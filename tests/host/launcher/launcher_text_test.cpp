#include "launcher/launcher_text.h"

#include "script/setup_model.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

TEST(LauncherTexts, CaptionJoinsTheSubtitleWithOneBlank)
{
    char caption[128];
    FormatLauncherCaption(caption, sizeof caption, "星霜のアルカディア", "");
    EXPECT_STREQ("星霜のアルカディア", caption);
    FormatLauncherCaption(caption, sizeof caption, "星霜のアルカディア", "Arcadia of Starfrost");
    EXPECT_STREQ("星霜のアルカディア Arcadia of Starfrost", caption);
}

TEST(LauncherTexts, DirectXPromptIsTheScriptsOrTheDefault)
{
    char prompt[260];
    FormatDirectXPrompt(prompt, sizeof prompt, "", "Game");
    EXPECT_STREQ("Game のディスクを挿入して下さい。", prompt);
    FormatDirectXPrompt(prompt, sizeof prompt, "DISC2 %s please", "Game");
    EXPECT_STREQ("DISC2 %s please", prompt);  // used unchanged, never as a format
}

TEST(LauncherTexts, DirectXPathStartsWithTheDriveLetter)
{
    char path[260];
    ASSERT_TRUE(FormatDirectXPath(path, sizeof path, 5, "DirectX\\DXSETUP.EXE"));
    EXPECT_STREQ("E:\\DirectX\\DXSETUP.EXE", path);
    EXPECT_FALSE(FormatDirectXPath(path, sizeof path, 0, "DXSETUP.EXE"));
    EXPECT_FALSE(FormatDirectXPath(path, sizeof path, 27, "DXSETUP.EXE"));
}

namespace {

// A 32-bit EPA picture of w x h whose stream is all literal runs.
std::vector<uint8_t> EpaPicture(uint32_t w, uint32_t h, uint8_t blue, uint8_t alpha)
{
    std::vector<uint8_t> file = {'E', 'P', 1, 1, 2, 0, 0, 0};
    for (uint32_t v : {w, h})
        for (int i = 0; i < 4; ++i)
            file.push_back(static_cast<uint8_t>(v >> (8 * i)));
    const uint8_t planes[4] = {blue, 0, 0, alpha};
    for (uint8_t value : planes) {
        for (size_t left = size_t(w) * h; left > 0;) {
            const size_t run = left < 15 ? left : 15;
            file.push_back(static_cast<uint8_t>(run));
            file.insert(file.end(), run, value);
            left -= run;
        }
    }
    return file;
}

uint32_t PixelAt(const Surface* s, int x, int y)
{
    const uint8_t* p = s->Bits + (size_t(s->Height - 1 - y) * s->Width + x) * 4;
    return p[0] | p[1] << 8 | p[2] << 16;
}

}  // namespace

TEST(TitlePicture, APictureOfAnotherSizeIsDrawnAtItsOwnSizeAndClipped)
{
    TempDir dir;
    ScopedCurrentDir here(dir.Path);
    Surface* surface = CreateMemorySurface(TitleSize, TitleSize);
    ASSERT_NE(nullptr, surface);

    WriteBytes(dir / "TITLE.EPA", EpaPicture(400, 350, 200, 255));
    int32_t w = 0, h = 0;
    uint8_t* big = LoadTitlePicture(&w, &h);
    ASSERT_NE(nullptr, big);
    EXPECT_EQ(400, w);
    EXPECT_EQ(350, h);
    DrawTitlePicture(surface, big, w, h);
    free(big);
    EXPECT_EQ(200u, PixelAt(surface, 319, 319) & 0xFF);

    memset(surface->Bits, 0, size_t(TitleSize) * TitleSize * 4);
    WriteBytes(dir / "TITLE.EPA", EpaPicture(100, 50, 90, 255));
    uint8_t* small = LoadTitlePicture(&w, &h);
    ASSERT_NE(nullptr, small);
    DrawTitlePicture(surface, small, w, h);
    free(small);
    EXPECT_EQ(90u, PixelAt(surface, 0, 0) & 0xFF);
    EXPECT_EQ(90u, PixelAt(surface, 99, 49) & 0xFF);
    EXPECT_EQ(0u, PixelAt(surface, 100, 0));
    EXPECT_EQ(0u, PixelAt(surface, 0, 50));
    FreeSurface(surface);
}

TEST(TitlePicture, ABitmapThatIsNotWhatItsHeaderSaysIsNoPicture)
{
    TempDir dir;
    ScopedCurrentDir here(dir.Path);
    // A header and only two rows of a 320 x 320 picture.
    std::vector<uint8_t> bitmap(54, 0);
    const uint8_t header[] = {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0,
                              0x40, 1, 0, 0, 0x40, 1, 0, 0, 1, 0, 32, 0};
    std::copy(header, header + sizeof header, bitmap.begin());
    bitmap.resize(54 + 2 * TitleSize * 4, 0xFF);
    WriteBytes(dir / "TITLE.EPA", bitmap);
    int32_t w = 0, h = 0;
    EXPECT_EQ(nullptr, LoadTitlePicture(&w, &h));
}

TEST(TitlePicture, NoPictureAnywhereGivesNull)
{
    TempDir dir;
    ScopedCurrentDir here(dir.Path);
    int32_t w = 7, h = 7;
    EXPECT_EQ(nullptr, LoadTitlePicture(&w, &h));
    EXPECT_EQ(7, w);
}

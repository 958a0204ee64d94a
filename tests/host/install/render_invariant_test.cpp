// Properties over random scripts and progress walks: the listed rectangles
// cover every changed pixel, and elements and sprites leave no trace once
// they are gone.
#include "render_fixture.h"

#include <cstring>
#include <random>

namespace {

constexpr int32_t Width = 160;
constexpr int32_t Height = 120;

// Alpha biased to the two values that have their own paths in the blends.
uint32_t RandomColour(std::mt19937& rng)
{
    const uint32_t pick = rng() % 8;
    const uint32_t alpha = pick < 3 ? 0 : pick < 6 ? 255 : rng() % 256;
    return alpha << 24 | (rng() & 0xFFFFFF);
}

Picture RandomPicture(std::mt19937& rng, int32_t width, int32_t height)
{
    Picture p = SolidPicture(width, height, 0);
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x)
            p.Set(x, y, RandomColour(rng));
    return p;
}

int32_t Between(std::mt19937& rng, int32_t low, int32_t high)
{
    return low + static_cast<int32_t>(rng() % static_cast<uint32_t>(high - low + 1));
}

class RenderInvariant : public RenderTest {
protected:
    void SetUp() override
    {
        RenderTest::SetUp();
        MakeSurface(Width, Height);
        std::mt19937 rng(99);
        Picture noise = SolidPicture(Width, Height, 0);
        for (int32_t y = 0; y < Height; ++y)
            for (int32_t x = 0; x < Width; ++x)
                noise.Set(x, y, Opaque(rng() & 0xFFFFFF));
        WritePicture("NOISE.EPA", noise);
        const int32_t sizes[][2] = {{1, 1}, {7, 5}, {12, 30}, {20, 8}, {33, 17}, {9, 27}, {40, 40}, {64, 6}};
        for (size_t i = 0; i < sizeof sizes / sizeof sizes[0]; ++i) {
            const std::string name = "P" + std::to_string(i) + ".EPA";
            WritePicture(name, RandomPicture(rng, sizes[i][0], sizes[i][1]));
            Names.push_back(name);
        }
    }

    const char* AnyPicture(std::mt19937& rng) const
    {
        // Now and then a name that is not there.
        return rng() % 10 == 0 ? "ABSENT.EPA" : Names[rng() % Names.size()].c_str();
    }

    // Renders one frame and checks that every changed pixel is listed.
    void CheckedFrame(int phase, int progress)
    {
        const size_t bytes = static_cast<size_t>(Width) * Height * 4;
        std::vector<uint8_t> before(Screen->Bits, Screen->Bits + bytes);
        const int result = Frame(phase, progress);
        const std::vector<Rect> rects = Rects();
        if (result == 0) {
            ASSERT_TRUE(rects.empty()) << "phase " << phase << " progress " << progress;
        }
        ++Frames;
        for (int32_t y = 0; y < Height; ++y) {
            for (int32_t x = 0; x < Width; ++x) {
                const size_t at = (static_cast<size_t>(Height - 1 - y) * Width + x) * 4;
                if (memcmp(&before[at], Screen->Bits + at, 4) == 0)
                    continue;
                bool listed = false;
                for (const Rect& r : rects)
                    listed = listed || (x >= r.left && x < r.right && y >= r.top && y < r.bottom);
                ASSERT_TRUE(listed) << "pixel " << x << "," << y << " changed unlisted, phase "
                                    << phase << " progress " << progress << " result " << result;
            }
        }
    }

    std::vector<std::string> Names;
    int Frames = 0;
};

void RandomElement(std::mt19937& rng, ScreenElement& e)
{
    static const int32_t modes[] = {0, NORMAL, STRETCH_DESKTOP, CENTER_DESKTOP, SMALL,
                                    DIRECTION_LEFT, DIRECTION_RIGHT, DIRECTION_UP, DIRECTION_DOWN,
                                    DIRECTION_LEFTUP, DIRECTION_LEFTDOWN, DIRECTION_RIGHTUP,
                                    DIRECTION_RIGHTDOWN, 12345};
    e.Mode = modes[rng() % (sizeof modes / sizeof modes[0])];
    e.X = Between(rng, -60, Width + 20);
    e.Y = Between(rng, -60, Height + 20);
    e.DeltaX = Between(rng, -200, 300);
    e.DeltaY = Between(rng, -200, 300);
    e.Start = rng() % 12 == 0 ? SPRITE_INFINITE : Between(rng, 0, 103);
    e.End = rng() % 6 == 0 ? SPRITE_INFINITE : Between(rng, 0, 103);
    if (e.Kind == KindSprite2 && rng() % 2 == 0)
        e.End = Between(rng, 0, 3000);
    e.CellHeight = Between(rng, -3, 45);
    e.FrameInterval = Between(rng, -50, 400);
    e.StartDelay = Between(rng, -50, 1500);
    e.FirstFrameTime = Between(rng, -50, 800);
}

}  // namespace

TEST_F(RenderInvariant, EveryChangedPixelLiesInAListedRectangle)
{
    std::mt19937 rng(2024);
    for (int round = 0; round < 120; ++round) {
        SCOPED_TRACE(round);
        ClearScreenElements();
        memset(Screen->Bits, 0, static_cast<size_t>(Width) * Height * 4);
        Screen->View = Rect{0, 0, Width, Height};
        MmxAvailable = static_cast<int>(rng() % 2);
        const int count = Between(rng, 1, 24);
        for (int i = 0; i < count; ++i) {
            ScreenElement& e = Add(Between(rng, KindBack, KindFinish), AnyPicture(rng));
            RandomElement(rng, e);
        }
        CheckedFrame(RenderPhaseFirst, 0);
        int progress = 0;
        while (progress <= 1000) {
            CheckedFrame(RenderPhaseTick, progress);
            AdvanceClock(Between(rng, 0, 250));
            progress += Between(rng, 0, 40);
        }
        CheckedFrame(RenderPhaseTick, ProgressToFinish);
        CheckedFrame(RenderPhaseFinish, 0);
        for (int i = 0; i < 30; ++i) {
            AdvanceClock(Between(rng, 0, 300));
            CheckedFrame(RenderPhaseTick, ProgressAfterFinish);
        }
        if (HasFatalFailure())
            return;
    }
    EXPECT_GT(Frames, 5000);
}

// Transient lines (ELEMENT, SPRITE1, finite SPRITE2) laid out the way their
// save and restore can unwind: elements nested in time and in table order,
// sprites after them, bars apart from the elements. Once all of them are
// gone, the surface must be exactly what the permanent lines alone make.
TEST_F(RenderInvariant, GoneElementsAndSpritesLeaveNoTrace)
{
    std::mt19937 rng(77);
    for (int round = 0; round < 80; ++round) {
        SCOPED_TRACE(round);
        ClearScreenElements();
        Add(KindBack, "NOISE.EPA").Mode = NORMAL;
        for (int i = Between(rng, 0, 3); i > 0; --i) {
            ScreenElement& w = Add(KindWrite, Names[rng() % Names.size()].c_str());
            w.X = Between(rng, -20, Width);
            w.Y = Between(rng, -20, Height);
        }
        for (int i = Between(rng, 0, 2); i > 0; --i) {
            ScreenElement& bar = Add(KindProgressBar, Names[rng() % Names.size()].c_str());
            bar.X = Between(rng, -10, Width - 10);
            bar.Y = Between(rng, 100, Height);  // below every element
            bar.DeltaX = Between(rng, 1, 80);
            bar.DeltaY = Between(rng, 1, 40);
            bar.End = Between(rng, 1, 100);
            bar.Mode = DIRECTION_LEFT + static_cast<int32_t>(rng() % 10);
        }
        int32_t start = 0, end = TO_FINISH;
        std::vector<ScreenElement*> transient;
        for (int i = Between(rng, 0, 5); i > 0; --i) {
            ScreenElement& e = Add(KindElement, Names[rng() % Names.size()].c_str());
            start = Between(rng, start, std::min(end, 100));
            end = Between(rng, start, end);
            e.Start = start;
            e.End = end;
            e.X = Between(rng, -20, Width - 10);
            e.Y = Between(rng, -40, 100 - 40);
            transient.push_back(&e);
        }
        for (int i = Between(rng, 0, 6); i > 0; --i) {
            const bool clockwork = rng() % 2 == 0;
            ScreenElement& s =
                Add(clockwork ? KindSprite2 : KindSprite1, Names[rng() % Names.size()].c_str());
            RandomElement(rng, s);
            s.Start = Between(rng, 0, 100);
            s.End = clockwork ? Between(rng, 0, 3000) : Between(rng, s.Start, TO_FINISH);
            s.FrameInterval = Between(rng, 0, 300);
            s.StartDelay = Between(rng, 0, 600);
            s.FirstFrameTime = Between(rng, 0, 600);
            transient.push_back(&s);
        }

        // The same walk twice: once with the transient lines, once with them
        // never reaching their start.
        std::vector<uint8_t> surfaces[2];
        const uint32_t seed = rng();
        for (int pass = 0; pass < 2; ++pass) {
            for (ScreenElement& e : SetupScript.ScreenElements) {
                e.State = 0;
                e.UnderValid = 0;
            }
            ReleaseElementImages();
            std::vector<int32_t> starts;
            for (ScreenElement* e : transient) {
                starts.push_back(e->Start);
                if (pass == 1)
                    e->Start = AFTER_FINISH + 1;
            }
            std::mt19937 walk(seed);
            memset(Screen->Bits, 0, static_cast<size_t>(Width) * Height * 4);
            Screen->View = Rect{0, 0, Width, Height};
            SetClock(1000);
            Frame(RenderPhaseFirst, 0);
            for (int progress = 0; progress <= 1000; progress += Between(walk, 0, 30)) {
                Tick(progress);
                AdvanceClock(Between(walk, 50, 150));
            }
            Tick(ProgressToFinish);
            for (int i = 0; i < 80; ++i) {
                AdvanceClock(100);
                Tick(ProgressAfterFinish);
            }
            for (ScreenElement* e : transient) {
                if (pass == 0) {
                    ASSERT_EQ(e->State, 2) << "kind " << e->Kind;
                }
            }
            surfaces[pass].assign(Screen->Bits, Screen->Bits + static_cast<size_t>(Width) * Height * 4);
            for (size_t i = 0; i < transient.size(); ++i)
                transient[i]->Start = starts[i];
        }
        ASSERT_TRUE(surfaces[0] == surfaces[1]);
    }
}

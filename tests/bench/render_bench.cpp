// The install screen renderer at 1920 x 1080: a timer tick while the sample
// product's walker and a fairy move and its bar grows, a tick with nothing
// due, and the first frame with a stretched background.
//
// The scene repeats the sample product's install screen lines with pictures
// of the same sizes and kinds (a 1024 x 768 palette background, a 640 x 480
// translucent panel, a 416 x 20 bar, a 40 x 352 walker in 44-row cells, a
// 56 x 240 fairy in 40-row cells), made here so that the benchmark needs no
// generated artwork.
#include "image/epa_encode.h"
#include "image/surface.h"
#include "install/render.h"
#include "install/render_clock.h"
#include "script/setup_model.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr int32_t ScreenWidth = 1920;
constexpr int32_t ScreenHeight = 1080;

// BGRA, bottom-up; soft-edged shapes where `translucent`, else opaque and
// posterised so that the 8-bit kind holds it.
std::vector<uint8_t> MakePicture(uint32_t w, uint32_t h, bool translucent, uint32_t seed)
{
    std::vector<uint8_t> p(static_cast<size_t>(w) * h * 4);
    for (uint32_t y = 0; y < h; ++y) {
        for (uint32_t x = 0; x < w; ++x) {
            uint8_t* q = &p[(static_cast<size_t>(y) * w + x) * 4];
            const uint32_t v = (x * 7 + y * 3 + seed * 31) & 0xFF;
            q[0] = static_cast<uint8_t>(translucent ? v : v & 0xF0);
            q[1] = static_cast<uint8_t>(translucent ? (x ^ y) : (y * 255 / h) & 0xE0);
            q[2] = static_cast<uint8_t>(translucent ? seed * 40 : 0x40);
            const uint32_t edge = std::min(std::min(x, w - 1 - x), std::min(y, h - 1 - y));
            q[3] = !translucent ? 255 : edge < 2 ? 0 : edge < 6 ? 128 : (x / 8 + y / 8) % 5 == 0 ? 0 : 255;
        }
    }
    return p;
}

struct BenchFolder {
    std::string Path;
    std::string Previous;

    BenchFolder()
    {
        char pattern[] = "/tmp/drubel-render-bench-XXXXXX";
        Path = mkdtemp(pattern) != nullptr ? pattern : ".";
        char here[4096];
        Previous = getcwd(here, sizeof here) != nullptr ? here : ".";
        Write("BACK.EPA", 1024, 768, false, 1);
        Write("BASE.EPA", 640, 480, true, 2);
        Write("FRAME.EPA", 440, 36, true, 3);
        Write("BAR.EPA", 416, 20, true, 4);
        Write("WALKER.EPA", 40, 352, true, 5);
        Write("FAIRY.EPA", 56, 240, true, 6);
    }

    ~BenchFolder()
    {
        for (const char* name : {"BACK.EPA", "BASE.EPA", "FRAME.EPA", "BAR.EPA", "WALKER.EPA", "FAIRY.EPA"})
            unlink((Path + "/" + name).c_str());
        rmdir(Path.c_str());
    }

    void Write(const char* name, uint32_t w, uint32_t h, bool translucent, uint32_t seed)
    {
        std::vector<uint8_t> file;
        std::string error;
        const std::vector<uint8_t> pixels = MakePicture(w, h, translucent, seed);
        if (!EncodeEpa(pixels.data(), w, h, EpaBitsAuto, &file, &error))
            fprintf(stderr, "render bench: %s: %s\n", name, error.c_str());
        FILE* f = fopen((Path + "/" + name).c_str(), "wb");
        if (f != nullptr) {
            fwrite(file.data(), 1, file.size(), f);
            fclose(f);
        }
    }
};

BenchFolder& Folder()
{
    static BenchFolder folder;
    return folder;
}

ScreenElement& AddLine(int32_t kind, const char* picture)
{
    for (ScreenElement& e : SetupScript.ScreenElements) {
        if (e.Kind == KindFree) {
            e.Kind = kind;
            snprintf(e.ImageFile, sizeof e.ImageFile, "%s", picture);
            return e;
        }
    }
    abort();
}

// The sample product's lines: a stretched sky, the centred panel, the gauge
// frame, the bar, the walker and one fairy (INFINITE for an idle screen).
void LoadScene(bool fairyForEver)
{
    ReleaseElementImages();
    memset(SetupScript.ScreenElements, 0, sizeof SetupScript.ScreenElements);
    AddLine(KindBack, "BACK.EPA").Mode = STRETCH_DESKTOP;
    ScreenElement& base = AddLine(KindBase, "BASE.EPA");
    base.DeltaX = 640;
    base.DeltaY = 480;
    base.Mode = CENTER_DESKTOP;
    ScreenElement& frame = AddLine(KindWrite, "FRAME.EPA");
    frame.X = 100;
    frame.Y = 432;
    ScreenElement& bar = AddLine(KindProgressBar, "BAR.EPA");
    bar.X = 112;
    bar.Y = 440;
    bar.DeltaX = 416;
    bar.End = 100;
    bar.Mode = DIRECTION_RIGHT;
    ScreenElement& walker = AddLine(KindSprite1, "WALKER.EPA");
    walker.CellHeight = 44;
    walker.X = 92;
    walker.Y = 388;
    walker.DeltaX = 416;
    walker.End = 100;
    walker.FrameInterval = 90;
    ScreenElement& fairy = AddLine(KindSprite2, "FAIRY.EPA");
    fairy.CellHeight = 40;
    fairy.X = -56;
    fairy.Y = 64;
    fairy.DeltaX = fairyForEver ? 20 : 700;
    fairy.DeltaY = 8;
    fairy.End = fairyForEver ? SPRITE_INFINITE : 60000;
    fairy.FrameInterval = 90;
    fairy.StartDelay = 90;
    fairy.FirstFrameTime = 90;
}

struct Screen {
    Surface* Target = CreateMemorySurface(ScreenWidth, ScreenHeight);
    DirtyRectList* List = AllocDirtyRectList();
    ~Screen()
    {
        FreeSurface(Target);
        FreeDirtyRectList(List);
    }
    int Frame(int phase, int progress) { return RenderInstallFrame(phase, progress, Target, List); }
};

// Phase 0 and the first tick: everything on screen, ready to move.
void StartScene(Screen* screen, bool fairyForEver, uint32_t* clock)
{
    LoadScene(fairyForEver);
    *clock = 1000;
    SetRenderClock(*clock);
    screen->Frame(RenderPhaseFirst, 0);
    screen->Frame(RenderPhaseTick, 0);
}

void BM_RenderTick_Moving(benchmark::State& state)
{
    DetectMmx();
    if (chdir(Folder().Path.c_str()) != 0)
        state.SkipWithError("no bench folder");
    Screen screen;
    uint32_t clock = 0;
    int progress = 0;
    StartScene(&screen, false, &clock);
    int64_t drawn = 0;
    for (auto _ : state) {
        // Three tenths of a percent a tick: the bar gains a pixel or two,
        // the walker's 90 ms cell step and the fairy's are due every tick.
        progress += 3;
        if (progress > 990) {
            state.PauseTiming();
            StartScene(&screen, false, &clock);
            progress = 3;
            state.ResumeTiming();
        }
        clock += 100;
        SetRenderClock(clock);
        drawn += screen.Frame(RenderPhaseTick, progress);
    }
    if (drawn != static_cast<int64_t>(state.iterations()))
        state.SkipWithError("a tick drew nothing");
    ReleaseElementImages();
    ReleaseRenderClock();
    if (chdir(Folder().Previous.c_str()) != 0)
        state.SkipWithError("cannot go back");
}
BENCHMARK(BM_RenderTick_Moving)->Unit(benchmark::kMicrosecond);

void BM_RenderTick_Idle(benchmark::State& state)
{
    DetectMmx();
    if (chdir(Folder().Path.c_str()) != 0)
        state.SkipWithError("no bench folder");
    Screen screen;
    uint32_t clock = 0;
    StartScene(&screen, true, &clock);
    // A tick after every step: nothing is due until the clock moves on.
    clock += 100;
    SetRenderClock(clock);
    screen.Frame(RenderPhaseTick, 500);
    int64_t drawn = 0;
    for (auto _ : state)
        drawn += screen.Frame(RenderPhaseTick, 500);
    if (drawn != 0)
        state.SkipWithError("an idle tick drew");
    ReleaseElementImages();
    ReleaseRenderClock();
    if (chdir(Folder().Previous.c_str()) != 0)
        state.SkipWithError("cannot go back");
}
BENCHMARK(BM_RenderTick_Idle)->Unit(benchmark::kNanosecond);

// Includes reading and decoding the background and the panel, as the
// install window's first frame does.
void BM_RenderFirstFrame_StretchedBack(benchmark::State& state)
{
    DetectMmx();
    if (chdir(Folder().Path.c_str()) != 0)
        state.SkipWithError("no bench folder");
    Screen screen;
    LoadScene(true);
    for (auto _ : state) {
        state.PauseTiming();
        ReleaseElementImages();
        screen.Target->View = Rect{0, 0, ScreenWidth, ScreenHeight};
        state.ResumeTiming();
        benchmark::DoNotOptimize(screen.Frame(RenderPhaseFirst, 0));
    }
    ReleaseElementImages();
    if (chdir(Folder().Previous.c_str()) != 0)
        state.SkipWithError("cannot go back");
}
BENCHMARK(BM_RenderFirstFrame_StretchedBack)->Unit(benchmark::kMillisecond);

}  // namespace

// One progress frame of the install window at 1920 x 1080, as its timer
// tick makes it: the progress value from the byte counters, the renderer's
// tick, and the walk over the changed rectangles that the window copies to
// the screen. The copy runs through a whole installation, 0 to 1000 in the
// small steps a real copy makes, then the finish frames.
//
// The scene is the sample product's kind: a stretched background, a centred
// translucent panel, a picture that changes at a quarter, a tip that comes
// and goes, a growing bar, a walker along it, and the finish plate.
#include "image/epa_encode.h"
#include "image/surface.h"
#include "install/install_flow.h"
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

std::vector<uint8_t> Picture(uint32_t w, uint32_t h, bool translucent, uint32_t seed)
{
    std::vector<uint8_t> p(static_cast<size_t>(w) * h * 4);
    for (uint32_t y = 0; y < h; ++y)
        for (uint32_t x = 0; x < w; ++x) {
            uint8_t* q = &p[(static_cast<size_t>(y) * w + x) * 4];
            q[0] = static_cast<uint8_t>((x * 5 + seed * 17) & 0xF0);
            q[1] = static_cast<uint8_t>((y * 3 + seed * 29) & 0xE0);
            q[2] = static_cast<uint8_t>(seed * 50);
            q[3] = !translucent ? 255 : (x / 6 + y / 6) % 4 == 0 ? 0 : (x + y) % 3 == 0 ? 128 : 255;
        }
    return p;
}

struct SceneFolder {
    std::string Path;
    std::string Previous;
    std::vector<std::string> Names;

    SceneFolder()
    {
        char pattern[] = "/tmp/drubel-install-bench-XXXXXX";
        Path = mkdtemp(pattern) != nullptr ? pattern : ".";
        char here[4096];
        Previous = getcwd(here, sizeof here) != nullptr ? here : ".";
        Write("BACK.EPA", 1024, 768, false, 1);
        Write("BASE.EPA", 640, 480, true, 2);
        Write("SCENE1.EPA", 600, 270, false, 3);
        Write("SCENE2.EPA", 600, 270, false, 4);
        Write("TIP.EPA", 600, 44, true, 5);
        Write("BAR.EPA", 416, 20, true, 6);
        Write("WALKER.EPA", 40, 352, true, 7);
        Write("FINISH.EPA", 400, 150, true, 8);
    }
    ~SceneFolder()
    {
        for (const std::string& name : Names)
            unlink((Path + "/" + name).c_str());
        rmdir(Path.c_str());
    }
    void Write(const char* name, uint32_t w, uint32_t h, bool translucent, uint32_t seed)
    {
        std::vector<uint8_t> file;
        std::string error;
        const std::vector<uint8_t> pixels = Picture(w, h, translucent, seed);
        if (!EncodeEpa(pixels.data(), w, h, EpaBitsAuto, &file, &error))
            fprintf(stderr, "install bench: %s: %s\n", name, error.c_str());
        FILE* f = fopen((Path + "/" + name).c_str(), "wb");
        if (f != nullptr) {
            fwrite(file.data(), 1, file.size(), f);
            fclose(f);
        }
        Names.push_back(name);
    }
};

ScreenElement& Line(int32_t kind, const char* picture, int32_t x, int32_t y)
{
    for (ScreenElement& e : SetupScript.ScreenElements) {
        if (e.Kind == KindFree) {
            e.Kind = kind;
            snprintf(e.ImageFile, sizeof e.ImageFile, "%s", picture);
            e.X = x;
            e.Y = y;
            return e;
        }
    }
    abort();
}

void LoadScene()
{
    ReleaseElementImages();
    memset(SetupScript.ScreenElements, 0, sizeof SetupScript.ScreenElements);
    Line(KindBack, "BACK.EPA", 0, 0).Mode = STRETCH_DESKTOP;
    ScreenElement& base = Line(KindBase, "BASE.EPA", 0, 0);
    base.DeltaX = 640;
    base.DeltaY = 480;
    base.Mode = CENTER_DESKTOP;
    Line(KindWrite, "SCENE1.EPA", 20, 56).Start = 0;
    Line(KindWrite, "SCENE2.EPA", 20, 56).Start = 25;
    ScreenElement& tip = Line(KindElement, "TIP.EPA", 20, 334);
    tip.Start = 35;
    tip.End = 60;
    ScreenElement& bar = Line(KindProgressBar, "BAR.EPA", 112, 440);
    bar.DeltaX = 416;
    bar.End = 100;
    bar.Mode = DIRECTION_RIGHT;
    ScreenElement& walker = Line(KindSprite1, "WALKER.EPA", 92, 388);
    walker.CellHeight = 44;
    walker.DeltaX = 416;
    walker.End = 100;
    walker.FrameInterval = 90;
    Line(KindFinish, "FINISH.EPA", 120, 116).Mode = NORMAL;
}

// What the window copies to the screen: the listed rectangles' area.
int64_t ListedArea(const DirtyRectList* list)
{
    int64_t area = 0;
    for (int i = 0; i < DirtyRectSlots && list->Slots[i]->InUse; ++i) {
        const DirtyRect* r = list->Slots[i];
        area += static_cast<int64_t>(r->right - r->left) * (r->bottom - r->top);
    }
    return area;
}

void BM_InstallProgressFrame(benchmark::State& state)
{
    DetectMmx();
    static SceneFolder folder;
    if (chdir(folder.Path.c_str()) != 0)
        state.SkipWithError("no bench folder");
    Surface* screen = CreateMemorySurface(ScreenWidth, ScreenHeight);
    DirtyRectList* list = AllocDirtyRectList();
    // Bytes of a 2 GB installation, read and written: a tick sees about a
    // thousandth of it more each time.
    const uint64_t total = 2ull * 2000000000ull;
    const uint64_t step = total / 1100;
    uint64_t done = 0;
    uint32_t clock = 1000;
    int64_t area = 0;
    int64_t frames = 0;
    auto restart = [&] {
        LoadScene();
        screen->View = Rect{0, 0, ScreenWidth, ScreenHeight};
        SetRenderClock(clock);
        RenderInstallFrame(RenderPhaseFirst, 0, screen, list);
        done = 0;
    };
    restart();
    for (auto _ : state) {
        done += step;
        clock += 100;
        SetRenderClock(clock);
        int progress = 0;
        if (done > total) {
            // The finish: the 1010 frame, the finish pictures, a 1020 tick.
            RenderInstallFrame(RenderPhaseTick, ProgressToFinish, screen, list);
            area += ListedArea(list);
            RenderInstallFrame(RenderPhaseFinish, ProgressToFinish, screen, list);
            area += ListedArea(list);
            TickProgress(true, 0, 0, total, &progress);
            RenderInstallFrame(RenderPhaseTick, progress, screen, list);
            area += ListedArea(list);
            frames += 3;
            state.PauseTiming();
            restart();
            state.ResumeTiming();
            continue;
        }
        TickProgress(false, done / 2, done / 2, total, &progress);
        if (RenderInstallFrame(RenderPhaseTick, progress, screen, list))
            area += ListedArea(list);
        ++frames;
    }
    state.counters["frames"] = benchmark::Counter(static_cast<double>(frames), benchmark::Counter::kIsRate);
    state.counters["px_per_frame"] = frames ? static_cast<double>(area) / frames : 0;
    ReleaseElementImages();
    ReleaseRenderClock();
    FreeDirtyRectList(list);
    FreeSurface(screen);
    if (chdir(folder.Previous.c_str()) != 0)
        state.SkipWithError("cannot go back");
}
BENCHMARK(BM_InstallProgressFrame)->Unit(benchmark::kMicrosecond);

}  // namespace

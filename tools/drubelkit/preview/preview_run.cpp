#include "preview/preview_run.h"

#include "image/surface.h"
#include "install/render.h"
#include "install/render_clock.h"
#include "preview/preview_sheet.h"
#include "preview/preview_stage.h"
#include "preview/preview_walk.h"
#include "script/setup_model.h"
#include "shared/cli.h"
#include "shared/host_files.h"
#include "shared/png_io.h"

#include <cstdio>
#include <cstring>

namespace {

Canvas CanvasFromSurface(const Surface* surface)
{
    Canvas c;
    c.Width = surface->Width;
    c.Height = surface->Height;
    c.Pixels.assign(surface->Bits, surface->Bits + static_cast<size_t>(c.Width) * c.Height * 4);
    for (size_t i = 3; i < c.Pixels.size(); i += 4)
        c.Pixels[i] = 0xFF;  // the fourth byte of a surface is never shown
    return c;
}

bool SavePng(const std::string& path, const Canvas& canvas)
{
    std::vector<uint8_t> file;
    std::string error;
    if (!WritePng(static_cast<uint32_t>(canvas.Width), static_cast<uint32_t>(canvas.Height),
                  canvas.Pixels.data(), &file, &error)) {
        fprintf(stderr, "drubelkit preview: %s\n", error.c_str());
        return false;
    }
    if (!WriteWholeFile(path, file)) {
        fprintf(stderr, "drubelkit preview: cannot write '%s'\n", path.c_str());
        return false;
    }
    return true;
}

std::string FramePath(const std::string& folder, size_t index)
{
    char name[32];
    snprintf(name, sizeof name, "/frame-%04zu.png", index);
    return folder + name;
}

// Phase 0, then every planned tick on a clock `TickMs` further each time.
bool Animate(const PreviewOptions& o, const std::vector<PreviewTick>& ticks, Surface* surface,
             DirtyRectList* list, std::vector<PreviewShot>* shots)
{
    const uint32_t start = 0;
    SetRenderClock(start);
    RenderInstallFrame(RenderPhaseFirst, 0, surface, list);
    if (!o.FramesDir.empty() && !SavePng(FramePath(o.FramesDir, 0), CanvasFromSurface(surface)))
        return false;
    for (size_t i = 0; i < ticks.size(); ++i) {
        const uint32_t now = start + static_cast<uint32_t>((i + 1) * static_cast<uint64_t>(o.TickMs));
        SetRenderClock(now);
        RenderInstallFrame(RenderPhaseTick, ticks[i].Progress, surface, list);
        // The install window asks for the finish pictures right after the
        // 1010 frame, within the same moment.
        if (ticks[i].Finish)
            RenderInstallFrame(RenderPhaseFinish, 0, surface, list);
        if (!o.FramesDir.empty() && !SavePng(FramePath(o.FramesDir, i + 1), CanvasFromSurface(surface)))
            return false;
        if (ticks[i].Shot >= 0)
            shots->push_back(PreviewShot{CanvasFromSurface(surface), PreviewLabel(ticks[i].Progress, now - start)});
    }
    return true;
}

}  // namespace

std::string PreviewLabel(int progress, uint32_t ms)
{
    char text[96];
    if (progress <= 1000)
        snprintf(text, sizeof text, "%d  (%d.%d%%)", progress, progress / 10, progress % 10);
    else if (progress == ProgressToFinish)
        snprintf(text, sizeof text, "%d  TO_FINISH + FINISH", progress);
    else
        snprintf(text, sizeof text, "%d  AFTER_FINISH", progress);
    char time[32];
    snprintf(time, sizeof time, "   T+%u.%u S", ms / 1000, (ms % 1000) / 100);
    return std::string(text) + time;
}

int RunPreview(const PreviewOptions& o)
{
    std::vector<PreviewTick> ticks;
    std::string error;
    if (!PlanPreviewWalk(o.Values, o.Step, &ticks, &error)) {
        fprintf(stderr, "drubelkit preview: %s\n", error.c_str());
        return ExitUsage;
    }
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(o.Script, &bytes)) {
        fprintf(stderr, "drubelkit preview: cannot read the script '%s'\n", o.Script.c_str());
        return ExitBadInput;
    }
    const std::string text(bytes.begin(), bytes.end());
    if (!o.FramesDir.empty()) {
        if (!HostMakeFolder(o.FramesDir)) {
            fprintf(stderr, "drubelkit preview: cannot make the folder '%s'\n", o.FramesDir.c_str());
            return ExitBadInput;
        }
    }

    PreviewStage stage;
    if (!EnterPreviewStage(o.Script, o.Archive, &stage, &error)) {
        fprintf(stderr, "drubelkit preview: %s\n", error.c_str());
        return ExitBadInput;
    }
    if (LoadPreviewScript(text) != 1) {
        LeavePreviewStage(&stage);
        fprintf(stderr, "drubelkit preview: the launcher refuses '%s' ('drubelkit check' tells why)\n",
                o.Script.c_str());
        return ExitBadInput;
    }
    const int missing = ReportMissingPictures(o.Script, text);

    DetectMmx();  // the blend the program would use on this processor
    Surface* surface = CreateMemorySurface(o.Width, o.Height);
    DirtyRectList* list = AllocDirtyRectList();
    std::vector<PreviewShot> shots;
    bool written = surface != nullptr && list != nullptr && Animate(o, ticks, surface, list, &shots);
    ReleaseElementImages();
    ReleaseRenderClock();
    FreeSurface(surface);
    FreeDirtyRectList(list);
    LeavePreviewStage(&stage);
    if (surface == nullptr || list == nullptr)
        fprintf(stderr, "drubelkit preview: no memory for a %dx%d screen\n", o.Width, o.Height);
    if (written && !o.Output.empty())
        written = SavePng(o.Output, ComposeContactSheet(shots));
    if (!written)
        return ExitBadInput;
    if (!o.FramesDir.empty())
        fprintf(stderr, "drubelkit preview: wrote %zu frames to %s\n", ticks.size() + 1, o.FramesDir.c_str());
    if (missing > 0)
        fprintf(stderr, "drubelkit preview: %d picture%s missing\n", missing, missing == 1 ? "" : "s");
    return missing > 0 ? ExitBadInput : ExitOk;
}

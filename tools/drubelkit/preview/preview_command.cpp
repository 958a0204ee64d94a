#include "preview/preview_run.h"
#include "preview/preview_walk.h"
#include "shared/cli.h"

#include "shared/host_files.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

static const char PreviewUsage[] =
    "usage: drubelkit preview [--pak ARCHIVE] SCRIPT --size WxH --at P1,P2,...\n"
    "                         [--tick MS] [--step N] (-o OUT.png | --frames DIR)\n"
    "\n"
    "Shows the install screen of a setup script without Windows: the launcher's\n"
    "own renderer draws it on a WxH screen, first frame, then one timer tick\n"
    "after another on a clock that advances MS milliseconds a tick (default 100).\n"
    "Progress starts at 0 and walks up by N a tick (default 5, in tenths of a\n"
    "percent) to each listed value in turn; 1010 (copying done; the FINISH\n"
    "pictures follow) and 1020 (the finish screen) may be listed after 1000.\n"
    "A value listed twice shows one more tick. Nothing is drawn past the last.\n"
    "\n"
    "--pak ARCHIVE   take the pictures from this Instdata.pak, as on the disc;\n"
    "                without it they are the files beside SCRIPT (or members\n"
    "                of the Instdata.pak there)\n"
    "-o OUT.png      a contact sheet: one labelled frame per listed value\n"
    "--frames DIR    every frame as its own PNG instead: DIR/frame-0000.png is\n"
    "                the first frame, then one per tick, for an animation\n"
    "\n"
    "Pictures that cannot be loaded are named on standard error.\n"
    "Exit status: 0 written, 1 bad input or missing pictures (the output is\n"
    "still written), 2 bad usage.\n";

static bool ParseSize(const char* text, int32_t* width, int32_t* height)
{
    char* end = nullptr;
    const long w = strtol(text, &end, 10);
    if (end == text || (*end != 'x' && *end != 'X'))
        return false;
    const char* second = end + 1;
    const long h = strtol(second, &end, 10);
    if (end == second || *end != '\0' || w < 1 || h < 1 || w > 16384 || h > 16384)
        return false;
    *width = static_cast<int32_t>(w);
    *height = static_cast<int32_t>(h);
    return true;
}

static bool ParseCount(const char* text, int low, int high, int* value)
{
    char* end = nullptr;
    const long v = strtol(text, &end, 10);
    if (end == text || *end != '\0' || v < low || v > high)
        return false;
    *value = static_cast<int>(v);
    return true;
}

// Frames are written from inside the folder the pictures are read from.
static std::string Absolute(const std::string& path)
{
    if (path.empty() || path[0] == '/' || (path.size() > 1 && path[1] == ':') || path[0] == '\\')
        return path;
    const std::string here = HostCurrentFolder();
    return here.empty() ? path : here + HostSlash + path;
}

static int Usage(const char* problem)
{
    if (problem != nullptr)
        fprintf(stderr, "drubelkit preview: %s\n\n", problem);
    fputs(PreviewUsage, stderr);
    return ExitUsage;
}

int RunPreviewCommand(int argc, char** argv)
{
    PreviewOptions o;
    bool sized = false;
    for (int i = 1; i < argc; ++i) {
        const char* a = argv[i];
        const bool hasValue = i + 1 < argc;
        if (IsHelpFlag(a)) {
            fputs(PreviewUsage, stdout);
            return ExitOk;
        }
        if (strcmp(a, "--pak") == 0 && hasValue) {
            o.Archive = argv[++i];
        } else if (strcmp(a, "--size") == 0 && hasValue) {
            if (!ParseSize(argv[++i], &o.Width, &o.Height))
                return Usage("--size takes WIDTHxHEIGHT, each 1 to 16384");
            sized = true;
        } else if (strcmp(a, "--at") == 0 && hasValue) {
            std::string error;
            if (!ParseProgressList(argv[++i], &o.Values, &error))
                return Usage(error.c_str());
        } else if (strcmp(a, "--tick") == 0 && hasValue) {
            if (!ParseCount(argv[++i], 1, 600000, &o.TickMs))
                return Usage("--tick takes milliseconds, 1 to 600000");
        } else if (strcmp(a, "--step") == 0 && hasValue) {
            if (!ParseCount(argv[++i], 1, 1000, &o.Step))
                return Usage("--step takes tenths of a percent, 1 to 1000");
        } else if (strcmp(a, "-o") == 0 && hasValue) {
            o.Output = argv[++i];
        } else if (strcmp(a, "--frames") == 0 && hasValue) {
            o.FramesDir = argv[++i];
        } else if (a[0] != '-' && o.Script.empty()) {
            o.Script = a;
        } else if (a[0] == '-' && a[1] != '\0') {
            bool known = false;
            for (const char* name : {"--pak", "--size", "--at", "--tick", "--step", "-o", "--frames"})
                known = known || strcmp(a, name) == 0;
            const std::string problem =
                known ? std::string(a) + " needs a value" : std::string("unknown option '") + a + "'";
            return Usage(problem.c_str());
        } else {
            const std::string problem = std::string("one script at a time: '") + o.Script + "' and '" + a + "'";
            return Usage(problem.c_str());
        }
    }
    if (o.Script.empty() || !sized || o.Values.empty())
        return Usage("SCRIPT, --size and --at are needed");
    if (o.Output.empty() == o.FramesDir.empty())
        return Usage("give either -o OUT.png or --frames DIR");
    o.Output = Absolute(o.Output);
    o.FramesDir = Absolute(o.FramesDir);
    return RunPreview(o);
}

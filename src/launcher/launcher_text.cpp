#include "launcher/launcher_text.h"

#include "common/drive_root.h"
#include "common/text.h"
#include "image/epa.h"
#include "script/setup_model.h"

#include <cstdlib>

void FormatLauncherCaption(char* caption, size_t size, const char* title, const char* subtitle)
{
    if (subtitle[0] == '\0')
        CopyText(caption, size, title);
    else
        FormatText(caption, size, "%s %s", title, subtitle);
}

void FormatDirectXPrompt(char* prompt, size_t size, const char* message, const char* title)
{
    if (message[0] != '\0')
        CopyText(prompt, size, message);
    else
        FormatText(prompt, size, "%s のディスクを挿入して下さい。", title);
}

bool FormatDirectXPath(char* path, size_t size, int drive, const char* place)
{
    char root[4];
    if (!FormatDriveRoot(drive, root, sizeof root)) {
        if (size > 0)
            path[0] = '\0';
        return false;
    }
    return FormatDirectXPathAt(path, size, root, place);
}

bool FormatDirectXPathAt(char* path, size_t size, const char* root, const char* place)
{
    if (!CopyText(path, size, root) || !AppendText(path, size, place)) {
        if (size > 0)
            path[0] = '\0';
        return false;
    }
    return true;
}

uint8_t* LoadTitlePicture(int32_t* width, int32_t* height)
{
    int32_t w = 0;
    int32_t h = 0;
    char path[PathWidth];
    uint8_t* pixels = SourcePath(path, TitlePictureName) ? LoadEpaImage(path, &w, &h) : nullptr;
    // A picture whose size is unknown cannot be drawn without reading past it.
    if (pixels && (w <= 0 || h <= 0)) {
        free(pixels);
        pixels = nullptr;
    }
    if (!pixels)
        return nullptr;
    *width = w;
    *height = h;
    return pixels;
}

void DrawTitlePicture(Surface* surface, const uint8_t* pixels, int32_t width, int32_t height)
{
    DrawImage(surface, pixels, 0, 0, width, height, 0);
}

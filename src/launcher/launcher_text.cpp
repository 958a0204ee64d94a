#include "launcher/launcher_text.h"

#include "archive/osfile.h"
#include "archive/pak.h"
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
    if (!FormatDriveRoot(drive, path, size))
        return false;
    if (!AppendText(path, size, place)) {
        path[0] = '\0';
        return false;
    }
    return true;
}

uint8_t* LoadTitlePicture(int32_t* width, int32_t* height)
{
    int32_t w = 0;
    int32_t h = 0;
    uint8_t* pixels = LoadEpaImage("TITLE.EPA", &w, &h);
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

bool FormatUnreadableDataMessage(char* dest, size_t size, const char* fileName)
{
    return FormatText(dest, size,
                      "ディスクのセットアップデータ（%s）が正しく読めません。処理を中断します。",
                      fileName);
}

static bool ArchiveIsSound()
{
    OsFile file = OsOpenRead(ArchiveFileName);
    if (file == nullptr)
        return false;
    uint64_t size = 0;
    uint8_t header[PakHeaderSize];
    uint32_t got = 0;
    PakDirectory directory;
    const bool sound = OsFileSize(file, &size) && OsRead(file, header, sizeof header, &got) &&
                       got == sizeof header && PakParseHeader(header, size, &directory) &&
                       directory.Count != 0;
    OsClose(file);
    return sound;
}

const char* UnreadableDataName(const char* member)
{
    OsFile loose = OsOpenRead(member);
    if (loose != nullptr) {
        OsClose(loose);
        return member;
    }
    return ArchiveIsSound() ? member : ArchiveFileName;
}

#include "archive/setup_data.h"

#include "archive/osfile.h"
#include "archive/pak.h"
#include "common/text.h"

bool FormatUnreadableDataMessage(char* dest, size_t size, const char* fileName)
{
    return FormatText(dest, size,
                      "ディスクのセットアップデータ（%s）が正しく読めません。処理を中断します。",
                      fileName);
}

static bool ArchiveIsSound(const char* archive)
{
    OsFile file = OsOpenRead(archive);
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

const char* UnreadableDataName(const char* memberPath)
{
    const char* member = PakSearchName(memberPath);
    OsFile loose = OsOpenRead(memberPath);
    if (loose != nullptr) {
        OsClose(loose);
        return member;
    }
    char archive[260];
    return PakArchiveBeside(archive, sizeof archive, memberPath) && ArchiveIsSound(archive)
               ? member
               : ArchiveFileName;
}

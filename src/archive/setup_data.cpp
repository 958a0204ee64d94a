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

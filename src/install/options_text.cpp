#include "install/options_text.h"

#include "common/text.h"
#include "install/install_sizes.h"

bool ComposeOptionsCaption(char* dest, size_t size, const char* title)
{
    return FormatText(dest, size, "%s のインストール設定", title);
}

bool ComposeOptionLabel(char* dest, size_t size, const char* title, uint64_t bytes)
{
    char digits[24] = {};
    FormatDecimal(DisplayMegabytes(bytes), digits);
    return FormatText(dest, size, "%s ( %sMB)", title, digits);
}

bool ComposeFolderHint(char* dest, size_t size, const char* mustMakeFolder)
{
    return FormatText(dest, size, "（指定場所に %s フォルダを作成し、そこにインストールします。）",
                      mustMakeFolder);
}

void DrivePartOf(const char* path, char* drive, size_t size)
{
    const char letter = path[0];
    const bool isLetter = (letter >= 'A' && letter <= 'Z') || (letter >= 'a' && letter <= 'z');
    if (isLetter && path[1] == ':')
        CopyTextN(drive, size, path, 2);
    else
        CopyText(drive, size, "");
}

bool ComposeInstallFolder(char* basePath, const char* mustMakeFolder, char* installFolder,
                          size_t folderSize)
{
    CutTrailingBackslash(basePath);
    return FormatText(installFolder, folderSize, "%s\\%s", basePath, mustMakeFolder);
}

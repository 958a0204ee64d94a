#include "install/options_text.h"

#include "common/drive_root.h"
#include "common/path_rules.h"
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

DestinationVerdict JudgeDestination(const char* text, const char* mustMakeFolder,
                                    const char* brandFolder, uint64_t required,
                                    const DestinationSystem& system, Destination* out)
{
    *out = Destination{};
    if (text == nullptr)
        return DestinationInvalid;
    out->Read = CopyText(out->Typed, sizeof out->Typed, text);
    if (!out->Read || !IsPlainFolderPath(mustMakeFolder) || !IsPlainFolderPath(brandFolder) ||
        !IsAbsoluteFolderPath(text) || !system.Resolve(system.Context, out->Typed))
        return DestinationInvalid;
    char base[PathWidth];
    CopyText(base, sizeof base, out->Typed);
    if (!ComposeInstallFolder(base, mustMakeFolder, out->InstallFolder, sizeof out->InstallFolder) ||
        !system.UsableHere(system.Context, out->InstallFolder)) {
        out->InstallFolder[0] = '\0';
        return DestinationInvalid;
    }
    char drive[PathWidth];
    DrivePartOf(out->Typed, drive, sizeof drive);
    if (drive[0] == '\0')
        return DestinationDriveUnknown;
    uint64_t available = 0;
    if (!system.FreeBytes(system.Context, drive, &available))
        return DestinationDriveInvalid;
    // A drive root keeps its backslash: "C:" alone is the current folder there.
    CopyText(out->Chosen, sizeof out->Chosen, out->Typed);
    CutTrailingBackslashKeepRoot(out->Chosen);
    return required > available ? DestinationShortOfSpace : DestinationAccepted;
}

const char* DestinationMessage(DestinationVerdict verdict)
{
    switch (verdict) {
    case DestinationInvalid:
        return "インストール先の指定が不正です。再度入力して下さい。";
    case DestinationDriveUnknown:
        return "インストール先のドライブが不明です。再度入力して下さい。";
    case DestinationDriveInvalid:
        return "インストール先のドライブが不正です。再度入力して下さい。";
    default:
        return nullptr;
    }
}

bool FormatLinkedDestinationMessage(char* dest, size_t size, const char* link)
{
    return FormatText(dest, size,
                      "インストール先のフォルダに別の場所へのリンクがあります。\r\n\r\n%s\r\n\r\n"
                      "別のフォルダを指定して下さい。",
                      link);
}

// The setup model: every value of the setup script and the run-time choices
// of the launcher, in one process-wide record with fixed widths.
//
// Texts are NUL-terminated Shift-JIS. Script values and list slots are 64
// bytes (63 + terminator); paths and file names are 260 bytes.
#pragma once

#include "archive/pak.h"
#include "common/geometry.h"

#include <cstddef>
#include <cstdint>

constexpr int TextWidth = 64;
constexpr int PathWidth = 260;
constexpr int ModuleNameWidth = 128;
constexpr int MaxDiscs = 10;
constexpr int MaxFilesPerDisc = 1024;
constexpr int MaxExecSteps = 10;
constexpr int MaxScreenElements = 256;
constexpr int MaxShortcuts = 20;
constexpr int MaxSaveData = 256;
constexpr int MaxOptionTitles = 3;
constexpr int MaxMakeFolders = 32;

constexpr const char ScriptFileName[] = "Drubel.ini";

// Named values of the script language.
constexpr int32_t CHANGECD = 1;
constexpr int32_t LOADINIFROMCD = 2;
constexpr int32_t LOADINIFROMHD = 3;
constexpr int32_t POPUPMESSAGE = static_cast<int32_t>(0x80000001u);
constexpr int32_t NORMAL = 0x10000;
constexpr int32_t STRETCH_DESKTOP = 0x10001;
constexpr int32_t CENTER_DESKTOP = 0x10002;
constexpr int32_t SMALL = 0x10003;
constexpr int32_t DIRECTION_LEFT = 0x20001;
constexpr int32_t DIRECTION_RIGHT = 0x20002;
constexpr int32_t DIRECTION_UP = 0x20004;
constexpr int32_t DIRECTION_DOWN = 0x20008;
constexpr int32_t DIRECTION_LEFTUP = 0x20005;
constexpr int32_t DIRECTION_LEFTDOWN = 0x20009;
constexpr int32_t DIRECTION_RIGHTUP = 0x20006;
constexpr int32_t DIRECTION_RIGHTDOWN = 0x2000A;
constexpr int32_t TO_FINISH = 101;
constexpr int32_t AFTER_FINISH = 102;
// INFINITE is taken by <windows.h> (with the same bits, as a DWORD).
constexpr int32_t SPRITE_INFINITE = -1;

// Screen element kinds, by script key.
enum ElementKind : int32_t {
    KindFree = 0,
    KindBack = 1,
    KindBase = 2,
    KindWrite = 3,
    KindElement = 4,
    KindProgressBar = 5,
    KindSprite1 = 6,
    KindSprite2 = 7,
    KindFinish = 8,
};

// AppMode values.
enum AppModeValue : uint32_t {
    ModeMenu = 0,
    ModeInstall = 1,
    ModeUninstall = 2,
    ModeStartGame = 3,
    ModeVerify = 4,
    ModeExit = 5,
};

// InstallOption bits.
constexpr uint32_t OptionFull = 8;
constexpr uint32_t OptionSecond = 4;
constexpr uint32_t OptionThird = 2;
constexpr uint32_t OptionFourth = 1;
constexpr uint32_t DesktopShortcutBit = 0x20;

struct ExecStep {
    int32_t Code;           // 0 ends the list
    uint32_t Argument;      // the number, when ArgumentText is null
    char* ArgumentText;     // owned 260-byte block when the script quoted the argument
};

struct FileEntry {
    char* Name;             // owned 260-byte block, or null: the first null ends a disc's list
    uint64_t ByteSize;      // files of 4 GB and more keep their size
    uint32_t OptionMask;
    char Digest[TextWidth]; // expected MD5, 32 lower-case hex digits, or empty
};

struct ScreenElement {
    int32_t Kind;
    int32_t State;          // 0 waiting, 1 on screen, 2 finished
    int32_t Mode;
    int32_t Start;
    int32_t End;
    int32_t X, Y;
    char ImageFile[TextWidth];
    int32_t FrameInterval;
    int32_t FirstFrameTime;
    int32_t StartDelay;
    int32_t ImageWidth, ImageHeight;
    int32_t DeltaX, DeltaY;
    int32_t CellHeight;
    uint8_t* ImagePixels;   // owned
    uint8_t* UnderPixels;   // owned
    uint32_t LastTick;
    int32_t Frame;
    uint32_t NextTick;
    int32_t UnderValid;
    Rect DrawnRect;
};

struct SetupScriptRecord {
    // Script values, named by their keys.
    ExecStep EXEC[MaxExecSteps];
    uint32_t DISCNUM;
    char DISCLABEL[MaxDiscs][TextWidth];
    char DISCNAME[MaxDiscs][TextWidth];
    char APPLITITLE[TextWidth];
    char SUBTITLE[TextWidth];
    char EXENAME[TextWidth];
    char MUSTMAKEFOLDER[TextWidth];
    char REGADDRESS[TextWidth];
    FileEntry DiscFiles[MaxDiscs][MaxFilesPerDisc];  // FILELIST, FILESIZE, FILEOPTION, FILE
    char SHORTCUTLABEL[MaxShortcuts][TextWidth];
    char SHORTCUTNAME[MaxShortcuts][TextWidth];
    char SHORTCUTLINK[MaxShortcuts][TextWidth];
    char SHORTCUTFOLDER[MaxShortcuts][TextWidth];
    char SHORTCUTPARAM[MaxShortcuts][TextWidth];
    char SAVEFOLDER[TextWidth];
    char SAVEDATA[MaxSaveData][TextWidth];
    char KEYFILE[MaxDiscs][TextWidth];
    char OPTIONTITLE[MaxOptionTitles][TextWidth];
    char MAKEFOLDER[MaxMakeFolders][TextWidth];
    ScreenElement ScreenElements[MaxScreenElements];  // BACK ... FINISH
    uint32_t DXDISC[MaxDiscs];
    char DXMESSAGE[TextWidth];
    char DXPLACE[TextWidth];
    char BRANDNAME[TextWidth];
    char BRANDFOLDER[TextWidth];

    // Run-time fields.
    char InstallFolder[PathWidth];
    uint32_t InstallOption;
    uint32_t AppMode;
    int32_t IsInstalled;
    uint8_t DiscDrive;      // 1 = A: ... 26 = Z:, 0 = none
    char InstallBasePath[PathWidth];
    char ModuleName[ModuleNameWidth];
    void* Instance;         // HINSTANCE of the program
    int32_t ModelReady;
    char SavePath[PathWidth];  // the save-data folder, set when it is made or found
    // The folder the script, the archive and the pictures are read from, with
    // its trailing backslash: the program's own folder, or the temporary
    // folder once a start-up step has fetched the setup data there. Every
    // such file is opened by an absolute path made with SourcePath; the
    // current folder is never used. Only a program start clears it.
    char SourceFolder[PathWidth];
    // The root folder of the disc last located, with its trailing backslash:
    // a drive root ("E:\") or a folder that holds a disc's copy
    // ("D:\Games\DISC2\"). Every file read from a disc is named from it.
    // DiscDrive names its drive when it is a drive's root, else 0.
    char DiscRoot[PathWidth];
    // The folder the player started the launcher from, with its trailing
    // backslash: where the search looks for discs copied beside it. The
    // temporary copy learns it from the instance that started it.
    char StartFolder[PathWidth];
};

extern SetupScriptRecord SetupScript;

// Clears the record for a (re)load; see setup_model.cpp for what survives.
void ResetSetupScript();
// The record as at a program start: what it owns freed, every field zero,
// then the start-up's first reset (KEYFILE and DISCNUM empty as well).
void ClearSetupScript();
// Reads Drubel.ini (loose in SourceFolder, else from its Instdata.pak) into the record: 1 loaded, 0 failed.
int LoadSetupScript();
// The same from a file already opened (or null, which fails as a missing
// script), which it closes: what a script held in memory goes through.
int LoadSetupScriptFrom(PakFile* file);
// `name` in SourceFolder. With no SourceFolder (the host tools, which
// stage the setup data in their current folder) the name alone. False, with
// an empty text, when the path does not fit.
bool SourcePath(char* out, size_t size, const char* name);
template <size_t N>
inline bool SourcePath(char (&out)[N], const char* name) { return SourcePath(out, N, name); }
// The root folder of the disc last located, with its trailing backslash:
// DiscRoot, or the root of DiscDrive when no folder was recorded. False,
// with an empty text, when neither names one.
bool LocatedDiscRoot(char* root, size_t size);
// The Name of an entry (0-based disc), or null past the end of the table.
const char* GetFileListEntry(int disc, int entry);
// Frees every element's pixels and sets State back to 0; the script values stay.
void ReleaseElementImages();

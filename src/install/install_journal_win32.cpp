#include "install/install_journal.h"

#include "common/link_guard.h"
#include "common/link_walk.h"
#include "common/path_rules.h"
#include "common/setup_log.h"
#include "common/system_text.h"
#include "common/text.h"
#include "script/setup_model.h"
#include "uninstall/uninstall.h"
#include "uninstall/uninstall_entry.h"
#include "uninstall/uninstall_paths.h"

#include <windows.h>
#include <shlobj.h>

#include <cstdlib>
#include <cstring>

namespace {

// A journal larger than this is no journal of ours (a line per file of ten
// full discs is far less).
constexpr DWORD MaxJournalBytes = 16u * 1024 * 1024;

// The places outside the install folder an installation makes, worked out
// on the main thread when the journal starts, so that an undo on the copy
// worker's thread needs no shell call.
struct JournalPlaces {
    SaveFolders Save;
    char GroupBrand[PathWidth];
    char Group[PathWidth];
    char Desktop[PathWidth];
};

struct Journal {
    bool Active;
    bool FileFailed;
    char Folder[PathWidth];
    char FilePath[PathWidth];
    HANDLE File;
    // Lines made before the install folder (and so the file) exists.
    char Pending[4096];
    size_t PendingLength;
    JournalPlaces Places;
    // Length of the shallowest level of REGADDRESS that the mark created
    // (0: none), so that an undo takes back the empty keys it made.
    size_t MadeKeyLength;
    // The Apps & features entry is about to be written or was.
    bool MadeEntry;
};

Journal State = {false, false, {}, {}, INVALID_HANDLE_VALUE, {}, 0, {}, 0, false};

// The entry's lines name this product's key and no other.
void UndoEntryOf(const char* text, size_t length)
{
    char key[PathWidth];
    if (text != nullptr && UninstallEntryKey(SetupScript.REGADDRESS, key, sizeof key) &&
        JournalNamesEntry(text, length, key))
        RemoveUninstallEntry();
}

// The worker and the window never write at the same time, but an undo may
// start on either thread: one lock keeps the state whole. It is made before
// the program's entry runs.
struct JournalLock {
    CRITICAL_SECTION Section;
    JournalLock() { InitializeCriticalSection(&Section); }
} Lock;

struct Locked {
    Locked() { EnterCriticalSection(&Lock.Section); }
    ~Locked() { LeaveCriticalSection(&Lock.Section); }
};

void ComposePlaces(const char* installFolder, JournalPlaces* places)
{
    memset(places, 0, sizeof *places);
    // A special folder no 932 path names stays empty: nothing is undone there.
    char local[PathWidth] = {};
    SysGetSpecialFolder(CSIDL_LOCAL_APPDATA, local);
    ComposeSaveFolders(installFolder, local, SetupScript.BRANDFOLDER,
                       SetupScript.APPLITITLE, SetupScript.SAVEFOLDER, &places->Save);
    char programs[PathWidth] = {};
    if (SysGetSpecialFolder(CSIDL_PROGRAMS, programs)) {
        CutTrailingBackslash(programs);
        int levels = 0;
        if (BuildShortcutGroup(places->Group, sizeof places->Group, programs,
                               SetupScript.BRANDNAME, SetupScript.APPLITITLE, &levels) &&
            levels == 2)
            BuildContainedPath(places->GroupBrand, sizeof places->GroupBrand, programs,
                               SetupScript.BRANDNAME);
        // With no level of its own the group is the programs folder itself,
        // which is never the installation's.
        if (levels == 0)
            places->Group[0] = '\0';
    }
    if (SysGetSpecialFolder(CSIDL_DESKTOP, places->Desktop))
        CutTrailingBackslash(places->Desktop);
}

JournalScope ScopeOf(const char* folder, const JournalPlaces& places)
{
    JournalScope scope = {};
    scope.InstallFolder = folder;
    for (int i = 0; i < places.Save.LocalLevelCount; ++i)
        scope.ExtraFolders[scope.ExtraFolderCount++] = places.Save.LocalLevels[i];
    scope.ExtraFolders[scope.ExtraFolderCount++] = places.GroupBrand;
    scope.ExtraFolders[scope.ExtraFolderCount++] = places.Group;
    scope.LinkFolders[scope.LinkFolderCount++] = places.Group;
    scope.LinkFolders[scope.LinkFolderCount++] = places.Desktop;
    scope.LinkNames = SetupScript.SHORTCUTNAME;
    scope.LinkNameCount = MaxShortcuts;
    return scope;
}

// The scope of the undo under way (under the lock): its folders are the
// roots below which nothing is deleted through a link.
const JournalScope* UndoScope = nullptr;

// The outermost folder of the undo's scope that holds `path`, or null (a
// level above the install folder, or a link on the desktop).
const char* UndoRootOf(const char* path)
{
    if (UndoScope == nullptr)
        return nullptr;
    constexpr int MaxRoots = 1 + sizeof UndoScope->ExtraFolders / sizeof UndoScope->ExtraFolders[0];
    const char* roots[MaxRoots] = {UndoScope->InstallFolder};
    int count = 1;
    for (int i = 0; i < UndoScope->ExtraFolderCount && count < MaxRoots; ++i)
        roots[count++] = UndoScope->ExtraFolders[i];
    return OutermostRootOf(path, roots, count);
}

void DeleteOneFile(void*, const char* path)
{
    const char* root = UndoRootOf(path);
    if (root != nullptr && !SysReachedWithoutLink(root, path)) {
        LogLine("Remove file %s: passed over, reached through a link", path);
        return;
    }
    // A file made read-only since (by the game, or copied so) still goes;
    // a link's target keeps its attributes.
    const DWORD attributes = SysGetFileAttributes(path);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) &&
        !(attributes & FILE_ATTRIBUTE_REPARSE_POINT))
        SysSetFileAttributes(path, attributes & ~FILE_ATTRIBUTE_READONLY);
    LogResult(SysDeleteFile(path), "Remove file %s", path);
}

// A folder that is a link now goes as a link.
void RemoveOneFolder(void*, const char* path)
{
    const char* root = UndoRootOf(path);
    SysRemoveFolderBelow(root != nullptr ? root : path, path);
}

void Undo(const char* text, size_t length, const JournalScope& scope, const JournalActions& actions)
{
    UndoScope = &scope;
    UndoJournal(text, length, scope, actions);
    UndoScope = nullptr;
}

void DeleteJournalFile(void* context) { SysDeleteFile(static_cast<const char*>(context)); }

// ---- "UnfinishedInstall" in the install record's key ------------------------

bool UserKeyExists(const char* name)
{
    HKEY key;
    if (!SysRegOpenKey(HKEY_CURRENT_USER, name, KEY_QUERY_VALUE, &key))
        return false;
    RegCloseKey(key);
    return true;
}

// The length of the first level of REGADDRESS below "Software" that does
// not exist yet, or 0 when the whole key does.
size_t FirstMissingKeyLevel()
{
    const char* key = SetupScript.REGADDRESS;
    char prefix[TextWidth];
    for (size_t i = sizeof "Software"; ; ++i) {
        // A 0x5C trail byte (表, ソ) is part of its character, not a level's end.
        if (key[i] != '\0' && IsLeadByte(static_cast<unsigned char>(key[i]),
                                          static_cast<unsigned char>(key[i + 1]))) {
            ++i;
            continue;
        }
        if (key[i] != '\\' && key[i] != '\0')
            continue;
        if (!CopyTextN(prefix, sizeof prefix, key, i))
            return 0;
        if (!UserKeyExists(prefix))
            return i;
        if (key[i] == '\0')
            return 0;
    }
}

void WriteUnfinishedMark(const char* folder)
{
    State.MadeKeyLength = 0;
    if (!IsSoftwareSubkey(SetupScript.REGADDRESS))
        return;
    State.MadeKeyLength = FirstMissingKeyLevel();
    HKEY key;
    if (!SysRegCreateKey(HKEY_CURRENT_USER, SetupScript.REGADDRESS, KEY_SET_VALUE, &key)) {
        LogResult(false, "Open registry key HKCU\\%s", SetupScript.REGADDRESS);
        return;
    }
    char value[PathWidth] = {};
    CopyText(value, folder);
    LogResult(SysRegWriteBinary(key, UnfinishedInstallValue, value, sizeof value),
              "Write registry value HKCU\\%s %s = %s", SetupScript.REGADDRESS, UnfinishedInstallValue, folder);
    RegCloseKey(key);
}

void ClearUnfinishedMark()
{
    if (!IsSoftwareSubkey(SetupScript.REGADDRESS))
        return;
    HKEY key;
    if (!SysRegOpenKey(HKEY_CURRENT_USER, SetupScript.REGADDRESS, KEY_SET_VALUE, &key))
        return;
    LogResult(SysRegDeleteValue(key, UnfinishedInstallValue), "Remove registry value HKCU\\%s %s",
              SetupScript.REGADDRESS, UnfinishedInstallValue);
    RegCloseKey(key);
    DeleteUserKeyIfEmpty(SetupScript.REGADDRESS);
    // The levels above it that the mark made, while they are empty.
    char level[TextWidth];
    CopyText(level, SetupScript.REGADDRESS);
    for (;;) {
        const char* last = FindLastBackslash(level);
        if (last == nullptr || State.MadeKeyLength == 0 ||
            static_cast<size_t>(last - level) < State.MadeKeyLength)
            break;
        level[last - level] = '\0';
        DeleteUserKeyIfEmpty(level);
    }
}

bool ReadUnfinishedMark(char* folder, size_t size)
{
    folder[0] = '\0';
    if (!IsSoftwareSubkey(SetupScript.REGADDRESS))
        return false;
    HKEY key;
    if (!SysRegOpenKey(HKEY_CURRENT_USER, SetupScript.REGADDRESS, KEY_QUERY_VALUE, &key))
        return false;
    char value[PathWidth] = {};
    DWORD length = sizeof value;
    const bool read = SysRegReadBinary(key, UnfinishedInstallValue, value, &length);
    RegCloseKey(key);
    // A value filling all its bytes without a terminator is no path of ours.
    return read && CopyTextN(folder, size, value, length) && folder[0] != '\0' &&
           memchr(value, '\0', length) != nullptr;
}

// ---- The file ---------------------------------------------------------------

bool WriteAll(HANDLE file, const char* bytes, size_t length)
{
    DWORD written = 0;
    return WriteFile(file, bytes, static_cast<DWORD>(length), &written, nullptr) &&
           written == length;
}

// Keeps one line: in the file once it is open, in memory before.
bool KeepLine(char kind, const char* path)
{
    char line[PathWidth + 8];
    if (!FormatJournalLine(line, sizeof line, kind, path))
        return false;
    const size_t length = strlen(line);
    if (State.File != INVALID_HANDLE_VALUE)
        return WriteAll(State.File, line, length);
    // Without the file (not open yet, or not to be had) the line is kept in
    // memory, for an undo in this run.
    if (State.PendingLength + length > sizeof State.Pending)
        return false;
    memcpy(State.Pending + State.PendingLength, line, length);
    State.PendingLength += length;
    return true;
}

// The whole journal file, malloc'd; null when it cannot be read.
char* ReadJournal(const char* path, size_t* length)
{
    HANDLE file = SysCreateFile(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL);
    if (file == INVALID_HANDLE_VALUE)
        return nullptr;
    const DWORD size = GetFileSize(file, nullptr);
    char* text = size != INVALID_FILE_SIZE && size <= MaxJournalBytes
                     ? static_cast<char*>(malloc(size != 0 ? size : 1))
                     : nullptr;
    DWORD read = 0;
    if (text != nullptr && (!ReadFile(file, text, size, &read, nullptr) || read != size)) {
        free(text);
        text = nullptr;
    }
    CloseHandle(file);
    *length = size;
    return text;
}

void CloseJournalFile()
{
    if (State.File != INVALID_HANDLE_VALUE)
        CloseHandle(State.File);
    State.File = INVALID_HANDLE_VALUE;
}

void EndJournal()
{
    CloseJournalFile();
    ClearUnfinishedMark();
    State.Active = false;
    State.PendingLength = 0;
}

}  // namespace

void JournalBegin()
{
    Locked locked;
    CloseJournalFile();
    State.Active = true;
    State.FileFailed = false;
    State.MadeEntry = false;
    State.PendingLength = 0;
    CopyText(State.Folder, SetupScript.InstallFolder);
    CutTrailingBackslash(State.Folder);
    if (!JoinPath(State.FilePath, State.Folder, JournalFileName))
        State.FileFailed = true;
    ComposePlaces(State.Folder, &State.Places);
    WriteUnfinishedMark(State.Folder);
}

bool JournalOpenFile()
{
    Locked locked;
    if (!State.Active || State.FileFailed)
        return false;
    if (State.File != INVALID_HANDLE_VALUE)
        return true;
    HANDLE file = SysCreateFile(State.FilePath, GENERIC_WRITE, FILE_SHARE_READ, OPEN_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL);
    if (file == INVALID_HANDLE_VALUE) {
        State.FileFailed = true;
        return false;
    }
    // An earlier journal may end in a line its kill cut short: a line end
    // first keeps that piece from swallowing the first line of this one.
    const DWORD end = SetFilePointer(file, 0, nullptr, FILE_END);
    const bool ready = end != INVALID_SET_FILE_POINTER && (end == 0 || WriteAll(file, "\r\n", 2));
    if (!ready || !WriteAll(file, State.Pending, State.PendingLength)) {
        CloseHandle(file);
        State.FileFailed = true;
        return false;
    }
    State.PendingLength = 0;
    State.File = file;
    return true;
}

void JournalNewFolder(const char* path)
{
    Locked locked;
    if (State.Active)
        KeepLine(JournalFolderLine, path);
}

bool JournalNewFile(const char* path)
{
    Locked locked;
    if (!State.Active)
        return true;
    // A file that is there already was not made by this installation, and an
    // undo leaves it; what the copy writes over it cannot be given back.
    if (SysGetFileAttributes(path) != INVALID_FILE_ATTRIBUTES)
        return true;
    // Files come by the thousand: without the journal file there is no room
    // to keep them.
    return !State.FileFailed && KeepLine(JournalFileLine, path);
}

bool JournalNewUninstallEntry(const char* key)
{
    Locked locked;
    if (!State.Active)
        return true;
    if (!KeepLine(JournalEntryLine, key))
        return false;
    State.MadeEntry = true;
    return true;
}

void JournalFinish()
{
    Locked locked;
    if (!State.Active)
        return;
    CloseJournalFile();
    SysDeleteFile(State.FilePath);
    EndJournal();
}

void RollBackInstallation()
{
    Locked locked;
    if (!State.Active)
        return;
    LogLine("Undo the installation in %s", State.Folder);
    CloseJournalFile();
    size_t length = 0;
    char* text = State.FileFailed ? nullptr : ReadJournal(State.FilePath, &length);
    const JournalScope scope = ScopeOf(State.Folder, State.Places);
    const JournalActions actions = {State.FilePath, DeleteOneFile, RemoveOneFolder, DeleteJournalFile};
    if (text != nullptr)
        Undo(text, length, scope, actions);
    else
        Undo(State.Pending, State.PendingLength, scope, actions);
    free(text);
    if (State.MadeEntry)
        RemoveUninstallEntry();
    EndJournal();
    LogLine("Undo of the installation done");
}

void RecoverUnfinishedInstallation()
{
    Locked locked;
    if (State.Active)
        return;
    char folder[PathWidth];
    if (!ReadUnfinishedMark(folder, sizeof folder))
        return;
    char journalPath[PathWidth];
    const bool usable = InstallFolderUsableHere(folder) && JoinPath(journalPath, folder, JournalFileName);
    // Recorded after all: only the journal was left behind.
    if (SetupScript.IsInstalled && SamePath(folder, SetupScript.InstallFolder)) {
        if (usable)
            SysDeleteFile(journalPath);
        ClearUnfinishedMark();
        return;
    }
    size_t length = 0;
    char* text = usable ? ReadJournal(journalPath, &length) : nullptr;
    if (text == nullptr) {
        ClearUnfinishedMark();
        return;
    }
    char question[PathWidth + 256];
    FormatText(question, sizeof question,
               "前回のインストールは完了しないまま終了しています。\r\n\r\n%s\r\n\r\n"
               "途中までインストールされたファイルを削除しますか？",
               folder);
    if (SysMessageBox(nullptr, question, SetupScript.APPLITITLE, MB_YESNO) != IDYES) {
        free(text);
        return;
    }
    LogLine("Undo the unfinished installation in %s", folder);
    JournalPlaces places;
    ComposePlaces(folder, &places);
    const JournalActions actions = {journalPath, DeleteOneFile, RemoveOneFolder, DeleteJournalFile};
    Undo(text, length, ScopeOf(folder, places), actions);
    UndoEntryOf(text, length);
    free(text);
    ClearUnfinishedMark();
}

#include "install/install_journal.h"

#include "common/link_guard.h"
#include "common/link_walk.h"
#include "common/folder_forms.h"
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

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

// The copy of the journal kept in memory, for an undo in this run when the
// file cannot be read back as it was written. A line per file of ten full
// discs, and every folder, is far less.
constexpr size_t MaxMemoryBytes = 4u * 1024 * 1024;

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
    // Bytes this installation wrote to the file: a file of any other size
    // is no longer the one it wrote.
    uint64_t Written;
    // Every line kept so far, the ones made before the install folder (and
    // so the file) existed among them; Whole while none had to be dropped.
    char* Memory;
    size_t MemoryLength;
    size_t MemoryCapacity;
    bool MemoryWhole;
    // Whether the last undo could read back all that it made.
    bool LastUndoWhole;
    JournalPlaces Places;
    // Length of the shallowest level of REGADDRESS that the mark created
    // (0: none), so that an undo takes back the empty keys it made.
    size_t MadeKeyLength;
    // The Apps & features entry is about to be written or was.
    bool MadeEntry;
};

Journal State = {false, false, {}, {}, INVALID_HANDLE_VALUE, 0, nullptr, 0, 0, true, true, {}, 0, false};

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

// Two texts naming one folder, however each is written.
bool SameFolder(const char* a, const char* b)
{
    char longA[PathWidth];
    char longB[PathWidth];
    if (SysGetFullLongPath(a, longA) && SysGetFullLongPath(b, longB))
        return SamePath(longA, longB);
    return SamePath(a, b);
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

// Keeps the line in memory; false (and the memory copy no longer whole)
// when it does not fit there.
bool KeepInMemory(const char* line, size_t length)
{
    if (!State.MemoryWhole)
        return false;
    if (State.MemoryLength + length > State.MemoryCapacity) {
        size_t capacity = State.MemoryCapacity != 0 ? State.MemoryCapacity * 2 : 16 * 1024;
        while (capacity < State.MemoryLength + length)
            capacity *= 2;
        char* grown = capacity <= MaxMemoryBytes
                          ? static_cast<char*>(realloc(State.Memory, capacity))
                          : nullptr;
        if (grown == nullptr) {
            State.MemoryWhole = false;
            return false;
        }
        State.Memory = grown;
        State.MemoryCapacity = capacity;
    }
    memcpy(State.Memory + State.MemoryLength, line, length);
    State.MemoryLength += length;
    return true;
}

// Keeps one line: in memory, and in the file once it is open. Before the
// file the memory copy alone holds it; after, the file must.
bool KeepLine(char kind, const char* path)
{
    char line[PathWidth + 8];
    if (!FormatJournalLine(line, sizeof line, kind, path))
        return false;
    const size_t length = strlen(line);
    const bool inMemory = KeepInMemory(line, length);
    if (State.File == INVALID_HANDLE_VALUE)
        return inMemory;
    if (!WriteAll(State.File, line, length))
        return false;
    State.Written += length;
    return true;
}

// The journal file read piece by piece, never whole.
long ReadFilePiece(void* context, char* buffer, size_t size)
{
    DWORD read = 0;
    if (!ReadFile(*static_cast<HANDLE*>(context), buffer, static_cast<DWORD>(size), &read, nullptr))
        return -1;
    return static_cast<long>(read);
}

void CloseFilePiece(void* context)
{
    HANDLE* file = static_cast<HANDLE*>(context);
    if (*file != INVALID_HANDLE_VALUE)
        CloseHandle(*file);
    *file = INVALID_HANDLE_VALUE;
}

HANDLE OpenJournalForReading(const char* path)
{
    return SysCreateFile(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN);
}

// Undoes the journal file at `path`, streamed. False when it cannot be
// opened or read to its end; `expectedSize` (when not null) must be its
// size, else it is not read at all.
bool UndoJournalFile(const char* path, const uint64_t* expectedSize, const JournalScope& scope,
                     const JournalActions& actions)
{
    HANDLE file = OpenJournalForReading(path);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    LARGE_INTEGER size = {};
    bool whole = GetFileSizeEx(file, &size) &&
                 (expectedSize == nullptr || static_cast<uint64_t>(size.QuadPart) == *expectedSize);
    if (whole) {
        const JournalSource source = {&file, ReadFilePiece, CloseFilePiece};
        whole = UndoJournalFrom(source, scope, actions);
    }
    CloseFilePiece(&file);
    return whole;
}

void CloseJournalFile()
{
    if (State.File != INVALID_HANDLE_VALUE)
        CloseHandle(State.File);
    State.File = INVALID_HANDLE_VALUE;
}

void ForgetMemory()
{
    free(State.Memory);
    State.Memory = nullptr;
    State.MemoryLength = 0;
    State.MemoryCapacity = 0;
    State.MemoryWhole = true;
}

// `whole`: everything the installation made was read back, and the mark can
// go; else it stays, with the journal, for the next start to ask about.
void EndJournal(bool whole)
{
    CloseJournalFile();
    if (whole)
        ClearUnfinishedMark();
    State.Active = false;
    ForgetMemory();
}

const char LeftoverQuestion[] =
    "前回のインストールは完了しないまま終了しています。\r\n\r\n%s\r\n\r\n"
    "途中までインストールされたファイルを削除しますか？";

}  // namespace

void JournalBegin()
{
    Locked locked;
    CloseJournalFile();
    State.Active = true;
    State.FileFailed = false;
    State.MadeEntry = false;
    State.Written = 0;
    State.LastUndoWhole = true;
    ForgetMemory();
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
    // A new file, never one found there: a journal of someone else's would
    // be read back as this installation's, and one grown past reading would
    // hide what this one made.
    HANDLE file = SysCreateFile(State.FilePath, GENERIC_WRITE, FILE_SHARE_READ, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL);
    if (file == INVALID_HANDLE_VALUE) {
        State.FileFailed = true;
        return false;
    }
    // The lines made before the file: all of them are still in memory, since
    // the memory copy is dropped only far beyond what they take.
    if (!State.MemoryWhole || !WriteAll(file, State.Memory, State.MemoryLength)) {
        CloseHandle(file);
        SysDeleteFile(State.FilePath);
        State.FileFailed = true;
        return false;
    }
    State.Written = State.MemoryLength;
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
    EndJournal(true);
}

void RollBackInstallation()
{
    Locked locked;
    if (!State.Active)
        return;
    LogLine("Undo the installation in %s", State.Folder);
    CloseJournalFile();
    const JournalScope scope = ScopeOf(State.Folder, State.Places);
    const JournalActions actions = {State.FilePath, DeleteOneFile, RemoveOneFolder, DeleteJournalFile};
    // The file as this installation wrote it, streamed; where it cannot be
    // read so (replaced, cut, unreadable, never made), the memory copy.
    UndoScope = &scope;
    bool whole = !State.FileFailed && UndoJournalFile(State.FilePath, &State.Written, scope, actions);
    if (!whole && State.MemoryWhole) {
        whole = UndoJournal(State.Memory, State.MemoryLength, scope, actions);
        // The journal goes with a whole undo, even when it was not read.
        if (whole && State.FileFailed)
            SysDeleteFile(State.FilePath);
    }
    UndoScope = nullptr;
    State.LastUndoWhole = whole;
    if (State.MadeEntry)
        RemoveUninstallEntry();
    EndJournal(whole);
    LogLine(whole ? "Undo of the installation done" : "Undo of the installation could not read back all it made");
}

bool RollBackWasComplete()
{
    Locked locked;
    return State.LastUndoWhole;
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
    if (SetupScript.IsInstalled && SameFolder(folder, SetupScript.InstallFolder)) {
        if (usable)
            SysDeleteFile(journalPath);
        ClearUnfinishedMark();
        return;
    }
    HANDLE probe = usable ? OpenJournalForReading(journalPath) : INVALID_HANDLE_VALUE;
    if (probe == INVALID_HANDLE_VALUE) {
        ClearUnfinishedMark();
        return;
    }
    CloseHandle(probe);
    char question[PathWidth + 256];
    FormatText(question, sizeof question, LeftoverQuestion, folder);
    if (SysMessageBox(nullptr, question, SetupScript.APPLITITLE, MB_YESNO) != IDYES)
        return;
    LogLine("Undo the unfinished installation in %s", folder);
    JournalPlaces places;
    ComposePlaces(folder, &places);
    const JournalActions actions = {journalPath, DeleteOneFile, RemoveOneFolder, DeleteJournalFile};
    const JournalScope scope = ScopeOf(folder, places);
    UndoScope = &scope;
    const bool whole = UndoJournalFile(journalPath, nullptr, scope, actions);
    UndoScope = nullptr;
    // An Apps & features entry of an installation that was never recorded
    // goes with it: the product's key names no other installation.
    if (!SetupScript.IsInstalled)
        RemoveUninstallEntry();
    // A journal that cannot be read whole keeps the mark: the next start asks again.
    if (whole)
        ClearUnfinishedMark();
}

bool LeftoverJournalSettled()
{
    Locked locked;
    if (State.Active)
        return true;
    char folder[PathWidth];
    char journalPath[PathWidth];
    if (!CopyText(folder, SetupScript.InstallFolder) || !JoinPath(journalPath, folder, JournalFileName))
        return true;  // no journal could be written there either
    CutTrailingBackslash(folder);
    if (SysGetFileAttributes(journalPath) == INVALID_FILE_ATTRIBUTES)
        return true;
    char question[PathWidth + 256];
    FormatText(question, sizeof question, LeftoverQuestion, folder);
    if (InstallFolderUsableHere(folder) &&
        SysMessageBox(nullptr, question, SetupScript.APPLITITLE, MB_YESNO) == IDYES) {
        JournalPlaces places;
        ComposePlaces(folder, &places);
        const JournalActions actions = {journalPath, DeleteOneFile, RemoveOneFolder,
                                        DeleteJournalFile};
        const JournalScope scope = ScopeOf(folder, places);
        UndoScope = &scope;
        const bool whole = UndoJournalFile(journalPath, nullptr, scope, actions);
        UndoScope = nullptr;
        if (whole && SysGetFileAttributes(journalPath) == INVALID_FILE_ATTRIBUTES) {
            char marked[PathWidth];
            if (ReadUnfinishedMark(marked, sizeof marked) && SameFolder(marked, folder))
                ClearUnfinishedMark();
            return true;
        }
    }
    char text[PathWidth + 256];
    FormatText(text, sizeof text,
               "インストール先に、完了しなかったインストールの記録（%s）が残っているため、"
               "インストールを開始できません。\r\n\r\n%s",
               JournalFileName, folder);
    SysMessageBox(nullptr, text, SetupScript.APPLITITLE, MB_OK);
    return false;
}

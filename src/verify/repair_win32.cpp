#include "verify/repair_win32.h"

#include "common/folder_levels.h"
#include "common/link_guard.h"
#include "common/path_rules.h"
#include "common/setup_log.h"
#include "common/system_text.h"
#include "common/text.h"
#include "common/worker_win32.h"
#include "disc/disc_check.h"
#include "script/setup_model.h"
#include "verify/md5.h"

#include <cstring>
#include <memory>
#include <new>

namespace {

constexpr DWORD RepairBlock = 1024 * 1024;

// The check's window stays drawn while a large file is copied on its
// thread, and Windows does not take it for hung: paints only, so that no
// click is carried out in the middle of a repair.
void KeepPainted()
{
    // Bounded: a window that does not validate what it paints would be
    // handed the same paint again and again.
    MSG message;
    for (int paints = 0; paints < 16 && PeekMessageW(&message, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE); ++paints)
        DispatchMessageW(&message);
}

// Null, not INVALID_HANDLE_VALUE, for a file that does not open: what
// UniqueHandle takes for none.
HANDLE OpenOrNull(const char* path, DWORD access, DWORD share, DWORD disposition, DWORD flags)
{
    const HANDLE file = SysCreateFile(path, access, share, disposition, flags);
    return file == INVALID_HANDLE_VALUE ? nullptr : file;
}

bool SameDigest(Md5Context* md5, const char* expected)
{
    uint8_t digest[16];
    Md5Final(md5, digest);
    char hex[33];
    Md5ToHex(digest, hex);
    return DigestMatches(hex, expected);
}

// The file's digest as it lies on the disk now.
bool FileMatches(const char* path, const char* expected, uint8_t* buffer)
{
    UniqueHandle file(OpenOrNull(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN));
    if (!file)
        return false;
    Md5Context md5;
    Md5Init(&md5);
    DWORD got = 0;
    while (ReadFile(file.Get(), buffer, RepairBlock, &got, nullptr) && got != 0) {
        Md5Update(&md5, buffer, got);
        KeepPainted();
    }
    return got == 0 && SameDigest(&md5, expected);
}

// The disc's copy goes under a temporary name beside its place, and only a
// copy with the listed digest is renamed over the installed file: a repair
// that stops midway leaves the old file, never half of a new one.
RepairFate CopyBack(const char* source, const char* target, const char* digest, uint8_t* buffer)
{
    char temp[PathWidth];
    if (!RepairTempPath(temp, sizeof temp, target))
        return RepairFailed;
    UniqueHandle in(OpenOrNull(source, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN));
    if (!in) {
        LogResult(false, "Open %s", source);
        return RepairFailed;
    }
    // A leftover of an interrupted repair goes first.
    SysDeleteFile(temp);
    UniqueHandle out(OpenOrNull(temp, GENERIC_WRITE, 0, CREATE_NEW, FILE_ATTRIBUTE_NORMAL));
    if (!out) {
        LogResult(false, "Make file %s", temp);
        return RepairFailed;
    }
    Md5Context md5;
    Md5Init(&md5);
    bool ok = true;
    for (;;) {
        DWORD got = 0, written = 0;
        if (!ReadFile(in.Get(), buffer, RepairBlock, &got, nullptr)) {
            ok = false;
            break;
        }
        if (got == 0)
            break;
        Md5Update(&md5, buffer, got);
        if (!WriteFile(out.Get(), buffer, got, &written, nullptr) || written != got) {
            ok = false;
            break;
        }
        KeepPainted();
    }
    if (!ok)
        LogResult(false, "Copy %s to %s", source, temp);
    const bool sound = ok && SameDigest(&md5, digest);
    ok = ok && FlushFileBuffers(out.Get());
    out.Reset();
    if (!ok || !sound) {
        SysDeleteFile(temp);
        return ok ? RepairDiscDamaged : RepairFailed;
    }
    // A file copied from a disc can carry the read-only mark, which a rename
    // over it does not pass.
    const DWORD attributes = SysGetFileAttributes(target);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0)
        SysSetFileAttributes(target, attributes & ~FILE_ATTRIBUTE_READONLY);
    if (!SysReplaceFile(temp, target)) {
        LogResult(false, "Replace %s", target);
        SysDeleteFile(temp);
        return RepairFailed;
    }
    return FileMatches(target, digest, buffer) ? RepairDone : RepairFailed;
}

bool LinkOnTheWay(const char* target)
{
    char link[PathWidth] = {};
    if (!SysFindLink(SetupScript.InstallFolder, target, link, sizeof link))
        return false;
    LogLine("A link lies on the way to %s: %s", target, link);
    return true;
}

// A folder the player took away is made again below the install folder,
// level by level: the file goes back where the installation put it.
struct FolderMaking {
    size_t Below;   // levels no longer than this are the install folder's own
    size_t Length;  // of the file's path, itself no folder
    bool Failed;
};

bool MakeFoldersOf(const char* target)
{
    FolderMaking making = {strlen(SetupScript.InstallFolder) + 1, strlen(target), false};
    const int walked = ForEachFolderLevel(
        target,
        [](const char* level, void* context) {
            auto* m = static_cast<FolderMaking*>(context);
            const size_t length = strlen(level);
            if (m->Failed || length <= m->Below || length >= m->Length ||
                SysGetFileAttributes(level) != INVALID_FILE_ATTRIBUTES)
                return;
            m->Failed = !SysCreateFolder(level);
            LogResult(!m->Failed, "Make folder %s", level);
        },
        &making);
    return walked != 0 && !making.Failed;
}

const char* RepairFateName(RepairFate fate)
{
    switch (fate) {
    case RepairNotTried:
        return "not tried";
    case RepairDone:
        return "copied back and sound";
    case RepairDiscDamaged:
        return "the disc's copy is damaged too: left as it was";
    case RepairFailed:
        return "the disc's copy could not be read or the file written";
    }
    return "?";
}

}  // namespace

bool RepairFiles(HWND owner, const VerifyItems* items, RepairPlan* plan,
                 void (*show)(HWND owner, int item, const char* status))
{
    std::unique_ptr<uint8_t[]> buffer(new (std::nothrow) uint8_t[RepairBlock]);
    if (!buffer)
        return true;
    int at = 0;
    for (int d = 0; d < plan->DiscCount; ++d) {
        const int disc = plan->Disc[d];
        if (!LocateDisc(owner, static_cast<uint32_t>(disc + 1))) {
            LogLine("Repair stopped: disc %d was not inserted", disc + 1);
            return false;
        }
        char root[PathWidth];
        if (!LocatedDiscRoot(root, sizeof root))
            return false;
        for (; at < plan->Count && items->Disc[plan->Item[at]] == disc; ++at) {
            const int item = plan->Item[at];
            show(owner, item, StatusRepairing);
            char source[PathWidth], target[PathWidth];
            // A name that would leave the disc or the install folder is never
            // followed, and nothing is written through a link put in the
            // install folder since: the repair runs with the installer's
            // rights. The walk comes after any folder made, right before the write.
            if (!IsContainedRelativePath(items->Name[item]) || !JoinPath(source, root, items->Name[item]) ||
                !JoinPath(target, SetupScript.InstallFolder, items->Name[item])) {
                plan->Fate[at] = RepairFailed;
            } else if (LinkOnTheWay(target) || !MakeFoldersOf(target) || LinkOnTheWay(target)) {
                plan->Fate[at] = RepairFailed;
            } else {
                plan->Fate[at] = CopyBack(source, target, items->Digest[item], buffer.get());
            }
            LogLine("Repair %s: %s", items->Name[item], RepairFateName(plan->Fate[at]));
            show(owner, item, plan->Fate[at] == RepairDone ? StatusOk : nullptr);
        }
    }
    return true;
}

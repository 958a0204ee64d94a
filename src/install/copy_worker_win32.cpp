#include "install/copy_worker.h"
#include "install/folders.h"

#include "common/link_guard.h"
#include "common/setup_log.h"
#include "common/system_text.h"
#include "common/text.h"
#include "install/install_journal.h"
#include "install/install_messages.h"

CopyCounters InstallCounters;
HWND WorkerTarget;
volatile LONG WorkerRolledBack;
Worker CopyWorkerThread;

static HANDLE AsHandle(void* file) { return static_cast<HANDLE>(file); }

// The system's error of the file under way, taken where it failed: the
// closes that follow may overwrite the thread's own.
struct CopyGlue {
    DWORD Error;
};

static void NoteError(void* context, DWORD error) { static_cast<CopyGlue*>(context)->Error = error; }

static void* OpenSource(void* context, const char* path, uint64_t* size)
{
    HANDLE file = SysCreateFile(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN);
    if (file == INVALID_HANDLE_VALUE) {
        NoteError(context, GetLastError());
        return nullptr;
    }
    LARGE_INTEGER length;
    if (!GetFileSizeEx(file, &length) || length.QuadPart < 0) {
        NoteError(context, GetLastError());
        CloseHandle(file);
        return nullptr;
    }
    *size = static_cast<uint64_t>(length.QuadPart);
    return file;
}

static void* CreateTarget(void* context, const char* path)
{
    // Every level the file is written through, and the file itself, is
    // checked once more right before the write: a link put there since the
    // folders were made makes a write error, and the installation is undone.
    char link[PathWidth] = {};
    if (SysFindLink(InstallWriteRoot(), path, link, sizeof link)) {
        LogLine("A link lies on the way to %s: %s", path, link);
        return nullptr;
    }
    if (!JournalNewFile(path)) {
        LogLine("The journal cannot take %s", path);
        return nullptr;
    }
    HANDLE file = SysCreateFile(path, GENERIC_WRITE, FILE_SHARE_WRITE, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL);
    if (file == INVALID_HANDLE_VALUE) {
        NoteError(context, GetLastError());
        return nullptr;
    }
    return file;
}

static int ReadBlock(void* context, void* file, uint8_t* buffer, uint32_t count)
{
    DWORD done = 0;
    if (!ReadFile(AsHandle(file), buffer, count, &done, nullptr)) {
        NoteError(context, GetLastError());
        return 0;
    }
    // A file that ends before its size said (cut short while it was read).
    if (done != count) {
        NoteError(context, ERROR_HANDLE_EOF);
        return 0;
    }
    return 1;
}

static int WriteBlock(void* context, void* file, const uint8_t* buffer, uint32_t count)
{
    DWORD done = 0;
    if (!WriteFile(AsHandle(file), buffer, count, &done, nullptr)) {
        NoteError(context, GetLastError());
        return 0;
    }
    return done == count ? 1 : 0;
}

static void CloseFile(void*, void* file) { CloseHandle(AsHandle(file)); }

// An entry without a 932 name (nor a short one) comes with an empty name.
static void TakeFound(const SysFindData& data, CopyFound* found)
{
    // A cut name would name another file.
    if (!CopyText(found->Name, data.Name))
        found->Name[0] = '\0';
    found->IsFolder = (data.Attributes & FILE_ATTRIBUTE_DIRECTORY) ? 1 : 0;
    found->LongName = data.LongName ? 1 : 0;
}

static void* FindFirst(void*, const char* pattern, CopyFound* found)
{
    SysFindData data;
    HANDLE search = SysFindFirst(pattern, &data);
    if (search == INVALID_HANDLE_VALUE)
        return nullptr;
    TakeFound(data, found);
    return search;
}

static int FindNext(void*, void* search, CopyFound* found)
{
    SysFindData data;
    if (!SysFindNext(AsHandle(search), &data))
        return 0;
    TakeFound(data, found);
    return 1;
}

static void CloseSearch(void*, void* search) { FindClose(AsHandle(search)); }

int CheckWorkerMessages(Worker* worker)
{
    if (worker->StopRequested)
        return 0;
    if (!WorkerShouldLook(worker))
        return 1;
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_CLOSE)
            return 0;
        if (message.message == WM_KEYDOWN &&
            (!WaitForWorkerMessage(worker, &message) || message.message == WM_CLOSE))
            return 0;
    }
    return 1;
}

static int CheckMessages(void*) { return CheckWorkerMessages(&CopyWorkerThread); }

static uint64_t Microseconds(void*)
{
    static LARGE_INTEGER frequency;
    if (frequency.QuadPart == 0)
        QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER count;
    QueryPerformanceCounter(&count);
    const uint64_t ticks = static_cast<uint64_t>(count.QuadPart);
    const uint64_t perSecond = static_cast<uint64_t>(frequency.QuadPart);
    return ticks / perSecond * 1000000u + ticks % perSecond * 1000000u / perSecond;
}

// One line per file: the walk's name, its size and how it ended; a
// failure with the system's error where it had one. A source that did not
// open has no size to tell.
static void FileDone(void* context, const char* name, uint64_t bytes, CopyOutcome outcome)
{
    CopyGlue* glue = static_cast<CopyGlue*>(context);
    const DWORD error = glue->Error;
    glue->Error = ERROR_SUCCESS;
    if (outcome == CopyListDone) {
        LogLine("Copy %s, %llu bytes: done", name, static_cast<unsigned long long>(bytes));
        return;
    }
    char what[PathWidth + 48];
    if (bytes != 0)
        FormatText(what, sizeof what, "Copy %s, %llu bytes", name, static_cast<unsigned long long>(bytes));
    else
        FormatText(what, sizeof what, "Copy %s", name);
    const char* result = outcome == CopyStopped ? "stopped" : outcome == CopyReadError ? "read error" : "write error";
    if (outcome != CopyStopped && error != ERROR_SUCCESS)
        LogSystemError(error, "%s: %s", what, result);
    else
        LogLine("%s: %s", what, result);
}

static void UndoInstallation()
{
    RollBackInstallation();
    WorkerRolledBack = 1;
}

DWORD WINAPI CopyWorkerMain(LPVOID parameter)
{
    const int disc = static_cast<int>(reinterpret_cast<INT_PTR>(parameter));
    CopyGlue glue = {ERROR_SUCCESS};
    const CopyIo io = {&glue,     OpenSource, CreateTarget, ReadBlock,   WriteBlock,
                       CloseFile, FindFirst,  FindNext,     CloseSearch, CheckMessages,
                       Microseconds, FileDone};
    const CopyResult result = CopyDiscFiles(disc, io, &InstallCounters);
    switch (result.Outcome) {
    case CopyListDone:
        PostMessageW(WorkerTarget, InstMsgNextDisc, 0, 0);
        break;
    case CopyStopped:
        UndoInstallation();
        break;
    case CopyReadError:
    case CopyWriteError:
        PostMessageW(WorkerTarget, result.Outcome == CopyReadError ? InstMsgReadError : InstMsgWriteError,
                     static_cast<WPARAM>(disc), static_cast<LPARAM>(result.Entry));
        UndoInstallation();
        break;
    }
    return 0;
}

bool StartCopyWorker(int disc)
{
    return StartWorker(&CopyWorkerThread, CopyWorkerMain,
                       reinterpret_cast<LPVOID>(static_cast<INT_PTR>(disc)));
}

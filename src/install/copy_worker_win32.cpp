#include "install/copy_worker.h"

#include "common/text.h"
#include "install/install_journal.h"
#include "install/install_messages.h"

CopyCounters InstallCounters;
HWND WorkerTarget;
volatile LONG WorkerRolledBack;

static HANDLE WorkerQueueReady;

static HANDLE AsHandle(void* file) { return static_cast<HANDLE>(file); }

static void* OpenSource(void*, const char* path, uint32_t* size)
{
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return nullptr;
    // Files of 4 GB and more are outside the design: sizes are 32 bits.
    *size = GetFileSize(file, nullptr);
    return file;
}

static void* CreateTarget(void*, const char* path)
{
    if (!JournalNewFile(path))
        return nullptr;
    HANDLE file = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    return file == INVALID_HANDLE_VALUE ? nullptr : file;
}

static int ReadBlock(void*, void* file, uint8_t* buffer, uint32_t count)
{
    DWORD done = 0;
    return ReadFile(AsHandle(file), buffer, count, &done, nullptr) && done == count ? 1 : 0;
}

static int WriteBlock(void*, void* file, const uint8_t* buffer, uint32_t count)
{
    DWORD done = 0;
    return WriteFile(AsHandle(file), buffer, count, &done, nullptr) && done == count ? 1 : 0;
}

static void CloseFile(void*, void* file) { CloseHandle(AsHandle(file)); }

static void TakeFound(const WIN32_FIND_DATAA& data, CopyFound* found)
{
    // A name the system gives always fits; a cut one would name another file.
    if (!CopyText(found->Name, data.cFileName))
        found->Name[0] = '\0';
    found->IsFolder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? 1 : 0;
}

static void* FindFirst(void*, const char* pattern, CopyFound* found)
{
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA(pattern, &data);
    if (search == INVALID_HANDLE_VALUE)
        return nullptr;
    TakeFound(data, found);
    return search;
}

static int FindNext(void*, void* search, CopyFound* found)
{
    WIN32_FIND_DATAA data;
    if (!FindNextFileA(AsHandle(search), &data))
        return 0;
    TakeFound(data, found);
    return 1;
}

static void CloseSearch(void*, void* search) { FindClose(AsHandle(search)); }

int CheckWorkerMessages()
{
    MSG message;
    if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
        return 1;
    if (message.message == WM_CLOSE)
        return 0;
    if (message.message == WM_KEYDOWN) {
        if (GetMessageA(&message, nullptr, 0, 0) > 0 && message.message == WM_CLOSE)
            return 0;
    }
    return 1;
}

static int CheckMessages(void*) { return CheckWorkerMessages(); }

static void UndoInstallation()
{
    RollBackInstallation();
    WorkerRolledBack = 1;
}

DWORD WINAPI CopyWorkerMain(LPVOID parameter)
{
    const int disc = static_cast<int>(reinterpret_cast<INT_PTR>(parameter));
    // The queue exists from the first call that looks at it.
    MSG message;
    PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);
    if (WorkerQueueReady)
        SetEvent(WorkerQueueReady);

    const CopyIo io = {nullptr,   OpenSource, CreateTarget, ReadBlock,   WriteBlock,
                       CloseFile, FindFirst,  FindNext,     CloseSearch, CheckMessages};
    const CopyResult result = CopyDiscFiles(disc, io, &InstallCounters);
    switch (result.Outcome) {
    case CopyListDone:
        PostMessageA(WorkerTarget, InstMsgNextDisc, 0, 0);
        break;
    case CopyStopped:
        UndoInstallation();
        break;
    case CopyReadError:
    case CopyWriteError:
        PostMessageA(WorkerTarget, result.Outcome == CopyReadError ? InstMsgReadError : InstMsgWriteError,
                     static_cast<WPARAM>(disc), static_cast<LPARAM>(result.Entry));
        UndoInstallation();
        break;
    }
    return 0;
}

HANDLE StartCopyWorker(int disc, DWORD* threadId)
{
    WorkerQueueReady = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE thread = CreateThread(nullptr, 0, CopyWorkerMain,
                                 reinterpret_cast<LPVOID>(static_cast<INT_PTR>(disc)), 0, threadId);
    if (thread != nullptr && WorkerQueueReady != nullptr) {
        // The worker sets the event first thing; should it end without, its
        // handle ends the wait.
        const HANDLE waits[2] = {WorkerQueueReady, thread};
        WaitForMultipleObjects(2, waits, FALSE, INFINITE);
    }
    if (WorkerQueueReady != nullptr) {
        CloseHandle(WorkerQueueReady);
        WorkerQueueReady = nullptr;
    }
    return thread;
}

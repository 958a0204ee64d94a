#include "common/setup_log.h"

#include "common/run_switches.h"

#include "common/system_text.h"
#include "common/text.h"

#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace {

constexpr size_t LogPathWidth = 260;

// Lines come from the main thread and the workers; each is written whole
// under the lock, straight through to the file, so that a run that ends
// abruptly keeps every line it wrote.
struct LogFile {
    CRITICAL_SECTION Lock;
    bool LockReady = false;
    HANDLE File = INVALID_HANDLE_VALUE;
    char Path[LogPathWidth] = {};
};
LogFile Log;

void EnsureLock()
{
    // The first call comes from the main thread before any worker starts.
    if (!Log.LockReady) {
        InitializeCriticalSection(&Log.Lock);
        Log.LockReady = true;
    }
}

LogTime Now()
{
    SYSTEMTIME t;
    GetLocalTime(&t);
    return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond, t.wMilliseconds};
}

HANDLE OpenAt(const char* path, DWORD disposition)
{
    return SysCreateFile(path, FILE_APPEND_DATA, FILE_SHARE_READ, disposition, FILE_ATTRIBUTE_NORMAL);
}

void WriteRaw(const char* bytes, size_t count)
{
    DWORD written = 0;
    if (Log.File != INVALID_HANDLE_VALUE &&
        (!WriteFile(Log.File, bytes, static_cast<DWORD>(count), &written, nullptr) || written != count)) {
        // A log that cannot be written is given up, never the run.
        CloseHandle(Log.File);
        Log.File = INVALID_HANDLE_VALUE;
    }
}

// `text` in 932, then `suffix` (UTF-16, may be null) as it is: the
// system's words need not have a 932 form.
void WriteLine(const char* text, const wchar_t* suffix = nullptr)
{
    char line[3072];
    size_t n = FormatLogLine(Now(), text, line, 2048);
    if (suffix != nullptr && n >= 2) {
        n -= 2;
        n += WideToUtf8(reinterpret_cast<const char16_t*>(suffix), line + n, sizeof line - 2 - n);
        line[n++] = '\r';
        line[n++] = '\n';
    }
    EnterCriticalSection(&Log.Lock);
    WriteRaw(line, n);
    LeaveCriticalSection(&Log.Lock);
}

}  // namespace

bool LogOpen(const char* path)
{
    EnsureLock();
    if (Log.File != INVALID_HANDLE_VALUE)
        return true;
    HANDLE file = INVALID_HANDLE_VALUE;
    char chosen[LogPathWidth] = {};
    if (path != nullptr && path[0] != '\0') {
        // The administrator's own file: appended to, never overwritten.
        if (SysGetFullPath(path, chosen) || CopyText(chosen, path))
            file = OpenAt(chosen, OPEN_ALWAYS);
    } else {
        char temp[LogPathWidth];
        if (!SysGetTempFolder(temp))
            return false;
        const LogTime today = Now();
        // A log is never overwritten: the first number without a file.
        for (int number = 1; number <= 999 && file == INVALID_HANDLE_VALUE; ++number) {
            char name[64];
            if (!FormatLogFileName(today, number, name, sizeof name) || !FormatText(chosen, sizeof chosen, "%s%s", temp, name))
                return false;
            file = OpenAt(chosen, CREATE_NEW);
            if (file == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS)
                return false;
        }
    }
    if (file == INVALID_HANDLE_VALUE)
        return false;
    EnterCriticalSection(&Log.Lock);
    Log.File = file;
    CopyText(Log.Path, chosen);
    LARGE_INTEGER size = {};
    if (GetFileSizeEx(file, &size) && size.QuadPart == 0)
        WriteRaw("\xEF\xBB\xBF", 3);
    LeaveCriticalSection(&Log.Lock);
    return true;
}

bool LogIsOpen() { return Log.File != INVALID_HANDLE_VALUE; }

const char* LogPath() { return Log.Path; }

// The line with the system's words for `error` after it.
static void WriteErrorLine(unsigned long error, const char* text)
{
    // The system's own words, in the player's language.
    wchar_t message[512] = {};
    DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
                                  message, 512, nullptr);
    // FormatMessage ends its text with a line end of its own.
    while (length > 0 && (message[length - 1] == L'\r' || message[length - 1] == L'\n' || message[length - 1] == L' '))
        message[--length] = L'\0';
    char line[1700];
    FormatText(line, sizeof line, "%s: error %lu: ", text, error);
    WriteLine(line, length > 0 ? message : L"?");
}

// What every logging call comes down to: its text, then "done", "failed"
// or the system's words for `error`, as `end` says.
enum class LogEnd { None, Result, Error };

static void WriteFormatted(LogEnd end, bool done, unsigned long error, const char* format, va_list args)
{
    if (!LogIsOpen())
        return;
    char text[1536];
    FormatTextV(text, sizeof text, format, args);
    if (end == LogEnd::Error || (end == LogEnd::Result && !done && error != ERROR_SUCCESS)) {
        WriteErrorLine(error, text);
    } else if (end == LogEnd::Result) {
        char line[1560];
        FormatText(line, sizeof line, "%s: %s", text, done ? "done" : "failed");
        WriteLine(line);
    } else {
        WriteLine(text);
    }
}

void LogLine(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    WriteFormatted(LogEnd::None, true, 0, format, args);
    va_end(args);
}

void LogSystemError(unsigned long error, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    WriteFormatted(LogEnd::Error, false, error, format, args);
    va_end(args);
}

void LogResult(bool done, const char* format, ...)
{
    // Read first and given back: the caller's own checks still see it.
    const DWORD error = GetLastError();
    va_list args;
    va_start(args, format);
    WriteFormatted(LogEnd::Result, done, error, format, args);
    va_end(args);
    SetLastError(error);
}

void LogClose()
{
    if (!Log.LockReady)
        return;
    EnterCriticalSection(&Log.Lock);
    if (Log.File != INVALID_HANDLE_VALUE)
        CloseHandle(Log.File);
    Log.File = INVALID_HANDLE_VALUE;
    LeaveCriticalSection(&Log.Lock);
}

namespace {

// The file version of the program's own version record, read through the
// loader alone: the version library is not one of the system's known DLLs.
bool ProgramVersion(char* out, size_t size)
{
    HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(16));
    HGLOBAL loaded = found != nullptr ? LoadResource(nullptr, found) : nullptr;
    const uint8_t* bytes = loaded != nullptr ? static_cast<const uint8_t*>(LockResource(loaded)) : nullptr;
    const DWORD length = found != nullptr ? SizeofResource(nullptr, found) : 0;
    for (DWORD i = 0; bytes != nullptr && i + 16 <= length; i += 4) {
        DWORD signature, ms, ls;
        memcpy(&signature, bytes + i, 4);
        if (signature != 0xFEEF04BD)
            continue;
        memcpy(&ms, bytes + i + 8, 4);
        memcpy(&ls, bytes + i + 12, 4);
        return FormatText(out, size, "%lu.%lu.%lu.%lu", static_cast<unsigned long>(ms >> 16),
                          static_cast<unsigned long>(ms & 0xFFFF), static_cast<unsigned long>(ls >> 16),
                          static_cast<unsigned long>(ls & 0xFFFF));
    }
    return CopyText(out, size, "?");
}

// The version Windows really is: RtlGetVersion is not subject to the
// compatibility shims that make GetVersionEx answer an older one.
void WindowsVersion(DWORD* major, DWORD* minor, DWORD* build)
{
    OSVERSIONINFOW version = {};
    version.dwOSVersionInfoSize = sizeof version;
    typedef LONG(WINAPI * RtlGetVersionCall)(OSVERSIONINFOW*);
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    const auto call = ntdll != nullptr ? reinterpret_cast<RtlGetVersionCall>(
                                             reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlGetVersion")))
                                       : nullptr;
    if (call == nullptr || call(&version) != 0)
        GetVersionExW(&version);
    *major = version.dwMajorVersion;
    *minor = version.dwMinorVersion;
    *build = version.dwBuildNumber;
}

}  // namespace

bool OpenRunLog(const char* path, const char* commandLine)
{
    if (LogIsOpen())
        return true;
    if (!LogOpen(path))
        return false;
    char version[40];
    ProgramVersion(version, sizeof version);
    LogLine("Drubel %s, %s build", version, sizeof(void*) == 8 ? "64-bit" : "32-bit");
    DWORD major = 0, minor = 0, build = 0;
    WindowsVersion(&major, &minor, &build);
    HDC screen = GetDC(nullptr);
    const int dpi = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSX) : 0;
    if (screen != nullptr)
        ReleaseDC(nullptr, screen);
    LogLine("Windows %lu.%lu build %lu, code page %u, %d DPI", static_cast<unsigned long>(major),
            static_cast<unsigned long>(minor), static_cast<unsigned long>(build), GetACP(), dpi);
    LogLine("command line: %s", commandLine != nullptr ? commandLine : "");
    return true;
}

bool OpenLogOfRun()
{
    return OpenRunLog(ActiveSwitches.LogFile, RunCommandLine);
}

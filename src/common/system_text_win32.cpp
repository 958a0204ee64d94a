#include "common/system_text.h"

#include "common/box_answer.h"
#include "common/run_switches.h"
#include "common/setup_log.h"

#include "common/cp932.h"
#include "common/system_dlls.h"

#include <commctrl.h>
#include <shlobj.h>

#include <cstring>
#include <memory>

static_assert(sizeof(wchar_t) == sizeof(char16_t), "UTF-16 is the system's wide text");

namespace {

constexpr UINT ProgramCodePage = 932;
// Wide buffers for what the system hands back: a path of the long form may
// run past 260 characters even where its 932 form, or its short form, fits.
constexpr DWORD WidePathChars = 1024;

const char16_t* AsUtf16(const wchar_t* text) { return reinterpret_cast<const char16_t*>(text); }

bool FailNoForm()
{
    SetLastError(ERROR_NO_UNICODE_TRANSLATION);
    return false;
}

// A 932 text as UTF-16 for the length of one call. A null text stays null
// (an argument left out); a text without an exact UTF-16 form is no text.
class WideText {
public:
    enum Mode { Exact, Shown };

    explicit WideText(const char* text, Mode mode = Exact)
    {
        if (text == nullptr) {
            Valid = true;
            return;
        }
        // Every 932 character, of one byte or two, is one UTF-16 unit.
        const size_t chars = strlen(text) + 1;
        Text.reset(new (std::nothrow) wchar_t[chars]);
        if (!Text)
            return;
        if (mode == Exact) {
            Valid = Cp932ToWide(text, reinterpret_cast<char16_t*>(Text.get()), chars);
        } else {
            Valid = chars <= 0x7FFFFFFF &&
                    MultiByteToWideChar(ProgramCodePage, 0, text, -1, Text.get(),
                                        static_cast<int>(chars)) > 0;
        }
        if (!Valid)
            SetLastError(ERROR_NO_UNICODE_TRANSLATION);
    }

    explicit operator bool() const { return Valid; }
    const wchar_t* Get() const { return Text.get(); }
    wchar_t* Writable() { return Text.get(); }

private:
    std::unique_ptr<wchar_t[]> Text;
    bool Valid = false;
};

// A system text in 932, exactly; an empty buffer when it has no form or does not fit.
bool ToProgram(const wchar_t* text, char* out, size_t outBytes)
{
    if (WideToCp932(AsUtf16(text), out, outBytes))
        return true;
    return FailNoForm();
}

bool ToProgramFound(const WIN32_FIND_DATAW& data, SysFindData* found)
{
    found->Attributes = data.dwFileAttributes;
    found->Size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    found->LongName = WideToCp932(AsUtf16(data.cFileName), found->Name);
    if (found->LongName)
        return true;
    // The short name names the same entry; without one no 932 path reaches it.
    if (data.cAlternateFileName[0] == 0 || !WideToCp932(AsUtf16(data.cAlternateFileName), found->Name))
        found->Name[0] = '\0';
    return true;
}

// A control's text through the wide message pair (length, then text).
bool ReadControlText(LRESULT length, char* out, size_t outBytes,
                     LRESULT (*read)(void* context, wchar_t* buffer, size_t chars), void* context)
{
    if (outBytes == 0)
        return false;
    out[0] = '\0';
    if (length < 0)
        return false;
    // A 932 text has at least one byte per UTF-16 unit: a longer one cannot fit.
    if (static_cast<size_t>(length) >= outBytes) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return false;
    }
    const size_t chars = static_cast<size_t>(length) + 1;
    std::unique_ptr<wchar_t[]> wide(new (std::nothrow) wchar_t[chars]);
    if (!wide)
        return false;
    wide[0] = 0;
    if (read(context, wide.get(), chars) < 0)
        return false;
    wide[chars - 1] = 0;
    return ToProgram(wide.get(), out, outBytes);
}

}  // namespace

bool SysTextHadNoForm() { return GetLastError() == ERROR_NO_UNICODE_TRANSLATION; }

bool SysPathFromWide(const wchar_t* path, char* out, size_t outBytes)
{
    if (outBytes == 0)
        return false;
    const bool longConverts = WideToCp932(AsUtf16(path), out, outBytes);
    bool haveShort = false;
    bool shortConverts = false;
    if (!longConverts) {
        wchar_t shortForm[WidePathChars];
        const DWORD n = GetShortPathNameW(path, shortForm, WidePathChars);
        haveShort = n > 0 && n < WidePathChars;
        shortConverts = haveShort && WideToCp932(AsUtf16(shortForm), out, outBytes);
    }
    switch (ChooseSystemPath(longConverts, haveShort, shortConverts)) {
    case SystemPathAsIs:
    case SystemPathShortForm:
        return true;
    case SystemPathUnusable:
        break;
    }
    out[0] = '\0';
    return FailNoForm();
}

// Windows, dialogs and controls.

bool SysSetWindowText(HWND window, const char* text)
{
    WideText wide(text ? text : "", WideText::Shown);
    return wide && SetWindowTextW(window, wide.Get());
}

bool SysSetDlgItemText(HWND dialog, int id, const char* text)
{
    return SysSetWindowText(GetDlgItem(dialog, id), text);
}

bool SysGetWindowText(HWND window, char* out, size_t outBytes)
{
    return ReadControlText(
        GetWindowTextLengthW(window), out, outBytes,
        [](void* context, wchar_t* buffer, size_t chars) -> LRESULT {
            SetLastError(0);
            const int n = GetWindowTextW(static_cast<HWND>(context), buffer, static_cast<int>(chars));
            return n == 0 && GetLastError() != 0 ? -1 : n;
        },
        window);
}

bool SysGetDlgItemText(HWND dialog, int id, char* out, size_t outBytes)
{
    return SysGetWindowText(GetDlgItem(dialog, id), out, outBytes);
}

int SysMessageBox(HWND owner, const char* text, const char* caption, UINT type)
{
    // Nothing is shown in a very silent run, and no box waits for an answer
    // where the switches say so: it takes its default, and the log says which.
    if (ActiveSwitches.VerySilent || ActiveSwitches.SuppressBoxes) {
        const int answer = DefaultBoxAnswer(type);
        LogLine("message [%s] %s -> %s (not shown)", caption ? caption : "", text ? text : "",
                BoxAnswerName(answer));
        return answer;
    }
    WideText wideText(text ? text : "", WideText::Shown);
    WideText wideCaption(caption, WideText::Shown);
    const int answer = MessageBoxW(owner, wideText ? wideText.Get() : L"",
                                   wideCaption ? wideCaption.Get() : L"", type);
    LogLine("message [%s] %s -> %s", caption ? caption : "", text ? text : "", BoxAnswerName(answer));
    return answer;
}

LRESULT SysComboAddString(HWND combo, const char* text)
{
    WideText wide(text, WideText::Shown);
    if (!wide || !wide.Get())
        return CB_ERR;
    return SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide.Get()));
}

bool SysComboGetText(HWND combo, int index, char* out, size_t outBytes)
{
    struct Context {
        HWND Combo;
        int Index;
    } context = {combo, index};
    return ReadControlText(
        SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0), out, outBytes,
        [](void* c, wchar_t* buffer, size_t) -> LRESULT {
            const Context* at = static_cast<const Context*>(c);
            return SendMessageW(at->Combo, CB_GETLBTEXT, static_cast<WPARAM>(at->Index),
                                reinterpret_cast<LPARAM>(buffer));
        },
        &context);
}

int SysListViewInsertItem(HWND list, int item, const char* text)
{
    WideText wide(text ? text : "", WideText::Shown);
    if (!wide)
        return -1;
    LVITEMW entry = {};
    entry.mask = LVIF_TEXT;
    entry.iItem = item;
    entry.pszText = wide.Writable();
    return static_cast<int>(SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&entry)));
}

bool SysListViewSetItemText(HWND list, int item, int subItem, const char* text)
{
    WideText wide(text ? text : "", WideText::Shown);
    if (!wide)
        return false;
    LVITEMW entry = {};
    entry.iSubItem = subItem;
    entry.pszText = wide.Writable();
    return SendMessageW(list, LVM_SETITEMTEXTW, static_cast<WPARAM>(item),
                        reinterpret_cast<LPARAM>(&entry)) != 0;
}

int SysListViewInsertColumn(HWND list, int index, const char* title, int width)
{
    WideText wide(title ? title : "", WideText::Shown);
    if (!wide)
        return -1;
    LVCOLUMNW column = {};
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    column.fmt = LVCFMT_LEFT;
    column.cx = width;
    column.pszText = wide.Writable();
    column.iSubItem = index;
    return static_cast<int>(SendMessageW(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(index),
                                         reinterpret_cast<LPARAM>(&column)));
}

// Files and folders.

HANDLE SysCreateFile(const char* path, DWORD access, DWORD share, DWORD disposition, DWORD flags)
{
    WideText wide(path);
    if (!wide || !wide.Get())
        return INVALID_HANDLE_VALUE;
    return CreateFileW(wide.Get(), access, share, nullptr, disposition, flags, nullptr);
}

bool SysDeleteFile(const char* path)
{
    WideText wide(path);
    return wide && wide.Get() && DeleteFileW(wide.Get());
}

bool SysCreateFolder(const char* path) { return SysCreateFolderWith(path, nullptr); }

bool SysCreateFolderWith(const char* path, SECURITY_ATTRIBUTES* security)
{
    WideText wide(path);
    return wide && wide.Get() && CreateDirectoryW(wide.Get(), security);
}

bool SysRemoveFolder(const char* path)
{
    WideText wide(path);
    return wide && wide.Get() && RemoveDirectoryW(wide.Get());
}

DWORD SysGetFileAttributes(const char* path)
{
    WideText wide(path);
    if (!wide || !wide.Get())
        return INVALID_FILE_ATTRIBUTES;
    return GetFileAttributesW(wide.Get());
}

bool SysSetFileAttributes(const char* path, DWORD attributes)
{
    WideText wide(path);
    return wide && wide.Get() && SetFileAttributesW(wide.Get(), attributes);
}

bool SysCopyFile(const char* from, const char* to, bool failIfExists)
{
    WideText source(from);
    WideText destination(to);
    return source && destination && source.Get() && destination.Get() &&
           CopyFileW(source.Get(), destination.Get(), failIfExists);
}

bool SysMoveFile(const char* from, const char* to)
{
    WideText source(from);
    WideText destination(to);
    return source && destination && source.Get() && destination.Get() &&
           MoveFileW(source.Get(), destination.Get());
}

bool SysReplaceFile(const char* from, const char* to)
{
    WideText source(from);
    WideText destination(to);
    // Write-through: once it returns, the new bytes are the file's, on disk.
    return source && destination && source.Get() && destination.Get() &&
           MoveFileExW(source.Get(), destination.Get(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
}

bool SysScheduleDeletion(const char* path)
{
    WideText wide(path);
    return wide && wide.Get() && MoveFileExW(wide.Get(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
}

bool SysGetFreeSpace(const char* folder, uint64_t* available)
{
    WideText wide(folder);
    ULARGE_INTEGER free;
    if (!wide || !wide.Get() || !GetDiskFreeSpaceExW(wide.Get(), &free, nullptr, nullptr))
        return false;
    *available = free.QuadPart;
    return true;
}

bool SysGetFullPath(const char* path, char* out, size_t outBytes)
{
    if (outBytes == 0)
        return false;
    out[0] = '\0';
    WideText wide(path);
    if (!wide || !wide.Get())
        return false;
    wchar_t full[WidePathChars];
    const DWORD n = GetFullPathNameW(wide.Get(), WidePathChars, full, nullptr);
    if (n == 0 || n >= WidePathChars)
        return false;
    return SysPathFromWide(full, out, outBytes);
}

HANDLE SysFindFirst(const char* pattern, SysFindData* found)
{
    WideText wide(pattern);
    if (!wide || !wide.Get())
        return INVALID_HANDLE_VALUE;
    WIN32_FIND_DATAW data;
    HANDLE search = FindFirstFileW(wide.Get(), &data);
    if (search != INVALID_HANDLE_VALUE)
        ToProgramFound(data, found);
    return search;
}

bool SysFindNext(HANDLE search, SysFindData* found)
{
    WIN32_FIND_DATAW data;
    return FindNextFileW(search, &data) && ToProgramFound(data, found);
}

// Drives.

DWORD SysGetLogicalDriveStrings(char* out, DWORD outBytes)
{
    if (outBytes == 0)
        return GetLogicalDriveStringsW(0, nullptr);
    out[0] = '\0';
    std::unique_ptr<wchar_t[]> wide(new (std::nothrow) wchar_t[outBytes]);
    if (!wide)
        return 0;
    const DWORD n = GetLogicalDriveStringsW(outBytes, wide.get());
    if (n == 0 || n >= outBytes)
        return n;
    // Roots are letters, colons and backslashes: one byte per unit.
    for (DWORD i = 0; i <= n; ++i)
        out[i] = wide[i] < 0x80 ? static_cast<char>(wide[i]) : '?';
    return n;
}

UINT SysGetDriveType(const char* root)
{
    WideText wide(root);
    return wide ? GetDriveTypeW(wide.Get()) : DRIVE_UNKNOWN;
}

bool SysMciOpen(const char* deviceType, const char* element, MCIDEVICEID* device)
{
    WideText type(deviceType);
    WideText name(element);
    if (!type || !name)
        return false;
    MCI_OPEN_PARMSW open = {};
    open.lpstrDeviceType = type.Get();
    open.lpstrElementName = name.Get();
    if (SysMciSendCommand(0, MCI_OPEN, MCI_OPEN_TYPE | MCI_OPEN_ELEMENT,
                        reinterpret_cast<DWORD_PTR>(&open)) != 0)
        return false;
    *device = open.wDeviceID;
    return true;
}

// Shell.

SysBrowseResult SysBrowseForFolder(HWND owner, const char* title, char* path, size_t pathBytes)
{
    if (pathBytes == 0)
        return SysBrowseCancelled;
    path[0] = '\0';
    WideText wideTitle(title, WideText::Shown);
    wchar_t displayName[MAX_PATH] = {};
    BROWSEINFOW info = {};
    info.hwndOwner = owner;
    info.pszDisplayName = displayName;
    info.lpszTitle = wideTitle ? wideTitle.Get() : nullptr;
    info.ulFlags = BIF_RETURNONLYFSDIRS;
    LPITEMIDLIST items = SHBrowseForFolderW(&info);
    if (items == nullptr)
        return SysBrowseCancelled;
    wchar_t chosen[MAX_PATH] = {};
    const bool named = SHGetPathFromIDListW(items, chosen) != FALSE;
    CoTaskMemFree(items);
    if (!named || !SysPathFromWide(chosen, path, pathBytes)) {
        path[0] = '\0';
        return SysBrowseUnusable;
    }
    return SysBrowseChosen;
}

bool SysGetSpecialFolder(int csidl, char* path, size_t pathBytes)
{
    if (pathBytes == 0)
        return false;
    path[0] = '\0';
    IMalloc* allocator = nullptr;
    if (FAILED(SHGetMalloc(&allocator)) || allocator == nullptr)
        return false;
    LPITEMIDLIST items = nullptr;
    wchar_t folder[MAX_PATH] = {};
    bool found = false;
    if (SUCCEEDED(SHGetSpecialFolderLocation(nullptr, csidl, &items)) && items != nullptr) {
        found = SHGetPathFromIDListW(items, folder) != FALSE;
        allocator->Free(items);
    }
    allocator->Release();
    if (found && SysPathFromWide(folder, path, pathBytes))
        return true;
    path[0] = '\0';
    return false;
}

HRESULT SysSaveShellLink(const char* linkFile, const char* target, const char* description,
                         const char* arguments, const char* workFolder, const char* iconFile,
                         int iconIndex, int showCommand)
{
    WideText file(linkFile);
    WideText wideTarget(target ? target : "");
    WideText wideDescription(description ? description : "", WideText::Shown);
    WideText wideArguments(arguments ? arguments : "");
    WideText wideFolder(workFolder ? workFolder : "");
    WideText wideIcon(iconFile ? iconFile : "");
    // A link is saved under its whole name and points at its whole target, or not at all.
    if (!file || !file.Get() || !wideTarget || !wideDescription || !wideArguments || !wideFolder ||
        !wideIcon)
        return HRESULT_FROM_WIN32(ERROR_NO_UNICODE_TRANSLATION);
    if (wcslen(file.Get()) >= MAX_PATH)
        return HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE);

    IShellLinkW* link = nullptr;
    HRESULT result = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                      reinterpret_cast<void**>(&link));
    if (FAILED(result))
        return result;
    IPersistFile* persist = nullptr;
    result = link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist));
    if (SUCCEEDED(result))
        result = link->SetPath(wideTarget.Get());
    if (SUCCEEDED(result))
        result = link->SetDescription(wideDescription.Get());
    if (SUCCEEDED(result))
        result = link->SetArguments(wideArguments.Get());
    if (SUCCEEDED(result))
        result = link->SetWorkingDirectory(wideFolder.Get());
    if (SUCCEEDED(result))
        result = link->SetIconLocation(wideIcon.Get(), iconIndex);
    if (SUCCEEDED(result))
        result = link->SetShowCmd(showCommand);
    if (SUCCEEDED(result))
        result = persist->Save(file.Get(), TRUE);
    if (persist)
        persist->Release();
    link->Release();
    return result;
}

// Registry.

// The registry's calls return their error instead of setting it: set, so
// that a failure can be told (in the setup log) as any other system call's.
static bool RegDone(LSTATUS status)
{
    SetLastError(static_cast<DWORD>(status));
    return status == ERROR_SUCCESS;
}

bool SysRegOpenKey(HKEY root, const char* path, REGSAM access, HKEY* key)
{
    WideText wide(path);
    return wide && RegDone(RegOpenKeyExW(root, wide.Get(), 0, access, key));
}

bool SysRegCreateKey(HKEY root, const char* path, REGSAM access, HKEY* key)
{
    WideText wide(path);
    return wide && wide.Get() &&
           RegDone(RegCreateKeyExW(root, wide.Get(), 0, nullptr, REG_OPTION_NON_VOLATILE, access,
                                   nullptr, key, nullptr));
}

bool SysRegReadValue(HKEY key, const char* name, DWORD* type, void* data, DWORD* size)
{
    WideText wide(name);
    *type = REG_NONE;
    return wide && RegQueryValueExW(key, wide.Get(), nullptr, type, static_cast<BYTE*>(data),
                                    size) == ERROR_SUCCESS;
}

bool SysRegReadBinary(HKEY key, const char* name, void* data, DWORD* size)
{
    DWORD type = REG_NONE;
    return SysRegReadValue(key, name, &type, data, size) && type == REG_BINARY;
}

// A string value as UTF-16, terminated whether or not it was stored with its terminator.
static std::unique_ptr<wchar_t[]> ReadWideValue(HKEY key, const char* name)
{
    WideText wide(name);
    DWORD type = 0;
    DWORD bytes = 0;
    if (!wide ||
        RegQueryValueExW(key, wide.Get(), nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ) || bytes > 64 * 1024)
        return nullptr;
    const size_t chars = bytes / sizeof(wchar_t) + 1;
    std::unique_ptr<wchar_t[]> value(new (std::nothrow) wchar_t[chars]());
    if (!value)
        return nullptr;
    DWORD read = static_cast<DWORD>((chars - 1) * sizeof(wchar_t));
    if (RegQueryValueExW(key, wide.Get(), nullptr, &type, reinterpret_cast<BYTE*>(value.get()),
                         &read) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
        return nullptr;
    value[chars - 1] = 0;
    return value;
}

// A string value in 932: as a path (with the short-form fallback) or as text.
static bool ReadTextValue(HKEY key, const char* name, char* out, size_t outBytes, bool asPath)
{
    if (outBytes == 0)
        return false;
    out[0] = '\0';
    std::unique_ptr<wchar_t[]> value = ReadWideValue(key, name);
    return value && (asPath ? SysPathFromWide(value.get(), out, outBytes)
                            : ToProgram(value.get(), out, outBytes));
}

bool SysRegReadText(HKEY key, const char* name, char* out, size_t outBytes)
{
    return ReadTextValue(key, name, out, outBytes, false);
}

bool SysRegReadPath(HKEY key, const char* name, char* out, size_t outBytes)
{
    return ReadTextValue(key, name, out, outBytes, true);
}

bool SysRegWriteBinary(HKEY key, const char* name, const void* data, DWORD size)
{
    WideText wide(name);
    return wide && RegDone(RegSetValueExW(key, wide.Get(), 0, REG_BINARY,
                                          static_cast<const BYTE*>(data), size));
}

bool SysRegWriteDword(HKEY key, const char* name, DWORD value)
{
    WideText wide(name);
    return wide && RegDone(RegSetValueExW(key, wide.Get(), 0, REG_DWORD,
                                          reinterpret_cast<const BYTE*>(&value), sizeof value));
}

bool SysRegWriteText(HKEY key, const char* name, const char* text)
{
    WideText wideName(name);
    WideText wideText(text);
    if (!wideName || !wideText || !wideText.Get())
        return false;
    const size_t bytes = (wcslen(wideText.Get()) + 1) * sizeof(wchar_t);
    return bytes <= 0xFFFFFFFFu &&
           RegDone(RegSetValueExW(key, wideName.Get(), 0, REG_SZ,
                                  reinterpret_cast<const BYTE*>(wideText.Get()),
                                  static_cast<DWORD>(bytes)));
}

bool SysRegDeleteValue(HKEY key, const char* name)
{
    WideText wide(name);
    return wide && RegDone(RegDeleteValueW(key, wide.Get()));
}

bool SysRegDeleteKey(HKEY root, const char* path)
{
    WideText wide(path);
    return wide && wide.Get() && RegDone(RegDeleteKeyW(root, wide.Get()));
}

bool SysRegEnumKey(HKEY key, DWORD index, char* name, size_t nameBytes)
{
    if (nameBytes == 0)
        return false;
    name[0] = '\0';
    // A key name has at most 255 characters.
    wchar_t wide[256];
    DWORD length = 256;
    if (RegEnumKeyExW(key, index, wide, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        return false;
    if (!WideToCp932(AsUtf16(wide), name, nameBytes))
        name[0] = '\0';
    return true;
}

bool SysRegCountEntries(HKEY key, DWORD* subkeys, DWORD* values)
{
    return RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, subkeys, nullptr, nullptr, values,
                            nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

// Processes and the program's own places.

bool SysCreateProcess(const char* application, const char* commandLine, DWORD flags,
                      const char* folder, PROCESS_INFORMATION* process)
{
    memset(process, 0, sizeof *process);
    WideText wideApplication(application);
    WideText wideCommand(commandLine);
    WideText wideFolder(folder);
    if (!wideApplication || !wideCommand || !wideFolder)
        return false;
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    return CreateProcessW(wideApplication.Get(), wideCommand.Writable(), nullptr, nullptr, FALSE,
                          flags, nullptr, wideFolder.Get(), &startup, process) != FALSE;
}

bool SysGetCommandArguments(char* out, size_t outBytes)
{
    if (outBytes == 0 || outBytes > 0x7FFFFFFF)
        return false;
    out[0] = '\0';
    const wchar_t* at = GetCommandLineW();
    if (at == nullptr)
        return false;
    // The program name, quoted or up to the first blank, as the system
    // takes it for the narrow entry point's command line.
    if (*at == L'"') {
        ++at;
        while (*at != 0 && *at != L'"')
            ++at;
        if (*at == L'"')
            ++at;
    } else {
        while (*at != 0 && *at != L' ' && *at != L'\t')
            ++at;
    }
    while (*at == L' ' || *at == L'\t')
        ++at;
    if (*at == 0)
        return true;
    BOOL usedDefault = FALSE;
    const int n = WideCharToMultiByte(ProgramCodePage, WC_NO_BEST_FIT_CHARS, at, -1, out,
                                      static_cast<int>(outBytes), "?", &usedDefault);
    if (n <= 0) {
        out[0] = '\0';
        return false;
    }
    return true;
}

// A folder or file the system writes into a wide buffer of ours, with its
// count of characters (0 on failure, the size needed when too small).
template <class Get>
static bool PathFromSystem(char* out, size_t outBytes, Get get)
{
    if (outBytes == 0)
        return false;
    out[0] = '\0';
    wchar_t path[WidePathChars];
    const DWORD n = get(path);
    return n > 0 && n < WidePathChars && SysPathFromWide(path, out, outBytes);
}

bool SysGetModulePath(char* out, size_t outBytes)
{
    return PathFromSystem(out, outBytes, [](wchar_t* path) {
        return GetModuleFileNameW(nullptr, path, WidePathChars);
    });
}

bool SysGetTempFolder(char* out, size_t outBytes)
{
    return PathFromSystem(out, outBytes,
                          [](wchar_t* path) { return GetTempPathW(WidePathChars, path); });
}

bool SysGetWindowsFolder(char* out, size_t outBytes)
{
    return PathFromSystem(out, outBytes, [](wchar_t* path) {
        return static_cast<DWORD>(GetWindowsDirectoryW(path, WidePathChars));
    });
}

bool SysSetEnvironment(const char* name, const char* value)
{
    WideText wideName(name);
    WideText wideValue(value);
    return wideName && wideName.Get() && wideValue &&
           SetEnvironmentVariableW(wideName.Get(), wideValue.Get()) != FALSE;
}

bool SysGetEnvironment(const char* name, char* out, size_t outBytes)
{
    if (outBytes == 0)
        return false;
    out[0] = '\0';
    WideText wideName(name);
    if (!wideName || !wideName.Get())
        return false;
    return PathFromSystem(out, outBytes, [&wideName](wchar_t* path) {
        return GetEnvironmentVariableW(wideName.Get(), path, WidePathChars);
    });
}

bool SysEnterWindowsFolder()
{
    wchar_t path[WidePathChars];
    const UINT n = GetWindowsDirectoryW(path, WidePathChars);
    return n > 0 && n < WidePathChars && SetCurrentDirectoryW(path);
}

#include "e2e_support.h"

#include "archive/pak_writer.h"
#include "common/cp932.h"
#include "common/system_text.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

std::vector<uint8_t> PlainBitmap(uint32_t width, uint32_t height, uint32_t bgra)
{
    std::vector<uint8_t> bytes(54 + static_cast<size_t>(width) * height * 4, 0);
    const uint32_t fields[][2] = {{2, static_cast<uint32_t>(bytes.size())}, {10, 54}, {14, 40},
                                  {18, width}, {22, height}};
    bytes[0] = 'B';
    bytes[1] = 'M';
    for (const auto& f : fields)
        for (int i = 0; i < 4; ++i)
            bytes[f[0] + i] = static_cast<uint8_t>(f[1] >> (8 * i));
    bytes[26] = 1;   // planes
    bytes[28] = 32;  // bits per pixel
    for (size_t i = 54; i < bytes.size(); i += 4)
        for (int k = 0; k < 4; ++k)
            bytes[i + k] = static_cast<uint8_t>(bgra >> (8 * k));
    return bytes;
}

namespace {

std::vector<DWORD> KnownProcesses;

// The run script hands over Unix paths; Wine shows the Unix root as Z:.
std::string FromUnix(const char* variable)
{
    const char* value = getenv(variable);
    if (!value || !*value)
        throw std::runtime_error(std::string("missing environment variable ") + variable);
    std::string path = std::string("Z:") + value;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

void Remember(DWORD processId)
{
    if (processId && std::find(KnownProcesses.begin(), KnownProcesses.end(), processId) ==
                         KnownProcesses.end())
        KnownProcesses.push_back(processId);
}

// The title picture: night blue with a lighter band.
std::vector<uint8_t> TitleBitmap()
{
    const uint32_t side = 320;
    std::vector<uint8_t> bytes = PlainBitmap(side, side, 0xFF14285A);
    for (uint32_t y = 141; y < 180; ++y)
        for (uint32_t x = 0; x < side; ++x) {
            uint8_t* p = &bytes[54 + (y * side + x) * 4];
            p[0] = 230;
            p[1] = 200;
            p[2] = 160;
        }
    return bytes;
}

struct FindRequest {
    std::string Caption;
    DWORD ProcessId;  // 0: any process but ours
    HWND Except;
    HWND Found;
};

BOOL CALLBACK MatchDialog(HWND window, LPARAM parameter)
{
    FindRequest* request = reinterpret_cast<FindRequest*>(parameter);
    if (!IsWindowVisible(window))
        return TRUE;
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (processId == GetCurrentProcessId())
        return TRUE;
    if (request->ProcessId != 0 && processId != request->ProcessId)
        return TRUE;
    char className[64] = {};
    GetClassNameA(window, className, sizeof className);
    if (strcmp(className, "#32770") != 0)
        return TRUE;
    if (request->ProcessId == 0 && WindowText(window) != request->Caption)
        return TRUE;
    if (window == request->Except)
        return TRUE;
    request->Found = window;
    return FALSE;
}

HWND FindDialog(const std::string& caption, DWORD processId, HWND except = nullptr)
{
    FindRequest request = {caption, processId, except, nullptr};
    EnumWindows(MatchDialog, reinterpret_cast<LPARAM>(&request));
    return request.Found;
}

}  // namespace

std::string DrubelExe() { return FromUnix("DRUBEL_E2E_EXE"); }
std::string DirectXStub() { return FromUnix("DRUBEL_E2E_DXSTUB"); }

std::string DriveFolder(char letter)
{
    return FromUnix("DRUBEL_E2E_DRIVES") + "\\" + static_cast<char>(tolower(letter));
}

void EjectDisc(char letter) { EmptyFolder(DriveFolder(letter)); }

std::string BuiltDisc(const char* variable, int disc)
{
    const char* folder = getenv(variable);
    if (!folder || !*folder)
        return "";
    return FromUnix(variable) + "\\disc" + std::to_string(disc);
}

std::string ScriptText(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";
    return text;
}

void WriteBytesTo(const std::string& path, const std::string& bytes)
{
    FILE* f = fopen(path.c_str(), "wb");
    ASSERT_NE(nullptr, f) << "cannot write " << path;
    fwrite(bytes.data(), 1, bytes.size(), f);
    fclose(f);
}

std::string ReadBytesFrom(const std::string& path)
{
    std::string bytes;
    FILE* f = fopen(path.c_str(), "rb");
    if (!f)
        return bytes;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, f)) > 0)
        bytes.append(buffer, n);
    fclose(f);
    return bytes;
}

bool Exists(const std::string& path)
{
    return SysGetFileAttributes(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void WriteProduct(const std::string& folder, const std::string& script, bool withTitle)
{
    CreateDirectoryA(folder.c_str(), nullptr);
    WriteBytesTo(folder + "\\Drubel.ini", script);
    std::vector<PakMemberData> members;
    members.push_back({"Drubel.ini", std::vector<uint8_t>(script.begin(), script.end())});
    if (withTitle)
        members.push_back({"TITLE.EPA", TitleBitmap()});
    std::vector<uint8_t> archive;
    std::string error;
    ASSERT_TRUE(PakBuild(members, false, &archive, &error)) << error;
    WriteBytesTo(folder + "\\Instdata.pak", std::string(archive.begin(), archive.end()));
}

HANDLE StartProgram(const Launch& launch)
{
    std::string commandLine = "\"" + launch.Program + "\"";
    if (!launch.Arguments.empty())
        commandLine += " " + launch.Arguments;

    // The driver's environment, with the program's own temporary folder.
    std::vector<std::string> variables;
    char* block = GetEnvironmentStringsA();
    for (const char* p = block; *p; p += strlen(p) + 1) {
        const std::string entry = p;
        const std::string upper = [&] {
            std::string u = entry.substr(0, entry.find('='));
            for (char& c : u)
                c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
            return u;
        }();
        if (!launch.TempFolder.empty() && (upper == "TMP" || upper == "TEMP"))
            continue;
        if (upper == "DRUBEL_E2E_MARK")
            continue;
        variables.push_back(entry);
    }
    FreeEnvironmentStringsA(block);
    if (!launch.TempFolder.empty()) {
        variables.push_back("TMP=" + launch.TempFolder);
        variables.push_back("TEMP=" + launch.TempFolder);
    }
    if (!launch.MarkFile.empty())
        variables.push_back("DRUBEL_E2E_MARK=" + launch.MarkFile);
    std::string environment;
    for (const std::string& v : variables)
        environment += v + '\0';
    environment += '\0';

    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    if (!CreateProcessA(launch.Program.c_str(), line.data(), nullptr, nullptr, FALSE, 0,
                        &environment[0],
                        launch.CurrentFolder.empty() ? nullptr : launch.CurrentFolder.c_str(),
                        &startup, &process)) {
        ADD_FAILURE() << "cannot start " << commandLine << ": error " << GetLastError();
        return nullptr;
    }
    CloseHandle(process.hThread);
    Remember(process.dwProcessId);
    return process.hProcess;
}

long WaitForExit(HANDLE process, DWORD milliseconds)
{
    if (!process || WaitForSingleObject(process, milliseconds) != WAIT_OBJECT_0)
        return -1;
    DWORD code = 0;
    GetExitCodeProcess(process, &code);
    return static_cast<long>(code);
}

static BOOL CALLBACK CollectDialogProcesses(HWND window, LPARAM)
{
    char className[64] = {};
    GetClassNameA(window, className, sizeof className);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (strcmp(className, "#32770") == 0 && processId != GetCurrentProcessId())
        Remember(processId);
    return TRUE;
}

void EndStrayProcesses()
{
    EnumWindows(CollectDialogProcesses, 0);
    for (DWORD processId : KnownProcesses) {
        HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, processId);
        if (!process)
            continue;
        if (WaitForSingleObject(process, 0) == WAIT_TIMEOUT) {
            TerminateProcess(process, 99);
            WaitForSingleObject(process, 10000);
        }
        CloseHandle(process);
    }
    KnownProcesses.clear();
}

HWND WaitForDialog(const std::string& caption, DWORD milliseconds)
{
    return WaitForDialogExcept(caption, nullptr, milliseconds);
}

HWND WaitForDialogExcept(const std::string& caption, HWND except, DWORD milliseconds)
{
    const DWORD start = GetTickCount();
    for (;;) {
        HWND found = FindDialog(caption, 0, except);
        if (found) {
            Remember(ProcessOf(found));
            return found;
        }
        if (GetTickCount() - start > milliseconds)
            return nullptr;
        Sleep(50);
    }
}

bool WaitForWindowGone(HWND window, DWORD milliseconds)
{
    const DWORD start = GetTickCount();
    while (IsWindow(window)) {
        if (GetTickCount() - start > milliseconds)
            return false;
        Sleep(50);
    }
    return true;
}

bool ProcessShowsWindow(DWORD processId, DWORD milliseconds)
{
    const DWORD start = GetTickCount();
    for (;;) {
        if (FindDialog("", processId))
            return true;
        if (GetTickCount() - start > milliseconds)
            return false;
        Sleep(50);
    }
}

// Texts of another process's windows come as UTF-16 and are converted to
// 932 by number, so that every run, whatever the driver's own code page,
// reads the same bytes as the Japanese one. A text without a 932 form
// reads as a marker no expected text holds.
static std::string FromWide(const wchar_t* wide)
{
    char text[2048];
    if (!WideToCp932(reinterpret_cast<const char16_t*>(wide), text))
        return "<no 932 form>";
    return text;
}

std::string WindowText(HWND window)
{
    wchar_t text[1024] = {};
    DWORD_PTR length = 0;
    // Through WM_GETTEXT, so that controls of another process answer too.
    SendMessageTimeoutW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text),
                        SMTO_ABORTIFHUNG, 5000, &length);
    text[1023] = 0;
    return FromWide(text);
}

std::string ControlText(HWND dialog, int id) { return WindowText(GetDlgItem(dialog, id)); }
bool ControlEnabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != 0; }

bool ControlVisible(HWND dialog, int id)
{
    return (GetWindowLongA(GetDlgItem(dialog, id), GWL_STYLE) & WS_VISIBLE) != 0;
}

HWND FocusOf(HWND dialog)
{
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &info))
        return nullptr;
    return info.hwndFocus;
}

DWORD ProcessOf(HWND window)
{
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    return processId;
}

std::string ProcessImagePath(DWORD processId)
{
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
    if (!process)
        return "";
    char path[MAX_PATH] = {};
    DWORD size = sizeof path;
    QueryFullProcessImageNameA(process, 0, path, &size);
    CloseHandle(process);
    return path;
}

HANDLE OpenWindowProcess(HWND window)
{
    const DWORD processId = ProcessOf(window);
    Remember(processId);
    return OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
}

void PressButton(HWND dialog, int id)
{
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void PressEscape(HWND dialog)
{
    HWND focus = FocusOf(dialog);
    PostMessageA(focus ? focus : dialog, WM_KEYDOWN, VK_ESCAPE, 0);
}

void PressCloseBox(HWND dialog) { PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); }

std::string MessageBoxText(HWND box) { return ControlText(box, 0xFFFF); }

std::vector<std::string> ComboEntries(HWND dialog, int id)
{
    HWND combo = GetDlgItem(dialog, id);
    std::vector<std::string> entries;
    const LRESULT count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        // Asked for in UTF-16: Wine hands the ANSI form of this message to
        // another process as UTF-16 anyway.
        const LRESULT length = SendMessageW(combo, CB_GETLBTEXTLEN, i, 0);
        if (length < 0 || length > 1000)
            continue;
        std::vector<wchar_t> wide(static_cast<size_t>(length) + 1, 0);
        SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(wide.data()));
        entries.push_back(FromWide(wide.data()));
    }
    return entries;
}

void SelectComboEntry(HWND dialog, int id, int index)
{
    SendMessageA(GetDlgItem(dialog, id), CB_SETCURSEL, index, 0);
}

void WriteInstallRecord(const std::string& key, const std::string& folder, DWORD option)
{
    HKEY handle;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0,
                                             KEY_ALL_ACCESS, nullptr, &handle, nullptr));
    std::vector<BYTE> value(260, 0);
    memcpy(value.data(), folder.data(), std::min<size_t>(folder.size(), 259));
    RegSetValueExA(handle, "InstallFolder", 0, REG_BINARY, value.data(), 260);
    RegSetValueExA(handle, "InstallOption", 0, REG_DWORD, reinterpret_cast<BYTE*>(&option),
                   sizeof option);
    RegCloseKey(handle);
}

void DeleteUserKey(const std::string& key) { RegDeleteKeyA(HKEY_CURRENT_USER, key.c_str()); }

std::vector<std::string> PendingRemovals()
{
    std::vector<std::string> files;
    HKEY key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"System\\CurrentControlSet\\Control\\Session Manager",
                      0, KEY_READ, &key) != ERROR_SUCCESS)
        return files;
    DWORD size = 0;
    if (RegQueryValueExW(key, L"PendingFileRenameOperations", nullptr, nullptr, nullptr, &size) ==
        ERROR_SUCCESS) {
        std::vector<wchar_t> value(size / sizeof(wchar_t) + 2, 0);
        RegQueryValueExW(key, L"PendingFileRenameOperations", nullptr, nullptr,
                         reinterpret_cast<BYTE*>(value.data()), &size);
        // Pairs of source and target, the target empty for a deletion: walk
        // the whole block rather than stop at the first empty string.
        const size_t count = size / sizeof(wchar_t);
        for (size_t i = 0; i < count; i += wcslen(value.data() + i) + 1) {
            if (value[i] == 0)
                continue;
            char text[1024] = {};
            WideCharToMultiByte(CP_ACP, 0, value.data() + i, -1, text, sizeof text - 1, nullptr,
                                nullptr);
            files.push_back(text);
        }
    }
    RegCloseKey(key);
    return files;
}

// The first two columns of each row of a list view of another process, in
// UTF-16 converted by number: such a list answers only through memory of
// its own process, where the item record and the text buffer are placed.
std::vector<ListRow> ListRows(HWND list)
{
    std::vector<ListRow> rows;
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE,
                                 ProcessOf(list));
    if (!process)
        return rows;
    const SIZE_T chars = 260;
    char* remote = static_cast<char*>(VirtualAllocEx(process, nullptr, sizeof(LVITEMW) + chars * 2,
                                                     MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    DWORD_PTR count = 0;
    if (remote)
        SendMessageTimeoutW(list, LVM_GETITEMCOUNT, 0, 0, SMTO_ABORTIFHUNG, 5000, &count);
    for (int item = 0; item < static_cast<int>(count); ++item) {
        std::string texts[2];
        for (int column = 0; column < 2; ++column) {
            LVITEMW request = {};
            request.iSubItem = column;
            request.pszText = reinterpret_cast<wchar_t*>(remote + sizeof(LVITEMW));
            request.cchTextMax = static_cast<int>(chars);
            wchar_t wide[chars + 1] = {};
            DWORD_PTR length = 0;
            if (WriteProcessMemory(process, remote, &request, sizeof request, nullptr) &&
                SendMessageTimeoutW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(item),
                                    reinterpret_cast<LPARAM>(remote), SMTO_ABORTIFHUNG, 5000, &length))
                ReadProcessMemory(process, remote + sizeof(LVITEMW), wide, chars * 2, nullptr);
            char text[600] = {};
            if (!WideToCp932(reinterpret_cast<const char16_t*>(wide), text))
                strcpy(text, "<no 932 form>");
            texts[column] = text;
        }
        rows.emplace_back(texts[0], texts[1]);
    }
    if (remote)
        VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    CloseHandle(process);
    return rows;
}

bool CopyTree(const std::string& from, const std::string& to)
{
    CreateDirectoryA(to.c_str(), nullptr);
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((from + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return true;
    bool copied = true;
    do {
        const std::string name = found.cFileName;
        if (name == "." || name == "..")
            continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            copied = CopyTree(from + "\\" + name, to + "\\" + name) && copied;
        else
            copied = CopyFileA((from + "\\" + name).c_str(), (to + "\\" + name).c_str(), FALSE) && copied;
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return copied;
}

// The sample product's whole round trip (launcher, options, both discs,
// shortcuts, file check, uninstall) as a player abroad sees it: the same
// run is made under the Japanese, the English and the Chinese code page.
// Window texts are read as UTF-16 and compared as code page 932; every
// name the installation makes is looked for by its UTF-16 name, which is
// exactly the UTF-8 name Wine writes into the prefix. Nothing here goes
// through the driver's own code page.
//
// Each run writes the texts it read to DRUBEL_E2E_TRANSCRIPT; a run given
// DRUBEL_E2E_REFERENCE (the Japanese run's transcript) must read the same.
#include "e2e_fixture.h"

#include "common/cp932.h"
#include "common/system_text.h"

#include <shlobj.h>

#include <cctype>
#include <cstdio>
#include <cstring>
#include <functional>

namespace {

const char Title[] = "星霜のアルカディア";
const char Record[] = "Software\\Lumenfield\\Arcadia";
enum : int { FullOption = 1002, CheckList = 1018 };

std::wstring Wide(const std::string& text)
{
    std::wstring wide(text.size() + 1, L'\0');
    if (!Cp932ToWide(text.c_str(), reinterpret_cast<char16_t*>(&wide[0]), wide.size()))
        return L"";
    wide.resize(wcslen(wide.c_str()));
    return wide;
}

std::wstring SpecialFolder(int csidl)
{
    wchar_t path[MAX_PATH] = {};
    SHGetSpecialFolderPathW(nullptr, path, csidl, FALSE);
    return path;
}

std::string Narrow(const std::wstring& wide)
{
    char text[1024];
    return WideToCp932(reinterpret_cast<const char16_t*>(wide.c_str()), text) ? text : "<no 932 form>";
}

std::string ReadAll(const std::wstring& path)
{
    std::string bytes;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return "<missing>";
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0)
        bytes.append(buffer, read);
    CloseHandle(file);
    return bytes;
}

// A Unix path from the run script, as the driver sees it.
std::string UnixPath(const char* value)
{
    std::string path = std::string("Z:") + value;
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

bool ExistsW(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void ForEachEntry(const std::wstring& folder, const std::function<void(const WIN32_FIND_DATAW&)>& visit)
{
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        if (wcscmp(found.cFileName, L".") != 0 && wcscmp(found.cFileName, L"..") != 0)
            visit(found);
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

void RemoveTreeW(const std::wstring& folder)
{
    ForEachEntry(folder, [&](const WIN32_FIND_DATAW& found) {
        const std::wstring path = folder + L"\\" + found.cFileName;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            RemoveTreeW(path);
        } else {
            SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileW(path.c_str());
        }
    });
    RemoveDirectoryW(folder.c_str());
}

// A built disc put into a fake drive, Japanese names and all.
void CopyTreeW(const std::wstring& from, const std::wstring& to)
{
    CreateDirectoryW(to.c_str(), nullptr);
    ForEachEntry(from, [&](const WIN32_FIND_DATAW& found) {
        const std::wstring source = from + L"\\" + found.cFileName;
        const std::wstring target = to + L"\\" + found.cFileName;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            CopyTreeW(source, target);
        else
            EXPECT_TRUE(CopyFileW(source.c_str(), target.c_str(), FALSE)) << "disc file not copied";
    });
}

bool WaitForFile(const std::wstring& path, DWORD milliseconds)
{
    const DWORD start = GetTickCount();
    while (!ExistsW(path) && GetTickCount() - start < milliseconds)
        Sleep(200);
    return ExistsW(path);
}

// The rows of the file check's list, a line each.
std::vector<std::string> CheckRows(HWND dialog)
{
    std::vector<std::string> rows;
    for (const ListRow& row : ListRows(GetDlgItem(dialog, CheckList)))
        rows.push_back(row.first + " | " + row.second);
    return rows;
}

struct ChildTexts {
    std::vector<std::string>* Lines;
};

BOOL CALLBACK AddChildText(HWND child, LPARAM parameter)
{
    std::string text = WindowText(child);
    // Figures of free space change from run to run; the words around them do not.
    std::string masked;
    for (char c : text)
        if (!(isdigit(static_cast<unsigned char>(c)) && !masked.empty() && masked.back() == '#'))
            masked += isdigit(static_cast<unsigned char>(c)) ? '#' : c;
    reinterpret_cast<std::vector<std::string>*>(parameter)->push_back(
        "  " + std::to_string(GetDlgCtrlID(child)) + ": " + masked);
    return TRUE;
}

class CodePageRun : public DrubelTest {
protected:
    void SetUp() override
    {
        DrubelTest::SetUp();
        Clean();
    }
    void TearDown() override
    {
        DrubelTest::TearDown();
        Clean();
    }
    void Clean()
    {
        DeleteUserKey(Record);
        for (int csidl : {CSIDL_PROGRAM_FILES, CSIDL_LOCAL_APPDATA, CSIDL_PROGRAMS})
            RemoveTreeW(SpecialFolder(csidl) + L"\\Lumenfield");
    }

    // A dialog's caption and every child's text, as read, into the transcript.
    void Note(const std::string& what, HWND window)
    {
        Transcript.push_back(what + ": " + WindowText(window));
        EnumChildWindows(window, AddChildText, reinterpret_cast<LPARAM>(&Transcript));
    }

    // A message box's caption and text; its buttons are the system's own,
    // in the system's language, so they differ between locales by design.
    void NoteMessage(const std::string& what, HWND box)
    {
        Transcript.push_back(what + ": " + WindowText(box));
        Transcript.push_back("  text: " + MessageBoxText(box));
    }

    void Keep()
    {
        std::string text;
        for (const std::string& line : Transcript) {
            EXPECT_EQ(std::string::npos, line.find("<no 932 form>")) << "a garbled text: " << line;
            text += line + "\n";
        }
        if (const char* out = getenv("DRUBEL_E2E_TRANSCRIPT"))
            WriteBytesTo(UnixPath(out), text);
        // Run alone, without the Japanese run before it, there is nothing to compare with.
        const char* reference = getenv("DRUBEL_E2E_REFERENCE");
        if (reference && Exists(UnixPath(reference)))
            EXPECT_EQ(ReadBytesFrom(UnixPath(reference)), text) << "the texts differ from the Japanese run's";
        else if (reference)
            printf("no transcript of the Japanese run at %s: the texts are not compared\n", reference);
    }

    std::vector<std::string> Transcript;
};

}  // namespace

TEST_F(CodePageRun, TheSampleRoundTripShowsAndNamesEverythingInJapanese)
{
    printf("GetACP() = %u\n", GetACP());
    const std::string disc1 = BuiltDisc("DRUBEL_E2E_SAMPLES", 1);
    ASSERT_FALSE(disc1.empty()) << "run-e2e built no sample discs: it needs a host drubelkit";
    CopyTreeW(Wide(disc1), Wide(DriveFolder('E')));
    Launch launch;
    launch.Program = "E:\\Drubel.exe";
    launch.Arguments = "t";
    launch.CurrentFolder = "E:\\";
    launch.TempFolder = Temp;
    HANDLE process = StartProgram(launch);
    ASSERT_NE(nullptr, process);
    CloseHandle(process);

    const std::string caption = std::string(Title) + " Arcadia of Starfrost";
    HWND launcher = WaitForLauncher(caption);
    ASSERT_NE(nullptr, launcher) << "no launcher captioned " << caption;
    Note("launcher", launcher);
    PressButton(launcher, LaunchInstall);
    HWND options = WaitForDialog(std::string(Title) + " のインストール設定");
    ASSERT_NE(nullptr, options) << "no options dialog";
    Note("options", options);
    PressButton(options, FullOption);
    PressButton(options, IDOK);

    HWND ask = WaitForDialog("ＤＶＤの挿入", 60000);
    ASSERT_NE(nullptr, ask) << "disc 2 was not asked for";
    EXPECT_EQ("『星霜のアルカディア・DISC2』", ControlText(ask, DiscName));
    Note("disc prompt", ask);
    CopyTreeW(Wide(BuiltDisc("DRUBEL_E2E_SAMPLES", 2)), Wide(DriveFolder('F')));
    PressButton(ask, IDOK);

    const std::wstring folder = SpecialFolder(CSIDL_PROGRAM_FILES) + L"\\Lumenfield\\Arcadia";
    const std::wstring group = SpecialFolder(CSIDL_PROGRAMS) + L"\\Lumenfield\\星霜のアルカディア";
    ASSERT_TRUE(WaitForFile(group + L"\\アンインストール.lnk", 120000)) << "the last link never came";
    Sleep(500);
    HWND screen = FindWindowW(L"QRX_INST", nullptr);
    ASSERT_NE(nullptr, screen);
    PostMessageW(screen, WM_KEYDOWN, 'A', 0);
    ASSERT_TRUE(WaitForWindowGone(screen));

    // The names on disk, 0x5C trail bytes and all.
    for (const wchar_t* name : {L"\\おまけ\\能力表.txt", L"\\manual\\readme.txt", L"\\uninst\\Drubel.exe"})
        EXPECT_TRUE(ExistsW(folder + name)) << "not installed: " << Narrow(name);
    for (const wchar_t* name : {L"\\星霜のアルカディア.lnk", L"\\ウィンドウモードで起動.lnk",
                                L"\\お読みください.lnk", L"\\能力表.lnk"})
        EXPECT_TRUE(ExistsW(group + name)) << "no link " << Narrow(name);
    EXPECT_EQ(ReadAll(Wide(disc1) + L"\\おまけ\\能力表.txt"), ReadAll(folder + L"\\おまけ\\能力表.txt"));

    launcher = WaitForLauncher(caption);
    ASSERT_NE(nullptr, launcher);
    Note("launcher, installed", launcher);
    PressButton(launcher, LaunchCheck);
    HWND check = WaitForDialog(std::string("『") + Title + "』ファイルチェック");
    ASSERT_NE(nullptr, check) << "no file check";
    PressButton(check, IDOK);
    HWND closing = WaitForDialog("Drubel", 60000);
    ASSERT_NE(nullptr, closing) << "the check never ended";
    EXPECT_EQ("インストールされたファイルはすべて正常です。", MessageBoxText(closing));
    NoteMessage("check message", closing);
    for (const std::string& row : CheckRows(check))
        Transcript.push_back("  row: " + row);
    PressButton(closing, IDOK);
    ASSERT_TRUE(WaitForWindowGone(closing));
    Note("file check", check);
    PressButton(check, IDCANCEL);
    ASSERT_TRUE(WaitForWindowGone(check));

    launcher = WaitForLauncher(caption);
    ASSERT_NE(nullptr, launcher);
    HANDLE program = OpenWindowProcess(launcher);
    PressButton(launcher, LaunchInstall);
    HWND uninstall = WaitForDialog(std::string(Title) + " のアンインストール");
    ASSERT_NE(nullptr, uninstall) << "no uninstall dialog";
    Note("uninstall", uninstall);
    PressButton(uninstall, IDOK);
    HWND done = WaitForDialogExcept(Title, nullptr, 60000);
    ASSERT_NE(nullptr, done) << "no closing message";
    NoteMessage("uninstall message", done);
    PressButton(done, IDOK);
    EXPECT_EQ(0, WaitForExit(program, 20000));
    CloseHandle(program);

    EXPECT_FALSE(ExistsW(folder + L"\\おまけ")) << "the Japanese folder stayed";
    EXPECT_FALSE(ExistsW(group)) << "the Start-menu group stayed";
    Keep();
}

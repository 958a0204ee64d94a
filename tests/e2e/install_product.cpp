#include "install_product.h"

#include "archive/pak_writer.h"

#include <objbase.h>
#include <shlobj.h>

#include <cstdio>
#include <cstring>

namespace {

const char GameMarkVariable[] = "DRUBEL_E2E_GAME_MARK";
const char ShellFolders[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

// Started as "game.exe" with the mark variable set, this driver is the
// stand-in game: it reports its current folder and command line, and ends.
struct StandInGame {
    StandInGame()
    {
        char mark[MAX_PATH] = {};
        char self[MAX_PATH] = {};
        GetModuleFileNameA(nullptr, self, sizeof self);
        const char* name = strrchr(self, '\\');
        if (!GetEnvironmentVariableA(GameMarkVariable, mark, sizeof mark) || !name ||
            lstrcmpiA(name + 1, "game.exe") != 0)
            return;
        char folder[MAX_PATH] = {};
        GetCurrentDirectoryA(sizeof folder, folder);
        const std::string report = std::string(folder) + "|" + GetCommandLineA();
        FILE* f = fopen(mark, "wb");
        if (f) {
            fwrite(report.data(), 1, report.size(), f);
            fclose(f);
        }
        ExitProcess(0);
    }
} standInGame;

std::string SpecialFolderPath(int csidl)
{
    char path[MAX_PATH] = {};
    SHGetSpecialFolderPathA(nullptr, path, csidl, FALSE);
    return path;
}

void MakeFoldersFor(const std::string& root, const std::string& relative)
{
    CreateDirectoryA(root.c_str(), nullptr);
    for (size_t at = relative.find('\\'); at != std::string::npos; at = relative.find('\\', at + 1))
        CreateDirectoryA((root + "\\" + relative.substr(0, at)).c_str(), nullptr);
}

// Bytes of a disc file, a function of its name and size.
std::string Contents(const DiscFile& file)
{
    std::string bytes(file.Size, '\0');
    uint32_t state = 2166136261u;
    for (char c : file.Name)
        state = (state ^ static_cast<uint8_t>(c)) * 16777619u;
    for (size_t i = 0; i < bytes.size(); ++i) {
        state = state * 1664525u + 1013904223u;
        bytes[i] = static_cast<char>(state >> 24);
    }
    return bytes;
}

void WriteDiscFile(const std::string& root, const DiscFile& file, const std::string& bytes)
{
    MakeFoldersFor(root, file.Name);
    WriteBytesTo(root + "\\" + file.Name, bytes);
}

std::string BytesOf(const DiscFile& file)
{
    if (!file.Source.empty())
        return ReadBytesFrom(file.Source);
    // The stand-in game is this driver itself.
    if (file.Name == "game.exe") {
        char self[MAX_PATH] = {};
        GetModuleFileNameA(nullptr, self, sizeof self);
        return ReadBytesFrom(self);
    }
    return Contents(file);
}

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

struct WindowSearch {
    HWND Found;
};

BOOL CALLBACK MatchInstallWindow(HWND window, LPARAM parameter)
{
    char className[32] = {};
    GetClassNameA(window, className, sizeof className);
    if (strcmp(className, "QRX_INST") != 0)
        return TRUE;
    reinterpret_cast<WindowSearch*>(parameter)->Found = window;
    return FALSE;
}

}  // namespace

std::string DiscFileBytes(const DiscFile& file) { return BytesOf(file); }

HWND WaitForInstallWindow(DWORD milliseconds)
{
    const DWORD start = GetTickCount();
    for (;;) {
        WindowSearch search = {nullptr};
        EnumWindows(MatchInstallWindow, reinterpret_cast<LPARAM>(&search));
        if (search.Found || GetTickCount() - start > milliseconds)
            return search.Found;
        Sleep(50);
    }
}

HWND WaitForBox(const std::string& caption, DWORD milliseconds)
{
    return WaitForDialog(caption, milliseconds);
}

bool WaitUntil(bool (*condition)(const std::string&), const std::string& argument,
               DWORD milliseconds)
{
    const DWORD start = GetTickCount();
    while (!condition(argument)) {
        if (GetTickCount() - start > milliseconds)
            return false;
        Sleep(100);
    }
    return true;
}

bool ReadRecord(std::vector<uint8_t>* folder, DWORD* folderType, DWORD* option, DWORD* optionType)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, RecordKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    folder->assign(1024, 0);
    DWORD size = static_cast<DWORD>(folder->size());
    const bool a = RegQueryValueExA(key, "InstallFolder", nullptr, folderType, folder->data(),
                                    &size) == ERROR_SUCCESS;
    folder->resize(size);
    DWORD optionSize = sizeof *option;
    const bool b = RegQueryValueExA(key, "InstallOption", nullptr, optionType,
                                    reinterpret_cast<BYTE*>(option), &optionSize) == ERROR_SUCCESS;
    RegCloseKey(key);
    return a && b;
}

void InstallTest::SetUp()
{
    DrubelTest::SetUp();
    Files = {
        {1, "game.exe", 0, false},
        {1, "data\\a.dat", 4 * 1024 * 1024 + 3, false},
        {1, "data\\big.dat", 3 * 1024 * 1024 + 17, true},
        {1, "manual\\readme.txt", 2000, false},
        {2, "data\\voice\\v1.vce", 16 * 1024 * 1024, true},
        {2, "data\\voice\\v2.vce", 1, true},
        {2, "data\\voice\\v3.vce", 3 * 4096, true},
    };
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, sizeof self);
    Files[0].Size = ReadBytesFrom(self).size();

    // Leftovers of an earlier run would hide what this one does.
    RemoveTree(InstallFolder());
    RemoveTree(SpecialFolderPath(CSIDL_PROGRAM_FILES) + "\\DrubelE2E");
    RemoveTree(SpecialFolderPath(CSIDL_LOCAL_APPDATA) + "\\DrubelE2E");
    RemoveTree(SpecialFolderPath(CSIDL_PROGRAMS) + "\\DrubelE2E");

    // The prefix's desktop is the host's home folder: the test's own instead.
    Desktop = Work / "desktop";
    CreateDirectoryA(Desktop.c_str(), nullptr);
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, ShellFolders, 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
        char previous[MAX_PATH] = {};
        DWORD size = sizeof previous - 1;
        if (RegQueryValueExA(key, "Desktop", nullptr, nullptr, reinterpret_cast<BYTE*>(previous),
                             &size) == ERROR_SUCCESS)
            PreviousDesktop = previous;
        RegSetValueExA(key, "Desktop", 0, REG_EXPAND_SZ,
                       reinterpret_cast<const BYTE*>(Desktop.c_str()),
                       static_cast<DWORD>(Desktop.size() + 1));
        RegCloseKey(key);
    }
    GameMark = Work / "game.txt";
    SetEnvironmentVariableA(GameMarkVariable, GameMark.c_str());
}

void InstallTest::TearDown()
{
    if (Process)
        CloseHandle(Process);
    Process = nullptr;
    DrubelTest::TearDown();
    SetEnvironmentVariableA(GameMarkVariable, nullptr);
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, ShellFolders, 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
        if (PreviousDesktop.empty())
            RegDeleteValueA(key, "Desktop");
        else
            RegSetValueExA(key, "Desktop", 0, REG_EXPAND_SZ,
                           reinterpret_cast<const BYTE*>(PreviousDesktop.c_str()),
                           static_cast<DWORD>(PreviousDesktop.size() + 1));
        RegCloseKey(key);
    }
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\Drubel.exe");
    RemoveTree(InstallFolder());
    RemoveTree(SpecialFolderPath(CSIDL_PROGRAM_FILES) + "\\DrubelE2E");
    RemoveTree(SpecialFolderPath(CSIDL_LOCAL_APPDATA) + "\\DrubelE2E");
    RemoveTree(SpecialFolderPath(CSIDL_PROGRAMS) + "\\DrubelE2E");
}

std::vector<std::string> InstallTest::ProductScript() const
{
    std::vector<std::string> script = BaseScript();
    std::string names[3], sizes[3], masks[3];
    for (const DiscFile& f : Files) {
        if (f.Disc == 2)
            continue;
        names[1] += " " + Quoted(f.Name);
        sizes[1] += " " + std::to_string(f.Size);
        masks[1] += f.FullOnly ? " 0x08" : " 0x0C";
    }
    size_t voices = 0;
    for (const DiscFile& f : Files)
        if (f.Disc == 2)
            voices += f.Size;
    const std::vector<std::string> lines = {
        "BRANDNAME = \"DrubelE2E\"",
        "OPTIONTITLE = \"フルインストール\" \"最小インストール\"",
        "MAKEFOLDER = \"data\" \"data\\voice\" \"manual\"",
        "FILELIST DISC1 =" + names[1],
        "FILESIZE DISC1 =" + sizes[1],
        "FILEOPTION DISC1 =" + masks[1],
        "FILELIST DISC2 = \"data\\voice\\*.vce\"",
        "FILESIZE DISC2 = " + std::to_string(voices),
        "FILEOPTION DISC2 = 0x08",
        "SHORTCUTNAME = \"テストゲーム.lnk\" \"ウィンドウで起動.lnk\" \"説明書.lnk\"",
        "SHORTCUTLINK = \"game.exe\" \"game.exe\" \"readme.txt\"",
        "SHORTCUTFOLDER = \"\" \"\" \"manual\"",
        "SHORTCUTPARAM = \"\" \"-window\" \"\"",
        "SHORTCUTLABEL = \"テストゲームを起動します\" \"ウィンドウで起動します\" \"はじめにお読みください\"",
        "SAVEFOLDER = \"save\"",
        "SAVEDATA = \"*.sav\"",
        "BACK \"BACK.EPA\" 0 0 STRETCH_DESKTOP",
        "BASE \"BASE.EPA\" 0 0 320 240 CENTER_DESKTOP",
        "PROGRESSBAR \"BAR.EPA\" 10 100 300 0 0 100 DIRECTION_RIGHT",
        "FINISH \"FINISH.EPA\" 60 60 NORMAL",
    };
    script.insert(script.end(), lines.begin(), lines.end());
    return script;
}

std::string InstallTest::PrepareProduct(const std::vector<std::string>& script)
{
    const std::string folder = Work / "product";
    CreateDirectoryA(folder.c_str(), nullptr);
    const std::string text = ScriptText(script);
    WriteBytesTo(folder + "\\Drubel.ini", text);
    std::vector<PakMemberData> members = {
        {"Drubel.ini", std::vector<uint8_t>(text.begin(), text.end())},
        {"TITLE.EPA", PlainBitmap(320, 320, 0xFF402010)},
        {"LOGO.EPA", PlainBitmap(400, 98, 0xFF20A0E0)},
        {"BACK.EPA", PlainBitmap(64, 48, 0xFF101030)},
        {"BASE.EPA", PlainBitmap(320, 240, 0xFF303060)},
        {"BAR.EPA", PlainBitmap(300, 16, 0xFF40C040)},
        {"FINISH.EPA", PlainBitmap(200, 100, 0xFFE0E0E0)},
    };
    std::vector<uint8_t> archive;
    std::string error;
    EXPECT_TRUE(PakBuild(members, false, &archive, &error)) << error;
    WriteBytesTo(folder + "\\Instdata.pak", std::string(archive.begin(), archive.end()));
    CopyFileA(DrubelExe().c_str(), (folder + "\\Drubel.exe").c_str(), FALSE);

    WriteBytesTo(DriveFolder('E') + "\\TEST1.KEY", "1");
    for (const DiscFile& f : Files)
        if (f.Disc == 1)
            WriteDiscFile(DriveFolder('E'), f, BytesOf(f));
    return folder;
}

HWND InstallTest::StartAndOpenOptions(const std::vector<std::string>& script)
{
    const std::string folder = PrepareProduct(script);
    Process = StartIn(folder, StartArguments);
    HWND launcher = WaitForLauncher(ProductTitle);
    if (!launcher)
        return nullptr;
    PressButton(launcher, LaunchInstall);
    HWND options = WaitForDialog(std::string(ProductTitle) + " のインストール設定");
    EXPECT_NE(nullptr, options) << "no options dialog";
    return options;
}

void InstallTest::InsertDisc2()
{
    WriteBytesTo(DriveFolder('F') + "\\TEST2.KEY", "2");
    for (const DiscFile& f : Files)
        if (f.Disc == 2)
            WriteDiscFile(DriveFolder('F'), f, BytesOf(f));
}

HWND InstallTest::ConfirmOptions(HWND options)
{
    PressButton(options, IDOK);
    HWND window = WaitForInstallWindow();
    EXPECT_NE(nullptr, window) << "no install window";
    return window;
}

void InstallTest::AnswerDisc2Request()
{
    HWND ask = WaitForDialog("ＤＶＤの挿入", 60000);
    ASSERT_NE(nullptr, ask) << "disc 2 was not asked for";
    EXPECT_EQ("『テストゲーム・DISC2』", ControlText(ask, DiscName));
    InsertDisc2();
    PressButton(ask, IDOK);
    ASSERT_TRUE(WaitForWindowGone(ask));
}

void InstallTest::WaitForFinish()
{
    // The links are made right before the finish screen starts.
    const std::string lastLink = StartMenuGroup() + "\\説明書.lnk";
    ASSERT_TRUE(WaitUntil([](const std::string& path) { return Exists(path); }, lastLink, 60000))
        << "no links: " << lastLink;
    Sleep(500);
}

void InstallTest::CloseFinishScreen(HWND window)
{
    PostMessageA(window, WM_KEYDOWN, 'A', 0);
    EXPECT_TRUE(WaitForWindowGone(window));
}

HWND InstallTest::InstallProduct(const std::vector<std::string>& script, bool full,
                                 bool desktopLink)
{
    HWND options = StartAndOpenOptions(script);
    if (!options)
        return nullptr;
    PressButton(options, full ? OptionFirst : OptionSecond);
    SendMessageA(GetDlgItem(options, DesktopShortcut), BM_SETCHECK,
                 desktopLink ? BST_CHECKED : BST_UNCHECKED, 0);
    HWND window = ConfirmOptions(options);
    if (!window)
        return nullptr;
    if (full)
        AnswerDisc2Request();
    WaitForFinish();
    CloseFinishScreen(window);
    return WaitForLauncher(ProductTitle);
}

std::string InstallTest::InstallFolder() const
{
    return SpecialFolderPath(CSIDL_PROGRAM_FILES) + "\\DrubelE2E\\TestGame";
}

std::string InstallTest::LocalSaveFolder() const
{
    return SpecialFolderPath(CSIDL_LOCAL_APPDATA) + "\\DrubelE2E\\テストゲーム\\save";
}

std::string InstallTest::StartMenuGroup() const
{
    return SpecialFolderPath(CSIDL_PROGRAMS) + "\\DrubelE2E\\テストゲーム";
}

void InstallTest::ExpectInstalled(bool full)
{
    for (const DiscFile& f : Files) {
        const std::string path = InstallFolder() + "\\" + f.Name;
        if (f.FullOnly && !full) {
            EXPECT_FALSE(Exists(path)) << path;
            continue;
        }
        EXPECT_TRUE(ReadBytesFrom(path) == BytesOf(f)) << "not the disc's bytes: " << path;
    }
}

void InstallTest::ExpectNothingInstalled()
{
    EXPECT_FALSE(Exists(InstallFolder())) << "the install folder stayed";
    for (const char* folder : {"\\data", "\\data\\voice", "\\manual"})
        EXPECT_FALSE(Exists(InstallFolder() + folder)) << folder;
    EXPECT_FALSE(Exists(LocalSaveFolder())) << "the save folder stayed";
    EXPECT_FALSE(Exists(StartMenuGroup())) << "links stayed";
    std::vector<uint8_t> folder;
    DWORD type, option, optionType;
    EXPECT_FALSE(ReadRecord(&folder, &type, &option, &optionType)) << "an install record";
}

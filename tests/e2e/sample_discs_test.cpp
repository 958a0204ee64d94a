// The round trips of the publisher's tool: the discs `drubelkit build` made
// of samples/ and of the mini-product (run-e2e builds them with this
// build's Drubel.exe) install from the drives as a player installs them.
#include "e2e_fixture.h"

#include <shlobj.h>

#include <algorithm>

namespace {

const char SampleTitle[] = "星霜のアルカディア";
const char SampleRecord[] = "Software\\Lumenfield\\Arcadia";

std::string SpecialFolder(int csidl)
{
    char path[MAX_PATH] = {};
    SHGetSpecialFolderPathA(nullptr, path, csidl, FALSE);
    return path;
}

// Every file below `root`, as paths relative to it.
void ListFiles(const std::string& root, const std::string& relative, std::vector<std::string>* files)
{
    WIN32_FIND_DATAA found;
    const std::string folder = relative.empty() ? root : root + "\\" + relative;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        const std::string name = found.cFileName;
        if (name == "." || name == "..")
            continue;
        const std::string path = relative.empty() ? name : relative + "\\" + name;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            ListFiles(root, path, files);
        else
            files->push_back(path);
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

// What stays on a disc: the launcher's own files at its root, the markers,
// the autorun file and the DirectX setup.
bool StaysOnDisc(const std::string& file)
{
    std::string upper = file;
    for (char& c : upper)
        c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    const bool root = upper.find('\\') == std::string::npos;
    const bool key = upper.size() > 4 && upper.compare(upper.size() - 4, 4, ".KEY") == 0;
    return (root && (key || upper == "DRUBEL.EXE" || upper == "DRUBEL.INI" || upper == "INSTDATA.PAK" ||
                     upper == "AUTORUN.INF")) ||
           upper.compare(0, 8, "DIRECTX\\") == 0;
}

void CopyDiscTo(const std::string& disc, const std::string& folder)
{
    CreateDirectoryA(folder.c_str(), nullptr);
    std::vector<std::string> files;
    ListFiles(disc, "", &files);
    for (const std::string& file : files) {
        for (size_t at = file.find('\\'); at != std::string::npos; at = file.find('\\', at + 1))
            CreateDirectoryA((folder + "\\" + file.substr(0, at)).c_str(), nullptr);
        ASSERT_TRUE(CopyFileA((disc + "\\" + file).c_str(), (folder + "\\" + file).c_str(), FALSE))
            << file;
    }
}

void InsertDisc(const std::string& disc, char drive) { CopyDiscTo(disc, DriveFolder(drive)); }

std::string SampleDisc(int disc) { return BuiltDisc("DRUBEL_E2E_SAMPLES", disc); }
// The same discs as 7-Zip extracted them from the images.
std::string ImageDisc(int disc) { return BuiltDisc("DRUBEL_E2E_IMAGE_SAMPLES", disc); }

const char AppsRoot[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

// The sample's key below the user's Uninstall key: the one whose name
// starts with the readable part of its record's key. Empty when none.
std::string SampleEntryKey()
{
    HKEY root;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, AppsRoot, 0, KEY_READ, &root) != ERROR_SUCCESS)
        return "";
    std::string found;
    char name[256];
    for (DWORD i = 0; found.empty(); ++i) {
        DWORD length = sizeof name;
        if (RegEnumKeyExA(root, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        if (std::string(name).rfind("Drubel_Lumenfield_Arcadia_", 0) == 0)
            found = std::string(AppsRoot) + "\\" + name;
    }
    RegCloseKey(root);
    return found;
}

struct EntryValue {
    DWORD Type = 0;
    std::string Text;
    DWORD Number = 0;
};

EntryValue ReadEntryValue(const std::string& key, const char* name)
{
    EntryValue value;
    HKEY handle;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return value;
    char data[1024] = {};
    DWORD size = sizeof data - 1;
    if (RegQueryValueExA(handle, name, nullptr, &value.Type, reinterpret_cast<BYTE*>(data), &size) ==
        ERROR_SUCCESS) {
        if (value.Type == REG_DWORD)
            memcpy(&value.Number, data, sizeof value.Number);
        else
            value.Text = data;
    }
    RegCloseKey(handle);
    return value;
}

// What `wine uninstaller --list` prints, through a file.
std::string UninstallerList(const std::string& work)
{
    const std::string out = work + "\\uninstaller-list.txt";
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE file = CreateFileA(out.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = file;
    startup.hStdError = file;
    PROCESS_INFORMATION process = {};
    char line[] = "uninstaller.exe --list";
    if (CreateProcessA(nullptr, line, nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) {
        WaitForSingleObject(process.hProcess, 60000);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    CloseHandle(file);
    return ReadBytesFrom(out);
}

// Every file of the disc that the installation puts in `folder` is there,
// byte for byte; returns how many were compared.
size_t ExpectInstalledFrom(const std::string& disc, const std::string& folder)
{
    std::vector<std::string> files;
    ListFiles(disc, "", &files);
    size_t installed = 0;
    for (const std::string& file : files) {
        if (StaysOnDisc(file))
            continue;
        ++installed;
        EXPECT_TRUE(ReadBytesFrom(disc + "\\" + file) == ReadBytesFrom(folder + "\\" + file))
            << "not the disc's bytes: " << file;
    }
    return installed;
}

// The install window's finish screen, once its last link exists.
void CloseFinishScreen(const std::string& lastLink)
{
    const DWORD start = GetTickCount();
    while (!Exists(lastLink) && GetTickCount() - start < 120000)
        Sleep(200);
    ASSERT_TRUE(Exists(lastLink)) << lastLink;
    Sleep(500);
    HWND window = FindWindowA("QRX_INST", nullptr);
    ASSERT_NE(nullptr, window);
    PostMessageA(window, WM_KEYDOWN, 'A', 0);
    ASSERT_TRUE(WaitForWindowGone(window));
}

HANDLE StartFromDrive(char drive, const std::string& temp)
{
    Launch launch;
    launch.Program = std::string(1, drive) + ":\\Drubel.exe";
    launch.Arguments = "t";
    launch.CurrentFolder = std::string(1, drive) + ":\\";
    launch.TempFolder = temp;
    return StartProgram(launch);
}

class SampleDiscsTest : public DrubelTest {
protected:
    void SetUp() override
    {
        DrubelTest::SetUp();
        DeleteUserKey(SampleRecord);
        Clean();
    }
    void TearDown() override
    {
        DrubelTest::TearDown();
        DeleteUserKey(SampleRecord);
        Clean();
    }
    void Clean()
    {
        for (int csidl : {CSIDL_PROGRAM_FILES, CSIDL_LOCAL_APPDATA, CSIDL_PROGRAMS})
            RemoveTree(SpecialFolder(csidl) + "\\Lumenfield");
    }
    std::string InstallFolder() const { return SpecialFolder(CSIDL_PROGRAM_FILES) + "\\Lumenfield\\Arcadia"; }
    void InstallFromBothDrives(std::string (*disc)(int));
};

}  // namespace

void SampleDiscsTest::InstallFromBothDrives(std::string (*disc)(int))
{
    InsertDisc(disc(1), 'E');
    HANDLE process = StartFromDrive('E', Temp);
    ASSERT_NE(nullptr, process);
    CloseHandle(process);

    HWND launcher = WaitForLauncher(std::string(SampleTitle) + " Arcadia of Starfrost");
    ASSERT_NE(nullptr, launcher);
    PressButton(launcher, LaunchInstall);
    HWND options = WaitForDialog(std::string(SampleTitle) + " のインストール設定");
    ASSERT_NE(nullptr, options) << "no options dialog";
    PressButton(options, 1002);  // the full installation, with disc 2
    PressButton(options, IDOK);

    HWND ask = WaitForDialog("ＤＶＤの挿入", 60000);
    ASSERT_NE(nullptr, ask) << "disc 2 was not asked for";
    EXPECT_EQ("『星霜のアルカディア・DISC2』", ControlText(ask, DiscName));
    InsertDisc(disc(2), 'F');
    PressButton(ask, IDOK);
    CloseFinishScreen(SpecialFolder(CSIDL_PROGRAMS) + "\\Lumenfield\\" + SampleTitle + "\\アンインストール.lnk");

    // Every file of both discs but the launcher's own at the root, the
    // markers and the DirectX setup is installed, byte for byte; the
    // uninstaller's copy in uninst\ among them.
    const size_t installed = ExpectInstalledFrom(disc(1), InstallFolder()) + ExpectInstalledFrom(disc(2), InstallFolder());
    EXPECT_GT(installed, 25u);
    EXPECT_TRUE(Exists(InstallFolder() + "\\uninst\\Instdata.pak"));

    launcher = WaitForLauncher(std::string(SampleTitle) + " Arcadia of Starfrost");
    ASSERT_NE(nullptr, launcher);
    EXPECT_EQ("アンインストール", ControlText(launcher, LaunchInstall));
    ExitLauncher(launcher);
}

TEST_F(SampleDiscsTest, TheBuiltDiscsInstallFromBothDrives)
{
    ASSERT_FALSE(SampleDisc(1).empty()) << "run-e2e built no sample discs: it needs a host drubelkit "
                                           "(configure with -DDRUBEL_KIT=HOST_BUILD/tools/drubelkit/drubelkit)";
    InstallFromBothDrives(SampleDisc);
}

// What a player gets who mounts the images: their files, as an independent
// reader extracts them, in the drives.
TEST_F(SampleDiscsTest, TheImagesInstallFromBothDrives)
{
    ASSERT_FALSE(ImageDisc(1).empty()) << "run-e2e extracted no sample images (it needs 7z)";
    InstallFromBothDrives(ImageDisc);
}

// drubelkit.exe, from a product folder under Japanese names, makes the
// discs and images of the Linux build, byte for byte.
TEST(DrubelkitExe, BuildsTheDiscsOfTheLinuxBuild)
{
    const char* kit = getenv("DRUBEL_E2E_KIT_EXE");
    const char* product = getenv("DRUBEL_E2E_PRODUCT");
    ASSERT_TRUE(kit != nullptr && product != nullptr && !SampleDisc(1).empty())
        << "run-e2e built no sample product, or the build has no drubelkit.exe";
    std::string productPath = std::string("Z:") + product;
    std::replace(productPath.begin(), productPath.end(), '/', '\\');
    const std::string fromLinux = SampleDisc(1).substr(0, SampleDisc(1).size() - 6);  // without \disc1
    TempDir out;
    Launch launch;
    launch.Program = std::string("Z:") + kit;
    std::replace(launch.Program.begin(), launch.Program.end(), '/', '\\');
    launch.Arguments = "build \"" + productPath + "\" -o \"" + out.Path + "\\discs\" --launcher \"" + DrubelExe() +
                       "\" --iso";
    HANDLE process = StartProgram(launch);
    ASSERT_NE(nullptr, process);
    const long status = WaitForExit(process, 600000);
    CloseHandle(process);
    ASSERT_EQ(0, status) << launch.Arguments;
    std::vector<std::string> expected, built;
    ListFiles(fromLinux, "", &expected);
    ListFiles(out.Path + "\\discs", "", &built);
    std::sort(expected.begin(), expected.end());
    std::sort(built.begin(), built.end());
    ASSERT_EQ(expected, built);
    EXPECT_GT(expected.size(), 30u);
    for (const std::string& file : expected)
        EXPECT_TRUE(ReadBytesFrom(fromLinux + "\\" + file) == ReadBytesFrom(out.Path + "\\discs\\" + file)) << file;
}

// A second product, laid out for `drubelkit build` and built by it alone.
TEST_F(DrubelTest, TheMiniProductBuiltByDrubelkitInstalls)
{
    const std::string disc = BuiltDisc("DRUBEL_E2E_MINI", 1);
    ASSERT_FALSE(disc.empty()) << "run-e2e built no mini-product: it needs a host drubelkit";
    const std::string folder = SpecialFolder(CSIDL_PROGRAM_FILES) + "\\DrubelE2E\\Mini";
    const std::string group = SpecialFolder(CSIDL_PROGRAMS) + "\\DrubelE2E\\ミニゲーム";
    DeleteUserKey("Software\\DrubelE2E\\Mini");
    RemoveTree(folder);
    RemoveTree(group);
    InsertDisc(disc, 'E');
    HANDLE process = StartFromDrive('E', Temp);
    ASSERT_NE(nullptr, process);
    CloseHandle(process);
    HWND launcher = WaitForLauncher("ミニゲーム");
    ASSERT_NE(nullptr, launcher);
    PressButton(launcher, LaunchInstall);
    HWND options = WaitForDialog("ミニゲーム のインストール設定");
    ASSERT_NE(nullptr, options) << "no options dialog";
    PressButton(options, IDOK);
    CloseFinishScreen(group + "\\ミニゲーム.lnk");
    EXPECT_EQ(4u, ExpectInstalledFrom(disc, folder));  // mini.exe, data\*.dat, readme.txt
    launcher = WaitForLauncher("ミニゲーム");
    ASSERT_NE(nullptr, launcher);
    ExitLauncher(launcher);
    DeleteUserKey("Software\\DrubelE2E\\Mini");
    RemoveTree(folder);
    RemoveTree(group);
    RemoveTree(SpecialFolder(CSIDL_LOCAL_APPDATA) + "\\DrubelE2E\\ミニゲーム");
}

// No disc drive at all: the discs copied into two folders side by side on
// the hard disk, the launcher started from the first as a player starts
// it (no letter, so through the temporary copy).
TEST_F(SampleDiscsTest, CopiedIntoDiscFoldersOnTheHardDiskItInstallsWithoutAPrompt)
{
    ASSERT_FALSE(SampleDisc(1).empty()) << "run-e2e built no sample discs";
    const std::string discs = Work / "アルカディア";
    CreateDirectoryA(discs.c_str(), nullptr);
    CopyDiscTo(SampleDisc(1), discs + "\\DISC1");
    CopyDiscTo(SampleDisc(2), discs + "\\DISC2");
    Launch launch;
    launch.Program = discs + "\\DISC1\\Drubel.exe";
    launch.CurrentFolder = discs + "\\DISC1";
    launch.TempFolder = Temp;
    HANDLE process = StartProgram(launch);
    ASSERT_NE(nullptr, process);
    CloseHandle(process);

    HWND launcher = WaitForLauncher(std::string(SampleTitle) + " Arcadia of Starfrost");
    ASSERT_NE(nullptr, launcher);
    PressButton(launcher, LaunchInstall);
    HWND options = WaitForDialog(std::string(SampleTitle) + " のインストール設定");
    ASSERT_NE(nullptr, options) << "no options dialog";
    PressButton(options, 1002);  // the full installation, with disc 2
    PressButton(options, IDOK);
    CloseFinishScreen(SpecialFolder(CSIDL_PROGRAMS) + "\\Lumenfield\\" + SampleTitle + "\\アンインストール.lnk");
    EXPECT_EQ(nullptr, WaitForDialog("ＤＶＤの挿入", 0)) << "a disc was asked for";
    EXPECT_GT(ExpectInstalledFrom(SampleDisc(1), InstallFolder()) +
                  ExpectInstalledFrom(SampleDisc(2), InstallFolder()),
              25u);
    launcher = WaitForLauncher(std::string(SampleTitle) + " Arcadia of Starfrost");
    ASSERT_NE(nullptr, launcher);
    ExitLauncher(launcher);
}

// Disc 1 in a CD/DVD drive and disc 2 on a USB stick: no prompt. The game
// is then listed in Apps & features, and its entry's command, started with
// no disc in any drive, takes everything away, the entry last.
TEST_F(SampleDiscsTest, FromACdAndAUsbStickItInstallsIsListedAndTheEntryUninstallsWithoutADisc)
{
    ASSERT_FALSE(SampleDisc(1).empty()) << "run-e2e built no sample discs";
    InsertDisc(SampleDisc(1), 'E');
    InsertDisc(SampleDisc(2), 'G');
    Launch launch;
    launch.Program = "E:\\Drubel.exe";
    launch.CurrentFolder = "E:\\";
    launch.TempFolder = Temp;
    HANDLE process = StartProgram(launch);
    ASSERT_NE(nullptr, process);
    CloseHandle(process);
    const std::string caption = std::string(SampleTitle) + " Arcadia of Starfrost";
    HWND launcher = WaitForLauncher(caption);
    ASSERT_NE(nullptr, launcher);
    PressButton(launcher, LaunchInstall);
    HWND options = WaitForDialog(std::string(SampleTitle) + " のインストール設定");
    ASSERT_NE(nullptr, options) << "no options dialog";
    PressButton(options, 1002);
    PressButton(options, IDOK);
    const std::string group = SpecialFolder(CSIDL_PROGRAMS) + "\\Lumenfield\\" + SampleTitle;
    CloseFinishScreen(group + "\\アンインストール.lnk");
    EXPECT_EQ(nullptr, WaitForDialog("ＤＶＤの挿入", 0)) << "a disc was asked for";
    EXPECT_TRUE(Exists(InstallFolder() + "\\movie\\op.mpg")) << "disc 2 was not copied";
    launcher = WaitForLauncher(caption);
    ASSERT_NE(nullptr, launcher);
    ExitLauncher(launcher);

    const std::string key = SampleEntryKey();
    ASSERT_FALSE(key.empty()) << "no entry below HKCU\\" << AppsRoot;
    EXPECT_EQ(caption, ReadEntryValue(key, "DisplayName").Text);
    EXPECT_EQ("Lumenfield", ReadEntryValue(key, "Publisher").Text);
    EXPECT_EQ(InstallFolder() + "\\Arcadia.exe", ReadEntryValue(key, "DisplayIcon").Text);
    EXPECT_EQ(InstallFolder(), ReadEntryValue(key, "InstallLocation").Text);
    const std::string program = InstallFolder() + "\\uninst\\Drubel.exe";
    const EntryValue command = ReadEntryValue(key, "UninstallString");
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), command.Type);
    EXPECT_EQ("\"" + program + "\" u", command.Text);
    EXPECT_EQ(8u, ReadEntryValue(key, "InstallDate").Text.size());
    const EntryValue size = ReadEntryValue(key, "EstimatedSize");
    EXPECT_EQ(static_cast<DWORD>(REG_DWORD), size.Type);
    EXPECT_GT(size.Number, 1000u) << "KB of the full installation";
    EXPECT_EQ(1u, ReadEntryValue(key, "NoModify").Number);
    EXPECT_EQ(1u, ReadEntryValue(key, "NoRepair").Number);
    const std::string list = UninstallerList(Work.Path);
    EXPECT_NE(std::string::npos, list.find("Arcadia of Starfrost")) << list;

    // No disc anywhere; the command as the shell starts it.
    EjectDisc('E');
    EjectDisc('G');
    Launch entry;
    entry.Program = program;
    entry.Arguments = "u";
    entry.CurrentFolder = SpecialFolder(CSIDL_WINDOWS);
    entry.TempFolder = Temp;
    HANDLE first = StartProgram(entry);
    ASSERT_NE(nullptr, first);
    EXPECT_EQ(0, WaitForExit(first, 20000));
    CloseHandle(first);
    HWND dialog = WaitForDialog(std::string(SampleTitle) + " のアンインストール");
    ASSERT_NE(nullptr, dialog) << "no uninstall dialog";
    HANDLE copy = OpenWindowProcess(dialog);
    SendDlgItemMessageA(dialog, 1009, BM_SETCHECK, BST_CHECKED, 0);
    PressButton(dialog, IDOK);
    HWND box = WaitForDialogExcept(SampleTitle, nullptr, 30000);
    ASSERT_NE(nullptr, box) << "no closing message";
    EXPECT_EQ("アンインストールが正常に終了しました。", MessageBoxText(box));
    PressButton(box, IDOK);
    EXPECT_EQ(0, WaitForExit(copy, 20000));
    CloseHandle(copy);

    EXPECT_FALSE(Exists(InstallFolder())) << "the install folder stayed";
    EXPECT_FALSE(Exists(group)) << "the Start-menu group stayed";
    EXPECT_EQ("", SampleEntryKey()) << "the entry stayed";
    HKEY record;
    EXPECT_NE(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, SampleRecord, 0, KEY_READ, &record));
    EXPECT_EQ(std::string::npos, UninstallerList(Work.Path).find("Arcadia of Starfrost"));
}

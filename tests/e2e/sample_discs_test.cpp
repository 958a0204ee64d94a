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

void InsertDisc(const std::string& disc, char drive)
{
    std::vector<std::string> files;
    ListFiles(disc, "", &files);
    for (const std::string& file : files) {
        for (size_t at = file.find('\\'); at != std::string::npos; at = file.find('\\', at + 1))
            CreateDirectoryA((DriveFolder(drive) + "\\" + file.substr(0, at)).c_str(), nullptr);
        ASSERT_TRUE(CopyFileA((disc + "\\" + file).c_str(), (DriveFolder(drive) + "\\" + file).c_str(), FALSE))
            << file;
    }
}

std::string SampleDisc(int disc) { return BuiltDisc("DRUBEL_E2E_SAMPLES", disc); }
// The same discs as 7-Zip extracted them from the images.
std::string ImageDisc(int disc) { return BuiltDisc("DRUBEL_E2E_IMAGE_SAMPLES", disc); }

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

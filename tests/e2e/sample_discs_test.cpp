// The round trip of the publisher's tool: the discs `drubelkit build` made
// of samples/ (run-e2e builds them with this build's Drubel.exe) install
// from the two drives as a player installs them.
#include "e2e_fixture.h"

#include <shlobj.h>

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

void InsertSampleDisc(int disc, char drive)
{
    std::vector<std::string> files;
    ListFiles(SampleDisc(disc), "", &files);
    for (const std::string& file : files) {
        for (size_t at = file.find('\\'); at != std::string::npos; at = file.find('\\', at + 1))
            CreateDirectoryA((DriveFolder(drive) + "\\" + file.substr(0, at)).c_str(), nullptr);
        ASSERT_TRUE(CopyFileA((SampleDisc(disc) + "\\" + file).c_str(),
                              (DriveFolder(drive) + "\\" + file).c_str(), FALSE))
            << file;
    }
}

// What stays on a disc: the launcher's own files at its root, the markers,
// the autorun file and the DirectX setup.
bool StaysOnDisc(const std::string& file)
{
    const bool root = file.find('\\') == std::string::npos;
    const std::string upper = [&] {
        std::string u = file;
        for (char& c : u)
            c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
        return u;
    }();
    return (root && upper != "ARCADIA.EXE") || upper.compare(0, 8, "DIRECTX\\") == 0;
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
};

}  // namespace

TEST_F(SampleDiscsTest, TheBuiltDiscsInstallFromBothDrives)
{
    ASSERT_FALSE(SampleDisc(1).empty()) << "run-e2e built no sample discs: it needs a host drubelkit "
                                           "(configure with -DDRUBEL_KIT=HOST_BUILD/tools/drubelkit/drubelkit)";
    InsertSampleDisc(1, 'E');
    Launch launch;
    launch.Program = "E:\\Drubel.exe";
    launch.Arguments = "t";
    launch.CurrentFolder = "E:\\";
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

    HWND ask = WaitForDialog("ＤＶＤの挿入", 60000);
    ASSERT_NE(nullptr, ask) << "disc 2 was not asked for";
    EXPECT_EQ("『星霜のアルカディア・DISC2』", ControlText(ask, DiscName));
    InsertSampleDisc(2, 'F');
    PressButton(ask, IDOK);

    // The links are made last, right before the finish screen.
    const std::string lastLink =
        SpecialFolder(CSIDL_PROGRAMS) + "\\Lumenfield\\" + SampleTitle + "\\アンインストール.lnk";
    const DWORD start = GetTickCount();
    while (!Exists(lastLink) && GetTickCount() - start < 120000)
        Sleep(200);
    ASSERT_TRUE(Exists(lastLink)) << lastLink;
    Sleep(500);
    HWND window = FindWindowA("QRX_INST", nullptr);
    ASSERT_NE(nullptr, window);
    PostMessageA(window, WM_KEYDOWN, 'A', 0);
    ASSERT_TRUE(WaitForWindowGone(window));

    // Every file of both discs but the launcher's own at the root, the
    // markers and the DirectX setup is installed, byte for byte; the
    // uninstaller's copy in uninst\ among them.
    size_t installed = 0;
    for (int disc = 1; disc <= 2; ++disc) {
        std::vector<std::string> files;
        ListFiles(SampleDisc(disc), "", &files);
        for (const std::string& file : files) {
            if (StaysOnDisc(file))
                continue;
            ++installed;
            EXPECT_TRUE(ReadBytesFrom(SampleDisc(disc) + "\\" + file) == ReadBytesFrom(InstallFolder() + "\\" + file))
                << "not the disc's bytes: " << file;
        }
    }
    EXPECT_GT(installed, 25u);
    EXPECT_TRUE(Exists(InstallFolder() + "\\uninst\\Instdata.pak"));

    launcher = WaitForLauncher(std::string(SampleTitle) + " Arcadia of Starfrost");
    ASSERT_NE(nullptr, launcher);
    EXPECT_EQ("アンインストール", ControlText(launcher, LaunchInstall));
    ExitLauncher(launcher);
}

// Starting the installed game. The stand-in game is a copy of this program
// named game.exe: started so, it writes its current folder and command line
// to probe.txt beside its own folder and ends before any test runs. It goes
// by its name, not by a variable, since a game the desktop's shell starts
// has the shell's environment, not the test's.
#include "app/game_start.h"
#include "../install/install_fixture.h"

#include <thread>

namespace {

struct GameProbe {
    GameProbe()
    {
        char self[MAX_PATH] = {};
        GetModuleFileNameA(nullptr, self, sizeof self);
        std::string path = self;
        const size_t slash = path.rfind('\\');
        if (slash == std::string::npos || _stricmp(path.c_str() + slash + 1, "game.exe") != 0)
            return;
        const std::string folderOfGame = path.substr(0, slash);
        const std::string out = folderOfGame.substr(0, folderOfGame.rfind('\\')) + "\\probe.txt";
        char folder[MAX_PATH] = {};
        GetCurrentDirectoryA(sizeof folder, folder);
        WriteText(out, std::string(folder) + "|" + GetCommandLineA());
        ExitProcess(0);
    }
} probe;

int Releases;
int Takes;
bool TakeResult;
void Release() { ++Releases; }
bool Take()
{
    ++Takes;
    return TakeResult;
}

// Presses OK on the message box of this process captioned `caption` and
// hands back its text.
std::string AnswerMessageBox(const std::string& caption)
{
    for (int i = 0; i < 2000; ++i) {
        HWND box = FindWindowA("#32770", caption.c_str());
        DWORD process = 0;
        if (box)
            GetWindowThreadProcessId(box, &process);
        if (box && process == GetCurrentProcessId()) {
            char text[512] = {};
            GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
            PostMessageA(box, WM_COMMAND, IDOK, 0);
            return text;
        }
        Sleep(10);
    }
    return "(no message box)";
}

class GameStart : public InstallTest {
protected:
    void SetUp() override
    {
        InstallTest::SetUp();
        // A blank in the path, as below "Program Files".
        Install = Root.Path + "\\Game Folder";
        CreateDirectoryA(Install.c_str(), nullptr);
        CopyText(SetupScript.InstallFolder, Install.c_str());
        CopyText(SetupScript.EXENAME, "game.exe");
        SetupScript.AppMode = ModeStartGame;
        Releases = Takes = 0;
        TakeResult = true;
    }
};

}  // namespace

TEST_F(GameStart, TheGameRunsInTheInstallFolderAndTheLauncherEnds)
{
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, sizeof self);
    const std::string game = Install + "\\game.exe";
    ASSERT_TRUE(CopyFileA(self, game.c_str(), FALSE));
    const std::string out = Root / "probe.txt";
    const int result = StartInstalledGame({Release, Take});

    EXPECT_EQ(1, result);
    EXPECT_EQ(ModeExit, SetupScript.AppMode);
    EXPECT_EQ(1, Releases);
    EXPECT_EQ(0, Takes);
    // Wine shows no token to tell whose rights the game has: the way taken
    // is what can be seen. An elevated launcher with a desktop shell never
    // starts the game as its own child.
    HANDLE token = nullptr;
    TOKEN_ELEVATION elevation = {};
    DWORD size = 0;
    const bool elevated = OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token) &&
                          GetTokenInformation(token, TokenElevation, &elevation, sizeof elevation,
                                              &size) &&
                          elevation.TokenIsElevated;
    if (token)
        CloseHandle(token);
    std::printf("elevated: %d, desktop shell window: %p, way: %d\n", elevated ? 1 : 0,
                static_cast<void*>(GetShellWindow()), static_cast<int>(LastGameStartWay()));
    if (elevated && GetShellWindow() != nullptr)
        EXPECT_NE(GameStartDirect, LastGameStartWay());
    else
        EXPECT_EQ(GameStartDirect, LastGameStartWay());
    for (int i = 0; i < 3000 && !FileExists(out); ++i)
        Sleep(10);
    const std::vector<uint8_t> bytes = ReadBytes(out);
    const std::string report(bytes.begin(), bytes.end());
    std::printf("the game reported: %s\n", report.c_str());
    EXPECT_EQ(Install + "|\"" + game + "\"", report);
    Sleep(200);  // let the copy end before its folder goes
}

// With a desktop shell window (one of this process, made the shell window
// for the test), an elevated launcher takes one of the two ways that run
// the game as the shell's user, never its own child.
TEST_F(GameStart, AnElevatedLauncherStartsTheGameAsTheShellsUser)
{
    using SetShellWindowFn = BOOL(WINAPI*)(HWND);
    const SetShellWindowFn setShell = reinterpret_cast<SetShellWindowFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "SetShellWindow")));
    if (setShell == nullptr || GetShellWindow() != nullptr)
        GTEST_SKIP() << "a shell window is there already, or none can be set";
    HWND shell = CreateWindowExA(0, "STATIC", "shell", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                 nullptr, nullptr);
    ASSERT_NE(nullptr, shell);
    if (!setShell(shell)) {
        DestroyWindow(shell);
        GTEST_SKIP() << "the shell window cannot be set";
    }
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, sizeof self);
    const std::string game = Install + "\\game.exe";
    ASSERT_TRUE(CopyFileA(self, game.c_str(), FALSE));
    const std::string out = Root / "probe.txt";
    const int result = StartInstalledGame({Release, Take});
    DestroyWindow(shell);
    std::printf("way: %d, shell window after: %p\n", static_cast<int>(LastGameStartWay()),
                static_cast<void*>(GetShellWindow()));
    EXPECT_EQ(1, result);
    EXPECT_TRUE(LastGameStartWay() == GameStartDesktopShell ||
                LastGameStartWay() == GameStartShellToken);
    for (int i = 0; i < 3000 && !FileExists(out); ++i)
        Sleep(10);
    const std::vector<uint8_t> bytes = ReadBytes(out);
    const std::string report(bytes.begin(), bytes.end());
    std::printf("the game reported: %s\n", report.c_str());
    // The shell may quote the program or not, and add a blank.
    EXPECT_EQ(0u, report.find(Install + "|")) << report;
    EXPECT_NE(std::string::npos, report.find(game)) << report;
    Sleep(200);
}

TEST_F(GameStart, AMissingGameIsReportedAndLeadsBackToTheLauncher)
{
    std::string text;
    std::thread answer([&] { text = AnswerMessageBox(SetupScript.APPLITITLE); });
    const int result = StartInstalledGame({Release, Take});
    answer.join();
    EXPECT_EQ(1, result);
    EXPECT_EQ("起動に失敗しました。再インストールする事をお薦めします。", text);
    EXPECT_EQ(ModeMenu, SetupScript.AppMode);
    EXPECT_EQ(1, Releases);
    EXPECT_EQ(1, Takes);
}

TEST_F(GameStart, WhenTheNameIsTakenMeanwhileTheProgramEndsSilently)
{
    TakeResult = false;
    EXPECT_EQ(0, StartInstalledGame({Release, Take}));
    EXPECT_EQ(1, Takes);
    // The model was reset: the title is gone.
    EXPECT_STREQ("", SetupScript.APPLITITLE);
}

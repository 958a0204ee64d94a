// Starting the installed game. The stand-in game is a copy of this program:
// started with DRUBEL_GAME_PROBE set, it writes its current folder and
// command line to that file and ends before any test runs.
#include "app/game_start.h"
#include "../install/install_fixture.h"

#include <thread>

namespace {

const char ProbeVariable[] = "DRUBEL_GAME_PROBE";

struct GameProbe {
    GameProbe()
    {
        char out[MAX_PATH];
        if (GetEnvironmentVariableA(ProbeVariable, out, sizeof out) == 0)
            return;
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
    SetEnvironmentVariableA(ProbeVariable, out.c_str());
    const int result = StartInstalledGame({Release, Take});
    SetEnvironmentVariableA(ProbeVariable, nullptr);

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

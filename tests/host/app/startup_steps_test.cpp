#include "app/startup_steps.h"

#include "script/setup_model.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

std::vector<uint32_t> DiscsAsked;
std::vector<std::string> ReloadSources;
int LocateAnswer;
// What the reloaded script's EXEC list looks like; the fake reload installs it.
ExecStep ReloadedSteps[MaxExecSteps];
int ReloadAnswer;

int FakeLocate(uint32_t disc)
{
    DiscsAsked.push_back(disc);
    if (LocateAnswer)
        SetupScript.DiscDrive = 5;
    return LocateAnswer;
}

int FakeReload(const char* source)
{
    ReloadSources.push_back(source);
    memcpy(SetupScript.EXEC, ReloadedSteps, sizeof ReloadedSteps);
    return ReloadAnswer;
}

const StartupActions Actions = {FakeLocate, FakeReload};

class StartupSteps : public testing::Test {
protected:
    void SetUp() override
    {
        DiscsAsked.clear();
        ReloadSources.clear();
        LocateAnswer = 1;
        ReloadAnswer = 1;
        memset(ReloadedSteps, 0, sizeof ReloadedSteps);
        memset(SetupScript.EXEC, 0, sizeof SetupScript.EXEC);
        SetupScript.IsInstalled = 0;
        SetupScript.DiscDrive = 0;
        strcpy(SetupScript.InstallFolder, "C:\\Games\\Arcadia");
    }
    void TearDown() override
    {
        memset(SetupScript.EXEC, 0, sizeof SetupScript.EXEC);
        memset(SetupScript.InstallFolder, 0, sizeof SetupScript.InstallFolder);
        SetupScript.DiscDrive = 0;
    }
    static void Step(int index, int32_t code, uint32_t argument)
    {
        SetupScript.EXEC[index].Code = code;
        SetupScript.EXEC[index].Argument = argument;
    }
};

}  // namespace

TEST_F(StartupSteps, ADiscRequestThenAReloadFromThatDisc)
{
    Step(0, CHANGECD, 2);
    Step(1, POPUPMESSAGE, 0);
    Step(2, LOADINIFROMCD, 0);
    EXPECT_EQ(StartupDone, RunStartupSteps(Actions));
    EXPECT_EQ(std::vector<uint32_t>({2}), DiscsAsked);
    EXPECT_EQ(std::vector<std::string>({"E:\\"}), ReloadSources);
}

TEST_F(StartupSteps, ACancelledDiscRequestEndsTheStartUp)
{
    Step(0, CHANGECD, 1);
    Step(1, LOADINIFROMCD, 0);
    LocateAnswer = 0;
    EXPECT_EQ(StartupCancelled, RunStartupSteps(Actions));
    EXPECT_TRUE(ReloadSources.empty());
}

TEST_F(StartupSteps, AQuotedDiscArgumentAsksForDiscZero)
{
    char text[PathWidth] = "DISC1";
    Step(0, CHANGECD, 1);
    SetupScript.EXEC[0].ArgumentText = text;
    LocateAnswer = 0;
    EXPECT_EQ(StartupCancelled, RunStartupSteps(Actions));
    EXPECT_EQ(std::vector<uint32_t>({0}), DiscsAsked);
    SetupScript.EXEC[0].ArgumentText = nullptr;
}

TEST_F(StartupSteps, WhenInstalledOnlyTheHardDiskReloadRuns)
{
    SetupScript.IsInstalled = 1;
    Step(0, CHANGECD, 1);
    Step(1, LOADINIFROMCD, 0);
    Step(2, LOADINIFROMHD, 0);
    Step(3, 77, 0);
    EXPECT_EQ(StartupDone, RunStartupSteps(Actions));
    EXPECT_TRUE(DiscsAsked.empty());
    EXPECT_EQ(std::vector<std::string>({"C:\\Games\\Arcadia"}), ReloadSources);
}

TEST_F(StartupSteps, NotInstalledTheHardDiskReloadIsPassedOver)
{
    Step(0, LOADINIFROMHD, 0);
    EXPECT_EQ(StartupDone, RunStartupSteps(Actions));
    EXPECT_TRUE(ReloadSources.empty());
}

TEST_F(StartupSteps, AReloadRestartsAtTheNewScriptsFirstStep)
{
    Step(0, CHANGECD, 1);
    Step(1, LOADINIFROMCD, 0);
    ReloadedSteps[0] = {CHANGECD, 2, nullptr};
    EXPECT_EQ(StartupDone, RunStartupSteps(Actions));
    EXPECT_EQ(std::vector<uint32_t>({1, 2}), DiscsAsked);
    EXPECT_EQ(1u, ReloadSources.size());
}

TEST_F(StartupSteps, AFailedReloadIsALoadFailure)
{
    Step(0, CHANGECD, 1);
    Step(1, LOADINIFROMCD, 0);
    ReloadAnswer = 0;
    EXPECT_EQ(StartupLoadFailed, RunStartupSteps(Actions));
}

TEST_F(StartupSteps, AReloadFromNoDiscAtAllIsALoadFailure)
{
    Step(0, LOADINIFROMCD, 0);
    EXPECT_EQ(StartupLoadFailed, RunStartupSteps(Actions));
    EXPECT_TRUE(ReloadSources.empty());
}

TEST_F(StartupSteps, AScriptThatReloadsItselfForEverStopsAfterEightReloads)
{
    SetupScript.IsInstalled = 1;
    Step(0, LOADINIFROMHD, 0);
    ReloadedSteps[0] = {LOADINIFROMHD, 0, nullptr};
    EXPECT_EQ(StartupLoadFailed, RunStartupSteps(Actions));
    EXPECT_EQ(static_cast<size_t>(MaxScriptReloads), ReloadSources.size());
}

TEST_F(StartupSteps, AFullListOfTenStepsEndsAfterTheLast)
{
    for (int i = 0; i < MaxExecSteps; ++i)
        Step(i, POPUPMESSAGE, 0);
    EXPECT_EQ(StartupDone, RunStartupSteps(Actions));
}

namespace {

std::vector<uint32_t> LauncherAnswers;
std::vector<std::string> ScreensRun;
uint32_t ScreenLeaves;
int ScreenResult;

void FakeLauncher()
{
    ScreensRun.push_back("launcher");
    SetupScript.AppMode = LauncherAnswers.front();
    LauncherAnswers.erase(LauncherAnswers.begin());
}

int Leave(const char* name)
{
    ScreensRun.push_back(name);
    SetupScript.AppMode = ScreenLeaves;
    return ScreenResult;
}

int FakeInstall() { return Leave("install"); }
int FakeUninstall() { return Leave("uninstall"); }
int FakeStartGame() { return Leave("game"); }
int FakeFileCheck() { return Leave("check"); }

const ModeScreens Screens = {FakeLauncher, FakeInstall, FakeUninstall, FakeStartGame,
                             FakeFileCheck};

class ModeLoop : public testing::Test {
protected:
    void SetUp() override
    {
        ScreensRun.clear();
        ScreenResult = 1;
        SetupScript.AppMode = ModeMenu;
        SetupScript.IsInstalled = 1;
    }
    void TearDown() override
    {
        SetupScript.AppMode = ModeMenu;
        SetupScript.IsInstalled = 0;
    }
};

}  // namespace

TEST_F(ModeLoop, ACompletedUninstallEndsTheProgram)
{
    LauncherAnswers = {ModeUninstall};
    ScreenLeaves = ModeUninstall;
    EXPECT_EQ(1, RunModeLoop(Screens));
    EXPECT_EQ(std::vector<std::string>({"launcher", "uninstall"}), ScreensRun);
    EXPECT_EQ(0, SetupScript.IsInstalled);
    EXPECT_EQ(ModeExit, SetupScript.AppMode);
}

TEST_F(ModeLoop, ACancelledUninstallAndAFileCheckReturnToTheLauncher)
{
    LauncherAnswers = {ModeUninstall, ModeVerify, ModeExit};
    ScreenLeaves = ModeMenu;
    EXPECT_EQ(1, RunModeLoop(Screens));
    EXPECT_EQ(std::vector<std::string>({"launcher", "uninstall", "launcher", "check", "launcher"}),
              ScreensRun);
    EXPECT_EQ(1, SetupScript.IsInstalled);
}

TEST_F(ModeLoop, AFileCheckThatKeepsItsModeStillReturnsToTheLauncher)
{
    LauncherAnswers = {ModeVerify, ModeExit};
    ScreenLeaves = ModeVerify;
    EXPECT_EQ(1, RunModeLoop(Screens));
    EXPECT_EQ(std::vector<std::string>({"launcher", "check", "launcher"}), ScreensRun);
}

TEST_F(ModeLoop, AScreenThatEndsTheProgramStopsTheLoopAtOnce)
{
    LauncherAnswers = {ModeStartGame};
    ScreenLeaves = ModeMenu;
    ScreenResult = 0;
    EXPECT_EQ(0, RunModeLoop(Screens));
    EXPECT_EQ(std::vector<std::string>({"launcher", "game"}), ScreensRun);
}

TEST_F(ModeLoop, AnUnknownModeEndsTheLoopInsteadOfSpinning)
{
    SetupScript.AppMode = 9;
    EXPECT_EQ(1, RunModeLoop(Screens));
    EXPECT_TRUE(ScreensRun.empty());
    EXPECT_EQ(ModeExit, SetupScript.AppMode);
}

// Start-up: the relaunch from the temporary folder, the single instance and
// the command letter.
#include "e2e_fixture.h"

#include <algorithm>

namespace {

bool EndsWithNoCase(const std::string& text, const std::string& tail)
{
    if (text.size() < tail.size())
        return false;
    return std::equal(tail.begin(), tail.end(), text.end() - tail.size(), [](char a, char b) {
        return tolower(static_cast<unsigned char>(a)) == tolower(static_cast<unsigned char>(b));
    });
}

}  // namespace

TEST_F(DrubelTest, StartedFromADiscTheCopyRunsFromAFreshFolderInTheTemporaryFolderAndClearsUp)
{
    MakeProductFolder(DriveFolder('E'), BaseScript());
    // As a player starts it from the disc: no letter, the disc's root current.
    Launch launch;
    launch.Program = "E:\\Drubel.exe";
    launch.CurrentFolder = "E:\\";
    launch.TempFolder = Temp;
    HANDLE first = StartProgram(launch);
    HWND launcher = WaitForLauncher(ProductTitle);
    ASSERT_NE(nullptr, launcher);
    EXPECT_EQ(0, WaitForExit(first, 20000)) << "the first instance should end after the relaunch";
    CloseHandle(first);

    // The copy runs from a folder of its own inside the temporary folder,
    // whose name holds a blank; it got its letter, so it is in temporary
    // mode and clears up at its exit. Nothing goes into the temporary
    // folder itself.
    const std::string folder = RelaunchFolder();
    ASSERT_FALSE(folder.empty());
    const std::string copy = folder + "Drubel.exe";
    EXPECT_TRUE(EndsWithNoCase(ProcessImagePath(ProcessOf(launcher)), copy))
        << "running " << ProcessImagePath(ProcessOf(launcher));
    EXPECT_TRUE(Exists(folder + "Drubel.ini"));
    EXPECT_TRUE(Exists(folder + "Instdata.pak"));
    for (const char* name : {"Drubel.exe", "Drubel.ini", "Instdata.pak"})
        EXPECT_FALSE(Exists(Temp + name)) << name;

    ExitLauncher(launcher);
    EXPECT_FALSE(Exists(folder + "Drubel.ini"));
    EXPECT_FALSE(Exists(folder + "Instdata.pak"));
    // The program file, then its folder, at the next start.
    const std::vector<std::string> pending = PendingRemovals();
    const auto at = [&](const std::string& path) {
        return std::find_if(pending.begin(), pending.end(),
                            [&](const std::string& p) { return EndsWithNoCase(p, path); });
    };
    EXPECT_NE(pending.end(), at(copy)) << pending.size() << " entries pending";
    EXPECT_NE(pending.end(), at(folder.substr(0, folder.size() - 1))) << "the folder";
    EXPECT_LT(at(copy), at(folder.substr(0, folder.size() - 1)));
}

TEST_F(DrubelTest, ASecondInstanceEndsSilently)
{
    const std::string folder = MakeProductFolder(Work / "product", BaseScript());
    HANDLE first = StartIn(folder, "t");
    HWND launcher = WaitForLauncher(ProductTitle);
    ASSERT_NE(nullptr, launcher);

    HANDLE second = StartIn(folder, "t");
    const DWORD secondId = GetProcessId(second);
    EXPECT_EQ(0, WaitForExit(second, 20000));
    EXPECT_FALSE(ProcessShowsWindow(secondId, 0));
    CloseHandle(second);
    // No letter either: the second instance does not even relaunch.
    HANDLE third = StartIn(folder, "");
    EXPECT_EQ(0, WaitForExit(third, 20000));
    CloseHandle(third);
    EXPECT_TRUE(IsWindow(launcher));

    ExitLauncher(launcher);
    CloseHandle(first);
}

TEST_F(DrubelTest, AnUnknownLetterIsShownThenTheLauncherRunsInPlace)
{
    const std::string folder = MakeProductFolder(Work / "product", BaseScript());
    // A temporary script that a temporary-mode exit would delete.
    WriteBytesTo(Temp + "Drubel.ini", "left alone");
    HANDLE process = StartIn(folder, "x");
    HWND box = WaitForDialog("DRUBEL");
    ASSERT_NE(nullptr, box);
    EXPECT_EQ("OptionString = \"x\"", MessageBoxText(box));
    PressButton(box, IDOK);

    HWND launcher = WaitForLauncher(ProductTitle);
    ASSERT_NE(nullptr, launcher);
    EXPECT_EQ(GetProcessId(process), ProcessOf(launcher));
    ExitLauncher(launcher);
    CloseHandle(process);
    EXPECT_EQ("left alone", ReadBytesFrom(Temp + "Drubel.ini"));
}

TEST_F(DrubelTest, AScriptThatCannotBeLoadedEndsWithItsMessage)
{
    const std::string folder = Work / "product";
    CreateDirectoryA(folder.c_str(), nullptr);
    CopyFileA(DrubelExe().c_str(), (folder + "\\Drubel.exe").c_str(), FALSE);
    HANDLE process = StartIn(folder, "t");
    HWND box = WaitForDialog("Drubel Error");
    ASSERT_NE(nullptr, box);
    EXPECT_EQ("設定ファイルが見つかりません。処理を中断します。", MessageBoxText(box));
    PressButton(box, IDOK);
    EXPECT_EQ(0, WaitForExit(process, 20000));
    CloseHandle(process);
}

TEST_F(DrubelTest, WithoutAUsableTemporaryFolderTheFirstInstanceGoesOnInPlace)
{
    MakeProductFolder(DriveFolder('E'), BaseScript());
    Launch launch;
    launch.Program = "E:\\Drubel.exe";
    launch.CurrentFolder = "E:\\";
    launch.TempFolder = Work / "no such folder\\";
    HANDLE first = StartProgram(launch);
    HWND launcher = WaitForLauncher(ProductTitle);
    ASSERT_NE(nullptr, launcher);
    // The copy could not be made, so this is the first instance itself.
    EXPECT_EQ(GetProcessId(first), ProcessOf(launcher));
    ExitLauncher(launcher);
    CloseHandle(first);
    // Not in temporary mode: nothing on the disc side was touched.
    EXPECT_TRUE(Exists(DriveFolder('E') + "\\Drubel.ini"));
}

// A disc whose setup data cannot be read says so, and a temporary folder
// too long for the relaunch leaves the launcher running in place.
#include "e2e_fixture.h"

#include <functional>

TEST_F(DrubelTest, AMissingTruncatedOrLyingArchiveIsNamedToThePlayer)
{
    const std::string folder = Work / "product";
    const std::pair<const char*, std::function<void(const std::string&)>> damages[] = {
        {"missing", [](const std::string& pak) { DeleteFileA(pak.c_str()); }},
        {"empty", [](const std::string& pak) { WriteBytesTo(pak, ""); }},
        {"truncated", [](const std::string& pak) { WriteBytesTo(pak, ReadBytesFrom(pak).substr(0, 10)); }},
        // A header that announces more members than the file holds.
        {"lying", [](const std::string& pak) {
             std::string bytes = ReadBytesFrom(pak);
             bytes[12] = '\xFF';
             bytes[13] = '\xFF';
             WriteBytesTo(pak, bytes);
         }},
    };
    for (const auto& damage : damages) {
        MakeProductFolder(folder, BaseScript());
        damage.second(folder + "\\Instdata.pak");
        HANDLE process = StartIn(folder, "t");
        HWND box = WaitForDialog(ProductTitle);
        ASSERT_NE(nullptr, box) << damage.first << ": no message";
        EXPECT_EQ("ディスクのセットアップデータ（Instdata.pak）が正しく読めません。処理を中断します。",
                  MessageBoxText(box))
            << damage.first;
        PressButton(box, IDOK);
        EXPECT_EQ(0, WaitForExit(process, 20000)) << damage.first;
        CloseHandle(process);
    }
}

TEST_F(DrubelTest, ATemporaryFolderTooLongForTheRelaunchLeavesTheLauncherInPlace)
{
    const std::string folder = MakeProductFolder(Work / "product", BaseScript());
    // 252 characters: room for the folder, none for the copy's name in it.
    std::string temp = Work.Path;
    while (temp.size() < 230)
        CreateDirectoryA((temp += "\\tmp-long-folder").c_str(), nullptr);
    CreateDirectoryA((temp += "\\" + std::string(250 - temp.size(), 't')).c_str(), nullptr);
    temp += "\\";
    Launch launch;
    launch.Program = folder + "\\Drubel.exe";
    launch.CurrentFolder = folder;
    launch.TempFolder = temp;
    HANDLE process = StartProgram(launch);
    HWND launcher = WaitForLauncher(ProductTitle);
    ASSERT_NE(nullptr, launcher) << "temporary folder of " << temp.size() << " characters";
    EXPECT_EQ(GetProcessId(process), ProcessOf(launcher))
        << "the launcher should run in place, not as " << ProcessImagePath(ProcessOf(launcher))
        << " (temporary folder of " << temp.size() << " characters)";
    ExitLauncher(launcher);
    CloseHandle(process);
}

// The launcher's game button after an installation.
#include "install_product.h"

TEST_F(InstallTest, TheGameStartsInTheInstallFolderAndTheLauncherEnds)
{
    HWND options = StartAndOpenOptions();
    ASSERT_NE(nullptr, options);
    PressButton(options, OptionSecond);
    HWND window = ConfirmOptions(options);
    ASSERT_NE(nullptr, window);
    WaitForFinish();
    CloseFinishScreen(window);
    HWND launcher = WaitForLauncher(ProductTitle);
    ASSERT_NE(nullptr, launcher);

    PressButton(launcher, LaunchGame);
    EXPECT_EQ(0, WaitForExit(Process, 20000)) << "the launcher did not end";
    ASSERT_TRUE(WaitUntil([](const std::string& path) { return Exists(path); }, GameMark, 20000));
    Sleep(200);
    EXPECT_EQ(InstallFolder() + "|\"" + InstallFolder() + "\\game.exe\"", ReadBytesFrom(GameMark));
}

TEST_F(InstallTest, AMissingGameIsReportedAndTheLauncherComesBack)
{
    HWND options = StartAndOpenOptions();
    ASSERT_NE(nullptr, options);
    PressButton(options, OptionSecond);
    HWND window = ConfirmOptions(options);
    ASSERT_NE(nullptr, window);
    WaitForFinish();
    CloseFinishScreen(window);
    HWND launcher = WaitForLauncher(ProductTitle);
    ASSERT_NE(nullptr, launcher);
    DeleteFileA((InstallFolder() + "\\game.exe").c_str());

    PressButton(launcher, LaunchGame);
    ASSERT_TRUE(WaitForWindowGone(launcher));
    HWND box = WaitForBox(ProductTitle);
    ASSERT_NE(nullptr, box);
    EXPECT_EQ("起動に失敗しました。再インストールする事をお薦めします。", MessageBoxText(box));
    PressButton(box, IDOK);
    launcher = WaitForLauncher(ProductTitle);
    ASSERT_NE(nullptr, launcher);
    EXPECT_EQ("アンインストール", ControlText(launcher, LaunchInstall));
    ExitLauncher(launcher);
}

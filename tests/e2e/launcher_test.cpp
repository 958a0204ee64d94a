// The launcher dialog: caption, buttons for an installed and a fresh
// product, the ways out, and a missing title picture.
#include "e2e_fixture.h"

TEST_F(DrubelTest, NotInstalledTheLauncherOffersTheInstall)
{
    std::vector<std::string> script = BaseScript();
    script.push_back("DXDISC = 2");
    script.push_back("DXPLACE = \"DirectX\\DXSETUP.EXE\"");
    const std::string folder = MakeProductFolder(Work / "product", script);
    HANDLE process = StartIn(folder, "t");
    HWND launcher = WaitForLauncher(ProductTitle);
    ASSERT_NE(nullptr, launcher);

    EXPECT_EQ("インストール", ControlText(launcher, LaunchInstall));
    EXPECT_TRUE(ControlEnabled(launcher, LaunchInstall));
    EXPECT_FALSE(ControlEnabled(launcher, LaunchGame));
    EXPECT_FALSE(ControlEnabled(launcher, LaunchCheck));
    EXPECT_TRUE(ControlVisible(launcher, LaunchDirectX));
    EXPECT_TRUE(ControlEnabled(launcher, LaunchDirectX));
    EXPECT_EQ("終了", ControlText(launcher, LaunchExit));
    EXPECT_EQ(GetDlgItem(launcher, LaunchInstall), FocusOf(launcher));

    // The install leads to the options dialog, which cannot show itself
    // without its logo picture: the player is told, and the program ends.
    PressButton(launcher, LaunchInstall);
    ASSERT_TRUE(WaitForWindowGone(launcher));
    HWND box = WaitForDialog(ProductTitle);
    ASSERT_NE(nullptr, box) << "no message about the logo";
    EXPECT_EQ("ディスクのセットアップデータ（LOGO.EPA）が正しく読めません。処理を中断します。",
              MessageBoxText(box));
    PressButton(box, IDOK);
    EXPECT_EQ(0, WaitForExit(process, 20000));
    CloseHandle(process);
}

TEST_F(DrubelTest, InstalledTheLauncherOffersUninstallGameAndCheck)
{
    std::vector<std::string> script = BaseScript();
    script.push_back("SUBTITLE = \"Test Edition\"");
    WriteInstallRecord(RecordKey, "C:\\Games\\TestGame", 8);
    const std::string folder = MakeProductFolder(Work / "product", script);
    HANDLE process = StartIn(folder, "t");
    HWND launcher = WaitForLauncher(std::string(ProductTitle) + " Test Edition");
    ASSERT_NE(nullptr, launcher);

    EXPECT_EQ("アンインストール", ControlText(launcher, LaunchInstall));
    EXPECT_TRUE(ControlEnabled(launcher, LaunchGame));
    EXPECT_TRUE(ControlEnabled(launcher, LaunchCheck));
    // No DXPLACE: no DirectX button.
    EXPECT_FALSE(ControlVisible(launcher, LaunchDirectX));
    EXPECT_EQ(GetDlgItem(launcher, LaunchGame), FocusOf(launcher));
    ExitLauncher(launcher);
    CloseHandle(process);
}

TEST_F(DrubelTest, EscapeEndsTheLauncher)
{
    const std::string folder = MakeProductFolder(Work / "product", BaseScript());
    HANDLE process = StartIn(folder, "t");
    HWND launcher = WaitForLauncher(ProductTitle);
    ASSERT_NE(nullptr, launcher);
    PressEscape(launcher);
    EXPECT_EQ(0, WaitForExit(process, 20000));
    CloseHandle(process);
}

TEST_F(DrubelTest, TheCloseBoxEndsTheLauncher)
{
    const std::string folder = MakeProductFolder(Work / "product", BaseScript());
    HANDLE process = StartIn(folder, "t");
    HWND launcher = WaitForLauncher(ProductTitle);
    ASSERT_NE(nullptr, launcher);
    PressCloseBox(launcher);
    EXPECT_EQ(0, WaitForExit(process, 20000));
    CloseHandle(process);
}

TEST_F(DrubelTest, WithoutTitlePictureThePlayerIsToldAndTheProgramEnds)
{
    const std::string folder = MakeProductFolder(Work / "product", BaseScript(), false);
    HANDLE process = StartIn(folder, "t");
    HWND box = WaitForDialog(ProductTitle);
    ASSERT_NE(nullptr, box) << "no message about the title picture";
    EXPECT_EQ("ディスクのセットアップデータ（TITLE.EPA）が正しく読めません。処理を中断します。",
              MessageBoxText(box));
    PressButton(box, IDOK);
    EXPECT_EQ(0, WaitForExit(process, 20000));
    CloseHandle(process);
}

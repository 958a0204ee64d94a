// Complete installations of both options from the two discs.
#include "install_product.h"

namespace {

uint32_t Megabytes(size_t bytes) { return static_cast<uint32_t>(bytes / 1048576 + 1); }

}  // namespace

TEST_F(InstallTest, FullInstallationFromBothDiscsWithTheDesktopLink)
{
    HWND options = StartAndOpenOptions();
    ASSERT_NE(nullptr, options);
    size_t full = 0, minimum = 0;
    for (const DiscFile& f : Files) {
        full += f.Size;
        minimum += f.FullOnly ? 0 : f.Size;
    }
    EXPECT_EQ("フルインストール ( " + std::to_string(Megabytes(full)) + "MB)",
              ControlText(options, OptionFirst));
    EXPECT_EQ("最小インストール ( " + std::to_string(Megabytes(minimum)) + "MB)",
              ControlText(options, OptionSecond));
    EXPECT_EQ("（指定場所に TestGame フォルダを作成し、そこにインストールします。）",
              ControlText(options, InstallHint));
    EXPECT_EQ(InstallFolder().substr(0, InstallFolder().size() - 9) + "\\",
              ControlText(options, InstallPath));
    SendMessageA(GetDlgItem(options, DesktopShortcut), BM_SETCHECK, BST_CHECKED, 0);

    HWND window = ConfirmOptions(options);
    ASSERT_NE(nullptr, window);
    AnswerDisc2Request();
    WaitForFinish();
    CloseFinishScreen(window);

    HWND launcher = WaitForLauncher(ProductTitle);
    ASSERT_NE(nullptr, launcher);
    EXPECT_EQ("アンインストール", ControlText(launcher, LaunchInstall));
    EXPECT_TRUE(ControlEnabled(launcher, LaunchGame));

    ExpectInstalled(true);
    std::vector<uint8_t> folder;
    DWORD folderType = 0, option = 0, optionType = 0;
    ASSERT_TRUE(ReadRecord(&folder, &folderType, &option, &optionType));
    EXPECT_EQ(static_cast<DWORD>(REG_BINARY), folderType);
    ASSERT_EQ(260u, folder.size());
    EXPECT_EQ(InstallFolder(), std::string(reinterpret_cast<const char*>(folder.data())));
    EXPECT_EQ(static_cast<DWORD>(REG_DWORD), optionType);
    EXPECT_EQ(0x28u, option);

    // The prefix answers as Windows 10 (run-e2e), and the game lies below
    // Program Files.
    EXPECT_EQ("save=" + LocalSaveFolder(), ReadBytesFrom(InstallFolder() + "\\Install.ini"));
    EXPECT_TRUE(Exists(LocalSaveFolder()));

    const std::string group = StartMenuGroup();
    LinkInfo game = ReadShellLink(group + "\\テストゲーム.lnk");
    EXPECT_EQ(InstallFolder() + "\\game.exe", game.Target);
    EXPECT_EQ("", game.Arguments);
    EXPECT_EQ(InstallFolder(), game.WorkFolder);
    EXPECT_EQ("テストゲームを起動します", game.Description);
    LinkInfo window2 = ReadShellLink(group + "\\ウィンドウで起動.lnk");
    EXPECT_EQ("-window", window2.Arguments);
    LinkInfo readme = ReadShellLink(group + "\\説明書.lnk");
    EXPECT_EQ(InstallFolder() + "\\manual\\readme.txt", readme.Target);
    EXPECT_EQ(InstallFolder() + "\\manual", readme.WorkFolder);
    EXPECT_EQ("はじめにお読みください", readme.Description);
    LinkInfo desktop = ReadShellLink(DesktopFolder() + "\\テストゲーム.lnk");
    EXPECT_EQ(InstallFolder() + "\\game.exe", desktop.Target);
    EXPECT_EQ("テストゲームを起動します", desktop.Description);

    ExitLauncher(launcher);
}

TEST_F(InstallTest, MinimumInstallationInWindowsXpModeNeedsOnlyDisc1)
{
    // Wine answers this program with Windows XP.
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\Drubel.exe",
                                             0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr));
    RegSetValueExA(key, "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>("winxp64"), 8);
    RegCloseKey(key);

    HWND options = StartAndOpenOptions();
    ASSERT_NE(nullptr, options);
    PressButton(options, OptionSecond);
    HWND window = ConfirmOptions(options);
    ASSERT_NE(nullptr, window);
    WaitForFinish();
    EXPECT_EQ(nullptr, WaitForDialog("ＤＶＤの挿入", 500)) << "disc 2 was asked for";
    CloseFinishScreen(window);
    HWND launcher = WaitForLauncher(ProductTitle);
    ASSERT_NE(nullptr, launcher);

    ExpectInstalled(false);
    std::vector<uint8_t> folder;
    DWORD folderType = 0, option = 0, optionType = 0;
    ASSERT_TRUE(ReadRecord(&folder, &folderType, &option, &optionType));
    EXPECT_EQ(4u, option);
    EXPECT_EQ("save=" + InstallFolder() + "\\save", ReadBytesFrom(InstallFolder() + "\\Install.ini"));
    EXPECT_TRUE(Exists(InstallFolder() + "\\save"));
    EXPECT_FALSE(Exists(LocalSaveFolder()));
    EXPECT_FALSE(Exists(DesktopFolder() + "\\テストゲーム.lnk"));
    EXPECT_TRUE(Exists(StartMenuGroup() + "\\テストゲーム.lnk"));
    ExitLauncher(launcher);
}

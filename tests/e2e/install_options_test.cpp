// The install options dialog: the destination checks, the free-space
// warning and a product with one option.
#include "install_product.h"

namespace {

void TypePath(HWND options, const std::string& path)
{
    SendMessageA(GetDlgItem(options, InstallPath), WM_SETTEXT, 0,
                 reinterpret_cast<LPARAM>(path.c_str()));
}

// Confirms, expects a box with `text`, dismisses it; the dialog stays.
void ExpectRefused(HWND options, const std::string& text)
{
    PressButton(options, IDOK);
    HWND box = WaitForDialogExcept(ProductTitle, nullptr);
    ASSERT_NE(nullptr, box) << "no message for " << text;
    EXPECT_EQ(text, MessageBoxText(box));
    PressButton(box, IDOK);
    ASSERT_TRUE(WaitForWindowGone(box));
    EXPECT_TRUE(IsWindowVisible(options));
}

}  // namespace

TEST_F(InstallTest, TheDestinationIsCheckedBeforeAnythingHappens)
{
    HWND options = StartAndOpenOptions();
    ASSERT_NE(nullptr, options);
    // A relative path longer than any path resolves to nothing usable.
    TypePath(options, std::string(250, 'a'));
    ExpectRefused(options, "インストール先の指定が不正です。再度入力して下さい。");
    TypePath(options, "\\\\server\\share\\games");
    ExpectRefused(options, "インストール先のドライブが不明です。再度入力して下さい。");
    TypePath(options, "Q:\\Games");
    ExpectRefused(options, "インストール先のドライブが不正です。再度入力して下さい。");

    PressButton(options, IDCANCEL);
    HWND launcher = WaitForLauncher(ProductTitle);
    ASSERT_NE(nullptr, launcher);
    EXPECT_FALSE(Exists(InstallFolder()));
    ExitLauncher(launcher);
}

TEST_F(InstallTest, NotEnoughFreeSpaceShowsTheWarningWhichGoesBackOrOn)
{
    // Two hundred more files listed at 4 GB each: far more than the disk
    // holds, though each is a byte on the disc.
    std::vector<std::string> script = ProductScript();
    for (int i = 0; i < 200; ++i)
        script.push_back("FILE = \"h" + std::to_string(i) + ".dat\" 4294967295 0x0C 1 \"\"");
    HWND options = StartAndOpenOptions(script);
    ASSERT_NE(nullptr, options);
    for (int i = 0; i < 200; ++i)
        WriteBytesTo(DriveFolder('E') + "\\h" + std::to_string(i) + ".dat", "h");

    PressButton(options, IDOK);
    HWND warning = WaitForDialog("空きディスク容量の警告");
    ASSERT_NE(nullptr, warning);
    PressButton(warning, IDOK);  // 戻る
    ASSERT_TRUE(WaitForWindowGone(warning));
    EXPECT_TRUE(IsWindowVisible(options));
    EXPECT_EQ(nullptr, WaitForInstallWindow(500));

    PressButton(options, IDOK);
    warning = WaitForDialog("空きディスク容量の警告");
    ASSERT_NE(nullptr, warning);
    PressButton(warning, IDCANCEL);  // 強制実行
    HWND window = WaitForInstallWindow();
    ASSERT_NE(nullptr, window);
    // A close from outside is the abort's Yes.
    PostMessageA(window, WM_CLOSE, 0, 0);
    HWND box = WaitForBox(ProductTitle);
    ASSERT_NE(nullptr, box);
    EXPECT_EQ("インストールを中断しました。", MessageBoxText(box));
    PressButton(box, IDOK);
    HWND launcher = WaitForLauncher(ProductTitle);
    ASSERT_NE(nullptr, launcher);
    ExpectNothingInstalled();
    ExitLauncher(launcher);
}

TEST_F(InstallTest, AnEmptySecondOptionTitleHidesTheSecondButton)
{
    std::vector<std::string> script = InstallTest::ProductScript();
    for (std::string& line : script)
        if (line.rfind("OPTIONTITLE", 0) == 0)
            line = "OPTIONTITLE = \"すべて\"";
    HWND options = StartAndOpenOptions(script);
    ASSERT_NE(nullptr, options);
    EXPECT_TRUE(ControlVisible(options, OptionFirst));
    EXPECT_FALSE(ControlVisible(options, OptionSecond));
    PressButton(options, IDCANCEL);
    HWND launcher = WaitForLauncher(ProductTitle);
    ASSERT_NE(nullptr, launcher);
    ExitLauncher(launcher);
}

// Stopping an installation: the abort question, a cancelled disc request,
// and a close from outside. An aborted installation leaves nothing behind.
#include "install_product.h"

namespace {

// Esc on the install window and the question it asks.
HWND AskToAbort(HWND window)
{
    PostMessageA(window, WM_KEYDOWN, VK_ESCAPE, 0);
    HWND question = WaitForDialog("確認");
    EXPECT_NE(nullptr, question) << "no abort question";
    if (question) {
        EXPECT_EQ("インストールを中断しますか？", MessageBoxText(question));
    }
    return question;
}

}  // namespace

class InstallAbort : public InstallTest {
protected:
    // The launcher's report of the abort, and the launcher after it.
    void ExpectAbortReported()
    {
        HWND box = WaitForBox(ProductTitle);
        ASSERT_NE(nullptr, box) << "no abort message";
        EXPECT_EQ("インストールを中断しました。", MessageBoxText(box));
        PressButton(box, IDOK);
        ASSERT_TRUE(WaitForWindowGone(box));
        HWND launcher = WaitForLauncher(ProductTitle);
        ASSERT_NE(nullptr, launcher);
        EXPECT_EQ("インストール", ControlText(launcher, LaunchInstall));
        ExpectNothingInstalled();
        ExitLauncher(launcher);
    }
};

TEST_F(InstallAbort, EscapeThenNoLetsTheCopyFinish)
{
    HWND options = StartAndOpenOptions();
    ASSERT_NE(nullptr, options);
    PressButton(options, OptionSecond);
    HWND window = ConfirmOptions(options);
    ASSERT_NE(nullptr, window);
    HWND question = AskToAbort(window);
    ASSERT_NE(nullptr, question);
    PressButton(question, IDNO);
    WaitForFinish();
    CloseFinishScreen(window);
    HWND launcher = WaitForLauncher(ProductTitle);
    ASSERT_NE(nullptr, launcher);
    ExpectInstalled(false);
    EXPECT_EQ("アンインストール", ControlText(launcher, LaunchInstall));
    ExitLauncher(launcher);
}

TEST_F(InstallAbort, EscapeThenYesDuringDisc1LeavesNothing)
{
    HWND options = StartAndOpenOptions();
    ASSERT_NE(nullptr, options);
    HWND window = ConfirmOptions(options);
    ASSERT_NE(nullptr, window);
    HWND question = AskToAbort(window);
    ASSERT_NE(nullptr, question);
    PressButton(question, IDYES);
    ExpectAbortReported();
}

TEST_F(InstallAbort, EscapeThenYesDuringDisc2LeavesNothing)
{
    HWND options = StartAndOpenOptions();
    ASSERT_NE(nullptr, options);
    HWND window = ConfirmOptions(options);
    ASSERT_NE(nullptr, window);
    AnswerDisc2Request();
    HWND question = AskToAbort(window);
    ASSERT_NE(nullptr, question);
    PressButton(question, IDYES);
    ExpectAbortReported();
}

TEST_F(InstallAbort, ACancelledDiscRequestLeavesNothing)
{
    HWND options = StartAndOpenOptions();
    ASSERT_NE(nullptr, options);
    HWND window = ConfirmOptions(options);
    ASSERT_NE(nullptr, window);
    HWND ask = WaitForDialog("ＤＶＤの挿入", 60000);
    ASSERT_NE(nullptr, ask);
    // Disc 1 was copied by now.
    EXPECT_TRUE(Exists(InstallFolder() + "\\data\\a.dat"));
    PressButton(ask, IDCANCEL);
    ExpectAbortReported();
}

TEST_F(InstallAbort, AltF4OnTheFinishScreenStillAsksAndYesUndoesTheInstallation)
{
    HWND options = StartAndOpenOptions();
    ASSERT_NE(nullptr, options);
    PressButton(options, OptionSecond);
    HWND window = ConfirmOptions(options);
    ASSERT_NE(nullptr, window);
    WaitForFinish();
    PostMessageA(window, WM_SYSKEYDOWN, VK_F4, 0x20000000);
    HWND question = WaitForDialog("確認");
    ASSERT_NE(nullptr, question);
    PressButton(question, IDYES);
    ExpectAbortReported();
}

TEST_F(InstallAbort, ACloseFromOutsideTakesTheAbortsYes)
{
    HWND options = StartAndOpenOptions();
    ASSERT_NE(nullptr, options);
    HWND window = ConfirmOptions(options);
    ASSERT_NE(nullptr, window);
    PostMessageA(window, WM_CLOSE, 0, 0);
    ExpectAbortReported();
}

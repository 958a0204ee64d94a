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

// A gigabyte on a disc, sparse there so that it costs no disk: copying it
// takes the worker long enough that the driver's Esc surely comes while the
// copy runs, however fast the disk.
constexpr uint64_t SlowSize = 1ull << 30;

void PutSlowFile(const std::string& path)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file) << path;
    LARGE_INTEGER end;
    end.QuadPart = static_cast<LONGLONG>(SlowSize);
    EXPECT_TRUE(SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && SetEndOfFile(file));
    CloseHandle(file);
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

    // The product with the slow file last on disc 1, the options open.
    HWND OpenOptionsWithSlowDisc1()
    {
        std::vector<std::string> script = ProductScript();
        script.push_back("FILE = \"data\\slow.bin\" " + std::to_string(SlowSize) + " 0x0C 1");
        HWND options = StartAndOpenOptions(script);
        if (options)
            PutSlowFile(DriveFolder('E') + "\\data\\slow.bin");
        return options;
    }
};

TEST_F(InstallAbort, EscapeThenNoLetsTheCopyFinish)
{
    HWND options = OpenOptionsWithSlowDisc1();
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
    HWND options = OpenOptionsWithSlowDisc1();
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
    // Matched by disc 2's pattern when the disc goes in.
    CreateDirectoryA((DriveFolder('F') + "\\data").c_str(), nullptr);
    CreateDirectoryA((DriveFolder('F') + "\\data\\voice").c_str(), nullptr);
    PutSlowFile(DriveFolder('F') + "\\data\\voice\\slow.vce");
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

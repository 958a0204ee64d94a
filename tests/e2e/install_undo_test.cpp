// Undoing an installation takes back what it made and nothing else: the
// saves an uninstall kept, files that were there before and the player's
// own stay, at every way an installation can end early, a kill included.
#include "trust_fixture.h"

namespace {

const char* const Saves[] = {"slot01.sav", "slot02.sav"};

}  // namespace

class InstallUndo : public TrustTest {
public:
    using TrustTest::Process;
    using TrustTest::WaitForFinish;
    using TrustTest::DesktopFolder;

    // As an uninstall that kept the save data leaves things: the saves, the
    // install folder with Install.ini; and a file of the player's own in the
    // folder chosen for the game.
    void KeptFromEarlier()
    {
        const std::string base = InstallFolder().substr(0, InstallFolder().rfind('\\'));
        for (const std::string& folder :
             {base, InstallFolder(), Special(CSIDL_LOCAL_APPDATA) + "\\DrubelE2E",
              Special(CSIDL_LOCAL_APPDATA) + "\\DrubelE2E\\テストゲーム", LocalSaveFolder()})
            CreateDirectoryA(folder.c_str(), nullptr);
        for (const char* save : Saves)
            WriteBytesTo(LocalSaveFolder() + "\\" + save, std::string("progress of ") + save);
        // An uninstall of an earlier version left Install.ini behind.
        KeptIni = "save=" + LocalSaveFolder();
        WriteBytesTo(InstallFolder() + "\\Install.ini", KeptIni);
        WriteBytesTo(base + "\\player.txt", "mine");
    }
    // The installation is gone; what was there before it is there still.
    void ExpectOnlyWhatWasThereBefore()
    {
        for (const DiscFile& f : Files)
            EXPECT_FALSE(Exists(InstallFolder() + "\\" + f.Name)) << f.Name;
        for (const char* folder : {"\\data", "\\manual"})
            EXPECT_FALSE(Exists(InstallFolder() + folder)) << folder;
        EXPECT_FALSE(Exists(Special(CSIDL_PROGRAMS) + "\\DrubelE2E")) << "links stayed";
        for (const char* save : Saves)
            EXPECT_EQ(std::string("progress of ") + save,
                      ReadBytesFrom(LocalSaveFolder() + "\\" + save))
                << save;
        EXPECT_EQ(KeptIni, ReadBytesFrom(InstallFolder() + "\\Install.ini"));
        EXPECT_EQ("mine", ReadBytesFrom(InstallFolder().substr(0, InstallFolder().rfind('\\')) +
                                        "\\player.txt"));
        std::vector<uint8_t> folder;
        DWORD type, option, optionType;
        EXPECT_FALSE(ReadRecord(&folder, &type, &option, &optionType)) << "an install record";
    }
    std::string KeptIni;  // Install.ini as it was before, or empty: none

    // The launcher's report of the abort, answered; the launcher after it.
    HWND AbortReported()
    {
        HWND box = WaitForBox(ProductTitle);
        EXPECT_NE(nullptr, box) << "no abort message";
        if (!box)
            return nullptr;
        EXPECT_EQ("インストールを中断しました。", MessageBoxText(box));
        PressButton(box, IDOK);
        return WaitForLauncher(ProductTitle);
    }
    HWND AskToAbort(HWND window, UINT message, WPARAM key)
    {
        PostMessageA(window, message, key, message == WM_SYSKEYDOWN ? 0x20000000 : 0);
        HWND question = WaitForDialog("確認");
        EXPECT_NE(nullptr, question) << "no abort question";
        return question;
    }
};

TEST_F(InstallUndo, AFreshInstallationAbortedTakesItsBrandFoldersToo)
{
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\DrubelE2E");
    // Big enough that the copy is still running when the Esc comes, even on
    // a busy machine: small files alone are all copied before it.
    Files.push_back({1, "data\\movie.dat", 192u << 20, true});
    HWND options = StartAndOpenOptions();
    ASSERT_NE(nullptr, options);
    HWND window = ConfirmOptions(options);
    ASSERT_NE(nullptr, window);
    HWND question = AskToAbort(window, WM_KEYDOWN, VK_ESCAPE);
    ASSERT_NE(nullptr, question);
    PressButton(question, IDYES);
    HWND launcher = AbortReported();
    ASSERT_NE(nullptr, launcher);
    ExpectNothingInstalled();
    ExpectNoBrandFolders();
    HKEY key;
    EXPECT_NE(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\DrubelE2E", 0, KEY_READ, &key))
        << "the registry key made for the installation stayed";
    ExitLauncher(launcher);
}

TEST_F(InstallUndo, UninstallKeepingSavesThenAnAbortedReinstallKeepsTheSaves)
{
    // A file of the full option big enough that the reinstall is still
    // copying disc 1 when the abort comes; the first, minimum installation
    // leaves it out.
    Files.push_back({1, "data\\movie.dat", 192u << 20, true});
    HWND launcher = InstallProduct(ProductScript(), false, false);
    ASSERT_NE(nullptr, launcher);
    for (const char* save : Saves)
        WriteBytesTo(LocalSaveFolder() + "\\" + save, std::string("progress of ") + save);
    WriteBytesTo(InstallFolder().substr(0, InstallFolder().rfind('\\')) + "\\player.txt", "mine");
    // The saves lie outside the install folder: Install.ini goes too.
    EXPECT_EQ(AllRemovedMessage, Uninstall(launcher, false));
    EXPECT_FALSE(Exists(InstallFolder()));

    HWND options = StartAndOpenOptions();
    ASSERT_NE(nullptr, options);
    HWND window = ConfirmOptions(options);
    ASSERT_NE(nullptr, window);
    HWND question = AskToAbort(window, WM_KEYDOWN, VK_ESCAPE);
    ASSERT_NE(nullptr, question);
    PressButton(question, IDYES);
    launcher = AbortReported();
    ASSERT_NE(nullptr, launcher);
    ExpectOnlyWhatWasThereBefore();
    ExitLauncher(launcher);
}

// Each way but Esc (above) that an installation ends early, over what an
// uninstall that kept the saves left behind.
TEST_F(InstallUndo, EveryEarlyEndKeepsWhatWasThereBefore)
{
    using Ending = bool (*)(InstallUndo* test, HWND window);  // true: back at the launcher
    const struct {
        const char* Name;
        bool Full;
        Ending End;
    } endings[] = {
        {"a read error", false,
         [](InstallUndo* test, HWND) {
             HWND box = WaitForBox(ProductTitle, 60000);
             EXPECT_NE(nullptr, box) << "no error box";
             if (box)
                 PressButton(box, IDOK);
             EXPECT_EQ(0, WaitForExit(test->Process, 30000));
             return false;
         }},
        {"a cancelled disc request", true,
         [](InstallUndo*, HWND) {
             HWND ask = WaitForDialog("ＤＶＤの挿入", 60000);
             EXPECT_NE(nullptr, ask);
             if (ask)
                 PressButton(ask, IDCANCEL);
             return true;
         }},
        {"a close from outside", true,
         [](InstallUndo*, HWND window) { return PostMessageA(window, WM_CLOSE, 0, 0) != 0; }},
        {"Alt+F4 on the finish screen", false,
         [](InstallUndo* test, HWND window) {
             test->WaitForFinish();
             EXPECT_TRUE(Exists(test->DesktopFolder() + "\\テストゲーム.lnk"));
             HWND question = test->AskToAbort(window, WM_SYSKEYDOWN, VK_F4);
             if (question)
                 PressButton(question, IDYES);
             return true;
         }},
    };
    for (const auto& ending : endings) {
        SCOPED_TRACE(ending.Name);
        KeptFromEarlier();
        HWND options = StartAndOpenOptions();
        ASSERT_NE(nullptr, options);
        PressButton(options, ending.Full ? OptionFirst : OptionSecond);
        SendMessageA(GetDlgItem(options, DesktopShortcut), BM_SETCHECK, BST_CHECKED, 0);
        if (ending.End == endings[0].End)
            DeleteFileA((DriveFolder('E') + "\\manual\\readme.txt").c_str());
        HWND window = ConfirmOptions(options);
        ASSERT_NE(nullptr, window);
        HWND launcher = ending.End(this, window) ? AbortReported() : nullptr;
        ExpectOnlyWhatWasThereBefore();
        EXPECT_FALSE(Exists(DesktopFolder() + "\\テストゲーム.lnk"));
        if (launcher)
            ExitLauncher(launcher);
        CloseHandle(Process);
        Process = nullptr;
    }
}

class KilledInstallation : public TrustTest {
protected:
    // The next start's question about the unfinished installation.
    HWND WaitForQuestion()
    {
        HWND box = WaitForDialog(ProductTitle);
        EXPECT_NE(nullptr, box) << "no question about the unfinished installation";
        if (box && GetDlgItem(box, LaunchInstall) != nullptr) {
            ADD_FAILURE() << "the launcher came without a question";
            return nullptr;
        }
        if (box) {
            EXPECT_NE(std::string::npos, MessageBoxText(box).find(InstallFolder()))
                << MessageBoxText(box);
        }
        return box;
    }
    // Yes: the launcher follows with nothing of the installation left.
    void AnswerYesAndExpectNothingLeft(HWND question)
    {
        PressButton(question, IDYES);
        HWND launcher = WaitForLauncher(ProductTitle);
        ASSERT_NE(nullptr, launcher);
        EXPECT_EQ("インストール", ControlText(launcher, LaunchInstall));
        ExpectNothingInstalled();
        ExpectNoBrandFolders();
        EXPECT_FALSE(Exists(DesktopFolder() + "\\テストゲーム.lnk"));
        ExitLauncher(launcher);
    }
};

TEST_F(KilledInstallation, KilledMidCopyTheNextStartTakesItBack)
{
    HWND options = StartAndOpenOptions();
    ASSERT_NE(nullptr, options);
    ASSERT_NE(nullptr, ConfirmOptions(options));
    ASSERT_TRUE(WaitUntil([](const std::string& path) { return Exists(path); },
                          InstallFolder() + "\\data\\a.dat"));
    Kill();
    ASSERT_TRUE(Exists(InstallFolder() + "\\Install.ini"));

    StartAgain();
    HWND question = WaitForQuestion();
    ASSERT_NE(nullptr, question);
    AnswerYesAndExpectNothingLeft(question);
}

TEST_F(KilledInstallation, KilledOnTheFinishScreenItIsAskedAboutUntilTakenBack)
{
    HWND options = StartAndOpenOptions();
    ASSERT_NE(nullptr, options);
    PressButton(options, OptionSecond);
    SendMessageA(GetDlgItem(options, DesktopShortcut), BM_SETCHECK, BST_CHECKED, 0);
    ASSERT_NE(nullptr, ConfirmOptions(options));
    WaitForFinish();
    Kill();

    // No keeps it as it is, to be asked about again at the next start.
    StartAgain();
    HWND question = WaitForQuestion();
    ASSERT_NE(nullptr, question);
    PressButton(question, IDNO);
    HWND launcher = WaitForLauncher(ProductTitle);
    ASSERT_NE(nullptr, launcher);
    ExpectInstalled(false);
    ExitLauncher(launcher);

    StartAgain();
    question = WaitForQuestion();
    ASSERT_NE(nullptr, question);
    AnswerYesAndExpectNothingLeft(question);
}

#include "dialog_driver.h"
#include "uninstall_fixture.h"

#include "res/resource.h"

#include <thread>

using namespace dialog_driver;

namespace {

const char Caption[] = "テストゲーム のアンインストール";

class UninstallDialogTest : public UninstallTest {
protected:
    void SetUp() override
    {
        UninstallTest::SetUp();
        SetupScript.Instance = GetModuleHandleA(nullptr);
        SetupScript.AppMode = ModeUninstall;
        List(0, {"Game.exe"});
        Slots(SetupScript.SAVEDATA, {"*.sav"});
        Slots(SetupScript.SHORTCUTNAME, {"Game.lnk"});
        PutFile(Install, "Game.exe");
        PutFile(Install, "save\\01.sav");
        WriteInstallIni(Install + "\\save");
        MakeLinks();
    }

    // Opens the dialog; the driver thread does `act` on it once it shows.
    // Returns what the closing message box said ("" when none came).
    template <typename Act>
    std::string Drive(Act act)
    {
        std::string message = "(dialog never showed)";
        std::thread driver([&] {
            HWND dialog = WaitForDialog(Caption);
            if (dialog == nullptr)
                return;
            message = act(dialog);
        });
        UninstallDialog();
        driver.join();
        return message;
    }
};

}  // namespace

TEST_F(UninstallDialogTest, RunWithSaveDataRemovesEverythingAndSaysSo)
{
    const std::string message = Drive([](HWND dialog) {
        if (Text(GetDlgItem(dialog, IDC_DELETE_SAVE_DATA)) != "セーブデータも削除する")
            return std::string("(no save data box)");
        if (IsDlgButtonChecked(dialog, IDC_DELETE_SAVE_DATA) != BST_UNCHECKED)
            return std::string("(box ticked at start)");
        SendDlgItemMessageA(dialog, IDC_DELETE_SAVE_DATA, BM_CLICK, 0, 0);
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
        return AnswerBox("テストゲーム");
    });
    EXPECT_EQ("アンインストールが正常に終了しました。", message);
    EXPECT_EQ(static_cast<uint32_t>(ModeUninstall), SetupScript.AppMode);
    EXPECT_FALSE(Exists(Install));
    EXPECT_FALSE(Exists(Group));
}

TEST_F(UninstallDialogTest, RunKeepingSaveDataAsksToRemoveLeftovers)
{
    const std::string message = Drive([](HWND dialog) {
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
        return AnswerBox("テストゲーム");
    });
    EXPECT_EQ("アンインストールは正常に終了しました。\n"
              "ファイルやフォルダが残っている場合は、お手数ですが手動で削除して下さい。",
              message);
    EXPECT_EQ(static_cast<uint32_t>(ModeUninstall), SetupScript.AppMode);
    EXPECT_TRUE(Exists(Install + "\\save\\01.sav"));
    EXPECT_TRUE(Exists(Install + "\\Install.ini"));
    EXPECT_FALSE(Exists(Install + "\\Game.exe"));
}

TEST_F(UninstallDialogTest, CancelEscapeAndCloseBoxChangeNothing)
{
    for (int way = 0; way < 3; ++way) {
        SetupScript.AppMode = ModeUninstall;
        const std::string message = Drive([way](HWND dialog) {
            if (way == 0)
                Press(dialog, IDCANCEL);
            else if (way == 1)
                PostMessageA(GetDlgItem(dialog, IDOK), WM_KEYDOWN, VK_ESCAPE, 0);
            else
                PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
            return std::string(WaitUntilGone(dialog) ? "closed" : "still open");
        });
        EXPECT_EQ("closed", message) << way;
        EXPECT_EQ(static_cast<uint32_t>(ModeMenu), SetupScript.AppMode) << way;
        EXPECT_TRUE(Exists(Install + "\\Game.exe")) << way;
        EXPECT_TRUE(Exists(Group + "\\Game.lnk")) << way;
    }
}

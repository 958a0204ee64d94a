#include "launcher/launcher.h"

#include "script/setup_model.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>

namespace {

// Answers the prompt boxes of this process from another thread: OK to the
// first `oks`, then Cancel. Records their texts.
struct PromptAnswerer {
    int Oks = 0;
    int Seen = 0;
    std::string LastText;

    static BOOL CALLBACK Find(HWND window, LPARAM parameter)
    {
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        char className[16] = {};
        GetClassNameA(window, className, sizeof className);
        if (process != GetCurrentProcessId() || strcmp(className, "#32770") != 0 ||
            !IsWindowVisible(window))
            return TRUE;
        *reinterpret_cast<HWND*>(parameter) = window;
        return FALSE;
    }

    void Run()
    {
        const DWORD start = GetTickCount();
        while (GetTickCount() - start < 20000) {
            HWND box = nullptr;
            EnumWindows(Find, reinterpret_cast<LPARAM>(&box));
            if (!box) {
                Sleep(20);
                continue;
            }
            char text[512] = {};
            GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
            LastText = text;
            const int answer = Seen < Oks ? IDOK : IDCANCEL;
            ++Seen;
            SendMessageA(box, WM_COMMAND, answer, 0);
            if (answer == IDCANCEL)
                return;
            while (IsWindow(box) && GetTickCount() - start < 20000)
                Sleep(10);
        }
    }
};

class DirectXPrompt : public testing::Test {
protected:
    void SetUp() override
    {
        strcpy(SetupScript.APPLITITLE, "テストゲーム");
        strcpy(SetupScript.DXPLACE, "DirectX\\DXSETUP.EXE");
        strcpy(SetupScript.KEYFILE[1], "NO-SUCH-DISC.KEY");
        SetupScript.AppMode = ModeExit;
    }
    void TearDown() override
    {
        memset(SetupScript.APPLITITLE, 0, sizeof SetupScript.APPLITITLE);
        memset(SetupScript.DXPLACE, 0, sizeof SetupScript.DXPLACE);
        memset(SetupScript.DXMESSAGE, 0, sizeof SetupScript.DXMESSAGE);
        memset(SetupScript.KEYFILE, 0, sizeof SetupScript.KEYFILE);
        memset(SetupScript.DXDISC, 0, sizeof SetupScript.DXDISC);
        SetupScript.AppMode = ModeMenu;
    }
};

}  // namespace

TEST_F(DirectXPrompt, WithNoDiscListedThePromptRepeatsUntilCancel)
{
    PromptAnswerer answerer;
    answerer.Oks = 2;
    std::thread thread(&PromptAnswerer::Run, &answerer);
    LaunchDirectXSetup(nullptr);
    thread.join();
    EXPECT_EQ(3, answerer.Seen);
    EXPECT_EQ("テストゲーム のディスクを挿入して下さい。", answerer.LastText);
    EXPECT_EQ(static_cast<uint32_t>(ModeMenu), SetupScript.AppMode);
}

TEST_F(DirectXPrompt, DiscNumbersBeyondTheProductAreSkippedAndTheScriptsPromptShown)
{
    // Disc 11 has no marker slot; disc 2's marker is on no drive.
    SetupScript.DXDISC[0] = 11;
    SetupScript.DXDISC[1] = 2;
    strcpy(SetupScript.DXMESSAGE, "DISC2 を入れて下さい");
    PromptAnswerer answerer;
    std::thread thread(&PromptAnswerer::Run, &answerer);
    LaunchDirectXSetup(nullptr);
    thread.join();
    EXPECT_EQ(1, answerer.Seen);
    EXPECT_EQ("DISC2 を入れて下さい", answerer.LastText);
    EXPECT_EQ(0, SetupScript.DiscDrive);
}

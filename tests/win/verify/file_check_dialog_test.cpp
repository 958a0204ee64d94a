#include "../uninstall/dialog_driver.h"

#include "verify/file_check.h"
#include "verify/md5.h"
#include "verify/verify_run.h"
#include "verify/verify_worker_win32.h"

#include "res/resource.h"
#include "script/setup_model.h"
#include "support/md5_hex.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <thread>
#include <vector>

using namespace dialog_driver;

namespace {

const char Caption[] = "『テストゲーム』ファイルチェック";

std::vector<std::string> Column(HWND dialog, int column)
{
    const HWND list = GetDlgItem(dialog, IDC_CHECK_LIST);
    std::vector<std::string> texts;
    const int count = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    for (int item = 0; item < count; ++item)
        texts.push_back(ListText(list, item, column));
    return texts;
}

std::string Header(HWND dialog, int column)
{
    char text[64] = {};
    LVCOLUMNA entry = {};
    entry.mask = LVCF_TEXT;
    entry.pszText = text;
    entry.cchTextMax = sizeof text;
    SendMessageA(GetDlgItem(dialog, IDC_CHECK_LIST), LVM_GETCOLUMNA, column,
                 reinterpret_cast<LPARAM>(&entry));
    return text;
}

// Waits until an item shows the status; false when it never does.
bool WaitForStatus(HWND dialog, int item, const std::string& status, DWORD milliseconds = 20000)
{
    const DWORD start = GetTickCount();
    while (ListText(GetDlgItem(dialog, IDC_CHECK_LIST), item, 1) != status) {
        if (GetTickCount() - start > milliseconds)
            return false;
        Sleep(1);
    }
    return true;
}

class FileCheckTest : public testing::Test {
protected:
    void SetUp() override
    {
        ClearSetupScript();
        // The program registers the list view and progress bar classes at start.
        INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS};
        InitCommonControlsEx(&classes);
        SetupScript.Instance = GetModuleHandleA(nullptr);
        SetupScript.AppMode = ModeVerify;
        strcpy(SetupScript.APPLITITLE, "テストゲーム");
        strcpy(SetupScript.InstallFolder, Dir.Path.c_str());
        SetupScript.DISCNUM = 2;
    }
    void TearDown() override
    {
        ResetSetupScript();
        memset(&SetupScript, 0, sizeof SetupScript);
    }
    void Add(int disc, int entry, const char* name, const std::string& digest)
    {
        FileEntry& file = SetupScript.DiscFiles[disc][entry];
        file.Name = static_cast<char*>(calloc(1, PathWidth));
        strcpy(file.Name, name);
        strcpy(file.Digest, digest.c_str());
    }
    // Opens the dialog; the driver does `act` once it shows. What `act`
    // returns, or a note that the dialog never came.
    template <typename Act>
    std::string Drive(Act act)
    {
        std::string result = "(dialog never showed)";
        std::thread driver([&] {
            HWND dialog = WaitForDialog(Caption);
            if (dialog != nullptr)
                result = act(dialog);
        });
        FileCheckDialog(Run.get());
        driver.join();
        return result;
    }

    TempDir Dir;
    std::unique_ptr<FileCheckRun> Run{new FileCheckRun()};
};

}  // namespace

TEST_F(FileCheckTest, ListsTheFilesWithDigestsAndChecksThem)
{
    const auto content = PatternBytes(100000, 5);
    WriteBytes(Dir / "good.dat", content);
    WriteBytes(Dir / "upper.dat", content);
    auto changed = content;
    changed[50000] ^= 0x20;
    WriteBytes(Dir / "changed.dat", changed);
    Add(0, 0, "good.dat", Md5Hex(content));
    Add(0, 1, "nodigest.dat", "");
    Add(0, 2, "changed.dat", Md5Hex(content));
    Add(1, 0, "missing.dat", Md5Hex(content));
    Add(1, 1, "upper.dat", UpperHex(Md5Hex(content)));

    std::vector<std::string> before, after, headers;
    std::string message, progress;
    const std::string closed = Drive([&](HWND dialog) {
        headers = {Header(dialog, 0), Header(dialog, 1)};
        before = Column(dialog, 1);
        Press(dialog, IDOK);
        message = AnswerBox("Drubel", 20000, IDNO);
        after = Column(dialog, 1);
        const HWND bar = GetDlgItem(dialog, IDC_CHECK_PROGRESS);
        progress = std::to_string(SendMessageA(bar, PBM_GETPOS, 0, 0)) + "/" +
                   std::to_string(SendMessageA(bar, PBM_GETRANGE, FALSE, 0));
        const bool enabled = IsWindowEnabled(GetDlgItem(dialog, IDOK));
        Press(dialog, IDCANCEL);
        return std::string(enabled ? "enabled" : "disabled") + (WaitUntilGone(dialog) ? "" : " open");
    });
    EXPECT_EQ("enabled", closed);
    EXPECT_EQ((std::vector<std::string>{"ファイル", "検証結果"}), headers);
    EXPECT_EQ(std::vector<std::string>(4, "Not Run"), before);
    EXPECT_EQ((std::vector<std::string>{"OK", "NG - Different", "NG - Cannot Open", "OK"}), after);
    EXPECT_EQ(FileCheckRepairOfferText, message);
    const std::string pieces = std::to_string((100000 + VerifyPieceSize - 1) / VerifyPieceSize);
    EXPECT_EQ(pieces + "/" + pieces, progress) << "position/upper bound of the last file";
    EXPECT_EQ(static_cast<uint32_t>(ModeVerify), SetupScript.AppMode);
}

TEST_F(FileCheckTest, RunningAgainChecksEverythingAfresh)
{
    const auto content = PatternBytes(30000, 6);
    auto changed = content;
    changed[0] ^= 1;
    WriteBytes(Dir / "a.dat", changed);
    Add(0, 0, "a.dat", Md5Hex(content));
    std::string first, second;
    std::vector<std::string> names;
    Drive([&](HWND dialog) {
        names = Column(dialog, 0);
        Press(dialog, IDOK);
        first = AnswerBox("Drubel", 20000, IDNO);
        WriteBytes(Dir / "a.dat", content);
        Press(dialog, IDOK);
        second = AnswerBox("Drubel");
        Press(dialog, IDCANCEL);
        return std::string();
    });
    EXPECT_EQ((std::vector<std::string>{"a.dat"}), names);
    EXPECT_EQ(FileCheckRepairOfferText, first);
    EXPECT_EQ("インストールされたファイルはすべて正常です。", second);
}

TEST_F(FileCheckTest, NoListedFilesAreAllSound)
{
    const std::string message = Drive([](HWND dialog) {
        Press(dialog, IDOK);
        std::string text = AnswerBox("Drubel");
        Press(dialog, IDCANCEL);
        return text;
    });
    EXPECT_EQ("インストールされたファイルはすべて正常です。", message);
}

TEST_F(FileCheckTest, EndBeforeRunClosesAtOnce)
{
    Add(0, 0, "a.dat", "0");
    const std::string result = Drive([](HWND dialog) {
        Press(dialog, IDCANCEL);
        return std::string(WaitUntilGone(dialog, 5000) ? "closed" : "open");
    });
    EXPECT_EQ("closed", result);
}

TEST_F(FileCheckTest, EndDuringARunClosesWithoutMessageAndReleasesTheFile)
{
    // Large enough that the run is still on it when "終了" comes.
    WriteBytes(Dir / "big.dat", PatternBytes(96u << 20, 8));
    Add(0, 0, "big.dat", "0");
    std::string seen;
    const std::string result = Drive([&](HWND dialog) {
        Press(dialog, IDOK);
        if (!WaitForStatus(dialog, 0, "Now Checking..."))
            return std::string("never started");
        Press(dialog, IDCANCEL);
        const bool gone = WaitUntilGone(dialog);
        // A closing message would have come right after the run.
        seen = WaitForDialog("Drubel", 500) ? "message" : "none";
        return std::string(gone ? "closed" : "open");
    });
    EXPECT_EQ("closed", result);
    EXPECT_EQ("none", seen);
    EXPECT_EQ(nullptr, Run->State.OpenFile);
    EXPECT_LT(Run->State.BytesDone, 96u << 20) << "the run was not stopped midway";
    // Nobody holds the file any more: it can be opened without sharing.
    HANDLE file = CreateFileA((Dir / "big.dat").c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    EXPECT_NE(INVALID_HANDLE_VALUE, file) << GetLastError();
    CloseHandle(file);
}

// Start-up steps that ask for a disc and reload the script from it.
#include "e2e_fixture.h"

#include <algorithm>

namespace {

const char* const DiscTitle = "ディスク版テストゲーム";

std::vector<std::string> AskingScript()
{
    std::vector<std::string> script = BaseScript();
    script.push_back("EXEC CHANGECD = 1, LOADINIFROMCD = 0");
    return script;
}

// The script on the disc: another title, no further steps.
std::vector<std::string> DiscScript(const char* title)
{
    std::vector<std::string> script = BaseScript();
    script[1] = std::string("APPLITITLE = \"") + title + "\"";
    return script;
}

}  // namespace

TEST_F(DrubelTest, TheInsertDiscDialogNamesTheDiscAndTheScriptReloadsFromIt)
{
    const std::string folder = MakeProductFolder(Work / "product", AskingScript());
    HANDLE process = StartIn(folder, "t");
    HWND ask = WaitForDialog("ＤＶＤの挿入");
    ASSERT_NE(nullptr, ask);
    EXPECT_EQ("『テストゲーム・DISC1』", ControlText(ask, DiscName));

    // OK with the drive still empty: the dialog comes back.
    PressButton(ask, IDOK);
    ASSERT_TRUE(WaitForWindowGone(ask));
    ask = WaitForDialog("ＤＶＤの挿入");
    ASSERT_NE(nullptr, ask);

    // The disc goes into F:; OK finds it there and the script is reloaded.
    WriteProduct(DriveFolder('F'), ScriptText(DiscScript(DiscTitle)));
    WriteBytesTo(DriveFolder('F') + "\\TEST1.KEY", "1");
    PressButton(ask, IDOK);
    HWND launcher = WaitForLauncher(DiscTitle);
    ASSERT_NE(nullptr, launcher);
    // The reload fetched the disc's files into a folder of its own in the
    // temporary folder, which goes at the exit.
    const std::string reload = RelaunchFolder();
    EXPECT_EQ(ReadBytesFrom(DriveFolder('F') + "\\Drubel.ini"), ReadBytesFrom(reload + "Drubel.ini"));
    EXPECT_FALSE(Exists(Temp + "Drubel.ini"));
    ExitLauncher(launcher);
    EXPECT_FALSE(Exists(reload));
    CloseHandle(process);
}

TEST_F(DrubelTest, CancelAtTheInsertDiscDialogEndsSilently)
{
    const std::string folder = MakeProductFolder(Work / "product", AskingScript());
    HANDLE process = StartIn(folder, "t");
    HWND ask = WaitForDialog("ＤＶＤの挿入");
    ASSERT_NE(nullptr, ask);
    PressButton(ask, IDCANCEL);
    EXPECT_EQ(0, WaitForExit(process, 20000));
    CloseHandle(process);
}

TEST_F(DrubelTest, ForceRunListsTheDrivesAndUsesTheChosenOne)
{
    // E: holds nothing; F: holds a script but not the marker file.
    WriteProduct(DriveFolder('F'), ScriptText(DiscScript(DiscTitle)));
    const std::string folder = MakeProductFolder(Work / "product", AskingScript());
    HANDLE process = StartIn(folder, "t");
    HWND ask = WaitForDialog("ＤＶＤの挿入");
    ASSERT_NE(nullptr, ask);
    PressButton(ask, ForceRun);

    HWND select = WaitForDialog("ドライブの選択");
    ASSERT_NE(nullptr, select);
    const std::vector<std::string> entries = ComboEntries(select, DriveList);
    int f = -1;
    bool sawE = false;
    for (size_t i = 0; i < entries.size(); ++i) {
        ASSERT_GE(entries[i].size(), 6u) << entries[i];
        EXPECT_EQ("[-", entries[i].substr(0, 2)) << entries[i];
        EXPECT_EQ("-] ", entries[i].substr(3, 3)) << entries[i];
        if (entries[i][2] == 'E')
            sawE = true;
        if (entries[i][2] == 'F')
            f = static_cast<int>(i);
    }
    EXPECT_TRUE(sawE) << entries.size() << " entries";
    ASSERT_NE(-1, f);
    // Sorted by their text, that is by drive letter.
    EXPECT_TRUE(std::is_sorted(entries.begin(), entries.end()));

    // Cancel goes back to the search and the insert-disc dialog.
    PressButton(select, IDCANCEL);
    ask = WaitForDialog("ＤＶＤの挿入");
    ASSERT_NE(nullptr, ask);
    PressButton(ask, ForceRun);
    select = WaitForDialog("ドライブの選択");
    ASSERT_NE(nullptr, select);
    SelectComboEntry(select, DriveList, f);
    PressButton(select, IDOK);

    // The chosen drive is taken without its marker file, and reloaded from.
    HWND launcher = WaitForLauncher(DiscTitle);
    ASSERT_NE(nullptr, launcher);
    ExitLauncher(launcher);
    CloseHandle(process);
}

TEST_F(DrubelTest, AnInstalledProductAsksForNoDisc)
{
    WriteInstallRecord(RecordKey, "C:\\Games\\TestGame", 8);
    const std::string folder = MakeProductFolder(Work / "product", AskingScript());
    HANDLE process = StartIn(folder, "t");
    HWND launcher = WaitForLauncher(ProductTitle);
    ASSERT_NE(nullptr, launcher);
    ExitLauncher(launcher);
    CloseHandle(process);
}

TEST_F(DrubelTest, ADiscRequestForDiscZeroEndsSilently)
{
    std::vector<std::string> script = BaseScript();
    script.push_back("EXEC CHANGECD = 0");
    const std::string folder = MakeProductFolder(Work / "product", script);
    HANDLE process = StartIn(folder, "t");
    const DWORD id = GetProcessId(process);
    EXPECT_EQ(0, WaitForExit(process, 20000));
    EXPECT_FALSE(ProcessShowsWindow(id, 0));
    CloseHandle(process);
}

TEST_F(DrubelTest, InstalledTheScriptIsReloadedFromTheInstallFolder)
{
    const char* installedTitle = "インストール済みテストゲーム";
    const std::string installed = Work / "installed";
    WriteProduct(installed, ScriptText(DiscScript(installedTitle)));
    WriteInstallRecord(RecordKey, installed, 8);
    std::vector<std::string> script = BaseScript();
    script.push_back("EXEC CHANGECD = 1, LOADINIFROMCD = 0, LOADINIFROMHD = 0");
    const std::string folder = MakeProductFolder(Work / "product", script);
    HANDLE process = StartIn(folder, "t");
    HWND launcher = WaitForLauncher(installedTitle);
    ASSERT_NE(nullptr, launcher);
    ExitLauncher(launcher);
    CloseHandle(process);
}

TEST_F(DrubelTest, AScriptThatReloadsItselfForEverEndsWithTheLoadFailure)
{
    // The installed script reloads itself again at each start-up pass.
    std::vector<std::string> script = BaseScript();
    script.push_back("EXEC LOADINIFROMHD = 0");
    const std::string installed = Work / "installed";
    WriteProduct(installed, ScriptText(script));
    WriteInstallRecord(RecordKey, installed, 8);
    const std::string folder = MakeProductFolder(Work / "product", script);
    HANDLE process = StartIn(folder, "t");
    HWND box = WaitForDialog("Drubel Error");
    ASSERT_NE(nullptr, box);
    EXPECT_EQ("設定ファイルが見つかりません。処理を中断します。", MessageBoxText(box));
    PressButton(box, IDOK);
    EXPECT_EQ(0, WaitForExit(process, 20000));
    CloseHandle(process);
}

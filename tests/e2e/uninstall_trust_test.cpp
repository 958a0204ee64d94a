// Nothing is removed on the word of a file or a registry value, and the
// script's own folder and key names stay where they belong.
#include "trust_fixture.h"

namespace {

const char InvalidDestination[] = "インストール先の指定が不正です。再度入力して下さい。";

std::vector<std::string> WithLine(std::vector<std::string> script, const std::string& key,
                                  const std::string& line)
{
    for (std::string& l : script)
        if (l.rfind(key + " ", 0) == 0)
            l = line;
    return script;
}

}  // namespace

class UninstallTrust : public TrustTest {
protected:
    // An installation as the record and Install.ini describe it, made by
    // hand, and the launcher that sees it installed.
    HWND StartInstalled(const std::vector<std::string>& script, const std::string& folder,
                        const std::string& installIni)
    {
        CreateDirectoryA(folder.c_str(), nullptr);
        if (!installIni.empty())
            WriteBytesTo(folder + "\\Install.ini", installIni);
        WriteInstallRecord(RecordKey, folder, 8);
        const std::string product = Work / "product";
        MakeProductFolder(product, script);
        Process = StartIn(product, "t");
        return WaitForLauncher(ProductTitle);
    }
};

TEST_F(UninstallTrust, AnInstallIniNamingAnotherFolderHasNoSaveDataRemoved)
{
    const std::string other = Work / "other";
    CreateDirectoryA(other.c_str(), nullptr);
    for (const char* name : {"a.sav", "b.sav"})
        WriteBytesTo(other + "\\" + name, name);
    const std::string base = InstallFolder().substr(0, InstallFolder().rfind('\\'));
    CreateDirectoryA(base.c_str(), nullptr);
    HWND launcher = StartInstalled(ProductScript(), InstallFolder(), "save=" + other);
    ASSERT_NE(nullptr, launcher);
    EXPECT_EQ(LeftoversMessage, Uninstall(launcher, true));
    for (const char* name : {"a.sav", "b.sav"})
        EXPECT_EQ(name, ReadBytesFrom(other + "\\" + name)) << name;
}

TEST_F(UninstallTrust, AnInstallRecordNamingTheWindowsFolderHasNothingRemoved)
{
    // Even a script whose folder is named like it: the Windows folder is
    // never an install folder.
    char windows[MAX_PATH] = {};
    GetWindowsDirectoryA(windows, sizeof windows);
    const std::string canary = std::string(windows) + "\\game.exe";
    WriteBytesTo(canary, "the system's");
    const std::string name = std::string(windows).substr(3);
    HWND launcher = StartInstalled(
        WithLine(ProductScript(), "MUSTMAKEFOLDER", "MUSTMAKEFOLDER = \"" + name + "\""), windows,
        "");
    ASSERT_NE(nullptr, launcher);
    EXPECT_EQ(LeftoversMessage, Uninstall(launcher, true));
    EXPECT_EQ("the system's", ReadBytesFrom(canary));
    EXPECT_TRUE(Exists(std::string(windows) + "\\system32"));
    DeleteFileA(canary.c_str());
}

TEST_F(UninstallTrust, FolderNamesThatLeaveTheChosenFolderAreRefused)
{
    // A canary beside the install folder, where "..\Outside" would lead.
    const std::string outside = Special(CSIDL_PROGRAM_FILES) + "\\Outside";
    CreateDirectoryA(outside.c_str(), nullptr);
    WriteBytesTo(outside + "\\game.exe", "the player's");
    const std::pair<const char*, const char*> hostile[] = {
        {"MUSTMAKEFOLDER", "MUSTMAKEFOLDER = \"..\\Outside\""},
        {"BRANDFOLDER", "BRANDFOLDER = \"..\\..\\windows\\\""},
        {"MUSTMAKEFOLDER", "MUSTMAKEFOLDER = \"C:\\Outside\""},
    };
    for (const auto& value : hostile) {
        HWND options = StartAndOpenOptions(WithLine(ProductScript(), value.first, value.second));
        ASSERT_NE(nullptr, options) << value.second;
        PressButton(options, IDOK);
        HWND box = WaitForDialogExcept(ProductTitle, nullptr);
        ASSERT_NE(nullptr, box) << value.second;
        EXPECT_EQ(InvalidDestination, MessageBoxText(box)) << value.second;
        PressButton(box, IDOK);
        ASSERT_TRUE(WaitForWindowGone(box));
        PressButton(options, IDCANCEL);
        HWND launcher = WaitForLauncher(ProductTitle);
        ASSERT_NE(nullptr, launcher);
        ExitLauncher(launcher);
        CloseHandle(Process);
        Process = nullptr;
    }
    EXPECT_EQ("the player's", ReadBytesFrom(outside + "\\game.exe"));
    RemoveTree(outside);
}

TEST_F(UninstallTrust, ARelativeDestinationIsRefusedAndADriveRootKeepsItsBackslash)
{
    HWND options = StartAndOpenOptions();
    ASSERT_NE(nullptr, options);
    for (const char* relative : {"Games", "C:Games", "\\Games", ""}) {
        SendMessageA(GetDlgItem(options, InstallPath), WM_SETTEXT, 0,
                     reinterpret_cast<LPARAM>(relative));
        PressButton(options, IDOK);
        HWND box = WaitForDialogExcept(ProductTitle, nullptr);
        ASSERT_NE(nullptr, box) << relative;
        EXPECT_EQ(InvalidDestination, MessageBoxText(box)) << relative;
        PressButton(box, IDOK);
        ASSERT_TRUE(WaitForWindowGone(box));
    }
    // A root chosen, the installation started and stopped: the next opening
    // shows the root as it was, "C:" alone being another folder.
    SendMessageA(GetDlgItem(options, InstallPath), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("C:\\"));
    HWND window = ConfirmOptions(options);
    ASSERT_NE(nullptr, window);
    PostMessageA(window, WM_CLOSE, 0, 0);
    HWND box = WaitForBox(ProductTitle);
    ASSERT_NE(nullptr, box);
    PressButton(box, IDOK);
    HWND launcher = WaitForLauncher(ProductTitle);
    ASSERT_NE(nullptr, launcher);
    EXPECT_FALSE(Exists("C:\\TestGame"));
    PressButton(launcher, LaunchInstall);
    options = WaitForDialog(std::string(ProductTitle) + " のインストール設定");
    ASSERT_NE(nullptr, options);
    EXPECT_EQ("C:\\", ControlText(options, InstallPath));
    PressButton(options, IDCANCEL);
    launcher = WaitForLauncher(ProductTitle);
    ASSERT_NE(nullptr, launcher);
    ExitLauncher(launcher);
}

TEST_F(UninstallTrust, ASaveFolderOfDotMakesNoSaveFolderAndTheUninstallKeepsThePlayersFiles)
{
    const std::vector<std::string> script =
        WithLine(WithLine(ProductScript(), "SAVEFOLDER", "SAVEFOLDER = \".\""), "SAVEDATA",
                 "SAVEDATA = \"*\"");
    HWND launcher = InstallProduct(script, false, false);
    ASSERT_NE(nullptr, launcher);
    EXPECT_FALSE(Exists(InstallFolder() + "\\Install.ini"));
    WriteBytesTo(InstallFolder() + "\\notes.txt", "the player's");
    EXPECT_EQ(LeftoversMessage, Uninstall(launcher, true));
    EXPECT_EQ("the player's", ReadBytesFrom(InstallFolder() + "\\notes.txt"));
}

TEST_F(UninstallTrust, AnInstallRecordKeyOutsideSoftwareIsRefused)
{
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, "Environment", 0, KEY_ALL_ACCESS, &key));
    RegSetValueExA(key, "DrubelCanary", 0, REG_SZ, reinterpret_cast<const BYTE*>("mine"), 5);
    RegCloseKey(key);
    const std::string product = Work / "product";
    MakeProductFolder(product, WithLine(ProductScript(), "REGADDRESS", "REGADDRESS = \"Environment\""));
    for (const char* letter : {"t", "r"}) {
        Process = StartIn(product, letter);
        HWND box = WaitForDialog(ProductTitle);
        ASSERT_NE(nullptr, box) << letter;
        EXPECT_EQ("ディスクのセットアップデータ（Drubel.ini）が正しく読めません。処理を中断します。",
                  MessageBoxText(box));
        PressButton(box, IDOK);
        EXPECT_EQ(0, WaitForExit(Process, 20000));
        CloseHandle(Process);
        Process = nullptr;
    }
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, "Environment", 0, KEY_ALL_ACCESS, &key));
    char value[16] = {};
    DWORD size = sizeof value;
    EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExA(key, "DrubelCanary", nullptr, nullptr,
                                              reinterpret_cast<BYTE*>(value), &size));
    EXPECT_STREQ("mine", value);
    EXPECT_EQ(ERROR_FILE_NOT_FOUND,
              RegQueryValueExA(key, "InstallFolder", nullptr, nullptr, nullptr, nullptr));
    RegDeleteValueA(key, "DrubelCanary");
    RegCloseKey(key);
}

TEST_F(UninstallTrust, ThePlayersFilesThatMatchASavePatternOnlyByTheirShortNamesStay)
{
    const std::string local = LocalSaveFolder();
    const std::string brand = Special(CSIDL_LOCAL_APPDATA) + "\\DrubelE2E";
    for (const std::string& folder : {brand, brand + "\\テストゲーム", local})
        CreateDirectoryA(folder.c_str(), nullptr);
    for (const char* name : {"slot1.sav", "memo.save", "slot1.savold"})
        WriteBytesTo(local + "\\" + name, name);
    for (const char* name : {"memo.save", "slot1.savold"}) {
        char shortName[MAX_PATH] = {};
        GetShortPathNameA((local + "\\" + name).c_str(), shortName, sizeof shortName);
        std::printf("%s is also %s\n", name, shortName);
    }
    const std::string base = InstallFolder().substr(0, InstallFolder().rfind('\\'));
    CreateDirectoryA(base.c_str(), nullptr);
    HWND launcher = StartInstalled(ProductScript(), InstallFolder(), "save=" + local);
    ASSERT_NE(nullptr, launcher);
    Uninstall(launcher, true);
    EXPECT_FALSE(Exists(local + "\\slot1.sav"));
    EXPECT_EQ("memo.save", ReadBytesFrom(local + "\\memo.save"));
    EXPECT_EQ("slot1.savold", ReadBytesFrom(local + "\\slot1.savold"));
}

TEST_F(UninstallTrust, ARecordNamingTheWindowsFolderInAnotherFormHasNothingRemoved)
{
    char windows[MAX_PATH] = {};
    GetWindowsDirectoryA(windows, sizeof windows);
    const std::string planted = std::string(windows) + "\\TestGame";
    std::string slashed = planted;
    for (char& c : slashed)
        if (c == '\\')
            c = '/';
    for (const std::string& form : {"C:\\.\\" + planted.substr(3), std::string(windows) + ".\\TestGame",
                                    slashed}) {
        CreateDirectoryA(planted.c_str(), nullptr);
        WriteBytesTo(planted + "\\game.exe", "the system's");
        HWND launcher = StartInstalled(ProductScript(), form, "");
        ASSERT_NE(nullptr, launcher) << form;
        EXPECT_EQ(LeftoversMessage, Uninstall(launcher, true)) << form;
        EXPECT_EQ("the system's", ReadBytesFrom(planted + "\\game.exe")) << form;
        CloseHandle(Process);
        Process = nullptr;
    }
    RemoveTree(planted);
}

TEST_F(UninstallTrust, ARecordOfStringValuesIsNoRecordAndTheInstallationIsOffered)
{
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, RecordKey, 0, nullptr, 0,
                                             KEY_ALL_ACCESS, nullptr, &key, nullptr));
    const std::string folder = InstallFolder();
    RegSetValueExA(key, "InstallFolder", 0, REG_SZ, reinterpret_cast<const BYTE*>(folder.c_str()),
                   static_cast<DWORD>(folder.size() + 1));
    RegSetValueExA(key, "InstallOption", 0, REG_SZ, reinterpret_cast<const BYTE*>("8"), 2);
    RegCloseKey(key);
    const std::string product = Work / "product";
    MakeProductFolder(product, ProductScript());
    Process = StartIn(product, "t");
    HWND launcher = WaitForLauncher(ProductTitle);
    ASSERT_NE(nullptr, launcher);
    EXPECT_EQ("インストール", ControlText(launcher, LaunchInstall));
    ExitLauncher(launcher);
    DeleteUserKey(RecordKey);
}

// The other program-files folder of a 64-bit Windows counts as well: the
// 32-bit program reads the x86 one from its registry view, this build the
// other, and either way an installation into both keeps its saves out of
// Program Files. (The 32-bit program cannot run on this machine; the
// decision for its view is the same code, checked by the host tests.)
TEST_F(UninstallTrust, AnInstallationIntoTheOtherProgramFilesFolderKeepsItsSavesLocal)
{
    char other[MAX_PATH] = {};
    if (GetEnvironmentVariableA("ProgramFiles(x86)", other, sizeof other) == 0)
        GTEST_SKIP() << "no second program-files folder";
    const std::string base = std::string(other) + "\\DrubelE2E";
    HWND options = StartAndOpenOptions();
    ASSERT_NE(nullptr, options);
    PressButton(options, OptionSecond);
    SendMessageA(GetDlgItem(options, InstallPath), WM_SETTEXT, 0,
                 reinterpret_cast<LPARAM>(base.c_str()));
    HWND window = ConfirmOptions(options);
    ASSERT_NE(nullptr, window);
    WaitForFinish();
    CloseFinishScreen(window);
    HWND launcher = WaitForLauncher(ProductTitle);
    ASSERT_NE(nullptr, launcher);
    EXPECT_EQ("save=" + LocalSaveFolder(), ReadBytesFrom(base + "\\TestGame\\Install.ini"));
    EXPECT_TRUE(Exists(LocalSaveFolder()));
    Uninstall(launcher, true);
    RemoveTree(base);
}

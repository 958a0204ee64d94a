// Uninstalling after an installation: keeping or deleting the save data,
// brand folders shared with another title, the desktop link, Cancel, and
// the uninstaller that the Start menu starts from the install folder.
#include "install_product.h"

#include <algorithm>

namespace {

enum : int {
    DeleteSaveData = 1009,
    UninstallHeading = 1012,
};

const char UninstallCaption[] = "テストゲーム のアンインストール";
const char AllRemovedText[] = "アンインストールが正常に終了しました。";

std::string Parent(const std::string& path) { return path.substr(0, path.rfind('\\')); }

bool SameNoCase(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return tolower(static_cast<unsigned char>(x)) == tolower(static_cast<unsigned char>(y));
           });
}

// The text of a message box, its line breaks taken as bare line feeds.
std::string Lines(std::string text)
{
    text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
    return text;
}

}  // namespace

class UninstallTest : public InstallTest {
protected:
    void SetUp() override
    {
        InstallTest::SetUp();
        SaveFiles = {"slot01.sav", "slot02.sav"};
    }

    HWND Install(bool desktopLink) { return InstallProduct(ProductScript(), false, desktopLink); }

    // Save files as the game leaves them in its save folder.
    void PutSaveFiles()
    {
        for (const std::string& name : SaveFiles)
            WriteBytesTo(LocalSaveFolder() + "\\" + name, "progress of " + name);
    }

    HWND OpenUninstall(HWND launcher)
    {
        EXPECT_EQ("アンインストール", ControlText(launcher, LaunchInstall));
        PressButton(launcher, LaunchInstall);
        HWND dialog = WaitForDialog(UninstallCaption);
        EXPECT_NE(nullptr, dialog) << "no uninstall dialog";
        return dialog;
    }

    // "実行", with or without the save data; the closing message, answered.
    // The program ends after it.
    std::string RunUninstall(HWND dialog, bool deleteSaveData, HANDLE process)
    {
        EXPECT_EQ(static_cast<LRESULT>(BST_UNCHECKED),
                  SendDlgItemMessageA(dialog, DeleteSaveData, BM_GETCHECK, 0, 0));
        if (deleteSaveData)
            SendDlgItemMessageA(dialog, DeleteSaveData, BM_SETCHECK, BST_CHECKED, 0);
        PressButton(dialog, IDOK);
        HWND box = WaitForDialogExcept(ProductTitle, nullptr, 30000);
        if (!box) {
            ADD_FAILURE() << "no closing message";
            return "";
        }
        const std::string text = Lines(MessageBoxText(box));
        PressButton(box, IDOK);
        EXPECT_EQ(0, WaitForExit(process, 20000)) << "the program goes on after the uninstall";
        return text;
    }

    // What an uninstall removes whatever the check box says.
    void ExpectGameRemoved()
    {
        for (const DiscFile& f : Files)
            EXPECT_FALSE(Exists(InstallFolder() + "\\" + f.Name)) << f.Name;
        for (const char* folder : {"\\data\\voice", "\\data", "\\manual"})
            EXPECT_FALSE(Exists(InstallFolder() + folder)) << folder;
        EXPECT_FALSE(Exists(StartMenuGroup())) << "the Start-menu group stayed";
        std::vector<uint8_t> folder;
        DWORD type, option, optionType;
        EXPECT_FALSE(ReadRecord(&folder, &type, &option, &optionType)) << "the install record stayed";
    }

    std::vector<std::string> SaveFiles;
};

TEST_F(UninstallTest, KeepingTheSaveDataKeepsOnlyItsFolderOutsideTheInstallFolder)
{
    HWND launcher = Install(true);
    ASSERT_NE(nullptr, launcher);
    ASSERT_TRUE(Exists(DesktopFolder() + "\\テストゲーム.lnk"));
    PutSaveFiles();

    HWND dialog = OpenUninstall(launcher);
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ("ゲームのアンインストールを行います", ControlText(dialog, UninstallHeading));
    EXPECT_EQ("セーブデータも削除する", ControlText(dialog, DeleteSaveData));
    EXPECT_EQ("実行", ControlText(dialog, IDOK));
    EXPECT_EQ(AllRemovedText, RunUninstall(dialog, false, Process));

    ExpectGameRemoved();
    // The save folder lies in the local application data: Install.ini is
    // not needed to find it, and the install folder goes with it.
    EXPECT_FALSE(Exists(InstallFolder())) << "the install folder stayed";
    for (const std::string& name : SaveFiles)
        EXPECT_EQ("progress of " + name, ReadBytesFrom(LocalSaveFolder() + "\\" + name)) << name;
    EXPECT_FALSE(Exists(DesktopFolder() + "\\テストゲーム.lnk")) << "the desktop link stayed";
    // The brand folder of the Start menu held only this title.
    EXPECT_FALSE(Exists(Parent(StartMenuGroup())));
}

TEST_F(UninstallTest, DeletingTheSaveDataRemovesEverythingItMade)
{
    HWND launcher = Install(false);
    ASSERT_NE(nullptr, launcher);
    ASSERT_FALSE(Exists(DesktopFolder() + "\\テストゲーム.lnk"));
    PutSaveFiles();
    // A link of that name that the installation did not make.
    const std::string ownLink = DesktopFolder() + "\\テストゲーム.lnk";
    ASSERT_TRUE(CopyFileA((StartMenuGroup() + "\\テストゲーム.lnk").c_str(), ownLink.c_str(), FALSE));

    HWND dialog = OpenUninstall(launcher);
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ(AllRemovedText, RunUninstall(dialog, true, Process));

    ExpectGameRemoved();
    ExpectNothingInstalled();
    const std::string titleLevel = Parent(LocalSaveFolder());
    EXPECT_FALSE(Exists(titleLevel)) << titleLevel;
    EXPECT_FALSE(Exists(Parent(titleLevel))) << Parent(titleLevel);
    EXPECT_FALSE(Exists(Parent(StartMenuGroup())));
    EXPECT_TRUE(Exists(ownLink)) << "the desktop link was not the installation's";
}

TEST_F(UninstallTest, BrandFoldersStayWhileTheyHoldAnotherTitle)
{
    HWND launcher = Install(false);
    ASSERT_NE(nullptr, launcher);
    PutSaveFiles();
    const std::string brandMenu = Parent(StartMenuGroup());
    const std::string brandData = Parent(Parent(LocalSaveFolder()));
    const std::string otherMenu = brandMenu + "\\別のゲーム";
    const std::string otherSave = brandData + "\\別のゲーム\\save";
    CreateDirectoryA(otherMenu.c_str(), nullptr);
    WriteBytesTo(otherMenu + "\\別のゲーム.lnk", "link");
    CreateDirectoryA(Parent(otherSave).c_str(), nullptr);
    CreateDirectoryA(otherSave.c_str(), nullptr);
    WriteBytesTo(otherSave + "\\slot01.sav", "the other title's");

    HWND dialog = OpenUninstall(launcher);
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ(AllRemovedText, RunUninstall(dialog, true, Process));

    ExpectNothingInstalled();
    EXPECT_FALSE(Exists(Parent(LocalSaveFolder())));
    EXPECT_EQ("link", ReadBytesFrom(otherMenu + "\\別のゲーム.lnk"));
    EXPECT_EQ("the other title's", ReadBytesFrom(otherSave + "\\slot01.sav"));
}

// The player deleted the install folder by hand: the uninstall says so and
// takes away what still names the game, its Apps & features entry too.
TEST_F(UninstallTest, AnInstallFolderDeletedByHandIsToldAndItsRegistrationGoes)
{
    HWND launcher = Install(false);
    ASSERT_NE(nullptr, launcher);
    ExitLauncher(launcher);
    const char* apps = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
    auto entries = [apps] {
        int count = 0;
        HKEY root;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, apps, 0, KEY_READ, &root) != ERROR_SUCCESS)
            return 0;
        char name[256];
        DWORD length = sizeof name;
        for (DWORD i = 0; RegEnumKeyExA(root, i, name, &length, nullptr, nullptr, nullptr, nullptr) ==
                          ERROR_SUCCESS;
             ++i, length = sizeof name)
            count += std::string(name).rfind("Drubel_DrubelE2E_TestGame_", 0) == 0;
        RegCloseKey(root);
        return count;
    };
    EXPECT_EQ(1, entries());
    RemoveTree(InstallFolder());

    CloseHandle(Process);
    Process = StartIn(Work / "product", "t");
    launcher = WaitForLauncher(ProductTitle);
    ASSERT_NE(nullptr, launcher);
    PressButton(launcher, LaunchInstall);
    // The box has the launcher's caption: the launcher itself is not it.
    HWND box = WaitForDialogExcept(ProductTitle, launcher, 30000);
    ASSERT_NE(nullptr, box);
    const std::string text = MessageBoxText(box);
    EXPECT_EQ(0u, text.find("インストール先のフォルダが見つかりません。")) << text;
    EXPECT_NE(std::string::npos, text.find(InstallFolder())) << text;
    PressButton(box, IDOK);
    EXPECT_EQ(0, WaitForExit(Process, 20000));
    EXPECT_EQ(0, entries()) << "the entry stayed";
    EXPECT_FALSE(Exists(StartMenuGroup())) << "the links stayed";
    std::vector<uint8_t> folder;
    DWORD type, option, optionType;
    EXPECT_FALSE(ReadRecord(&folder, &type, &option, &optionType)) << "the install record stayed";
}

TEST_F(UninstallTest, CancelChangesNothing)
{
    HWND launcher = Install(true);
    ASSERT_NE(nullptr, launcher);
    PutSaveFiles();

    // "ｷｬﾝｾﾙ" with the box ticked, then the close box, then Escape.
    HWND dialog = OpenUninstall(launcher);
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ("ｷｬﾝｾﾙ", ControlText(dialog, IDCANCEL));
    SendDlgItemMessageA(dialog, DeleteSaveData, BM_SETCHECK, BST_CHECKED, 0);
    PressButton(dialog, IDCANCEL);
    ASSERT_TRUE(WaitForWindowGone(dialog));
    launcher = WaitForLauncher(ProductTitle);
    ASSERT_NE(nullptr, launcher);
    dialog = OpenUninstall(launcher);
    ASSERT_NE(nullptr, dialog);
    PressCloseBox(dialog);
    ASSERT_TRUE(WaitForWindowGone(dialog));
    launcher = WaitForLauncher(ProductTitle);
    ASSERT_NE(nullptr, launcher);
    dialog = OpenUninstall(launcher);
    ASSERT_NE(nullptr, dialog);
    PressEscape(dialog);
    ASSERT_TRUE(WaitForWindowGone(dialog));
    launcher = WaitForLauncher(ProductTitle);
    ASSERT_NE(nullptr, launcher);

    ExpectInstalled(false);
    for (const std::string& name : SaveFiles)
        EXPECT_TRUE(Exists(LocalSaveFolder() + "\\" + name)) << name;
    EXPECT_TRUE(Exists(InstallFolder() + "\\Install.ini"));
    EXPECT_TRUE(Exists(StartMenuGroup() + "\\テストゲーム.lnk"));
    EXPECT_TRUE(Exists(DesktopFolder() + "\\テストゲーム.lnk"));
    std::vector<uint8_t> folder;
    DWORD type = 0, option = 0, optionType = 0;
    EXPECT_TRUE(ReadRecord(&folder, &type, &option, &optionType));
    EXPECT_EQ(0x24u, option);
    EXPECT_EQ("アンインストール", ControlText(launcher, LaunchInstall));
    ExitLauncher(launcher);
}

// As the sample product does: the launcher, its script and its archive are
// installed into uninst\, and a Start-menu link starts that copy with "u".
class StartMenuUninstall : public UninstallTest {
protected:
    void SetUp() override
    {
        UninstallTest::SetUp();
        const std::string product = Work / "product";
        Files.push_back({1, "uninst\\Drubel.exe", 0, false, DrubelExe()});
        Files.push_back({1, "uninst\\Drubel.ini", 0, false, product + "\\Drubel.ini"});
        Files.push_back({1, "uninst\\Instdata.pak", 0, false, product + "\\Instdata.pak"});
    }

    // Installs, leaves the launcher, and starts the link as the shell does:
    // its target with its arguments in its working folder. The uninstall
    // dialog of the copy that took over, and that copy's process.
    HWND StartUninstaller(HANDLE* copy)
    {
        std::vector<std::string> script = ProductScript();
        const std::pair<const char*, const char*> added[] = {
            {"MAKEFOLDER", "uninst"},           {"SHORTCUTNAME", "アンインストール.lnk"},
            {"SHORTCUTLINK", "Drubel.exe"},     {"SHORTCUTFOLDER", "uninst"},
            {"SHORTCUTPARAM", "u"},             {"SHORTCUTLABEL", "テストゲームを削除します"},
        };
        for (std::string& line : script)
            for (const auto& key : added)
                if (line.rfind(std::string(key.first) + " ", 0) == 0)
                    line += std::string(" \"") + key.second + "\"";
        HWND launcher = InstallProduct(script, false, false);
        if (!launcher)
            return nullptr;
        ExpectInstalled(false);
        ExitLauncher(launcher);
        PutSaveFiles();

        const LinkInfo link = ReadShellLink(StartMenuGroup() + "\\アンインストール.lnk");
        EXPECT_EQ(InstallFolder() + "\\uninst\\Drubel.exe", link.Target);
        EXPECT_EQ("u", link.Arguments);
        Launch start;
        start.Program = link.Target;
        start.Arguments = link.Arguments;
        start.CurrentFolder = link.WorkFolder;
        start.TempFolder = Temp;
        HANDLE first = StartProgram(start);
        if (!first)
            return nullptr;
        EXPECT_EQ(0, WaitForExit(first, 20000)) << "the installed copy did not hand over";
        CloseHandle(first);

        // The uninstall opens at once, run by the copy in its folder in the
        // temporary folder.
        HWND dialog = WaitForDialog(UninstallCaption);
        EXPECT_NE(nullptr, dialog) << "no uninstall dialog";
        if (!dialog)
            return nullptr;
        EXPECT_EQ(nullptr, WaitForDialog(ProductTitle, 200)) << "the launcher opened";
        const std::string running = ProcessImagePath(ProcessOf(dialog));
        EXPECT_TRUE(SameNoCase(RelaunchFolder() + "Drubel.exe", running)) << "running " << running;
        *copy = OpenWindowProcess(dialog);
        return dialog;
    }
};

TEST_F(StartMenuUninstall, WithTheSaveDataEverythingGoesTheUninstallerToo)
{
    HANDLE copy = nullptr;
    HWND dialog = StartUninstaller(&copy);
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ(AllRemovedText, RunUninstall(dialog, true, copy));
    CloseHandle(copy);
    ExpectNothingInstalled();
    for (const std::string& folder : RelaunchFolders()) {
        EXPECT_FALSE(Exists(folder + "Drubel.ini"));
        EXPECT_FALSE(Exists(folder + "Instdata.pak"));
    }
}

TEST_F(StartMenuUninstall, KeepingTheSaveDataLeavesOnlyIt)
{
    HANDLE copy = nullptr;
    HWND dialog = StartUninstaller(&copy);
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ(AllRemovedText, RunUninstall(dialog, false, copy));
    CloseHandle(copy);
    ExpectGameRemoved();
    // uninst\ was the program's current folder: it goes all the same.
    EXPECT_FALSE(Exists(InstallFolder() + "\\uninst"));
    EXPECT_FALSE(Exists(InstallFolder()));
    for (const std::string& name : SaveFiles)
        EXPECT_TRUE(Exists(LocalSaveFolder() + "\\" + name)) << name;
}

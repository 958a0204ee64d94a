#include "install/shortcuts.h"
#include "uninstall/uninstall.h"
#include "install_fixture.h"
#include "support/shell_link_reader.h"

namespace {

class Shortcuts : public InstallTest {
protected:
    void SetUp() override
    {
        InstallTest::SetUp();
        CoInitialize(nullptr);
        // Names of this process: the desktop of the prefix is shared.
        const std::string tag = ProcessTag();
        FillSlots(SetupScript.SHORTCUTNAME, {"ゲーム" + tag + ".lnk", "窓" + tag + ".lnk", "説明" + tag + ".lnk"});
        FillSlots(SetupScript.SHORTCUTLINK, {"Game.exe", "Game.exe", "readme.txt"});
        FillSlots(SetupScript.SHORTCUTFOLDER, {"", "", "manual"});
        FillSlots(SetupScript.SHORTCUTPARAM, {"", "-window", ""});
        FillSlots(SetupScript.SHORTCUTLABEL, {"ゲームを起動します", "ウィンドウで", "はじめに"});
        PutFile(Install, "Game.exe", {'M', 'Z'});
        PutFile(Install, "manual\\readme.txt", {'r'});
        Group = SpecialFolder(CSIDL_PROGRAMS) + "\\" + SetupScript.BRANDNAME + "\\" +
                SetupScript.APPLITITLE;
        DesktopLink = SpecialFolder(CSIDL_DESKTOP) + "\\" + SetupScript.SHORTCUTNAME[0];
    }
    void TearDown() override
    {
        DeleteFileA(DesktopLink.c_str());
        CoUninitialize();
        InstallTest::TearDown();
    }
    std::string Group;
    std::string DesktopLink;
};

}  // namespace

TEST_F(Shortcuts, TheStartMenuGroupHoldsEveryLinkWithItsTargetArgumentsFolderAndDescription)
{
    EXPECT_EQ(1, CreateShortcuts(0));
    const ShellLinkInfo game = ReadShellLink(Group + "\\" + SetupScript.SHORTCUTNAME[0]);
    EXPECT_EQ(Install + "\\Game.exe", game.Target);
    EXPECT_EQ("", game.Arguments);
    EXPECT_EQ(Install, game.WorkFolder);
    EXPECT_EQ("ゲームを起動します", game.Description);
    EXPECT_EQ(SW_SHOWNORMAL, game.ShowCommand);

    const ShellLinkInfo window = ReadShellLink(Group + "\\" + SetupScript.SHORTCUTNAME[1]);
    EXPECT_EQ("-window", window.Arguments);
    EXPECT_EQ(Install + "\\Game.exe", window.Target);

    const ShellLinkInfo readme = ReadShellLink(Group + "\\" + SetupScript.SHORTCUTNAME[2]);
    EXPECT_EQ(Install + "\\manual\\readme.txt", readme.Target);
    EXPECT_EQ(Install + "\\manual", readme.WorkFolder);
    EXPECT_EQ("はじめに", readme.Description);

    // No desktop link unless asked for.
    EXPECT_FALSE(FileExists(DesktopLink));
}

TEST_F(Shortcuts, TheDesktopGetsTheFirstLinkOnlyWhenAsked)
{
    EXPECT_EQ(1, CreateShortcuts(1));
    ASSERT_TRUE(FileExists(DesktopLink)) << DesktopLink;
    const ShellLinkInfo desktop = ReadShellLink(DesktopLink);
    EXPECT_EQ(Install + "\\Game.exe", desktop.Target);
    EXPECT_EQ("ゲームを起動します", desktop.Description);
    EXPECT_FALSE(FileExists(SpecialFolder(CSIDL_DESKTOP) + "\\" + SetupScript.SHORTCUTNAME[1]));
}

TEST_F(Shortcuts, ALinkThatCannotBeSavedReportsTheFailureAndTheOthersAreStillMade)
{
    const std::string nowhere = Root.Path + "\\missing\\x.lnk";
    const HRESULT result = CreateShellLink(nowhere.c_str(), (Install + "\\Game.exe").c_str(), "d",
                                           "", Install.c_str(), nullptr, 0, SW_SHOWNORMAL);
    std::printf("save into a missing folder: 0x%08lx\n", static_cast<unsigned long>(result));
    EXPECT_TRUE(FAILED(result));

    // A name leading out of the group is skipped; the rest are made.
    CopyText(SetupScript.SHORTCUTNAME[1], "..\\..\\escape.lnk");
    EXPECT_EQ(1, CreateShortcuts(0));
    EXPECT_TRUE(FileExists(Group + "\\" + SetupScript.SHORTCUTNAME[0]));
    EXPECT_TRUE(FileExists(Group + "\\" + SetupScript.SHORTCUTNAME[2]));
    EXPECT_FALSE(FileExists(SpecialFolder(CSIDL_PROGRAMS) + "\\escape.lnk"));
}

TEST_F(Shortcuts, AnEmptyBrandNameLeavesItsLevelOutAsTheUninstallDoes)
{
    CopyText(SetupScript.APPLITITLE, ("DrubelNoBrand" + ProcessTag()).c_str());
    SetupScript.BRANDNAME[0] = '\0';
    const std::string group = SpecialFolder(CSIDL_PROGRAMS) + "\\" + SetupScript.APPLITITLE;
    EXPECT_EQ(1, CreateShortcuts(0));
    EXPECT_TRUE(FileExists(group + "\\" + SetupScript.SHORTCUTNAME[0])) << group;
    EXPECT_EQ(1, RemoveShortcuts(0));
    EXPECT_FALSE(FileExists(group));
}

#include "install/shortcuts.h"
#include "install_fixture.h"

namespace {

struct LinkData {
    std::string Target;
    std::string Arguments;
    std::string WorkFolder;
    std::string Description;
    int ShowCommand = -1;
};

// Reads a saved link back through IShellLinkA.
LinkData ReadLink(const std::string& file)
{
    LinkData data;
    IShellLinkA* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(&link))))
        return data;
    IPersistFile* persist = nullptr;
    WCHAR wide[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, file.c_str(), -1, wide, MAX_PATH);
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist))) &&
        SUCCEEDED(persist->Load(wide, STGM_READ))) {
        char text[1024];
        WIN32_FIND_DATAA found;
        if (SUCCEEDED(link->GetPath(text, sizeof text, &found, SLGP_RAWPATH)))
            data.Target = text;
        if (SUCCEEDED(link->GetArguments(text, sizeof text)))
            data.Arguments = text;
        if (SUCCEEDED(link->GetWorkingDirectory(text, sizeof text)))
            data.WorkFolder = text;
        if (SUCCEEDED(link->GetDescription(text, sizeof text)))
            data.Description = text;
        link->GetShowCmd(&data.ShowCommand);
    }
    if (persist)
        persist->Release();
    link->Release();
    return data;
}

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
    const LinkData game = ReadLink(Group + "\\" + SetupScript.SHORTCUTNAME[0]);
    EXPECT_EQ(Install + "\\Game.exe", game.Target);
    EXPECT_EQ("", game.Arguments);
    EXPECT_EQ(Install, game.WorkFolder);
    EXPECT_EQ("ゲームを起動します", game.Description);
    EXPECT_EQ(SW_SHOWNORMAL, game.ShowCommand);

    const LinkData window = ReadLink(Group + "\\" + SetupScript.SHORTCUTNAME[1]);
    EXPECT_EQ("-window", window.Arguments);
    EXPECT_EQ(Install + "\\Game.exe", window.Target);

    const LinkData readme = ReadLink(Group + "\\" + SetupScript.SHORTCUTNAME[2]);
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
    const LinkData desktop = ReadLink(DesktopLink);
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

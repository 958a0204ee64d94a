#include "uninstall_fixture.h"

namespace {

class ShortcutTest : public UninstallTest {
protected:
    void SetUp() override
    {
        UninstallTest::SetUp();
        Slots(SetupScript.SHORTCUTNAME, {"テストゲーム.lnk", "Readme.lnk"});
        Brand = SpecialFolder(CSIDL_PROGRAMS) + "\\" + SetupScript.BRANDNAME;
        DesktopLink = SpecialFolder(CSIDL_DESKTOP) + "\\" + SetupScript.SHORTCUTNAME[0];
    }
    void TearDown() override
    {
        DeleteFileA(DesktopLink.c_str());
        UninstallTest::TearDown();
    }

    std::string Brand;
    std::string DesktopLink;
};

}  // namespace

TEST(SpecialFolders, ThePrefixHasDesktopProgramsAndLocalData)
{
    for (int csidl : {CSIDL_DESKTOP, CSIDL_PROGRAMS, CSIDL_LOCAL_APPDATA}) {
        char path[MAX_PATH] = "junk";
        ASSERT_NE(0, GetSpecialFolderPath(csidl, path)) << csidl;
        EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(path)) << path;
        EXPECT_EQ(':', path[1]) << path;
    }
    char path[MAX_PATH] = "junk";
    EXPECT_EQ(0, GetSpecialFolderPath(0x7777, path));
    EXPECT_STREQ("", path);
}

TEST_F(ShortcutTest, LinksTitleFolderAndEmptyBrandFolderGo)
{
    MakeLinks();
    EXPECT_EQ(1, RemoveShortcuts(0));
    EXPECT_FALSE(Exists(Group));
    EXPECT_FALSE(Exists(Brand));
}

TEST_F(ShortcutTest, TheBrandFolderStaysWhileItHoldsAnotherTitle)
{
    MakeLinks();
    PutFile(Brand, "Other\\Other.lnk");
    EXPECT_EQ(1, RemoveShortcuts(0));
    EXPECT_FALSE(Exists(Group));
    EXPECT_TRUE(Exists(Brand + "\\Other\\Other.lnk"));
}

TEST_F(ShortcutTest, AMissingLinkIsAFailureButTheOthersStillGo)
{
    MakeLinks();
    DeleteFileA((Group + "\\Readme.lnk").c_str());
    EXPECT_EQ(0, RemoveShortcuts(0));
    EXPECT_FALSE(Exists(Group + "\\テストゲーム.lnk"));
    EXPECT_FALSE(Exists(Group));
}

TEST_F(ShortcutTest, TheDesktopLinkGoesOnlyWhenAsked)
{
    MakeLinks();
    WriteText(DesktopLink, "link");
    EXPECT_EQ(1, RemoveShortcuts(0));
    EXPECT_TRUE(Exists(DesktopLink));
    MakeLinks();
    EXPECT_EQ(1, RemoveShortcuts(1));
    EXPECT_FALSE(Exists(DesktopLink));
    // Asked for, but already gone: a failure, as for the Start-menu links.
    MakeLinks();
    EXPECT_EQ(0, RemoveShortcuts(1));
}

TEST_F(ShortcutTest, NamesLeadingOutOfTheGroupAreSkipped)
{
    const std::string programs = SpecialFolder(CSIDL_PROGRAMS);
    Slots(SetupScript.SHORTCUTNAME, {"..\\..\\victim.lnk", "テストゲーム.lnk"});
    MakeFolder(Brand);
    MakeFolder(Group);
    WriteText(Group + "\\テストゲーム.lnk", "link");
    const std::string victim = programs + "\\victim.lnk";
    WriteText(victim, "someone else's");
    EXPECT_EQ(0, RemoveShortcuts(0));
    EXPECT_TRUE(Exists(victim));
    DeleteFileA(victim.c_str());
    EXPECT_FALSE(Exists(Group));
}

TEST_F(ShortcutTest, ABrandLeadingOutOfTheProgramsFolderTouchesNothing)
{
    const std::string brand = SetupScript.BRANDNAME;
    MakeLinks();
    strcpy(SetupScript.BRANDNAME, "..");
    EXPECT_EQ(0, RemoveShortcuts(0));
    EXPECT_TRUE(Exists(Group + "\\Readme.lnk"));
    strcpy(SetupScript.BRANDNAME, brand.c_str());
}

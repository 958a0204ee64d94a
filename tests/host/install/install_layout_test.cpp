#include "install/install_layout.h"
#include "install_model_fixture.h"

#include <string>

TEST(SaveRule, LocalApplicationDataOnlyOnNt6AndBelowAProgramFilesFolder)
{
    const char* programFiles[] = {"C:\\Program Files"};
    const char* below = "C:\\Program Files\\Maker\\Game";
    EXPECT_TRUE(SaveGoesToLocalAppData(PlatformNt, 6, programFiles, 1, below));
    EXPECT_TRUE(SaveGoesToLocalAppData(PlatformNt, 10, programFiles, 1, below));
    EXPECT_FALSE(SaveGoesToLocalAppData(PlatformNt, 5, programFiles, 1, below));
    EXPECT_FALSE(SaveGoesToLocalAppData(1, 6, programFiles, 1, below));  // the 9x family
    EXPECT_FALSE(SaveGoesToLocalAppData(PlatformNt, 6, programFiles, 0, below));
    const char* empty[] = {"", nullptr};
    EXPECT_FALSE(SaveGoesToLocalAppData(PlatformNt, 6, empty, 2, below));
    EXPECT_FALSE(SaveGoesToLocalAppData(PlatformNt, 6, programFiles, 1, "D:\\Games\\Game"));
    // Case does not count, and the test is a plain prefix test.
    EXPECT_TRUE(SaveGoesToLocalAppData(PlatformNt, 6, programFiles, 1, "c:\\PROGRAM FILES\\Game"));
    EXPECT_TRUE(SaveGoesToLocalAppData(PlatformNt, 6, programFiles, 1, "C:\\Program Files Extra\\G"));
    EXPECT_FALSE(SaveGoesToLocalAppData(PlatformNt, 6, programFiles, 1, "C:\\Program"));
    // The 32-bit program on 64-bit Windows: its own registry view names the
    // x86 folder, the 64-bit view the other; an installation into either
    // keeps its saves out of Program Files.
    const char* both[] = {"C:\\Program Files (x86)", "C:\\Program Files"};
    EXPECT_TRUE(SaveGoesToLocalAppData(PlatformNt, 10, both, 2, below));
    EXPECT_TRUE(SaveGoesToLocalAppData(PlatformNt, 10, both, 2, "C:\\Program Files (x86)\\M\\G"));
    EXPECT_FALSE(SaveGoesToLocalAppData(PlatformNt, 10, both, 2, "C:\\Games\\G"));
}

TEST(InstallIni, SaveAndThePathWithNothingAfterIt)
{
    char text[300];
    ASSERT_TRUE(ComposeInstallIniText(text, sizeof text, "C:\\Game\\save"));
    EXPECT_EQ(std::string("save=C:\\Game\\save"), text);
}

using ShortcutLayout = InstallModelTest;

TEST_F(ShortcutLayout, TargetAndWorkingFolderFollowTheShortcutFolder)
{
    CopyText(SetupScript.InstallFolder, "C:\\Games\\Arcadia");
    CopyText(SetupScript.SHORTCUTNAME[0], "Play.lnk");
    CopyText(SetupScript.SHORTCUTLINK[0], "Arcadia.exe");
    CopyText(SetupScript.SHORTCUTNAME[1], "Readme.lnk");
    CopyText(SetupScript.SHORTCUTLINK[1], "readme.txt");
    CopyText(SetupScript.SHORTCUTFOLDER[1], "manual");

    ShortcutPaths paths;
    ASSERT_TRUE(ComposeShortcutPaths("P:\\Programs\\Brand\\Title", 0, &paths));
    EXPECT_EQ(std::string("P:\\Programs\\Brand\\Title\\Play.lnk"), paths.LinkFile);
    EXPECT_EQ(std::string("C:\\Games\\Arcadia\\Arcadia.exe"), paths.Target);
    EXPECT_EQ(std::string("C:\\Games\\Arcadia"), paths.WorkFolder);

    ASSERT_TRUE(ComposeShortcutPaths("D:\\Desktop\\", 1, &paths));
    EXPECT_EQ(std::string("D:\\Desktop\\Readme.lnk"), paths.LinkFile);
    EXPECT_EQ(std::string("C:\\Games\\Arcadia\\manual\\readme.txt"), paths.Target);
    EXPECT_EQ(std::string("C:\\Games\\Arcadia\\manual"), paths.WorkFolder);
}

TEST_F(ShortcutLayout, ALinkNameThatLeavesItsFolderOrDoesNotFitIsNotMade)
{
    CopyText(SetupScript.InstallFolder, "C:\\Game");
    ShortcutPaths paths;
    CopyText(SetupScript.SHORTCUTNAME[0], "..\\..\\Startup\\evil.lnk");
    EXPECT_FALSE(ComposeShortcutPaths("P:\\Programs", 0, &paths));
    CopyText(SetupScript.SHORTCUTNAME[0], "C:\\evil.lnk");
    EXPECT_FALSE(ComposeShortcutPaths("P:\\Programs", 0, &paths));
    CopyText(SetupScript.SHORTCUTNAME[0], "");
    EXPECT_FALSE(ComposeShortcutPaths("P:\\Programs", 0, &paths));
    CopyText(SetupScript.SHORTCUTNAME[0], "Play.lnk");
    const std::string deep = "P:\\" + std::string(250, 'p');
    EXPECT_FALSE(ComposeShortcutPaths(deep.c_str(), 0, &paths));
}

TEST_F(ShortcutLayout, OnlyALinkToTheProgramsOwnUninstallCopyInASubfolderIsTheUninstallers)
{
    const struct {
        const char* Folder;
        const char* Link;
        const char* Param;
        bool Uninstaller;
    } cases[] = {
        {"uninst", "Drubel.exe", "u", true},  {"uninst", "DRUBEL.EXE", "r", true},
        {"a\\uninst", "drubel.exe", "U", true}, {"", "Drubel.exe", "u", false},
        {"uninst", "Drubel.exe", "", false},  {"uninst", "Drubel.exe", "-u", false},
        {"uninst", "Game.exe", "u", false},   {"..\\x", "Drubel.exe", "u", false},
    };
    for (const auto& c : cases) {
        CopyText(SetupScript.SHORTCUTFOLDER[0], c.Folder);
        CopyText(SetupScript.SHORTCUTLINK[0], c.Link);
        CopyText(SetupScript.SHORTCUTPARAM[0], c.Param);
        EXPECT_EQ(c.Uninstaller, IsUninstallerLink(0, "Drubel.exe")) << c.Folder << " " << c.Link;
    }
    EXPECT_FALSE(IsUninstallerLink(0, ""));
}

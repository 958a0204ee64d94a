#include "uninstall/uninstall_paths.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

std::string Contained(const char* root, const char* name)
{
    char path[64];
    return BuildContainedPath(path, sizeof path, root, name) ? path : "(refused)";
}

std::string Match(const char* root, const char* folder, const char* match)
{
    char path[64];
    return BuildMatchPath(path, sizeof path, root, folder, match) ? path : "(refused)";
}

std::string FromIni(const std::string& bytes, size_t size = 260)
{
    char path[260];
    return ParseInstallIni(bytes.data(), bytes.size(), path, size) ? path : "(default)";
}

std::string Group(const char* programs, const char* brand, const char* title, int* levels)
{
    char path[260];
    return BuildShortcutGroup(path, sizeof path, programs, brand, title, levels) ? path
                                                                                 : "(refused)";
}

}  // namespace

TEST(UninstallPaths, RemovalRootsAreFoldersBelowADriveOrAShare)
{
    for (const char* good : {"C:\\Games\\Arcadia", "c:\\Games\\", "D:/Game", "\\\\server\\share\\Game",
                             "C:\\Program Files\\ソ\\Arcadia", "C:\\a\\.\\b"})
        EXPECT_TRUE(IsRemovalRoot(good)) << good;
    for (const char* bad : {"", "C:", "C:\\", "C:\\.", "C:\\. ", "C:\\.\\", "Games\\Arcadia",
                            "\\Games", "C:Games", "C:\\Games\\..", "C:\\Games\\..\\..\\Windows",
                            "\\\\server\\share", "\\\\server\\share\\", "\\\\?\\C:\\Games",
                            "\\\\.\\C:\\x", "C:\\a\\D:\\b"})
        EXPECT_FALSE(IsRemovalRoot(bad)) << bad;
}

TEST(UninstallPaths, ListedNamesStayInsideTheirRoot)
{
    EXPECT_EQ("C:\\G\\data\\bgm.dat", Contained("C:\\G", "data\\bgm.dat"));
    EXPECT_EQ("C:\\G\\a.sav", Contained("C:\\G\\", "a.sav"));
    for (const char* bad : {"..\\x.dat", "data\\..\\..\\boot.ini", "C:\\Windows\\x", "\\x", ""})
        EXPECT_EQ("(refused)", Contained("C:\\G", bad)) << bad;
    // A path that does not fit is refused, never cut.
    EXPECT_EQ("(refused)", Contained("C:\\G", std::string(60, 'x').c_str()));
}

TEST(UninstallPaths, WildcardMatchesAreJoinedToTheirFolderPart)
{
    EXPECT_EQ("C:\\G\\data\\voice\\a.vce", Match("C:\\G", "data\\voice", "a.vce"));
    EXPECT_EQ("C:\\G\\a.sav", Match("C:\\G", "", "a.sav"));
    for (const char* bad : {"..", ".", "a\\b", "a/b", "C:x", ""})
        EXPECT_EQ("(refused)", Match("C:\\G", "data", bad)) << bad;
    EXPECT_EQ("(refused)", Match("C:\\G", "..\\up", "a.vce"));
}

TEST(UninstallPaths, InstallIniNamesTheSaveFolder)
{
    EXPECT_EQ("C:\\Users\\me\\AppData\\Local\\Brand\\Title\\save",
              FromIni("save=C:\\Users\\me\\AppData\\Local\\Brand\\Title\\save"));
    // The path ends at the first zero byte.
    EXPECT_EQ("C:\\G\\save", FromIni(std::string("save=C:\\G\\save\0junk", 19)));
    for (const std::string& other :
         {std::string(""), std::string("save"), std::string("Save=C:\\G\\save"),
          std::string(" save=C:\\G\\save"), std::string("save="), std::string("save=C:\\"),
          std::string("save=save"), std::string("save=C:\\G\\..\\.."), std::string("path=C:\\G")})
        EXPECT_EQ("(default)", FromIni(other)) << other;
}

TEST(UninstallPaths, ASavePathTooLongForTheBufferIsNotCut)
{
    const std::string path = "C:\\" + std::string(256, 'a');  // 259 characters
    EXPECT_EQ(path, FromIni("save=" + path));
    EXPECT_EQ("(default)", FromIni("save=" + path + "b"));
    EXPECT_EQ("(default)", FromIni("save=C:\\G\\save", 9));
}

TEST(UninstallPaths, DefaultSaveFolderIsInsideTheInstallFolder)
{
    char path[64];
    EXPECT_TRUE(BuildDefaultSavePath(path, sizeof path, "C:\\G", "save"));
    EXPECT_STREQ("C:\\G\\save", path);
    EXPECT_TRUE(BuildDefaultSavePath(path, sizeof path, "C:\\G", ""));
    EXPECT_STREQ("C:\\G", path);
    for (const char* bad : {"..\\..", ".", "save\\..\\.."}) {
        EXPECT_FALSE(BuildDefaultSavePath(path, sizeof path, "C:\\G", bad)) << bad;
        EXPECT_STREQ("", path);
    }
    EXPECT_FALSE(BuildDefaultSavePath(path, sizeof path, "", "save"));
    EXPECT_FALSE(BuildDefaultSavePath(path, sizeof path, "C:\\", "save"));
}

TEST(UninstallPaths, ShortcutGroupLeavesOutEmptyLevelsAndRefusesOthers)
{
    int levels = -1;
    EXPECT_EQ("C:\\P\\Brand\\Title", Group("C:\\P", "Brand", "Title", &levels));
    EXPECT_EQ(2, levels);
    EXPECT_EQ("C:\\P\\Title", Group("C:\\P", "", "Title", &levels));
    EXPECT_EQ(1, levels);
    EXPECT_EQ("C:\\P", Group("C:\\P", "", "", &levels));
    EXPECT_EQ(0, levels);
    EXPECT_EQ("(refused)", Group("C:\\P", "..", "Title", &levels));
    EXPECT_EQ("(refused)", Group("C:\\P", "Brand", "..\\..\\..", &levels));
    EXPECT_EQ("(refused)", Group("", "Brand", "Title", &levels));
    EXPECT_EQ(0, levels);
}

TEST(UninstallPaths, CaptionAndClosingMessages)
{
    char caption[64];
    EXPECT_TRUE(FormatUninstallCaption(caption, sizeof caption, "星霜"));
    EXPECT_STREQ("星霜 のアンインストール", caption);
    EXPECT_STREQ("アンインストールが正常に終了しました。", UninstallClosingMessage(true));
    EXPECT_STREQ("アンインストールは正常に終了しました。\n"
                 "ファイルやフォルダが残っている場合は、お手数ですが手動で削除して下さい。",
                 UninstallClosingMessage(false));
}

TEST(UninstallPaths, AnInstallFolderFromTheRecordMustBeOneAnInstallationMakes)
{
    const SystemFolders system = {"C:\\Windows",
                                  {"C:\\Program Files", "C:\\Program Files (x86)"},
                                  "C:\\Users",
                                  "C:\\Users\\me"};
    const struct {
        const char* Folder;
        const char* MustMake;
        bool Usable;
    } cases[] = {
        {"C:\\Program Files\\Maker\\Game", "Game", true},
        {"c:\\program files\\maker\\GAME\\", "game", true},
        {"D:\\Games\\Maker\\Game", "Maker\\Game", true},
        {"C:\\Users\\me\\Games\\Game", "Game", true},
        {"C:\\Windowsish\\Game", "Game", true},
        {"C:\\Games\\Anything", "", true},
        {"C:\\Games\\Other", "Game", false},
        {"C:\\Games\\MyGame", "Game", false},
        {"C:\\", "", false},
        {"C:\\Windows", "", false},
        {"c:\\windows\\System32", "", false},
        {"C:\\Windows\\Game", "Game", false},
        {"C:\\Program Files", "", false},
        {"C:\\Program Files (x86)\\", "", false},
        {"C:\\Users", "", false},
        {"C:\\Users\\me", "", false},
        {"C:\\Users\\someone", "", false},
        {"C:\\Users\\someone\\", "", false},
        {"C:\\Games\\..\\Windows", "Windows", false},
        {"Games\\Game", "Game", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.Usable, IsUsableInstallFolder(c.Folder, system, c.MustMake)) << c.Folder;
}

// Every way of writing a guarded folder: refused by its form as given, or
// by the full, long form the system resolves it to.
TEST(UninstallPaths, AGuardedFolderIsRefusedHoweverItIsWritten)
{
    const SystemFolders system = {"C:\\Windows",
                                  {"C:\\Program Files (x86)", "C:\\Program Files"},
                                  "C:\\Users",
                                  "C:\\Users\\me"};
    const struct {
        const char* Given;
        const char* FullLong;
        const char* MustMake;
        bool Usable;
    } cases[] = {
        {"C:\\.\\windows\\Arcadia", "C:\\Windows\\Arcadia", "Arcadia", false},
        {"C:\\windows.\\Arcadia", "C:\\Windows\\Arcadia", "Arcadia", false},
        {"C:\\windows.\\system32", "C:\\Windows\\System32", "", false},
        {"C:/windows/Arcadia", "C:\\Windows\\Arcadia", "Arcadia", false},
        {"C:\\Games/Arcadia", "C:\\Games\\Arcadia", "Arcadia", false},
        {"C:\\PROGRA~1", "C:\\Program Files", "", false},
        {"C:\\PROGRA~2\\", "C:\\Program Files (x86)", "", false},
        {"\\\\localhost\\C$\\windows\\system32", "\\\\localhost\\C$\\windows\\system32", "", false},
        {"\\\\server\\share\\Arcadia", "\\\\server\\share\\Arcadia", "Arcadia", false},
        {"\\\\?\\C:\\Games\\Arcadia", "C:\\Games\\Arcadia", "Arcadia", false},
        {"\\\\.\\C:\\Games\\Arcadia", "C:\\Games\\Arcadia", "Arcadia", false},
        {"C:\\users\\me\\.", "C:\\Users\\me", "", false},
        {"C:\\Users\\me\\Arcadia ", "C:\\Users\\me\\Arcadia", "Arcadia", false},
        {"C:\\Games\\\xFD\\..\\Arcadia", "C:\\Games\\Arcadia", "Arcadia", false},
        {"C:\\Games\\Arcadia:x", "C:\\Games\\Arcadia:x", "", false},
        {"C:\\Games\\\\Arcadia", "C:\\Games\\Arcadia", "Arcadia", false},
        // A junction below a folder of the player's that leads into Windows.
        {"C:\\Games\\Link\\Arcadia", "C:\\Windows\\Arcadia", "Arcadia", false},
        {"C:\\Games\\Arcadia", "", "Arcadia", false},
        // Short forms of a usable folder are usable, as are 0x5C trail bytes.
        {"C:\\GAMES~1\\Arcadia", "C:\\Games Old\\Arcadia", "Arcadia", true},
        {"C:\\PROGRA~1\\Lumen\\Arcadia\\", "C:\\Program Files\\Lumen\\Arcadia", "Arcadia", true},
        {"D:\\ソフト\\表", "D:\\ソフト\\表", "表", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.Usable, IsUsableInstallFolderForms(c.Given, c.FullLong, system, c.MustMake))
            << c.Given;
}

TEST(UninstallPaths, SaveDataGoOnlyFromTheTwoFoldersAnInstallationMakes)
{
    SaveFolders folders;
    ComposeSaveFolders("C:\\Games\\Game", "C:\\Local", "Brand\\", "Title", "save", &folders);
    EXPECT_STREQ("C:\\Games\\Game\\save", folders.InInstall);
    EXPECT_STREQ("C:\\Local\\Brand\\Title\\save", folders.Local);
    ASSERT_EQ(3, folders.LocalLevelCount);
    EXPECT_STREQ("C:\\Local\\Brand", folders.LocalLevels[0]);
    EXPECT_STREQ("C:\\Local\\Brand\\Title", folders.LocalLevels[1]);
    for (const char* same : {"C:\\Games\\Game\\save", "c:\\games\\game\\SAVE\\"})
        EXPECT_EQ(SaveFolderInInstall, ClassifySaveFolder(same, folders)) << same;
    EXPECT_EQ(SaveFolderLocal, ClassifySaveFolder("C:\\LOCAL\\Brand\\Title\\save", folders));
    for (const char* other : {"C:\\Windows\\System32", "C:\\Users\\me\\Documents", "C:\\Games\\Game",
                              "C:\\Local\\Brand\\Title", "C:\\Games\\Game\\save\\..", ""})
        EXPECT_EQ(SaveFolderNone, ClassifySaveFolder(other, folders)) << other;

    // Empty levels are left out; with none left below the local application
    // data, there is no local save folder at all.
    ComposeSaveFolders("C:\\Games\\Game", "C:\\Local", "", "Title", "", &folders);
    EXPECT_STREQ("C:\\Games\\Game", folders.InInstall);
    EXPECT_STREQ("C:\\Local\\Title", folders.Local);
    EXPECT_EQ(1, folders.LocalLevelCount);
    ComposeSaveFolders("C:\\Games\\Game", "C:\\Local", "", "", "", &folders);
    EXPECT_STREQ("", folders.Local);
    EXPECT_EQ(SaveFolderNone, ClassifySaveFolder("C:\\Local", folders));

    // A level that walks nowhere or up gives no such folder.
    ComposeSaveFolders("C:\\Games\\Game", "C:\\Local", "..\\..", "Title", ".", &folders);
    EXPECT_STREQ("", folders.InInstall);
    EXPECT_STREQ("", folders.Local);
    EXPECT_EQ(0, folders.LocalLevelCount);
    EXPECT_EQ(SaveFolderNone, ClassifySaveFolder("C:\\Games\\Game", folders));
}

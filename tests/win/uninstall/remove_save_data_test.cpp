#include "uninstall_fixture.h"

namespace {

class SaveDataTest : public UninstallTest {
protected:
    void SetUp() override
    {
        UninstallTest::SetUp();
        Slots(SetupScript.SAVEDATA, {"*.sav", "system.dat", "config.dat"});
        // Save data go only from where an installation puts them: the real
        // local application data, under a brand folder of this process.
        snprintf(SetupScript.BRANDFOLDER, sizeof SetupScript.BRANDFOLDER, "DrubelSaveTest%lu",
                 GetCurrentProcessId());
        Local = SpecialFolder(CSIDL_LOCAL_APPDATA);
        // Local application data\BRANDFOLDER\APPLITITLE\SAVEFOLDER
        Brand = Local + "\\" + SetupScript.BRANDFOLDER;
        Title = Brand + "\\" + SetupScript.APPLITITLE;
        Save = Title + "\\" + SetupScript.SAVEFOLDER;
    }
    void TearDown() override
    {
        RemoveTree(Brand);
        UninstallTest::TearDown();
    }
    void PutSaves(const std::string& folder)
    {
        for (const char* file : {"01.sav", "02.sav", "system.dat"})
            PutFile(folder, file);
    }

    std::string Local, Brand, Title, Save;
};

}  // namespace

TEST_F(SaveDataTest, SaveFolderUnderLocalDataGoesWithItsEnclosingLevels)
{
    CreateDirectoryA(Brand.c_str(), nullptr);
    CreateDirectoryA(Title.c_str(), nullptr);
    CreateDirectoryA(Save.c_str(), nullptr);
    PutSaves(Save);
    WriteInstallIni(Save);
    EXPECT_EQ(1, RemoveSaveData());
    EXPECT_STREQ(Save.c_str(), SetupScript.SavePath);
    EXPECT_FALSE(Exists(Save));
    EXPECT_FALSE(Exists(Title));
    EXPECT_FALSE(Exists(Brand));
    EXPECT_TRUE(Exists(Local));
    EXPECT_FALSE(Exists(Install + "\\Install.ini"));
}

TEST_F(SaveDataTest, TheBrandFolderStaysWhileItHoldsAnotherTitle)
{
    PutFile(Local, std::string(SetupScript.BRANDFOLDER) + "\\Other\\save\\01.sav");
    CreateDirectoryA(Title.c_str(), nullptr);
    CreateDirectoryA(Save.c_str(), nullptr);
    PutSaves(Save);
    WriteInstallIni(Save);
    EXPECT_EQ(1, RemoveSaveData());
    EXPECT_FALSE(Exists(Title));
    EXPECT_TRUE(Exists(Brand + "\\Other\\save\\01.sav"));
}

TEST_F(SaveDataTest, SaveFolderInsideTheInstallFolder)
{
    const std::string save = Install + "\\save";
    MakeFolder(save);
    PutSaves(save);
    WriteInstallIni(save);
    EXPECT_EQ(1, RemoveSaveData());
    EXPECT_FALSE(Exists(save));
    EXPECT_FALSE(Exists(Install + "\\Install.ini"));
    EXPECT_TRUE(Exists(Install)) << "the install folder is no enclosing level to remove here";
    EXPECT_TRUE(Exists(Root.Path));
}

TEST_F(SaveDataTest, WithoutInstallIniTheDefaultFolderIsUsed)
{
    const std::string save = Install + "\\save";
    MakeFolder(save);
    PutSaves(save);
    EXPECT_EQ(0, FindSaveFolder());
    EXPECT_STREQ(save.c_str(), SetupScript.SavePath);
    EXPECT_EQ(1, RemoveSaveData());
    EXPECT_FALSE(Exists(save));
    EXPECT_TRUE(Exists(Install));
}

TEST_F(SaveDataTest, InstallIniThatNamesNoFolderOfItsOwnIsNotFollowed)
{
    for (const std::string& content : {std::string("save=C:\\"), std::string("save="),
                                      std::string("save=..\\.."), std::string("SAVE=") + Save}) {
        WriteText(Install + "\\Install.ini", content);
        EXPECT_EQ(0, FindSaveFolder()) << content;
        EXPECT_STREQ((Install + "\\save").c_str(), SetupScript.SavePath) << content;
    }
}

TEST_F(SaveDataTest, PatternsWithAFolderPartDeleteInThatFolder)
{
    Slots(SetupScript.SAVEDATA, {"*.sav", "slot\\*.sav", "slot\\deep\\x.dat"});
    const std::string save = Install + "\\save";
    PutFile(save, "01.sav");
    PutFile(save, "slot\\a.sav");
    PutFile(save, "slot\\b.sav");
    PutFile(save, "slot\\deep\\x.dat");
    WriteInstallIni(save);
    EXPECT_EQ(1, RemoveSaveData());
    EXPECT_FALSE(Exists(save + "\\slot\\a.sav"));
    EXPECT_FALSE(Exists(save + "\\slot\\b.sav"));
    EXPECT_FALSE(Exists(save)) << "emptied entry folders go with the save folder";
}

TEST_F(SaveDataTest, EntriesLeadingOutOfTheSaveFolderAreSkipped)
{
    Slots(SetupScript.SAVEDATA, {"..\\Game.exe", "..\\*.exe", "C:\\boot.ini", "\\x.dat", "01.sav"});
    const std::string save = Install + "\\save";
    PutFile(save, "01.sav");
    PutFile(Install, "Game.exe");
    WriteInstallIni(save);
    EXPECT_EQ(0, RemoveSaveData());
    EXPECT_TRUE(Exists(Install + "\\Game.exe"));
    EXPECT_FALSE(Exists(save + "\\01.sav"));
}

TEST_F(SaveDataTest, RemovalWithSaveDataLeavesNothing)
{
    List(0, {"Game.exe", "data\\a.dat"});
    Slots(SetupScript.MAKEFOLDER, {"data"});
    PutFile(Install, "Game.exe");
    PutFile(Install, "data\\a.dat");
    CreateDirectoryA(Brand.c_str(), nullptr);
    CreateDirectoryA(Title.c_str(), nullptr);
    CreateDirectoryA(Save.c_str(), nullptr);
    PutSaves(Save);
    WriteInstallIni(Save);
    EXPECT_EQ(1, RemoveInstalledFiles(1));
    EXPECT_FALSE(Exists(Install));
    EXPECT_FALSE(Exists(Brand));
}

TEST_F(SaveDataTest, RemovalWithoutSaveDataKeepsSavesAndInstallIni)
{
    List(0, {"Game.exe"});
    PutFile(Install, "Game.exe");
    const std::string save = Install + "\\save";
    PutSaves(save);
    WriteInstallIni(save);
    EXPECT_EQ(1, RemoveInstalledFiles(0));
    EXPECT_TRUE(Exists(save + "\\01.sav"));
    EXPECT_TRUE(Exists(Install + "\\Install.ini"));
    EXPECT_FALSE(Exists(Install + "\\Game.exe"));
}

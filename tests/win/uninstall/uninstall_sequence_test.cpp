#include "uninstall_fixture.h"

namespace {

class SequenceTest : public UninstallTest {
protected:
    void SetUp() override
    {
        UninstallTest::SetUp();
        List(0, {"Game.exe", "data\\a.dat"});
        Slots(SetupScript.MAKEFOLDER, {"data"});
        Slots(SetupScript.SAVEDATA, {"*.sav"});
        Slots(SetupScript.SHORTCUTNAME, {"Game.lnk"});
        PutFile(Install, "Game.exe");
        PutFile(Install, "data\\a.dat");
        PutFile(Install, "save\\01.sav");
        WriteInstallIni(Install + "\\save");
        MakeLinks();
        HKEY key;
        EXPECT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, SetupScript.REGADDRESS, 0,
                                                 nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                                                 nullptr));
        RegSetValueExA(key, "InstallFolder", 0, REG_BINARY,
                       reinterpret_cast<const BYTE*>(SetupScript.InstallFolder), PathWidth);
        RegCloseKey(key);
    }
    bool RecordExists()
    {
        HKEY key;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, SetupScript.REGADDRESS, 0, KEY_READ, &key) !=
            ERROR_SUCCESS)
            return false;
        RegCloseKey(key);
        return true;
    }
};

}  // namespace

TEST_F(SequenceTest, ACleanRemovalIsReportedAsSuch)
{
    EXPECT_EQ(1, RunUninstallSequence(1));
    EXPECT_FALSE(Exists(Install));
    EXPECT_FALSE(Exists(Group));
    EXPECT_FALSE(RecordExists());
}

TEST_F(SequenceTest, KeptSaveDataLeavesTheInstallFolderAndTheLongMessage)
{
    EXPECT_EQ(0, RunUninstallSequence(0));
    EXPECT_TRUE(Exists(Install + "\\save\\01.sav"));
    EXPECT_TRUE(Exists(Install + "\\Install.ini"));
    EXPECT_FALSE(Exists(Install + "\\Game.exe"));
    EXPECT_FALSE(RecordExists());
}

TEST_F(SequenceTest, NothingInstalledStillDropsTheRecord)
{
    RemoveTree(Install);
    RemoveTree(Group);
    // Files missing count as removed; missing links do not.
    EXPECT_EQ(0, RunUninstallSequence(1));
    EXPECT_FALSE(RecordExists());
}

TEST_F(SequenceTest, OnlyTheRecordsOwnValuesGoAndTheKeyWhenNothingElseIsLeft)
{
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS,
              RegOpenKeyExA(HKEY_CURRENT_USER, SetupScript.REGADDRESS, 0, KEY_ALL_ACCESS, &key));
    const DWORD option = 8;
    RegSetValueExA(key, "InstallOption", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&option),
                   sizeof option);
    RegSetValueExA(key, "PlayerName", 0, REG_SZ, reinterpret_cast<const BYTE*>("me"), 3);
    RegCloseKey(key);
    RemoveInstallRecord();
    ASSERT_TRUE(RecordExists()) << "a value of the player's own went with the record";
    ASSERT_EQ(ERROR_SUCCESS,
              RegOpenKeyExA(HKEY_CURRENT_USER, SetupScript.REGADDRESS, 0, KEY_ALL_ACCESS, &key));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND,
              RegQueryValueExA(key, "InstallFolder", nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND,
              RegQueryValueExA(key, "InstallOption", nullptr, nullptr, nullptr, nullptr));
    RegDeleteValueA(key, "PlayerName");
    RegCloseKey(key);
    RemoveInstallRecord();
    EXPECT_FALSE(RecordExists());

    // A key outside Software is never the record's: nothing there changes.
    snprintf(SetupScript.REGADDRESS, sizeof SetupScript.REGADDRESS, "DrubelTestsEnv%lu",
             GetCurrentProcessId());
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, SetupScript.REGADDRESS, 0, nullptr,
                                             0, KEY_ALL_ACCESS, nullptr, &key, nullptr));
    RegSetValueExA(key, "InstallFolder", 0, REG_SZ, reinterpret_cast<const BYTE*>("x"), 2);
    RegCloseKey(key);
    RemoveInstallRecord();
    EXPECT_TRUE(RecordExists());
    ASSERT_EQ(ERROR_SUCCESS,
              RegOpenKeyExA(HKEY_CURRENT_USER, SetupScript.REGADDRESS, 0, KEY_ALL_ACCESS, &key));
    EXPECT_EQ(ERROR_SUCCESS,
              RegQueryValueExA(key, "InstallFolder", nullptr, nullptr, nullptr, nullptr));
    RegCloseKey(key);
    RegDeleteKeyA(HKEY_CURRENT_USER, SetupScript.REGADDRESS);
}

TEST_F(SequenceTest, AnInstallFolderThatNoInstallationMakesHasNothingRemoved)
{
    // The record names a folder that does not end with MUSTMAKEFOLDER.
    CopyText(SetupScript.MUSTMAKEFOLDER, "OtherGame");
    EXPECT_EQ(0, RunUninstallSequence(1));
    EXPECT_TRUE(Exists(Install + "\\Game.exe"));
    EXPECT_TRUE(Exists(Install + "\\save\\01.sav"));
    EXPECT_TRUE(Exists(Install + "\\Install.ini"));
}

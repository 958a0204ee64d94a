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

// The installation's journal on a real disk: what an undo takes back, what
// it leaves, and the mark that lets the next start find an unfinished
// installation.
#include "install/folders.h"
#include "install/install_journal.h"
#include "install_fixture.h"

namespace {

class Journal : public InstallTest {
protected:
    void SetUp() override
    {
        InstallTest::SetUp();
        // The folder the player chose holds a file of the player's own, and
        // the install folder inside it is there already with one file.
        Chosen = Root / "Chosen";
        Install = Chosen + "\\Maker\\Game";
        CopyText(SetupScript.InstallFolder, Install.c_str());
        PutFile(Chosen, "player.txt", {'p'});
        FillSlots(SetupScript.MAKEFOLDER, {"data", "data\\voice"});
        snprintf(SetupScript.REGADDRESS, sizeof SetupScript.REGADDRESS,
                 "Software\\DrubelTests\\Journal%lu", GetCurrentProcessId());
    }
    void TearDown() override
    {
        JournalFinish();
        RegDeleteKeyA(HKEY_CURRENT_USER, SetupScript.REGADDRESS);
        InstallTest::TearDown();
    }
    bool Marked()
    {
        HKEY key;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, SetupScript.REGADDRESS, 0, KEY_READ, &key) !=
            ERROR_SUCCESS)
            return false;
        const bool found = RegQueryValueExA(key, UnfinishedInstallValue, nullptr, nullptr, nullptr,
                                            nullptr) == ERROR_SUCCESS;
        RegCloseKey(key);
        return found;
    }
    // What the copy does for one file: the journal first, then the file.
    void Copy(const std::string& relative)
    {
        const std::string path = Install + "\\" + relative;
        ASSERT_TRUE(JournalNewFile(path.c_str()));
        WriteText(path, "installed");
    }

    std::string Chosen;
};

}  // namespace

TEST_F(Journal, AnUndoTakesBackWhatTheInstallationMadeAndNothingElse)
{
    PutFile(Chosen, "Maker\\Game\\data\\old.dat", {'o'});
    JournalBegin();
    EXPECT_TRUE(Marked());
    EXPECT_EQ(1, MakeInstallFolders());
    Copy("Game.exe");
    Copy("data\\old.dat");  // written over: cannot be given back, and stays
    Copy("data\\voice\\v1.vce");
    EXPECT_TRUE(FileExists(Install + "\\" + JournalFileName));

    RollBackInstallation();
    for (const char* gone : {"\\Game.exe", "\\data\\voice", "\\save", "\\Install.ini", "\\Install.jnl"})
        EXPECT_FALSE(FileExists(Install + gone)) << gone;
    EXPECT_TRUE(FileExists(Install + "\\data\\old.dat"));
    EXPECT_TRUE(FileExists(Chosen + "\\player.txt"));
    EXPECT_FALSE(Marked());
    HKEY key;
    EXPECT_NE(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, SetupScript.REGADDRESS, 0, KEY_READ, &key))
        << "the key the mark made stayed";
    // Done once: a second undo (the window's, after the worker's) does nothing.
    RollBackInstallation();
    EXPECT_TRUE(FileExists(Install + "\\data\\old.dat"));
}

TEST_F(Journal, AFreshInstallationGoesWithEveryFolderLevelItMade)
{
    JournalBegin();
    EXPECT_EQ(1, MakeInstallFolders());
    Copy("data\\a.dat");
    RollBackInstallation();
    EXPECT_FALSE(FileExists(Chosen + "\\Maker")) << "the levels made on the way stay";
    EXPECT_TRUE(FileExists(Chosen + "\\player.txt"));
}

TEST_F(Journal, AFinishedInstallationForgetsItsJournal)
{
    JournalBegin();
    EXPECT_EQ(1, MakeInstallFolders());
    Copy("Game.exe");
    JournalFinish();
    EXPECT_FALSE(Marked());
    EXPECT_FALSE(FileExists(Install + "\\" + JournalFileName));
    RollBackInstallation();
    EXPECT_TRUE(FileExists(Install + "\\Game.exe"));
    // Outside an installation nothing is recorded and every file may be made.
    EXPECT_TRUE(JournalNewFile((Install + "\\new.dat").c_str()));
}

TEST_F(Journal, AKeyLevelThatWasThereBeforeStaysThoughItsNameEndsIn5C)
{
    // 表 is 95 5C: its trail byte is no level's end.
    char level[TextWidth];
    snprintf(level, sizeof level, "Software\\DrubelTests\\%lu\x95\x5C", GetCurrentProcessId());
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, level, 0, nullptr, 0, KEY_WRITE,
                                             nullptr, &key, nullptr));
    RegCloseKey(key);
    snprintf(SetupScript.REGADDRESS, sizeof SetupScript.REGADDRESS, "%s\\Game", level);
    JournalBegin();
    EXPECT_TRUE(Marked());
    RollBackInstallation();
    EXPECT_FALSE(Marked());
    const LONG opened = RegOpenKeyExA(HKEY_CURRENT_USER, level, 0, KEY_READ, &key);
    EXPECT_EQ(ERROR_SUCCESS, opened) << "the level that was there before went";
    if (opened == ERROR_SUCCESS)
        RegCloseKey(key);
    RegDeleteKeyA(HKEY_CURRENT_USER, level);
}

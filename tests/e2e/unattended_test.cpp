// Runs that need no clicks: the switches, the exit codes and the setup log.
#include "install_product.h"

namespace {

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

}  // namespace

class UnattendedTest : public InstallTest {
protected:
    std::string Base() const { return InstallFolder().substr(0, InstallFolder().size() - 8); }
    std::string LogPath(const char* name) const { return Work / name; }

    // The program started from the product folder, as a caller starts it:
    // the relaunched copy does the work, the program started hands its code back.
    long RunWith(const std::string& folder, const std::string& switches, DWORD milliseconds = 180000)
    {
        HANDLE process = StartIn(folder, switches);
        if (process == nullptr)
            return -1;
        const long code = WaitForExit(process, milliseconds);
        CloseHandle(process);
        return code;
    }
};

TEST_F(UnattendedTest, AVerySilentInstallationFromBothDiscsThenAVerySilentUninstall)
{
    const std::string folder = PrepareProduct(ProductScript());
    InsertDisc2();
    const std::string log = LogPath("install.log");
    EXPECT_EQ(0, RunWith(folder, "/VERYSILENT /DIR=\"" + Base() + "\" /OPTION=1 /LOG=\"" + log + "\""));
    ExpectInstalled(true);
    EXPECT_TRUE(Exists(StartMenuGroup())) << "no links";
    const std::string text = ReadBytesFrom(log);
    EXPECT_EQ("\xEF\xBB\xBF", text.substr(0, 3)) << "no byte-order mark";
    for (const char* line : {"64-bit build", "command line: ", u8"script: テストゲーム", "installing into ",
                             "installation complete", "exit code 0\r\n"})
        EXPECT_TRUE(Contains(text, line)) << "the log lacks: " << line << "\n" << text;

    const std::string uninstallLog = LogPath("uninstall.log");
    EXPECT_EQ(0, RunWith(folder, "/UNINSTALL /VERYSILENT /DELETESAVES /LOG=\"" + uninstallLog + "\""));
    ExpectNothingInstalled();
    EXPECT_TRUE(Contains(ReadBytesFrom(uninstallLog), "exit code 0")) << ReadBytesFrom(uninstallLog);
}

TEST_F(UnattendedTest, AMissingDiscOrARefusedFolderEndsWithItsCode)
{
    const std::string folder = PrepareProduct(ProductScript());
    // Disc 2 is in no drive: a very silent run cannot ask for it.
    const std::string log = LogPath("missing.log");
    EXPECT_EQ(5, RunWith(folder, "/VERYSILENT /OPTION=1 /LOG=\"" + log + "\""));
    ExpectNothingInstalled();
    EXPECT_TRUE(Contains(ReadBytesFrom(log), "disc 2 (TEST2.KEY) not found")) << ReadBytesFrom(log);
    EXPECT_TRUE(Contains(ReadBytesFrom(log), "exit code 5")) << ReadBytesFrom(log);

    // The dialog's checks hold: a drive root's Windows folder is refused before the copy.
    const std::string refused = LogPath("refused.log");
    EXPECT_EQ(3, RunWith(folder, "/VERYSILENT /OPTION=2 /DIR=\"C:\\windows\" /LOG=\"" + refused + "\""));
    EXPECT_TRUE(Contains(ReadBytesFrom(refused), "refused: ")) << ReadBytesFrom(refused);
    // A switch the program does not know starts nothing.
    EXPECT_EQ(1, RunWith(folder, "/VERYSILENT /FAST"));
    ExpectNothingInstalled();
}

// Nothing is written or deleted through a link. Wine shows a Unix symbolic
// link as a reparse point, as Windows shows a junction; run-e2e makes them:
// C:\DrubelLinks\TestGame\data and C:\DrubelSwap\TestGame\data, each
// pointing at a folder of files named like the game's.
#include "trust_fixture.h"

namespace {

const char* const TheirFiles[] = {"a.dat", "big.dat"};

void ExpectTheirFilesKept(const std::string& target)
{
    for (const char* name : TheirFiles)
        EXPECT_EQ(std::string("the other folder's ") + name, ReadBytesFrom(target + "\\" + name))
            << target << "\\" << name;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((target + "\\*").c_str(), &found);
    int count = 0;
    if (search != INVALID_HANDLE_VALUE) {
        do
            count += found.cFileName[0] != '.';
        while (FindNextFileA(search, &found));
        FindClose(search);
    }
    EXPECT_EQ(2, count) << "files were added to " << target;
}

}  // namespace

class LinkTest : public TrustTest {};

TEST_F(LinkTest, AnInstallationIntoAFolderHoldingALinkIsRefusedBeforeAnythingIsCopied)
{
    const std::string link = "C:\\DrubelLinks\\TestGame\\data";
    ASSERT_NE(0u, GetFileAttributesA(link.c_str()) & FILE_ATTRIBUTE_REPARSE_POINT)
        << "run-e2e made no link at " << link;
    HWND options = StartAndOpenOptions();
    ASSERT_NE(nullptr, options);
    SendMessageA(GetDlgItem(options, InstallPath), WM_SETTEXT, 0,
                 reinterpret_cast<LPARAM>("C:\\DrubelLinks"));
    PressButton(options, IDOK);
    HWND box = WaitForDialogExcept(ProductTitle, nullptr);
    ASSERT_NE(nullptr, box);
    EXPECT_EQ("インストール先のフォルダに別の場所へのリンクがあります。\r\n\r\n" + link +
                  "\r\n\r\n別のフォルダを指定して下さい。",
              MessageBoxText(box));
    PressButton(box, IDOK);
    ASSERT_TRUE(WaitForWindowGone(box));
    EXPECT_EQ(nullptr, WaitForInstallWindow(500)) << "the installation went on";
    PressButton(options, IDCANCEL);
    HWND launcher = WaitForLauncher(ProductTitle);
    ASSERT_NE(nullptr, launcher);
    ExitLauncher(launcher);
    ExpectTheirFilesKept("C:\\DrubelLinksTarget");
    EXPECT_FALSE(Exists("C:\\DrubelLinks\\TestGame\\game.exe"));
}

TEST_F(LinkTest, AnUninstallAfterTheDataFolderWasSwappedForALinkDeletesNothingThroughIt)
{
    // An installation whose data folder has become a link since.
    const std::string folder = "C:\\DrubelSwap\\TestGame";
    ASSERT_NE(0u, GetFileAttributesA((folder + "\\data").c_str()) & FILE_ATTRIBUTE_REPARSE_POINT);
    CreateDirectoryA((folder + "\\manual").c_str(), nullptr);
    WriteBytesTo(folder + "\\game.exe", "installed");
    WriteBytesTo(folder + "\\manual\\readme.txt", "installed");
    WriteInstallRecord(RecordKey, folder, 8);
    const std::string product = Work / "product";
    MakeProductFolder(product, ProductScript());
    Process = StartIn(product, "t");
    HWND launcher = WaitForLauncher(ProductTitle);
    ASSERT_NE(nullptr, launcher);
    Uninstall(launcher, true);
    // The game's own files went; the other folder is as it was. Windows
    // takes the link itself away as a link; Wine can remove a Unix link to a
    // folder neither as a folder nor as a file, so here it stays.
    EXPECT_FALSE(Exists(folder + "\\game.exe"));
    EXPECT_FALSE(Exists(folder + "\\manual"));
    ExpectTheirFilesKept("C:\\DrubelSwapTarget");
}

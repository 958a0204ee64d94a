// The paths that differ by Windows version, walked once under each older
// version the program still serves (the suite runs under Windows 10): the
// drive list of the disc prompt and the save folder.
#include "install_product.h"

namespace {

class OlderWindows : public InstallTest {
protected:
    // Wine answers the program as this version.
    void AsWindows(const char* version)
    {
        HKEY key;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\Drubel.exe",
                                                 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr));
        RegSetValueExA(key, "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(version),
                       static_cast<DWORD>(strlen(version) + 1));
        RegCloseKey(key);
    }

    // A full installation whose disc 2 is first looked for in the drive list
    // of 「強制実行」, which offers the CD/DVD drives E: and F: and the USB
    // drive G:, then inserted; the Install.ini it leaves.
    std::string InstallLookingAtTheDriveList()
    {
        HWND options = StartAndOpenOptions();
        if (!options)
            return "";
        HWND window = ConfirmOptions(options);
        if (!window)
            return "";
        HWND ask = WaitForDialog("ＤＶＤの挿入", 60000);
        EXPECT_NE(nullptr, ask) << "disc 2 was not asked for";
        if (!ask)
            return "";
        PressButton(ask, ForceRun);
        HWND select = WaitForDialog("ドライブの選択");
        EXPECT_NE(nullptr, select);
        if (!select)
            return "";
        std::string letters;
        for (const std::string& entry : ComboEntries(select, DriveList)) {
            if (entry.size() > 2)
                letters += entry[2];
            if (entry.size() > 2 && entry[2] == 'G') {
                EXPECT_EQ("[-G-] REMOVABLE DRIVE", entry);
            }
        }
        EXPECT_NE(std::string::npos, letters.find("EFG")) << letters;
        EXPECT_EQ(std::string::npos, letters.find('C')) << "a hard disk in the list: " << letters;
        PressButton(select, IDCANCEL);
        AnswerDisc2Request();
        WaitForFinish();
        CloseFinishScreen(window);
        HWND launcher = WaitForLauncher(ProductTitle);
        EXPECT_NE(nullptr, launcher);
        if (launcher)
            ExitLauncher(launcher);
        return ReadBytesFrom(InstallFolder() + "\\Install.ini");
    }
};

}  // namespace

TEST_F(OlderWindows, Windows7KeepsTheSavesInTheLocalApplicationData)
{
    AsWindows("win7");
    EXPECT_EQ("save=" + LocalSaveFolder(), InstallLookingAtTheDriveList());
}

TEST_F(OlderWindows, WindowsXpKeepsTheSavesInTheInstallFolder)
{
    AsWindows("winxp64");
    EXPECT_EQ("save=" + InstallFolder() + "\\save", InstallLookingAtTheDriveList());
}

// Copy errors: each is reported with the file's name, the installation is
// removed and the program ends.
#include "install_product.h"

class InstallFault : public InstallTest {
protected:
    // Runs the installation of the minimum option up to its error box. A
    // run with switches returns the code of a fatal error during the copy.
    void ExpectCopyError(const std::string& text, long exitCode = 0)
    {
        HWND window = ConfirmOptions(Options);
        ASSERT_NE(nullptr, window);
        HWND box = WaitForBox(ProductTitle, 60000);
        ASSERT_NE(nullptr, box) << "no error box";
        EXPECT_EQ(text, MessageBoxText(box));
        PressButton(box, IDOK);
        EXPECT_EQ(exitCode, WaitForExit(Process, 30000)) << "the program goes on after a copy error";
    }
    HWND Options = nullptr;
};

TEST_F(InstallFault, AFileMissingFromTheDiscIsAReadError)
{
    Options = StartAndOpenOptions();
    ASSERT_NE(nullptr, Options);
    PressButton(Options, OptionSecond);
    DeleteFileA((DriveFolder('E') + "\\data\\a.dat").c_str());
    ExpectCopyError("ファイルリードエラー\r\n data\\a.dat が正しく読めませんでした。");
    ExpectNothingInstalled();
}

TEST_F(InstallFault, AnUnreadableFileIsAReadError)
{
    Options = StartAndOpenOptions();
    ASSERT_NE(nullptr, Options);
    PressButton(Options, OptionSecond);
    // Held open by another program that shares it with nobody.
    HANDLE locked = CreateFileA((DriveFolder('E') + "\\manual\\readme.txt").c_str(), GENERIC_READ,
                                0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, locked);
    ExpectCopyError("ファイルリードエラー\r\n manual\\readme.txt が正しく読めませんでした。");
    CloseHandle(locked);
    ExpectNothingInstalled();
}

TEST_F(InstallFault, AReadErrorNamesTheFileAndTheSystemsMessageInTheLog)
{
    const std::string log = Work / "setup log.txt";
    StartArguments = "t /LOG=\"" + log + "\"";
    Options = StartAndOpenOptions();
    ASSERT_NE(nullptr, Options);
    PressButton(Options, OptionSecond);
    HANDLE locked = CreateFileA((DriveFolder('E') + "\\manual\\readme.txt").c_str(), GENERIC_READ,
                                0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, locked);
    ExpectCopyError("ファイルリードエラー\r\n manual\\readme.txt が正しく読めませんでした。", 4);
    CloseHandle(locked);
    // The system's own words for a file another program holds, as this
    // Windows gives them (the log is UTF-8).
    wchar_t message[512] = {};
    DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                  ERROR_SHARING_VIOLATION, 0, message, 512, nullptr);
    while (length > 0 && (message[length - 1] == L'\r' || message[length - 1] == L'\n' || message[length - 1] == L' '))
        message[--length] = 0;
    char utf8[1024] = {};
    WideCharToMultiByte(CP_UTF8, 0, message, -1, utf8, sizeof utf8, nullptr, nullptr);
    const std::string text = ReadBytesFrom(log);
    const std::string line = "Copy manual\\readme.txt: read error: error 32: " + std::string(utf8) + "\r\n";
    EXPECT_NE(std::string::npos, text.find(line)) << "no line \"" << line << "\" in the log:\n" << text;
}

TEST_F(InstallFault, ADestinationThatCannotBeWrittenIsAWriteError)
{
    Options = StartAndOpenOptions();
    ASSERT_NE(nullptr, Options);
    PressButton(Options, OptionSecond);
    // Another program holds the file where data\a.dat goes.
    const std::string target = InstallFolder() + "\\data\\a.dat";
    const std::string base = InstallFolder().substr(0, InstallFolder().rfind('\\'));
    CreateDirectoryA(base.c_str(), nullptr);
    CreateDirectoryA(InstallFolder().c_str(), nullptr);
    CreateDirectoryA((InstallFolder() + "\\data").c_str(), nullptr);
    HANDLE locked = CreateFileA(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, locked);
    ExpectCopyError("ファイルライトエラー\r\n data\\a.dat をハードディスクに書き込めませんでした。");
    CloseHandle(locked);
    // What was installed is gone; only the other program's file stayed.
    EXPECT_FALSE(Exists(InstallFolder() + "\\game.exe"));
    EXPECT_FALSE(Exists(InstallFolder() + "\\Install.ini"));
    EXPECT_FALSE(Exists(InstallFolder() + "\\manual"));
}

TEST_F(InstallFault, AnInstallFolderThatCannotBeMadeIsAFolderError)
{
    Options = StartAndOpenOptions();
    ASSERT_NE(nullptr, Options);
    // The chosen folder is a file: nothing can be made below it.
    const std::string file = Work / "not a folder";
    WriteBytesTo(file, "x");
    SendMessageA(GetDlgItem(Options, InstallPath), WM_SETTEXT, 0,
                 reinterpret_cast<LPARAM>(file.c_str()));
    ExpectCopyError("ディレクトリエラー\r\n インストールディレクトリが作成できません。");
    EXPECT_EQ("x", ReadBytesFrom(file));
    EXPECT_FALSE(Exists(file + "\\TestGame"));
}

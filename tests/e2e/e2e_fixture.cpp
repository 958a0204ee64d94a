#include "e2e_fixture.h"

const char* const ProductTitle = "テストゲーム";
const char* const RecordKey = "Software\\DrubelE2E\\TestGame";

std::vector<std::string> BaseScript()
{
    return {
        "// product of the end-to-end tests",
        std::string("APPLITITLE = \"") + ProductTitle + "\"",
        "EXENAME = \"game.exe\"",
        "MUSTMAKEFOLDER = \"TestGame\"",
        std::string("REGADDRESS = \"") + RecordKey + "\"",
        "BRANDFOLDER = \"DrubelE2E\\\"",
        "DISCNUM = 2",
        "DISCNAME = \"テストゲーム・DISC1\" \"テストゲーム・DISC2\"",
        "KEYFILE = \"TEST1.KEY\" \"TEST2.KEY\"",
    };
}

void DrubelTest::SetUp()
{
    EndStrayProcesses();
    EjectDisc('E');
    EjectDisc('F');
    EjectDisc('G');
    DeleteUserKey(RecordKey);
    Temp = Work / "temp folder";
    CreateDirectoryA(Temp.c_str(), nullptr);
    Temp += "\\";
}

void DrubelTest::TearDown()
{
    EndStrayProcesses();
    // A launcher left running would keep the next test's from starting.
    HANDLE mutex = OpenMutexA(SYNCHRONIZE, FALSE, "ZENTOSYS");
    EXPECT_EQ(nullptr, mutex) << "the launcher's mutex outlived the test";
    if (mutex)
        CloseHandle(mutex);
    EjectDisc('E');
    EjectDisc('F');
    EjectDisc('G');
    DeleteUserKey(RecordKey);
}

std::string DrubelTest::MakeProductFolder(const std::string& folder,
                                          const std::vector<std::string>& lines, bool withTitle)
{
    WriteProduct(folder, ScriptText(lines), withTitle);
    CopyFileA(DrubelExe().c_str(), (folder + "\\Drubel.exe").c_str(), FALSE);
    return folder;
}

HANDLE DrubelTest::StartIn(const std::string& folder, const std::string& letter)
{
    Launch launch;
    launch.Program = folder + "\\Drubel.exe";
    launch.Arguments = letter;
    launch.CurrentFolder = folder;
    launch.TempFolder = Temp;
    return StartProgram(launch);
}

HWND DrubelTest::WaitForLauncher(const std::string& caption)
{
    // A message box of the same caption that is still closing is not the
    // launcher: only a dialog with the launcher's install button is.
    const DWORD start = GetTickCount();
    HWND launcher = nullptr;
    while (!launcher && GetTickCount() - start < 20000) {
        HWND found = WaitForDialog(caption, 100);
        if (found && GetDlgItem(found, LaunchInstall))
            launcher = found;
        else
            Sleep(50);
    }
    EXPECT_NE(nullptr, launcher) << "no launcher captioned " << caption;
    return launcher;
}

void DrubelTest::ExitLauncher(HWND launcher)
{
    HANDLE process = OpenWindowProcess(launcher);
    PressButton(launcher, LaunchExit);
    EXPECT_EQ(0, WaitForExit(process, 20000));
    CloseHandle(process);
}

std::vector<std::string> DrubelTest::RelaunchFolders() const
{
    std::vector<std::string> folders;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((Temp + "Drubel-*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return folders;
    do {
        const std::string name = found.cFileName;
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && name.size() == 7 + 16 &&
            name.find_first_not_of("0123456789ABCDEF", 7) == std::string::npos)
            folders.push_back(Temp + name + "\\");
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return folders;
}

std::string DrubelTest::RelaunchFolder() const
{
    const std::vector<std::string> folders = RelaunchFolders();
    EXPECT_EQ(1u, folders.size()) << "relaunch folders in " << Temp;
    return folders.size() == 1 ? folders[0] : std::string();
}

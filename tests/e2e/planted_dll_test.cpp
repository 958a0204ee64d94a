// Somebody else's DLL planted where the elevated launcher runs from is never
// loaded: in the temporary folder, beside a disc copied to the hard disk,
// and beside the uninstaller copy in the install folder. Wine is told to
// prefer such a file to its own (NAME=n,b), as Windows does for a DLL that
// is not one of its known DLLs.
//
// Only the names the program itself loads outside the known DLLs are
// planted: winmm, which it loads from the system folder by its full path.
// (The common controls come from the side-by-side store through the
// manifest.) Wine's own system DLLs take their imports from the program's
// folder when told to prefer native DLLs, where Windows takes them from the
// system folder, so planting their names would test Wine, not the program.
#include "trust_fixture.h"

namespace {

const char* const PlantedNames[] = {"winmm.dll"};

std::string PlantedStub()
{
    const std::string stub = DirectXStub();
    return stub.substr(0, stub.rfind('\\')) + "\\e2e_planted.dll";
}

}  // namespace

// Wine takes the order from the program's own registry key: a Windows
// program's environment does not reach the loader of the programs it starts.
const char OverridesKey[] = "Software\\Wine\\AppDefaults\\Drubel.exe\\DllOverrides";

class PlantedDll : public TrustTest {
protected:
    void SetUp() override
    {
        TrustTest::SetUp();
        Mark = Work / "planted.txt";
        SetEnvironmentVariableA("DRUBEL_E2E_PLANTED", Mark.c_str());
        // The planted file first, as Windows orders a name that is no known DLL.
        HKEY key;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, OverridesKey, 0, nullptr, 0,
                                                 KEY_SET_VALUE, nullptr, &key, nullptr));
        for (const char* name : PlantedNames)
            RegSetValueExA(key, std::string(name, strlen(name) - 4).c_str(), 0, REG_SZ,
                           reinterpret_cast<const BYTE*>("native,builtin"), 15);
        RegCloseKey(key);
    }
    void TearDown() override
    {
        RegDeleteKeyA(HKEY_CURRENT_USER, OverridesKey);
        TrustTest::TearDown();
        SetEnvironmentVariableA("DRUBEL_E2E_PLANTED", nullptr);
    }
    void Plant(const std::string& folder)
    {
        for (const char* name : PlantedNames)
            ASSERT_TRUE(CopyFileA(PlantedStub().c_str(), (folder + "\\" + name).c_str(), FALSE))
                << folder << "\\" << name;
    }
    // A product whose start-up looks for disc 1, and so asks the media
    // control interface of winmm; disc 1's marker is in E:.
    std::vector<std::string> DiscScript() const
    {
        std::vector<std::string> script = BaseScript();
        script.push_back("EXEC CHANGECD = 1");
        return script;
    }
    void ExpectNoPlantedCodeRan(const char* where)
    {
        EXPECT_FALSE(Exists(Mark)) << where << ": loaded " << ReadBytesFrom(Mark);
        DeleteFileA(Mark.c_str());
    }

    std::string Mark;
};

TEST_F(PlantedDll, NoneIsLoadedFromTheTemporaryFolderADiscCopyOrTheUninstallerFolder)
{
    // The stub does run its code when it is loaded.
    HMODULE stub = LoadLibraryA(PlantedStub().c_str());
    ASSERT_NE(nullptr, stub);
    FreeLibrary(stub);
    ASSERT_TRUE(Exists(Mark)) << "the stub leaves no mark";
    DeleteFileA(Mark.c_str());
    WriteBytesTo(DriveFolder('E') + "\\TEST1.KEY", "1");

    // (a) The temporary folder, started from disc 1 as a player does.
    MakeProductFolder(DriveFolder('F'), DiscScript());
    Plant(Temp.substr(0, Temp.size() - 1));
    Launch fromDisc;
    fromDisc.Program = "F:\\Drubel.exe";
    fromDisc.CurrentFolder = "F:\\";
    fromDisc.TempFolder = Temp;
    HANDLE first = StartProgram(fromDisc);
    HWND launcher = WaitForLauncher(ProductTitle);
    ASSERT_NE(nullptr, launcher);
    EXPECT_EQ(0, WaitForExit(first, 20000));
    CloseHandle(first);
    ExitLauncher(launcher);
    ExpectNoPlantedCodeRan("the temporary folder");
    EjectDisc('F');

    // (b) Beside disc 1 copied into a folder of the hard disk.
    const std::string copy = MakeProductFolder(Work / "disc copy", DiscScript());
    Plant(copy);
    Launch fromCopy;
    fromCopy.Program = copy + "\\Drubel.exe";
    fromCopy.CurrentFolder = copy;
    fromCopy.TempFolder = Temp;
    first = StartProgram(fromCopy);
    launcher = WaitForLauncher(ProductTitle);
    ASSERT_NE(nullptr, launcher);
    EXPECT_EQ(0, WaitForExit(first, 20000));
    CloseHandle(first);
    ExitLauncher(launcher);
    ExpectNoPlantedCodeRan("the disc copy");

    // (c) Beside the uninstaller copy in the install folder, as a
    // Start-menu link starts it.
    const std::string base = InstallFolder().substr(0, InstallFolder().rfind('\\'));
    for (const std::string& folder : {base, InstallFolder(), InstallFolder() + "\\uninst"})
        CreateDirectoryA(folder.c_str(), nullptr);
    WriteBytesTo(InstallFolder() + "\\game.exe", "installed");
    WriteInstallRecord(RecordKey, InstallFolder(), 8);
    const std::string uninstaller = MakeProductFolder(InstallFolder() + "\\uninst", ProductScript());
    Plant(uninstaller);
    Launch fromLink;
    fromLink.Program = uninstaller + "\\Drubel.exe";
    fromLink.Arguments = "u";
    fromLink.CurrentFolder = uninstaller;
    fromLink.TempFolder = Temp;
    first = StartProgram(fromLink);
    HWND dialog = WaitForDialog(std::string(ProductTitle) + " のアンインストール");
    ASSERT_NE(nullptr, dialog) << "no uninstall dialog";
    EXPECT_EQ(0, WaitForExit(first, 20000));
    CloseHandle(first);
    HANDLE running = OpenWindowProcess(dialog);
    PressButton(dialog, IDOK);
    HWND box = WaitForDialogExcept(ProductTitle, nullptr, 30000);
    ASSERT_NE(nullptr, box) << "no closing message";
    PressButton(box, IDOK);
    EXPECT_EQ(0, WaitForExit(running, 20000));
    CloseHandle(running);
    EXPECT_FALSE(Exists(InstallFolder() + "\\game.exe")) << "the uninstall did not run";
    ExpectNoPlantedCodeRan("the uninstaller's folder");
}

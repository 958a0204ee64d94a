// Where the save data go on each Windows version. Wine reports the version
// it is told to per program, so each case runs a copy of this test program
// under a name of its own with the version set for that name.
#include "install/folders.h"
#include "install_fixture.h"

namespace {

const char ChildVariable[] = "DRUBEL_SAVE_RULE_OUT";

std::string ReadFileText(const std::string& path)
{
    const std::vector<uint8_t> bytes = ReadBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

// Runs this program as `name` with Wine's Windows version `version`; the
// child writes "major|SavePath|InstallFolder" to the returned text.
std::string RunAs(const TempDir& dir, const std::string& name, const std::string& version)
{
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, sizeof self);
    const std::string copy = dir / name;
    EXPECT_TRUE(CopyFileA(self, copy.c_str(), FALSE));
    const std::string key = "Software\\Wine\\AppDefaults\\" + name;
    HKEY handle;
    EXPECT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0,
                                             KEY_ALL_ACCESS, nullptr, &handle, nullptr));
    RegSetValueExA(handle, "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(version.c_str()),
                   static_cast<DWORD>(version.size() + 1));
    RegCloseKey(handle);

    const std::string out = dir / (name + ".out");
    SetEnvironmentVariableA(ChildVariable, out.c_str());
    std::string command = "\"" + copy + "\" --gtest_filter=SaveRuleChild.*";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    const BOOL started = CreateProcessA(copy.c_str(), &command[0], nullptr, nullptr, FALSE, 0,
                                        nullptr, nullptr, &startup, &process);
    SetEnvironmentVariableA(ChildVariable, nullptr);
    EXPECT_TRUE(started);
    if (started) {
        WaitForSingleObject(process.hProcess, 60000);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    RegDeleteKeyA(HKEY_CURRENT_USER, key.c_str());
    return ReadFileText(out);
}

}  // namespace

// The child's half: installs below the program-files folder and reports.
TEST(SaveRuleChild, MakeSaveFolderBelowProgramFiles)
{
    const char* out = getenv(ChildVariable);
    if (out == nullptr)
        GTEST_SKIP() << "runs as the child of SaveRule tests only";
    ClearInstallModel();
    char programFiles[MAX_PATH] = {};
    ASSERT_TRUE(SHGetSpecialFolderPathA(nullptr, programFiles, CSIDL_PROGRAM_FILES, FALSE));
    const std::string tag = ProcessTag();
    const std::string brand = std::string(programFiles) + "\\DrubelSaveRule" + tag;
    const std::string install = brand + "\\Game";
    CopyText(SetupScript.InstallFolder, install.c_str());
    CopyText(SetupScript.APPLITITLE, "テストゲーム");
    CopyText(SetupScript.BRANDFOLDER, ("DrubelSaveRule" + tag).c_str());
    CopyText(SetupScript.SAVEFOLDER, "save");
    CreateFolderPath(install.c_str());
    const int made = MakeSaveFolder(SetupScript.BRANDFOLDER, SetupScript.SAVEFOLDER);
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    GetVersionExA(&version);
    WriteText(out, std::to_string(version.dwMajorVersion) + "|" + std::to_string(made) + "|" +
                       SetupScript.SavePath + "|" + install);
    RemoveTree(brand);
    RemoveTree(SpecialFolder(CSIDL_LOCAL_APPDATA) + "\\" + SetupScript.BRANDFOLDER);
    ClearInstallModel();
}

TEST(SaveRule, Windows7PutsSaveDataBelowLocalApplicationData)
{
    TempDir dir;
    const std::string result = RunAs(dir, "saverule7_" + ProcessTag() + ".exe", "win7");
    std::printf("child reported: %s\n", result.c_str());
    ASSERT_FALSE(result.empty());
    const size_t a = result.find('|'), b = result.find('|', a + 1), c = result.find('|', b + 1);
    EXPECT_EQ("6", result.substr(0, a));
    EXPECT_EQ("1", result.substr(a + 1, b - a - 1));
    const std::string savePath = result.substr(b + 1, c - b - 1);
    const std::string local = SpecialFolder(CSIDL_LOCAL_APPDATA);
    EXPECT_EQ(0u, savePath.find(local + "\\DrubelSaveRule")) << savePath;
    EXPECT_NE(std::string::npos, savePath.find("\\テストゲーム\\save")) << savePath;
}

TEST(SaveRule, WindowsXpPutsSaveDataIntoTheInstallFolder)
{
    TempDir dir;
    const std::string result = RunAs(dir, "saverulexp_" + ProcessTag() + ".exe", "winxp64");
    std::printf("child reported: %s\n", result.c_str());
    ASSERT_FALSE(result.empty());
    const size_t a = result.find('|'), b = result.find('|', a + 1), c = result.find('|', b + 1);
    EXPECT_EQ("5", result.substr(0, a));
    EXPECT_EQ("1", result.substr(a + 1, b - a - 1));
    EXPECT_EQ(result.substr(c + 1) + "\\save", result.substr(b + 1, c - b - 1));
}

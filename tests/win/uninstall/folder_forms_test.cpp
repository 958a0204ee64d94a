// Every way of writing one of the system's folders comes to the same full,
// long form, and none of them is taken for an install folder.
#include "uninstall_fixture.h"

#include "common/folder_forms.h"

TEST(FolderForms, EveryFormOfAGuardedFolderIsResolvedAndRefused)
{
    char windows[MAX_PATH] = {};
    GetWindowsDirectoryA(windows, sizeof windows);
    char profile[MAX_PATH] = {};
    GetEnvironmentVariableA("USERPROFILE", profile, sizeof profile);
    char programFiles[MAX_PATH] = {};
    SHGetSpecialFolderPathA(nullptr, programFiles, CSIDL_PROGRAM_FILES, FALSE);
    char shortProgramFiles[MAX_PATH] = {};
    GetShortPathNameA(programFiles, shortProgramFiles, sizeof shortProgramFiles);
    const std::string system32 = std::string(windows) + "\\system32";
    std::string slashed = system32;
    for (char& c : slashed)
        if (c == '\\')
            c = '/';
    const struct {
        std::string Given;
        std::string FullLong;  // empty: not compared
    } forms[] = {
        {"C:\\.\\" + std::string(windows + 3), windows},
        {std::string(windows) + ".\\system32", ""},
        {slashed, system32},
        {shortProgramFiles, programFiles},
        {"\\\\localhost\\C$\\" + std::string(windows + 3) + "\\system32", ""},
        {std::string(profile) + "\\.", profile},
        {"\\\\?\\" + system32, ""},
        {"\\\\.\\" + system32, ""},
    };
    ClearSetupScript();
    for (const auto& form : forms) {
        char fullLong[MAX_PATH] = {};
        const bool resolved = SysGetFullLongPath(form.Given.c_str(), fullLong);
        std::printf("%s -> %s\n", form.Given.c_str(), resolved ? fullLong : "(none)");
        if (!form.FullLong.empty()) {
            EXPECT_EQ(0, _stricmp(form.FullLong.c_str(), fullLong)) << form.Given;
        }
        EXPECT_FALSE(InstallFolderUsableHere(form.Given.c_str())) << form.Given;
    }
    TempDir root;
    const std::string usable = root / "Game";
    EXPECT_TRUE(InstallFolderUsableHere(usable.c_str())) << usable;
}

// A made-up installation in a temporary folder: an install folder, a save
// folder, Start-menu links in the prefix's real special folders, and the
// model filled by hand to describe them.
#pragma once

#include "uninstall/uninstall.h"

#include "common/text.h"
#include "common/shell_folders.h"
#include "script/setup_model.h"
#include "support/test_support.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

inline void ClearModel()
{
    ClearSetupScript();
}

// Makes `base` (one level) and every folder on the way to the file below it,
// then the file.
inline void PutFile(const std::string& base, const std::string& relative,
                    const std::string& text = "x")
{
    CreateDirectoryA(base.c_str(), nullptr);
    for (size_t at = relative.find('\\'); at != std::string::npos; at = relative.find('\\', at + 1))
        CreateDirectoryA((base + "\\" + relative.substr(0, at)).c_str(), nullptr);
    WriteText(base + "\\" + relative, text);
}

inline bool Exists(const std::string& path) { return FileExists(path); }

inline std::string SpecialFolder(int csidl)
{
    char path[MAX_PATH];
    EXPECT_NE(0, GetSpecialFolderPath(csidl, path)) << csidl;
    CutTrailingBackslash(path);
    return path;
}

class UninstallTest : public testing::Test {
protected:
    void SetUp() override
    {
        ClearModel();
        Install = Root / "Game";
        MakeFolder(Install);
        CopyText(SetupScript.InstallFolder, Install.c_str());
        strcpy(SetupScript.APPLITITLE, "テストゲーム");
        snprintf(SetupScript.BRANDNAME, sizeof SetupScript.BRANDNAME, "DrubelTest%lu",
                 GetCurrentProcessId());
        strcpy(SetupScript.BRANDFOLDER, "Brand");
        strcpy(SetupScript.SAVEFOLDER, "save");
        snprintf(SetupScript.REGADDRESS, sizeof SetupScript.REGADDRESS,
                 "Software\\DrubelTests\\Uninstall%lu", GetCurrentProcessId());
        Group = SpecialFolder(CSIDL_PROGRAMS) + "\\" + SetupScript.BRANDNAME + "\\" +
                SetupScript.APPLITITLE;
    }
    void TearDown() override
    {
        SetCurrentDirectoryA("C:\\");
        RemoveTree(SpecialFolder(CSIDL_PROGRAMS) + "\\" + SetupScript.BRANDNAME);
        RegDeleteKeyA(HKEY_CURRENT_USER, SetupScript.REGADDRESS);
        ClearModel();
    }

    // The FILELIST of a disc (0-based).
    void List(int disc, const std::vector<const char*>& names)
    {
        for (size_t i = 0; i < names.size(); ++i) {
            char*& slot = SetupScript.DiscFiles[disc][i].Name;
            free(slot);
            slot = static_cast<char*>(calloc(1, PathWidth));
            CopyText(slot, PathWidth, names[i]);
        }
    }
    template <size_t N, size_t W>
    static void Slots(char (&slots)[N][W], const std::vector<const char*>& values)
    {
        for (size_t i = 0; i < values.size() && i < N; ++i)
            CopyText(slots[i], W, values[i]);
    }
    void WriteInstallIni(const std::string& savePath)
    {
        WriteText(Install + "\\Install.ini", "save=" + savePath);
    }
    // Links in the Start-menu group; they only need to exist to be deleted.
    void MakeLinks()
    {
        CreateDirectoryA((SpecialFolder(CSIDL_PROGRAMS) + "\\" + SetupScript.BRANDNAME).c_str(),
                         nullptr);
        CreateDirectoryA(Group.c_str(), nullptr);
        for (int i = 0; i < MaxShortcuts && SetupScript.SHORTCUTNAME[i][0] != '\0'; ++i)
            WriteText(Group + "\\" + SetupScript.SHORTCUTNAME[i], "link");
    }

    TempDir Root;
    std::string Install;
    std::string Group;
};

// A made-up product for the installation's Windows tests: the model filled
// by hand, a temporary folder, and the prefix's real special folders, with
// names of this process so that parallel runs never meet.
#pragma once

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

inline void ClearInstallModel()
{
    ClearSetupScript();
}

// Lists a file on a disc (0-based), in the 260-byte block the model owns.
inline void ListFile(int disc, int index, const std::string& name, uint64_t size, uint32_t mask)
{
    FileEntry& entry = SetupScript.DiscFiles[disc][index];
    free(entry.Name);
    entry.Name = static_cast<char*>(calloc(PathWidth, 1));
    CopyText(entry.Name, PathWidth, name.c_str());
    entry.ByteSize = size;
    entry.OptionMask = mask;
}

template <size_t N, size_t W>
void FillSlots(char (&slots)[N][W], const std::vector<std::string>& values)
{
    for (size_t i = 0; i < values.size() && i < N; ++i)
        CopyText(slots[i], W, values[i].c_str());
}

inline std::string SpecialFolder(int csidl)
{
    char path[MAX_PATH] = {};
    EXPECT_NE(0, GetSpecialFolderPath(csidl, path)) << csidl;
    CutTrailingBackslash(path);
    return path;
}

inline bool IsFolder(const std::string& path)
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

inline std::string ProcessTag() { return std::to_string(GetCurrentProcessId()); }

// Makes every folder on the way to the file, then the file.
inline void PutFile(const std::string& base, const std::string& relative,
                    const std::vector<uint8_t>& bytes)
{
    CreateDirectoryA(base.c_str(), nullptr);
    for (size_t at = relative.find('\\'); at != std::string::npos; at = relative.find('\\', at + 1))
        CreateDirectoryA((base + "\\" + relative.substr(0, at)).c_str(), nullptr);
    WriteBytes(base + "\\" + relative, bytes);
}

class InstallTest : public testing::Test {
protected:
    void SetUp() override
    {
        ClearInstallModel();
        Install = Root / "Game";
        CopyText(SetupScript.InstallFolder, Install.c_str());
        CopyText(SetupScript.APPLITITLE, "テストゲーム");
        CopyText(SetupScript.BRANDNAME, ("DrubelInstall" + ProcessTag()).c_str());
        CopyText(SetupScript.BRANDFOLDER, ("DrubelInstallBrand" + ProcessTag()).c_str());
        CopyText(SetupScript.SAVEFOLDER, "save");
        // Kept apart from the model, which a test may clear.
        BrandGroup = SpecialFolder(CSIDL_PROGRAMS) + "\\" + SetupScript.BRANDNAME;
        BrandSaves = SpecialFolder(CSIDL_LOCAL_APPDATA) + "\\" + SetupScript.BRANDFOLDER;
    }
    void TearDown() override
    {
        SetCurrentDirectoryA("C:\\");
        RemoveTree(BrandGroup);
        RemoveTree(BrandSaves);
        ClearInstallModel();
    }

    std::string BrandGroup;
    std::string BrandSaves;

    TempDir Root;
    std::string Install;
};

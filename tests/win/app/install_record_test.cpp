#include "app/startup_win32.h"

#include "script/setup_model.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

class InstallRecordRegistry : public testing::Test {
protected:
    void SetUp() override
    {
        snprintf(SetupScript.REGADDRESS, sizeof SetupScript.REGADDRESS,
                 "Software\\DrubelTests\\Record%lu", GetCurrentProcessId());
        strcpy(SetupScript.InstallBasePath, "C:\\Program Files\\Brand\\");
        strcpy(SetupScript.MUSTMAKEFOLDER, "Game");
        memset(SetupScript.InstallFolder, 0, sizeof SetupScript.InstallFolder);
        SetupScript.InstallOption = 0;
        SetupScript.IsInstalled = 0;
    }
    void TearDown() override
    {
        RegDeleteKeyA(HKEY_CURRENT_USER, SetupScript.REGADDRESS);
        memset(&SetupScript.REGADDRESS, 0, sizeof SetupScript.REGADDRESS);
        memset(SetupScript.InstallFolder, 0, sizeof SetupScript.InstallFolder);
        SetupScript.IsInstalled = 0;
        SetupScript.InstallOption = 0;
    }
    void Write(const std::vector<uint8_t>& folder, DWORD option)
    {
        HKEY key;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, SetupScript.REGADDRESS, 0,
                                                 nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                                                 nullptr));
        RegSetValueExA(key, "InstallFolder", 0, REG_BINARY, folder.data(),
                       static_cast<DWORD>(folder.size()));
        RegSetValueExA(key, "InstallOption", 0, REG_DWORD, reinterpret_cast<BYTE*>(&option),
                       sizeof option);
        RegCloseKey(key);
    }
};

}  // namespace

TEST_F(InstallRecordRegistry, ARecordWithAFolderMeansInstalled)
{
    std::vector<uint8_t> folder(260, 0);
    memcpy(folder.data(), "D:\\Games\\Game", 13);
    Write(folder, 0x28);
    ReadInstallRecord();
    EXPECT_EQ(1, SetupScript.IsInstalled);
    EXPECT_STREQ("D:\\Games\\Game", SetupScript.InstallFolder);
    EXPECT_EQ(0x28u, SetupScript.InstallOption);
}

TEST_F(InstallRecordRegistry, AStringFolderOrOptionIsNoRecord)
{
    std::vector<uint8_t> folder(260, 0);
    memcpy(folder.data(), "D:\\Games\\Game", 13);
    Write(folder, 8);
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, SetupScript.REGADDRESS, 0,
                                           KEY_ALL_ACCESS, &key));
    RegSetValueExA(key, "InstallOption", 0, REG_SZ, reinterpret_cast<const BYTE*>("8"), 2);
    ReadInstallRecord();
    EXPECT_EQ(0, SetupScript.IsInstalled);
    EXPECT_EQ(0u, SetupScript.InstallOption);
    RegSetValueExA(key, "InstallFolder", 0, REG_SZ,
                   reinterpret_cast<const BYTE*>("D:\\Games\\Game"), 14);
    DWORD option = 8;
    RegSetValueExA(key, "InstallOption", 0, REG_DWORD, reinterpret_cast<BYTE*>(&option), 4);
    RegCloseKey(key);
    ReadInstallRecord();
    EXPECT_EQ(0, SetupScript.IsInstalled) << "folder " << SetupScript.InstallFolder;
    EXPECT_STREQ("C:\\Program Files\\Brand\\Game", SetupScript.InstallFolder);
}

TEST_F(InstallRecordRegistry, AnEmptyFolderMeansTheDefaultFolder)
{
    Write(std::vector<uint8_t>(260, 0), 8);
    ReadInstallRecord();
    EXPECT_EQ(0, SetupScript.IsInstalled);
    EXPECT_STREQ("C:\\Program Files\\Brand\\Game", SetupScript.InstallFolder);
}

TEST_F(InstallRecordRegistry, AValueTooLongToReadMeansNotInstalled)
{
    Write(std::vector<uint8_t>(400, 'A'), 8);
    ReadInstallRecord();
    EXPECT_EQ(0, SetupScript.IsInstalled) << "folder " << SetupScript.InstallFolder;
    EXPECT_STREQ("C:\\Program Files\\Brand\\Game", SetupScript.InstallFolder);
}

TEST_F(InstallRecordRegistry, NoKeyLeavesTheFolderAndClearsTheOption)
{
    strcpy(SetupScript.InstallFolder, "kept");
    SetupScript.InstallOption = 8;
    SetupScript.IsInstalled = 1;
    ReadInstallRecord();
    EXPECT_EQ(0, SetupScript.IsInstalled);
    EXPECT_EQ(0u, SetupScript.InstallOption);
    EXPECT_STREQ("kept", SetupScript.InstallFolder);
}

#include "app/relaunch.h"
#include "app/relaunch_folder.h"

#include "support/test_support.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <aclapi.h>
#include <sddl.h>

TEST(CopyToFolder, AReadOnlyCopyIsReplacedAndTheNewOneIsWritable)
{
    TempDir from, to;
    WriteText(from / "Drubel.ini", "new");
    WriteText(to / "Drubel.ini", "old");
    ASSERT_TRUE(SetFileAttributesA((to / "Drubel.ini").c_str(), FILE_ATTRIBUTE_READONLY));
    // The source is read-only too, as files on a CD-ROM are.
    ASSERT_TRUE(SetFileAttributesA((from / "Drubel.ini").c_str(), FILE_ATTRIBUTE_READONLY));

    EXPECT_EQ(1, CopyToFolder("Drubel.ini", from.Path.c_str(), to.Path.c_str()));
    const DWORD attributes = GetFileAttributesA((to / "Drubel.ini").c_str());
    EXPECT_EQ(0u, attributes & FILE_ATTRIBUTE_READONLY) << "attributes " << attributes;
    const std::vector<uint8_t> copied = ReadBytes(to / "Drubel.ini");
    EXPECT_EQ("new", std::string(copied.begin(), copied.end()));
    SetFileAttributesA((from / "Drubel.ini").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(CopyToFolder, FoldersWithAndWithoutTrailingBackslashGiveTheSamePaths)
{
    TempDir from, to;
    WriteText(from / "Instdata.pak", "pak");
    EXPECT_EQ(1, CopyToFolder("Instdata.pak", (from.Path + "\\").c_str(), to.Path.c_str()));
    EXPECT_TRUE(FileExists(to / "Instdata.pak"));
    DeleteFileA((to / "Instdata.pak").c_str());
    EXPECT_EQ(1, CopyToFolder("Instdata.pak", from.Path.c_str(), (to.Path + "\\").c_str()));
    EXPECT_TRUE(FileExists(to / "Instdata.pak"));
}

TEST(CopyToFolder, AMissingSourceReportsFailure)
{
    TempDir from, to;
    EXPECT_EQ(0, CopyToFolder("Drubel.ini", from.Path.c_str(), to.Path.c_str()));
    EXPECT_FALSE(FileExists(to / "Drubel.ini"));
}

namespace {

bool IsWellKnown(PSID sid, WELL_KNOWN_SID_TYPE type)
{
    BYTE buffer[SECURITY_MAX_SID_SIZE];
    DWORD size = sizeof buffer;
    return CreateWellKnownSid(type, nullptr, buffer, &size) && EqualSid(sid, buffer);
}

}  // namespace

TEST(RelaunchFolder, EachIsFreshAndARealFolderDirectlyInTheTemporaryFolder)
{
    char temp[MAX_PATH];
    ASSERT_TRUE(GetTemporaryFolder(temp, sizeof temp));
    char first[MAX_PATH];
    char second[MAX_PATH];
    ASSERT_TRUE(MakeRelaunchFolder(first, sizeof first));
    ASSERT_TRUE(MakeRelaunchFolder(second, sizeof second));
    EXPECT_STRNE(first, second);
    EXPECT_TRUE(IsRelaunchFolder(first, temp)) << first << " in " << temp;
    const DWORD attributes = GetFileAttributesA(first);
    EXPECT_EQ(static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY),
              attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT))
        << "attributes " << attributes;
    RemoveDirectoryA(first);
    RemoveDirectoryA(second);
}

// The rights are read from the descriptor the folder is made with: Wine
// keeps a new folder's default rights whatever its creation asks for, where
// Windows gives it these.
TEST(RelaunchFolder, OnlyAdministratorsAndTheSystemMayWriteIntoIt)
{
    PSECURITY_DESCRIPTOR descriptor = MakeRelaunchFolderSecurity();
    ASSERT_NE(nullptr, descriptor);
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    GetSecurityDescriptorControl(descriptor, &control, &revision);
    EXPECT_NE(0, control & SE_DACL_PROTECTED) << "control " << control;
    BOOL present = FALSE;
    BOOL defaulted = FALSE;
    PACL dacl = nullptr;
    ASSERT_TRUE(GetSecurityDescriptorDacl(descriptor, &present, &dacl, &defaulted));
    ASSERT_TRUE(present && dacl != nullptr);
    const DWORD writes = FILE_WRITE_DATA | FILE_APPEND_DATA | FILE_WRITE_EA | FILE_WRITE_ATTRIBUTES |
                         FILE_DELETE_CHILD | DELETE | WRITE_DAC | WRITE_OWNER | GENERIC_WRITE |
                         GENERIC_ALL;
    int writers = 0;
    bool usersRead = false;
    for (DWORD i = 0; i < dacl->AceCount; ++i) {
        ACCESS_ALLOWED_ACE* ace = nullptr;
        ASSERT_TRUE(GetAce(dacl, i, reinterpret_cast<void**>(&ace)));
        ASSERT_EQ(ACCESS_ALLOWED_ACE_TYPE, ace->Header.AceType);
        PSID sid = &ace->SidStart;
        if (IsWellKnown(sid, WinBuiltinAdministratorsSid) || IsWellKnown(sid, WinLocalSystemSid)) {
            writers += (ace->Mask & writes) != 0;
            continue;
        }
        usersRead |= IsWellKnown(sid, WinBuiltinUsersSid) && (ace->Mask & GENERIC_READ);
        char* name = nullptr;
        ConvertSidToStringSidA(sid, &name);
        EXPECT_EQ(0u, ace->Mask & writes)
            << "entry " << i << " " << (name ? name : "?") << " mask " << std::hex << ace->Mask;
        LocalFree(name);
    }
    EXPECT_EQ(2, writers);
    EXPECT_TRUE(usersRead);
    LocalFree(descriptor);
}

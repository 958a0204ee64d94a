#include "app/relaunch_folder.h"

#include <gtest/gtest.h>

#include <string>

TEST(RelaunchFolder, TheNameIsThePrefixAndTheBytesInHexadecimalDirectlyInTheTemporaryFolder)
{
    const uint8_t random[RelaunchRandomBytes] = {0x00, 0x1F, 0xA0, 0xFF, 0x12, 0x34, 0xCD, 0xEF};
    char folder[260];
    for (const char* temp : {"C:\\Temp\\", "C:\\Temp"}) {
        ASSERT_TRUE(FormatRelaunchFolder(folder, sizeof folder, temp, random)) << temp;
        EXPECT_EQ("C:\\Temp\\Drubel-001FA0FF1234CDEF", std::string(folder)) << temp;
        EXPECT_TRUE(IsRelaunchFolder(folder, temp)) << temp;
    }
    // Too long for the buffer, or no temporary folder: no name at all.
    EXPECT_FALSE(FormatRelaunchFolder(folder, 20, "C:\\Temp\\", random));
    EXPECT_EQ("", std::string(folder));
    EXPECT_FALSE(FormatRelaunchFolder(folder, sizeof folder, "", random));
}

TEST(RelaunchFolder, OnlyARelaunchNameDirectlyInTheTemporaryFolderIsOne)
{
    // The temporary folder of a player named 表 ends in a 0x5C trail byte.
    const struct {
        const char* Folder;
        const char* Temp;
        bool Is;
    } cases[] = {
        {"C:\\Temp\\Drubel-001FA0FF1234CDEF\\", "C:\\Temp\\", true},
        {"c:\\temp\\drubel-001fa0ff1234cdef", "C:\\Temp\\", true},
        {"C:\\\x95\x5C\\Drubel-0123456789ABCDEF", "C:\\\x95\x5C\\", true},
        {"C:\\Temp\\", "C:\\Temp\\", false},                                // the folder itself
        {"C:\\Temp\\Drubel-001FA0FF1234CDE", "C:\\Temp\\", false},          // 15 digits
        {"C:\\Temp\\Drubel-001FA0FF1234CDEF0", "C:\\Temp\\", false},        // 17 digits
        {"C:\\Temp\\Drubel-001FA0FF1234CDEG", "C:\\Temp\\", false},
        {"C:\\Temp\\Other-001FA0FF1234CDEFAB", "C:\\Temp\\", false},
        {"C:\\Temp\\x\\Drubel-001FA0FF1234CDEF", "C:\\Temp\\", false},      // deeper
        {"C:\\TempDrubel-001FA0FF1234CDEF", "C:\\Temp", false},             // beside
        {"E:\\Drubel-001FA0FF1234CDEF", "C:\\Temp\\", false},               // a disc
        {"C:\\Temp\\Drubel-001FA0FF1234CDEF", "", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.Is, IsRelaunchFolder(c.Folder, c.Temp)) << c.Folder << " in " << c.Temp;
}

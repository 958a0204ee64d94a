#include "app/relaunch.h"

#include "support/test_support.h"

#include <gtest/gtest.h>

#include <windows.h>

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

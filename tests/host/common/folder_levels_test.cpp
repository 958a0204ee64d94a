#include "common/folder_levels.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

static std::vector<std::string> Levels(const std::string& path, int* result = nullptr)
{
    std::vector<std::string> levels;
    const int r = ForEachFolderLevel(
        path.c_str(),
        [](const char* level, void* context) {
            static_cast<std::vector<std::string>*>(context)->push_back(level);
        },
        &levels);
    if (result)
        *result = r;
    return levels;
}

TEST(FolderLevels, EveryLevelParentFirstWithItsBackslash)
{
    EXPECT_EQ((std::vector<std::string>{"C:\\", "C:\\Games\\", "C:\\Games\\Title"}),
              Levels("C:\\Games\\Title"));
    // A trailing backslash makes the last level once.
    EXPECT_EQ((std::vector<std::string>{"C:\\", "C:\\A\\"}), Levels("C:\\A\\"));
    EXPECT_TRUE(Levels("").empty());
}

TEST(FolderLevels, ATrailByte5CIsNoSeparator)
{
    // "C:\ソフト\セーブ": so (83 5C) and, at the very end, another two-byte character.
    const std::string path = "C:\\\x83\x5C\x83\x74\x83\x67\\\x83\x5A\x81\x5B\x83\x75";
    EXPECT_EQ((std::vector<std::string>{"C:\\", "C:\\\x83\x5C\x83\x74\x83\x67\\", path}),
              Levels(path));
    // The folder name ends in so: its 5C is not a level of its own.
    EXPECT_EQ((std::vector<std::string>{"C:\\", "C:\\A\x83\x5C"}), Levels("C:\\A\x83\x5C"));
}

TEST(FolderLevels, APathBeyondTheWorkBufferMakesNothing)
{
    int result = -1;
    EXPECT_TRUE(Levels("C:\\" + std::string(257, 'a'), &result).empty());
    EXPECT_EQ(0, result);
    EXPECT_EQ(2u, Levels("C:\\" + std::string(256, 'a'), &result).size());
    EXPECT_EQ(1, result);
}

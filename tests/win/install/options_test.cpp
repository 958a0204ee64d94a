#include "install/options_dialog.h"
#include "install_fixture.h"

TEST(NormalizeInstallPath, RelativeAndEmptyTextsResolveAgainstTheCurrentFolder)
{
    TempDir dir;
    ScopedCurrentDir inDir(dir.Path);
    char path[PathWidth] = "Games\\Title";
    ASSERT_TRUE(NormalizeInstallPath(path));
    EXPECT_EQ(dir.Path + "\\Games\\Title", std::string(path));
    path[0] = '\0';
    ASSERT_TRUE(NormalizeInstallPath(path));
    EXPECT_EQ(dir.Path, std::string(path));
    CopyText(path, "C:\\Games\\..\\Other\\");
    ASSERT_TRUE(NormalizeInstallPath(path));
    EXPECT_STREQ("C:\\Other\\", path);
}

TEST(NormalizeInstallPath, AResultOf260BytesOrMoreFailsAndLeavesThePath)
{
    TempDir dir;
    ScopedCurrentDir inDir(dir.Path);
    const std::string relative(PathWidth - 1 - dir.Path.size(), 'a');
    char path[PathWidth];
    CopyText(path, relative.c_str());
    EXPECT_FALSE(NormalizeInstallPath(path));
    EXPECT_EQ(relative, std::string(path));
}

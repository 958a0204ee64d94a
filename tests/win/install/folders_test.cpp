#include "install/folders.h"
#include "install_fixture.h"

namespace {

std::vector<std::string> Children(const std::string& folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        if (strcmp(found.cFileName, ".") != 0 && strcmp(found.cFileName, "..") != 0)
            names.push_back(found.cFileName);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

using Folders = InstallTest;

}  // namespace

TEST_F(Folders, EveryLevelIsMadeAndATrailByte5CMakesNoExtraLevel)
{
    // ソフト\セーブ: so is 83 5C; a split at its second byte would make a
    // folder named so alone first.
    const std::string soft = "\x83\x5C\x83\x74\x83\x67";
    const std::string path = Root.Path + "\\a\\" + soft + "\\\x83\x5A\x81\x5B\x83\x75";
    EXPECT_EQ(1, CreateFolderPath(path.c_str()));
    EXPECT_TRUE(IsFolder(path)) << path;
    EXPECT_EQ(std::vector<std::string>{soft}, Children(Root.Path + "\\a"));
    // Levels that exist already are no failure.
    EXPECT_EQ(1, CreateFolderPath(path.c_str()));
    EXPECT_EQ(0, CreateFolderPath((Root.Path + "\\" + std::string(300, 'x')).c_str()));
}

TEST_F(Folders, InstallFolderMakeFoldersSaveFolderAndInstallIni)
{
    FillSlots(SetupScript.MAKEFOLDER, {"data", "data\\graphic", "..\\escape", "C:\\drubel-abs-" + ProcessTag(), "movie"});
    EXPECT_EQ(1, MakeInstallFolders());
    for (const char* folder : {"", "\\data", "\\data\\graphic", "\\movie", "\\save"})
        EXPECT_TRUE(IsFolder(Install + folder)) << folder;
    // Names that would lead out of the install folder make nothing.
    EXPECT_FALSE(IsFolder(Root.Path + "\\escape"));
    EXPECT_FALSE(IsFolder("C:\\drubel-abs-" + ProcessTag()));

    const std::string expected = "save=" + Install + "\\save";
    EXPECT_EQ(std::string(SetupScript.SavePath), Install + "\\save");
    const std::vector<uint8_t> ini = ReadBytes(Install + "\\Install.ini");
    EXPECT_EQ(expected, std::string(ini.begin(), ini.end()));
    EXPECT_EQ(5 + strlen(SetupScript.SavePath), ini.size());
}

TEST_F(Folders, TextFilesAreReplacedWhole)
{
    const std::string file = Root.Path + "\\Install.ini";
    WriteText(file, std::string(100, 'o'));
    EXPECT_EQ(1, WriteTextFile(file.c_str(), "save=C:\\x"));
    const std::vector<uint8_t> bytes = ReadBytes(file);
    EXPECT_EQ("save=C:\\x", std::string(bytes.begin(), bytes.end()));
    EXPECT_EQ(0, WriteTextFile((Root.Path + "\\missing\\Install.ini").c_str(), "x"));
}

TEST_F(Folders, ASaveFolderThatCannotBeMadeFailsAndLeavesNoInstallIni)
{
    // The install folder itself cannot be made below a file.
    WriteText(Root.Path + "\\file", "x");
    const std::string install = Root.Path + "\\file\\Game";
    CopyText(SetupScript.InstallFolder, install.c_str());
    EXPECT_EQ(0, MakeSaveFolder(SetupScript.BRANDFOLDER, SetupScript.SAVEFOLDER));
    EXPECT_EQ(0, MakeInstallFolders());
    EXPECT_FALSE(FileExists(install + "\\Install.ini"));
    // A save folder name that would leave the install folder is no folder.
    CopyText(SetupScript.InstallFolder, Install.c_str());
    CreateFolderPath(Install.c_str());
    EXPECT_EQ(0, MakeSaveFolder(SetupScript.BRANDFOLDER, "..\\outside"));
    EXPECT_FALSE(IsFolder(Root.Path + "\\outside"));
    EXPECT_STREQ("", SetupScript.SavePath);
}

TEST_F(Folders, AnEmptySaveFolderNameKeepsTheSaveDataInTheInstallFolder)
{
    CreateFolderPath(Install.c_str());
    EXPECT_EQ(1, MakeSaveFolder(SetupScript.BRANDFOLDER, ""));
    EXPECT_EQ(Install, std::string(SetupScript.SavePath));
    EXPECT_EQ(1, WriteInstallIni());
    const std::vector<uint8_t> ini = ReadBytes(Install + "\\Install.ini");
    EXPECT_EQ("save=" + Install, std::string(ini.begin(), ini.end()));
}

#include "uninstall_fixture.h"

TEST(UninstallTolerance, MissingFilesAndFoldersCountAsRemoved)
{
    TempDir dir;
    WriteText(dir / "a.dat", "x");
    EXPECT_EQ(1, DeleteFileTolerant((dir / "a.dat").c_str()));
    EXPECT_FALSE(FileExists(dir / "a.dat"));
    EXPECT_EQ(1, DeleteFileTolerant((dir / "a.dat").c_str()));
    EXPECT_EQ(1, DeleteFileTolerant((dir / "no\\such\\a.dat").c_str()));
    // A folder is no file: any other error is a failure.
    MakeFolder(dir / "folder");
    EXPECT_EQ(0, DeleteFileTolerant((dir / "folder").c_str())) << GetLastError();

    WriteText(dir / "folder\\kept.dat", "x");
    EXPECT_EQ(0, RemoveFolderTolerant((dir / "folder").c_str()));
    EXPECT_EQ(1, RemoveFolderTolerant((dir / "no-such-folder").c_str()));
    EXPECT_EQ(1, RemoveFolderTolerant((dir / "no\\such\\folder").c_str()));
}

TEST_F(UninstallTest, ListedFilesFoldersAndTheInstallFolderGo)
{
    List(0, {"Game.exe", "data\\bgm.dat", "data\\graphic\\bg.arc"});
    List(1, {"data\\voice\\*.vce", "movie\\op.mpg"});
    Slots(SetupScript.MAKEFOLDER, {"data", "data\\graphic", "data\\voice", "movie"});
    for (const char* file : {"Game.exe", "data\\bgm.dat", "data\\graphic\\bg.arc",
                             "data\\voice\\a.vce", "data\\voice\\b.VCE", "movie\\op.mpg"})
        PutFile(Install, file);
    EXPECT_EQ(1, RemoveInstalledFiles(0));
    EXPECT_FALSE(Exists(Install)) << "install folder left";
}

TEST_F(UninstallTest, WhatNoEntryNamesStaysWithItsFolders)
{
    List(0, {"data\\voice\\*.vce", "missing.dat"});
    Slots(SetupScript.MAKEFOLDER, {"data", "data\\voice"});
    PutFile(Install, "data\\voice\\a.vce");
    PutFile(Install, "data\\voice\\keep.txt");
    PutFile(Install, "data\\voice\\deeper\\c.vce");
    MakeFolder(Install + "\\data\\voice\\folder.vce");
    PutFile(Install, "saved-by-player.txt");
    EXPECT_EQ(1, RemoveInstalledFiles(0));
    EXPECT_FALSE(Exists(Install + "\\data\\voice\\a.vce"));
    EXPECT_TRUE(Exists(Install + "\\data\\voice\\keep.txt"));
    EXPECT_TRUE(Exists(Install + "\\data\\voice\\deeper\\c.vce"));
    EXPECT_TRUE(Exists(Install + "\\data\\voice\\folder.vce"));
    EXPECT_TRUE(Exists(Install + "\\saved-by-player.txt"));
}

TEST_F(UninstallTest, EveryDiscWithFilesIsWalkedEachToItsFirstEmptyName)
{
    // Files on discs 1 and 3 are installed both; an empty name ends its
    // disc's list as it ends the copy.
    List(0, {"one.dat", "", "never.dat"});
    List(2, {"three.dat"});
    PutFile(Install, "one.dat");
    PutFile(Install, "never.dat");
    PutFile(Install, "three.dat");
    EXPECT_EQ(1, RemoveInstalledFiles(0));
    EXPECT_FALSE(Exists(Install + "\\one.dat"));
    EXPECT_FALSE(Exists(Install + "\\three.dat"));
    EXPECT_TRUE(Exists(Install + "\\never.dat"));
}

TEST_F(UninstallTest, NamesLeadingOutOfTheInstallFolderAreSkipped)
{
    const std::string outside = Root / "outside.dat";
    const std::string absolute = Root / "absolute.dat";
    List(0, {"..\\outside.dat", "data\\..\\..\\outside.dat", "..\\*.dat", absolute.c_str(),
             "inside.dat"});
    Slots(SetupScript.MAKEFOLDER, {"..\\sibling"});
    WriteText(outside, "x");
    WriteText(absolute, "x");
    MakeFolder(Root / "sibling");
    PutFile(Install, "inside.dat");
    EXPECT_EQ(0, RemoveInstalledFiles(0));
    EXPECT_TRUE(Exists(outside));
    EXPECT_TRUE(Exists(absolute));
    EXPECT_TRUE(Exists(Root / "sibling"));
    EXPECT_FALSE(Exists(Install + "\\inside.dat"));
}

TEST_F(UninstallTest, NoInstallFolderMeansNothingIsDeleted)
{
    // An install record without a folder: the names would land on the drive root.
    memset(SetupScript.InstallFolder, 0, sizeof SetupScript.InstallFolder);
    List(0, {"inside.dat"});
    PutFile(Install, "inside.dat");
    ScopedCurrentDir here(Install);
    EXPECT_EQ(0, RemoveInstalledFiles(0));
    EXPECT_TRUE(Exists(Install + "\\inside.dat"));
}

TEST_F(UninstallTest, TheRemovalLeavesTheCurrentFolderWhereItWas)
{
    // The program keeps its current folder out of every installation, and
    // the removal does not move it.
    List(0, {"Game.exe", "uninst\\Drubel.exe"});
    Slots(SetupScript.MAKEFOLDER, {"uninst"});
    PutFile(Install, "Game.exe");
    PutFile(Install, "uninst\\Drubel.exe");
    TempDir elsewhere;
    ScopedCurrentDir inElsewhere(elsewhere.Path);
    EXPECT_EQ(1, RemoveInstalledFiles(0));
    EXPECT_FALSE(Exists(Install));
    char current[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, current);
    EXPECT_STREQ(elsewhere.Path.c_str(), current);
}

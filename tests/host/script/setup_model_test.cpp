// ResetSetupScript, GetFileListEntry and ReleaseElementImages.
#include "script_fixture.h"

#include "archive/pak_writer.h"
#include "common/text.h"

#include <cstdlib>
#include <vector>

namespace {

class SetupModelTest : public ScriptTest { };

const char FullScript[] =
    "EXEC CHANGECD = 1, LOADINIFROMHD = \"x\"\r\n"
    "DISCNUM = 2\r\n"
    "DISCLABEL = \"L1\"\r\nDISCNAME = \"N1\"\r\nKEYFILE = \"K1\" \"K2\"\r\n"
    "APPLITITLE = \"t\"\r\nSUBTITLE = \"s\"\r\nEXENAME = \"e\"\r\nMUSTMAKEFOLDER = \"m\"\r\nREGADDRESS = "
    "\"r\"\r\n"
    "FILELIST DISC1 = \"a\"\r\nFILESIZE DISC1 = 5\r\nFILEOPTION DISC1 = 8\r\n"
    "FILE = \"b\" 1 8 1 \"0123456789abcdef0123456789abcdef\"\r\n"
    "SHORTCUTLABEL = \"sl\"\r\nSHORTCUTNAME = \"sn\"\r\nSHORTCUTLINK = \"sk\"\r\nSHORTCUTFOLDER = \"sf\"\r\n"
    "SHORTCUTPARAM = \"sp\"\r\nSAVEFOLDER = \"sv\"\r\nSAVEDATA = \"sd\"\r\nOPTIONTITLE = \"o\"\r\nMAKEFOLDER "
    "= \"mf\"\r\n"
    "BACK \"B.EPA\" 0 0 NORMAL\r\n"
    "DXDISC = 2\r\nDXMESSAGE = \"dm\"\r\nDXPLACE = \"dp\"\r\nBRANDNAME = \"bn\"\r\nBRANDFOLDER = \"bf\"\r\n";

TEST_F(SetupModelTest, LaterResetClearsAllButKeyFileAndDiscNum)
{
    ASSERT_EQ(1, Load(FullScript));
    SetupScriptRecord& s = SetupScript;
    s.ScreenElements[0].ImagePixels = static_cast<uint8_t*>(malloc(16));
    s.ScreenElements[0].UnderPixels = static_cast<uint8_t*>(malloc(16));
    s.InstallOption = 8;
    s.AppMode = ModeInstall;
    ResetSetupScript();

    for (const ExecStep& step : s.EXEC) {
        EXPECT_EQ(0, step.Code);
        EXPECT_EQ(nullptr, step.ArgumentText);
    }
    EXPECT_EQ(nullptr, GetFileListEntry(0, 0));
    EXPECT_EQ(nullptr, GetFileListEntry(0, 1));
    EXPECT_EQ(0u, s.DiscFiles[0][0].ByteSize);
    EXPECT_EQ(0u, s.DiscFiles[0][0].OptionMask);
    EXPECT_STREQ("", s.DiscFiles[0][1].Digest);     // digests go with their files
    EXPECT_EQ(KindFree, s.ScreenElements[0].Kind);  // and pictures with their script
    EXPECT_STREQ("", s.ScreenElements[0].ImageFile);
    EXPECT_EQ(nullptr, s.ScreenElements[0].ImagePixels);
    for (const char* text : {s.DISCLABEL[0], s.DISCNAME[0], s.APPLITITLE, s.SUBTITLE, s.EXENAME,
             s.MUSTMAKEFOLDER, s.REGADDRESS, s.SHORTCUTLABEL[0], s.SHORTCUTNAME[0], s.SHORTCUTLINK[0],
             s.SHORTCUTFOLDER[0], s.SHORTCUTPARAM[0], s.SAVEFOLDER, s.SAVEDATA[0], s.OPTIONTITLE[0],
             s.MAKEFOLDER[0], s.DXMESSAGE, s.DXPLACE, s.BRANDNAME, s.BRANDFOLDER})
        EXPECT_STREQ("", text);
    EXPECT_EQ(0u, s.DXDISC[0]);

    EXPECT_STREQ("K1", s.KEYFILE[0]);
    EXPECT_STREQ("K2", s.KEYFILE[1]);
    EXPECT_EQ(2u, s.DISCNUM);
    EXPECT_EQ(8u, s.InstallOption);
    EXPECT_EQ(static_cast<uint32_t>(ModeInstall), s.AppMode);
    EXPECT_EQ(1, s.ModelReady);
}

TEST_F(SetupModelTest, AReloadedScriptStartsItsTablesAfresh)
{
    ASSERT_EQ(1, Load(FullScript));
    ResetSetupScript();
    ASSERT_EQ(1, Load("KEYFILE = \"NEW1\"\r\nFILE = \"c\" 1 8 1\r\nWRITE \"W.EPA\" 0 0 0 NORMAL\r\n"));
    EXPECT_STREQ("NEW1", SetupScript.KEYFILE[0]);
    EXPECT_STREQ("K2", SetupScript.KEYFILE[1]);
    EXPECT_EQ("c", Name(1, 0));
    EXPECT_STREQ("", SetupScript.DiscFiles[0][0].Digest);  // not the old entry's digest
    EXPECT_EQ(KindWrite, SetupScript.ScreenElements[0].Kind);
    EXPECT_EQ(KindFree, SetupScript.ScreenElements[1].Kind);
}

TEST_F(SetupModelTest, FirstResetAlsoClearsKeyFile)
{
    ASSERT_EQ(1, Load(FullScript));
    SetupScript.ModelReady = 0;
    ResetSetupScript();
    EXPECT_STREQ("", SetupScript.KEYFILE[0]);
    EXPECT_EQ(1, SetupScript.ModelReady);
    EXPECT_EQ(2u, SetupScript.DISCNUM);
}

TEST_F(SetupModelTest, GetFileListEntryStopsAtTheTableBounds)
{
    ASSERT_EQ(1, Load("FILELIST DISC10 = \"z\"\r\n"));
    EXPECT_STREQ("z", GetFileListEntry(9, 0));
    EXPECT_EQ(nullptr, GetFileListEntry(9, 1));
    EXPECT_EQ(nullptr, GetFileListEntry(10, 0));
    EXPECT_EQ(nullptr, GetFileListEntry(-1, 0));
    EXPECT_EQ(nullptr, GetFileListEntry(0, MaxFilesPerDisc));
    EXPECT_EQ(nullptr, GetFileListEntry(0, -1));
}

TEST_F(SetupModelTest, ReleaseElementImagesKeepsTheScriptValues)
{
    ASSERT_EQ(1, Load("SPRITE1 \"S.EPA\" 32 1 2 3 4 5 6 7 NORMAL\r\n"));
    ScreenElement& e = SetupScript.ScreenElements[0];
    e.ImagePixels = static_cast<uint8_t*>(malloc(64));
    e.UnderPixels = static_cast<uint8_t*>(malloc(64));
    e.UnderValid = 1;
    e.State = 2;
    ReleaseElementImages();
    EXPECT_EQ(nullptr, e.ImagePixels);
    EXPECT_EQ(nullptr, e.UnderPixels);
    EXPECT_EQ(0, e.UnderValid);
    EXPECT_EQ(0, e.State);
    EXPECT_EQ(KindSprite1, e.Kind);
    EXPECT_STREQ("S.EPA", e.ImageFile);
    EXPECT_EQ(32, e.CellHeight);
    EXPECT_EQ(7, e.FrameInterval);
}

}  // namespace

// The setup data is found by the source folder alone, whose name may end in
// a 0x5C trail byte ("表" is 95 5C), and later resets keep that folder.
TEST_F(SetupModelTest, TheScriptComesFromTheSourceFolderNotTheCurrentOne)
{
    WriteText("Drubel.ini", "APPLITITLE = \"current\"\r\n");
    const std::string folder = dir.Path + "/\x95\x5C";
    ASSERT_TRUE(MakeFolder(folder));
    const std::string script = "APPLITITLE = \"source\"\r\n";
    std::vector<uint8_t> archive;
    std::string error;
    ASSERT_TRUE(PakBuild({{"Drubel.ini", std::vector<uint8_t>(script.begin(), script.end())}}, false,
                         &archive, &error));
    WriteBytes(folder + "/Instdata.pak", archive);
    ASSERT_TRUE(CopyText(SetupScript.SourceFolder, (folder + "\\").c_str()));

    ResetSetupScript();
    ASSERT_EQ(1, LoadSetupScript());
    EXPECT_STREQ("source", SetupScript.APPLITITLE);
    char path[PathWidth];
    ASSERT_TRUE(SourcePath(path, "TITLE.EPA"));
    EXPECT_EQ(folder + "\\TITLE.EPA", path);
    EXPECT_EQ(folder + "\\", SetupScript.SourceFolder);

    char tight[8];
    EXPECT_FALSE(SourcePath(tight, "TITLE.EPA"));
    EXPECT_STREQ("", tight);
}

#include "archive/pak_writer.h"
#include "check/check_script.h"
#include "image/epa_encode.h"
#include "script/setup_model.h"
#include "shared/cli.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>

namespace {

std::vector<uint8_t> Picture(uint32_t w, uint32_t h)
{
    std::vector<uint8_t> pixels(static_cast<size_t>(w) * h * 4, 0x80), epa;
    std::string error;
    EXPECT_TRUE(EncodeEpa(pixels.data(), w, h, 0, &epa, &error)) << error;
    return epa;
}

class CheckCommandTest : public ::testing::Test {
protected:
    TempDir dir;
    ScopedCurrentDir cwd {dir.Path};

    CheckReport Check(const std::string& script, const std::string& archive = "")
    {
        WriteText("script.ini", script);
        CheckReport report;
        std::string error;
        EXPECT_TRUE(CheckSetupScript({"script.ini", archive, {}, nullptr}, &report, &error)) << error;
        return report;
    }

    static int Run(std::vector<std::string> args)
    {
        std::vector<char*> argv;
        for (std::string& a : args)
            argv.push_back(&a[0]);
        argv.push_back(nullptr);
        return RunCheckCommand(static_cast<int>(args.size()), argv.data());
    }

    // Each member a 40 x 40 EPA picture, or the bytes `raw` gives it.
    static void WriteArchive(const std::string& path, const std::vector<std::string>& names,
        const std::string& script = "", const std::map<std::string, std::vector<uint8_t>>& raw = {})
    {
        std::vector<PakMemberData> members;
        for (const std::string& name : names) {
            const auto given = raw.find(name);
            members.push_back({name, given != raw.end() ? given->second : Picture(40, 40)});
        }
        if (!script.empty())
            members.push_back({"Drubel.ini", std::vector<uint8_t>(script.begin(), script.end())});
        std::vector<uint8_t> bytes;
        std::string error;
        ASSERT_TRUE(PakBuild(members, false, &bytes, &error)) << error;
        WriteBytes(path, bytes);
    }
};

// Every message, as "LINE severity: text", for failure output.
std::string Describe(const CheckReport& r)
{
    static const char* const Names[] = {" warning: ", " error: ", " note: "};
    std::string out;
    for (const CheckMessage& m : r.Messages)
        out += std::to_string(m.Line) + Names[m.Severity] + m.Text + "\n";
    return out;
}

// Warnings and errors; notes say only what was not looked at.
size_t Findings(const CheckReport& r)
{
    size_t n = 0;
    for (const CheckMessage& m : r.Messages)
        n += m.Severity != SeverityNote ? 1 : 0;
    return n;
}

bool Has(const CheckReport& r, int line, CheckSeverity severity, const char* fragment)
{
    for (const CheckMessage& m : r.Messages) {
        if (m.Line == line && m.Severity == severity && m.Text.find(fragment) != std::string::npos)
            return true;
    }
    return false;
}

const char CleanScript[] = "// A product on two discs.\r\n"
                           "APPLITITLE = \"Product\"\r\n"
                           "REGADDRESS = \"Software\\Maker\\Product\"\r\n"
                           "MUSTMAKEFOLDER = \"Product\"\r\n"
                           "BRANDFOLDER = \"Maker\\\"\r\n"
                           "DISCNUM = 2\r\n"
                           "DISCNAME = \"Disc1\" \"Disc2\"\r\n"
                           "KEYFILE = \"P1.KEY\" \"P2.KEY\"\r\n"
                           "EXEC CHANGECD = 1\r\n"
                           "MAKEFOLDER = \"data\\voice\" \"movie\"\r\n"
                           "FILELIST DISC1 = \"data\\a.dat\" \"movie\\*.mpg\"\r\n"
                           "FILESIZE DISC1 = 100 0x200\r\n"
                           "FILEOPTION DISC1 = 0x0C 8\r\n"
                           "FILE = \"Product.exe\" 5000 0x0C 1 \"0123456789abcdef0123456789abcdef\"\r\n"
                           "FILE = \"data\\voice\\v.dat\" 5000 8 2 \"\"\r\n"
                           "SHORTCUTNAME = \"Start the product.lnk\"\r\n"
                           "SHORTCUTLINK = \"Product.exe\"\r\n"
                           "DXDISC = 2\r\n"
                           "BACK \"BACK.EPA\" 0 0 STRETCH_DESKTOP\r\n"
                           "BASE \"BASE.EPA\" 0 0 640 480 CENTER_DESKTOP\r\n"
                           "WRITE \"W.EPA\" 20 56 0\r\n"
                           "PROGRESSBAR \"BAR.EPA\" 112 440 416 0 0 100 DIRECTION_RIGHT\r\n"
                           "SPRITE2 \"S.EPA\" 40 16 8 0 0 0 INFINITE 70 1200 1800\r\n"
                           "FINISH \"F.EPA\" 120 116 NORMAL\r\n"
                           "DISCLABEL = \"PRODUCT_1\" \"PRODUCT_2\"\r\n";

TEST_F(CheckCommandTest, ASoundScriptLoadsWithoutMessages)
{
    const CheckReport r = Check(CleanScript);
    EXPECT_EQ(1, r.LoadResult);
    EXPECT_EQ(0u, Findings(r)) << Describe(r);
    EXPECT_TRUE(Has(r, 0, SeverityNote, "the pictures are not checked")) << Describe(r);
    WriteArchive("Instdata.pak",
                 {"TITLE.EPA", "LOGO.EPA", "BACK.EPA", "BASE.EPA", "W.EPA", "BAR.EPA", "S.EPA", "F.EPA"});
    const CheckReport withPictures = Check(CleanScript, "Instdata.pak");
    EXPECT_TRUE(withPictures.Messages.empty()) << Describe(withPictures);
    // Without --pak, the Instdata.pak beside the script holds the pictures.
    const CheckReport beside = Check(CleanScript);
    EXPECT_TRUE(beside.Messages.empty()) << Describe(beside);
    EXPECT_EQ(ExitOk, Run({"check", "script.ini", "--pak", "Instdata.pak"}));
}

TEST_F(CheckCommandTest, LoadFailuresNameTheirLine)
{
    const struct {
        const char* Script;
        int Line;
        const char* Reason;
    } cases[] = {
        {"APPLITITLE = \"a\"\r\nSUBTITLE \"b\"\r\n", 2, "SUBTITLE line has no '='"},
        {"\r\n\r\nDISCNUM = 0\r\n", 3, "DISCNUM must be a number above 0"},
        {"DXDISC = 2 0\r\n", 1, "a DXDISC entry is 0"},
        {"// x\nFILE = \"a\" 1,8,1 \"\"\n", 2, "names disc 0"},
        {"EXEC CHANGECD = 1, LOADINIFROMCD\r\n", 1, "EXEC line has no '='"},
        {"FILELIST DISC1 \"a\"\r\n", 1, "FILELIST line has no '='"},
    };
    for (const auto& c : cases) {
        const CheckReport r = Check(c.Script);
        EXPECT_EQ(0, r.LoadResult) << c.Script;
        EXPECT_TRUE(Has(r, c.Line, SeverityError, c.Reason)) << c.Script << Describe(r);
    }
    std::string full = "FILELIST DISC1 =";
    for (int i = 0; i < MaxFilesPerDisc; ++i)
        full += " \"f\"";
    const CheckReport r = Check(full + "\r\nFILE = \"g\" 1 8 1\r\n");
    EXPECT_EQ(0, r.LoadResult);
    EXPECT_TRUE(Has(r, 2, SeverityError, "disc 1 already lists 1024 files")) << Describe(r);
    EXPECT_EQ(ExitBadInput, Run({"check", "script.ini"}));
}

TEST_F(CheckCommandTest, HiddenAndMisspelledKeysAreNamed)
{
    const CheckReport r =
        Check("\xEF\xBB\xBF"
              "APPLITITLE = \"a\"\r\ndiscnum = 2\r\n DISCNAME = \"x\"\r\n"
              "TITLE = \"x\"\r\nFILENAME = \"x\" 1 8 1\r\nWriting notes without slashes\r\n");
    EXPECT_EQ(1, r.LoadResult);
    EXPECT_TRUE(Has(r, 1, SeverityError, "UTF-8 with a byte-order mark")) << Describe(r);
    EXPECT_TRUE(Has(r, 2, SeverityError, "upper case only (write DISCNUM)")) << Describe(r);
    EXPECT_TRUE(Has(r, 3, SeverityError, "begins with a blank")) << Describe(r);
    EXPECT_TRUE(Has(r, 4, SeverityError, "no such key")) << Describe(r);
    EXPECT_TRUE(Has(r, 5, SeverityWarning, "'FILENAME' as the key FILE")) << Describe(r);
    for (const CheckMessage& m : r.Messages)
        EXPECT_NE(6, m.Line) << m.Text;  // prose is not taken for a key
}

TEST_F(CheckCommandTest, TextsAndListsThatLoseTheirValue)
{
    const CheckReport r = Check("DISCNUM = 1\r\nDISCNAME = \"d\"\r\nKEYFILE = \"k\"\r\n"
                                "APPLITITLE = Unquoted\r\n"
                                "SUBTITLE = \"cut, here\"\r\n"
                                "EXENAME = \"" +
        std::string(70, 'e') +
        "\"\r\n"
        "OPTIONTITLE = \"1\" \"2\" \"3\" \"4\"\r\n"
        "SAVEDATA = \"a b\" \"c\"\r\n"
        "SHORTCUTNAME = \"a.lnk\", \"b.lnk\"\r\n"
        "MAKEFOLDER = \"m\" noquotes\r\n");
    EXPECT_EQ(1, r.LoadResult);
    EXPECT_TRUE(Has(r, 4, SeverityWarning, "'Unquoted' is not in double quotes")) << Describe(r);
    EXPECT_TRUE(Has(r, 5, SeverityWarning, "cannot hold a comma")) << Describe(r);
    EXPECT_TRUE(Has(r, 6, SeverityWarning, "keeps only its first 63 bytes")) << Describe(r);
    EXPECT_TRUE(Has(r, 7, SeverityWarning, "OPTIONTITLE holds 3 items")) << Describe(r);
    EXPECT_TRUE(Has(r, 8, SeverityWarning, "a blank inside a quoted item")) << Describe(r);
    EXPECT_TRUE(Has(r, 9, SeverityWarning, "a comma between the items ends the list")) << Describe(r);
    EXPECT_TRUE(Has(r, 10, SeverityWarning, "'noquotes' is not in double quotes")) << Describe(r);
    size_t onLines = 0;
    for (const CheckMessage& m : r.Messages)
        onLines += m.Line >= 4 && m.Line <= 10 && m.Text.find("is no file the installation") == std::string::npos ? 1 : 0;
    EXPECT_EQ(7u, onLines) << Describe(r);
}

TEST_F(CheckCommandTest, DiscsFilesAndFolders)
{
    const CheckReport r =
        Check("DISCNUM = 1\r\nDISCNAME = \"d\"\r\nKEYFILE = \"k\"\r\nMAKEFOLDER = \"data\"\r\n"
              "FILELIST DISK1 = \"a\"\r\n"
              "FILELIST 2 = \"a\"\r\n"
              "FILE = \"b\" 1 8 11 \"\"\r\n"
              "FILELIST DISC1 = \"data\\ok.dat\" \"..\\up.dat\" \"other\\x.dat\" \"sp ace\"\r\n"
              "FILESIZE DISC1 = 1 2 3 4 5 6 7 8\r\n"
              "FILEOPTION DISC1 = 8 8 0\r\n"
              "FILE = \"c\" 1 8 1 \"0123456789ABCDEF0123456789ABCDEF\"\r\n"
              "FILE = \"" +
            std::string(126, 'p') +
            "\" 1 8 1\r\n"
            "FILE = \"d2\" 1 8 2\r\n");
    EXPECT_EQ(1, r.LoadResult);
    EXPECT_TRUE(Has(r, 5, SeverityError, "no known disc value ('DISK1')")) << Describe(r);
    EXPECT_TRUE(Has(r, 6, SeverityError, "the disc value '2' is not DISC1 ... DISC10")) << Describe(r);
    EXPECT_TRUE(Has(r, 7, SeverityError, "names disc 11")) << Describe(r);
    EXPECT_TRUE(Has(r, 8, SeverityWarning, "'..' segment")) << Describe(r);
    EXPECT_TRUE(Has(r, 8, SeverityError, "no MAKEFOLDER entry makes the folder 'other'")) << Describe(r);
    EXPECT_TRUE(Has(r, 8, SeverityWarning, "a blank inside a quoted file name")) << Describe(r);
    EXPECT_TRUE(Has(r, 9, SeverityWarning,
        "FILESIZE DISC1 has more values than DISC1 has files: the values from number 8 on"))
        << Describe(r);
    EXPECT_TRUE(Has(r, 10, SeverityWarning, "shares no bit with the install options")) << Describe(r);
    EXPECT_TRUE(Has(r, 8, SeverityWarning, "no FILEOPTION value for 'sp ace'")) << Describe(r);
    EXPECT_TRUE(Has(r, 11, SeverityWarning, "is not 32 lower-case hexadecimal digits")) << Describe(r);
    EXPECT_TRUE(Has(r, 12, SeverityWarning, "the copy handles paths of at most 127 bytes")) << Describe(r);
    EXPECT_TRUE(Has(r, 13, SeverityError, "disc 2 lists files but DISCNUM is 1")) << Describe(r);
    EXPECT_TRUE(Has(r, 3, SeverityWarning, "disc 2 has no KEYFILE")) << Describe(r);
    EXPECT_TRUE(Has(r, 2, SeverityWarning, "disc 2 has no DISCNAME")) << Describe(r);
}

TEST_F(CheckCommandTest, ASizeBeyond64BitsIsAnErrorAndLargeSizesAreDumpedWhole)
{
    const CheckReport r = Check("DISCNUM = 1\r\nFILELIST DISC1 = \"a\" \"b\"\r\n"
                                "FILESIZE DISC1 = 5000000000 18446744073709551616\r\n"
                                "FILE = \"c\" 0x1FFFFFFFFFFFFFFFF 8 1\r\n");
    EXPECT_FALSE(Has(r, 3, SeverityError, "'5000000000'")) << Describe(r);
    EXPECT_TRUE(Has(r, 3, SeverityError, "the size '18446744073709551616' does not fit 64 bits"))
        << Describe(r);
    EXPECT_TRUE(Has(r, 4, SeverityError, "does not fit 64 bits")) << Describe(r);

    testing::internal::CaptureStdout();
    Run({"check", "script.ini", "--dump"});
    const std::string json = testing::internal::GetCapturedStdout();
    EXPECT_NE(std::string::npos, json.find("\"ByteSize\": 5000000000,")) << json;
    EXPECT_NE(std::string::npos, json.find("\"ByteSize\": 18446744073709551615,")) << json;
}

TEST_F(CheckCommandTest, StepsAndPictures)
{
    WriteArchive("Instdata.pak", {"BACK.EPA", "PNG.EPA"}, "", {{"PNG.EPA", {0x89, 'P', 'N', 'G', 13, 10}}});
    const CheckReport r = Check("DISCNUM = 1\r\nDISCNAME = \"d\"\r\nKEYFILE = \"k\"\r\n"
                                "EXEC CHANGECD = 0, BOGUS = 1\r\n"
                                "BACK \"BACK.EPA\" 0 0\r\n"
                                "BASE \"NONE.EPA\" 0 0 640 480 CENTER_DESKTOP\r\n"
                                "WRITE \"BACK.EPA\" 1,2 3\r\n"
                                "PROGRESSBAR \"BACK.EPA\" 0 0 10 10 0 100 DIRECTION_DOWN\r\n"
                                "ELEMENT \"BACK.EPA\" 0 0 0 STRECH 0\r\n"
                                "WRITE \"BACK.EPA\" 0 0 0 // scene one\r\n"
                                "WRITE \"PNG.EPA\" 0 0 0\r\n",
        "Instdata.pak");
    EXPECT_EQ(1, r.LoadResult);
    EXPECT_TRUE(Has(r, 4, SeverityWarning, "CHANGECD with disc 0")) << Describe(r);
    EXPECT_TRUE(Has(r, 4, SeverityWarning, "'BOGUS' is not an EXEC command")) << Describe(r);
    EXPECT_TRUE(Has(r, 5, SeverityWarning, "ends after 2 of the 3 values of BACK")) << Describe(r);
    EXPECT_TRUE(Has(r, 5, SeverityWarning, "draws nothing")) << Describe(r);
    EXPECT_TRUE(Has(r, 6, SeverityError, "the BASE picture 'NONE.EPA' is not in the archive")) << Describe(r);
    EXPECT_TRUE(Has(r, 7, SeverityWarning, "',2' is glued to the value")) << Describe(r);
    for (const CheckMessage& m : r.Messages)
        EXPECT_FALSE(m.Line == 8 && m.Text.find("draws nothing") != std::string::npos) << m.Text;
    EXPECT_TRUE(Has(r, 0, SeverityError, "holds no 'TITLE.EPA': the launcher ends at once")) << Describe(r);
    EXPECT_TRUE(Has(r, 0, SeverityError, "holds no 'LOGO.EPA'")) << Describe(r);
    EXPECT_TRUE(Has(r, 11, SeverityError, "'PNG.EPA' is a PNG file, not an EPA picture")) << Describe(r);
    EXPECT_TRUE(Has(r, 9, SeverityWarning, "'STRECH' is neither a number nor a known name")) << Describe(r);
    EXPECT_TRUE(Has(r, 10, SeverityWarning, "'//' starts a comment only at the start of a line")) << Describe(r);
}

TEST_F(CheckCommandTest, ScriptsNotInCodePage932AreRefusedWithTheHintToBuild)
{
    const struct {
        std::string Bytes;
        int Line;
        const char* Fragment;
    } cases[] = {
        {std::string("DISCNUM = 1\r\n") + u8"APPLITITLE = \"星霜\"\r\n", 2, "the script is UTF-8: "},
        {std::string("\xFF\xFE" "D\0I\0", 6), 1, "the script is UTF-16"},
        {std::string("D\0I\0S\0", 6), 1, "the script is UTF-16"},
    };
    for (const auto& c : cases) {
        const CheckReport r = Check(c.Bytes);
        EXPECT_TRUE(Has(r, c.Line, SeverityError, c.Fragment)) << Describe(r);
        EXPECT_TRUE(Has(r, c.Line, SeverityError, "let 'drubelkit build' convert it")) << Describe(r);
    }
    // Shift-JIS is no UTF-8.
    EXPECT_FALSE(Has(Check("DISCNUM = 1\r\nAPPLITITLE = \"星霜のアルカディア\"\r\n"), 2, SeverityError, "UTF-8"));
}

TEST_F(CheckCommandTest, DiscFoldersAndStrictness)
{
    MakeFolder("d1");
    MakeFolder("d2");
    WriteText("d1/P1.KEY", "1");
    WriteText("d1/Product.exe", std::string(5000, 'x'));
    MakeFolder("d1/data");
    WriteText("d1/data/a.dat", std::string(100, 'a'));
    WriteText("d2/P2.KEY", "2");
    WriteArchive("Instdata.pak",
                 {"TITLE.EPA", "LOGO.EPA", "BACK.EPA", "BASE.EPA", "W.EPA", "BAR.EPA", "S.EPA", "F.EPA"});
    WriteText("script.ini", CleanScript);
    // Disc 1 lacks movie\*.mpg, Product.exe has another digest, disc 2 lacks
    // the voice and (in a second run) its marker.
    const CheckReport r = [&] {
        CheckReport report;
        std::string error;
        EXPECT_TRUE(CheckSetupScript({"script.ini", "Instdata.pak", {"d1", "d2"}, nullptr}, &report, &error));
        return report;
    }();
    EXPECT_TRUE(Has(r, 11, SeverityError, "holds no file that matches 'movie\\*.mpg'")) << Describe(r);
    EXPECT_TRUE(Has(r, 14, SeverityError, "but the FILE line says '0123456789abcdef")) << Describe(r);
    EXPECT_TRUE(Has(r, 15, SeverityError, "disc 2 (d2) does not hold 'data\\voice\\v.dat'")) << Describe(r);
    remove("d2/P2.KEY");
    testing::internal::CaptureStderr();
    EXPECT_EQ(ExitBadInput, Run({"check", "script.ini", "--pak", "Instdata.pak", "--disc", "d1", "d2"}));
    const std::string messages = testing::internal::GetCapturedStderr();
    EXPECT_NE(std::string::npos, messages.find("script.ini:8: error: disc 2 (d2) does not hold its KEYFILE 'P2.KEY'"))
        << messages;

    // Warnings alone pass, unless --strict.
    WriteText("warn.ini", std::string(CleanScript) + "EXENAME = \"nothere.exe\"\r\n");
    testing::internal::CaptureStderr();
    EXPECT_EQ(ExitOk, Run({"check", "warn.ini", "--pak", "Instdata.pak"}));
    EXPECT_EQ(ExitBadInput, Run({"check", "--strict", "warn.ini", "--pak", "Instdata.pak"}));
    testing::internal::GetCapturedStderr();
}

TEST_F(CheckCommandTest, AnOpenDigestEndsTheReading)
{
    const CheckReport r = Check("DISCNUM = 1\r\nFILE = \"a\" 1 8 1 \"0123\r\nlowercase = \"x\"\r\n");
    EXPECT_EQ(1, r.LoadResult);
    EXPECT_TRUE(Has(r, 2, SeverityError, "stops reading the script here")) << Describe(r);
    for (const CheckMessage& m : r.Messages)
        EXPECT_NE(3, m.Line) << m.Text;
}

TEST_F(CheckCommandTest, EveryCheckStartsFromAFreshModel)
{
    const CheckReport first = Check("DISCNUM = 2\r\nKEYFILE = \"a\" \"b\"\r\nDISCNAME = \"a\" \"b\"\r\n"
                                    "REGADDRESS = \"Software\\a\"\r\nDISCLABEL = \"A\" \"B\"\r\n");
    EXPECT_EQ(0u, Findings(first)) << Describe(first);
    const CheckReport second = Check("APPLITITLE = \"x\"\r\n");
    EXPECT_TRUE(Has(second, 0, SeverityWarning, "there is no DISCNUM line")) << Describe(second);
    EXPECT_STREQ("", SetupScript.KEYFILE[0]);
}

TEST_F(CheckCommandTest, UsageAndInputs)
{
    // No script: Drubel.ini of the current folder.
    EXPECT_EQ(ExitBadInput, Run({"check"}));
    WriteText("Drubel.ini", "DISCNUM = 4\r\n");
    Run({"check"});
    EXPECT_EQ(4u, SetupScript.DISCNUM);
    EXPECT_EQ(ExitUsage, Run({"check", "a.ini", "b.ini"}));
    EXPECT_EQ(ExitUsage, Run({"check", "a.ini", "--disc"}));
    testing::internal::CaptureStderr();
    EXPECT_EQ(ExitUsage, Run({"check", "--frobnicate", "a.ini"}));
    EXPECT_NE(std::string::npos, testing::internal::GetCapturedStderr().find("unknown option '--frobnicate'"));
    EXPECT_EQ(ExitOk, Run({"check", "--help"}));
    EXPECT_EQ(ExitBadInput, Run({"check", "missing.ini"}));
    EXPECT_EQ(ExitBadInput, Run({"check", "--pak", "missing.pak"}));
    // Only an archive: the script comes out of it, as the launcher reads it.
    WriteArchive("only.pak", {"X.EPA"}, "DISCNUM = 3\r\n");
    EXPECT_EQ(ExitBadInput, Run({"check", "--pak", "only.pak"}));  // no TITLE.EPA, no REGADDRESS
    EXPECT_EQ(3u, SetupScript.DISCNUM);
    WriteArchive("noscript.pak", {"X.EPA"});
    EXPECT_EQ(ExitBadInput, Run({"check", "--pak", "noscript.pak"}));
}

TEST_F(CheckCommandTest, DumpPrintsTheModelAsJson)
{
    WriteText("script.ini",
        "DISCNUM = 2\r\nAPPLITITLE = \"星 \xA0\"\r\nEXEC POPUPMESSAGE = 1, LOADINIFROMHD = \"dir\"\r\n"
        "FILELIST DISC2 = \"data\\a.dat\"\r\nFILESIZE DISC2 = 0x10\r\n"
        "SPRITE2 \"S.EPA\" 40 -1 2 3 4 5 INFINITE 6 7 8 NORMAL\r\nDXDISC = 2\r\n");
    testing::internal::CaptureStdout();
    const int status = Run({"check", "script.ini", "--dump"});
    const std::string json = testing::internal::GetCapturedStdout();
    EXPECT_EQ(ExitBadInput, status);  // it loads, but nothing makes the folder data
    EXPECT_NE(std::string::npos, json.find("\"result\": 1,")) << json;
    EXPECT_NE(std::string::npos, json.find("\"DISCNUM\": 2,")) << json;
    EXPECT_NE(std::string::npos, json.find(std::string("\"APPLITITLE\": \"") + u8"星" + " \\\\xA0\""))
        << json;
    EXPECT_NE(std::string::npos, json.find("{\"Code\": -2147483647, \"Argument\": 1}")) << json;
    EXPECT_NE(std::string::npos, json.find("{\"Code\": 3, \"Argument\": \"dir\"}")) << json;
    EXPECT_NE(std::string::npos,
        json.find("[],\n    [\n      {\"Name\": \"data\\\\a.dat\", \"ByteSize\": 16, \"OptionMask\": 0, "
                  "\"Digest\": \"\"}\n    ],"))
        << json;
    EXPECT_NE(std::string::npos, json.find("\"End\": -1,")) << json;
    EXPECT_NE(std::string::npos, json.find("\"FirstFrameTime\": 8,")) << json;
    EXPECT_NE(std::string::npos, json.find("\"DXDISC\": [2, 0, 0, 0, 0, 0, 0, 0, 0, 0],")) << json;
    EXPECT_NE(std::string::npos,
        json.find("\"DISCLABEL\": [\"\", \"\", \"\", \"\", \"\", \"\", \"\", \"\", \"\", \"\"],"))
        << json;

    // A refused script is dumped too, with what was stored before the failure.
    WriteText("script.ini", "APPLITITLE = \"kept\"\r\nDISCNUM = 0\r\n");
    testing::internal::CaptureStdout();
    EXPECT_EQ(ExitBadInput, Run({"check", "--dump", "script.ini"}));
    const std::string refused = testing::internal::GetCapturedStdout();
    EXPECT_NE(std::string::npos, refused.find("\"result\": 0,")) << refused;
    EXPECT_NE(std::string::npos, refused.find("\"APPLITITLE\": \"kept\"")) << refused;
    EXPECT_NE(std::string::npos, refused.find("\"ScreenElements\": [],")) << refused;
}

}  // namespace

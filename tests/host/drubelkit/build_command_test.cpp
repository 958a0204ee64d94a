// `drubelkit build` on one small product, and one variant of it per finding
// of the full check that ends every build.
#include "script/script_lexer.h"
#include "shared/cli.h"
#include "shared/host_files.h"
#include "shared/png_io.h"
#include "support/md5_hex.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <dirent.h>
#include <functional>
#include <map>

namespace {

// The product's script is UTF-8 (u8 literals; plain ones are code page 932).
const std::vector<std::string> ProductScript = {
    u8"// product of the build tests",                                          // 1
    u8"APPLITITLE = \"テスト\"",                                                // 2
    "EXENAME = \"game.exe\"",                                                   // 3
    "MUSTMAKEFOLDER = \"Test\"",                                                // 4
    "REGADDRESS = \"Software\\Maker\\Test\"",                                   // 5
    "BRANDFOLDER = \"Maker\\\"",                                                // 6
    "SAVEFOLDER = \"save\"",                                                    // 7
    "DISCNUM = 2",                                                              // 8
    "DISCNAME = \"D1\" \"D2\"",                                                 // 9
    "KEYFILE = \"T1.KEY\" \"T2.KEY\"",                                          // 10
    "MAKEFOLDER = \"data\" \"v\" \"uninst\"",                                   // 11
    "FILELIST DISC1 = \"game.exe\" \"data\\a.dat\" \"uninst\\Drubel.exe\" \"uninst\\Drubel.ini\" "
    "\"uninst\\Instdata.pak\"",                                                 // 12
    "FILESIZE DISC1 = @SIZE:game.exe@ @SIZE:data\\a.dat@ @SIZE:uninst\\Drubel.exe@ "
    "@SIZE:uninst\\Drubel.ini@ @SIZE:uninst\\Instdata.pak@",                    // 13
    "FILEOPTION DISC1 = 8 8 8 8 8",                                             // 14
    "FILE = \"data\\b.dat\" @SIZE:data\\b.dat@ 8 1 \"@MD5:data\\b.dat@\"",      // 15
    "FILELIST DISC2 = \"v\\*.vce\"",                                            // 16
    "FILESIZE DISC2 = @SIZE:v\\*.vce@",                                         // 17
    "FILEOPTION DISC2 = 8",                                                     // 18
    "SHORTCUTNAME = \"Game.lnk\" \"Uninstall.lnk\"",                            // 19
    "SHORTCUTLINK = \"game.exe\" \"Drubel.exe\"",                               // 20
    "SHORTCUTFOLDER = \"\" \"uninst\"",                                         // 21
    "DXDISC = 2",                                                               // 22
    "DXPLACE = \"dx\\setup.exe\"",                                              // 23
    "BASE \"BASE.EPA\" 0 0 64 48 NORMAL",                                       // 24
    "WRITE \"W.EPA\" 0 0 0",                                                    // 25
    "SPRITE1 \"S.EPA\" 10 0 30 40 0 0 100 90",                                  // 26
    "DISCLABEL = \"TEST_1\" \"TEST_2\"",                                          // 27
};

int RunBuild(std::vector<std::string> args)
{
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(&a[0]);
    argv.push_back(nullptr);
    return RunBuildCommand(static_cast<int>(args.size()), argv.data());
}

class BuildCommandTest : public ::testing::Test {
protected:
    TempDir dir;
    ScopedCurrentDir cwd {dir.Path};
    const std::vector<uint8_t> Launcher = {'M', 'Z', 'l', 'a', 'u', 'n', 'c', 'h'};

    void SetUp() override { MakeProduct(); }

    void MakeProduct()
    {
        RemoveTree(dir / "product");
        RemoveTree(dir / "out");
        for (const char* folder : {"product", "product/disc1", "product/disc1/data", "product/disc2",
                                   "product/disc2/v", "product/disc2/dx", "product/art"})
            MakeFolder(folder);
        WriteBytes("Drubel.exe", Launcher);
        WriteBytes("product/disc1/game.exe", PatternBytes(3000, 1));
        WriteBytes("product/disc1/data/a.dat", PatternBytes(5000, 2));
        WriteBytes("product/disc1/data/b.dat", PatternBytes(777, 3));
        WriteBytes("product/disc2/v/1.vce", PatternBytes(300, 4));
        WriteBytes("product/disc2/v/2.vce", PatternBytes(200, 5));
        WriteBytes("product/disc2/dx/setup.exe", PatternBytes(100, 6));
        const struct {
            const char* Name;
            uint32_t W, H;
        } art[] = {{"TITLE", 32, 32}, {"logo", 40, 10}, {"BASE", 64, 48}, {"W", 16, 16}, {"S", 8, 20}};
        for (const auto& a : art) {
            std::vector<uint8_t> png, pixels(static_cast<size_t>(a.W) * a.H * 4, 0xFF);
            std::string error;
            ASSERT_TRUE(WritePng(a.W, a.H, pixels.data(), &png, &error)) << error;
            WriteBytes(std::string("product/art/") + a.Name + ".png", png);
        }
    }

    // Builds the product with `script`; the messages go to `messages`.
    int Build(const std::vector<std::string>& script, std::string* messages, const std::string& bom = "")
    {
        std::string text = bom;
        for (const std::string& line : script)
            text += line + "\n";
        WriteText("product/Drubel.ini", text);
        testing::internal::CaptureStderr();
        testing::internal::CaptureStdout();
        const int status = RunBuild({"build", "product", "-o", "out", "--launcher", "Drubel.exe"});
        testing::internal::GetCapturedStdout();
        *messages = testing::internal::GetCapturedStderr();
        return status;
    }
};

std::string Text(const std::vector<uint8_t>& bytes) { return std::string(bytes.begin(), bytes.end()); }

TEST_F(BuildCommandTest, TheProductBecomesCheckedDiscs)
{
    std::string messages;
    ASSERT_EQ(ExitOk, Build(ProductScript, &messages, "\xEF\xBB\xBF")) << messages;
    EXPECT_NE(std::string::npos, messages.find("0 errors, 0 warnings")) << messages;

    // Disc 1: the launcher, the script in code page 932 with CR LF, the archive.
    EXPECT_EQ(Launcher, ReadBytes("out/disc1/Drubel.exe"));
    const std::string script = Text(ReadBytes("out/disc1/Drubel.ini"));
    EXPECT_EQ(0u, script.find("// product of the build tests\r\nAPPLITITLE = \"テスト\"\r\n")) << script;
    EXPECT_NE(std::string::npos, script.find("FILESIZE DISC2 = 500\r\n")) << script;
    EXPECT_NE(std::string::npos,
              script.find("FILE = \"data\\b.dat\" 777 8 1 \"" + Md5Hex(PatternBytes(777, 3)) + "\"\r\n"));
    // The uninst\ copies are the final files, and the script lists their sizes.
    EXPECT_EQ(Launcher, ReadBytes("out/disc1/uninst/Drubel.exe"));
    EXPECT_EQ(script, Text(ReadBytes("out/disc1/uninst/Drubel.ini")));
    const std::vector<uint8_t> archive = ReadBytes("out/disc1/Instdata.pak");
    EXPECT_EQ(archive, ReadBytes("out/disc1/uninst/Instdata.pak"));
    EXPECT_NE(std::string::npos,
              script.find("FILESIZE DISC1 = 3000 5000 8 " + std::to_string(script.size()) + " " +
                          std::to_string(archive.size()) + "\r\n"))
        << script;
    // Each disc's marker, and the disc files as they were.
    EXPECT_TRUE(FileExists("out/disc1/T1.KEY"));
    EXPECT_TRUE(FileExists("out/disc2/T2.KEY"));
    EXPECT_EQ(PatternBytes(300, 4), ReadBytes("out/disc2/v/1.vce"));
    // Nothing is left beside the output.
    std::vector<std::string> names;
    if (DIR* folder = opendir(".")) {
        while (const dirent* e = readdir(folder))
            names.push_back(e->d_name);
        closedir(folder);
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(std::vector<std::string>({".", "..", "Drubel.exe", "out", "product"}), names);

    // A second build replaces the first.
    ASSERT_EQ(ExitOk, Build(ProductScript, &messages)) << messages;
    EXPECT_EQ(script, Text(ReadBytes("out/disc1/Drubel.ini")));
}

// One change of the product per finding: the line it is reported on, its
// severity and the exit status of the build.
TEST_F(BuildCommandTest, EveryFindingIsCaughtOnItsLine)
{
    struct Variant {
        int Replace;             // the line replaced (1-based), 0: `Line` is added at the end
        const char* Line;
        int Expected;            // the line of the finding (0: the script as a whole)
        const char* Severity;    // "error" or "warning"
        const char* Fragment;
        int Status;
        std::function<void()> Change = {};  // to the product's files
    };
    const std::vector<Variant> variants = {
        // What the launcher refuses or ignores.
        {8, "DISCNUM = 0", 8, "error", "DISCNUM must be a number above 0", ExitBadInput},
        {0, "PROGRESBAR \"W.EPA\" 0 0 16 0 0 100 DIRECTION_RIGHT", 28, "error", "did you mean PROGRESSBAR?",
         ExitBadInput},
        {0, "SPRITE3 \"S.EPA\" 10 0 0 0 0 0 100 90", 28, "error", "did you mean SPRITE1?", ExitBadInput},
        {2, u8"APLITITLE = \"テスト\"", 2, "error", "did you mean APPLITITLE?", ExitBadInput},
        {4, "MUSTMAKEFOLDER = \"..\\Test\"", 4, "error", "MUSTMAKEFOLDER '..\\Test' is not a plain folder",
         ExitBadInput},
        {6, "BRANDFOLDER = \"C:\\Maker\\\"", 6, "error", "BRANDFOLDER 'C:\\Maker\\' is not a plain folder",
         ExitBadInput},
        {7, "SAVEFOLDER = \".\"", 7, "error", "SAVEFOLDER '.' is not a plain folder", ExitBadInput},
        {5, "REGADDRESS = \"Maker\\Test\"", 5, "error", "is not below 'Software\\'", ExitBadInput},
        {13, "FILESIZE DISC1 = 3000 99999999999999999999 0 0 0", 13, "error", "does not fit 64 bits",
         ExitBadInput},
        // What breaks an installation.
        {11, "MAKEFOLDER = \"v\" \"uninst\"", 12, "error", "no MAKEFOLDER entry makes the folder 'data'",
         ExitBadInput},
        {12, "FILELIST DISC1 = \"game.exe\" \"\" \"uninst\\Drubel.exe\" \"uninst\\Drubel.ini\" "
             "\"uninst\\Instdata.pak\"",
         12, "error", "file 2 of disc 1 has an empty name", ExitBadInput},
        {0, "FILE = \"data\\c.dat\" 1 8 3 \"\"", 28, "error", "disc 3 lists files but DISCNUM is 2",
         ExitBadInput},
        {0, "SPRITE2 \"S.EPA\" 0 0 0 0 0 0 100 90 90 90", 28, "error", "the cell height of SPRITE2 'S.EPA' is 0",
         ExitBadInput},
        {26, "SPRITE1 \"S.EPA\" -4 0 30 40 0 0 100 90", 26, "error", "is -4", ExitBadInput},
        {26, "SPRITE1 \"S.EPA\" 30 0 30 40 0 0 100 90", 26, "error", "taller than its picture (20 rows)",
         ExitBadInput},
        {26, "SPRITE1 \"S.EPA\" 6 0 30 40 0 0 100 90", 26, "error", "does not divide its picture's 20 rows",
         ExitBadInput},
        {25, "WRITE \"NONE.EPA\" 0 0 0", 25, "error", "the WRITE picture 'NONE.EPA' is not in the archive",
         ExitBadInput},
        {0, "", 0, "error", "holds no 'LOGO.EPA'", ExitBadInput, [] { remove("product/art/logo.png"); }},
        {0, "", 0, "error", "holds no 'TITLE.EPA'", ExitBadInput, [] { remove("product/art/TITLE.png"); }},
        // What the discs hold against what the script says.
        {13, "FILESIZE DISC1 = 3000 1 @SIZE:uninst\\Drubel.exe@ @SIZE:uninst\\Drubel.ini@ "
             "@SIZE:uninst\\Instdata.pak@",
         13, "error", "the size of 'data\\a.dat' is 5000 bytes on disc 1, but the script says 1", ExitBadInput},
        {15, "FILE = \"data\\b.dat\" 777 8 1 \"0123456789abcdef0123456789abcdef\"", 15, "error",
         "but the FILE line says '0123456789abcdef0123456789abcdef'", ExitBadInput},
        {16, "FILELIST DISC2 = \"v\\*.ogg\"", 16, "error", "holds no file that matches 'v\\*.ogg'", ExitBadInput},
        {17, "FILESIZE DISC2 = 499", 17, "error", "is 500 bytes on disc 2, but the script says 499", ExitBadInput},
        {23, "DXPLACE = \"dx\\other.exe\"", 23, "error", "DXPLACE 'dx\\other.exe' is not on disc 2", ExitBadInput},
        {27, "DISCLABEL = \"Disc 1\" \"TEST_2\"", 27, "error",
         "DISCLABEL of disc 1, 'Disc 1', cannot be a volume label: a volume label holds only A-Z, 0-9 and '_'",
         ExitBadInput},
        // Tolerated, but not meant.
        {27, "DISCLABEL = \"TEST_1\"", 27, "warning", "disc 2 has no DISCLABEL: its image is labelled T2", ExitOk},
        {3, "EXENAME = \"start.exe\"", 3, "warning", "EXENAME 'start.exe' is no file the installation puts",
         ExitOk},
        {20, "SHORTCUTLINK = \"game.exe\" \"Uninstall.exe\"", 20, "warning",
         "SHORTCUTLINK 2 'uninst\\Uninstall.exe' of 'Uninstall.lnk' is no file", ExitOk},
        {0, "FILE = \"data\\a.dat\" @SIZE:data\\a.dat@ 8 1 \"\"", 28, "warning",
         "'data\\a.dat' is listed twice (first on line 12)", ExitOk},
        {0, "WRITE \"W.EPA\" 20 25 0", 28, "warning", "lies where the SPRITE1 of line 26 moves", ExitOk},
        {11, u8"MAKEFOLDER = \"data\" \"v\" \"uninst\" \"表\"", 11, "warning",
         u8"MAKEFOLDER '表' holds a character whose second byte is 0x5C", ExitOk},
        // The build's own: a character without a code page 932 form, fields.
        {2, u8"APPLITITLE = \"Tëst\"", 2, "error", u8"2:16: error: 'ë' (U+00EB) has no Shift-JIS", ExitBadInput},
        {15, "FILE = \"data\\b.dat\" 777 8 1 \"@MD5:v\\*.vce@\"", 15, "error",
         "15:30: error: @MD5:v\\*.vce@ names a pattern", ExitBadInput},
        {17, "FILESIZE DISC2 = @SIZE:v\\none.vce@", 17, "error",
         "17:18: error: @SIZE:v\\none.vce@: no disc folder holds 'v\\none.vce'", ExitBadInput},
    };
    for (const Variant& v : variants) {
        MakeProduct();
        if (v.Change)
            v.Change();
        std::vector<std::string> script = ProductScript;
        if (v.Replace > 0)
            script[v.Replace - 1] = v.Line;
        else if (v.Line[0] != '\0')
            script.push_back(v.Line);
        std::string messages;
        EXPECT_EQ(v.Status, Build(script, &messages)) << v.Line << "\n" << messages;
        const std::string where =
            v.Expected > 0 ? "Drubel.ini:" + std::to_string(v.Expected) + ": " + v.Severity + ": "
                           : std::string("Drubel.ini: ") + v.Severity + ": ";
        const bool located = std::string(v.Fragment).find(": error: ") != std::string::npos;
        EXPECT_NE(std::string::npos, messages.find(located ? std::string("Drubel.ini:") + v.Fragment
                                                           : where))
            << v.Line << "\n" << messages;
        EXPECT_NE(std::string::npos, messages.find(v.Fragment)) << v.Line << "\n" << messages;
        // On any error no output is left behind.
        EXPECT_EQ(v.Status == ExitOk, FileExists("out")) << v.Line;
    }
}

// What the discs and images of a build hold, file by file, dates included.
std::map<std::string, std::pair<std::vector<uint8_t>, int64_t>> Tree(const std::string& folder)
{
    std::map<std::string, std::pair<std::vector<uint8_t>, int64_t>> tree;
    std::vector<HostEntry> entries;
    HostList(folder, &entries);
    for (const HostEntry& e : entries) {
        const std::string path = folder + "/" + e.Name;
        if (e.Folder)
            for (const auto& below : Tree(path))
                tree[e.Name + "/" + below.first] = below.second;
        else
            tree[e.Name] = {ReadBytes(path), e.Time};
    }
    return tree;
}

void SetTimes(const std::string& path, int64_t time)
{
    std::vector<HostEntry> entries;
    HostList(path, &entries);
    for (const HostEntry& e : entries)
        SetTimes(path + "/" + e.Name, time);
    HostSetTime(path, time);
}

void SetEpoch(const char* value)
{
#ifdef _WIN32
    _putenv_s("SOURCE_DATE_EPOCH", value);
#else
    value[0] != '\0' ? setenv("SOURCE_DATE_EPOCH", value, 1) : unsetenv("SOURCE_DATE_EPOCH");
#endif
}

// The same product gives the same bytes, whenever it is built: dates of 2001
// would show the hour of the build wherever it crept in.
TEST_F(BuildCommandTest, TwoBuildsAreTheSameBytes)
{
    std::string text;
    for (const std::string& line : ProductScript)
        text += line + "\n";
    WriteText("product/Drubel.ini", text);
    SetTimes("product", 978307200);
    SetTimes("Drubel.exe", 978307200);
    auto build = [](const char* out) {
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        const int status = RunBuild({"build", "product", "-o", out, "--launcher", "Drubel.exe", "--iso"});
        testing::internal::GetCapturedStdout();
        const std::string messages = testing::internal::GetCapturedStderr();
        EXPECT_EQ(ExitOk, status) << messages;
    };
    build("out1");
    build("out2");
    const auto first = Tree("out1");
    EXPECT_EQ(10u + 4u + 2u, first.size());  // the files of both discs, and their images
    EXPECT_TRUE(first == Tree("out2"));
    for (const auto& file : first)
        EXPECT_EQ(978307200, file.second.second) << file.first;
    auto volumeDate = [](const std::string& image) {
        const std::vector<uint8_t> bytes = ReadBytes(image);
        return bytes.size() > 16 * 2048 + 829 ? std::string(bytes.begin() + 16 * 2048 + 813,
                                                             bytes.begin() + 16 * 2048 + 829)
                                              : std::string();
    };
    EXPECT_EQ("2001010100000000", volumeDate("out1/disc1.iso"));
    SetEpoch("1577836800");
    build("out3");
    SetEpoch("");
    EXPECT_EQ("2020010100000000", volumeDate("out3/disc2.iso"));
}

TEST_F(BuildCommandTest, UsageAndPlaces)
{
    testing::internal::CaptureStderr();
    EXPECT_EQ(ExitUsage, RunBuild({"build"}));
    EXPECT_EQ(ExitUsage, RunBuild({"build", "product"}));
    EXPECT_EQ(ExitUsage, RunBuild({"build", "product", "-o", "out", "--fast"}));
    EXPECT_EQ(ExitBadInput, RunBuild({"build", "product", "-o", "out", "--launcher", "missing.exe"}));
    EXPECT_EQ(ExitBadInput, RunBuild({"build", "product", "-o", "product/disc1/out", "--launcher", "Drubel.exe"}));
    // A folder that holds more than discs is never replaced.
    MakeFolder("keep");
    WriteText("keep/notes.txt", "mine");
    EXPECT_EQ(ExitBadInput, RunBuild({"build", "product", "-o", "keep", "--launcher", "Drubel.exe"}));
    const std::string messages = testing::internal::GetCapturedStderr();
    EXPECT_NE(std::string::npos, messages.find("unknown option '--fast'")) << messages;
    EXPECT_NE(std::string::npos, messages.find("holds more than the discs of an earlier build")) << messages;
    EXPECT_TRUE(FileExists("keep/notes.txt"));
    EXPECT_EQ(ExitOk, RunBuild({"build", "--help"}));
}

}  // namespace

// docs/script-reference.md gives every key the parser knows a section.
TEST(ScriptReference, EveryKeyHasItsSection)
{
    std::string source = __FILE__;
    for (int up = 0; up < 4; ++up)
        source = source.substr(0, source.rfind('/'));
    const std::vector<uint8_t> bytes = ReadBytes(source + "/docs/script-reference.md");
    const std::string doc(bytes.begin(), bytes.end());
    std::vector<std::string> headings;
    for (size_t at = doc.find("\n### "); at != std::string::npos; at = doc.find("\n### ", at + 1))
        headings.push_back(doc.substr(at, doc.find('\n', at + 1) - at));
    for (int k = 0; k < KeyComment; ++k) {
        const std::string key = std::string("`") + ScriptKeyName(static_cast<ScriptKey>(k)) + "`";
        const bool found = std::any_of(headings.begin(), headings.end(),
                                       [&](const std::string& h) { return h.find(key) != std::string::npos; });
        EXPECT_TRUE(found) << key;
    }
}

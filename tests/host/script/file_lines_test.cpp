// FILELIST, FILESIZE, FILEOPTION and FILE: the per-disc file table.
#include "script_fixture.h"

namespace {

class FileListTest : public ScriptTest { };
class FileLineTest : public ScriptTest { };

const FileEntry& Entry(int disc, int entry) { return SetupScript.DiscFiles[disc - 1][entry]; }

TEST_F(FileListTest, ListsFillTheNamedDiscFromEntryZero)
{
    ASSERT_EQ(1,
        Load("FILELIST DISC2 = \"a.dat\" \"data\\b.dat\"\r\n"
             "FILESIZE DISC2 = 4096 0x10\r\n"
             "FILEOPTION disc2 = 0x0C\t8\r\n"
             "FILELIST DISC10 = \"last.dat\"\r\n"));
    EXPECT_EQ("(none)", Name(1, 0));
    EXPECT_EQ("a.dat", Name(2, 0));
    EXPECT_EQ("data\\b.dat", Name(2, 1));
    EXPECT_EQ("(none)", Name(2, 2));
    EXPECT_EQ(4096u, Entry(2, 0).ByteSize);
    EXPECT_EQ(16u, Entry(2, 1).ByteSize);
    EXPECT_EQ(12u, Entry(2, 0).OptionMask);
    EXPECT_EQ(8u, Entry(2, 1).OptionMask);
    EXPECT_EQ("last.dat", Name(10, 0));
}

TEST_F(FileListTest, ALaterLineRestartsAtEntryZero)
{
    ASSERT_EQ(1,
        Load("FILELIST DISC1 = \"a\" \"b\" \"c\"\r\nFILELIST DISC1 = \"x\"\r\nFILESIZE DISC1 = 1 2 3\r\n"
             "FILESIZE DISC1 = 9\r\n"));
    EXPECT_EQ("x", Name(1, 0));
    EXPECT_EQ("b", Name(1, 1));
    EXPECT_EQ(9u, Entry(1, 0).ByteSize);
    EXPECT_EQ(2u, Entry(1, 1).ByteSize);
}

TEST_F(FileListTest, DiscValuesOutsideTheTableIgnoreTheLine)
{
    ASSERT_EQ(1,
        Load("FILELIST DISK1 = \"unknown name\"\r\nFILELIST = \"no disc\"\r\n"
             "FILELIST 2 = \"number 2 is disc -1\"\r\nFILELIST 14 = \"disc 11\"\r\n"
             "FILELIST TO_FINISH = \"101\"\r\nFILESIZE 14 = 5\r\n"));
    for (int d = 1; d <= MaxDiscs; ++d)
        EXPECT_EQ("(none)", Name(d, 0)) << d;
    EXPECT_EQ(0u, Entry(1, 0).ByteSize);
    // A number is the disc number plus 3.
    ASSERT_EQ(1, Load("FILELIST 5 = \"disc two\"\r\n"));
    EXPECT_EQ("disc two", Name(2, 0));
}

TEST_F(FileListTest, MissingEqualsFailsOnlyForAKnownDiscValue)
{
    EXPECT_EQ(1, Load("FILELIST \"x\"\r\n"));
    EXPECT_EQ(0, Load("FILELIST DISC1 \"x\"\r\n"));
    EXPECT_EQ(0, Load("FILEOPTION 99 8\r\n"));
}

TEST_F(FileListTest, WordsInsideQuotedNamesBecomeEmptyEntries)
{
    ASSERT_EQ(1, Load("FILELIST DISC1 = \"My Documents\\a.txt\" \"b.txt\" unquoted \"c.txt\"\r\n"));
    EXPECT_EQ("My Documents\\a.txt", Name(1, 0));
    EXPECT_EQ("", Name(1, 1));  // the word Documents\a.txt" takes an entry
    EXPECT_EQ("b.txt", Name(1, 2));
    EXPECT_EQ("", Name(1, 3));
    EXPECT_EQ("c.txt", Name(1, 4));
    EXPECT_EQ("(none)", Name(1, 5));
}

TEST_F(FileListTest, ACommaEndsTheList)
{
    ASSERT_EQ(1,
        Load("FILELIST DISC1 = \"a\",\"b\"\r\nFILESIZE DISC1 = 10, 20\r\nFILEOPTION DISC1 = 8 ,4\r\n"
             "FILELIST DISC2 = \"x,y\" \"z\"\r\n"));
    EXPECT_EQ("a", Name(1, 0));
    EXPECT_EQ("(none)", Name(1, 1));
    EXPECT_EQ(10u, Entry(1, 0).ByteSize);
    EXPECT_EQ(0u, Entry(1, 1).ByteSize);
    EXPECT_EQ(8u, Entry(1, 0).OptionMask);
    EXPECT_EQ(0u, Entry(1, 1).OptionMask);
    EXPECT_EQ("x", Name(2, 0));
    EXPECT_EQ("(none)", Name(2, 1));
}

TEST_F(FileListTest, EntriesBeyond1024AndNamesBeyond259BytesAreCut)
{
    std::string list = "FILELIST DISC1 =";
    for (int i = 0; i < 1030; ++i)
        list += " \"f" + std::to_string(i) + "\"";
    list += "\r\nFILELIST DISC2 = \"" + std::string(300, 'n') + "\"\r\n";
    ASSERT_EQ(1, Load(list));
    EXPECT_EQ("f1023", Name(1, 1023));
    EXPECT_EQ("(none)", Name(2, 1));
    EXPECT_EQ(std::string(259, 'n'), Name(2, 0));
}

TEST_F(FileLineTest, AppendsAfterTheListedEntries)
{
    ASSERT_EQ(1,
        Load("FILELIST DISC1 = \"a\" \"b\"\r\n"
             "FILE = \"data\\c.dat\" 1234 0x0C 1 \"0123456789abcdef0123456789abcdef\"\r\n"
             "FILE = \"d.dat\"  0x20  8  1\r\n"
             "FILE = \"e.dat\" 5 4 2 \"\"\r\n"));
    EXPECT_EQ("data\\c.dat", Name(1, 2));
    EXPECT_EQ(1234u, Entry(1, 2).ByteSize);
    EXPECT_EQ(12u, Entry(1, 2).OptionMask);
    EXPECT_STREQ("0123456789abcdef0123456789abcdef", Entry(1, 2).Digest);
    EXPECT_EQ("d.dat", Name(1, 3));
    EXPECT_EQ(32u, Entry(1, 3).ByteSize);
    EXPECT_EQ(8u, Entry(1, 3).OptionMask);
    EXPECT_STREQ("", Entry(1, 3).Digest);
    EXPECT_EQ("e.dat", Name(2, 0));
    // A later FILELIST line for the disc overwrites from entry 0 again.
    ASSERT_EQ(1, Load("FILELIST DISC1 = \"z\"\r\n"));
    EXPECT_EQ("z", Name(1, 0));
    EXPECT_EQ("data\\c.dat", Name(1, 2));
}

TEST_F(FileLineTest, SizesAre64BitsWideAndHeldAtTheTopBeyondThem)
{
    const struct {
        const char* Text;
        uint64_t Size;
    } cases[] = {
        {"4294967295", 0xFFFFFFFFull},
        {"4294967296", 0x100000000ull},
        {"5000000000", 5000000000ull},
        {"0x100000003", 0x100000003ull},
        {"18446744073709551615", UINT64_MAX},
        {"0xFFFFFFFFFFFFFFFF", UINT64_MAX},
        {"18446744073709551616", UINT64_MAX},
        {"99999999999999999999999", UINT64_MAX},
        {"0x10000000000000000", UINT64_MAX},
    };
    for (const auto& c : cases) {
        StartModelAfresh();
        ASSERT_EQ(1, Load(std::string("FILELIST DISC1 = \"a\" \"b\"\r\nFILESIZE DISC1 = 1 ") + c.Text +
                          "\r\nFILE = \"c\" " + c.Text + " 8 1\r\n"))
            << c.Text;
        EXPECT_EQ(c.Size, Entry(1, 1).ByteSize) << c.Text;
        EXPECT_EQ(c.Size, Entry(1, 2).ByteSize) << c.Text;
        EXPECT_EQ(8u, Entry(1, 2).OptionMask) << c.Text;
        EXPECT_EQ(1u, Entry(1, 0).ByteSize);
    }
}

TEST_F(FileLineTest, AnyWordBeginningWithFileIsAFileLine)
{
    ASSERT_EQ(1, Load("FILENAME = \"x\" 1 1 1\r\n"));
    EXPECT_EQ("x", Name(1, 0));
}

TEST_F(FileLineTest, DiscZeroFailsAndCommasReadAsDiscZero)
{
    EXPECT_EQ(0, Load("FILE = \"x\" 1 1 0\r\n"));
    EXPECT_EQ("(none)", Name(1, 0));
    EXPECT_EQ(0, Load("FILE = \"x\" 10,3,1 \"\"\r\n"));
    EXPECT_EQ(0, Load("FILE = \"x\"\r\n"));
    EXPECT_EQ(0, Load("FILE \"x\" 1 1 1\r\n"));
}

TEST_F(FileLineTest, DiscAboveTenIsIgnored)
{
    ASSERT_EQ(1, Load("FILE = \"x\" 1 1 11 \"\"\r\nFILE = \"y\" 1 1 0xFFFFFFFF\r\n"));
    for (int d = 1; d <= MaxDiscs; ++d)
        EXPECT_EQ("(none)", Name(d, 0)) << d;
}

TEST_F(FileLineTest, AFullDiscFailsTheLoad)
{
    std::string list = "FILELIST DISC3 =";
    for (int i = 0; i < MaxFilesPerDisc; ++i)
        list += " \"f\"";
    ASSERT_EQ(1, Load(list + "\r\n"));
    EXPECT_EQ("(none)", Name(4, 0));  // disc 3 full, disc 4 empty from its first entry
    EXPECT_EQ(0, Load("FILE = \"one more\" 1 1 3\r\n"));
    EXPECT_EQ(1, Load("FILE = \"other disc\" 1 1 4\r\n"));
}

TEST_F(FileLineTest, OpenDigestEndsTheParseAfterStoringTheEntry)
{
    ASSERT_EQ(1, Load("FILE = \"a\" 1 1 1 \"0123\r\nAPPLITITLE = \"never read\"\r\n"));
    EXPECT_EQ("a", Name(1, 0));
    EXPECT_STREQ("0123", Entry(1, 0).Digest);
    EXPECT_STREQ("", SetupScript.APPLITITLE);
    ASSERT_EQ(1, Load("FILE = \"b\" 1 1 1 \"01,23\"\r\nAPPLITITLE = \"never read\"\r\n"));
    EXPECT_STREQ("01", Entry(1, 1).Digest);
    EXPECT_STREQ("", SetupScript.APPLITITLE);
}

TEST_F(FileLineTest, DigestAndNameAreCutToTheirFields)
{
    ASSERT_EQ(1,
        Load("FILE = \"" + std::string(270, 'n') + "\" 1 1 1 \"" + std::string(80, 'd') +
            "\"\r\n"
            "FILE = unquoted 7 1 1 digest\r\n"));
    EXPECT_EQ(std::string(259, 'n'), Name(1, 0));
    EXPECT_EQ(std::string(63, 'd'), Entry(1, 0).Digest);
    EXPECT_EQ("", Name(1, 1));
    EXPECT_EQ(7u, Entry(1, 1).ByteSize);
    EXPECT_STREQ("", Entry(1, 1).Digest);
}

}  // namespace

#include "archive/pak.h"
#include "archive/pak_writer.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cstring>
#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace {

void PutLe32(std::vector<uint8_t>& v, size_t at, uint32_t x)
{
    for (int i = 0; i < 4; ++i)
        v[at + i] = static_cast<uint8_t>(x >> (8 * i));
}

// Raw archive bytes, for the directories the writer refuses to make.
struct RawMember {
    std::string Name;
    uint32_t Offset;
    uint32_t Size;
};
std::vector<uint8_t> RawArchive(char kind, const std::vector<RawMember>& members,
                                const std::vector<uint8_t>& data, uint32_t count)
{
    const size_t width = kind == '2' ? 32 : 16;
    std::vector<uint8_t> v(16 + members.size() * (width + 8), 0);
    v[11] = static_cast<uint8_t>(kind);
    PutLe32(v, 12, count);
    for (size_t i = 0; i < members.size(); ++i) {
        memcpy(&v[16 + i * width], members[i].Name.data(), std::min(members[i].Name.size(), width));
        PutLe32(v, 16 + members.size() * width + i * 8, members[i].Offset);
        PutLe32(v, 16 + members.size() * width + i * 8 + 4, members[i].Size);
    }
    v.insert(v.end(), data.begin(), data.end());
    return v;
}

std::vector<uint8_t> Build(const std::vector<PakMemberData>& members, bool shortNames = false)
{
    std::vector<uint8_t> archive;
    std::string error;
    EXPECT_TRUE(PakBuild(members, shortNames, &archive, &error)) << error;
    return archive;
}

std::vector<uint8_t> Bytes(const char* text) { return std::vector<uint8_t>(text, text + strlen(text)); }

// Opens `member` and reads it whole; "<null>" when it does not open.
std::string ReadMember(const char* member, const char* archive)
{
    PakFile* f = PakOpen(member, archive);
    if (f == nullptr)
        return "<null>";
    std::string data(PakGetSize(f), '\0');
    const int read = PakRead(f, &data[0]);
    const int waited = PakWaitRead(f);
    PakClose(f);
    if (!read || !waited)
        return "<short>";
    return data;
}

class PakTest : public ::testing::Test {
protected:
    TempDir dir;
    ScopedCurrentDir cwd{dir.Path};
};

TEST_F(PakTest, LooseFileComesBeforeTheArchivedMember)
{
    WriteBytes("Instdata.pak", Build({{"TITLE.EPA", Bytes("archived")}, {"LOGO.EPA", Bytes("logo")}}));
    WriteText("TITLE.EPA", "loose");
    EXPECT_EQ("loose", ReadMember("TITLE.EPA", "Instdata.pak"));
    EXPECT_EQ("logo", ReadMember("LOGO.EPA", "Instdata.pak"));
    PakFile* f = PakOpen("TITLE.EPA", "Instdata.pak");
    ASSERT_NE(nullptr, f);
    EXPECT_EQ(0u, f->InArchive);
    EXPECT_EQ(0u, f->DataOffset);
    PakClose(f);
}

TEST_F(PakTest, NameIsTakenAfterTheLastBackslashAndMatchedWithoutCase)
{
    WriteBytes("Instdata.pak", Build({{"TITLE.EPA", Bytes("title")}}));
    EXPECT_EQ("title", ReadMember("pics\\sub\\title.epa", "Instdata.pak"));
    EXPECT_EQ("title", ReadMember("Title.Epa", "Instdata.pak"));
    // A forward slash is part of the name.
    EXPECT_EQ("<null>", ReadMember("pics/TITLE.EPA", "Instdata.pak"));
}

TEST_F(PakTest, TrailByteBackslashIsNotAFolderSeparator)
{
    // "ソ" is 83 5C in code page 932: its second byte looks like a backslash.
    const std::string name = "\x83\x5C" "A.EPA";
    WriteBytes("Instdata.pak", Build({{name, Bytes("so")}, {"A.EPA", Bytes("plain")}}));
    EXPECT_EQ("so", ReadMember(name.c_str(), "Instdata.pak"));
    EXPECT_EQ("plain", ReadMember("x\\A.EPA", "Instdata.pak"));
}

TEST(PakArchiveBeside, IsTheArchiveInTheMembersFolder)
{
    const struct {
        const char* Member;
        const char* Archive;
    } cases[] = {
        {"C:\\Temp\\TITLE.EPA", "C:\\Temp\\Instdata.pak"},
        {"TITLE.EPA", "Instdata.pak"},
        // "表" and "ソ" end in 5C: part of the folder's name, no separator.
        {"C:\\\x95\x5C\\TITLE.EPA", "C:\\\x95\x5C\\Instdata.pak"},
        {"C:\\\x83\x5C" "A.EPA", "C:\\Instdata.pak"},
    };
    for (const auto& c : cases) {
        char archive[260];
        EXPECT_TRUE(PakArchiveBeside(archive, sizeof archive, c.Member)) << c.Member;
        EXPECT_STREQ(c.Archive, archive) << c.Member;
    }
    char tight[12];
    EXPECT_FALSE(PakArchiveBeside(tight, sizeof tight, "C:\\Temp\\TITLE.EPA"));
    EXPECT_STREQ("", tight);
}

TEST_F(PakTest, FirstOfTwoEqualNamesWins)
{
    WriteBytes("Instdata.pak",
               RawArchive('2', {{"SAME.EPA", 0, 5}, {"same.epa", 5, 6}}, Bytes("firstsecond"), 2));
    EXPECT_EQ("first", ReadMember("SAME.EPA", "Instdata.pak"));
}

TEST_F(PakTest, DigitOneSelectsSixteenByteNamesAndTwentyFourByteEntries)
{
    std::vector<uint8_t> archive = Build({{"A.EPA", Bytes("aaa")}, {"B.EPA", Bytes("bbbb")}}, true);
    EXPECT_EQ('1', archive[11]);
    EXPECT_EQ(16u + 2 * 24 + 7, archive.size());
    WriteBytes("Instdata.pak", archive);
    EXPECT_EQ("bbbb", ReadMember("B.EPA", "Instdata.pak"));
    PakFile* f = PakOpen("B.EPA", "Instdata.pak");
    ASSERT_NE(nullptr, f);
    EXPECT_EQ(1u, f->InArchive);
    EXPECT_EQ(16u + 48 + 3, f->DataOffset);
    PakClose(f);
    // Any byte other than '2' selects short names too.
    archive[11] = 'x';
    WriteBytes("Instdata.pak", archive);
    EXPECT_EQ("aaa", ReadMember("A.EPA", "Instdata.pak"));
}

TEST_F(PakTest, NothingIsFoundInAnEmptyOrMissingArchive)
{
    WriteBytes("Instdata.pak", RawArchive('2', {}, {}, 0));
    EXPECT_EQ("<null>", ReadMember("A.EPA", "Instdata.pak"));
    EXPECT_EQ("<null>", ReadMember("A.EPA", "Missing.pak"));
    WriteBytes("Short.pak", Bytes("tiny"));
    EXPECT_EQ("<null>", ReadMember("A.EPA", "Short.pak"));
}

TEST_F(PakTest, NullArchiveOnlyTriesTheLooseFile)
{
    WriteBytes("Instdata.pak", Build({{"A.EPA", Bytes("a")}}));
    EXPECT_EQ(nullptr, PakOpen("A.EPA", nullptr));
    WriteText("A.EPA", "loose");
    EXPECT_EQ("loose", ReadMember("A.EPA", nullptr));
}

TEST_F(PakTest, PartReadsReturnTheMemberInOrder)
{
    const std::vector<uint8_t> payload = PatternBytes(8192 * 3 + 100, 7);
    WriteBytes("Instdata.pak", Build({{"FIRST.BIN", Bytes("0123456789")}, {"DATA.BIN", payload}}));
    PakFile* f = PakOpen("DATA.BIN", "Instdata.pak");
    ASSERT_NE(nullptr, f);
    ASSERT_EQ(payload.size(), PakGetSize(f));
    std::vector<uint8_t> got;
    uint32_t done = 0;
    while (done < PakGetSize(f)) {
        const uint32_t piece = std::min<uint32_t>(8192, PakGetSize(f) - done);
        std::vector<uint8_t> buffer(piece);
        ASSERT_EQ(1, PakReadPart(f, buffer.data(), 12345, piece));
        ASSERT_EQ(1, PakWaitRead(f));
        got.insert(got.end(), buffer.begin(), buffer.end());
        done += piece;
    }
    EXPECT_EQ(payload, got);
    PakClose(f);
}

// A file of `size` bytes whose hole costs no disk.
static bool MakeSparseFile(const char* path, uint64_t size)
{
#ifdef _WIN32
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    LARGE_INTEGER end;
    end.QuadPart = static_cast<LONGLONG>(size);
    const bool made = SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && SetEndOfFile(file);
    CloseHandle(file);
    return made;
#else
    WriteText(path, "");
    return truncate(path, static_cast<off_t>(size)) == 0;
#endif
}

TEST_F(PakTest, ALooseFileOf4GBOrMoreKeepsItsSizeAndIsReadInPartsOnly)
{
    const uint64_t size = (4ull << 30) + 5;
    ASSERT_TRUE(MakeSparseFile("huge.bin", size));
    PakFile* f = PakOpen("huge.bin", nullptr);
    ASSERT_NE(nullptr, f);
    EXPECT_EQ(size, PakGetSize(f));
    char buffer[16] = {1};
    EXPECT_EQ(0, PakRead(f, buffer));  // no single read holds it
    EXPECT_EQ(1, PakReadPart(f, buffer, 0, sizeof buffer));
    EXPECT_EQ(1, PakWaitRead(f));
    EXPECT_EQ(0, buffer[0]);
    PakClose(f);
}

TEST_F(PakTest, ShortReadIsReportedByWaitRead)
{
    WriteText("loose.bin", "abc");
    PakFile* f = PakOpen("loose.bin", nullptr);
    ASSERT_NE(nullptr, f);
    char buffer[16];
    EXPECT_EQ(1, PakReadPart(f, buffer, 0, sizeof buffer));
    EXPECT_EQ(16u, f->Requested);
    EXPECT_EQ(3u, f->Delivered);
    EXPECT_EQ(0, PakWaitRead(f));
    PakClose(f);
    EXPECT_EQ(0, PakWaitRead(nullptr));
    EXPECT_EQ(0, PakRead(nullptr, buffer));
}

TEST_F(PakTest, LooseEmptyFileOpensButAnEmptyMemberDoesNot)
{
    WriteText("empty.txt", "");
    EXPECT_EQ("", ReadMember("empty.txt", nullptr));
    WriteBytes("Instdata.pak", RawArchive('2', {{"EMPTY", 0, 0}}, Bytes("x"), 1));
    EXPECT_EQ("<null>", ReadMember("EMPTY", "Instdata.pak"));
}

TEST_F(PakTest, LyingDirectoriesFindNothing)
{
    const std::vector<uint8_t> data = Bytes("0123456789");
    // A count whose directory would run past the end of the file.
    WriteBytes("count.pak", RawArchive('2', {{"A", 0, 4}}, data, 1000000));
    EXPECT_EQ("<null>", ReadMember("A", "count.pak"));
    WriteBytes("huge.pak", RawArchive('2', {{"A", 0, 4}}, data, 0xFFFFFFFFu));
    EXPECT_EQ("<null>", ReadMember("A", "huge.pak"));
    // A member that starts or ends beyond the end of the file.
    WriteBytes("offset.pak", RawArchive('2', {{"A", 11, 1}}, data, 1));
    EXPECT_EQ("<null>", ReadMember("A", "offset.pak"));
    WriteBytes("size.pak", RawArchive('2', {{"A", 4, 7}}, data, 1));
    EXPECT_EQ("<null>", ReadMember("A", "size.pak"));
    WriteBytes("wrap.pak", RawArchive('2', {{"A", 0xFFFFFFF0u, 0x20}}, data, 1));
    EXPECT_EQ("<null>", ReadMember("A", "wrap.pak"));
    // The last byte of the file is still inside.
    WriteBytes("edge.pak", RawArchive('2', {{"A", 4, 6}}, data, 1));
    EXPECT_EQ("456789", ReadMember("A", "edge.pak"));
}

TEST_F(PakTest, FullWidthNameFieldEndsAtTheFieldNotInTheNextOne)
{
    const std::string name32(32, 'N');
    const std::string name31(31, 'M');
    WriteBytes("Instdata.pak",
               RawArchive('2', {{name32, 0, 1}, {name31, 1, 1}}, Bytes("xy"), 2));
    EXPECT_EQ("x", ReadMember(name32.c_str(), "Instdata.pak"));
    EXPECT_EQ("<null>", ReadMember((name32 + name31).c_str(), "Instdata.pak"));
    EXPECT_EQ("y", ReadMember(name31.c_str(), "Instdata.pak"));
}

TEST(PakBuild, RefusesNamesThatCannotBeReadBack)
{
    std::vector<uint8_t> archive;
    std::string error;
    EXPECT_FALSE(PakBuild({{std::string(32, 'A'), Bytes("x")}}, false, &archive, &error));
    EXPECT_NE(std::string::npos, error.find("AAAA"));
    EXPECT_TRUE(PakBuild({{std::string(31, 'A'), Bytes("x")}}, false, &archive, &error));
    EXPECT_FALSE(PakBuild({{std::string(16, 'A'), Bytes("x")}}, true, &archive, &error));
    EXPECT_FALSE(PakBuild({{"A.EPA", Bytes("x")}, {"a.epa", Bytes("y")}}, false, &archive, &error));
    EXPECT_NE(std::string::npos, error.find("a.epa"));
    EXPECT_FALSE(PakBuild({{"", Bytes("x")}}, false, &archive, &error));
    EXPECT_FALSE(PakBuild({{"E", {}}}, false, &archive, &error));
}

}  // namespace

// The copy worker's walk over a fake disc: which files go where, the block
// sizes, the counters, the stop points and the errors.
#include "install/copy_files.h"
#include "install_model_fixture.h"
#include "support/test_support.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

struct FakeFile {
    std::string Path;
    bool Target;
    uint64_t Offset = 0;
};

// The bytes a generated file would hold at an offset, for the first and the
// last eight bytes of each block: enough to tell a block read from the
// wrong place, without moving gigabytes in a test.
void StampBlock(uint8_t* buffer, uint32_t count, uint64_t offset)
{
    if (count < 16)
        return;
    memcpy(buffer, &offset, 8);
    const uint64_t end = offset + count;
    memcpy(buffer + count - 8, &end, 8);
}
bool BlockStampedAt(const uint8_t* buffer, uint32_t count, uint64_t offset)
{
    if (count < 16)
        return true;
    uint64_t first, end;
    memcpy(&first, buffer, 8);
    memcpy(&end, buffer + count - 8, 8);
    return first == offset && end == offset + count;
}

// A disc in memory (paths as the worker builds them, "E:\..."), the files it
// writes, and a log of every call.
struct FakeDisc {
    std::map<std::string, std::vector<uint8_t>> Source;
    std::map<std::string, uint64_t> Generated;  // sources of this size, stamped
    std::map<std::string, uint64_t> GeneratedWritten;  // targets of those: bytes written
    uint64_t FailReadAtOffset = UINT64_MAX;     // of a generated source
    uint64_t BytesPerMicrosecond = 1000;        // how fast the fake disk moves
    uint64_t Now = 0;
    std::map<std::string, bool> Folders;       // search results that are folders
    std::map<std::string, std::vector<uint8_t>> Written;
    std::vector<std::string> Log;
    std::vector<std::string> Unwritable;       // targets that cannot be created
    std::string FailReadOf;                    // source whose second block fails
    std::string ShortWriteOf;                  // target whose writes come back short
    int StopAtCheck = -1;                      // message check that says stop (0-based)
    int Checks = 0;
    int OpenFiles = 0;
    int OpenSearches = 0;
    std::vector<std::vector<std::string>> Searches;
    std::vector<std::string> SearchPatterns;
    std::vector<std::string> Reports;          // FileDone: "name bytes outcome"
};

struct FakeSearch {
    std::vector<std::string> Names;
    size_t Next = 0;
};

FakeDisc* Disc(void* context) { return static_cast<FakeDisc*>(context); }

void* OpenSource(void* context, const char* path, uint64_t* size)
{
    FakeDisc* d = Disc(context);
    d->Log.push_back(std::string("open ") + path);
    auto generated = d->Generated.find(path);
    auto it = d->Source.find(path);
    if (generated != d->Generated.end())
        *size = generated->second;
    else if (it != d->Source.end())
        *size = it->second.size();
    else
        return nullptr;
    ++d->OpenFiles;
    return new FakeFile{path, false};
}

void* CreateTarget(void* context, const char* path)
{
    FakeDisc* d = Disc(context);
    d->Log.push_back(std::string("create ") + path);
    if (std::find(d->Unwritable.begin(), d->Unwritable.end(), path) != d->Unwritable.end())
        return nullptr;
    d->Written[path].clear();
    ++d->OpenFiles;
    return new FakeFile{path, true};
}

int Read(void* context, void* file, uint8_t* buffer, uint32_t count)
{
    FakeDisc* d = Disc(context);
    FakeFile* f = static_cast<FakeFile*>(file);
    d->Now += count / d->BytesPerMicrosecond;
    if (d->Generated.count(f->Path)) {
        if (f->Offset + count > d->Generated[f->Path] || f->Offset + count > d->FailReadAtOffset)
            return 0;
        StampBlock(buffer, count, f->Offset);
        f->Offset += count;
        return 1;
    }
    d->Log.push_back("read " + std::to_string(count));
    if (f->Path == d->FailReadOf && f->Offset > 0)
        return 0;
    const std::vector<uint8_t>& bytes = d->Source[f->Path];
    if (f->Offset + count > bytes.size())
        return 0;
    std::copy(bytes.begin() + f->Offset, bytes.begin() + f->Offset + count, buffer);
    f->Offset += count;
    return 1;
}

int Write(void* context, void* file, const uint8_t* buffer, uint32_t count)
{
    FakeDisc* d = Disc(context);
    FakeFile* f = static_cast<FakeFile*>(file);
    if (d->GeneratedWritten.count(f->Path)) {
        uint64_t& done = d->GeneratedWritten[f->Path];
        if (!BlockStampedAt(buffer, count, done))
            return 0;
        done += count;
        return 1;
    }
    d->Log.push_back("write " + std::to_string(count));
    if (f->Path == d->ShortWriteOf)
        return 0;
    d->Written[f->Path].insert(d->Written[f->Path].end(), buffer, buffer + count);
    return 1;
}

void CloseFile(void* context, void* file)
{
    --Disc(context)->OpenFiles;
    delete static_cast<FakeFile*>(file);
}

void* FindFirst(void* context, const char* pattern, CopyFound* found);
int FindNext(void* context, void* search, CopyFound* found)
{
    FakeSearch* s = static_cast<FakeSearch*>(search);
    if (s->Next >= s->Names.size())
        return 0;
    const std::string& name = s->Names[s->Next++];
    CopyText(found->Name, name.c_str());
    found->IsFolder = Disc(context)->Folders.count(name) ? 1 : 0;
    found->LongName = name.empty() ? 0 : 1;
    return 1;
}

void* FindFirst(void* context, const char* pattern, CopyFound* found)
{
    FakeDisc* d = Disc(context);
    d->SearchPatterns.push_back(pattern);
    if (d->Searches.empty() || d->Searches.front().empty()) {
        if (!d->Searches.empty())
            d->Searches.erase(d->Searches.begin());
        return nullptr;
    }
    FakeSearch* s = new FakeSearch{d->Searches.front()};
    d->Searches.erase(d->Searches.begin());
    ++d->OpenSearches;
    FindNext(context, s, found);
    return s;
}

void FindClose(void* context, void* search)
{
    --Disc(context)->OpenSearches;
    delete static_cast<FakeSearch*>(search);
}

int CheckMessages(void* context)
{
    FakeDisc* d = Disc(context);
    d->Log.push_back("check");
    return d->Checks++ == d->StopAtCheck ? 0 : 1;
}

uint64_t Microseconds(void* context) { return Disc(context)->Now; }

void FileDone(void* context, const char* name, uint64_t bytes, CopyOutcome outcome)
{
    Disc(context)->Reports.push_back(std::string(name) + " " + std::to_string(bytes) + " " +
                                     std::to_string(static_cast<int>(outcome)));
}

class CopyWalk : public InstallModelTest {
protected:
    void SetUp() override
    {
        InstallModelTest::SetUp();
        SetupScript.DiscDrive = 5;  // E:
        SetupScript.InstallOption = 8;
        CopyText(SetupScript.InstallFolder, "C:\\Inst");
    }
    CopyResult Run(int disc = 0)
    {
        const CopyIo io = {&Fake,     OpenSource, CreateTarget, Read,          Write,
                           CloseFile, FindFirst,  FindNext,     FindClose,     CheckMessages,
                           Microseconds, FileDone};
        const CopyResult result = CopyDiscFiles(disc, io, &Counters);
        EXPECT_EQ(0, Fake.OpenFiles) << "a file was left open";
        EXPECT_EQ(0, Fake.OpenSearches) << "a search was left open";
        return result;
    }
    std::vector<std::string> LogWithout(const std::string& prefix) const
    {
        std::vector<std::string> log;
        for (const std::string& line : Fake.Log)
            if (line.compare(0, prefix.size(), prefix) != 0)
                log.push_back(line);
        return log;
    }
    FakeDisc Fake;
    CopyCounters Counters;
};

}  // namespace

TEST_F(CopyWalk, BlocksGrowOnAFastDiskWithAMessageCheckBeforeEachButAFilesLast)
{
    Fake.Source["E:\\data\\a.bin"] = PatternBytes(3 * 65536 + 100, 1);
    Fake.Source["E:\\b.bin"] = PatternBytes(262144, 2);
    Fake.Source["E:\\empty"] = {};
    ListFile(0, 0, "data\\a.bin", 0, 8);
    ListFile(0, 1, "b.bin", 0, 8);
    ListFile(0, 2, "empty", 0, 8);

    const CopyResult result = Run();
    EXPECT_EQ(CopyListDone, result.Outcome);
    EXPECT_EQ((std::vector<std::string>{
                  "check", "open E:\\data\\a.bin", "create C:\\Inst\\data\\a.bin", "check",
                  "read 65536", "write 65536", "check", "read 131072", "write 131072", "read 100",
                  "write 100",
                  // The block size carries over to the next file, which fits one block.
                  "check", "open E:\\b.bin", "create C:\\Inst\\b.bin", "read 262144", "write 262144",
                  "check", "open E:\\empty", "create C:\\Inst\\empty",
                  "check"}),
              Fake.Log);
    EXPECT_EQ(Fake.Source["E:\\data\\a.bin"], Fake.Written["C:\\Inst\\data\\a.bin"]);
    EXPECT_EQ(Fake.Source["E:\\b.bin"], Fake.Written["C:\\Inst\\b.bin"]);
    EXPECT_TRUE(Fake.Written.count("C:\\Inst\\empty"));
    EXPECT_EQ(3u * 65536 + 100 + 262144, Counters.BytesRead.load());
    EXPECT_EQ(3u * 65536 + 100 + 262144, Counters.BytesWritten.load());
}

TEST(CopyBlocks, EachBlockTakesAFractionOfATenthOfASecondAtAnySpeed)
{
    const struct {
        uint32_t Size;
        uint64_t Microseconds;
        uint32_t Next;
    } cases[] = {
        {65536, 100, 131072},             // page cache: grow
        {CopyLargestBlock, 100, CopyLargestBlock},
        {131072, 13107, 131072},          // 10 MB/s: stays within 25 ms
        {262144, 26214, 131072},          // 10 MB/s, too large: halves
        {65536, 436906, 4096},            // a 1x CD (150 KB/s): straight down
        {4096, 27306, 4096},              // never below the smallest
        {CopyLargestBlock, 1000000000, 4096},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.Next, NextCopyBlockSize(c.Size, c.Microseconds)) << c.Size << " " << c.Microseconds;
}

TEST_F(CopyWalk, AFileOfFiveGigabytesIsCopiedWholeAndAFailureAtItsFarEndNamesItsEntry)
{
    const uint64_t huge = (5ull << 30) + 3;
    Fake.Generated["E:\\movie.bin"] = huge;
    Fake.GeneratedWritten["C:\\Inst\\movie.bin"] = 0;
    Fake.Source["E:\\a"] = PatternBytes(10, 1);
    ListFile(0, 0, "a", 10, 8);
    ListFile(0, 1, "movie.bin", huge, 8);
    EXPECT_EQ(CopyListDone, Run().Outcome);
    EXPECT_EQ(huge, Fake.GeneratedWritten["C:\\Inst\\movie.bin"]);
    EXPECT_EQ(huge + 10, Counters.BytesRead.load());
    EXPECT_EQ(huge + 10, Counters.BytesWritten.load());

    // A read that fails past 4 GB.
    Fake.Log.clear();
    Fake.GeneratedWritten["C:\\Inst\\movie.bin"] = 0;
    Fake.FailReadAtOffset = (4ull << 30) + (2u << 20);
    Counters.BytesRead = 0;
    Counters.BytesWritten = 0;
    const CopyResult result = Run();
    EXPECT_EQ(CopyReadError, result.Outcome);
    EXPECT_EQ(1, result.Entry);
    EXPECT_GT(Counters.BytesWritten.load(), 4ull << 30);
    EXPECT_EQ(Counters.BytesRead.load(), Counters.BytesWritten.load());
}

TEST_F(CopyWalk, EntriesOfOtherOptionsAreNeitherOpenedNorCounted)
{
    SetupScript.InstallOption = 4 | DesktopShortcutBit;
    Fake.Source["E:\\both"] = PatternBytes(10, 1);
    Fake.Source["E:\\full"] = PatternBytes(10, 2);
    ListFile(0, 0, "full", 10, 8);
    ListFile(0, 1, "both", 10, 0x0C);
    EXPECT_EQ(CopyListDone, Run().Outcome);
    EXPECT_EQ(1u, Fake.Written.size());
    EXPECT_TRUE(Fake.Written.count("C:\\Inst\\both"));
    EXPECT_EQ(10u, Counters.BytesRead.load());
}

TEST_F(CopyWalk, PatternsCopyTheFilesTheSearchFindsIntoTheirFolderPart)
{
    Fake.Source["E:\\voice\\a.vce"] = PatternBytes(5, 1);
    Fake.Source["E:\\voice\\b.vce"] = PatternBytes(6, 2);
    Fake.Source["E:\\top.txt"] = PatternBytes(7, 3);
    Fake.Folders["sub.vce"] = true;
    // The system's search also finds b.vceold, through its short name B~1.VCE.
    Fake.Source["E:\\voice\\b.vceold"] = PatternBytes(6, 4);
    Fake.Searches = {{"a.vce", "sub.vce", "b.vce", "b.vceold"}, {}, {"top.txt"}};
    ListFile(0, 0, "voice\\*.vce", 0, 8);
    ListFile(0, 1, "movie\\*.mpg", 0, 8);  // matches nothing: no error
    ListFile(0, 2, "*.txt", 0, 8);

    EXPECT_EQ(CopyListDone, Run().Outcome);
    EXPECT_EQ((std::vector<std::string>{"E:\\voice\\*.vce", "E:\\movie\\*.mpg", "E:\\*.txt"}),
              Fake.SearchPatterns);
    EXPECT_EQ(Fake.Source["E:\\voice\\a.vce"], Fake.Written["C:\\Inst\\voice\\a.vce"]);
    EXPECT_EQ(Fake.Source["E:\\voice\\b.vce"], Fake.Written["C:\\Inst\\voice\\b.vce"]);
    EXPECT_EQ(Fake.Source["E:\\top.txt"], Fake.Written["C:\\Inst\\top.txt"]);
    EXPECT_EQ(3u, Fake.Written.size());  // the folder and the short-name match are passed over
}

TEST_F(CopyWalk, ErrorsNameTheEntryAndStopTheWalk)
{
    Fake.Source["E:\\ok"] = PatternBytes(3, 1);
    ListFile(0, 0, "ok", 0, 8);
    ListFile(0, 1, "missing", 0, 8);
    ListFile(0, 2, "never", 0, 8);
    CopyResult result = Run();
    EXPECT_EQ(CopyReadError, result.Outcome);
    EXPECT_EQ(1, result.Entry);
    EXPECT_EQ(0u, Fake.Written.count("C:\\Inst\\never"));

    Fake = FakeDisc();
    Fake.Source["E:\\ok"] = PatternBytes(3, 1);
    Fake.Source["E:\\locked"] = PatternBytes(3, 1);
    Fake.Unwritable = {"C:\\Inst\\locked"};
    ClearInstallModel();
    SetUp();
    ListFile(0, 0, "ok", 0, 8);
    ListFile(0, 1, "locked", 0, 8);
    result = Run();
    EXPECT_EQ(CopyWriteError, result.Outcome);
    EXPECT_EQ(1, result.Entry);

    // A match the search could give no name (none of ours, no short one).
    Fake = FakeDisc();
    Fake.Searches = {{""}};
    ClearInstallModel();
    SetUp();
    ListFile(0, 0, "voice\\*.vce", 0, 8);
    result = Run();
    EXPECT_EQ(CopyReadError, result.Outcome);
    EXPECT_EQ(0, result.Entry);
    EXPECT_TRUE(Fake.Written.empty());
}

TEST_F(CopyWalk, AReadFailingInTheMiddleOfAFileIsAReadErrorAndAShortWriteAWriteError)
{
    Fake.Source["E:\\big"] = PatternBytes(3 * 65536, 1);
    Fake.FailReadOf = "E:\\big";
    ListFile(0, 0, "big", 0, 8);
    EXPECT_EQ(CopyReadError, Run().Outcome);
    EXPECT_EQ(65536u, Counters.BytesRead.load());

    ClearInstallModel();
    SetUp();
    Fake = FakeDisc();
    Fake.Source["E:\\p\\last.vce"] = PatternBytes(100, 1);
    Fake.ShortWriteOf = "C:\\Inst\\p\\last.vce";
    Fake.Searches = {{"last.vce"}};
    ListFile(0, 0, "x", 0, 4);
    ListFile(0, 1, "p\\*.vce", 0, 8);
    const CopyResult result = Run();
    EXPECT_EQ(CopyWriteError, result.Outcome);
    EXPECT_EQ(1, result.Entry);  // the pattern's entry, not the match
}

TEST_F(CopyWalk, EachFileTriedIsToldOnceWithItsNameSizeAndOutcome)
{
    // Reports: name, the source's bytes, outcome (0 done, 1 stopped, 2 read
    // error, 3 write error). "ok" (3 bytes) is listed first in every case.
    const struct {
        const char* Second;  // the second entry
        void (*Arrange)(FakeDisc* disc);
        std::vector<std::string> Reports;
    } cases[] = {
        {"voice\\*.vce",  // a match goes by its folder part and name
         [](FakeDisc* d) {
             d->Source["E:\\voice\\a.vce"] = PatternBytes(5, 1);
             d->Searches = {{"a.vce"}};
         },
         {"ok 3 0", "voice\\a.vce 5 0"}},
        {"missing", [](FakeDisc*) {}, {"ok 3 0", "missing 0 2"}},
        {"big",
         [](FakeDisc* d) {
             d->Source["E:\\big"] = PatternBytes(3 * 65536, 1);
             d->FailReadOf = "E:\\big";
         },
         {"ok 3 0", "big 196608 2"}},
        {"big", [](FakeDisc* d) { d->Unwritable = {"C:\\Inst\\ok"}; }, {"ok 3 3"}},
        {"big",  // stopped before its first block
         [](FakeDisc* d) {
             d->Source["E:\\big"] = PatternBytes(3 * 65536, 1);
             d->StopAtCheck = 2;
         },
         {"ok 3 0", "big 196608 1"}},
    };
    for (const auto& c : cases) {
        ClearInstallModel();
        SetUp();
        Fake = FakeDisc();
        Fake.Source["E:\\ok"] = PatternBytes(3, 1);
        c.Arrange(&Fake);
        ListFile(0, 0, "ok", 0, 8);
        ListFile(0, 1, c.Second, 0, 8);
        Run();
        EXPECT_EQ(c.Reports, Fake.Reports) << c.Second << " " << c.Reports.back();
    }
}

TEST_F(CopyWalk, AStopEndsTheWalkAtTheNextCheckWithEverythingClosed)
{
    Fake.Source["E:\\big"] = PatternBytes(4 * 65536, 1);
    ListFile(0, 0, "big", 0, 8);
    ListFile(0, 1, "next", 0, 8);
    Fake.StopAtCheck = 2;  // the second block of the first file
    const CopyResult result = Run();
    EXPECT_EQ(CopyStopped, result.Outcome);
    EXPECT_EQ(65536u, Counters.BytesWritten.load());
    EXPECT_EQ(std::string("check"), Fake.Log.back());

    Fake = FakeDisc();
    Fake.StopAtCheck = 0;
    EXPECT_EQ(CopyStopped, Run().Outcome);
    EXPECT_EQ(std::vector<std::string>{"check"}, Fake.Log);
}

TEST_F(CopyWalk, NamesThatWouldLeaveTheInstallFolderAreWriteErrorsBeforeAnythingIsOpened)
{
    for (const char* name : {"..\\evil.dll", "data\\..\\..\\evil", "C:\\Windows\\evil",
                             "\\evil", "..\\*.dll", "data\\.. \\x"}) {
        ClearInstallModel();
        SetUp();
        Fake = FakeDisc();
        ListFile(0, 0, name, 0, 8);
        const CopyResult result = Run();
        EXPECT_EQ(CopyWriteError, result.Outcome) << name;
        EXPECT_EQ((std::vector<std::string>{"check"}), Fake.Log) << name;
    }
    // A match the disc itself names oddly is held to the same rule.
    Fake = FakeDisc();
    Fake.Searches = {{"..."}};
    ClearInstallModel();
    SetUp();
    ListFile(0, 0, "*", 0, 8);
    EXPECT_EQ(CopyWriteError, Run().Outcome);
    EXPECT_TRUE(Fake.Written.empty());
}

TEST_F(CopyWalk, PathsThatDoNotFit260BytesFailTheirEntryInsteadOfBeingCut)
{
    // 3 + 257 bytes of source: a read error.
    const std::string longName(257, 'n');
    ListFile(0, 0, longName.c_str(), 0, 8);
    EXPECT_EQ(CopyReadError, Run().Outcome);

    // The source fits, the destination below a longer install folder does not.
    ClearInstallModel();
    SetUp();
    Fake = FakeDisc();
    const std::string name(200, 'n');
    Fake.Source["E:\\" + name] = PatternBytes(1, 1);
    CopyText(SetupScript.InstallFolder, ("C:\\" + std::string(60, 'i')).c_str());
    ListFile(0, 0, name.c_str(), 0, 8);
    EXPECT_EQ(CopyWriteError, Run().Outcome);
    EXPECT_TRUE(Fake.Written.empty());
}

TEST_F(CopyWalk, TheSourceRootIsTheDriveOfTheDisc)
{
    SetupScript.DiscDrive = 26;
    ListFile(0, 0, "f", 0, 8);
    Run();
    EXPECT_EQ(std::string("open Z:\\f"), Fake.Log[1]);

    // No drive at all opens no file of the current folder.
    Fake = FakeDisc();
    SetupScript.DiscDrive = 0;
    EXPECT_EQ(CopyReadError, Run().Outcome);
    EXPECT_EQ(std::string("open ?:\\f"), Fake.Log[1]);
}

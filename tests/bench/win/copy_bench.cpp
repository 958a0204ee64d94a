// Throughput of the copy worker under Wine against CopyFileA over the same
// files, for the shapes a game's discs hold: many small files, ten thousand
// tiny ones over ten discs, and one large file; and the worker again with
// the setup log open, which writes a line per file.
//
//   copy_bench FOLDER [--smoke]
//
// FOLDER receives the files (FOLDER\disc, made once), the copies
// (FOLDER\worker, FOLDER\copyfile) and the log (FOLDER\copy-log.txt). The
// worker copies them as it copies a disc: DiscDrive is FOLDER's drive and
// the lists name the files from that drive's root. For each shape the three
// ways take turns over a warm cache, five times each; the best run of each
// counts. Prints MB/s for each, the ratio of the worker to CopyFileA (above
// 1 is faster) and of the worker with the log to the worker alone (1 is the
// same speed); then the log's lines timed alone, one per file, and the
// ratio they make: steadier than the runs' on a busy machine. The log must
// hold a line per file copied. --smoke runs each shape once on a few small
// files, only to show that the measurement works.
#include "common/setup_log.h"
#include "common/text.h"
#include "install/copy_worker.h"
#include "install/folders.h"
#include "install/install_messages.h"
#include "script/setup_model.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

uint32_t LargeSize = 256u << 20;
int SmallCount = 1000;
int TinyCount = 10000;
int Rounds = 5;

double Now()
{
    LARGE_INTEGER count, frequency;
    QueryPerformanceCounter(&count);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(count.QuadPart) / static_cast<double>(frequency.QuadPart);
}

uint32_t Next(uint32_t* state)
{
    *state = *state * 1664525u + 1013904223u;
    return *state;
}

bool WriteFileOf(const std::string& path, uint32_t size, uint32_t seed)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    std::vector<uint8_t> block(1 << 16);
    uint32_t state = seed;
    bool ok = true;
    for (uint32_t done = 0; ok && done < size;) {
        const uint32_t count = std::min<uint32_t>(size - done, static_cast<uint32_t>(block.size()));
        for (uint32_t i = 0; i < count; ++i)
            block[i] = static_cast<uint8_t>(Next(&state) >> 24);
        DWORD written = 0;
        ok = WriteFile(file, block.data(), count, &written, nullptr) && written == count;
        done += count;
    }
    CloseHandle(file);
    return ok;
}

struct FileSet {
    const char* Title;
    std::vector<std::string> Relative;  // below the disc folder
    std::vector<uint32_t> Sizes;
    uint64_t Bytes = 0;
    int Discs = 1;                      // lists the files are spread over
};

// The files of a set, made when they are not there yet.
void MakeFiles(const std::string& disc, FileSet* set)
{
    for (size_t i = 0; i < set->Relative.size(); ++i) {
        const std::string path = disc + "\\" + set->Relative[i];
        WIN32_FILE_ATTRIBUTE_DATA data;
        if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) ||
            data.nFileSizeLow != set->Sizes[i])
            WriteFileOf(path, set->Sizes[i], static_cast<uint32_t>(i + 1));
        set->Bytes += set->Sizes[i];
    }
}

FileSet SmallFiles(const std::string& disc)
{
    FileSet set;
    set.Title = "small files";
    CreateFolderPath((disc + "\\small").c_str());
    uint32_t state = 7;
    for (int i = 0; i < SmallCount; ++i) {
        set.Relative.push_back("small\\s" + std::to_string(i) + ".bin");
        set.Sizes.push_back(1024 + Next(&state) % (63 * 1024));
    }
    MakeFiles(disc, &set);
    return set;
}

// As many files as a large game holds, 1 to 4 KB each: more than one list
// takes, so they go over ten discs, as they would on a real set.
FileSet TinyFiles(const std::string& disc)
{
    FileSet set;
    set.Title = "tiny files over ten discs";
    set.Discs = MaxDiscs;
    CreateFolderPath((disc + "\\tiny").c_str());
    uint32_t state = 11;
    for (int i = 0; i < TinyCount; ++i) {
        set.Relative.push_back("tiny\\t" + std::to_string(i) + ".bin");
        set.Sizes.push_back(1024 + Next(&state) % (3 * 1024));
    }
    MakeFiles(disc, &set);
    return set;
}

FileSet LargeFile(const std::string& disc)
{
    FileSet set;
    set.Title = "one large file";
    set.Relative.push_back("large.bin");
    set.Sizes.push_back(LargeSize);
    MakeFiles(disc, &set);
    return set;
}

void ReadAll(const std::string& disc, const FileSet& set)
{
    std::vector<uint8_t> buffer(1 << 20);
    for (const std::string& name : set.Relative) {
        HANDLE file = CreateFileA((disc + "\\" + name).c_str(), GENERIC_READ, FILE_SHARE_READ,
                                  nullptr, OPEN_EXISTING, 0, nullptr);
        DWORD got = 0;
        while (file != INVALID_HANDLE_VALUE &&
               ReadFile(file, buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr) && got)
            ;
        if (file != INVALID_HANDLE_VALUE)
            CloseHandle(file);
    }
}

// The set as the discs' lists, in equal shares, each file named from the
// drive's root.
void ListSet(const std::string& root, const FileSet& set)
{
    ResetSetupScript();
    const size_t share = (set.Relative.size() + set.Discs - 1) / set.Discs;
    for (size_t i = 0; i < set.Relative.size() && i / share < static_cast<size_t>(set.Discs) &&
                       i % share < static_cast<size_t>(MaxFilesPerDisc);
         ++i) {
        FileEntry& entry = SetupScript.DiscFiles[i / share][i % share];
        entry.Name = static_cast<char*>(calloc(PathWidth, 1));
        CopyText(entry.Name, PathWidth, (root + "\\" + set.Relative[i]).c_str());
        entry.ByteSize = set.Sizes[i];
        entry.OptionMask = 8;
    }
}

// One run of the worker over the lists, disc after disc; false when it did
// not finish one.
bool WorkerRun(HWND target, int discs, double* seconds)
{
    InstallCounters.BytesRead = 0;
    InstallCounters.BytesWritten = 0;
    double spent = 0;
    for (int disc = 0; disc < discs; ++disc) {
        const double start = Now();
        if (!StartCopyWorker(disc))
            return false;
        JoinWorker(&CopyWorkerThread);
        spent += Now() - start;
        MSG message;
        bool done = false;
        while (PeekMessageA(&message, target, 0, 0, PM_REMOVE))
            done = done || message.message == InstMsgNextDisc;
        if (!done)
            return false;
    }
    *seconds = spent;
    return true;
}

// The same with the setup log open on a new file, closed again after.
bool LoggedWorkerRun(HWND target, int discs, const std::string& log, double* seconds)
{
    DeleteFileA(log.c_str());
    const double start = Now();
    if (!LogOpen(log.c_str()))
        return false;
    double spent = 0;
    const bool done = WorkerRun(target, discs, &spent);
    LogClose();
    *seconds = Now() - start;
    return done;
}

// The log's lines of files copied whole; the run's other lines (its
// opening, say) do not count.
size_t CountCopiedLines(const std::string& log)
{
    HANDLE file = CreateFileA(log.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    std::string text;
    std::vector<char> buffer(1 << 16);
    DWORD got = 0;
    while (ReadFile(file, buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr) && got)
        text.append(buffer.data(), got);
    CloseHandle(file);
    size_t lines = 0;
    const std::string done = " bytes: done\r\n";
    for (size_t at = text.find(done); at != std::string::npos; at = text.find(done, at + done.size()))
        ++lines;
    return lines;
}

bool CopyFileRun(const std::string& disc, const std::string& out, const FileSet& set,
                 double* seconds)
{
    const double start = Now();
    for (const std::string& name : set.Relative)
        if (!CopyFileA((disc + "\\" + name).c_str(), (out + "\\" + name).c_str(), FALSE))
            return false;
    *seconds = Now() - start;
    return true;
}

// The seconds one line of the log takes, as the worker writes it for each
// file of the set: the best of three runs over all its files.
double LineSeconds(const std::string& log, const FileSet& set)
{
    double best = 1e30;
    for (int run = 0; run < 3; ++run) {
        DeleteFileA(log.c_str());
        if (!LogOpen(log.c_str()))
            return 0;
        const double start = Now();
        for (size_t i = 0; i < set.Relative.size(); ++i)
            LogLine("Copy %s, %llu bytes: done", SetupScript.DiscFiles[0][0].Name,
                    static_cast<unsigned long long>(set.Sizes[i]));
        best = std::min(best, Now() - start);
        LogClose();
    }
    return best / static_cast<double>(set.Relative.size());
}

// The three ways over one set, taking turns; prints one line per way and
// the ratios.
bool Measure(const std::string& disc, const std::string& root, const std::string& copies,
             const std::string& log, HWND target, const FileSet& set)
{
    ListSet(root, set);
    ReadAll(disc, set);
    double worker = 1e30, logged = 1e30, copyFile = 1e30;
    // Each round starts with another way: what one run leaves (files to
    // overwrite, pages to write back) weighs on each in turn.
    for (int round = 0; round < Rounds * 3; ++round) {
        double seconds = 0;
        const int way = (round + round / 3) % 3;
        if (way == 0) {
            if (!WorkerRun(target, set.Discs, &seconds)) {
                fprintf(stderr, "copy_bench: the worker did not finish the list\n");
                return false;
            }
            worker = std::min(worker, seconds);
        } else if (way == 1) {
            if (!LoggedWorkerRun(target, set.Discs, log, &seconds)) {
                fprintf(stderr, "copy_bench: the worker with the log did not finish the list\n");
                return false;
            }
            logged = std::min(logged, seconds);
        } else {
            if (!CopyFileRun(disc, copies, set, &seconds)) {
                fprintf(stderr, "copy_bench: CopyFileA failed: %lu\n", GetLastError());
                return false;
            }
            copyFile = std::min(copyFile, seconds);
        }
    }
    // The log of the last run holds one line per file copied.
    const size_t lines = CountCopiedLines(log);
    if (lines != set.Relative.size()) {
        fprintf(stderr, "copy_bench: the log has %zu lines for %zu files\n", lines, set.Relative.size());
        return false;
    }
    const double megabytes = static_cast<double>(set.Bytes) / 1e6;
    printf("%s: %zu files, %.1f MB\n", set.Title, set.Relative.size(), megabytes);
    printf("  %-34s %9.1f MB/s\n", "copy worker", megabytes / worker);
    printf("  %-34s %9.1f MB/s\n", "copy worker with log", megabytes / logged);
    printf("  %-34s %9.1f MB/s\n", "CopyFileA", megabytes / copyFile);
    printf("  %-34s %9.2f\n", "ratio worker / CopyFileA", copyFile / worker);
    printf("  %-34s %9.3f\n", "ratio worker with log / worker", worker / logged);
    // On a machine shared with other work the runs' own noise is far larger
    // than 2 %: the lines alone, timed apart, tell what the log adds.
    const double line = LineSeconds(log, set);
    printf("  %-34s %9.1f us of %.1f us\n", "the log's own cost per file", line * 1e6,
           worker / static_cast<double>(set.Relative.size()) * 1e6);
    printf("  %-34s %9.3f\n", "ratio from that cost", worker / (worker + line * static_cast<double>(set.Relative.size())));
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    const bool smoke = argc == 3 && strcmp(argv[2], "--smoke") == 0;
    if ((argc != 2 && !smoke) || argv[1][0] == '\0' || argv[1][1] != ':') {
        fprintf(stderr, "usage: copy_bench FOLDER [--smoke] (FOLDER with its drive letter)\n");
        return 2;
    }
    if (smoke) {
        LargeSize = 1u << 20;
        SmallCount = 20;
        TinyCount = 30;
        Rounds = 1;
    }
    const std::string folder = argv[1];
    const std::string disc = folder + "\\disc";
    const std::string copies = folder + "\\copyfile";
    CreateFolderPath(disc.c_str());
    CreateFolderPath((copies + "\\small").c_str());
    CreateFolderPath((copies + "\\tiny").c_str());
    const FileSet small = SmallFiles(disc);
    const FileSet tiny = TinyFiles(disc);
    const FileSet large = LargeFile(disc);

    // The worker reads "<drive>:\<list entry>": the list names the files from
    // the drive's root, and the same path lies below the install folder.
    const std::string root = disc.substr(3);
    const std::string install = folder + "\\worker";
    CopyText(SetupScript.InstallFolder, install.c_str());
    SetupScript.DiscDrive = static_cast<uint8_t>((argv[1][0] | 0x20) - 'a' + 1);
    SetupScript.InstallOption = 8;
    CreateFolderPath((install + "\\" + root + "\\small").c_str());
    CreateFolderPath((install + "\\" + root + "\\tiny").c_str());
    const std::string log = folder + "\\copy-log.txt";
    WorkerTarget = CreateWindowA("STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);

    const bool ok = Measure(disc, root, copies, log, WorkerTarget, small) &&
                    Measure(disc, root, copies, log, WorkerTarget, tiny) &&
                    Measure(disc, root, copies, log, WorkerTarget, large);
    ResetSetupScript();
    return ok ? 0 : 1;
}

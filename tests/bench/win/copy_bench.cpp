// Throughput of the copy worker under Wine against CopyFileA over the same
// files, for the two shapes a game's discs hold: many small files, and one
// large file.
//
//   copy_bench FOLDER [--smoke]
//
// FOLDER receives the files (FOLDER\disc, made once) and the copies
// (FOLDER\worker, FOLDER\copyfile). The worker copies them as it copies a
// disc: DiscDrive is FOLDER's drive and the list names the files from that
// drive's root. For each shape the two ways take turns over a warm cache,
// five times each; the best run of each counts. Prints MB/s for both and the
// ratio of the worker to CopyFileA (above 1 is faster). --smoke runs each
// shape once on a few small files, only to show that the measurement works.
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

// The set as disc 1's list, each file named from the drive's root.
void ListSet(const std::string& root, const FileSet& set)
{
    ResetSetupScript();
    for (size_t i = 0; i < set.Relative.size() && i < MaxFilesPerDisc; ++i) {
        FileEntry& entry = SetupScript.DiscFiles[0][i];
        entry.Name = static_cast<char*>(calloc(PathWidth, 1));
        CopyText(entry.Name, PathWidth, (root + "\\" + set.Relative[i]).c_str());
        entry.ByteSize = set.Sizes[i];
        entry.OptionMask = 8;
    }
}

// One run of the worker over the list; false when it did not finish the disc.
bool WorkerRun(HWND target, double* seconds)
{
    InstallCounters.BytesRead = 0;
    InstallCounters.BytesWritten = 0;
    const double start = Now();
    if (!StartCopyWorker(0))
        return false;
    JoinWorker(&CopyWorkerThread);
    *seconds = Now() - start;
    MSG message;
    bool done = false;
    while (PeekMessageA(&message, target, 0, 0, PM_REMOVE))
        done = done || message.message == InstMsgNextDisc;
    return done;
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

// Both ways over one set, taking turns; prints one line per way and the ratio.
bool Measure(const std::string& disc, const std::string& root, const std::string& copies,
             HWND target, const FileSet& set)
{
    ListSet(root, set);
    ReadAll(disc, set);
    double worker = 1e30, copyFile = 1e30;
    for (int round = 0; round < Rounds; ++round) {
        double seconds = 0;
        if (!WorkerRun(target, &seconds)) {
            fprintf(stderr, "copy_bench: the worker did not finish the list\n");
            return false;
        }
        worker = std::min(worker, seconds);
        if (!CopyFileRun(disc, copies, set, &seconds)) {
            fprintf(stderr, "copy_bench: CopyFileA failed: %lu\n", GetLastError());
            return false;
        }
        copyFile = std::min(copyFile, seconds);
    }
    const double megabytes = static_cast<double>(set.Bytes) / 1e6;
    printf("%s: %zu files, %.1f MB\n", set.Title, set.Relative.size(), megabytes);
    printf("  %-28s %9.1f MB/s\n", "copy worker", megabytes / worker);
    printf("  %-28s %9.1f MB/s\n", "CopyFileA", megabytes / copyFile);
    printf("  %-28s %9.2f\n", "ratio worker / CopyFileA", copyFile / worker);
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
        Rounds = 1;
    }
    const std::string folder = argv[1];
    const std::string disc = folder + "\\disc";
    const std::string copies = folder + "\\copyfile";
    CreateFolderPath(disc.c_str());
    CreateFolderPath((copies + "\\small").c_str());
    const FileSet small = SmallFiles(disc);
    const FileSet large = LargeFile(disc);

    // The worker reads "<drive>:\<list entry>": the list names the files from
    // the drive's root, and the same path lies below the install folder.
    const std::string root = disc.substr(3);
    const std::string install = folder + "\\worker";
    CopyText(SetupScript.InstallFolder, install.c_str());
    SetupScript.DiscDrive = static_cast<uint8_t>((argv[1][0] | 0x20) - 'a' + 1);
    SetupScript.InstallOption = 8;
    CreateFolderPath((install + "\\" + root + "\\small").c_str());
    WorkerTarget = CreateWindowA("STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);

    const bool ok = Measure(disc, root, copies, WorkerTarget, small) &&
                    Measure(disc, root, copies, WorkerTarget, large);
    ResetSetupScript();
    return ok ? 0 : 1;
}

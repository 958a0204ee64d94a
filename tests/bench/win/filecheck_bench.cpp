// Throughput of the installed-file check under Wine, twice over the same
// files: the worker's reading and hashing path alone, and the whole dialog
// (worker thread, list and progress bar updates, closing message) as a
// player runs it.
//
//   filecheck_bench FOLDER DIGESTS
//
// FOLDER is the install folder; DIGESTS lists the files below it as md5sum
// prints them ("<digest>  <relative path>"). Prints one line per path with
// the bytes, seconds and MB/s; exits 1 when a file does not check out.
#include "win/uninstall/dialog_driver.h"

#include "common/text.h"
#include "script/setup_model.h"
#include "verify/file_check.h"
#include "verify/verify_run.h"

#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>

namespace {

double Now()
{
    LARGE_INTEGER count, frequency;
    QueryPerformanceCounter(&count);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(count.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Fills the file table from md5sum's lines; returns the bytes the files hold.
uint64_t LoadDigests(const char* folder, const char* listPath, int* count)
{
    std::ifstream list(listPath);
    std::string line;
    uint64_t bytes = 0;
    *count = 0;
    while (std::getline(list, line) && *count < MaxFilesPerDisc) {
        if (line.size() < 35)
            continue;
        std::string name = line.substr(34);
        for (char& c : name)
            c = c == '/' ? '\\' : c;
        FileEntry& entry = SetupScript.DiscFiles[0][*count];
        entry.Name = static_cast<char*>(calloc(1, PathWidth));
        CopyText(entry.Name, PathWidth, name.c_str());
        CopyText(entry.Digest, line.substr(0, 32).c_str());
        WIN32_FILE_ATTRIBUTE_DATA data;
        const std::string path = std::string(folder) + "\\" + name;
        if (GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
            bytes += (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
        ++*count;
    }
    return bytes;
}

void NoStatus(void*, int, const char*) {}
void NoRange(void*, uint32_t) {}
void NoPosition(void*, uint32_t) {}

// The worker's loop without a dialog: open, piece after piece, verdict.
double HashingPath(uint32_t* errors)
{
    static VerifyItems items;
    CollectVerifyItems(&items, [](void*, int, const char*) {}, nullptr);
    const VerifyView view = {nullptr, NoStatus, NoRange, NoPosition};
    static uint8_t piece[VerifyPieceSize];
    VerifyState run = {};
    run.Items = &items;
    ResetVerifyState(&run);
    const double start = Now();
    while (VerifyStep(&run, view, SetupScript.InstallFolder, piece)) {
    }
    *errors = run.ErrorCount;
    return Now() - start;
}

// The dialog as the player uses it: from "実行" to the closing message.
double DialogRun(std::string* message)
{
    double seconds = -1;
    std::thread driver([&] {
        HWND dialog = dialog_driver::WaitForDialog("『Bench』ファイルチェック");
        if (dialog == nullptr)
            return;
        const double start = Now();
        dialog_driver::Press(dialog, IDOK);
        HWND box = dialog_driver::WaitForDialog("Drubel", 600000);
        seconds = Now() - start;
        if (box != nullptr) {
            *message = dialog_driver::BoxText(box);
            dialog_driver::Press(box, IDOK);
            dialog_driver::WaitUntilGone(box);
        }
        dialog_driver::Press(dialog, IDCANCEL);
    });
    FileCheckDialog();
    driver.join();
    return seconds;
}

void Report(const char* what, uint64_t bytes, double seconds)
{
    printf("%-28s %12llu bytes %8.3f s %9.1f MB/s\n", what, static_cast<unsigned long long>(bytes),
           seconds, seconds > 0 ? static_cast<double>(bytes) / 1e6 / seconds : 0.0);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        fprintf(stderr, "usage: filecheck_bench FOLDER DIGESTS\n");
        return 2;
    }
    INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&classes);
    ResetSetupScript();
    SetupScript.Instance = GetModuleHandleA(nullptr);
    SetupScript.DISCNUM = 1;
    CopyText(SetupScript.APPLITITLE, "Bench");
    CopyText(SetupScript.InstallFolder, argv[1]);
    int count = 0;
    const uint64_t bytes = LoadDigests(argv[1], argv[2], &count);
    if (count == 0) {
        fprintf(stderr, "no files listed in %s\n", argv[2]);
        return 2;
    }

    uint32_t errors = 0;
    const double hashing = HashingPath(&errors);
    Report("hashing_path", bytes, hashing);
    std::string message;
    const double dialog = DialogRun(&message);
    Report("dialog_end_to_end", bytes, dialog);
    const bool sound = errors == 0 && message == FileCheckSoundText;
    if (!sound)
        fprintf(stderr, "files in error: %u; dialog said: %s\n", errors, message.c_str());
    ResetSetupScript();
    return sound ? 0 : 1;
}

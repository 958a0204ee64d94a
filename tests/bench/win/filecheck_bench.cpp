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
#include "verify/verify_worker_win32.h"

#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
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
        // The script lists each file's size; the check takes the largest first by it.
        WIN32_FILE_ATTRIBUTE_DATA data;
        const std::string path = std::string(folder) + "\\" + name;
        if (GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
            entry.ByteSize = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
        bytes += entry.ByteSize;
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

// The dialog's hashers without the dialog: the same run on every core,
// with nothing to show. Tells the cost of reading on several threads apart
// from that of showing what they find.
double HashingPathEveryCore(uint32_t* errors)
{
    std::unique_ptr<FileCheckRun> run(new FileCheckRun());
    CollectVerifyItems(&run->Items, [](void*, int, const char*) {}, nullptr);
    PrepareVerifyRun(run.get());
    const double start = Now();
    const bool finished = HashOnEveryCore(run.get(), [](void*) { return false; });
    const double seconds = Now() - start;
    *errors = finished ? run->State.ErrorCount : 1;
    return seconds;
}

// When the closing message came up, seen on the dialog's own thread: the
// driver finds it only at its next look.
double BoxShown;

LRESULT CALLBACK NoteBox(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_ACTIVATE && BoxShown == 0) {
        char caption[16] = {};
        GetWindowTextA(reinterpret_cast<HWND>(wParam), caption, sizeof caption);
        if (strcmp(caption, "Drubel") == 0)
            BoxShown = Now();
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// The dialog as the player uses it: from "実行" to the closing message.
double DialogRun(std::string* message)
{
    double seconds = -1;
    BoxShown = 0;
    HHOOK hook = SetWindowsHookExA(WH_CBT, NoteBox, nullptr, GetCurrentThreadId());
    std::thread driver([&] {
        HWND dialog = dialog_driver::WaitForDialog("『Bench』ファイルチェック");
        if (dialog == nullptr)
            return;
        const double start = Now();
        dialog_driver::Press(dialog, IDOK);
        HWND box = dialog_driver::WaitForDialog("Drubel", 600000);
        seconds = (BoxShown != 0 ? BoxShown : Now()) - start;
        if (box != nullptr) {
            *message = dialog_driver::BoxText(box);
            dialog_driver::Press(box, IDOK);
            dialog_driver::WaitUntilGone(box);
        }
        dialog_driver::Press(dialog, IDCANCEL);
    });
    FileCheckDialog();
    driver.join();
    if (hook != nullptr)
        UnhookWindowsHookEx(hook);
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
    uint32_t everyCoreErrors = 0;
    const double everyCore = HashingPathEveryCore(&everyCoreErrors);
    Report("hashing_every_core", bytes, everyCore);
    errors += everyCoreErrors;
    std::string message;
    const double dialog = DialogRun(&message);
    Report("dialog_end_to_end", bytes, dialog);
    const bool sound = errors == 0 && message == FileCheckSoundText;
    if (!sound)
        fprintf(stderr, "files in error: %u; dialog said: %s\n", errors, message.c_str());
    ResetSetupScript();
    return sound ? 0 : 1;
}

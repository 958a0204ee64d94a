// The installed-file check after an installation: a sound installation, a
// second run that finds a changed and a deleted file, and "終了" while a
// large file is being read.
#include "install_product.h"

#include <commctrl.h>
#include <wincrypt.h>

#include <cstdio>
#include <utility>

namespace {

enum : int {
    CheckList = 1018,
    CheckProgress = 1019,
};

const char CheckCaption[] = "『テストゲーム』ファイルチェック";
const char SoundText[] = "インストールされたファイルはすべて正常です。";
const char DamagedText[] =
    "エラーになったファイルがあります。これらのファイルをディスクから修復しますか？\n"
    "（修復しない場合は、ゲームを実行せず、再インストールして下さい。）";

using Row = std::pair<std::string, std::string>;  // file, verdict

// A file of 4 GB + 4097 bytes: a head, a hole that costs no disk, and a
// tail past the 4 GB mark, so that a copy or check cut to 32 bits differs.
constexpr uint64_t LargeSize = (4ull << 30) + 4097;
const char LargeHead[] = "Drubel 4 GB file";
const char LargeDigest[] = "d174c8f6ad7a0de2bb4b15f7604e39fa";

std::string LargeTail()
{
    std::string tail(4097, '\0');
    for (size_t i = 0; i < tail.size(); ++i)
        tail[i] = static_cast<char>(i * 7 + 3);
    return tail;
}

bool WriteAt(HANDLE file, uint64_t offset, const std::string& bytes)
{
    LARGE_INTEGER at;
    at.QuadPart = static_cast<LONGLONG>(offset);
    DWORD done = 0;
    return SetFilePointerEx(file, at, nullptr, FILE_BEGIN) &&
           WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr) &&
           done == bytes.size();
}

bool MakeLargeFile(const std::string& path)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    const bool made = WriteAt(file, 0, LargeHead) && WriteAt(file, 4ull << 30, LargeTail());
    CloseHandle(file);
    return made;
}

// The bytes at `offset`, as many as `count`.
std::string ReadAt(const std::string& path, uint64_t offset, size_t count)
{
    std::string bytes(count, '\0');
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    LARGE_INTEGER at;
    at.QuadPart = static_cast<LONGLONG>(offset);
    DWORD done = 0;
    if (file == INVALID_HANDLE_VALUE || !SetFilePointerEx(file, at, nullptr, FILE_BEGIN) ||
        !ReadFile(file, &bytes[0], static_cast<DWORD>(count), &done, nullptr))
        done = 0;
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
    bytes.resize(done);
    return bytes;
}

uint64_t SizeOf(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return 0;
    return (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// Waits until the file has grown past `size` bytes; false when it does not.
bool GrowsPast(const std::string& path, uint64_t size, DWORD milliseconds)
{
    const DWORD start = GetTickCount();
    while (SizeOf(path) <= size) {
        if (GetTickCount() - start > milliseconds)
            return false;
        Sleep(20);
    }
    return true;
}

// MD5 from the system's crypto provider, apart from the program's own.
std::string Md5Hex(const std::string& bytes, bool upperCase)
{
    std::string hex;
    HCRYPTPROV provider = 0;
    HCRYPTHASH hash = 0;
    BYTE digest[16];
    DWORD size = sizeof digest;
    if (CryptAcquireContextA(&provider, nullptr, nullptr, PROV_RSA_FULL, CRYPT_VERIFYCONTEXT) &&
        CryptCreateHash(provider, CALG_MD5, 0, 0, &hash) &&
        CryptHashData(hash, reinterpret_cast<const BYTE*>(bytes.data()),
                      static_cast<DWORD>(bytes.size()), 0) &&
        CryptGetHashParam(hash, HP_HASHVAL, digest, &size, 0)) {
        for (BYTE b : digest) {
            char two[3];
            snprintf(two, sizeof two, upperCase ? "%02X" : "%02x", b);
            hex += two;
        }
    }
    if (hash)
        CryptDestroyHash(hash);
    if (provider)
        CryptReleaseContext(provider, 0);
    return hex;
}

std::vector<Row> CheckRows(HWND dialog) { return ListRows(GetDlgItem(dialog, CheckList)); }

bool RowShows(HWND dialog, size_t row, const std::string& verdict)
{
    const std::vector<Row> rows = CheckRows(dialog);
    return row < rows.size() && rows[row].second == verdict;
}

}  // namespace

class FileCheckTest : public InstallTest {
protected:
    // The product with a digest for every file of disc 1, data\big.dat
    // (of the full option only) included; the readme's digest is written
    // in upper case. The tests install the minimum option.
    std::vector<std::string> CheckedScript() const
    {
        std::vector<std::string> script;
        for (const std::string& line : ProductScript())
            if (line.find(" DISC1 =") == std::string::npos)
                script.push_back(line);
        for (const DiscFile& f : Files) {
            if (f.Disc != 1)
                continue;
            const std::string digest = Md5Hex(DiscFileBytes(f), f.Name == "manual\\readme.txt");
            EXPECT_EQ(32u, digest.size()) << "no MD5 for " << f.Name;
            script.push_back("FILE = \"" + f.Name + "\" " + std::to_string(f.Size) +
                             (f.FullOnly ? " 0x08" : " 0x0C") + " 1 \"" + digest + "\"");
        }
        return script;
    }

    HWND OpenCheck(HWND launcher)
    {
        EXPECT_TRUE(ControlEnabled(launcher, LaunchCheck));
        PressButton(launcher, LaunchCheck);
        HWND dialog = WaitForDialog(CheckCaption);
        EXPECT_NE(nullptr, dialog) << "no file check dialog";
        return dialog;
    }

    // "実行" and the closing message: its text and the rows it closes on.
    // The message is answered and the button is back.
    std::string RunCheck(HWND dialog, std::vector<Row>* rows, DWORD milliseconds = 30000)
    {
        PressButton(dialog, IDOK);
        HWND box = WaitForDialog("Drubel", milliseconds);
        if (!box) {
            ADD_FAILURE() << "no closing message";
            return "";
        }
        EXPECT_FALSE(ControlEnabled(dialog, IDOK)) << "実行 stays enabled during the run";
        *rows = CheckRows(dialog);
        const std::string text = MessageBoxText(box);
        // Files in error: the repair is offered, and declined here.
        PressButton(box, text == SoundText ? IDOK : IDNO);
        EXPECT_TRUE(WaitForWindowGone(box));
        EXPECT_TRUE(ControlEnabled(dialog, IDOK));
        return text;
    }

    // "終了": back at the launcher.
    HWND CloseCheck(HWND dialog)
    {
        PressButton(dialog, IDCANCEL);
        EXPECT_TRUE(WaitForWindowGone(dialog, 5000)) << "the dialog stays";
        return WaitForLauncher(ProductTitle);
    }
};

TEST_F(FileCheckTest, ASoundInstallationThenASecondRunFindsTheDamage)
{
    // data\big.dat belongs to the other option: never copied, not listed.
    HWND launcher = InstallProduct(CheckedScript(), false, false);
    ASSERT_NE(nullptr, launcher);
    HWND dialog = OpenCheck(launcher);
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ("実行", ControlText(dialog, IDOK));
    EXPECT_EQ("終了", ControlText(dialog, IDCANCEL));
    EXPECT_EQ((std::vector<Row>{{"game.exe", "Not Run"},
                                {"data\\a.dat", "Not Run"},
                                {"manual\\readme.txt", "Not Run"}}),
              CheckRows(dialog));

    std::vector<Row> rows;
    EXPECT_EQ(SoundText, RunCheck(dialog, &rows));
    EXPECT_EQ((std::vector<Row>{{"game.exe", "OK"}, {"data\\a.dat", "OK"}, {"manual\\readme.txt", "OK"}}),
              rows);

    // One byte changed in the middle of a file, another file deleted.
    const std::string changed = InstallFolder() + "\\data\\a.dat";
    std::string bytes = ReadBytesFrom(changed);
    ASSERT_FALSE(bytes.empty());
    bytes[bytes.size() / 2] ^= 0x01;
    WriteBytesTo(changed, bytes);
    ASSERT_TRUE(DeleteFileA((InstallFolder() + "\\manual\\readme.txt").c_str()));

    EXPECT_EQ(DamagedText, RunCheck(dialog, &rows));
    EXPECT_EQ((std::vector<Row>{{"game.exe", "OK"},
                                {"data\\a.dat", "NG - Different"},
                                {"manual\\readme.txt", "NG - Cannot Open"}}),
              rows);

    launcher = CloseCheck(dialog);
    ASSERT_NE(nullptr, launcher);
    EXPECT_EQ("アンインストール", ControlText(launcher, LaunchInstall));
    ExitLauncher(launcher);
}

TEST_F(FileCheckTest, StopDuringARunClosesWithoutAMessageAndLeavesNoFileOpen)
{
    HWND launcher = InstallProduct(CheckedScript(), false, false);
    ASSERT_NE(nullptr, launcher);
    // A file of 5 GiB (sparse, so that it costs no disk) takes a while to
    // read, and has more pieces than the bar's 16-bit range.
    const std::string large = InstallFolder() + "\\data\\a.dat";
    HANDLE file = CreateFileA(large.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    LARGE_INTEGER size;
    size.QuadPart = 5LL << 30;
    EXPECT_TRUE(SetFilePointerEx(file, size, nullptr, FILE_BEGIN) && SetEndOfFile(file));
    CloseHandle(file);

    HWND dialog = OpenCheck(launcher);
    ASSERT_NE(nullptr, dialog);
    PressButton(dialog, IDOK);
    const DWORD start = GetTickCount();
    while (!RowShows(dialog, 1, "Now Checking...") && GetTickCount() - start < 30000)
        Sleep(20);
    ASSERT_TRUE(RowShows(dialog, 1, "Now Checking...")) << "the large file was never read";
    HWND bar = GetDlgItem(dialog, CheckProgress);
    const LRESULT before = SendMessageA(bar, PBM_GETPOS, 0, 0);
    Sleep(300);
    const LRESULT after = SendMessageA(bar, PBM_GETPOS, 0, 0);
    EXPECT_LT(before, after) << "the bar stands still";
    EXPECT_LT(after, SendMessageA(bar, PBM_GETRANGE, FALSE, 0)) << "the bar is full already";

    launcher = CloseCheck(dialog);
    ASSERT_NE(nullptr, launcher);
    EXPECT_EQ(nullptr, WaitForDialog("Drubel", 1000)) << "a closing message after 終了";
    EXPECT_TRUE(DeleteFileA(large.c_str())) << "the file is still open: error " << GetLastError();
    ExitLauncher(launcher);
}

// The whole road of a file past 4 GB: the options count it, the copy takes
// it whole (pausing while the abort question is open, going on after No),
// the check calls it sound, and the uninstall removes it. The target is
// real data on the disk, so the scenario is one, and its end removes it.
TEST_F(FileCheckTest, AFileOfFourGigabytesAndMoreIsInstalledWholeCheckedSoundAndUninstalled)
{
    const std::string name = "data\\huge.bin";
    std::vector<std::string> script = ProductScript();
    script.push_back("FILE = \"" + name + "\" " + std::to_string(LargeSize) + " 0x0C 1 \"" +
                     LargeDigest + "\"");
    HWND options = StartAndOpenOptions(script);
    ASSERT_NE(nullptr, options);
    ASSERT_TRUE(MakeLargeFile(DriveFolder('E') + "\\" + name));
    uint64_t minimum = LargeSize;
    for (const DiscFile& f : Files)
        minimum += f.FullOnly ? 0 : f.Size;
    EXPECT_EQ("最小インストール ( " + std::to_string(minimum / 1048576 + 1) + "MB)",
              ControlText(options, OptionSecond));
    PressButton(options, OptionSecond);
    HWND window = ConfirmOptions(options);
    ASSERT_NE(nullptr, window);

    // The order of events on the disk: the target grows, stands still while
    // the question is open, and grows again after No.
    const std::string target = InstallFolder() + "\\" + name;
    ASSERT_TRUE(GrowsPast(target, 0, 60000)) << "the large file is never copied";
    PostMessageA(window, WM_KEYDOWN, VK_ESCAPE, 0);
    HWND question = WaitForDialog("確認");
    ASSERT_NE(nullptr, question);
    Sleep(300);  // a block under way when the pause came still lands
    const uint64_t paused = SizeOf(target);
    Sleep(700);
    EXPECT_EQ(paused, SizeOf(target)) << "the copy goes on while paused";
    EXPECT_LT(paused, LargeSize) << "the copy ended before the pause";
    PressButton(question, IDNO);
    EXPECT_TRUE(GrowsPast(target, paused, 20000)) << "the copy does not resume";

    const std::string lastLink = StartMenuGroup() + "\\説明書.lnk";
    ASSERT_TRUE(WaitUntil([](const std::string& path) { return Exists(path); }, lastLink, 600000))
        << "the installation never finished";
    Sleep(500);
    CloseFinishScreen(window);
    HWND launcher = WaitForLauncher(ProductTitle);
    ASSERT_NE(nullptr, launcher);
    EXPECT_EQ(LargeSize, SizeOf(target));
    EXPECT_EQ(LargeHead, ReadAt(target, 0, sizeof LargeHead - 1));
    EXPECT_TRUE(LargeTail() == ReadAt(target, 4ull << 30, 4097)) << "the part past 4 GB differs";

    HWND dialog = OpenCheck(launcher);
    ASSERT_NE(nullptr, dialog);
    std::vector<Row> rows;
    EXPECT_EQ(SoundText, RunCheck(dialog, &rows, 600000));
    EXPECT_EQ((std::vector<Row>{{name, "OK"}}), rows);
    launcher = CloseCheck(dialog);
    ASSERT_NE(nullptr, launcher);

    PressButton(launcher, LaunchInstall);
    HWND uninstall = WaitForDialog("テストゲーム のアンインストール");
    ASSERT_NE(nullptr, uninstall) << "no uninstall dialog";
    PressButton(uninstall, IDOK);
    HWND box = WaitForDialogExcept(ProductTitle, nullptr, 60000);
    ASSERT_NE(nullptr, box) << "no closing message of the uninstall";
    PressButton(box, IDOK);
    EXPECT_EQ(0, WaitForExit(Process, 20000));
    EXPECT_FALSE(Exists(target)) << "the uninstall left the large file";
}

// The repair: the check's damaged files copied back from their discs.
class RepairTest : public FileCheckTest {
protected:
    // Every file of both discs with its digest; the full option installs them all.
    std::vector<std::string> RepairScript() const
    {
        std::vector<std::string> script;
        for (const std::string& line : ProductScript())
            if (line.find(" DISC1 =") == std::string::npos && line.find(" DISC2 =") == std::string::npos)
                script.push_back(line);
        for (const DiscFile& f : Files)
            script.push_back("FILE = \"" + f.Name + "\" " + std::to_string(f.Size) +
                             (f.FullOnly ? " 0x08 " : " 0x0C ") + std::to_string(f.Disc) + " \"" +
                             Md5Hex(DiscFileBytes(f), false) + "\"");
        return script;
    }

    std::string Installed(const std::string& name) const { return InstallFolder() + "\\" + name; }

    // "実行", then はい to the repair; the check's rows before it.
    HWND RunAndAcceptRepair(HWND dialog, std::vector<Row>* rows)
    {
        PressButton(dialog, IDOK);
        HWND offer = WaitForDialog("Drubel", 60000);
        EXPECT_NE(nullptr, offer) << "no closing message";
        if (!offer)
            return nullptr;
        *rows = CheckRows(dialog);
        EXPECT_EQ(DamagedText, MessageBoxText(offer));
        PressButton(offer, IDYES);
        EXPECT_TRUE(WaitForWindowGone(offer));
        return dialog;
    }

    // The repair's closing message, answered.
    std::string RepairOutcome(HWND dialog, std::vector<Row>* rows)
    {
        HWND box = WaitForDialog("Drubel", 120000);
        if (!box) {
            ADD_FAILURE() << "no closing message of the repair";
            return "";
        }
        *rows = CheckRows(dialog);
        const std::string text = MessageBoxText(box);
        PressButton(box, IDOK);
        EXPECT_TRUE(WaitForWindowGone(box));
        return text;
    }

    const DiscFile& FileNamed(const std::string& name) const
    {
        for (const DiscFile& f : Files)
            if (f.Name == name)
                return f;
        return Files.front();
    }
};

TEST_F(RepairTest, TruncatedChangedAndDeletedFilesComeBackFromBothDiscs)
{
    HWND launcher = InstallProduct(RepairScript(), true, false);
    ASSERT_NE(nullptr, launcher);
    // One truncated and one deleted from disc 1, one changed from disc 2 (in F:).
    const std::string a = ReadBytesFrom(Installed("data\\a.dat"));
    WriteBytesTo(Installed("data\\a.dat"), a.substr(0, a.size() / 3));
    // The deleted file's folder goes too.
    ASSERT_TRUE(DeleteFileA(Installed("manual\\readme.txt").c_str()));
    ASSERT_TRUE(RemoveDirectoryA(Installed("manual").c_str()));
    std::string voice = ReadBytesFrom(Installed("data\\voice\\v3.vce"));
    voice[100] ^= 0x40;
    WriteBytesTo(Installed("data\\voice\\v3.vce"), voice);
    const std::string saveMark = LocalSaveFolder() + "\\keep.sav";
    WriteBytesTo(saveMark, "player's save");

    HWND dialog = OpenCheck(launcher);
    ASSERT_NE(nullptr, dialog);
    std::vector<Row> rows;
    ASSERT_NE(nullptr, RunAndAcceptRepair(dialog, &rows));
    int damaged = 0;
    for (const Row& row : rows)
        damaged += row.second.rfind("NG", 0) == 0 ? 1 : 0;
    EXPECT_EQ(3, damaged);
    EXPECT_EQ("3 個のファイルを修復しました。インストールされたファイルはすべて正常です。",
              RepairOutcome(dialog, &rows));
    for (const Row& row : rows)
        EXPECT_EQ("OK", row.second) << row.first;
    EXPECT_EQ(SoundText, RunCheck(dialog, &rows));
    for (const char* name : {"data\\a.dat", "manual\\readme.txt", "data\\voice\\v3.vce"}) {
        EXPECT_TRUE(ReadBytesFrom(Installed(name)) == DiscFileBytes(FileNamed(name))) << name;
        EXPECT_FALSE(Exists(Installed(name) + ".repair~")) << name;
    }
    EXPECT_EQ("player's save", ReadBytesFrom(saveMark));
    ExitLauncher(CloseCheck(dialog));
}

TEST_F(RepairTest, ADamagedDiscCopyIsNamedAndTheInstalledFileLeftAlone)
{
    HWND launcher = InstallProduct(RepairScript(), true, false);
    ASSERT_NE(nullptr, launcher);
    std::string installed = ReadBytesFrom(Installed("data\\a.dat"));
    installed[7] ^= 1;
    WriteBytesTo(Installed("data\\a.dat"), installed);
    std::string onDisc = DiscFileBytes(FileNamed("data\\a.dat"));
    onDisc[9] ^= 1;
    WriteBytesTo(DriveFolder('E') + "\\data\\a.dat", onDisc);

    HWND dialog = OpenCheck(launcher);
    ASSERT_NE(nullptr, dialog);
    std::vector<Row> rows;
    ASSERT_NE(nullptr, RunAndAcceptRepair(dialog, &rows));
    EXPECT_EQ("0 個のファイルを修復しました。\n次のファイルは修復できませんでした：\n"
              "data\\a.dat（ディスクのファイルも壊れています）\n",
              RepairOutcome(dialog, &rows));
    EXPECT_TRUE(ReadBytesFrom(Installed("data\\a.dat")) == installed) << "the installed file was touched";
    EXPECT_FALSE(Exists(Installed("data\\a.dat") + ".repair~"));
    ExitLauncher(CloseCheck(dialog));
}

TEST_F(RepairTest, ACancelledDiscRequestKeepsWhatWasRepaired)
{
    HWND launcher = InstallProduct(RepairScript(), true, false);
    ASSERT_NE(nullptr, launcher);
    ASSERT_TRUE(DeleteFileA(Installed("data\\a.dat").c_str()));
    ASSERT_TRUE(DeleteFileA(Installed("data\\voice\\v2.vce").c_str()));
    // Disc 2 is taken out of F: before the repair asks for it.
    ASSERT_TRUE(DeleteFileA((DriveFolder('F') + "\\TEST2.KEY").c_str()));

    HWND dialog = OpenCheck(launcher);
    ASSERT_NE(nullptr, dialog);
    std::vector<Row> rows;
    ASSERT_NE(nullptr, RunAndAcceptRepair(dialog, &rows));
    HWND ask = WaitForDialog("ＤＶＤの挿入", 60000);
    ASSERT_NE(nullptr, ask) << "disc 2 was not asked for";
    PressButton(ask, IDCANCEL);
    EXPECT_EQ("修復を中断しました。1 個のファイルを修復しました。\n次のファイルは修復できませんでした：\n"
              "data\\voice\\v2.vce（修復していません）\n",
              RepairOutcome(dialog, &rows));
    EXPECT_TRUE(ReadBytesFrom(Installed("data\\a.dat")) == DiscFileBytes(FileNamed("data\\a.dat")));
    EXPECT_FALSE(Exists(Installed("data\\voice\\v2.vce")));
    ExitLauncher(CloseCheck(dialog));
}

// For support: /REPAIR with /VERYSILENT checks and repairs with no
// questions, and says with its code whether everything is sound at the end.
TEST_F(RepairTest, AnUnattendedRepairAsksNothingAndEndsWithItsCode)
{
    HWND launcher = InstallProduct(RepairScript(), true, false);
    ASSERT_NE(nullptr, launcher);
    ExitLauncher(launcher);
    ASSERT_TRUE(DeleteFileA(Installed("data\\voice\\v3.vce").c_str()));
    std::string a = ReadBytesFrom(Installed("data\\a.dat"));
    a[3] ^= 1;
    WriteBytesTo(Installed("data\\a.dat"), a);
    const std::string folder = Work / "product";
    const std::string log = Work / "repair.log";
    const auto repair = [&] {
        HANDLE process = StartIn(folder, "/REPAIR /VERYSILENT /LOG=\"" + log + "\"");
        const long code = process != nullptr ? WaitForExit(process, 120000) : -1;
        if (process != nullptr)
            CloseHandle(process);
        return code;
    };
    EXPECT_EQ(0, repair()) << ReadBytesFrom(log);
    for (const char* name : {"data\\a.dat", "data\\voice\\v3.vce"})
        EXPECT_TRUE(ReadBytesFrom(Installed(name)) == DiscFileBytes(FileNamed(name))) << name;

    // A disc copy damaged too: the file stays as it is, and the code says so.
    WriteBytesTo(Installed("data\\a.dat"), a);
    std::string onDisc = DiscFileBytes(FileNamed("data\\a.dat"));
    onDisc[9] ^= 1;
    WriteBytesTo(DriveFolder('E') + "\\data\\a.dat", onDisc);
    EXPECT_NE(0, repair()) << ReadBytesFrom(log);
    EXPECT_TRUE(ReadBytesFrom(Installed("data\\a.dat")) == a) << "the installed file was touched";
}

// An installation whose data folder has become a link since (run-e2e made
// it, to a folder of files named like the game's): the repair writes
// nothing through it and names what it left.
TEST_F(RepairTest, NothingIsRepairedThroughALink)
{
    const std::string folder = "C:\\DrubelSwap\\TestGame";
    ASSERT_NE(0u, GetFileAttributesA((folder + "\\data").c_str()) & FILE_ATTRIBUTE_REPARSE_POINT)
        << "run-e2e made no link at " << folder << "\\data";
    const std::string theirs = "C:\\DrubelSwapTarget\\a.dat";
    const std::string before = ReadBytesFrom(theirs);
    WriteInstallRecord(RecordKey, folder, 8);
    Process = StartIn(PrepareProduct(RepairScript()), StartArguments);
    InsertDisc2();
    HWND launcher = WaitForLauncher(ProductTitle);
    ASSERT_NE(nullptr, launcher);
    HWND dialog = OpenCheck(launcher);
    ASSERT_NE(nullptr, dialog);
    std::vector<Row> rows;
    ASSERT_NE(nullptr, RunAndAcceptRepair(dialog, &rows));
    const std::string outcome = RepairOutcome(dialog, &rows);
    EXPECT_NE(std::string::npos, outcome.find("data\\a.dat")) << outcome;
    EXPECT_TRUE(ReadBytesFrom(theirs) == before) << "written through the link: " << theirs;
    EXPECT_FALSE(Exists(theirs + ".repair~"));
    // What lies outside the link is repaired.
    EXPECT_TRUE(ReadBytesFrom(folder + "\\game.exe") == DiscFileBytes(FileNamed("game.exe")));
    ExitLauncher(CloseCheck(dialog));
    DeleteFileA((folder + "\\game.exe").c_str());
}

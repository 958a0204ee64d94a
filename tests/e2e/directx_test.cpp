// The launcher's DirectX button: the setup found on a disc, or the prompt.
#include "e2e_fixture.h"

namespace {

std::vector<std::string> DirectXScript(const char* message)
{
    std::vector<std::string> script = BaseScript();
    script.push_back("DXDISC = 2");
    script.push_back("DXPLACE = \"DirectX\\DXSETUP.EXE\"");
    if (message)
        script.push_back(std::string("DXMESSAGE = \"") + message + "\"");
    return script;
}

}  // namespace

TEST_F(DrubelTest, TheDirectXSetupIsStartedFromTheSecondDrive)
{
    // Disc 1 in E:, disc 2 with the setup in F:.
    WriteBytesTo(DriveFolder('E') + "\\TEST1.KEY", "1");
    WriteBytesTo(DriveFolder('F') + "\\TEST2.KEY", "2");
    CreateDirectoryA((DriveFolder('F') + "\\DirectX").c_str(), nullptr);
    CopyFileA(DirectXStub().c_str(), (DriveFolder('F') + "\\DirectX\\DXSETUP.EXE").c_str(), FALSE);

    const std::string folder = MakeProductFolder(Work / "product", DirectXScript(nullptr));
    Launch launch;
    launch.Program = folder + "\\Drubel.exe";
    launch.Arguments = "t";
    launch.CurrentFolder = folder;
    launch.TempFolder = Temp;
    launch.MarkFile = Work / "dxsetup.txt";
    HANDLE process = StartProgram(launch);
    HWND launcher = WaitForLauncher(ProductTitle);
    ASSERT_NE(nullptr, launcher);

    PressButton(launcher, LaunchDirectX);
    const DWORD start = GetTickCount();
    while (!Exists(launch.MarkFile) && GetTickCount() - start < 20000)
        Sleep(100);
    Sleep(200);
    EXPECT_EQ("F:\\DirectX\\DXSETUP.EXE", ReadBytesFrom(launch.MarkFile));
    // The launcher stays and keeps working.
    EXPECT_TRUE(IsWindow(launcher));
    ExitLauncher(launcher);
    CloseHandle(process);
}

TEST_F(DrubelTest, WithoutTheDirectXDiscThePromptRepeatsUntilCancel)
{
    WriteBytesTo(DriveFolder('E') + "\\TEST1.KEY", "1");
    const char* message = "DirectXのセットアップにはDISC2を挿入して下さい。";
    const std::string folder = MakeProductFolder(Work / "product", DirectXScript(message));
    HANDLE process = StartIn(folder, "t");
    HWND launcher = WaitForLauncher(ProductTitle);
    ASSERT_NE(nullptr, launcher);

    PressButton(launcher, LaunchDirectX);
    // The prompt is captioned like the launcher.
    HWND prompt = WaitForDialogExcept(ProductTitle, launcher);
    ASSERT_NE(nullptr, prompt);
    EXPECT_EQ(message, MessageBoxText(prompt));
    PressButton(prompt, IDOK);
    ASSERT_TRUE(WaitForWindowGone(prompt));

    // OK searches again and, finding nothing, asks again.
    HWND again = WaitForDialogExcept(ProductTitle, launcher);
    ASSERT_NE(nullptr, again);
    EXPECT_EQ(message, MessageBoxText(again));
    PressButton(again, IDCANCEL);
    ASSERT_TRUE(WaitForWindowGone(again));

    // After Cancel the launcher still answers its buttons.
    ExitLauncher(launcher);
    CloseHandle(process);
}

TEST_F(DrubelTest, TheDefaultPromptNamesTheProduct)
{
    const std::string folder = MakeProductFolder(Work / "product", DirectXScript(nullptr));
    HANDLE process = StartIn(folder, "t");
    HWND launcher = WaitForLauncher(ProductTitle);
    ASSERT_NE(nullptr, launcher);
    PressButton(launcher, LaunchDirectX);
    HWND prompt = WaitForDialogExcept(ProductTitle, launcher);
    ASSERT_NE(nullptr, prompt);
    EXPECT_EQ(std::string(ProductTitle) + " のディスクを挿入して下さい。", MessageBoxText(prompt));
    PressButton(prompt, IDCANCEL);
    ASSERT_TRUE(WaitForWindowGone(prompt));
    ExitLauncher(launcher);
    CloseHandle(process);
}

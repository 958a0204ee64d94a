// What the trust scenarios share: the product's brand folders, an uninstall
// run from the launcher, and the program ended as a power loss ends it.
#pragma once

#include "install_product.h"

#include <shlobj.h>

#include <algorithm>

class TrustTest : public InstallTest {
protected:
    std::string Special(int csidl) const
    {
        char path[MAX_PATH] = {};
        SHGetSpecialFolderPathA(nullptr, path, csidl, FALSE);
        return path;
    }
    // The brand's folders under Program Files, local application data and
    // the Start menu: an installation that made them takes them back.
    void ExpectNoBrandFolders() const
    {
        for (int csidl : {CSIDL_PROGRAM_FILES, CSIDL_LOCAL_APPDATA, CSIDL_PROGRAMS}) {
            const std::string brand = Special(csidl) + "\\DrubelE2E";
            EXPECT_FALSE(Exists(brand)) << "left behind: " << brand;
        }
    }
    // The uninstall from the launcher, with or without the save data; its
    // closing message. The program ends after it.
    std::string Uninstall(HWND launcher, bool deleteSaveData)
    {
        PressButton(launcher, LaunchInstall);
        HWND dialog = WaitForDialog(std::string(ProductTitle) + " のアンインストール");
        if (!dialog) {
            ADD_FAILURE() << "no uninstall dialog";
            return "";
        }
        SendDlgItemMessageA(dialog, 1009, BM_SETCHECK, deleteSaveData ? BST_CHECKED : BST_UNCHECKED,
                            0);
        PressButton(dialog, IDOK);
        HWND box = WaitForDialogExcept(ProductTitle, nullptr, 30000);
        if (!box) {
            ADD_FAILURE() << "no closing message";
            return "";
        }
        std::string text = MessageBoxText(box);
        PressButton(box, IDOK);
        EXPECT_EQ(0, WaitForExit(Process, 20000)) << "the program goes on after the uninstall";
        text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
        return text;
    }
    // Ends the program at once by its process id, as the task manager does.
    void Kill()
    {
        ASSERT_TRUE(TerminateProcess(Process, 1));
        ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(Process, 20000));
        CloseHandle(Process);
        Process = nullptr;
    }
    // Starts the product folder's program again, as the player does.
    void StartAgain()
    {
        if (Process)
            CloseHandle(Process);
        Process = StartIn(Work / "product", "t");
    }
};

constexpr char AllRemovedMessage[] = "アンインストールが正常に終了しました。";
constexpr char LeftoversMessage[] =
    "アンインストールは正常に終了しました。\n"
    "ファイルやフォルダが残っている場合は、お手数ですが手動で削除して下さい。";

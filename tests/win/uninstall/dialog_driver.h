// Drives this process's own modal dialogs from a second thread: finds them
// by caption, presses their buttons, reads their controls and answers the
// message boxes they show. Shared by the uninstall and file check tests.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>

namespace dialog_driver {

struct Search {
    std::string Caption;
    HWND Found;
};

inline BOOL CALLBACK FindByCaption(HWND window, LPARAM parameter)
{
    auto* search = reinterpret_cast<Search*>(parameter);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    char className[16] = {};
    GetClassNameA(window, className, sizeof className);
    char caption[512] = {};
    GetWindowTextA(window, caption, sizeof caption);
    if (process != GetCurrentProcessId() || strcmp(className, "#32770") != 0 ||
        !IsWindowVisible(window) || search->Caption != caption)
        return TRUE;
    search->Found = window;
    return FALSE;
}

// A visible dialog of this process with exactly this caption, waited for;
// null when none came in time.
inline HWND WaitForDialog(const std::string& caption, DWORD milliseconds = 20000)
{
    const DWORD start = GetTickCount();
    for (;;) {
        Search search = {caption, nullptr};
        EnumWindows(FindByCaption, reinterpret_cast<LPARAM>(&search));
        if (search.Found != nullptr || GetTickCount() - start > milliseconds)
            return search.Found;
        Sleep(10);
    }
}

inline bool WaitUntilGone(HWND window, DWORD milliseconds = 20000)
{
    const DWORD start = GetTickCount();
    while (IsWindow(window)) {
        if (GetTickCount() - start > milliseconds)
            return false;
        Sleep(10);
    }
    return true;
}

// The command a click on the button sends.
inline void Press(HWND dialog, int id)
{
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

inline std::string Text(HWND window)
{
    char text[1024] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

// A message box's text.
inline std::string BoxText(HWND box) { return Text(GetDlgItem(box, 0xFFFF)); }

// Waits for a message box of this caption, records its text and presses OK.
// Empty when none came.
// Answers with `button`: IDOK, or IDNO for a question.
inline std::string AnswerBox(const std::string& caption, DWORD milliseconds = 20000, int button = IDOK)
{
    HWND box = WaitForDialog(caption, milliseconds);
    if (box == nullptr)
        return "";
    const std::string text = BoxText(box);
    Press(box, button);
    WaitUntilGone(box);
    return text;
}

inline std::string ListText(HWND list, int item, int column)
{
    char text[260] = {};
    LVITEMA entry = {};
    entry.iSubItem = column;
    entry.pszText = text;
    entry.cchTextMax = sizeof text;
    SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&entry));
    return text;
}

}  // namespace dialog_driver

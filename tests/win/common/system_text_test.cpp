// The system calls in code page 932, whatever code page the prefix runs with.
#include "common/system_text.h"
#include "common/text.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace {

std::string TempPath(const char* name)
{
    char temp[MAX_PATH];
    EXPECT_TRUE(SysGetTempFolder(temp));
    char path[MAX_PATH];
    EXPECT_TRUE(JoinPath(path, temp, name));
    return path;
}

std::wstring WideTemp(const wchar_t* name)
{
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    return std::wstring(temp) + name;
}

}  // namespace

// 表示 (95 5C 8E A6) and ソフト能 (83 5C ... 94 5C): each 0x5C is half a
// character, never a separator, through create, find, rename and delete, and
// the names on disk are the Japanese ones.
TEST(SystemText, AJapaneseNameWithA5CTrailByteLivesAndGoes)
{
    const std::string folder = TempPath("\x95\x5C\x8E\xA6");
    const std::string file = folder + "\\\x83\x5C\x83\x74\x83\x67\x94\x5C.txt";
    const std::string renamed = folder + "\\\x95\x5C.txt";
    SysRemoveFolder(folder.c_str());

    ASSERT_TRUE(SysCreateFolder(folder.c_str())) << GetLastError();
    HANDLE handle = SysCreateFile(file.c_str(), GENERIC_WRITE, 0, CREATE_NEW, FILE_ATTRIBUTE_NORMAL);
    ASSERT_NE(INVALID_HANDLE_VALUE, handle) << GetLastError();
    DWORD written = 0;
    WriteFile(handle, "abc", 3, &written, nullptr);
    CloseHandle(handle);
    const DWORD onDisk = GetFileAttributesW(WideTemp(L"表示\\ソフト能.txt").c_str());
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, onDisk) << "the name on disk is not ソフト能.txt";

    SysFindData found = {};
    HANDLE search = SysFindFirst((folder + "\\*.txt").c_str(), &found);
    ASSERT_NE(INVALID_HANDLE_VALUE, search);
    EXPECT_STREQ("\x83\x5C\x83\x74\x83\x67\x94\x5C.txt", found.Name);
    EXPECT_EQ(3u, found.Size);
    EXPECT_FALSE(SysFindNext(search, &found));
    FindClose(search);

    EXPECT_TRUE(SysMoveFile(file.c_str(), renamed.c_str()));
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(WideTemp(L"表示\\表.txt").c_str()));
    EXPECT_TRUE(SysMoveFile(renamed.c_str(), file.c_str()));
    EXPECT_TRUE(SysSetFileAttributes(file.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_NE(0u, SysGetFileAttributes(file.c_str()) & FILE_ATTRIBUTE_READONLY);
    EXPECT_TRUE(SysSetFileAttributes(file.c_str(), FILE_ATTRIBUTE_NORMAL));

    EXPECT_TRUE(SysDeleteFile(file.c_str()));
    EXPECT_TRUE(SysRemoveFolder(folder.c_str()));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, SysGetFileAttributes(folder.c_str()));
}

// A 932 name that does not convert touches nothing; a system name that 932
// cannot hold comes back only as a name that reaches the same entry.
TEST(SystemText, WhatTheOtherSideCannotHoldIsRefused)
{
    const std::string bad = TempPath("abc\x85\x40.txt");
    SetLastError(0);
    EXPECT_EQ(INVALID_HANDLE_VALUE,
              SysCreateFile(bad.c_str(), GENERIC_WRITE, 0, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL));
    EXPECT_TRUE(SysTextHadNoForm()) << "last error " << GetLastError();
    EXPECT_FALSE(SysCreateFolder(bad.c_str()));
    EXPECT_TRUE(SysTextHadNoForm());

    const std::wstring foreign = WideTemp(L"Zoë张");
    RemoveDirectoryW(foreign.c_str());
    char path[MAX_PATH] = "?";
    EXPECT_FALSE(SysPathFromWide(foreign.c_str(), path, sizeof path)) << path;
    EXPECT_TRUE(SysTextHadNoForm());
    EXPECT_STREQ("", path);

    ASSERT_TRUE(CreateDirectoryW(foreign.c_str(), nullptr));
    // Windows gives such a folder a short name on volumes that make them.
    if (SysPathFromWide(foreign.c_str(), path, sizeof path)) {
        EXPECT_NE(INVALID_FILE_ATTRIBUTES, SysGetFileAttributes(path)) << path;
    } else {
        EXPECT_TRUE(SysTextHadNoForm());
    }
    SysFindData found = {};
    HANDLE search = SysFindFirst(TempPath("Zo*").c_str(), &found);
    ASSERT_NE(INVALID_HANDLE_VALUE, search);
    if (found.Name[0] != '\0') {
        EXPECT_NE(INVALID_FILE_ATTRIBUTES, SysGetFileAttributes(TempPath(found.Name).c_str()))
            << found.Name;
    }
    FindClose(search);
    RemoveDirectoryW(foreign.c_str());

    // Too long for the buffer is refused whole, never cut.
    char small[4] = "?";
    EXPECT_FALSE(SysGetTempFolder(small, sizeof small));
    EXPECT_STREQ("", small);
}

// Window texts and registry names go in and come back the same 932 bytes.
TEST(SystemText, WindowTextsAndRegistryNamesRoundTrip)
{
    const char text[] = "\x83\x5C\x95\x5C\x94\x5C abc";  // ソ表能 abc
    HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                  nullptr, nullptr);
    ASSERT_NE(nullptr, window);
    EXPECT_TRUE(SysSetWindowText(window, text));
    wchar_t wide[32] = {};
    GetWindowTextW(window, wide, 32);
    EXPECT_EQ(std::wstring(L"ソ表能 abc"), wide);
    char back[32] = {};
    EXPECT_TRUE(SysGetWindowText(window, back));
    EXPECT_STREQ(text, back);
    char tiny[4] = "?";
    EXPECT_FALSE(SysGetWindowText(window, tiny));
    EXPECT_STREQ("", tiny);
    DestroyWindow(window);

    const char keyPath[] = "Software\\DrubelSystemTextTest\\\x95\x5C";
    HKEY key = nullptr;
    ASSERT_TRUE(SysRegCreateKey(HKEY_CURRENT_USER, keyPath, KEY_ALL_ACCESS, &key));
    EXPECT_TRUE(SysRegWriteBinary(key, "\x83\x5C", text, sizeof text));
    RegSetValueExW(key, L"能", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"C:\\表"), 8);
    RegCloseKey(key);
    ASSERT_TRUE(SysRegOpenKey(HKEY_CURRENT_USER, "Software\\DrubelSystemTextTest", KEY_READ, &key));
    char name[16] = {};
    EXPECT_TRUE(SysRegEnumKey(key, 0, name, sizeof name));
    EXPECT_STREQ("\x95\x5C", name);
    RegCloseKey(key);
    ASSERT_TRUE(SysRegOpenKey(HKEY_CURRENT_USER, keyPath, KEY_READ, &key));
    char value[32] = {};
    DWORD size = sizeof value;
    EXPECT_TRUE(SysRegReadBinary(key, "\x83\x5C", value, &size));
    EXPECT_STREQ(text, value);
    char folder[16] = {};
    EXPECT_TRUE(SysRegReadText(key, "\x94\x5C", folder));
    EXPECT_STREQ("C:\\\x95\x5C", folder) << "stored without its terminator";
    RegCloseKey(key);
    EXPECT_TRUE(SysRegDeleteKey(HKEY_CURRENT_USER, keyPath));
    EXPECT_TRUE(SysRegDeleteKey(HKEY_CURRENT_USER, "Software\\DrubelSystemTextTest"));
}

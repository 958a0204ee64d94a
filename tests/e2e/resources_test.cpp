// The dialog templates inside Drubel.exe, read back from the built program
// and held against the layout each screen was designed with.
#include "e2e_support.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

struct Control {
    int Id;
    std::wstring Class;  // "Button", "Edit", "Static", "ComboBox" or a class name
    std::wstring Text;
    short X, Y, Width, Height;
    DWORD Style;
};

struct Dialog {
    DWORD Style;
    short Width, Height;
    std::wstring Caption;
    WORD PointSize;
    std::wstring Font;
    std::vector<Control> Controls;
};

// Reads a DLGTEMPLATEEX; every field is checked against the resource's size.
struct TemplateReader {
    const BYTE* Data;
    size_t Size;
    size_t At = 0;
    bool Ok = true;

    template <typename T>
    T Next()
    {
        T value{};
        if (At + sizeof(T) > Size) {
            Ok = false;
            return value;
        }
        memcpy(&value, Data + At, sizeof(T));
        At += sizeof(T);
        return value;
    }
    std::wstring String()
    {
        std::wstring text;
        for (wchar_t c; Ok && (c = Next<wchar_t>()) != 0;)
            text += c;
        return text;
    }
    // A name or an ordinal; ordinals of the predefined classes are named.
    std::wstring NameOrOrdinal()
    {
        const WORD first = Next<WORD>();
        if (first == 0)
            return L"";
        if (first == 0xFFFF) {
            switch (Next<WORD>()) {
            case 0x80: return L"Button";
            case 0x81: return L"Edit";
            case 0x82: return L"Static";
            case 0x85: return L"ComboBox";
            default: return L"#ordinal";
            }
        }
        At -= sizeof(WORD);
        return String();
    }
    void Align() { At = (At + 3) & ~size_t(3); }
};

Dialog ReadDialog(HMODULE module, int id)
{
    Dialog dialog{};
    HRSRC resource = FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(5));
    if (!resource) {
        ADD_FAILURE() << "no dialog template " << id;
        return dialog;
    }
    TemplateReader r{static_cast<const BYTE*>(LockResource(LoadResource(module, resource))),
                     SizeofResource(module, resource)};
    EXPECT_EQ(1, r.Next<WORD>());
    EXPECT_EQ(0xFFFF, r.Next<WORD>());
    r.Next<DWORD>();  // help id
    r.Next<DWORD>();  // extended style
    dialog.Style = r.Next<DWORD>();
    const WORD count = r.Next<WORD>();
    r.Next<short>();
    r.Next<short>();
    dialog.Width = r.Next<short>();
    dialog.Height = r.Next<short>();
    r.NameOrOrdinal();  // menu
    r.NameOrOrdinal();  // class
    dialog.Caption = r.String();
    dialog.PointSize = r.Next<WORD>();
    r.Next<WORD>();
    r.Next<BYTE>();
    r.Next<BYTE>();
    dialog.Font = r.String();
    for (WORD i = 0; i < count && r.Ok; ++i) {
        r.Align();
        Control c{};
        r.Next<DWORD>();
        r.Next<DWORD>();
        c.Style = r.Next<DWORD>();
        c.X = r.Next<short>();
        c.Y = r.Next<short>();
        c.Width = r.Next<short>();
        c.Height = r.Next<short>();
        c.Id = static_cast<int>(r.Next<DWORD>());
        c.Class = r.NameOrOrdinal();
        c.Text = r.NameOrOrdinal();
        r.At += r.Next<WORD>();
        dialog.Controls.push_back(c);
    }
    EXPECT_TRUE(r.Ok) << "template " << id << " is cut short";
    return dialog;
}

std::string Narrow(const std::wstring& text)
{
    char narrow[1024] = {};
    WideCharToMultiByte(932, 0, text.c_str(), -1, narrow, sizeof narrow - 1, nullptr, nullptr);
    return narrow;
}

struct Row {
    int Id;
    const wchar_t* Class;
    const char* Text;
    short X, Y, Width, Height;
    DWORD Style;  // bits that must be set
};

void ExpectControls(const Dialog& dialog, const std::vector<Row>& rows)
{
    ASSERT_EQ(rows.size(), dialog.Controls.size());
    for (size_t i = 0; i < rows.size(); ++i) {
        const Row& row = rows[i];
        const Control& c = dialog.Controls[i];
        SCOPED_TRACE("control " + std::to_string(i) + " " + row.Text);
        EXPECT_EQ(row.Id, static_cast<int>(static_cast<short>(c.Id)));
        // A class is named by ordinal or by name, in any case.
        EXPECT_EQ(0, _wcsicmp(row.Class, c.Class.c_str())) << Narrow(c.Class);
        EXPECT_EQ(std::string(row.Text), Narrow(c.Text));
        EXPECT_EQ(row.X, c.X);
        EXPECT_EQ(row.Y, c.Y);
        EXPECT_EQ(row.Width, c.Width);
        EXPECT_EQ(row.Height, c.Height);
        EXPECT_EQ(row.Style, c.Style & row.Style) << std::hex << c.Style;
    }
}

void ExpectFrame(const Dialog& d, const char* caption, short w, short h, WORD points,
                 const char* font, DWORD extraStyle)
{
    const DWORD frame = DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU | extraStyle;
    EXPECT_EQ(frame, d.Style & frame) << std::hex << d.Style;
    // Null: the screen sets its own caption at run time.
    if (caption) {
        EXPECT_EQ(std::string(caption), Narrow(d.Caption));
    }
    EXPECT_EQ(w, d.Width);
    EXPECT_EQ(h, d.Height);
    EXPECT_EQ(points, d.PointSize);
    EXPECT_EQ(std::string(font), Narrow(d.Font));
}

class Templates : public testing::Test {
protected:
    void SetUp() override
    {
        Module = LoadLibraryExA(DrubelExe().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(nullptr, Module) << "cannot load " << DrubelExe();
    }
    void TearDown() override
    {
        if (Module)
            FreeLibrary(Module);
    }
    HMODULE Module = nullptr;
};

const DWORD Default = BS_DEFPUSHBUTTON;
const DWORD Multi = BS_MULTILINE;
const char* const Gothic = "ＭＳ Ｐゴシック";

}  // namespace

TEST_F(Templates, Launcher)
{
    const Dialog d = ReadDialog(Module, 102);
    ExpectFrame(d, nullptr, 255, 213, 9, Gothic, WS_MINIMIZEBOX);
    ExpectControls(d, {
        {3, L"Button", "インストール", 186, 5, 66, 21, Default},
        {1, L"Button", "ゲーム開始", 187, 38, 65, 22, Default | WS_DISABLED},
        {4, L"Button", "DirectX の\nインストール", 187, 70, 65, 22, Multi | WS_DISABLED},
        {5, L"Button", "インストールファイルのチェック", 187, 103, 65, 22, Multi | WS_DISABLED},
        {2, L"Button", "終了", 186, 189, 66, 20, 0},
    });
}

TEST_F(Templates, InstallOptions)
{
    const Dialog d = ReadDialog(Module, 101);
    ExpectFrame(d, "ゲームのインストールオプション", 243, 255, 9, Gothic, 0);
    ExpectControls(d, {
        {1, L"Button", "インストール開始", 7, 224, 145, 24, Default},
        {2, L"Button", "ｷｬﾝｾﾙ", 154, 224, 78, 24, 0},
        {-1, L"Static", "インストール先の指定 ", 7, 173, 229, 12, SS_CENTER},
        {1000, L"Edit", "", 7, 200, 180, 14, ES_AUTOHSCROLL | WS_BORDER},
        {1001, L"Button", "参照", 192, 199, 44, 15, 0},
        {-1, L"Button", "インストールの設定", 22, 92, 205, 78, BS_GROUPBOX},
        {1002, L"Button", "すべてインストール （？MB）", 36, 114, 134, 14, BS_AUTORADIOBUTTON | WS_GROUP},
        {1003, L"Button", "インストールオプション２（？ＭＢ）", 36, 129, 152, 14,
         BS_AUTORADIOBUTTON | Multi},
        {-1, L"Static", "括弧内は必要なＨＤの空き容量です。", 34, 103, 142, 12, 0},
        {1011, L"Static", "（指定場所に VELTRA フォルダを作成し、そこにインストールします）", 7, 185, 229,
         10, SS_CENTER},
        {1020, L"Button", "デスクトップにも ゲームのショートカットを作成する", 32, 149, 178, 10,
         BS_AUTOCHECKBOX},
    });
}

TEST_F(Templates, Uninstall)
{
    const Dialog d = ReadDialog(Module, 109);
    ExpectFrame(d, "ゲームのアンインストール", 186, 105, 9, Gothic, 0);
    ExpectControls(d, {
        {1, L"Button", "実行", 74, 84, 50, 14, Default},
        {2, L"Button", "ｷｬﾝｾﾙ", 129, 84, 50, 14, 0},
        {-1, L"Button", "", 7, 7, 172, 57, BS_GROUPBOX},
        {1012, L"Static", "ゲームのアンインストールを行います", 15, 18, 158, 12,
         SS_CENTER | SS_CENTERIMAGE},
        {-1, L"Static", "　ゲームをプレイするには、もう一度インストールが必要になります。", 13, 41, 161,
         18, 0},
        {1009, L"Button", "セーブデータも削除する", 7, 69, 172, 12, BS_AUTOCHECKBOX},
    });
}

TEST_F(Templates, InsertDisc)
{
    const Dialog d = ReadDialog(Module, 111);
    // Wider than it once was, for the folder button (参照..., id 4).
    ExpectFrame(d, "ＤＶＤの挿入", 242, 93, 9, Gothic, WS_VISIBLE | DS_SETFOREGROUND);
    ExpectControls(d, {
        {1, L"Button", "OK", 7, 72, 50, 14, Default},
        {2, L"Button", "ｷｬﾝｾﾙ", 62, 72, 50, 14, 0},
        {4, L"Button", "参照...", 130, 72, 50, 14, 0},
        {3, L"Button", "強制実行", 185, 72, 50, 14, 0},
        {1015, L"Static", "", 7, 7, 228, 12, SS_CENTER},
        {-1, L"Static",
         "をＤＶＤドライブにセットして下さい。\n\n正しいＤＶＤをセットしてもこのダイアログが繰り返し\n"
         "表示される場合は、[強制実行]を押して下さい。",
         7, 25, 228, 39, SS_CENTER},
    });
}

TEST_F(Templates, DriveSelect)
{
    const Dialog d = ReadDialog(Module, 112);
    ExpectFrame(d, "ドライブの選択", 187, 67, 9, Gothic, 0);
    EXPECT_EQ(0u, d.Style & WS_VISIBLE);
    ExpectControls(d, {
        {1, L"Button", "OK", 73, 46, 50, 14, Default},
        {2, L"Button", "ｷｬﾝｾﾙ", 130, 46, 50, 14, 0},
        {-1, L"Static", "DVDの挿入されているドライブを選択してください", 7, 7, 149, 13, SS_CENTERIMAGE},
        {1016, L"ComboBox", "", 51, 25, 129, 73, CBS_DROPDOWNLIST | CBS_SORT | WS_VSCROLL},
    });
}

TEST_F(Templates, DiskSpaceWarning)
{
    const Dialog d = ReadDialog(Module, 113);
    ExpectFrame(d, "空きディスク容量の警告", 187, 105, 9, Gothic, 0);
    ExpectControls(d, {
        {1, L"Button", "戻る", 30, 84, 50, 14, Default},
        {2, L"Button", "強制実行", 99, 84, 50, 14, 0},
        {-1, L"Static", "空きディスク容量が不足していると思われます。", 18, 7, 150, 13, SS_CENTER},
        {-1, L"Static", "別のドライブを指定するか、オプションを変更して下さい。", 7, 24, 173, 13, SS_CENTER},
        {-1, L"Static",
         "充分な空き容量があるにもかかわらず、この警告が表示される場合は、強制実行を押下して下さい。", 19,
         51, 148, 24, 0},
    });
}

TEST_F(Templates, FileCheck)
{
    const Dialog d = ReadDialog(Module, 114);
    ExpectFrame(d, "ファイルMD5チェック", 212, 221, 8, "MS Shell Dlg", WS_VISIBLE);
    ExpectControls(d, {
        {1, L"Button", "実行", 97, 200, 50, 14, Default},
        {2, L"Button", "終了", 155, 200, 50, 14, 0},
        {1018, L"SysListView32", "", 7, 7, 195, 171, LVS_REPORT | WS_BORDER},
        {1019, L"msctls_progress32", "", 7, 185, 198, 10, WS_BORDER},
    });
}

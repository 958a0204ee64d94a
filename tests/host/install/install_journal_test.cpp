#include "install/install_journal.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

struct Recorder {
    std::vector<std::string> Steps;
};

void RecordDelete(void* context, const char* path)
{
    static_cast<Recorder*>(context)->Steps.push_back(std::string("del ") + path);
}

void RecordRemove(void* context, const char* path)
{
    static_cast<Recorder*>(context)->Steps.push_back(std::string("rd ") + path);
}

void RecordFilesDone(void* context) { static_cast<Recorder*>(context)->Steps.push_back("--"); }

const char LinkNames[2][TextWidth] = {"Game.lnk", "Manual.lnk"};

JournalScope Scope()
{
    JournalScope scope = {};
    scope.InstallFolder = "C:\\PF\\Brand\\Game";
    scope.ExtraFolders[0] = "C:\\Local\\Brand";
    scope.ExtraFolders[1] = "C:\\Local\\Brand\\Game\\save";
    scope.ExtraFolderCount = 2;
    scope.LinkFolders[0] = "C:\\Menu\\Brand\\Game";
    scope.LinkFolderCount = 1;
    scope.LinkNames = LinkNames;
    scope.LinkNameCount = 2;
    return scope;
}

std::vector<std::string> Undo(const std::string& text)
{
    Recorder recorder;
    const JournalActions actions = {&recorder, RecordDelete, RecordRemove, RecordFilesDone};
    UndoJournal(text.data(), text.size(), Scope(), actions);
    return recorder.Steps;
}

}  // namespace

TEST(InstallJournal, LinesAreKindBlankPathAndLineEnd)
{
    char line[64];
    ASSERT_TRUE(FormatJournalLine(line, sizeof line, JournalFolderLine, "C:\\PF\\Brand\\"));
    EXPECT_STREQ("D C:\\PF\\Brand\r\n", line);
    ASSERT_TRUE(FormatJournalLine(line, sizeof line, JournalFileLine, "C:\\PF\\ソ"));
    EXPECT_STREQ("F C:\\PF\\\x83\x5C\r\n", line);
    EXPECT_FALSE(FormatJournalLine(line, 8, JournalFileLine, "C:\\PF\\Brand"));
}

TEST(InstallJournal, OnlyWhatTheInstallationCanHaveMadeMayBeUndone)
{
    const JournalScope scope = Scope();
    const struct {
        char Kind;
        const char* Path;
        bool Allowed;
    } cases[] = {
        {'F', "C:\\PF\\Brand\\Game\\data\\a.dat", true},
        {'F', "c:\\pf\\brand\\GAME\\Install.ini", true},
        {'F', "C:\\Menu\\Brand\\Game\\Game.lnk", true},
        {'F', "C:\\Menu\\Brand\\Game\\other.lnk", false},
        {'F', "C:\\Menu\\Brand\\Game\\sub\\Game.lnk", false},
        {'F', "C:\\PF\\Brand\\Game", false},
        {'F', "C:\\PF\\Brand\\Game\\..\\x.dll", false},
        {'F', "C:\\PF\\Brand\\GameOther\\a.dat", false},
        {'F', "C:\\Windows\\System32\\x.dll", false},
        {'D', "C:\\PF\\Brand\\Game", true},
        {'D', "C:\\PF\\Brand\\Game\\data\\voice", true},
        {'D', "C:\\PF\\Brand", true},
        {'D', "C:\\PF", true},
        {'D', "C:\\Local\\Brand", true},
        {'D', "C:\\Local\\Brand\\Game\\save", true},
        {'D', "C:\\Local\\Brand\\Game", false},
        {'D', "C:\\PF\\Other", false},
        {'D', "C:\\PF\\Brand\\Game\\..\\..\\Other", false},
        {'X', "C:\\PF\\Brand\\Game\\a.dat", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.Allowed, JournalAllows(scope, c.Kind, c.Path)) << c.Kind << " " << c.Path;
}

TEST(InstallJournal, FilesGoFirstThenFoldersDeepestFirst)
{
    const std::string journal = "D C:\\PF\\Brand\r\n"
                                "D C:\\PF\\Brand\\Game\r\n"
                                "D C:\\PF\\Brand\\Game\\data\r\n"
                                "D C:\\PF\\Brand\\Game\\data\\voice\r\n"
                                "D C:\\Local\\Brand\r\n"
                                "F C:\\PF\\Brand\\Game\\Install.ini\r\n"
                                "F C:\\Windows\\win.ini\r\n"
                                "F C:\\PF\\Brand\\Game\\data\\a.dat\r\n"
                                "\r\n"
                                "F C:\\PF\\Brand\\Game\\data\\voice\\v1.vce\r\n"
                                "F C:\\PF\\Brand\\Game\\data\\voice\\v2";  // cut by a kill
    const std::vector<std::string> expected = {
        "del C:\\PF\\Brand\\Game\\Install.ini",
        "del C:\\PF\\Brand\\Game\\data\\a.dat",
        "del C:\\PF\\Brand\\Game\\data\\voice\\v1.vce",
        "--",
        "rd C:\\PF\\Brand\\Game\\data\\voice",
        "rd C:\\PF\\Brand\\Game\\data",
        "rd C:\\PF\\Brand\\Game",
        "rd C:\\PF\\Brand",
        "rd C:\\Local\\Brand",
    };
    EXPECT_EQ(expected, Undo(journal));
}

TEST(InstallJournal, MalformedLinesArePassedOver)
{
    const std::string tooLong = "F C:\\PF\\Brand\\Game\\" + std::string(260, 'a') + "\r\n";
    for (const std::string& text :
         {std::string("F C:\\PF\\Brand\\Game\\a.dat\n"), std::string("FC:\\PF\\Brand\\Game\\a\r\n"),
          std::string("F \r\n"), tooLong, std::string("F C:\\PF\\Brand\\Game\\a\0b\r\n", 24),
          std::string("")})
        EXPECT_EQ(std::vector<std::string>{"--"}, Undo(text)) << text;
}

// A journal of any size is read in bounded memory, and one that names more
// than an undo can hold, or cannot be read to its end, is not taken for a
// whole undo: the journal stays (no "--") and the caller says what may be left.
TEST(InstallJournal, AHugeOrUnreadableJournalIsNeverTakenForAWholeUndo)
{
    std::string huge = std::string(100000, 'x') + "\r\n" + "F C:\\PF\\Brand\\Game\\a.dat\r\n";
    for (int i = 0; i < 20000; ++i)
        huge += "F C:\\Windows\\x" + std::to_string(i) + ".dll\r\n";
    EXPECT_EQ((std::vector<std::string>{"del C:\\PF\\Brand\\Game\\a.dat", "--"}), Undo(huge));

    std::string folders;
    for (int i = 0; i <= MaxJournalFolders; ++i)
        folders += "D C:\\PF\\Brand\\Game\\d" + std::to_string(i) + "\r\n";
    Recorder recorder;
    const JournalActions actions = {&recorder, RecordDelete, RecordRemove, RecordFilesDone};
    EXPECT_FALSE(UndoJournal(folders.data(), folders.size(), Scope(), actions));
    EXPECT_EQ(static_cast<size_t>(MaxJournalFolders), recorder.Steps.size()) << "no --";

    struct Failing {
        int Calls = 0;
    } failing;
    const JournalSource broken = {&failing, [](void* context, char* buffer, size_t size) -> long {
                                      if (static_cast<Failing*>(context)->Calls++ > 0)
                                          return -1;
                                      const char line[] = "F C:\\PF\\Brand\\Game\\a.dat\r\n";
                                      memcpy(buffer, line, sizeof line - 1 < size ? sizeof line - 1 : size);
                                      return static_cast<long>(sizeof line - 1);
                                  },
                                  nullptr};
    recorder.Steps.clear();
    EXPECT_FALSE(UndoJournalFrom(broken, Scope(), actions));
    EXPECT_EQ((std::vector<std::string>{"del C:\\PF\\Brand\\Game\\a.dat"}), recorder.Steps);

    char text[512];
    ASSERT_TRUE(FormatAbortMessage(text, sizeof text, true, "C:\\PF\\Brand\\Game"));
    EXPECT_STREQ("インストールを中断しました。", text);
    ASSERT_TRUE(FormatAbortMessage(text, sizeof text, false, "C:\\PF\\Brand\\Game"));
    EXPECT_NE(nullptr, strstr(text, "残っている可能性があります")) << text;
    EXPECT_NE(nullptr, strstr(text, "C:\\PF\\Brand\\Game")) << text;
}

// What a confirm of the options dialog decides, against a stand-in system.
#include "install/options_text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

// The drive the judge last asked about.
std::string AskedDrive;

struct FakeSystem {
    bool Resolves = true;
    const char* ResolvedAs = nullptr;  // null: the text is already absolute
    bool Usable = true;
    bool DriveKnown = true;
    uint64_t Free = 1000;
};

bool Resolve(void* context, char* path)
{
    const FakeSystem* system = static_cast<FakeSystem*>(context);
    if (system->Resolves && system->ResolvedAs != nullptr)
        strcpy(path, system->ResolvedAs);
    return system->Resolves;
}
bool Usable(void* context, const char*) { return static_cast<FakeSystem*>(context)->Usable; }
bool FreeBytes(void* context, const char* drive, uint64_t* bytes)
{
    const FakeSystem* system = static_cast<FakeSystem*>(context);
    AskedDrive = drive;
    *bytes = system->Free;
    return system->DriveKnown;
}

struct Case {
    const char* Name;
    const char* Text;
    const char* MustMake;
    const char* Brand;
    uint64_t Required;
    FakeSystem System;
    DestinationVerdict Verdict;
    const char* Typed;          // what the next opening shows; null: not read
    const char* Chosen;         // kept base folder, when it goes on
    const char* InstallFolder;  // when it goes on
};

const Case Cases[] = {
    {"drive root keeps its backslash", "C:\\", "GAME", "Brand", 10, {}, DestinationAccepted,
     "C:\\", "C:\\", "C:\\GAME"},
    {"one trailing backslash is cut", "D:\\Games\\", "GAME", "", 10, {}, DestinationAccepted,
     "D:\\Games\\", "D:\\Games", "D:\\Games\\GAME"},
    {"free space equal to the need passes", "C:\\G", "X", "", 1000, {}, DestinationAccepted,
     "C:\\G", "C:\\G", "C:\\G\\X"},
    {"one byte short asks", "C:\\G", "X", "", 1001, {}, DestinationShortOfSpace, "C:\\G", "C:\\G",
     "C:\\G\\X"},
    {"too long to read", nullptr, "X", "", 0, {}, DestinationInvalid, nullptr, "", ""},
    {"relative", "Games", "X", "", 0, {}, DestinationInvalid, "Games", "", ""},
    {"empty", "", "X", "", 0, {}, DestinationInvalid, "", "", ""},
    {"folder name climbs out", "C:\\G", "..\\X", "", 0, {}, DestinationInvalid, "C:\\G", "", ""},
    {"brand folder climbs out", "C:\\G", "X", "..", 0, {}, DestinationInvalid, "C:\\G", "", ""},
    {"system rejects it", "C:\\G", "X", "", 0, {false}, DestinationInvalid, "C:\\G", "", ""},
    {"resolved text is remembered", "C:\\a\\..\\G", "X", "", 0, {true, "C:\\G", false},
     DestinationInvalid, "C:\\G", "", ""},
    {"network path", "\\\\srv\\share\\G", "X", "", 0, {}, DestinationDriveUnknown,
     "\\\\srv\\share\\G", "", "\\\\srv\\share\\G\\X"},
    {"drive that is not there", "Q:\\G", "X", "", 0, {true, nullptr, true, false},
     DestinationDriveInvalid, "Q:\\G", "", "Q:\\G\\X"},
};

TEST(Destination, EachConfirmComesToOneVerdictAndOneMessage)
{
    for (const Case& c : Cases) {
        FakeSystem system = c.System;
        AskedDrive.clear();
        const DestinationSystem calls = {&system, Resolve, Usable, FreeBytes};
        Destination out;
        EXPECT_EQ(c.Verdict, JudgeDestination(c.Text, c.MustMake, c.Brand, c.Required, calls, &out))
            << c.Name;
        EXPECT_EQ(c.Typed != nullptr, out.Read) << c.Name;
        if (c.Typed != nullptr) {
            EXPECT_EQ(std::string(c.Typed), out.Typed) << c.Name;
        }
        EXPECT_EQ(std::string(c.Chosen), out.Chosen) << c.Name;
        EXPECT_EQ(std::string(c.InstallFolder), out.InstallFolder) << c.Name;
        const bool goesOn = c.Verdict == DestinationAccepted || c.Verdict == DestinationShortOfSpace;
        EXPECT_EQ(goesOn, DestinationMessage(c.Verdict) == nullptr) << c.Name;
        if (goesOn) {
            EXPECT_EQ(std::string(c.Chosen).substr(0, 2), AskedDrive) << c.Name;
        }
    }
}

TEST(Destination, TheThreeMessagesAreTheDialogsOwn)
{
    EXPECT_STREQ("インストール先の指定が不正です。再度入力して下さい。",
                 DestinationMessage(DestinationInvalid));
    EXPECT_STREQ("インストール先のドライブが不明です。再度入力して下さい。",
                 DestinationMessage(DestinationDriveUnknown));
    EXPECT_STREQ("インストール先のドライブが不正です。再度入力して下さい。",
                 DestinationMessage(DestinationDriveInvalid));
}

}  // namespace

#include "uninstall/uninstall_entry.h"

#include "common/text.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <strings.h>
#include <set>
#include <string>

namespace {

std::string Name(const char* key)
{
    char name[80];
    return UninstallEntryName(key, name, sizeof name) ? name : "(none)";
}

}  // namespace

TEST(UninstallEntry, TheNameIsTheRecordsKeyMadeReadableWithItsHash)
{
    const std::string sample = Name("Software\\Lumenfield\\Arcadia");
    EXPECT_EQ(0u, sample.rfind("Drubel_Lumenfield_Arcadia_", 0)) << sample;
    EXPECT_EQ(std::string("Drubel_Lumenfield_Arcadia_").size() + 8, sample.size());
    // The registry's own sameness, letter case and a trailing backslash
    // aside, gives the same key (whose names compare without case).
    EXPECT_EQ(0, strcasecmp(sample.c_str(), Name("SOFTWARE\\lumenfield\\arcadia\\").c_str()));
    EXPECT_EQ(sample, Name("Software\\Lumenfield\\Arcadia"));
    EXPECT_EQ("(none)", Name(""));
    // Keys that read alike, Japanese ones, and long ones stay apart.
    const char* keys[] = {
        "Software\\Lumenfield\\Arcadia", "Software\\Lumenfield_Arcadia", "Software\\Lumenfield\\Arcadia2",
        "Software\\ゲーム\\表", "Software\\ゲーム\\ソ",
        "Software\\AVeryLongBrandNameOfAPublisher\\AndAVeryLongTitleOfItsGameA",
        "Software\\AVeryLongBrandNameOfAPublisher\\AndAVeryLongTitleOfItsGameB",
    };
    std::set<std::string> names;
    for (const char* key : keys) {
        const std::string name = Name(key);
        EXPECT_LE(name.size(), 7u + 40 + 1 + 8) << key;
        for (char c : name)
            EXPECT_TRUE(isalnum(static_cast<unsigned char>(c)) || c == '_') << name;
        names.insert(name);
    }
    EXPECT_EQ(sizeof keys / sizeof keys[0], names.size());
    char key[200];
    ASSERT_TRUE(UninstallEntryKey("Software\\Lumenfield\\Arcadia", key, sizeof key));
    EXPECT_EQ("Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + sample, std::string(key));
}

TEST(UninstallEntry, Values)
{
    char text[PathWidth];
    FormatEntryDisplayName(text, sizeof text, "星霜のアルカディア", "Arcadia of Starfrost");
    EXPECT_STREQ("星霜のアルカディア Arcadia of Starfrost", text);
    FormatEntryDisplayName(text, sizeof text, "テストゲーム", "");
    EXPECT_STREQ("テストゲーム", text);
    EXPECT_TRUE(FormatEntryInstallDate(text, sizeof text, 2026, 12, 9));
    EXPECT_STREQ("20261209", text);
    EXPECT_FALSE(FormatEntryInstallDate(text, sizeof text, 2026, 13, 1));
    EXPECT_TRUE(FormatEntryUninstallString(text, sizeof text, "C:\\Program Files\\L\\A\\uninst\\Drubel.exe"));
    EXPECT_STREQ("\"C:\\Program Files\\L\\A\\uninst\\Drubel.exe\" u", text);
    const struct {
        uint64_t Bytes;
        uint32_t Kilobytes;
    } sizes[] = {{0, 0}, {1, 1}, {1024, 1}, {1025, 2}, {1ull << 50, 0xFFFFFFFFu}};
    for (const auto& s : sizes)
        EXPECT_EQ(s.Kilobytes, EntryEstimatedSize(s.Bytes)) << s.Bytes;
}

class ListedCopy : public testing::Test {
protected:
    void TearDown() override { ClearSetupScript(); }
    void List(int disc, int index, const char* name, uint32_t mask)
    {
        FileEntry& entry = SetupScript.DiscFiles[disc][index];
        entry.Name = static_cast<char*>(calloc(1, PathWidth));
        CopyText(entry.Name, PathWidth, name);
        entry.OptionMask = mask;
    }
    std::string Program(uint32_t option, bool* listed)
    {
        char path[PathWidth];
        return UninstallProgramPath("C:\\Games\\Arcadia", "Drubel.exe", option, path, sizeof path, listed)
                   ? path
                   : "(none)";
    }
};

TEST_F(ListedCopy, TheListsCopyIsUsedOnlyWithItsScriptAndArchiveForTheOption)
{
    bool listed = true;
    EXPECT_EQ("C:\\Games\\Arcadia\\uninst\\Drubel.exe", Program(8, &listed));
    EXPECT_FALSE(listed);

    List(0, 0, "data\\bgm.dat", 0x0C);
    List(0, 1, "setup\\DRUBEL.EXE", 0x0C);
    List(0, 2, "setup\\Drubel.ini", 0x0C);
    List(1, 0, "setup\\Instdata.pak", 0x08);  // on disc 2, full option only
    EXPECT_EQ("C:\\Games\\Arcadia\\setup\\Drubel.exe", Program(8, &listed));
    EXPECT_TRUE(listed);
    // The minimum option installs no archive there: the installation adds its own copy.
    EXPECT_EQ("C:\\Games\\Arcadia\\uninst\\Drubel.exe", Program(4, &listed));
    EXPECT_FALSE(listed);
}

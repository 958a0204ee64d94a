#include "disc/drive_text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

TEST(DriveEntries, TheThirdCharacterNamesTheDrive)
{
    char entry[260];
    FormatCdDriveEntry(entry, sizeof entry, "E", "TSSTcorp DVD-ROM");
    EXPECT_STREQ("[-E-] TSSTcorp DVD-ROM", entry);
    EXPECT_EQ(5, DriveNumberFromEntry(entry));
    FormatFallbackCdDriveEntry(entry, sizeof entry, 'q');
    EXPECT_STREQ("[-Q-] CDROM DRIVE", entry);
    EXPECT_EQ(17, DriveNumberFromEntry(entry));
    EXPECT_EQ(0, DriveNumberFromEntry(""));
    EXPECT_EQ(0, DriveNumberFromEntry("[-"));
}

TEST(DriveEntries, ALongDescriptionIsCutToFitWithoutSplittingACharacter)
{
    // 300 bytes of two-byte characters after the 6-byte prefix.
    std::string description;
    for (int i = 0; i < 150; ++i)
        description += "\x83\x5C";  // katakana so: its second byte is 0x5C
    char entry[260];
    FormatCdDriveEntry(entry, sizeof entry, "F", description.c_str());
    const size_t length = strlen(entry);
    EXPECT_EQ(258u, length);  // 6 + 126 whole characters; a 259th byte would split one
    EXPECT_EQ(0, memcmp("[-F-] ", entry, 6));
    EXPECT_EQ('\x5C', entry[length - 1]);
}

TEST(MountedDevices, ValueNameEndsWithTheLetterAndColon)
{
    char name[32];
    MountedDeviceValueName("E:\\", name, sizeof name);
    EXPECT_STREQ("\\DosDevices\\E:", name);
}

TEST(MountedDevices, DevicePathBecomesTheEnumKey)
{
    char key[300];
    ASSERT_TRUE(DeviceKeyPathFromDevicePath(
        "\\??\\IDE#CdRomModel#5&1f&0&0.0.0#{53f5630d-b6bf-11d0-94f2-00a0c91efb8b}", key,
        sizeof key));
    EXPECT_STREQ("System\\CurrentControlSet\\Enum\\IDE\\CdRomModel\\5&1f&0&0.0.0", key);
}

TEST(MountedDevices, PathsWithoutThreeHashesOrRoomAreRefused)
{
    char key[300];
    EXPECT_FALSE(DeviceKeyPathFromDevicePath("\\??\\IDE#CdRomModel#5&1f", key, sizeof key));
    EXPECT_STREQ("", key);
    EXPECT_FALSE(DeviceKeyPathFromDevicePath("\\??", key, sizeof key));
    EXPECT_FALSE(DeviceKeyPathFromDevicePath("", key, sizeof key));
    char small[40];
    EXPECT_FALSE(DeviceKeyPathFromDevicePath("\\??\\IDE#CdRomModel#5&1f&0&0.0.0#{x}", small,
                                             sizeof small));
    EXPECT_STREQ("", small);
}

#include "disc/disc_check.h"

#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>

namespace {

// A mounted-device value for drive Q: and the Enum key it points at, made
// for one test and removed after it.
class MountedDevice : public testing::Test {
protected:
    static constexpr const char* DeviceKey =
        "System\\CurrentControlSet\\Enum\\IDE\\CdRomDrubelTest\\5&1f&0&0.0.0";
    void SetUp() override
    {
        wcscpy(DeviceValue,
               L"\\??\\IDE#CdRomDrubelTest#5&1f&0&0.0.0#{53f5630d-b6bf-11d0-94f2-00a0c91efb8b}");
    }
    void TearDown() override
    {
        HKEY mounted;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "System\\MountedDevices", 0, KEY_ALL_ACCESS,
                          &mounted) == ERROR_SUCCESS) {
            RegDeleteValueA(mounted, "\\DosDevices\\Q:");
            RegCloseKey(mounted);
        }
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, DeviceKey);
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Enum\\IDE\\CdRomDrubelTest");
    }
    void WriteMountedValue()
    {
        HKEY mounted;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, "System\\MountedDevices", 0,
                                                 nullptr, 0, KEY_ALL_ACCESS, nullptr, &mounted,
                                                 nullptr));
        // Stored as the system does: UTF-16 without a terminator.
        RegSetValueExA(mounted, "\\DosDevices\\Q:", 0, REG_BINARY,
                       reinterpret_cast<const BYTE*>(DeviceValue),
                       static_cast<DWORD>(wcslen(DeviceValue) * sizeof(wchar_t)));
        RegCloseKey(mounted);
    }
    void WriteDeviceKey(const char* friendlyName)
    {
        HKEY device;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, DeviceKey, 0, nullptr, 0,
                                                 KEY_ALL_ACCESS, nullptr, &device, nullptr));
        if (friendlyName)
            RegSetValueExA(device, "FriendlyName", 0, REG_SZ,
                           reinterpret_cast<const BYTE*>(friendlyName),
                           static_cast<DWORD>(strlen(friendlyName) + 1));
        RegCloseKey(device);
    }
    wchar_t DeviceValue[260];
};

}  // namespace

TEST_F(MountedDevice, TheFriendlyNameDescribesTheDrive)
{
    WriteMountedValue();
    WriteDeviceKey("DRUBEL テスト DVD-ROM");
    char entry[260] = {};
    ASSERT_TRUE(DescribeCdDrive("Q:\\", entry, sizeof entry));
    EXPECT_STREQ("[-Q-] DRUBEL テスト DVD-ROM", entry);
    // The letter keeps the case of the root it was asked for.
    ASSERT_TRUE(DescribeCdDrive("q:\\", entry, sizeof entry));
    EXPECT_STREQ("[-q-] DRUBEL テスト DVD-ROM", entry);
}

TEST_F(MountedDevice, WithoutTheValueTheFallbackNamesTheDrive)
{
    char entry[260] = {};
    ASSERT_TRUE(DescribeCdDrive("q:\\", entry, sizeof entry));
    EXPECT_STREQ("[-Q-] CDROM DRIVE", entry);
}

TEST_F(MountedDevice, AKeyWithoutFriendlyNameGivesTheFallback)
{
    WriteMountedValue();
    WriteDeviceKey(nullptr);
    char entry[260] = {};
    ASSERT_TRUE(DescribeCdDrive("Q:\\", entry, sizeof entry));
    EXPECT_STREQ("[-Q-] CDROM DRIVE", entry);
}

TEST_F(MountedDevice, ADevicePathWithTooFewHashesGivesTheFallback)
{
    wcscpy(DeviceValue, L"\\??\\IDE#CdRomDrubelTest");
    WriteMountedValue();
    char entry[260] = {};
    ASSERT_TRUE(DescribeCdDrive("Q:\\", entry, sizeof entry));
    EXPECT_STREQ("[-Q-] CDROM DRIVE", entry);
}

TEST(FindDiscDrive, AMarkerOnAHardDiskIsIgnored)
{
    char marker[64];
    snprintf(marker, sizeof marker, "drubel-marker-%lu.key", GetCurrentProcessId());
    const std::string onC = std::string("C:\\") + marker;
    WriteText(onC, "not a disc");
    EXPECT_EQ(0, FindDiscDrive(marker));
    DeleteFileA(onC.c_str());
}

#include "disc/disc_places.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> Roots(const DiscPlaceList& list)
{
    std::vector<std::string> roots;
    for (int i = 0; i < list.Count; ++i)
        roots.push_back(list.Places[i].Root);
    return roots;
}

}  // namespace

TEST(DiscDrives, FloppiesAreToldByTheirDeviceOrElseByTheirLetter)
{
    struct Case {
        char Letter;
        unsigned Type;
        const char* Device;
        DiscDriveKind Kind;
    };
    const Case cases[] = {
        {'A', DriveTypeRemovable, "", DiscDriveFloppy},
        {'b', DriveTypeRemovable, nullptr, DiscDriveFloppy},
        {'A', DriveTypeRemovable, "\\Device\\Harddisk1\\DP(1)0-0+3", DiscDriveRemovable},
        {'G', DriveTypeRemovable, "\\Device\\Floppy0", DiscDriveFloppy},
        {'G', DriveTypeRemovable, "\\device\\floppy1", DiscDriveFloppy},
        {'G', DriveTypeRemovable, "", DiscDriveRemovable},
        {'C', DriveTypeFixed, "", DiscDriveFixed},
        {'R', DriveTypeRamDisk, "", DiscDriveFixed},
        {'E', DriveTypeCdRom, "", DiscDriveCdRom},
        {'N', DriveTypeRemote, "", DiscDriveOther},
        {'X', 0, "", DiscDriveOther},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.Kind, ClassifyDiscDrive(c.Letter, c.Type, c.Device))
            << c.Letter << " " << c.Type << " " << (c.Device ? c.Device : "(null)");
}

TEST(DiscPlaces, CdDrivesThenTheStartFolderAndItsSiblingsThenTheDisks)
{
    const DiscDriveSeen drives[] = {
        {'Z', DiscDriveFixed},     {'A', DiscDriveFloppy}, {'F', DiscDriveCdRom},
        {'C', DiscDriveFixed},     {'E', DiscDriveCdRom},  {'G', DiscDriveRemovable},
        {'N', DiscDriveOther},
    };
    const char siblings[][PathWidth] = {"disc2", "DISC1", "Extras", "Arcadia"};
    static DiscPlaceList list;
    ListDiscPlaces(drives, 7, "D:\\Games\\Arcadia\\DISC1\\", siblings, 4, &list);
    const std::vector<std::string> expected = {
        "E:\\", "F:\\",
        "D:\\Games\\Arcadia\\DISC1\\",  // the start folder, once
        "D:\\Games\\Arcadia\\Arcadia\\", "D:\\Games\\Arcadia\\disc2\\",
        "D:\\Games\\Arcadia\\Extras\\",
        "C:\\", "G:\\", "Z:\\",  // never A: nor the network drive
    };
    EXPECT_EQ(expected, Roots(list));
    EXPECT_EQ(DiscPlaceCdDrive, list.Places[0].Kind);
    EXPECT_EQ(DiscPlaceFolder, list.Places[2].Kind);
    EXPECT_EQ(DiscPlaceDriveRoot, list.Places[6].Kind);
}

TEST(DiscPlaces, StartFoldersWithAndWithoutAFolderAbove)
{
    struct Case {
        const char* Start;
        std::vector<std::string> Expected;
    };
    const DiscDriveSeen drives[] = {{'E', DiscDriveCdRom}, {'G', DiscDriveRemovable}};
    const char siblings[][PathWidth] = {"DISC2", "..\\up", "", "a\\b"};
    const Case cases[] = {
        // Started from a disc drive: that root is listed once, as a drive.
        {"E:\\", {"E:\\", "G:\\"}},
        // The root of a USB stick: no folder above it, and listed once.
        {"G:\\", {"E:\\", "G:\\"}},
        // A share's top has no parent either; names that are no single
        // level are passed over.
        {"\\\\server\\games\\", {"E:\\", "\\\\server\\games\\", "G:\\"}},
        {"\\\\server\\games\\DISC1\\", {"E:\\", "\\\\server\\games\\DISC1\\",
                                        "\\\\server\\games\\DISC2\\", "G:\\"}},
        // No start folder known, or one that names no folder whole.
        {"", {"E:\\", "G:\\"}},
        {"Games\\DISC1\\", {"E:\\", "G:\\"}},
    };
    for (const Case& c : cases) {
        static DiscPlaceList list;
        ListDiscPlaces(drives, 2, c.Start, siblings, 4, &list);
        EXPECT_EQ(c.Expected, Roots(list)) << c.Start;
    }
}

TEST(DiscPlaces, TheMarkerStaysInsideTheRoot)
{
    char path[PathWidth];
    EXPECT_TRUE(DiscMarkerPath(path, sizeof path, "E:\\", "ARCADIA1.KEY"));
    EXPECT_STREQ("E:\\ARCADIA1.KEY", path);
    EXPECT_TRUE(DiscMarkerPath(path, sizeof path, "D:\\表\\DISC2\\", "key\\DISC2.KEY"));
    EXPECT_STREQ("D:\\表\\DISC2\\key\\DISC2.KEY", path);
    EXPECT_FALSE(DiscMarkerPath(path, sizeof path, "D:\\DISC2\\", "..\\DISC1\\DISC1.KEY"));
    EXPECT_FALSE(DiscMarkerPath(path, sizeof path, "D:\\DISC2\\", "C:\\boot.ini"));
    EXPECT_FALSE(DiscMarkerPath(path, sizeof path, "D:\\DISC2\\", ""));
    EXPECT_STREQ("", path);
}

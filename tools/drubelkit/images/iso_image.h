// Disc images: ISO 9660 with Joliet names, as Windows mounts and burns them.
// The subset is small on purpose: no Rock Ridge, no boot record, no file of
// more than one extent. The image is a function of the folder's names, sizes,
// contents and dates alone, so that the same disc gives the same bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

constexpr uint32_t IsoSectorSize = 2048;

struct IsoMedium {
    const char* Name;   // as --media gives it
    const char* Title;  // for messages
    uint32_t Sectors;   // what the medium holds
};
// cd, dvd, dvd-dl, bd; null for any other name.
const IsoMedium* FindIsoMedium(const std::string& name);
// "cd|dvd|dvd-dl|bd"
std::string IsoMediumNames();

// Empty when `label` can be a volume label (1 to 32 of A-Z, 0-9 and '_');
// else why it cannot.
std::string IsoLabelProblem(const std::string& label);
// A label made from a KEYFILE name's stem ("DISC<n>" when nothing is left).
std::string IsoLabelFromKeyFile(const std::string& keyFileUtf8, int disc);

struct IsoNode {
    std::string Path;        // on this machine
    std::string Name;        // UTF-8, as in the folder
    bool Folder = false;
    uint64_t Size = 0;
    int64_t Time = 0;
    std::vector<int> Children;  // in name order
    std::string Primary;     // the 8.3 identifier of the ISO 9660 tree
    std::u16string Joliet;   // the Joliet identifier
    uint32_t Extent = 0;     // a file's data, a folder's ISO 9660 records
    uint32_t JolietExtent = 0;
    uint32_t Bytes = 0, JolietBytes = 0;  // a folder's records
    int Parent = 0;
    int Number = 0, JolietNumber = 0;     // in the path tables, from 1
};

struct IsoPlan {
    std::string Label;
    int64_t Time = 0;  // of the volume
    std::vector<IsoNode> Nodes;  // [0] is the root
    std::vector<int> PrimaryOrder, JolietOrder;  // folders in path table order
    uint32_t PathTableBytes = 0, JolietPathTableBytes = 0;
    uint32_t PathTables[4] = {};  // L and M, then Joliet L and M
    uint32_t Sectors = 0;         // of the whole image
    std::vector<std::string> Problems;  // files that cannot go into an image
};

// Reads the folder tree and lays the image out. `fixedTime` (when not null)
// dates every file and folder. False when the folder cannot be read; files
// that cannot go into an image are listed in Problems, and the size is
// still that of the image without them.
bool PlanIsoImage(const std::string& folder, const std::string& label, const int64_t* fixedTime,
                  IsoPlan* plan, std::string* error);

// Empty when the plan fits the medium; else how far it is over.
std::string IsoOverflow(const IsoPlan& plan, const IsoMedium& medium);

bool WriteIsoImage(const IsoPlan& plan, const std::string& path, std::string* error);

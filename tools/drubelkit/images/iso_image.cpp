#include "images/iso_image.h"

#include "shared/host_files.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <set>

namespace {

const IsoMedium Media[] = {
    {"cd", "CD (80 min)", 360000},
    {"dvd", "DVD-5", 2295104},
    {"dvd-dl", "DVD-9", 4173824},
    {"bd", "BD-25", 12219392},
};

constexpr size_t LabelLength = 32;
constexpr size_t JolietLabelLength = 16;
constexpr size_t JolietNameLength = 64;
constexpr uint64_t LargestFile = 0xFFFFFFFFull;  // one extent's length field
constexpr uint32_t FirstFreeSector = 19;          // after the system area and three descriptors

bool IsLabelChar(char c) { return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_'; }

uint32_t SectorsFor(uint64_t bytes) { return static_cast<uint32_t>((bytes + IsoSectorSize - 1) / IsoSectorSize); }

// UTF-8 to UTF-16; false on a byte sequence that is not UTF-8.
bool ToUtf16(const std::string& utf8, std::u16string* out)
{
    out->clear();
    for (size_t i = 0; i < utf8.size();) {
        const unsigned char c = static_cast<unsigned char>(utf8[i]);
        const int extra = c < 0x80 ? 0 : (c & 0xE0) == 0xC0 ? 1 : (c & 0xF0) == 0xE0 ? 2 : (c & 0xF8) == 0xF0 ? 3 : -1;
        if (extra < 0 || i + static_cast<size_t>(extra) >= utf8.size() + (extra == 0 ? 1 : 0))
            return false;
        uint32_t code = extra == 0 ? c : c & (0x3F >> extra);
        for (int k = 1; k <= extra; ++k) {
            const unsigned char t = static_cast<unsigned char>(utf8[i + static_cast<size_t>(k)]);
            if ((t & 0xC0) != 0x80)
                return false;
            code = (code << 6) | (t & 0x3F);
        }
        i += static_cast<size_t>(extra) + 1;
        if (code >= 0x10000) {
            code -= 0x10000;
            out->push_back(static_cast<char16_t>(0xD800 + (code >> 10)));
            out->push_back(static_cast<char16_t>(0xDC00 + (code & 0x3FF)));
        } else {
            out->push_back(static_cast<char16_t>(code));
        }
    }
    return true;
}

std::string Upper(std::string text)
{
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return text;
}

// The d-characters of a name, cut to `length`; anything else becomes '_'.
std::string DChars(const std::string& utf8, size_t length)
{
    std::string out;
    for (size_t i = 0; i < utf8.size() && out.size() < length; ++i) {
        const unsigned char c = static_cast<unsigned char>(utf8[i]);
        if ((c & 0xC0) == 0x80)
            continue;  // one '_' per character, not per byte
        const char u = Upper(std::string(1, static_cast<char>(c)))[0];
        out += IsLabelChar(u) ? u : '_';
    }
    return out;
}

// The key that orders ISO 9660 identifiers: name and extension, each padded
// with blanks, as the records of a folder must be sorted.
std::string PrimaryKey(const std::string& id)
{
    const size_t dot = id.find('.');
    std::string name = id.substr(0, dot), ext = dot == std::string::npos ? "" : id.substr(dot + 1);
    ext = ext.substr(0, ext.find(';'));
    name.resize(8, ' ');
    ext.resize(3, ' ');
    return name + "." + ext;
}

// Gives every child of a folder its 8.3 name of the ISO 9660 tree, a
// readers' fallback only (Windows reads the Joliet names): the same names
// in the same order always give the same identifiers.
void NamePrimary(IsoPlan* plan, IsoNode* folder)
{
    std::set<std::string> used;
    for (int child : folder->Children) {
        IsoNode& n = plan->Nodes[static_cast<size_t>(child)];
        const size_t dot = n.Folder ? std::string::npos : n.Name.rfind('.');
        std::string stem = DChars(n.Name.substr(0, dot), 8);
        const std::string ext = dot == std::string::npos ? "" : DChars(n.Name.substr(dot + 1), 3);
        if (stem.empty())
            stem = "_";
        auto identifier = [&](const std::string& s) { return n.Folder ? s : s + "." + ext + ";1"; };
        std::string id = identifier(stem);
        for (int k = 1; used.count(id) != 0; ++k) {
            const std::string tail = "~" + std::to_string(k);
            id = identifier(stem.substr(0, 8 - tail.size()) + tail);
        }
        used.insert(id);
        n.Primary = id;
    }
}

bool ReadTree(IsoPlan* plan, int index, std::string* error)
{
    std::vector<HostEntry> entries;
    const std::string path = plan->Nodes[static_cast<size_t>(index)].Path;
    if (!HostList(path, &entries)) {
        *error = "cannot read the folder '" + path + "'";
        return false;
    }
    for (const HostEntry& e : entries) {
        IsoNode n;
        n.Path = path + HostSlash + e.Name;
        n.Name = e.Name;
        n.Folder = e.Folder;
        n.Size = e.Size;
        n.Time = e.Time;
        n.Parent = index;
        const bool named = ToUtf16(e.Name, &n.Joliet);
        if (!named)
            plan->Problems.push_back("'" + n.Path + "': the name is not UTF-8");
        else if (n.Joliet.size() > JolietNameLength)
            plan->Problems.push_back(
                "'" + n.Path + "': the name has " + std::to_string(n.Joliet.size()) +
                " UTF-16 characters; a Joliet name holds " + std::to_string(JolietNameLength));
        else if (e.Name.find_first_of("*/:;?\\") != std::string::npos)
            plan->Problems.push_back("'" + n.Path + "': a Joliet name holds none of * / : ; ? \\");
        if (!n.Folder && n.Size > LargestFile)
            plan->Problems.push_back("'" + n.Path + "' is 4 GiB or larger: Windows reads no such file from an image");
        if (!named || n.Joliet.size() > JolietNameLength || (!n.Folder && n.Size > LargestFile))
            continue;
        plan->Nodes.push_back(n);
        const int child = static_cast<int>(plan->Nodes.size()) - 1;
        plan->Nodes[static_cast<size_t>(index)].Children.push_back(child);
        if (n.Folder && !ReadTree(plan, child, error))
            return false;
    }
    return true;
}

// A folder's time: that of the newest thing in it, since the folders of a
// build are made anew and their own times say when, not what.
int64_t DateFolders(IsoPlan* plan, int index)
{
    IsoNode& n = plan->Nodes[static_cast<size_t>(index)];
    if (!n.Folder)
        return n.Time;
    int64_t newest = 0;
    for (int child : n.Children)
        newest = std::max(newest, DateFolders(plan, child));
    plan->Nodes[static_cast<size_t>(index)].Time = newest;
    return newest;
}

uint32_t RecordLength(size_t idBytes) { return static_cast<uint32_t>(33 + idBytes + (idBytes % 2 == 0 ? 1 : 0)); }

// Bytes of a folder's records, none of them across a sector's end.
uint32_t FolderBytes(const std::vector<uint32_t>& lengths)
{
    uint32_t at = 0;
    for (uint32_t length : lengths) {
        if (at % IsoSectorSize + length > IsoSectorSize)
            at = SectorsFor(at) * IsoSectorSize;
        at += length;
    }
    return SectorsFor(at) * IsoSectorSize;
}

std::vector<int> SortedChildren(const IsoPlan& plan, const IsoNode& folder, bool joliet)
{
    std::vector<int> order = folder.Children;
    std::sort(order.begin(), order.end(), [&](int a, int b) {
        const IsoNode& x = plan.Nodes[static_cast<size_t>(a)];
        const IsoNode& y = plan.Nodes[static_cast<size_t>(b)];
        return joliet ? x.Joliet < y.Joliet : PrimaryKey(x.Primary) < PrimaryKey(y.Primary);
    });
    return order;
}

// Folders level by level, each level by parent and then by identifier.
std::vector<int> PathTableOrder(const IsoPlan& plan, bool joliet)
{
    std::vector<int> order = {0};
    for (size_t i = 0; i < order.size(); ++i)
        for (int child : SortedChildren(plan, plan.Nodes[static_cast<size_t>(order[i])], joliet))
            if (plan.Nodes[static_cast<size_t>(child)].Folder)
                order.push_back(child);
    return order;
}

uint32_t PathTableBytes(const IsoPlan& plan, const std::vector<int>& order, bool joliet)
{
    uint32_t bytes = 0;
    for (int f : order) {
        const IsoNode& n = plan.Nodes[static_cast<size_t>(f)];
        const size_t id = f == 0 ? 1 : joliet ? n.Joliet.size() * 2 : n.Primary.size();
        bytes += static_cast<uint32_t>(8 + id + id % 2);
    }
    return bytes;
}

// ---- Writing ----------------------------------------------------------------

struct Sector {
    uint8_t Bytes[IsoSectorSize];
};

void Both16(uint8_t* p, uint16_t v)
{
    p[0] = static_cast<uint8_t>(v), p[1] = static_cast<uint8_t>(v >> 8);
    p[2] = static_cast<uint8_t>(v >> 8), p[3] = static_cast<uint8_t>(v);
}

void Le32(uint8_t* p, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<uint8_t>(v >> (8 * i));
}

void Be32(uint8_t* p, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<uint8_t>(v >> (8 * (3 - i)));
}

void Both32(uint8_t* p, uint32_t v)
{
    Le32(p, v);
    Be32(p + 4, v);
}

struct Civil {
    int Year, Month, Day, Hour, Minute, Second;
};

// Seconds since 1970 as a UTC calendar date, without the C library's
// time zone or its range.
Civil CivilTime(int64_t t)
{
    int64_t days = t / 86400, rest = t % 86400;
    if (rest < 0)
        rest += 86400, --days;
    days += 719468;
    const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const int64_t doe = days - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    const int day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    const int month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    const int year = static_cast<int>(yoe + era * 400 + (month <= 2 ? 1 : 0));
    return {year, month, day, static_cast<int>(rest / 3600), static_cast<int>(rest / 60 % 60),
            static_cast<int>(rest % 60)};
}

// A record's date holds the years 1900 to 2155.
void RecordDate(uint8_t* p, int64_t t)
{
    Civil c = CivilTime(t);
    if (c.Year < 1900)
        c = {1900, 1, 1, 0, 0, 0};
    if (c.Year > 2155)
        c = {2155, 12, 31, 23, 59, 59};
    const int values[6] = {c.Year - 1900, c.Month, c.Day, c.Hour, c.Minute, c.Second};
    for (int i = 0; i < 6; ++i)
        p[i] = static_cast<uint8_t>(values[i]);
    p[6] = 0;  // UTC
}

void VolumeDate(uint8_t* p, const int64_t* t)
{
    char text[32] = "0000000000000000";
    if (t != nullptr) {
        Civil c = CivilTime(*t);
        c.Year = std::min(std::max(c.Year, 1), 9999);
        snprintf(text, sizeof text, "%04d%02d%02d%02d%02d%02d00", c.Year, c.Month, c.Day, c.Hour, c.Minute,
                 c.Second);
    }
    memcpy(p, text, 16);
    p[16] = 0;
}

// The identifier bytes of a node in one of the trees.
std::string Identifier(const IsoNode& n, bool joliet)
{
    if (!joliet)
        return n.Primary;
    std::string bytes;
    for (char16_t u : n.Joliet) {
        bytes += static_cast<char>(u >> 8);
        bytes += static_cast<char>(u & 0xFF);
    }
    return bytes;
}

uint32_t PutRecord(uint8_t* p, const IsoNode& n, const std::string& id, bool joliet)
{
    const uint32_t length = RecordLength(id.size());
    memset(p, 0, length);
    p[0] = static_cast<uint8_t>(length);
    Both32(p + 2, n.Folder ? (joliet ? n.JolietExtent : n.Extent) : n.Extent);
    Both32(p + 10, n.Folder ? (joliet ? n.JolietBytes : n.Bytes) : static_cast<uint32_t>(n.Size));
    RecordDate(p + 18, n.Time);
    p[25] = n.Folder ? 2 : 0;
    Both16(p + 28, 1);
    p[32] = static_cast<uint8_t>(id.size());
    memcpy(p + 33, id.data(), id.size());
    return length;
}

void PutFolder(const IsoPlan& plan, int index, bool joliet, std::vector<Sector>* out)
{
    const IsoNode& n = plan.Nodes[static_cast<size_t>(index)];
    std::vector<uint8_t> bytes(joliet ? n.JolietBytes : n.Bytes, 0);
    uint32_t at = 0;
    auto put = [&](const IsoNode& node, const std::string& id) {
        if (at % IsoSectorSize + RecordLength(id.size()) > IsoSectorSize)
            at = SectorsFor(at) * IsoSectorSize;
        at += PutRecord(bytes.data() + at, node, id, joliet);
    };
    put(n, std::string(1, '\0'));
    put(plan.Nodes[static_cast<size_t>(n.Parent)], std::string(1, '\1'));
    for (int child : SortedChildren(plan, n, joliet))
        put(plan.Nodes[static_cast<size_t>(child)], Identifier(plan.Nodes[static_cast<size_t>(child)], joliet));
    for (size_t s = 0; s < bytes.size(); s += IsoSectorSize) {
        out->emplace_back();
        memcpy(out->back().Bytes, bytes.data() + s, IsoSectorSize);
    }
}

void PutPathTable(const IsoPlan& plan, bool joliet, bool bigEndian, std::vector<Sector>* out)
{
    const std::vector<int>& order = joliet ? plan.JolietOrder : plan.PrimaryOrder;
    std::vector<uint8_t> bytes(SectorsFor(joliet ? plan.JolietPathTableBytes : plan.PathTableBytes) *
                                   IsoSectorSize,
                               0);
    size_t at = 0;
    for (int f : order) {
        const IsoNode& n = plan.Nodes[static_cast<size_t>(f)];
        const std::string id = f == 0 ? std::string(1, '\0') : Identifier(n, joliet);
        const IsoNode& parent = plan.Nodes[static_cast<size_t>(n.Parent)];
        const int parentNumber = joliet ? parent.JolietNumber : parent.Number;
        const uint32_t extent = joliet ? n.JolietExtent : n.Extent;
        bytes[at] = static_cast<uint8_t>(id.size());
        if (bigEndian) {
            Be32(&bytes[at + 2], extent);
            bytes[at + 6] = static_cast<uint8_t>(parentNumber >> 8), bytes[at + 7] = static_cast<uint8_t>(parentNumber);
        } else {
            Le32(&bytes[at + 2], extent);
            bytes[at + 6] = static_cast<uint8_t>(parentNumber), bytes[at + 7] = static_cast<uint8_t>(parentNumber >> 8);
        }
        memcpy(&bytes[at + 8], id.data(), id.size());
        at += 8 + id.size() + id.size() % 2;
    }
    for (size_t s = 0; s < bytes.size(); s += IsoSectorSize) {
        out->emplace_back();
        memcpy(out->back().Bytes, bytes.data() + s, IsoSectorSize);
    }
}

// A text field: blanks after the text, in bytes or in UTF-16 big-endian.
void PutText(uint8_t* p, size_t bytes, const std::string& text, bool joliet)
{
    for (size_t i = 0; i < bytes; ++i)
        p[i] = joliet && i % 2 == 0 ? 0 : ' ';
    for (size_t i = 0; i < text.size() && (joliet ? 2 * i + 1 : i) < bytes; ++i) {
        if (joliet)
            p[2 * i + 1] = static_cast<uint8_t>(text[i]);
        else
            p[i] = static_cast<uint8_t>(text[i]);
    }
}

Sector Descriptor(const IsoPlan& plan, bool joliet)
{
    Sector s;
    uint8_t* p = s.Bytes;
    memset(p, 0, IsoSectorSize);
    p[0] = joliet ? 2 : 1;
    memcpy(p + 1, "CD001", 5);
    p[6] = 1;
    PutText(p + 8, 32, "", joliet);
    PutText(p + 40, 32, joliet ? plan.Label.substr(0, JolietLabelLength) : plan.Label, joliet);
    Both32(p + 80, plan.Sectors);
    if (joliet)
        memcpy(p + 88, "%/E", 3);  // UCS-2 level 3
    Both16(p + 120, 1);
    Both16(p + 124, 1);
    Both16(p + 128, IsoSectorSize);
    Both32(p + 132, joliet ? plan.JolietPathTableBytes : plan.PathTableBytes);
    Le32(p + 140, plan.PathTables[joliet ? 2 : 0]);
    Be32(p + 148, plan.PathTables[joliet ? 3 : 1]);
    PutRecord(p + 156, plan.Nodes[0], std::string(1, '\0'), joliet);
    PutText(p + 190, 128, "", joliet);
    PutText(p + 318, 128, "", joliet);
    PutText(p + 446, 128, "", joliet);
    PutText(p + 574, 128, "DRUBELKIT", joliet);
    PutText(p + 702, 37, "", joliet);
    PutText(p + 739, 37, "", joliet);
    PutText(p + 776, 37, "", joliet);
    VolumeDate(p + 813, &plan.Time);
    VolumeDate(p + 830, &plan.Time);
    VolumeDate(p + 847, nullptr);
    VolumeDate(p + 864, nullptr);
    p[881] = 1;
    return s;
}

bool Put(FILE* f, const std::vector<Sector>& sectors)
{
    return sectors.empty() || fwrite(sectors.data(), IsoSectorSize, sectors.size(), f) == sectors.size();
}

}  // namespace

const IsoMedium* FindIsoMedium(const std::string& name)
{
    for (const IsoMedium& m : Media)
        if (name == m.Name)
            return &m;
    return nullptr;
}

std::string IsoMediumNames()
{
    std::string names;
    for (const IsoMedium& m : Media)
        names += (names.empty() ? "" : "|") + std::string(m.Name);
    return names;
}

std::string IsoLabelProblem(const std::string& label)
{
    if (label.empty())
        return "a volume label needs at least one character";
    if (label.size() > LabelLength)
        return "a volume label holds " + std::to_string(LabelLength) + " characters at most, this one has " +
               std::to_string(label.size());
    for (char c : label)
        if (!IsLabelChar(c))
            return "a volume label holds only A-Z, 0-9 and '_'";
    return "";
}

std::string IsoLabelFromKeyFile(const std::string& keyFileUtf8, int disc)
{
    std::string name = keyFileUtf8.substr(keyFileUtf8.find_last_of("/\\") == std::string::npos
                                              ? 0
                                              : keyFileUtf8.find_last_of("/\\") + 1);
    name = name.substr(0, name.rfind('.'));
    const std::string label = DChars(name, LabelLength);
    return label.find_first_not_of('_') == std::string::npos ? "DISC" + std::to_string(disc) : label;
}

bool PlanIsoImage(const std::string& folder, const std::string& label, const int64_t* fixedTime,
                  IsoPlan* plan, std::string* error)
{
    *plan = IsoPlan();
    plan->Label = label;
    IsoNode root;
    root.Path = folder;
    root.Folder = true;
    plan->Nodes.push_back(root);
    if (!ReadTree(plan, 0, error))
        return false;
    if (fixedTime != nullptr)
        for (IsoNode& n : plan->Nodes)
            n.Time = *fixedTime;
    else
        DateFolders(plan, 0);
    plan->Time = plan->Nodes[0].Time;
    for (size_t i = 0; i < plan->Nodes.size(); ++i)
        if (plan->Nodes[i].Folder)
            NamePrimary(plan, &plan->Nodes[i]);

    plan->PrimaryOrder = PathTableOrder(*plan, false);
    plan->JolietOrder = PathTableOrder(*plan, true);
    for (size_t i = 0; i < plan->PrimaryOrder.size(); ++i)
        plan->Nodes[static_cast<size_t>(plan->PrimaryOrder[i])].Number = static_cast<int>(i) + 1;
    for (size_t i = 0; i < plan->JolietOrder.size(); ++i)
        plan->Nodes[static_cast<size_t>(plan->JolietOrder[i])].JolietNumber = static_cast<int>(i) + 1;
    plan->PathTableBytes = PathTableBytes(*plan, plan->PrimaryOrder, false);
    plan->JolietPathTableBytes = PathTableBytes(*plan, plan->JolietOrder, true);

    uint32_t next = FirstFreeSector;
    for (int t = 0; t < 4; ++t) {
        plan->PathTables[t] = next;
        next += SectorsFor(t < 2 ? plan->PathTableBytes : plan->JolietPathTableBytes);
    }
    for (int joliet = 0; joliet < 2; ++joliet) {
        for (int f : joliet ? plan->JolietOrder : plan->PrimaryOrder) {
            IsoNode& n = plan->Nodes[static_cast<size_t>(f)];
            std::vector<uint32_t> lengths = {34, 34};
            for (int child : n.Children)
                lengths.push_back(RecordLength(Identifier(plan->Nodes[static_cast<size_t>(child)], joliet != 0).size()));
            const uint32_t bytes = FolderBytes(lengths);
            (joliet ? n.JolietExtent : n.Extent) = next;
            (joliet ? n.JolietBytes : n.Bytes) = bytes;
            next += bytes / IsoSectorSize;
        }
    }
    // File data in name order; an empty file points at where the next one
    // starts and takes no sector.
    uint64_t end = next;
    for (IsoNode& n : plan->Nodes) {
        if (n.Folder)
            continue;
        n.Extent = static_cast<uint32_t>(std::min<uint64_t>(end, 0xFFFFFFFFu));
        end += SectorsFor(n.Size);
    }
    plan->Sectors = static_cast<uint32_t>(std::min<uint64_t>(end, 0xFFFFFFFFu));
    return true;
}

std::string IsoOverflow(const IsoPlan& plan, const IsoMedium& medium)
{
    if (plan.Sectors <= medium.Sectors)
        return "";
    const uint32_t over = plan.Sectors - medium.Sectors;
    char text[200];
    snprintf(text, sizeof text,
             "%" PRIu32 " sectors (%.1f MiB) over the %" PRIu32 " sectors of a %s: the image needs %" PRIu32,
             over, over * double(IsoSectorSize) / 1048576.0, medium.Sectors, medium.Title, plan.Sectors);
    return text;
}

bool WriteIsoImage(const IsoPlan& plan, const std::string& path, std::string* error)
{
    FILE* f = HostOpen(path, "wb");
    if (f == nullptr) {
        *error = "cannot write the image '" + path + "'";
        return false;
    }
    std::vector<Sector> head(16);
    memset(head.data(), 0, head.size() * IsoSectorSize);
    head.push_back(Descriptor(plan, false));
    head.push_back(Descriptor(plan, true));
    head.emplace_back();
    memset(head.back().Bytes, 0, IsoSectorSize);
    head.back().Bytes[0] = 255;
    memcpy(head.back().Bytes + 1, "CD001", 5);
    head.back().Bytes[6] = 1;
    PutPathTable(plan, false, false, &head);
    PutPathTable(plan, false, true, &head);
    PutPathTable(plan, true, false, &head);
    PutPathTable(plan, true, true, &head);
    for (int joliet = 0; joliet < 2; ++joliet)
        for (int folder : joliet ? plan.JolietOrder : plan.PrimaryOrder)
            PutFolder(plan, folder, joliet != 0, &head);
    bool ok = Put(f, head);
    static uint8_t chunk[1 << 16];
    for (const IsoNode& n : plan.Nodes) {
        if (n.Folder || !ok)
            continue;
        FILE* in = HostOpen(n.Path, "rb");
        uint64_t left = n.Size;
        ok = in != nullptr;
        while (ok && left > 0) {
            const size_t want = static_cast<size_t>(std::min<uint64_t>(left, sizeof chunk));
            ok = fread(chunk, 1, want, in) == want && fwrite(chunk, 1, want, f) == want;
            left -= want;
        }
        if (in != nullptr)
            fclose(in);
        const size_t pad = static_cast<size_t>((IsoSectorSize - n.Size % IsoSectorSize) % IsoSectorSize);
        memset(chunk, 0, pad);
        ok = ok && fwrite(chunk, 1, pad, f) == pad;
        if (!ok)
            *error = "cannot put '" + n.Path + "' into the image '" + path + "' (did it change?)";
    }
    if (fclose(f) != 0 && ok) {
        ok = false;
        *error = "cannot write the image '" + path + "'";
    }
    if (!ok)
        HostRemoveFile(path);
    return ok;
}

#include "archive/pak_writer.h"

#include "archive/pak.h"
#include "common/text.h"

#include <cstring>

static void PutLe32(uint8_t* p, uint32_t v)
{
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
    p[2] = static_cast<uint8_t>(v >> 16);
    p[3] = static_cast<uint8_t>(v >> 24);
}

std::string PakLimitError(const std::string& name, uint64_t size)
{
    if (size > UINT32_MAX)
        return "member " + name + " is " + std::to_string(size) +
               " bytes: an archive member holds at most 4294967295 bytes";
    return "the archive would pass 4294967295 bytes with member " + name +
           ": its sizes and offsets are 32-bit";
}

bool PakBuild(const std::vector<PakMemberData>& members, bool shortNames,
              std::vector<uint8_t>* archive, std::string* error)
{
    const uint32_t width = shortNames ? PakShortNameWidth : PakLongNameWidth;
    uint64_t total = PakHeaderSize + static_cast<uint64_t>(members.size()) * (width + 8);
    for (size_t i = 0; i < members.size(); ++i) {
        const std::string& name = members[i].Name;
        if (name.empty()) {
            *error = "a member has an empty name";
            return false;
        }
        if (name.size() > width - 1) {
            *error = "name too long for a " + std::to_string(width) + "-byte field (at most " +
                     std::to_string(width - 1) + " bytes): " + name;
            return false;
        }
        if (FindLastBackslash(name.c_str()) != nullptr || name.find('\0') != std::string::npos) {
            *error = "a member name holds no folder part: " + name;
            return false;
        }
        for (size_t j = 0; j < i; ++j) {
            if (members[j].Name.size() == name.size() &&
                EqualNoCaseN(members[j].Name.c_str(), name.c_str(), name.size())) {
                *error = "duplicate member name: " + name;
                return false;
            }
        }
        if (members[i].Data.empty()) {
            // The reader takes a size of 0 for "not found".
            *error = "an empty member cannot be read back from an archive: " + name;
            return false;
        }
        // Sizes and offsets are 32-bit fields: nothing may lie beyond 4 GB.
        total += members[i].Data.size();
        if (total > UINT32_MAX) {
            *error = PakLimitError(name, members[i].Data.size());
            return false;
        }
    }

    archive->assign(static_cast<size_t>(total), 0);
    uint8_t* out = archive->data();
    memcpy(out, "DRUBEL PAK", 10);
    out[11] = shortNames ? '1' : PakLongNameKind;
    PutLe32(out + 12, static_cast<uint32_t>(members.size()));
    uint8_t* names = out + PakHeaderSize;
    uint8_t* locations = names + members.size() * width;
    uint8_t* data = locations + members.size() * 8;
    uint32_t offset = 0;
    for (size_t i = 0; i < members.size(); ++i) {
        memcpy(names + i * width, members[i].Name.data(), members[i].Name.size());
        PutLe32(locations + i * 8, offset);
        PutLe32(locations + i * 8 + 4, static_cast<uint32_t>(members[i].Data.size()));
        memcpy(data + offset, members[i].Data.data(), members[i].Data.size());
        offset += static_cast<uint32_t>(members[i].Data.size());
    }
    return true;
}

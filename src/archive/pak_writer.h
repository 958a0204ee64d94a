// Building PAK archives: the publisher's side, used by the authoring tool and
// by tests. The program itself only reads archives.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct PakMemberData {
    std::string Name;           // bare file name, stored as given
    std::vector<uint8_t> Data;
};

// Lays the members out in the order given: header, name table, location
// table, data. False, with `error` naming the member, when a name is empty,
// does not fit its field (31 bytes, or 15 with short names), or repeats
// another name (ignoring case, as the reader compares); also when a member
// or the whole archive would pass 4 GB - 1, which the format's 32-bit sizes
// and offsets cannot hold.
bool PakBuild(const std::vector<PakMemberData>& members, bool shortNames,
              std::vector<uint8_t>* archive, std::string* error);

// The error for member `name` of `size` bytes that takes the archive past
// the format's 32-bit limit (the member alone, or the archive up to it).
std::string PakLimitError(const std::string& name, uint64_t size);

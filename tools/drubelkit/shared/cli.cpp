#include "shared/cli.h"

#include "shared/host_files.h"

#include <cstdio>
#include <cstring>

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>* bytes)
{
    FILE* f = HostOpen(path, "rb");
    if (f == nullptr)
        return false;
    bytes->clear();
    uint8_t chunk[65536];
    size_t n;
    while ((n = fread(chunk, 1, sizeof chunk, f)) > 0)
        bytes->insert(bytes->end(), chunk, chunk + n);
    const bool ok = ferror(f) == 0;
    fclose(f);
    return ok;
}

bool WriteWholeFile(const std::string& path, const std::vector<uint8_t>& bytes)
{
    const std::string temp = path + ".partial";
    FILE* f = HostOpen(temp, "wb");
    if (f == nullptr)
        return false;
    bool ok = bytes.empty() || fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    ok = (fclose(f) == 0) && ok;
    if (ok && HostReplace(temp, path))
        return true;
    HostRemoveFile(temp);
    return false;
}

bool IsHelpFlag(const char* arg)
{
    return strcmp(arg, "--help") == 0 || strcmp(arg, "-h") == 0;
}

#include "shared/cli.h"

#include "archive/pak.h"
#include "archive/pak_writer.h"
#include "shared/host_files.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

static const char PakUsage[] =
    "usage: drubelkit pak create [--short-names] OUT MEMBER...\n"
    "       drubelkit pak list ARCHIVE\n"
    "       drubelkit pak extract ARCHIVE NAME [-o FILE]\n"
    "\n"
    "create   writes an archive holding the MEMBER files in the order given,\n"
    "         each under its bare file name (at most 31 bytes; 15 with\n"
    "         --short-names, which writes 16-byte name fields)\n"
    "list     prints one line per member: name, data position in the file, size\n"
    "extract  reads member NAME exactly as the launcher does and writes it to\n"
    "         FILE (default: NAME in the current folder; '-' for standard output)\n";

static const char* BaseName(const char* path)
{
    const char* name = path;
    for (const char* p = path; *p != '\0'; ++p)
        if (strchr(HostSlashes, *p) != nullptr)
            name = p + 1;
    return name;
}

static int Create(int argc, char** argv)
{
    bool shortNames = false;
    int i = 0;
    if (i < argc && strcmp(argv[i], "--short-names") == 0) {
        shortNames = true;
        ++i;
    }
    if (argc - i < 2) {
        fputs(PakUsage, stderr);
        return ExitUsage;
    }
    const char* out = argv[i++];
    // The format holds 32-bit sizes and offsets: a member of 4 GB or more,
    // or an archive that would pass 4 GB, is refused before anything is read.
    const uint32_t width = shortNames ? PakShortNameWidth : PakLongNameWidth;
    uint64_t total = PakHeaderSize + static_cast<uint64_t>(argc - i) * (width + 8);
    for (int m = i; m < argc; ++m) {
        HostEntry info;
        if (!HostInfo(argv[m], &info) || info.Folder) {
            fprintf(stderr, "drubelkit pak: cannot read member file '%s'\n", argv[m]);
            return ExitBadInput;
        }
        total += info.Size;
        if (total > UINT32_MAX) {
            fprintf(stderr, "drubelkit pak: %s\n",
                    PakLimitError(BaseName(argv[m]), info.Size).c_str());
            return ExitBadInput;
        }
    }
    std::vector<PakMemberData> members;
    for (; i < argc; ++i) {
        PakMemberData m;
        m.Name = BaseName(argv[i]);
        if (!ReadWholeFile(argv[i], &m.Data)) {
            fprintf(stderr, "drubelkit pak: cannot read member file '%s'\n", argv[i]);
            return ExitBadInput;
        }
        members.push_back(std::move(m));
    }
    std::vector<uint8_t> archive;
    std::string error;
    if (!PakBuild(members, shortNames, &archive, &error)) {
        fprintf(stderr, "drubelkit pak: %s\n", error.c_str());
        return ExitBadInput;
    }
    if (!WriteWholeFile(out, archive)) {
        fprintf(stderr, "drubelkit pak: cannot write '%s'\n", out);
        return ExitBadInput;
    }
    return ExitOk;
}

static uint32_t Le32(const uint8_t* p)
{
    return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
}

static int List(int argc, char** argv)
{
    if (argc != 1) {
        fputs(PakUsage, stderr);
        return ExitUsage;
    }
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(argv[0], &bytes)) {
        fprintf(stderr, "drubelkit pak: cannot read '%s'\n", argv[0]);
        return ExitBadInput;
    }
    PakDirectory dir;
    if (bytes.size() < PakHeaderSize || !PakParseHeader(bytes.data(), bytes.size(), &dir)) {
        fprintf(stderr, "drubelkit pak: '%s' is not an archive (its directory does not fit in the file)\n",
                argv[0]);
        return ExitBadInput;
    }
    const uint8_t* names = bytes.data() + PakHeaderSize;
    const uint8_t* locations = names + static_cast<size_t>(dir.Count) * dir.NameWidth;
    int status = ExitOk;
    for (uint32_t i = 0; i < dir.Count; ++i) {
        char name[PakLongNameWidth + 1] = {};
        memcpy(name, names + static_cast<size_t>(i) * dir.NameWidth, dir.NameWidth);
        const uint64_t start = PakHeaderSize + dir.Bytes + Le32(locations + i * 8ull);
        const uint32_t size = Le32(locations + i * 8ull + 4);
        const bool inside = start + size <= bytes.size();
        printf("%-31s %10llu %10u%s\n", name, static_cast<unsigned long long>(start), size,
               inside ? "" : "  (lies outside the file)");
        if (!inside)
            status = ExitBadInput;
    }
    return status;
}

static int Extract(int argc, char** argv)
{
    if (argc != 2 && !(argc == 4 && strcmp(argv[2], "-o") == 0)) {
        fputs(PakUsage, stderr);
        return ExitUsage;
    }
    const char* archive = argv[0];
    const char* name = argv[1];
    const char* out = argc == 4 ? argv[3] : PakSearchName(name);
    PakFile* file = PakOpenMember(HostProgramPath(archive).c_str(), name);
    if (file == nullptr) {
        fprintf(stderr, "drubelkit pak: no member '%s' in '%s'\n", name, archive);
        return ExitBadInput;
    }
    std::vector<uint8_t> data(PakGetSize(file));
    const bool ok = PakRead(file, data.data()) && PakWaitRead(file);
    PakClose(file);
    if (!ok) {
        fprintf(stderr, "drubelkit pak: member '%s' is cut short in '%s'\n", name, archive);
        return ExitBadInput;
    }
    if (strcmp(out, "-") == 0) {
        return fwrite(data.data(), 1, data.size(), stdout) == data.size() ? ExitOk : ExitBadInput;
    }
    if (!WriteWholeFile(out, data)) {
        fprintf(stderr, "drubelkit pak: cannot write '%s'\n", out);
        return ExitBadInput;
    }
    return ExitOk;
}

int RunPakCommand(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        if (IsHelpFlag(argv[i])) {
            fputs(PakUsage, stdout);
            return ExitOk;
        }
    }
    if (argc < 2) {
        fputs(PakUsage, stderr);
        return ExitUsage;
    }
    const char* verb = argv[1];
    if (strcmp(verb, "create") == 0)
        return Create(argc - 2, argv + 2);
    if (strcmp(verb, "list") == 0)
        return List(argc - 2, argv + 2);
    if (strcmp(verb, "extract") == 0)
        return Extract(argc - 2, argv + 2);
    fprintf(stderr, "drubelkit pak: unknown action '%s'\n\n%s", verb, PakUsage);
    return ExitUsage;
}

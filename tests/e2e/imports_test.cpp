// The program imports only DLLs that Windows keeps as known DLLs, which it
// always loads from the system folder: a DLL of another name would be looked
// for in the program's own folder first, and a planted one would run with
// the launcher's rights. Read from the import table of Drubel.exe, the file
// that goes on the disc and that the installation copies.
#include "e2e_fixture.h"

#include <algorithm>
#include <cstring>

namespace {

// The known DLLs of every Windows from Vista to 11 (the KnownDLLs key of the
// session manager; the later systems add more), and ntdll, which every
// process has. XP's list lacks msvcrt, which it loads from the system folder
// all the same, as an import of its known DLLs.
const char* const KnownDlls[] = {
    "advapi32.dll", "clbcatq.dll", "comdlg32.dll", "gdi32.dll",   "imagehlp.dll", "imm32.dll",
    "kernel32.dll", "msctf.dll",   "msvcrt.dll",   "normaliz.dll", "nsi.dll",     "ole32.dll",
    "oleaut32.dll", "psapi.dll",   "rpcrt4.dll",   "setupapi.dll", "shell32.dll", "shlwapi.dll",
    "user32.dll",   "wldap32.dll", "ws2_32.dll",   "ntdll.dll",
};
// Not a known DLL, but the manifest asks for version 6 from the
// side-by-side store, which the loader takes before any folder.
const char SideBySideDll[] = "comctl32.dll";
const char CommonControlsAssembly[] = "Microsoft.Windows.Common-Controls";

uint32_t At32(const std::string& bytes, size_t offset)
{
    uint32_t value = 0;
    if (offset + 4 <= bytes.size())
        memcpy(&value, bytes.data() + offset, 4);
    return value;
}

uint16_t At16(const std::string& bytes, size_t offset)
{
    uint16_t value = 0;
    if (offset + 2 <= bytes.size())
        memcpy(&value, bytes.data() + offset, 2);
    return value;
}

// The names of the import table and of the delayed-import table of a PE
// file of either width; false when the file is no such file.
bool ImportedDlls(const std::string& bytes, std::vector<std::string>* names)
{
    const size_t pe = At32(bytes, 0x3C);
    if (bytes.compare(0, 2, "MZ") != 0 || At32(bytes, pe) != 0x4550)
        return false;
    const size_t sections = At16(bytes, pe + 6);
    const size_t optional = pe + 24;
    const size_t optionalSize = At16(bytes, pe + 20);
    const uint16_t magic = At16(bytes, optional);
    if (magic != 0x10B && magic != 0x20B)
        return false;
    const size_t directories = optional + (magic == 0x20B ? 112 : 96);
    const size_t table = optional + optionalSize;
    // A relative address as an offset in the file, through the section holding it.
    auto offsetOf = [&](uint32_t rva) -> size_t {
        for (size_t i = 0; i < sections; ++i) {
            const size_t header = table + i * 40;
            const uint32_t address = At32(bytes, header + 12);
            const uint32_t size = std::max(At32(bytes, header + 8), At32(bytes, header + 16));
            if (rva >= address && rva < address + size)
                return rva - address + At32(bytes, header + 20);
        }
        return 0;
    };
    // Import directory (entries of 20 bytes, the name at 12) and delayed
    // imports (32 bytes, the name at 4).
    const struct {
        int Directory;
        size_t Entry;
        size_t Name;
    } kinds[] = {{1, 20, 12}, {13, 32, 4}};
    for (const auto& kind : kinds) {
        const uint32_t rva = At32(bytes, directories + kind.Directory * 8);
        if (rva == 0)
            continue;
        for (size_t entry = offsetOf(rva); entry != 0 && entry + kind.Entry <= bytes.size();
             entry += kind.Entry) {
            const uint32_t name = At32(bytes, entry + kind.Name);
            if (name == 0)
                break;
            const size_t at = offsetOf(name);
            if (at == 0 || at >= bytes.size())
                return false;
            names->push_back(bytes.c_str() + at);
        }
    }
    return true;
}

std::string Lower(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    return text;
}

}  // namespace

TEST(ImportTable, TheProgramImportsOnlyKnownDllsAndTheSideBySideCommonControls)
{
    const std::string program = ReadBytesFrom(DrubelExe());
    std::vector<std::string> names;
    ASSERT_TRUE(ImportedDlls(program, &names)) << DrubelExe() << " is no program file";
    EXPECT_NE(names.end(), std::find_if(names.begin(), names.end(), [](const std::string& n) {
                  return Lower(n) == "kernel32.dll";
              })) << "the table was not read";
    for (const std::string& name : names) {
        const std::string lower = Lower(name);
        if (lower == SideBySideDll) {
            EXPECT_NE(std::string::npos, program.find(CommonControlsAssembly))
                << "comctl32 without the manifest that takes it from the side-by-side store";
            continue;
        }
        EXPECT_NE(std::end(KnownDlls), std::find(std::begin(KnownDlls), std::end(KnownDlls), lower))
            << "imports " << name << ", which Windows looks for in the program's folder first";
    }
}

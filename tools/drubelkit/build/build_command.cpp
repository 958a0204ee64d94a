#include "build/build_product.h"
#include "shared/cli.h"

#include "shared/host_files.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#ifdef _WIN32
#define DEFAULT_LAUNCHER_TEXT "Drubel.exe beside drubelkit.exe"
#define EXAMPLE_TEXT "drubelkit build C:\\Games\\Arcadia -o C:\\Games\\Arcadia-discs --iso"
#else
#define DEFAULT_LAUNCHER_TEXT "the win32 build's,\n                build/win32/Drubel.exe of this source tree"
#define EXAMPLE_TEXT "drubelkit build ~/arcadia -o ~/arcadia-discs --iso"
#endif

static const char BuildUsage[] =
    "usage: drubelkit build PRODUCT -o OUT [--launcher EXE] [--iso] [--media MEDIUM]\n"
    "\n"
    "Makes the discs of a product in one step. PRODUCT is a folder holding\n"
    "  Drubel.ini        the setup script in UTF-8, with @SIZE:path@ and\n"
    "                    @MD5:path@ fields for the sizes and digests of disc\n"
    "                    files (a path below a disc folder; a pattern's size is\n"
    "                    the sum of its matches)\n"
    "  disc1/ ... discN/ each disc's files as they will be on the disc\n"
    "                    (N = DISCNUM)\n"
    "  art/NAME.png      the pictures; each becomes the archive member NAME.EPA\n"
    "\n"
    "OUT receives disc1 ... discN. Disc 1 gets the launcher, Drubel.ini in code\n"
    "page 932 with CR LF line ends, and Instdata.pak holding the script and the\n"
    "pictures; each disc gets its KEYFILE marker when its folder lacks it. A\n"
    "listed Drubel.exe, Drubel.ini or Instdata.pak the disc folder lacks (the\n"
    "uninst\\ copy for the Start-menu uninstaller) is the built file.\n"
    "The build ends with 'drubelkit check' of the script, the archive and the\n"
    "discs. On any error it leaves no OUT behind.\n"
    "\n"
    "--launcher EXE  the Drubel.exe for disc 1 (default: " DEFAULT_LAUNCHER_TEXT ")\n"
    "--iso           also write OUT/disc1.iso ... discN.iso: ISO 9660 images with\n"
    "                Joliet names (64 characters at most), each labelled with its\n"
    "                DISCLABEL (else its KEYFILE name without the extension)\n"
    "--media MEDIUM  what every disc must fit: cd (360,000 sectors of 2048\n"
    "                bytes), dvd (DVD-5, 2,295,104; the default), dvd-dl (DVD-9,\n"
    "                4,173,824) or bd (BD-25, 12,219,392)\n"
    "\n"
    "Files keep their dates on the discs and in the images; the built ones take\n"
    "the date of the script or the pictures they are made from. With\n"
    "SOURCE_DATE_EPOCH set, that time dates every built file and everything in\n"
    "the images. The same product always gives the same bytes.\n"
    "\n"
    "Example: " EXAMPLE_TEXT "\n"
    "\n"
    "The product layout and every key are described in docs/script-reference.md.\n"
    "Exit status: 0 built, 1 an error (nothing written), 2 bad usage.\n";

static int UsageError(const std::string& problem)
{
    fprintf(stderr, "drubelkit build: %s\n\n%s", problem.c_str(), BuildUsage);
    return ExitUsage;
}

// The launcher shipped beside drubelkit.exe; on Linux the win32 build's of
// the source tree this tool was built from.
static std::string DefaultLauncher()
{
#ifdef _WIN32
    return HostProgramFolder() + "\\Drubel.exe";
#else
    return std::string(DRUBEL_SOURCE_DIR) + "/build/win32/Drubel.exe";
#endif
}

int RunBuildCommand(int argc, char** argv)
{
    BuildOptions o;
    for (int i = 1; i < argc; ++i) {
        const char* a = argv[i];
        if (IsHelpFlag(a)) {
            fputs(BuildUsage, stdout);
            return ExitOk;
        }
        if (strcmp(a, "--iso") == 0) {
            o.Images = true;
        } else if (strcmp(a, "--media") == 0) {
            if (i + 1 >= argc || (o.Medium = FindIsoMedium(argv[++i])) == nullptr)
                return UsageError("--media takes one of " + IsoMediumNames());
        } else if (strcmp(a, "-o") == 0 || strcmp(a, "--launcher") == 0) {
            if (i + 1 >= argc)
                return UsageError(std::string(a) + " needs a value");
            (a[1] == 'o' ? o.Out : o.Launcher) = argv[++i];
        } else if (a[0] == '-' && a[1] != '\0') {
            return UsageError(std::string("unknown option '") + a + "'");
        } else if (o.Product.empty()) {
            o.Product = a;
        } else {
            return UsageError(std::string("one product at a time: '") + o.Product + "' and '" + a + "'");
        }
    }
    if (o.Product.empty() || o.Out.empty())
        return UsageError("PRODUCT and -o OUT are needed");
    while (o.Product.size() > 1 && strchr(HostSlashes, o.Product.back()) != nullptr)
        o.Product.pop_back();
    const char* epoch = getenv("SOURCE_DATE_EPOCH");
    if (epoch != nullptr && *epoch != '\0') {
        char* end = nullptr;
        o.FixedTime = strtoll(epoch, &end, 10);
        if (*end != '\0' || o.FixedTime < 0)
            return UsageError(std::string("SOURCE_DATE_EPOCH is no count of seconds: '") + epoch + "'");
        o.Fixed = true;
    }
    if (o.Launcher.empty())
        o.Launcher = DefaultLauncher();
    return BuildProduct(o);
}

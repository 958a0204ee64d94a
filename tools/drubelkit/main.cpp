// drubelkit: the publisher's tool for Drubel products.
#include "shared/cli.h"
#include "shared/console.h"
#include "shared/disc_files.h"
#include "shared/host_files.h"

#include <cstdio>
#include <cstring>
#include <string>

#ifdef _WIN32
#define TOOL "drubelkit.exe"
#define DROP_EXAMPLE "C:\\Games\\Arcadia"
#else
#define TOOL "drubelkit"
#define DROP_EXAMPLE "~/arcadia"
#endif

static const char Usage[] =
    "usage: " TOOL " COMMAND [ARGS...]\n"
    "       " TOOL " PRODUCT\n"
    "\n"
    "Authoring tools for a Drubel setup disc.\n"
    "\n"
    "commands:\n"
    "  build    make a product's discs and disc images from its folder, checked\n"
    "           end to end\n"
    "  pak      create, list and extract Instdata.pak archives\n"
    "  check    load a setup script as the launcher would and report mistakes\n"
    "  epa      encode, decode and describe EPA pictures\n"
    "  preview  render the install screen of a script to PNG\n"
    "\n"
    "A product folder alone (" TOOL " " DROP_EXAMPLE ", or the folder dropped\n"
    "on drubelkit.exe in Explorer) is 'build PRODUCT -o PRODUCT-discs --iso':\n"
    "the discs and their DVD images go into the folder beside it, here\n"
    DROP_EXAMPLE "-discs.\n"
    "\n"
    "Run '" TOOL " COMMAND --help' for the options of one command;\n"
    "docs/script-reference.md describes the setup script and the product layout.\n"
    "Exit status: 0 success, 1 bad input, 2 bad usage.\n";

struct Command {
    const char* Name;
    int (*Run)(int, char**);
};
static const Command Commands[] = {
    {"build", RunBuildCommand},
    {"pak", RunPakCommand},
    {"check", RunCheckCommand},
    {"epa", RunEpaCommand},
    {"preview", RunPreviewCommand},
};

static int RunTool(int argc, char** argv)
{
    if (argc < 2) {
        fputs(Usage, stderr);
        return ExitUsage;
    }
    if (IsHelpFlag(argv[1])) {
        fputs(Usage, stdout);
        return ExitOk;
    }
    for (const Command& c : Commands) {
        if (strcmp(argv[1], c.Name) == 0)
            return c.Run(argc - 1, argv + 1);
    }
    if (argc == 2 && IsFolder(argv[1])) {
        std::string product = argv[1];
        while (product.size() > 3 && strchr(HostSlashes, product.back()) != nullptr)
            product.pop_back();
        std::string build = "build", out = "-o", discs = product + "-discs", iso = "--iso";
        char* args[] = {&build[0], &product[0], &out[0], &discs[0], &iso[0], nullptr};
        return RunBuildCommand(5, args);
    }
    fprintf(stderr, "drubelkit: unknown command '%s'\n\n%s", argv[1], Usage);
    return ExitUsage;
}

int main(int argc, char** argv)
{
    ToolStart start;
    StartTool(argc, argv, &start);
    const int status = RunTool(static_cast<int>(start.Args.size()), start.Argv.data());
    fflush(stdout);
    // Explorer's console would close before an error could be read.
    if (ToolOwnsConsole())
        WaitForKey();
    return status;
}

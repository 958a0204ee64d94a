// drubelkit: the publisher's tool for Drubel products.
#include "shared/cli.h"

#include <cstdio>
#include <cstring>

static const char Usage[] =
    "usage: drubelkit COMMAND [ARGS...]\n"
    "\n"
    "Authoring tools for a Drubel setup disc.\n"
    "\n"
    "commands:\n"
    "  build    make a product's discs from its folder, checked end to end\n"
    "  pak      create, list and extract Instdata.pak archives\n"
    "  check    load a setup script as the launcher would and report mistakes\n"
    "  epa      encode, decode and describe EPA pictures\n"
    "  preview  render the install screen of a script to PNG\n"
    "\n"
    "Run 'drubelkit COMMAND --help' for the options of one command;\n"
    "docs/script-reference.md describes the setup script and the product layout.\n"
    "Exit status: 0 success, 1 bad input, 2 bad usage.\n";

int main(int argc, char** argv)
{
    if (argc < 2) {
        fputs(Usage, stderr);
        return ExitUsage;
    }
    if (IsHelpFlag(argv[1])) {
        fputs(Usage, stdout);
        return ExitOk;
    }
    struct Command {
        const char* Name;
        int (*Run)(int, char**);
    };
    static const Command commands[] = {
        {"build", RunBuildCommand},
        {"pak", RunPakCommand},
        {"check", RunCheckCommand},
        {"epa", RunEpaCommand},
        {"preview", RunPreviewCommand},
    };
    for (const Command& c : commands) {
        if (strcmp(argv[1], c.Name) == 0)
            return c.Run(argc - 1, argv + 1);
    }
    fprintf(stderr, "drubelkit: unknown command '%s'\n\n%s", argv[1], Usage);
    return ExitUsage;
}

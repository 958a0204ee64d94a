#include "cli.h"

#include <cstdio>

// Placeholder until the subsystem behind this command lands.
int RunCheckCommand(int argc, char** argv)
{
    (void)argc;
    fprintf(stderr, "drubelkit %s: not available yet\n", argv[0]);
    return ExitUsage;
}

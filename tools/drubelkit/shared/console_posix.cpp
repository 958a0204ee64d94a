#include "shared/console.h"

void StartTool(int argc, char** argv, ToolStart* start)
{
    start->Args.assign(argv, argv + argc);
    for (std::string& a : start->Args)
        start->Argv.push_back(&a[0]);
    start->Argv.push_back(nullptr);
}

bool ToolOwnsConsole() { return false; }

void WaitForKey() {}

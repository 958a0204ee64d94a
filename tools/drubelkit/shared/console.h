// How the tool meets the system it runs on: its arguments, its console and
// the folders it loads code from.
#pragma once

#include <string>
#include <vector>

struct ToolStart {
    std::vector<std::string> Args;  // UTF-8
    std::vector<char*> Argv;        // into Args, ended by a null
};

// The arguments as UTF-8: on Windows from the wide command line, whatever
// the system's code page. On Windows it also sets the console to show
// UTF-8, makes standard output and error binary (the same bytes as on
// Linux) and restricts the search for DLLs to the system folder.
void StartTool(int argc, char** argv, ToolStart* start);

// True when the tool has a console of its own, as when Explorer starts it
// for a folder dropped on it: that console closes when the tool ends.
bool ToolOwnsConsole();
// Waits for a key on that console.
void WaitForKey();

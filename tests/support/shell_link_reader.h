// Reading a saved shell link back, as a player's shell would see it.
#pragma once

#include <string>

struct ShellLinkInfo {
    std::string Target;
    std::string Arguments;
    std::string WorkFolder;
    std::string Description;
    int ShowCommand = -1;
};

// Loads the link file through IShellLinkA (COM is initialised around the
// call); fields the link lacks stay empty.
ShellLinkInfo ReadShellLink(const std::string& file);

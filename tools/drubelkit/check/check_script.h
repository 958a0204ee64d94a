// `drubelkit check`: loads a setup script with the launcher's own parser and
// tells the author what the launcher would do with it.
#pragma once

#include "images/iso_image.h"

#include <string>
#include <vector>

enum CheckSeverity {
    SeverityWarning,  // tolerated, but almost surely not what the author meant
    SeverityError,    // the launcher refuses the script, or an installation from it breaks
    SeverityNote,     // what the check could not look at; never a finding
};

struct CheckMessage {
    int Line;  // 1-based; 0 when the message concerns the script as a whole
    CheckSeverity Severity;
    std::string Text;  // UTF-8
};

struct CheckInput {
    std::string ScriptPath;   // the loose script; empty: the member of the archive
    std::string ArchivePath;  // empty: the pictures are looked for beside the script
    std::vector<std::string> Discs;  // disc folders in disc order; empty: discs are not checked
    const IsoMedium* Medium = nullptr;  // each disc's image must fit it; null: not looked at
};

struct CheckReport {
    int LoadResult = 0;  // what LoadSetupScript returned
    std::vector<CheckMessage> Messages;  // in line order
};

// Runs the load in a scratch folder that holds the script as Drubel.ini and
// the archive as Instdata.pak, exactly where the launcher looks for them,
// then reviews the text and the model. The model keeps the loaded script
// afterwards (for a dump). False, with `error` set, when an input cannot be
// read or the scratch folder cannot be made.
bool CheckSetupScript(const CheckInput& input, CheckReport* report, std::string* error);

// Prints the messages as WHERE:LINE: error|warning|note: TEXT on standard
// error, then a summary line. Returns the exit status: 1 when the launcher
// refuses the script or any finding is an error (any warning too, when
// `strict`), else 0.
int PrintCheckReport(const std::string& where, const CheckReport& report, bool strict);

// The setting of a preview: the script loaded into the model with the
// launcher's parser, and a current folder in which the pictures are found as
// the launcher would find them.
#pragma once

#include <string>

struct PreviewStage {
    std::string Folder;    // scratch folder holding the archive link, or empty
    std::string Home;      // the folder we came from
};

// Without an archive: the script's own folder (loose pictures, and the
// Instdata.pak beside the script if there is one). With one: a scratch
// folder holding only that archive as Instdata.pak, as on the disc.
bool EnterPreviewStage(const std::string& script, const std::string& archive, PreviewStage* stage,
                       std::string* error);
void LeavePreviewStage(PreviewStage* stage);

// Resets the model and parses the script text. 1 loaded, 0 refused.
int LoadPreviewScript(const std::string& text);

// Names every picture of the install screen lines that cannot be loaded,
// once per name, as "SCRIPT:LINE: ..." on standard error. Returns how many.
int ReportMissingPictures(const std::string& scriptPath, const std::string& text);

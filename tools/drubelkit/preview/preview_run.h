// `drubelkit preview`: the install screen of a script, rendered by the
// program's own renderer on a host surface, tick by tick.
#pragma once

#include "preview/preview_canvas.h"

#include <string>
#include <vector>

struct PreviewOptions {
    std::string Script;     // absolute or relative to the starting folder
    std::string Archive;    // empty: pictures beside the script
    int32_t Width = 0;
    int32_t Height = 0;
    std::vector<int> Values;
    int TickMs = 100;
    int Step = 5;           // progress per copying tick
    std::string Output;     // the contact sheet, or empty
    std::string FramesDir;  // one PNG per tick instead, or empty
};

// The label of a frame at `progress`, `ms` after the first frame.
std::string PreviewLabel(int progress, uint32_t ms);

// Renders and writes the output; messages go to standard error. Returns the
// exit status (1 also when pictures are missing, after writing the output).
int RunPreview(const PreviewOptions& options);

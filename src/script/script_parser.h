// Entry points of the parser below LoadSetupScript.
#pragma once

#include <cstdint>

// Runs the line loop over a NUL-terminated script text and fills the model:
// 1 read (possibly only in part), 0 a load failure. LoadSetupScript reads
// the file and hands its text here.
int ParseSetupScriptText(const char* text);

// How many values follow the picture name on a line of that element kind
// (0 for kinds that are not picture lines).
int ElementFieldCount(int32_t kind);

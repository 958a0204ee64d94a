// The setup model as one JSON object, for `drubelkit check --dump`.
#pragma once

#include <string>

// The model as LoadSetupScript left it, with the load's result; ends in a
// line break.
std::string DumpSetupModel(int loadResult);

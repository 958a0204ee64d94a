#include "image/cpu_features.h"

// Linux enables SSE state saving on every processor that has SSE.
bool SystemSupportsSse()
{
    return true;
}

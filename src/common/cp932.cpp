#include "common/cp932.h"

size_t WideLength(const char16_t* text)
{
    size_t n = 0;
    while (text[n] != 0)
        ++n;
    return n;
}

SystemPathChoice ChooseSystemPath(bool longConverts, bool haveShortForm, bool shortConverts)
{
    if (longConverts)
        return SystemPathAsIs;
    // A short form is plain ASCII on every volume that makes them, so it
    // names the same folder in any code page.
    if (haveShortForm && shortConverts)
        return SystemPathShortForm;
    return SystemPathUnusable;
}

#include "common/cp932.h"

#include <windows.h>

static_assert(sizeof(wchar_t) == sizeof(char16_t), "UTF-16 is the system's wide text");

// Code page 932 by number, never CP_ACP: the system's own code page is
// whatever the player's Windows runs with.
constexpr UINT ProgramCodePage = 932;

bool Cp932ToWide(const char* text, char16_t* out, size_t outChars)
{
    if (outChars == 0)
        return false;
    out[0] = 0;
    if (outChars > 0x7FFFFFFF)
        outChars = 0x7FFFFFFF;
    const int n = MultiByteToWideChar(ProgramCodePage, MB_ERR_INVALID_CHARS, text, -1,
                                      reinterpret_cast<wchar_t*>(out), static_cast<int>(outChars));
    if (n <= 0) {
        out[0] = 0;
        return false;
    }
    return true;
}

bool WideToCp932(const char16_t* text, char* out, size_t outBytes)
{
    if (outBytes == 0)
        return false;
    out[0] = '\0';
    if (outBytes > 0x7FFFFFFF)
        outBytes = 0x7FFFFFFF;
    BOOL usedDefault = FALSE;
    const int n = WideCharToMultiByte(ProgramCodePage, WC_NO_BEST_FIT_CHARS,
                                      reinterpret_cast<const wchar_t*>(text), -1, out,
                                      static_cast<int>(outBytes), nullptr, &usedDefault);
    if (n <= 0 || usedDefault) {
        out[0] = '\0';
        return false;
    }
    return true;
}

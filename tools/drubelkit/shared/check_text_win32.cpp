#include "shared/check_text.h"

#include <windows.h>

namespace {

// One character from one code page to another through UTF-16; false when
// it has no exact form in the second (no best fit: "ë" never becomes "e").
bool Convert(UINT from, UINT to, const char* bytes, size_t count, std::string* out)
{
    wchar_t wide[4];
    const int units = MultiByteToWideChar(from, MB_ERR_INVALID_CHARS, bytes, static_cast<int>(count), wide, 4);
    if (units <= 0)
        return false;
    char converted[16];
    BOOL defaulted = FALSE;
    const int n = WideCharToMultiByte(to, to == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS, wide, units, converted,
                                      sizeof converted, nullptr, to == CP_UTF8 ? nullptr : &defaulted);
    if (n <= 0 || defaulted)
        return false;
    out->append(converted, static_cast<size_t>(n));
    return true;
}

}  // namespace

bool Cp932CharToUtf8(const char* bytes, size_t count, std::string* out)
{
    // Windows' table gives the single bytes 0x80, 0xA0 and 0xFD to 0xFF
    // characters of their own; they are no Shift-JIS text, and the Linux
    // build's table refuses them.
    const unsigned char first = static_cast<unsigned char>(bytes[0]);
    if (count == 1 && (first == 0x80 || first == 0xA0 || first >= 0xFD))
        return false;
    return Convert(932, CP_UTF8, bytes, count, out);
}

bool Utf8CharToCp932(const char* bytes, size_t count, std::string* out)
{
    return Convert(CP_UTF8, 932, bytes, count, out);
}

#include "common/cp932.h"

#include <cstring>
#include <iconv.h>

// The C library's own tables for code page 932 (Microsoft's Shift-JIS), so
// that the tools and the host tests convert as the program does on Windows.
namespace {

// Converts `inBytes` bytes into at most `outBytes`; the bytes written, or -1.
long Convert(const char* to, const char* from, const char* in, size_t inBytes, char* out,
             size_t outBytes)
{
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return -1;
    char* source = const_cast<char*>(in);
    size_t left = inBytes;
    char* dest = out;
    size_t room = outBytes;
    const size_t replaced = iconv(cd, &source, &left, &dest, &room);
    const bool flushed = iconv(cd, nullptr, nullptr, &dest, &room) != static_cast<size_t>(-1);
    iconv_close(cd);
    // A count other than 0 is characters iconv had to replace: the program
    // takes only exact conversions.
    if (replaced != 0 || left != 0 || !flushed)
        return -1;
    return static_cast<long>(dest - out);
}

}  // namespace

bool Cp932ToWide(const char* text, char16_t* out, size_t outChars)
{
    if (outChars == 0)
        return false;
    const long n = Convert("UTF-16LE", "CP932", text, strlen(text), reinterpret_cast<char*>(out),
                           (outChars - 1) * sizeof(char16_t));
    if (n < 0) {
        out[0] = 0;
        return false;
    }
    out[static_cast<size_t>(n) / sizeof(char16_t)] = 0;
    return true;
}

bool WideToCp932(const char16_t* text, char* out, size_t outBytes)
{
    if (outBytes == 0)
        return false;
    const long n = Convert("CP932", "UTF-16LE", reinterpret_cast<const char*>(text),
                           WideLength(text) * sizeof(char16_t), out, outBytes - 1);
    if (n < 0) {
        out[0] = '\0';
        return false;
    }
    out[n] = '\0';
    return true;
}

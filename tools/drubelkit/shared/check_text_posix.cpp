#include "shared/check_text.h"

#include <cstring>
#include <iconv.h>

namespace {

bool ConvertOne(iconv_t cd, const char* bytes, size_t count, std::string* out)
{
    if (cd == reinterpret_cast<iconv_t>(-1) || count > 4)
        return false;
    char in[4];
    memcpy(in, bytes, count);
    char converted[16];
    char* inPtr = in;
    size_t inLeft = count;
    char* outPtr = converted;
    size_t outLeft = sizeof converted;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1) || inLeft != 0)
        return false;
    out->append(converted, sizeof converted - outLeft);
    return true;
}

}  // namespace

bool Cp932CharToUtf8(const char* bytes, size_t count, std::string* out)
{
    static iconv_t cd = iconv_open("UTF-8", "CP932");
    return ConvertOne(cd, bytes, count, out);
}

bool Utf8CharToCp932(const char* bytes, size_t count, std::string* out)
{
    static iconv_t cd = iconv_open("CP932", "UTF-8");
    return ConvertOne(cd, bytes, count, out);
}

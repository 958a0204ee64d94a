#include "support/md5_hex.h"

#include "verify/md5.h"

#include <cctype>

std::string Md5Hex(const std::vector<uint8_t>& bytes)
{
    Md5Context c;
    Md5Init(&c);
    Md5Update(&c, bytes.data(), bytes.size());
    uint8_t digest[16];
    Md5Final(&c, digest);
    char hex[33];
    Md5ToHex(digest, hex);
    return hex;
}

std::string UpperHex(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    return text;
}

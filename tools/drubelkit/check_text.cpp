#include "check_text.h"

#include <cstdio>
#include <cstring>
#include <iconv.h>

static void AppendEscapedByte(std::string* out, unsigned char byte)
{
    char escaped[8];
    snprintf(escaped, sizeof escaped, "\\x%02X", byte);
    *out += escaped;
}

// One character through iconv; false when the converter rejects it.
static bool ConvertOne(iconv_t cd, const char* bytes, size_t count, std::string* out)
{
    char in[2];
    memcpy(in, bytes, count);
    char utf8[16];
    char* inPtr = in;
    size_t inLeft = count;
    char* outPtr = utf8;
    size_t outLeft = sizeof utf8;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1) || inLeft != 0)
        return false;
    out->append(utf8, sizeof utf8 - outLeft);
    return true;
}

std::string Cp932ToUtf8(const char* text, size_t length)
{
    static iconv_t cd = iconv_open("UTF-8", "CP932");
    std::string out;
    out.reserve(length);
    for (size_t i = 0; i < length;) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            out += static_cast<char>(c);
            ++i;
            continue;
        }
        const bool lead = (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
        const size_t count = lead ? 2 : 1;
        // A lead byte whose pair does not convert stands alone, and the byte
        // after it gets its own chance.
        if (i + count <= length && cd != reinterpret_cast<iconv_t>(-1) &&
            ConvertOne(cd, text + i, count, &out)) {
            i += count;
            continue;
        }
        AppendEscapedByte(&out, c);
        ++i;
    }
    return out;
}

std::string Cp932ToUtf8(const char* text) { return Cp932ToUtf8(text, strlen(text)); }

std::string JsonString(const std::string& utf8)
{
    std::string out = "\"";
    for (const char ch : utf8) {
        const unsigned char c = static_cast<unsigned char>(ch);
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (c < 0x20) {
                char escaped[8];
                snprintf(escaped, sizeof escaped, "\\u%04x", c);
                out += escaped;
            } else {
                out += ch;
            }
        }
    }
    return out + "\"";
}

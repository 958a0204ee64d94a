#include "shared/check_text.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

static void AppendEscapedByte(std::string* out, unsigned char byte)
{
    char escaped[8];
    snprintf(escaped, sizeof escaped, "\\x%02X", byte);
    *out += escaped;
}

std::string Cp932ToUtf8(const char* text, size_t length)
{
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
        if (i + count <= length && Cp932CharToUtf8(text + i, count, &out)) {
            i += count;
            continue;
        }
        AppendEscapedByte(&out, c);
        ++i;
    }
    return out;
}

std::string Cp932ToUtf8(const char* text) { return Cp932ToUtf8(text, strlen(text)); }

// Length of a sound UTF-8 character at `p`, or 0.
static size_t Utf8CharLength(const std::string& text, size_t at)
{
    const unsigned char c = static_cast<unsigned char>(text[at]);
    const size_t n = c < 0x80 ? 1 : (c & 0xE0) == 0xC0 && c >= 0xC2 ? 2 : (c & 0xF0) == 0xE0 ? 3
                   : (c & 0xF8) == 0xF0 && c <= 0xF4 ? 4 : 0;
    if (n == 0 || at + n > text.size())
        return 0;
    for (size_t k = 1; k < n; ++k)
        if ((static_cast<unsigned char>(text[at + k]) & 0xC0) != 0x80)
            return 0;
    return n;
}

bool Utf8ToCp932(const std::string& utf8, std::string* cp932, size_t* bad)
{
    cp932->clear();
    cp932->reserve(utf8.size());
    for (size_t i = 0; i < utf8.size();) {
        const unsigned char c = static_cast<unsigned char>(utf8[i]);
        if (c < 0x80) {
            *cp932 += static_cast<char>(c);
            ++i;
            continue;
        }
        const size_t n = Utf8CharLength(utf8, i);
        if (n == 0 || !Utf8CharToCp932(utf8.data() + i, n, cp932)) {
            *bad = i;
            return false;
        }
        i += n;
    }
    return true;
}

std::string DescribeUtf8Char(const std::string& utf8, size_t offset)
{
    const size_t n = offset < utf8.size() ? Utf8CharLength(utf8, offset) : 0;
    char text[48];
    if (n == 0) {
        snprintf(text, sizeof text, "the byte 0x%02X",
                 offset < utf8.size() ? static_cast<unsigned char>(utf8[offset]) : 0u);
        return text;
    }
    const unsigned char* p = reinterpret_cast<const unsigned char*>(utf8.data() + offset);
    uint32_t code = n == 1 ? p[0] : n == 2 ? (p[0] & 0x1Fu) : n == 3 ? (p[0] & 0x0Fu) : (p[0] & 0x07u);
    for (size_t k = 1; k < n; ++k)
        code = code << 6 | (p[k] & 0x3Fu);
    snprintf(text, sizeof text, " (U+%04X)", code);
    return "'" + utf8.substr(offset, n) + "'" + text;
}

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

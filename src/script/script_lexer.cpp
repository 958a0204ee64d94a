#include "script/script_lexer.h"

#include "script/setup_model.h"

#include <cstring>

const char* SkipBlanks(const char* p)
{
    while (IsBlank(*p))
        ++p;
    return p;
}

const char* FindLineEnd(const char* p)
{
    while (!IsLineEnd(*p))
        ++p;
    return p;
}

const char* SkipLineBreaks(const char* p)
{
    while (*p == '\r' || *p == '\n')
        ++p;
    return p;
}

const char* FindWordEnd(const char* p)
{
    while (!IsLineEnd(*p) && !IsBlank(*p))
        ++p;
    return p;
}

const char* FindItemEnd(const char* p)
{
    while (!IsLineEnd(*p) && !IsBlank(*p) && *p != ',')
        ++p;
    return p;
}

const char* FindEquals(const char* p)
{
    for (; !IsLineEnd(*p); ++p) {
        if (*p == '=')
            return p;
    }
    return nullptr;
}

bool IsCommentMarker(const char* p) { return p[0] == '/' && p[1] == '/'; }

QuotedText ScanQuotedText(const char* p)
{
    QuotedText t;
    t.Begin = p + 1;
    const char* q = t.Begin;
    while (*q != '"' && *q != ',' && !IsLineEnd(*q))
        ++q;
    t.Length = static_cast<size_t>(q - t.Begin);
    if (*q == '"') {
        t.End = QuoteClosed;
        t.After = q + 1;
    } else {
        t.End = *q == ',' ? QuoteCutAtComma : QuoteCutAtLineEnd;
        t.After = q;
    }
    return t;
}

static int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

uint32_t ReadNumber(const char* p, const char** end, bool* digits)
{
    p = SkipBlanks(p);
    uint32_t value = 0;
    const char* start;
    if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X') && HexDigit(p[2]) >= 0) {
        p += 2;
        start = p;
        for (int d; (d = HexDigit(*p)) >= 0; ++p)
            value = value * 16u + static_cast<uint32_t>(d);
    } else {
        start = p;
        for (; *p >= '0' && *p <= '9'; ++p)
            value = value * 10u + static_cast<uint32_t>(*p - '0');
    }
    *end = p;
    *digits = p != start;
    return value;
}

namespace {
struct NamedValue {
    const char* Name;
    uint32_t Code;
};

const NamedValue NamedValues[] = {
    {"CHANGECD", CHANGECD},
    {"LOADINIFROMCD", LOADINIFROMCD},
    {"LOADINIFROMHD", LOADINIFROMHD},
    {"POPUPMESSAGE", static_cast<uint32_t>(POPUPMESSAGE)},
    {"DISC1", 4},
    {"DISC2", 5},
    {"DISC3", 6},
    {"DISC4", 7},
    {"DISC5", 8},
    {"DISC6", 9},
    {"DISC7", 10},
    {"DISC8", 11},
    {"DISC9", 12},
    {"DISC10", 13},
    {"NORMAL", NORMAL},
    {"STRETCH_DESKTOP", STRETCH_DESKTOP},
    {"CENTER_DESKTOP", CENTER_DESKTOP},
    {"SMALL", SMALL},
    {"DIRECTION_LEFT", DIRECTION_LEFT},
    {"DIRECTION_RIGHT", DIRECTION_RIGHT},
    {"DIRECTION_UP", DIRECTION_UP},
    {"DIRECTION_DOWN", DIRECTION_DOWN},
    {"DIRECTION_LEFTUP", DIRECTION_LEFTUP},
    {"DIRECTION_LEFTDOWN", DIRECTION_LEFTDOWN},
    {"DIRECTION_RIGHTUP", DIRECTION_RIGHTUP},
    {"DIRECTION_RIGHTDOWN", DIRECTION_RIGHTDOWN},
    {"TO_FINISH", TO_FINISH},
    {"AFTER_FINISH", AFTER_FINISH},
    {"INFINITE", static_cast<uint32_t>(SPRITE_INFINITE)},
};
}  // namespace

// Compares byte by byte, so a text shorter than the name stops at its
// terminator instead of being read past.
static bool BeginsWithUpper(const char* p, const char* name, size_t length)
{
    for (size_t i = 0; i < length; ++i) {
        char c = p[i];
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
        if (c != name[i])
            return false;
    }
    return true;
}

uint32_t MatchNamedValue(const char* p, size_t* length)
{
    uint32_t code = 0;
    size_t best = 0;
    for (const NamedValue& v : NamedValues) {
        const size_t n = strlen(v.Name);
        if (n > best && BeginsWithUpper(p, v.Name, n)) {
            best = n;
            code = v.Code;
        }
    }
    *length = best;
    return code;
}

uint32_t ReadValue(const char* p, const char** end, bool* known)
{
    if (*p >= '0' && *p <= '9')
        return ReadNumber(p, end, known);
    size_t length;
    const uint32_t code = MatchNamedValue(p, &length);
    *end = p + length;
    *known = length != 0;
    return code;
}

uint32_t ReadSignedValue(const char* p, const char** end, bool* known)
{
    p = SkipBlanks(p);
    bool negative = false;
    if (*p == '-') {
        negative = true;
        p = SkipBlanks(p + 1);
    }
    const uint32_t value = ReadValue(p, end, known);
    return negative ? 0u - value : value;
}

static const char* const KeyNames[ScriptKeyCount] = {
    "EXEC",           "DISCNUM",       "DISCLABEL",    "DISCNAME",     "APPLITITLE",
    "SUBTITLE",       "EXENAME",       "MUSTMAKEFOLDER", "REGADDRESS", "FILELIST",
    "FILESIZE",       "FILEOPTION",    "SHORTCUTLABEL", "SHORTCUTNAME", "SHORTCUTLINK",
    "SHORTCUTFOLDER", "SHORTCUTPARAM", "SAVEFOLDER",   "SAVEDATA",     "KEYFILE",
    "OPTIONTITLE",    "MAKEFOLDER",    "BACK",         "BASE",         "WRITE",
    "ELEMENT",        "PROGRESSBAR",   "SPRITE1",      "SPRITE2",      "FINISH",
    "DXDISC",         "DXMESSAGE",     "DXPLACE",      "BRANDNAME",    "FILE",
    "BRANDFOLDER",    "//",
};

const char* ScriptKeyName(ScriptKey key)
{
    return key >= 0 && key < ScriptKeyCount ? KeyNames[key] : "";
}

ScriptKey MatchScriptKey(const char* p)
{
    for (int k = 0; k < ScriptKeyCount; ++k) {
        if (strncmp(p, KeyNames[k], strlen(KeyNames[k])) == 0)
            return static_cast<ScriptKey>(k);
    }
    return KeyNone;
}

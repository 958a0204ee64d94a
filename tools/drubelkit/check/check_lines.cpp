// Lines that look like keys but are not taken for them, and key words that
// run on into a longer word.
#include "check/check_review.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

bool IsWordByte(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

// The key the text begins with when it is read in upper case.
ScriptKey MatchKeyIgnoringCase(const char* p)
{
    char upper[32] = {};
    for (size_t i = 0; i + 1 < sizeof upper && IsWordByte(p[i]); ++i)
        upper[i] = (p[i] >= 'a' && p[i] <= 'z') ? static_cast<char>(p[i] - 'a' + 'A') : p[i];
    return MatchScriptKey(upper);
}

bool LineHas(const char* p, char c)
{
    const char* end = FindLineEnd(p);
    const void* found = memchr(p, c, static_cast<size_t>(end - p));
    return found != nullptr;
}

std::string KeyWord(const char* p)
{
    const char* q = p;
    while (IsWordByte(*q))
        ++q;
    return std::string(p, q);
}

// A word in capitals followed by '=' or by a quoted picture name: what an
// unknown key or element line looks like.
bool LooksLikeUnknownKey(const char* p)
{
    const char* q = p;
    if (!(*q >= 'A' && *q <= 'Z'))
        return false;
    while ((*q >= 'A' && *q <= 'Z') || (*q >= '0' && *q <= '9') || *q == '_')
        ++q;
    const char* next = SkipBlanks(q);
    return q - p >= 3 && (*next == '=' || (*next == '"' && next > q));
}

size_t EditDistance(const std::string& a, const std::string& b)
{
    std::vector<size_t> row(b.size() + 1);
    for (size_t j = 0; j <= b.size(); ++j)
        row[j] = j;
    for (size_t i = 1; i <= a.size(); ++i) {
        size_t diagonal = row[0];
        row[0] = i;
        for (size_t j = 1; j <= b.size(); ++j) {
            const size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

// The key a misspelt word most likely meant, or KeyNone when none is close.
ScriptKey NearestKey(const std::string& word)
{
    std::string upper = word;
    for (char& c : upper)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    ScriptKey best = KeyNone;
    size_t bestDistance = 3;
    for (int k = 0; k < KeyComment; ++k) {
        const std::string name = ScriptKeyName(static_cast<ScriptKey>(k));
        const size_t d = EditDistance(upper, name);
        if (d < bestDistance && d * 3 <= name.size()) {
            best = static_cast<ScriptKey>(k);
            bestDistance = d;
        }
    }
    return best;
}

bool IsValidUtf8(const std::string& text, bool* multibyte)
{
    *multibyte = false;
    for (size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        size_t n = c < 0x80 ? 0 : (c & 0xE0) == 0xC0 ? 1 : (c & 0xF0) == 0xE0 ? 2 : (c & 0xF8) == 0xF0 ? 3 : 9;
        if (n == 9 || (n == 1 && c < 0xC2) || i + n >= text.size() + (n == 0 ? 1 : 0))
            return false;
        for (size_t k = 1; k <= n; ++k)
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80)
                return false;
        if (n > 0)
            *multibyte = true;
        i += n + 1;
    }
    return true;
}

void ReviewUnmatchedLine(ReviewContext* c, int line, const char* start)
{
    const char* p = start;
    const bool mark = start == c->Text.c_str() && strncmp(p, "\xEF\xBB\xBF", 3) == 0;
    if (mark)
        p += 3;
    const char* word = SkipBlanks(p);
    const bool blank = word != p;
    const ScriptKey exact = MatchScriptKey(word);
    const ScriptKey folded = MatchKeyIgnoringCase(word);
    // The byte-order mark is the encoding's finding.
    if (mark || exact == KeyComment ||
        (exact == KeyNone && folded == KeyNone && !LooksLikeUnknownKey(word)))
        return;
    std::string cause;
    if (blank && exact != KeyNone)
        cause = "the line begins with a blank, so it matches no key (keys start the line)";
    else if (folded != KeyNone && (LineHas(word, '=') || LineHas(word, '"')))
        cause = std::string("keys are matched in upper case only (write ") + ScriptKeyName(folded) + ")";
    else if (exact == KeyNone && folded == KeyNone) {
        const ScriptKey nearest = NearestKey(KeyWord(word));
        cause = nearest != KeyNone ? std::string("there is no such key; did you mean ") +
                                         ScriptKeyName(nearest) + "?"
                                   : "there is no such key (docs/script-reference.md lists them all)";
    } else
        return;
    c->Add(line, SeverityError,
        "'" + KeyWord(word) + "' looks like a key but the launcher ignores this line: " + cause);
}

}  // namespace

void ReviewLines(ReviewContext* c)
{
    for (size_t i = 0; i < c->LineStarts.size(); ++i) {
        const size_t offset = c->LineStarts[i];
        if (offset > c->ReadUpTo || offset >= c->Text.size())
            break;
        const char* start = c->Text.c_str() + offset;
        const int line = static_cast<int>(i) + 1;
        const ScriptKey key = MatchScriptKey(start);
        if (key == KeyNone) {
            ReviewUnmatchedLine(c, line, start);
            continue;
        }
        const char* after = start + strlen(ScriptKeyName(key));
        if (key != KeyComment && IsWordByte(*after)) {
            c->Add(line, SeverityWarning,
                "the launcher reads the word '" + KeyWord(start) + "' as the key " + ScriptKeyName(key));
        }
    }
}

void ReviewEncoding(ReviewContext* c)
{
    const std::vector<uint8_t>& raw = c->Raw;
    const char hint[] = ": the launcher reads every byte as Shift-JIS (code page 932), so the first line "
                        "matches no key and Japanese texts and names come out garbled; keep the UTF-8 "
                        "script in a product folder and let 'drubelkit build' convert it";
    const bool bom16 = raw.size() >= 2 && ((raw[0] == 0xFF && raw[1] == 0xFE) || (raw[0] == 0xFE && raw[1] == 0xFF));
    const bool nul16 = raw.size() >= 2 && ((raw[0] != 0 && raw[1] == 0) || (raw[0] == 0 && raw[1] != 0));
    if (bom16 || nul16) {
        c->Add(1, SeverityError,
            "the script is UTF-16, not Shift-JIS (code page 932): the launcher's text ends at the first zero "
            "byte, so it reads nothing of it; save it as UTF-8 in a product folder and let 'drubelkit "
            "build' convert it");
        return;
    }
    if (raw.size() >= 3 && raw[0] == 0xEF && raw[1] == 0xBB && raw[2] == 0xBF) {
        c->Add(1, SeverityError, std::string("the script is UTF-8 with a byte-order mark") + hint);
        return;
    }
    bool multibyte = false;
    if (!IsValidUtf8(c->Text, &multibyte) || !multibyte)
        return;
    size_t first = 0;
    while (first < c->Text.size() && static_cast<unsigned char>(c->Text[first]) < 0x80)
        ++first;
    c->Add(c->LineOf(first), SeverityError, std::string("the script is UTF-8") + hint);
}

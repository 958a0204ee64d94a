// Lines that look like keys but are not taken for them, and key words that
// run on into a longer word.
#include "check_review.h"

#include <cstring>

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

// A word in capitals followed by '=': what an unknown key looks like.
bool LooksLikeUnknownKey(const char* p)
{
    const char* q = p;
    if (!(*q >= 'A' && *q <= 'Z'))
        return false;
    while ((*q >= 'A' && *q <= 'Z') || (*q >= '0' && *q <= '9') || *q == '_')
        ++q;
    return q - p >= 3 && *SkipBlanks(q) == '=';
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
    if (exact == KeyComment || (exact == KeyNone && folded == KeyNone && !LooksLikeUnknownKey(word)))
        return;
    std::string cause;
    if (mark)
        cause = "the file begins with a UTF-8 byte-order mark, so the first line matches no key (save the "
                "script as Shift-JIS without a mark)";
    else if (blank && exact != KeyNone)
        cause = "the line begins with a blank, so it matches no key (keys start the line)";
    else if (folded != KeyNone && (LineHas(word, '=') || LineHas(word, '"')))
        cause = "keys are matched in upper case only";
    else if (exact == KeyNone && folded == KeyNone)
        cause = "there is no such key";
    else
        return;
    c->Add(line, SeverityWarning,
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

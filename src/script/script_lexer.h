// The lexical pieces of the setup script language, shared by the parser and
// by the authoring tool's own passes over the same text.
//
// Every function takes a position inside a NUL-terminated text and never
// reads past the terminator. None of them crosses a line end: a line end is
// a carriage return, a line feed or the terminator itself.
#pragma once

#include <cstddef>
#include <cstdint>

inline bool IsBlank(char c) { return c == ' ' || c == '\t'; }
inline bool IsLineEnd(char c) { return c == '\0' || c == '\r' || c == '\n'; }

const char* SkipBlanks(const char* p);
// The next line end (the position of the CR, LF or terminator).
const char* FindLineEnd(const char* p);
// Past every carriage return and line feed at `p`: blank lines vanish.
const char* SkipLineBreaks(const char* p);
// End of a word: the next blank or line end.
const char* FindWordEnd(const char* p);
// End of an item of a file line or list: the next blank, comma or line end.
const char* FindItemEnd(const char* p);
// The first '=' between `p` and the line end, or null.
const char* FindEquals(const char* p);
// True when the text at `p` is the comment marker "//".
bool IsCommentMarker(const char* p);

// A double quote, then anything but comma and line ends, then the closing
// quote. Without the closing quote the text stops at the comma or line end.
enum QuoteEnd {
    QuoteClosed,
    QuoteCutAtComma,
    QuoteCutAtLineEnd,
};
struct QuotedText {
    const char* Begin;  // first byte after the opening quote
    size_t Length;
    QuoteEnd End;
    const char* After;  // past the closing quote, or on the byte that stopped the text
};
// `p` must point at the opening quote.
QuotedText ScanQuotedText(const char* p);

// Optional blanks, then "0x"/"0X" and hexadecimal digits or decimal digits.
// Wraps on overflow; no digit gives 0. `*end` receives the first byte not
// read and `*digits` whether any digit was seen.
uint32_t ReadNumber(const char* p, const char** end, bool* digits);
// A number when the first byte is a decimal digit, else a named value; 0 for
// anything else. `*known` tells a real 0 from text that matched nothing.
uint32_t ReadValue(const char* p, const char** end, bool* known);
// Optional blanks, an optional '-' with optional blanks, then a value.
uint32_t ReadSignedValue(const char* p, const char** end, bool* known);
// The longest named value the text at `p` begins with, ignoring case.
// Returns its code and sets `*length`, or returns 0 with `*length` 0.
uint32_t MatchNamedValue(const char* p, size_t* length);

// The keys in matching order: the first key a line begins with is taken, so
// the FILE... lists come before FILE and the comment marker comes last.
enum ScriptKey {
    KeyExec,
    KeyDiscNum,
    KeyDiscLabel,
    KeyDiscName,
    KeyAppliTitle,
    KeySubTitle,
    KeyExeName,
    KeyMustMakeFolder,
    KeyRegAddress,
    KeyFileList,
    KeyFileSize,
    KeyFileOption,
    KeyShortcutLabel,
    KeyShortcutName,
    KeyShortcutLink,
    KeyShortcutFolder,
    KeyShortcutParam,
    KeySaveFolder,
    KeySaveData,
    KeyKeyFile,
    KeyOptionTitle,
    KeyMakeFolder,
    KeyBack,
    KeyBase,
    KeyWrite,
    KeyElement,
    KeyProgressBar,
    KeySprite1,
    KeySprite2,
    KeyFinish,
    KeyDxDisc,
    KeyDxMessage,
    KeyDxPlace,
    KeyBrandName,
    KeyFile,
    KeyBrandFolder,
    KeyComment,
    ScriptKeyCount,
    KeyNone = -1,
};

const char* ScriptKeyName(ScriptKey key);
// The key the line at `p` begins with (case-sensitive), or KeyNone.
ScriptKey MatchScriptKey(const char* p);

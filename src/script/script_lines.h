// The line forms of the parser, one handler per family. Internal to the
// script module.
//
// Each handler gets the position just after the key and never reads past
// the line end; the line loop moves on to the next line afterwards.
#pragma once

#include "script/script_diagnostics.h"
#include "script/script_lexer.h"

#include <cstddef>

enum LineResult {
    LineDone,
    LineFailed,     // the load fails
    LineEndsParse,  // the load succeeds, the lines after this one are not read
};

// Tells the observer, if there is one. `at` lies inside the text being parsed.
void NoteAt(ScriptNote note, const char* at, int detail = 0);

// Copies a quoted text into a field of `width` bytes (terminator included)
// and tells the observer when it was cut.
void StoreQuotedText(char* field, size_t width, const QuotedText& text);

// True when only blanks, or a trailing "//" remark, follow `p` on the line.
bool RestIsEmpty(const char* p);

LineResult ParseSingleTextLine(ScriptKey key, const char* p);
LineResult ParseTextListLine(ScriptKey key, const char* p);
LineResult ParseDiscNumLine(const char* p);
LineResult ParseDxDiscLine(const char* p);
LineResult ParseExecLine(const char* p);
LineResult ParseFileListLine(ScriptKey key, const char* p);
LineResult ParseFileLine(const char* p);
LineResult ParseElementLine(ScriptKey key, const char* p);

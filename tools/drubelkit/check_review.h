// The passes of `drubelkit check` over a loaded script. Internal to the check.
#pragma once

#include "check_script.h"
#include "script/script_diagnostics.h"
#include "script/script_lexer.h"

#include <cstddef>
#include <string>
#include <vector>

struct RecordedNote {
    ScriptNote Note;
    size_t Offset;
    int Detail;
};

struct ReviewContext {
    std::string Text;                 // the script as the parser saw it (up to its first NUL)
    std::vector<size_t> LineStarts;   // offset of each line's first byte
    std::vector<RecordedNote> Notes;  // in the order the parser made them
    size_t ReadUpTo = 0;              // the parser read no line after this offset
    std::string ArchivePath;          // empty: pictures are not looked up
    std::vector<CheckMessage> Messages;

    int LineOf(size_t offset) const;
    // The key of the line holding `offset`, or KeyNone.
    ScriptKey KeyAt(size_t offset) const;
    // The word at `offset` as UTF-8, cut to a readable length.
    std::string WordAt(size_t offset) const;
    void Add(int line, CheckSeverity severity, const std::string& text);
};

void IndexLines(ReviewContext* context);

// Messages for the notes of the parser.
void ReviewNotes(ReviewContext* context);
// Lines the parser did not take for what they look like.
void ReviewLines(ReviewContext* context);
// The loaded model: discs, files, folders, paths, digests, pictures.
void ReviewModel(ReviewContext* context);

// printf-style formatting into a std::string.
std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
// A script text as UTF-8 in single quotes.
std::string Quote(const char* cp932);

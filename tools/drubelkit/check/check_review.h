// The passes of `drubelkit check` over a loaded script. Internal to the check.
#pragma once

#include "check/check_script.h"
#include "script/script_diagnostics.h"
#include "script/script_lexer.h"
#include "shared/cli.h"

#include <cstddef>
#include <cstdint>
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
    std::vector<uint8_t> Raw;         // the script's bytes as read, NULs and all
    std::string ArchivePath;          // the Instdata.pak that holds the pictures, or empty
    std::string PictureFolder;        // loose pictures are looked for here first, or empty
    std::vector<std::string> Discs;   // disc folders in disc order
    const IsoMedium* Medium = nullptr;  // what each disc must fit, or null
    std::vector<CheckMessage> Messages;

    int LineOf(size_t offset) const;
    // The key of the line holding `offset`, or KeyNone.
    ScriptKey KeyAt(size_t offset) const;
    // The word at `offset` as UTF-8, cut to a readable length.
    std::string WordAt(size_t offset) const;
    void Add(int line, CheckSeverity severity, const std::string& text);
};

void IndexLines(ReviewContext* context);

// The lines the loaded values came from (0: none).
struct EntryLines {
    int Name = 0;
    int Size = 0;
    int Option = 0;
};
struct ModelLines {
    std::vector<EntryLines> Entries;  // disc index * MaxFilesPerDisc + entry
    std::vector<int> Elements;        // per screen element
    std::vector<int> Steps;           // per EXEC step
    std::vector<int> Keys;            // the last line of each key
};
ModelLines CollectLines(const ReviewContext& context);
// The entries of a disc's list, up to its first entry without a name.
int EntryCount(int disc);

// Pictures: present, EPA, sprite cells that fit, sprites over later pictures.
void ReviewPictures(ReviewContext* context, const ModelLines& lines);
// The disc folders: files, sizes, digests, markers, the DirectX setup.
void ReviewDiscFolders(ReviewContext* context, const ModelLines& lines);

// A script in UTF-8 or UTF-16 rather than code page 932.
void ReviewEncoding(ReviewContext* context);
// Messages for the notes of the parser.
void ReviewNotes(ReviewContext* context);
// Lines the parser did not take for what they look like.
void ReviewLines(ReviewContext* context);
// The loaded model: discs, files, folders, paths, digests, pictures.
void ReviewModel(ReviewContext* context);

// printf-style formatting into a std::string.
std::string Format(const char* format, ...) TOOL_PRINTF(1, 2);
// A script text as UTF-8 in single quotes.
std::string Quote(const char* cp932);

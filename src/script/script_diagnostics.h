// What the parser can tell an observer about a script while it reads it.
//
// The launcher never sets an observer; the authoring tool does, to name the
// line of a load failure and the places where the parser silently tolerated
// something. Observing changes nothing the parser stores or returns.
#pragma once

#include <cstddef>

enum ScriptNote {
    // The load fails (LoadSetupScript returns 0).
    NoteNoScript,            // neither the loose file nor the archive member opens
    NoteReadFailed,          // the script opened but could not be read whole
    NoteMissingEquals,       // a line that needs '=' has none
    NoteDiscNumZero,
    NoteDxDiscZero,
    NoteFileDiscZero,
    NoteFileTableFull,       // detail: the 1-based disc
    NoteOutOfMemory,
    // The parse ends early with 1: a FILE digest without its closing quote.
    NoteParseEndsEarly,
    // Values the program ignores, although they look meant.
    NoteDiscValueOutOfRange,  // FILELIST/FILESIZE/FILEOPTION: non-zero value, not DISC1..DISC10
    NoteFileDiscAbove10,      // FILE: detail = the disc number
    NoteSizeTooLarge,         // a FILESIZE or FILE size beyond 2^64 - 1
    // Tolerated, probably not meant.
    NoteUnquotedText,        // a text value or item without quotes: nothing is stored for it
    NoteTextCutAtComma,      // a quoted text stopped at a comma
    NoteMissingClosingQuote, // a quoted text stopped at the line end
    NoteTextCutAtWidth,      // detail: the bytes the field holds
    NoteItemsBeyondCapacity, // detail: the list's capacity
    NoteBlankInsideQuotes,   // a list item whose quoted text holds a blank: each further word takes an item
    NoteListEndsAtComma,
    NoteRestIgnored,         // bytes after the value that the line form never reads
    NoteTrailingBytes,       // an item continues after the part that was read
    NoteUnknownDiscValue,    // a list's disc value matches no name: the line is ignored
    NoteUnknownCommand,      // an EXEC command matches no name: the rest of the line is ignored
    NoteUnknownValue,        // a picture line's value is neither a number nor a name: 0
    NoteNotANumber,          // a number has no digit: 0
    NoteElementTableFull,
    NoteMissingFields,       // a picture line ends early; detail: the values read
    // Where things were stored, so that the observer can name their lines.
    NoteFileNameStored,      // detail: disc index * MaxFilesPerDisc + entry
    NoteFileSizeStored,      // detail: as above
    NoteFileOptionStored,    // detail: as above
    NoteFileLineStored,      // detail: as above
    NoteElementClaimed,      // detail: the element's index
    NoteExecStepStored,      // detail: the step's index
};

struct ScriptObserver {
    // `offset` counts bytes from the start of the script text.
    void (*Note)(void* context, ScriptNote note, size_t offset, int detail);
    void* Context;
};

// Null in the launcher.
extern ScriptObserver* ScriptNotes;

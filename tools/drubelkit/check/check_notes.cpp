// What the parser noticed, in the author's words.
#include "check/check_review.h"
#include "script/script_parser.h"
#include "script/setup_model.h"

namespace {

const char Refused[] = "the launcher refuses this script: ";
const std::string TrailingComment =
    "'//' starts a comment only at the start of a line: here the launcher reads it as a value";

bool IsListKey(ScriptKey key)
{
    switch (key) {
    case KeyDiscLabel:
    case KeyDiscName:
    case KeyKeyFile:
    case KeyShortcutLabel:
    case KeyShortcutName:
    case KeyShortcutLink:
    case KeyShortcutFolder:
    case KeyShortcutParam:
    case KeySaveData:
    case KeyOptionTitle:
    case KeyMakeFolder: return true;
    default: return false;
    }
}

bool IsElementKey(ScriptKey key) { return key >= KeyBack && key <= KeyFinish; }

int32_t KindOfKey(ScriptKey key) { return static_cast<int32_t>(key - KeyBack) + KindBack; }

bool ModeIsUsed(ScriptKey key)
{
    return key == KeyBack || key == KeyBase || key == KeyProgressBar || key == KeyFinish;
}

std::string UnquotedText(ScriptKey key, const std::string& word)
{
    const std::string what = "'" + word + "' is not in double quotes: ";
    if (IsListKey(key))
        return what + "the launcher leaves its slot unchanged";
    if (key == KeyFileList)
        return what + "the launcher lists a file with an empty name for it";
    if (key == KeyFile)
        return what + "the launcher reads only quoted names and digests, and stores an empty one";
    if (IsElementKey(key))
        return what + "the picture gets no name, and the word counts as the picture's place";
    return what + "the launcher leaves the value as it was";
}

std::string BlankInsideQuotes(ScriptKey key)
{
    if (key == KeyFileList)
        return "a blank inside a quoted file name: the launcher moves on by words, so each further word "
               "becomes a file with an empty name (write file names without blanks)";
    if (IsElementKey(key))
        return "a blank inside the picture name: the launcher moves on by words, so the values after it "
               "are read one word late (write picture names without blanks)";
    return "a blank inside a quoted item: the launcher moves on by words, so each further word takes a slot "
           "of its own and leaves it unchanged (only SHORTCUTNAME items may hold blanks)";
}

}  // namespace

void ReviewNotes(ReviewContext* c)
{
    for (const RecordedNote& n : c->Notes) {
        const int line = n.Note == NoteNoScript || n.Note == NoteReadFailed ? 0 : c->LineOf(n.Offset);
        const ScriptKey key = c->KeyAt(n.Offset);
        const char* keyName = ScriptKeyName(key);
        const std::string word = c->WordAt(n.Offset);
        switch (n.Note) {
        case NoteNoScript:
            c->Add(0, SeverityError,
                std::string(Refused) +
                    "it finds no Drubel.ini (neither a loose file "
                    "nor a member of Instdata.pak)");
            break;
        case NoteReadFailed:
            c->Add(0, SeverityError, std::string(Refused) + "the script cannot be read whole");
            break;
        case NoteOutOfMemory: c->Add(line, SeverityError, std::string(Refused) + "out of memory"); break;
        case NoteMissingEquals:
            c->Add(line, SeverityError, std::string(Refused) + "this " + keyName + " line has no '='");
            break;
        case NoteDiscNumZero:
            c->Add(line, SeverityError, std::string(Refused) + "DISCNUM must be a number above 0");
            break;
        case NoteDxDiscZero:
            c->Add(line, SeverityError,
                std::string(Refused) + "a DXDISC entry is 0 ('" + word +
                    "'); entries are disc numbers from 1");
            break;
        case NoteFileDiscZero:
            c->Add(line, SeverityError,
                std::string(Refused) +
                    "this FILE line names disc 0 (write the name, size, option mask, "
                    "disc number and digest separated by blanks)");
            break;
        case NoteFileTableFull:
            c->Add(line, SeverityError,
                std::string(Refused) + Format("disc %d already lists %d files", n.Detail, MaxFilesPerDisc));
            break;
        case NoteParseEndsEarly:
            c->Add(line, SeverityError,
                "the digest has no closing quote: the launcher stops reading the script here and "
                "ignores every later line");
            break;
        case NoteDiscValueOutOfRange:
            c->Add(line, SeverityError,
                "the disc value '" + word + "' is not DISC1 ... DISC10: the launcher ignores this line");
            break;
        case NoteUnknownDiscValue:
            c->Add(line, SeverityError,
                std::string("the ") + keyName + " line has no known disc value ('" + word +
                    "'): the launcher ignores this line (write " + keyName + " DISC1 = ...)");
            break;
        case NoteFileDiscAbove10:
            c->Add(line, SeverityError,
                Format("this FILE line names disc %d: discs are 1 to %d, so the launcher ignores the line",
                    n.Detail, MaxDiscs));
            break;
        case NoteSizeTooLarge:
            c->Add(line, SeverityError,
                "the size '" + word + "' does not fit 64 bits: sizes are at most 18446744073709551615 bytes");
            break;
        case NoteUnquotedText:
            c->Add(line, SeverityWarning, word.compare(0, 2, "//") == 0 ? TrailingComment : UnquotedText(key, word));
            break;
        case NoteTextCutAtComma:
            c->Add(line, SeverityWarning,
                "a quoted text cannot hold a comma: the launcher cuts the text at this comma and reads "
                "nothing more of the line");
            break;
        case NoteMissingClosingQuote:
            c->Add(line, SeverityWarning, "the quoted text has no closing quote");
            break;
        case NoteTextCutAtWidth:
            c->Add(line, SeverityWarning,
                Format("the text is longer than its field: the launcher keeps only its first %d bytes",
                    n.Detail));
            break;
        case NoteItemsBeyondCapacity:
            c->Add(line, SeverityWarning,
                Format("%s holds %d items: the launcher ignores the items from '%s' on", keyName, n.Detail,
                    word.c_str()));
            break;
        case NoteBlankInsideQuotes: c->Add(line, SeverityWarning, BlankInsideQuotes(key)); break;
        case NoteListEndsAtComma:
            c->Add(line, SeverityWarning,
                "a comma between the items ends the list here: separate the items with blanks");
            break;
        case NoteRestIgnored:
            c->Add(line, SeverityWarning, "the launcher ignores the rest of the line, from '" + word + "'");
            break;
        case NoteTrailingBytes:
            c->Add(line, SeverityWarning,
                "'" + word + "' is glued to the value before it and ignored: separate values with blanks");
            break;
        case NoteUnknownCommand:
            c->Add(line, SeverityWarning,
                "'" + word + "' is not an EXEC command: the launcher ignores it and the rest of the line");
            break;
        case NoteUnknownValue:
            c->Add(line, SeverityWarning,
                word.compare(0, 2, "//") == 0 ? TrailingComment
                                              : "'" + word + "' is neither a number nor a known name: read as 0");
            break;
        case NoteNotANumber:
            c->Add(line, SeverityWarning,
                word.compare(0, 2, "//") == 0 ? TrailingComment : "'" + word + "' is not a number: read as 0");
            break;
        case NoteElementTableFull:
            c->Add(line, SeverityWarning,
                Format("the install screen already has %d pictures: the launcher ignores this line",
                    MaxScreenElements));
            break;
        case NoteMissingFields:
            // WRITE, ELEMENT and the sprites never use their last value, the mode.
            if (IsElementKey(key) &&
                n.Detail < ElementFieldCount(KindOfKey(key)) - (ModeIsUsed(key) ? 0 : 1)) {
                c->Add(line, SeverityWarning,
                    Format("the line ends after %d of the %d values of %s: the others are 0", n.Detail,
                        ElementFieldCount(KindOfKey(key)), keyName));
            }
            break;
        case NoteFileNameStored:
        case NoteFileSizeStored:
        case NoteFileOptionStored:
        case NoteFileLineStored:
        case NoteElementClaimed:
        case NoteExecStepStored: break;  // used by the model review
        }
    }
}

// Keys whose value is one quoted text, and keys whose value is a list of
// quoted texts in 64-byte slots.
#include "script/script_lines.h"
#include "script/setup_model.h"

static char* SingleTextField(ScriptKey key)
{
    SetupScriptRecord& s = SetupScript;
    switch (key) {
    case KeyAppliTitle: return s.APPLITITLE;
    case KeySubTitle: return s.SUBTITLE;
    case KeyExeName: return s.EXENAME;
    case KeyMustMakeFolder: return s.MUSTMAKEFOLDER;
    case KeyRegAddress: return s.REGADDRESS;
    case KeySaveFolder: return s.SAVEFOLDER;
    case KeyDxMessage: return s.DXMESSAGE;
    case KeyDxPlace: return s.DXPLACE;
    case KeyBrandName: return s.BRANDNAME;
    case KeyBrandFolder: return s.BRANDFOLDER;
    default: return nullptr;
    }
}

struct SlotList {
    char (*Slots)[TextWidth];
    int Capacity;
};

static SlotList TextListField(ScriptKey key)
{
    SetupScriptRecord& s = SetupScript;
    switch (key) {
    case KeyDiscLabel: return {s.DISCLABEL, MaxDiscs};
    case KeyDiscName: return {s.DISCNAME, MaxDiscs};
    case KeyKeyFile: return {s.KEYFILE, MaxDiscs};
    case KeyShortcutLabel: return {s.SHORTCUTLABEL, MaxShortcuts};
    case KeyShortcutName: return {s.SHORTCUTNAME, MaxShortcuts};
    case KeyShortcutLink: return {s.SHORTCUTLINK, MaxShortcuts};
    case KeyShortcutFolder: return {s.SHORTCUTFOLDER, MaxShortcuts};
    case KeyShortcutParam: return {s.SHORTCUTPARAM, MaxShortcuts};
    case KeySaveData: return {s.SAVEDATA, MaxSaveData};
    case KeyOptionTitle: return {s.OPTIONTITLE, MaxOptionTitles};
    case KeyMakeFolder: return {s.MAKEFOLDER, MaxMakeFolders};
    default: return {nullptr, 0};
    }
}

LineResult ParseSingleTextLine(ScriptKey key, const char* p)
{
    char* field = SingleTextField(key);
    const char* equals = FindEquals(p);
    if (equals == nullptr) {
        NoteAt(NoteMissingEquals, p);
        return LineFailed;
    }
    const char* q = SkipBlanks(equals + 1);
    if (*q != '"') {
        // The field keeps what it held.
        if (!IsLineEnd(*q))
            NoteAt(NoteUnquotedText, q);
        return LineDone;
    }
    const QuotedText text = ScanQuotedText(q);
    StoreQuotedText(field, TextWidth, text);
    if (text.End == QuoteClosed && !RestIsEmpty(text.After))
        NoteAt(NoteRestIgnored, SkipBlanks(text.After));
    return LineDone;
}

// SHORTCUTNAME moves on from the closing quote, so its names may hold
// blanks. Every other list moves on by words from the start of the item:
// a quoted text with blanks inside leaves one untouched slot for each
// further word, as the launcher has always read these lines.
LineResult ParseTextListLine(ScriptKey key, const char* p)
{
    const SlotList list = TextListField(key);
    const bool byQuotes = key == KeyShortcutName;
    const char* equals = FindEquals(p);
    if (equals == nullptr) {
        NoteAt(NoteMissingEquals, p);
        return LineFailed;
    }
    const char* q = SkipBlanks(equals + 1);
    // End of a quoted text that ran over blanks: the words before it are
    // its leftovers, not items of their own.
    const char* insideUntil = nullptr;
    for (int slot = 0; !IsLineEnd(*q); ++slot) {
        const bool leftover = insideUntil != nullptr && q < insideUntil;
        if (byQuotes && *q == ',') {
            NoteAt(NoteListEndsAtComma, q);
            break;
        }
        if (slot >= list.Capacity) {
            if (!leftover)
                NoteAt(NoteItemsBeyondCapacity, q, list.Capacity);
            break;
        }
        const char* next;
        if (*q == '"') {
            const QuotedText text = ScanQuotedText(q);
            StoreQuotedText(list.Slots[slot], TextWidth, text);
            if (text.End != QuoteClosed)
                break;  // the rest of the line is not read
            if (byQuotes) {
                next = text.After;
            } else {
                next = FindWordEnd(q);
                if (text.After > next) {
                    NoteAt(NoteBlankInsideQuotes, q);
                    insideUntil = text.After;
                } else if (text.After < next && !(*text.After == ',' && text.After + 1 == next)) {
                    // "a","b" is one word: only its first text is stored.
                    NoteAt(NoteTrailingBytes, text.After);
                }
            }
        } else {
            // The slot keeps what it held.
            if (!leftover)
                NoteAt(NoteUnquotedText, q);
            next = FindWordEnd(q);
        }
        q = SkipBlanks(next);
    }
    return LineDone;
}

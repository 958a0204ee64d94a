#include "script/script_parser.h"

#include "archive/pak.h"
#include "common/text.h"
#include "script/script_lines.h"
#include "script/setup_model.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

ScriptObserver* ScriptNotes = nullptr;

// Start of the text being parsed, so that notes carry offsets the observer
// can map to lines; only read when an observer is set.
static const char* NoteBase = nullptr;

void NoteAt(ScriptNote note, const char* at, int detail)
{
    if (ScriptNotes == nullptr || ScriptNotes->Note == nullptr)
        return;
    const size_t offset = NoteBase != nullptr && at != nullptr ? static_cast<size_t>(at - NoteBase) : 0;
    ScriptNotes->Note(ScriptNotes->Context, note, offset, detail);
}

void StoreQuotedText(char* field, size_t width, const QuotedText& text)
{
    if (!CopyTextN(field, width, text.Begin, text.Length))
        NoteAt(NoteTextCutAtWidth, text.Begin, static_cast<int>(width - 1));
    if (text.End == QuoteCutAtComma)
        NoteAt(NoteTextCutAtComma, text.After);
    else if (text.End == QuoteCutAtLineEnd)
        NoteAt(NoteMissingClosingQuote, text.After);
}

bool RestIsEmpty(const char* p)
{
    p = SkipBlanks(p);
    return IsLineEnd(*p) || IsCommentMarker(p);
}

static LineResult ParseLine(ScriptKey key, const char* p)
{
    switch (key) {
    case KeyExec:
        return ParseExecLine(p);
    case KeyDiscNum:
        return ParseDiscNumLine(p);
    case KeyDxDisc:
        return ParseDxDiscLine(p);
    case KeyAppliTitle:
    case KeySubTitle:
    case KeyExeName:
    case KeyMustMakeFolder:
    case KeyRegAddress:
    case KeySaveFolder:
    case KeyDxMessage:
    case KeyDxPlace:
    case KeyBrandName:
    case KeyBrandFolder:
        return ParseSingleTextLine(key, p);
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
    case KeyMakeFolder:
        return ParseTextListLine(key, p);
    case KeyFileList:
    case KeyFileSize:
    case KeyFileOption:
        return ParseFileListLine(key, p);
    case KeyFile:
        return ParseFileLine(p);
    case KeyBack:
    case KeyBase:
    case KeyWrite:
    case KeyElement:
    case KeyProgressBar:
    case KeySprite1:
    case KeySprite2:
    case KeyFinish:
        return ParseElementLine(key, p);
    default:
        return LineDone;  // the comment marker
    }
}

int ParseSetupScriptText(const char* text)
{
    NoteBase = text;
    const char* p = text;
    for (;;) {
        const ScriptKey key = MatchScriptKey(p);
        if (key != KeyNone) {
            // Handlers stay on their line, so the next line starts after
            // this line's end whatever they read.
            const LineResult result = ParseLine(key, p + strlen(ScriptKeyName(key)));
            if (result == LineFailed)
                return 0;
            if (result == LineEndsParse)
                return 1;
        }
        p = SkipLineBreaks(FindLineEnd(p));
        if (*p == '\0')
            return 1;
    }
}

int LoadSetupScript()
{
    char script[PathWidth];
    char archive[PathWidth];
    PakFile* file = SourcePath(script, ScriptFileName) && SourcePath(archive, ArchiveFileName)
                        ? PakOpen(script, archive)
                        : nullptr;
    return LoadSetupScriptFrom(file);
}

int LoadSetupScriptFrom(PakFile* file)
{
    NoteBase = nullptr;
    if (file == nullptr) {
        NoteAt(NoteNoScript, nullptr);
        return 0;
    }
    const uint32_t size = PakGetSize(file);
    // Two zero bytes after the script: the text always ends in a terminator.
    const size_t bytes = static_cast<size_t>(size) + 2;
    char* text = bytes > size ? static_cast<char*>(calloc(bytes, 1)) : nullptr;
    // A script that cannot be held or read whole is not loaded: an empty or
    // partial model would let the launcher install, register and remove
    // things under empty names.
    if (text == nullptr) {
        PakClose(file);
        NoteAt(NoteOutOfMemory, nullptr);
        return 0;
    }
    const bool read = PakRead(file, text) != 0 && PakWaitRead(file) != 0;
    PakClose(file);
    if (!read) {
        free(text);
        NoteAt(NoteReadFailed, nullptr);
        return 0;
    }
    const int result = ParseSetupScriptText(text);
    free(text);
    NoteBase = nullptr;
    return result;
}

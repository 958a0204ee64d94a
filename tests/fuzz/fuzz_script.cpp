// Arbitrary bytes as Drubel.ini, loaded through the launcher's own loader
// from memory, the same code that reads the file. Afterwards every text of the model must still end
// inside its field and every owned block must be releasable.
#include "script/script_diagnostics.h"
#include "script/setup_model.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

static void CheckText(const char* text, size_t width)
{
    if (memchr(text, '\0', width) == nullptr)
        abort();
}

template <size_t Count, size_t Width>
static void CheckSlots(const char (&slots)[Count][Width])
{
    for (size_t i = 0; i < Count; ++i)
        CheckText(slots[i], Width);
}

static void CheckModel()
{
    const SetupScriptRecord& s = SetupScript;
    for (const ExecStep& step : s.EXEC) {
        if (step.ArgumentText != nullptr)
            CheckText(step.ArgumentText, PathWidth);
    }
    // Names and digests are only ever stored together at the front of a
    // disc's list, so the walk may stop at the first entry without a name.
    for (const auto& disc : s.DiscFiles) {
        for (const FileEntry& entry : disc) {
            if (entry.Name == nullptr)
                break;
            CheckText(entry.Name, PathWidth);
            CheckText(entry.Digest, TextWidth);
        }
    }
    for (const ScreenElement& e : s.ScreenElements) {
        if (e.Kind < KindFree || e.Kind > KindFinish)
            abort();
        CheckText(e.ImageFile, TextWidth);
    }
    CheckSlots(s.DISCLABEL);
    CheckSlots(s.DISCNAME);
    CheckSlots(s.SHORTCUTLABEL);
    CheckSlots(s.SHORTCUTNAME);
    CheckSlots(s.SHORTCUTLINK);
    CheckSlots(s.SHORTCUTFOLDER);
    CheckSlots(s.SHORTCUTPARAM);
    CheckSlots(s.SAVEDATA);
    CheckSlots(s.KEYFILE);
    CheckSlots(s.OPTIONTITLE);
    CheckSlots(s.MAKEFOLDER);
    for (const char* text : {s.APPLITITLE, s.SUBTITLE, s.EXENAME, s.MUSTMAKEFOLDER, s.REGADDRESS, s.SAVEFOLDER,
                             s.DXMESSAGE, s.DXPLACE, s.BRANDNAME, s.BRANDFOLDER})
        CheckText(text, TextWidth);
}

// Notes must point inside the text they were made for.
static size_t TextSize;
static void CheckNote(void*, ScriptNote, size_t offset, int)
{
    if (offset > TextSize)
        abort();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Half the runs with the authoring tool's observer, half as the launcher runs.
    ScriptObserver observer = {CheckNote, nullptr};
    TextSize = size;
    ScriptNotes = (size & 1) != 0 ? &observer : nullptr;
    // The record is as the reset at the end of the previous run left it.
    LoadSetupScriptFrom(PakOpenMemory(data, size));
    ScriptNotes = nullptr;
    CheckModel();
    // A second load on top, as a script reloaded without a reset would be.
    LoadSetupScriptFrom(PakOpenMemory(data, size));
    CheckModel();
    ResetSetupScript();
    return 0;
}

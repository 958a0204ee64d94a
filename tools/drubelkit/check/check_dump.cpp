#include "check/check_dump.h"

#include "script/setup_model.h"
#include "shared/check_text.h"

#include <cstdint>
#include <string>

namespace {

// Members of the object under construction, one per line.
struct JsonObject {
    std::string Body;
    std::string Indent;

    void Add(const char* name, const std::string& json)
    {
        if (!Body.empty())
            Body += ",\n";
        Body += Indent + "\"" + name + "\": " + json;
    }
    std::string Close(const std::string& outer) const { return "{\n" + Body + "\n" + outer + "}"; }
};

std::string Text(const char* text) { return JsonString(Cp932ToUtf8(text)); }

template <size_t Count> std::string Slots(const char (&slots)[Count][TextWidth])
{
    std::string out = "[";
    for (size_t i = 0; i < Count; ++i)
        out += (i != 0 ? ", " : "") + Text(slots[i]);
    return out + "]";
}

std::string Unsigned(uint32_t n) { return std::to_string(n); }
std::string Signed(int32_t n) { return std::to_string(n); }

std::string Exec()
{
    std::string out = "[";
    for (int i = 0; i < MaxExecSteps; ++i) {
        const ExecStep& step = SetupScript.EXEC[i];
        const std::string argument =
            step.ArgumentText != nullptr ? Text(step.ArgumentText) : Unsigned(step.Argument);
        out += (i != 0 ? ",\n    " : "\n    ");
        out += "{\"Code\": " + Signed(step.Code) + ", \"Argument\": " + argument + "}";
    }
    return out + "\n  ]";
}

std::string DiscFiles()
{
    std::string out = "[";
    for (int d = 0; d < MaxDiscs; ++d) {
        out += (d != 0 ? ",\n    [" : "\n    [");
        for (int k = 0; k < MaxFilesPerDisc && SetupScript.DiscFiles[d][k].Name != nullptr; ++k) {
            const FileEntry& e = SetupScript.DiscFiles[d][k];
            out += (k != 0 ? ",\n      " : "\n      ");
            out += "{\"Name\": " + Text(e.Name) + ", \"ByteSize\": " + std::to_string(e.ByteSize) +
                ", \"OptionMask\": " + Unsigned(e.OptionMask) + ", \"Digest\": " + Text(e.Digest) + "}";
        }
        out += SetupScript.DiscFiles[d][0].Name != nullptr ? "\n    ]" : "]";
    }
    return out + "\n  ]";
}

std::string ScreenElements()
{
    std::string out = "[";
    int i = 0;
    for (; i < MaxScreenElements && SetupScript.ScreenElements[i].Kind != KindFree; ++i) {
        const ScreenElement& e = SetupScript.ScreenElements[i];
        JsonObject o {"", "      "};
        o.Add("Kind", Signed(e.Kind));
        o.Add("Mode", Signed(e.Mode));
        o.Add("Start", Signed(e.Start));
        o.Add("End", Signed(e.End));
        o.Add("X", Signed(e.X));
        o.Add("Y", Signed(e.Y));
        o.Add("ImageFile", Text(e.ImageFile));
        o.Add("FrameInterval", Signed(e.FrameInterval));
        o.Add("FirstFrameTime", Signed(e.FirstFrameTime));
        o.Add("StartDelay", Signed(e.StartDelay));
        o.Add("DeltaX", Signed(e.DeltaX));
        o.Add("DeltaY", Signed(e.DeltaY));
        o.Add("CellHeight", Signed(e.CellHeight));
        out += (i != 0 ? ",\n    " : "\n    ") + o.Close("    ");
    }
    return out + (i != 0 ? "\n  ]" : "]");
}

std::string DxDisc()
{
    std::string out = "[";
    for (int i = 0; i < MaxDiscs; ++i)
        out += (i != 0 ? ", " : "") + Unsigned(SetupScript.DXDISC[i]);
    return out + "]";
}

}  // namespace

std::string DumpSetupModel(int loadResult)
{
    const SetupScriptRecord& s = SetupScript;
    JsonObject o {"", "  "};
    o.Add("result", std::to_string(loadResult));
    o.Add("EXEC", Exec());
    o.Add("DISCNUM", Unsigned(s.DISCNUM));
    o.Add("DISCLABEL", Slots(s.DISCLABEL));
    o.Add("DISCNAME", Slots(s.DISCNAME));
    o.Add("APPLITITLE", Text(s.APPLITITLE));
    o.Add("SUBTITLE", Text(s.SUBTITLE));
    o.Add("EXENAME", Text(s.EXENAME));
    o.Add("MUSTMAKEFOLDER", Text(s.MUSTMAKEFOLDER));
    o.Add("REGADDRESS", Text(s.REGADDRESS));
    o.Add("DiscFiles", DiscFiles());
    o.Add("SHORTCUTLABEL", Slots(s.SHORTCUTLABEL));
    o.Add("SHORTCUTNAME", Slots(s.SHORTCUTNAME));
    o.Add("SHORTCUTLINK", Slots(s.SHORTCUTLINK));
    o.Add("SHORTCUTFOLDER", Slots(s.SHORTCUTFOLDER));
    o.Add("SHORTCUTPARAM", Slots(s.SHORTCUTPARAM));
    o.Add("SAVEFOLDER", Text(s.SAVEFOLDER));
    o.Add("SAVEDATA", Slots(s.SAVEDATA));
    o.Add("KEYFILE", Slots(s.KEYFILE));
    o.Add("OPTIONTITLE", Slots(s.OPTIONTITLE));
    o.Add("MAKEFOLDER", Slots(s.MAKEFOLDER));
    o.Add("ScreenElements", ScreenElements());
    o.Add("DXDISC", DxDisc());
    o.Add("DXMESSAGE", Text(s.DXMESSAGE));
    o.Add("DXPLACE", Text(s.DXPLACE));
    o.Add("BRANDNAME", Text(s.BRANDNAME));
    o.Add("BRANDFOLDER", Text(s.BRANDFOLDER));
    return o.Close("") + "\n";
}

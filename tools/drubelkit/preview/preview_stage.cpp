#include "preview/preview_stage.h"

#include "archive/pak.h"
#include "image/epa.h"
#include "script/script_diagnostics.h"
#include "script/script_parser.h"
#include "script/setup_model.h"
#include "shared/check_text.h"
#include "shared/host_files.h"

#include <cstdio>
#include <cstring>
#include <set>
#include <vector>

namespace {

std::vector<size_t> ElementOffsets;  // where the parser claimed each element

void NoteElement(void*, ScriptNote note, size_t offset, int detail)
{
    if (note != NoteElementClaimed || detail < 0 || detail >= MaxScreenElements)
        return;
    if (ElementOffsets.size() <= static_cast<size_t>(detail))
        ElementOffsets.resize(static_cast<size_t>(detail) + 1, static_cast<size_t>(-1));
    ElementOffsets[static_cast<size_t>(detail)] = offset;
}

int LineAt(const std::string& text, size_t offset)
{
    int line = 1;
    for (size_t i = 0; i < offset && i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
        if (text[i] == '\r' || text[i] == '\n')
            ++line;
    }
    return line;
}

const char* KindName(int32_t kind)
{
    static const char* const names[] = {"", "BACK", "BASE", "WRITE", "ELEMENT", "PROGRESSBAR", "SPRITE1",
                                        "SPRITE2", "FINISH"};
    return kind >= 1 && kind <= 8 ? names[kind] : "?";
}

}  // namespace

bool EnterPreviewStage(const std::string& script, const std::string& archive, PreviewStage* stage,
                       std::string* error)
{
    std::string folder;
    if (archive.empty()) {
        const size_t slash = script.find_last_of(HostSlashes);
        folder = slash == std::string::npos ? "." : slash == 0 ? "/" : script.substr(0, slash);
    } else {
        if (HostFullPath(archive).empty()) {
            *error = "cannot read the archive '" + archive + "'";
            return false;
        }
        std::string pattern;
        if (!HostMakeUniqueFolder(HostTempFolder() + "/drubelkit-preview-", &pattern)) {
            *error = "cannot make a scratch folder in " + HostTempFolder();
            return false;
        }
        stage->Folder = pattern;
        if (!HostLinkOrCopy(archive, pattern + HostSlash + ArchiveFileName)) {
            LeavePreviewStage(stage);
            *error = "cannot link the archive into " + pattern;
            return false;
        }
        folder = pattern;
    }
    stage->Home = HostCurrentFolder();
    if (stage->Home.empty() || !HostChangeFolder(folder)) {
        LeavePreviewStage(stage);
        *error = "cannot enter the folder " + folder;
        return false;
    }
    return true;
}

void LeavePreviewStage(PreviewStage* stage)
{
    if (!stage->Home.empty()) {
        if (!HostChangeFolder(stage->Home))
            fputs("drubelkit preview: cannot return to the current folder\n", stderr);
        stage->Home.clear();
    }
    if (!stage->Folder.empty()) {
        HostRemoveFile(stage->Folder + HostSlash + ArchiveFileName);
        HostRemoveFolder(stage->Folder);
        stage->Folder.clear();
    }
}

int LoadPreviewScript(const std::string& text)
{
    // A program start: a zeroed record and the start-up's first reset.
    ClearSetupScript();
    ElementOffsets.clear();
    ScriptObserver observer = {NoteElement, nullptr};
    ScriptNotes = &observer;
    const int result = ParseSetupScriptText(text.c_str());
    ScriptNotes = nullptr;
    return result;
}

int ReportMissingPictures(const std::string& scriptPath, const std::string& text)
{
    std::set<std::string> seen;
    int missing = 0;
    for (int i = 0; i < MaxScreenElements && SetupScript.ScreenElements[i].Kind != KindFree; ++i) {
        const ScreenElement& e = SetupScript.ScreenElements[i];
        char name[TextWidth + 1] = {};
        memcpy(name, e.ImageFile, TextWidth);
        if (!seen.insert(name).second)
            continue;
        const char* problem = nullptr;
        PakFile* file = PakOpen(name, ArchiveFileName);
        if (file == nullptr) {
            problem = "is missing";
        } else {
            PakClose(file);
            uint8_t* pixels = LoadEpaImage(name, nullptr, nullptr);
            if (pixels == nullptr)
                problem = "cannot be read as a picture";
            free(pixels);
        }
        if (problem == nullptr)
            continue;
        ++missing;
        const size_t offset = static_cast<size_t>(i) < ElementOffsets.size() ? ElementOffsets[i] : 0;
        fprintf(stderr, "%s:%d: error: the %s picture '%s' %s\n", scriptPath.c_str(), LineAt(text, offset),
                KindName(e.Kind), Cp932ToUtf8(name).c_str(), problem);
    }
    return missing;
}

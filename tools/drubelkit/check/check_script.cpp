#include "check/check_script.h"

#include "archive/pak.h"
#include "check/check_review.h"
#include "script/setup_model.h"
#include "shared/check_text.h"
#include "shared/cli.h"
#include "shared/host_files.h"

#include <algorithm>
#include <climits>
#include <cstdarg>
#include <cstdio>
#include <cstring>

std::string Format(const char* format, ...)
{
    char buffer[1024];
    va_list args;
    va_start(args, format);
    vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    return buffer;
}

std::string Quote(const char* cp932) { return "'" + Cp932ToUtf8(cp932) + "'"; }

void IndexLines(ReviewContext* c)
{
    c->LineStarts.assign(1, 0);
    const std::string& t = c->Text;
    for (size_t i = 0; i < t.size(); ++i) {
        if (t[i] == '\r' && i + 1 < t.size() && t[i + 1] == '\n')
            ++i;
        if (t[i] == '\r' || t[i] == '\n')
            c->LineStarts.push_back(i + 1);
    }
}

int ReviewContext::LineOf(size_t offset) const
{
    const auto next = std::upper_bound(LineStarts.begin(), LineStarts.end(), offset);
    return static_cast<int>(next - LineStarts.begin());
}

ScriptKey ReviewContext::KeyAt(size_t offset) const
{
    const int line = LineOf(offset);
    if (line < 1 || LineStarts[line - 1] >= Text.size())
        return KeyNone;
    return MatchScriptKey(Text.c_str() + LineStarts[line - 1]);
}

std::string ReviewContext::WordAt(size_t offset) const
{
    if (offset >= Text.size())
        return "";
    const char* start = Text.c_str() + offset;
    const char* end = FindWordEnd(start);
    size_t length = static_cast<size_t>(end - start);
    const size_t limit = 40;
    std::string word = Cp932ToUtf8(start, std::min(length, limit));
    if (length > limit)
        word += "...";
    return word;
}

void ReviewContext::Add(int line, CheckSeverity severity, const std::string& text)
{
    Messages.push_back({line, severity, text});
}

namespace {

void RecordNote(void* context, ScriptNote note, size_t offset, int detail)
{
    static_cast<std::vector<RecordedNote>*>(context)->push_back({note, offset, detail});
}

bool IsStopNote(ScriptNote note) { return note <= NoteParseEndsEarly; }

// The state of a program start, then the start-up's first reset.
void StartModelAfresh()
{
    ClearSetupScript();
}

bool ReadArchiveScript(const std::string& archive, std::vector<uint8_t>* bytes)
{
    PakFile* file = PakOpenMember(HostProgramPath(archive).c_str(), ScriptFileName);
    if (file == nullptr)
        return false;
    bytes->assign(static_cast<size_t>(PakGetSize(file)), 0);
    const bool ok = bytes->empty() || (PakRead(file, bytes->data()) != 0 && PakWaitRead(file) != 0);
    PakClose(file);
    if (!ok)
        bytes->clear();
    return ok;
}

std::string FolderOf(const std::string& path)
{
    const size_t slash = path.find_last_of(HostSlashes);
    return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

// A scratch folder holding what the launcher looks for in its current folder.
struct Stage {
    std::string Folder;
    ~Stage()
    {
        if (Folder.empty())
            return;
        HostRemoveFile(Folder + HostSlash + ScriptFileName);
        HostRemoveFile(Folder + HostSlash + ArchiveFileName);
        HostRemoveFolder(Folder);
    }
};

bool MakeStage(const CheckInput& input, const std::vector<uint8_t>& script, Stage* stage, std::string* error)
{
    if (!HostMakeUniqueFolder(HostTempFolder() + "/drubelkit-check-", &stage->Folder)) {
        *error = "cannot make a scratch folder in " + HostTempFolder();
        return false;
    }
    if (!input.ScriptPath.empty() && !WriteWholeFile(stage->Folder + HostSlash + ScriptFileName, script)) {
        *error = "cannot write the script into the scratch folder " + stage->Folder;
        return false;
    }
    if (!input.ArchivePath.empty()) {
        if (!HostLinkOrCopy(input.ArchivePath, stage->Folder + HostSlash + ArchiveFileName)) {
            *error = "cannot read the archive '" + input.ArchivePath + "'";
            return false;
        }
    }
    return true;
}

int LoadInStage(const Stage& stage, std::vector<RecordedNote>* notes, std::string* error)
{
    const std::string home = HostCurrentFolder();
    if (home.empty() || !HostChangeFolder(stage.Folder)) {
        *error = "cannot enter the scratch folder " + stage.Folder;
        return -1;
    }
    StartModelAfresh();
    ScriptObserver observer = {RecordNote, notes};
    ScriptNotes = &observer;
    const int result = LoadSetupScript();
    ScriptNotes = nullptr;
    if (!HostChangeFolder(home)) {
        *error = "cannot return to the current folder";
        return -1;
    }
    return result;
}

}  // namespace

bool CheckSetupScript(const CheckInput& input, CheckReport* report, std::string* error)
{
    ReviewContext context;
    context.Discs = input.Discs;
    context.Medium = input.Medium;
    if (!input.ArchivePath.empty()) {
        context.ArchivePath = input.ArchivePath;
    } else if (!input.ScriptPath.empty()) {
        // Beside the script, as the launcher finds them next to its script.
        context.PictureFolder = FolderOf(input.ScriptPath);
        const std::string beside = context.PictureFolder + HostSlash + ArchiveFileName;
        if (HostExists(beside))
            context.ArchivePath = beside;
    }
    std::vector<uint8_t> script;
    if (!input.ScriptPath.empty()) {
        if (!ReadWholeFile(input.ScriptPath, &script)) {
            *error = "cannot read the script '" + input.ScriptPath + "'";
            return false;
        }
        context.Raw = script;
    } else if (!input.ArchivePath.empty()) {
        ReadArchiveScript(input.ArchivePath, &context.Raw);
    }
    // The launcher's text ends at the first NUL byte.
    const auto nul = std::find(context.Raw.begin(), context.Raw.end(), 0);
    context.Text.assign(context.Raw.begin(), nul);

    Stage stage;
    if (!MakeStage(input, script, &stage, error))
        return false;
    const int result = LoadInStage(stage, &context.Notes, error);
    if (result < 0)
        return false;
    report->LoadResult = result;

    IndexLines(&context);
    context.ReadUpTo = context.Text.size();
    for (const RecordedNote& n : context.Notes) {
        if (IsStopNote(n.Note))
            context.ReadUpTo = std::min(context.ReadUpTo, n.Offset);
    }
    ReviewEncoding(&context);
    ReviewNotes(&context);
    ReviewLines(&context);
    if (result == 1)
        ReviewModel(&context);
    // Every message about a line names the key of that line.
    for (CheckMessage& m : context.Messages) {
        if (m.Line < 1 || static_cast<size_t>(m.Line) > context.LineStarts.size())
            continue;
        const ScriptKey key = context.KeyAt(context.LineStarts[m.Line - 1]);
        if (key != KeyNone && key != KeyComment && m.Text.find(ScriptKeyName(key)) == std::string::npos)
            m.Text = std::string(ScriptKeyName(key)) + ": " + m.Text;
    }

    // Messages about the script as a whole come after those about lines.
    std::stable_sort(
        context.Messages.begin(), context.Messages.end(), [](const CheckMessage& a, const CheckMessage& b) {
            const unsigned la = a.Line == 0 ? UINT_MAX : static_cast<unsigned>(a.Line);
            const unsigned lb = b.Line == 0 ? UINT_MAX : static_cast<unsigned>(b.Line);
            return la < lb;
        });
    report->Messages = std::move(context.Messages);
    return true;
}

int PrintCheckReport(const std::string& where, const CheckReport& report, bool strict)
{
    static const char* const Names[] = {"warning", "error", "note"};
    int warnings = 0, errors = 0;
    for (const CheckMessage& m : report.Messages) {
        if (m.Severity == SeverityError)
            ++errors;
        else if (m.Severity == SeverityWarning)
            ++warnings;
        if (m.Line > 0)
            fprintf(stderr, "%s:%d: %s: %s\n", where.c_str(), m.Line, Names[m.Severity], m.Text.c_str());
        else
            fprintf(stderr, "%s: %s: %s\n", where.c_str(), Names[m.Severity], m.Text.c_str());
    }
    fprintf(stderr, "%s: %s; %d error%s, %d warning%s%s\n", where.c_str(),
        report.LoadResult == 1 ? "the launcher loads this script" : "the launcher refuses this script",
        errors, errors == 1 ? "" : "s", warnings, warnings == 1 ? "" : "s",
        strict && warnings > 0 ? " (--strict: warnings count as errors)" : "");
    const bool failed = report.LoadResult != 1 || errors > 0 || (strict && warnings > 0);
    return failed ? ExitBadInput : ExitOk;
}

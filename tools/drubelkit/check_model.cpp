// The loaded model as the other parts of the launcher will use it.
#include "archive/pak.h"
#include "check_review.h"
#include "common/text.h"
#include "script/setup_model.h"

#include <algorithm>
#include <cstring>
#include <map>

namespace {

// The longest path the copy worker handles, without its terminator.
constexpr size_t CopyPathLimit = 127;
// Where a 32-bit program finds the program-files folder on 64-bit Windows.
const char DefaultProgramFiles[] = "C:\\Program Files (x86)\\";

struct EntryLines {
    int Name = 0;
    int Size = 0;
    int Option = 0;
};

struct Lines {
    std::vector<EntryLines> Entries = std::vector<EntryLines>(MaxDiscs * MaxFilesPerDisc);
    int Elements[MaxScreenElements] = {};
    int Steps[MaxExecSteps] = {};
    int Keys[ScriptKeyCount] = {};  // the last line of each key
};

void CollectLines(const ReviewContext& c, Lines* lines)
{
    for (const RecordedNote& n : c.Notes) {
        const int line = c.LineOf(n.Offset);
        const int d = n.Detail;
        switch (n.Note) {
        case NoteFileNameStored: lines->Entries[d].Name = line; break;
        case NoteFileSizeStored: lines->Entries[d].Size = line; break;
        case NoteFileOptionStored: lines->Entries[d].Option = line; break;
        case NoteFileLineStored: lines->Entries[d] = {line, line, line}; break;
        case NoteElementClaimed: lines->Elements[d] = line; break;
        case NoteExecStepStored: lines->Steps[d] = line; break;
        default: break;
        }
    }
    for (size_t i = 0; i < c.LineStarts.size(); ++i) {
        const size_t offset = c.LineStarts[i];
        if (offset > c.ReadUpTo || offset >= c.Text.size())
            break;
        const ScriptKey key = MatchScriptKey(c.Text.c_str() + offset);
        if (key != KeyNone)
            lines->Keys[key] = static_cast<int>(i) + 1;
    }
}

int EntryCount(int disc)
{
    int k = 0;
    while (k < MaxFilesPerDisc && SetupScript.DiscFiles[disc][k].Name != nullptr)
        ++k;
    return k;
}

bool HasDotDotSegment(const char* path)
{
    const char* segment = path;
    for (const char* p = path;; ++p) {
        if (*p != '\0' && IsLeadByte(static_cast<unsigned char>(p[0]), static_cast<unsigned char>(p[1]))) {
            ++p;
            continue;
        }
        if (*p == '\\' || *p == '/' || *p == '\0') {
            if (p - segment == 2 && segment[0] == '.' && segment[1] == '.')
                return true;
            if (*p == '\0')
                return false;
            segment = p + 1;
        }
    }
}

bool IsAbsolutePath(const char* path)
{
    return path[0] == '\\' || path[0] == '/' || (path[0] != '\0' && path[1] == ':');
}

bool IsMd5Text(const char* digest)
{
    if (strlen(digest) != 32)
        return false;
    for (const char* p = digest; *p != '\0'; ++p) {
        if (!((*p >= '0' && *p <= '9') || (*p >= 'a' && *p <= 'f')))
            return false;
    }
    return true;
}

// True when one of the MAKEFOLDER entries creates `folder` (every level of
// an entry is created, so "data\voice" makes "data" too).
bool FolderIsMade(const std::string& folder)
{
    for (const char* entry : SetupScript.MAKEFOLDER) {
        const size_t n = folder.size();
        if (strlen(entry) >= n && EqualNoCaseN(entry, folder.c_str(), n) &&
            (entry[n] == '\0' || entry[n] == '\\'))
            return true;
    }
    return false;
}

void ReviewPath(ReviewContext* c, int line, const char* what, const char* path)
{
    if (HasDotDotSegment(path))
        c->Add(line, SeverityWarning,
            std::string(what) + " " + Quote(path) +
                " has a '..' segment: it leads out of the folder it belongs in");
    else if (IsAbsolutePath(path))
        c->Add(line, SeverityWarning, std::string(what) + " " + Quote(path) + " is not a relative path");
}

void ReviewDiscs(ReviewContext* c, const Lines& lines)
{
    const SetupScriptRecord& s = SetupScript;
    const int discNumLine = lines.Keys[KeyDiscNum];
    if (s.DISCNUM == 0)
        c->Add(0, SeverityWarning,
            "there is no DISCNUM line: the launcher does not know how many discs to install from and check");
    else if (s.DISCNUM > MaxDiscs)
        c->Add(discNumLine, SeverityWarning,
            Format("DISCNUM is %u; the launcher holds the files of %d discs at most", s.DISCNUM, MaxDiscs));

    int used = static_cast<int>(std::min<uint32_t>(s.DISCNUM, MaxDiscs));
    for (int d = 0; d < MaxDiscs; ++d) {
        if (s.DiscFiles[d][0].Name != nullptr)
            used = std::max(used, d + 1);
        if (s.DXDISC[d] >= 1 && s.DXDISC[d] <= MaxDiscs)
            used = std::max(used, static_cast<int>(s.DXDISC[d]));
    }
    for (int d = 1; d <= used; ++d) {
        if (s.KEYFILE[d - 1][0] == '\0')
            c->Add(lines.Keys[KeyKeyFile], SeverityWarning,
                Format("disc %d has no KEYFILE: the launcher cannot recognise it in a drive", d));
        if (s.DISCNAME[d - 1][0] == '\0')
            c->Add(lines.Keys[KeyDiscName], SeverityWarning,
                Format("disc %d has no DISCNAME: the prompt to insert it names no disc", d));
    }
    for (int d = 0; d < MaxDiscs; ++d) {
        if (s.DISCNUM != 0 && static_cast<uint32_t>(d) >= s.DISCNUM && s.DiscFiles[d][0].Name != nullptr)
            c->Add(lines.Entries[d * MaxFilesPerDisc].Name, SeverityWarning,
                Format("disc %d lists files but DISCNUM is %u: the launcher never installs or checks them",
                    d + 1, s.DISCNUM));
    }
    for (int i = 0; i < MaxDiscs; ++i) {
        const uint32_t d = s.DXDISC[i];
        if (d > MaxDiscs)
            c->Add(lines.Keys[KeyDxDisc], SeverityWarning,
                Format("DXDISC names disc %u: discs are 1 to %d", d, MaxDiscs));
    }
}

void ReviewFile(
    ReviewContext* c, const FileEntry& e, const EntryLines& where, const std::string& installFolder)
{
    const int line = where.Name;
    const char* name = e.Name;
    if (name[0] == '\0')
        return;  // the parser's notes tell how it came about
    ReviewPath(c, line, "the file path", name);
    const char* slash = FindLastBackslash(name);
    if (slash != nullptr && !HasDotDotSegment(name) && !IsAbsolutePath(name)) {
        const std::string folder(name, slash);
        if (!FolderIsMade(folder))
            c->Add(line, SeverityWarning,
                "no MAKEFOLDER entry makes the folder " + Quote(folder.c_str()) + " of " + Quote(name) +
                    ": the copy makes no folders and fails on this file");
    }
    const size_t length = strlen(name);
    const size_t source = 3 + length;
    const size_t dest = installFolder.size() + 1 + length;
    if (std::max(source, dest) > CopyPathLimit)
        c->Add(line, SeverityWarning,
            Format("the path %s is %zu bytes long: the copy handles paths of at most %zu bytes, and the "
                   "destination in the default install folder ",
                Quote(name).c_str(), length, CopyPathLimit) +
                Quote(installFolder.c_str()) + Format(" needs %zu", dest));
    if (e.Digest[0] != '\0' && !IsMd5Text(e.Digest))
        c->Add(line, SeverityWarning,
            "the digest " + Quote(e.Digest) + " of " + Quote(name) +
                " is not 32 lower-case hexadecimal digits: the file check will call the file damaged");
    if ((e.OptionMask & 0x0F) == 0) {
        if (where.Option == 0)
            c->Add(line, SeverityWarning,
                "no FILEOPTION value for " + Quote(name) +
                    ": it belongs to no install option and is never installed");
        else
            c->Add(where.Option, SeverityWarning,
                Format("the option mask 0x%X of ", e.OptionMask) + Quote(name) +
                    " shares no bit with the install options 1, 2, 4 and 8: the file is never installed");
    }
    if (where.Size == 0)
        c->Add(line, SeverityWarning,
            "no FILESIZE value for " + Quote(name) + ": the free-space check counts it as 0 bytes");
}

void ReviewFiles(ReviewContext* c, const Lines& lines)
{
    std::string installFolder =
        std::string(DefaultProgramFiles) + SetupScript.BRANDFOLDER + SetupScript.MUSTMAKEFOLDER;
    for (int d = 0; d < MaxDiscs; ++d) {
        const int count = EntryCount(d);
        for (int k = 0; k < count; ++k)
            ReviewFile(c, SetupScript.DiscFiles[d][k], lines.Entries[d * MaxFilesPerDisc + k], installFolder);
        // Values of entries that have no file.
        bool sizeTold = false, optionTold = false;
        for (int k = count; k < MaxFilesPerDisc; ++k) {
            const EntryLines& where = lines.Entries[d * MaxFilesPerDisc + k];
            if (where.Size != 0 && !sizeTold) {
                c->Add(where.Size, SeverityWarning,
                    Format("FILESIZE DISC%d has more values than DISC%d has files: the values from number %d "
                           "on belong to no file",
                        d + 1, d + 1, k + 1));
                sizeTold = true;
            }
            if (where.Option != 0 && !optionTold) {
                c->Add(where.Option, SeverityWarning,
                    Format("FILEOPTION DISC%d has more values than DISC%d has files: the values from number "
                           "%d on belong to no file",
                        d + 1, d + 1, k + 1));
                optionTold = true;
            }
        }
    }
}

void ReviewFolders(ReviewContext* c, const Lines& lines)
{
    const SetupScriptRecord& s = SetupScript;
    for (const char* folder : s.MAKEFOLDER) {
        if (folder[0] != '\0')
            ReviewPath(c, lines.Keys[KeyMakeFolder], "the MAKEFOLDER entry", folder);
    }
    for (const char* name : s.SAVEDATA) {
        if (name[0] != '\0')
            ReviewPath(c, lines.Keys[KeySaveData], "the SAVEDATA entry", name);
    }
    for (const char* folder : s.SHORTCUTFOLDER) {
        if (folder[0] != '\0')
            ReviewPath(c, lines.Keys[KeyShortcutFolder], "the SHORTCUTFOLDER entry", folder);
    }
    const struct {
        ScriptKey Key;
        const char* Text;
    } singles[] = {
        {KeyExeName, s.EXENAME},
        {KeyMustMakeFolder, s.MUSTMAKEFOLDER},
        {KeySaveFolder, s.SAVEFOLDER},
        {KeyDxPlace, s.DXPLACE},
        {KeyBrandFolder, s.BRANDFOLDER},
    };
    for (const auto& single : singles) {
        if (single.Text[0] != '\0')
            ReviewPath(c, lines.Keys[single.Key], (std::string("the ") + ScriptKeyName(single.Key)).c_str(),
                single.Text);
    }
    if (s.BRANDFOLDER[0] != '\0' && !EndsWithBackslash(s.BRANDFOLDER))
        c->Add(lines.Keys[KeyBrandFolder], SeverityWarning,
            "BRANDFOLDER " + Quote(s.BRANDFOLDER) +
                " does not end with a backslash: the default install folder runs it into the MUSTMAKEFOLDER "
                "name");
}

void ReviewSteps(ReviewContext* c, const Lines& lines)
{
    for (int k = 0; k < MaxExecSteps && SetupScript.EXEC[k].Code != 0; ++k) {
        const ExecStep& step = SetupScript.EXEC[k];
        if (step.Code != CHANGECD)
            continue;
        if (step.ArgumentText != nullptr || step.Argument > MaxDiscs)
            c->Add(lines.Steps[k], SeverityWarning,
                Format("CHANGECD takes a disc number from 1 to %d: this step names no disc", MaxDiscs));
        else if (step.Argument == 0)
            c->Add(
                lines.Steps[k], SeverityWarning, "CHANGECD with disc 0 ends the launcher silently at start");
    }
}

// The modes each kind draws with; any other mode draws nothing.
void ReviewModes(ReviewContext* c, const Lines& lines)
{
    for (int i = 0; i < MaxScreenElements && SetupScript.ScreenElements[i].Kind != KindFree; ++i) {
        const ScreenElement& e = SetupScript.ScreenElements[i];
        const char* expected = nullptr;
        switch (e.Kind) {
        case KindBack:
        case KindFinish:
            if (e.Mode != NORMAL && e.Mode != STRETCH_DESKTOP)
                expected = "NORMAL or STRETCH_DESKTOP";
            break;
        case KindBase:
            if (e.Mode != NORMAL && e.Mode != CENTER_DESKTOP)
                expected = "NORMAL or CENTER_DESKTOP";
            break;
        case KindProgressBar:
            // Bars grow toward any side or corner their mode names.
            if (e.Mode < DIRECTION_LEFT || e.Mode > DIRECTION_RIGHTDOWN || (e.Mode & 3) == 3 ||
                (e.Mode & 12) == 12)
                expected = "a DIRECTION_ value";
            break;
        default: break;
        }
        if (expected != nullptr)
            c->Add(lines.Elements[i], SeverityWarning,
                Format("the mode 0x%X draws nothing for this line: the install screen draws it with %s",
                    static_cast<uint32_t>(e.Mode), expected));
    }
}

void ReviewPictures(ReviewContext* c, const Lines& lines)
{
    if (c->ArchivePath.empty())
        return;
    std::map<std::string, bool> present;
    for (int i = 0; i < MaxScreenElements && SetupScript.ScreenElements[i].Kind != KindFree; ++i) {
        const char* name = SetupScript.ScreenElements[i].ImageFile;
        if (name[0] == '\0')
            continue;
        auto found = present.find(name);
        if (found == present.end()) {
            PakFile* file = PakOpenMember(c->ArchivePath.c_str(), name);
            found = present.emplace(name, file != nullptr).first;
            PakClose(file);
        }
        if (!found->second)
            c->Add(lines.Elements[i], SeverityWarning,
                "the picture " + Quote(name) + " is not in the archive " + c->ArchivePath);
    }
    // The launcher and the options dialog end the program, without a word,
    // when their pictures are missing.
    for (const char* name : {"TITLE.EPA", "LOGO.EPA"}) {
        PakFile* file = PakOpenMember(c->ArchivePath.c_str(), name);
        if (file == nullptr)
            c->Add(0, SeverityWarning,
                "the archive " + c->ArchivePath + " holds no " + Quote(name) +
                    (name[0] == 'T' ? ": the launcher ends at once without it"
                                    : ": the install options dialog ends the program without it"));
        PakClose(file);
    }
}

}  // namespace

void ReviewModel(ReviewContext* c)
{
    Lines lines;
    CollectLines(*c, &lines);
    ReviewDiscs(c, lines);
    ReviewFiles(c, lines);
    ReviewFolders(c, lines);
    ReviewSteps(c, lines);
    ReviewModes(c, lines);
    ReviewPictures(c, lines);
}

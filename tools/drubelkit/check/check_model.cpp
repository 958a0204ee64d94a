// The loaded model as the other parts of the launcher will use it.
#include "check/check_review.h"
#include "images/iso_image.h"
#include "common/path_rules.h"
#include "common/text.h"
#include "script/setup_model.h"
#include "shared/check_text.h"
#include "shared/disc_files.h"

#include <algorithm>
#include <cstring>
#include <map>

namespace {

// The longest path the copy worker handles, without its terminator.
constexpr size_t CopyPathLimit = 127;
// Where a 32-bit program finds the program-files folder on 64-bit Windows.
const char DefaultProgramFiles[] = "C:\\Program Files (x86)\\";

}  // namespace

ModelLines CollectLines(const ReviewContext& c)
{
    ModelLines lines;
    lines.Entries.resize(MaxDiscs * MaxFilesPerDisc);
    lines.Elements.resize(MaxScreenElements);
    lines.Steps.resize(MaxExecSteps);
    lines.Keys.resize(ScriptKeyCount);
    for (const RecordedNote& n : c.Notes) {
        const int line = c.LineOf(n.Offset);
        const int d = n.Detail;
        switch (n.Note) {
        case NoteFileNameStored: lines.Entries[d].Name = line; break;
        case NoteFileSizeStored: lines.Entries[d].Size = line; break;
        case NoteFileOptionStored: lines.Entries[d].Option = line; break;
        case NoteFileLineStored: lines.Entries[d] = {line, line, line}; break;
        case NoteElementClaimed: lines.Elements[d] = line; break;
        case NoteExecStepStored: lines.Steps[d] = line; break;
        default: break;
        }
    }
    for (size_t i = 0; i < c.LineStarts.size(); ++i) {
        const size_t offset = c.LineStarts[i];
        if (offset > c.ReadUpTo || offset >= c.Text.size())
            break;
        const ScriptKey key = MatchScriptKey(c.Text.c_str() + offset);
        if (key != KeyNone)
            lines.Keys[key] = static_cast<int>(i) + 1;
    }
    return lines;
}

int EntryCount(int disc)
{
    int k = 0;
    while (k < MaxFilesPerDisc && SetupScript.DiscFiles[disc][k].Name != nullptr)
        ++k;
    return k;
}

namespace {

using Lines = ModelLines;

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
        // The launcher never reads the label; the disc's volume carries it.
        const std::string label = s.DISCLABEL[d - 1];
        if (label.empty())
            c->Add(lines.Keys[KeyDiscLabel], SeverityWarning,
                Format("disc %d has no DISCLABEL: its image is labelled %s, after its KEYFILE", d,
                       IsoLabelFromKeyFile(Cp932ToUtf8(s.KEYFILE[d - 1]), d).c_str()));
        else if (!IsoLabelProblem(label).empty())
            c->Add(lines.Keys[KeyDiscLabel], SeverityError,
                Format("DISCLABEL of disc %d, ", d) + Quote(label.c_str()) + ", cannot be a volume label: " +
                    IsoLabelProblem(label));
    }
    for (int d = 0; d < MaxDiscs; ++d) {
        if (s.DISCNUM != 0 && static_cast<uint32_t>(d) >= s.DISCNUM && s.DiscFiles[d][0].Name != nullptr)
            c->Add(lines.Entries[d * MaxFilesPerDisc].Name, SeverityError,
                Format("disc %d lists files but DISCNUM is %u: the launcher never installs or checks them",
                    d + 1, s.DISCNUM));
    }
    bool dxNamed = false;
    for (int i = 0; i < MaxDiscs; ++i) {
        const uint32_t d = s.DXDISC[i];
        dxNamed = dxNamed || (d >= 1 && d <= MaxDiscs);
        if (d > MaxDiscs)
            c->Add(lines.Keys[KeyDxDisc], SeverityWarning,
                Format("DXDISC names disc %u: discs are 1 to %d", d, MaxDiscs));
    }
    if (s.DXPLACE[0] != '\0' && !dxNamed)
        c->Add(lines.Keys[KeyDxPlace], SeverityWarning,
            "DXPLACE is set, but DXDISC names no disc: the launcher asks for the DirectX disc until the "
            "player gives up");
}

void ReviewFile(ReviewContext* c, int disc, int index, const FileEntry& e, const EntryLines& where,
    const std::string& installFolder)
{
    const int line = where.Name;
    const char* name = e.Name;
    if (name[0] == '\0') {
        // The parser's notes tell how it came about; the copy stops there.
        c->Add(line, SeverityError,
            Format("file %d of disc %d has an empty name (FILELIST DISC%d): the launcher's copy of the "
                   "disc stops at it, and no file listed after it is installed",
                index + 1, disc + 1, disc + 1));
        return;
    }
    ReviewPath(c, line, "the file path", name);
    const char* slash = FindLastBackslash(name);
    if (slash != nullptr && !HasDotDotSegment(name) && !IsAbsolutePath(name)) {
        const std::string folder(name, slash);
        if (!FolderIsMade(folder))
            c->Add(line, SeverityError,
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
            ReviewFile(c, d, k, SetupScript.DiscFiles[d][k], lines.Entries[d * MaxFilesPerDisc + k],
                installFolder);
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
        {KeyDxPlace, s.DXPLACE},
    };
    for (const auto& single : singles) {
        if (single.Text[0] != '\0')
            ReviewPath(c, lines.Keys[single.Key], (std::string("the ") + ScriptKeyName(single.Key)).c_str(),
                single.Text);
    }
    // Folder levels of the script's own: the launcher refuses to make them
    // anywhere but below the folder they are joined to.
    const struct {
        ScriptKey Key;
        const char* Text;
        const char* Below;
    } levels[] = {
        {KeyMustMakeFolder, s.MUSTMAKEFOLDER, "the folder the player chooses"},
        {KeyBrandFolder, s.BRANDFOLDER, "the program-files folder"},
        {KeySaveFolder, s.SAVEFOLDER, "the install folder"},
    };
    for (const auto& level : levels) {
        if (!IsPlainFolderPath(level.Text))
            c->Add(lines.Keys[level.Key], SeverityError,
                std::string(ScriptKeyName(level.Key)) + " " + Quote(level.Text) +
                    " is not a plain folder name: a drive, a root, or a '.' or '..' part leads out of " +
                    level.Below + ", and the launcher refuses it");
    }
    if (!IsSoftwareSubkey(s.REGADDRESS))
        c->Add(lines.Keys[KeyRegAddress], SeverityError,
            s.REGADDRESS[0] == '\0'
                ? std::string("there is no REGADDRESS: the install record needs a key below "
                              "'Software\\', and the launcher refuses to install without one")
                : "REGADDRESS " + Quote(s.REGADDRESS) +
                    " is not below 'Software\\': the install record belongs there, and the launcher "
                    "refuses any other key");
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

// Where the installation puts a file: every listed name of the discs it
// installs from, of an option it offers.
bool IsInstalledPath(const std::string& path)
{
    const uint32_t discs = std::min<uint32_t>(SetupScript.DISCNUM, MaxDiscs);
    for (uint32_t d = 0; d < discs; ++d) {
        for (int k = 0; k < MaxFilesPerDisc; ++k) {
            const FileEntry& e = SetupScript.DiscFiles[d][k];
            if (e.Name == nullptr || e.Name[0] == '\0')
                break;
            if ((e.OptionMask & 0x0F) == 0)
                continue;
            if (strlen(e.Name) == path.size() && EqualNoCaseN(e.Name, path.c_str(), path.size()))
                return true;
            if (IsPattern(e.Name)) {
                char folder[PathWidth], wanted[PathWidth];
                const char* slash = FindLastBackslash(path.c_str());
                FolderPartOf(e.Name, folder, sizeof folder);
                FolderPartOf(path.c_str(), wanted, sizeof wanted);
                const char* last = FindLastBackslash(e.Name);
                if (strlen(folder) == strlen(wanted) && EqualNoCaseN(folder, wanted, strlen(folder)) &&
                    WildcardMatch(Cp932ToUtf8(last != nullptr ? last + 1 : e.Name).c_str(),
                        Cp932ToUtf8(slash != nullptr ? slash + 1 : path.c_str()).c_str()))
                    return true;
            }
        }
    }
    return false;
}

void ReviewTargets(ReviewContext* c, const Lines& lines)
{
    const SetupScriptRecord& s = SetupScript;
    if (s.EXENAME[0] != '\0' && !IsInstalledPath(s.EXENAME))
        c->Add(lines.Keys[KeyExeName], SeverityWarning,
            "EXENAME " + Quote(s.EXENAME) +
                " is no file the installation puts in the install folder: starting the game fails");
    for (int i = 0; i < MaxShortcuts && s.SHORTCUTNAME[i][0] != '\0'; ++i) {
        std::string target = s.SHORTCUTLINK[i];
        if (s.SHORTCUTFOLDER[i][0] != '\0')
            target = std::string(s.SHORTCUTFOLDER[i]) + "\\" + target;
        if (!IsInstalledPath(target))
            c->Add(lines.Keys[KeyShortcutLink], SeverityWarning,
                Format("SHORTCUTLINK %d ", i + 1) + Quote(target.c_str()) + " of " + Quote(s.SHORTCUTNAME[i]) +
                    " is no file the installation puts there: the shortcut leads nowhere");
    }
}

void ReviewDuplicates(ReviewContext* c, const Lines& lines)
{
    std::map<std::string, int> seen;  // upper-cased name -> line
    for (int d = 0; d < MaxDiscs; ++d) {
        const int count = EntryCount(d);
        for (int k = 0; k < count; ++k) {
            const char* name = SetupScript.DiscFiles[d][k].Name;
            if (name[0] == '\0')
                continue;
            std::string key = name;
            for (char& ch : key)
                if (ch >= 'a' && ch <= 'z')
                    ch = static_cast<char>(ch - 'a' + 'A');
            const int line = lines.Entries[d * MaxFilesPerDisc + k].Name;
            const auto found = seen.emplace(key, line);
            if (!found.second)
                c->Add(line, SeverityWarning,
                    "the file " + Quote(name) + Format(" is listed twice (first on line %d): ", found.first->second) +
                        "it is copied twice and the free-space check counts it twice");
        }
    }
}

// 0x5C is a backslash to every piece of code that does not know Shift-JIS.
bool HasBackslashTrailByte(const char* text)
{
    for (const char* p = text; *p != '\0'; ++p) {
        if (IsLeadByte(static_cast<unsigned char>(p[0]), static_cast<unsigned char>(p[1]))) {
            if (p[1] == '\\')
                return true;
            ++p;
        }
    }
    return false;
}

void ReviewTrailBytes(ReviewContext* c, const Lines& lines)
{
    const SetupScriptRecord& s = SetupScript;
    auto report = [c, &lines](ScriptKey key, const char* text) {
        if (HasBackslashTrailByte(text))
            c->Add(lines.Keys[key], SeverityWarning,
                std::string(ScriptKeyName(key)) + " " + Quote(text) +
                    u8" holds a character whose second byte is 0x5C, a backslash (such as ソ or 表): in a "
                    "folder or shortcut name, code that does not know Shift-JIS splits the name there");
    };
    report(KeyAppliTitle, s.APPLITITLE);
    report(KeyBrandName, s.BRANDNAME);
    report(KeyMustMakeFolder, s.MUSTMAKEFOLDER);
    report(KeyBrandFolder, s.BRANDFOLDER);
    report(KeySaveFolder, s.SAVEFOLDER);
    for (const char* folder : s.MAKEFOLDER)
        report(KeyMakeFolder, folder);
    for (const char* folder : s.SHORTCUTFOLDER)
        report(KeyShortcutFolder, folder);
    for (const char* name : s.SHORTCUTNAME)
        report(KeyShortcutName, name);
}

}  // namespace

void ReviewModel(ReviewContext* c)
{
    const Lines lines = CollectLines(*c);
    ReviewDiscs(c, lines);
    ReviewFiles(c, lines);
    ReviewFolders(c, lines);
    ReviewTargets(c, lines);
    ReviewDuplicates(c, lines);
    ReviewTrailBytes(c, lines);
    ReviewSteps(c, lines);
    ReviewModes(c, lines);
    ReviewPictures(c, lines);
    ReviewDiscFolders(c, lines);
}

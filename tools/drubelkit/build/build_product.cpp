#include "build/build_product.h"

#include "archive/pak_writer.h"
#include "check/check_review.h"
#include "check/check_script.h"
#include "common/path_rules.h"
#include "image/epa_encode.h"
#include "script/script_parser.h"
#include "script/setup_model.h"
#include "shared/check_text.h"
#include "shared/cli.h"
#include "shared/disc_files.h"
#include "shared/host_files.h"
#include "shared/png_io.h"

#include <algorithm>
#include <cinttypes>
#include <cstdarg>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <map>

namespace {

// Rounds of filling in the script's own sizes before they must settle:
// each round can only add digits to a size written in the script.
constexpr int MaxRounds = 8;

// The files the launcher is made of; a listed one the disc folder lacks is
// the built one (the common uninst\ copy for the Start-menu uninstaller).
enum OwnKind { OwnLauncher, OwnScript, OwnArchive };
const char* const OwnNames[] = {"Drubel.exe", "Drubel.ini", "Instdata.pak"};

struct Field {
    size_t Begin, End;  // the whole "@KIND:path@" in the text
    int Line;
    size_t Column;      // 1-based, in characters
    bool Md5;
    std::string Path;   // UTF-8, as the script writes it
};

struct OwnFile {
    int Disc;           // 0-based
    std::string Path;   // below the disc folder, in this system's separators
    OwnKind Kind;
};

struct DiscPlan {
    std::string KeyFile;  // UTF-8, in this system's separators, or empty
    std::string Marker;   // code page 932 bytes of the marker file
    std::string Label;    // the volume label of its image
};

struct Build {
    BuildOptions Options;
    std::string ScriptPath;      // the product's Drubel.ini, for messages
    std::string Text;            // the script, UTF-8 without a byte-order mark
    std::vector<size_t> LineStarts;
    std::vector<Field> Fields;
    int Discs = 0;
    std::vector<DiscPlan> Plans;
    std::vector<OwnFile> Own;
    std::string Stage;           // the folder built beside OUT
    std::vector<std::string> Roots;  // Stage/disc1 ...
    std::vector<PakMemberData> Pictures;
    std::string Script;          // the disc's Drubel.ini, code page 932 with CR LF
    std::vector<uint8_t> Archive;
    DigestCache Digests;
    std::map<std::string, bool> Written;  // the files the build made: true for the launcher
    int Errors = 0;
};

void Progress(const char* format, ...) TOOL_PRINTF(1, 2);
void Progress(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    fputs("drubelkit build: ", stdout);
    vprintf(format, args);
    fputc('\n', stdout);
    va_end(args);
    fflush(stdout);
}

void Fail(Build* b, int line, size_t column, const std::string& text)
{
    ++b->Errors;
    if (line > 0 && column > 0)
        fprintf(stderr, "%s:%d:%zu: error: %s\n", b->ScriptPath.c_str(), line, column, text.c_str());
    else if (line > 0)
        fprintf(stderr, "%s:%d: error: %s\n", b->ScriptPath.c_str(), line, text.c_str());
    else
        fprintf(stderr, "drubelkit build: error: %s\n", text.c_str());
}

std::string Dirname(const std::string& path)
{
    const size_t slash = path.find_last_of(HostSlashes);
    // A root stays one: "/", and "C:\" rather than "C:", the current
    // folder of drive C.
    const bool root = slash == 0 || (slash == 2 && path[1] == ':');
    return slash == std::string::npos ? "." : root ? path.substr(0, slash + 1) : path.substr(0, slash);
}

std::string Basename(const std::string& path)
{
    std::string p = path;
    while (p.size() > 1 && strchr(HostSlashes, p.back()) != nullptr)
        p.pop_back();
    const size_t slash = p.find_last_of(HostSlashes);
    return slash == std::string::npos ? p : p.substr(slash + 1);
}

std::string DiscName(int disc) { return "disc" + std::to_string(disc + 1); }

std::vector<std::string> Entries(const std::string& folder)
{
    std::vector<HostEntry> entries;
    HostList(folder, &entries);
    std::vector<std::string> names;
    for (const HostEntry& e : entries)
        names.push_back(e.Name);
    return names;
}

bool EqualFold(const std::string& a, const char* b)
{
    if (a.size() != strlen(b))
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (tolower(static_cast<unsigned char>(a[i])) != tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

bool EndsWithFold(const std::string& a, const char* tail)
{
    const size_t n = strlen(tail);
    return a.size() > n && EqualFold(a.substr(a.size() - n), tail);
}

// ---- The script -------------------------------------------------------------

void IndexScriptLines(Build* b)
{
    b->LineStarts.assign(1, 0);
    const std::string& t = b->Text;
    for (size_t i = 0; i < t.size(); ++i) {
        if (t[i] == '\r' && i + 1 < t.size() && t[i + 1] == '\n')
            ++i;
        if (t[i] == '\r' || t[i] == '\n')
            b->LineStarts.push_back(i + 1);
    }
}

int LineAt(const Build& b, size_t offset)
{
    return static_cast<int>(std::upper_bound(b.LineStarts.begin(), b.LineStarts.end(), offset) -
                            b.LineStarts.begin());
}

// Characters, not bytes, from the start of the line.
size_t ColumnAt(const Build& b, size_t offset)
{
    size_t column = 1;
    for (size_t i = b.LineStarts[LineAt(b, offset) - 1]; i < offset; ++i)
        if ((static_cast<unsigned char>(b.Text[i]) & 0xC0) != 0x80)
            ++column;
    return column;
}

size_t LineEnd(const std::string& t, size_t from)
{
    const size_t end = t.find_first_of("\r\n", from);
    return end == std::string::npos ? t.size() : end;
}

bool ReadScript(Build* b)
{
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(b->ScriptPath, &bytes)) {
        Fail(b, 0, 0, "cannot read the product's script '" + b->ScriptPath + "'");
        return false;
    }
    size_t start = bytes.size() >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF ? 3 : 0;
    b->Text.assign(bytes.begin() + static_cast<long>(start), bytes.end());
    IndexScriptLines(b);
    if (b->Text.find('\0') != std::string::npos) {
        Fail(b, LineAt(*b, b->Text.find('\0')), 0,
             "the script holds a zero byte: save it as UTF-8 (UTF-16 is not read)");
        return false;
    }
    // Every character must have its code page 932 form; name each that has not.
    for (size_t line = 0; line < b->LineStarts.size(); ++line) {
        const size_t from = b->LineStarts[line];
        std::string rest = b->Text.substr(from, LineEnd(b->Text, from) - from);
        size_t offset = 0;
        std::string converted;
        size_t bad = 0;
        while (!Utf8ToCp932(rest.substr(offset), &converted, &bad)) {
            const size_t at = from + offset + bad;
            const std::string what = DescribeUtf8Char(b->Text, at);
            const bool utf8 = what.compare(0, 9, "the byte ") != 0;
            Fail(b, static_cast<int>(line) + 1, ColumnAt(*b, at),
                 what + (utf8 ? " has no Shift-JIS (code page 932) form: the launcher cannot show or use it"
                              : " is not UTF-8: the product's script is written in UTF-8"));
            // Past the character (or the byte) and on.
            size_t skip = 1;
            while (offset + bad + skip < rest.size() &&
                   (static_cast<unsigned char>(rest[offset + bad + skip]) & 0xC0) == 0x80)
                ++skip;
            offset += bad + skip;
        }
    }
    return b->Errors == 0;
}

bool IsPatternPath(const std::string& path) { return path.find_first_of("*?") != std::string::npos; }

void FindFields(Build* b)
{
    const std::string& t = b->Text;
    for (size_t line = 0; line < b->LineStarts.size(); ++line) {
        const size_t from = b->LineStarts[line];
        const size_t end = LineEnd(t, from);
        if (t.compare(from, 2, "//") == 0)
            continue;  // comments may speak of fields
        for (size_t at = t.find('@', from); at != std::string::npos && at < end; at = t.find('@', at + 1)) {
            const bool size = t.compare(at, 6, "@SIZE:") == 0;
            const bool md5 = t.compare(at, 5, "@MD5:") == 0;
            if (!size && !md5)
                continue;
            const size_t pathStart = at + (size ? 6 : 5);
            const size_t close = t.find('@', pathStart);
            const int lineNo = static_cast<int>(line) + 1;
            if (close == std::string::npos || close >= end || close == pathStart) {
                Fail(b, lineNo, ColumnAt(*b, at),
                     std::string("the field ") + (size ? "@SIZE:" : "@MD5:") +
                         " needs a path and a closing '@' on its line");
                break;
            }
            Field f {at, close + 1, lineNo, ColumnAt(*b, at), md5, t.substr(pathStart, close - pathStart)};
            if (md5 && IsPatternPath(f.Path))
                Fail(b, lineNo, f.Column,
                     "@MD5:" + f.Path + "@ names a pattern: a digest belongs to one file");
            b->Fields.push_back(f);
            at = close;
        }
    }
}

// The script with every field replaced by its value.
std::string FillFields(const Build& b, const std::vector<std::string>& values)
{
    std::string out;
    size_t at = 0;
    for (size_t i = 0; i < b.Fields.size(); ++i) {
        out.append(b.Text, at, b.Fields[i].Begin - at);
        out += values[i];
        at = b.Fields[i].End;
    }
    out.append(b.Text, at, std::string::npos);
    return out;
}

// Code page 932 with CR LF line ends, as the launcher reads it.
std::string DiscScript(const std::string& utf8)
{
    std::string out, line, converted;
    size_t bad = 0;
    for (size_t i = 0; i < utf8.size(); ++i) {
        const char c = utf8[i];
        if (c != '\r' && c != '\n') {
            line += c;
            continue;
        }
        if (c == '\r' && i + 1 < utf8.size() && utf8[i + 1] == '\n')
            ++i;
        Utf8ToCp932(line, &converted, &bad);  // every line was converted once already
        out += converted + "\r\n";
        line.clear();
    }
    Utf8ToCp932(line, &converted, &bad);
    return out + converted;
}

void StartModelAfresh()
{
    ClearSetupScript();
}

// What the build needs of the script before it has the discs: their count,
// markers, and the listed files that are the launcher's own.
bool ReadPlan(Build* b)
{
    std::vector<std::string> placeholders;
    for (const Field& f : b->Fields)
        placeholders.push_back(f.Md5 ? std::string(32, '0') : "0");
    const std::string script = DiscScript(FillFields(*b, placeholders));
    StartModelAfresh();
    if (ParseSetupScriptText(script.c_str()) != 1) {
        // The check names the line the launcher stops at.
        std::string pattern;
        if (HostMakeUniqueFolder(HostTempFolder() + "/drubelkit-build-", &pattern)) {
            const std::string path = pattern + HostSlash + ScriptFileName;
            CheckReport report;
            std::string error;
            if (WriteWholeFile(path, std::vector<uint8_t>(script.begin(), script.end())) &&
                CheckSetupScript({path, "", {}}, &report, &error))
                PrintCheckReport(b->ScriptPath, report, false);
            RemoveTreeQuietly(pattern);
        }
        Fail(b, 0, 0, "the launcher refuses the script");
        return false;
    }
    const SetupScriptRecord& s = SetupScript;
    if (s.DISCNUM == 0 || s.DISCNUM > MaxDiscs) {
        Fail(b, 0, 0, Format("DISCNUM must give the number of discs, 1 to %d", MaxDiscs));
        return false;
    }
    b->Discs = static_cast<int>(s.DISCNUM);
    for (int d = 0; d < b->Discs; ++d) {
        DiscPlan plan;
        // Nothing is ever written outside the disc folders.
        if (s.KEYFILE[d][0] != '\0' && !IsContainedRelativePath(s.KEYFILE[d]))
            Fail(b, 0, 0, Format("KEYFILE of disc %d ('%s') leads out of the disc", d + 1,
                                 Cp932ToUtf8(s.KEYFILE[d]).c_str()));
        else
            plan.KeyFile = HostSeparators(Cp932ToUtf8(s.KEYFILE[d]));
        plan.Marker = std::string(s.DISCLABEL[d][0] != '\0' ? s.DISCLABEL[d] : s.APPLITITLE) +
                      Format(" DISC%d\r\n", d + 1);
        // The check calls a DISCLABEL that cannot be a label an error.
        plan.Label = s.DISCLABEL[d][0] != '\0' ? std::string(s.DISCLABEL[d])
                                                : IsoLabelFromKeyFile(Cp932ToUtf8(s.KEYFILE[d]), d + 1);
        b->Plans.push_back(plan);
        const std::string folder = b->Options.Product + HostSlash + DiscName(d);
        for (int k = 0; k < MaxFilesPerDisc && s.DiscFiles[d][k].Name != nullptr; ++k) {
            const std::string name = Cp932ToUtf8(s.DiscFiles[d][k].Name);
            if (name.empty() || IsPatternPath(name) || !IsContainedRelativePath(s.DiscFiles[d][k].Name))
                continue;
            const std::string base = Basename(HostSeparators(name));
            std::string found;
            for (int kind = OwnLauncher; kind <= OwnArchive; ++kind) {
                if (EqualFold(base, OwnNames[kind]) && !FindOnDiscUtf8(folder, name, &found))
                    b->Own.push_back({d, HostSeparators(name), static_cast<OwnKind>(kind)});
            }
        }
    }
    return b->Errors == 0;
}

// ---- The discs --------------------------------------------------------------

bool IsEarlierOutput(const std::string& out)
{
    for (const std::string& name : Entries(out)) {
        const bool image = EndsWithFold(name, ".iso");
        const std::string disc = image ? name.substr(0, name.size() - 4) : name;
        if (disc.compare(0, 4, "disc") != 0 || disc.size() == 4 ||
            disc.find_first_not_of("0123456789", 4) != std::string::npos ||
            (image ? !IsRegularFile(out + HostSlash + name) : !IsFolder(out + HostSlash + name)))
            return false;
    }
    return true;
}

bool CheckPlaces(Build* b)
{
    const BuildOptions& o = b->Options;
    if (!IsFolder(o.Product)) {
        Fail(b, 0, 0, "the product folder '" + o.Product + "' does not exist");
        return false;
    }
    std::vector<uint8_t> launcher;
    if (!ReadWholeFile(o.Launcher, &launcher) || launcher.size() < 2 || launcher[0] != 'M' || launcher[1] != 'Z') {
        Fail(b, 0, 0, "the launcher '" + o.Launcher + "' is missing or no Windows program (give --launcher)");
        return false;
    }
    const std::string parent = HostFullPath(Dirname(o.Out));
    const std::string name = Basename(o.Out);
    if (parent.empty() || name.empty() || name == "." || name == ".." || name == "/") {
        Fail(b, 0, 0, "the output folder '" + o.Out + "' cannot be made: its parent folder is missing");
        return false;
    }
    const std::string out = parent + HostSlash + name;
    const std::string product = HostFullPath(o.Product);
    if (out == product || (out + HostSlash).compare(0, product.size() + 1, product + HostSlash) == 0) {
        Fail(b, 0, 0, "the output folder '" + o.Out + "' lies inside the product folder");
        return false;
    }
    if (IsFolder(out) && !IsEarlierOutput(out)) {
        Fail(b, 0, 0, "'" + o.Out + "' exists and holds more than the discs of an earlier build: not replaced");
        return false;
    }
    if (!IsFolder(out) && HostExists(out)) {
        Fail(b, 0, 0, "'" + o.Out + "' exists and is no folder");
        return false;
    }
    b->Options.Out = out;
    return true;
}

bool WriteFile(Build* b, const std::string& path, const std::string& bytes, bool launcher = false)
{
    b->Digests.Forget(path);
    b->Written[path] = launcher;
    if (!MakeFolders(Dirname(path)) || !WriteWholeFile(path, std::vector<uint8_t>(bytes.begin(), bytes.end()))) {
        Fail(b, 0, 0, "cannot write '" + path + "'");
        return false;
    }
    return true;
}

bool AssembleDiscs(Build* b)
{
    for (int d = b->Discs; d < MaxDiscs; ++d) {
        if (IsFolder(b->Options.Product + HostSlash + DiscName(d)))
            fprintf(stderr, "drubelkit build: warning: %s%s%s is left out: DISCNUM is %d\n",
                    b->Options.Product.c_str(), HostSlash, DiscName(d).c_str(), b->Discs);
    }
    for (int d = 0; d < b->Discs; ++d) {
        const std::string from = b->Options.Product + HostSlash + DiscName(d);
        const std::string to = b->Stage + HostSlash + DiscName(d);
        b->Roots.push_back(to);
        if (!IsFolder(from)) {
            Fail(b, 0, 0, "the product has no folder " + DiscName(d) + Format(" (DISCNUM is %d)", b->Discs));
            continue;
        }
        uint64_t files = 0, bytes = 0;
        std::string error;
        if (!CopyTree(from, to, &files, &bytes, &error)) {
            Fail(b, 0, 0, error);
            return false;
        }
        Progress("%s: %" PRIu64 " files, %.1f MB copied", DiscName(d).c_str(), files, bytes / 1048576.0);
    }
    if (b->Errors > 0)
        return false;
    for (const char* own : OwnNames) {
        std::string found;
        if (!FindOnDiscUtf8(b->Roots[0], own, &found))
            continue;
        fprintf(stderr, "drubelkit build: warning: %s%sdisc1%s%s is replaced by the built %s\n",
                b->Options.Product.c_str(), HostSlash, HostSlash, Basename(found).c_str(), own);
        HostRemoveFile(found);
    }
    std::vector<uint8_t> launcher;
    ReadWholeFile(b->Options.Launcher, &launcher);
    const std::string exe(launcher.begin(), launcher.end());
    if (!WriteFile(b, b->Roots[0] + "/Drubel.exe", exe, true))
        return false;
    for (const OwnFile& own : b->Own) {
        // The script and the archive are filled in by every round.
        if (!WriteFile(b, b->Roots[own.Disc] + HostSlash + own.Path, own.Kind == OwnLauncher ? exe : "",
                       own.Kind == OwnLauncher))
            return false;
    }
    for (int d = 0; d < b->Discs; ++d) {
        const DiscPlan& plan = b->Plans[d];
        std::string found;
        if (!plan.KeyFile.empty() && !FindOnDiscUtf8(b->Roots[d], plan.KeyFile, &found) &&
            !WriteFile(b, b->Roots[d] + HostSlash + plan.KeyFile, plan.Marker))
            return false;
    }
    return true;
}

bool EncodePictures(Build* b)
{
    const std::string art = b->Options.Product + "/art";
    std::vector<std::string> pngs;
    for (const std::string& name : Entries(art)) {
        if (EndsWithFold(name, ".png"))
            pngs.push_back(name);
        else
            fprintf(stderr, "drubelkit build: warning: art/%s is no PNG picture and is left out\n", name.c_str());
    }
    if (pngs.empty())
        fprintf(stderr, "drubelkit build: warning: %s holds no PNG pictures\n", art.c_str());
    else
        Progress("encoding %zu pictures", pngs.size());
    for (const std::string& name : pngs) {
        std::vector<uint8_t> file, pixels, epa;
        uint32_t width = 0, height = 0;
        std::string error;
        const std::string path = art + HostSlash + name;
        if (!ReadWholeFile(path, &file) || !ReadPng(file, &width, &height, &pixels, &error) ||
            !EncodeEpa(pixels.data(), width, height, EpaBitsAuto, &epa, &error)) {
            Fail(b, 0, 0, "art/" + name + ": " + (error.empty() ? "cannot be read" : error));
            continue;
        }
        std::string member = name.substr(0, name.size() - 4) + ".EPA";
        for (char& c : member)
            if (c >= 'a' && c <= 'z')
                c = static_cast<char>(c - 'a' + 'A');
        std::string cp932;
        size_t bad = 0;
        if (!Utf8ToCp932(member, &cp932, &bad)) {
            Fail(b, 0, 0, "art/" + name + ": the name has no Shift-JIS (code page 932) form");
            continue;
        }
        b->Pictures.push_back({cp932, std::move(epa)});
    }
    std::sort(b->Pictures.begin(), b->Pictures.end(),
              [](const PakMemberData& x, const PakMemberData& y) { return x.Name < y.Name; });
    return b->Errors == 0;
}

// The size or digest a field stands for, from the first disc that holds it.
bool FieldValue(Build* b, const Field& f, std::string* value)
{
    for (const std::string& root : b->Roots) {
        const std::vector<std::string> files = MatchOnDisc(root, f.Path);
        if (files.empty())
            continue;
        if (f.Md5)
            return b->Digests.Get(files[0], value);
        uint64_t total = 0;
        for (const std::string& file : files) {
            uint64_t size = 0;
            FileSize(file, &size);
            total += size;
        }
        *value = std::to_string(total);
        return true;
    }
    Fail(b, f.Line, f.Column,
         std::string(f.Md5 ? "@MD5:" : "@SIZE:") + f.Path + "@: no disc folder holds " +
             (IsPatternPath(f.Path) ? "a file that matches '" : "'") + f.Path + "'");
    return false;
}

// Fills the fields, packs the archive and puts both on the disc, until the
// launcher's own listed files stop changing the sizes written.
bool SettleScript(Build* b)
{
    std::string previous;
    for (int round = 1; round <= MaxRounds; ++round) {
        if (round == 1 && !b->Fields.empty())
            Progress("sizes and digests of %zu fields", b->Fields.size());
        std::vector<std::string> values(b->Fields.size());
        for (size_t i = 0; i < b->Fields.size(); ++i)
            FieldValue(b, b->Fields[i], &values[i]);
        if (b->Errors > 0)
            return false;
        b->Script = DiscScript(FillFields(*b, values));
        std::vector<PakMemberData> members;
        members.push_back({ScriptFileName, std::vector<uint8_t>(b->Script.begin(), b->Script.end())});
        members.insert(members.end(), b->Pictures.begin(), b->Pictures.end());
        std::string error;
        if (!PakBuild(members, false, &b->Archive, &error)) {
            Fail(b, 0, 0, "Instdata.pak: " + error);
            return false;
        }
        const std::string archive(b->Archive.begin(), b->Archive.end());
        if (!WriteFile(b, b->Roots[0] + HostSlash + ScriptFileName, b->Script) ||
            !WriteFile(b, b->Roots[0] + HostSlash + ArchiveFileName, archive))
            return false;
        for (const OwnFile& own : b->Own) {
            if (own.Kind != OwnLauncher &&
                !WriteFile(b, b->Roots[own.Disc] + HostSlash + own.Path, own.Kind == OwnScript ? b->Script : archive))
                return false;
        }
        if (b->Script == previous)
            return true;
        previous = b->Script;
    }
    Fail(b, 0, 0, Format("the script's own sizes do not settle in %d rounds", MaxRounds));
    return false;
}

bool CheckDiscs(Build* b)
{
    Progress("checking the script, the pictures and %d disc%s", b->Discs, b->Discs == 1 ? "" : "s");
    CheckInput input;
    input.ScriptPath = b->Roots[0] + HostSlash + ScriptFileName;
    input.ArchivePath = b->Roots[0] + HostSlash + ArchiveFileName;
    input.Discs = b->Roots;
    CheckReport report;
    std::string error;
    if (!CheckSetupScript(input, &report, &error)) {
        Fail(b, 0, 0, error);
        return false;
    }
    // The lines of the disc's script are those of the product's.
    for (const CheckMessage& m : report.Messages)
        b->Errors += m.Severity == SeverityError ? 1 : 0;
    if (PrintCheckReport(b->ScriptPath, report, false) != ExitOk && b->Errors == 0)
        ++b->Errors;  // the launcher refuses the script
    return b->Errors == 0;
}

// The built files carry the date of what they are made from (or the fixed
// one), never the hour of the build, so that two builds give the same discs.
void DateBuiltFiles(Build* b)
{
    HostEntry e;
    int64_t input = HostInfo(b->ScriptPath, &e) ? e.Time : 0;
    std::vector<HostEntry> art;
    HostList(b->Options.Product + "/art", &art);
    for (const HostEntry& picture : art)
        input = std::max(input, picture.Time);
    const int64_t launcher = HostInfo(b->Options.Launcher, &e) ? e.Time : input;
    for (const auto& written : b->Written)
        HostSetTime(written.first, b->Options.Fixed ? b->Options.FixedTime : written.second ? launcher : input);
}

bool MakeImages(Build* b)
{
    const BuildOptions& o = b->Options;
    std::vector<IsoPlan> plans(static_cast<size_t>(b->Discs));
    for (int d = 0; d < b->Discs; ++d) {
        IsoPlan& plan = plans[static_cast<size_t>(d)];
        std::string error;
        if (!PlanIsoImage(b->Roots[d], b->Plans[d].Label, o.Fixed ? &o.FixedTime : nullptr, &plan, &error)) {
            Fail(b, 0, 0, error);
            continue;
        }
        for (const std::string& problem : o.Images ? plan.Problems : std::vector<std::string>())
            Fail(b, 0, 0, DiscName(d) + ".iso: " + problem);
        const std::string over = IsoOverflow(plan, *o.Medium);
        if (!over.empty())
            Fail(b, 0, 0, DiscName(d) + " does not fit its medium: " + over + " (see --media)");
    }
    for (int d = 0; o.Images && b->Errors == 0 && d < b->Discs; ++d) {
        const IsoPlan& plan = plans[static_cast<size_t>(d)];
        std::string error;
        const std::string image = b->Stage + HostSlash + DiscName(d) + ".iso";
        // The image file too is dated by what it holds.
        if (!WriteIsoImage(plan, image, &error) || !HostSetTime(image, plan.Time)) {
            Fail(b, 0, 0, error.empty() ? "cannot date the image '" + image + "'" : error);
            return false;
        }
        Progress("%s.iso: %" PRIu32 " sectors (%.1f MB), label %s", DiscName(d).c_str(), plan.Sectors,
                 plan.Sectors * double(IsoSectorSize) / 1048576.0, plan.Label.c_str());
    }
    return b->Errors == 0;
}

bool MoveIntoPlace(Build* b)
{
    const std::string& out = b->Options.Out;
    const std::string old = b->Stage + ".old";
    HostMakeOrdinary(b->Stage);
    const bool replace = IsFolder(out);
    if (replace && !HostRename(out, old)) {
        Fail(b, 0, 0, "cannot move the earlier '" + out + "' aside");
        return false;
    }
    if (!HostRename(b->Stage, out)) {
        if (replace)
            HostRename(old, out);
        Fail(b, 0, 0, "cannot rename the build into '" + out + "'");
        return false;
    }
    b->Stage.clear();
    if (replace)
        RemoveTreeQuietly(old);
    return true;
}

}  // namespace

int BuildProduct(const BuildOptions& options)
{
    Build b;
    b.Options = options;
    b.ScriptPath = options.Product + HostSlash + ScriptFileName;
    if (!CheckPlaces(&b))
        return ExitBadInput;
    const std::string out = b.Options.Out;
    bool built = ReadScript(&b);
    if (built) {
        FindFields(&b);
        built = b.Errors == 0 && ReadPlan(&b);
    }
    std::string stage;
    if (built && !HostMakeUniqueFolder(Dirname(out) + "/." + Basename(out) + ".building-", &stage)) {
        Fail(&b, 0, 0, "cannot make a folder beside '" + out + "'");
        built = false;
    }
    if (built) {
        b.Stage = stage;
        built = AssembleDiscs(&b) && EncodePictures(&b) && SettleScript(&b) && CheckDiscs(&b);
        if (built) {
            DateBuiltFiles(&b);
            built = MakeImages(&b) && MoveIntoPlace(&b);
        }
    }
    if (!built) {
        if (!b.Stage.empty())
            RemoveTreeQuietly(b.Stage);
        // Discs of an earlier build would pass for this one's.
        if (IsFolder(out) && IsEarlierOutput(out))
            RemoveTreeQuietly(out);
        fprintf(stderr, "drubelkit build: %s not built (%d error%s)\n", options.Out.c_str(), b.Errors,
                b.Errors == 1 ? "" : "s");
        return ExitBadInput;
    }
    for (int d = 0; d < b.Discs; ++d)
        Progress("%s%s%s%s ready", options.Out.c_str(), HostSlash, DiscName(d).c_str(),
                 options.Images ? (" and " + DiscName(d) + ".iso").c_str() : "");
    return ExitOk;
}

#include "common/run_switches.h"

#include "common/text.h"

#include <cstring>

RunSwitches ActiveSwitches;
int RunExitCode = ExitDone;
const char* RunCommandLine = "";

namespace {

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; }

const char* SkipSpaces(const char* p)
{
    while (*p == ' ' || *p == '\t')
        ++p;
    return p;
}

// The word at `p` up to a blank outside quotes; its value after '=' goes to
// `value` without the quotes. `*end` is where the next word starts.
bool ReadWord(const char* p, char* name, size_t nameSize, char* value, size_t valueSize,
              bool* hasValue, const char** end)
{
    size_t n = 0;
    while (*p != '\0' && *p != ' ' && *p != '\t' && *p != '=') {
        if (n + 1 >= nameSize)
            return false;
        name[n++] = Upper(*p++);
    }
    name[n] = '\0';
    *hasValue = *p == '=';
    value[0] = '\0';
    if (*hasValue) {
        ++p;
        size_t v = 0;
        bool quoted = false;
        // Bytes of two-byte characters pass whole: a trail byte may look like a quote or a blank.
        while (*p != '\0' && (quoted || (*p != ' ' && *p != '\t'))) {
            const unsigned char c = static_cast<unsigned char>(*p);
            if (IsLeadByte(c, static_cast<unsigned char>(p[1]))) {
                if (v + 2 >= valueSize)
                    return false;
                value[v++] = *p++;
                value[v++] = *p++;
                continue;
            }
            if (c == '"') {
                quoted = !quoted;
                ++p;
                continue;
            }
            if (v + 1 >= valueSize)
                return false;
            value[v++] = *p++;
        }
        value[v] = '\0';
        if (quoted)
            return false;
    }
    *end = p;
    return true;
}

bool Flag(const char* name, const char* word, bool hasValue, bool* flag)
{
    if (strcmp(name, word) != 0 || hasValue)
        return false;
    *flag = true;
    return true;
}

}  // namespace

bool ParseRunArguments(const char* arguments, char* letter, RunSwitches* s)
{
    *s = RunSwitches{};
    *letter = '\0';
    const char* p = SkipSpaces(arguments != nullptr ? arguments : "");
    // A command letter: one character before the first blank, not a switch.
    if (*p != '\0' && *p != '/') {
        *letter = *p;
        const char* after = p + 1;
        if (IsLeadByte(static_cast<unsigned char>(p[0]), static_cast<unsigned char>(p[1])))
            ++after;
        // Only the first character counts for a line with no switches after it.
        const char* rest = after;
        while (*rest != '\0' && *rest != ' ' && *rest != '\t')
            ++rest;
        p = SkipSpaces(rest);
    }
    while (*p != '\0') {
        const char* start = p;
        // Words that are no switch were never read (only a letter's first
        // character ever counted), and still are not.
        if (*p != '/') {
            while (*p != '\0' && *p != ' ' && *p != '\t')
                ++p;
            p = SkipSpaces(p);
            continue;
        }
        char name[24];
        char value[SwitchPathWidth];
        bool hasValue = false;
        const char* end = p;
        const bool read = *p == '/' && ReadWord(p + 1, name, sizeof name, value, sizeof value, &hasValue, &end);
        bool known = false;
        if (read) {
            known = Flag(name, "SILENT", hasValue, &s->Silent) || Flag(name, "VERYSILENT", hasValue, &s->VerySilent) ||
                    Flag(name, "SUPPRESSMSGBOXES", hasValue, &s->SuppressBoxes) ||
                    Flag(name, "NODESKTOP", hasValue, &s->NoDesktop) ||
                    Flag(name, "UNINSTALL", hasValue, &s->Uninstall) ||
                    Flag(name, "DELETESAVES", hasValue, &s->DeleteSaves) ||
                    Flag(name, "REPAIR", hasValue, &s->Repair);
            if (!known && strcmp(name, "LOG") == 0) {
                s->Log = true;
                known = CopyText(s->LogFile, value) && (!hasValue || value[0] != '\0');
            } else if (!known && strcmp(name, "DIR") == 0) {
                s->HasDir = true;
                known = hasValue && value[0] != '\0' && CopyText(s->Dir, value);
            } else if (!known && strcmp(name, "OPTION") == 0) {
                known = hasValue && value[0] >= '1' && value[0] <= '0' + SwitchMaxOption && value[1] == '\0';
                s->Option = known ? value[0] - '0' : 0;
            }
        }
        if (!known) {
            size_t n = 0;
            while (start[n] != '\0' && start[n] != ' ' && start[n] != '\t')
                ++n;
            CopyTextN(s->Bad, sizeof s->Bad, start, n);
            return false;
        }
        s->Any = true;
        p = SkipSpaces(end);
    }
    return true;
}

bool FormatRunSwitches(const RunSwitches& s, char* out, size_t size)
{
    if (size == 0)
        return false;
    out[0] = '\0';
    bool ok = true;
    auto add = [&](bool on, const char* word) {
        if (on)
            ok = ok && AppendText(out, size, out[0] != '\0' ? " " : "") && AppendText(out, size, word);
    };
    add(s.Silent, "/SILENT");
    add(s.VerySilent, "/VERYSILENT");
    add(s.SuppressBoxes, "/SUPPRESSMSGBOXES");
    add(s.NoDesktop, "/NODESKTOP");
    add(s.Uninstall, "/UNINSTALL");
    add(s.DeleteSaves, "/DELETESAVES");
    add(s.Repair, "/REPAIR");
    char word[SwitchPathWidth + 16];
    if (s.HasDir) {
        ok = ok && FormatText(word, sizeof word, "/DIR=\"%s\"", s.Dir);
        add(true, word);
    }
    if (s.Option != 0) {
        FormatText(word, sizeof word, "/OPTION=%d", s.Option);
        add(true, word);
    }
    if (s.Log) {
        ok = ok && (s.LogFile[0] == '\0' ? CopyText(word, "/LOG") : FormatText(word, sizeof word, "/LOG=\"%s\"", s.LogFile));
        add(true, word);
    }
    if (!ok)
        out[0] = '\0';
    return ok;
}

#include "check/check_dump.h"
#include "check/check_script.h"
#include "script/setup_model.h"
#include "shared/cli.h"

#include <cstdio>
#include <cstring>

static const char CheckUsage[] =
    "usage: drubelkit check [SCRIPT] [--pak ARCHIVE] [--disc DIR... [--media MEDIUM]]\n"
    "                       [--strict] [--dump]\n"
    "\n"
    "Loads the setup script with the launcher's own parser and reports what the\n"
    "launcher would do with it, and what would break an installation from it.\n"
    "\n"
    "SCRIPT          the script, read as the loose Drubel.ini next to the launcher\n"
    "                (default: Drubel.ini in the current folder, unless --pak\n"
    "                alone is given: then the script inside the archive)\n"
    "--pak ARCHIVE   the Instdata.pak that holds the pictures; without it they\n"
    "                are looked for beside SCRIPT, as loose files or in the\n"
    "                Instdata.pak there\n"
    "--disc DIR...   the disc folders, disc 1 first: every listed file must be\n"
    "                on its disc with the size and digest the script gives, each\n"
    "                disc must hold its KEYFILE, and DXPLACE its DXDISC discs\n"
    "--media MEDIUM  with --disc: each disc's image must fit the medium (cd, dvd,\n"
    "                dvd-dl or bd, as for 'drubelkit build --media') and hold\n"
    "                only names a Joliet image can\n"
    "--strict        warnings count as errors\n"
    "--dump          print the loaded model as one JSON object on standard output\n"
    "\n"
    "Messages go to standard error as FILE:LINE: error|warning|note: TEXT. Errors\n"
    "are what the launcher refuses or what breaks an installation; warnings are\n"
    "what it tolerates but an author hardly means; notes say what was not looked\n"
    "at. Every key is described in docs/script-reference.md.\n"
    "Exit status: 0 the launcher loads the script and nothing is an error, 1 it\n"
    "refuses it, a finding is an error or an input cannot be read, 2 bad usage.\n";

static int UsageError(const std::string& problem)
{
    fprintf(stderr, "drubelkit check: %s\n\n%s", problem.c_str(), CheckUsage);
    return ExitUsage;
}

int RunCheckCommand(int argc, char** argv)
{
    CheckInput input;
    bool dump = false;
    bool strict = false;
    bool pakGiven = false;
    for (int i = 1; i < argc; ++i) {
        const char* a = argv[i];
        if (IsHelpFlag(a)) {
            fputs(CheckUsage, stdout);
            return ExitOk;
        }
        if (strcmp(a, "--dump") == 0) {
            dump = true;
        } else if (strcmp(a, "--strict") == 0) {
            strict = true;
        } else if (strcmp(a, "--pak") == 0) {
            if (i + 1 >= argc || pakGiven)
                return UsageError(pakGiven ? "--pak is given twice" : "--pak needs an archive");
            input.ArchivePath = argv[++i];
            pakGiven = true;
        } else if (strcmp(a, "--media") == 0) {
            if (i + 1 >= argc || (input.Medium = FindIsoMedium(argv[++i])) == nullptr)
                return UsageError("--media takes one of " + IsoMediumNames());
        } else if (strcmp(a, "--disc") == 0) {
            const size_t before = input.Discs.size();
            while (i + 1 < argc && argv[i + 1][0] != '-')
                input.Discs.push_back(argv[++i]);
            if (input.Discs.size() == before)
                return UsageError("--disc needs one or more disc folders");
        } else if (a[0] == '-' && a[1] != '\0') {
            return UsageError(std::string("unknown option '") + a + "'");
        } else if (input.ScriptPath.empty()) {
            input.ScriptPath = a;
        } else {
            return UsageError(std::string("one script at a time: '") + input.ScriptPath + "' and '" + a + "'");
        }
    }
    if (input.Medium != nullptr && input.Discs.empty())
        return UsageError("--media needs the disc folders (--disc)");
    if (input.ScriptPath.empty() && !pakGiven)
        input.ScriptPath = ScriptFileName;

    CheckReport report;
    std::string error;
    if (!CheckSetupScript(input, &report, &error)) {
        fprintf(stderr, "drubelkit check: %s\n", error.c_str());
        return ExitBadInput;
    }
    const std::string where =
        input.ScriptPath.empty() ? input.ArchivePath + "(Drubel.ini)" : input.ScriptPath;
    const int status = PrintCheckReport(where, report, strict);
    if (dump)
        fputs(DumpSetupModel(report.LoadResult).c_str(), stdout);
    return status;
}

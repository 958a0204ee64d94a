#include "check_dump.h"
#include "check_script.h"
#include "cli.h"

#include <cstdio>
#include <cstring>

static const char CheckUsage[] =
    "usage: drubelkit check [--pak ARCHIVE] [SCRIPT] [--dump]\n"
    "\n"
    "Loads the setup script with the launcher's own parser and reports what the\n"
    "launcher would do with it.\n"
    "\n"
    "SCRIPT          the script, read as the loose Drubel.ini next to the launcher\n"
    "--pak ARCHIVE   the Instdata.pak beside it: the script is read from it when\n"
    "                SCRIPT is not given, and the pictures named by the install\n"
    "                screen lines must be members of it\n"
    "--dump          print the loaded model as one JSON object on standard output\n"
    "\n"
    "Messages go to standard error as FILE:LINE: warning|error: TEXT. Errors are\n"
    "what the launcher refuses, ignores or stops reading; warnings are what it\n"
    "tolerates but an author hardly means.\n"
    "Exit status: 0 the launcher loads the script, 1 it refuses it (or an input\n"
    "cannot be read), 2 bad usage.\n";

int RunCheckCommand(int argc, char** argv)
{
    CheckInput input;
    bool dump = false;
    for (int i = 1; i < argc; ++i) {
        if (IsHelpFlag(argv[i])) {
            fputs(CheckUsage, stdout);
            return ExitOk;
        }
        if (strcmp(argv[i], "--dump") == 0) {
            dump = true;
        } else if (strcmp(argv[i], "--pak") == 0 && i + 1 < argc && input.ArchivePath.empty()) {
            input.ArchivePath = argv[++i];
        } else if (argv[i][0] != '-' && input.ScriptPath.empty()) {
            input.ScriptPath = argv[i];
        } else {
            fputs(CheckUsage, stderr);
            return ExitUsage;
        }
    }
    if (input.ScriptPath.empty() && input.ArchivePath.empty()) {
        fputs(CheckUsage, stderr);
        return ExitUsage;
    }

    CheckReport report;
    std::string error;
    if (!CheckSetupScript(input, &report, &error)) {
        fprintf(stderr, "drubelkit check: %s\n", error.c_str());
        return ExitBadInput;
    }
    const std::string where =
        input.ScriptPath.empty() ? input.ArchivePath + "(Drubel.ini)" : input.ScriptPath;
    int warnings = 0, errors = 0;
    for (const CheckMessage& m : report.Messages) {
        const bool isError = m.Severity == SeverityError;
        (isError ? errors : warnings) += 1;
        if (m.Line > 0)
            fprintf(stderr, "%s:%d: %s: %s\n", where.c_str(), m.Line, isError ? "error" : "warning",
                m.Text.c_str());
        else
            fprintf(stderr, "%s: %s: %s\n", where.c_str(), isError ? "error" : "warning", m.Text.c_str());
    }
    fprintf(stderr, "%s: %s; %d error%s, %d warning%s\n", where.c_str(),
        report.LoadResult == 1 ? "the launcher loads this script" : "the launcher refuses this script",
        errors, errors == 1 ? "" : "s", warnings, warnings == 1 ? "" : "s");
    if (dump)
        fputs(DumpSetupModel(report.LoadResult).c_str(), stdout);
    return report.LoadResult == 1 ? ExitOk : ExitBadInput;
}

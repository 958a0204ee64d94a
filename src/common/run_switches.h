// The switches of an unattended run, after the program's name: the ones
// administrators know from other installers, each beginning with '/' and
// read without regard to case, so that no command letter changes meaning.
// A command letter, when there is one, stands first and alone.
#pragma once


#include <cstddef>

// What a run returns, in the table administrators' scripts already read.
enum RunExitCode {
    ExitDone = 0,
    ExitCouldNotStart = 1,
    ExitCancelledBefore = 2,
    ExitFatalBeforeCopy = 3,
    ExitFatalDuringCopy = 4,
    ExitCancelledDuring = 5,
};

// Widths of the model's texts, which common cannot name.
constexpr int SwitchPathWidth = 260;
constexpr int SwitchWordWidth = 64;
constexpr int SwitchMaxOption = 3;

struct RunSwitches {
    bool Any;               // at least one switch was given
    bool Silent;            // the show plays and closes by itself; nothing is asked
    bool VerySilent;        // nothing is shown
    bool SuppressBoxes;     // every message takes its default answer
    bool NoDesktop;
    bool Uninstall;
    bool DeleteSaves;
    bool Repair;
    bool Log;               // /LOG, with or without a file
    bool HasDir;
    int Option;             // 1-based OPTIONTITLE, 0 when not given
    char Dir[SwitchPathWidth];    // the install folder's parent, as typed in the options dialog
    char LogFile[SwitchPathWidth];
    char Bad[SwitchWordWidth];    // the first word not understood, cut to fit
};

// Splits `arguments` (what follows the program's name) into its command
// letter (0 when none: the line is empty or starts with a switch) and its
// switches. False, with `Bad` naming it, for a word that is neither, a value
// that does not fit, or an /OPTION that is not 1 to 3.
bool ParseRunArguments(const char* arguments, char* letter, RunSwitches* switches);

// The switches written back, for the copy the relaunch starts: the same
// words that ParseRunArguments reads. False when they do not fit.
bool FormatRunSwitches(const RunSwitches& switches, char* out, size_t size);

// The switches of this run, as the entry point read them: every part that
// would ask or show something looks here first.
extern RunSwitches ActiveSwitches;
// What the run returns (RunExitCode values); the parts that end a run set it.
extern int RunExitCode;
// The arguments the run was started with, for the log.
extern const char* RunCommandLine;

// Opens the run's log (the /LOG file, or a new one in the temporary folder)
// with its first lines, once: every run that installs, uninstalls, checks or
// starts the DirectX setup calls it first.
bool OpenLogOfRun();

// True when nothing may wait for a player's answer.
inline bool Unattended(const RunSwitches& s) { return s.Silent || s.VerySilent; }

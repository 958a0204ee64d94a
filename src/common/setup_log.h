// The setup log: one line per event of a run, for the publisher's support.
// Plain text, UTF-8 with a byte-order mark, CR LF line ends, each line led
// by the local time to the millisecond. The log never stops a run: one
// that cannot be written is skipped.
#pragma once

#include <cstddef>
#include <cstdint>

struct LogTime {
    int Year, Month, Day, Hour, Minute, Second, Millisecond;
};

// "Drubel Setup Log YYYY-MM-DD #NNN.txt" (NNN from 001).
bool FormatLogFileName(const LogTime& time, int number, char* out, size_t size);

// One line of the file: "YYYY-MM-DD hh:mm:ss.mmm " + `text` (code page 932)
// in UTF-8 + CR LF. A byte the code page does not map becomes '?': a line is
// never lost for one character. Returns the bytes written to `out`, the
// line cut (at a character) where it does not fit.
size_t FormatLogLine(const LogTime& time, const char* text, char* out, size_t size);

// UTF-8 of one UTF-16 text, at most `size` bytes (no terminator); returns
// the bytes written. Unpaired surrogates become '?'.
size_t WideToUtf8(const char16_t* text, char* out, size_t size);

// The log of this run (Windows). LogOpen with a path writes there (a file
// that exists is appended to), with null the next free name in the
// temporary folder; a second call keeps the log that is open. LogLine takes
// a printf format in 932. LogSystemError adds the system's error number and
// message to a line about what failed.
bool LogOpen(const char* path);
bool LogIsOpen();
const char* LogPath();
void LogLine(const char* format, ...);
void LogSystemError(unsigned long error, const char* format, ...);
// A line about one thing made or removed: "<text>: done", or, when it
// failed, the system's error (GetLastError() on entry) as LogSystemError
// gives it ("<text>: failed" without one). The error is left as it was
// found, so that the caller can still look at it.
void LogResult(bool done, const char* format, ...);
void LogClose();

// LogOpen, then the lines every log starts with: the program's version and
// build, the Windows version, the code page, the DPI and `commandLine`.
// Nothing when a log is open already.
bool OpenRunLog(const char* path, const char* commandLine);

// The run's log, written only when asked for: UTF-8 with a byte-order mark, CRLF lines, each
// after the local time, each written to the file at once so that a run cut short leaves its
// log up to the cut. While no log is open every call does nothing; a log that cannot be
// written changes nothing else. A run opens one log at most; the process's end closes it.
#pragma once

#include <windows.h>

// Bytes of one line before its conversion to UTF-8: two full paths and their words fit.
constexpr int kLogLineSize = 2560;

// Opens a new log at path (a full path): a file of that name is deleted first, never written
// through. False when it cannot be created.
bool OpenLog(const char *path);
// Opens a new log in folder (ending with a backslash): stem + ".log", or when that name is
// taken stem + "_2.log" and on. False when none can be created.
bool OpenNewLog(const char *folder, const char *stem);

// Writes one line of text in the process's code page, converted exactly. format takes %s, %d,
// %u and %%; "l" before d or u changes nothing (long is int here). A line longer than
// kLogLineSize ends with "...".
void LogLine(const char *format, ...) __attribute__((format(printf, 1, 2)));
// The same, followed by " failed: error N" unless error is 0.
void LogChange(DWORD error, const char *format, ...) __attribute__((format(printf, 2, 3)));
// GetLastError for a step known to have failed; ERROR_INVALID_DATA where the step left none
// (a refusal of the program's own, memory), so that the log never reads as a success.
DWORD FailureError();
// After a deletion that succeeded or not (then GetLastError tells why): "<what> <path>
// deleted", or that line with its error; nothing when there was no such file.
void LogDeletion(bool deleted, const char *what, const char *path);

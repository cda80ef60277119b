// Reading "Uninstall.lst" and judging its lines, which come from a file anyone with write
// access to the installation folder could have changed.
#pragma once

#include <windows.h>

constexpr size_t kListLineSize = 2048;

enum class ListRead { Line, Skipped, End };

// Lines of a file read as bytes; a line ends with LF (kept) or at the end of the file.
class ListFile {
public:
    ~ListFile() { Close(); }
    bool Open(const char *name);
    void Close();
    bool Rewind();
    // Line: the whole line is in line (size bytes). Skipped: the line did not fit or held a
    // zero byte; it was read to its end and nothing of it is given back.
    ListRead ReadLine(char *line, size_t size);

private:
    int NextByte();
    HANDLE file_ = INVALID_HANDLE_VALUE;
    char buffer_[4096];
    DWORD filled_ = 0;
    DWORD pos_ = 0;
};

// True when a trimmed line names something inside the folder it is appended to: not
// empty, no ":", no leading separator, no component made only of dots and blanks.
bool IsInsideLine(const char *line);
// True when a folder on the way from folder (with trailing backslash) to the line's
// last component is a junction or symbolic link.
bool PassesThroughLink(const char *folder, const char *line);

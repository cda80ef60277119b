// The lines of "Uninstall.lst" as text: splitting, trimming and judging them. No file system
// and no Windows header, so these rules can be tested and fuzzed on any host.
#pragma once

#include <cstddef>

// A line is taken when it fits 2,047 bytes, its line feed included.
constexpr size_t kListLineSize = 2048;

// lead[b] is true when byte b begins a double-byte character of the code page the lines are
// in: the process's, to which the list file converts them as it reads them.
using LeadByteTable = bool[256];

enum class ListRead { Line, Skipped, End };

// Takes the line at pos of text[0, size), ended by a line feed or by the end, and moves pos
// past it. Line: *line points at the line, its trailing CR, LF, blanks and tabs cut off by a
// terminator written in place (text needs one writable byte at size). Skipped: the line held
// a zero byte or did not fit kListLineSize; nothing of it is given back.
ListRead TakeListLine(char *text, size_t size, size_t &pos, char **line);

// True when a taken line names something inside the folder it is appended to: not empty, no
// ":" byte, no leading separator, no component made only of dots and blanks.
bool IsInsideLine(const char *line, const LeadByteTable &lead);

// Sets dest to folder + line when both fit size bytes; false (dest unchanged) otherwise.
bool JoinListPath(char *dest, size_t size, const char *folder, const char *line);

// Components of a line: one more than its separators.
size_t LineDepth(const char *line, const LeadByteTable &lead);

// Fills order with 0..count-1 sorted by the depth of lines[i], deepest first; lines of the
// same depth keep their order.
void OrderDeepestFirst(const char *const *lines, size_t count, const LeadByteTable &lead, size_t *order);

// Answers whether the folder formed by the first length bytes of line is a link.
using LinkQuery = bool (*)(void *context, const char *line, size_t length);

// Remembers the folders of the last line that were found to be no link, so the lines of one
// folder in a row cost one check of each folder on their way.
class CheckedFolders {
public:
    // Forgets them all: a new pass checks again.
    void Clear() { length_ = 0; }
    // True when a folder on the way to the line's last component is a link. isLink is asked
    // only about folders not already known to be none.
    bool PassesThroughLink(const char *line, const LeadByteTable &lead, LinkQuery isLink, void *context);

private:
    char known_[kListLineSize];
    size_t length_ = 0;
};

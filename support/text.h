// Narrow-string and path helpers that understand double-byte ANSI code pages and UTF-8.
#pragma once

#include "support/dbcs_table.h"
#include "support/text_sizes.h"

#include <stddef.h>

// Lead bytes and letters of the process's code page (ProcessCodePage()), filled once before
// WinMain runs.
extern DbcsTable g_processCodePage;
// The byte classes of a code page, for text read in that one.
DbcsTable CodePageTable(unsigned codePage);

// Next character position; a lead byte followed by the terminator is one byte.
char *NextChar(const char *pos);
// Case-insensitive comparison under the user locale: 0 equal, -1 / +1 order, -2 failure.
int CompareNoCase(const char *a, const char *b);
// True when text begins with prefix, which is given in lower-case ASCII. A byte-wise test is
// exact for such a prefix: no lead byte equals an ASCII letter, and the walk stops at text's end.
// Inline: the units built without Windows use it too.
inline bool StartsWithAsciiNoCase(const char *text, const char *prefix)
{
    for (; *prefix != '\0'; ++text, ++prefix) {
        char c = *text >= 'A' && *text <= 'Z' ? static_cast<char>(*text - 'A' + 'a') : *text;
        if (c != *prefix)
            return false;
    }
    return true;
}
// Removes trailing CR, LF, blanks and tabs in place; returns str.
char *TrimLineEnd(char *str);
// Copies at most size-1 bytes, zero-fills the rest and terminates at size-1.
// Nothing is written when size is 0. Returns dest.
char *CopyBounded(char *dest, const char *src, size_t size);
// Appends src to the string in dest (capacity size). Returns false and leaves dest
// unchanged when the result would not fit with its terminator.
bool AppendBounded(char *dest, const char *src, size_t size);
// Sets dest to a + b when both fit in size bytes; false (dest unchanged) otherwise.
bool JoinBounded(char *dest, size_t size, const char *a, const char *b);
// Removes what a cut left of a character at the end (a lead byte alone, a UTF-8 sequence
// short of its trail bytes), so no part of a character remains.
void DropTrailingLeadByte(char *str);
bool IsPathSeparator(char c);
bool IsDriveSeparator(char c);
// Start of the name part of a path (the terminator when the path ends in a separator).
char *FileNamePart(const char *path);
// Start of the last character; the terminator for an empty string.
char *LastCharPos(const char *str);
// Appends a backslash unless the path is empty or already ends in one. False, path unchanged,
// when the backslash would not fit in size bytes.
bool AppendBackslash(char *path, size_t size);
// Appends a backslash (as AppendBackslash) and name. False, path unchanged, when the result
// would not fit in size bytes.
bool AppendPathPart(char *path, size_t size, const char *name);
// Cuts off the name part and its separator, but never a root separator.
void StripFileName(char *path);

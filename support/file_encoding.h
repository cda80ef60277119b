// Which code page a file that other programs wrote is in: one rule for the list of installed
// files, the language file and the translator's kit. No Windows header, so the kit and the
// units built on any host share it.
#pragma once

#include <stddef.h>

constexpr unsigned kUtf8CodePage = 65001; // CP_UTF8
inline constexpr char kUtf8Mark[] = "\xEF\xBB\xBF";
constexpr size_t kUtf8MarkSize = sizeof kUtf8Mark - 1;

// True when text (size bytes) begins with the UTF-8 byte-order mark.
bool StartsWithUtf8Mark(const char *text, size_t size);

// Where the examined bytes end: at the end of the file, or at the end of a part read of it,
// which may fall inside a character.
enum class TextEnd { File, Prefix };

// True when the bytes are well-formed UTF-8: no stray or missing continuation byte, no
// overlong form, no surrogate, nothing beyond U+10FFFF. At the end of a prefix, the start of a
// character that would be well-formed but for the cut counts as well-formed.
bool IsUtf8(const char *text, size_t size, TextEnd end);

// The code page a file's text is written in: UTF-8 when the file begins with the byte-order
// mark (marked); else the system's ANSI code page, and where that is UTF-8 but the text is
// not, the system's legacy one, in which the file was made before the system was set to UTF-8.
unsigned DetectCodePage(bool marked, const char *text, size_t size, TextEnd end, unsigned system, unsigned legacy);

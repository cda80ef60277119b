// Checks a language file against the program's texts, as the program would read it.
#pragma once

#include "resources.h"
#include "support/dbcs_table.h"
#include "support/file_encoding.h"

#include <map>
#include <string>
#include <vector>

struct TableCheck {
    std::vector<std::string> defects; // one line each, "line N: ..." where a line is concerned
    // Entries found without defect, by key: the translation the program shows for each.
    std::map<std::string, std::string> accepted;
};

// Converts length bytes of text from code page `from` to code page `to` into out (size bytes),
// terminated; the number of bytes written, or -1 when the text is not valid in `from` or a
// character has no exact form in `to` (as ConvertText does).
using ConvertFunction = int (*)(unsigned from, const char *text, size_t length, unsigned to, char *out, size_t size);

// The system code page a file is meant for. Its translations are written in that code page,
// or in UTF-8 when the file begins with a byte-order mark; the program holds them in that
// code page (within the sizes it always had) or, in a UTF-8 process, in UTF-8 (within three
// times those sizes).
struct FileCodePage {
    unsigned codePage;
    const DbcsTable &leadBytes;      // of codePage
    ConvertFunction convert = nullptr; // null: the text is checked in the file's encoding only
};

TableCheck CheckTable(const std::string &file, const std::vector<ProgramText> &texts, const FileCodePage &target);
// A file in the code page whose lead bytes are given, checked without conversion.
inline TableCheck CheckTable(const std::string &file, const std::vector<ProgramText> &texts, const DbcsTable &codePage)
{
    return CheckTable(file, texts, FileCodePage{0, codePage});
}

// The translatable texts of a built program or language module, read from its resources.
#pragma once

#include "lang/language_table.h"

#include <string>
#include <vector>

struct ProgramText {
    TextKind kind;
    std::string context;  // dialog name, "LTR" for the direction entry, empty for messages
    std::string native;   // bytes in the chosen ANSI code page
    std::string starting; // the translation a template starts with
    std::string where;    // where the text is used, for the comment line
    size_t bufferSize;    // bytes of the buffer that receives the translation
    std::string key;
    bool lossy = false;   // not every character exists in the code page
};

// Reads the string table and every dialog of the module file. False when it cannot be read.
bool ReadProgramTexts(const char *modulePath, unsigned codePage, std::vector<ProgramText> &texts,
                      std::string &error);

// The translatable texts of a built program or language module, read from its resources.
#pragma once

#include "lang/language_table.h"

#include <string>
#include <vector>

// What a translation may take in the code page the program runs in: the program's limits,
// whose buffers hold Converted() of each, so that whatever fits here fits once converted to UTF-8.
constexpr size_t kMessageLimit = 512; // the message ring's limit (lang/messages.h needs Windows)
constexpr size_t kDialogTextLimit = kWindowTextSize;
constexpr size_t kSizeEntryLimit = kSizeEntrySize;
constexpr size_t kDirectionLimit = kDirectionSize;

struct ProgramText {
    TextKind kind;
    std::string context;  // dialog name, "LTR" for the direction entry, empty for messages
    std::string native;   // the native text in UTF-8, as the resources hold it
    std::string starting; // the translation a template starts with, in the file's encoding
    std::string where;    // where the text is used, for the comment line
    size_t bufferSize;    // bytes of the buffer that receives the translation, in its code page
    std::string key;      // over the native text in the key code page; texts that differ may share it
    bool lossy = false;   // the starting translation lacks a character its code page cannot hold
};

// How a template is written and keyed.
struct TextCodePages {
    unsigned file = 936; // the code page the translations are written in
    bool utf8 = false;   // written in UTF-8 with a byte-order mark instead
    unsigned key = 936;  // the code page of the native text the keys are formed over
};

// Reads the string table and every dialog of the module file. Equal texts of one kind and
// context share one entry; different texts whose keys collide stay apart. False when the
// module cannot be read.
bool ReadProgramTexts(const char *modulePath, const TextCodePages &codePages, std::vector<ProgramText> &texts,
                      std::string &error);

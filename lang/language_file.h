// The language file "uninstall.lng" beside the program, read into the language table.
#pragma once

#include "lang/language_table.h"

class LanguageResources {
public:
    // Made at start-up, not in the file's initialised data: the table refers to the code page.
    LanguageResources();
    LanguageResources(const LanguageResources &) = delete;
    LanguageResources &operator=(const LanguageResources &) = delete;

    // Reads the table; a bare name is looked for beside the program. Failures leave no
    // table. Then decides the layout direction. Replaces any table loaded before.
    void Load(const char *fileName);
    bool IsLoaded() const { return table.IsLoaded(); }
    // Writes the translation of text (or the text itself) to out, which holds outSize bytes
    // and may be text's own buffer. Never cuts inside a double-byte character.
    void Translate(char *out, size_t outSize, const char *text, const char *context, TextKind kind) const
    {
        table.Translate(out, outSize, text, context, kind);
    }

    bool IsRightToLeft = false;

private:
    bool ReadTable(const char *path);
    void DetectDirection();

    LanguageTable table;
};

extern LanguageResources g_language;


// The language file "uninstall.lng" beside the program, read into the language table.
//
// Keys are the CRC-32 of the native texts in code page 936, the edition's own, whatever code
// page this process runs in; a file made for another system's code page is keyed over that
// one, which is tried second. Translations are written in the system's ANSI code page (or in
// UTF-8 after a byte-order mark) and are converted to the process's code page when used.
#pragma once

#include "lang/language_table.h"

#include <windows.h>

// The code page the edition's texts are written in, and keyed over.
constexpr UINT kNativeCodePage = 936;

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
    // The translation of a native text, in the process's code page, written to out (outSize
    // bytes) only when there is one: true then. text is the native text in the process's code
    // page; wide, when not null, the same text in UTF-16, which keeps what the process's code
    // page cannot hold. A translation is first cut to
    // limit bytes in the file's code page, between characters; outSize = Converted(limit)
    // then holds it whole once converted. out may be text's own buffer.
    bool Find(char *out, size_t outSize, size_t limit, const char *text, const WCHAR *wide, const char *context,
              TextKind kind) const;
    // The dialog's size entry ("120*110") as Find gives it, within the size entry's limit:
    // looked up as the empty text in the dialog's context.
    bool FindSizeEntry(char *out, size_t outSize, const char *dialogName) const;
    // Writes the translation of text (or the text itself) to out, which holds outSize bytes,
    // also its limit, and may be text's own buffer. Never cuts inside a character.
    void Translate(char *out, size_t outSize, const char *text, const char *context, TextKind kind) const;
    bool IsRightToLeft = false;

private:
    bool ReadTable(const char *path);
    // The direction entry, "RTL" for a language written right to left: looked up as the text
    // "LTR" in the context "LTR".
    bool FindDirectionEntry(char *out, size_t outSize) const;
    void DetectDirection();

    DbcsTable fileBytes; // before the table, which refers to it
    UINT fileCodePage = 0;
    UINT keyCodePages[2] = {}; // tried in this order; 0: none
    LanguageTable table;
};

extern LanguageResources g_language;

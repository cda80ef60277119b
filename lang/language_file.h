// The language table "uninstall.lng": native texts mapped to translations by CRC-32 key.
#pragma once

#include <stddef.h>

enum class TextKind : char {
    MessageText = 's',
    DialogText = '$',
};

class LanguageResources {
public:
    LanguageResources() = default;
    ~LanguageResources();
    LanguageResources(const LanguageResources &) = delete;
    LanguageResources &operator=(const LanguageResources &) = delete;

    // Reads the table; a bare name is looked for beside the program. Failures leave no table.
    void Load(const char *fileName);
    bool IsLoaded() const { return data != nullptr; }
    // Writes the translation of text (or the text itself) to out, which holds outSize bytes
    // and may be text's own buffer. Never cuts inside a double-byte character.
    void Translate(char *out, size_t outSize, const char *text, const char *context, TextKind kind) const;

    bool IsRightToLeft = false;

private:
    char *data = nullptr;
    int length = 0;
};

extern LanguageResources g_language;

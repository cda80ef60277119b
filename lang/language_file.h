// The language table "uninstall.lng": native texts mapped to translations by CRC-32 key.
#pragma once

#include "lang/array.h"

#include <stddef.h>

enum class TextKind : char {
    MessageText = 's',
    DialogText = '$',
};

// Limits of the file format, shared with the translator's kit.
constexpr long long kMarkerSearchLimit = 523264; // last offset at which the marker is found
constexpr int kMarkerReadSize = 8192;
constexpr int kMarkerOverlap = 16;
constexpr int kTableTextLimit = 131072;
constexpr int kEntryTailLimit = 255; // bytes taken from a last line without line end
constexpr char kTableMarker[] = "***messages***"; // as a template writes it
constexpr char kMarkerBytes[] = "***messages**";  // the 13 bytes the search looks for
// Buffers that receive translations.
constexpr size_t kWindowTextSize = 1024;
constexpr size_t kSizeEntrySize = 512;
constexpr size_t kDirectionSize = 1024;

// Standard reflected CRC-32 (zlib's): start with 0, feed pieces, the result is final.
unsigned Crc32(unsigned crc, const void *data, size_t size);
// The 8 lower-case hex digits that key a text of that kind in that context (may be null).
void LanguageKey(char key[9], const char *text, const char *context, TextKind kind);
// Replaces escapes in place and turns CR and LF into form feeds; returns the new length.
int UnescapeTable(char *text, int length);
// Copies at most n bytes of src, cut at a character boundary to fit size bytes; terminates.
void CopyChars(char *out, size_t size, const char *src, size_t n);

class LanguageResources {
public:
    LanguageResources() = default;
    ~LanguageResources() { delete[] data; }
    LanguageResources(const LanguageResources &) = delete;
    LanguageResources &operator=(const LanguageResources &) = delete;

    // Reads the table; a bare name is looked for beside the program. Failures leave no
    // table. Then decides the layout direction. Replaces any table loaded before.
    void Load(const char *fileName);
    bool IsLoaded() const { return data != nullptr; }
    // Writes the translation of text (or the text itself) to out, which holds outSize bytes
    // and may be text's own buffer. Never cuts inside a double-byte character.
    void Translate(char *out, size_t outSize, const char *text, const char *context, TextKind kind) const;

    bool IsRightToLeft = false;

private:
    bool ReadTable(const char *path);
    void BuildIndex();
    const char *FindEntry(const char *key) const;
    void DetectDirection();

    char *data = nullptr;
    int length = 0;
    Array<int> index;
};

extern LanguageResources g_language;

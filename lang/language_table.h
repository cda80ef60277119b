// The language table: the text of "uninstall.lng" from its marker on, unescaped, indexed
// and looked up by CRC-32 key. Pure: reading the file is the caller's business.
#pragma once

#include "support/array.h"
#include "support/dbcs_table.h"
#include "support/text_sizes.h"

#include <stddef.h>
#include <string.h>

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
inline constexpr char kTableMarker[] = "***messages***"; // as a template writes it
inline constexpr char kMarkerBytes[] = "***messages**";  // the 13 bytes the search looks for
// Bytes a translation may take in its file, terminator included: the sizes of the buffers
// that received translations before they were converted, and what the kit measures against.
constexpr size_t kWindowTextSize = 1024;
constexpr size_t kSizeEntrySize = 512;
constexpr size_t kDirectionSize = 1024;

// An entry is a line of the key's lower-case hexadecimal digits, "=", a double quote and the
// translation, which ends at the line's last double quote.
constexpr size_t kKeyDigits = 8;
constexpr size_t kKeySize = kKeyDigits + 1;        // a key as text, with its terminator
constexpr size_t kEntryTextStart = kKeyDigits + 2; // after the key, "=" and the opening quote

// Standard reflected CRC-32 (zlib's): start with 0, feed pieces, the result is final.
unsigned Crc32(unsigned crc, const void *data, size_t size);
// The lower-case hex digits that key a text of that kind in that context (may be null).
void LanguageKey(char (&key)[kKeySize], const char *text, const char *context, TextKind kind);
// Offset of the marker in bytes read, among the offsets that have 16 bytes from there to the
// end of what was read; -1 when there is none.
inline int MarkerOffset(const char *bytes, int count)
{
    for (int i = 0; i <= count - kMarkerOverlap; ++i)
        if (memcmp(bytes + i, kMarkerBytes, sizeof kMarkerBytes - 1) == 0)
            return i;
    return -1;
}
// Replaces escapes in place and turns CR and LF into form feeds; returns the new length.
int UnescapeTable(char *text, int length);
// Copies the whole characters among the first n bytes of src that fit in size bytes, so a
// character is never copied without all its bytes; terminates.
void CopyChars(char *out, size_t size, const char *src, size_t n, const DbcsTable &codePage);

class LanguageTable {
public:
    explicit constexpr LanguageTable(const DbcsTable &codePage) : codePage(codePage) {}
    ~LanguageTable() { delete[] data; }
    LanguageTable(const LanguageTable &) = delete;
    LanguageTable &operator=(const LanguageTable &) = delete;

    // Takes the table text read from the marker on: count bytes (at most the text limit) in
    // a buffer allocated with new[] that holds at least one byte more. Only while cleared.
    void Adopt(char *text, int count);
    void Clear();
    bool IsLoaded() const { return data != nullptr; }
    // The line of the entry with that key ("key=\"..."), or null. Only while loaded.
    const char *FindEntry(const char key[kKeySize]) const;
    // The translation of an entry line, cut at a character boundary to fit outSize bytes.
    void CopyTranslation(char *out, size_t outSize, const char *entry) const;
    // Writes the translation of text (or the text itself) to out, which holds outSize bytes
    // and may be text's own buffer. Never cuts inside a character.
    void Translate(char *out, size_t outSize, const char *text, const char *context, TextKind kind) const;

private:
    void BuildIndex();

    const DbcsTable &codePage;
    char *data = nullptr;
    int length = 0;
    Array<int> index;
};

// Byte classes of an ANSI code page, given to the parsers that must not split a character.
#pragma once

#include <stddef.h>

struct DbcsTable {
    bool lead[256];   // lead bytes of double-byte characters (UTF-8 has none: see utf8)
    bool multiByte;   // the code page has characters of more than one byte
    bool (*isLetter)(char c); // letters, as the user interface classifies them
    bool utf8;        // characters are UTF-8 sequences of one to four bytes

    bool IsLead(char c) const { return multiByte && lead[static_cast<unsigned char>(c)]; }
    bool IsLetter(char c) const { return isLetter(c); }
    // Bytes of the character that starts at text, of which n bytes (at least one) are there;
    // more than n when the text ends inside it. A byte whose trail bytes are not there (a
    // zero or any other byte in their place), or that starts no character, is one of its own.
    size_t CharBytes(const char *text, size_t n) const;
};

// A UTF-8 lead byte (C2 to F4) and the continuation bytes (80 to BF) it announces. Overlong
// forms and surrogates count as characters too: cuts never split them, conversions refuse them.
inline size_t Utf8CharBytes(const char *text, size_t n)
{
    unsigned char b = static_cast<unsigned char>(text[0]);
    size_t length = b >= 0xC2 && b <= 0xDF ? 2 : b >= 0xE0 && b <= 0xEF ? 3 : b >= 0xF0 && b <= 0xF4 ? 4 : 1;
    for (size_t i = 1; i < length; ++i) {
        if (i >= n)
            return length;
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80)
            return 1;
    }
    return length;
}

inline size_t DbcsTable::CharBytes(const char *text, size_t n) const
{
    if (utf8)
        return Utf8CharBytes(text, n);
    if (!IsLead(text[0]))
        return 1;
    return n < 2 ? 2 : text[1] != '\0' ? 2 : 1;
}

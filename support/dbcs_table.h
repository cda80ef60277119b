// Byte classes of an ANSI code page, given to the parsers that must not split a character.
#pragma once

struct DbcsTable {
    bool lead[256];   // lead bytes of double-byte characters
    bool multiByte;   // the code page has characters of more than one byte
    bool (*isLetter)(char c); // letters, as the user interface classifies them
    bool IsLead(char c) const { return multiByte && lead[static_cast<unsigned char>(c)]; }
    bool IsLetter(char c) const { return isLetter(c); }
};

// Byte classes of the two code pages the program is tested under, written out by hand.
#pragma once

#include "support/dbcs_table.h"

// Simplified Chinese (936): lead bytes 0x81 to 0xFE; letters are the ASCII ones.
const DbcsTable &Cp936();
// Western (1252): no lead bytes; letters are the ASCII ones and the accented ones.
const DbcsTable &Cp1252();
// UTF-8 (65001): sequences of one to four bytes, no lead bytes of the double-byte kind;
// letters are the ASCII ones.
const DbcsTable &Utf8();

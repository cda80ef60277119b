#include "code_pages.h"

#include <initializer_list>

static bool IsAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

static bool IsWesternLetter(char c)
{
    unsigned char v = static_cast<unsigned char>(c);
    if (IsAsciiLetter(c) || (v >= 0xC0 && v != 0xD7 && v != 0xF7))
        return true;
    for (unsigned char l : {0x83, 0x8A, 0x8C, 0x8E, 0x9A, 0x9C, 0x9E, 0x9F, 0xAA, 0xB5, 0xBA})
        if (v == l)
            return true;
    return false;
}

const DbcsTable &Cp936()
{
    static const DbcsTable table = [] {
        DbcsTable t = {};
        t.multiByte = true;
        for (int v = 0x81; v <= 0xFE; ++v)
            t.lead[v] = true;
        t.isLetter = IsAsciiLetter;
        return t;
    }();
    return table;
}

const DbcsTable &Cp1252()
{
    static const DbcsTable table = [] {
        DbcsTable t = {};
        t.isLetter = IsWesternLetter;
        return t;
    }();
    return table;
}

const DbcsTable &Utf8()
{
    static const DbcsTable table = [] {
        DbcsTable t = {};
        t.multiByte = true;
        t.utf8 = true;
        t.isLetter = IsAsciiLetter;
        return t;
    }();
    return table;
}

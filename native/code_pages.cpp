#include "code_pages.h"

#include <initializer_list>

static void AsciiLetters(DbcsTable &t)
{
    for (int v = 'A'; v <= 'Z'; ++v)
        t.letter[v] = t.letter[v + 32] = true;
}

const DbcsTable &Cp936()
{
    static const DbcsTable table = [] {
        DbcsTable t = {};
        t.multiByte = true;
        for (int v = 0x81; v <= 0xFE; ++v)
            t.lead[v] = true;
        AsciiLetters(t);
        return t;
    }();
    return table;
}

const DbcsTable &Cp1252()
{
    static const DbcsTable table = [] {
        DbcsTable t = {};
        AsciiLetters(t);
        for (int v : {0x83, 0x8A, 0x8C, 0x8E, 0x9A, 0x9C, 0x9E, 0x9F, 0xAA, 0xB5, 0xBA})
            t.letter[v] = true;
        for (int v = 0xC0; v <= 0xFF; ++v)
            t.letter[v] = v != 0xD7 && v != 0xF7;
        return t;
    }();
    return table;
}

#include <gtest/gtest.h>

#include "support/file_encoding.h"

#include <string>

// A file is UTF-8 after its byte-order mark; else in the system's code page, but where that
// is UTF-8 and the text is not well-formed UTF-8, in the legacy one (here 1252) it was made in.
// Only the end of a prefix read may cut a character, and only one well-formed so far.
TEST(FileEncoding, CodePageFromTheMarkAndTheText)
{
    constexpr TextEnd kFile = TextEnd::File, kPrefix = TextEnd::Prefix;
    struct {
        std::string text;
        TextEnd end;
        unsigned system, codePage;
    } rows[] = {
        {"\xEF\xBB\xBF" "caf\xE9", kFile, 1252, 65001}, {"caf\xC3\xA9", kFile, 1252, 1252}, // mark, system
        {"caf\xE9", kFile, 65001, 1252}, {"", kFile, 65001, 65001},
        {"\xE5\xB7\xA5\xE5\x85\xB7", kFile, 65001, 65001},                                   // CJK
        {"\xC2\x80\xED\x9F\xBF\xEF\xBF\xBF\xF0\x90\x80\x80\xF4\x8F\xBF\xBF", kFile, 65001, 65001}, // range ends
        {"\xC0\xAF", kFile, 65001, 1252}, {"\xE0\x9F\xBF", kFile, 65001, 1252},               // overlong
        {"\xF0\x8F\xBF\xBF", kFile, 65001, 1252}, {"\xED\xA0\x80", kFile, 65001, 1252},       // and a surrogate
        {"\xF4\x90\x80\x80", kFile, 65001, 1252}, {"\xF5\x80\x80\x80", kFile, 65001, 1252},   // past U+10FFFF
        {"a\x80", kFile, 65001, 1252}, {"\xE5\xB7" "a", kPrefix, 65001, 1252},                // stray, missing
        {"ab\xE5\xB7", kPrefix, 65001, 65001}, {"ab\xF0\x9F\x98", kPrefix, 65001, 65001},     // cut by a prefix
        {"ab\xE5\xB7", kFile, 65001, 1252},                                                   // by the file's end
        {"ab\xE0\x9F", kPrefix, 65001, 1252}, {"ab\xED\xA0", kPrefix, 65001, 1252},           // bad before the cut
    };
    for (const auto &r : rows)
        EXPECT_EQ(DetectCodePage(StartsWithUtf8Mark(r.text.data(), r.text.size()), r.text.data(), r.text.size(),
                                 r.end, r.system, 1252),
                  r.codePage)
            << testing::PrintToString(r.text);
}

#include <gtest/gtest.h>

#include "code_pages.h"
#include "lang/language_table.h"

#include <string.h>

#include <memory>
#include <string>

static const std::string kMarker = "***messages***";

static std::string Key(const std::string &text, const char *context = nullptr, TextKind kind = TextKind::MessageText)
{
    char key[9];
    LanguageKey(key, text.c_str(), context, kind);
    return key;
}

static std::string Entry(const std::string &text, const std::string &translation)
{
    return Key(text) + "=\"" + translation + "\"\r\n";
}

// A table holding the text as the program reads it from the marker on.
static std::unique_ptr<LanguageTable> Table(const std::string &text, const DbcsTable &cp = Cp1252())
{
    auto table = std::make_unique<LanguageTable>(cp);
    char *copy = new char[text.size() + 1];
    memcpy(copy, text.data(), text.size());
    table->Adopt(copy, static_cast<int>(text.size()));
    return table;
}

static std::string Translated(const LanguageTable &table, const std::string &text, size_t size = 512)
{
    std::string out(size, '\x7F');
    table.Translate(&out[0], size, text.c_str(), nullptr, TextKind::MessageText);
    return out.c_str();
}

// Keys computed independently with Python: "%08x" % zlib.crc32(prefix + context + text),
// the text encoded in code page 936 (gbk) or 1252.
TEST(LanguageKeys, AgreeWithZlibCrc32)
{
    EXPECT_EQ(Key("", "SETUPDLG", TextKind::DialogText), "9b889d24");
    EXPECT_EQ(Key("LTR", "LTR", TextKind::DialogText), "50a17ae8");
    EXPECT_EQ(Key("\xD0\xB6\xD4\xD8 Quibex"), "4ad1b768");          // "卸载 Quibex" in 936
    EXPECT_EQ(Key("D\xE9sinstaller"), "3055d219");                   // "Désinstaller" in 1252
    EXPECT_EQ(Key("Loc title", "LOCTEST", TextKind::DialogText), "ef68355c");
    EXPECT_EQ(Key("digits17"), "28712568");
    EXPECT_EQ(Crc32(0, "123456789", 9), 0xCBF43926u);               // the CRC-32 check value
    EXPECT_EQ(Crc32(Crc32(0, "1234", 4), "56789", 5), 0xCBF43926u); // fed in pieces
}

TEST(LanguageTable, MarkerNeedsSixteenBytesFromItsStart)
{
    std::string bytes = "xx**" + kMarker + "\r\n";
    EXPECT_EQ(MarkerOffset(bytes.data(), static_cast<int>(bytes.size())), 4);
    EXPECT_EQ(MarkerOffset(bytes.data(), static_cast<int>(bytes.size()) - 1), -1);
    EXPECT_EQ(MarkerOffset("**messages**\r\nand more text", 26), -1) << "two asterisks are no marker";
}

TEST(LanguageTable, EscapesQuotesAndLineEnds)
{
    auto table = Table(kMarker + "\n" + Entry("esc", "a\\nb\\tc\\\"d\\\\e\\rf\\xg") +
                       Entry("quotes", "say \"hi\" now") + Key("open") + "=\"no closing quote\r\n" +
                       Key("tail") + "=\"trailing\" comment after\r\n" + Entry("empty", "") + "\x0C\r\n\r\n" +
                       Entry("ff", "after form feeds") + Entry("last", "no line end").substr(0, 22));
    EXPECT_EQ(Translated(*table, "esc"), "a\nb\tc\"d\\e\rf\\xg");
    EXPECT_EQ(Translated(*table, "quotes"), "say \"hi\" now");
    EXPECT_EQ(Translated(*table, "open"), "no closing quote\x0C");
    EXPECT_EQ(Translated(*table, "tail"), "trailing");
    EXPECT_EQ(Translated(*table, "empty"), "");
    EXPECT_EQ(Translated(*table, "ff"), "after form feeds");
    EXPECT_EQ(Translated(*table, "last"), "no line end");
}

TEST(LanguageTable, KeysAreLowerCaseAndLinesNeedEqualsAndQuote)
{
    std::string upper = Key("upper0"); // fc22ebfa
    for (char &c : upper)
        c = static_cast<char>(toupper(c));
    auto table = Table(kMarker + "\r\n" + upper + "=\"upper\"\r\n" + Entry("digits17", "digits only") + Key("nokey") +
                       " \"spaced\"\r\n" + Key("dup") + "=x\r\n" + Entry("dup", "the entry") + Key("short"));
    EXPECT_EQ(Translated(*table, "upper0"), "upper0");
    EXPECT_EQ(Translated(*table, "digits17"), "digits only");
    EXPECT_EQ(Translated(*table, "nokey"), "nokey");
    EXPECT_EQ(Translated(*table, "dup"), "the entry") << "a line with the key that is no entry is passed over";
    EXPECT_EQ(Translated(*table, "short"), "short") << "a key at the very end of the text";
}

// Entries are found through the index alone: one left out of it, or out of order, is missed.
TEST(LanguageTable, ManyEntriesAreFoundThroughTheIndex)
{
    std::string body = Entry("first", "on the first line");
    for (int i = 499; i >= 0; --i)
        body += Entry("text " + std::to_string(i), "translation " + std::to_string(i));
    for (int i = 0; i < 500; i += 7)
        body += Entry("text " + std::to_string(i), "a later entry");
    auto table = Table(body);
    EXPECT_EQ(Translated(*table, "first"), "on the first line");
    for (int i = 0; i < 500; ++i)
        ASSERT_EQ(Translated(*table, "text " + std::to_string(i)), "translation " + std::to_string(i))
            << "of two entries with one key the first counts";
}

TEST(LanguageTable, LongTranslationsAreCutToTheirBuffer)
{
    auto table = Table(kMarker + "\r\n" + Entry("long", std::string(600, 'a')) + Entry("small", "12345") +
                       Key("lastlong") + "=\"" + std::string(300, 'x'));
    EXPECT_EQ(Translated(*table, "long"), std::string(511, 'a'));
    EXPECT_EQ(Translated(*table, "long", 1024), std::string(600, 'a'));
    EXPECT_EQ(Translated(*table, "small", 6), "12345");
    EXPECT_EQ(Translated(*table, "small", 5), "1234");
    EXPECT_EQ(Translated(*table, "lastlong", 1024), std::string(255, 'x'));
}

// Cuts fall between characters under each code page: "中" is two bytes in 936, three in UTF-8.
TEST(LanguageTable, CutsBetweenCharacters)
{
    struct {
        const DbcsTable &cp;
        std::string zhong;
    } pages[] = {{Cp936(), "\xD6\xD0"}, {Utf8(), "\xE4\xB8\xAD"}};
    for (const auto &page : pages) {
        std::string chars;
        for (int i = 0; i < 300; ++i)
            chars += page.zhong;
        size_t w = page.zhong.size();
        std::string half = page.zhong.substr(0, w - 1);
        auto table = Table(kMarker + "\r\n" + Entry("whole", "a" + chars) + Entry("shifted", "ab" + chars) +
                               Entry("lone", "ab" + half) + Key("tail") + "=\"ab" + chars,
                           page.cp);
        size_t fit = (511 - 1) / w * w; // the characters after "a" that fit in 511 bytes
        SCOPED_TRACE(w);
        EXPECT_EQ(Translated(*table, "whole"), "a" + chars.substr(0, fit));
        EXPECT_EQ(Translated(*table, "shifted"), "ab" + chars.substr(0, (511 - 2) / w * w));
        EXPECT_EQ(Translated(*table, "shifted", 2 + w), "ab") << "no part of a character at the end";
        EXPECT_EQ(Translated(*table, "shifted", 3 + w), "ab" + page.zhong) << "a character that fits exactly";
        EXPECT_EQ(Translated(*table, "lone"), "ab") << "part of a character before the quote";
        EXPECT_EQ(Translated(*table, "tail", 1024), "ab" + chars.substr(0, (255 - 2) / w * w))
            << "255 bytes of a last line end inside a character";
        // Without an entry the text itself is copied, cut the same way.
        EXPECT_EQ(Translated(*table, "ab" + chars, 3 + w), "ab" + page.zhong);
        EXPECT_EQ(Translated(*table, "ab" + chars, 2 + w), "ab");
    }
    // Under a single-byte code page every byte is a character.
    auto western = Table(kMarker + "\r\n" + Entry("lone", "ab\xD6"));
    EXPECT_EQ(Translated(*western, "lone"), "ab\xD6");
}

// A UTF-8 character is its lead byte and the continuation bytes it announces; a byte that
// starts no character, or whose continuation bytes are not all there, stands alone, so a cut
// there splits nothing that was a character. Overlong forms and surrogates are kept whole.
TEST(Utf8, CharactersAndBytesThatStandAlone)
{
    struct {
        std::string bytes;
        size_t width;
    } rows[] = {
        {"a", 1},          {"\xC3\xA9", 2},      {"\xE4\xB8\xAD", 3}, {"\xF0\x9F\x98\x80", 4},
        {"\xEF\xBF\xBF", 3}, {"\xF4\x8F\xBF\xBF", 4}, // U+FFFF and U+10FFFF
        {"\xED\xA0\x80", 3}, {"\xE0\x9F\xBF", 3},   // a surrogate, an overlong form: one unit
        {"\x80", 1},       {"\xBF", 1},          // continuation bytes alone
        {"\xC0\xAF", 1},   {"\xC1\xBF", 1},      // C0 and C1 start nothing
        {"\xF5\x80\x80\x80", 1}, {"\xFF", 1},    // nor do F5 to FF
        {"\xE4" "a", 1}, {"\xE4\xB8" "a", 1}, {"\xE4\xB8\xC3\xA9", 1}, // continuation bytes replaced
        {std::string("\xE4\0", 2), 1},           // the terminator is no continuation byte
    };
    for (const auto &r : rows)
        EXPECT_EQ(Utf8().CharBytes(r.bytes.data(), r.bytes.size()), r.width) << testing::PrintToString(r.bytes);
    // Cut short by the end of what is there: as wide as announced, so it does not fit.
    EXPECT_EQ(Utf8().CharBytes("\xE4\xB8", 2), 3u);
    EXPECT_EQ(Utf8().CharBytes("\xF0\x9F\x98", 3), 4u);
    // A lead byte of 936 before the terminator is one byte, as before.
    EXPECT_EQ(Cp936().CharBytes("\xD6", 1), 2u);
    EXPECT_EQ(Cp936().CharBytes(std::string("\xD6\0", 2).data(), 2), 1u);
    EXPECT_EQ(Cp936().CharBytes("\xD6\\", 2), 2u) << "a trail byte may be a backslash";
}

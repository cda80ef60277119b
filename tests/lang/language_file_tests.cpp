#include <gtest/gtest.h>

#include "common/test_util.h"
#include "lang/language_file.h"
#include "lang/messages.h"
#include "res/resource.h"
#include "support/text.h"

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

static std::string Translated(const LanguageResources &table, const std::string &text,
                              size_t size = 512, const char *context = nullptr,
                              TextKind kind = TextKind::MessageText)
{
    std::string out(size, '\x7F');
    table.Translate(&out[0], size, text.c_str(), context, kind);
    return out.c_str();
}

class LanguageFile : public ::testing::Test {
protected:
    LanguageFile() : dir_("lngfile") {}
    // Writes the bytes as a language file and loads it into table_.
    void LoadBytes(const std::string &bytes)
    {
        ASSERT_TRUE(WriteFileBytes(path(), bytes));
        table_.Load(path().c_str());
    }
    std::string path() const { return dir_ / "uninstall.lng"; }
    TempDir dir_;
    LanguageResources table_;
};

// Keys computed independently with Python: "%08x" % zlib.crc32(prefix + context + text),
// the text encoded in code page 936 (gbk) or 1252.
TEST(LanguageKeys, AgreeWithZlibCrc32)
{
    EXPECT_EQ(Key("", "SETUPDLG", TextKind::DialogText), "9b889d24");
    EXPECT_EQ(Key("LTR", "LTR", TextKind::DialogText), "50a17ae8");
    EXPECT_EQ(Key("\xD0\xB6\xD4\xD8 Quibex"), "4ad1b768");          // "卸载 Quibex" in 936
    EXPECT_EQ(Key("D\xE9sinstaller"), "3055d219");                   // "Désinstaller" in 1252
    EXPECT_EQ(Key("Loc title", "LOCTEST", TextKind::DialogText), "ef68355c");
    EXPECT_EQ(Crc32(0, "123456789", 9), 0xCBF43926u);               // the CRC-32 check value
    EXPECT_EQ(Crc32(Crc32(0, "1234", 4), "56789", 5), 0xCBF43926u); // fed in pieces
}

TEST_F(LanguageFile, MissingFileLeavesTextsAlone)
{
    table_.Load((dir_ / "absent.lng").c_str());
    EXPECT_FALSE(table_.IsLoaded());
    EXPECT_FALSE(table_.IsRightToLeft);
    EXPECT_EQ(Translated(table_, "hello"), "hello");
    char text[16] = "in place";
    table_.Translate(text, sizeof text, text, nullptr, TextKind::MessageText);
    EXPECT_STREQ(text, "in place");
}

TEST_F(LanguageFile, TranslatesTextsOfBothCodePagesByTheirBytes)
{
    LoadBytes("Anything before the table\r\n" + kMarker + "\r\n4ad1b768=\"Uninstall Quibex\"\r\n"
              "3055d219=\"Uninstall (fr)\"\n" +
              Key("Loc title", "LOCTEST", TextKind::DialogText) + "=\"Dialog title\"\r\n");
    ASSERT_TRUE(table_.IsLoaded());
    EXPECT_EQ(Translated(table_, "\xD0\xB6\xD4\xD8 Quibex"), "Uninstall Quibex");
    EXPECT_EQ(Translated(table_, "D\xE9sinstaller"), "Uninstall (fr)");
    EXPECT_EQ(Translated(table_, "Loc title", 1024, "LOCTEST", TextKind::DialogText), "Dialog title");
    // Same text, other kind or context: another key.
    EXPECT_EQ(Translated(table_, "Loc title", 1024, "OTHER", TextKind::DialogText), "Loc title");
    EXPECT_EQ(Translated(table_, "Loc title"), "Loc title");
}

TEST_F(LanguageFile, MarkerSearchLimits)
{
    std::string tail = "\r\n" + Entry("k", "found") + "padding padding\r\n";
    LoadBytes(std::string(523264, 'x') + kMarker + tail);
    EXPECT_TRUE(table_.IsLoaded()) << "marker at the last offset searched";
    EXPECT_EQ(Translated(table_, "k"), "found");
    LoadBytes(std::string(523265, 'x') + kMarker + tail);
    EXPECT_FALSE(table_.IsLoaded()) << "marker one byte later";
    // A marker straddling two reads of the search.
    LoadBytes(std::string(8192 - 5, '*') + kMarker + tail);
    EXPECT_EQ(Translated(table_, "k"), "found");

    LoadBytes(kMarker); // fewer than 16 bytes from the marker on
    EXPECT_FALSE(table_.IsLoaded());
    LoadBytes("header\r\n" + kMarker + "\r"); // 15 bytes
    EXPECT_FALSE(table_.IsLoaded());
    LoadBytes(kMarker + "\r\n"); // exactly 16: a table without entries
    EXPECT_TRUE(table_.IsLoaded());
    EXPECT_EQ(Translated(table_, "k"), "k");
    LoadBytes("**messages**\r\n" + Entry("k", "found") + "and more text here");
    EXPECT_FALSE(table_.IsLoaded()) << "two asterisks are no marker";
}

TEST_F(LanguageFile, TextBeyond128KiBIsIgnoredAndCutEntriesKeepTheirStart)
{
    std::string head = kMarker + "\r\n" + Entry("early", "early one");
    std::string filler;
    while (head.size() + filler.size() < 131072 - 40)
        filler += "; filler line of comment text\r\n";
    filler.resize(131072 - 20 - head.size(), ';');
    filler += "\r\n";
    std::string cut = Key("cut") + "=\"abcdefghijklmnopqrstuvwxyz\"\r\n"; // starts 18 bytes before the limit
    LoadBytes(head + filler + cut + Entry("late", "late one"));
    ASSERT_TRUE(table_.IsLoaded());
    EXPECT_EQ(Translated(table_, "early"), "early one");
    EXPECT_EQ(Translated(table_, "cut"), "abcdefgh");
    EXPECT_EQ(Translated(table_, "late"), "late");
}

TEST_F(LanguageFile, EscapesQuotesAndLineEnds)
{
    LoadBytes(kMarker + "\n" + Entry("esc", "a\\nb\\tc\\\"d\\\\e\\rf\\xg") +
              Entry("quotes", "say \"hi\" now") + Key("open") + "=\"no closing quote\r\n" +
              Key("tail") + "=\"trailing\" comment after\r\n" + Entry("empty", "") + "\x0C\r\n\r\n" +
              Entry("ff", "after form feeds") + Entry("last", "no line end").substr(0, 22));
    EXPECT_EQ(Translated(table_, "esc"), "a\nb\tc\"d\\e\rf\\xg");
    EXPECT_EQ(Translated(table_, "quotes"), "say \"hi\" now");
    EXPECT_EQ(Translated(table_, "open"), "no closing quote\x0C");
    EXPECT_EQ(Translated(table_, "tail"), "trailing");
    EXPECT_EQ(Translated(table_, "empty"), "");
    EXPECT_EQ(Translated(table_, "ff"), "after form feeds");
    EXPECT_EQ(Translated(table_, "last"), "no line end");
}

TEST_F(LanguageFile, KeysAreLowerCaseAndLinesNeedEqualsAndQuote)
{
    std::string upper = Key("upper0"); // fc22ebfa
    for (char &c : upper)
        c = static_cast<char>(toupper(c));
    LoadBytes(kMarker + "\r\n" + upper + "=\"upper\"\r\n" + Entry("digits17", "digits only") + Key("nokey") +
              " \"spaced\"\r\n" + Key("dup") + "=x\r\n" + Entry("dup", "the entry") + Key("short"));
    EXPECT_EQ(Key("digits17"), "28712568");
    EXPECT_EQ(Translated(table_, "upper0"), "upper0");
    EXPECT_EQ(Translated(table_, "digits17"), "digits only");
    EXPECT_EQ(Translated(table_, "nokey"), "nokey");
    EXPECT_EQ(Translated(table_, "dup"), "the entry") << "a line with the key that is no entry is passed over";
    EXPECT_EQ(Translated(table_, "short"), "short") << "a key at the very end of the text";
}

TEST_F(LanguageFile, LongTranslationsAreCutToTheirBuffer)
{
    std::string longText(300, 'x');
    LoadBytes(kMarker + "\r\n" + Entry("long", std::string(600, 'a')) + Entry("small", "12345") + Key("lastlong") + "=\"" + longText);
    EXPECT_EQ(Translated(table_, "long"), std::string(511, 'a'));
    EXPECT_EQ(Translated(table_, "long", 1024), std::string(600, 'a'));
    EXPECT_EQ(Translated(table_, "small", 6), "12345");
    EXPECT_EQ(Translated(table_, "small", 5), "1234");
    EXPECT_EQ(Translated(table_, "lastlong", 1024), std::string(255, 'x'));
}

TEST_F(LanguageFile, CutsBetweenDoubleByteCharacters)
{
    if (!g_dbcs.multiByte)
        GTEST_SKIP() << "needs a double-byte code page";
    std::string zhong = Acp(u8"中");
    ASSERT_EQ(zhong.size(), 2u);
    std::string chars;
    for (int i = 0; i < 300; ++i)
        chars += zhong;
    LoadBytes(kMarker + "\r\n" + Entry("odd", "a" + chars) + Entry("even", "ab" + chars));
    EXPECT_EQ(Translated(table_, "odd"), "a" + chars.substr(0, 510)) << "511 bytes fit exactly";
    EXPECT_EQ(Translated(table_, "even"), "ab" + chars.substr(0, 508)) << "no half character at the end";
    EXPECT_EQ(Translated(table_, "even", 4), "ab");
    // Without a table the copy is cut the same way.
    LanguageResources none;
    EXPECT_EQ(Translated(none, "ab" + chars, 5), "ab" + zhong);
}

TEST_F(LanguageFile, DirectionFromTheTable)
{
    std::string key = Key("LTR", "LTR", TextKind::DialogText);
    LoadBytes(kMarker + "\r\n" + key + "=\"RTL\"\r\n");
    EXPECT_TRUE(table_.IsRightToLeft);
    LoadBytes(kMarker + "\r\n" + key + "=\"rtl\"\r\n");
    EXPECT_FALSE(table_.IsRightToLeft);
    LoadBytes(kMarker + "\r\n" + key + "=\"RTL \"\r\n");
    EXPECT_FALSE(table_.IsRightToLeft);
    LoadBytes(kMarker + "\r\n" + Key("LTR") + "=\"RTL\"\r\n");
    EXPECT_FALSE(table_.IsRightToLeft) << "a message entry is not the direction entry";
}

TEST_F(LanguageFile, DirectionFromTheModulesRtlDialog)
{
    std::string fakeProgram = JoinPath(BuildDir(), "tests\\rtllng\\uninstall.exe");
    g_extResource.Load(GetModuleHandleA(nullptr), fakeProgram.c_str());
    ASSERT_TRUE(g_extResource.loaded);
    table_.Load((dir_ / "absent.lng").c_str());
    EXPECT_FALSE(table_.IsLoaded());
    EXPECT_TRUE(table_.IsRightToLeft);
    g_extResource.Unload();
    table_.Load((dir_ / "absent.lng").c_str());
    EXPECT_FALSE(table_.IsRightToLeft);
}

TEST(ArrayOfInt, GrowsByAQuarterAndThirtyTwo)
{
    Array<int> a;
    EXPECT_EQ(a.capacity, 0);
    a.Append(7);
    EXPECT_EQ(a.capacity, 32);
    for (int i = 1; i < 33; ++i)
        a.Append(i);
    EXPECT_EQ(a.count, 33);
    EXPECT_EQ(a.capacity, 32 + 8 + 32);
    for (int i = 33; i < 73; ++i)
        a.Append(i);
    EXPECT_EQ(a.capacity, 72 + 18 + 32);
    EXPECT_EQ(a[0], 7);
    EXPECT_EQ(a[72], 72);
}

// GetMsg takes the program's own text and translates it when a table is loaded, whatever
// the language module holds.
TEST_F(LanguageFile, GetMsgGoesThroughTheLoadedTable)
{
    std::string fakeProgram = JoinPath(BuildDir(), "tests\\testlng\\uninstall.exe");
    g_extResource.Load(GetModuleHandleA(nullptr), fakeProgram.c_str());
    ASSERT_TRUE(g_extResource.loaded);
    ASSERT_TRUE(WriteFileBytes(path(), kMarker + "\r\n" + Entry(Acp(u8"卸载 Quibex"), "Uninstall Quibex") +
                                           Entry(Acp(u8"确实要卸载 Quibex 吗?"), std::string(700, 'y'))));
    g_language.Load(path().c_str());
    EXPECT_STREQ(GetMsg(IDS_CAPTION), "Uninstall Quibex");
    EXPECT_EQ(std::string(GetMsg(IDS_CONFIRM_REMOVAL)), std::string(511, 'y'));
    EXPECT_EQ(std::string(GetMsg(IDS_REMOVAL_DONE)), Acp(u8"卸载已完成"))
        << "a text without an entry is the program's own, not the module's \"Module says done\"";
    g_extResource.Unload();
    g_language.Load((dir_ / "absent.lng").c_str());
    EXPECT_FALSE(g_language.IsLoaded());
}

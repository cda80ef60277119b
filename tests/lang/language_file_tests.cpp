#include <gtest/gtest.h>

#include "common/test_util.h"
#include "lang/language_file.h"
#include "lang/messages.h"
#include "res/resource.h"

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

static std::string Translated(const LanguageResources &table, const std::string &text)
{
    std::string out(512, '\x7F');
    table.Translate(&out[0], out.size(), text.c_str(), nullptr, TextKind::MessageText);
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

// Exactly "RTL" in the direction entry, byte for byte; a message entry of that text is another key.
TEST_F(LanguageFile, DirectionFromTheTable)
{
    std::string key = Key("LTR", "LTR", TextKind::DialogText);
    for (const auto &[entry, rtl] : {std::pair(key + "=\"RTL\"", true), std::pair(key + "=\"rtl\"", false),
                                     std::pair(key + "=\"RTL \"", false), std::pair(Key("LTR") + "=\"RTL\"", false)}) {
        LoadBytes(kMarker + "\r\n" + entry + "\r\n");
        EXPECT_EQ(table_.IsRightToLeft, rtl) << entry;
    }
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

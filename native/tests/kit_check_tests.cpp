#include <gtest/gtest.h>

#include "code_pages.h"
#include "lang/size_entry.h"
#include "table_check.h"

#include <string>
#include <vector>

TEST(SizeEntry, OnlyTwoWholePercentagesFrom50To400)
{
    struct Row {
        const char *entry;
        int h, v; // 0: ignored
    } rows[] = {
        {"120*110", 120, 110}, {"50*400", 50, 400}, {"0100*100", 100, 100}, {"400*50", 400, 50},
        {"49*100", 0, 0},      {"100*401", 0, 0},   {"0*0", 0, 0},          {"-50*100", 0, 0},
        {"abc*100", 0, 0},     {"120", 0, 0},       {"", 0, 0},             {" 120*110", 0, 0},
        {"120*110 ", 0, 0},    {"+120*110", 0, 0},  {"120.5*100", 0, 0},    {"120*110*90", 0, 0},
        {"99999999999999999999*100", 0, 0},
    };
    for (const Row &r : rows) {
        int h = -1, v = -1;
        bool taken = ParseSizeEntry(r.entry, &h, &v);
        EXPECT_EQ(taken, r.h != 0) << r.entry;
        EXPECT_EQ(h, taken ? r.h : -1) << r.entry;
        EXPECT_EQ(v, taken ? r.v : -1) << r.entry;
    }
}

static ProgramText Text(TextKind kind, const std::string &context, const std::string &native, size_t size)
{
    char key[9];
    LanguageKey(key, native.c_str(), context.empty() ? nullptr : context.c_str(), kind);
    return {kind, context, native, native, context + " " + native, size, key};
}

class KitCheck : public ::testing::Test {
protected:
    std::vector<ProgramText> texts = {
        Text(TextKind::DialogText, "KITDLG", "", kSizeEntrySize),
        Text(TextKind::DialogText, "LTR", "LTR", kDirectionSize),
        Text(TextKind::MessageText, "", "Plain message", 512),
        Text(TextKind::DialogText, "KITDLG", "Caption", kWindowTextSize),
    };
    // A file holding the four entries, each on its own line (lines 2 to 5).
    std::string File(const std::string &size, const std::string &direction, const std::string &message,
                     const std::string &caption)
    {
        std::string f = "***messages***\r\n";
        const std::string *values[] = {&size, &direction, &message, &caption};
        for (int i = 0; i < 4; ++i)
            f += texts[i].key + "=\"" + *values[i] + "\"\r\n";
        return f;
    }
    std::vector<std::string> Defects(const std::string &file, const DbcsTable &cp = Cp936())
    {
        return CheckTable(file, texts, cp).defects;
    }
};

TEST_F(KitCheck, CorrectFileReportsNothingAndIsReadAsWritten)
{
    // The trail byte 0x5C of "\x95\x5C" is doubled, as make writes it.
    std::string file = File("120*110", "RTL", "\xD6\xD0 \x95\x5C\x5C\\n", "\xD6\xD0\\\"x\\\"");
    TableCheck check = CheckTable(file, texts, Cp936());
    EXPECT_TRUE(check.defects.empty()) << check.defects[0];
    EXPECT_EQ(check.accepted[texts[2].key], "\xD6\xD0 \x95\x5C\n");
    EXPECT_EQ(check.accepted[texts[3].key], "\xD6\xD0\"x\"");
    EXPECT_EQ(check.accepted.size(), 4u);
}

TEST_F(KitCheck, ReportsEachNewDefectOnItsLine)
{
    struct Row {
        std::string file;
        std::string report;
    } rows[] = {
        {File("0*0", "LTR", "m", "c"), "line 2: size entry \"0*0\" is not two whole numbers from 50 to 400"},
        {File("abc*100", "LTR", "m", "c"), "line 2: size entry \"abc*100\""},
        {File("100*100", "rtl", "m", "c"), "line 3: direction entry \"rtl\" is neither LTR nor RTL"},
        {File("100*100", "LTR", "\x95\x5C" "n", "c"), "line 4: a double-byte character ends in a backslash"},
        {File("100*100", "LTR", "m", "ab\x95\x5C\""), "line 5: a double-byte character ends in a backslash"},
        {File("100*100", "LTR", "m", "\x95\x5C" "t"), "line 5: a double-byte character ends in a backslash"},
        {File("100*100", "LTR", "ab\xD6", "c"), "line 4: the translation ends in half a character"},
        {File("100*100", "LTR", "ab" + std::string(600, '\xD6'), "c"), "line 4: the cut at 511 bytes falls inside"},
        {"***messages***\r\n" + texts[2].key + "=\"ab" + std::string(300, '\xD6') + "\"",
         "line 2: the cut at 255 bytes falls inside a character"},
    };
    for (const Row &r : rows) {
        std::vector<std::string> defects = Defects(r.file);
        bool found = false;
        for (const std::string &d : defects)
            found = found || d.find(r.report) == 0;
        EXPECT_TRUE(found) << r.report << "\nfirst defect: " << (defects.empty() ? "none" : defects[0]);
    }
    // Under a single-byte code page none of the byte 0x5C cases is a character.
    EXPECT_TRUE(Defects(File("100*100", "LTR", "ab\x95\x5C", "\xD6"), Cp1252()).empty());
}

TEST_F(KitCheck, AnEntryTheProgramMayTakeIsNeverAcceptedBesideAnother)
{
    // The program takes the first line that starts with key="; a second one is a defect, and
    // the check vouches for neither, whichever lacks its closing quote.
    std::string file = File("100*100", "LTR", "first", "c") + texts[2].key + "=\"no closing quote\r\n";
    TableCheck check = CheckTable(file, texts, Cp936());
    EXPECT_EQ(check.accepted.count(texts[2].key), 0u);
    file = "***messages***\r\n" + texts[2].key + "=\"no closing quote\r\n" + File("100*100", "LTR", "m", "c").substr(16);
    check = CheckTable(file, texts, Cp936());
    EXPECT_EQ(check.accepted.count(texts[2].key), 0u);
}

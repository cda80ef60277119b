#include <gtest/gtest.h>

#include "code_pages.h"
#include "lang/size_entry.h"
#include "table_check.h"

#include <iconv.h>

#include <string>
#include <vector>

static std::string operator""_s(const char8_t *text, size_t n) { return std::string(reinterpret_cast<const char *>(text), n); }

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

// ConvertText's contract through iconv, which has no best-fit substitutes.
static int Convert(unsigned from, const char *text, size_t length, unsigned to, char *out, size_t size)
{
    auto name = [](unsigned cp) { return cp == kUtf8CodePage ? std::string("UTF-8") : "CP" + std::to_string(cp); };
    iconv_t cd = iconv_open(name(to).c_str(), name(from).c_str());
    char *in = const_cast<char *>(text), *o = out;
    size_t inLeft = length, outLeft = size - 1;
    bool ok = cd != reinterpret_cast<iconv_t>(-1) && iconv(cd, &in, &inLeft, &o, &outLeft) != static_cast<size_t>(-1);
    if (cd != reinterpret_cast<iconv_t>(-1))
        iconv_close(cd);
    *(ok ? o : out) = '\0';
    return ok ? static_cast<int>(o - out) : -1;
}

static const FileCodePage k936{936, Cp936(), Convert}, k1252{1252, Cp1252(), Convert};

// A text of the program keyed over keyed (the native text itself unless given).
static ProgramText Text(TextKind kind, const std::string &context, const std::string &native, size_t size,
                        const char *keyed = nullptr)
{
    char key[9];
    LanguageKey(key, keyed ? keyed : native.c_str(), context.empty() ? nullptr : context.c_str(), kind);
    return {kind, context, native, native, context + " " + native, size, key};
}

static std::string Repeat(const std::string &s, int n)
{
    std::string out;
    while (n-- > 0)
        out += s;
    return out;
}

class KitCheck : public ::testing::Test {
protected:
    std::vector<ProgramText> texts = {
        Text(TextKind::DialogText, "KITDLG", "", kSizeEntryLimit),
        Text(TextKind::DialogText, "LTR", "LTR", kDirectionLimit),
        Text(TextKind::MessageText, "", "Plain message", kMessageLimit),
        Text(TextKind::DialogText, "KITDLG", "Caption", kDialogTextLimit),
    };
    // A file holding the four entries, each on its own line (lines 2 to 5).
    std::string File(const std::string &size, const std::string &direction, const std::string &message,
                     const std::string &caption, const char *start = "")
    {
        std::string f = start + std::string("***messages***\r\n");
        const std::string *values[] = {&size, &direction, &message, &caption};
        for (int i = 0; i < 4; ++i)
            f += texts[i].key + "=\"" + *values[i] + "\"\r\n";
        return f;
    }
    std::vector<std::string> Defects(const std::string &file, const FileCodePage &target = k936)
    {
        return CheckTable(file, texts, target).defects;
    }
};

TEST_F(KitCheck, CorrectFilesReportNothingAndAreReadAsWritten)
{
    // The trail byte 0x5C of "\x95\x5C" is doubled, as make writes it.
    std::string file = File("120*110", "RTL", "\xD6\xD0 \x95\x5C\x5C\\n", "\xD6\xD0\\\"x\\\"");
    TableCheck check = CheckTable(file, texts, k936);
    EXPECT_TRUE(check.defects.empty()) << check.defects[0];
    EXPECT_EQ(check.accepted[texts[2].key], "\xD6\xD0 \x95\x5C\n");
    EXPECT_EQ(check.accepted[texts[3].key], "\xD6\xD0\"x\"");
    EXPECT_EQ(check.accepted.size(), 4u);
    // Longer than today's buffers in UTF-8, within them in the code page the file is meant
    // for; and what fits in the code page fits once converted.
    struct Row {
        const FileCodePage &target;
        const char *start;
        std::string message, caption;
    } rows[] = {
        {k936, kUtf8Mark, Repeat(u8"中"_s, 255), Repeat(u8"中"_s, 511)},
        {k1252, kUtf8Mark, Repeat(u8"é€"_s, 255), Repeat(u8"€"_s, 1023)},
        {k1252, "", std::string(511, '\x80'), std::string(1023, '\x80')},
        {k936, "", Repeat("\xD6\xD0", 255), Repeat("\xD6\xD0", 511)},
    };
    for (const Row &r : rows) {
        check = CheckTable(File("100*100", "LTR", r.message, r.caption, r.start), texts, r.target);
        EXPECT_TRUE(check.defects.empty()) << r.target.codePage << ": " << check.defects[0];
        EXPECT_EQ(check.accepted[texts[2].key], r.message);
    }
}

TEST_F(KitCheck, ReportsEachDefectOnItsLine)
{
    const std::string bad936 = "\x81\x7F";
    struct Row {
        std::string file;
        std::string report;
        const FileCodePage &target = k936;
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
        // Text its code page cannot hold.
        {File("100*100", "LTR", "a" + bad936, "c"), "line 4: the translation holds bytes that are no character of code page 936"},
        {File("100*100", "LTR", "m", u8"中"_s, kUtf8Mark), "line 5: code page 1252 cannot hold every character", k1252},
        {File("100*100", "LTR", "\xC0\xAF", "c", kUtf8Mark), "line 4: the translation is not valid UTF-8"},
        // Too long as the program holds it: in the code page the file is meant for, or in UTF-8.
        {File("100*100", "LTR", Repeat(u8"中"_s, 256), "c", kUtf8Mark),
         "line 4: translation of 512 bytes once converted to code page 936 is longer than the 511 bytes"},
        {File("100*100", "LTR", Repeat(u8"中"_s, 600), "c", kUtf8Mark),
         "line 4: translation of 1800 bytes in UTF-8 is longer than the 1535 bytes"},
    };
    for (const Row &r : rows) {
        std::vector<std::string> defects = Defects(r.file, r.target);
        bool found = false;
        for (const std::string &d : defects)
            found = found || d.find(r.report) == 0;
        EXPECT_TRUE(found) << r.report << "\nfirst defect: " << (defects.empty() ? "none" : defects[0]);
    }
    // Under a single-byte code page none of the byte 0x5C cases is a character.
    EXPECT_TRUE(Defects(File("100*100", "LTR", "ab\x95\x5C", "\xD6"), k1252).empty());
}

TEST_F(KitCheck, TextsWhoseKeysCollideAreOneDefect)
{
    // Over code page 1252 "确定" and "帮助" both read "??".
    texts.push_back(Text(TextKind::DialogText, "KITDLG", u8"确定"_s, kDialogTextLimit, "??"));
    texts.push_back(Text(TextKind::DialogText, "KITDLG", u8"帮助"_s, kDialogTextLimit, "??"));
    std::string file = File("100*100", "LTR", "m", "c") + texts[4].key + "=\"OK\"\r\n";
    std::vector<std::string> defects = Defects(file);
    ASSERT_EQ(defects.size(), 1u) << (defects.size() > 1 ? defects[1] : "none");
    EXPECT_EQ(defects[0], "key " + texts[4].key + " stands for 2 different texts (KITDLG " + texts[4].native +
                              "; KITDLG " + texts[5].native + "): they cannot be translated apart");
}
TEST_F(KitCheck, AnEntryTheProgramMayTakeIsNeverAcceptedBesideAnother)
{
    // The program takes the first line that starts with key="; a second one is a defect, and
    // the check vouches for neither, whichever lacks its closing quote.
    std::string file = File("100*100", "LTR", "first", "c") + texts[2].key + "=\"no closing quote\r\n";
    TableCheck check = CheckTable(file, texts, k936);
    EXPECT_EQ(check.accepted.count(texts[2].key), 0u);
    file = "***messages***\r\n" + texts[2].key + "=\"no closing quote\r\n" + File("100*100", "LTR", "m", "c").substr(16);
    check = CheckTable(file, texts, k936);
    EXPECT_EQ(check.accepted.count(texts[2].key), 0u);
}

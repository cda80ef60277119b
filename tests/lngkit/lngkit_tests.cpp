#include <gtest/gtest.h>

#include "common/gui_driver.h"
#include "common/test_util.h"
#include "lang/language_file.h"
#include "lang/localize.h"
#include "lang/messages.h"
#include "res/resource.h"
#include "support/code_pages.h"

#include <map>
#include <string>
#include <vector>

static std::string KitPath() { return JoinPath(BuildDir(), "lngkit.exe"); }
static std::string KitModule() { return JoinPath(BuildDir(), "tests\\kitres\\kitres.dll"); }
static std::string EnglishDir() { return JoinPath(BuildDir(), "english"); }

static int RunKit(const std::string &args) { return RunProcess("\"" + KitPath() + "\" " + args); }

static std::string Quoted(const std::string &path) { return "\"" + path + "\""; }

static std::string Key(const std::string &text, const char *context, TextKind kind)
{
    char key[9];
    LanguageKey(key, text.c_str(), context, kind);
    return key;
}

static std::vector<std::string> Lines(const std::string &text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t i = 0; i <= text.size(); ++i)
        if (i == text.size() || text[i] == '\n') {
            std::string line = text.substr(start, i - start);
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            lines.push_back(line);
            start = i + 1;
        }
    return lines;
}

static bool IsEntry(const std::string &line)
{
    if (line.size() < 11 || line[8] != '=' || line[9] != '"' || line.back() != '"')
        return false;
    for (int i = 0; i < 8; ++i)
        if (!isxdigit(static_cast<unsigned char>(line[i])) || isupper(static_cast<unsigned char>(line[i])))
            return false;
    return true;
}

// Puts a mark in front of every translation except the size and direction entries, so a
// look-up through the table can be told from the native text.
static std::string MarkTranslations(const std::string &file)
{
    std::string out;
    for (const std::string &line : Lines(file)) {
        bool mark = IsEntry(line) && line.substr(10) != "100*100\"" && line.substr(10) != "LTR\"";
        out += (mark ? line.substr(0, 10) + "@" + line.substr(10) : line) + "\r\n";
    }
    return out;
}

static INT_PTR CALLBACK PlainDialog(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

class Kit : public ::testing::Test {
protected:
    Kit() : dir_("lngkit") {}
    void TearDown() override { g_language.Load((dir_ / "absent.lng").c_str()); }
    std::string Make(const std::string &module, const std::string &options = "")
    {
        std::string out = dir_ / "template.lng";
        EXPECT_EQ(RunKit("make " + Quoted(module) + " " + Quoted(out) + " " + options), 0) << options;
        return ReadFileBytes(out);
    }
    // Runs the check on a file holding bytes; returns the report.
    std::string Check(const std::string &module, const std::string &bytes, int expectedExit,
                      const std::string &options = "")
    {
        std::string lng = dir_ / "check.lng", report = dir_ / "report.txt";
        EXPECT_TRUE(WriteFileBytes(lng, bytes));
        DeleteFileA(report.c_str());
        EXPECT_EQ(RunKit("check " + Quoted(module) + " " + Quoted(lng) + " --report " + Quoted(report) + " " + options),
                  expectedExit) << options;
        return ReadFileBytes(report);
    }
    TempDir dir_;
};

// The template of the program: a comment before every entry, every message, the size entry of
// every dialog. Marked, every message and every title and non-empty control text the dialogs
// show is found through it.
TEST_F(Kit, TemplateOfTheProgramCoversEveryTextAndRoundTrips)
{
    std::string file = Make(ProgramPath());
    std::vector<std::string> lines = Lines(file);
    size_t marker = 0;
    while (marker < lines.size() && lines[marker] != "***messages***")
        ++marker;
    ASSERT_LT(marker, lines.size());
    EXPECT_EQ(lines[0].substr(0, 1), ";") << "the header explains the format";
    int entries = 0;
    for (size_t i = marker + 1; i < lines.size(); ++i) {
        if (!IsEntry(lines[i]))
            continue;
        ++entries;
        EXPECT_EQ(lines[i - 1].substr(0, 2), "; ") << "a comment names where the text is used";
    }
    const int messages = IDS_APP_DESCRIPTION - IDS_DISPLAY_NAME + 1;
    EXPECT_GT(entries, messages + 1 + 3 * 2) << "messages, direction, size and title of each dialog";
    for (int id = IDS_DISPLAY_NAME; id <= IDS_APP_DESCRIPTION; ++id)
        EXPECT_NE(file.find("\n; message " + std::to_string(id) + "\r\n"), std::string::npos) << id;
    for (const char *name : {"SETUPDLG", "CONTEXTITEMS", "DONEDLG"}) {
        std::string sizeEntry = "; " + std::string(name) + " size in percent (width*height)\r\n" +
                                Key("", name, TextKind::DialogText) + "=\"100*100\"\r\n";
        EXPECT_NE(file.find(sizeEntry), std::string::npos) << name;
    }
    EXPECT_NE(file.find("\n; message 5104\r\n4ad1b768=\"" + Acp(u8"卸载 Quibex") + "\"\r\n"), std::string::npos);
    EXPECT_NE(file.find("50a17ae8=\"LTR\""), std::string::npos);
    EXPECT_EQ(Check(ProgramPath(), file, 0), "0 defect(s)\n");
    std::string converted = file;
    converted.insert(converted.find("3b590d53=\"") + 10, "%d "); // message 5106, "...%s"
    std::string report = Check(ProgramPath(), converted, 1);
    EXPECT_NE(report.find("message 5106 must hold one %s"), std::string::npos) << report;
    EXPECT_NE(report.find("\n1 defect(s)"), std::string::npos) << report;

    std::vector<std::string> natives;
    for (int id = IDS_DISPLAY_NAME; id <= IDS_APP_DESCRIPTION; ++id)
        natives.push_back(GetMsg(id));
    std::string path = dir_ / "template.lng";
    ASSERT_TRUE(WriteFileBytes(path, MarkTranslations(file)));
    g_language.Load(path.c_str());
    ASSERT_TRUE(g_language.IsLoaded());
    EXPECT_FALSE(g_language.IsRightToLeft);
    for (int id = IDS_DISPLAY_NAME; id <= IDS_APP_DESCRIPTION; ++id)
        EXPECT_EQ(std::string(GetMsg(id)), "@" + natives[id - IDS_DISPLAY_NAME]) << id << ": every key is found";
    HMODULE richEdit = LoadLibraryA("riched32.dll");
    for (const char *name : {"SETUPDLG", "CONTEXTITEMS", "DONEDLG"}) {
        HWND dialog = CreateDialogParamA(GetModuleHandleA(nullptr), name, nullptr, PlainDialog, 0);
        ASSERT_NE(dialog, nullptr) << name;
        std::vector<std::wstring> before = ChildTexts(dialog);
        std::wstring title = WindowTextOf(dialog);
        LocalizeDialog(name, dialog);
        EXPECT_EQ(WindowTextOf(dialog), L"@" + title) << name;
        std::vector<std::wstring> after = ChildTexts(dialog);
        ASSERT_EQ(after.size(), before.size());
        for (size_t i = 0; i < after.size(); ++i)
            EXPECT_EQ(after[i], before[i].empty() ? before[i] : L"@" + before[i]) << name << " child " << i;
        DestroyWindow(dialog);
    }
    if (richEdit)
        FreeLibrary(richEdit);
}

TEST_F(Kit, DialogsOfBothTemplateFormsAndEscapedTexts)
{
    std::string file = Make(KitModule());
    auto has = [&](const std::string &text, const char *context, TextKind kind, const std::string &translation) {
        return file.find(Key(text, context, kind) + "=\"" + translation + "\"") != std::string::npos;
    };
    const TextKind D = TextKind::DialogText, S = TextKind::MessageText;
    EXPECT_TRUE(has("Plain message", nullptr, S, "Plain message"));
    EXPECT_TRUE(has("Two\nlines\twith tab, \"quotes\" and C:\\new\\path", nullptr, S,
                    "Two\\nlines\\twith tab, \"quotes\" and C:\\\\new\\\\path"));
    EXPECT_TRUE(has(Acp(u8"中文消息"), nullptr, S, Acp(u8"中文消息")));
    EXPECT_TRUE(has("In the second block", nullptr, S, "In the second block"));
    // The texts of KITDLG are found through the marked template below.
    EXPECT_TRUE(has("", "KITDLG", D, "100*100"));
    EXPECT_NE(file.find("; KITDLG control 201, KITDLG control 202\r\n"), std::string::npos) << "one entry for both";
    EXPECT_TRUE(has("", "OLDDLG", D, "100*100"));
    EXPECT_TRUE(has("Old form", "OLDDLG", D, "Old form"));
    EXPECT_TRUE(has("Close", "OLDDLG", D, "Close"));
    EXPECT_TRUE(has("Right text", "OLDDLG", D, "Right text"));
    EXPECT_EQ(file.find("; RTL "), std::string::npos) << "the direction marker dialog is no text";
    int entries = 0;
    for (const std::string &line : Lines(file))
        entries += IsEntry(line);
    EXPECT_EQ(entries, 4 + 5 + 4 + 1) << "messages, KITDLG, OLDDLG, direction";

    // Marked, every text is found, and the unmarked size entries keep the dialog's size.
    HMODULE module = LoadLibraryA(KitModule().c_str());
    ASSERT_NE(module, nullptr);
    std::string path = dir_ / "template.lng";
    ASSERT_TRUE(WriteFileBytes(path, MarkTranslations(file)));
    g_language.Load(path.c_str());
    HWND dialog = CreateDialogParamA(module, "KITDLG", nullptr, PlainDialog, 0);
    ASSERT_NE(dialog, nullptr);
    std::vector<std::wstring> before = ChildTexts(dialog);
    RECT r1, r2;
    GetWindowRect(dialog, &r1);
    LocalizeDialog("KITDLG", dialog);
    GetWindowRect(dialog, &r2);
    EXPECT_TRUE(EqualRect(&r1, &r2));
    EXPECT_EQ(WindowTextOf(dialog), L"@Kit dialog");
    std::vector<std::wstring> after = ChildTexts(dialog);
    ASSERT_EQ(after.size(), before.size());
    for (size_t i = 0; i < after.size(); ++i)
        EXPECT_EQ(after[i], before[i].empty() || i == 3 ? before[i] : L"@" + before[i]) << i; // 3: the icon
    DestroyWindow(dialog);
    FreeLibrary(module);
    char out[512];
    const char *escaped = "Two\nlines\twith tab, \"quotes\" and C:\\new\\path";
    g_language.Translate(out, sizeof out, escaped, nullptr, TextKind::MessageText);
    EXPECT_EQ(std::string(out), "@" + std::string(escaped));

    EXPECT_EQ(Check(KitModule(), file, 0), "0 defect(s)\n");
}

// Entries of a template: translation by key.
static std::map<std::string, std::string> Entries(const std::string &file)
{
    std::map<std::string, std::string> entries;
    for (const std::string &line : Lines(file))
        if (IsEntry(line))
            entries[line.substr(0, 8)] = line.substr(10, line.size() - 11);
    return entries;
}

static std::string In936(const std::string &utf8)
{
    std::string out(utf8.size() + 1, '\0');
    int n = ConvertText(CP_UTF8, utf8.data(), static_cast<int>(utf8.size()), 936, &out[0], static_cast<int>(out.size()));
    return n < 0 ? "(no form in 936)" : out.substr(0, n);
}

// The keys are the same whatever code page the translations are written in; over another
// code page only on request, where texts the code page cannot tell apart collide.
TEST_F(Kit, KeysOverCodePage936WhateverTheFilesCodePage)
{
    std::map<std::string, std::string> at936 = Entries(Make(ProgramPath()));
    struct Row {
        const char *make, *check;
        int exit;
        const char *report;
    } rows[] = {
        {"--codepage 1252", "--codepage 1252", 0, "0 defect(s)\n"},
        {"--codepage 1252 --utf8", "--codepage 936", 0, "0 defect(s)\n"},
        {"--codepage 1252 --utf8", "--codepage 1252", 1, ": code page 1252 cannot hold every character of the translation"},
        {"--codepage 1252 --key-codepage 1252", "--codepage 1252 --key-codepage 1252", 1,
         ": key d0378029 stands for 3 different texts (SETUPDLG control -1; SETUPDLG control 1; SETUPDLG control 9)"},
    };
    for (const Row &r : rows) {
        std::string file = Make(ProgramPath(), r.make);
        bool utf8 = strstr(r.make, "--utf8") != nullptr, keyed1252 = strstr(r.make, "--key-codepage") != nullptr;
        EXPECT_EQ(file.compare(0, 3, "\xEF\xBB\xBF") == 0, utf8) << r.make;
        EXPECT_NE(file.find("for ANSI code page 1252"), std::string::npos) << r.make;
        std::map<std::string, std::string> entries = Entries(file);
        if (keyed1252) {
            EXPECT_EQ(entries.count(Key("?? Quibex", nullptr, TextKind::MessageText)), 1u) << "message 5104 over 1252";
            EXPECT_LT(entries.size(), at936.size());
        } else {
            ASSERT_EQ(entries.size(), at936.size()) << r.make;
            for (const auto &[key, translation] : at936) {
                ASSERT_EQ(entries.count(key), 1u) << r.make << ": " << translation;
                if (utf8)
                    EXPECT_EQ(In936(entries[key]), translation) << key << ": the native text whole";
            }
        }
        std::string report = Check(ProgramPath(), file, r.exit, r.check);
        EXPECT_NE(report.find(r.report), std::string::npos) << r.make << " / " << r.check << "\n" << report;
    }
    std::string out = dir_ / "refused.lng";
    for (const char *refused : {"--codepage 4", "--key-codepage 65001", "--key-codepage 4"})
        EXPECT_EQ(RunKit("make " + Quoted(KitModule()) + " " + Quoted(out) + " " + refused), 2) << refused;
    EXPECT_NE(RunKit("make " + Quoted(dir_ / "missing.dll") + " " + Quoted(out)), 0);
}

TEST_F(Kit, CheckReportsEachDefect)
{
    std::string good = Make(KitModule());
    std::string bad = good;
    auto entryFor = [&](const std::string &text, const char *context, TextKind kind) {
        size_t at = bad.find(Key(text, context, kind) + "=\"");
        size_t end = bad.find("\r\n", at);
        return std::make_pair(at, end + 2);
    };
    // Drop one entry, make one too long and one no text of 936, break four lines, add an unknown key.
    auto [plainAt, plainEnd] = entryFor("Plain message", nullptr, TextKind::MessageText);
    std::string plainKey = good.substr(plainAt, 8);
    bad.replace(plainAt, plainEnd - plainAt, plainKey + "=\"" + std::string(600, 'L') + "\"\r\n");
    auto [secondAt, secondEnd] = entryFor("In the second block", nullptr, TextKind::MessageText);
    bad.replace(secondAt + 10, secondEnd - secondAt - 13, "\x81\x7F"); // no character of 936
    auto [closeAt, closeEnd] = entryFor("Close", "OLDDLG", TextKind::DialogText);
    bad.erase(closeAt, closeEnd - closeAt);
    std::string upper = Key("Old form", "OLDDLG", TextKind::DialogText);
    for (char &c : upper)
        c = static_cast<char>(toupper(c));
    bad.replace(bad.find(Key("Old form", "OLDDLG", TextKind::DialogText)), 8, upper);
    // The only entry of its key: a second one would be reported as such, since the program
    // may take either.
    auto [kitAt, kitEnd] = entryFor("Kit dialog", "KITDLG", TextKind::DialogText);
    bad.replace(kitAt, kitEnd - kitAt, Key("Kit dialog", "KITDLG", TextKind::DialogText) + "=\"no closing quote\r\n");
    bad += "00000000=\"unknown\"\r\n";
    bad += Key("Right text", "OLDDLG", TextKind::DialogText) + " \"no equals\"\r\n";
    bad += Key("Custom check", "KITDLG", TextKind::DialogText) + "=no quotes\r\n";
    bad += "just some words\r\n";

    std::string report = Check(KitModule(), bad, 1);
    auto reports = [&](const std::string &what) { return report.find(what) != std::string::npos; };
    size_t lineOfUnknown = Lines(bad).size() - 4; // 1-based number of the "00000000" line
    for (const std::string &what : std::vector<std::string>{
             "translation of 600 bytes is longer than the 511 bytes its buffer holds (message 100)",
             "no entry for OLDDLG control 2 (key", "upper-case key " + upper + " is never found",
             "no entry for OLDDLG title",
             ": line " + std::to_string(lineOfUnknown) + ": key 00000000 matches no text of the program",
             "missing \"=\" after the key", "missing opening double quote", "missing closing double quote",
             "not an entry", ": the translation holds bytes that are no character of code page 936 (message 117)",
             "10 defect(s)"})
        EXPECT_TRUE(reports(what)) << what << "\n" << report;

    report = Check(KitModule(), std::string(523265, ';') + good.substr(good.find("***messages***")), 1);
    EXPECT_TRUE(reports("past the 523264-byte limit")) << report;
    report = Check(KitModule(), std::string(523264, ';') + good.substr(good.find("***messages***")), 0);

    std::string big = good + std::string(131072, ';') + "\r\n" + "00000001=\"late\"\r\n";
    report = Check(KitModule(), big, 1);
    EXPECT_TRUE(reports("text past the 128 KiB limit")) << report;
    EXPECT_FALSE(reports("00000001")) << "what lies past the limit is not read";

    report = Check(KitModule(), "no marker at all\r\n", 1);
    EXPECT_TRUE(reports("no table marker")) << report;
}

TEST_F(Kit, EnglishSampleIsCompleteAndCorrect)
{
    std::string report = Check(ProgramPath(), ReadFileBytes(JoinPath(EnglishDir(), "uninstall.lng")), 0);
    EXPECT_EQ(report, "0 defect(s)\n");
}

// The program in a folder of its own with one English sample beside it: its first window has
// the English title and texts.
static void ExpectEnglish(const char *sample, const char *args, const wchar_t *title,
                          std::initializer_list<const wchar_t *> texts, int closeButton)
{
    TempDir dir("english");
    ASSERT_TRUE(CopyFileTo(ProgramPath(), dir / "uninstall.exe"));
    ASSERT_TRUE(CopyFileTo(JoinPath(EnglishDir(), sample), dir / sample));
    HANDLE process = StartProcess("\"" + (dir / "uninstall.exe") + "\" " + args);
    ASSERT_NE(process, nullptr);
    HWND window = WaitForDialog(GetProcessId(process), title);
    if (!window)
        TerminateProcess(process, 1);
    ASSERT_NE(window, nullptr) << sample << " " << args << ": no window with the English title";
    std::wstring all = L"|";
    for (const std::wstring &text : ChildTexts(window))
        all += text + L"|";
    for (const wchar_t *text : texts)
        EXPECT_NE(all.find(text), std::wstring::npos) << sample << " " << args;
    ClickButton(window, closeButton); // the setup dialog closes without applying anything
    EXPECT_EQ(WaitExit(process, 10000), 0);
}

TEST(EnglishSamples, LanguageFileOrModuleBesideTheProgram)
{
    for (const char *sample : {"uninstall.lng", "qbxlng.dll"}) {
        ExpectEnglish(sample, "/warning", L"Uninstall Quibex",
                      {L"Removal is complete\nYou should delete ", L" by hand"}, IDOK);
        ExpectEnglish(sample, "/setup", L"Quibex setup",
                      {L"|Select &all|", L"|&Context menu items...|", L"|Help|", L"|Associate Quibex with|"}, IDCANCEL);
    }
}

// Keys and encodings of the language file whatever the process's code page: keys over the
// native texts in code page 936 (then the system's), translations in the system's code page
// or in UTF-8 after a byte-order mark, converted to the process's.
#include <gtest/gtest.h>

#include "common/test_util.h"
#include "lang/language_file.h"
#include "lang/localize.h"
#include "lang/messages.h"
#include "res/resource.h"

#include <stdlib.h>
#include <string>

static const char kMark[] = "\xEF\xBB\xBF";

// The native text's bytes in a code page, as the translator's kit converts them.
static std::string InCodePage(UINT codePage, const char8_t *utf8)
{
    std::wstring wide = Wide(utf8);
    char bytes[2048] = "";
    WideCharToMultiByte(codePage, 0, wide.c_str(), -1, bytes, sizeof bytes, nullptr, nullptr);
    return bytes;
}

static std::string MessageEntry(UINT keyCodePage, const char8_t *native, const std::string &translation)
{
    char key[9];
    LanguageKey(key, InCodePage(keyCodePage, native).c_str(), nullptr, TextKind::MessageText);
    return std::string(key) + "=\"" + translation + "\"\r\n";
}

static std::string WindowText(HWND window)
{
    char text[1024] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

// The system's ANSI code page, which GetACP no longer tells in a UTF-8 process.
static UINT SystemCodePage()
{
    char digits[8] = "";
    GetLocaleInfoA(LOCALE_SYSTEM_DEFAULT, LOCALE_IDEFAULTANSICODEPAGE, digits, sizeof digits);
    return static_cast<UINT>(atoi(digits));
}

static INT_PTR CALLBACK PlainDialog(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

class Encodings : public ::testing::Test {
protected:
    Encodings() : dir_("encodings") {}
    void SetUp() override { g_extResource.Load(GetModuleHandleA(nullptr), nullptr); }
    void TearDown() override
    {
        g_language.Load((dir_ / "absent.lng").c_str());
        g_extResource.Unload();
    }
    void UseFile(const std::string &bytes)
    {
        ASSERT_TRUE(WriteFileBytes(dir_ / "uninstall.lng", bytes));
        g_language.Load((dir_ / "uninstall.lng").c_str());
        ASSERT_TRUE(g_language.IsLoaded());
    }
    TempDir dir_;
};

// The English file is keyed over code page 936, as translators key it: its messages and the
// setup dialog read in English whatever code page the process runs in.
TEST_F(Encodings, EnglishFileTranslatesInAnyCodePage)
{
    std::string english = ReadFileBytes(JoinPath(SourceDir(), "lang\\english\\uninstall.lng"));
    ASSERT_FALSE(english.empty());
    UseFile(english);
    EXPECT_STREQ(GetMsg(IDS_DISPLAY_NAME), "Quibex archive manager");
    EXPECT_STREQ(GetMsg(IDS_CAPTION), "Uninstall Quibex");
    char text[600];
    FormatMsg(text, sizeof text, IDS_DELETE_BY_HAND, "C:\\Q");
    EXPECT_NE(std::string(text).find("C:\\Q"), std::string::npos);
    EXPECT_EQ(std::string(text).find('?'), std::string::npos) << text;

    HMODULE richEdit = LoadLibraryA("riched32.dll");
    HWND dialog = CreateDialogParamA(GetModuleHandleA(nullptr), "SETUPDLG", nullptr, PlainDialog, 0);
    ASSERT_NE(dialog, nullptr);
    LocalizeDialog("SETUPDLG", dialog);
    EXPECT_EQ(WindowText(dialog), "Quibex setup");
    EXPECT_EQ(WindowText(GetDlgItem(dialog, IDC_DESKTOP)), "Add Quibex to &desktop");
    EXPECT_EQ(WindowText(GetDlgItem(dialog, IDC_TYPE_QBX)), "&QBX");
    EXPECT_EQ(WindowText(GetDlgItem(dialog, IDC_DESCRIPTION)).rfind("   These options control how Quibex", 0), 0u)
        << "the rich-edit description, keyed with its line break";
    DestroyWindow(dialog);
    FreeLibrary(richEdit);
}

// A file made for the system's code page (the kit's --codepage) keeps working; where both
// keys have an entry, the one over 936 counts.
TEST_F(Encodings, KeysOverTheSystemCodePageAreTriedSecond)
{
    UINT system = SystemCodePage();
    UseFile("***messages***\r\n" + MessageEntry(system, u8"卸载 Quibex", "Made for this system") +
            MessageEntry(system, u8"卸载已完成", "System key") + MessageEntry(936, u8"卸载已完成", "Native key"));
    EXPECT_STREQ(GetMsg(IDS_CAPTION), "Made for this system");
    EXPECT_STREQ(GetMsg(IDS_REMOVAL_DONE), system == 936 ? "System key" : "Native key")
        << "at 936 both keys are one, and the first entry counts";
}

// Translations in UTF-8 after a byte-order mark, converted; one the process's code page
// cannot hold, or that is no UTF-8, leaves the native text. A long one is cut between
// characters as the file holds it, then converted whole.
TEST_F(Encodings, Utf8MarkedFile)
{
    std::string accents;
    for (int i = 0; i < 300; ++i)
        accents += "\xC3\xA9"; // é
    UseFile(std::string(kMark) + "; comment\r\n***messages***\r\n" +
            MessageEntry(936, u8"卸载 Quibex", "D\xC3\xA9sinstaller Quibex") +
            MessageEntry(936, u8"卸载已完成", "Arabic \xD8\xA7") + MessageEntry(936, u8"Quibex 中文帮助", "bad \xC3(") +
            MessageEntry(936, u8"确实要卸载 Quibex 吗?", "a" + accents));
    EXPECT_EQ(std::string(GetMsg(IDS_CAPTION)), Acp(u8"Désinstaller Quibex"));
    EXPECT_EQ(std::string(GetMsg(IDS_REMOVAL_DONE)), GetACP() == CP_UTF8 ? "Arabic \xD8\xA7" : Acp(u8"卸载已完成"))
        << "no \"?\" in place of a letter";
    EXPECT_EQ(std::string(GetMsg(IDS_HELP_SHORTCUT)), Acp(u8"Quibex 中文帮助"));
    std::string cut = "a";
    for (int i = 0; i < 255; ++i)
        cut += Acp(u8"é");
    EXPECT_EQ(std::string(GetMsg(IDS_CONFIRM_REMOVAL)), cut) << "511 bytes of UTF-8: \"a\" and 255 whole letters";
}

// A file without the mark is read in the system's code page, byte for byte as before.
TEST_F(Encodings, UnmarkedFileIsInTheSystemCodePage)
{
    std::string translation = InCodePage(SystemCodePage(), u8"Désinstaller Quibex");
    UseFile("***messages***\r\n" + MessageEntry(936, u8"卸载 Quibex", translation));
    EXPECT_EQ(std::string(GetMsg(IDS_CAPTION)), Acp(u8"Désinstaller Quibex"));
}

// In a UTF-8 process a translation that fits its buffer in code page 936 fits once converted:
// 255 Chinese letters take 510 bytes there and 765 in UTF-8.
TEST_F(Encodings, TranslationThatFitsAt936FitsInUtf8)
{
    if (GetACP() != CP_UTF8 || SystemCodePage() != 936)
        GTEST_SKIP() << "needs a UTF-8 process on a system whose code page is 936";
    std::string letters, expected = "a";
    for (int i = 0; i < 255; ++i) {
        letters += "\xD6\xD0";
        expected += reinterpret_cast<const char *>(u8"中");
    }
    UseFile("***messages***\r\n" + MessageEntry(936, u8"确实要卸载 Quibex 吗?", "a" + letters));
    EXPECT_EQ(std::string(GetMsg(IDS_CONFIRM_REMOVAL)), expected);
}

#include <gtest/gtest.h>

#include "common/test_util.h"
#include "support/text.h"

#include <string.h>
#include <string>

static bool IsCp936() { return GetACP() == 936; }

static std::string Stripped(std::string path)
{
    path.resize(path.size() + 4);
    StripFileName(&path[0]);
    return path.c_str();
}

static std::string WithBackslash(std::string path)
{
    path.resize(path.size() + 4);
    AppendBackslash(&path[0], path.size());
    return path.c_str();
}

TEST(DbcsTable, MatchesTheSystemCodePage)
{
    CPINFO info = {};
    GetCPInfo(CP_ACP, &info);
    EXPECT_EQ(g_processCodePage.multiByte, info.MaxCharSize > 1);
    EXPECT_EQ(g_processCodePage.utf8, GetACP() == CP_UTF8);
    for (int v = 0; v < 256; ++v) {
        EXPECT_EQ(g_processCodePage.lead[v], IsDBCSLeadByte(static_cast<BYTE>(v)) != FALSE) << v;
        EXPECT_EQ(g_processCodePage.IsLetter(static_cast<char>(v)), v != 0 && IsCharAlphaA(static_cast<CHAR>(v))) << v;
    }
}

// The name part of a path and what stays when it is cut off: a root separator stays.
TEST(PathParts, NamePartAndFolder)
{
    struct {
        const char *path, *name, *folder;
    } rows[] = {
        {"C:\\dir\\name.exe", "name.exe", "C:\\dir"}, {"C:\\dir\\", "", "C:\\dir"},
        {"C:\\name.exe", "name.exe", "C:\\"},        {"C:name.exe", "name.exe", "C:"},
        {"C:", "", "C:"},                            {"\\name.exe", "name.exe", "\\"},
        {"a\\name.exe", "name.exe", "a"},            {"name.exe", "name.exe", ""},
        {"dir/name.exe", "name.exe", "dir"},         {"\\\\server\\share\\name", "name", "\\\\server\\share"},
        {"", "", ""},
    };
    for (const auto &r : rows) {
        const char *name = FileNamePart(r.path);
        EXPECT_STREQ(name, r.name) << r.path;
        EXPECT_EQ(name + strlen(name), r.path + strlen(r.path)) << r.path << ": a pointer into the path";
        EXPECT_EQ(Stripped(r.path), r.folder) << r.path;
    }
    EXPECT_EQ(WithBackslash(""), "");
    EXPECT_EQ(WithBackslash("C:\\dir\\"), "C:\\dir\\");
    EXPECT_EQ(WithBackslash("C:\\dir/"), "C:\\dir/\\");
    EXPECT_EQ(WithBackslash("C:\\dir"), "C:\\dir\\");
}

// A GBK character whose trail byte is a backslash.
TEST(DoubleByte, TrailByteBackslashIsNoSeparator)
{
    if (!IsCp936())
        GTEST_SKIP() << "needs code page 936";
    std::string ch = Acp(u8"\u4E57"); // 乗 = 0x81 0x5C in GBK
    ASSERT_EQ(ch.size(), 2u);
    ASSERT_EQ(ch[1], '\\');
    std::string path = "C:\\dir\\" + ch;
    EXPECT_EQ(std::string(FileNamePart(path.c_str())), ch);
    EXPECT_EQ(Stripped(path), "C:\\dir");

    std::string folder = "C:\\" + ch;
    EXPECT_EQ(WithBackslash(folder), folder + "\\");
    EXPECT_EQ(LastCharPos(folder.c_str()), folder.c_str() + 3);
    EXPECT_EQ(Stripped("C:\\" + ch + "\\a.exe"), "C:\\" + ch);
}

TEST(DoubleByte, LoneLeadByteAtTheEndIsOneCharacter)
{
    if (!IsCp936())
        GTEST_SKIP() << "needs code page 936";
    char text[] = "ab\xC1";
    EXPECT_EQ(NextChar(text + 2), text + 3);
    EXPECT_EQ(LastCharPos(text), text + 2);
    DropTrailingLeadByte(text);
    EXPECT_STREQ(text, "ab");
}

// In a UTF-8 process a character is its whole sequence: a cut drops what is left of one, and
// letters beyond ASCII compare without case (CompareStringA would read them in the locale's
// code page).
TEST(Utf8Process, CutsAndComparisons)
{
    if (GetACP() != CP_UTF8)
        GTEST_SKIP() << "needs a UTF-8 process";
    char cut[] = "ab\xE4\xB8\xAD\xE4\xB8";
    EXPECT_EQ(NextChar(cut + 2), cut + 5);
    DropTrailingLeadByte(cut);
    EXPECT_STREQ(cut, "ab\xE4\xB8\xAD");
    char whole[] = "ab\xE4\xB8\xAD";
    DropTrailingLeadByte(whole);
    EXPECT_STREQ(whole, "ab\xE4\xB8\xAD");
    EXPECT_EQ(CompareNoCase(reinterpret_cast<const char *>(u8"ÉTÉ 工具"), reinterpret_cast<const char *>(u8"été 工具")), 0);
    EXPECT_NE(CompareNoCase(reinterpret_cast<const char *>(u8"工具"), reinterpret_cast<const char *>(u8"工作")), 0);
}

TEST(Bounded, CopiesAndJoinsNeverPassTheirSize)
{
    char buf[8];
    memset(buf, 'x', sizeof buf);
    CopyBounded(buf, "abcdefgh", 6);
    EXPECT_EQ(std::string(buf, 8), std::string("abcde\0xx", 8));
    CopyBounded(buf, "ab", 6);
    EXPECT_EQ(std::string(buf, 8), std::string("ab\0\0\0\0xx", 8)) << "the rest is zero-filled";
    buf[0] = 'q';
    CopyBounded(buf, "abc", 0);
    EXPECT_EQ(buf[0], 'q');

    strcpy(buf, "abc");
    EXPECT_TRUE(AppendBounded(buf, "defg", sizeof buf)); // 7 bytes + terminator
    EXPECT_FALSE(AppendBounded(buf, "h", sizeof buf));
    EXPECT_FALSE(JoinBounded(buf, sizeof buf, "abcd", "efgh"));
    EXPECT_STREQ(buf, "abcdefg") << "what does not fit leaves the buffer alone";
    EXPECT_TRUE(JoinBounded(buf, sizeof buf, "C:\\", "a"));
    EXPECT_STREQ(buf, "C:\\a");
    // A separator and a name join whole or not at all.
    EXPECT_FALSE(AppendPathPart(buf, 6, "b"));
    EXPECT_STREQ(buf, "C:\\a") << "no separator left behind";
    EXPECT_TRUE(AppendPathPart(buf, 7, "b"));
    EXPECT_FALSE(AppendBackslash(buf, 7));
    EXPECT_TRUE(AppendBackslash(buf, 8));
    EXPECT_STREQ(buf, "C:\\a\\b\\");
}

TEST(CompareNoCase, IgnoresCase)
{
    EXPECT_EQ(CompareNoCase("COMBOBOX", "ComboBox"), 0);
    EXPECT_NE(CompareNoCase("COMBOBOX", "BUTTON"), 0);
    EXPECT_EQ(CompareNoCase("a", "B"), -1);
    EXPECT_EQ(CompareNoCase("b", "A"), 1);
}

#include <gtest/gtest.h>

#include "common/test_util.h"
#include "support/text.h"

#include <string>

static bool IsCp936() { return GetACP() == 936; }

static std::string Stripped(std::string path)
{
    path.resize(path.size() + 4);
    StripFileName(&path[0]);
    return path.c_str();
}

static std::string NamePart(const char *path) { return FileNamePart(path); }

TEST(DbcsTable, MatchesTheSystemCodePage)
{
    CPINFO info = {};
    GetCPInfo(CP_ACP, &info);
    EXPECT_EQ(g_dbcs.multiByte, info.MaxCharSize > 1);
    for (int v = 0; v < 256; ++v) {
        EXPECT_EQ(g_dbcs.lead[v], IsDBCSLeadByte(static_cast<BYTE>(v)) != FALSE) << v;
        EXPECT_EQ(g_dbcs.IsLetter(static_cast<char>(v)), v != 0 && IsCharAlphaA(static_cast<CHAR>(v))) << v;
    }
}

TEST(StripFileName, TableOfPaths)
{
    EXPECT_EQ(Stripped("C:\\dir\\name.exe"), "C:\\dir");
    EXPECT_EQ(Stripped("C:\\dir\\"), "C:\\dir");
    EXPECT_EQ(Stripped("C:\\name.exe"), "C:\\");
    EXPECT_EQ(Stripped("C:name.exe"), "C:");
    EXPECT_EQ(Stripped("\\name.exe"), "\\");
    EXPECT_EQ(Stripped("dir\\name.exe"), "dir");
    EXPECT_EQ(Stripped("a\\name.exe"), "a");
    EXPECT_EQ(Stripped("name.exe"), "");
    EXPECT_EQ(Stripped("dir/name.exe"), "dir");
}

TEST(FileNamePart, SeparatorsDrivesAndShares)
{
    EXPECT_EQ(NamePart("C:"), "");
    const char *drive = "C:";
    EXPECT_EQ(FileNamePart(drive), drive + 2);
    const char *root = "C:\\";
    EXPECT_EQ(FileNamePart(root), root + 3);
    EXPECT_EQ(NamePart("\\\\server\\share\\name"), "name");
    EXPECT_EQ(NamePart("C:\\dir/name.txt"), "name.txt");
    EXPECT_EQ(NamePart("name.txt"), "name.txt");
    const char *empty = "";
    EXPECT_EQ(FileNamePart(empty), empty);
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
    EXPECT_EQ(NamePart(path.c_str()), ch);
    EXPECT_EQ(Stripped(path), "C:\\dir");

    std::string folder = "C:\\" + ch;
    char buf[64];
    lstrcpyA(buf, folder.c_str());
    AppendBackslash(buf);
    EXPECT_EQ(std::string(buf), folder + "\\");
    EXPECT_EQ(LastCharPos(folder.c_str()), folder.c_str() + 3);
    EXPECT_EQ(Stripped("C:\\" + ch + "\\a.exe"), "C:\\" + ch);
}

TEST(DoubleByte, LoneLeadByteAtTheEndIsOneCharacter)
{
    if (!IsCp936())
        GTEST_SKIP() << "needs code page 936";
    const char text[] = "ab\xC1";
    EXPECT_EQ(NextChar(text + 2), text + 3);
    EXPECT_EQ(LastCharPos(text), text + 2);
    char cut[] = "ab\xC1";
    DropTrailingLeadByte(cut);
    EXPECT_STREQ(cut, "ab");
}

TEST(AppendBackslash, Cases)
{
    char buf[32] = "";
    AppendBackslash(buf);
    EXPECT_STREQ(buf, "");
    lstrcpyA(buf, "C:\\dir\\");
    AppendBackslash(buf);
    EXPECT_STREQ(buf, "C:\\dir\\");
    lstrcpyA(buf, "C:\\dir/");
    AppendBackslash(buf);
    EXPECT_STREQ(buf, "C:\\dir/\\");
    lstrcpyA(buf, "C:\\dir");
    AppendBackslash(buf);
    EXPECT_STREQ(buf, "C:\\dir\\");
}

TEST(TrimLineEnd, RemovesOnlyLineEndWhiteSpace)
{
    char a[] = " \t\r\n \r";
    EXPECT_STREQ(TrimLineEnd(a), "");
    char b[] = "name.txt \t\r\n";
    EXPECT_STREQ(TrimLineEnd(b), "name.txt");
    char c[] = "page\f";
    EXPECT_STREQ(TrimLineEnd(c), "page\f");
    char d[] = "  lead";
    EXPECT_STREQ(TrimLineEnd(d), "  lead");
}

TEST(CopyBounded, BoundaryAndFill)
{
    char buf[6];
    memset(buf, 'x', sizeof buf);
    CopyBounded(buf, "abcdefgh", 6);
    EXPECT_STREQ(buf, "abcde");
    memset(buf, 'x', sizeof buf);
    CopyBounded(buf, "ab", 6);
    EXPECT_EQ(std::string(buf, 6), std::string("ab\0\0\0\0", 6));
    CopyBounded(buf, "abc", 1);
    EXPECT_STREQ(buf, "");
    buf[0] = 'q';
    CopyBounded(buf, "abc", 0);
    EXPECT_EQ(buf[0], 'q');
}

TEST(BoundedJoins, RefuseWhatDoesNotFit)
{
    char buf[8] = "abc";
    EXPECT_TRUE(AppendBounded(buf, "defg", sizeof buf)); // 7 bytes + terminator
    EXPECT_STREQ(buf, "abcdefg");
    EXPECT_FALSE(AppendBounded(buf, "h", sizeof buf));
    EXPECT_STREQ(buf, "abcdefg");
    EXPECT_FALSE(JoinBounded(buf, sizeof buf, "abcd", "efgh"));
    EXPECT_STREQ(buf, "abcdefg");
    EXPECT_TRUE(JoinBounded(buf, sizeof buf, "C:\\", "a"));
    EXPECT_STREQ(buf, "C:\\a");
}

TEST(CompareNoCase, IgnoresCase)
{
    EXPECT_EQ(CompareNoCase("COMBOBOX", "ComboBox"), 0);
    EXPECT_EQ(CompareNoCase("combobox", "COMBOBOX"), 0);
    EXPECT_NE(CompareNoCase("COMBOBOX", "BUTTON"), 0);
    EXPECT_EQ(CompareNoCase("a", "b"), -1);
    EXPECT_EQ(CompareNoCase("b", "a"), 1);
}

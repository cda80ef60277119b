// The list's text rules, free of the file system: these build for the host as well.
#include <gtest/gtest.h>

#include "code_pages.h"
#include "removal/list_lines.h"

#include <string>
#include <vector>

namespace {

struct CodePages {
    const LeadByteTable &cp1252 = Cp1252().lead;
    const LeadByteTable &cp936 = Cp936().lead;
};
const CodePages kPages;

std::vector<std::string> Lines(std::string bytes)
{
    size_t size = bytes.size();
    bytes.push_back('#'); // the spare byte, to be overwritten or left
    std::vector<std::string> seen;
    size_t pos = 0;
    char *line = nullptr;
    for (ListRead got; (got = TakeListLine(&bytes[0], size, pos, &line)) != ListRead::End;)
        seen.push_back(got == ListRead::Line ? std::string(line) : std::string("<skipped>"));
    return seen;
}

} // namespace

TEST(ListLines, WholeLinesOnlyNeverFragments)
{
    std::string longest(2046, 'a');
    std::vector<std::string> expected = {"a",         "b",         "  c", "", longest, "<skipped>",
                                         "<skipped>", "<skipped>", "last"};
    EXPECT_EQ(Lines("a\r\nb \t\r\n  c\n\n" + longest + "\n" + longest + "victim.txt\r\nd" + std::string(1, '\0') +
                    "e\nf" + std::string(1, '\0') + "\nlast"),
              expected);
    EXPECT_EQ(Lines(longest + "a"), std::vector<std::string>{longest + "a"}) << "no line feed at the end";
    EXPECT_EQ(Lines(longest + "ab"), std::vector<std::string>{"<skipped>"});
    EXPECT_EQ(Lines(""), std::vector<std::string>{});
    EXPECT_EQ(Lines("x\n"), std::vector<std::string>{"x"});
}

TEST(ListLines, OnlyLinesThatStayInsideTheFolderAreTaken)
{
    for (const LeadByteTable *lead : {&kPages.cp1252, &kPages.cp936}) {
        for (const char *line : {"a.txt", "sub\\b.txt", "sub/b.txt", "  lead.txt", "a..b", "...x", "x.", "a\\.x"})
            EXPECT_TRUE(IsInsideLine(line, *lead)) << line;
        for (const char *line : {"", "C:\\Windows\\x", "C:x", "a.txt:stream", "sub\\a:b", "\\x", "/x",
                                 "\\\\srv\\share\\x", "\\\\.\\C:", "\\\\?\\C:\\x", "..", "..\\x", "../x",
                                 "a\\..\\..\\x", "a/../x", "a\\..", ".", ". .", "a\\.. \\x", "...", "sub\\.\\x"})
            EXPECT_FALSE(IsInsideLine(line, *lead)) << line;
    }
    // "\xD5\x5C" is one character of code page 936 whose second byte looks like a backslash.
    EXPECT_TRUE(IsInsideLine("\xD5\x5C..\\x", kPages.cp936));
    EXPECT_FALSE(IsInsideLine("\xD5\x5C..\\x", kPages.cp1252));
    EXPECT_FALSE(IsInsideLine("\xD5:x", kPages.cp936)) << "no code page has a colon as a trail byte";
    EXPECT_FALSE(IsInsideLine("x\xD5\\..", kPages.cp1252));
}

TEST(ListLines, JoinFitsOrLeavesTheBufferAlone)
{
    char out[8] = "keep";
    EXPECT_FALSE(JoinListPath(out, sizeof out, "C:\\ab", "cde"));
    EXPECT_STREQ(out, "keep");
    EXPECT_TRUE(JoinListPath(out, sizeof out, "C:\\ab", "cd"));
    EXPECT_STREQ(out, "C:\\abcd");
}

TEST(ListLines, FoldersDeepestFirstInTheirOrder)
{
    const char *lines[] = {"a", "a\\b", "a/b/c", "x", "a\\b\\d", "\xD5\x5C\\y", "a\\e"};
    std::vector<size_t> order(7);
    OrderDeepestFirst(lines, 7, kPages.cp936, order.data());
    EXPECT_EQ(order, (std::vector<size_t>{2, 4, 1, 5, 6, 0, 3}));
    OrderDeepestFirst(lines, 7, kPages.cp1252, order.data());
    EXPECT_EQ(order, (std::vector<size_t>{2, 4, 5, 1, 6, 0, 3}));
    std::string deepest(2047, '\\');
    deepest[0] = 'a';
    const char *extremes[] = {"b", deepest.c_str()};
    OrderDeepestFirst(extremes, 2, kPages.cp1252, order.data());
    EXPECT_EQ(order[0], 1u);
    EXPECT_EQ(order[1], 0u);
}

namespace {

struct LinkProbe {
    std::vector<std::string> asked;
    std::string link;
    static bool Query(void *context, const char *line, size_t length)
    {
        auto *probe = static_cast<LinkProbe *>(context);
        probe->asked.emplace_back(line, length);
        return probe->asked.back() == probe->link;
    }
};

} // namespace

TEST(ListLines, EachFolderOnTheWayIsCheckedOncePerRun)
{
    CheckedFolders checked;
    LinkProbe probe;
    probe.link = "d\\link";
    auto passes = [&](const char *line) { return checked.PassesThroughLink(line, kPages.cp936, LinkProbe::Query, &probe); };
    for (const char *line : {"top.txt", "a\\b\\1", "a\\b\\2", "a\\b\\c\\3", "a\\b\\4", "a\\bc\\5", "a\\b\\6", "a/b\\7"})
        EXPECT_FALSE(passes(line)) << line;
    EXPECT_EQ(probe.asked, (std::vector<std::string>{"a", "a\\b", "a\\b\\c", "a\\bc", "a\\b", "a/b"}));
    probe.asked.clear();
    EXPECT_TRUE(passes("d\\link\\x"));
    EXPECT_TRUE(passes("d\\link\\y\\z"));
    EXPECT_FALSE(passes("d\\other\\x"));
    EXPECT_FALSE(passes("\xD5\x5C\\x")) << "a trail byte is no separator";
    EXPECT_EQ(probe.asked, (std::vector<std::string>{"d", "d\\link", "d\\link", "d\\other", "\xD5\x5C"}));
    probe.asked.clear();
    checked.Clear();
    EXPECT_FALSE(passes("\xD5\x5C\\x"));
    EXPECT_EQ(probe.asked, (std::vector<std::string>{"\xD5\x5C"}));
}

#include <gtest/gtest.h>

#include "app/command_line.h"
#include "code_pages.h"

#include <string>
#include <vector>

static void Record(SwitchKind kind, void *context) { static_cast<std::vector<SwitchKind> *>(context)->push_back(kind); }

static CommandScan Scan(const char *line, std::vector<SwitchKind> *seen = nullptr, const DbcsTable &cp = Cp1252())
{
    std::vector<SwitchKind> local;
    return ScanCommandLine(line, cp, Record, seen ? seen : &local);
}

static bool SfxcmdIsSilent(const char *value) { return SfxcmdIsSilent(value, Cp1252()); }

TEST(CommandLine, ModesOfTheSwitches)
{
    EXPECT_EQ(ChooseMode(Scan("")), RunMode::Removal);
    EXPECT_EQ(ChooseMode(Scan("   ")), RunMode::Removal);
    EXPECT_EQ(ChooseMode(Scan("/setup")), RunMode::Setup);
    EXPECT_EQ(ChooseMode(Scan("/SETUP")), RunMode::Setup);
    EXPECT_EQ(ChooseMode(Scan("-setup")), RunMode::Setup);
    EXPECT_EQ(ChooseMode(Scan("-SetUpX")), RunMode::Setup);
    EXPECT_EQ(ChooseMode(Scan("/setup /s")), RunMode::Setup);
    for (const char *other : {"/clean", "/x", "/", "x /", "--s", "/sx", "/S ab -"})
        EXPECT_EQ(ChooseMode(Scan(other)), RunMode::SwitchesOnly) << other;
    EXPECT_EQ(ChooseMode(Scan("/wait")), RunMode::SwitchesOnly);
    // "/quiet" removes, or sets up silently, without any message box; "/s" is not quiet.
    for (const char *quiet : {"/quiet", "-QUIET", "/Quiet /s"}) {
        CommandScan q = Scan(quiet);
        EXPECT_TRUE(q.quiet && q.silent) << quiet;
        EXPECT_EQ(ChooseMode(q), RunMode::Removal) << quiet;
    }
    EXPECT_EQ(ChooseMode(Scan("/setup /quiet")), RunMode::Setup);
    EXPECT_FALSE(Scan("/s").quiet);
    EXPECT_FALSE(Scan("/quie").quiet);
}

TEST(CommandLine, ArgumentsFollowTheProgramName)
{
    EXPECT_STREQ(SkipProgramName("\"C:\\Program Files\\Quibex\\uninstall.exe\" /setup /s"), "/setup /s");
    EXPECT_STREQ(SkipProgramName("C:\\Quibex\\uninstall.exe\t \t/s"), "/s");
    EXPECT_STREQ(SkipProgramName("C:\\\xD0\xB6\xD4\xD8\\uninstall.exe /s"), "/s") << "\"卸载\" in 936, unquoted";
    EXPECT_STREQ(SkipProgramName("C:\\a\" b\"c\\x.exe -s"), "-s") << "quotes inside the name";
    EXPECT_STREQ(SkipProgramName("\"C:\\a b\\x.exe\"/s"), "") << "the name runs to a blank";
    EXPECT_STREQ(SkipProgramName("\"C:\\no closing quote /s"), "");
    EXPECT_STREQ(SkipProgramName("uninstall.exe   "), "");
    EXPECT_STREQ(SkipProgramName(""), "");
}

TEST(CommandLine, SilentSwitch)
{
    CommandScan s = Scan("/s");
    EXPECT_TRUE(s.silent);
    EXPECT_EQ(s.counted, 0);
    EXPECT_EQ(ChooseMode(s), RunMode::Removal);
    EXPECT_TRUE(Scan("-S").silent);
    EXPECT_TRUE(Scan("/s1").silent);
    EXPECT_EQ(ChooseMode(Scan("/s1")), RunMode::Removal);
    EXPECT_TRUE(Scan("/s /S").silent);
    EXPECT_FALSE(Scan("/sx").silent);
    EXPECT_FALSE(Scan("/setup").silent);
    // A letter is what the code page calls one: "\xE9" is one in 1252, not in 936.
    EXPECT_FALSE(Scan("/s\xE9").silent);
    EXPECT_TRUE(Scan("/s\xE9", nullptr, Cp936()).silent);
    // "--s": the first switch's text is "-s" (unrecognised, counted), the second is silent.
    CommandScan twice = Scan("--s");
    EXPECT_TRUE(twice.silent);
    EXPECT_EQ(twice.counted, 1);
}

TEST(CommandLine, SwitchesInsideWordsAndPathsCount)
{
    // An unquoted path with a dash holds a switch: "-2\uninstall.exe".
    EXPECT_EQ(ChooseMode(Scan("Files\\Quibex-2\\uninstall.exe")), RunMode::SwitchesOnly);
    std::vector<SwitchKind> seen;
    Scan("/wait/warning", &seen);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0], SwitchKind::Wait);
    EXPECT_EQ(seen[1], SwitchKind::Warning);
}

TEST(CommandLine, ActionsRunInOrder)
{
    std::vector<SwitchKind> seen;
    CommandScan s = Scan("/wait /warning /s /clean", &seen);
    std::vector<SwitchKind> expected = {SwitchKind::Wait, SwitchKind::Warning, SwitchKind::Silent, SwitchKind::Other};
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(s.counted, 3);
}

TEST(Sfxcmd, SilentOnlyForAnSNotFollowedByALetter)
{
    EXPECT_TRUE(SfxcmdIsSilent("/s"));
    EXPECT_TRUE(SfxcmdIsSilent("-s"));
    EXPECT_TRUE(SfxcmdIsSilent("-S2"));
    EXPECT_TRUE(SfxcmdIsSilent("abc /x -s"));
    EXPECT_TRUE(SfxcmdIsSilent("--s"));
    EXPECT_FALSE(SfxcmdIsSilent(""));
    EXPECT_FALSE(SfxcmdIsSilent("-sx"));
    EXPECT_FALSE(SfxcmdIsSilent("s"));
    EXPECT_FALSE(SfxcmdIsSilent("/"));
    EXPECT_FALSE(SfxcmdIsSilent("/s\xC4"));
    EXPECT_TRUE(SfxcmdIsSilent("/s\xC4", Cp936()));
}

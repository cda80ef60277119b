#include <gtest/gtest.h>

#include "app/command_line.h"
#include "code_pages.h"

#include <algorithm>
#include <string>
#include <vector>

static void Record(SwitchKind kind, void *context) { static_cast<std::vector<SwitchKind> *>(context)->push_back(kind); }

// A UTF-8 process classifies single bytes: only the ASCII ones are letters.
static const DbcsTable &kUtf8 = Utf8();

// Every "/" or "-" starts a switch; "/quiet" is silent too; any switch but the silent ones
// keeps the program from removing, and "/setup" anywhere chooses setup.
TEST(CommandLine, SwitchesInOrderFlagsAndMode)
{
    using K = SwitchKind;
    using M = RunMode;
    struct Row {
        const char *line;
        std::vector<K> seen;
        M mode;
        const DbcsTable &cp = Cp1252();
    } rows[] = {
        {"", {}, M::Removal},
        {"   ", {}, M::Removal},
        {"/setup", {K::Setup}, M::Setup},
        {"-SetUpX", {K::Setup}, M::Setup},
        {"/setup /s", {K::Setup, K::Silent}, M::Setup},
        {"/setup /quiet", {K::Setup, K::Quiet}, M::Setup},
        {"/s", {K::Silent}, M::Removal},
        {"-S", {K::Silent}, M::Removal},
        {"/s1", {K::Silent}, M::Removal},
        {"/s /S", {K::Silent, K::Silent}, M::Removal},
        {"/quiet", {K::Quiet}, M::Removal},
        {"-QUIET", {K::Quiet}, M::Removal},
        {"/Quiet /s", {K::Quiet, K::Silent}, M::Removal},
        {"/quie", {K::Other}, M::SwitchesOnly},
        {"/sx", {K::Other}, M::SwitchesOnly},
        // A letter is what the code page calls one: "\xE9" is one in 1252, not in 936.
        {"/s\xE9", {K::Other}, M::SwitchesOnly},
        {"/s\xE9", {K::Silent}, M::Removal, Cp936()},
        {"/s\xD7", {K::Silent}, M::Removal}, // "\xD7" (a sign) is no letter in 1252
        // In UTF-8 a byte from 0x80 on begins a character: "/s\xC3\xA9" is "/s\u00e9".
        {"/s\xC3\xA9", {K::Other}, M::SwitchesOnly, kUtf8},
        {"/s\xE5\xB7\xA5", {K::Other}, M::SwitchesOnly, kUtf8},
        {"/s /s1", {K::Silent, K::Silent}, M::Removal, kUtf8},
        {"/clean", {K::Other}, M::SwitchesOnly},
        {"/", {K::Other}, M::SwitchesOnly},
        {"x /", {K::Other}, M::SwitchesOnly},
        {"--s", {K::Other, K::Silent}, M::SwitchesOnly},
        {"/S ab -", {K::Silent, K::Other}, M::SwitchesOnly},
        {"/wait", {K::Wait}, M::SwitchesOnly},
        {"/wait/warning", {K::Wait, K::Warning}, M::SwitchesOnly},
        {"/wait /warning /s /clean", {K::Wait, K::Warning, K::Silent, K::Other}, M::SwitchesOnly},
        // An unquoted path with a dash holds a switch: "-2\uninstall.exe".
        {"Files\\Quibex-2\\uninstall.exe", {K::Other}, M::SwitchesOnly},
        // "/log" neither counts nor silences; its value holds no switch.
        {"/log", {K::Log}, M::Removal},
        {"-LOG /s", {K::Log, K::Silent}, M::Removal},
        {"/log=\"C:\\a-b\\/x.log\" /quiet", {K::Log, K::Quiet}, M::Removal},
        {"/log=C:\\a-b/x -s", {K::Log, K::Silent}, M::Removal},
        {"/log=\"-x", {K::Log}, M::Removal},
        {"/log/s", {K::Log, K::Silent}, M::Removal},
        {"/logx", {K::Other}, M::SwitchesOnly},
        {"/log\xC3\xA9", {K::Other}, M::SwitchesOnly, kUtf8},
        {"/log /setup", {K::Log, K::Setup}, M::Setup},
    };
    for (const Row &r : rows) {
        std::vector<K> seen;
        CommandScan scan = ScanCommandLine(r.line, r.cp, Record, &seen);
        EXPECT_EQ(seen, r.seen) << r.line;
        EXPECT_EQ(ChooseMode(scan), r.mode) << r.line;
        auto count = [&](K kind) { return std::count(r.seen.begin(), r.seen.end(), kind); };
        EXPECT_EQ(scan.silent, count(K::Silent) + count(K::Quiet) > 0) << r.line;
        EXPECT_EQ(scan.quiet, count(K::Quiet) > 0) << r.line;
        EXPECT_EQ(scan.log, count(K::Log) > 0) << r.line;
        EXPECT_EQ(scan.counted, static_cast<int>(r.seen.size() - count(K::Silent) - count(K::Quiet) - count(K::Log)))
            << r.line;
    }
}

// The file of "/log=": quoted to the closing quote or the end, else to the next blank; the last wins.
TEST(CommandLine, LogFileName)
{
    struct {
        const char *line, *name;
    } rows[] = {
        {"/log", nullptr},
        {"/log=\"C:\\logs\\qbx removal-1.log\"/s", "C:\\logs\\qbx removal-1.log"},
        {"-Log=rel\\x.log\t/s", "rel\\x.log"},
        {"/log=\"open -s", "open -s"},
        {"/log=", ""},
        {"/log=a /log=\"\" /log", ""},
        {"/log=\"a\"b", "a"},
    };
    for (const auto &r : rows) {
        CommandScan scan = ScanCommandLine(r.line, Cp1252(), nullptr, nullptr);
        EXPECT_TRUE(scan.log) << r.line;
        if (!r.name)
            EXPECT_EQ(scan.logName, nullptr) << r.line;
        else
            EXPECT_EQ(std::string(scan.logName, scan.logNameLength), r.name) << r.line;
    }
}

TEST(CommandLine, ArgumentsFollowTheProgramName)
{
    struct {
        const char *line, *arguments;
    } rows[] = {
        {"\"C:\\Program Files\\Quibex\\uninstall.exe\" /setup /s", "/setup /s"},
        {"C:\\Quibex\\uninstall.exe\t \t/s", "/s"},
        {"C:\\\xD0\xB6\xD4\xD8\\uninstall.exe /s", "/s"}, // "卸载" in 936, unquoted
        {"C:\\a\" b\"c\\x.exe -s", "-s"},                 // quotes inside the name
        {"\"C:\\a b\\x.exe\"/s", ""},                     // the name runs to a blank
        {"\"C:\\no closing quote /s", ""},
        {"uninstall.exe   ", ""},
        {"", ""},
    };
    for (const auto &r : rows)
        EXPECT_STREQ(SkipProgramName(r.line), r.arguments) << r.line;
}

TEST(Sfxcmd, SilentOnlyForAnSNotFollowedByALetter)
{
    for (const char *value : {"/s", "-s", "-S2", "abc /x -s", "--s"})
        EXPECT_TRUE(SfxcmdIsSilent(value, Cp1252())) << value;
    for (const char *value : {"", "-sx", "s", "/", "/s\xC4"})
        EXPECT_FALSE(SfxcmdIsSilent(value, Cp1252())) << value;
    EXPECT_TRUE(SfxcmdIsSilent("/s\xC4", Cp936()));
    EXPECT_FALSE(SfxcmdIsSilent("/s\xC3\xA9", kUtf8));
    EXPECT_TRUE(SfxcmdIsSilent("/s\xC3\xA9 -s", kUtf8));
}

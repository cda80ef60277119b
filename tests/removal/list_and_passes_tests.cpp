#include <gtest/gtest.h>

#include "common/test_util.h"
#include "removal/batch_file.h"
#include "removal/deletion_passes.h"
#include "removal/list_file.h"
#include "support/windows_version.h"

#include <algorithm>
#include <string>
#include <vector>

class Passes : public ::testing::Test {
protected:
    Passes() : root_(::testing::UnitTest::GetInstance()->current_test_info()->name()), dir_(root_ / "inst") {}
    void SetUp() override { ASSERT_TRUE(CreateDirectoryA(dir_.c_str(), nullptr)); }
    std::string at(const std::string &name) const { return JoinPath(dir_, name); }
    void file(const std::string &name) { ASSERT_TRUE(WriteFileBytes(at(name), "x")) << name; }
    void folder(const std::string &name) { ASSERT_TRUE(CreateDirectoryA(at(name).c_str(), nullptr)) << name; }
    bool run(const std::string &listText)
    {
        EXPECT_TRUE(WriteFileBytes(at("Uninstall.lst"), listText));
        ListFile list;
        EXPECT_TRUE(list.Open(at("Uninstall.lst").c_str()));
        return RunDeletionPasses(list, (dir_ + "\\").c_str(), at("uninstall.exe").c_str());
    }
    TempDir root_;
    std::string dir_;
};

// Lines that reach outside the folder, lines read as no line at all, and a path through a link.
TEST_F(Passes, HostileLinesAreNeverActedOn)
{
    std::string outside = root_ / "outside.txt", elsewhere = root_ / "elsewhere";
    ASSERT_TRUE(WriteFileBytes(outside, "x"));
    ASSERT_TRUE(CreateDirectoryA(elsewhere.c_str(), nullptr));
    ASSERT_TRUE(WriteFileBytes(root_ / "elsewhere\\t.txt", "x"));
    ASSERT_TRUE(MakeFolderLink(at("link"), elsewhere));
    ASSERT_TRUE(GetFileAttributesA(at("link").c_str()) & FILE_ATTRIBUTE_REPARSE_POINT);
    folder("sub");
    file("victim.txt");
    file("victim2.txt");
    run("..\\outside.txt\r\nsub\\..\\..\\outside.txt\r\n" + outside + "\r\n\\" + outside.substr(3) +
        "\r\nsub/../../outside.txt\r\n\\\\?\\" + outside + "\r\n" + std::string(2047, 'a') +
        "victim.txt\r\nvictim2.txt" + std::string(1, '\0') + "tail\r\nlink\\t.txt\r\n");
    EXPECT_TRUE(Exists(outside));
    EXPECT_TRUE(Exists(root_ / "elsewhere\\t.txt")) << "behind a link";
    EXPECT_TRUE(Exists(at("victim.txt"))) << "the end of a too long line is no line of its own";
    EXPECT_TRUE(Exists(at("victim2.txt"))) << "a line with a zero byte is not cut there";
}

// A line's folders are passed only when known to be no link: one whose attributes cannot be
// read (here a name the system refuses) stops the line, but one already gone has nothing to
// pass through, so a removal cut short still finishes when run again.
TEST_F(Passes, AFolderThatCannotBeCheckedIsNotPassed)
{
    folder("real");
    struct {
        const char *line;
        bool stopped;
    } rows[] = {{"real\\a.txt", false}, {"gone\\a.txt", false}, {"gone\\deeper\\a.txt", false},
                {"real\\gone\\a.txt", false}, {"a*b\\a.txt", true}, {"real\\a?b\\c\\a.txt", true},
                {"a<b\\a.txt", true}};
    const std::string base = dir_ + "\\";
    for (const auto &r : rows) {
        CheckedFolders checked;
        EXPECT_EQ(PassesThroughLink(checked, base.c_str(), r.line), r.stopped) << r.line;
    }
}

// A list in UTF-8 after a byte-order mark is converted to the process's code page; a line with
// no exact form there (no look-alike: "\uff41" is not "a") is skipped, the next still read.
TEST_F(Passes, ListLinesAreReadInTheirCodePage)
{
    const bool chinese = GetACP() == 936;
    std::string cafe = Acp(u8"caf\u00e9.txt"), tool = Acp(u8"\u5de5\u5177.txt");
    file(cafe);
    if (chinese)
        file(tool);
    file("a.txt");
    file("c.txt");
    // "café.txt", "工具.txt" (none at 1252), "ａ.txt" (fullwidth), "c.txt"
    run("\xEF\xBB\xBF" "caf\xC3\xA9.txt\r\n\xE5\xB7\xA5\xE5\x85\xB7.txt\r\n\xEF\xBD\x81.txt\r\nc.txt");
    EXPECT_FALSE(Exists(at(cafe)));
    EXPECT_FALSE(chinese && Exists(at(tool)));
    EXPECT_TRUE(Exists(at("a.txt"))) << "a look-alike names another file";
    EXPECT_FALSE(Exists(at("c.txt")));
}

// A line once done is not tried again: here the deferred module takes the name of a listed
// file found absent earlier, and the second pass (made for "keep") must leave it alone.
TEST_F(Passes, ALineDoneIsNotTriedAgain)
{
    ASSERT_TRUE(CopyFileTo(BuildDir() + "\\tests\\testlng\\qbxlng.dll", at("x.dll")));
    file("a.txt");
    folder("keep");
    file("keep\\unlisted.txt");
    HMODULE module = LoadLibraryA(at("x.dll").c_str());
    ASSERT_NE(module, nullptr);
    EXPECT_FALSE(run("x.dll.0.tmp\r\nkeep\r\nx.dll\r\na.txt\r\n"));
    EXPECT_TRUE(Exists(at("x.dll.0.tmp")));
    EXPECT_FALSE(Exists(at("x.dll.0.tmp.0.tmp")));
    EXPECT_FALSE(Exists(at("a.txt")));
    FreeLibrary(module);
}

// The passes end in the same state whatever the order of the lines.
TEST_F(Passes, EveryOrderEndsTheSame)
{
    std::vector<std::string> lines = {"d", "d\\e", "d\\e\\f.txt", "d\\g.txt", "k"};
    std::vector<size_t> order = {0, 1, 2, 3, 4};
    int runs = 0;
    do {
        folder("d");
        folder("d\\e");
        file("d\\e\\f.txt");
        SetFileAttributesA(at("d\\e\\f.txt").c_str(), FILE_ATTRIBUTE_READONLY);
        file("d\\g.txt");
        SetFileAttributesA(at("d").c_str(), FILE_ATTRIBUTE_READONLY);
        folder("k");
        file("k\\unlisted.txt");
        std::string list;
        for (size_t i : order)
            list += lines[i] + "\r\n";
        run(list);
        ASSERT_FALSE(Exists(at("d"))) << list;
        ASSERT_TRUE(Exists(at("k\\unlisted.txt"))) << list;
        ASSERT_TRUE(DeleteFileA(at("k\\unlisted.txt").c_str()) && RemoveDirectoryA(at("k").c_str()));
        ++runs;
    } while (std::next_permutation(order.begin(), order.end()));
    EXPECT_EQ(runs, 120);
}

static std::string PendingRenames()
{
    HKEY key;
    std::string all;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Control\\Session Manager", 0, KEY_READ,
                      &key) != ERROR_SUCCESS)
        return all;
    std::vector<char> data(65536);
    DWORD size = static_cast<DWORD>(data.size());
    if (RegQueryValueExA(key, "PendingFileRenameOperations", nullptr, nullptr,
                         reinterpret_cast<BYTE *>(data.data()), &size) == ERROR_SUCCESS)
        for (DWORD i = 0; i < size; ++i)
            all += data[i] ? data[i] : '|';
    RegCloseKey(key);
    return all;
}

// Every line of [Rename] in wininit.ini, each followed by "|".
static std::string WininitRenames()
{
    char ini[MAX_PATH];
    GetWindowsDirectoryA(ini, MAX_PATH);
    lstrcatA(ini, "\\wininit.ini");
    char section[8192] = "";
    DWORD n = GetPrivateProfileSectionA("Rename", section, sizeof section, ini);
    std::string all;
    for (DWORD i = 0; i < n; ++i)
        all += section[i] ? section[i] : '|';
    return all;
}

static std::string ShortName(const std::string &path)
{
    char buf[1024] = "";
    return GetShortPathNameA(path.c_str(), buf, sizeof buf) ? std::string(buf) : path;
}

static std::string Upper(std::string s)
{
    CharUpperA(&s[0]);
    return s;
}

// Files in use: a file open without delete sharing keeps its name, a loaded module moves
// aside; both are deleted at the next restart, and this program's own file is never deferred.
TEST_F(Passes, FilesInUseAreDeferredToTheRestart)
{
    file("locked.dat");
    file("uninstall.exe");
    ASSERT_TRUE(CopyFileTo(BuildDir() + "\\tests\\testlng\\qbxlng.dll", at("x.dll")));
    file("x.dll.0.tmp");
    HANDLE locked = CreateFileA(at("locked.dat").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    HANDLE self = CreateFileA(at("uninstall.exe").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    HMODULE module = LoadLibraryA(at("x.dll").c_str());
    ASSERT_NE(locked, INVALID_HANDLE_VALUE);
    ASSERT_NE(module, nullptr);

    // The program's file under other names: its 8.3 alias and a hard link.
    std::string alias = ShortName(at("uninstall.exe"));
    alias = alias.substr(alias.rfind('\\') + 1);
    ASSERT_NE(Upper(alias), "UNINSTALL.EXE");
    ASSERT_TRUE(CreateHardLinkA(at("self.exe").c_str(), at("uninstall.exe").c_str(), nullptr));
    EXPECT_TRUE(run("UNINSTALL.EXE\r\n" + alias + "\r\nself.exe\r\nlocked.dat\r\nx.dll\r\nUninstall.lst\r\n"))
        << "a restart is needed";
    EXPECT_TRUE(Exists(at("locked.dat")));
    EXPECT_FALSE(Exists(at("x.dll")));
    EXPECT_TRUE(Exists(at("x.dll.1.tmp")));
    EXPECT_TRUE(Exists(at("uninstall.exe")));
    // Neither the program's file nor the list is moved aside or deferred.
    const std::string kept[] = {"UNINSTALL.EXE", Upper(alias), "SELF.EXE", "UNINSTALL.LST"};
    for (const std::string &name : kept)
        EXPECT_FALSE(Exists(at(name + ".0.tmp"))) << name;
    EXPECT_FALSE(Exists(at("locked.dat.0.tmp")));

    if (NtMajorVersion() != 0) {
        std::string pending = Upper(PendingRenames());
        EXPECT_NE(pending.find(Upper(at("locked.dat"))), std::string::npos) << pending;
        EXPECT_NE(pending.find(Upper(at("x.dll.1.tmp"))), std::string::npos) << pending;
        for (const std::string &name : kept)
            EXPECT_EQ(pending.find(name), std::string::npos) << pending;
    } else {
        // One "NUL" line per file: a second file must not replace the first.
        std::string renames = Upper(WininitRenames());
        EXPECT_NE(renames.find("NUL=" + Upper(ShortName(at("locked.dat"))) + "|"), std::string::npos) << renames;
        EXPECT_NE(renames.find("NUL=" + Upper(ShortName(at("x.dll.1.tmp"))) + "|"), std::string::npos) << renames;
        EXPECT_EQ(renames.find(Upper(alias)), std::string::npos) << renames;
        EXPECT_EQ(renames.find(Upper(ShortName(at("self.exe")))), std::string::npos) << renames;
    }
    FreeLibrary(module);
    CloseHandle(locked);
    CloseHandle(self);
    if (NtMajorVersion() != 0) {
        EXPECT_EQ(RunProcess("wineboot.exe -r", "", 60000), 0);
        EXPECT_FALSE(Exists(at("locked.dat")));
        EXPECT_FALSE(Exists(at("x.dll.1.tmp")));
    }
}

// What a removal leaves once its list is gone: the program's own file, whatever name it was
// started by, and files moved aside for the restart; anything else means more is there.
TEST_F(Passes, OnlyTheProgramAndDeferredFilesAreRemovalLeftovers)
{
    file("uninstall.exe");
    const std::string self = ShortName(at("uninstall.exe")), inst = dir_ + "\\";
    ASSERT_EQ(Upper(self).find("UNINSTALL.EXE"), std::string::npos) << "known by its 8.3 alias";
    const struct {
        const char *extra; // a trailing "\" makes a folder
        bool leftover;
    } rows[] = {{"", true},
                {"x.dll.0.tmp", true},
                {"Quibex.exe.999.TMP", true},
                {"Uninstall.lst", false},
                {"readme.txt", false},
                {"x.1000.tmp", false},
                {"x.01.tmp", false},
                {".0.tmp", false},
                {"x..tmp", false},
                {"x.0.tmp.txt", false},
                {"x.0.tmp\\", false},
                {"sub\\", false}};
    for (const auto &row : rows) {
        std::string extra = row.extra;
        if (!extra.empty() && extra.back() == '\\')
            folder(extra);
        else if (!extra.empty())
            file(extra);
        EXPECT_EQ(HoldsOnlyRemovalLeftovers(inst.c_str(), self.c_str()), row.leftover) << extra;
        if (!extra.empty())
            ASSERT_TRUE(DeleteFileA(at(extra).c_str()) || RemoveDirectoryA(at(extra).c_str())) << extra;
    }
    // The same name elsewhere is another program.
    ASSERT_TRUE(WriteFileBytes(root_ / "uninstall.exe", "x"));
    EXPECT_FALSE(HoldsOnlyRemovalLeftovers(inst.c_str(), (root_ / "uninstall.exe").c_str()));
}

// The program waited for, five attempts at its file and folder, its last word if the file
// stayed, and the batch file deleting itself; nothing written past the buffer.
TEST(BatchText, EachFamilyQuietOrNotAndBounds)
{
    const std::string program = "\"C:\\Q\\uninstall.exe\"";
    std::string attempts;
    for (int i = 0; i < 5; ++i)
        attempts += "del " + program + "\r\nrd \"C:\\Q\"\r\nif not exist " + program + " goto done\r\n";
    struct {
        bool nt, quiet;
        std::string first, last;
    } rows[] = {{true, false, program, " /warning"},
                {false, false, "start /wait " + program, " /warning"},
                {true, true, program, " /quiet /warning"}};
    for (const auto &r : rows) {
        std::string expected = r.first + " /wait\r\n" + attempts + ":done\r\nif exist " + program + " " + program +
                               r.last + "\r\ndel \"C:\\T\\U.Bat\"";
        char text[kBatchTextSize];
        for (size_t size : {sizeof text, expected.size() + 1, expected.size()}) {
            bool fits = size > expected.size();
            EXPECT_EQ(ComposeBatch(text, size, r.nt, "C:\\Q\\uninstall.exe", "C:\\Q", "C:\\T\\U.Bat", r.quiet), fits)
                << r.first << size;
            if (fits)
                EXPECT_EQ(std::string(text), expected);
        }
    }
}

// A path in the system's OEM code page, "%" doubled (at 936 the same bytes as the process's);
// one that code page cannot hold as a variable the interpreter inherits (NT), or by its short
// name when it holds "%". The removals in folders of such names show that the interpreter reads
// them as meant.
TEST(BatchText, PathsInTheOemCodePageOrThroughTheEnvironment)
{
    TempDir dir("batchpaths");
    std::string percent = dir / "\x8Cuvre 100%", doubled; // "Œ"
    ASSERT_TRUE(CreateDirectoryA(percent.c_str(), nullptr));
    for (char c : ShortName(percent))
        doubled += c == '%' ? "%%" : std::string(1, c);
    struct {
        UINT acp;
        std::string path, text;
    } rows[] = {{0, "C:\\Q%PATH%\\a%b.exe", "C:\\Q%%PATH%%\\a%%b.exe"},
                {936, "C:\\\xB9\xA4\xBE\xDF 100%", "C:\\\xB9\xA4\xBE\xDF 100%%"}, // "工具"
                {1252, "C:\\caf\xE9", "C:\\caf\x82"},                          // "é" in 437
                {1252, "C:\\\x8Cuvre !OS!", "%QBX_TEST%"},                       // no "Œ" in 437
                {1252, percent, doubled}};
    for (const auto &r : rows) {
        if (r.acp != 0 && (r.acp != GetACP() || NtMajorVersion() == 0))
            continue;
        char out[kBatchPathSize] = "", value[64] = "";
        SetEnvironmentVariableA("QBX_TEST", nullptr);
        ASSERT_TRUE(ToBatchPath(out, sizeof out, r.path.c_str(), "QBX_TEST")) << r.path;
        EXPECT_EQ(std::string(out), r.text);
        GetEnvironmentVariableA("QBX_TEST", value, sizeof value);
        EXPECT_EQ(std::string(value), out[0] == '%' ? r.path : "") << "set only where named";
    }
    char tiny[8];
    EXPECT_FALSE(ToBatchPath(tiny, sizeof tiny, "C:\\%%%%", "QBX_TEST"));
}

// The interpreter must read the batch path as one quoted path whatever it holds.
TEST(BatchText, CommandLinesNameTheBatchFileWhole)
{
    TempDir dir("batchstart");
    const char cmd[] = "C:\\windows\\system32\\cmd.exe";
    char line[2048];
    std::string odd = dir / "R&D (x86)^";
    ASSERT_TRUE(CreateDirectoryA(odd.c_str(), nullptr));
    std::string batch = JoinPath(odd, "Uninstall_Qbx.Bat");
    ASSERT_TRUE(WriteFileBytes(batch, ""));
    ASSERT_TRUE(BatchCommandLine(line, sizeof line, true, "C:\\Program Files\\cmd.exe", batch.c_str()));
    EXPECT_EQ(std::string(line), "\"C:\\Program Files\\cmd.exe\" /d /v:off /s /c \"\"" + batch + "\"\"");
    for (const char *comspec : {"cmd.exe", "windows\\cmd.exe", "C:cmd.exe", "C:\\a\"b\\cmd.exe", ""})
        EXPECT_FALSE(BatchCommandLine(line, sizeof line, true, comspec, batch.c_str())) << comspec;
    EXPECT_FALSE(BatchCommandLine(line, sizeof line, false, "C:\\COMMAND.COM", batch.c_str())) << "no /s on 9x";

    std::string percent = dir / "100% sure";
    ASSERT_TRUE(CreateDirectoryA(percent.c_str(), nullptr));
    ASSERT_TRUE(WriteFileBytes(JoinPath(percent, "Uninstall_Qbx.Bat"), ""));
    if (BatchCommandLine(line, sizeof line, true, cmd, JoinPath(percent, "Uninstall_Qbx.Bat").c_str()))
        EXPECT_EQ(std::string(line).find('%'), std::string::npos) << line;

    std::string plain = dir / "A long folder";
    ASSERT_TRUE(CreateDirectoryA(plain.c_str(), nullptr));
    ASSERT_TRUE(WriteFileBytes(JoinPath(plain, "Uninstall_Qbx.Bat"), ""));
    std::string shortName = ShortName(JoinPath(plain, "Uninstall_Qbx.Bat"));
    ASSERT_TRUE(BatchCommandLine(line, sizeof line, false, "C:\\COMMAND.COM", JoinPath(plain, "Uninstall_Qbx.Bat").c_str()));
    EXPECT_EQ(std::string(line), "C:\\COMMAND.COM /c \"" + shortName + "\"");
    EXPECT_EQ(shortName.find(' '), std::string::npos);
}

#include <gtest/gtest.h>

#include "common/test_hooks.h"
#include "common/test_util.h"
#include "support/bitness.h"
#include "support/code_pages.h"
#include "support/file_identity.h"
#include "support/long_paths.h"
#include "support/memory_error.h"
#include "support/program_path.h"
#include "support/system_folder.h"
#include "support/windows_version.h"

#include <string.h>
#include <string>

static std::string EmulatedVersion()
{
    char buf[32] = "";
    GetEnvironmentVariableA("QBX_VERSION", buf, sizeof buf);
    return buf;
}

TEST(IsWow64, AnswersForThePlatformAndAsksOnce)
{
    EXPECT_EQ(IsWow64(), IsWow64Run());
    EXPECT_EQ(IsWow64(), IsWow64Run());
    EXPECT_EQ(Wow64QueryCount(), 1);
}

TEST(NtMajorVersion, FollowsTheEmulatedWindowsAndAsksOnce)
{
    std::string version = EmulatedVersion();
    DWORD expected = version == "win98" ? 0 : version == "winxp" ? 5 : version == "win10" ? 10 : 6;
    EXPECT_EQ(NtMajorVersion(), expected);
    EXPECT_EQ(NtMajorVersion(), expected);
    EXPECT_EQ(VersionQueryCount(), 1);
}

// The program runs elevated: a library of that name in a folder searched by bare name
// (here the DLL folder, searched before the system folder) must never be loaded.
TEST(LoadSystemLibrary, TakesOnlyTheSystemCopy)
{
    TempDir dir("syslib");
    ASSERT_TRUE(CopyFileTo(JoinPath(BuildDir(), "tests\\testlng\\qbxlng.dll"), dir / "qbxplanted.dll"));
    ASSERT_TRUE(SetDllDirectoryA(dir.path().c_str()));
    EXPECT_EQ(LoadSystemLibrary("qbxplanted.dll"), nullptr);
    HMODULE planted = LoadLibraryA("qbxplanted.dll");
    EXPECT_NE(planted, nullptr) << "the premise: a bare name finds the planted copy";
    FreeLibrary(planted);
    SetDllDirectoryA(nullptr);

    HMODULE module = LoadSystemLibrary("riched32.dll");
    ASSERT_NE(module, nullptr);
    char path[MAX_PATH] = "", system[MAX_PATH] = "";
    GetModuleFileNameA(module, path, MAX_PATH);
    GetSystemDirectoryA(system, MAX_PATH);
    EXPECT_EQ(CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, path, lstrlenA(system), system, -1), CSTR_EQUAL)
        << path;
    FreeLibrary(module);
}

TEST(MemoryError, EndsTheProcessWithCodeEight)
{
    // Run in a child: the test program itself re-run with a flag.
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string cmd = std::string("\"") + self + "\" --gtest_filter=MemoryErrorChild.*";
    HANDLE child = StartProcess(cmd, "", "QBX_MEMORY_CHILD=1");
    EXPECT_EQ(WaitExit(child), 8);
}

TEST(MemoryErrorChild, Raise)
{
    char flag[4] = "";
    if (!GetEnvironmentVariableA("QBX_MEMORY_CHILD", flag, sizeof flag))
        GTEST_SKIP() << "runs only as the child of MemoryError";
    MemoryError();
}

// Text crosses into another code page whole or not at all.
TEST(CodePages, ConvertTextIsExactOrFails)
{
    const char *tool = "\xE5\xB7\xA5\xE5\x85\xB7"; // two Chinese letters in UTF-8
    char out[16];
    ASSERT_EQ(ConvertText(CP_UTF8, tool, kTerminated, 936, out, sizeof out), 4);
    EXPECT_STREQ(out, "\xB9\xA4\xBE\xDF");
    EXPECT_EQ(ConvertText(936, out, kTerminated, CP_UTF8, out + 5, 11), 6);
    EXPECT_STREQ(out + 5, tool);
    struct {
        UINT from;
        const char *text;
        UINT to;
        int size;
    } refused[] = {
        {CP_UTF8, tool, 1252, 16},          // no such letters in 1252
        {1252, "\x8C", 437, 16},            // "Œ" would become a look-alike "O"
        {CP_UTF8, "\xE5\xB7", 936, 16},     // half a character
        {CP_UTF8, tool, 936, 4},            // no room for the terminator
    };
    for (const auto &c : refused) {
        strcpy(out, "x");
        EXPECT_EQ(ConvertText(c.from, c.text, kTerminated, c.to, out, c.size), -1) << c.text;
        EXPECT_STREQ(out, "");
    }
    // Into UTF-16 as exactly, terminator included; the lossy way only where it says so.
    WCHAR wide[3];
    EXPECT_EQ(ConvertToWide(CP_UTF8, tool, kTerminated, wide, 3), 2);
    EXPECT_EQ(ConvertToWide(CP_UTF8, tool, kTerminated, wide, 2), -1);
    EXPECT_EQ(ConvertToWide(CP_UTF8, "\xE5\xB7", kTerminated, wide, 3), -1);
    EXPECT_EQ(ConvertToWide(CP_UTF8, "", kTerminated, wide, 1), 0) << "the empty text converts";
    EXPECT_EQ(ConvertWideTextLossy(L"\x5de5" L"a", kTerminated, 1252, out, sizeof out), 2);
    EXPECT_STREQ(out, "?a");
    EXPECT_NE(SystemOemCodePage(), 0u);
    EXPECT_EQ(SystemAnsiCodePage(), GetACP()); // the test programs run without the UTF-8 manifest
}

// A path reaches the process whole: as it is where the code page holds it, else by its short
// form, else not at all (never with "?" for a letter, which names another file).
TEST(ProgramPath, PathInCodePageIsWholeOrShortOrNothing)
{
    TempDir dir("narrow");
    const std::wstring folder = Wide(dir.path().c_str()) + Wide(u8"\\Quibex 工具"), absent = folder + L"\\absent";
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    const std::string whole = Acp(u8"工具").find('?') == std::string::npos ? dir / Acp(u8"Quibex 工具") : "";
    WCHAR shortWide[MAX_PATH] = L"";
    ASSERT_GT(GetShortPathNameW(folder.c_str(), shortWide, MAX_PATH), 0u);
    const std::string shortForm = NamedPath(shortWide);
    ASSERT_TRUE(whole.empty() || shortForm.size() < whole.size()) << shortForm;
    const struct {
        const std::wstring &path;
        size_t size;
        std::string expected;
    } cases[] = {
        {folder, kPathSize, whole.empty() ? shortForm : whole},
        {folder, (whole.empty() ? shortForm : whole).size() + 1, whole.empty() ? shortForm : whole}, // just fits
        {folder, whole.empty() ? kPathSize : whole.size(), shortForm},           // the long form does not fit
        {folder, shortForm.size(), ""},                                          // nor does the short one
        {absent, kPathSize, whole.empty() ? "" : whole + "\\absent"},            // no short form: no file
    };
    char out[kPathSize];
    for (const auto &c : cases) {
        strcpy(out, "x");
        EXPECT_EQ(PathInCodePage(c.path.c_str(), ProcessCodePage(), out, c.size), !c.expected.empty()) << c.size;
        EXPECT_EQ(out, c.expected) << c.size;
    }
    g_shortPathName = NoShortNames;
    EXPECT_EQ(PathInCodePage(folder.c_str(), ProcessCodePage(), out, sizeof out), !whole.empty());
    EXPECT_EQ(out, whole);
    g_shortPathName = GetShortPathNameW;
    ASSERT_TRUE(OwnProgramPath(out, sizeof out));
    EXPECT_TRUE(LongIsSameFile(out, JoinPath(BuildDir(), "tests\\support_tests.exe").c_str())) << out;
}

// The "\\?\" form of a full path reads as Windows reads the path (GetFullPathNameW judges;
// a folder on the way as with a separator after it), is taken as it is, or is refused.
TEST(LongPaths, ExtendedPathReadsAsWindowsOrNotAtAll)
{
    const struct {
        const char *path, *given; // given: "" for Windows' reading, null when refused
    } cases[] = {{"C:\\a/b.\\c. .", ""}, {"C:\\a. \\b..\\c ", ""}, {"c:/\\a\\\\b.\\", ""},
                 {"\\\\srv.\\sh.\\x.\\y", ""}, {"\\\\?\\C:\\a.\\b/", "\\\\?\\C:\\a.\\b/"},
                 {"\\\\.\\C:\\a", nullptr}, {"C:a", nullptr}, {"a\\b", nullptr}, {"\\\\srv", nullptr},
                 {"C:\\a\\..\\b", nullptr}, {"C:\\a\\ .\\b", nullptr}};
    for (const auto &c : cases) {
        for (LastName last : {LastName::kAsGiven, LastName::kAsFolder}) {
            const bool windows = c.given && !c.given[0];
            std::wstring path = Wide(c.path) + (last == LastName::kAsFolder && windows ? L"\\" : L""), expected;
            WCHAR out[64], full[64] = L"";
            if (windows) {
                GetFullPathNameW(path.c_str(), 64, full, nullptr);
                expected = full[1] == L'\\' ? L"\\\\?\\UNC" + std::wstring(full + 1) : L"\\\\?\\" + std::wstring(full);
                if (last == LastName::kAsFolder)
                    expected.pop_back();
            } else if (c.given) {
                expected = Wide(c.given);
            }
            EXPECT_EQ(ExtendedPath(c.path, last, out, 64), c.given != nullptr) << c.path;
            EXPECT_EQ(out, expected) << c.path;
        }
    }
    WCHAR out[11];
    EXPECT_TRUE(ExtendedPath("C:\\abc", LastName::kAsGiven, out, 11));
    EXPECT_FALSE(ExtendedPath("C:\\abcd", LastName::kAsGiven, out, 11)) << "no room for the terminator";
}

#include <gtest/gtest.h>

#include "common/gui_driver.h"
#include "common/test_util.h"

#include <sddl.h>
#include <shlobj.h>

#include <string>

static std::wstring AllTexts(HWND box)
{
    std::wstring all;
    for (const std::wstring &text : ChildTexts(box))
        all += text + L"|";
    return all;
}

static std::wstring WideAcp(const std::string &acp)
{
    wchar_t buf[2048] = L"";
    MultiByteToWideChar(CP_ACP, 0, acp.c_str(), -1, buf, 2048);
    return buf;
}

// Whether the program under test runs as a UTF-8 process: its manifest asks for it (Wine
// honours that on every version it emulates).
static bool Utf8Program()
{
    static const bool utf8 = ReadFileBytes(ProgramPath()).find("<activeCodePage") != std::string::npos;
    return utf8;
}

// A text as the program shows it: whole in a UTF-8 process, else through the ANSI code page.
static std::wstring Shown(const char8_t *utf8) { return Utf8Program() ? Wide(utf8) : WideAcp(Acp(utf8)); }

static std::string BatchPath()
{
    char temp[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, temp);
    return JoinPath(temp, "Uninstall_Qbx.Bat");
}

// An installation folder with a copy of the program, as the installer leaves it.
class Removal : public ::testing::Test {
protected:
    Removal() : root_(::testing::UnitTest::GetInstance()->current_test_info()->name()) {}
    void install(const std::string &name = "Quibex", const std::string &programName = "uninstall.exe")
    {
        dir_ = root_ / name;
        program_ = JoinPath(dir_, programName);
        ASSERT_TRUE(CreateDirectoryA(dir_.c_str(), nullptr)) << dir_;
        ASSERT_TRUE(CopyFileTo(ProgramPath(), program_));
    }
    std::string at(const std::string &name) const { return JoinPath(dir_, name); }
    void file(const std::string &name) { ASSERT_TRUE(WriteFileBytes(at(name), "x")) << name; }
    void list(const std::string &text) { ASSERT_TRUE(WriteFileBytes(at("Uninstall.lst"), text)); }
    HANDLE start(const char *args, const std::string &folder = "", const char *extraEnv = nullptr)
    {
        return StartProcess("\"" + program_ + "\" " + args, folder, extraEnv);
    }
    HWND box(HANDLE process, DWORD timeoutMs = 60000)
    {
        return WaitForDialog(GetProcessId(process), Shown(u8"卸载 Quibex"), timeoutMs);
    }
    // Silent removal that must end by itself with the folder gone.
    void removeSilently()
    {
        HANDLE process = start("/s");
        ASSERT_NE(process, nullptr);
        EXPECT_EQ(WaitExit(process, 30000), 0);
        EXPECT_TRUE(WaitUntilGone(dir_)) << dir_;
        EXPECT_TRUE(WaitUntilGone(BatchPath()));
    }
    // A setting and an association of an earlier setup, and no batch file that could act
    // after the program has ended.
    void SetUp() override
    {
        ASSERT_EQ(RegSetValueA(HKEY_CURRENT_USER, "Software\\Quibex\\Setup\\.qbx", REG_SZ, "kept", 4), 0);
        ASSERT_EQ(RegSetValueA(HKEY_CLASSES_ROOT, ".qbx", REG_SZ, "Quibex", 6), 0);
    }
    void ExpectNothingChanged()
    {
        EXPECT_FALSE(Exists(BatchPath())) << "nothing started";
        char value[16] = "";
        LONG size = sizeof value;
        EXPECT_EQ(RegQueryValueA(HKEY_CURRENT_USER, "Software\\Quibex\\Setup\\.qbx", value, &size), 0);
        size = sizeof value;
        EXPECT_EQ(RegQueryValueA(HKEY_CLASSES_ROOT, ".qbx", value, &size), 0);
        EXPECT_STREQ(value, "Quibex") << "the registry too";
    }
    TempDir root_;
    std::string dir_, program_;
};

// No changes nothing; Yes removes the listed files, the list and the program with its folder.
TEST_F(Removal, TheAnswerDecides)
{
    install();
    ASSERT_TRUE(WriteFileBytes(root_ / "keep.txt", "x"));
    ASSERT_TRUE(CreateDirectoryA(at("sub").c_str(), nullptr));
    for (const char *name : {"sub\\a.txt", "Quibex.exe", "qbxext.dll", "quibex.gid", "quibex.fts"})
        file(name);
    list("sub\r\nsub\\a.txt\r\nQuibex.exe\r\nqbxext.dll\r\nuninstall.exe\r\n..\\keep.txt\r\n");
    for (int answer : {IDNO, IDYES}) {
        HANDLE process = start("");
        HWND question = box(process);
        ASSERT_NE(question, nullptr);
        EXPECT_NE(AllTexts(question).find(Shown(u8"确实要卸载 Quibex 吗?")), std::wstring::npos);
        ClickButton(question, answer);
        EXPECT_EQ(WaitExit(process, 30000), answer == IDNO ? 1602 : 0);
        if (answer == IDNO) {
            ExpectNothingChanged();
            for (const char *name : {"Quibex.exe", "Uninstall.lst", "uninstall.exe"})
                EXPECT_TRUE(Exists(at(name))) << name;
        }
    }
    EXPECT_TRUE(WaitUntilGone(dir_));
    EXPECT_TRUE(WaitUntilGone(BatchPath()));
    EXPECT_TRUE(Exists(root_ / "keep.txt"));
}

// The help index goes even when read-only and hidden; one that is a link to a folder
// elsewhere leaves that folder and its attributes alone (where the file system keeps them).
TEST_F(Removal, HelpIndexGoesButNothingBehindALinkIsChanged)
{
    install();
    std::string elsewhere = root_ / "elsewhere";
    ASSERT_TRUE(CreateDirectoryA(elsewhere.c_str(), nullptr));
    ASSERT_TRUE(WriteFileBytes(root_ / "elsewhere\\t.txt", "x"));
    ASSERT_TRUE(SetFileAttributesA(elsewhere.c_str(), FILE_ATTRIBUTE_HIDDEN));
    const DWORD hidden = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN;
    const bool kept = GetFileAttributesA(elsewhere.c_str()) == hidden;
    file("quibex.gid");
    ASSERT_TRUE(SetFileAttributesA(at("quibex.gid").c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
    ASSERT_TRUE(MakeFolderLink(at("quibex.fts"), elsewhere));
    ASSERT_TRUE(GetFileAttributesA(at("quibex.fts").c_str()) & FILE_ATTRIBUTE_REPARSE_POINT);
    list("Quibex.exe\r\n");
    HANDLE process = start("/s");
    ASSERT_NE(process, nullptr);
    EXPECT_EQ(WaitExit(process, 30000), 0);
    EXPECT_TRUE(WaitUntilGone(BatchPath()));
    EXPECT_FALSE(Exists(at("quibex.gid")));
    EXPECT_TRUE(Exists(root_ / "elsewhere\\t.txt"));
    if (!kept)
        GTEST_SKIP() << "this file system keeps no folder attributes: the link's target cannot show a reset";
    EXPECT_EQ(GetFileAttributesA(elsewhere.c_str()), hidden);
}

TEST_F(Removal, MissingListIsReportedEvenWhenSilentAndChangesNothing)
{
    install();
    file("Quibex.exe");
    HANDLE process = start("/s");
    HWND error = box(process);
    ASSERT_NE(error, nullptr);
    EXPECT_NE(AllTexts(error).find(Shown(u8"无法打开列表文件 Uninstall.lst")), std::wstring::npos);
    ClickButton(error, IDOK);
    EXPECT_EQ(WaitExit(process, 20000), 1603);
    ExpectNothingChanged();
    EXPECT_TRUE(Exists(at("Quibex.exe")));
    EXPECT_TRUE(Exists(program_));
}

// The folder vanishes while the question is open: no list is read from the inherited folder.
TEST_F(Removal, AFolderThatCannotBeEnteredStopsTheRemoval)
{
    install();
    list("Quibex.exe\r\n");
    file("Quibex.exe");
    std::string bait = root_ / "bait";
    ASSERT_TRUE(CreateDirectoryA(bait.c_str(), nullptr));
    ASSERT_TRUE(WriteFileBytes(JoinPath(bait, "Uninstall.lst"), "bait.txt\r\n"));
    ASSERT_TRUE(WriteFileBytes(JoinPath(bait, "bait.txt"), "x"));
    HANDLE process = start("", bait);
    HWND question = box(process);
    ASSERT_NE(question, nullptr);
    std::string moved = root_ / "moved";
    ASSERT_TRUE(MoveFileA(dir_.c_str(), moved.c_str()));
    ClickButton(question, IDYES);
    ASSERT_TRUE(WaitGone(question));
    HWND error = box(process);
    ASSERT_NE(error, nullptr);
    EXPECT_NE(AllTexts(error).find(Shown(u8"无法打开列表文件 ") + WideAcp(at("Uninstall.lst"))), std::wstring::npos);
    ClickButton(error, IDOK);
    EXPECT_EQ(WaitExit(process, 20000), 1603);
    EXPECT_TRUE(Exists(JoinPath(bait, "bait.txt")));
    EXPECT_TRUE(Exists(JoinPath(moved, "Quibex.exe")));
}

// A file in use brings the restart message, once, also with /s; the program's own file held
// open brings the batch file's last word: delete it by hand.
TEST_F(Removal, FilesInUseAreToldOfEvenWhenSilent)
{
    install();
    file("locked.dat");
    file("other.dat");
    list("locked.dat\r\nother.dat\r\n");
    HANDLE locked = CreateFileA(at("locked.dat").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    HANDLE held = CreateFileA(program_.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(locked, INVALID_HANDLE_VALUE);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    HANDLE process = start("/s");
    HWND restart = box(process);
    ASSERT_NE(restart, nullptr);
    EXPECT_NE(AllTexts(restart).find(Shown(u8"你需要重新启动 Windows 来完全卸载 Quibex。")), std::wstring::npos);
    ClickButton(restart, IDOK);
    ASSERT_TRUE(WaitGone(restart));
    EXPECT_EQ(box(process, 2000), nullptr) << "shown once";
    EXPECT_EQ(WaitExit(process, 20000), 3010) << "a file waits for the restart";
    EXPECT_FALSE(Exists(at("other.dat")));
    EXPECT_TRUE(Exists(at("locked.dat")));
    HWND warning = WaitForAnyDialog(Shown(u8"卸载 Quibex"));
    ASSERT_NE(warning, nullptr);
    std::wstring texts = AllTexts(warning);
    EXPECT_NE(texts.find(Shown(u8"卸载已完成")), std::wstring::npos);
    EXPECT_NE(texts.find(WideAcp(program_)), std::wstring::npos);
    ClickButton(warning, IDOK);
    CloseHandle(held);
    CloseHandle(locked);
    EXPECT_TRUE(WaitUntilGone(BatchPath()));
}

// Files in use wait for the restart, and so do the listed folders that hold them and the
// installation folder, deepest first: after the restart nothing is left, a neighbour is kept.
TEST_F(Removal, FilesInUseLeaveNothingAfterTheRestart)
{
    install();
    ASSERT_TRUE(CreateDirectoryA((root_ / "Neighbour").c_str(), nullptr));
    ASSERT_TRUE(WriteFileBytes(root_ / "Neighbour\\keep.txt", "x"));
    ASSERT_TRUE(CreateDirectoryA(at("sub").c_str(), nullptr) && CreateDirectoryA(at("sub\\deep").c_str(), nullptr));
    file("sub\\deep\\locked.dat");
    ASSERT_TRUE(CopyFileTo(BuildDir() + "\\tests\\testlng\\qbxlng.dll", at("sub\\x.dll")));
    list("sub\r\nsub\\deep\r\nsub\\deep\\locked.dat\r\nsub\\x.dll\r\n");
    HANDLE locked = CreateFileA(at("sub\\deep\\locked.dat").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    HMODULE module = LoadLibraryA(at("sub\\x.dll").c_str()); // moved aside to "x.dll.0.tmp"
    ASSERT_NE(locked, INVALID_HANDLE_VALUE);
    ASSERT_NE(module, nullptr);
    EXPECT_EQ(WaitExit(start("/quiet"), 30000), 3010);
    EXPECT_TRUE(WaitUntilGone(BatchPath()));
    EXPECT_TRUE(Exists(at("sub\\x.dll.0.tmp")) && !Exists(program_));
    FreeLibrary(module);
    CloseHandle(locked);
    EXPECT_EQ(RunProcess("wineboot.exe -r", "", 60000), 0);
    EXPECT_FALSE(Exists(dir_));
    EXPECT_TRUE(Exists(root_ / "Neighbour\\keep.txt"));
}

// Listed paths some 290 characters long, beyond what the A calls reach, written with "/" and
// names' trailing dots and blanks, which Windows drops: removed with their folders, exit 0.
TEST_F(Removal, ListedPathsBeyondMaxPathAreRemoved)
{
    install();
    std::wstring path = L"\\\\?\\" + Wide(dir_.c_str());
    std::string folders, line;
    for (char c : {'a', 'b', 'c', 'd', 'e'}) {
        path += L"\\" + std::wstring(45, c);
        ASSERT_TRUE(CreateDirectoryW(path.c_str(), nullptr));
        line += std::string(45, c);
        folders += line + ".\r\n";
        line += c == 'b' ? "./" : "\\";
    }
    HANDLE deep = CreateFileW((path + L"\\deep.txt").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(deep, INVALID_HANDLE_VALUE);
    CloseHandle(deep);
    ASSERT_GT(path.size(), 280u);
    list(line + "deep.txt .\r\n" + folders);
    EXPECT_EQ(WaitExit(start("/quiet"), 30000), 0);
    EXPECT_TRUE(WaitUntilGone(dir_));
}

static BOOL CALLBACK FindVisibleOf(HWND window, LPARAM param)
{
    auto *seen = reinterpret_cast<std::pair<DWORD, bool> *>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    seen->second = seen->second || (pid == seen->first && IsWindowVisible(window));
    return TRUE;
}

// The exit code of a run that must show no window at all while it runs; -1 when it does.
static int ExitCodeShowingNoWindow(HANDLE process)
{
    std::pair<DWORD, bool> seen(GetProcessId(process), false);
    while (WaitForSingleObject(process, 5) == WAIT_TIMEOUT && !seen.second)
        EnumWindows(FindVisibleOf, reinterpret_cast<LPARAM>(&seen));
    return seen.second ? (TerminateProcess(process, 1), -1) : WaitExit(process, 20000);
}

// "/quiet" leaves out every message box, the batch file's last word too; the exit code says
// what they would have said.
TEST_F(Removal, QuietRemovalShowsNoWindowAndTellsByItsExitCode)
{
    install();
    file("locked.dat");
    list("locked.dat\r\n");
    HANDLE locked = CreateFileA(at("locked.dat").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    HANDLE held = CreateFileA(program_.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(locked, INVALID_HANDLE_VALUE);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_EQ(ExitCodeShowingNoWindow(start("/quiet")), 3010) << "a file waits for the restart";
    EXPECT_TRUE(WaitUntilGone(BatchPath())) << "ran to its end: no warning waits for a click";
    EXPECT_TRUE(Exists(at("locked.dat")));
    CloseHandle(locked);
    EXPECT_EQ(ExitCodeShowingNoWindow(start("-QUIET")), 1603) << "the list is gone";
    CloseHandle(held);
}

// A batch file that cannot be written (a folder holds its name), or one whose interpreter
// names no program: the manual-deletion message, code 1603, and no batch file left behind.
TEST_F(Removal, ABatchFileThatCannotBeWrittenOrStartedIsReported)
{
    for (bool written : {false, true}) {
        install(written ? "Quibex-comspec" : "Quibex");
        list("");
        if (!written)
            ASSERT_TRUE(CreateDirectoryA(BatchPath().c_str(), nullptr));
        std::string env = written ? "COMSPEC=" + root_ / "none\\cmd.exe" : "";
        HANDLE process = start("/s", "", written ? env.c_str() : nullptr);
        HWND manual = box(process);
        if (!written)
            RemoveDirectoryA(BatchPath().c_str());
        ASSERT_NE(manual, nullptr) << written;
        std::wstring texts = AllTexts(manual);
        EXPECT_NE(texts.find(Shown(u8"卸载已完成")), std::wstring::npos);
        EXPECT_NE(texts.find(Shown(u8"你应该手动删除 ") + WideAcp(program_)), std::wstring::npos);
        ClickButton(manual, IDOK);
        EXPECT_EQ(WaitExit(process, 20000), 1603) << written;
        EXPECT_TRUE(Exists(program_)) << written;
        EXPECT_FALSE(Exists(BatchPath())) << "a batch file that was not started is deleted";
    }
}

// Folder names the command interpreter reads differently unless the batch file is careful.
TEST_F(Removal, UnusualFolderNamesAreRemovedAndNothingElse)
{
    std::vector<std::string> names = {"Quibex %PATH% 100%"};
    if (GetACP() == 1252) {
        names.push_back("Quibex-caf\xE9");
        names.push_back("Quibex-\x8Cuvre");
    }
    ASSERT_TRUE(WriteFileBytes(root_ / "keep.txt", "x"));
    for (const std::string &name : names) {
        install(name);
        file("Quibex.exe");
        list("Quibex.exe\r\n");
        removeSilently();
    }
    EXPECT_TRUE(Exists(root_ / "keep.txt"));
}

// This process's name for a path given in UTF-16: its short form, which the code page holds.
static std::string ShortForm(const std::wstring &path)
{
    wchar_t shortPath[MAX_PATH] = L"";
    GetShortPathNameW(path.c_str(), shortPath, MAX_PATH);
    char acp[MAX_PATH] = "";
    WideCharToMultiByte(CP_ACP, 0, shortPath, -1, acp, MAX_PATH, nullptr, nullptr);
    return acp;
}

// Sets an environment variable of this process (inherited by what it starts) until destroyed.
struct ScopedVariable {
    ScopedVariable(const wchar_t *name, const std::wstring &value) : name_(name)
    {
        DWORD n = GetEnvironmentVariableW(name, old_, MAX_PATH);
        had_ = n > 0 && n < MAX_PATH;
        SetEnvironmentVariableW(name, value.c_str());
    }
    ~ScopedVariable() { SetEnvironmentVariableW(name_, had_ ? old_ : nullptr); }
    const wchar_t *name_;
    wchar_t old_[MAX_PATH];
    bool had_;
};

// Names beyond the code pages: installation folders that the OEM code page cannot hold, with
// "%" or "!" in them, some that the process's code page cannot hold either, started by their
// whole names; and a temporary folder in a profile named beyond both (the A call answers "?"
// there). The batch file still names the program, its folder and itself, and a listed name in
// the list's code page is deleted.
TEST_F(Removal, NamesBeyondTheCodePagesAreRemoved)
{
    std::wstring profile = Wide(root_.path().c_str()) + Wide(u8"\\\u015eahin \u5de5\u5177"), temp = profile + L"\\Temp";
    ASSERT_TRUE(CreateDirectoryW(profile.c_str(), nullptr) && CreateDirectoryW(temp.c_str(), nullptr));
    ScopedVariable tmp(L"TMP", temp), tempVariable(L"TEMP", temp);
    std::string listed = Acp(GetACP() == 936 ? u8"\u5de5\u5177.txt" : u8"caf\u00e9.txt");
    // "Quibex-Œuvre 100%", "Quibex 工具 !OS!" (none at 1252) and "Quibex 한글" (none at 936)
    for (const char8_t *name : {u8"Quibex-\u0152uvre 100%", u8"Quibex \u5de5\u5177 !OS!", u8"Quibex \ud55c\uae00"}) {
        std::wstring dir = Wide(root_.path().c_str()) + L"\\" + Wide(name);
        ASSERT_TRUE(CreateDirectoryW(dir.c_str(), nullptr));
        ASSERT_TRUE(CopyFileW(Wide(ProgramPath().c_str()).c_str(), (dir + L"\\uninstall.exe").c_str(), FALSE));
        dir_ = ShortForm(dir);
        file(listed);
        list(listed + "\r\n");
        STARTUPINFOW startup = {sizeof startup};
        PROCESS_INFORMATION info = {};
        std::wstring command = L"\"" + dir + L"\\uninstall.exe\" /quiet";
        ASSERT_TRUE(CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info));
        CloseHandle(info.hThread);
        EXPECT_EQ(WaitExit(info.hProcess, 30000), 0) << dir_;
        EXPECT_TRUE(WaitUntilGone(dir_)) << dir_;
        EXPECT_TRUE(WaitUntilGone(ShortForm(temp) + "\\Uninstall_Qbx.Bat")) << dir_;
    }
}

// "/sé", in "sfxcmd" or on the command line, is silent only at 936, where "é" is two bytes of
// which the first is no letter; elsewhere it asks (or, as an unknown switch, does nothing). In a
// UTF-8 process "sfxcmd" with "/s" after 500 Chinese letters (1,500 bytes) is silent.
TEST_F(Removal, SfxcmdLongOrWithALetterAfterS)
{
    struct Row {
        std::wstring sfxcmd;
        std::string arguments;
        bool silent;
    };
    const bool at936 = !Utf8Program() && GetACP() == 936;
    std::vector<Row> rows = {{L"/s\u00e9", "", at936}, {L"", Acp(u8"/s\u00e9"), at936}};
    // Elsewhere unchanged (and Wine's A call cuts such a value to as many bytes as it has letters).
    if (Utf8Program())
        rows.push_back({std::wstring(500, L'\u5de5') + L" /s", "", true});
    int n = 0;
    for (const Row &r : rows) {
        install("Quibex" + std::to_string(n++));
        list("");
        ScopedVariable sfxcmd(L"sfxcmd", r.sfxcmd);
        HANDLE process = start(r.arguments.c_str());
        if (r.silent || !r.arguments.empty()) {
            EXPECT_EQ(WaitExit(process, 30000), 0) << n;
            EXPECT_EQ(WaitUntilGone(dir_, r.silent ? 30000 : 0), r.silent) << n;
            continue;
        }
        HWND question = box(process);
        ASSERT_NE(question, nullptr) << n;
        ClickButton(question, IDNO);
        EXPECT_EQ(WaitExit(process, 30000), 1602) << n;
    }
}

// A name whose second byte is a backslash must not split the program folder.
TEST_F(Removal, DoubleByteProgramNameKeepsItsFolder)
{
    if (GetACP() != 936)
        GTEST_SKIP() << "needs code page 936";
    install("Quibex", "\xD5\x5C.exe");
    file("a.txt");
    list("a.txt\r\n");
    removeSilently();
}

// Temporary folders that split an unguarded "cmd /c "path"" (a profile named "R&D" is
// ordinary), and an interpreter whose path holds a blank: only the program's own batch file
// runs, and it takes the program and its folder.
TEST_F(Removal, TheBatchFileRunsAsWrittenWhateverTheFolders)
{
    std::string interpreter = root_ / "Shell Dir\\cmd.exe", cmd(MAX_PATH, '\0');
    cmd.resize(GetSystemDirectoryA(&cmd[0], MAX_PATH));
    ASSERT_TRUE(CreateDirectoryA((root_ / "Shell Dir").c_str(), nullptr));
    ASSERT_TRUE(CopyFileTo(JoinPath(cmd, "cmd.exe"), interpreter));
    // What an unquoted interpreter path would start first, and where the command split at
    // "&" would look for the rest of the batch path: the installation's parent folder.
    ASSERT_TRUE(CopyFileTo(BuildDir() + "\\tests\\qbx_recorder.exe", root_ / "Shell.exe"));
    SHCreateDirectoryExA(nullptr, (root_ / "D\\Temp").c_str(), nullptr);
    ASSERT_TRUE(WriteFileBytes(root_ / "D\\Temp\\Uninstall_Qbx.Bat", "echo planted> \"" + root_ / "planted.txt\"\r\n"));
    struct Row {
        const char *temp;
        bool ownInterpreter;
    } rows[] = {{"R&D\\Temp", false}, {"Users (x86)\\Temp", false}, {"Temp", true}};
    int n = 0;
    for (const Row &row : rows) {
        std::string temp = root_ / row.temp;
        SHCreateDirectoryExA(nullptr, temp.c_str(), nullptr);
        install("Quibex" + std::to_string(n++));
        list("");
        std::string env = "TMP=" + temp + "\nTEMP=" + temp;
        if (row.ownInterpreter)
            env += "\nCOMSPEC=" + interpreter;
        EXPECT_EQ(WaitExit(start("/s", "", env.c_str()), 30000), 0) << row.temp;
        EXPECT_TRUE(WaitUntilGone(dir_)) << row.temp;
        EXPECT_TRUE(WaitUntilGone(JoinPath(temp, "Uninstall_Qbx.Bat"))) << row.temp;
    }
    EXPECT_FALSE(Exists(root_ / "planted.txt"));
    EXPECT_FALSE(Exists(root_ / "opened.log")) << "Shell.exe was started";
}

// SIDs of the allowed entries of a file's DACL.
static std::vector<std::string> Grantees(const std::string &path)
{
    DWORD need = 0;
    GetFileSecurityA(path.c_str(), DACL_SECURITY_INFORMATION, nullptr, 0, &need);
    std::vector<BYTE> sd(need + 1);
    BOOL present = FALSE, defaulted = FALSE;
    PACL acl = nullptr;
    if (!GetFileSecurityA(path.c_str(), DACL_SECURITY_INFORMATION, sd.data(), need, &need) ||
        !GetSecurityDescriptorDacl(sd.data(), &present, &acl, &defaulted))
        return {"unreadable"};
    if (!present || !acl)
        return {"everyone (no DACL)"};
    std::vector<std::string> grantees;
    for (DWORD i = 0; i < acl->AceCount; ++i) {
        ACCESS_ALLOWED_ACE *ace = nullptr;
        if (!GetAce(acl, i, reinterpret_cast<void **>(&ace)) || ace->Header.AceType != ACCESS_ALLOWED_ACE_TYPE)
            continue;
        char *sid = nullptr;
        ConvertSidToStringSidA(&ace->SidStart, &sid);
        grantees.push_back(sid ? sid : "?");
        LocalFree(sid);
    }
    return grantees;
}

static std::string CurrentUserSid()
{
    HANDLE token;
    OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token);
    DWORD info[128], got = 0;
    GetTokenInformation(token, TokenUser, info, sizeof info, &got);
    CloseHandle(token);
    char *sid = nullptr;
    ConvertSidToStringSidA(reinterpret_cast<TOKEN_USER *>(info)->User.Sid, &sid);
    std::string text = sid ? sid : "";
    LocalFree(sid);
    return text;
}

// A stand-in interpreter only records how it was started, so the batch file stays to be read:
// its permissions are its own, not those of a temporary folder that everyone may write to.
// Nobody but the user, SYSTEM and Administrators is granted anything (Wine keeps fewer).
TEST_F(Removal, TheBatchFileIsTheProgramsAlone)
{
    std::string temp = root_ / "Shared";
    PSECURITY_DESCRIPTOR open = nullptr;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorA("D:(A;OICI;FA;;;WD)", SDDL_REVISION_1, &open,
                                                                     nullptr));
    ASSERT_TRUE(CreateDirectoryA(temp.c_str(), nullptr));
    EXPECT_TRUE(SetFileSecurityA(temp.c_str(), DACL_SECURITY_INFORMATION, open));
    LocalFree(open);
    std::string interpreter = root_ / "Interp\\cmd.exe";
    ASSERT_TRUE(CreateDirectoryA((root_ / "Interp").c_str(), nullptr));
    ASSERT_TRUE(CopyFileTo(BuildDir() + "\\tests\\qbx_recorder.exe", interpreter));
    install();
    list("");
    // A file planted under the batch file's name, a hard link to another file: deleted, never
    // written through.
    std::string batch = JoinPath(temp, "Uninstall_Qbx.Bat"), victim = root_ / "victim.txt";
    ASSERT_TRUE(WriteFileBytes(victim, "victim"));
    ASSERT_TRUE(CreateHardLinkA(batch.c_str(), victim.c_str(), nullptr));
    std::string env = "TMP=" + temp + "\nTEMP=" + temp + "\nCOMSPEC=" + interpreter;
    EXPECT_EQ(WaitExit(start("/s", "", env.c_str()), 30000), 0);
    EXPECT_EQ(ReadFileBytes(victim), "victim");
    ASSERT_TRUE(Exists(batch));
    EXPECT_NE(ReadFileBytes(batch), "victim");
    std::string log = root_ / "Interp\\opened.log";
    for (DWORD t0 = GetTickCount(); ReadFileBytes(log).empty() && GetTickCount() - t0 < 20000;)
        Sleep(100);
    // Started in the installation folder's parent, which it may keep while it runs.
    EXPECT_EQ(ReadFileBytes(log),
              "\"" + interpreter + "\" /d /v:off /s /c \"\"" + batch + "\"\"\t" + root_.path() + "\r\n");
    std::vector<std::string> grantees = Grantees(batch);
    EXPECT_FALSE(grantees.empty());
    for (const std::string &sid : grantees)
        EXPECT_TRUE(sid == CurrentUserSid() || sid == "S-1-5-18" || sid == "S-1-5-32-544") << sid;
}

// A removal cut at its last moment (list and uninstall entry gone, no batch file started)
// leaves the program alone in its folder: run again, it hands its file and folder to the batch
// file. Anything else in the folder, or an uninstall entry that may name the folder, keeps
// the missing-list error and changes nothing.
TEST_F(Removal, ARemovalCutAtItsEndIsFinishedByTheNextRun)
{
    enum Entry { kNoEntry, kOtherFolder, kThisFolder, kThisProgramByAlias, kNoFolderNamed };
    const struct Row {
        const char *left; // a file besides the program after the cut
        Entry entry;
        const char *args; // "": the question, answered No and then Yes
        int code;
    } rows[] = {
        {"", kNoEntry, "/s", 0},
        {"", kNoEntry, "", 0},
        {"Quibex.exe.0.tmp", kOtherFolder, "/quiet", 0}, // a file waiting for the restart
        {"readme.txt", kNoEntry, "/quiet", 1603},
        {"", kThisFolder, "/quiet", 1603},
        {"", kThisProgramByAlias, "/quiet", 1603},
        {"", kNoFolderNamed, "/quiet", 1603},
    };
    const char key[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quibex archiver";
    auto setEntry = [&](const char *name, const std::string &text) {
        HKEY entry;
        ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, key, 0, nullptr, 0, KEY_WRITE, nullptr, &entry, nullptr), 0);
        EXPECT_EQ(RegSetValueExA(entry, name, 0, REG_SZ, reinterpret_cast<const BYTE *>(text.c_str()),
                                 static_cast<DWORD>(text.size() + 1)), 0);
        RegCloseKey(entry);
    };
    for (int n = 0; n < static_cast<int>(std::size(rows)); ++n) {
        const Row &row = rows[n];
        install("Quibex" + std::to_string(n));
        ASSERT_TRUE(CopyFileTo(BuildDir() + "\\tests\\removal_cut.exe", program_));
        file("Quibex.exe");
        list("Quibex.exe\r\n");
        ASSERT_EQ(WaitExit(start("/s"), 30000), 77) << "cut before the batch file";
        ASSERT_FALSE(Exists(at("Uninstall.lst")));
        // The stand-in stood for the program: what the cut leaves is the program's own file.
        ASSERT_TRUE(CopyFileTo(ProgramPath(), program_));
        if (row.left[0] != '\0')
            file(row.left);
        char alias[MAX_PATH] = "";
        ASSERT_NE(GetShortPathNameA(program_.c_str(), alias, MAX_PATH), 0u);
        if (row.entry == kOtherFolder || row.entry == kThisFolder)
            setEntry("InstallLocation", row.entry == kOtherFolder ? root_ / "Other" : dir_);
        else if (row.entry == kThisProgramByAlias)
            setEntry("UninstallString", "\"" + std::string(alias) + "\"");
        else if (row.entry == kNoFolderNamed)
            setEntry("DisplayName", "Quibex");
        if (row.args[0] == '\0') {
            for (int answer : {IDNO, IDYES}) {
                HANDLE process = start("");
                HWND question = box(process);
                ASSERT_NE(question, nullptr);
                ClickButton(question, answer);
                EXPECT_EQ(WaitExit(process, 30000), answer == IDNO ? 1602 : row.code);
                if (answer == IDNO)
                    EXPECT_TRUE(Exists(program_) && !Exists(BatchPath())) << "No changes nothing";
            }
        } else {
            HANDLE process = start(row.args);
            EXPECT_EQ(row.args[1] == 'q' ? ExitCodeShowingNoWindow(process) : WaitExit(process, 30000), row.code)
                << "row " << n;
        }
        if (row.code == 0) {
            EXPECT_TRUE(WaitUntilGone(row.left[0] ? program_ : dir_)) << "row " << n;
            EXPECT_TRUE(WaitUntilGone(BatchPath())) << "row " << n;
        } else {
            EXPECT_TRUE(Exists(program_) && Exists(at(row.left))) << "row " << n;
            EXPECT_FALSE(Exists(BatchPath())) << "row " << n;
        }
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, key);
    }
}

#include <gtest/gtest.h>

#include "common/gui_driver.h"
#include "common/test_util.h"
#include "integration/app_path.h"
#include "registry/registry.h"
#include "integration/uninstall_entry.h"
#include "support/code_pages.h"

#include <algorithm>
#include <set>
#include <string>

static std::string Utf8(const char8_t *text) { return reinterpret_cast<const char *>(text); }

// Keys that Wine and the shell change by themselves while programs run (Wine lists the fonts
// of a code page when a process of a new one, such as UTF-8, first draws text).
static bool Volatile(const std::string &key)
{
    static const char *const parts[] = {"\\Session Manager", "\\Explorer", "\\ShellNoRoam", "\\Wine\\",
                                        "\\RecentDocs", "\\Dynamic Data", "\\Performance", "\\Cryptography",
                                        "\\ShellFolder", "\\CurrentVersion\\Run", "Software\\Wine]",
                                        "\\Volatile Environment", "\\Time Zones", "TimeZoneInformation",
                                        "\\CurrentVersion\\Fonts]"};
    for (const char *part : parts)
        if (key.find(part) != std::string::npos)
            return true;
    return false;
}

// Adds the "[key]|line" entries of one export file, each key prefixed with tag.
static void ReadExport(const std::string &file, const std::string &tag, std::set<std::string> &entries)
{
    std::string bytes = ReadFileBytes(file);
    std::wstring text(reinterpret_cast<const wchar_t *>(bytes.data()), bytes.size() / 2);
    std::string key, line;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find(L'\n', pos);
        if (end == std::wstring::npos)
            end = text.size();
        line = FromWide(text.substr(pos, end - pos), CP_UTF8);
        pos = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty())
            continue;
        if (line[0] == '[')
            key = tag + line;
        if (!Volatile(key))
            entries.insert(key + "|" + line);
    }
}

// The keys setup and removal work in, through Wine's own regedit and reg.
static std::set<std::string> ExportRegistry(const std::string &file)
{
    static const char *const keys[] = {"HKEY_LOCAL_MACHINE\\Software\\Classes",
                                       "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion",
                                       "HKEY_LOCAL_MACHINE\\Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion",
                                       "HKEY_CURRENT_USER\\Software"};
    std::set<std::string> entries;
    for (const char *root : keys) {
        DeleteFileA(file.c_str());
        RunProcess("regedit.exe /E \"" + file + "\" \"" + root + "\""); // the Wow6432Node key only on 64-bit
        ReadExport(file, "", entries);
    }
    // Both views of the machine keys of Default apps; tagged, as their names are the same.
    for (const char *root : {"HKLM\\Software\\Quibex", "HKLM\\Software\\RegisteredApplications"})
        for (const char *view : {"64", "32"}) {
            DeleteFileA(file.c_str());
            RunProcess("reg.exe export " + std::string(root) + " \"" + file + "\" /y /reg:" + view);
            ReadExport(file, view, entries);
        }
    return entries;
}

// Handler keys of the common object classes stay by design, emptied of the class id.
// Also what giving an existing extension back leaves by design: an empty default value
// where there was none, and an empty new-file key where there was none.
static bool KeptByDesign(const std::string &entry, const std::set<std::string> &before)
{
    std::string key = entry.substr(0, entry.find('|'));
    std::string line = entry.substr(entry.find('|') + 1);
    if (line == "@=\"\"" && before.count(key + "|" + key))
        return true;
    size_t shellNew = key.rfind("\\ShellNew]");
    if (line == key && shellNew != std::string::npos && shellNew + 10 == key.size()) {
        std::string parent = key.substr(0, shellNew) + "]";
        if (before.count(parent + "|" + parent))
            return true;
    }
    if (key.find("\\shellex") != std::string::npos)
        return true;
    for (const char *parent : {"\\Directory]", "\\Drive]", "\\Folder]", "\\*]", "\\exefile]"})
        if (key.size() >= lstrlenA(parent) && key.compare(key.size() - lstrlenA(parent), std::string::npos, parent) == 0)
            return true;
    return false;
}

static std::string Listing(const std::string &folder)
{
    std::string names;
    WIN32_FIND_DATAA fd;
    HANDLE find = FindFirstFileA(JoinPath(folder, "*").c_str(), &fd);
    if (find != INVALID_HANDLE_VALUE) {
        do
            names += std::string(fd.cFileName) + " ";
        while (FindNextFileA(find, &fd));
        FindClose(find);
    }
    return names;
}

static std::string Difference(const std::set<std::string> &a, const std::set<std::string> &b)
{
    std::string out;
    for (const std::string &entry : a)
        if (!b.count(entry))
            out += "  " + entry + "\n";
    return out;
}

static std::string InstalledPrograms(const std::string &folder)
{
    std::string file = JoinPath(folder, "list.txt");
    RunProcess("cmd.exe /c uninstaller.exe --list > \"" + file + "\"");
    return ReadFileBytes(file);
}

static std::string Env(const char *name)
{
    char value[64] = "";
    GetEnvironmentVariableA(name, value, sizeof value);
    return value;
}

static void RegAdd(const std::string &args) { EXPECT_EQ(RunProcess("reg.exe add " + args + " /f"), 0) << args; }

// Text of another program's, in the registry's own form, given in UTF-8.
static void SetWide(const char *path, const wchar_t *name, const char8_t *text)
{
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CLASSES_ROOT, path, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr), 0);
    std::wstring wide = Wide(text);
    RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE *>(wide.c_str()),
                   static_cast<DWORD>(wide.size() + 1) * sizeof(wchar_t));
    RegCloseKey(key);
}

// Setup followed by removal leaves the registry as it was, foreign owners included.
class Cycle : public ::testing::Test {
protected:
    Cycle() : work_("cycle") {}
    void SetUp() override
    {
        RegAdd("HKCR\\.zip /ve /d CompressedFolder");
        RegAdd("HKCR\\.zip /v \"Content Type\" /d application/x-zip-compressed");
        RegAdd("HKCR\\CompressedFolder /ve /d \"Compressed folder\"");
        RegAdd("HKCR\\.cab /ve /d Foreign.CAB");
        // Letters neither 1252 nor 936 holds; the largest new-file value takes more bytes in UTF-8.
        SetWide(".7z", L"", u8"Foreign.压缩한");
        SetWide(".7z", L"Content Type", u8"application/x-압축");
        SetWide(".zip\\ShellNew", L"FileName", u8"C:\\模板\\新建 한.zip");
        SetWide(".zip\\ShellNew", L"ItemName", u8"新建一个空的压缩文件，新建一个空的压缩文件");
        // Another program in "Open with" of ".zip", and one registered, as on every Windows 8.
        HKEY key;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CLASSES_ROOT, ".zip\\OpenWithProgids", 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                                  nullptr), 0);
        RegSetValueExA(key, "Foreign.ZIP", 0, REG_NONE, nullptr, 0);
        RegCloseKey(key);
        RegAdd("HKLM\\Software\\RegisteredApplications /v Other /d Software\\Other /reg:64");
        before_ = ExportRegistry(work_ / "before.reg");
        ASSERT_GT(before_.size(), 1000u);
    }
    // Setup by the stand-in, which applies every choice but those of CAB and ARJ.
    void install(int extraFolders = 0)
    {
        ASSERT_TRUE(CreateDirectoryA(dir_.c_str(), nullptr));
        layOut(extraFolders);
        // Setup runs from the place of the real program, so it registers the real paths.
        std::string program = JoinPath(dir_, "uninstall.exe");
        ASSERT_TRUE(CopyFileTo(BuildDir() + "\\tests\\removal_setup.exe", program));
        ASSERT_EQ(RunProcess("\"" + program + "\" 2 3"), 0); // CAB and ARJ left unticked
        ASSERT_TRUE(CopyFileTo(ProgramPath(), program));
    }
    // extraFolders folders of 100 files each, listed after the list itself, as installers list it.
    void layOut(int extraFolders = 0)
    {
        for (const char *name : {"qbxext.dll", "qbxext64.dll", "Qbx.txt", "quibex.chm"})
            ASSERT_TRUE(WriteFileBytes(JoinPath(dir_, name), "x"));
        ASSERT_TRUE(CopyFileTo(BuildDir() + "\\tests\\standin\\Quibex.exe", JoinPath(dir_, "Quibex.exe")));
        std::string list = extraFolders ? "Uninstall.lst\r\n" : "";
        for (int d = 0; d < extraFolders; ++d) {
            std::string folder = "data" + std::to_string(d);
            ASSERT_TRUE(CreateDirectoryA(JoinPath(dir_, folder).c_str(), nullptr));
            for (int f = 0; f < 100; ++f) {
                std::string name = folder + "\\f" + std::to_string(f) + ".bin";
                ASSERT_TRUE(WriteFileBytes(JoinPath(dir_, name), "x"));
                list += name + "\r\n";
            }
            list += folder + "\r\n";
        }
        ASSERT_TRUE(WriteFileBytes(JoinPath(dir_, "Uninstall.lst"),
                                   list + "Quibex.exe\r\nqbxext.dll\r\nqbxext64.dll\r\nQbx.txt\r\nquibex.chm\r\n"
                                          "qbxnew.dat\r\nzipnew.dat\r\nuninstall.exe\r\n"));
    }
    void checkInstalled()
    {
        std::set<std::string> after = ExportRegistry(work_ / "setup.reg");
        std::string added = Difference(after, before_);
        for (const char *key : {"Classes\\Quibex]", "Classes\\.rev]", "Quibex archiver]", "App Paths\\Quibex.exe]",
                                "HKEY_CURRENT_USER\\Software\\Quibex]"})
            EXPECT_NE(added.find(key), std::string::npos) << key;
        // Offered in Default apps and in "Open with" from Vista on, in the 64-bit shell's view.
        auto has = [&](const std::string &entry) { return added.find(entry) != std::string::npos; };
        const bool vista = Env("QBX_VERSION") != "winxp";
        EXPECT_EQ(has("64[HKEY_LOCAL_MACHINE\\Software\\Quibex\\Capabilities\\FileAssociations]|\".zip\"=\"Quibex.ZIP\""),
                  vista);
        EXPECT_EQ(has("64[HKEY_LOCAL_MACHINE\\Software\\RegisteredApplications]|\"Quibex\"="), vista);
        EXPECT_EQ(has("Classes\\.cab\\OpenWithProgids]|\"Quibex\"=hex(0):"), vista) << "a type left unticked";
        EXPECT_FALSE(has("Classes\\.arj]"));
        if (Env("QBX_ARCH") == "win64")
            EXPECT_FALSE(has("32[HKEY_LOCAL_MACHINE\\Software\\Quibex\\Capabilities"));
        std::string list = InstalledPrograms(work_.path());
        EXPECT_TRUE(list.find(Acp(u8"Quibex 压缩文件管理器")) != std::string::npos ||
                    list.find(reinterpret_cast<const char *>(u8"Quibex 压缩文件管理器")) != std::string::npos)
            << list;
    }
    void checkRemoved()
    {
        EXPECT_TRUE(WaitUntilGone(dir_)) << Listing(dir_);
        std::set<std::string> after = ExportRegistry(work_ / "after.reg");
        // What stays by design: the empty handler keys of the shell extension.
        std::string unexpected;
        for (const std::string &entry : after)
            if (!before_.count(entry) && !KeptByDesign(entry, before_))
                unexpected += entry + "\n";
        EXPECT_EQ(unexpected, "") << "left by removal";
        EXPECT_EQ(Difference(before_, after), "") << "taken by removal";
        EXPECT_EQ(InstalledPrograms(work_.path()).find("Quibex"), std::string::npos);
    }
    TempDir work_;
    std::string dir_ = "C:\\Program Files\\Quibex";
    std::set<std::string> before_;
};

TEST_F(Cycle, RemovalStartedFromTheListOfInstalledPrograms)
{
    install();
    checkInstalled();
    HANDLE uninstaller = StartProcess("uninstaller.exe --remove \"Quibex archiver\"");
    ASSERT_NE(uninstaller, nullptr);
    HWND question = WaitForAnyDialog(Wide(u8"卸载 Quibex"), 20000);
    ASSERT_NE(question, nullptr) << "the removal asks first";
    ClickButton(question, IDYES);
    WaitExit(uninstaller, 30000);
    checkRemoved();
}

static std::string RegValue(HKEY root, const char *key, const char *name)
{
    char text[1024];
    return GetRegString(root, key, name, text, sizeof text, "<none>") ? text : "<none>";
}

static std::string EntryText(const char *name) { return RegValue(HKEY_LOCAL_MACHINE, kUninstallKey, name); }

static DWORD SizeOf(const std::string &path)
{
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data);
    return data.nFileSizeLow;
}

TEST_F(Cycle, SilentRemovalInAFolderWithBlanks)
{
    dir_ = "C:\\Program Files\\Quibex-2";
    install();
    EXPECT_EQ(EntryText("UninstallString"), "\"" + dir_ + "\\uninstall.exe\"");
    EXPECT_EQ(EntryText("DisplayIcon"), dir_ + "\\Quibex.exe");
    // What Apps & features and deployment tools read.
    EXPECT_EQ(EntryText("QuietUninstallString"), "\"" + dir_ + "\\uninstall.exe\" /quiet");
    EXPECT_EQ(EntryText("InstallLocation"), dir_);
    EXPECT_EQ(EntryText("DisplayVersion"), "1.0.0");
    EXPECT_EQ(GetRegDword(HKEY_LOCAL_MACHINE, kUninstallKey, "VersionMajor", 9), 1u);
    EXPECT_EQ(GetRegDword(HKEY_LOCAL_MACHINE, kUninstallKey, "VersionMinor", 9), 0u);
    EXPECT_EQ(EntryText("Publisher"), Acp(u8"Quibex 团队"));
    EXPECT_EQ(EntryText("URLInfoAbout"), "https://www.example.com/quibex/");
    SYSTEMTIME today;
    GetLocalTime(&today);
    char date[16];
    wsprintfA(date, "%04u%02u%02u", today.wYear, today.wMonth, today.wDay);
    EXPECT_EQ(EntryText("InstallDate"), date);
    // The listed files as setup found them: the setup program stood where the program is now.
    DWORD bytes = SizeOf(BuildDir() + "\\tests\\removal_setup.exe") + SizeOf(JoinPath(dir_, "Quibex.exe")) +
                  4 + 20 + 22; // four one-byte files and the two templates
    EXPECT_EQ(GetRegDword(HKEY_LOCAL_MACHINE, kUninstallKey, "EstimatedSize", 0), (bytes + 1023) / 1024);
    checkInstalled();
    EXPECT_EQ(RunProcess("\"" + dir_ + "\\uninstall.exe\" /quiet", "", 30000), 0);
    checkRemoved();
}

// A removal by another account finds only the machine's record; the first account's own, older
// once that account removed and set up again after another program took ".zip", gives way to it.
TEST_F(Cycle, RemovalByAnotherAccount)
{
    const std::string firstAccount = work_ / "first.reg", removal = "\"" + dir_ + "\\uninstall.exe\" /quiet";
    install();
    ASSERT_EQ(RunProcess("reg.exe export HKCU\\Software\\Quibex \"" + firstAccount + "\" /y"), 0);
    RunProcess("reg.exe delete HKCU\\Software\\Quibex /f");
    EXPECT_EQ(RunProcess(removal, "", 30000), 0);
    checkRemoved();
    RegAdd("HKCR\\.zip /ve /d Newer.ZIP");
    before_ = ExportRegistry(work_ / "newer.reg");
    install();
    RunProcess("reg.exe delete HKCU\\Software\\Quibex /f");
    ASSERT_EQ(RunProcess("reg.exe import \"" + firstAccount + "\""), 0);
    EXPECT_EQ(RunProcess(removal, "", 30000), 0);
    checkRemoved();
}

// A log asked for names what the run did, line by line (each after its time, CRLF, UTF-8 after
// its mark), and ends with the exit code; the "-" in its name starts no switch. A relative
// name is taken from the folder the program starts in; plain "/log" writes a new file in TEMP.
TEST_F(Cycle, QuietRemovalWritesTheLogAskedFor)
{
    install();
    const std::string logs = work_ / "logs", log = "C:\\logs\\qbx removal-1.log";
    ASSERT_TRUE(CreateDirectoryA("C:\\logs", nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
    ASSERT_TRUE(CreateDirectoryA(logs.c_str(), nullptr));
    EXPECT_EQ(RunProcess("\"" + dir_ + "\\uninstall.exe\" /quiet /log=\"" + log + "\"", "", 30000), 0);
    checkRemoved();
    const std::string text = ReadFileBytes(log);
    ASSERT_EQ(text.substr(0, 3), "\xEF\xBB\xBF");
    for (size_t at = 3; at < text.size(); at = text.find('\n', at) + 1)
        EXPECT_TRUE(text.compare(at, 2, "20") == 0 && text[at + 13] == ':' && text[text.find('\n', at) - 1] == '\r')
            << text.substr(at, 40);
    const std::string parts[] = {"deleted " + dir_ + "\\Quibex.exe\r\n",
                                 ".zip given back: owner \"CompressedFolder\"\r\n"};
    for (const std::string &part : parts)
        EXPECT_NE(text.find(part), std::string::npos) << part << "\n" << text;
    EXPECT_EQ(text.substr(text.rfind('\n', text.size() - 2) + 25), "exit code 0: removed\r\n");
    // Runs that only take switches.
    const std::string program = BuildDir() + "\\uninstall.exe";
    EXPECT_EQ(RunProcess("\"" + program + "\" /clean /log=rel.log", logs), 0);
    EXPECT_NE(ReadFileBytes(JoinPath(logs, "rel.log")).find("exit code 0: done\r\n"), std::string::npos);
    EXPECT_EQ(RunProcess("\"" + program + "\" -LOG /clean", logs), 0);
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA(JoinPath(temp, "Quibex_switches_*.log").c_str(), &found);
    ASSERT_NE(find, INVALID_HANDLE_VALUE);
    FindClose(find);
}

static bool RegisteredAppsKey(const char *value = nullptr, REGSAM view = KEY_WOW64_64KEY)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\RegisteredApplications", 0, KEY_QUERY_VALUE | view, &key))
        return false;
    bool found = !value || RegQueryValueExA(key, value, nullptr, nullptr, nullptr, nullptr) == 0;
    RegCloseKey(key);
    return found;
}

// As in a fresh prefix, no program is registered and the key is in neither view: the key setup
// made goes with removal, unless another program registered itself in it meanwhile.
TEST_F(Cycle, RegisteredApplicationsMadeBySetupGoWithIt)
{
    RunProcess("reg.exe delete HKLM\\Software\\RegisteredApplications /f /reg:64");
    ASSERT_FALSE(RegisteredAppsKey(nullptr, KEY_WOW64_64KEY));
    ASSERT_FALSE(RegisteredAppsKey(nullptr, KEY_WOW64_32KEY));
    before_ = ExportRegistry(work_ / "before.reg");
    for (bool another : {false, true}) {
        install();
        ASSERT_TRUE(RegisteredAppsKey("Quibex"));
        if (another)
            RegAdd("HKLM\\Software\\RegisteredApplications /v Later /d Software\\Later /reg:64");
        EXPECT_EQ(RunProcess("\"" + dir_ + "\\uninstall.exe\" /quiet", "", 30000), 0);
        if (another) {
            EXPECT_TRUE(RegisteredAppsKey("Later")) << "another program's registration stays";
            EXPECT_FALSE(RegisteredAppsKey("Quibex"));
            RunProcess("reg.exe delete HKLM\\Software\\RegisteredApplications /f /reg:64");
        }
        checkRemoved();
    }
}

// The program in a folder whose name the code page of the run may not hold ("?" for a letter
// would name another folder): everything setup stores names it as a program there reads it,
// through its short form where needed, and removal completes.
TEST_F(Cycle, SilentRemovalInAFolderNamedBeyondTheCodePage)
{
    const std::wstring folder = Wide(u8"C:\\Program Files\\Quibex 工具");
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    dir_ = NamedPath(folder);
    layOut();
    ASSERT_TRUE(CopyFileTo(ProgramPath(), JoinPath(dir_, "uninstall.exe")));
    ASSERT_EQ(RunProcessW(L"\"" + folder + L"\\uninstall.exe\" /setup /quiet"), 0);
    const std::string program = NamedPath(folder + L"\\uninstall.exe"), exe = JoinPath(dir_, "Quibex.exe");
    char command[1024];
    ASSERT_TRUE(UninstallCommand(command, sizeof command, program.c_str()));
    const struct {
        HKEY root;
        const char *key, *name;
        std::string value;
    } stored[] = {{HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString", command},
                  {HKEY_LOCAL_MACHINE, kUninstallKey, "QuietUninstallString", "\"" + program + "\" /quiet"},
                  {HKEY_LOCAL_MACHINE, kUninstallKey, "InstallLocation", dir_},
                  {HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayIcon", exe},
                  {HKEY_CLASSES_ROOT, "Quibex\\shell\\open\\command", "", "\"" + exe + "\" \"%1\""},
                  {HKEY_LOCAL_MACHINE, kAppPathKey, "", exe},
                  {HKEY_LOCAL_MACHINE, kAppPathKey, "Path", dir_}};
    for (const auto &entry : stored)
        EXPECT_EQ(RegValue(entry.root, entry.key, entry.name), entry.value) << entry.key << " " << entry.name;
    EXPECT_EQ(RunProcess(RegValue(HKEY_LOCAL_MACHINE, kUninstallKey, "QuietUninstallString"), "", 30000), 0);
    checkRemoved();
}

static bool SettingsGone() { return !RegKeyExists(kSettingsRoot, ""); }
static bool FirstFileGone() { return !Exists("C:\\Program Files\\Quibex\\data0\\f0.bin"); }

// A removal ended part-way, as a power cut or a deployment tool's time limit ends it, is
// finished by running it again: the list and the uninstall entry go last.
TEST_F(Cycle, RemovalCutShortIsFinishedByTheNextRun)
{
    for (bool (*cutWhen)() : {SettingsGone, FirstFileGone}) {
        install(30);
        HANDLE removal = StartProcess("\"" + dir_ + "\\uninstall.exe\" /s");
        ASSERT_NE(removal, nullptr);
        for (DWORD t0 = GetTickCount(); !cutWhen() && GetTickCount() - t0 < 60000;)
            Sleep(1);
        ASSERT_EQ(WaitForSingleObject(removal, 0), WAIT_TIMEOUT) << "ended before the cut";
        TerminateProcess(removal, 1);
        WaitExit(removal);
        EXPECT_TRUE(Exists(JoinPath(dir_, "data29\\f99.bin"))) << "cut part-way";
        EXPECT_NE(InstalledPrograms(work_.path()).find("Quibex"), std::string::npos) << "still listed";
        EXPECT_EQ(RunProcess("\"" + dir_ + "\\uninstall.exe\" /s", "", 60000), 0);
        checkRemoved();
    }
}

// The program as Windows 10 runs it, a UTF-8 process, on a Western and on a Chinese system:
// names no legacy code page holds whole, in the folder, the temporary folder and another
// program's template, come through setup and a quiet removal exactly. This test program is a
// UTF-8 process too, so its own narrow texts are UTF-8.
TEST_F(Cycle, AnyCodePageSetupAndQuietRemoval)
{
    ASSERT_EQ(GetACP(), static_cast<UINT>(CP_UTF8)) << "run as a UTF-8 process";
    const bool western = SystemAnsiCodePage() == 1252;
    dir_ = western ? Utf8(u8"C:\\Program Files\\Quibex 工具") : Utf8(u8"C:\\Program Files\\Quibex 한글");
    const std::string temp = Utf8(u8"C:\\users\\Şahin 工具\\Temp");
    const std::string listed = western ? Utf8(u8"Liesmich für Sie.txt") : Utf8(u8"说明文件.txt");
    const std::string foreignTemplate = Utf8(u8"C:\\模板\\新建.zip");
    RegAdd("HKCR\\.zip\\ShellNew /v FileName /d \"" + foreignTemplate + "\"");
    before_ = ExportRegistry(work_ / "before.reg");

    ASSERT_TRUE(CreateDirectoryA(Utf8(u8"C:\\users\\Şahin 工具").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA(temp.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA(dir_.c_str(), nullptr));
    for (const std::string &name : {std::string("Qbx.txt"), std::string("quibex.chm"), listed})
        ASSERT_TRUE(WriteFileBytes(JoinPath(dir_, name), "x"));
    ASSERT_TRUE(CopyFileTo(BuildDir() + "\\tests\\standin\\Quibex.exe", JoinPath(dir_, "Quibex.exe")));
    ASSERT_TRUE(CopyFileTo(ProgramPath(), JoinPath(dir_, "uninstall.exe")));
    // The installer writes the list in the system's code page.
    char listedBytes[256];
    ASSERT_GT(ConvertText(CP_UTF8, listed.c_str(), kTerminated, SystemAnsiCodePage(), listedBytes, sizeof listedBytes), 0);
    ASSERT_TRUE(WriteFileBytes(JoinPath(dir_, "Uninstall.lst"), "Quibex.exe\r\nQbx.txt\r\nquibex.chm\r\n" +
                                                                   std::string(listedBytes) +
                                                                   "\r\nqbxnew.dat\r\nzipnew.dat\r\nuninstall.exe\r\n"));
    const std::string program = JoinPath(dir_, "uninstall.exe");
    const std::string env = "TEMP=" + temp + "\nTMP=" + temp;
    ASSERT_EQ(WaitExit(StartProcess("\"" + program + "\" /setup /s", dir_, env.c_str())), 0);

    // Read back whole, in the registry's own UTF-16.
    EXPECT_EQ(EntryText("DisplayName"), Utf8(u8"Quibex 压缩文件管理器"));
    EXPECT_EQ(EntryText("UninstallString"), "\"" + program + "\"");
    EXPECT_EQ(EntryText("InstallLocation"), dir_);
    char type[128];
    GetRegString(HKEY_CLASSES_ROOT, "Quibex.ZIP", "", type, sizeof type, "");
    EXPECT_EQ(std::string(type), Utf8(u8"Quibex ZIP 压缩文件"));

    EXPECT_EQ(WaitExit(StartProcess("\"" + program + "\" /quiet", "", env.c_str()), 60000), 0);
    checkRemoved();
    EXPECT_TRUE(WaitUntilGone(JoinPath(temp, "Uninstall_Qbx.Bat"))) << "the batch file deletes itself";
    RemoveTree(Utf8(u8"C:\\users\\Şahin 工具"));
}

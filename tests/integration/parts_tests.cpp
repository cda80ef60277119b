#include <gtest/gtest.h>

#include "common/test_util.h"
#include "integration/app_path.h"
#include "integration/associations.h"
#include "integration/file_types.h"
#include "integration/shell_extension.h"
#include "integration/shortcuts.h"
#include "integration/uninstall_entry.h"
#include "integration_util.h"
#include "lang/language_file.h"
#include "lang/messages.h"
#include "registry/registry.h"

#include <shlobj.h>

#include <algorithm>
#include <string>
#include <vector>

static std::vector<std::string> Split(const char *group)
{
    std::vector<std::string> out;
    char ext[kExtensionSize];
    while (NextExtension(&group, ext, sizeof ext))
        out.push_back(ext);
    return out;
}

// Each type's extensions, written out: a typo in the table must not pass.
TEST(SetupChoicesRecord, EveryTypeWithItsBoxAndExtensions)
{
    using V = std::vector<std::string>;
    const V expected[kArchiveTypeCount] = {
        {".qbx"}, {".zip"}, {".cab"}, {".arj"}, {".lzh", ".lha"}, {".ace"}, {".7z"}, {".tar"},
        {".gz", ".tgz"}, {".uue", ".xxe", ".uu"}, {".bz2", ".tbz2", ".bz", ".tbz"}, {".jar"}, {".iso"},
        {".z", ".taz"}};
    for (int i = 0; i < kArchiveTypeCount; ++i) {
        EXPECT_EQ(ArchiveTypes[i].control, 5101 + i) << i;
        EXPECT_EQ(Split(ArchiveTypes[i].group), expected[i]) << i;
        EXPECT_EQ(std::string(ArchiveTypes[i].extension), expected[i][0]) << i;
    }
    EXPECT_EQ(Split(""), V{});
}

TEST(AppPath, SubfolderAndDriveRoot)
{
    ASSERT_TRUE(RegisterAppPath());
    EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, kAppPathKey), InstallFile("Quibex.exe"));
    EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, kAppPathKey, "Path"), InstallDir());

    // The same program run from the root of drive C:.
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    ASSERT_TRUE(CopyFileTo(self, "C:\\qbx_root_test.exe"));
    EXPECT_EQ(RunProcess("C:\\qbx_root_test.exe --gtest_filter=AppPathChild.*", "C:\\", 60000), 0);
    DeleteFileA("C:\\qbx_root_test.exe");
    EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, kAppPathKey), "C:\\Quibex.exe");
    EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, kAppPathKey, "Path"), "C:\\");
    DeleteRegKey(HKEY_LOCAL_MACHINE, kAppPathKey);
}

TEST(AppPathChild, RegisterFromDriveRoot)
{
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    if (std::string(self).find("qbx_root_test") == std::string::npos)
        GTEST_SKIP() << "runs only as the drive-root child";
    EXPECT_TRUE(RegisterAppPath());
}

// Each module's class keys in its own registry view, its handler keys and approval also when
// its file is missing, and what taking it back leaves: the named handler keys, emptied (the
// round trips of the whole registry pass over every "shellex" key).
TEST(ShellExtension, RegisteredInItsViewAndTakenBack)
{
    struct Module {
        const char *id, *file, *handler;
        REGSAM view, otherView;
    };
    std::vector<Module> modules = {
        {kShellExtClassId32, "qbxext.dll", IsWow64Run() ? "Quibex32" : "Quibex", 0, KEY_WOW64_64KEY}};
    if (IsWow64Run())
        modules.push_back({kShellExtClassId64, "qbxext64.dll", "Quibex", KEY_WOW64_64KEY, KEY_WOW64_32KEY});
    const std::string approved = "Software\\Microsoft\\Windows\\CurrentVersion\\Shell Extensions\\Approved";
    const char *const byId[] = {"Quibex\\shellex\\ContextMenuHandlers\\", "Quibex\\shellex\\PropertySheetHandlers\\",
                                "Quibex.ZIP\\shellex\\ContextMenuHandlers\\",
                                "Quibex.ZIP\\shellex\\PropertySheetHandlers\\", "exefile\\shellex\\PropertySheetHandlers\\"};
    const char *const byName[] = {"*\\shellex\\ContextMenuHandlers\\",        "Folder\\shellex\\ContextMenuHandlers\\",
                                  "Folder\\shellex\\DragDropHandlers\\",      "Drive\\shellex\\DragDropHandlers\\",
                                  "Directory\\shellex\\ContextMenuHandlers\\", "Directory\\shellex\\DragDropHandlers\\"};
    SetupChoices on = {};
    on.ShellExt = true;
    for (bool files : {true, false}) {
        SCOPED_TRACE(files ? "with the modules" : "without them");
        for (const Module &m : modules)
            files ? WriteFileBytes(InstallFile(m.file), "x") : DeleteFileA(InstallFile(m.file).c_str());
        SetShellIntegration(on);
        for (const Module &m : modules) {
            const std::string server = std::string("CLSID\\") + m.id + "\\InProcServer32";
            EXPECT_EQ(RegText(HKEY_CLASSES_ROOT, server, "", m.view), files ? InstallFile(m.file) : "<no key>");
            EXPECT_EQ(RegText(HKEY_CLASSES_ROOT, server, "ThreadingModel", m.view), files ? "Apartment" : "<no key>");
            if (IsWow64Run())
                EXPECT_FALSE(KeyThere(HKEY_CLASSES_ROOT, std::string("CLSID\\") + m.id, m.otherView)) << m.id;
            EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, approved, m.id), "Quibex shell extension");
            for (const char *head : byId)
                EXPECT_EQ(RegText(HKEY_CLASSES_ROOT, head + std::string(m.id)), "") << head;
            for (const char *head : byName)
                EXPECT_EQ(RegText(HKEY_CLASSES_ROOT, head + std::string(m.handler)), m.id) << head;
        }
        for (const char *cls : {"Quibex", "Quibex.ZIP"})
            EXPECT_EQ(RegText(HKEY_CLASSES_ROOT, cls + std::string("\\shellex\\DropHandler")), modules.back().id);

        SetShellIntegration(SetupChoices{});
        for (const Module &m : modules) {
            for (REGSAM view : {0, KEY_WOW64_64KEY})
                EXPECT_FALSE(KeyThere(HKEY_CLASSES_ROOT, std::string("CLSID\\") + m.id, view)) << m.id;
            EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, approved, m.id), "<no value>");
            for (const char *head : byId)
                EXPECT_FALSE(KeyThere(HKEY_CLASSES_ROOT, head + std::string(m.id))) << head;
            for (const char *head : byName)
                EXPECT_EQ(RegText(HKEY_CLASSES_ROOT, head + std::string(m.handler)), "<no value>") << head;
        }
        for (const char *cls : {"Quibex", "Quibex.ZIP"})
            EXPECT_FALSE(KeyThere(HKEY_CLASSES_ROOT, cls + std::string("\\shellex\\DropHandler")));
    }
}

// The three file types open with the archiver and show its icons; an icon the user chose
// stays, and ".rev" is the archiver's after every setup.
TEST(FileTypes, OpenWithTheArchiverAndKeepTheUsersIcon)
{
    RawSetText(HKEY_CLASSES_ROOT, "Quibex\\DefaultIcon", "", "C:\\icons\\mine.ico,3");
    RawSetText(HKEY_CLASSES_ROOT, ".rev", "", "Other.REV");
    ASSERT_TRUE(RegisterFileTypes());
    const std::string exe = InstallFile("Quibex.exe");
    const struct {
        const char *type;
        const char8_t *name;
        std::string icon;
    } rows[] = {{"Quibex", u8"Quibex 压缩文件", "C:\\icons\\mine.ico,3"},
                {"Quibex.ZIP", u8"Quibex ZIP 压缩文件", exe + ",0"},
                {"Quibex.REV", u8"QBX 恢复卷", exe + ",1"}};
    for (const auto &row : rows) {
        EXPECT_EQ(RegText(HKEY_CLASSES_ROOT, row.type), Acp(row.name));
        EXPECT_EQ(RegText(HKEY_CLASSES_ROOT, row.type + std::string("\\shell\\open\\command")),
                  "\"" + exe + "\" \"%1\"");
        EXPECT_EQ(RegText(HKEY_CLASSES_ROOT, row.type + std::string("\\DefaultIcon")), row.icon);
    }
    EXPECT_EQ(RegText(HKEY_CLASSES_ROOT, ".rev"), "Quibex.REV");
    for (const char *key : {"Quibex", "Quibex.ZIP", "Quibex.REV", ".rev"})
        DeleteRegTree(HKEY_CLASSES_ROOT, key);
}

TEST(Shortcuts, UnsafeTranslatedNamesFallBackToTheNativeOnes)
{
    std::string module = JoinPath(BuildDir(), "tests\\badnames\\badnames.dll");
    HMODULE names = LoadLibraryExA(module.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(names, nullptr) << module;
    HMODULE saved = g_resourceModule;
    g_resourceModule = names;
    char name[kMsgSize];
    ShortcutName(5102, name, sizeof name);
    EXPECT_EQ(std::string(name), Acp(u8"Quibex 中文帮助"));
    ShortcutName(5103, name, sizeof name);
    EXPECT_EQ(std::string(name), Acp(u8"控制台 QBX 中文手册"));

    SetupChoices programs = {};
    programs.Programs = true;
    UpdateShortcuts(programs, nullptr, 0);
    g_resourceModule = saved;
    FreeLibrary(names);
    const std::string folder = ShellFolder(CSIDL_PROGRAMS), group = JoinPath(folder, "Quibex");
    EXPECT_TRUE(Exists(JoinPath(group, Acp(u8"Quibex 中文帮助.lnk"))));
    EXPECT_FALSE(Exists(JoinPath(folder, Acp(u8"帮助.lnk"))));
    UpdateShortcuts(SetupChoices{}, nullptr, 0);
    EXPECT_FALSE(Exists(group));
}

// The NT family names the shortcuts from the resources in UTF-16 on any code page; 9x falls
// back to the target's file name where its code page cannot hold the name.
TEST(Shortcuts, EveryGroupShortcutWhateverTheCodePage)
{
    const bool nt = VersionName() != "win98";
    const bool holds = Acp(u8"中文帮助手册").find('?') == std::string::npos;
    const std::wstring names[3] = {L"Quibex", nt || holds ? Wide(u8"Quibex 中文帮助") : L"Quibex.chm",
                                   nt || holds ? Wide(u8"控制台 QBX 中文手册") : L"Qbx"};
    const char *targets[3] = {"Quibex.exe", "Quibex.chm", "Qbx.txt"};
    const std::wstring description = Wide(u8"处理 QBX、ZIP 和其他压缩格式");
    SetupChoices programs = {};
    programs.Programs = true;
    std::vector<std::string> groups = {JoinPath(ShellFolder(CSIDL_PROGRAMS), "Quibex")};
    if (nt)
        groups.push_back(JoinPath(ShellFolder(CSIDL_COMMON_PROGRAMS), "Quibex"));
    // The caller's buffer shows the last group made whose path fits it whole.
    for (const std::string &fitting : groups)
        for (size_t size : {fitting.size(), fitting.size() + 1}) {
            char shown[kPathSize] = "unchanged";
            UpdateShortcuts(programs, shown, size);
            std::string expected = "unchanged";
            for (const std::string &group : groups)
                expected = group.size() < size ? group : expected;
            EXPECT_EQ(std::string(shown), expected) << size;
        }
    for (const std::string &group : groups) {
        std::vector<std::wstring> expected;
        for (const std::wstring &name : names)
            expected.push_back(name + L".lnk");
        std::sort(expected.begin(), expected.end());
        ASSERT_EQ(FilesInW(group), expected) << group;
        for (int i = 0; i < 3; ++i) {
            const std::wstring link = WideOf(group) + L"\\" + names[i] + L".lnk";
            std::wstring target, text;
            ASSERT_TRUE(ReadShellLinkW(link, &target, &text)) << i;
            EXPECT_EQ(target, WideOf(InstallFile(targets[i]))) << i;
            std::string localPath, textUtf8;
            ASSERT_TRUE(LnkInfo(link, &localPath, &textUtf8)) << i;
            EXPECT_EQ(localPath, InstallFile(targets[i])) << "lnkinfo " << i;
            if (nt || holds) {
                EXPECT_EQ(text, description) << i;
                EXPECT_EQ(textUtf8, reinterpret_cast<const char *>(u8"处理 QBX、ZIP 和其他压缩格式")) << i;
            }
        }
    }
    UpdateShortcuts(SetupChoices{}, nullptr, 0);
    for (const std::string &group : groups)
        EXPECT_FALSE(Exists(group)) << group;
}

// A translated name fit for a file name is used as it is, even when a trail byte is 0x5C
// (the first byte pair of "乗" in code page 936). Without "Programs" no group is reported.
TEST(Shortcuts, SafeTranslatedNamesAreUsedAsTheyAre)
{
    TempDir dir("lngnames");
    const std::string name = Acp(u8"乗 帮助");
    ASSERT_EQ(name.substr(0, 2), "\x81\x5C");
    char key[9];
    LanguageKey(key, Acp(u8"Quibex 中文帮助").c_str(), nullptr, TextKind::MessageText);
    ASSERT_TRUE(WriteFileBytes(dir / "uninstall.lng", "***messages***\r\n" + std::string(key) + "=\"" + name + "\"\r\n"));
    g_language.Load((dir / "uninstall.lng").c_str());
    SetupChoices programs = {};
    programs.Programs = true;
    UpdateShortcuts(programs, nullptr, 0);
    g_language.Load((dir / "absent.lng").c_str());
    const std::string group = JoinPath(ShellFolder(CSIDL_PROGRAMS), "Quibex");
    EXPECT_TRUE(Exists(JoinPath(group, name + ".lnk")));

    char reported[kPathSize] = "unchanged";
    UpdateShortcuts(SetupChoices{}, reported, sizeof reported);
    EXPECT_STREQ(reported, "unchanged");
    EXPECT_FALSE(Exists(group));
}

// The recursive delete takes a program group folder directly under a Programs folder and
// nothing else: another path, the group's own with a trailing separator or a dot, a deeper one
// and a link named as the group all stay whole, and the group still goes.
TEST(Shortcuts, OnlyTheProgramGroupIsDeletedWhole)
{
    SetupChoices programs = {};
    programs.Programs = true;
    UpdateShortcuts(programs, nullptr, 0);
    const std::string folder = ShellFolder(CSIDL_PROGRAMS), group = JoinPath(folder, "Quibex");
    TempDir dir("groupdelete");
    const std::string kept[] = {dir / "Quibex", JoinPath(folder, "Other"), JoinPath(group, "Deeper")};
    for (const std::string &path : kept) {
        ASSERT_TRUE(CreateDirectoryA(path.c_str(), nullptr)) << path;
        ASSERT_TRUE(WriteFileBytes(JoinPath(path, "kept.txt"), "x")) << path;
    }
    for (const std::string &path : {kept[0], kept[1], group + "\\..\\Other", group + "\\", group + "\\.", kept[2],
                                    folder + "\\.\\Quibex", folder + "/Quibex"})
        EXPECT_FALSE(DeleteFolderTree(path.c_str())) << path;
    for (const std::string &path : kept)
        EXPECT_TRUE(Exists(JoinPath(path, "kept.txt"))) << path;
    UpdateShortcuts(SetupChoices{}, nullptr, 0);
    EXPECT_FALSE(Exists(group));
    EXPECT_TRUE(Exists(JoinPath(kept[1], "kept.txt")));
    DeleteFileA(JoinPath(kept[1], "kept.txt").c_str());
    RemoveDirectoryA(kept[1].c_str());

    if (VersionName() != "win98") {
        ASSERT_TRUE(MakeFolderLink(group, kept[0]));
        EXPECT_FALSE(DeleteFolderTree(group.c_str()));
        EXPECT_TRUE(Exists(JoinPath(kept[0], "kept.txt"))) << "behind a link";
        ASSERT_TRUE(RemoveFolderLink(group));
    }

    // The rule alone, on paths that need not exist.
    const char *const known[] = {"C:\\U\\Programs", "", "C:\\All\\Programs"};
    struct {
        const char *folder;
        bool group;
    } rows[] = {{"C:\\U\\Programs\\Quibex", true}, {"C:\\All\\Programs\\Quibex", true},
                {"C:\\U\\Programs", false}, {"C:\\U\\Programs\\", false}, {"C:\\", false}, {"", false},
                {"\\Quibex", false}, {"Quibex", false}, {"C:\\U\\Quibex", false},
                {"C:\\U\\Programs\\Quibex\\", false}, {"C:\\U\\Programs\\Quibex\\.", false},
                {"C:\\U\\Programs\\Quibex\\..", false}, {"C:\\U\\Programs\\Quibex\\Deeper", false},
                {"C:\\U\\Programs\\Other", false}, {"C:\\U\\Programs\\Other\\..\\Quibex", false},
                {"C:\\U\\Programs/Quibex", false}, {"C:\\U\\Programs\\Quibex2", false}};
    for (const auto &r : rows)
        EXPECT_EQ(IsProgramGroupFolder(r.folder, known, 3), r.group) << r.folder;
    const char *const dotted[] = {"C:\\U\\..\\Programs"};
    EXPECT_FALSE(IsProgramGroupFolder("C:\\U\\..\\Programs\\Quibex", dotted, 1));
}

// A value of the shell's folder table: read, or set when value is given.
static std::wstring ShellFolderValue(HKEY root, const wchar_t *name, const std::wstring *value = nullptr)
{
    HKEY key;
    WCHAR text[MAX_PATH] = L"";
    DWORD size = sizeof text - sizeof(WCHAR);
    if (RegCreateKeyExW(root, L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders", 0,
                        nullptr, 0, KEY_READ | KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return L"";
    if (value)
        RegSetValueExW(key, name, 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE *>(value->c_str()),
                       static_cast<DWORD>((value->size() + 1) * sizeof(WCHAR)));
    else
        RegQueryValueExW(key, name, nullptr, nullptr, reinterpret_cast<BYTE *>(text), &size);
    RegCloseKey(key);
    return text;
}

// Shell folders named with letters the code page may not hold still get their shortcuts and
// group, and lose them again.
TEST(Shortcuts, EveryLinkInShellFoldersNamedBeyondTheCodePage)
{
    if (VersionName() == "win98")
        GTEST_SKIP() << "9x reads its folders only through the code page";
    const bool nt6 = VersionName() != "winxp";
    struct Moved {
        HKEY root;
        const wchar_t *name;
        std::wstring folder, saved;
    } moved[] = {{HKEY_CURRENT_USER, L"Programs", Wide(u8"C:\\qbxtests\\开始 菜单")},
                 {nt6 ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER, nt6 ? L"Common Desktop" : L"Desktop",
                  Wide(u8"C:\\qbxtests\\桌面 工具")}};
    CreateDirectoryA("C:\\qbxtests", nullptr);
    for (Moved &m : moved) {
        m.saved = ShellFolderValue(m.root, m.name);
        ASSERT_TRUE(CreateDirectoryW(m.folder.c_str(), nullptr));
        ShellFolderValue(m.root, m.name, &m.folder);
    }
    const std::wstring group = moved[0].folder + L"\\Quibex", desktopLink = moved[1].folder + L"\\Quibex.lnk";
    SetupChoices wanted = {};
    wanted.Programs = wanted.Desktop = true;
    UpdateShortcuts(wanted, nullptr, 0);
    EXPECT_EQ(FilesInW(group).size(), 3u);
    EXPECT_NE(GetFileAttributesW(desktopLink.c_str()), INVALID_FILE_ATTRIBUTES);
    UpdateShortcuts(SetupChoices{}, nullptr, 0);
    EXPECT_EQ(GetFileAttributesW(group.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetFileAttributesW(desktopLink.c_str()), INVALID_FILE_ATTRIBUTES);
    for (Moved &m : moved) {
        ShellFolderValue(m.root, m.name, &m.saved);
        RemoveTree(NamedPath(m.folder));
    }
}

TEST(UninstallCommand, QuotedOnlyWithABlank)
{
    char out[64];
    ASSERT_TRUE(UninstallCommand(out, sizeof out, "C:\\Apps\\Quibex\\uninstall.exe"));
    EXPECT_STREQ(out, "C:\\Apps\\Quibex\\uninstall.exe");
    ASSERT_TRUE(UninstallCommand(out, sizeof out, "C:\\Program Files\\Q\\uninstall.exe"));
    EXPECT_STREQ(out, "\"C:\\Program Files\\Q\\uninstall.exe\"");
    EXPECT_TRUE(UninstallCommand(out, 10, "C:\\a b\\"));
    EXPECT_FALSE(UninstallCommand(out, 9, "C:\\a b\\"));
}

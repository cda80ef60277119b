#include <gtest/gtest.h>

#include "common/gui_driver.h"
#include "common/test_hooks.h"
#include "common/test_util.h"
#include "integration/app_path.h"
#include "integration/associations.h"
#include "integration/shell_extension.h"
#include "integration/shortcuts.h"
#include "integration/templates.h"
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

TEST(IsWow64, AnswersForThePlatformAndAsksOnce)
{
    EXPECT_EQ(IsWow64(), IsWow64Run());
    EXPECT_EQ(IsWow64(), IsWow64Run());
    EXPECT_EQ(Wow64QueryCount(), 1);
}

TEST(ShellExtension, MissingModuleStillWritesHandlersAndApproval)
{
    DeleteFileA(InstallFile("qbxext.dll").c_str());
    DeleteFileA(InstallFile("qbxext64.dll").c_str());
    SetupChoices on = {};
    on.ShellExt = true;
    SetShellIntegration(on);
    EXPECT_FALSE(KeyThere(HKEY_CLASSES_ROOT, std::string("CLSID\\") + kShellExtClassId32));
    EXPECT_FALSE(KeyThere(HKEY_CLASSES_ROOT, std::string("CLSID\\") + kShellExtClassId64, KEY_WOW64_64KEY));
    EXPECT_EQ(RegText(HKEY_CLASSES_ROOT, "*\\shellex\\ContextMenuHandlers\\Quibex"),
              IsWow64Run() ? kShellExtClassId64 : kShellExtClassId32);
    EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Shell Extensions\\Approved",
                      kShellExtClassId32),
              "Quibex shell extension");
    SetShellIntegration(SetupChoices{});
    EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Shell Extensions\\Approved",
                      kShellExtClassId32),
              "<no value>");
    EXPECT_FALSE(KeyThere(HKEY_CLASSES_ROOT, "Quibex\\shellex\\DropHandler"));
}

TEST(FileTypes, IconsOfTheUserStayAndRevIsAlwaysOurs)
{
    RawSetText(HKEY_CLASSES_ROOT, "Quibex\\DefaultIcon", "", "C:\\icons\\mine.ico,3");
    RawSetText(HKEY_CLASSES_ROOT, ".rev", "", "Other.REV");
    ASSERT_TRUE(RegisterFileTypes());
    EXPECT_EQ(RegText(HKEY_CLASSES_ROOT, "Quibex\\DefaultIcon"), "C:\\icons\\mine.ico,3");
    EXPECT_EQ(RegText(HKEY_CLASSES_ROOT, "Quibex.ZIP\\DefaultIcon"), InstallFile("Quibex.exe") + ",0");
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
    UpdateShortcuts(programs, nullptr);
    g_resourceModule = saved;
    FreeLibrary(names);
    char folder[MAX_PATH] = "";
    SHGetFolderPathA(nullptr, CSIDL_PROGRAMS, nullptr, SHGFP_TYPE_CURRENT, folder);
    std::string group = JoinPath(folder, "Quibex");
    EXPECT_NE(GetFileAttributesA(JoinPath(group, Acp(u8"Quibex 中文帮助.lnk")).c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetFileAttributesA(JoinPath(folder, Acp(u8"帮助.lnk")).c_str()), INVALID_FILE_ATTRIBUTES);
    UpdateShortcuts(SetupChoices{}, nullptr);
    EXPECT_EQ(GetFileAttributesA(group.c_str()), INVALID_FILE_ATTRIBUTES);
}

static std::vector<std::wstring> FilesInW(const std::string &folder)
{
    std::vector<std::wstring> names;
    WCHAR pattern[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, JoinPath(folder, "*").c_str(), -1, pattern, MAX_PATH);
    WIN32_FIND_DATAW fd;
    HANDLE find = FindFirstFileW(pattern, &fd);
    if (find == INVALID_HANDLE_VALUE)
        return names;
    do {
        if (fd.cFileName[0] != L'.')
            names.push_back(fd.cFileName);
    } while (FindNextFileW(find, &fd));
    FindClose(find);
    std::sort(names.begin(), names.end());
    return names;
}

static std::wstring WideOf(const std::string &acp)
{
    WCHAR buf[MAX_PATH] = L"";
    MultiByteToWideChar(CP_ACP, 0, acp.c_str(), -1, buf, MAX_PATH);
    return buf;
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
    UpdateShortcuts(programs, nullptr);

    std::vector<std::string> groups;
    for (int csidl : {CSIDL_PROGRAMS, CSIDL_COMMON_PROGRAMS}) {
        char folder[MAX_PATH] = "";
        SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, folder);
        if (csidl == CSIDL_PROGRAMS || nt)
            groups.push_back(JoinPath(folder, "Quibex"));
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
    UpdateShortcuts(SetupChoices{}, nullptr);
    for (const std::string &group : groups)
        EXPECT_EQ(GetFileAttributesA(group.c_str()), INVALID_FILE_ATTRIBUTES) << group;
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
    UpdateShortcuts(programs, nullptr);
    g_language.Load((dir / "absent.lng").c_str());
    char folder[MAX_PATH] = "";
    SHGetFolderPathA(nullptr, CSIDL_PROGRAMS, nullptr, SHGFP_TYPE_CURRENT, folder);
    std::string group = JoinPath(folder, "Quibex");
    EXPECT_TRUE(Exists(JoinPath(group, name + ".lnk")));

    char reported[kGroupFolderSize] = "unchanged";
    UpdateShortcuts(SetupChoices{}, reported);
    EXPECT_STREQ(reported, "unchanged");
    EXPECT_FALSE(Exists(group));
}

TEST(Shortcuts, LinksAndFolderTrees)
{
    TempDir dir("links");
    std::string link = dir / "x.lnk";
    ASSERT_TRUE(CreateShellLink("C:\\target.exe", nullptr, link.c_str()));
    std::string target, description;
    ASSERT_TRUE(ReadShellLink(link, &target, &description));
    EXPECT_EQ(target, "C:\\target.exe");
    EXPECT_EQ(description, "");
    EXPECT_FALSE(CreateShellLink("C:\\target.exe", "d", (dir / "missing\\x.lnk").c_str()));

    CreateDirectoryA((dir / "tree").c_str(), nullptr);
    CreateDirectoryA((dir / "tree\\sub").c_str(), nullptr);
    WriteFileBytes(dir / "tree\\sub\\f.txt", "x");
    EXPECT_TRUE(DeleteFolderTree((dir / "tree").c_str()));
    EXPECT_EQ(GetFileAttributesA((dir / "tree").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_FALSE(DeleteFolderTree((dir / "tree").c_str()));
    EXPECT_FALSE(DeleteFolderTree(""));
    std::string tooLong = dir.path() + "\\" + std::string(1100, 'a');
    EXPECT_FALSE(DeleteFolderTree(tooLong.c_str()));
    EXPECT_NE(GetFileAttributesA(dir.path().c_str()), INVALID_FILE_ATTRIBUTES);
}

#include <gtest/gtest.h>

#include "common/test_util.h"
#include "integration/apply.h"
#include "integration/associations.h"
#include "integration/default_apps.h"
#include "integration/shell_extension.h"
#include "integration/shortcuts.h"
#include "integration_util.h"
#include "registry/registry.h"
#include "support/text_sizes.h"

#include <shlobj.h>

#include <vector>

static SetupChoices DefaultChoices()
{
    SetupChoices c = {};
    for (bool &a : c.Associate)
        a = true;
    c.Programs = c.ShellExt = c.MenuIcons = true;
    return c;
}

static void GiveBackAll()
{
    SetupChoices none = {};
    RemoveDefaultApps();
    SetAssociations(none);
    SetShellIntegration(none);
    UpdateShortcuts(none, nullptr, 0);
}

static int Version() { return VersionName() == "win98" ? 0 : VersionName() == "winxp" ? 5 : 6; }

static void ExpectLinkTo(const std::string &link, const std::string &target)
{
    std::wstring gotTarget, description;
    ASSERT_TRUE(ReadShellLinkW(WideOf(link), &gotTarget, &description)) << link;
    EXPECT_EQ(gotTarget, WideOf(target)) << link;
}

class Apply : public ::testing::Test {
protected:
    void SetUp() override
    {
        WriteFileBytes(InstallFile("qbxext.dll"), "32");
        WriteFileBytes(InstallFile("qbxext64.dll"), "64");
        DeleteFileA(InstallFile("qbxnew.dat").c_str());
        DeleteFileA(InstallFile("zipnew.dat").c_str());
    }
    void TearDown() override
    {
        GiveBackAll();
        DeleteSettingsTree();
        DeleteFileA(InstallFile("qbxext.dll").c_str());
        DeleteFileA(InstallFile("qbxext64.dll").c_str());
    }
};

// What differs by Windows family (volumes, templates, shortcut folders) and what the round
// trips of the whole registry cannot see (files, extensions on 9x and 32-bit Windows).
TEST_F(Apply, FreshInstallWithDefaultChoicesThenGiveBack)
{
    // The prefix already knows some extensions (.gz, .tgz, ...): those must come back as found.
    std::vector<std::string> before;
    for (const std::string &ext : AllExtensions())
        before.push_back(Snapshot(HKEY_CLASSES_ROOT, ext));
    char group[kPathSize] = "unchanged";
    ASSERT_TRUE(ApplySetupChoices(DefaultChoices(), group, sizeof group));
    const std::string exe = InstallFile("Quibex.exe");

    for (const std::string &ext : AllExtensions())
        EXPECT_EQ(RegText(HKEY_CLASSES_ROOT, ext), ext == ".zip" ? "Quibex.ZIP" : "Quibex") << ext;
    const int volumes = Version() == 0 ? 100 : 30;
    for (int n = 0; n < 100; ++n)
        EXPECT_EQ(RegText(HKEY_CLASSES_ROOT, Volume(n)), n < volumes ? "Quibex" : "<no key>") << Volume(n);
    EXPECT_EQ(RegText(HKEY_CLASSES_ROOT, "Quibex.ZIP\\shellex\\DropHandler"),
              IsWow64Run() ? kShellExtClassId64 : kShellExtClassId32);

    // New-file templates: files from Windows 2000 and Me on, bytes before.
    const std::string qbx("Qbx!\x1a\x07\0\xcf\x90\x73\0\0\x0d\0\0\0\0\0\0\0", 20);
    const std::string zip = std::string("PK\5\6", 4) + std::string(18, '\0');
    if (Version() == 0) {
        DWORD type = 0;
        EXPECT_EQ(RegBytes(HKEY_CLASSES_ROOT, ".qbx\\ShellNew", "Data", &type), qbx);
        EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
        EXPECT_EQ(RegBytes(HKEY_CLASSES_ROOT, ".zip\\ShellNew", "Data"), zip);
        EXPECT_FALSE(Exists(InstallFile("qbxnew.dat")));
    } else {
        EXPECT_EQ(ReadFileBytes(InstallFile("qbxnew.dat")), qbx);
        EXPECT_EQ(ReadFileBytes(InstallFile("zipnew.dat")), zip);
        EXPECT_EQ(RegText(HKEY_CLASSES_ROOT, ".qbx\\ShellNew", "FileName"), InstallFile("qbxnew.dat"));
        EXPECT_EQ(RegText(HKEY_CLASSES_ROOT, ".zip\\ShellNew", "FileName"), InstallFile("zipnew.dat"));
    }
    EXPECT_FALSE(KeyThere(HKEY_CLASSES_ROOT, ".cab\\ShellNew"));

    // The group reported is the all-users one on the NT family.
    const std::string userGroup = JoinPath(ShellFolder(CSIDL_PROGRAMS), "Quibex");
    const std::string commonGroup = JoinPath(ShellFolder(CSIDL_COMMON_PROGRAMS), "Quibex");
    EXPECT_EQ(std::string(group), Version() == 0 ? userGroup : commonGroup);

    // Desktop and Start menu shortcuts; a group that holds a file of the user's is made anew; an
    // old per-user desktop shortcut goes where the all-users desktop takes its place.
    WriteFileBytes(JoinPath(userGroup, "mine.txt"), "x");
    const std::string userDesktopLink = JoinPath(ShellFolder(CSIDL_DESKTOPDIRECTORY), "Quibex.lnk");
    WriteFileBytes(userDesktopLink, "old");
    SetupChoices more = DefaultChoices();
    more.Desktop = more.StartMenu = true;
    ASSERT_TRUE(ApplySetupChoices(more, nullptr, 0));
    EXPECT_EQ(FilesInW(userGroup).size(), 3u);
    const bool vista = Version() >= 6;
    const std::string desktopLink =
        JoinPath(ShellFolder(vista ? CSIDL_COMMON_DESKTOPDIRECTORY : CSIDL_DESKTOPDIRECTORY), "Quibex.lnk");
    const std::string startLink = JoinPath(ShellFolder(vista ? CSIDL_COMMON_STARTMENU : CSIDL_STARTMENU), "Quibex.lnk");
    ExpectLinkTo(desktopLink, exe);
    ExpectLinkTo(startLink, exe);
    if (vista)
        EXPECT_FALSE(Exists(userDesktopLink));
    else if (Version() == 5)
        EXPECT_FALSE(Exists(JoinPath(ShellFolder(CSIDL_COMMON_DESKTOPDIRECTORY), "Quibex.lnk")));

    // Giving everything back, as the removal does.
    GiveBackAll();
    for (size_t i = 0; i < before.size(); ++i)
        EXPECT_EQ(Snapshot(HKEY_CLASSES_ROOT, AllExtensions()[i]), before[i]);
    for (int n = 0; n < 100; ++n)
        EXPECT_FALSE(KeyThere(HKEY_CLASSES_ROOT, Volume(n))) << Volume(n);
    for (const std::string &gone : {userGroup, commonGroup, desktopLink, startLink})
        EXPECT_FALSE(Exists(gone)) << gone;
}

TEST_F(Apply, QbxFilesOpenThroughTheShell)
{
    ASSERT_TRUE(ApplySetupChoices(DefaultChoices(), nullptr, 0));
    TempDir docs("docs");
    std::string archive = docs / Acp(u8"新 压缩.qbx");
    ASSERT_TRUE(WriteFileBytes(archive, "Qbx!"));
    DeleteFileA(InstallFile("standin-args.txt").c_str());
    SHELLEXECUTEINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    info.lpVerb = "open";
    info.lpFile = archive.c_str();
    info.nShow = SW_SHOWNORMAL;
    ASSERT_TRUE(ShellExecuteExA(&info));
    ASSERT_NE(info.hProcess, nullptr);
    EXPECT_EQ(WaitExit(info.hProcess, 30000), 0);
    EXPECT_EQ(ReadFileBytes(InstallFile("standin-args.txt")), archive + "\n");
}

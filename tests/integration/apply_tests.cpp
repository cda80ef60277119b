#include <gtest/gtest.h>

#include "common/test_util.h"
#include "integration/app_path.h"
#include "integration/apply.h"
#include "integration/associations.h"
#include "integration/default_apps.h"
#include "integration/shell_extension.h"
#include "integration/shortcuts.h"
#include "integration_util.h"
#include "registry/registry.h"

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
    UpdateShortcuts(none, nullptr);
}

static std::string ShellFolder(int csidl)
{
    char path[MAX_PATH] = "";
    SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path);
    return path;
}

static int Version() { return VersionName() == "win98" ? 0 : VersionName() == "winxp" ? 5 : 6; }

static std::vector<std::string> FilesIn(const std::string &folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA fd;
    HANDLE find = FindFirstFileA(JoinPath(folder, "*").c_str(), &fd);
    if (find == INVALID_HANDLE_VALUE)
        return names;
    do {
        if (fd.cFileName[0] != '.')
            names.push_back(fd.cFileName);
    } while (FindNextFileA(find, &fd));
    FindClose(find);
    return names;
}

static std::string Volume(int n)
{
    char v[8];
    wsprintfA(v, ".q%02d", n);
    return v;
}

static void ExpectLink(const std::string &link, const std::string &target)
{
    std::string gotTarget, gotDescription;
    ASSERT_TRUE(ReadShellLink(link, &gotTarget, &gotDescription)) << link;
    EXPECT_EQ(gotTarget, target) << link;
    EXPECT_EQ(gotDescription, Acp(u8"处理 QBX、ZIP 和其他压缩格式")) << link;
    std::string localPath, description;
    ASSERT_TRUE(LnkInfo(link, &localPath, &description)) << link;
    EXPECT_EQ(localPath, target) << "lnkinfo: " << link;
    EXPECT_EQ(description, reinterpret_cast<const char *>(u8"处理 QBX、ZIP 和其他压缩格式")) << "lnkinfo";
}

static void ExpectGroup(const std::string &group)
{
    std::vector<std::string> files = FilesIn(group);
    EXPECT_EQ(files.size(), 3u) << group;
    ExpectLink(JoinPath(group, "Quibex.lnk"), InstallFile("Quibex.exe"));
    ExpectLink(JoinPath(group, Acp(u8"Quibex 中文帮助") + ".lnk"), InstallFile("Quibex.chm"));
    ExpectLink(JoinPath(group, Acp(u8"控制台 QBX 中文手册") + ".lnk"), InstallFile("Qbx.txt"));
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
        DeleteRegTree(HKEY_CURRENT_USER, "");
        DeleteFileA(InstallFile("qbxext.dll").c_str());
        DeleteFileA(InstallFile("qbxext64.dll").c_str());
    }
};

TEST_F(Apply, FreshInstallWithDefaultChoicesThenGiveBack)
{
    // The prefix already knows some extensions (.gz, .tgz, ...): those must come back as found.
    std::vector<std::string> before;
    for (const std::string &ext : AllExtensions())
        before.push_back(Snapshot(HKEY_CLASSES_ROOT, ext));
    char group[kGroupFolderSize] = "unchanged";
    ASSERT_TRUE(ApplySetupChoices(DefaultChoices(), group));
    const std::string exe = InstallFile("Quibex.exe");

    // Associations of every extension, each with its saved (empty) previous state.
    for (size_t i = 0; i < AllExtensions().size(); ++i) {
        const std::string ext = AllExtensions()[i];
        EXPECT_EQ(RegText(HKEY_CLASSES_ROOT, ext), ext == ".zip" ? "Quibex.ZIP" : "Quibex") << ext;
        EXPECT_EQ(RegText(HKEY_CLASSES_ROOT, ext, "Content Type"), "<no value>") << ext;
        std::string saved = "Software\\Quibex\\Setup\\" + ext;
        bool existed = before[i] != "<no key>";
        EXPECT_EQ(RegBytes(HKEY_CURRENT_USER, saved, "Exist"), std::string(existed ? "\1\0\0\0" : "\0\0\0\0", 4)) << ext;
        if (!existed) {
            EXPECT_EQ(RegText(HKEY_CURRENT_USER, saved, "Type"), "") << ext;
            EXPECT_EQ(RegText(HKEY_CURRENT_USER, saved, "Content"), "") << ext;
            EXPECT_EQ(RegText(HKEY_CURRENT_USER, saved, "ShellNew"), "") << ext;
        }
    }
    EXPECT_EQ(AllExtensions().size(), 22u);
    int volumes = Version() == 0 ? 100 : 30;
    for (int n = 0; n < 100; ++n)
        EXPECT_EQ(KeyThere(HKEY_CLASSES_ROOT, Volume(n)), n < volumes) << Volume(n);
    EXPECT_EQ(RegText(HKEY_CLASSES_ROOT, Volume(volumes - 1)), "Quibex");

    // The archiver's file types.
    std::string command = "\"" + exe + "\" \"%1\"";
    EXPECT_EQ(RegText(HKEY_CLASSES_ROOT, "Quibex"), Acp(u8"Quibex 压缩文件"));
    EXPECT_EQ(RegText(HKEY_CLASSES_ROOT, "Quibex\\shell\\open\\command"), command);
    EXPECT_EQ(RegText(HKEY_CLASSES_ROOT, "Quibex\\DefaultIcon"), exe + ",0");
    EXPECT_EQ(RegText(HKEY_CLASSES_ROOT, "Quibex.ZIP"), Acp(u8"Quibex ZIP 压缩文件"));
    EXPECT_EQ(RegText(HKEY_CLASSES_ROOT, "Quibex.ZIP\\shell\\open\\command"), command);
    EXPECT_EQ(RegText(HKEY_CLASSES_ROOT, "Quibex.ZIP\\DefaultIcon"), exe + ",0");
    EXPECT_EQ(RegText(HKEY_CLASSES_ROOT, ".rev"), "Quibex.REV");
    EXPECT_EQ(RegText(HKEY_CLASSES_ROOT, "Quibex.REV"), Acp(u8"QBX 恢复卷"));
    EXPECT_EQ(RegText(HKEY_CLASSES_ROOT, "Quibex.REV\\shell\\open\\command"), command);
    EXPECT_EQ(RegText(HKEY_CLASSES_ROOT, "Quibex.REV\\DefaultIcon"), exe + ",1");

    // Application path: a subfolder, so no trailing backslash.
    EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, kAppPathKey), exe);
    EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, kAppPathKey, "Path"), InstallDir());

    // Shell extension: both modules side by side on 64-bit Windows.
    const std::string id32 = kShellExtClassId32, id64 = kShellExtClassId64;
    const std::string name32 = IsWow64Run() ? "Quibex32" : "Quibex";
    EXPECT_EQ(RegText(HKEY_CLASSES_ROOT, "CLSID\\" + id32), "Quibex");
    EXPECT_EQ(RegText(HKEY_CLASSES_ROOT, "CLSID\\" + id32 + "\\InProcServer32"), InstallFile("qbxext.dll"));
    EXPECT_EQ(RegText(HKEY_CLASSES_ROOT, "CLSID\\" + id32 + "\\InProcServer32", "ThreadingModel"), "Apartment");
    const std::string lastId = IsWow64Run() ? id64 : id32;
    for (const char *cls : {"Quibex", "Quibex.ZIP"}) {
        for (const char *kind : {"ContextMenuHandlers", "PropertySheetHandlers"})
            for (const std::string &id : IsWow64Run() ? std::vector<std::string>{id32, id64} : std::vector<std::string>{id32})
                EXPECT_EQ(RegText(HKEY_CLASSES_ROOT, std::string(cls) + "\\shellex\\" + kind + "\\" + id), "");
        EXPECT_EQ(RegText(HKEY_CLASSES_ROOT, std::string(cls) + "\\shellex\\DropHandler"), lastId);
    }
    EXPECT_EQ(RegText(HKEY_CLASSES_ROOT, "exefile\\shellex\\PropertySheetHandlers\\" + id32), "");
    const char *named[] = {"*\\shellex\\ContextMenuHandlers\\",        "Folder\\shellex\\ContextMenuHandlers\\",
                           "Folder\\shellex\\DragDropHandlers\\",      "Drive\\shellex\\DragDropHandlers\\",
                           "Directory\\shellex\\ContextMenuHandlers\\", "Directory\\shellex\\DragDropHandlers\\"};
    for (const char *head : named) {
        EXPECT_EQ(RegText(HKEY_CLASSES_ROOT, head + name32), id32) << head;
        if (IsWow64Run())
            EXPECT_EQ(RegText(HKEY_CLASSES_ROOT, std::string(head) + "Quibex"), id64) << head;
    }
    const std::string approved = "Software\\Microsoft\\Windows\\CurrentVersion\\Shell Extensions\\Approved";
    EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, approved, id32.c_str()), "Quibex shell extension");
    if (IsWow64Run()) {
        EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, approved, id64.c_str()), "Quibex shell extension");
        EXPECT_EQ(RegText(HKEY_CLASSES_ROOT, "CLSID\\" + id64 + "\\InProcServer32", "", KEY_WOW64_64KEY),
                  InstallFile("qbxext64.dll"));
        EXPECT_FALSE(KeyThere(HKEY_CLASSES_ROOT, "CLSID\\" + id64, KEY_WOW64_32KEY));
        EXPECT_FALSE(KeyThere(HKEY_CLASSES_ROOT, "CLSID\\" + id32, KEY_WOW64_64KEY));
    }

    // New-file templates: files from Windows 2000 and Me on, bytes before.
    if (Version() == 0) {
        DWORD type = 0;
        EXPECT_EQ(RegBytes(HKEY_CLASSES_ROOT, ".qbx\\ShellNew", "Data", &type).substr(0, 4), "Qbx!");
        EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
        EXPECT_EQ(RegBytes(HKEY_CLASSES_ROOT, ".qbx\\ShellNew", "Data").size(), 20u);
        EXPECT_EQ(RegBytes(HKEY_CLASSES_ROOT, ".zip\\ShellNew", "Data"), std::string("PK\5\6", 4) + std::string(18, '\0'));
        EXPECT_EQ(RegText(HKEY_CLASSES_ROOT, ".qbx\\ShellNew", "FileName"), "<no value>");
        EXPECT_EQ(GetFileAttributesA(InstallFile("qbxnew.dat").c_str()), INVALID_FILE_ATTRIBUTES);
    } else {
        std::string qbx = ReadFileBytes(InstallFile("qbxnew.dat"));
        EXPECT_EQ(qbx, std::string("Qbx!\x1a\x07\0\xcf\x90\x73\0\0\x0d\0\0\0\0\0\0\0", 20));
        EXPECT_EQ(ReadFileBytes(InstallFile("zipnew.dat")), std::string("PK\5\6", 4) + std::string(18, '\0'));
        EXPECT_EQ(RegText(HKEY_CLASSES_ROOT, ".qbx\\ShellNew", "FileName"), InstallFile("qbxnew.dat"));
        EXPECT_EQ(RegText(HKEY_CLASSES_ROOT, ".zip\\ShellNew", "FileName"), InstallFile("zipnew.dat"));
    }
    EXPECT_FALSE(KeyThere(HKEY_CLASSES_ROOT, ".cab\\ShellNew"));

    // The program group: per user, and on the NT family for all users too.
    std::string userGroup = JoinPath(ShellFolder(CSIDL_PROGRAMS), "Quibex");
    std::string commonGroup = JoinPath(ShellFolder(CSIDL_COMMON_PROGRAMS), "Quibex");
    ExpectGroup(userGroup);
    if (Version() != 0) {
        ExpectGroup(commonGroup);
        EXPECT_STREQ(group, commonGroup.c_str());
    } else {
        EXPECT_STREQ(group, userGroup.c_str());
    }
    EXPECT_EQ(GetFileAttributesA(JoinPath(ShellFolder(CSIDL_DESKTOPDIRECTORY), "Quibex.lnk").c_str()),
              INVALID_FILE_ATTRIBUTES);

    // Desktop and Start menu shortcuts, a group that holds a file of the user's, an old
    // per-user desktop shortcut.
    WriteFileBytes(JoinPath(userGroup, "mine.txt"), "x");
    std::string userDesktopLink = JoinPath(ShellFolder(CSIDL_DESKTOPDIRECTORY), "Quibex.lnk");
    WriteFileBytes(userDesktopLink, "old");
    SetupChoices more = DefaultChoices();
    more.Desktop = more.StartMenu = true;
    ASSERT_TRUE(ApplySetupChoices(more, nullptr));
    ExpectGroup(userGroup);
    std::string desktop = ShellFolder(Version() >= 6 ? CSIDL_COMMON_DESKTOPDIRECTORY : CSIDL_DESKTOPDIRECTORY);
    std::string startMenu = ShellFolder(Version() >= 6 ? CSIDL_COMMON_STARTMENU : CSIDL_STARTMENU);
    ExpectLink(JoinPath(desktop, "Quibex.lnk"), exe);
    ExpectLink(JoinPath(startMenu, "Quibex.lnk"), exe);
    if (Version() >= 6)
        EXPECT_EQ(GetFileAttributesA(userDesktopLink.c_str()), INVALID_FILE_ATTRIBUTES);
    else if (Version() == 5)
        EXPECT_EQ(GetFileAttributesA(JoinPath(ShellFolder(CSIDL_COMMON_DESKTOPDIRECTORY), "Quibex.lnk").c_str()),
                  INVALID_FILE_ATTRIBUTES);

    // Giving everything back, as the removal does.
    GiveBackAll();
    for (size_t i = 0; i < AllExtensions().size(); ++i)
        EXPECT_EQ(Snapshot(HKEY_CLASSES_ROOT, AllExtensions()[i]), before[i]);
    for (int n = 0; n < 100; ++n)
        EXPECT_FALSE(KeyThere(HKEY_CLASSES_ROOT, Volume(n))) << Volume(n);
    EXPECT_EQ(RegText(HKEY_CURRENT_USER, "Software\\Quibex\\Setup\\.lha", "Type"), "") << "saved state stays";
    for (const std::string &id : {id32, id64}) {
        EXPECT_FALSE(KeyThere(HKEY_CLASSES_ROOT, "CLSID\\" + id));
        EXPECT_FALSE(KeyThere(HKEY_CLASSES_ROOT, "CLSID\\" + id, KEY_WOW64_64KEY)) << "64-bit view too";
        EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, approved, id.c_str()), "<no value>");
        EXPECT_FALSE(KeyThere(HKEY_CLASSES_ROOT, "Quibex\\shellex\\ContextMenuHandlers\\" + id));
        EXPECT_FALSE(KeyThere(HKEY_CLASSES_ROOT, "exefile\\shellex\\PropertySheetHandlers\\" + id));
    }
    EXPECT_FALSE(KeyThere(HKEY_CLASSES_ROOT, "Quibex.ZIP\\shellex\\DropHandler"));
    for (const char *head : named) {
        EXPECT_EQ(RegText(HKEY_CLASSES_ROOT, head + name32), "<no value>") << "the key stays, empty";
        EXPECT_EQ(RegText(HKEY_CLASSES_ROOT, std::string(head) + "Quibex"), "<no value>");
    }
    for (const std::string &gone : {userGroup, commonGroup, JoinPath(desktop, "Quibex.lnk"),
                                    JoinPath(startMenu, "Quibex.lnk")})
        EXPECT_EQ(GetFileAttributesA(gone.c_str()), INVALID_FILE_ATTRIBUTES) << gone;
}

TEST_F(Apply, QbxFilesOpenThroughTheShell)
{
    ASSERT_TRUE(ApplySetupChoices(DefaultChoices(), nullptr));
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

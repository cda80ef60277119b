#include "setup_install.h"

#include "app/run_lock.h"
#include "registry/registry.h"
#include "res/resource.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <shlobj.h>

namespace {

const char kSetupKey[] = "Setup";
const char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quibex archiver";
const char kLinksKey[] = "Setup\\Links";
const char kMenuItemsKey[] = "Setup\\MenuItems";
const char *const kMenuValues[] = {"ExtrTo", "AddTo",  "AddArc",   "ExtrHere", "Extr",   "ExtrSep",
                                   "OpenSFX", "EmailArc", "EmailOpt", "Test", "Convert"};

void Cancel(SetupInstall &install, HWND dialog)
{
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(install.Finish(), 0);
}

std::string GroupLink()
{
    char programs[MAX_PATH] = "";
    SHGetFolderPathA(nullptr, CSIDL_COMMON_PROGRAMS, nullptr, 0, programs);
    return std::string(programs) + "\\Quibex\\Quibex.lnk";
}

// A key everybody may read and nobody write; its owner can still give the rights back.
class DeniedKey {
public:
    DeniedKey(HKEY root, const char *path) : root_(root), path_(path) { Grant(KEY_READ); }
    ~DeniedKey()
    {
        Grant(KEY_ALL_ACCESS);
        DeleteRegTree(root_, path_);
    }
    bool denied() const
    {
        HKEY key = nullptr;
        LONG error = RegOpenKeyExA(root_, path_, 0, KEY_SET_VALUE, &key);
        if (key)
            RegCloseKey(key);
        return error == ERROR_ACCESS_DENIED;
    }

private:
    void Grant(REGSAM rights) const
    {
        HKEY key = nullptr;
        if (RegCreateKeyExA(root_, path_, 0, nullptr, 0, WRITE_DAC, nullptr, &key, nullptr) != ERROR_SUCCESS)
            return;
        SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
        PSID everyone = nullptr;
        AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &everyone);
        alignas(DWORD) char buffer[128];
        PACL acl = reinterpret_cast<PACL>(buffer);
        InitializeAcl(acl, sizeof buffer, ACL_REVISION);
        AddAccessAllowedAce(acl, ACL_REVISION, rights, everyone);
        SECURITY_DESCRIPTOR sd;
        InitializeSecurityDescriptor(&sd, SECURITY_DESCRIPTOR_REVISION);
        SetSecurityDescriptorDacl(&sd, TRUE, acl, FALSE);
        RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, &sd);
        FreeSid(everyone);
        RegCloseKey(key);
    }
    HKEY root_;
    const char *path_;
};

// A type's box as the dialog shows it after the test has prepared the registry.
bool BoxAtStart(const char *ext, int control, const char *ownerClass, DWORD storedSet)
{
    SetupInstall install;
    if (ownerClass)
        SetRegString(HKEY_CLASSES_ROOT, ext, "", ownerClass);
    SetSettingDword((std::string("Setup\\") + ext).c_str(), "Set", storedSet);
    EXPECT_TRUE(install.Start());
    HWND dialog = install.WaitSetupDialog();
    EXPECT_NE(dialog, nullptr);
    if (!dialog)
        return false;
    bool checked = IsChecked(dialog, control);
    Cancel(install, dialog);
    return checked;
}

// Takes the run lock and ends without giving it back, as a killed run; this process keeps it.
DWORD WINAPI TakeLockAndEnd(void *) { return CreateMutexA(nullptr, TRUE, kRunLockName) ? 0 : 1; }

} // namespace

TEST(SetupDialog, OpensWithTheDefaultsAndCancelStoresNothing)
{
    HANDLE killedRun = CreateThread(nullptr, 0, TakeLockAndEnd, nullptr, 0, nullptr);
    DWORD taken = 1;
    ASSERT_TRUE(WaitForSingleObject(killedRun, INFINITE) == WAIT_OBJECT_0 && GetExitCodeThread(killedRun, &taken));
    ASSERT_EQ(taken, 0u) << "a killed run's lock, abandoned, keeps no one out";
    SetupInstall install;
    ASSERT_TRUE(install.Start());
    HWND dialog = install.WaitSetupDialog();
    ASSERT_NE(dialog, nullptr);
    // Every type, the program group, the shell extension with menu icons; nothing else.
    for (int id = IDC_TYPE_QBX; id <= IDC_MENU_ICONS; ++id)
        EXPECT_EQ(IsChecked(dialog, id), id != IDC_DESKTOP && id != IDC_START_MENU && id != IDC_CASCADED_MENU) << id;
    EXPECT_TRUE(IsItemEnabled(dialog, IDC_CASCADED_MENU));
    EXPECT_TRUE(IsItemEnabled(dialog, IDC_MENU_ICONS));
    EXPECT_EQ(WindowTextOf(GetDlgItem(dialog, IDC_TYPE_QBX)), L"QBX(&R)");
    // The rich-edit control keeps its own text: ask it, not the window manager.
    wchar_t description[1024] = L"";
    SendDlgItemMessageW(dialog, IDC_DESCRIPTION, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(description));
    std::wstring text;
    for (const wchar_t *c = description; *c; ++c)
        if (*c != L'\r') // a paragraph break may come back as CR LF
            text += *c;
    EXPECT_EQ(text.find(Wide(u8"   这些选项控制 Quibex 集成到 Windows 中。")), 0u);
    EXPECT_NE(text.find(Wide(u8"没有禁止它的必要。")), std::wstring::npos);
    EXPECT_NE(text.find(Wide(u8"\n    点击“帮助”按钮")), std::wstring::npos);

    // While it is open every other setup or removal ends at once and changes nothing, one that
    // may speak saying why before it asks anything; the batch file's warning still runs.
    ASSERT_TRUE(WriteFileBytes(install.path("Uninstall.lst"), "Qbx.txt\r\n"));
    for (const char *args : {"/quiet", "/setup /quiet", "/quiet /warning", ""}) {
        HANDLE other = StartProcess("\"" + install.path("uninstall.exe") + "\" " + args, install.folder());
        if (!*args) {
            HWND box = WaitForDialog(GetProcessId(other), Wide(u8"卸载 Quibex"), 20000);
            ASSERT_NE(box, nullptr);
            std::vector<std::wstring> texts = ChildTexts(box);
            std::wstring message = Wide(u8"另一个 Quibex 安装或卸载程序正在运行。请等它结束后再试。");
            EXPECT_EQ(std::count(texts.begin(), texts.end(), message), 1);
            ClickButton(box, IDOK);
        }
        EXPECT_EQ(WaitExit(other, 20000), strstr(args, "/warning") ? 0 : 1618) << args;
    }
    EXPECT_TRUE(Exists(install.path("Qbx.txt")));

    Cancel(install, dialog);
    EXPECT_FALSE(RegKeyExists(kSettingsRoot, kSetupKey)) << "cancel stores nothing";
    EXPECT_FALSE(StartedExplorer(install.pid())) << "cancel opens no folder";
}

TEST(SetupDialog, JarAndIsoOwnedByAnotherProgramStartUnchecked)
{
    struct Row {
        const char *ext;
        int control;
        const char *ownerClass;
        DWORD storedSet;
        bool checked;
        const char *why;
    } rows[] = {
        {".jar", IDC_TYPE_JAR, "jarfile", 1, false, "another program's class"},
        {".jar", IDC_TYPE_JAR, "QUIBEX.zip", 1, true, "our own class, any case: the stored value decides"},
        {".jar", IDC_TYPE_JAR, "quibex", 0, false, "our own class, stored off"},
        {".jar", IDC_TYPE_JAR, nullptr, 0, false, "no class: the stored value decides"},
        {".iso", IDC_TYPE_ISO, "Windows.IsoFile", 1, false, "another program's class"},
        {".iso", IDC_TYPE_ISO, nullptr, 1, true, "no class: the stored value decides"},
    };
    for (const Row &row : rows)
        EXPECT_EQ(BoxAtStart(row.ext, row.control, row.ownerClass, row.storedSet), row.checked)
            << row.ext << ": " << row.why;
}

TEST(SetupDialog, ContextItemsConfirmedBeforeCancelStayStored)
{
    SetupInstall install;
    ASSERT_TRUE(install.Start());
    HWND dialog = install.WaitSetupDialog();
    ASSERT_NE(dialog, nullptr);

    ClickButton(dialog, IDC_CONTEXT_ITEMS);
    HWND items = WaitForDialog(install.pid(), ContextItemsTitle());
    ASSERT_NE(items, nullptr);
    EXPECT_EQ(GetWindow(items, GW_OWNER), dialog);
    for (int id = IDC_MENU_EXTR_TO; id <= IDC_MENU_CONVERT; ++id)
        EXPECT_EQ(IsChecked(items, id), id < IDC_MENU_TEST) << id;
    EXPECT_EQ(WindowTextOf(GetDlgItem(items, IDC_MENU_EXTR)), Wide(u8"解压到<文件夹\\>(&E)"));
    ClickButton(items, IDOK);
    ASSERT_TRUE(WaitGone(items));
    for (const char *name : kMenuValues)
        EXPECT_TRUE(SettingExists(kMenuItemsKey, name)) << name << ": OK writes all 11 values";
    EXPECT_EQ(GetSettingDword(kMenuItemsKey, "OpenSFX", 7), 1u);
    EXPECT_EQ(GetSettingDword(kMenuItemsKey, "Convert", 7), 0u);

    // A second opening starts from the stored values; its cancel changes nothing.
    SetSettingDword(kMenuItemsKey, "ExtrHere", 0);
    ClickButton(dialog, IDC_CONTEXT_ITEMS);
    items = WaitForDialog(install.pid(), ContextItemsTitle());
    ASSERT_NE(items, nullptr);
    EXPECT_FALSE(IsChecked(items, IDC_MENU_EXTR_HERE));
    ClickButton(items, IDC_MENU_TEST);
    PostMessageW(items, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(WaitGone(items));
    EXPECT_EQ(GetSettingDword(kMenuItemsKey, "Test", 7), 0u);

    Cancel(install, dialog);
    EXPECT_EQ(GetSettingDword(kMenuItemsKey, "ExtrTo", 7), 1u);
    EXPECT_FALSE(SettingExists(kSetupKey, "ShellExt"));
    EXPECT_FALSE(SettingExists("Setup\\.zip", "Set"));
    EXPECT_FALSE(SettingExists(kLinksKey, "Programs"));
}

TEST(SetupDialog, ConfirmSavesShownStatesAppliesAndRegisters)
{
    SetupInstall install;
    ASSERT_TRUE(install.Start());
    HWND dialog = install.WaitSetupDialog();
    ASSERT_NE(dialog, nullptr);

    ClickAndWait(dialog, IDC_CASCADED_MENU);
    ClickAndWait(dialog, IDC_SHELL_EXT);
    EXPECT_FALSE(IsChecked(dialog, IDC_SHELL_EXT));
    EXPECT_FALSE(IsItemEnabled(dialog, IDC_CASCADED_MENU));
    EXPECT_FALSE(IsItemEnabled(dialog, IDC_MENU_ICONS));
    EXPECT_TRUE(IsChecked(dialog, IDC_CASCADED_MENU)) << "disabled boxes keep their marks";
    EXPECT_TRUE(IsChecked(dialog, IDC_MENU_ICONS));
    EXPECT_TRUE(IsItemEnabled(dialog, IDC_CONTEXT_ITEMS));

    ClickAndWait(dialog, IDC_TYPE_ZIP);
    ClickAndWait(dialog, IDC_TYPE_ISO);
    ClickAndWait(dialog, IDC_DESKTOP);
    EXPECT_FALSE(IsChecked(dialog, IDC_TYPE_ZIP));
    ClickAndWait(dialog, IDC_SELECT_ALL);
    for (int id = IDC_TYPE_QBX; id <= IDC_TYPE_Z; ++id)
        EXPECT_TRUE(IsChecked(dialog, id)) << id;
    EXPECT_TRUE(IsChecked(dialog, IDC_DESKTOP)) << "select-all leaves the other boxes";
    EXPECT_FALSE(IsChecked(dialog, IDC_START_MENU));
    EXPECT_FALSE(IsChecked(dialog, IDC_SHELL_EXT));
    ClickAndWait(dialog, IDC_TYPE_CAB);

    HWND done = install.ConfirmSetup(dialog);
    ASSERT_NE(done, nullptr) << "the completion dialog follows";

    EXPECT_EQ(GetSettingDword("Setup\\.cab", "Set", 7), 0u);
    EXPECT_EQ(GetSettingDword("Setup\\.zip", "Set", 7), 1u);
    EXPECT_EQ(GetSettingDword("Setup\\.iso", "Set", 7), 1u);
    EXPECT_EQ(GetSettingDword(kLinksKey, "Desktop", 7), 1u);
    EXPECT_EQ(GetSettingDword(kLinksKey, "StartMenu", 7), 0u);
    EXPECT_EQ(GetSettingDword(kLinksKey, "Programs", 7), 1u);
    EXPECT_EQ(GetSettingDword(kSetupKey, "ShellExt", 7), 0u);
    EXPECT_EQ(GetSettingDword(kSetupKey, "CascadedMenu", 7), 1u);
    EXPECT_EQ(GetSettingDword(kSetupKey, "MenuIcons", 7), 1u);

    // What the apply step did, as Windows sees it.
    char type[80] = "";
    GetRegString(HKEY_CLASSES_ROOT, ".zip", "", type, sizeof type, "");
    EXPECT_STREQ(type, "Quibex.ZIP");
    GetRegString(HKEY_CLASSES_ROOT, ".cab", "", type, sizeof type, "");
    EXPECT_STRNE(type, "Quibex");
    std::string link = GroupLink();
    EXPECT_NE(GetFileAttributesA(link.c_str()), INVALID_FILE_ATTRIBUTES) << link;

    ClickButton(done, IDOK);
    EXPECT_EQ(install.Finish(), 0);
    EXPECT_TRUE(StartedExplorer(install.pid())) << "the folder window is the program's child";
    ASSERT_NE(WaitForWindowOfClass(L"ExplorerWClass", 0, 15000), nullptr)
        << "the program group folder is opened after setup";

    // The folder window left open holds neither the installation folder nor the group.
    ASSERT_TRUE(WriteFileBytes(install.path("Uninstall.lst"),
                               "Quibex.exe\r\nquibex.chm\r\nlicense.txt\r\norder.htm\r\nQbx.txt\r\n"
                               "qbxnew.dat\r\nzipnew.dat\r\n"));
    EXPECT_EQ(RunProcess("\"" + install.path("uninstall.exe") + "\" /quiet", "", 30000), 0);
    EXPECT_TRUE(WaitUntilGone(install.folder())) << "installation folder";
    EXPECT_TRUE(WaitUntilGone(link.substr(0, link.rfind('\\')))) << "program group";
    EXPECT_TRUE(CloseFolderWindows());
}

// Silent setup applies and registers like a confirmed one; "sfxcmd=/s" alone then makes the
// entry's command a silent removal.
TEST(SetupDialog, SilentSetupNeedsNoHands)
{
    for (const char *env : {static_cast<const char *>(nullptr), "sfxcmd=/s"}) {
        SetupInstall install;
        ASSERT_TRUE(install.Start(env ? "/setup" : "/setup /s", env));
        EXPECT_EQ(install.Finish(30000), 0) << "no dialog waits for a click";
        EXPECT_EQ(GetSettingDword("Setup\\.qbx", "Set", 7), 1u);
        EXPECT_EQ(GetSettingDword(kLinksKey, "Desktop", 7), 0u);
        EXPECT_EQ(GetSettingDword(kSetupKey, "MenuIcons", 7), 1u);
        char type[80] = "", command[MAX_PATH] = "";
        GetRegString(HKEY_CLASSES_ROOT, ".qbx", "", type, sizeof type, "");
        EXPECT_STREQ(type, "Quibex") << "applied";
        GetRegString(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString", command, sizeof command, "");
        EXPECT_EQ(std::string(command), install.path("uninstall.exe")) << "registered";
        // A folder window would belong to a process the program started, alive after it ended.
        EXPECT_FALSE(StartedExplorer(install.pid())) << "silent setup opens no folder";
        EXPECT_TRUE(install.OpenedLog().empty());
        if (!env)
            continue;
        ASSERT_TRUE(WriteFileBytes(install.path("Uninstall.lst"),
                                   "Quibex.exe\r\nquibex.chm\r\nlicense.txt\r\norder.htm\r\nQbx.txt\r\n"
                                   "qbxnew.dat\r\nzipnew.dat\r\n"));
        EXPECT_EQ(WaitExit(StartProcess(command, "", env)), 0) << "no question waits for a click";
        EXPECT_TRUE(WaitUntilGone(install.folder())) << "removed";
        EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
    }
}

// A machine key that refuses the first write of the application path or of the file types
// stops the apply step there; setup still registers the uninstall entry, and says it failed.
TEST(SetupDialog, SilentSetupStopsWhereAMachineKeyIsDenied)
{
    const char kAppPathKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Quibex.exe";
    struct Row {
        HKEY root;
        const char *key;
        bool appPath, associated;
    } rows[] = {{HKEY_LOCAL_MACHINE, kAppPathKey, false, false}, {HKEY_CLASSES_ROOT, "Quibex", true, true}};
    for (const Row &row : rows) {
        SetupInstall install;
        for (const char *key : {".qbx", "Quibex", "Quibex.ZIP", "Quibex.REV"})
            DeleteRegTree(HKEY_CLASSES_ROOT, key);
        DeleteRegTree(HKEY_LOCAL_MACHINE, kAppPathKey);
        DeleteFileA(GroupLink().c_str());
        DeniedKey denied(row.root, row.key);
        ASSERT_TRUE(denied.denied()) << row.key;
        ASSERT_TRUE(install.Start("/setup /s"));
        EXPECT_EQ(install.Finish(30000), 1603) << row.key;
        char text[MAX_PATH] = "";
        GetRegString(HKEY_LOCAL_MACHINE, kAppPathKey, "", text, sizeof text, "");
        EXPECT_EQ(std::string(text), row.appPath ? install.path("Quibex.exe") : "") << row.key;
        GetRegString(HKEY_CLASSES_ROOT, ".qbx", "", text, sizeof text, "");
        EXPECT_STREQ(text, row.associated ? "Quibex" : "") << row.key;
        GetRegString(HKEY_CLASSES_ROOT, "Quibex.ZIP", "", text, sizeof text, "");
        EXPECT_STREQ(text, "") << row.key << ": the file types stop at the first";
        EXPECT_FALSE(Exists(GroupLink())) << row.key << ": no shortcuts after the stop";
        GetRegString(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString", text, sizeof text, "");
        EXPECT_EQ(std::string(text), install.path("uninstall.exe")) << row.key << ": registered all the same";
    }
}

// The program as Windows 10 runs it, a UTF-8 process, on a Western or a Chinese system: the
// dialog's Chinese title reads whole, and the English file, keyed over code page 936 as
// translators key it, translates the dialog and the display name.
TEST(SetupDialog, Utf8ProcessShowsTextsWholeAndTranslates)
{
    SetupInstall native;
    ASSERT_TRUE(native.Start());
    HWND dialog = native.WaitSetupDialog();
    ASSERT_NE(dialog, nullptr) << "found by its whole title";
    Cancel(native, dialog);

    SetupInstall english;
    ASSERT_TRUE(CopyFileTo(JoinPath(SourceDir(), "lang\\english\\uninstall.lng"), english.path("uninstall.lng")));
    ASSERT_TRUE(english.Start());
    dialog = WaitForDialog(english.pid(), L"Quibex setup");
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(WindowTextOf(GetDlgItem(dialog, IDC_DESKTOP)), L"Add Quibex to &desktop");
    Cancel(english, dialog);
    ASSERT_TRUE(english.Start("/setup /s"));
    EXPECT_EQ(english.Finish(30000), 0);
    wchar_t name[128] = L"";
    DWORD size = sizeof name;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, Wide(kUninstallKey).c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS) {
        RegQueryValueExW(key, L"DisplayName", nullptr, nullptr, reinterpret_cast<BYTE *>(name), &size);
        RegCloseKey(key);
    }
    EXPECT_STREQ(name, L"Quibex archive manager");
}

#include "setup_install.h"

#include "app/done_dialog.h"
#include "lang/language_file.h"
#include "lang/messages.h"
#include "res/resource.h"

#include <gtest/gtest.h>

namespace {

// Waits until the stand-in has recorded count starts; returns the log.
std::string WaitOpened(const SetupInstall &install, size_t count)
{
    DWORD start = GetTickCount();
    std::string log;
    do {
        log = install.OpenedLog();
        size_t lines = 0;
        for (char c : log)
            lines += c == '\n';
        if (lines >= count)
            break;
        Sleep(100);
    } while (GetTickCount() - start < 15000);
    return log;
}

std::string DialogEntry(const char8_t *native, const char *dialog, const char *translation)
{
    char key[9];
    LanguageKey(key, Acp(native).c_str(), dialog, TextKind::DialogText);
    return std::string(key) + "=\"" + translation + "\"\r\n";
}

bool RightToLeft(HWND window) { return (GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_LAYOUTRTL) != 0; }

// A text as a language file writes it: backslashes escaped.
std::string Escaped(const std::string &text)
{
    std::string out;
    for (char c : text)
        out += c == '\\' ? std::string("\\\\") : std::string(1, c);
    return out;
}

} // namespace

// Started from a folder that holds another "Quibex.exe", with a language file beside the
// program: the installation is where the program lies and only its files are opened; every
// dialog is translated under its own name and laid out right to left.
TEST(DoneDialog, ShowsTheProgramsFolderAndOpensItsFiles)
{
    SetupInstall install;
    install.RouteDocumentsToStandIn();
    TempDir elsewhere("elsewhere");
    ASSERT_TRUE(CopyFileTo(JoinPath(BuildDir(), "tests\\qbx_recorder.exe"), elsewhere / "Quibex.exe"));
    ASSERT_TRUE(WriteFileBytes(install.path("uninstall.lng"),
                               "***messages***\r\n" + DialogEntry(u8"LTR", "LTR", "RTL") +
                                   DialogEntry(u8"关联菜单项目", "CONTEXTITEMS", "Items (t)") +
                                   DialogEntry(u8"感谢使用 Quibex 简体中文版!", "DONEDLG", "Thanks (t)")));
    ASSERT_TRUE(install.Start("/setup", nullptr, elsewhere.path()));
    HWND setup = install.WaitSetupDialog();
    ASSERT_NE(setup, nullptr);
    EXPECT_TRUE(RightToLeft(setup));
    ClickButton(setup, IDC_CONTEXT_ITEMS);
    HWND items = WaitForDialog(install.pid(), L"Items (t)");
    ASSERT_NE(items, nullptr) << "CONTEXTITEMS translated";
    EXPECT_TRUE(RightToLeft(items));
    PostMessageW(items, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(WaitGone(items));
    HWND done = install.ConfirmSetup(setup);
    ASSERT_NE(done, nullptr);
    EXPECT_FALSE(IsWindow(setup));

    char folder[MAX_PATH] = "";
    GetDlgItemTextA(done, IDC_DONE_FOLDER, folder, MAX_PATH);
    EXPECT_STREQ(folder, install.folder().c_str());
    EXPECT_EQ(WindowTextOf(GetDlgItem(done, IDC_DONE_THANKS)), L"Thanks (t)") << "DONEDLG translated";
    EXPECT_TRUE(RightToLeft(done));

    // A viewer still open keeps its working directory: the system folder, which removal never
    // deletes. The archiver keeps the folder setup runs in, as it always did.
    char system[MAX_PATH] = "";
    GetSystemDirectoryA(system, MAX_PATH);
    struct Row {
        int button;
        std::string target, folder;
    } rows[] = {{IDC_DONE_RUN, install.path("Quibex.exe"), elsewhere.path()},
                {IDC_DONE_LICENSE, install.path("license.txt"), system},
                {IDC_DONE_ORDER, install.path("order.htm"), system},
                {IDC_DONE_HOME_PAGE, "https://www.example.com/quibex/", system}};
    size_t count = 0;
    for (const Row &row : rows) {
        ClickButton(done, row.button);
        std::string log = WaitOpened(install, ++count);
        size_t end = log.rfind("\r\n"), start = log.rfind("\r\n", end - 1);
        start = start == std::string::npos ? 0 : start + 2;
        std::string line = log.substr(start, end - start); // the last start's
        EXPECT_NE(line.find(row.target), std::string::npos) << log;
        EXPECT_EQ(line.substr(line.rfind('\t') + 1), row.folder) << row.target;
    }
    EXPECT_TRUE(IsWindow(done)) << "the dialog stays open";

    PostMessageW(done, WM_COMMAND, IDCANCEL, 0); // the close box ends it like the finish button
    EXPECT_EQ(install.Finish(), 0);
    EXPECT_TRUE(CloseFolderWindow(15000));
    EXPECT_EQ(ReadFileBytes(elsewhere / "opened.log"), "");
}

// A translation of the home page address decides nothing: what is not a web address gives
// way to the program's own address. The dialog runs in this process, one language file a row.
TEST(DoneDialog, OnlyAWebAddressTranslationIsOpened)
{
    SetupInstall install;
    install.RouteDocumentsToStandIn();
    TempDir evil("evil");
    std::string program = evil / "evil.exe";
    ASSERT_TRUE(CopyFileTo(JoinPath(BuildDir(), "tests\\qbx_recorder.exe"), program));
    // Which texts count as web addresses is the message look-up's to decide, and tested there.
    struct Row {
        std::string translation, opened;
    } rows[] = {{program, "https://www.example.com/quibex/"},
                {"HTTPS://www.example.org/translated/", "HTTPS://www.example.org/translated/"}};
    g_extResource.Load(GetModuleHandleA(nullptr), nullptr);
    size_t count = 0;
    for (const Row &row : rows) {
        std::string lng = evil / "uninstall.lng";
        ASSERT_TRUE(WriteFileBytes(lng, "***messages***\r\nae4a32e6=\"" + Escaped(row.translation) + "\"\r\n"));
        g_language.Load(lng.c_str());
        ASSERT_TRUE(g_language.IsLoaded());
        HWND done = CreateDialogParamA(g_resourceModule, "DONEDLG", nullptr, DoneDialogProc, 0);
        ASSERT_NE(done, nullptr);
        SendMessageA(done, WM_COMMAND, IDC_DONE_HOME_PAGE, 0);
        std::string log = WaitOpened(install, ++count);
        EXPECT_NE(log.find(row.opened), std::string::npos) << row.translation << "\n" << log;
        DestroyWindow(done);
    }
    g_language.Load((evil / "absent.lng").c_str());
    EXPECT_EQ(ReadFileBytes(evil / "opened.log"), "");
}

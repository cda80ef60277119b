#include "setup_install.h"

#include "res/resource.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Wine's HTML Help trace of this run, collected by the test runner in a file.
class HelpTrace {
public:
    HelpTrace()
    {
        char path[MAX_PATH] = "";
        if (GetEnvironmentVariableA("QBX_HELP_TRACE_WIN", path, MAX_PATH) > 0 && path[0])
            path_ = path;
    }
    bool available() const { return !path_.empty(); }
    std::string Text() const { return ReadFileBytes(path_); }
    // The help requests (HtmlHelp calls) made since the run began.
    std::vector<std::string> Requests() const
    {
        std::vector<std::string> calls;
        std::string text = ReadFileBytes(path_);
        size_t pos = 0;
        while ((pos = text.find(":HtmlHelpW (", pos)) != std::string::npos) {
            size_t end = text.find('\n', pos);
            std::string line = text.substr(pos, end == std::string::npos ? std::string::npos : end - pos);
            if (line.find("command=") != std::string::npos)
                calls.push_back(line);
            pos = end;
        }
        return calls;
    }
    // Waits until there are more than known requests; returns them all.
    std::vector<std::string> WaitRequests(size_t known, DWORD timeoutMs = 10000) const
    {
        DWORD start = GetTickCount();
        std::vector<std::string> calls = Requests();
        while (calls.size() <= known && GetTickCount() - start < timeoutMs) {
            Sleep(100);
            calls = Requests();
        }
        return calls;
    }

private:
    std::string path_;
};

// Types Tab into the dialog and waits until the focus has moved: by then every key typed
// before it has been handled, and what it asked of the help system is in the trace.
bool SettleInput(HWND dialog)
{
    DWORD thread = GetWindowThreadProcessId(dialog, nullptr);
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(thread, &info);
    HWND before = info.hwndFocus;
    PressKey(dialog, VK_TAB);
    for (DWORD start = GetTickCount(); GetTickCount() - start < 10000; Sleep(50))
        if (GetGUIThreadInfo(thread, &info) && info.hwndFocus != before)
            return true;
    return false;
}

bool Contains(const std::string &text, const std::string &part) { return text.find(part) != std::string::npos; }

// The trace shows the path with doubled backslashes.
std::string Traced(const std::string &text)
{
    std::string out;
    for (char c : text) {
        out += c;
        if (c == '\\')
            out += '\\';
    }
    return out;
}

} // namespace

TEST(Help, TopicsOfEveryDialogOpenInTheViewerAndCloseAtExit)
{
    HelpTrace trace;
    if (!trace.available())
        GTEST_SKIP() << "runs only in the traced CTest entry";
    SetupInstall install;
    ASSERT_TRUE(install.Start());
    HWND setup = install.WaitSetupDialog();
    ASSERT_NE(setup, nullptr);
    size_t known = trace.Requests().size();

    const std::string setupTopic = Traced(install.path("quibex.chm")) + "::/html/HELPIntegrationSettings.htm";
    PressKey(GetDlgItem(setup, IDC_TYPE_QBX), VK_F1);
    std::vector<std::string> calls = trace.WaitRequests(known);
    ASSERT_EQ(calls.size(), known + 1) << "F1 in the setup dialog";
    EXPECT_TRUE(Contains(calls.back(), setupTopic)) << calls.back();
    EXPECT_TRUE(Contains(calls.back(), "HH_DISPLAY_TOPIC")) << calls.back();
    HWND viewer = WaitForWindowOfClass(L"HH Parent", install.pid());
    ASSERT_NE(viewer, nullptr) << "Wine's HTML Help viewer shows the help file";
    EXPECT_EQ(WindowTextOf(viewer), L"Quibex Help");

    known = calls.size();
    ClickButton(setup, IDC_HELP_BUTTON);
    calls = trace.WaitRequests(known);
    ASSERT_EQ(calls.size(), known + 1) << "the Help button";
    EXPECT_TRUE(Contains(calls.back(), setupTopic)) << calls.back();

    ClickButton(setup, IDC_CONTEXT_ITEMS);
    HWND items = WaitForDialog(install.pid(), ContextItemsTitle());
    ASSERT_NE(items, nullptr);
    known = trace.Requests().size();
    PressKey(GetDlgItem(items, IDC_MENU_EXTR_TO), VK_F1);
    ASSERT_TRUE(SettleInput(items));
    calls = trace.Requests();
    ASSERT_EQ(calls.size(), known + 1) << "F1 in the items dialog opens one topic only";
    EXPECT_TRUE(Contains(calls.back(), "::/html/HELPContextItems.htm")) << calls.back();
    known = calls.size();
    ClickButton(items, IDC_HELP_BUTTON);
    calls = trace.WaitRequests(known);
    ASSERT_EQ(calls.size(), known + 1);
    EXPECT_TRUE(Contains(calls.back(), "::/html/HELPContextItems.htm")) << calls.back();
    ClickButton(items, IDCANCEL);
    ASSERT_TRUE(WaitGone(items));

    HWND done = install.ConfirmSetup(setup);
    ASSERT_NE(done, nullptr);
    known = trace.Requests().size();
    PressKey(GetDlgItem(done, IDOK), VK_F1);
    ASSERT_TRUE(SettleInput(done));
    EXPECT_EQ(trace.Requests().size(), known) << "F1 in the completion dialog opens nothing";
    ClickButton(done, IDC_DONE_HELP);
    calls = trace.WaitRequests(known);
    ASSERT_EQ(calls.size(), known + 1);
    EXPECT_TRUE(Contains(calls.back(), "HH_DISPLAY_TOC")) << calls.back();
    EXPECT_TRUE(Contains(calls.back(), Traced(install.path("quibex.chm")))) << calls.back();

    known = calls.size();
    ClickButton(done, IDOK);
    EXPECT_EQ(install.Finish(), 0);
    calls = trace.Requests();
    ASSERT_EQ(calls.size(), known + 1) << "the help shut-down at exit";
    EXPECT_TRUE(Contains(calls.back(), "HH_CLOSE_ALL")) << calls.back();
    std::string text = trace.Text();
    EXPECT_TRUE(Contains(text.substr(text.find("command=HH_CLOSE_ALL")), "Destroying window"))
        << "the contents viewer was still open and is closed at exit";
    EXPECT_TRUE(CloseFolderWindow(15000));
}

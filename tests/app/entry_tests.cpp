#include <gtest/gtest.h>

#include "common/gui_driver.h"
#include "common/test_util.h"

#include <string>

// A copy of the program in a folder of its own, as an installation would hold it.
class Entry : public ::testing::Test {
protected:
    Entry() : dir_("entry") {}
    void SetUp() override { ASSERT_TRUE(CopyFileTo(ProgramPath(), program())); }
    std::string program() const { return dir_ / "uninstall.exe"; }
    std::string command(const char *args) const { return "\"" + program() + "\" " + args; }
    TempDir dir_;
};

// Only a lower bound: the pause the batch file relies on cannot be shortened by a load.
TEST_F(Entry, WaitPausesTwoSecondsAndUnknownSwitchesDoNothing)
{
    ASSERT_TRUE(WriteFileBytes(dir_ / "Uninstall.lst", "victim.txt\r\n"));
    ASSERT_TRUE(WriteFileBytes(dir_ / "victim.txt", "x"));
    DWORD start = GetTickCount();
    EXPECT_EQ(RunProcess(command("/wait")), 0);
    EXPECT_GE(GetTickCount() - start, 1900u);
    for (const char *args : {"/clean", "/x", "/", "--s"}) // no dialog waits, no removal starts
        EXPECT_EQ(RunProcess(command(args)), 0) << args;
    EXPECT_TRUE(Exists(dir_ / "victim.txt")) << "neither the pause nor an unknown switch removes anything";
}

TEST_F(Entry, WarningShowsTheManualDeletionMessage)
{
    HANDLE process = StartProcess(command("/warning"));
    ASSERT_NE(process, nullptr);
    HWND box = WaitForDialog(GetProcessId(process), Wide(u8"卸载 Quibex"));
    ASSERT_NE(box, nullptr) << "no message box with the caption";
    std::wstring all;
    for (const std::wstring &text : ChildTexts(box))
        all += text + L"|";
    std::wstring lines = Wide(u8"卸载已完成") + L"\n" + Wide(u8"你应该手动删除 ");
    EXPECT_NE(all.find(lines), std::wstring::npos);
    wchar_t self[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, program().c_str(), -1, self, MAX_PATH);
    EXPECT_NE(all.find(self), std::wstring::npos) << "the second line names the program's own path";
    ClickButton(box, IDOK);
    EXPECT_EQ(WaitExit(process, 10000), 0);
}

#include <gtest/gtest.h>

#include "common/test_util.h"
#include "lang/language_file.h"
#include "lang/messages.h"
#include "res/resource.h"

#include <set>
#include <string>

class Messages : public ::testing::Test {
protected:
    void SetUp() override { g_extResource.Load(GetModuleHandleA(nullptr), nullptr); }
    void TearDown() override { g_extResource.Unload(); }
};

static std::string TestModuleFolder() { return JoinPath(BuildDir(), "tests\\testlng"); }

TEST_F(Messages, NativeTextsWithoutModule)
{
    EXPECT_FALSE(g_extResource.loaded);
    EXPECT_EQ(g_resourceModule, g_programModule);
    EXPECT_EQ(std::string(GetMsg(IDS_CAPTION)), Acp(u8"卸载 Quibex"));
    EXPECT_EQ(std::string(GetMsg(IDS_RESTART_NEEDED)), Acp(u8"你需要重新启动 Windows 来完全卸载 Quibex。"));
    EXPECT_EQ(std::string(GetMsg(4242)), "") << "an unknown number";
}

TEST_F(Messages, ModuleStringsWinAndFallBackToOwn)
{
    std::string fakeProgram = JoinPath(TestModuleFolder(), "uninstall.exe");
    g_extResource.Load(GetModuleHandleA(nullptr), fakeProgram.c_str());
    ASSERT_TRUE(g_extResource.loaded);
    EXPECT_NE(g_resourceModule, g_programModule);
    EXPECT_STREQ(GetMsg(IDS_CAPTION), "Module caption 5104");
    EXPECT_STREQ(GetMsg(IDS_REMOVAL_DONE), "Module says done");
    EXPECT_EQ(std::string(GetMsg(IDS_CONFIRM_REMOVAL)), Acp(u8"确实要卸载 Quibex 吗?"));

    g_extResource.Unload();
    EXPECT_FALSE(g_extResource.loaded);
    EXPECT_EQ(g_resourceModule, g_programModule);
    EXPECT_EQ(std::string(GetMsg(IDS_CAPTION)), Acp(u8"卸载 Quibex"));
}

// A text the program opens is taken only as a web address; anything else, from a module
// or a language file, gives way to the program's own address.
TEST_F(Messages, OnlyWebAddressesAreOpened)
{
    for (const char *text : {"http://a.example/", "https://a.example/x?y=1&z=%20", "HtTpS://A.example"})
        EXPECT_TRUE(IsWebAddress(text)) << text;
    for (const char *text : {"", "https:", "http:/x", "C:\\Windows\\System32\\cmd.exe", "file:///C:/x.exe",
                             "\\\\server\\share\\x.exe", " https://a.example/", "https://a.example/\"--flag",
                             "https://a.example/ x.exe", "https://a\tb", "https://a\x7F", "https://a\r\nb"})
        EXPECT_FALSE(IsWebAddress(text)) << text;
    g_extResource.Load(GetModuleHandleA(nullptr), JoinPath(TestModuleFolder(), "uninstall.exe").c_str());
    ASSERT_TRUE(g_extResource.loaded);
    EXPECT_STREQ(GetMsg(IDS_HOME_PAGE), "C:\\Windows\\System32\\cmd.exe");
    EXPECT_STREQ(GetWebAddressMsg(IDS_HOME_PAGE), "https://www.example.com/quibex/");
}

// A text stays valid until eight further calls: the ninth call takes the first one's buffer.
TEST_F(Messages, RingOfEightBuffers)
{
    const char *first = GetMsg(IDS_CAPTION);
    std::set<const char *> seen = {first};
    for (int i = 1; i < 8; ++i)
        seen.insert(GetMsg(IDS_CAPTION));
    EXPECT_EQ(seen.size(), 8u);
    EXPECT_EQ(GetMsg(IDS_REMOVAL_DONE), first);
    EXPECT_EQ(std::string(first), Acp(u8"卸载已完成"));
}

TEST_F(Messages, FormatMsgReplacesTheOneConversionAndBounds)
{
    char out[512];
    FormatMsg(out, sizeof out, IDS_DELETE_BY_HAND, "C:\\Q\\uninstall.exe");
    EXPECT_EQ(std::string(out), Acp(u8"你应该手动删除 C:\\Q\\uninstall.exe"));
    FormatMsg(out, sizeof out, IDS_NO_LIST_FILE, "%s%n%x");
    EXPECT_EQ(std::string(out), Acp(u8"无法打开列表文件 %s%n%x"));

    // A translation with another conversion than one "%s" is not used as a format.
    TempDir dir("badformats");
    for (const char *bad : {"%n %s", "%s%s", "%d", "none"}) {
        std::string table = "***messages***\r\n";
        for (const char8_t *native : {u8"你应该手动删除 %s", u8"无法打开列表文件 %s"}) {
            char key[9];
            LanguageKey(key, Acp(native).c_str(), nullptr, TextKind::MessageText);
            table += std::string(key) + "=\"" + bad + "\"\r\n";
        }
        ASSERT_TRUE(WriteFileBytes(dir / "uninstall.lng", table));
        g_language.Load((dir / "uninstall.lng").c_str());
        ASSERT_TRUE(g_language.IsLoaded());
        FormatMsg(out, sizeof out, IDS_DELETE_BY_HAND, "C:\\Q");
        EXPECT_EQ(std::string(out), Acp(u8"你应该手动删除 C:\\Q")) << bad;
        FormatMsg(out, sizeof out, IDS_NO_LIST_FILE, "x.lst");
        EXPECT_EQ(std::string(out), Acp(u8"无法打开列表文件 x.lst")) << bad;
    }
    g_language.Load((dir / "absent.lng").c_str());

    char small[12];
    FormatMsg(small, sizeof small, IDS_DELETE_BY_HAND, "C:\\very\\long\\path");
    EXPECT_LT(strlen(small), sizeof small);
    std::string prefix = Acp(u8"你应该手动删除 C:\\very");
    EXPECT_EQ(std::string(small), prefix.substr(0, strlen(small)));
}

#include <gtest/gtest.h>

#include "common/test_hooks.h"
#include "common/test_util.h"
#include "registry/registry.h"
#include "support/windows_version.h"

#include <string.h>
#include <string>
#include <vector>

static const char kTestKey[] = "Software\\QbxRegTest";

// Raw read through the platform, to check what the layer stored.
static std::string RawValue(HKEY root, const std::string &path, const char *name, DWORD *type = nullptr,
                            REGSAM view = 0)
{
    HKEY key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_QUERY_VALUE | view, &key) != ERROR_SUCCESS)
        return "<no key>";
    char data[4096];
    DWORD size = sizeof data, t = 0;
    LONG r = RegQueryValueExA(key, name, nullptr, &t, reinterpret_cast<BYTE *>(data), &size);
    RegCloseKey(key);
    if (type)
        *type = t;
    return r == ERROR_SUCCESS ? std::string(data, size) : "<no value>";
}

static bool RawKeyExists(HKEY root, const std::string &path, REGSAM view = 0)
{
    HKEY key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_QUERY_VALUE | view, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

static void RawSet(const std::string &path, const char *name, DWORD type, const std::string &bytes)
{
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr), 0);
    RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE *>(bytes.data()), static_cast<DWORD>(bytes.size()));
    RegCloseKey(key);
}

class Registry : public ::testing::Test {
protected:
    void TearDown() override
    {
        DeleteRegTree(HKEY_CURRENT_USER, "Software\\QbxRegTest");
        DeleteSettingsTree();
        SetRegView64(false);
    }
};

TEST_F(Registry, OnlyTheSettingsRootPlacesPathsBelowTheSettingsKey)
{
    struct {
        HKEY root;
        const char *path;
        HKEY system;
        const char *built;
    } rows[] = {{kSettingsRoot, "Setup", HKEY_CURRENT_USER, "Software\\Quibex\\Setup"},
                {kSettingsRoot, "", HKEY_CURRENT_USER, "Software\\Quibex"},
                {kMachineSettingsRoot, "Setup", HKEY_LOCAL_MACHINE, "Software\\Quibex\\Setup"},
                {HKEY_CURRENT_USER, "Setup", HKEY_CURRENT_USER, "Setup"},
                {HKEY_CURRENT_USER, "", HKEY_CURRENT_USER, ""},
                {HKEY_CURRENT_USER, "\\Software\\Other", HKEY_CURRENT_USER, "\\Software\\Other"},
                {HKEY_CLASSES_ROOT, ".qbx", HKEY_CLASSES_ROOT, ".qbx"}};
    for (const auto &r : rows) {
        char out[256];
        EXPECT_EQ(BuildKeyPath(r.root, r.path, out, sizeof out), r.system) << r.path;
        EXPECT_STREQ(out, r.built) << r.path;
    }
}

TEST_F(Registry, PathsUpTo236CharactersAreAcceptedLongerOnesRefused)
{
    // 236 characters below the settings key: the longest built path, 252 characters.
    std::string path = std::string(100, 'a') + "\\" + std::string(100, 'b') + "\\" + std::string(34, 'c');
    ASSERT_EQ(path.size(), 236u);
    char out[256];
    strcpy(out, "untouched");
    EXPECT_TRUE(BuildKeyPath(kSettingsRoot, path.c_str(), out, sizeof out));
    EXPECT_EQ(strlen(out), 252u);
    EXPECT_EQ(SetSettingString(path.c_str(), "v", "236"), 0);
    EXPECT_EQ(RawValue(HKEY_CURRENT_USER, out, "v"), std::string("236", 4));
    char text[16];
    EXPECT_TRUE(GetSettingString(path.c_str(), "v", text, sizeof text, "d"));
    EXPECT_TRUE(RegKeyExists(kSettingsRoot, path.c_str()));

    std::string tooLong = path + "d";
    strcpy(out, "untouched");
    EXPECT_FALSE(BuildKeyPath(kSettingsRoot, tooLong.c_str(), out, sizeof out));
    EXPECT_STREQ(out, "untouched");
    EXPECT_EQ(SetSettingString(tooLong.c_str(), "v", "x"), ERROR_INVALID_NAME);
    EXPECT_EQ(SetSettingDword(tooLong.c_str(), "v", 1), ERROR_INVALID_NAME);
    EXPECT_EQ(SetRegBytes(HKEY_CLASSES_ROOT, tooLong.c_str(), "v", "x", 1), ERROR_INVALID_NAME);
    LONG error = 0;
    EXPECT_EQ(CreateRegKey(kSettingsRoot, tooLong.c_str(), &error), nullptr);
    EXPECT_EQ(error, ERROR_INVALID_NAME);
    EXPECT_FALSE(GetSettingString(tooLong.c_str(), "v", text, sizeof text, "d"));
    EXPECT_STREQ(text, "d");
    EXPECT_FALSE(RegKeyExists(kSettingsRoot, tooLong.c_str()));
    EXPECT_EQ(OpenRegKey(kSettingsRoot, tooLong.c_str()), nullptr);
}

TEST_F(Registry, WritersStoreTypedValuesAndReadersFallBack)
{
    EXPECT_EQ(SetSettingString("Setup", "", "default"), 0);
    DWORD type = 0;
    EXPECT_EQ(RawValue(HKEY_CURRENT_USER, "Software\\Quibex\\Setup", "", &type), std::string("default", 8));
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(SetSettingDword("Setup", "D", 0x01020304), 0);
    EXPECT_EQ(RawValue(HKEY_CURRENT_USER, "Software\\Quibex\\Setup", "D", &type), std::string("\x04\x03\x02\x01", 4));
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(SetRegBytes(kSettingsRoot, "Setup", "B", "\0\1\2", 3), 0);
    EXPECT_EQ(RawValue(HKEY_CURRENT_USER, "Software\\Quibex\\Setup", "B", &type), std::string("\0\1\2", 3));
    EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));

    char text[8];
    EXPECT_TRUE(GetSettingString("Setup", "", text, sizeof text, "x"));
    EXPECT_STREQ(text, "default");
    EXPECT_FALSE(GetSettingString("Setup", "missing", text, sizeof text, "dflt"));
    EXPECT_STREQ(text, "dflt");
    EXPECT_FALSE(GetSettingString("NoSuchKey", "", text, sizeof text, "dflt"));
    EXPECT_STREQ(text, "dflt");
    // A DWORD read as text: its raw bytes, terminated.
    EXPECT_TRUE(GetSettingString("Setup", "D", text, sizeof text, "x"));
    EXPECT_EQ(std::string(text), "\x04\x03\x02\x01");

    DWORD value = 7;
    EXPECT_TRUE(QueryRegDword(kSettingsRoot, "Setup", "D", 9, &value));
    EXPECT_EQ(value, 0x01020304u);
    EXPECT_FALSE(QueryRegDword(kSettingsRoot, "Setup", "missing", 9, &value));
    EXPECT_EQ(value, 9u);
    EXPECT_EQ(GetSettingDword("Setup", "", 5), 5u) << "8 bytes do not fit a number";
    EXPECT_EQ(GetSettingDword("Setup", "B", 5), 0x020100u) << "3 bytes of any type are accepted";

    // Any type with its exact bytes.
    const std::string expand("%x%", 4);
    EXPECT_EQ(SetRegValue(kSettingsRoot, "Typed", "E", REG_EXPAND_SZ, expand.data(), 4), 0);
    EXPECT_EQ(RawValue(HKEY_CURRENT_USER, "Software\\Quibex\\Typed", "E", &type), expand);
    EXPECT_EQ(type, static_cast<DWORD>(REG_EXPAND_SZ));
    char bytes[8];
    DWORD count = 9;
    EXPECT_TRUE(QueryRegValue(kSettingsRoot, "Typed", "E", &type, bytes, sizeof bytes, &count));
    EXPECT_EQ(std::string(bytes, count), expand);
    const std::string bigData(5000, '\xAB');
    EXPECT_EQ(SetRegValue(kSettingsRoot, "Typed", "big", REG_BINARY, bigData.data(), 5000), 0);
    EXPECT_FALSE(QueryRegValue(kSettingsRoot, "Typed", "big", &type, bytes, sizeof bytes, &count));
    EXPECT_EQ(count, 0u) << "too large for the buffer";
    EXPECT_FALSE(RegKeyIsEmpty(kSettingsRoot, "Typed"));
    LONG error = 0;
    CloseRegKey(CreateRegKey(kSettingsRoot, "Typed\\Empty", &error));
    EXPECT_TRUE(RegKeyIsEmpty(kSettingsRoot, "Typed\\Empty"));
    EXPECT_FALSE(RegKeyIsEmpty(kSettingsRoot, "Missing"));
}

// Every value as the registry holds it: through the W calls on the NT family, the A calls on 9x.
static std::string WholeValues(const char *path)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return "<no key>";
    std::string all;
    std::vector<BYTE> data(65536);
    for (DWORD i = 0;; ++i) {
        WCHAR name[1024];
        DWORD nameSize = 1024, dataSize = static_cast<DWORD>(data.size()), type = 0;
        LONG result = NtMajorVersion() != 0
                          ? RegEnumValueW(key, i, name, &nameSize, nullptr, &type, data.data(), &dataSize)
                          : RegEnumValueA(key, i, reinterpret_cast<char *>(name), &nameSize, nullptr, &type,
                                          data.data(), &dataSize);
        if (result != ERROR_SUCCESS)
            break;
        all += std::string(reinterpret_cast<char *>(name), nameSize * (NtMajorVersion() != 0 ? 2 : 1)) + "=" +
               std::to_string(type) + ":" + std::string(reinterpret_cast<char *>(data.data()), dataSize) + "\n";
    }
    RegCloseKey(key);
    return all;
}

// Writes text in the registry's own form, named and given in UTF-8.
static void SetWhole(const char *path, const char8_t *name, DWORD type, const std::u8string &text)
{
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr), 0);
    if (NtMajorVersion() != 0) {
        std::wstring wide = Wide(text.c_str());
        RegSetValueExW(key, Wide(name).c_str(), 0, type, reinterpret_cast<const BYTE *>(wide.c_str()),
                       static_cast<DWORD>(wide.size() + 1) * 2);
    } else {
        std::string ansi = Acp(text.c_str());
        RegSetValueExA(key, Acp(name).c_str(), 0, type, reinterpret_cast<const BYTE *>(ansi.c_str()),
                       static_cast<DWORD>(ansi.size() + 1));
    }
    RegCloseKey(key);
}

// Another program's values are copied whole, whatever the code page: names and text beyond it,
// text longer in UTF-8 than in UTF-16, an odd count of bytes, a long name, large data.
TEST_F(Registry, ValuesAreCopiedWhole)
{
    const char *from = "Software\\QbxRegTest\\From";
    std::u8string many; // the largest value, larger still in UTF-8
    for (int i = 0; i < 3000; ++i)
        many += u8"模";
    SetWhole(from, u8"", REG_SZ, u8"压缩.한글");
    SetWhole(from, u8"命令 한", REG_EXPAND_SZ, u8"%模板% 새");
    SetWhole(from, u8"ItemName", REG_SZ, many);
    RawSet(from, "odd", REG_SZ, "abc");
    RawSet(from, std::string(300, 'n').c_str(), REG_BINARY, std::string(5000, '\xAB'));
    EXPECT_TRUE(CopyRegValues(HKEY_CURRENT_USER, "Software\\QbxRegTest\\From", kSettingsRoot, "Copy", false));
    EXPECT_EQ(WholeValues("Software\\Quibex\\Copy"), WholeValues(from));

    // Only the missing ones, the rest left as they are.
    SetWhole("Software\\Quibex\\Copy", u8"ItemName", REG_SZ, u8"mine");
    const std::string mine = WholeValues("Software\\Quibex\\Copy");
    DeleteRegValue(kSettingsRoot, "Copy", "odd");
    EXPECT_TRUE(CopyRegValues(HKEY_CURRENT_USER, "Software\\QbxRegTest\\From", kSettingsRoot, "Copy", true));
    EXPECT_EQ(WholeValues("Software\\Quibex\\Copy"), mine);
    EXPECT_FALSE(CopyRegValues(kSettingsRoot, "Missing", kSettingsRoot, "Other", false));
    EXPECT_FALSE(RegKeyExists(kSettingsRoot, "Other"));

    // One value under another name.
    EXPECT_EQ(CopyRegValue(HKEY_CURRENT_USER, "Software\\QbxRegTest\\From", "", kSettingsRoot, "One", "Type"), 0);
    EXPECT_EQ(CopyRegValue(HKEY_CURRENT_USER, "Software\\QbxRegTest\\From", "x", kSettingsRoot, "One", "y"),
              ERROR_FILE_NOT_FOUND);
    SetWhole("Software\\QbxRegTest\\Expected", u8"Type", REG_SZ, u8"压缩.한글");
    EXPECT_EQ(WholeValues("Software\\Quibex\\One"), WholeValues("Software\\QbxRegTest\\Expected"));
}

TEST_F(Registry, TextIsThereWhenNotEmpty)
{
    struct {
        const char *name;
        DWORD type;
        std::string bytes;
        bool text;
    } rows[] = {
        {"empty", REG_SZ, std::string(1, '\0'), false},
        {"noBytes", REG_SZ, "", false},
        {"noZero", REG_EXPAND_SZ, "a", true},
        {"zeroBytes", REG_BINARY, std::string(2, '\0'), true},
        {"noData", REG_BINARY, "", false},
        {"big", REG_SZ, std::string(5000, 'x') + '\0', true},
    };
    for (const auto &r : rows) {
        RawSet("Software\\Quibex\\Has", r.name, r.type, r.bytes);
        EXPECT_EQ(RegValueHasText(kSettingsRoot, "Has", r.name), r.text) << r.name;
    }
    SetWhole("Software\\Quibex\\Has", u8"letter", REG_SZ, u8"一"); // U+4E00: its first byte is zero
    EXPECT_TRUE(RegValueHasText(kSettingsRoot, "Has", "letter"));
    EXPECT_FALSE(RegValueHasText(kSettingsRoot, "Has", "missing"));
    EXPECT_FALSE(RegValueHasText(kSettingsRoot, "NoKey", ""));
}

TEST_F(Registry, StringReadsAreAlwaysTerminated)
{
    struct {
        const char *name;
        DWORD type;
        std::string bytes;
        bool read;
        const char *text; // in an 8-byte buffer
    } rows[] = {
        {"exact", REG_SZ, std::string("abcdefg", 8), true, "abcdefg"}, // the terminator fills the buffer
        {"noZero", REG_SZ, "abc", true, "abc"},                        // stored without its terminator
        {"full", REG_BINARY, "12345678", false, "d"},                  // no room for a terminator
        {"big", REG_SZ, std::string("123456789", 10), false, "d"},
        {"empty", REG_BINARY, "", false, "d"},
    };
    for (const auto &r : rows) {
        RawSet("Software\\Quibex\\Raw", r.name, r.type, r.bytes);
        char text[8];
        memset(text, 'X', sizeof text);
        EXPECT_EQ(GetSettingString("Raw", r.name, text, sizeof text, "d"), r.read) << r.name;
        EXPECT_STREQ(text, r.text) << r.name;
    }
    // A default longer than the buffer is cut, never written past it.
    char small[4];
    EXPECT_FALSE(GetSettingString("Raw", "missing", small, sizeof small, "long default"));
    EXPECT_STREQ(small, "lon");
}

// Deletions take one key or value, create nothing, and never take a root.
TEST_F(Registry, DeletionsTakeOneKeyOrValue)
{
    LONG error = -1;
    EXPECT_TRUE(CloseRegKey(CreateRegKey(kSettingsRoot, "A\\B", &error)));
    DeleteRegKey(kSettingsRoot, "A");
    if (NtMajorVersion() != 0) {
        EXPECT_TRUE(RegKeyExists(kSettingsRoot, "A")) << "a key with subkeys stays on the NT family";
        DeleteRegKey(kSettingsRoot, "A\\B");
    }
    EXPECT_FALSE(RegKeyExists(kSettingsRoot, "A\\B"));

    SetSettingString("A", "v", "1");
    DeleteRegValue(kSettingsRoot, "A", "v");
    DeleteRegValue(kSettingsRoot, "NoKey", "v");
    EXPECT_FALSE(RegKeyExists(kSettingsRoot, "NoKey")) << "deleting a value creates no key";
    EXPECT_EQ(RawValue(HKEY_CURRENT_USER, "Software\\Quibex\\A", "v"), "<no value>");
    // The empty path under any root but the settings root names the root itself: never deleted, even a
    // root without subkeys, which every family's own call would delete.
    HKEY leaf = CreateRegKey(HKEY_CURRENT_USER, "Software\\QbxRegTest\\Leaf", &error);
    ASSERT_NE(leaf, nullptr);
    DeleteRegKey(leaf, "");
    DeleteRegTree(leaf, "");
    CloseRegKey(leaf);
    EXPECT_TRUE(RawKeyExists(HKEY_CURRENT_USER, std::string(kTestKey) + "\\Leaf"));
}

TEST_F(Registry, TreeDeletionRemovesEveryLevelAndEnds)
{
    for (const char *a : {"a1", "a2", "a3"})
        for (const char *b : {"b1", "b2", "b3", "b4"})
            for (const char *c : {"c1", "c2", "c3"}) {
                std::string path = std::string("Software\\QbxRegTest\\") + a + "\\" + b + "\\" + c;
                ASSERT_EQ(SetRegString(HKEY_CURRENT_USER, path.c_str(), "v", c), 0);
            }
    DeleteRegTree(HKEY_CURRENT_USER, "Software\\QbxRegTest");
    EXPECT_FALSE(RawKeyExists(HKEY_CURRENT_USER, kTestKey));
    if (NtMajorVersion() != 0)
        EXPECT_GE(TreePassCount(), 2) << "passes until one deletes nothing";
    EXPECT_LT(TreePassCount(), 10);

    DeleteRegTree(HKEY_CURRENT_USER, "Software\\QbxRegTest");
    EXPECT_EQ(TreePassCount(), 1) << "a missing key takes one pass that deletes nothing";
}

TEST_F(Registry, TreeDeletionOfTheSettingsKey)
{
    SetSettingDword("Setup\\.qbx", "Exist", 1);
    SetSettingDword("Setup\\MenuItems", "Open", 1);
    SetSettingDword("", "Top", 1);
    RawSet("Software\\QuibexOther", "v", REG_SZ, "keep");
    DeleteRegTree(HKEY_CURRENT_USER, "");
    EXPECT_TRUE(RawKeyExists(HKEY_CURRENT_USER, "Software\\Quibex")) << "the empty path is the root itself";
    DeleteSettingsTree();
    EXPECT_FALSE(RawKeyExists(HKEY_CURRENT_USER, "Software\\Quibex"));
    EXPECT_TRUE(RawKeyExists(HKEY_CURRENT_USER, "Software\\QuibexOther"));
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\QuibexOther");
}

TEST_F(Registry, TreeDeletionSkipsChildrenWhosePathDoesNotFit)
{
    // Two 199-character levels, then a third whose path no longer fits 512 bytes.
    std::string l1(199, '1'), l2(199, '2'), l3(199, '3');
    std::string base = std::string(kTestKey) + "\\" + l1 + "\\" + l2;
    std::string deep = base + "\\" + l3;
    std::string cut = deep.substr(0, 511);
    std::string cutName = cut.substr(base.size() + 1);
    // The system's ANSI calls take at most MAX_PATH characters: create level by level.
    HKEY top, k1, k2, k3, nearKey;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kTestKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &top, nullptr), 0);
    ASSERT_EQ(RegCreateKeyExA(top, l1.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k1, nullptr), 0);
    ASSERT_EQ(RegCreateKeyExA(k1, l2.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k2, nullptr), 0);
    ASSERT_EQ(RegCreateKeyExA(k2, l3.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k3, nullptr), 0);
    RegCloseKey(k3);
    ASSERT_EQ(RegCreateKeyExA(k2, cutName.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k3, nullptr), 0);
    RegCloseKey(k3);
    ASSERT_EQ(RegCreateKeyExA(top, "near", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &nearKey, nullptr), 0);
    RegCloseKey(nearKey);
    DeleteRegTree(HKEY_CURRENT_USER, "Software\\QbxRegTest");
    // On 9x the system's own delete takes the whole tree at once.
    HKEY probe;
    if (NtMajorVersion() != 0) {
        EXPECT_EQ(RegOpenKeyExA(k2, l3.c_str(), 0, KEY_READ, &probe), 0) << "out of reach: left in place";
        RegCloseKey(probe);
    }
    EXPECT_FALSE(RawKeyExists(HKEY_CURRENT_USER, std::string(kTestKey) + "\\near"));
    EXPECT_LT(TreePassCount(), 10);
    // Clean up from below with the platform's own calls.
    RegDeleteKeyA(k2, l3.c_str());
    RegDeleteKeyA(k2, cutName.c_str());
    RegCloseKey(k2);
    RegDeleteKeyA(k1, l2.c_str());
    RegCloseKey(k1);
    RegDeleteKeyA(top, l1.c_str());
    RegCloseKey(top);
}

TEST_F(Registry, ViewFlagAffectsOnlyKeyCreationAndOnlyDeletionsNamedForTheView)
{
    if (!IsWow64Run())
        GTEST_SKIP() << "only 64-bit Windows has a second view";
    const char *path = "CLSID\\{0BADF00D-1111-2222-3333-444455556666}";
    SetRegView64(true);
    EXPECT_EQ(SetRegString(HKEY_CLASSES_ROOT, path, "", "in 64"), 0);
    EXPECT_FALSE(RegKeyExists(HKEY_CLASSES_ROOT, path));
    char text[16];
    EXPECT_FALSE(GetRegString(HKEY_CLASSES_ROOT, path, "", text, sizeof text, "none"));
    DeleteRegKey(HKEY_CLASSES_ROOT, path); // default view: nothing there to delete
    SetRegView64(false);
    EXPECT_TRUE(RawKeyExists(HKEY_CLASSES_ROOT, path, KEY_WOW64_64KEY));
    EXPECT_FALSE(RawKeyExists(HKEY_CLASSES_ROOT, path, KEY_WOW64_32KEY));
    EXPECT_EQ(SetRegString(HKEY_CLASSES_ROOT, path, "", "in 32"), 0);
    EXPECT_EQ(RawValue(HKEY_CLASSES_ROOT, path, "", nullptr, KEY_WOW64_64KEY), std::string("in 64", 6));
    EXPECT_EQ(RawValue(HKEY_CLASSES_ROOT, path, "", nullptr, KEY_WOW64_32KEY), std::string("in 32", 6));
    // The deletions named for the 64-bit view leave the default view alone, and the others
    // the 64-bit one; a key goes only when nothing is left in it.
    SetRegView64(true);
    EXPECT_EQ(SetRegString(HKEY_CLASSES_ROOT, path, "v", "64"), 0);
    SetRegView64(false);
    EXPECT_EQ(SetRegString(HKEY_CLASSES_ROOT, path, "v", "32"), 0);
    DeleteRegValue(HKEY_CLASSES_ROOT, path, "v");
    EXPECT_EQ(RawValue(HKEY_CLASSES_ROOT, path, "v", nullptr, KEY_WOW64_64KEY), std::string("64", 3));
    DeleteEmptyRegKey(HKEY_CLASSES_ROOT, path, true);
    EXPECT_TRUE(RawKeyExists(HKEY_CLASSES_ROOT, path, KEY_WOW64_64KEY)) << "a value and a default value left";
    DeleteRegValue64(HKEY_CLASSES_ROOT, path, "v");
    DeleteRegValue64(HKEY_CLASSES_ROOT, path, "");
    EXPECT_EQ(RawValue(HKEY_CLASSES_ROOT, path, ""), std::string("in 32", 6));
    DeleteEmptyRegKey(HKEY_CLASSES_ROOT, path, true);
    EXPECT_FALSE(RawKeyExists(HKEY_CLASSES_ROOT, path, KEY_WOW64_64KEY));
    DeleteEmptyRegKey(HKEY_CLASSES_ROOT, path, false);
    EXPECT_TRUE(RegKeyExists(HKEY_CLASSES_ROOT, path));
    DeleteRegValue(HKEY_CLASSES_ROOT, path, "");
    DeleteEmptyRegKey(HKEY_CLASSES_ROOT, path, false);
    EXPECT_FALSE(RegKeyExists(HKEY_CLASSES_ROOT, path));
}

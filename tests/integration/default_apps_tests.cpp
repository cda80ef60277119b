#include <gtest/gtest.h>

#include "common/test_util.h"
#include "integration/apply.h"
#include "integration/default_apps.h"
#include "integration_util.h"
#include "registry/registry.h"
#include "removal/remove_integration.h"

static const std::string kCapabilities = "Software\\Quibex\\Capabilities";
static const char kRegistered[] = "Software\\RegisteredApplications";

// Everything this touches: the extension keys and the machine keys in both views.
static std::string State()
{
    std::string all;
    for (const std::string &ext : AllExtensions())
        all += Snapshot(HKEY_CLASSES_ROOT, ext);
    for (REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY})
        all += Snapshot(HKEY_LOCAL_MACHINE, "Software\\Quibex", view) +
               RegText(HKEY_LOCAL_MACHINE, kRegistered, "Quibex", view) + "\n";
    return all;
}

// ":0" for the zero-length REG_NONE value setup adds, "-" for none.
static std::string OpenWith(const std::string &ext, const char *type)
{
    DWORD t = 99;
    std::string bytes = RegBytes(HKEY_CLASSES_ROOT, ext + "\\OpenWithProgids", type, &t);
    return bytes.empty() ? ":" + std::to_string(t) : bytes[0] == '<' ? "-" : bytes;
}

static SetupChoices AllBut(std::initializer_list<int> unticked)
{
    SetupChoices c = {};
    for (bool &a : c.Associate)
        a = true;
    for (int i : unticked)
        c.Associate[i] = false;
    return c;
}

enum { kCab = 2, kArj = 3, kIso = 12 };

// With another program registered, as on every Windows 8 and later, or with none, as on
// Windows 7, where the key setup makes for it goes again with the archiver.
static void OfferAndTakeAway(bool otherRegistered)
{
    RawSetText(HKEY_CLASSES_ROOT, ".zip", "", "CompressedFolder");
    RawSetValue(HKEY_CLASSES_ROOT, ".zip\\OpenWithProgids", "Foreign.Zip", REG_NONE, "");
    RawSetText(HKEY_CLASSES_ROOT, ".7z", "", "Other.7z");
    RawSetText(HKEY_CLASSES_ROOT, ".cab", "", "Other.CAB");
    // The archiver's own machine settings, if it keeps any, are not setup's to delete.
    RawSetValue(HKEY_LOCAL_MACHINE, "Software\\Quibex", "Mine", REG_SZ, std::string("kept", 5), KEY_WOW64_64KEY);
    if (otherRegistered)
        RawSetValue(HKEY_LOCAL_MACHINE, kRegistered, "Other", REG_SZ, std::string("Software\\Other", 15),
                    KEY_WOW64_64KEY);
    else
        ASSERT_FALSE(KeyThere(HKEY_LOCAL_MACHINE, kRegistered, KEY_WOW64_64KEY));
    // Giving back leaves an empty default value where there was none, by design.
    for (const std::string &ext : AllExtensions())
        if (KeyThere(HKEY_CLASSES_ROOT, ext) && RegText(HKEY_CLASSES_ROOT, ext) == "<no value>")
            RawSetText(HKEY_CLASSES_ROOT, ext, "", "");
    ASSERT_FALSE(KeyThere(HKEY_CLASSES_ROOT, ".arj"));
    ASSERT_FALSE(KeyThere(HKEY_CLASSES_ROOT, ".iso"));
    const std::string before = State();

    ASSERT_TRUE(ApplySetupChoices(AllBut({kCab, kArj}), nullptr, 0));
    const bool vista = VersionName() != "win98" && VersionName() != "winxp";
    const REGSAM v64 = KEY_WOW64_64KEY;
    EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, kCapabilities, "ApplicationName", v64),
              vista ? Acp(u8"Quibex 压缩软件") : "<no key>");
    if (vista) {
        EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, kCapabilities, "ApplicationDescription", v64),
                  Acp(u8"打开、创建和解压 QBX、ZIP 等压缩文件"));
        EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, kRegistered, "Quibex", v64), kCapabilities);
    }
    for (const std::string &ext : AllExtensions()) {
        const char *type = ext == ".zip" ? "Quibex.ZIP" : "Quibex";
        EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, kCapabilities + "\\FileAssociations", ext.c_str(), v64),
                  vista ? type : "<no key>") << ext;
        // Never an extension key for this alone: ".arj" was neither there nor taken.
        EXPECT_EQ(OpenWith(ext, type), vista && ext != ".arj" ? ":0" : "-") << ext;
    }
    EXPECT_FALSE(KeyThere(HKEY_CLASSES_ROOT, ".arj"));
    EXPECT_EQ(OpenWith(".zip", "Foreign.Zip"), ":0");
    if (IsWow64Run()) {
        EXPECT_FALSE(KeyThere(HKEY_LOCAL_MACHINE, kCapabilities, KEY_WOW64_32KEY));
        EXPECT_NE(RegText(HKEY_LOCAL_MACHINE, kRegistered, "Quibex", KEY_WOW64_32KEY), kCapabilities);
    }
    for (const std::string ext : {".zip", ".7z", ".cab", ".iso"})
        EXPECT_EQ(GetSettingDword(("Setup\\" + ext).c_str(), "OpenWithKey", 0), vista && ext != ".zip" ? 1u : 0u)
            << ext << ": created by setup";

    // A second setup leaves ".iso", whose key setup created, unticked: it goes whole.
    ASSERT_TRUE(ApplySetupChoices(AllBut({kArj, kIso}), nullptr, 0));
    EXPECT_FALSE(KeyThere(HKEY_CLASSES_ROOT, ".iso"));
    EXPECT_EQ(OpenWith(".cab", "Quibex"), vista ? ":0" : "-");

    RemoveIntegration();
    EXPECT_EQ(State(), before);
    // A removal cut short after its first step, then run again.
    ASSERT_TRUE(ApplySetupChoices(AllBut({kArj}), nullptr, 0));
    RemoveDefaultApps();
    RemoveIntegration();
    EXPECT_EQ(State(), before);

    RawDeleteTree(HKEY_CLASSES_ROOT, ".zip");
    RawDeleteTree(HKEY_CLASSES_ROOT, ".7z");
    RawDeleteTree(HKEY_CLASSES_ROOT, ".cab");
    DeleteRegValue64(HKEY_LOCAL_MACHINE, "Software\\Quibex", "Mine");
    DeleteRegValue64(HKEY_LOCAL_MACHINE, kRegistered, "Other");
    DeleteEmptyRegKey(HKEY_LOCAL_MACHINE, kRegistered, true);
    DeleteEmptyRegKey(HKEY_LOCAL_MACHINE, "Software\\Quibex", true);
}

TEST(DefaultApps, OfferedWhereKeysExistAndTakenAwayExactly)
{
    for (bool otherRegistered : {true, false}) {
        SCOPED_TRACE(otherRegistered ? "another program registered" : "none registered");
        OfferAndTakeAway(otherRegistered);
    }
}

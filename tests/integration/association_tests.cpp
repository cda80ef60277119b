#include <gtest/gtest.h>

#include "common/test_util.h"
#include "integration/associations.h"
#include "integration/templates.h"
#include "integration_util.h"
#include "registry/registry.h"

static SetupChoices AllTypes(bool shellExt)
{
    SetupChoices c = {};
    for (bool &a : c.Associate)
        a = true;
    c.ShellExt = shellExt;
    return c;
}

class Associations : public ::testing::Test {
protected:
    void TearDown() override
    {
        SetAssociations(SetupChoices{});
        DeleteRegTree(HKEY_CURRENT_USER, "");
        for (const char *ext : {".zip", ".cab", ".arj", ".tar", ".7z", ".qbx", ".q05", ".lha"})
            RawDeleteTree(HKEY_CLASSES_ROOT, ext);
    }
};

TEST_F(Associations, ForeignOwnersGetExactlyTheirStateBack)
{
    RawSetText(HKEY_CLASSES_ROOT, ".zip", "", "CompressedFolder");
    RawSetText(HKEY_CLASSES_ROOT, ".zip", "Content Type", "application/x-zip-compressed");
    RawSetText(HKEY_CLASSES_ROOT, ".zip\\ShellNew", "FileName", "C:\\templates\\empty.zip");
    RawSetText(HKEY_CLASSES_ROOT, ".cab", "", "Foreign.CAB");
    RawSetText(HKEY_CLASSES_ROOT, ".cab\\ShellNew", "NullFile", "");
    RawSetText(HKEY_CLASSES_ROOT, ".tar", "", "");
    const std::string zipBefore = Snapshot(HKEY_CLASSES_ROOT, ".zip");
    const std::string cabBefore = Snapshot(HKEY_CLASSES_ROOT, ".cab");
    const std::string tarBefore = Snapshot(HKEY_CLASSES_ROOT, ".tar");

    SetAssociations(AllTypes(true));
    EXPECT_EQ(RegText(HKEY_CLASSES_ROOT, ".zip"), "Quibex.ZIP");
    EXPECT_EQ(RegText(HKEY_CLASSES_ROOT, ".zip", "Content Type"), "<no value>");
    EXPECT_EQ(RegText(HKEY_CLASSES_ROOT, ".cab"), "Quibex");
    const std::string zipSaved = "Software\\Quibex\\Setup\\.zip";
    EXPECT_EQ(RegBytes(HKEY_CURRENT_USER, zipSaved, "Exist"), std::string("\1\0\0\0", 4));
    EXPECT_EQ(RegText(HKEY_CURRENT_USER, zipSaved, "Type"), "CompressedFolder");
    EXPECT_EQ(RegText(HKEY_CURRENT_USER, zipSaved, "Content"), "application/x-zip-compressed");
    EXPECT_EQ(RegText(HKEY_CURRENT_USER, zipSaved, "ShellNew"), "C:\\templates\\empty.zip");
    EXPECT_EQ(RegText(HKEY_CURRENT_USER, "Software\\Quibex\\Setup\\.cab", "ShellNew"), "*");

    // A second setup finds them own and keeps the first saved state.
    SetAssociations(AllTypes(true));
    EXPECT_EQ(RegText(HKEY_CURRENT_USER, zipSaved, "Type"), "CompressedFolder");

    SetAssociations(SetupChoices{});
    EXPECT_EQ(Snapshot(HKEY_CLASSES_ROOT, ".zip"), zipBefore);
    EXPECT_EQ(Snapshot(HKEY_CLASSES_ROOT, ".cab"), cabBefore);
    EXPECT_EQ(Snapshot(HKEY_CLASSES_ROOT, ".tar"), tarBefore);
    EXPECT_FALSE(KeyThere(HKEY_CLASSES_ROOT, ".arj")) << "created by setup, removed again";
}

TEST_F(Associations, TemplatesFollowTheShellExtensionChoice)
{
    RawSetText(HKEY_CLASSES_ROOT, ".zip\\ShellNew", "NullFile", "");
    SetAssociations(AllTypes(false));
    EXPECT_EQ(RegText(HKEY_CLASSES_ROOT, ".zip\\ShellNew", "NullFile"), "") << "left unchanged";
    EXPECT_EQ(RegText(HKEY_CLASSES_ROOT, ".qbx\\ShellNew", "FileName"), "<no key>");
    // An existing template file is registered as it is.
    WriteFileBytes(InstallFile("zipnew.dat"), "mine");
    SetAssociations(AllTypes(true));
    if (VersionName() != "win98") {
        EXPECT_EQ(ReadFileBytes(InstallFile("zipnew.dat")), "mine");
        EXPECT_EQ(RegText(HKEY_CLASSES_ROOT, ".zip\\ShellNew", "FileName"), InstallFile("zipnew.dat"));
    }
    EXPECT_EQ(RegText(HKEY_CLASSES_ROOT, ".zip\\ShellNew", "NullFile"), "<no value>");
    SetAssociations(SetupChoices{});
    EXPECT_EQ(RegText(HKEY_CLASSES_ROOT, ".zip\\ShellNew", "NullFile"), "");
    EXPECT_EQ(RegText(HKEY_CLASSES_ROOT, ".zip\\ShellNew", "FileName"), "<no value>");
    EXPECT_EQ(RegText(HKEY_CLASSES_ROOT, ".zip\\ShellNew", "Data"), "<no value>");
    DeleteFileA(InstallFile("zipnew.dat").c_str());
    DeleteFileA(InstallFile("qbxnew.dat").c_str());
}

TEST_F(Associations, ExtensionsTakenOverMeanwhileAreLeftAlone)
{
    SetAssociations(AllTypes(false));
    RawSetText(HKEY_CLASSES_ROOT, ".qbx", "", "Other.QBX");
    RawSetText(HKEY_CLASSES_ROOT, ".cab", "", "Other.CAB");
    SetAssociations(SetupChoices{});
    EXPECT_EQ(RegText(HKEY_CLASSES_ROOT, ".qbx"), "Other.QBX");
    EXPECT_EQ(RegText(HKEY_CLASSES_ROOT, ".q00"), "Quibex") << "volumes go with their .qbx";
    EXPECT_EQ(RegText(HKEY_CLASSES_ROOT, ".cab"), "Other.CAB");
    for (int n = 0; n < 100; ++n) {
        char v[8];
        wsprintfA(v, ".q%02d", n);
        RegDeleteKeyA(HKEY_CLASSES_ROOT, v);
    }
    RawDeleteTree(HKEY_CLASSES_ROOT, ".qbx");
    DeleteRegTree(HKEY_CURRENT_USER, "");

    // A volume extension another program took is not ours to give back either.
    SetAssociations(AllTypes(false));
    RawSetText(HKEY_CLASSES_ROOT, ".q05", "", "Other.Volume");
    SetAssociations(SetupChoices{});
    EXPECT_FALSE(KeyThere(HKEY_CLASSES_ROOT, ".q04"));
    EXPECT_EQ(RegText(HKEY_CLASSES_ROOT, ".q05"), "Other.Volume");
}

TEST_F(Associations, GiveBackEdgeCases)
{
    // A saved type naming the archiver itself, in any case, comes back empty.
    SetAssociations(AllTypes(false));
    SetSettingDword("Setup\\.arj", "Exist", 1);
    SetSettingString("Setup\\.arj", "Type", "QUIBEX.zip");
    // Someone added a subkey to an extension setup created: it stays, no longer ours.
    RawSetText(HKEY_CLASSES_ROOT, ".lha\\OpenWithList\\x", "", "y");
    SetAssociations(SetupChoices{});
    EXPECT_EQ(RegText(HKEY_CLASSES_ROOT, ".arj"), "");
    EXPECT_FALSE(IsOwnAssociation(".lha"));
    // On 9x the single-key delete takes the subkeys with it.
    if (VersionName() != "win98") {
        EXPECT_EQ(RegText(HKEY_CLASSES_ROOT, ".lha"), "");
        EXPECT_TRUE(KeyThere(HKEY_CLASSES_ROOT, ".lha\\OpenWithList\\x"));
    }

    // A type whose flag is off during setup is given back at once.
    SetupChoices some = AllTypes(false);
    SetAssociations(some);
    some.Associate[kQbxType] = false;
    SetAssociations(some);
    EXPECT_FALSE(KeyThere(HKEY_CLASSES_ROOT, ".qbx"));
    EXPECT_FALSE(KeyThere(HKEY_CLASSES_ROOT, ".q00"));
    EXPECT_EQ(RegText(HKEY_CLASSES_ROOT, ".cab"), "Quibex");
}

TEST_F(Associations, OwnAssociationIgnoresCaseAndOverlongValues)
{
    RawSetText(HKEY_CLASSES_ROOT, ".7z", "", "qUIBEX");
    EXPECT_TRUE(IsOwnAssociation(".7z"));
    RawSetText(HKEY_CLASSES_ROOT, ".7z", "", "Quibex.Other");
    EXPECT_FALSE(IsOwnAssociation(".7z"));
    RawSetText(HKEY_CLASSES_ROOT, ".7z", "", std::string(200, 'Q'));
    EXPECT_FALSE(IsOwnAssociation(".7z"));
    EXPECT_FALSE(IsOwnAssociation(".nosuchext"));
}

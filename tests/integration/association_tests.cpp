#include <gtest/gtest.h>

#include "common/test_hooks.h"
#include "common/test_util.h"
#include "integration/associations.h"
#include "integration/setup_record.h"
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

// Gives every type back and forgets what the tests wrote for the extensions they use.
static void ResetAssociations()
{
    SetAssociations(SetupChoices{});
    DeleteSettingsTree();
    DeleteMachineRecord();
    for (const char *ext : {".zip", ".cab", ".arj", ".tar", ".7z", ".qbx", ".lha"})
        RawDeleteTree(HKEY_CLASSES_ROOT, ext);
    for (int n = 0; n < 100; ++n)
        RegDeleteKeyA(HKEY_CLASSES_ROOT, Volume(n).c_str());
}

class Associations : public ::testing::Test {
protected:
    void TearDown() override { ResetAssociations(); }
};

// The part of a snapshot below its first line, which names the key.
static std::string Values(HKEY root, const std::string &path)
{
    std::string all = Snapshot(root, path);
    return all.substr(all.find('\n') + 1);
}

TEST_F(Associations, ForeignOwnersGetExactlyTheirStateBack)
{
    RawSetText(HKEY_CLASSES_ROOT, ".zip", "", "CompressedFolder");
    RawSetText(HKEY_CLASSES_ROOT, ".zip", "Content Type", "application/x-zip-compressed");
    RawSetText(HKEY_CLASSES_ROOT, ".zip\\ShellNew", "FileName", "C:\\templates\\empty.zip");
    RawSetValue(HKEY_CLASSES_ROOT, ".zip\\ShellNew", "Command", REG_EXPAND_SZ, std::string("%ZIP% new\0", 10));
    RawSetValue(HKEY_CLASSES_ROOT, ".zip\\ShellNew", "Data", REG_BINARY, std::string("PK\5\6\0\xff", 6));
    RawSetText(HKEY_CLASSES_ROOT, ".cab", "", "Foreign.CAB");
    RawSetText(HKEY_CLASSES_ROOT, ".cab\\ShellNew", "NullFile", "");
    RawSetValue(HKEY_CLASSES_ROOT, ".cab\\ShellNew", "Data", REG_BINARY, std::string("MSCF\0\x01", 6));
    RawSetText(HKEY_CLASSES_ROOT, ".cab\\ShellNew", "ItemName", "@cabinet.dll,-10");
    RawSetText(HKEY_CLASSES_ROOT, ".tar", "", "");
    const std::string zipBefore = Snapshot(HKEY_CLASSES_ROOT, ".zip");
    const std::string cabBefore = Snapshot(HKEY_CLASSES_ROOT, ".cab");
    const std::string tarBefore = Snapshot(HKEY_CLASSES_ROOT, ".tar");
    const std::string zipTemplateBefore = Values(HKEY_CLASSES_ROOT, ".zip\\ShellNew");
    const std::string cabTemplateBefore = Snapshot(HKEY_CLASSES_ROOT, ".cab\\ShellNew");

    SetAssociations(AllTypes(true));
    EXPECT_EQ(RegText(HKEY_CLASSES_ROOT, ".zip", "Content Type"), "<no value>");
    EXPECT_EQ(RegText(HKEY_CLASSES_ROOT, ".zip\\ShellNew", "Command"), "<no value>") << "template taken over";
    // The round trips below check what is saved; the template's one-value form, which earlier
    // versions read instead of the saved values, is checked here.
    const std::string zipSaved = "Software\\Quibex\\Setup\\.zip";
    EXPECT_EQ(RegText(HKEY_CURRENT_USER, zipSaved, "ShellNew"), "C:\\templates\\empty.zip");
    EXPECT_EQ(RegText(HKEY_CURRENT_USER, "Software\\Quibex\\Setup\\.cab", "ShellNew"), "*");
    EXPECT_EQ(Values(HKEY_CURRENT_USER, zipSaved + "\\ShellNew"), zipTemplateBefore) << "with types and bytes";
    EXPECT_EQ(Snapshot(HKEY_CLASSES_ROOT, ".cab\\ShellNew"), cabTemplateBefore) << "never setup's to touch";

    // A second setup finds them own and keeps the first saved state.
    SetAssociations(AllTypes(true));
    EXPECT_EQ(RegText(HKEY_CURRENT_USER, zipSaved, "Type"), "CompressedFolder");

    // Clearing ".zip" alone gives it back at once, template values and all.
    SetupChoices noZip = AllTypes(true);
    noZip.Associate[kZipType] = false;
    SetAssociations(noZip);
    EXPECT_EQ(Snapshot(HKEY_CLASSES_ROOT, ".zip"), zipBefore);
    EXPECT_EQ(Snapshot(HKEY_CLASSES_ROOT, ".cab\\ShellNew"), cabTemplateBefore);

    SetAssociations(AllTypes(true));
    SetAssociations(SetupChoices{});
    EXPECT_EQ(Snapshot(HKEY_CLASSES_ROOT, ".zip"), zipBefore);
    EXPECT_EQ(Snapshot(HKEY_CLASSES_ROOT, ".cab"), cabBefore);
    EXPECT_EQ(Snapshot(HKEY_CLASSES_ROOT, ".tar"), tarBefore);
    EXPECT_FALSE(KeyThere(HKEY_CLASSES_ROOT, ".arj")) << "created by setup, removed again";
}

// Another program's texts with letters neither 1252 nor 936 holds come back whole, names
// included. 9x holds ANSI: nothing beyond its code page can be there.
TEST_F(Associations, ForeignTextsBeyondTheCodePageComeBackWhole)
{
    if (VersionName() == "win98")
        GTEST_SKIP() << "9x registry holds ANSI";
    std::u8string many; // longer in UTF-8 than in UTF-16, and the largest value of its key
    for (int i = 0; i < 100; ++i)
        many += u8"模";
    RawSetWide(HKEY_CLASSES_ROOT, ".zip", u8"", REG_SZ, u8"压缩.한글");
    RawSetWide(HKEY_CLASSES_ROOT, ".zip", u8"Content Type", REG_SZ, u8"application/x-压缩");
    RawSetWide(HKEY_CLASSES_ROOT, ".zip\\ShellNew", u8"FileName", REG_SZ, u8"C:\\模板\\新建 한.zip");
    RawSetWide(HKEY_CLASSES_ROOT, ".zip\\ShellNew", u8"命令 한", REG_EXPAND_SZ, u8"%模板% 새");
    RawSetWide(HKEY_CLASSES_ROOT, ".zip\\ShellNew", u8"ItemName", REG_SZ, many);
    RawSetWide(HKEY_CLASSES_ROOT, ".qbx", u8"", REG_SZ, u8"Other.한");
    RawSetWide(HKEY_CLASSES_ROOT, ".qbx", u8"Content Type", REG_SZ, u8"x/한");
    const std::string zip = Snapshot(HKEY_CLASSES_ROOT, ".zip"), qbx = Snapshot(HKEY_CLASSES_ROOT, ".qbx");
    SetAssociations(AllTypes(true));
    // The one-value form earlier versions read holds the file name whole too.
    const char8_t *entry = u8"ShellNew=1:C:\\模板\\新建 한.zip";
    EXPECT_NE(Snapshot(HKEY_CURRENT_USER, "Software\\Quibex\\Setup\\.zip").find(reinterpret_cast<const char *>(entry)),
              std::string::npos);
    SetAssociations(SetupChoices{});
    EXPECT_EQ(Snapshot(HKEY_CLASSES_ROOT, ".zip"), zip);
    EXPECT_EQ(Snapshot(HKEY_CLASSES_ROOT, ".qbx"), qbx);
    EXPECT_EQ(Values(HKEY_CLASSES_ROOT, ".q29"), Values(HKEY_CLASSES_ROOT, ".qbx")) << "volumes as their .qbx";
}

static std::string EmptyArchive(bool qbx)
{
    ArchiveBytes archive = EmptyArchiveBytes(qbx);
    return std::string(reinterpret_cast<const char *>(archive.data), archive.count);
}

// Another program's template is its own, even when its bytes are those of an empty archive,
// as Windows' own ".zip" template is.
TEST_F(Associations, AForeignTemplateLikeOursComesBack)
{
    for (bool shellExt : {true, false}) {
        RawSetText(HKEY_CLASSES_ROOT, ".zip", "", "CompressedFolder");
        RawSetValue(HKEY_CLASSES_ROOT, ".zip\\ShellNew", "Command", REG_EXPAND_SZ, std::string("%Z% new\0", 9));
        RawSetValue(HKEY_CLASSES_ROOT, ".zip\\ShellNew", "Data", REG_BINARY, EmptyArchive(false));
        RawSetText(HKEY_CLASSES_ROOT, ".qbx", "", "Other.QBX");
        RawSetValue(HKEY_CLASSES_ROOT, ".qbx\\ShellNew", "Data", REG_BINARY, EmptyArchive(true));
        const std::string zip = Snapshot(HKEY_CLASSES_ROOT, ".zip"), qbx = Snapshot(HKEY_CLASSES_ROOT, ".qbx");
        SetAssociations(AllTypes(shellExt));
        SetAssociations(SetupChoices{});
        EXPECT_EQ(Snapshot(HKEY_CLASSES_ROOT, ".zip"), zip) << "shell integration " << shellExt;
        EXPECT_EQ(Snapshot(HKEY_CLASSES_ROOT, ".qbx"), qbx) << "shell integration " << shellExt;
        DeleteSettingsTree();
    }
}

static void EndProcessAtCut(const char *ext)
{
    char cut[8] = "";
    GetEnvironmentVariableA("QBX_CUT_AT", cut, sizeof cut);
    if (lstrcmpiA(ext, cut) == 0)
        ExitProcess(0);
}

// A give-back ended just before an extension's owner was written back leaves the extension
// still naming the archiver, so the next run finds it and finishes it.
TEST_F(Associations, AGiveBackCutShortIsFinishedByTheNextRun)
{
    char cut[8] = "";
    if (GetEnvironmentVariableA("QBX_CUT_AT", cut, sizeof cut)) {
        g_beforeOwnerGivenBack = EndProcessAtCut; // the cut run, started below
        SetAssociations(SetupChoices{});
        FAIL() << "not cut at " << cut;
    }
    RawSetText(HKEY_CLASSES_ROOT, ".qbx", "", "Other.QBX");
    RawSetText(HKEY_CLASSES_ROOT, ".qbx", "Content Type", "application/x-other");
    RawSetText(HKEY_CLASSES_ROOT, ".qbx\\ShellNew", "NullFile", "");
    RawSetText(HKEY_CLASSES_ROOT, ".zip", "", "CompressedFolder");
    RawSetText(HKEY_CLASSES_ROOT, ".zip\\ShellNew", "Command", "zip new");
    RawSetValue(HKEY_CLASSES_ROOT, ".zip\\ShellNew", "Data", REG_BINARY, EmptyArchive(false));
    const std::string qbx = Snapshot(HKEY_CLASSES_ROOT, ".qbx"), zip = Snapshot(HKEY_CLASSES_ROOT, ".zip");
    const std::string zipTemplate = Snapshot(HKEY_CLASSES_ROOT, ".zip\\ShellNew");
    for (const char *ext : {".qbx", ".zip"}) {
        SetAssociations(AllTypes(true));
        std::string env = std::string("QBX_CUT_AT=") + ext;
        std::string self = InstallFile("integration_tests.exe");
        HANDLE run = StartProcess("\"" + self + "\" --gtest_filter=Associations.AGiveBackCut*", InstallDir(),
                                  env.c_str());
        ASSERT_EQ(WaitExit(run), 0) << ext;
        EXPECT_TRUE(IsOwnAssociation(ext)) << "cut before its owner went back";
        EXPECT_EQ(RegText(HKEY_CLASSES_ROOT, ".q07"), "Other.QBX") << "the volumes went back first";
        if (ext[1] == 'z')
            EXPECT_EQ(Snapshot(HKEY_CLASSES_ROOT, ".zip\\ShellNew"), zipTemplate) << "the template went back first";
        SetAssociations(SetupChoices{});
        EXPECT_EQ(Snapshot(HKEY_CLASSES_ROOT, ".qbx"), qbx) << "cut at " << ext;
        EXPECT_EQ(RegText(HKEY_CLASSES_ROOT, ".q07"), "Other.QBX") << "cut at " << ext;
        EXPECT_EQ(Snapshot(HKEY_CLASSES_ROOT, ".zip"), zip) << "cut at " << ext;
    }
}

TEST_F(Associations, TemplatesFollowTheShellExtensionChoice)
{
    RawSetText(HKEY_CLASSES_ROOT, ".zip", "", "");
    RawSetText(HKEY_CLASSES_ROOT, ".zip\\ShellNew", "NullFile", "");
    const std::string zip = Snapshot(HKEY_CLASSES_ROOT, ".zip");
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
    EXPECT_EQ(Snapshot(HKEY_CLASSES_ROOT, ".zip"), zip);
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
    ResetAssociations();

    // A volume extension another program took is not ours to give back either.
    SetAssociations(AllTypes(false));
    RawSetText(HKEY_CLASSES_ROOT, ".q05", "", "Other.Volume");
    SetAssociations(SetupChoices{});
    EXPECT_FALSE(KeyThere(HKEY_CLASSES_ROOT, ".q04"));
    EXPECT_EQ(RegText(HKEY_CLASSES_ROOT, ".q05"), "Other.Volume");
    ResetAssociations();

    // A ".qbx" another program owned before setup gets its volumes along with it.
    RawSetText(HKEY_CLASSES_ROOT, ".qbx", "", "Other.QBX");
    RawSetText(HKEY_CLASSES_ROOT, ".qbx", "Content Type", "application/x-other");
    SetAssociations(AllTypes(true));
    EXPECT_EQ(RegText(HKEY_CLASSES_ROOT, ".q00"), "Quibex");
    SetAssociations(SetupChoices{});
    for (const char *volume : {".q00", ".q29"}) {
        EXPECT_EQ(RegText(HKEY_CLASSES_ROOT, volume), "Other.QBX") << volume;
        EXPECT_EQ(RegText(HKEY_CLASSES_ROOT, volume, "Content Type"), "application/x-other") << volume;
    }
}

TEST_F(Associations, GiveBackEdgeCases)
{
    // A saved type naming the archiver itself, in any case, comes back empty.
    SetAssociations(AllTypes(false));
    SetRegDword(kMachineSettingsRoot, "Setup\\.arj", "Exist", 1);
    SetRegString(kMachineSettingsRoot, "Setup\\.arj", "Type", "QUIBEX.zip");
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

    // Records of the earlier form, the account's alone and without saved template values, give
    // back as they always did, and only setup's own template values go. Texts in the code page.
    SetAssociations(SetupChoices{});
    DeleteSettingsTree();
    DeleteMachineRecord();
    const std::string oldCab = Acp(u8"旧.CAB");
    const char *records[][3] = {{".zip", "Old.ZIP", "C:\\old\\empty.zip"}, {".cab", oldCab.c_str(), "*"}, {".7z", "Old.7z", ""}};
    for (const auto &record : records) {
        std::string ext = record[0];
        RawDeleteTree(HKEY_CLASSES_ROOT, ext);
        SetSettingDword(("Setup\\" + ext).c_str(), "Exist", 1);
        SetSettingString(("Setup\\" + ext).c_str(), "Type", record[1]);
        SetSettingString(("Setup\\" + ext).c_str(), "Content", "");
        SetSettingString(("Setup\\" + ext).c_str(), "ShellNew", record[2]);
        RawSetText(HKEY_CLASSES_ROOT, ext, "", ext == ".zip" ? "Quibex.ZIP" : "Quibex");
    }
    RawSetText(HKEY_CLASSES_ROOT, ".zip\\ShellNew", "FileName", InstallFile("zipnew.dat"));
    RawSetText(HKEY_CLASSES_ROOT, ".cab\\ShellNew", "ItemName", "kept");
    RawSetValue(HKEY_CLASSES_ROOT, ".7z\\ShellNew", "Data", REG_BINARY, EmptyArchive(true));
    SetAssociations(SetupChoices{});
    EXPECT_EQ(Snapshot(HKEY_CLASSES_ROOT, ".zip"), "[.zip]\n=1:Old.ZIP" + std::string(1, '\0') +
                                                      "\n[.zip\\ShellNew]\nFileName=1:C:\\old\\empty.zip" +
                                                      std::string(1, '\0') + "\n");
    EXPECT_EQ(RegText(HKEY_CLASSES_ROOT, ".cab"), oldCab);
    EXPECT_EQ(RegText(HKEY_CLASSES_ROOT, ".cab\\ShellNew", "NullFile"), "");
    EXPECT_EQ(RegText(HKEY_CLASSES_ROOT, ".cab\\ShellNew", "ItemName"), "kept");
    EXPECT_EQ(Snapshot(HKEY_CLASSES_ROOT, ".7z"), "[.7z]\n=1:Old.7z" + std::string(1, '\0') + "\n");
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

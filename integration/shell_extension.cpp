#include "integration/shell_extension.h"

#include "integration/file_types.h"
#include "registry/registry.h"
#include "support/bitness.h"
#include "support/log.h"
#include "support/program_path.h"
#include "support/text.h"

const char kShellExtClassId32[] = "{4E81C2A0-3D5F-4B7A-9C16-2F8E0D4A6B31}";
const char kShellExtClassId64[] = "{4E81C2A0-6D4F-4B7A-9C16-2F8E0D4A6B31}";

static const char kApprovedKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Shell Extensions\\Approved";

// Keys named by the class id (rows 4 to 8) and by the handler name (rows 11 to 16).
static const char *const kClassIdHandlerKeys[] = {
    QBX_FILE_TYPE "\\shellex\\ContextMenuHandlers\\",     QBX_FILE_TYPE "\\shellex\\PropertySheetHandlers\\",
    QBX_ZIP_FILE_TYPE "\\shellex\\ContextMenuHandlers\\", QBX_ZIP_FILE_TYPE "\\shellex\\PropertySheetHandlers\\",
    "exefile\\shellex\\PropertySheetHandlers\\",
};
static const char *const kDropHandlerKeys[] = {QBX_FILE_TYPE "\\shellex\\DropHandler", QBX_ZIP_FILE_TYPE "\\shellex\\DropHandler"};
static const char *const kNamedHandlerKeys[] = {
    "*\\shellex\\ContextMenuHandlers\\",         "Folder\\shellex\\ContextMenuHandlers\\",
    "Folder\\shellex\\DragDropHandlers\\",       "Drive\\shellex\\DragDropHandlers\\",
    "Directory\\shellex\\ContextMenuHandlers\\", "Directory\\shellex\\DragDropHandlers\\",
};

static void KeyPath(char *out, size_t size, const char *head, const char *name, const char *tail = "")
{
    if (!JoinBounded(out, size, head, name) || !AppendBounded(out, tail, size))
        out[0] = '\0';
}

static void RegisterModule(const char *classId, const char *moduleName, bool view64, const char *handlerName)
{
    char key[kPathSize], module[kPathSize];
    bool present =
        ProgramFilePath(moduleName, module, sizeof module) && GetFileAttributesA(module) != INVALID_FILE_ATTRIBUTES;
    if (present) {
        SetRegView64(view64);
        KeyPath(key, sizeof key, "CLSID\\", classId);
        SetRegString(HKEY_CLASSES_ROOT, key, "", "Quibex");
        KeyPath(key, sizeof key, "CLSID\\", classId, "\\InProcServer32");
        SetRegString(HKEY_CLASSES_ROOT, key, "", module);
        SetRegString(HKEY_CLASSES_ROOT, key, "ThreadingModel", "Apartment");
        SetRegView64(false);
    }
    for (const char *head : kClassIdHandlerKeys) {
        KeyPath(key, sizeof key, head, classId);
        SetRegString(HKEY_CLASSES_ROOT, key, "", "");
    }
    for (const char *drop : kDropHandlerKeys)
        SetRegString(HKEY_CLASSES_ROOT, drop, "", classId);
    for (const char *head : kNamedHandlerKeys) {
        KeyPath(key, sizeof key, head, handlerName);
        SetRegString(HKEY_CLASSES_ROOT, key, "", classId);
    }
    LONG error = SetRegString(HKEY_LOCAL_MACHINE, kApprovedKey, classId, "Quibex shell extension");
    LogChange(error, "shell extension %s registered%s", moduleName, present ? "" : " (file missing)");
}

static void RemoveModule(const char *classId, bool view64, const char *handlerName)
{
    char server[kPathSize], root[kPathSize], key[kPathSize];
    KeyPath(server, sizeof server, "CLSID\\", classId, "\\InProcServer32");
    KeyPath(root, sizeof root, "CLSID\\", classId);
    DeleteRegKey(HKEY_CLASSES_ROOT, server);
    LONG error = DeleteRegKey(HKEY_CLASSES_ROOT, root);
    // Setup wrote these in the 64-bit view; left there they would name a deleted module.
    if (view64) {
        DeleteRegKey64(HKEY_CLASSES_ROOT, server);
        DeleteRegKey64(HKEY_CLASSES_ROOT, root);
    }
    for (const char *head : kClassIdHandlerKeys) {
        KeyPath(key, sizeof key, head, classId);
        DeleteRegKey(HKEY_CLASSES_ROOT, key);
    }
    for (const char *drop : kDropHandlerKeys)
        DeleteRegKey(HKEY_CLASSES_ROOT, drop);
    // Only the value goes; the keys stay, empty.
    for (const char *head : kNamedHandlerKeys) {
        KeyPath(key, sizeof key, head, handlerName);
        DeleteRegValue(HKEY_CLASSES_ROOT, key, "");
    }
    DeleteRegValue(HKEY_LOCAL_MACHINE, kApprovedKey, classId);
    LogChange(error, "shell extension %s removed", classId);
}

void RegisterShellExtension(bool enable, const char *classId, const char *moduleName, bool view64,
                            const char *handlerName)
{
    if (enable)
        RegisterModule(classId, moduleName, view64, handlerName);
    else
        RemoveModule(classId, view64, handlerName);
}

void SetShellIntegration(const SetupChoices &choices)
{
    RegisterShellExtension(choices.ShellExt, kShellExtClassId32, "qbxext.dll", false,
                           IsWow64() ? "Quibex32" : "Quibex");
    if (IsWow64())
        RegisterShellExtension(choices.ShellExt, kShellExtClassId64, "qbxext64.dll", true, "Quibex");
}

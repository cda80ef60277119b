#include "registry/registry.h"

#include "support/code_pages.h"
#include "support/optional_functions.h"
#include "support/text.h"
#include "support/windows_version.h"

#include <new>
#include <string.h>

// Beside the system's predefined keys (0x80000000 and up), values no opened key takes.
const HKEY kSettingsRoot = reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x8000F000));
const HKEY kMachineSettingsRoot = reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x8000F001));

static REGSAM s_viewFlag = 0;
static int s_passDeleted = 0;
static int s_passCount = 0;

HKEY BuildKeyPath(HKEY root, const char *path, char *dest, size_t size)
{
    size_t length = strlen(path);
    if (size < kSettingsPathRoom || length > size - kSettingsPathRoom)
        return nullptr;
    if (root != kSettingsRoot && root != kMachineSettingsRoot) {
        CopyBounded(dest, path, size);
        return root;
    }
    CopyBounded(dest, "Software\\Quibex", size);
    if (path[0] != '\0') {
        AppendBounded(dest, "\\", size);
        AppendBounded(dest, path, size);
    }
    return root == kSettingsRoot ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
}

static HKEY CreateKey(HKEY root, const char *path, REGSAM access, LONG *error)
{
    char built[kKeyPathSize];
    HKEY system = BuildKeyPath(root, path, built, sizeof built);
    if (!system) {
        *error = ERROR_INVALID_NAME;
        return nullptr;
    }
    HKEY key = nullptr;
    *error = RegCreateKeyExA(system, built, 0, nullptr, REG_OPTION_NON_VOLATILE, access | s_viewFlag, nullptr, &key,
                             nullptr);
    return *error == ERROR_SUCCESS ? key : nullptr;
}

HKEY CreateRegKey(HKEY root, const char *path, LONG *error) { return CreateKey(root, path, KEY_WRITE, error); }

// Opens an existing key with the access asked for (with KEY_WOW64_64KEY: of the 64-bit view).
static HKEY OpenKey(HKEY root, const char *path, REGSAM access)
{
    char built[kKeyPathSize];
    HKEY system = BuildKeyPath(root, path, built, sizeof built);
    HKEY key = nullptr;
    if (!system || RegOpenKeyExA(system, built, 0, access, &key) != ERROR_SUCCESS)
        return nullptr;
    return key;
}

HKEY OpenRegKey(HKEY root, const char *path) { return OpenKey(root, path, KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS); }

bool CloseRegKey(HKEY key) { return key != nullptr && RegCloseKey(key) == ERROR_SUCCESS; }

static LONG SetValue(HKEY root, const char *path, const char *name, DWORD type, const void *data, DWORD count)
{
    LONG error = 0;
    HKEY key = CreateRegKey(root, path, &error);
    if (!key)
        return error;
    error = RegSetValueExA(key, name, 0, type, static_cast<const BYTE *>(data), count);
    CloseRegKey(key);
    return error;
}

LONG SetRegString(HKEY root, const char *path, const char *name, const char *text)
{
    return SetValue(root, path, name, REG_SZ, text, strlen(text) + 1);
}

LONG SetRegDword(HKEY root, const char *path, const char *name, DWORD value)
{
    return SetValue(root, path, name, REG_DWORD, &value, sizeof value);
}

LONG SetRegBytes(HKEY root, const char *path, const char *name, const void *bytes, DWORD count)
{
    return SetValue(root, path, name, REG_BINARY, bytes, count);
}

LONG SetRegValue(HKEY root, const char *path, const char *name, DWORD type, const void *bytes, DWORD count)
{
    return SetValue(root, path, name, type, bytes, count);
}

LONG SetSettingString(const char *path, const char *name, const char *text)
{
    return SetRegString(kSettingsRoot, path, name, text);
}

LONG SetSettingDword(const char *path, const char *name, DWORD value)
{
    return SetRegDword(kSettingsRoot, path, name, value);
}

bool GetRegString(HKEY root, const char *path, const char *name, char *dest, DWORD capacity, const char *def)
{
    HKEY key = OpenRegKey(root, path);
    if (key && capacity > 0) {
        DWORD count = capacity;
        LONG result = RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE *>(dest), &count);
        CloseRegKey(key);
        // A value stored without its terminator, or of another type, is terminated here;
        // one that leaves no room for that terminator counts as too large.
        if (result == ERROR_SUCCESS && count > 0 && count <= capacity) {
            if (dest[count - 1] == '\0')
                return true;
            if (count < capacity) {
                dest[count] = '\0';
                return true;
            }
        }
    } else {
        CloseRegKey(key);
    }
    CopyBounded(dest, def, capacity);
    return false;
}

bool GetSettingString(const char *path, const char *name, char *dest, DWORD capacity, const char *def)
{
    return GetRegString(kSettingsRoot, path, name, dest, capacity, def);
}

bool QueryRegDword(HKEY root, const char *path, const char *name, DWORD def, DWORD *out)
{
    HKEY key = OpenRegKey(root, path);
    if (key) {
        DWORD value = 0, count = sizeof value;
        LONG result = RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE *>(&value), &count);
        CloseRegKey(key);
        if (result == ERROR_SUCCESS && count > 0 && count <= sizeof value) {
            *out = value;
            return true;
        }
    }
    *out = def;
    return false;
}

DWORD GetRegDword(HKEY root, const char *path, const char *name, DWORD def)
{
    DWORD value = def;
    QueryRegDword(root, path, name, def, &value);
    return value;
}

DWORD GetSettingDword(const char *path, const char *name, DWORD def)
{
    return GetRegDword(kSettingsRoot, path, name, def);
}

bool QueryRegValue(HKEY root, const char *path, const char *name, DWORD *type, void *data, DWORD capacity,
                   DWORD *count)
{
    *count = 0;
    HKEY key = OpenRegKey(root, path);
    if (!key)
        return false;
    DWORD got = capacity;
    LONG result = RegQueryValueExA(key, name, nullptr, type, static_cast<BYTE *>(data), &got);
    CloseRegKey(key);
    if (result != ERROR_SUCCESS || got > capacity)
        return false;
    *count = got;
    return true;
}

// A name of the program's own, given in the process's code page, in the registry's form.
struct NativeName {
    WCHAR text[256];
};

static bool ToNativeName(const char *name, NativeName *out)
{
    if (NativeRegistryCalls().wide)
        return ConvertToWide(ProcessCodePage(), name, kTerminated, out->text, 256) >= 0;
    return JoinBounded(reinterpret_cast<char *>(out->text), sizeof out->text, name, "");
}

// One value as the registry holds it, followed by two zero bytes that end its text in either form.
struct RawValue {
    DWORD type = 0, count = 0;
    BYTE *data = nullptr;
    ~RawValue() { delete[] data; }
};

static LONG ReadRawValue(HKEY root, const char *path, const char *name, RawValue *value)
{
    NativeName native;
    if (!ToNativeName(name, &native))
        return ERROR_INVALID_NAME;
    HKEY key = OpenRegKey(root, path);
    if (!key)
        return ERROR_FILE_NOT_FOUND;
    LONG result = NativeRegistryCalls().queryValue(key, native.text, nullptr, &value->type, nullptr, &value->count);
    if (result == ERROR_SUCCESS) {
        value->data = new (std::nothrow) BYTE[value->count + 2]();
        result = value->data ? NativeRegistryCalls().queryValue(key, native.text, nullptr, &value->type, value->data, &value->count)
                             : ERROR_NOT_ENOUGH_MEMORY;
    }
    CloseRegKey(key);
    return result;
}

LONG CopyRegValue(HKEY fromRoot, const char *fromPath, const char *fromName, HKEY toRoot, const char *toPath,
                  const char *toName)
{
    RawValue value;
    NativeName target;
    LONG result = ReadRawValue(fromRoot, fromPath, fromName, &value);
    if (result != ERROR_SUCCESS)
        return result;
    if (!ToNativeName(toName, &target))
        return ERROR_INVALID_NAME;
    HKEY key = CreateRegKey(toRoot, toPath, &result);
    if (!key)
        return result;
    result = NativeRegistryCalls().setValue(key, target.text, 0, value.type, value.data, value.count);
    CloseRegKey(key);
    return result;
}

bool RegValueHasText(HKEY root, const char *path, const char *name)
{
    RawValue value;
    if (ReadRawValue(root, path, name, &value) != ERROR_SUCCESS)
        return false;
    if (value.type != REG_SZ && value.type != REG_EXPAND_SZ && value.type != REG_MULTI_SZ)
        return value.count > 0;
    return value.data[0] != 0 || (NativeRegistryCalls().wide && value.data[1] != 0);
}

bool CopyRegValues(HKEY fromRoot, const char *from, HKEY toRoot, const char *to, bool onlyMissing)
{
    const RegistryValueCalls &calls = NativeRegistryCalls();
    HKEY source = OpenRegKey(fromRoot, from);
    DWORD values = 0, nameMax = 0, dataMax = 0;
    LONG error = 0;
    HKEY target = source && calls.queryInfo(source, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values,
                                            &nameMax, &dataMax, nullptr, nullptr) == ERROR_SUCCESS
                      ? CreateKey(toRoot, to, KEY_WRITE | KEY_QUERY_VALUE, &error)
                      : nullptr;
    // Sized from the key itself, so no value is lost to a buffer too small; WCHARs hold either form.
    WCHAR *name = new (std::nothrow) WCHAR[nameMax + 1];
    BYTE *data = new (std::nothrow) BYTE[dataMax + 1];
    bool ok = target && name && data;
    for (DWORD index = 0; ok && index < values; ++index) {
        DWORD nameLength = nameMax + 1, count = dataMax, type = 0;
        LONG result = calls.enumValue(source, index, name, &nameLength, nullptr, &type, data, &count);
        if (result == ERROR_NO_MORE_ITEMS)
            break;
        if (result != ERROR_SUCCESS ||
            (onlyMissing && calls.queryValue(target, name, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS))
            continue;
        calls.setValue(target, name, 0, type, data, count);
    }
    delete[] name;
    delete[] data;
    CloseRegKey(target);
    CloseRegKey(source);
    return ok;
}

static bool KeyIsEmpty(HKEY root, const char *path, REGSAM view)
{
    HKEY key = OpenKey(root, path, KEY_QUERY_VALUE | view);
    DWORD subkeys = 0, values = 0;
    bool empty = key &&
                 RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr,
                                  nullptr, nullptr, nullptr) == ERROR_SUCCESS &&
                 subkeys == 0 && values == 0;
    CloseRegKey(key);
    return empty;
}

bool RegKeyIsEmpty(HKEY root, const char *path) { return KeyIsEmpty(root, path, 0); }

// A key that is not there counts as deleted.
static LONG Gone(LONG error) { return error == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : error; }

LONG DeleteRegKey(HKEY root, const char *path)
{
    char built[kKeyPathSize];
    HKEY system = BuildKeyPath(root, path, built, sizeof built);
    if (!system || built[0] == '\0')
        return ERROR_INVALID_NAME;
    return Gone(RegDeleteKeyA(system, built));
}

void DeleteRegKey64(HKEY root, const char *path)
{
    char built[kKeyPathSize];
    HKEY system = BuildKeyPath(root, path, built, sizeof built);
    if (!system || built[0] == '\0')
        return;
    // Absent before 64-bit Windows; there is no other view to clean then.
    if (RegDeleteKeyExCall deleteKeyEx = OptionalRegDeleteKeyEx())
        deleteKeyEx(system, built, KEY_WOW64_64KEY, 0);
}

void DeleteEmptyRegKey(HKEY root, const char *path, bool in64)
{
    if (!KeyIsEmpty(root, path, in64 ? KEY_WOW64_64KEY : 0))
        return;
    if (in64)
        DeleteRegKey64(root, path);
    else
        DeleteRegKey(root, path);
}

static void DeleteValue(HKEY root, const char *path, const char *name, REGSAM view)
{
    HKEY key = OpenKey(root, path, KEY_WRITE | view);
    if (!key)
        return;
    RegDeleteValueA(key, name);
    CloseRegKey(key);
}

void DeleteRegValue(HKEY root, const char *path, const char *name) { DeleteValue(root, path, name, 0); }

void DeleteRegValue64(HKEY root, const char *path, const char *name)
{
    DeleteValue(root, path, name, KEY_WOW64_64KEY);
}

static bool KeyExists(HKEY root, const char *path, REGSAM view)
{
    HKEY key = OpenKey(root, path, KEY_QUERY_VALUE | view);
    CloseRegKey(key);
    return key != nullptr;
}

bool RegKeyExists(HKEY root, const char *path) { return KeyExists(root, path, 0); }

bool RegKeyExists64(HKEY root, const char *path) { return KeyExists(root, path, KEY_WOW64_64KEY); }

void SetRegView64(bool on) { s_viewFlag = on ? KEY_WOW64_64KEY : 0; }

// Recursive, depth first; counts the keys it deletes into s_passDeleted.
static void DeleteTreePass(HKEY root, const char *path)
{
    // The empty path would be the root itself.
    if (path[0] == '\0')
        return;
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return;
    char name[200];
    char child[512];
    for (DWORD index = 0;; ++index) {
        DWORD length = sizeof name;
        if (RegEnumKeyExA(key, index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        // A child whose path does not fit is left alone rather than cut into another key's name.
        if (JoinBounded(child, sizeof child, path, "\\") && AppendBounded(child, name, sizeof child))
            DeleteTreePass(root, child);
    }
    CloseRegKey(key);
    if (RegDeleteKeyA(root, path) == ERROR_SUCCESS)
        ++s_passDeleted;
}

// Tree deletion on a built path: one 9x-style delete, then depth-first passes until a pass
// deletes nothing. A key left at the end is asked once more, for the error that keeps it.
static LONG DeleteKeyTree(HKEY root, const char *builtPath)
{
    s_passCount = 0;
    if (builtPath[0] == '\0')
        return ERROR_INVALID_NAME;
    if (NtMajorVersion() == 0 && RegDeleteKeyA(root, builtPath) == ERROR_SUCCESS)
        return ERROR_SUCCESS;
    do {
        s_passDeleted = 0;
        ++s_passCount;
        DeleteTreePass(root, builtPath);
    } while (s_passDeleted != 0);
    return Gone(RegDeleteKeyA(root, builtPath));
}

int TreePassCount() { return s_passCount; }

LONG DeleteRegTree(HKEY root, const char *path)
{
    char built[kKeyPathSize];
    HKEY system = BuildKeyPath(root, path, built, sizeof built);
    return system ? DeleteKeyTree(system, built) : ERROR_INVALID_NAME;
}

LONG DeleteSettingsTree() { return DeleteRegTree(kSettingsRoot, ""); }

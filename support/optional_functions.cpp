#include "support/optional_functions.h"

#include "support/system_folder.h"
#include "support/windows_version.h"

// The function of that name in a module the process has loaded already; null without either.
template <typename Call> static Call Find(HMODULE module, const char *name)
{
    return module ? reinterpret_cast<Call>(reinterpret_cast<void *>(GetProcAddress(module, name))) : nullptr;
}

template <typename Call> static Call FindIn(const char *module, const char *name)
{
    return Find<Call>(GetModuleHandleA(module), name);
}

SetSecurityDescriptorControlCall OptionalSetSecurityDescriptorControl()
{
    return FindIn<SetSecurityDescriptorControlCall>("advapi32.dll", "SetSecurityDescriptorControl");
}

IsWow64ProcessCall OptionalIsWow64Process() { return FindIn<IsWow64ProcessCall>("kernel32", "IsWow64Process"); }

RegDeleteKeyExCall OptionalRegDeleteKeyEx() { return FindIn<RegDeleteKeyExCall>("advapi32.dll", "RegDeleteKeyExA"); }

PathFromIdListCall OptionalPathFromIdListW()
{
    return FindIn<PathFromIdListCall>("shell32.dll", "SHGetPathFromIDListW");
}

static RegistryValueCalls s_registryCalls;

template <typename Call> static void LoadCall(HMODULE module, const char *name, Call *call)
{
    *call = Find<Call>(module, name);
}

const RegistryValueCalls &NativeRegistryCalls()
{
    RegistryValueCalls &calls = s_registryCalls;
    if (!calls.setValue) {
        HMODULE advapi = GetModuleHandleA("advapi32.dll");
        calls.wide = NtMajorVersion() != 0;
        LoadCall(advapi, calls.wide ? "RegQueryInfoKeyW" : "RegQueryInfoKeyA", &calls.queryInfo);
        LoadCall(advapi, calls.wide ? "RegEnumValueW" : "RegEnumValueA", &calls.enumValue);
        LoadCall(advapi, calls.wide ? "RegQueryValueExW" : "RegQueryValueExA", &calls.queryValue);
        LoadCall(advapi, calls.wide ? "RegSetValueExW" : "RegSetValueExA", &calls.setValue);
    }
    return calls;
}

constexpr UINT kCloseAllHelp = 0x12; // HH_CLOSE_ALL

// Closes every help window the program opened when the process ends, after the entry has
// returned and the dialogs are gone.
struct HelpControl {
    HMODULE module = nullptr;
    HtmlHelpCall entry = nullptr;

    ~HelpControl()
    {
        if (!entry)
            return;
        entry(nullptr, nullptr, kCloseAllHelp, 0);
        FreeLibrary(module);
    }
};

static HelpControl s_help;

HtmlHelpCall OptionalHtmlHelp()
{
    if (!s_help.module)
        s_help.module = LoadSystemLibrary("hhctrl.ocx"); // retried at the next request on failure
    if (!s_help.entry)
        s_help.entry = Find<HtmlHelpCall>(s_help.module, "HtmlHelpA");
    return s_help.entry;
}

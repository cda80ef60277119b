// System functions that some Windows versions lack. Linked by name they would keep the program
// from starting there; each is looked up here instead, and is null where the running Windows
// lacks it.
#pragma once

#include <windows.h>
#include <shlobj.h>

// Windows 2000 and later: sets control bits of a security descriptor.
using SetSecurityDescriptorControlCall = BOOL(WINAPI *)(PSECURITY_DESCRIPTOR descriptor,
                                                        SECURITY_DESCRIPTOR_CONTROL mask,
                                                        SECURITY_DESCRIPTOR_CONTROL bits);
SetSecurityDescriptorControlCall OptionalSetSecurityDescriptorControl();

// Windows XP SP2 and later: whether a 32-bit process runs on 64-bit Windows.
using IsWow64ProcessCall = BOOL(WINAPI *)(HANDLE process, PBOOL wow64);
IsWow64ProcessCall OptionalIsWow64Process();

// 64-bit Windows and XP x64 on: deletes a key in a chosen registry view.
using RegDeleteKeyExCall = LONG(WINAPI *)(HKEY root, LPCSTR path, REGSAM view, DWORD reserved);
RegDeleteKeyExCall OptionalRegDeleteKeyEx();

// Not exported by every 9x shell: a folder's path in UTF-16.
using PathFromIdListCall = BOOL(WINAPI *)(LPCITEMIDLIST items, WCHAR *path);
PathFromIdListCall OptionalPathFromIdListW();

// The registry's value calls in the form the registry holds text in: on the NT family the W
// calls (UTF-16); on 9x, whose W calls are stubs that fail, the A calls. Windows 95 need not
// export the W calls, so both sets are loaded by name, as one table whose text parameters take
// either form. Loaded once.
struct RegistryValueCalls {
    LONG(WINAPI *queryInfo)(HKEY key, void *className, DWORD *classSize, DWORD *reserved, DWORD *subkeys,
                            DWORD *subkeyNameSize, DWORD *classNameSize, DWORD *values, DWORD *valueNameSize,
                            DWORD *valueSize, DWORD *security, FILETIME *written);
    LONG(WINAPI *enumValue)(HKEY key, DWORD index, void *name, DWORD *nameSize, DWORD *reserved, DWORD *type,
                            BYTE *data, DWORD *dataSize);
    LONG(WINAPI *queryValue)(HKEY key, const void *name, DWORD *reserved, DWORD *type, BYTE *data, DWORD *dataSize);
    LONG(WINAPI *setValue)(HKEY key, const void *name, DWORD reserved, DWORD type, const BYTE *data, DWORD size);
    bool wide; // the W calls: names and text in UTF-16
};
const RegistryValueCalls &NativeRegistryCalls();

// The help control's HtmlHelpA, loaded from the system folder at the first call that needs it;
// after a failure the next call tries again. When the process ends, the help windows the
// program opened are closed and the control is freed.
using HtmlHelpCall = HWND(WINAPI *)(HWND owner, const char *file, UINT command, DWORD_PTR data);
HtmlHelpCall OptionalHtmlHelp();

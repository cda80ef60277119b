// Shared set-up and registry probes of the integration tests.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// The installation folder the test program runs from (its own folder).
std::string InstallDir();
std::string InstallFile(const char *name);
// "win98", "winxp", "win10" or "default".
std::string VersionName();
// Every extension of the archive types, in table order.
std::vector<std::string> AllExtensions();
// The volume extension ".qNN" of a ".qbx" archive.
std::string Volume(int n);
std::string ShellFolder(int csidl);
std::wstring WideOf(const std::string &acp);
// Names in the folder, sorted; read wide, so names any code page cannot hold show too.
std::vector<std::wstring> FilesInW(const std::string &folder);
std::vector<std::wstring> FilesInW(const std::wstring &folder);

// A value's bytes, or as text without its terminator; "<no key>" or "<no value>" when absent.
std::string RegBytes(HKEY root, const std::string &path, const char *name, DWORD *type = nullptr, REGSAM view = 0);
std::string RegText(HKEY root, const std::string &path, const char *name = "", REGSAM view = 0);
bool KeyThere(HKEY root, const std::string &path, REGSAM view = 0);
// Every value and subkey below a key, as one text, for before/after comparisons: read through
// the W calls, names and text in UTF-8, other values' bytes as they are.
std::string Snapshot(HKEY root, const std::string &path, REGSAM view = 0);
void RawSetText(HKEY root, const std::string &path, const char *name, const std::string &text);
// Writes text of a text type through the W calls: name and text in UTF-8, stored in UTF-16.
void RawSetWide(HKEY root, const std::string &path, const char8_t *name, DWORD type, const std::u8string &text);
void RawSetValue(HKEY root, const std::string &path, const char *name, DWORD type, const std::string &bytes,
                 REGSAM view = 0);
void RawDeleteTree(HKEY root, const std::string &path);

// Target and description read back through the shell link object.
bool ReadShellLinkW(const std::wstring &link, std::wstring *target, std::wstring *description);
// Local path and description as lnkinfo (a Linux tool) reads the file.
bool LnkInfo(const std::wstring &link, std::string *localPath, std::string *descriptionUtf8);

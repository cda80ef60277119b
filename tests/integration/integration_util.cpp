#include "integration_util.h"

#include "common/test_util.h"
#include "integration/setup_choices.h"

#include <shlobj.h>

#include <algorithm>
#include <vector>

std::string InstallDir()
{
    char self[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string s = self;
    return s.substr(0, s.rfind('\\'));
}

std::string InstallFile(const char *name) { return JoinPath(InstallDir(), name); }

static std::string Env(const char *name)
{
    char buf[64] = "";
    GetEnvironmentVariableA(name, buf, sizeof buf);
    return buf;
}

std::string VersionName() { return Env("QBX_VERSION"); }

std::vector<std::string> AllExtensions()
{
    std::vector<std::string> all;
    for (const ArchiveType &type : ArchiveTypes) {
        const char *cursor = type.group;
        char ext[kExtensionSize];
        while (NextExtension(&cursor, ext, sizeof ext))
            all.push_back(ext);
    }
    return all;
}

std::string Volume(int n)
{
    char v[8];
    wsprintfA(v, ".q%02d", n);
    return v;
}

std::string ShellFolder(int csidl)
{
    char path[MAX_PATH] = "";
    SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path);
    return path;
}

std::wstring WideOf(const std::string &acp)
{
    WCHAR buf[MAX_PATH] = L"";
    MultiByteToWideChar(CP_ACP, 0, acp.c_str(), -1, buf, MAX_PATH);
    return buf;
}

std::vector<std::wstring> FilesInW(const std::string &folder) { return FilesInW(WideOf(folder)); }

std::vector<std::wstring> FilesInW(const std::wstring &folder)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW fd;
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &fd);
    if (find == INVALID_HANDLE_VALUE)
        return names;
    do {
        if (fd.cFileName[0] != L'.')
            names.push_back(fd.cFileName);
    } while (FindNextFileW(find, &fd));
    FindClose(find);
    std::sort(names.begin(), names.end());
    return names;
}

std::string RegBytes(HKEY root, const std::string &path, const char *name, DWORD *type, REGSAM view)
{
    HKEY key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_QUERY_VALUE | view, &key) != ERROR_SUCCESS)
        return "<no key>";
    std::vector<char> data(8192);
    DWORD size = static_cast<DWORD>(data.size()), t = 0;
    LONG r = RegQueryValueExA(key, name, nullptr, &t, reinterpret_cast<BYTE *>(data.data()), &size);
    RegCloseKey(key);
    if (type)
        *type = t;
    return r == ERROR_SUCCESS ? std::string(data.data(), size) : "<no value>";
}

std::string RegText(HKEY root, const std::string &path, const char *name, REGSAM view)
{
    std::string s = RegBytes(root, path, name, nullptr, view);
    while (!s.empty() && s.back() == '\0')
        s.pop_back();
    return s;
}

bool KeyThere(HKEY root, const std::string &path, REGSAM view)
{
    HKEY key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_QUERY_VALUE | view, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

static std::vector<std::string> SubkeyNames(HKEY key)
{
    std::vector<std::string> names;
    for (DWORD i = 0;; ++i) {
        char name[256];
        DWORD nameSize = sizeof name;
        if (RegEnumKeyExA(key, i, name, &nameSize, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        names.push_back(name);
    }
    return names;
}

static std::string Utf8(const WCHAR *text, size_t length)
{
    int n = WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), nullptr, 0, nullptr, nullptr);
    std::string s(n, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), s.data(), n, nullptr, nullptr);
    return s;
}

// Read through the W calls, so that names and text no code page holds show whole, in UTF-8.
static std::string SnapshotW(HKEY root, const std::wstring &path, REGSAM view)
{
    HKEY key;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ | view, &key) != ERROR_SUCCESS)
        return "<no key>";
    std::string out = "[" + Utf8(path.c_str(), path.size()) + "]\n";
    std::vector<BYTE> data(65536);
    for (DWORD i = 0;; ++i) {
        WCHAR name[1024];
        DWORD nameSize = 1024, dataSize = static_cast<DWORD>(data.size()), type = 0;
        if (RegEnumValueW(key, i, name, &nameSize, nullptr, &type, data.data(), &dataSize) != ERROR_SUCCESS)
            break;
        std::string bytes(reinterpret_cast<char *>(data.data()), dataSize);
        if (type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ)
            bytes = Utf8(reinterpret_cast<const WCHAR *>(data.data()), dataSize / 2) + bytes.substr(dataSize & ~1u);
        out += Utf8(name, nameSize) + "=" + std::to_string(type) + ":" + bytes + "\n";
    }
    std::vector<std::wstring> children;
    for (DWORD i = 0;; ++i) {
        WCHAR name[256];
        DWORD nameSize = 256;
        if (RegEnumKeyExW(key, i, name, &nameSize, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        children.push_back(name);
    }
    RegCloseKey(key);
    for (const std::wstring &child : children)
        out += SnapshotW(root, path + L"\\" + child, view);
    return out;
}

std::string Snapshot(HKEY root, const std::string &path, REGSAM view) { return SnapshotW(root, WideOf(path), view); }

void RawSetWide(HKEY root, const std::string &path, const char8_t *name, DWORD type, const std::u8string &text)
{
    HKEY key;
    if (RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return;
    std::wstring wide = Wide(text.c_str());
    RegSetValueExW(key, Wide(name).c_str(), 0, type, reinterpret_cast<const BYTE *>(wide.c_str()),
                   static_cast<DWORD>(wide.size() + 1) * sizeof(WCHAR));
    RegCloseKey(key);
}

void RawSetValue(HKEY root, const std::string &path, const char *name, DWORD type, const std::string &bytes,
                 REGSAM view)
{
    HKEY key;
    if (RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_WRITE | view, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return;
    RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE *>(bytes.data()), static_cast<DWORD>(bytes.size()));
    RegCloseKey(key);
}

void RawSetText(HKEY root, const std::string &path, const char *name, const std::string &text)
{
    RawSetValue(root, path, name, REG_SZ, std::string(text.c_str(), text.size() + 1));
}

void RawDeleteTree(HKEY root, const std::string &path)
{
    std::vector<std::string> children;
    HKEY key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS) {
        children = SubkeyNames(key);
        RegCloseKey(key);
    }
    for (const std::string &child : children)
        RawDeleteTree(root, path + "\\" + child);
    RegDeleteKeyA(root, path.c_str());
}

bool ReadShellLinkW(const std::wstring &link, std::wstring *target, std::wstring *description)
{
    IShellLinkW *shellLink = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void **>(&shellLink))))
        return false;
    IPersistFile *file = nullptr;
    bool ok = false;
    if (SUCCEEDED(shellLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void **>(&file)))) {
        if (SUCCEEDED(file->Load(link.c_str(), STGM_READ))) {
            WCHAR buf[MAX_PATH] = L"";
            shellLink->GetPath(buf, MAX_PATH, nullptr, SLGP_RAWPATH);
            *target = buf;
            buf[0] = L'\0';
            shellLink->GetDescription(buf, MAX_PATH);
            *description = buf;
            ok = true;
        }
        file->Release();
    }
    shellLink->Release();
    return ok;
}

static std::string UnixPath(const std::string &windowsPath)
{
    typedef char *(CDECL * ToUnix)(LPCWSTR);
    auto toUnix = reinterpret_cast<ToUnix>(
        reinterpret_cast<void *>(GetProcAddress(GetModuleHandleA("kernel32"), "wine_get_unix_file_name")));
    if (!toUnix)
        return "";
    char *unix = toUnix(WideOf(windowsPath).c_str());
    std::string s = unix ? unix : "";
    HeapFree(GetProcessHeap(), 0, unix);
    return s;
}

static std::string Field(const std::string &text, const std::string &label)
{
    size_t at = text.find(label);
    if (at == std::string::npos)
        return "<none>";
    at = text.find(':', at) + 1;
    while (at < text.size() && text[at] == ' ')
        ++at;
    return text.substr(at, text.find('\n', at) - at);
}

bool LnkInfo(const std::wstring &link, std::string *localPath, std::string *descriptionUtf8)
{
    // lnkinfo is a Linux program; Wine starts it as one. Copy to a plain name first.
    static int calls = 0;
    TempDir dir(("lnkinfo" + std::to_string(++calls)).c_str());
    std::string copy = dir / "x.lnk", out = dir / "out.txt";
    if (!CopyFileW(link.c_str(), WideOf(copy).c_str(), FALSE))
        return false;
    // Wine does not wait for a Linux process: its output appears by rename when complete.
    std::string outUnix = UnixPath(out);
    std::string cmd = "/bin/sh -c \"lnkinfo '" + UnixPath(copy) + "' > '" + outUnix + ".tmp'; mv '" + outUnix +
                      ".tmp' '" + outUnix + "'\"";
    HANDLE process = StartProcess(cmd);
    if (process)
        CloseHandle(process);
    std::string text;
    for (int i = 0; i < 400 && text.empty(); ++i) {
        Sleep(50);
        text = ReadFileBytes(out);
    }
    if (text.empty())
        return false;
    *localPath = Field(text, "Local path");
    *descriptionUtf8 = Field(text, "Description");
    return true;
}

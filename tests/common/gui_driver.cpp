#include "common/gui_driver.h"

#include <tlhelp32.h>

struct FindContext {
    DWORD processId; // 0: any process
    const std::wstring *title;
    HWND found;
};

static BOOL CALLBACK MatchDialog(HWND window, LPARAM param)
{
    auto *ctx = reinterpret_cast<FindContext *>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if ((ctx->processId != 0 && pid != ctx->processId) || !IsWindowVisible(window))
        return TRUE;
    wchar_t cls[64] = L"";
    GetClassNameW(window, cls, 64);
    if (lstrcmpW(cls, L"#32770") != 0)
        return TRUE;
    if (!ctx->title->empty() && WindowTextOf(window) != *ctx->title)
        return TRUE;
    ctx->found = window;
    return FALSE;
}

static HWND WaitForDialogOf(DWORD processId, const std::wstring &title, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    do {
        FindContext ctx = {processId, &title, nullptr};
        EnumWindows(MatchDialog, reinterpret_cast<LPARAM>(&ctx));
        if (ctx.found)
            return ctx.found;
        Sleep(100);
    } while (GetTickCount() - start < timeoutMs);
    return nullptr;
}

// A process that failed to start has the id 0, and must not stand for any process.
HWND WaitForDialog(DWORD processId, const std::wstring &title, DWORD timeoutMs)
{
    return processId != 0 ? WaitForDialogOf(processId, title, timeoutMs) : nullptr;
}

HWND WaitForAnyDialog(const std::wstring &title, DWORD timeoutMs) { return WaitForDialogOf(0, title, timeoutMs); }

std::wstring WindowTextOf(HWND window)
{
    wchar_t buf[4096] = L"";
    GetWindowTextW(window, buf, 4096);
    return buf;
}

std::vector<std::wstring> ChildTexts(HWND dialog)
{
    std::vector<std::wstring> texts;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        texts.push_back(WindowTextOf(child));
    return texts;
}

void ClickButton(HWND dialog, int id)
{
    HWND button = GetDlgItem(dialog, id);
    if (button)
        PostMessageW(button, BM_CLICK, 0, 0);
    else
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
}

void ClickAndWait(HWND dialog, int id)
{
    DWORD_PTR result = 0;
    SendMessageTimeoutW(GetDlgItem(dialog, id), BM_CLICK, 0, 0, SMTO_NORMAL, 20000, &result);
}

bool IsChecked(HWND dialog, int id) { return SendDlgItemMessageW(dialog, id, BM_GETCHECK, 0, 0) == BST_CHECKED; }

bool IsItemEnabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE; }

bool WaitGone(HWND window, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    while (IsWindow(window)) {
        if (GetTickCount() - start >= timeoutMs)
            return false;
        Sleep(50);
    }
    return true;
}

void PressKey(HWND dialog, WORD virtualKey)
{
    // Real input goes to the foreground window: wait until the dialog is that window.
    HWND top = GetAncestor(dialog, GA_ROOT);
    for (DWORD start = GetTickCount(); GetForegroundWindow() != top && GetTickCount() - start < 10000; Sleep(50))
        SetForegroundWindow(top);
    INPUT keys[2] = {};
    keys[0].type = INPUT_KEYBOARD;
    keys[0].ki.wVk = virtualKey;
    keys[1] = keys[0];
    keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, keys, sizeof(INPUT));
}

struct ClassContext {
    const wchar_t *className;
    DWORD processId;
    std::vector<HWND> *found;
};

static BOOL CALLBACK MatchClass(HWND window, LPARAM param)
{
    auto *ctx = reinterpret_cast<ClassContext *>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (ctx->processId != 0 && pid != ctx->processId)
        return TRUE;
    wchar_t cls[128] = L"";
    GetClassNameW(window, cls, 128);
    if (lstrcmpW(cls, ctx->className) == 0)
        ctx->found->push_back(window);
    return TRUE;
}

std::vector<HWND> WindowsOfClass(const wchar_t *className, DWORD processId)
{
    std::vector<HWND> found;
    ClassContext ctx = {className, processId, &found};
    EnumWindows(MatchClass, reinterpret_cast<LPARAM>(&ctx));
    return found;
}

HWND WaitForWindowOfClass(const wchar_t *className, DWORD processId, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    do {
        std::vector<HWND> found = WindowsOfClass(className, processId);
        if (!found.empty())
            return found.front();
        Sleep(100);
    } while (GetTickCount() - start < timeoutMs);
    return nullptr;
}

std::vector<std::string> ChildProcesses(DWORD processId)
{
    std::vector<std::string> children;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return children;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
        if (entry.th32ParentProcessID == processId)
            children.push_back(entry.szExeFile);
    CloseHandle(snapshot);
    return children;
}

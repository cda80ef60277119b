#include "lang/localize.h"

#include "lang/dialog_template.h"
#include "lang/language_file.h"
#include "lang/messages.h"
#include "lang/size_entry.h"
#include "support/text.h"

#include <string.h>

// Coordinates are clamped to what every Windows keeps in a window position.
constexpr long long kCoordMin = -32768, kCoordMax = 32767;

bool GetDialogScale(const char *dialogName, int *horizontal, int *vertical)
{
    char entry[Converted(kSizeEntrySize)];
    if (!g_language.FindSizeEntry(entry, sizeof entry, dialogName))
        entry[0] = '\0'; // without an entry the empty text itself
    *horizontal = *vertical = 100;
    ParseSizeEntry(entry, horizontal, vertical);
    return *horizontal != 100 || *vertical != 100;
}

static int Clamp(long long value)
{
    return static_cast<int>(value < kCoordMin ? kCoordMin : value > kCoordMax ? kCoordMax : value);
}

// A difference of window coordinates is first held to what 400 percent of it keeps in 32
// bits: far beyond any coordinate, so the clamped result is the same, without 64-bit division.
constexpr long long kDifferenceLimit = 0x7FFFFFFF / kMaxSizePercent;

static int Scale(long long value, int percent)
{
    if (value < -kDifferenceLimit)
        value = -kDifferenceLimit;
    if (value > kDifferenceLimit)
        value = kDifferenceLimit;
    return static_cast<int>(value) * percent / 100;
}

// The dialog's template as its resource holds it: the texts in UTF-16, whatever the process's
// code page left of them in the windows. The dialog has just been made from it (nothing has
// changed its texts yet), so its windows are the template's, in order.
struct DialogTemplate {
    const unsigned char *bytes = nullptr;
    size_t size = 0;

    DialogTemplate(const char *dialogName)
    {
        HRSRC found = FindDialogResource(dialogName);
        HGLOBAL loaded = found ? LoadResource(g_resourceModule, found) : nullptr;
        bytes = loaded ? static_cast<const unsigned char *>(LockResource(loaded)) : nullptr;
        size = bytes ? SizeofResource(g_resourceModule, found) : 0;
    }
    // The text of window `index` (0: the dialog, then its items), terminated; null for none.
    const WCHAR *NativeText(int index) const
    {
        size_t offset = 0, units = 0;
        if (!bytes || !DialogTemplateText(bytes, size, index, &offset, &units))
            return nullptr;
        return reinterpret_cast<const WCHAR *>(bytes + offset); // even offsets, terminated
    }
};

// An empty text is left alone: its key is the dialog's size entry, never a caption. A text
// without a translation is not set again, which would lay out and repaint the control.
static void TranslateWindowText(HWND window, const char *dialogName, const DialogTemplate &dialog, int index)
{
    char text[Converted(kWindowTextSize)], translated[Converted(kWindowTextSize)];
    text[0] = '\0';
    GetWindowTextA(window, text, sizeof text);
    if (text[0] == '\0')
        return;
    const WCHAR *native = dialog.NativeText(index);
    if (g_language.Find(translated, sizeof translated, kWindowTextSize, text, native, dialogName, TextKind::DialogText) &&
        strcmp(translated, text) != 0)
        SetWindowTextA(window, translated);
}

static bool IsDropDownCombo(HWND child)
{
    char className[kWindowTextSize] = "";
    GetClassNameA(child, className, sizeof className);
    return CompareNoCase(className, "COMBOBOX") == 0 && (GetWindowLongA(child, GWL_STYLE) & 3) != CBS_SIMPLE;
}

static void ScaleChild(HWND child, const RECT &dialog, long long bx, long long dy, int sx, int sy)
{
    RECT r;
    GetWindowRect(child, &r);
    long long x = Scale(static_cast<long long>(r.left) - dialog.left - bx / 2, sx);
    long long y = Scale(static_cast<long long>(r.top) - dialog.top - dy, sy);
    long long width = Scale(static_cast<long long>(r.right) - r.left + 1, sx);
    long long height = Scale(static_cast<long long>(r.bottom) - r.top + 1, sy);
    if (IsDropDownCombo(child)) {
        RECT dropped = {};
        SendMessageA(child, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
        height += Scale(static_cast<long long>(dropped.bottom) - dropped.top + 1, sy);
    }
    SetWindowPos(child, nullptr, Clamp(x), Clamp(y), Clamp(width), Clamp(height),
                 SWP_NOZORDER | SWP_NOOWNERZORDER);
}

void LocalizeDialog(const char *dialogName, HWND dialog)
{
    int sx = 100, sy = 100;
    bool scaling = GetDialogScale(dialogName, &sx, &sy);
    RECT outer, client;
    GetWindowRect(dialog, &outer);
    GetClientRect(dialog, &client);
    long long bx = static_cast<long long>(outer.right) - outer.left + 1 - client.right;
    long long by = static_cast<long long>(outer.bottom) - outer.top + 1 - client.bottom;
    if (scaling)
        SetWindowPos(dialog, nullptr, 0, 0, Clamp(Scale(client.right, sx) + bx), Clamp(Scale(client.bottom, sy) + by),
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOOWNERZORDER);
    DialogTemplate resource(dialogName);
    TranslateWindowText(dialog, dialogName, resource, 0);

    long long dy = by - GetSystemMetrics(SM_CYDLGFRAME);
    HWND first = GetWindow(dialog, GW_CHILD);
    HWND child = first;
    for (int n = 0; child && n < kMaxLocalizedChildren; ++n) {
        TranslateWindowText(child, dialogName, resource, n + 1);
        if (scaling)
            ScaleChild(child, outer, bx, dy, sx, sy);
        child = GetWindow(child, GW_HWNDNEXT);
        if (child == first)
            break;
    }
}

void ApplyLayoutDirection(HWND window)
{
    if (!g_language.IsRightToLeft)
        return;
    LONG style = GetWindowLongA(window, GWL_EXSTYLE);
    SetWindowLongA(window, GWL_EXSTYLE, style | WS_EX_LAYOUTRTL);
}

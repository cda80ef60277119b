// Loaded into the program under test by a message hook: a font handle means nothing in
// another process, so each control is measured here, in the font it draws with, and the
// figures are written to "qbx-measure.txt" in the temporary folder for the test to judge.
#include <windows.h>

#include <stdio.h>

namespace {

// S static text, C check box, P push button, G group box; '-' nothing to measure.
char KindOf(HWND control, const wchar_t *text)
{
    wchar_t cls[32] = L"";
    GetClassNameW(control, cls, 32);
    LONG style = GetWindowLongW(control, GWL_STYLE);
    if (!text[0])
        return '-';
    if (lstrcmpiW(cls, L"Static") == 0)
        return (style & SS_TYPEMASK) <= SS_RIGHT ? 'S' : '-';
    if (lstrcmpiW(cls, L"Button") != 0)
        return '-';
    switch (style & BS_TYPEMASK) {
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
        return 'C';
    case BS_GROUPBOX:
        return 'G';
    default:
        return 'P';
    }
}

int FontHeight(HDC dc)
{
    TEXTMETRICW metrics = {};
    GetTextMetricsW(dc, &metrics);
    return metrics.tmHeight;
}

// Width of the dialog's icon of that kind; 0 when none is set.
int IconWidth(HWND dialog, int kind)
{
    ICONINFO info = {};
    auto icon = reinterpret_cast<HICON>(SendMessageW(dialog, WM_GETICON, kind, 0));
    if (!icon || !GetIconInfo(icon, &info))
        return 0;
    BITMAP bitmap = {};
    GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return bitmap.bmWidth;
}

// The dialog's outer size, its font's cell height, the widths of its small and big icons and
// the system's sizes for them; then one line per control: id, kind,
// client width and height, the width and height its text needs (static texts wrapped at their
// width; a check box's glyph and gap, a button's frame included), its font's cell height.
void WriteReport(HWND dialog)
{
    wchar_t path[MAX_PATH] = L"";
    GetTempPathW(MAX_PATH - 20, path);
    lstrcatW(path, L"qbx-measure.txt");
    FILE *out = _wfopen(path, L"w");
    if (!out)
        return;
    HDC dc = GetDC(dialog);
    RECT outer;
    GetWindowRect(dialog, &outer);
    SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0)));
    fprintf(out, "%ld %ld %d %d %d %d %d\n", outer.right - outer.left, outer.bottom - outer.top, FontHeight(dc),
            IconWidth(dialog, ICON_SMALL), IconWidth(dialog, ICON_BIG), GetSystemMetrics(SM_CXSMICON),
            GetSystemMetrics(SM_CXICON));
    // Wine draws the box 12 pixels wide at 96 DPI plus one, and the text half a digit after it.
    int box = 12 * GetDeviceCaps(dc, LOGPIXELSX) / 96 + 1;
    for (HWND control = GetWindow(dialog, GW_CHILD); control; control = GetWindow(control, GW_HWNDNEXT)) {
        wchar_t text[1024] = L"";
        GetWindowTextW(control, text, 1024);
        char kind = KindOf(control, text);
        RECT client;
        GetClientRect(control, &client);
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
        RECT need = {0, 0, client.right, 0};
        DrawTextW(dc, text, -1, &need, DT_CALCRECT | (kind == 'S' ? DT_WORDBREAK : DT_SINGLELINE));
        if (kind == 'C') {
            int digit = 0;
            GetCharWidthW(dc, L'0', L'0', &digit);
            need.right += box + digit / 2;
        } else if (kind == 'P') {
            need.right += 4; // inside the button's raised frame
        } else if (kind == 'G') {
            need.right += 14; // the caption starts 7 pixels in and keeps as much to the right
        }
        fprintf(out, "%d %c %ld %ld %ld %ld %d\n", GetDlgCtrlID(control), kind, client.right, client.bottom,
                need.right, need.bottom, FontHeight(dc));
    }
    ReleaseDC(dialog, dc);
    fclose(out);
}

} // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK MeasureHook(int code, WPARAM wParam, LPARAM lParam)
{
    const auto *sent = reinterpret_cast<const CWPSTRUCT *>(lParam);
    if (code == HC_ACTION && sent->message == RegisterWindowMessageW(L"QbxMeasureDialog"))
        WriteReport(sent->hwnd);
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// The reference for the start-up time: one dialog from a resource template, nothing else.
// Built as the program is (same flags, own start-up, same manifest).
#include <windows.h>

static INT_PTR CALLBACK BareDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    }
    return message == WM_INITDIALOG;
}

extern "C" __attribute__((used)) void WinMainCRTStartup()
{
    DialogBoxParamA(GetModuleHandleA(nullptr), "BAREDLG", nullptr, BareDialogProc, 0);
    ExitProcess(0);
}

#include "app/setup_flow.h"

INT_PTR CALLBACK DoneDialogProc(HWND dialog, UINT message, WPARAM, LPARAM)
{
    if (message == WM_INITDIALOG)
        EndDialog(dialog, 0);
    return FALSE;
}

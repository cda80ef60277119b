#include "app/setup_flow.h"

// The integration dialog arrives with its template; until then setup has nothing to confirm.
INT_PTR CALLBACK SetupDialogProc(HWND dialog, UINT message, WPARAM, LPARAM)
{
    if (message == WM_INITDIALOG)
        EndDialog(dialog, 0);
    return FALSE;
}

#include "app/setup_flow.h"

#include "app/app_state.h"
#include "app/done_dialog.h"
#include "app/setup_dialog.h"
#include "lang/messages.h"
#include "res/resource.h"
#include "support/log.h"
#include "support/program_path.h"
#include "support/system_folder.h"

// Each at the size the system shows it, from the nearest image of the file, rather than the
// caption's icon shrunk from the big one.
static void LoadProgramIcons()
{
    for (int kind = ICON_SMALL; kind <= ICON_BIG; ++kind) {
        int size = GetSystemMetrics(kind == ICON_BIG ? SM_CXICON : SM_CXSMICON); // icons are square
        g_programIcons[kind] = static_cast<HICON>(LoadImageA(g_resourceModule, "QBXICON", IMAGE_ICON, size, size, 0));
    }
}

// Nine points, as the dialogs' own text, at the screen's DPI. GDI reads a face name in the
// system's code page even in a UTF-8 process: keep it ASCII.
static HFONT CreateBoldFont()
{
    HDC screen = GetDC(nullptr);
    int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return CreateFontA(-MulDiv(9, dpi, 72), 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, GB2312_CHARSET, 0, 0, 0, 0,
                       "MS Sans Serif");
}

int RunSetupFlow()
{
    char folder[kPathSize];
    if (!ProgramFolder(folder, sizeof folder)) {
        if (!g_quietMode)
            MessageBoxA(nullptr, GetMsg(IDS_FOLDER_NOT_NAMED), GetMsg(IDS_DISPLAY_NAME), MB_ICONERROR | MB_SETFOREGROUND);
        return kSetupFailed;
    }
    // The integration dialog holds a rich-edit control: its library comes first.
    HMODULE richEdit = LoadSystemLibrary("riched32.dll");
    LoadProgramIcons();
    INT_PTR confirmed = DialogBoxParamA(g_resourceModule, kSetupDialogName, nullptr, SetupDialogProc, 0);
    if (confirmed <= 0)
        LogLine(confirmed == 0 ? "setup closed unanswered" : "setup dialog not created");
    if (confirmed > 0) {
        g_boldFont = CreateBoldFont();
        DialogBoxParamA(g_resourceModule, kDoneDialogName, nullptr, DoneDialogProc, 0);
        if (g_groupFolderPath[0] != '\0' && !g_silentMode)
            OpenFromSystemFolder(g_groupFolderPath);
        DeleteObject(g_boldFont);
    }
    for (HICON icon : g_programIcons)
        DestroyIcon(icon);
    if (richEdit)
        FreeLibrary(richEdit);
    // A dialog that could not be created (a language module without it, no desktop) applied
    // nothing: no success to report.
    return confirmed == kSetupStoppedEarly || confirmed < 0 ? kSetupFailed : 0;
}

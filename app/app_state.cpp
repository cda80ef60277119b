#include "app/app_state.h"

bool g_silentMode = false;
bool g_quietMode = false;
HICON g_programIcons[2] = {};
HFONT g_boldFont = nullptr;
char g_groupFolderPath[kPathSize] = "";
bool g_oleStarted = false;

void StartOle()
{
    if (!g_oleStarted)
        g_oleStarted = SUCCEEDED(OleInitialize(nullptr));
}

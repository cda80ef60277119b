#include "app/app_state.h"

bool g_silentMode = false;
HICON g_programIcon = nullptr;
HFONT g_boldFont = nullptr;
char g_groupFolderPath[1024] = "";

// Setup mode: the integration dialog, the completion dialog, then the program group.
#pragma once

#include <windows.h>
#include <shellapi.h>

void RunSetupFlow();

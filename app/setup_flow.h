// Setup mode: the integration dialog, the completion dialog, then the program group.
#pragma once

void RunSetupFlow();

// Registration of the Explorer shell extension modules "qbxext.dll" and "qbxext64.dll".
#pragma once

#include "integration/setup_choices.h"

extern const char kShellExtClassId32[];
extern const char kShellExtClassId64[];

// Registers (ShellExt set) or removes the 32-bit module and, on 64-bit Windows, the 64-bit one.
void SetShellIntegration(const SetupChoices &choices);
// Writes or deletes every key of one module. view64: its class keys live in the 64-bit view.
void RegisterShellExtension(bool enable, const char *classId, const char *moduleName, bool view64,
                            const char *handlerName);

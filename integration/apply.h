// Brings Windows into line with a setup choices record; an all-false record gives back.
#pragma once

#include "integration/setup_choices.h"

#include <stddef.h>

// Application path, shell extension, associations, file types, shortcuts, in that order.
// groupFolder (size bytes, may be null) receives the program group's folder as UpdateShortcuts
// gives it. False when the registry refused access and the rest was skipped.
bool ApplySetupChoices(const SetupChoices &choices, char *groupFolder, size_t size);

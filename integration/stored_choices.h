// The user's setup choices as the settings keep them between setups.
#pragma once

#include "integration/setup_choices.h"

// Fills choices from the settings, with the defaults for anything not stored, and leaves
// JAR and ISO off when their extension already belongs to another program.
void LoadSetupChoices(SetupChoices &choices);
void SaveSetupChoices(const SetupChoices &choices);

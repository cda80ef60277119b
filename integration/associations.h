// The archive types' extensions taken over from their owners and given back.
#pragma once

#include "integration/setup_choices.h"

// Associates or gives back every extension of every archive type, as the flags say.
void SetAssociations(const SetupChoices &choices);
// Takes one extension (saving what it found under "Setup\" + ext) or gives it back.
void AssociateExtension(const char *ext, bool associate, bool shellExt, bool isZip, bool isQbx);
// True when the extension points at "Quibex" or "Quibex.ZIP" (any case).
bool IsOwnAssociation(const char *ext);

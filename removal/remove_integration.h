// Gives back everything setup wrote into Windows but the uninstall entry, which the removal
// deletes last.
#pragma once

void RemoveIntegration();

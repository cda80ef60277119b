#include "removal/remove_integration.h"

// TODO: replaced once the registry layer and the integration routines are merged.
void RemoveIntegration() {}

#include "removal/uninstall.h"

void RunUninstall() {}

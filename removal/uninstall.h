// Removal mode: gives everything back and deletes the installation.
#pragma once

void RunUninstall();

// What the program takes from the system folder: the libraries it loads, and the working
// directory of what it opens through the shell.
#pragma once

#include <windows.h>

// Loads a library from the system folder only, never from a folder searched by bare name.
HMODULE LoadSystemLibrary(const char *name);
// Opens target through the shell with the system folder as working directory. What it starts
// (a folder window, a browser, an editor) keeps that folder open while it runs; this
// program's own, the installation folder, would then outlast the removal.
void OpenFromSystemFolder(const char *target);

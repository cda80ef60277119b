// Test-only: the program itself, ending where a power cut or a deployment tool's time limit
// could end a removal at its last moment: after the list and the uninstall entry went, before
// the batch file was written. Copied into an installation as "uninstall.exe" for the run.
#include <windows.h>

#include "app/entry.h"
#include "common/test_hooks.h"

constexpr UINT kCutExitCode = 77;

static void EndHere() { ExitProcess(kCutExitCode); }

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR args, int)
{
    g_beforeBatchStarted = EndHere;
    return RunProgram(instance, args);
}

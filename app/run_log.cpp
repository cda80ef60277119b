#include "app/run_log.h"

#include "app/app_state.h"
#include "qbx_version.h"
#include "support/code_pages.h"
#include "support/log.h"
#include "support/program_path.h"
#include "support/windows_version.h"

static const char *ModeName(RunMode mode)
{
    return mode == RunMode::Setup ? "setup" : mode == RunMode::Removal ? "removal" : "switches";
}

// A relative name is taken from the folder the program was started in: this runs before the
// removal enters its own folder.
static bool OpenNamedLog(const CommandScan &scan)
{
    char name[kPathSize], full[kPathSize];
    if (scan.logNameLength >= sizeof name)
        return false;
    CopyMemory(name, scan.logName, scan.logNameLength);
    name[scan.logNameLength] = '\0';
    DWORD n = GetFullPathNameA(name, sizeof full, full, nullptr);
    return n > 0 && n < sizeof full && OpenLog(full);
}

// A new file in the temporary folder, named after the mode and the time, with nothing in the
// name that a command interpreter or a shell would read as anything else.
static bool OpenTempLog(RunMode mode)
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    char folder[kPathSize], stem[64]; // "Quibex_switches_20261210_043012": 31 bytes
    wsprintfA(stem, "Quibex_%s_%04u%02u%02u_%02u%02u%02u", ModeName(mode), now.wYear, now.wMonth, now.wDay,
              now.wHour, now.wMinute, now.wSecond);
    return TempFolderPath(folder, sizeof folder) && OpenNewLog(folder, stem);
}

void StartRunLog(const CommandScan &scan, RunMode mode)
{
    if (!scan.log || !(scan.logNameLength > 0 ? OpenNamedLog(scan) : OpenTempLog(mode)))
        return;
    // Silent may come from "sfxcmd"; every other switch shows on the command line.
    LogLine("Quibex uninstall.exe %s, %s%s: %s", QBX_VERSION, ModeName(mode), g_silentMode ? ", silent" : "",
            GetCommandLineA());
    const WindowsVersion &windows = RunningWindows();
    LogLine("Windows %s %lu.%lu.%lu, code pages ANSI %u, OEM %u, process %u", windows.nt ? "NT" : "9x", windows.major,
            windows.minor, windows.build, SystemAnsiCodePage(), SystemOemCodePage(), ProcessCodePage());
    char folder[kPathSize];
    ProgramFolder(folder, sizeof folder); // empty when the code page holds no name of it
    LogLine("installation folder: %s", folder);
}

static const char *ExitMeaning(int exitCode, RunMode mode)
{
    switch (exitCode) {
    case 0:
        return mode == RunMode::Removal ? "removed" : "done";
    case 1602:
        return "cancelled";
    case 1603:
        return "failed";
    case 1618:
        return "another run in progress";
    case 3010:
        return "restart required";
    }
    return "";
}

void EndRunLog(int exitCode, RunMode mode)
{
    LogLine("exit code %d: %s", exitCode, ExitMeaning(exitCode, mode));
}

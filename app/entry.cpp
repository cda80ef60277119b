#include "app/entry.h"

#include "app/app_state.h"
#include "app/command_line.h"
#include "app/run_lock.h"
#include "app/run_log.h"
#include "app/setup_flow.h"
#include "lang/language_file.h"
#include "lang/messages.h"
#include "removal/uninstall.h"
#include "res/resource.h"
#include "support/code_pages.h"
#include "support/text.h"

static void OnSwitch(SwitchKind kind, void *)
{
    if (kind == SwitchKind::Quiet)
        g_quietMode = true;
    if (kind == SwitchKind::Silent || kind == SwitchKind::Quiet)
        g_silentMode = true;
    else if (kind == SwitchKind::Wait)
        Sleep(2000);
    else if (kind == SwitchKind::Warning && !g_quietMode)
        ShowManualDeletionMessage();
}

// The longest value read, in characters, its terminator included.
constexpr DWORD kSfxcmdSize = 1024;

static void ReadSfxcmd()
{
    char value[Converted(kSfxcmdSize)] = "";
    if (IsUtf8Process()) {
        // Read whole through the W call: its characters take up to three times the bytes here.
        WCHAR wide[kSfxcmdSize];
        DWORD n = GetEnvironmentVariableW(L"sfxcmd", wide, kSfxcmdSize);
        if (n > 0 && n < kSfxcmdSize)
            ConvertWideText(wide, kTerminated, ProcessCodePage(), value, sizeof value);
    } else if (GetEnvironmentVariableA("sfxcmd", value, kSfxcmdSize) >= kSfxcmdSize) {
        value[0] = '\0'; // too long to hold: no switch taken from a fragment
    }
    if (SfxcmdIsSilent(value, g_processCodePage))
        g_silentMode = true;
}

// Setup and removal work on the same files and keys: a second run leaves them to the first,
// before it asks or changes anything.
static int RunAlone(RunMode mode)
{
    if (!TakeRunLock()) {
        int caption = mode == RunMode::Setup ? IDS_DISPLAY_NAME : IDS_CAPTION;
        if (!g_quietMode)
            MessageBoxA(nullptr, GetMsg(IDS_ANOTHER_RUN), GetMsg(caption), MB_ICONEXCLAMATION | MB_SETFOREGROUND);
        return kAnotherRunActive;
    }
    if (mode == RunMode::Setup)
        return RunSetupFlow();
    StartOle();
    return RunUninstall(g_silentMode, g_quietMode);
}

int RunProgram(HINSTANCE instance, const char *commandLine)
{
    // Only what every dialog and message needs comes before the first one; OLE, the
    // rich-edit library, the icon and the font wait for the mode that uses them.
    g_extResource.Load(instance, nullptr);
    g_language.Load("uninstall.lng");

    ReadSfxcmd();
    CommandScan scan =
        ScanCommandLine(SkipProgramName(commandLine ? commandLine : ""), g_processCodePage, OnSwitch, nullptr);

    // The pause and the warning took place during the scan, outside the lock: the batch file
    // runs them while the removal that started it is still ending.
    RunMode mode = ChooseMode(scan);
    StartRunLog(scan, mode);
    int exitCode = mode == RunMode::SwitchesOnly ? 0 : RunAlone(mode);

    if (g_oleStarted)
        OleUninitialize();
    EndRunLog(exitCode, mode);
    return exitCode;
}

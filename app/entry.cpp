#include "app/entry.h"

#include "app/app_state.h"
#include "app/command_line.h"
#include "app/setup_flow.h"
#include "lang/language_file.h"
#include "lang/messages.h"
#include "removal/uninstall.h"
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
            WideCharToMultiByte(CP_UTF8, 0, wide, -1, value, sizeof value, nullptr, nullptr);
    } else if (GetEnvironmentVariableA("sfxcmd", value, kSfxcmdSize) >= kSfxcmdSize) {
        value[0] = '\0'; // too long to hold: no switch taken from a fragment
    }
    if (SfxcmdIsSilent(value, g_dbcs))
        g_silentMode = true;
}

int RunProgram(HINSTANCE instance, const char *commandLine)
{
    // Only what every dialog and message needs comes before the first one; OLE, the
    // rich-edit library, the icon and the font wait for the mode that uses them.
    g_extResource.Load(instance, nullptr);
    g_language.Load("uninstall.lng");

    ReadSfxcmd();
    CommandScan scan =
        ScanCommandLine(SkipProgramName(commandLine ? commandLine : ""), g_dbcs, OnSwitch, nullptr);

    // Setup reports only a refusal: installers that start it expect 0.
    int exitCode = 0;
    switch (ChooseMode(scan)) {
    case RunMode::Setup:
        exitCode = RunSetupFlow();
        break;
    case RunMode::Removal:
        StartOle();
        exitCode = RunUninstall(g_silentMode, g_quietMode);
        break;
    case RunMode::SwitchesOnly:
        break;
    }

    if (g_oleStarted)
        OleUninitialize();
    return exitCode;
}

#include "app/help.h"

#include "support/platform.h"
#include "support/program_path.h"
#include "support/text.h"

namespace {

constexpr UINT kDisplayTopic = 0x00; // HH_DISPLAY_TOPIC
constexpr UINT kDisplayToc = 0x01;   // HH_DISPLAY_TOC
constexpr UINT kCloseAll = 0x12;     // HH_CLOSE_ALL

using HtmlHelpEntry = HWND(WINAPI *)(HWND owner, const char *file, UINT command, DWORD_PTR data);

// Closes every help window the program opened when the process ends, after the entry
// has returned and the dialogs are gone.
struct HelpSystem {
    HMODULE module = nullptr;
    HtmlHelpEntry entry = nullptr;
    char filePath[1024] = "";

    ~HelpSystem()
    {
        if (!entry)
            return;
        entry(nullptr, nullptr, kCloseAll, 0);
        FreeLibrary(module);
    }
};

HelpSystem s_help;

bool ResolveHelp()
{
    if (!s_help.module)
        s_help.module = LoadSystemLibrary("hhctrl.ocx"); // retried at the next request on failure
    if (!s_help.entry && s_help.module) {
        s_help.entry = reinterpret_cast<HtmlHelpEntry>(
            reinterpret_cast<void *>(GetProcAddress(s_help.module, "HtmlHelpA")));
        // Without a path that names it, no help: a bare name would be looked up elsewhere.
        if (s_help.entry)
            ProgramFilePath("quibex.chm", s_help.filePath, sizeof s_help.filePath);
    }
    return s_help.entry != nullptr;
}

} // namespace

void ShowHelp(HWND owner, const char *topic)
{
    if (!ResolveHelp() || s_help.filePath[0] == '\0')
        return;
    if (!topic) {
        s_help.entry(owner, s_help.filePath, kDisplayToc, 0);
        return;
    }
    // "%s::/html/%s.htm": the path, the fixed parts and a topic name of our own.
    char address[sizeof s_help.filePath + 64] = "";
    CopyBounded(address, s_help.filePath, sizeof address);
    if (AppendBounded(address, "::/html/", sizeof address) && AppendBounded(address, topic, sizeof address) &&
        AppendBounded(address, ".htm", sizeof address))
        s_help.entry(owner, address, kDisplayTopic, 0);
}

#include "app/help.h"

#include "support/optional_functions.h"
#include "support/program_path.h"
#include "support/text.h"

namespace {

constexpr UINT kDisplayTopic = 0x00; // HH_DISPLAY_TOPIC
constexpr UINT kDisplayToc = 0x01;   // HH_DISPLAY_TOC

char s_helpFile[kPathSize] = "";

} // namespace

void ShowHelp(HWND owner, const char *topic)
{
    HtmlHelpCall help = OptionalHtmlHelp();
    if (!help)
        return;
    // Without a path that names it, no help: a bare name would be looked up elsewhere.
    if (s_helpFile[0] == '\0' && !ProgramFilePath("quibex.chm", s_helpFile, sizeof s_helpFile))
        return;
    if (!topic) {
        help(owner, s_helpFile, kDisplayToc, 0);
        return;
    }
    // "%s::/html/%s.htm": the path, the fixed parts and a topic name of our own.
    char address[sizeof s_helpFile + 64] = "";
    CopyBounded(address, s_helpFile, sizeof address);
    if (AppendBounded(address, "::/html/", sizeof address) && AppendBounded(address, topic, sizeof address) &&
        AppendBounded(address, ".htm", sizeof address))
        help(owner, address, kDisplayTopic, 0);
}

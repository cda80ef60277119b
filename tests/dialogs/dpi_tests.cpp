// The three dialogs at the common scales, with the native texts and with the English language
// file: every text fits its control in the font it is drawn with, the closing line is as tall as
// the text above it, and at 144 DPI each dialog fits a 1024x768 screen.
#include "setup_install.h"

#include "registry/registry.h"
#include "res/resource.h"

#include <gtest/gtest.h>

#include <stdio.h>

#include <vector>

namespace {

struct Control {
    int id = 0;
    char kind = '-';
    long width = 0, height = 0, needWidth = 0, needHeight = 0;
    int fontHeight = 0;
};

struct Measured {
    long width = 0, height = 0;
    int fontHeight = 0;
    int smallIcon = 0, bigIcon = 0, smallIconSize = 0, bigIconSize = 0;
    std::vector<Control> controls;
};

// Through a message hook the program's own process measures a dialog (measure_hook.cpp).
class Measurer {
public:
    explicit Measurer(DWORD threadId)
    {
        module_ = LoadLibraryA(JoinPath(BuildDir(), "tests\\qbx_measure_hook.dll").c_str());
        auto proc = reinterpret_cast<HOOKPROC>(GetProcAddress(module_, "MeasureHook"));
        hook_ = proc ? SetWindowsHookExW(WH_CALLWNDPROC, proc, module_, threadId) : nullptr;
    }
    ~Measurer()
    {
        if (hook_)
            UnhookWindowsHookEx(hook_);
        FreeLibrary(module_);
    }
    bool ready() const { return hook_ != nullptr; }

    Measured Measure(HWND dialog) const
    {
        char temp[MAX_PATH] = "";
        GetTempPathA(MAX_PATH, temp);
        std::string path = JoinPath(temp, "qbx-measure.txt");
        DeleteFileA(path.c_str());
        DWORD_PTR result = 0;
        SendMessageTimeoutW(dialog, RegisterWindowMessageW(L"QbxMeasureDialog"), 0, 0, SMTO_NORMAL, 20000, &result);
        Measured m;
        FILE *in = fopen(path.c_str(), "r");
        if (!in)
            return m;
        if (fscanf(in, "%ld %ld %d %d %d %d %d", &m.width, &m.height, &m.fontHeight, &m.smallIcon, &m.bigIcon,
                   &m.smallIconSize, &m.bigIconSize) == 7) {
            Control c;
            while (fscanf(in, "%d %c %ld %ld %ld %ld %d", &c.id, &c.kind, &c.width, &c.height, &c.needWidth,
                          &c.needHeight, &c.fontHeight) == 7)
                m.controls.push_back(c);
        }
        fclose(in);
        return m;
    }

private:
    HMODULE module_ = nullptr;
    HHOOK hook_ = nullptr;
};

// Every text fits its control; the folder field, which shows whatever path it is given, aside.
void ExpectFits(const Measured &m, const char *dialog, int except = 0)
{
    SCOPED_TRACE(dialog);
    ASSERT_FALSE(m.controls.empty()) << "not measured";
    for (const Control &c : m.controls) {
        if (c.kind == '-' || c.id == except)
            continue;
        EXPECT_LE(c.needWidth, c.width) << "control " << c.id << " (" << c.kind << ") too narrow";
        EXPECT_LE(c.needHeight, c.height) << "control " << c.id << " (" << c.kind << ") too low";
    }
}

// The caption's small icon and the task switcher's big one, each at the system's size.
void ExpectIcons(const Measured &m, const char *dialog)
{
    EXPECT_EQ(m.smallIcon, m.smallIconSize) << dialog;
    EXPECT_EQ(m.bigIcon, m.bigIconSize) << dialog;
}

void ExpectScreenFits(const Measured &m, const char *dialog, int dpi)
{
    if (dpi != 144)
        return;
    EXPECT_LE(m.width, 1024) << dialog;
    EXPECT_LE(m.height, 768) << dialog;
}

// The screen's DPI as Wine reads it when a program starts.
void SetScreenDpi(int dpi)
{
    ASSERT_EQ(SetRegDword(HKEY_CURRENT_USER, "Control Panel\\Desktop", "LogPixels", dpi), ERROR_SUCCESS);
}

// Runs setup at each scale and measures the three dialogs; the language file is copied
// beside the program when given.
void CheckAllScales(const char *languageFile, const std::wstring &itemsTitle)
{
    for (int dpi : {96, 120, 144, 192}) {
        SCOPED_TRACE("DPI " + std::to_string(dpi));
        SetScreenDpi(dpi);
        SetupInstall install;
        // No program group, so no folder window opens after the completion dialog.
        SetSettingDword("Setup\\Links", "Programs", 0);
        if (languageFile)
            ASSERT_TRUE(CopyFileTo(JoinPath(SourceDir(), languageFile), install.path("uninstall.lng")));
        ASSERT_TRUE(install.Start());
        HWND setup = WaitForDialog(install.pid(), L"");
        ASSERT_NE(setup, nullptr);
        Measurer measurer(GetWindowThreadProcessId(setup, nullptr));
        ASSERT_TRUE(measurer.ready());

        Measured measured = measurer.Measure(setup);
        ExpectFits(measured, "SETUPDLG");
        ExpectScreenFits(measured, "SETUPDLG", dpi);
        ExpectIcons(measured, "SETUPDLG");

        ClickButton(setup, IDC_CONTEXT_ITEMS);
        HWND items = WaitForDialog(install.pid(), itemsTitle);
        ASSERT_NE(items, nullptr);
        measured = measurer.Measure(items);
        ExpectFits(measured, "CONTEXTITEMS");
        ExpectScreenFits(measured, "CONTEXTITEMS", dpi);
        PostMessageW(items, WM_COMMAND, IDCANCEL, 0);
        ASSERT_TRUE(WaitGone(items));

        HWND done = install.ConfirmSetup(setup);
        ASSERT_NE(done, nullptr);
        measured = measurer.Measure(done);
        ExpectFits(measured, "DONEDLG", IDC_DONE_FOLDER);
        ExpectScreenFits(measured, "DONEDLG", dpi);
        ExpectIcons(measured, "DONEDLG");
        for (const Control &c : measured.controls)
            if (c.id == IDC_DONE_THANKS)
                EXPECT_GE(c.fontHeight, measured.fontHeight) << "closing line smaller than the text above it";
        PostMessageW(done, WM_COMMAND, IDOK, 0);
        EXPECT_EQ(install.Finish(), 0);
    }
    SetScreenDpi(96);
}

} // namespace

TEST(Scaling, ChineseTextsFitAtEveryScale) { CheckAllScales(nullptr, ContextItemsTitle()); }

TEST(Scaling, EnglishTextsFitAtEveryScale) { CheckAllScales("lang\\english\\uninstall.lng", L"Context menu items"); }

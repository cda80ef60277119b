#include <gtest/gtest.h>

#include "common/test_util.h"
#include "lang/language_file.h"
#include "lang/localize.h"

#include <string>
#include <vector>

static INT_PTR CALLBACK PlainDialog(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

static std::string DialogEntry(const std::string &text, const std::string &translation,
                               const char *context = "LOCTEST")
{
    char key[9];
    LanguageKey(key, text.c_str(), context, TextKind::DialogText);
    return std::string(key) + "=\"" + translation + "\"\r\n";
}

static std::string TextOf(HWND window)
{
    char text[1024] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

static std::vector<HWND> Children(HWND dialog)
{
    std::vector<HWND> all;
    for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        all.push_back(c);
    return all;
}

static RECT RectOf(HWND window)
{
    RECT r;
    GetWindowRect(window, &r);
    return r;
}

static bool SameRect(const RECT &a, const RECT &b) { return EqualRect(&a, &b) != FALSE; }

class Localize : public ::testing::Test {
protected:
    Localize() : dir_("localize") {}
    void TearDown() override
    {
        if (dialog_)
            DestroyWindow(dialog_);
        g_language.Load((dir_ / "absent.lng").c_str());
    }
    void UseTable(const std::string &entries)
    {
        ASSERT_TRUE(WriteFileBytes(dir_ / "uninstall.lng", "***messages***\r\n" + entries));
        g_language.Load((dir_ / "uninstall.lng").c_str());
        ASSERT_TRUE(g_language.IsLoaded());
    }
    HWND Open()
    {
        dialog_ = CreateDialogParamA(GetModuleHandleA(nullptr), "LOCTEST", nullptr, PlainDialog, 0);
        return dialog_;
    }
    TempDir dir_;
    HWND dialog_ = nullptr;
};

TEST_F(Localize, TranslatesTitleAndNonEmptyTextsWithoutMovingAnything)
{
    UseTable(DialogEntry("Loc title", "Translated title") + DialogEntry("Same text", "Both the same") +
             DialogEntry("Press", "Push") + DialogEntry("Untranslated", "other dialog", "OTHER") +
             DialogEntry("", "100*100"));
    HWND dialog = Open();
    ASSERT_NE(dialog, nullptr);
    int sx = 0, sy = 0;
    EXPECT_FALSE(GetDialogScale("LOCTEST", &sx, &sy));
    EXPECT_EQ(sx, 100);
    EXPECT_EQ(sy, 100);
    RECT before = RectOf(dialog);
    std::vector<RECT> kids;
    for (HWND c : Children(dialog))
        kids.push_back(RectOf(c));

    LocalizeDialog("LOCTEST", dialog);
    EXPECT_EQ(TextOf(dialog), "Translated title");
    EXPECT_EQ(TextOf(GetDlgItem(dialog, 101)), "Both the same");
    EXPECT_EQ(TextOf(GetDlgItem(dialog, 102)), "Both the same");
    EXPECT_EQ(TextOf(GetDlgItem(dialog, 103)), "") << "an empty text is not looked up";
    EXPECT_EQ(TextOf(GetDlgItem(dialog, 104)), "Push");
    EXPECT_EQ(TextOf(GetDlgItem(dialog, 107)), "Untranslated");
    EXPECT_TRUE(SameRect(RectOf(dialog), before));
    std::vector<HWND> after = Children(dialog);
    for (size_t i = 0; i < after.size(); ++i)
        EXPECT_TRUE(SameRect(RectOf(after[i]), kids[i])) << "child " << i;
}

// Moves and sizes by the formulas, measured on the real windows.
static void CheckScaling(HWND dialog, int sx, int sy)
{
    RECT w = RectOf(dialog), k;
    GetClientRect(dialog, &k);
    int bx = (w.right - w.left) + 1 - k.right, by = (w.bottom - w.top) + 1 - k.bottom;
    int dy = by - GetSystemMetrics(SM_CYDLGFRAME);
    struct Expected {
        HWND hwnd;
        int x, y, width, height;
        bool dropDown;
    };
    std::vector<Expected> expected;
    for (HWND c : Children(dialog)) {
        RECT r = RectOf(c);
        Expected e{c, (r.left - w.left - bx / 2) * sx / 100, (r.top - w.top - dy) * sy / 100,
                   (r.right - r.left + 1) * sx / 100, (r.bottom - r.top + 1) * sy / 100, false};
        char cls[64] = "";
        GetClassNameA(c, cls, sizeof cls);
        if (lstrcmpiA(cls, "ComboBox") == 0 && (GetWindowLongA(c, GWL_STYLE) & 3) != CBS_SIMPLE) {
            RECT d = {};
            SendMessageA(c, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&d));
            e.height += (d.bottom - d.top + 1) * sy / 100;
            e.dropDown = true;
        }
        expected.push_back(e);
    }

    LocalizeDialog("LOCTEST", dialog);
    RECT after = RectOf(dialog);
    EXPECT_EQ(after.left, w.left);
    EXPECT_EQ(after.top, w.top);
    EXPECT_EQ(after.right - after.left, k.right * sx / 100 + bx);
    EXPECT_EQ(after.bottom - after.top, k.bottom * sy / 100 + by);
    for (const Expected &e : expected) {
        RECT r = RectOf(e.hwnd);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT *>(&r), 2);
        int id = GetDlgCtrlID(e.hwnd);
        EXPECT_EQ(r.left, e.x) << id;
        EXPECT_EQ(r.top, e.y) << id;
        EXPECT_EQ(r.right - r.left, e.width) << id;
        if (e.dropDown) {
            RECT d = {};
            SendMessageA(e.hwnd, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&d));
            // The requested height is field and list together; Windows reports it as the
            // dropped rectangle, Wine reports the list below the field.
            int dropped = d.bottom - d.top, field = r.bottom - r.top;
            EXPECT_TRUE(dropped == e.height || dropped + field == e.height) << id << ": " << dropped << "+" << field
                                                                             << " for " << e.height;
        } else {
            EXPECT_EQ(r.bottom - r.top, e.height) << id;
        }
    }
}

TEST_F(Localize, ScalesDialogAndEveryChildByTheFormulas)
{
    UseTable(DialogEntry("", "120*100"));
    int sx = 0, sy = 0;
    EXPECT_TRUE(GetDialogScale("LOCTEST", &sx, &sy));
    EXPECT_EQ(sx, 120);
    EXPECT_EQ(sy, 100);
    HWND dialog = Open();
    RECT button = RectOf(GetDlgItem(dialog, 104));
    CheckScaling(dialog, 120, 100);
    RECT scaled = RectOf(GetDlgItem(dialog, 104));
    EXPECT_EQ(scaled.bottom - scaled.top, button.bottom - button.top + 1) << "the 100-percent direction grows by one";
    DestroyWindow(dialog);

    UseTable(DialogEntry("", "90*135"));
    dialog_ = Open();
    CheckScaling(dialog_, 90, 135);
}

TEST_F(Localize, OnlyTheFirst512ChildrenAreTouched)
{
    UseTable(DialogEntry("Kid", "Translated"));
    HWND dialog = Open();
    for (int i = 0; i < 520; ++i)
        CreateWindowA("STATIC", "Kid", WS_CHILD, 0, 0, 10, 10, dialog, nullptr, GetModuleHandleA(nullptr), nullptr);
    std::vector<HWND> all = Children(dialog);
    ASSERT_EQ(all.size(), 527u);
    LocalizeDialog("LOCTEST", dialog);
    for (size_t i = 0; i < all.size(); ++i) {
        std::string text = TextOf(all[i]);
        if (i < 512)
            EXPECT_NE(text, "Kid") << i;
        else
            EXPECT_NE(text, "Translated") << i;
    }
}

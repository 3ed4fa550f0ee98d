#include <gtest/gtest.h>

#include "base/Exceptions.h"
#include "base/Strings.h"
#include "tests/win/support/WinTestSupport.h"
#include "vcl/Forms.h"

using namespace zv;

namespace {

// What the watcher saw of the message box it closed.
struct SeenBox {
    std::string caption;
    std::string texts;
    bool errorIcon = false;
};
SeenBox g_seen;
int g_boxes = 0;

BOOL CALLBACK FindMessageBox(HWND w, LPARAM lp) {
    char cls[64] = {};
    GetClassNameA(w, cls, sizeof cls);
    if (std::string(cls) == "#32770" && IsWindowVisible(w)) {
        *reinterpret_cast<HWND*>(lp) = w;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK NoteErrorIcon(HWND w, LPARAM) {
    if ((GetWindowLongA(w, GWL_STYLE) & SS_TYPEMASK) == SS_ICON && SendMessageA(w, STM_GETICON, 0, 0) != 0)
        g_seen.errorIcon = true;
    return TRUE;
}

void CALLBACK CloseMessageBox(HWND, UINT, UINT_PTR id, DWORD) {
    HWND box = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindMessageBox, reinterpret_cast<LPARAM>(&box));
    if (!box) return;
    KillTimer(nullptr, id);
    g_seen.caption = zvtest::WindowText(box);
    g_seen.texts = zvtest::ChildTexts(box);
    // The error icon is a static control showing an icon (SS_ICON).
    EnumChildWindows(box, NoteErrorIcon, 0);
    ++g_boxes;
    PostMessageA(box, WM_COMMAND, IDOK, 0);
}

}  // namespace

TEST(TApplication, StandardErrorReportShowsTheMessageUnderTheTitleAndGoesOn) {
    g_seen = {};
    g_boxes = 0;
    SetTimer(nullptr, 0, 50, &CloseMessageBox);
    Application->HandleException(ERegistryException("Invalid data type for 'Plugins'"));
    EXPECT_EQ(g_boxes, 1);
    EXPECT_EQ(g_seen.caption, "Player Installer");
    EXPECT_NE(g_seen.texts.find("Invalid data type for 'Plugins'"), std::string::npos) << g_seen.texts;
    EXPECT_TRUE(g_seen.errorIcon);
}

TEST(TApplication, ExceptionInAMessageHandlerNeverCrossesTheWindowProcedure) {
    g_seen = {};
    g_boxes = 0;
    TForm form(nullptr);
    form.SetClientSize(100, 50);
    form.HandleNeeded();
    form.OnClick = [](TObject*) { throw EConvertError("'x' is not a valid integer value"); };
    form.OnMouseDown = [](TObject* s, TMouseButton, TShiftState, int, int) {
        static_cast<TForm*>(s)->Click();
    };
    SetTimer(nullptr, 0, 50, &CloseMessageBox);
    // Dispatched through the window procedure, as a click would be.
    SendMessageA(form.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_EQ(g_boxes, 1);
    EXPECT_NE(g_seen.texts.find("'x' is not a valid integer value"), std::string::npos);
}

TEST(TApplication, MessageFilterSeesMessagesBeforeDispatchAndCanStopThem) {
    TForm form(nullptr);
    form.HandleNeeded();
    int delivered = 0;
    form.OnMouseMove = [&](TObject*, TShiftState, int, int) { ++delivered; };
    int filtered = 0;
    Application->OnMessage = [&](MSG& msg, bool& handled) {
        if (msg.hwnd == form.HandleOrNull() && msg.message == WM_MOUSEMOVE) {
            ++filtered;
            handled = (msg.lParam == MAKELPARAM(1, 1));
        }
    };
    PostMessageA(form.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(1, 1));  // stopped
    PostMessageA(form.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));  // passed on
    Application->ProcessMessages();
    Application->OnMessage = nullptr;
    EXPECT_EQ(filtered, 2);
    EXPECT_EQ(delivered, 1);
}

TEST(TScreen, CursorGuardSetsHourglassAndRestoresDefaultOnError) {
    EXPECT_EQ(Screen->Cursor(), crDefault);
    try {
        TCursorGuard busy(crHourGlass);
        EXPECT_EQ(Screen->Cursor(), -11);
        throw EConvertError("x");
    } catch (const EConvertError&) {
    }
    EXPECT_EQ(Screen->Cursor(), 0);
}

TEST(TApplication, FormsListAndLocaleComparison) {
    const int before = Screen->FormCount();
    {
        TForm a(nullptr);
        EXPECT_EQ(Screen->FormCount(), before + 1);
        EXPECT_EQ(Screen->Forms(before), &a);
    }
    EXPECT_EQ(Screen->FormCount(), before);
    // String lists use the system's case-insensitive comparison, which folds
    // accented capitals too.
    TStringList l;
    l.SetSorted(true);
    l.Add("C:\\\xC3\x89T\xC3\x89");  // UTF-8 "ÉTÉ" and "été"
    l.Add("c:\\\xC3\xA9t\xC3\xA9");
    l.Add("b");
    EXPECT_EQ(l.Count(), 2);
    EXPECT_EQ(l[1], "C:\\\xC3\x89T\xC3\x89");
}

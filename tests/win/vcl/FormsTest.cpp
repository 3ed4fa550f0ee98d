#include <gtest/gtest.h>

#include <vector>

#include "base/Exceptions.h"
#include "tests/win/support/WinTestSupport.h"
#include "vcl/Forms.h"
#include "vcl/PixelsPerInch.h"

using namespace zv;

namespace {

std::vector<std::string> g_events;

class TProbeForm : public TForm {
public:
    explicit TProbeForm(TComponent* owner, bool failInCreate = false) : TForm(owner) {
        SetBorderStyle(TFormBorderStyle::bsSingle);
        SetBorderIcons(biSystemMenu);
        SetCaption("Probe");
        SetClientSize(415, 246);
        SetColor(2960685);
        SetPosition(TPosition::poScreenCenter);
        OnCreate = [this, failInCreate](TObject*) {
            g_events.push_back("create");
            if (failInCreate) throw EConvertError("failed in create");
            created = true;
        };
        OnShow = [](TObject*) { g_events.push_back("show"); };
        OnDestroy = [](TObject*) { g_events.push_back("destroy"); };
    }
    bool created = false;
};

}  // namespace

TEST(TForm, ClientSizeCentredPositionCaptionAndColour) {
    TProbeForm form(nullptr);
    form.AfterConstruction();
    form.Show();
    zvtest::Pump(100);
    RECT c;
    GetClientRect(form.Handle(), &c);
    EXPECT_EQ(c.right, 415);
    EXPECT_EQ(c.bottom, 246);
    RECT w;
    GetWindowRect(form.Handle(), &w);
    EXPECT_EQ(w.left, (GetSystemMetrics(SM_CXSCREEN) - (w.right - w.left)) / 2);
    EXPECT_EQ(w.top, (GetSystemMetrics(SM_CYSCREEN) - (w.bottom - w.top)) / 2);
    EXPECT_EQ(zvtest::WindowText(form.Handle()), "Probe");
    EXPECT_EQ(zvtest::WindowPixel(form.Handle(), 10, 10), RGB(45, 45, 45));
    EXPECT_EQ(zvtest::WindowPixel(form.Handle(), 414, 245), RGB(45, 45, 45));
    form.Hide();
    EXPECT_FALSE(IsWindowVisible(form.Handle()));
}

TEST(TForm, CreateShowDestroyEventsInOrder) {
    g_events.clear();
    {
        auto* form = new TProbeForm(nullptr);
        form->AfterConstruction();
        EXPECT_TRUE(form->created);
        form->Show();
        form->BeforeDestruction();
        delete form;
    }
    EXPECT_EQ(g_events, (std::vector<std::string>{"create", "show", "destroy"}));
}

TEST(TForm, ErrorInOnCreateIsReportedAndTheFormGoesOn) {
    g_events.clear();
    std::string reported;
    Application->OnException = [&](const std::exception& e) { reported = e.what(); };
    TProbeForm form(nullptr, true);
    form.AfterConstruction();
    Application->OnException = nullptr;
    EXPECT_EQ(reported, "failed in create");
    EXPECT_FALSE(form.created);
    form.Show();
    EXPECT_TRUE(IsWindowVisible(form.Handle()));
}

namespace {
TForm* g_modal = nullptr;
HWND g_owner = nullptr;
bool g_ownerEnabledDuringModal = true;
int g_resultToSet = mrOk;

void CALLBACK EndModal(HWND, UINT, UINT_PTR id, DWORD) {
    if (!g_modal || !IsWindowVisible(g_modal->HandleOrNull())) return;
    KillTimer(nullptr, id);
    g_ownerEnabledDuringModal = IsWindowEnabled(g_owner) != FALSE;
    if (g_resultToSet == mrCancel)
        g_modal->Close();
    else
        g_modal->SetModalResult(g_resultToSet);
}
}  // namespace

TEST(TForm, ShowModalDisablesOtherWindowsAndReturnsTheModalResult) {
    TProbeForm owner(nullptr);
    owner.Show();
    TForm dialog(nullptr);
    dialog.SetClientSize(200, 100);
    g_modal = &dialog;
    g_owner = owner.Handle();
    for (int expected : {static_cast<int>(mrOk), static_cast<int>(mrCancel)}) {
        g_resultToSet = expected;
        g_ownerEnabledDuringModal = true;
        SetTimer(nullptr, 0, 30, &EndModal);
        EXPECT_EQ(dialog.ShowModal(), expected);
        EXPECT_FALSE(g_ownerEnabledDuringModal);
        EXPECT_TRUE(IsWindowEnabled(owner.Handle()));
        EXPECT_FALSE(IsWindowVisible(dialog.Handle()));
        EXPECT_FALSE(dialog.Modal());
    }
    g_modal = nullptr;
}

TEST(TForm, ModalOfAVisibleFormIsRefused) {
    TForm f(nullptr);
    f.Show();
    EXPECT_THROW(f.ShowModal(), EInvalidOperation);
}

// A form laid out for another display density: the monitor's density when
// it first shows, WM_DPICHANGED with the bounds the system suggests, and
// the size it answers WM_GETDPISCALEDSIZE with. While display scaling is
// off (the program's state until every window it shows scales) a form is
// laid out at 96 whatever the display.
namespace {

int g_monitorPpi = 96;
int MonitorPpi(HWND) {
    return g_monitorPpi;
}

class TAlignedForm : public TForm {
public:
    TAlignedForm() : TForm(nullptr) {
        SetBorderStyle(TFormBorderStyle::bsNone);
        SetBounds(40, 30, 200, 100);
        top = new TCustomControl(this);
        top->SetAlign(TAlign::alTop);
        top->SetHeight(21);
        top->SetParent(this);
        free = new TCustomControl(this);
        free->SetBounds(11, 40, 51, 25);
        free->SetParent(this);
    }
    TCustomControl* top;
    TCustomControl* free;
};

}  // namespace

TEST(TForm, LaysItselfOutForItsMonitorsDensityAndFollowsAMove) {
    ASSERT_FALSE(DisplayScaling());
    {
        TAlignedForm form;
        form.Show();
        EXPECT_EQ(form.PixelsPerInch(), 96);
        EXPECT_EQ(WindowPixelsPerInch(form.Handle()), 96);
    }
    const TPixelsPerInchSource previous = SetPixelsPerInchSource(&MonitorPpi);
    g_monitorPpi = 144;
    TAlignedForm form;
    form.Show();
    SetPixelsPerInchSource(previous);
    ASSERT_EQ(form.PixelsPerInch(), 144);
    // The top-left corner stays; every size 1.5 times, aligned children
    // aligned again at the new size.
    EXPECT_EQ(form.BoundsRect(), Rect(40, 30, 340, 180));
    EXPECT_EQ(form.top->BoundsRect(), Rect(0, 0, 300, 32));
    EXPECT_EQ(form.free->BoundsRect(), Rect(17, 60, 94, 98));
    RECT window{};
    GetWindowRect(form.Handle(), &window);
    EXPECT_EQ(window.right - window.left, 300);
    // The font of the windows follows: twice the height at 192.
    EXPECT_EQ(form.Font().HeightAt(192), 2 * form.Font().Height());

    // Asked ahead of a move to a 192 monitor: the size it will take there.
    SIZE size{};
    EXPECT_TRUE(SendMessageA(form.Handle(), WM_GETDPISCALEDSIZE_MSG, 192, reinterpret_cast<LPARAM>(&size)));
    EXPECT_EQ(size.cx, 400);
    EXPECT_EQ(size.cy, 200);
    // The move itself: laid out for 192 at the suggested rectangle.
    RECT suggested{500, 60, 900, 260};
    SendMessageA(form.Handle(), WM_DPICHANGED_MSG, MAKEWPARAM(192, 192),
                 reinterpret_cast<LPARAM>(&suggested));
    EXPECT_EQ(form.PixelsPerInch(), 192);
    EXPECT_EQ(form.BoundsRect(), Rect(500, 60, 900, 260));
    GetWindowRect(form.Handle(), &window);
    EXPECT_EQ(window.left, 500);
    EXPECT_EQ(window.right - window.left, 400);
    EXPECT_EQ(form.top->BoundsRect(), Rect(0, 0, 400, 43));
    EXPECT_EQ(form.free->BoundsRect(), Rect(23, 80, 126, 131));
    // Back to 96, and a density below that counts as 96 (each step
    // rounds to whole pixels, so a size may be one off its first value).
    RECT back{10, 10, 210, 110};
    SendMessageA(form.Handle(), WM_DPICHANGED_MSG, MAKEWPARAM(72, 72), reinterpret_cast<LPARAM>(&back));
    EXPECT_EQ(form.PixelsPerInch(), 96);
    EXPECT_EQ(form.BoundsRect(), Rect(10, 10, 210, 110));
    EXPECT_NEAR(form.free->Width(), 51, 1);
    EXPECT_NEAR(form.top->Height(), 21, 1);
}

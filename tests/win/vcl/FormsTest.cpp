#include <gtest/gtest.h>

#include <vector>

#include "base/Exceptions.h"
#include "tests/win/support/WinTestSupport.h"
#include "vcl/Forms.h"

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

// The two message dialogs in their look without skin data: template,
// caption and message set on showing, the stock icons, the label's wrapping
// or growing, and the modal results of OK and of the close button.
#include <gtest/gtest.h>

#include <cstdlib>

#include "app/KvSkinDialogs.h"
#include "tests/win/install/DialogWatcher.h"
#include "tests/win/support/WinTestSupport.h"

using namespace zv;
using namespace installtest;

namespace {

struct TSeen {
    TRect label;
    TRect button;
    TSize client;
    bool iconDrawn = false;
    bool centred = false;
    std::string caption;
    std::string message;
};

TSeen Look(TKvSkinMessageForm& form) {
    TSeen s;
    s.label = form.MessageLabel->BoundsRect();
    s.button = form.OKButton->BoundsRect();
    s.client = {form.ClientWidth(), form.ClientHeight()};
    s.caption = zvtest::WindowText(form.Handle());
    s.message = form.MessageLabel->Caption();
    zvtest::Pump(100);
    // The icon's area differs from the panel's plain face somewhere.
    const auto pixels = zvtest::CaptureClient(form.Handle());
    const TPixel face = pixels.View().At(10, 10);
    for (int y = 24; y < 56 && !s.iconDrawn; ++y)
        for (int x = 24; x < 56; ++x)
            if (pixels.View().At(x, y) != face) s.iconDrawn = true;
    RECT r;
    GetWindowRect(form.Handle(), &r);
    const int cx = (r.left + r.right) / 2, cy = (r.top + r.bottom) / 2;
    s.centred = std::abs(cx - GetSystemMetrics(SM_CXSCREEN) / 2) <= 1 &&
                std::abs(cy - GetSystemMetrics(SM_CYSCREEN) / 2) <= 1;
    return s;
}

}  // namespace

TEST(MessageDialogs, ErrorDialogShowsItsCaptionMessageAndIconAndReturnsOk) {
    TDialogWatcher watch;
    TSeen seen;
    OnDialog() = [&](TKvSkinMessageForm& f) {
        seen = Look(f);
        return false;
    };
    const std::string longText(400, 'w');
    const std::string words =
        "Insufficient directory rights to install the software for Internet Explorer ! " +
        std::string("and more words that wrap across several lines of the label");
    EXPECT_EQ(ShowSkinErrorDialog("Error...", words), 1);
    ASSERT_EQ(watch.Shown().size(), 1u);
    EXPECT_EQ(watch.Shown()[0], (TShownDialog{"error", "Error...", words}));
    EXPECT_EQ(seen.caption, "Error...");
    EXPECT_EQ(seen.client.cx, 327);
    EXPECT_EQ(seen.client.cy, 143);
    // Word-wrapped and cut: the label keeps its template size.
    EXPECT_EQ(seen.label, Rect(72, 32, 72 + 241, 32 + 41));
    EXPECT_EQ(seen.button, Rect(126, 80, 201, 105));
    EXPECT_TRUE(seen.iconDrawn);
    EXPECT_TRUE(seen.centred);
}

TEST(MessageDialogs, InfoDialogLabelGrowsOnOneLine) {
    TDialogWatcher watch;
    TSeen shortSeen, longSeen;
    OnDialog() = [&](TKvSkinMessageForm& f) {
        shortSeen = Look(f);
        return false;
    };
    EXPECT_EQ(ShowSkinInfoDialog("Info...", "Zorvane Player installed."), 1);
    OnDialog() = [&](TKvSkinMessageForm& f) {
        longSeen = Look(f);
        return false;
    };
    EXPECT_EQ(ShowSkinInfoDialog("Info...", std::string(120, 'x')), 1);
    ASSERT_EQ(watch.Shown().size(), 2u);
    EXPECT_EQ(watch.Shown()[0], (TShownDialog{"info", "Info...", "Zorvane Player installed."}));
    EXPECT_TRUE(shortSeen.iconDrawn);
    EXPECT_EQ(shortSeen.label.Left, 72);
    EXPECT_EQ(shortSeen.label.Top, 32);
    EXPECT_GT(shortSeen.label.Width(), 69) << "auto-sized to its text";
    EXPECT_LT(shortSeen.label.Height(), 20) << "one line";
    EXPECT_GT(longSeen.label.Right, 327) << "past the dialog's edge";
    EXPECT_EQ(longSeen.label.Height(), shortSeen.label.Height());
}

TEST(MessageDialogs, ErrorAndInfoIconsDiffer) {
    TDialogWatcher watch;
    zv::TPixelBuffer errorIcon, infoIcon;
    OnDialog() = [&](TKvSkinMessageForm& f) {
        zvtest::Pump(100);
        errorIcon = zvtest::CaptureClient(f.Handle());
        return false;
    };
    ShowSkinErrorDialog("Error...", "a");
    OnDialog() = [&](TKvSkinMessageForm& f) {
        zvtest::Pump(100);
        infoIcon = zvtest::CaptureClient(f.Handle());
        return false;
    };
    ShowSkinInfoDialog("Info...", "a");
    bool differ = false;
    for (int y = 24; y < 56; ++y)
        for (int x = 24; x < 56; ++x)
            if (errorIcon.View().At(x, y) != infoIcon.View().At(x, y)) differ = true;
    EXPECT_TRUE(differ);
}

TEST(MessageDialogs, ClosingByTheFrameReturnsCancel) {
    TDialogWatcher watch;
    // Answer by closing the window instead of pressing OK.
    OnDialog() = [](TKvSkinMessageForm& f) {
        PostMessageA(f.Handle(), WM_CLOSE, 0, 0);
        return true;
    };
    const int result = ShowSkinErrorDialog("Error...", "closed");
    EXPECT_NE(result, 1);
    EXPECT_EQ(result, mrCancel);
}

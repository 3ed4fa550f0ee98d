// The message dialogs for keyboard and screen-reader users: Esc ends both
// as OK does, a reader gets the caption, the icon's meaning, the message as
// static text and OK as the default push button (never the template's
// "Panel"); the icon is drawn at the image control's size.
#include <gtest/gtest.h>

#include "app/Image.h"
#include "app/KvSkinDialogs.h"
#include "skinui/paint/Glyphs.h"
#include "tests/win/install/DialogWatcher.h"
#include "tests/win/support/AccTestSupport.h"
#include "tests/win/support/WinTestSupport.h"

using namespace zv;
using namespace installtest;
using namespace zvtest;

namespace {

struct TRead {
    std::vector<TAccEntry> all;
    bool escaped = false;
};

// Reads the dialog's client tree, then ends the dialog with Esc.
bool ReadAndEscape(TKvSkinMessageForm& f, TRead& read) {
    Pump(100);
    read.all = Flatten(ClientObject(f.Handle()));
    SetForegroundWindow(f.Handle());
    Pump(50);
    PressKey(VK_ESCAPE);
    read.escaped = PumpUntil([&] { return f.ModalResult() != mrNone; }, 3000);
    return true;
}

// The icon drawn w x h over a face of colour `face`, as the reference.
TPixelBuffer IconOver(HICON icon, int w, int h, TPixel face) {
    TBitmap b(w, h);
    FillRectClipped(b.Pixels(), {0, 0, w, h}, face);
    DrawIconEx(b.Canvas().Handle(), 0, 0, icon, w, h, 0, nullptr, DI_NORMAL);
    GdiFlush();
    TPixelBuffer out(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) out.At(x, y) = PixelRGB(b.Pixels().At(x, y));
    return out;
}

int Differences(const TPixelBuffer& got, int x0, int y0, const TPixelBuffer& want) {
    int bad = 0;
    for (int y = 0; y < want.Height(); ++y)
        for (int x = 0; x < want.Width(); ++x)
            if (PixelRGB(got.At(x0 + x, y0 + y)) != want.At(x, y)) ++bad;
    return bad;
}

}  // namespace

TEST(DialogAccess, ReadersGetTheTextsAndEscEndsBothDialogsAsOkDoes) {
    TDialogWatcher watch;
    TRead error, info;
    const std::string message = "Insufficient directory rights to install the software for Opera !";
    OnDialog() = [&](TKvSkinMessageForm& f) { return ReadAndEscape(f, error); };
    EXPECT_EQ(ShowSkinErrorDialog("Error...", message), mrOk);
    OnDialog() = [&](TKvSkinMessageForm& f) { return ReadAndEscape(f, info); };
    EXPECT_EQ(ShowSkinInfoDialog("Info...", "Zorvane Player installed."), mrOk);
    EXPECT_TRUE(error.escaped);
    EXPECT_TRUE(info.escaped);

    ASSERT_FALSE(error.all.empty());
    EXPECT_EQ(error.all[0].Props.Role, ROLE_SYSTEM_CLIENT);
    EXPECT_EQ(error.all[0].Props.Name, "Error...");
    EXPECT_TRUE(FindEntry(error.all, ROLE_SYSTEM_STATICTEXT, message)) << "the whole message, not cut";
    EXPECT_TRUE(FindEntry(error.all, ROLE_SYSTEM_GRAPHIC, "Error"));
    const TAccProps* ok = FindEntry(error.all, ROLE_SYSTEM_PUSHBUTTON, "OK");
    ASSERT_TRUE(ok);
    EXPECT_TRUE(ok->State & STATE_SYSTEM_DEFAULT);
    EXPECT_TRUE(ok->State & STATE_SYSTEM_FOCUSABLE);
    EXPECT_EQ(ok->DefaultAction, "Press");
    for (const auto& e : error.all) {
        EXPECT_NE(e.Props.Name, "Panel") << "the template's placeholder is nobody's name";
        EXPECT_NE(e.Props.Name, "MessageLabel");
    }
    EXPECT_TRUE(FindEntry(info.all, ROLE_SYSTEM_STATICTEXT, "Zorvane Player installed."));
    EXPECT_TRUE(FindEntry(info.all, ROLE_SYSTEM_GRAPHIC, "Information"));
    EXPECT_FALSE(FindEntry(info.all, ROLE_SYSTEM_GRAPHIC, "Error"));
}

TEST(DialogAccess, TheStockIconIsTheImageOfTheControlsSizeDrawnWhole) {
    // In the dialog: the 32 x 32 image of the stock set, drawn over the face.
    TDialogWatcher watch;
    TSize size{};
    int bad = -1;
    OnDialog() = [&](TKvSkinMessageForm& f) {
        Pump(100);
        size = f.Image->Picture().Size();
        const TPixelBuffer shot = CaptureClient(f.Handle());
        HICON want = static_cast<HICON>(LoadImageA(nullptr, MAKEINTRESOURCEA(32513), IMAGE_ICON, 32, 32, 0));
        bad = Differences(shot, 24, 24, IconOver(want, 32, 32, PixelRGB(shot.At(22, 22))));
        DestroyIcon(want);
        return false;
    };
    ShowSkinErrorDialog("Error...", "icon");
    EXPECT_EQ(size.cx, 32);
    EXPECT_EQ(size.cy, 32);
    EXPECT_EQ(bad, 0);

    // A larger image (what the system's own size is at 144 DPI) is scaled
    // into the control, never cut to its top-left quarter.
    TForm form(nullptr);
    form.SetBorderStyle(TFormBorderStyle::bsNone);
    form.SetBounds(150, 150, 100, 100);
    form.SetColor(clWhite);
    auto* image = new TImage(&form);
    image->SetBounds(10, 10, 32, 32);
    image->SetParent(&form);
    image->Picture().LoadStock(32516, 48, 48);
    EXPECT_EQ(image->Picture().Size().cx, 48);
    form.Show();
    Pump(150);
    const TPixelBuffer shot = CaptureClient(form.Handle());
    EXPECT_EQ(Differences(shot, 10, 10, IconOver(image->Picture().Handle(), 32, 32, PixelRGB(shot.At(5, 5)))),
              0);
    // Nothing of the icon lands beside or below the control.
    const TPixel white = PixelRGB(shot.At(5, 5));
    int outside = 0;
    for (int y = 0; y < 70; ++y)
        for (int x = 0; x < 70; ++x)
            if ((x >= 42 || y >= 42) && PixelRGB(shot.At(x, y)) != white) ++outside;
    EXPECT_EQ(outside, 0);
}

// The error and information dialogs on a monitor of 144 and 192 pixels per
// inch: the icon is the system's image made at the control's device size
// and shows whole, the message wraps inside its label at the taller font,
// and the label and the OK button stay inside the dialog.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "app/frmKvSkinError.h"
#include "app/frmKvSkinInfo.h"
#include "skinui/paint/DeviceScale.h"
#include "tests/win/support/MonitorAt.h"
#include "tests/win/support/SkinTestSupport.h"
#include "tests/win/support/WinTestSupport.h"

using namespace zv;
using namespace zvtest;

namespace {

const std::string kMessage =
    "The plug-in files could not be written to C:\\Program Files\\Mozilla Firefox\\plugins.";

// The height the message takes wrapped at `width` in the label's Arial 14.
int WrappedHeight(int ppi, const std::string& text, int width) {
    TBitmap measure(1, 1);
    measure.Canvas().SetPixelsPerInch(ppi);
    measure.Canvas().Font().SetName("Arial");
    measure.Canvas().Font().SetHeight(14);
    TRect r{0, 0, width, 0};
    measure.Canvas().DrawText(text, r, DT_CALCRECT | DT_WORDBREAK);
    return r.Height();
}

bool Inside(const TRect& inner, const TRect& outer) {
    return inner.Left >= outer.Left && inner.Top >= outer.Top && inner.Right <= outer.Right &&
           inner.Bottom <= outer.Bottom;
}

}  // namespace

TEST(ScaledDialog, MessageInsideAndTheIconWholeAt144And192) {
    for (int ppi : {144, 192}) {
        for (bool error : {true, false}) {
            TksCompressedStoredSkin stored{nullptr};
            TksSkinData skin{nullptr};
            LoadProgramSkin(stored, skin);
            std::unique_ptr<TKvSkinMessageForm> dialog;
            if (error)
                dialog = std::make_unique<TKvSkinErrorForm>(nullptr, &skin);
            else
                dialog = std::make_unique<TKvSkinInfoForm>(nullptr, &skin);
            dialog->AfterConstruction();
            dialog->ksSkinFrame->SetSkinData(&skin);
            dialog->SetTexts("Zorvane Player Setup", error ? kMessage : "Installation complete.");
            {
                const TMonitorAt monitor(ppi);
                dialog->Show();
            }
            SetForegroundWindow(dialog->Handle());
            Pump(200);
            const std::string at = std::to_string(ppi) + (error ? " error" : " info");
            ASSERT_EQ(dialog->PixelsPerInch(), ppi) << at;
            const TDeviceScale s(ppi);

            // The icon: the control 32 skin pixels square, the system's image
            // made at that device size (not a 32-pixel image blown up, nor a
            // larger one cut).
            TImage& image = *dialog->Image;
            EXPECT_EQ(image.Width(), s.Map(32)) << at;
            EXPECT_EQ(image.Height(), s.Map(32)) << at;
            EXPECT_EQ(image.Picture().Size(), (TSize{s.Map(32), s.Map(32)})) << at;
            // Whole: the icon's colour (red for the error, blue for the
            // information) reaches into each quarter of the control.
            const TPixelBuffer panel = CaptureClient(dialog->Panel->Handle());
            const TRect ir = image.BoundsRect();
            int quarters[4] = {0, 0, 0, 0};
            for (int y = ir.Top; y < ir.Bottom; ++y)
                for (int x = ir.Left; x < ir.Right; ++x) {
                    const TPixel p = panel.At(x, y);
                    const bool coloured = error ? PixelR(p) > 150 && PixelG(p) < 110 && PixelB(p) < 110
                                                : PixelB(p) > 150 && PixelR(p) < 110;
                    if (coloured)
                        ++quarters[(x < ir.Left + ir.Width() / 2 ? 0 : 1) +
                                   (y < ir.Top + ir.Height() / 2 ? 0 : 2)];
                }
            for (int q = 0; q < 4; ++q) EXPECT_GT(quarters[q], 3) << at << " quarter " << q;

            // The message: its wrapped text fits the label, the label and the
            // button lie inside the panel, the button below the label.
            const TRect client = dialog->Panel->ClientRect();
            const TRect label = dialog->MessageLabel->BoundsRect();
            const TRect ok = dialog->OKButton->BoundsRect();
            EXPECT_TRUE(Inside(label, client)) << at;
            EXPECT_TRUE(Inside(ok, client)) << at;
            EXPECT_GE(ok.Top, label.Bottom) << at;
            const std::string message = error ? kMessage : "Installation complete.";
            if (error) {
                EXPECT_LE(WrappedHeight(ppi, message, label.Width()), label.Height()) << at;
            } else {
                // One line, the label grown to the text at the taller font.
                const int lineHeight = WrappedHeight(ppi, message, 10000);
                EXPECT_GE(label.Height(), lineHeight) << at;
                EXPECT_GE(lineHeight, s.Map(14) - 1) << at;
                EXPECT_EQ(WrappedHeight(ppi, message, label.Width()), lineHeight) << at;
            }
            dialog->Hide();
        }
    }
}

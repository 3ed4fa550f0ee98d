// The panel and the label drawn from skin data: the program's [panel] and
// [stdlabel] sections, and a hand-made skin for the background picture, the
// caption band and broken picture indices.
#include <gtest/gtest.h>

#include "skinui/SkinControls.h"
#include "skinui/paint/Glyphs.h"
#include "tests/win/skinui/SkinDrawingSupport.h"

using namespace zv;
using namespace zvskintest;

namespace {

TksSkinPanel* MakePanel(TWinControl* parent, const std::string& name, const TRect& bounds, TksSkinData* skin,
                        TksSkinBorderStyle style = TksSkinBorderStyle::bvRaised) {
    auto* p = new TksSkinPanel(parent);
    p->SetSkinDataName(name);
    p->SetBorderStyle(style);
    p->SetBounds(bounds.Left, bounds.Top, bounds.Width(), bounds.Height());
    p->SetParent(parent);
    p->SetSkinData(skin);
    return p;
}

TksSkinPanel* AddClientChild(TksSkinPanel* panel) {
    auto* child = new TksSkinPanel(panel);
    child->SetAlign(TAlign::alClient);
    child->SetParent(panel);
    return child;
}

}  // namespace

TEST(TksSkinPanel, ProgramPanelIsDrawnNinePartAndChildrenSeeTheClientPart) {
    TTestForm form;
    auto* panel = MakePanel(&form, "panel", Rect(10, 10, 425, 68), &ProgramSkin());
    auto* parent = MakePanel(&form, "panel", Rect(10, 80, 425, 138), &ProgramSkin());
    auto* child = AddClientChild(parent);
    form.ShowActive();
    const TksBitmap& pic = *ProgramSkin().ActivePicture(4);
    ExpectPixels(*panel,
                 [&](int x, int y) { return ExpectedNinePart(pic, ProgramPanelElement(), 415, 58, x, y); });
    EXPECT_EQ(child->BoundsRect(), Rect(2, 2, 413, 56));
    // A skin assigned after the children were aligned realigns them.
    auto* late = MakePanel(&form, "panel", Rect(10, 150, 110, 200), nullptr);
    auto* lateChild = AddClientChild(late);
    EXPECT_EQ(lateChild->BoundsRect(), Rect(1, 1, 99, 49));
    late->SetSkinData(&ProgramSkin());
    EXPECT_EQ(lateChild->BoundsRect(), Rect(2, 2, 98, 48));
}

TEST(TksSkinPanel, BorderlessPanelTilesOnlyTheClientPartOverEverything) {
    TTestForm form;
    auto* panel =
        MakePanel(&form, "panel", Rect(10, 10, 140, 110), &ProgramSkin(), TksSkinBorderStyle::bvNone);
    auto* parent =
        MakePanel(&form, "panel", Rect(150, 10, 250, 60), &ProgramSkin(), TksSkinBorderStyle::bvNone);
    auto* child = AddClientChild(parent);
    form.ShowActive();
    const TksBitmap& pic = *ProgramSkin().ActivePicture(4);
    // The client part (2, 2, 57, 50) of the element, 55 x 48, from (0, 0).
    ExpectPixels(*panel, [&](int x, int y) {
        return SourcePixel(pic, Rect(141, 4, 200, 56), 2 + x % 55, 2 + y % 48);
    });
    EXPECT_EQ(child->BoundsRect(), Rect(0, 0, 100, 50));
    // A border brings the element's client part back for the children.
    parent->SetBorderStyle(TksSkinBorderStyle::bvLowered);
    EXPECT_EQ(child->BoundsRect(), Rect(2, 2, 98, 48));
    parent->SetBorderStyle(TksSkinBorderStyle::bvNone);
    EXPECT_EQ(child->BoundsRect(), Rect(0, 0, 100, 50));
    // In caption mode the element is drawn whole again.
    panel->SetCaptionMode(true);
    panel->Repaint();
    zvtest::Pump(30);
    ExpectPixels(*panel,
                 [&](int x, int y) { return ExpectedNinePart(pic, ProgramPanelElement(), 130, 100, x, y); });
}

TEST(TksSkinPanel, BackgroundPictureIsTiledAndChildrenUseTheWholePanel) {
    TMaskSkin skin;
    TTestForm form;
    auto* panel = MakePanel(&form, "bgpanel", Rect(10, 10, 40, 22), &skin.Data);
    auto* parent = MakePanel(&form, "bgpanel", Rect(50, 10, 100, 40), &skin.Data);
    auto* child = AddClientChild(parent);
    form.ShowActive();
    EXPECT_EQ(panel->BGPictureIndex(), 2);
    const TksBitmap& bg = *skin.Data.ActivePicture(2);
    ExpectPixels(*panel, [&](int x, int y) { return bg.Pixels().At(x % 7, y % 5); });
    EXPECT_EQ(child->BoundsRect(), Rect(0, 0, 50, 30));
}

TEST(TksSkinPanel, PictureIndicesPastTheListMeanNoPicture) {
    TMaskSkin skin;
    TTestForm form;
    auto* parent = MakePanel(&form, "badpictures", Rect(10, 10, 70, 40), &skin.Data);
    auto* child = AddClientChild(parent);
    form.ShowActive();
    EXPECT_EQ(parent->SkinPicture(), nullptr);
    EXPECT_EQ(parent->SkinMask(), nullptr);
    EXPECT_EQ(parent->BGPictureIndex(), -1);
    EXPECT_FALSE(parent->HasSkinRegion());
    // The element without a picture leaves its area blank, and the client
    // part still holds the children.
    EXPECT_EQ(child->BoundsRect(), Rect(3, 3, 57, 27));
    const auto px = zvtest::CaptureClient(parent->Handle());
    EXPECT_EQ(px.At(0, 0) & 0xFFFFFFu, 0xFFFFFFu);
    EXPECT_EQ(px.At(59, 29) & 0xFFFFFFu, 0xFFFFFFu);
}

TEST(TksSkinPanel, SkinnedCaptionBandFollowsTheSizeShowsTheCheckPieceAndTakesClicks) {
    TMaskSkin skin;
    TTestForm form;
    auto* panel = MakePanel(&form, "captionpanel", Rect(10, 10, 130, 60), &skin.Data);
    panel->SetCaptionMode(true);
    panel->SetCheckedMode(true);
    panel->SetChecked(true);
    panel->SetCaption("Zz");
    form.ShowActive();
    // captionrect 2,1,58,13 runs from the top-left to the top-right area:
    // 60 pixels wider in a 120-wide panel.
    EXPECT_EQ(panel->SkinCaptionRect(), Rect(2, 1, 118, 13));
    DumpWindow(form.Handle(), "captionpanel");
    // Checked piece at the band's left, centred: top 1 + 6 - 3; its magenta
    // is transparent. The text (left-aligned, red) follows 2 pixels after it.
    const TksBitmap& pic = skin.Picture();
    const TRect text{11, 1, 118, 13};
    auto expected = [&](int x, int y) -> TPixel {
        const TPixel under = ExpectedNinePart(pic, TMaskSkin::Caption(), 120, 50, x, y);
        if (x >= 2 && x < 9 && y >= 4 && y < 11) {
            const TPixel piece = pic.Pixels().At(30 + x - 2, y - 4) & 0xFFFFFFu;
            return piece == TMaskSkin::Magenta ? under : piece;
        }
        return under;
    };
    const auto px = zvtest::CaptureClient(panel->Handle());
    int wrong = 0, red = 0;
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 120; ++x) {
            if (text.Contains({x, y})) {
                red += (px.At(x, y) & 0xFFFFFFu) == 0xFF0000u;
                continue;
            }
            wrong += (px.At(x, y) & 0xFFFFFFu) != expected(x, y);
        }
    EXPECT_EQ(wrong, 0);
    EXPECT_GT(red, 5);

    // A click in the mapped band unchecks; the unchecked piece shows.
    zvtest::ClickClient(panel->Handle(), 100, 6);
    ASSERT_TRUE(zvtest::PumpUntil([&] { return !panel->Checked(); }, 2000));
    zvtest::Pump(50);
    EXPECT_EQ(zvtest::WindowPixel(panel->Handle(), 3, 4), RGB(0, 150, 0));
    // Below the band: no change.
    zvtest::ClickClient(panel->Handle(), 100, 30);
    zvtest::Pump(100);
    EXPECT_FALSE(panel->Checked());
}

namespace {

TSize ArialTextSize(const std::string& text) {
    TBitmap b(1, 1);
    LOGFONTA lf{};
    lf.lfHeight = 14;
    lf.lfWeight = FW_NORMAL;
    lf.lfCharSet = DEFAULT_CHARSET;
    lstrcpynA(lf.lfFaceName, "Arial", LF_FACESIZE);
    TFontHandle font(CreateFontIndirectA(&lf));
    HDC dc = b.Canvas().Handle();
    HGDIOBJ old = SelectObject(dc, font.Get());
    SIZE sz{};
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &sz);
    SelectObject(dc, old);
    return {sz.cx, sz.cy};
}

}  // namespace

TEST(TksSkinPanel, CentredCaptionSitsOnItsFrameWithGlyphAndRollUpBox) {
    TMaskSkin skin;
    TTestForm form;
    auto* panel = MakePanel(&form, "framepanel", Rect(10, 10, 130, 60), &skin.Data);
    panel->SetCaptionMode(true);
    panel->SetRollUpMode(true);
    panel->Glyph.SetSize(6, 6, MakePixel(0, 0, 255));
    panel->Glyph.At(0, 5) = TMaskSkin::Magenta;
    panel->SetCaption("Ab");
    form.ShowActive();
    DumpWindow(form.Handle(), "framepanel");
    // Band (2, 1, 118, 13), 12 shorter for the roll-up box: (2, 1, 106, 13).
    // Caption width w = text + glyph 6 + spacing 2, centred: x = 54 - w / 2.
    // The frame (framerect 20 wide, text part 12: 8 extra) is text + 8 wide,
    // drawn 8 left of x at the band's top; the glyph moves 8 left with it and
    // the text starts at x + 8 + 4 - 8.
    const TSize ts = ArialTextSize("Ab");
    const int x = 54 - (ts.cx + 8) / 2;
    const TRect frame{x - 8, 1, x + ts.cx, 11};
    const TRect glyph{x - 8, 4, x - 2, 10};
    const TRect text{x + 4, 7 - ts.cy / 2, x + 4 + ts.cx, 7 - ts.cy / 2 + ts.cy};
    const TRect box{107, 1, 117, 13};
    const TksBitmap& pic = skin.Picture();
    const auto px = zvtest::CaptureClient(panel->Handle());
    int wrong = 0, red = 0, boxRed = 0;
    for (int y = 0; y < 50; ++y)
        for (int cx = 0; cx < 120; ++cx) {
            const TPixel got = px.At(cx, y) & 0xFFFFFFu;
            if (text.Contains({cx, y})) {
                red += got == 0xFF0000u;
                continue;
            }
            if (box.Contains({cx, y})) {
                boxRed += got == 0xFF0000u;
                continue;
            }
            TPixel want = ExpectedNinePart(pic, TMaskSkin::Caption(), 120, 50, cx, y);
            if (frame.Contains({cx, y}))
                want = ExpectedHorizontal(pic, Rect(0, 30, 20, 40), 4, 16, frame.Width(), cx - frame.Left,
                                          y - 1);
            if (glyph.Contains({cx, y}) && !(cx == glyph.Left && y == glyph.Bottom - 1)) want = 0x0000FFu;
            wrong += got != want;
        }
    EXPECT_EQ(wrong, 0);
    EXPECT_GT(red, 5);
    EXPECT_GT(boxRed, 3);  // the arrow
    // The roll-up piece at the box's left, the band's top.
    EXPECT_EQ(px.At(107, 1) & 0xFFFFFFu, pic.Pixels().At(50, 0) & 0xFFFFFFu);
    EXPECT_EQ(px.At(114, 1) & 0xFFFFFFu, pic.Pixels().At(57, 0) & 0xFFFFFFu);
}

TEST(TksSkinPanel, RollingUpWithSkinKeepsTheFrameAndSurvivesASkinChange) {
    TTestForm form;
    auto* panel = MakePanel(&form, "panel", Rect(0, 0, 150, 100), &ProgramSkin());
    auto* child = AddClientChild(panel);
    panel->SetRollUpMode(true);
    panel->SetRollUpState(true);
    // CL' at 150 x 100 is 96 high: 4 pixels stay.
    EXPECT_EQ(panel->Height(), 4);
    EXPECT_EQ(panel->RealHeight(), 100);
    EXPECT_FALSE(child->Visible());
    panel->ApplySkinChange();
    EXPECT_EQ(panel->Height(), 4);
    EXPECT_EQ(panel->RealHeight(), 100);
    panel->SetRollUpState(false);
    EXPECT_EQ(panel->Height(), 100);
    EXPECT_TRUE(child->Visible());
    EXPECT_EQ(child->BoundsRect(), Rect(2, 2, 148, 98));
}

// ---- label ------------------------------------------------------------------------------

namespace {

// The text as the platform draws it with the given font on white, in a
// w x h bitmap.
TPixelBuffer RenderText(const std::string& text, const char* face, int height, COLORREF colour, int w, int h,
                        UINT flags) {
    TBitmap b(w, h);
    FillRectClipped(b.Pixels(), b.Pixels().Bounds(), MakePixel(255, 255, 255));
    LOGFONTA lf{};
    lf.lfHeight = height;
    lf.lfWeight = FW_NORMAL;
    lf.lfCharSet = DEFAULT_CHARSET;
    lstrcpynA(lf.lfFaceName, face, LF_FACESIZE);
    TFontHandle font(CreateFontIndirectA(&lf));
    HDC dc = b.Canvas().Handle();
    HGDIOBJ old = SelectObject(dc, font.Get());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, colour);
    RECT r{0, 0, w, h};
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r, flags);
    SelectObject(dc, old);
    return b.ToBuffer();
}

}  // namespace

TEST(TksSkinStdLabel, DrawsTheSkinFontAndColourWhateverItsDefaultFontSays) {
    TTestForm form;
    auto* label = new TksSkinStdLabel(&form);
    label->SetAutoSize(false);
    label->SetBounds(10, 10, 200, 40);
    label->SetAlignment(TAlignment::taCenter);
    label->SetWordWrap(true);
    label->DefaultFont().SetName("Courier New");
    label->DefaultFont().SetHeight(20);
    label->DefaultFont().SetColor(clRed);
    label->Font().SetColor(clBlue);
    label->SetCaption("Install the player into every browser found");
    label->SetParent(&form);
    label->SetSkinData(&ProgramSkin());
    form.ShowActive();
    // [stdlabel]: Arial, height 14, colour 0; the form's white shows around
    // the text.
    const TPixelBuffer want = RenderText(label->Caption(), "Arial", 14, RGB(0, 0, 0), 200, 40,
                                         DT_CENTER | DT_WORDBREAK | DT_EXPANDTABS);
    const auto px = zvtest::CaptureClient(form.Handle());
    int wrong = 0, black = 0, secondLine = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 200; ++x) {
            wrong += (px.At(10 + x, 10 + y) & 0xFFFFFFu) != (want.At(x, y) & 0xFFFFFFu);
            black += (want.At(x, y) & 0xFFFFFFu) == 0;
            secondLine += y >= 17 && (want.At(x, y) & 0xFFFFFFu) == 0;
        }
    EXPECT_EQ(wrong, 0);
    EXPECT_GT(black, 20);
    EXPECT_GT(secondLine, 5);  // wrapped onto a second line

    // Without the skin font the label's own font is used, the colour still
    // the skin's.
    label->UseSkinFont = false;
    label->Font().SetName("Courier New");
    label->Font().SetHeight(16);
    label->Invalidate();
    zvtest::Pump(100);
    const TPixelBuffer own = RenderText(label->Caption(), "Courier New", 16, RGB(0, 0, 0), 200, 40,
                                        DT_CENTER | DT_WORDBREAK | DT_EXPANDTABS);
    const auto px2 = zvtest::CaptureClient(form.Handle());
    wrong = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 200; ++x)
            wrong += (px2.At(10 + x, 10 + y) & 0xFFFFFFu) != (own.At(x, y) & 0xFFFFFFu);
    EXPECT_EQ(wrong, 0);
}

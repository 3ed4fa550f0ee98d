// The skinned controls drawn from skin data, read back from their windows
// pixel by pixel.
//
//   shared skin and expectations  the program's own skin (loaded once), a
//                                 small hand-made skin with masks, and the
//                                 composition rules restated per pixel
//   TksSkinCustomControl          layouts, size rules, fallbacks, regions
//
// Expected pixels are worked out here from the skin's pictures and the
// composition rules pixel by pixel (which source pixel lands where), never
// by calling the composition code the controls use.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "skin/BmpDecoder.h"
#include "skinui/SkinControls.h"
#include "tests/win/skinui/SkinDrawingSupport.h"
#include "tests/win/support/SkinTestSupport.h"
#include "tests/win/support/WinTestSupport.h"

using namespace zv;
using namespace zvskintest;

namespace {

// A control class that exposes nothing new: the base drawn by layout.
class TElementControl : public TksSkinCustomControl {
public:
    TElementControl(TComponent* owner, const std::string& name) : TksSkinCustomControl(owner) {
        m_skinDataName = name;
    }
};

TElementControl* MakeElement(TWinControl* parent, const std::string& name, int x, int y, int w, int h,
                             TksSkinData* skin) {
    auto* c = new TElementControl(parent, name);
    c->SetBounds(x, y, w, h);
    c->SetParent(parent);
    c->SetSkinData(skin);
    return c;
}

}  // namespace

// ---- layouts drawn pixel-exact ------------------------------------------------------

TEST(TksSkinCustomControl, NinePartElementFillsTheControlPixelExact) {
    TTestForm form;
    auto* panel = MakeElement(&form, "panel", 10, 10, 415, 58, &ProgramSkin());
    auto* tall = MakeElement(&form, "panel", 10, 80, 130, 121, &ProgramSkin());
    form.ShowActive();
    EXPECT_EQ(panel->SkinLayout(), TSkinLayout::NinePart);
    const TksBitmap& pic = *ProgramSkin().ActivePicture(4);
    const TNinePartElement e = ProgramPanelElement();
    DumpWindow(form.Handle(), "elements");
    ExpectPixels(*panel, [&](int x, int y) { return ExpectedNinePart(pic, e, 415, 58, x, y); });
    ExpectPixels(*tall, [&](int x, int y) { return ExpectedNinePart(pic, e, 130, 121, x, y); });
    // The target values follow the size.
    EXPECT_EQ(panel->SkinTarget().ClientRect, Rect(2, 2, 413, 56));
    EXPECT_EQ(panel->SkinTarget().RightBottom, Point(53 + 356, 46 + 6));
}

TEST(TksSkinCustomControl, HorizontalVerticalAndFixedElementsPixelExact) {
    TTestForm form;
    auto* bar = MakeElement(&form, "gauge", 10, 10, 237, 30, &ProgramSkin());
    auto* column = MakeElement(&form, "vgauge", 10, 60, 40, 137, &ProgramSkin());
    auto* fixed = MakeElement(&form, "checkbox", 100, 60, 200, 200, &ProgramSkin());
    form.ShowActive();
    const TksBitmap& pic = *ProgramSkin().ActivePicture(4);
    // [gauge]: skinrect 2,220,102,236, LT.x 4, RT.x 96 -> ends of 4 and 4.
    EXPECT_EQ(bar->BoundsRect(), Rect(10, 10, 247, 26));
    ExpectPixels(*bar, [&](int x, int y) {
        return ExpectedHorizontal(pic, Rect(2, 220, 102, 236), 4, 96, 237, x, y);
    });
    // [vgauge]: skinrect 110,220,126,280, LT.y 4, LB.y 56.
    EXPECT_EQ(column->BoundsRect(), Rect(10, 60, 26, 197));
    ExpectPixels(*column, [&](int x, int y) {
        return ExpectedVertical(pic, Rect(110, 220, 126, 280), 4, 56, 137, x, y);
    });
    // [checkbox]: no points, copied 1:1 and the size forced to the skin's.
    EXPECT_EQ(fixed->SkinLayout(), TSkinLayout::Fixed);
    EXPECT_EQ(fixed->BoundsRect(), Rect(100, 60, 172, 80));
    ExpectPixels(*fixed, [&](int x, int y) { return SourcePixel(pic, Rect(268, 218, 340, 238), x, y); });
}

// ---- size rules ---------------------------------------------------------------------

TEST(TksSkinCustomControl, SizeRulesOfEveryLayoutHoldWhateverSizeIsAsked) {
    TTestForm form;
    auto* h = MakeElement(&form, "button", 0, 0, 97, 40, &ProgramSkin());
    auto* v = MakeElement(&form, "vgauge", 0, 50, 50, 100, &ProgramSkin());
    auto* f = MakeElement(&form, "checkbox", 60, 50, 10, 10, &ProgramSkin());
    auto* n = MakeElement(&form, "panel", 100, 0, 33, 44, &ProgramSkin());
    EXPECT_EQ(h->Width(), 97);
    EXPECT_EQ(h->Height(), 25);  // a Horizontal element keeps the skin's height
    h->SetBounds(0, 0, 120, 80);
    EXPECT_EQ(h->BoundsRect(), Rect(0, 0, 120, 25));
    EXPECT_EQ(h->SkinTarget().RightTop, Point(24 + 85, 13));
    EXPECT_EQ(h->SkinTarget().ClientRect, Rect(5, 5, 30 + 85, 20));
    EXPECT_EQ(v->BoundsRect(), Rect(0, 50, 16, 150));
    v->SetHeight(30);
    EXPECT_EQ(v->BoundsRect(), Rect(0, 50, 16, 80));
    EXPECT_EQ(f->BoundsRect(), Rect(60, 50, 132, 70));
    f->SetBounds(60, 50, 300, 300);
    EXPECT_EQ(f->BoundsRect(), Rect(60, 50, 132, 70));
    EXPECT_EQ(n->BoundsRect(), Rect(100, 0, 133, 44));
    // The window follows.
    form.ShowActive();
    RECT r;
    GetClientRect(h->Handle(), &r);
    EXPECT_EQ(r.bottom, 25);
}

TEST(TksSkinCustomControl, DefaultSizeAppliesOnlyWithoutSkinData) {
    TTestForm form;
    auto* c = MakeElement(&form, "button", 0, 0, 50, 50, nullptr);
    c->SetDefaultWidth(80);
    c->SetDefaultHeight(33);
    EXPECT_EQ(c->BoundsRect(), Rect(0, 0, 80, 33));
    c->SetSkinData(&ProgramSkin());
    EXPECT_EQ(c->BoundsRect(), Rect(0, 0, 80, 25));
    c->SetDefaultHeight(40);  // has skin data now: kept
    EXPECT_EQ(c->Height(), 25);
    auto* unknown = MakeElement(&form, "no such section", 0, 100, 50, 50, nullptr);
    unknown->SetDefaultWidth(70);
    unknown->SetSkinData(&ProgramSkin());  // a skin change without data applies the default size
    unknown->SetBounds(0, 100, 20, 20);
    unknown->ApplySkinChange();
    EXPECT_EQ(unknown->BoundsRect(), Rect(0, 100, 70, 120));
}

// ---- fallbacks ------------------------------------------------------------------------

TEST(TksSkinCustomControl, NameWithoutSectionPaintsFallbackAndDrawDefaultFalseNothing) {
    TTestForm form;
    auto* unknown = MakeElement(&form, "Panel", 10, 10, 60, 40, &ProgramSkin());  // names match exactly
    auto* bare = MakeElement(&form, "nothing", 80, 10, 60, 40, &ProgramSkin());
    bare->DrawDefault = false;
    // A data object without element geometry: no size forced, fallback look.
    auto* otherKind = MakeElement(&form, "stdlabel", 150, 10, 60, 40, &ProgramSkin());
    form.ShowActive();
    EXPECT_EQ(unknown->DataIndex(), -1);
    const TPixel face = ColorToPixel(ColorToRGB(clBtnFace));
    ExpectPixels(*unknown, [&](int, int) { return face; });
    // No content of its own: the blank bitmap, not the fallback.
    ExpectPixels(*bare, [&](int, int) { return MakePixel(0, 0, 0); });
    EXPECT_NE(otherKind->DataIndex(), -1);
    EXPECT_EQ(otherKind->BoundsRect(), Rect(150, 10, 210, 50));
    ExpectPixels(*otherKind, [&](int, int) { return face; });
}

TEST(TksSkinCustomControl, ChangedNameShowsOnTheNextPaint) {
    TTestForm form;
    auto* c = MakeElement(&form, "panel", 10, 10, 60, 40, &ProgramSkin());
    form.ShowActive();
    const TksBitmap& pic = *ProgramSkin().ActivePicture(4);
    const TNinePartElement e = ProgramPanelElement();
    c->SetSkinDataName("nothing");
    EXPECT_NE(c->DataIndex(), -1);  // looked up at the next paint only
    c->Repaint();
    zvtest::Pump(30);
    EXPECT_EQ(c->DataIndex(), -1);
    const TPixel face = ColorToPixel(ColorToRGB(clBtnFace));
    ExpectPixels(*c, [&](int, int) { return face; });
    c->SetSkinDataName("panel");
    c->Repaint();
    zvtest::Pump(30);
    ExpectPixels(*c, [&](int x, int y) { return ExpectedNinePart(pic, e, 60, 40, x, y); });
}

TEST(TksSkinCustomControl, ZeroSizedControlPaintsNothing) {
    TTestForm form;
    auto* c = MakeElement(&form, "panel", 30, 30, 0, 0, &ProgramSkin());
    form.ShowActive();
    c->Repaint();
    zvtest::Pump(30);
    EXPECT_EQ(c->BoundsRect(), Rect(30, 30, 30, 30));
    const auto px = zvtest::CaptureClient(form.Handle());
    for (int y = 25; y < 40; ++y)
        for (int x = 25; x < 40; ++x) ASSERT_EQ(px.At(x, y) & 0xFFFFFF, 0xFFFFFFu) << x << "," << y;
}

// ---- regions ----------------------------------------------------------------------------

TEST(TksSkinCustomControl, MaskedElementsShapeTheirWindows) {
    TMaskSkin skin;
    TTestForm form;
    auto* fixed = MakeElement(&form, "fixedmask", 10, 10, 50, 50, &skin.Data);
    auto* nine = MakeElement(&form, "ninemask", 10, 40, 60, 30, &skin.Data);
    auto* horizontal = MakeElement(&form, "hmask", 10, 90, 60, 30, &skin.Data);
    auto* unmasked = MakeElement(&form, "plain", 100, 10, 40, 40, &skin.Data);
    form.ShowActive();
    EXPECT_EQ(fixed->BoundsRect(), Rect(10, 10, 30, 20));
    EXPECT_TRUE(fixed->HasSkinRegion());
    // The mask leaves out the two pixels next to each far corner and the corners.
    EXPECT_TRUE(InWindowRegion(*fixed, {{2, 0}, {1, 1}, {17, 9}, {18, 8}, {10, 5}},
                               {{0, 0}, {1, 0}, {0, 1}, {19, 9}, {18, 9}, {19, 8}}));
    // Nine-part at 60 x 30: the corners move with the size, the middle is solid.
    EXPECT_TRUE(InWindowRegion(*nine, {{2, 0}, {30, 0}, {57, 29}, {58, 28}, {30, 15}, {0, 15}},
                               {{0, 0}, {1, 0}, {0, 1}, {59, 29}, {58, 29}, {59, 28}}));
    // Horizontal: height forced to 10, the top points stand for the bottom ones.
    EXPECT_EQ(horizontal->Height(), 10);
    EXPECT_TRUE(
        InWindowRegion(*horizontal, {{2, 0}, {30, 9}, {57, 9}, {58, 8}}, {{0, 0}, {1, 0}, {59, 9}, {58, 9}}));
    EXPECT_FALSE(unmasked->HasSkinRegion());
    EXPECT_EQ(GetWindowRgn(unmasked->Handle(), TRegionHandle(CreateRectRgn(0, 0, 0, 0)).Get()), ERROR);

    // A new size builds a new region.
    nine->SetBounds(10, 40, 80, 40);
    EXPECT_TRUE(InWindowRegion(*nine, {{59, 29}, {77, 39}}, {{79, 39}, {78, 39}, {79, 38}}));
    // The region goes with the mask: renamed to an unmasked element, the
    // next skin change removes it.
    nine->SetSkinDataName("plain");
    nine->ApplySkinChange();
    EXPECT_FALSE(nine->HasSkinRegion());
    EXPECT_EQ(GetWindowRgn(nine->Handle(), TRegionHandle(CreateRectRgn(0, 0, 0, 0)).Get()), ERROR);
}

TEST(TksSkinCustomControl, RegionIsAppliedWhenTheWindowIsMadeLater) {
    TMaskSkin skin;
    TTestForm form;
    auto* c = new TElementControl(&form, "fixedmask");
    c->SetSkinData(&skin.Data);  // no window yet
    EXPECT_FALSE(c->HasSkinRegion());
    c->SetParent(&form);
    form.ShowActive();
    EXPECT_TRUE(c->HasSkinRegion());
    EXPECT_TRUE(InWindowRegion(*c, {{10, 5}}, {{0, 0}, {19, 9}}));
}

// ---- translucency and cursor --------------------------------------------------------

namespace {

// Round half to even of n / 255.
TPixel BlendChannel(int a, int b, int value, int shift) {
    const int n = value * ((a >> shift) & 0xFF) + (255 - value) * ((b >> shift) & 0xFF);
    int q = n / 255;
    const int r = n % 255;
    if (2 * r > 255 || (2 * r == 255 && (q & 1))) ++q;
    return static_cast<TPixel>(q) << shift;
}

// The control's picture at opacity value / 255 over what lies under it.
TPixel Blend(TPixel picture, TPixel under, int value) {
    const int a = static_cast<int>(picture), b = static_cast<int>(under);
    return BlendChannel(a, b, value, 16) | BlendChannel(a, b, value, 8) | BlendChannel(a, b, value, 0);
}

}  // namespace

TEST(TksSkinControl, AlphaBlendShowsTheParentAndTheSiblingsBelowThroughTheControl) {
    TTestForm form;
    // Over the plain form: the form's white.
    auto* overForm = MakeElement(&form, "panel", 10, 10, 100, 50, &ProgramSkin());
    overForm->SetAlphaBlend(true);
    overForm->SetAlphaBlendValue(128);
    // Over a skinned panel and a sibling without skin that comes first.
    auto* parent = MakeElement(&form, "panel", 150, 10, 200, 100, &ProgramSkin());
    auto* sibling = MakeElement(parent, "nothing", 10, 10, 30, 30, &ProgramSkin());
    // ... whose own child, cut to the sibling, lies below the glass too.
    MakeElement(sibling, "checkbox", 5, 5, 72, 20, &ProgramSkin());
    auto* glass = MakeElement(parent, "panel", 20, 20, 60, 40, &ProgramSkin());
    glass->SetAlphaBlend(true);
    glass->SetAlphaBlendValue(100);
    form.ShowActive();
    // The sibling that comes first lies below the glass.
    SetWindowPos(glass->Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    zvtest::Pump(50);
    const TksBitmap& pic = *ProgramSkin().ActivePicture(4);
    const TNinePartElement e = ProgramPanelElement();
    ExpectPixels(*overForm,
                 [&](int x, int y) { return Blend(ExpectedNinePart(pic, e, 100, 50, x, y), 0xFFFFFF, 128); });
    const TPixel face = ColorToPixel(ColorToRGB(clBtnFace));
    ExpectPixels(*glass, [&](int x, int y) {
        // The sibling (fallback: button face) covers parent pixels 10 .. 39.
        const int px = 20 + x, py = 20 + y;
        TPixel under = (px < 40 && py < 40) ? face : ExpectedNinePart(pic, e, 200, 100, px, py);
        if (px >= 15 && px < 40 && py >= 15 && py < 35)
            under = SourcePixel(pic, Rect(268, 218, 340, 238), px - 15, py - 15);
        return Blend(ExpectedNinePart(pic, e, 60, 40, x, y), under, 100);
    });
    EXPECT_EQ(sibling->DataIndex(), -1);
    // Opaque at 255, background only at 0.
    glass->SetAlphaBlendValue(255);
    glass->Repaint();
    ExpectPixels(*glass, [&](int x, int y) { return ExpectedNinePart(pic, e, 60, 40, x, y); });
    overForm->SetAlphaBlendValue(0);
    overForm->Repaint();
    ExpectPixels(*overForm, [&](int, int) { return TPixel{0xFFFFFF}; });
    // Moved, it shows what lies under its new place.
    glass->SetAlphaBlendValue(100);
    glass->SetBounds(120, 50, 60, 40);
    zvtest::Pump(50);
    ExpectPixels(*glass, [&](int x, int y) {
        return Blend(ExpectedNinePart(pic, e, 60, 40, x, y),
                     ExpectedNinePart(pic, e, 200, 100, 120 + x, 50 + y), 100);
    });
}

TEST(TksSkinCustomControl, SkinCursorFollowsTheElementsCursorIndex) {
    TMaskSkin skin;
    TTestForm form;
    auto* c = MakeElement(&form, "ninemask", 10, 10, 40, 20, nullptr);
    c->UseSkinCursor = true;
    c->SetCursor(crHourGlass);
    c->SetSkinData(&skin.Data);
    EXPECT_EQ(c->Cursor(), crDefault);  // cursorindex -1
    c->SetSkinDataName("plain");
    c->ApplySkinChange();
    EXPECT_EQ(c->SkinCursorIndex(), 2);
    EXPECT_EQ(c->Cursor(), SkinFirstCursor + 2);
    auto* own = MakeElement(&form, "plain", 60, 10, 40, 20, nullptr);
    own->SetCursor(crHourGlass);
    own->SetSkinData(&skin.Data);
    EXPECT_EQ(own->Cursor(), crHourGlass);  // UseSkinCursor off: kept
}

TEST(TksSkinCustomControl, ForgetsTheSkinDataWhenItGoesAndLetsGoOfItsPictures) {
    TTestForm form;
    auto skin = std::make_unique<TMaskSkin>();
    auto* c = MakeElement(&form, "ninemask", 10, 10, 40, 20, &skin->Data);
    form.ShowActive();
    ASSERT_NE(c->SkinPicture(), nullptr);
    ASSERT_NE(c->SkinMask(), nullptr);
    c->ClearSkinIndex();  // before a skin is replaced
    EXPECT_EQ(c->DataIndex(), -1);
    EXPECT_EQ(c->SkinPicture(), nullptr);
    EXPECT_EQ(c->SkinMask(), nullptr);
    c->ApplySkinChange();
    EXPECT_NE(c->SkinPicture(), nullptr);
    skin.reset();
    EXPECT_EQ(c->SkinData(), nullptr);
    EXPECT_EQ(c->SkinPicture(), nullptr);
    // The region goes at the next skin change; the look is the fallback.
    c->ApplySkinChange();
    EXPECT_FALSE(c->HasSkinRegion());
    c->Repaint();
    const TPixel face = ColorToPixel(ColorToRGB(clBtnFace));
    ExpectPixels(*c, [&](int, int) { return face; });
}

// The program's own skin (resources/skin): it packs, loads and lints clean;
// the pictures have their sizes and depths; the description holds every
// value the windows rely on; the pieces the description names are drawn so
// that the composition rules can tile them without seams.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <typeinfo>

#include "base/Streams.h"
#include "skin/IniFile.h"
#include "skin/SkinData.h"
#include "tools/skintool/SkinLint.h"

namespace zv {
namespace {

std::string SkinDir() {
    const char* root = std::getenv("ZV_SOURCE_DIR");
    return std::string(root ? root : ".") + "/resources/skin/";
}

class ProgramSkin : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        stored = new TksCompressedStoredSkin(nullptr);
        ASSERT_TRUE(stored->LoadFromSkinFile(SkinDir() + "skin.ini"));
        data = new TksSkinData(nullptr);
        data->LoadCompressedSkin(*stored);
    }
    static void TearDownTestSuite() {
        delete data;
        delete stored;
        data = nullptr;
        stored = nullptr;
    }

    template <typename T>
    static const T& Control(const std::string& name) {
        const int i = data->IndexOfControl(name);
        EXPECT_GE(i, 0) << name;
        const T* c = i >= 0 ? dynamic_cast<const T*>(data->SkinControls(i)) : nullptr;
        if (!c) throw std::bad_cast();
        return *c;
    }
    template <typename T>
    static const T& Object(const std::string& name) {
        const int i = data->IndexOfObject(name);
        EXPECT_GE(i, 0) << name;
        const T* o = i >= 0 ? dynamic_cast<const T*>(data->SkinObjects(i)) : nullptr;
        if (!o) throw std::bad_cast();
        return *o;
    }
    // The exact class an entry was created as.
    static const std::type_info& KindOf(int index) {
        const TksDataSkinControl& c = *data->SkinControls(index);
        return typeid(c);
    }
    static const std::type_info& KindOf(const std::string& name) {
        return KindOf(data->IndexOfControl(name));
    }
    static TPixel Px(const TksBitmap& b, int x, int y) { return PixelRGB(b.Pixels().At(x, y)); }

    static TksCompressedStoredSkin* stored;
    static TksSkinData* data;
};

TksCompressedStoredSkin* ProgramSkin::stored = nullptr;
TksSkinData* ProgramSkin::data = nullptr;

TEST_F(ProgramSkin, PacksLoadsAndLintsClean) {
    ASSERT_FALSE(data->Empty());
    const auto& bytes = stored->CompressedData();
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ(bytes[0], 0x78);  // level 9 zlib header, as the program's stream
    EXPECT_EQ(bytes[1], 0xDA);
    const std::vector<TksLintProblem> problems = LintStoredSkin(*stored);
    for (const TksLintProblem& p : problems) ADD_FAILURE() << "[" << p.Where << "] " << p.Message;
}

TEST_F(ProgramSkin, PicturesHaveTheirSizesAndDepths) {
    struct TExpect {
        const char* file;
        int w, h, bits;
    };
    const TExpect files[] = {{"main.bmp", 162, 140, 8},     {"mask.bmp", 162, 140, 1},
                             {"active.bmp", 84, 154, 8},    {"pw.bmp", 88, 80, 8},
                             {"menuitems.bmp", 70, 116, 8}, {"hw.bmp", 42, 22, 8},
                             {"controls.bmp", 516, 289, 24}};
    for (const TExpect& e : files) {
        TksBitmap b;
        b.LoadFromFile(SkinDir() + e.file);
        EXPECT_EQ(b.Width(), e.w) << e.file;
        EXPECT_EQ(b.Height(), e.h) << e.file;
        EXPECT_EQ(b.BitCount(), e.bits) << e.file;
    }
    // The same pictures reach the skin data in their slots and index order.
    EXPECT_EQ(data->Picture().Width(), 162);
    EXPECT_EQ(data->Picture().BitCount(), 8);
    EXPECT_EQ(data->Mask().BitCount(), 1);
    EXPECT_TRUE(data->InActivePicture().Empty());
    EXPECT_TRUE(data->RollUpPicture().Empty());
    EXPECT_TRUE(data->RollUpMask().Empty());
    ASSERT_EQ(data->ActivePictureCount(), 5);
    const int widths[] = {84, 88, 70, 42, 516};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(data->ActivePicture(i)->Width(), widths[i]) << i;
    EXPECT_EQ(data->ActivePicture(4)->BitCount(), 24);
    EXPECT_EQ(data->PictureName(), "main.bmp");
    EXPECT_EQ(data->MaskName(), "mask.bmp");
    EXPECT_EQ(data->RollUpPictureName(), "");
    EXPECT_EQ(data->ActivePicturesNames().Count(), 5);
}

TEST_F(ProgramSkin, FormInfoAndPopupWindowHoldTheProgramsValues) {
    const TksDataSkinFormInfo& f = data->FormInfo();
    EXPECT_EQ(f.LeftTopPoint, (TPoint{34, 26}));
    EXPECT_EQ(f.RightTopPoint, (TPoint{80, 28}));
    EXPECT_EQ(f.LeftBottomPoint, (TPoint{8, 131}));
    EXPECT_EQ(f.RightBottomPoint, (TPoint{151, 131}));
    EXPECT_EQ(f.ClientRect, (TRect{5, 24, 157, 135}));
    EXPECT_EQ(f.BGPictureIndex, -1);
    EXPECT_FALSE(f.LeftStretch || f.RightStretch || f.TopStretch || f.BottomStretch);
    EXPECT_EQ(f.ButtonsRect, (TRect{92, 5, 154, 21}));
    EXPECT_EQ(f.CaptionRect, (TRect{0, 0, 0, 0}));
    EXPECT_EQ(f.ButtonsOffset, 1);
    EXPECT_FALSE(f.ButtonsInLeft);
    EXPECT_EQ(f.MaskRectArea, (TRect{4, 3, 159, 137}));
    EXPECT_EQ(f.HitTestLeftTopPoint, (TPoint{9, 9}));
    EXPECT_EQ(f.HitTestRightTopPoint, (TPoint{153, 8}));
    EXPECT_EQ(f.HitTestLeftBottomPoint, (TPoint{6, 133}));
    EXPECT_EQ(f.HitTestRightBottomPoint, (TPoint{154, 132}));
    EXPECT_FALSE(f.MainMenuPopupUp);
    EXPECT_EQ(f.BorderWidth, 3);
    EXPECT_FALSE(f.AutoRenderingInActiveImage);
    EXPECT_EQ(f.InActiveEffect, TInActiveEffect::ieBrightness);

    const TksDataSkinPopupWindow& p = data->PopupWindow();
    EXPECT_EQ(p.WindowPictureIndex, 1);
    EXPECT_EQ(p.MaskPictureIndex, -1);
    EXPECT_EQ(p.LeftTopPoint, (TPoint{38, 7}));
    EXPECT_EQ(p.RightTopPoint, (TPoint{81, 7}));
    EXPECT_EQ(p.LeftBottomPoint, (TPoint{39, 73}));
    EXPECT_EQ(p.RightBottomPoint, (TPoint{82, 74}));
    EXPECT_EQ(p.ItemsRect, (TRect{2, 2, 86, 78}));
    EXPECT_EQ(p.ScrollMarkerColor, 8404992);
    EXPECT_EQ(p.ScrollMarkerActiveColor, 12615680);
    EXPECT_FALSE(p.LeftStretch || p.RightStretch || p.TopStretch || p.BottomStretch);
}

TEST_F(ProgramSkin, ListsHaveTheirEntriesInOrderAndOfTheirKinds) {
    const char* objects[] = {"menuitem",           "caption",          "closebutton",
                             "minimizebutton",     "maximizebutton",   "rollupbutton",
                             "sysmenubutton",      "mainmenubaritem",  "menubarsysmenubutton",
                             "menubarclosebutton", "menubarmaxbutton", "menubarminbutton"};
    ASSERT_EQ(data->SkinObjectCount(), 12);
    for (int i = 0; i < 12; ++i) EXPECT_EQ(data->SkinObjects(i)->IDName, objects[i]) << i;
    EXPECT_TRUE(dynamic_cast<TksDataSkinMenuItem*>(data->SkinObjects(0)));
    EXPECT_TRUE(dynamic_cast<TksDataSkinCaption*>(data->SkinObjects(1)));
    for (int i = 2; i <= 6; ++i) {
        EXPECT_TRUE(dynamic_cast<TksDataSkinStdButton*>(data->SkinObjects(i))) << i;
        EXPECT_FALSE(dynamic_cast<TksDataSkinMainMenuBarButton*>(data->SkinObjects(i))) << i;
    }
    EXPECT_TRUE(dynamic_cast<TksDataSkinMainMenuBarItem*>(data->SkinObjects(7)));
    for (int i = 8; i <= 11; ++i)
        EXPECT_TRUE(dynamic_cast<TksDataSkinMainMenuBarButton*>(data->SkinObjects(i))) << i;

    const char* controls[] = {"button",
                              "toolpanel",
                              "toolbutton",
                              "checkbox",
                              "gauge",
                              "vgauge",
                              "radiobox",
                              "panel",
                              "label",
                              "trackbar",
                              "htrackbar",
                              "grid",
                              "tab",
                              "edit",
                              "memo",
                              "hscrollbar",
                              "vscrollbar",
                              "listbox",
                              "combobox",
                              "checklistbox",
                              "spinedit",
                              "groupbox",
                              "stdlabel",
                              "statuspanel",
                              "statusbar",
                              "buttonedit",
                              "vupdown",
                              "hupdown",
                              "captionlistbox",
                              "captionchecklistbox",
                              "captioncombobox",
                              "controlbar",
                              "mainmenubar",
                              "vsplitter",
                              "hsplitter",
                              "resizebutton",
                              "bothhscrollbar",
                              "bigtoolpanel",
                              "bigtoolbutton",
                              "toolmenubutton",
                              "toolmenutrackbutton",
                              "bigtoolmenubutton",
                              "bigtoolmenutrackbutton",
                              "scrollbox",
                              "listview",
                              "treeview",
                              "statusgauge",
                              "richedit",
                              "expanel",
                              "slider",
                              "bevel",
                              "statusedit",
                              "statusbuttonedit",
                              "statusspinedit",
                              "statuscombobox",
                              "toolspinedit",
                              "toolcombobox",
                              "tooledit",
                              "toolbuttonedit"};
    ASSERT_EQ(data->SkinControlCount(), 59);
    for (int i = 0; i < 59; ++i) EXPECT_EQ(data->SkinControls(i)->IDName, controls[i]) << i;
    for (const char* name : {"toolpanel", "panel", "groupbox", "statusbar", "bigtoolpanel"})
        EXPECT_EQ(KindOf(name), typeid(TksDataSkinPanelControl)) << name;
    for (const char* name : {"hscrollbar", "vscrollbar", "bothhscrollbar"})
        EXPECT_EQ(KindOf(name), typeid(TksDataSkinScrollBarControl)) << name;
    EXPECT_EQ(KindOf(0), typeid(TksDataSkinButtonControl));
    EXPECT_EQ(KindOf(19), typeid(TksDataSkinCheckListBox));
    EXPECT_EQ(KindOf(22), typeid(TksDataSkinStdLabelControl));
    EXPECT_EQ(data->IndexOfControl("Panel"), -1);
}

TEST_F(ProgramSkin, CaptionAndCaptionButtonsHoldTheProgramsValues) {
    const auto& c = Object<TksDataSkinCaption>("caption");
    EXPECT_EQ(c.SkinRect, (TRect{24, 3, 89, 21}));
    EXPECT_EQ(c.ActiveSkinRect, (TRect{4, 3, 69, 21}));
    EXPECT_EQ(c.ActivePictureIndex, 0);
    EXPECT_TRUE(c.Morphing);
    EXPECT_EQ(c.MorphKind, TMorphKind::mkDefault);
    EXPECT_EQ(c.TextRect, (TRect{5, 3, 61, 15}));
    EXPECT_EQ(c.FontName, "Arial");
    EXPECT_EQ(c.FontHeight, 14);
    EXPECT_EQ(c.FontStyle, static_cast<TFontStyles>(fsBold));
    EXPECT_EQ(c.FontColor, 12632256);
    EXPECT_EQ(c.ActiveFontColor, 16777215);
    EXPECT_EQ(c.Alignment, TAlignment::taCenter);
    EXPECT_TRUE(c.Shadow);
    EXPECT_EQ(c.ShadowColor, 0);
    EXPECT_EQ(c.ActiveShadowColor, 0);
    EXPECT_FALSE(c.Light);
    EXPECT_TRUE(c.FrameRect.IsEmpty() && c.ActiveFrameRect.IsEmpty() && c.FrameTextRect.IsEmpty());

    const auto& close = Object<TksDataSkinStdButton>("closebutton");
    EXPECT_TRUE(close.SkinRectInAPicture);
    EXPECT_EQ(close.SkinRect, (TRect{35, 57, 49, 71}));
    EXPECT_EQ(close.ActiveSkinRect, (TRect{1, 57, 15, 71}));
    EXPECT_EQ(close.DownRect, (TRect{18, 57, 32, 71}));
    EXPECT_TRUE(close.Morphing);
    EXPECT_EQ(close.Command, TStdCommand::cmClose);

    const auto& sys = Object<TksDataSkinStdButton>("sysmenubutton");
    EXPECT_FALSE(sys.SkinRectInAPicture);
    EXPECT_EQ(sys.SkinRect, (TRect{6, 5, 20, 19}));
    EXPECT_EQ(sys.ActiveSkinRect, (TRect{1, 121, 15, 135}));
    EXPECT_EQ(sys.DownRect, (TRect{18, 121, 32, 135}));
    EXPECT_EQ(sys.DisableSkinRect, (TRect{52, 123, 65, 135}));
    EXPECT_EQ(sys.Command, TStdCommand::cmSysMenu);

    // The other caption buttons take their normal looks from active
    // picture 0, so the frame hides them (and the frame picture shows none).
    const std::pair<const char*, TStdCommand> others[] = {{"minimizebutton", TStdCommand::cmMinimize},
                                                          {"maximizebutton", TStdCommand::cmMaximize},
                                                          {"rollupbutton", TStdCommand::cmRollUp}};
    for (const auto& [name, command] : others) {
        const auto& b = Object<TksDataSkinStdButton>(name);
        EXPECT_TRUE(b.SkinRectInAPicture) << name;
        EXPECT_EQ(b.Command, command) << name;
        EXPECT_EQ(b.ActivePictureIndex, 0) << name;
    }
    // The menu bar item keeps the mixed-case key the reader must find.
    TMemoryStream text;
    text.LoadFromFile(SkinDir() + "skin.ini");
    TksMemIniFile ini;
    ini.SetText(
        std::string(reinterpret_cast<const char*>(text.Memory()), static_cast<std::size_t>(text.Size())));
    EXPECT_EQ(ini.ReadString("mainmenubaritem", "unenabledfontcolor", ""), "8421504");
}

TEST_F(ProgramSkin, ControlsHoldTheProgramsValues) {
    const auto& p = Control<TksDataSkinPanelControl>("panel");
    EXPECT_EQ(p.PictureIndex, 4);
    EXPECT_EQ(p.MaskPictureIndex, -1);
    EXPECT_EQ(p.SkinRect, (TRect{141, 4, 200, 56}));
    EXPECT_EQ(p.LeftTopPoint, (TPoint{5, 4}));
    EXPECT_EQ(p.RightTopPoint, (TPoint{53, 6}));
    EXPECT_EQ(p.LeftBottomPoint, (TPoint{6, 45}));
    EXPECT_EQ(p.RightBottomPoint, (TPoint{53, 46}));
    EXPECT_EQ(p.ClientRect, (TRect{2, 2, 57, 50}));
    EXPECT_EQ(p.BGPictureIndex, -1);
    EXPECT_TRUE(p.CaptionRect.IsEmpty());
    EXPECT_EQ(p.Alignment, TAlignment::taCenter);
    EXPECT_EQ(p.FontHeight, 12);
    EXPECT_EQ(p.FontStyle, 0u);
    EXPECT_EQ(p.FontColor, 0);

    const auto& l = Control<TksDataSkinStdLabelControl>("stdlabel");
    EXPECT_EQ(l.PictureIndex, -1);
    EXPECT_TRUE(l.SkinRect.IsEmpty());
    EXPECT_EQ(l.FontName, "Arial");
    EXPECT_EQ(l.FontHeight, 14);
    EXPECT_EQ(l.FontColor, 0);
    EXPECT_EQ(l.ActiveFontColor, 16744448);

    const auto& b = Control<TksDataSkinButtonControl>("button");
    EXPECT_EQ(b.PictureIndex, 4);
    EXPECT_EQ(b.SkinRect, (TRect{1, 1, 36, 26}));
    EXPECT_EQ(b.LeftTopPoint, (TPoint{10, 12}));
    EXPECT_EQ(b.RightTopPoint, (TPoint{24, 13}));
    EXPECT_EQ(b.LeftBottomPoint, (TPoint{0, 0}));
    EXPECT_EQ(b.RightBottomPoint, (TPoint{0, 0}));
    EXPECT_EQ(b.ClientRect, (TRect{5, 5, 30, 20}));
    EXPECT_EQ(b.FontHeight, 14);
    EXPECT_EQ(b.FontColor, 0);
    EXPECT_EQ(b.ActiveFontColor, 0);
    EXPECT_EQ(b.DownFontColor, 0);
    EXPECT_EQ(b.DisabledFontColor, 16777215);
    EXPECT_EQ(b.ActiveSkinRect, (TRect{37, 1, 72, 26}));
    EXPECT_EQ(b.DownSkinRect, (TRect{73, 1, 108, 26}));
    EXPECT_TRUE(b.DisabledSkinRect.IsEmpty());
    EXPECT_TRUE(b.Morphing);
    EXPECT_EQ(b.MorphKind, TMorphKind::mkRightGradient);

    const auto& c = Control<TksDataSkinCheckListBox>("checklistbox");
    EXPECT_EQ(c.PictureIndex, 4);
    EXPECT_EQ(c.SkinRect, (TRect{67, 130, 126, 182}));
    EXPECT_EQ(c.LeftTopPoint, (TPoint{3, 3}));
    EXPECT_EQ(c.RightTopPoint, (TPoint{54, 3}));
    EXPECT_EQ(c.LeftBottomPoint, (TPoint{4, 48}));
    EXPECT_EQ(c.RightBottomPoint, (TPoint{54, 47}));
    EXPECT_EQ(c.ClientRect, (TRect{2, 2, 57, 50}));
    EXPECT_EQ(c.ItemRect, (TRect{290, 75, 344, 96}));
    EXPECT_EQ(c.ActiveItemRect, (TRect{290, 98, 344, 119}));
    EXPECT_EQ(c.FocusItemRect, (TRect{290, 121, 344, 142}));
    EXPECT_EQ(c.ItemLeftOffset, 25);
    EXPECT_EQ(c.ItemRightOffset, 2);
    EXPECT_EQ(c.ItemTextRect, (TRect{20, 2, 52, 19}));
    EXPECT_EQ(c.FontColor | c.ActiveFontColor | c.FocusFontColor, 0);
    EXPECT_EQ(c.ItemCheckRect, (TRect{0, 0, 16, 21}));
    EXPECT_EQ(c.UnCheckImageRect, (TRect{0, 76, 15, 91}));
    EXPECT_EQ(c.CheckImageRect, (TRect{14, 76, 29, 91}));
    EXPECT_EQ(c.VScrollBarName, "vscrollbar");

    const auto& s = Control<TksDataSkinScrollBarControl>("vscrollbar");
    EXPECT_EQ(s.SkinRect, (TRect{224, 25, 241, 93}));
    EXPECT_EQ(s.LeftTopPoint, (TPoint{7, 18}));
    EXPECT_EQ(s.LeftBottomPoint, (TPoint{8, 48}));
    EXPECT_EQ(s.RightTopPoint, (TPoint{0, 0}));
    EXPECT_EQ(s.TrackArea, (TRect{0, 17, 16, 51}));
    EXPECT_EQ(s.UpButtonRect, (TRect{0, 51, 17, 68}));
    EXPECT_EQ(s.DownButtonRect, (TRect{0, 0, 17, 17}));
    EXPECT_EQ(s.DownUpButtonRect, (TRect{242, 45, 259, 62}));
    EXPECT_EQ(s.DownDownButtonRect, (TRect{242, 25, 259, 42}));
    EXPECT_EQ(s.ThumbRect, (TRect{242, 4, 259, 22}));
    EXPECT_EQ(s.DownThumbRect, (TRect{221, 4, 238, 22}));
    EXPECT_EQ(s.ThumbOffset1, 5);
    EXPECT_EQ(s.ThumbOffset2, 5);
    EXPECT_EQ(s.GlyphRect, (TRect{279, 76, 286, 84}));
    EXPECT_TRUE(s.ActiveUpButtonRect.IsEmpty() && s.ActiveDownButtonRect.IsEmpty() &&
                s.ActiveThumbRect.IsEmpty() && s.ActiveGlyphRect.IsEmpty());

    const auto& m = Object<TksDataSkinMenuItem>("menuitem");
    EXPECT_EQ(m.ActivePictureIndex, 2);
    EXPECT_EQ(m.SkinRect, (TRect{1, 22, 68, 42}));
    EXPECT_EQ(m.ActiveSkinRect, (TRect{1, 1, 68, 21}));
    EXPECT_FALSE(m.Morphing);
    EXPECT_EQ(m.ItemLeftOffset, 20);
    EXPECT_EQ(m.ItemRightOffset, 20);
    EXPECT_EQ(m.DividerRect, (TRect{0, 41, 68, 46}));
    EXPECT_EQ(m.DividerLeftOffset, 35);
    EXPECT_EQ(m.DividerRightOffset, 3);
    EXPECT_EQ(m.TextRect, (TRect{2, 2, 66, 18}));
    EXPECT_EQ(m.FontStyle, 0u);
    EXPECT_EQ(m.FontColor, 0);
    EXPECT_EQ(m.ActiveFontColor, 0);
    EXPECT_EQ(m.UnEnabledFontColor, 8421504);
    EXPECT_FALSE(m.StretchEffect);
}

// ------------------------------------------------------------ the art

// True when every pixel of rows top..bottom repeats along x over left..right
// (a band the composition rules tile or stretch sideways).
bool UniformAlongX(const TksBitmap& b, int left, int right, int top, int bottom) {
    for (int y = top; y < bottom; ++y)
        for (int x = left + 1; x < right; ++x)
            if (PixelRGB(b.Pixels().At(x, y)) != PixelRGB(b.Pixels().At(left, y))) return false;
    return true;
}

bool UniformAlongY(const TksBitmap& b, int left, int right, int top, int bottom) {
    for (int x = left; x < right; ++x)
        for (int y = top + 1; y < bottom; ++y)
            if (PixelRGB(b.Pixels().At(x, y)) != PixelRGB(b.Pixels().At(x, top))) return false;
    return true;
}

TEST_F(ProgramSkin, MaskCutsTheCornersAndKeepsTheBorder) {
    const TksBitmap& mask = data->Mask();
    const TPixel black = 0, white = MakePixel(255, 255, 255);
    for (auto [x, y] : {std::pair{0, 0}, {161, 0}, {0, 139}, {161, 139}})
        EXPECT_EQ(Px(mask, x, y), white) << x;
    for (auto [x, y] : {std::pair{80, 0}, {0, 70}, {161, 70}, {80, 139}, {5, 5}, {156, 134}})
        EXPECT_EQ(Px(mask, x, y), black) << x << "," << y;
}

TEST_F(ProgramSkin, FrameBandsTileWithoutSeams) {
    const TksBitmap& pic = data->Picture();
    const TksDataSkinFormInfo& f = data->FormInfo();
    // top band middle (caption plate included), bottom band middle, sides
    EXPECT_TRUE(UniformAlongX(pic, f.LeftTopPoint.X, f.RightTopPoint.X, 0, f.ClientRect.Top));
    EXPECT_TRUE(UniformAlongX(pic, f.LeftBottomPoint.X, f.RightBottomPoint.X, f.ClientRect.Bottom, 140));
    EXPECT_TRUE(UniformAlongY(pic, 0, f.ClientRect.Left, f.LeftTopPoint.Y, f.LeftBottomPoint.Y));
    EXPECT_TRUE(UniformAlongY(pic, f.ClientRect.Right, 162, f.RightTopPoint.Y, f.RightBottomPoint.Y));
    // the caption's active look: 10 fixed, middle tiled, 9 fixed
    EXPECT_TRUE(UniformAlongX(*data->ActivePicture(0), 14, 60, 3, 21));
    // the plate differs between the two looks (active is the blue one)
    EXPECT_NE(Px(*data->ActivePicture(0), 30, 12), Px(pic, 50, 12));
}

TEST_F(ProgramSkin, ControlPiecesTileWithoutSeams) {
    const TksBitmap& c = *data->ActivePicture(4);
    // button looks: middle 10..24 of each 35-pixel look
    for (int left : {1, 37, 73}) EXPECT_TRUE(UniformAlongX(c, left + 10, left + 24, 1, 26)) << left;
    // panel and check list frames: flat middles
    EXPECT_TRUE(UniformAlongX(c, 141 + 5, 141 + 53, 4, 56 - 6));
    EXPECT_TRUE(UniformAlongY(c, 141, 200, 4 + 6, 4 + 45));
    EXPECT_TRUE(UniformAlongX(c, 67 + 4, 67 + 54, 130, 182));
    // list item looks: middle between 25 and 2 fixed pixels
    for (int top : {75, 98, 121}) EXPECT_TRUE(UniformAlongX(c, 290 + 25, 344 - 2, top, top + 21)) << top;
    // scroll bar track and a long thumb's middle
    EXPECT_TRUE(UniformAlongY(c, 224, 241, 25 + 18, 25 + 48));
    EXPECT_TRUE(UniformAlongY(c, 242, 259, 4 + 5, 22 - 5));
    EXPECT_TRUE(UniformAlongY(c, 221, 238, 4 + 5, 22 - 5));
    // menu entries: 20 fixed on each side
    EXPECT_TRUE(UniformAlongX(*data->ActivePicture(2), 21, 48, 1, 21));
    EXPECT_TRUE(UniformAlongX(*data->ActivePicture(2), 21, 48, 22, 42));
    EXPECT_TRUE(UniformAlongX(*data->ActivePicture(2), 35, 65, 41, 46));
}

TEST_F(ProgramSkin, CheckPicturesShareTheirTransparentColumn) {
    const TksBitmap& c = *data->ActivePicture(4);
    // Both pictures are drawn with their bottom-left pixel as the
    // transparent colour; the shared column 14 must be transparent in both.
    const TPixel keyUnchecked = Px(c, 0, 90), keyChecked = Px(c, 14, 90);
    EXPECT_EQ(keyUnchecked, keyChecked);
    for (int y = 76; y < 91; ++y) EXPECT_EQ(Px(c, 14, y), keyChecked) << y;
    // and they differ: one carries the mark
    bool differs = false;
    for (int y = 76; y < 91; ++y)
        for (int x = 1; x < 14; ++x) differs = differs || Px(c, x, y) != Px(c, 14 + x, y);
    EXPECT_TRUE(differs);
}

}  // namespace
}  // namespace zv

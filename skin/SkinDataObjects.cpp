// Keys of every data class in reading order, the load/save visitors and the
// kind tables.
#include "skin/SkinDataObjects.h"

#include <algorithm>
#include <functional>

#include "base/SysUtils.h"

namespace zv {

// ---------------------------------------------------------------- visitors

void TksIniLoadVisitor::Integer(const char* key, int& value, int def) {
    value = ReadInteger(m_ini, m_section, key, def);
}
void TksIniLoadVisitor::PictureIndex(const char* key, int& value) {
    value = ReadInteger(m_ini, m_section, key, -1);
}
void TksIniLoadVisitor::Color(const char* key, TColor& value, TColor def) {
    value = ReadColor(m_ini, m_section, key, def);
}
void TksIniLoadVisitor::Flag(const char* key, bool& value) {
    value = ReadBool(m_ini, m_section, key);
}
void TksIniLoadVisitor::Point(const char* key, TPoint& value, TksRectPlace) {
    value = ReadPoint(m_ini, m_section, key);
}
void TksIniLoadVisitor::Rect(const char* key, TRect& value, TksRectPlace) {
    value = ReadRect(m_ini, m_section, key);
}
void TksIniLoadVisitor::String(const char* key, std::string& value, const char* def) {
    value = m_ini.ReadString(m_section, key, def);
}
void TksIniLoadVisitor::FontStyle(const char* key, TFontStyles& value) {
    value = ReadFontStyle(m_ini, m_section, key);
}
void TksIniLoadVisitor::Alignment(const char* key, TAlignment& value) {
    value = ReadAlignment(m_ini, m_section, key);
}
void TksIniLoadVisitor::MorphKind(const char* key, TMorphKind& value) {
    value = ReadMorphKind(m_ini, m_section, key);
}
void TksIniLoadVisitor::InActiveEffect(const char* key, TInActiveEffect& value) {
    value = ReadInActiveEffect(m_ini, m_section, key);
}
void TksIniLoadVisitor::Command(const char* key, TStdCommand& value) {
    value = ReadCommand(m_ini, m_section, key);
}

void TksIniSaveVisitor::Integer(const char* key, int& value, int) {
    WriteInteger(m_ini, m_section, key, value);
}
void TksIniSaveVisitor::PictureIndex(const char* key, int& value) {
    WriteInteger(m_ini, m_section, key, value);
}
void TksIniSaveVisitor::Color(const char* key, TColor& value, TColor) {
    WriteInteger(m_ini, m_section, key, value);
}
void TksIniSaveVisitor::Flag(const char* key, bool& value) {
    WriteBool(m_ini, m_section, key, value);
}
void TksIniSaveVisitor::Point(const char* key, TPoint& value, TksRectPlace) {
    WritePoint(m_ini, m_section, key, value);
}
void TksIniSaveVisitor::Rect(const char* key, TRect& value, TksRectPlace) {
    WriteRect(m_ini, m_section, key, value);
}
void TksIniSaveVisitor::String(const char* key, std::string& value, const char*) {
    m_ini.WriteString(m_section, key, value);
}
void TksIniSaveVisitor::FontStyle(const char* key, TFontStyles& value) {
    m_ini.WriteString(m_section, key, FontStyleToStr(value));
}
void TksIniSaveVisitor::Alignment(const char* key, TAlignment& value) {
    m_ini.WriteString(m_section, key, AlignmentToStr(value));
}
void TksIniSaveVisitor::MorphKind(const char* key, TMorphKind& value) {
    m_ini.WriteString(m_section, key, MorphKindToStr(value));
}
void TksIniSaveVisitor::InActiveEffect(const char* key, TInActiveEffect& value) {
    m_ini.WriteString(m_section, key, InActiveEffectToStr(value));
}
void TksIniSaveVisitor::Command(const char* key, TStdCommand& value) {
    m_ini.WriteString(m_section, key, CommandToStr(value));
}

namespace {

// Collects "key=value" lines in the description's own formats.
class TDumpVisitor final : public TksDataFieldVisitor {
public:
    std::string text;
    void Integer(const char* key, int& value, int) override { Line(key, IntToStr(value)); }
    void PictureIndex(const char* key, int& value) override { Line(key, IntToStr(value)); }
    void Color(const char* key, TColor& value, TColor) override { Line(key, IntToStr(value)); }
    void Flag(const char* key, bool& value) override { Line(key, value ? "1" : "0"); }
    void Point(const char* key, TPoint& value, TksRectPlace) override { Line(key, PointToStr(value)); }
    void Rect(const char* key, TRect& value, TksRectPlace) override { Line(key, RectToStr(value)); }
    void String(const char* key, std::string& value, const char*) override { Line(key, value); }
    void FontStyle(const char* key, TFontStyles& value) override { Line(key, FontStyleToStr(value)); }
    void Alignment(const char* key, TAlignment& value) override { Line(key, AlignmentToStr(value)); }
    void MorphKind(const char* key, TMorphKind& value) override { Line(key, MorphKindToStr(value)); }
    void InActiveEffect(const char* key, TInActiveEffect& value) override {
        Line(key, InActiveEffectToStr(value));
    }
    void Command(const char* key, TStdCommand& value) override { Line(key, CommandToStr(value)); }

private:
    void Line(const char* key, const std::string& value) {
        text += key;
        text += '=';
        text += value;
        text += '\n';
    }
};

// Puts every field back to the value a missing key gives.
class TDefaultVisitor final : public TksDataFieldVisitor {
public:
    void Integer(const char*, int& value, int def) override { value = def; }
    void PictureIndex(const char*, int& value) override { value = -1; }
    void Color(const char*, TColor& value, TColor def) override { value = def; }
    void Flag(const char*, bool& value) override { value = false; }
    void Point(const char*, TPoint& value, TksRectPlace) override { value = {}; }
    void Rect(const char*, TRect& value, TksRectPlace) override { value = {}; }
    void String(const char*, std::string& value, const char* def) override { value = def; }
    void FontStyle(const char*, TFontStyles& value) override { value = 0; }
    void Alignment(const char*, TAlignment& value) override { value = TAlignment::taCenter; }
    void MorphKind(const char*, TMorphKind& value) override { value = TMorphKind::mkDefault; }
    void InActiveEffect(const char*, TInActiveEffect& value) override {
        value = TInActiveEffect::ieBrightness;
    }
    void Command(const char*, TStdCommand& value) override { value = TStdCommand::cmDefault; }
};

}  // namespace

void TksDataSkinRecord::ResetFields() {
    TDefaultVisitor v;
    VisitFields(v);
}

void TksDataSkinRecord::LoadFromIni(const TksMemIniFile& ini, const std::string& section) {
    TksIniLoadVisitor v(ini, section);
    VisitFields(v);
}

void TksDataSkinRecord::SaveToIni(TksMemIniFile& ini, const std::string& section) {
    ini.EraseSection(section);
    TksIniSaveVisitor v(ini, section);
    VisitFields(v);
}

std::string TksDataSkinRecord::Dump() {
    TDumpVisitor v;
    VisitFields(v);
    std::string head = ClassName();
    const std::string name = RecordName();
    if (!name.empty()) head += " " + name;
    return head + "\n" + v.text;
}

// ---------------------------------------------------------------- controls

using P = TksRectPlace;

void TksDataSkinControl::VisitFields(TksDataFieldVisitor& v) {
    v.PictureIndex("pictureindex", PictureIndex);
    v.PictureIndex("maskpictureindex", MaskPictureIndex);
    v.Rect("skinrect", SkinRect, P::Picture);
    v.Integer("cursorindex", CursorIndex, -1);
}

void TksDataSkinCustomControl::VisitFields(TksDataFieldVisitor& v) {
    TksDataSkinControl::VisitFields(v);
    v.Point("lefttoppoint", LeftTopPoint, P::Element);
    v.Point("righttoppoint", RightTopPoint, P::Element);
    v.Point("leftbottompoint", LeftBottomPoint, P::Element);
    v.Point("rightbottompoint", RightBottomPoint, P::Element);
    v.Rect("clientrect", ClientRect, P::Element);
    v.Flag("stretcheffect", StretchEffect);
}

void TksDataSkinPanelControl::VisitFields(TksDataFieldVisitor& v) {
    TksDataSkinCustomControl::VisitFields(v);
    v.PictureIndex("bgpictureindex", BGPictureIndex);
    v.Rect("captionrect", CaptionRect, P::Element);
    v.Alignment("alignment", Alignment);
    v.String("fontname", FontName, "Arial");
    v.Integer("fontheight", FontHeight, 14);
    v.FontStyle("fontstyle", FontStyle);
    v.Color("fontcolor", FontColor, 0);
    v.Rect("checkimagerect", CheckImageRect, P::Picture);
    v.Rect("uncheckimagerect", UnCheckImageRect, P::Picture);
    v.Rect("markframerect", MarkFrameRect, P::Picture);
    v.Rect("framerect", FrameRect, P::Picture);
    v.Rect("frametextrect", FrameTextRect, P::Other);
    v.Integer("frameleftoffset", FrameLeftOffset, 0);
    v.Integer("framerightoffset", FrameRightOffset, 0);
}

void TksDataSkinStdLabelControl::VisitFields(TksDataFieldVisitor& v) {
    TksDataSkinControl::VisitFields(v);
    v.String("fontname", FontName, "Arial");
    v.Integer("fontheight", FontHeight, 14);
    v.FontStyle("fontstyle", FontStyle);
    v.Color("fontcolor", FontColor, 0);
    v.Color("activefontcolor", ActiveFontColor, 16711680);
}

void TksDataSkinButtonControl::VisitFields(TksDataFieldVisitor& v) {
    TksDataSkinCustomControl::VisitFields(v);
    v.String("fontname", FontName, "Arial");
    v.Integer("fontheight", FontHeight, 14);
    v.FontStyle("fontstyle", FontStyle);
    v.Color("fontcolor", FontColor, 0);
    v.Color("activefontcolor", ActiveFontColor, 0);
    v.Color("disabledfontcolor", DisabledFontColor, 0);
    v.Color("downfontcolor", DownFontColor, 0);
    v.Flag("morphing", Morphing);
    v.MorphKind("morphkind", MorphKind);
    v.Rect("activeskinrect", ActiveSkinRect, P::Picture);
    v.Rect("downskinrect", DownSkinRect, P::Picture);
    v.Rect("disabledskinrect", DisabledSkinRect, P::Picture);
    v.Rect("animateskinrect", AnimateSkinRect, P::Picture);
    v.Integer("framecount", FrameCount, 0);
    v.Integer("animateinterval", AnimateInterval, 25);
}

void TksDataSkinListBox::VisitFields(TksDataFieldVisitor& v) {
    TksDataSkinCustomControl::VisitFields(v);
    v.Rect("itemrect", ItemRect, P::Picture);
    v.Rect("activeitemrect", ActiveItemRect, P::Picture);
    v.Rect("focusitemrect", FocusItemRect, P::Picture);
    v.Integer("itemleftoffset", ItemLeftOffset, 0);
    v.Integer("itemrightoffset", ItemRightOffset, 0);
    v.Rect("itemtextrect", ItemTextRect, P::Other);
    v.String("fontname", FontName, "Arial");
    v.Integer("fontheight", FontHeight, 14);
    v.FontStyle("fontstyle", FontStyle);
    v.Color("fontcolor", FontColor, 0);
    v.Color("activefontcolor", ActiveFontColor, 0);
    v.Color("focusfontcolor", FocusFontColor, 0);
    v.Rect("captionrect", CaptionRect, P::Element);
    v.String("captionfontname", CaptionFontName, "Arial");
    v.Integer("captionfontheight", CaptionFontHeight, 14);
    v.FontStyle("captionfontstyle", CaptionFontStyle);
    v.Color("captionfontcolor", CaptionFontColor, 0);
    v.Rect("upbuttonrect", UpButtonRect, P::Picture);
    v.Rect("activeupbuttonrect", ActiveUpButtonRect, P::Picture);
    v.Rect("downupbuttonrect", DownUpButtonRect, P::Picture);
    v.Rect("downbuttonrect", DownButtonRect, P::Picture);
    v.Rect("activedownbuttonrect", ActiveDownButtonRect, P::Picture);
    v.Rect("downdownbuttonrect", DownDownButtonRect, P::Picture);
    v.Rect("checkbuttonrect", CheckButtonRect, P::Picture);
    v.Rect("activecheckbuttonrect", ActiveCheckButtonRect, P::Picture);
    v.Rect("downcheckbuttonrect", DownCheckButtonRect, P::Picture);
    v.String("vscrollbarname", VScrollBarName, "vscrollbar");
    v.String("hscrollbarname", HScrollBarName, "hscrollbar");
    v.String("bothhscrollbarname", BothHScrollBarName, "bothhscrollbar");
}

void TksDataSkinCheckListBox::VisitFields(TksDataFieldVisitor& v) {
    TksDataSkinListBox::VisitFields(v);
    v.Rect("checkimagerect", CheckImageRect, P::Picture);
    v.Rect("itemcheckrect", ItemCheckRect, P::Other);
    v.Rect("uncheckimagerect", UnCheckImageRect, P::Picture);
}

void TksDataSkinScrollBarControl::VisitFields(TksDataFieldVisitor& v) {
    TksDataSkinCustomControl::VisitFields(v);
    v.Rect("trackarea", TrackArea, P::Element);
    v.Rect("upbuttonrect", UpButtonRect, P::Element);
    v.Rect("activeupbuttonrect", ActiveUpButtonRect, P::Picture);
    v.Rect("downupbuttonrect", DownUpButtonRect, P::Picture);
    v.Rect("downbuttonrect", DownButtonRect, P::Element);
    v.Rect("activedownbuttonrect", ActiveDownButtonRect, P::Picture);
    v.Rect("downdownbuttonrect", DownDownButtonRect, P::Picture);
    v.Rect("thumbrect", ThumbRect, P::Picture);
    v.Rect("activethumbrect", ActiveThumbRect, P::Picture);
    v.Rect("downthumbrect", DownThumbRect, P::Picture);
    v.Integer("thumboffset1", ThumbOffset1, 0);
    v.Integer("thumboffset2", ThumbOffset2, 0);
    v.Flag("thumbtransparent", ThumbTransparent);
    v.Color("thumbtransparentcolor", ThumbTransparentColor, 0);
    v.Rect("glyphrect", GlyphRect, P::Picture);
    v.Rect("activeglyphrect", ActiveGlyphRect, P::Picture);
    v.Rect("downglyphrect", DownGlyphRect, P::Picture);
}

// ----------------------------------------------------------------- objects

void TksDataSkinObject::VisitFields(TksDataFieldVisitor& v) {
    v.String("hint", Hint, "");
    v.Flag("skinrectinapicture", SkinRectInAPicture);
    v.Rect("skinrect", SkinRect, P::ObjectSkinRect);
    v.Rect("activeskinrect", ActiveSkinRect, P::Picture);
    v.Rect("inactiveskinrect", InActiveSkinRect, P::Picture);
    v.Flag("morphing", Morphing);
    v.MorphKind("morphkind", MorphKind);
    v.PictureIndex("activepictureindex", ActivePictureIndex);
    v.Integer("cursorindex", CursorIndex, -1);
    v.Flag("rollup", RollUp);
}

void TksDataSkinButton::VisitFields(TksDataFieldVisitor& v) {
    TksDataSkinObject::VisitFields(v);
    v.Integer("groupindex", GroupIndex, -1);
    v.Rect("downrect", DownRect, P::Picture);
    // The key is spelt this way in every skin.
    v.Rect("disableskinrsect", DisableSkinRect, P::Picture);
}

void TksDataSkinStdButton::VisitFields(TksDataFieldVisitor& v) {
    TksDataSkinButton::VisitFields(v);
    v.Command("command", Command);
    v.Rect("restorerect", RestoreRect, P::Picture);
    v.Rect("restoreactiverect", RestoreActiveRect, P::Picture);
    v.Rect("restoredownrect", RestoreDownRect, P::Picture);
    v.Rect("restoreinactiverect", RestoreInActiveRect, P::Picture);
}

void TksDataSkinCaption::VisitFields(TksDataFieldVisitor& v) {
    TksDataSkinObject::VisitFields(v);
    v.Flag("defaultcaption", DefaultCaption);
    v.Rect("textrect", TextRect, P::Other);
    v.String("fontname", FontName, "Arial");
    v.Integer("fontheight", FontHeight, 14);
    v.FontStyle("fontstyle", FontStyle);
    v.Color("fontcolor", FontColor, 0);
    v.Color("activefontcolor", ActiveFontColor, 0);
    v.Alignment("alignment", Alignment);
    v.Flag("shadow", Shadow);
    v.Color("shadowcolor", ShadowColor, 0);
    v.Color("activeshadowcolor", ActiveShadowColor, 0);
    v.Flag("light", Light);
    v.Color("lightcolor", LightColor, 0);
    v.Color("activelightcolor", ActiveLightColor, 0);
    v.Rect("framerect", FrameRect, P::Other);
    v.Rect("activeframerect", ActiveFrameRect, P::Picture);
    v.Rect("frametextrect", FrameTextRect, P::Other);
    v.Integer("frameleftoffset", FrameLeftOffset, 0);
    v.Integer("framerightoffset", FrameRightOffset, 0);
}

void TksDataSkinMenuItem::VisitFields(TksDataFieldVisitor& v) {
    TksDataSkinObject::VisitFields(v);
    v.Integer("itemleftoffset", ItemLeftOffset, 0);
    v.Integer("itemrightoffset", ItemRightOffset, 0);
    v.Rect("dividerrect", DividerRect, P::Picture);
    v.Integer("dividerleftoffset", DividerLeftOffset, 0);
    v.Integer("dividerrightoffset", DividerRightOffset, 0);
    v.Rect("textrect", TextRect, P::Element);
    v.String("fontname", FontName, "Arial");
    v.Integer("fontheight", FontHeight, 14);
    v.FontStyle("fontstyle", FontStyle);
    v.Color("fontcolor", FontColor, 0);
    v.Color("activefontcolor", ActiveFontColor, 0);
    v.Color("unenabledfontcolor", UnEnabledFontColor, 0);
    v.Flag("stretcheffect", StretchEffect);
    v.Flag("dividerstretcheffect", DividerStretchEffect);
}

// ------------------------------------------------------------ stand-alone

void TksDataSkinArea::VisitFields(TksDataFieldVisitor& v) {
    v.Rect("arearect", AreaRect, P::Other);
}

void TksDataSkinPopupWindow::VisitFields(TksDataFieldVisitor& v) {
    v.PictureIndex("windowpictureindex", WindowPictureIndex);
    v.PictureIndex("maskpictureindex", MaskPictureIndex);
    v.Point("lefttoppoint", LeftTopPoint, P::Picture);
    v.Point("righttoppoint", RightTopPoint, P::Picture);
    v.Point("leftbottompoint", LeftBottomPoint, P::Picture);
    v.Point("rightbottompoint", RightBottomPoint, P::Picture);
    v.Integer("cursorindex", CursorIndex, -1);
    v.Rect("itemsrect", ItemsRect, P::Picture);
    v.Color("scrollmarkercolor", ScrollMarkerColor, 0);
    v.Color("scrollmarkeractivecolor", ScrollMarkerActiveColor, 0);
    v.Flag("leftstretch", LeftStretch);
    v.Flag("rightstretch", RightStretch);
    v.Flag("topstretch", TopStretch);
    v.Flag("bottomstretch", BottomStretch);
}

void TksDataSkinHintWindow::VisitFields(TksDataFieldVisitor& v) {
    v.PictureIndex("windowpictureindex", WindowPictureIndex);
    v.PictureIndex("maskpictureindex", MaskPictureIndex);
    v.Point("lefttoppoint", LeftTopPoint, P::Picture);
    v.Point("righttoppoint", RightTopPoint, P::Picture);
    v.Point("leftbottompoint", LeftBottomPoint, P::Picture);
    v.Point("rightbottompoint", RightBottomPoint, P::Picture);
    v.Rect("clientrect", ClientRect, P::Picture);
    v.String("fontname", FontName, "Arial");
    v.Integer("fontheight", FontHeight, 14);
    v.FontStyle("fontstyle", FontStyle);
    v.Color("fontcolor", FontColor, 0);
    v.Flag("leftstretch", LeftStretch);
    v.Flag("rightstretch", RightStretch);
    v.Flag("topstretch", TopStretch);
    v.Flag("bottomstretch", BottomStretch);
}

void TksDataSkinFormInfo::VisitFields(TksDataFieldVisitor& v) {
    v.Point("lefttoppoint", LeftTopPoint, P::MainPicture);
    v.Point("righttoppoint", RightTopPoint, P::MainPicture);
    v.Point("leftbottompoint", LeftBottomPoint, P::MainPicture);
    v.Point("rightbottompoint", RightBottomPoint, P::MainPicture);
    v.Rect("clientrect", ClientRect, P::MainPicture);
    v.PictureIndex("bgpictureindex", BGPictureIndex);
    v.PictureIndex("mdibgpictureindex", MDIBGPictureIndex);
    v.Flag("leftstretch", LeftStretch);
    v.Flag("rightstretch", RightStretch);
    v.Flag("topstretch", TopStretch);
    v.Flag("bottomstretch", BottomStretch);
    v.Rect("buttonsrect", ButtonsRect, P::MainPicture);
    v.Rect("captionrect", CaptionRect, P::MainPicture);
    v.Integer("buttonsoffset", ButtonsOffset, 0);
    v.Flag("buttonsinleft", ButtonsInLeft);
    v.Rect("maskrectarea", MaskRectArea, P::MaskPicture);
    v.Point("hittestlefttoppoint", HitTestLeftTopPoint, P::MainPicture);
    v.Point("hittestrighttoppoint", HitTestRightTopPoint, P::MainPicture);
    v.Point("hittestleftbottompoint", HitTestLeftBottomPoint, P::MainPicture);
    v.Point("hittestrightbottompoint", HitTestRightBottomPoint, P::MainPicture);
    v.Point("rollupleftpoint", RollUpLeftPoint, P::Other);
    v.Point("rolluprightpoint", RollUpRightPoint, P::Other);
    v.Rect("mainmenurect", MainMenuRect, P::MainPicture);
    v.Rect("iconrect", IconRect, P::MainPicture);
    v.Flag("mainmenupopupup", MainMenuPopupUp);
    v.Integer("borderwidth", BorderWidth, 0);
    v.Integer("cursorindex", CursorIndex, -1);
    v.Flag("autorenderinginactiveimage", AutoRenderingInActiveImage);
    v.InActiveEffect("inactiveeffect", InActiveEffect);
}

void TksDataSkinFormInfo::Normalize(const std::string& maskName) {
    if (!maskName.empty()) {
        if (MaskRectArea.IsEmpty()) {
            MaskRectArea = ClientRect;
        } else {
            MaskRectArea.Left = std::min(MaskRectArea.Left, ClientRect.Left);
            MaskRectArea.Top = std::min(MaskRectArea.Top, ClientRect.Top);
            MaskRectArea.Right = std::max(MaskRectArea.Right, ClientRect.Right);
            MaskRectArea.Bottom = std::max(MaskRectArea.Bottom, ClientRect.Bottom);
        }
        auto takeCorner = [](TPoint& hit, TPoint corner) {
            if (hit.X == 0 || hit.Y == 0) hit = corner;
        };
        takeCorner(HitTestLeftTopPoint, LeftTopPoint);
        takeCorner(HitTestRightTopPoint, RightTopPoint);
        takeCorner(HitTestLeftBottomPoint, LeftBottomPoint);
        takeCorner(HitTestRightBottomPoint, RightBottomPoint);
    }
    if (RightBottomPoint.X != LeftTopPoint.X && RightBottomPoint.Y != LeftTopPoint.Y) {
        LeftTopPoint.X = std::max(LeftTopPoint.X, ClientRect.Left);
        LeftBottomPoint.X = std::max(LeftBottomPoint.X, ClientRect.Left);
        LeftTopPoint.Y = std::max(LeftTopPoint.Y, ClientRect.Top);
        RightTopPoint.Y = std::max(RightTopPoint.Y, ClientRect.Top);
        RightTopPoint.X = std::min(RightTopPoint.X, ClientRect.Right);
        RightBottomPoint.X = std::min(RightBottomPoint.X, ClientRect.Right);
        LeftBottomPoint.Y = std::min(LeftBottomPoint.Y, ClientRect.Bottom);
        RightBottomPoint.Y = std::min(RightBottomPoint.Y, ClientRect.Bottom);
    }
}

// ------------------------------------------------------------- kind tables

namespace {

template <typename Base, typename T>
std::unique_ptr<Base> Make() {
    return std::make_unique<T>();
}

struct TObjectKind {
    const char* kind;
    std::unique_ptr<TksDataSkinObject> (*create)();
};
struct TControlKind {
    const char* kind;
    std::unique_ptr<TksDataSkinControl> (*create)();
};

#define ZV_OBJ(k, T) \
    { k, &Make<TksDataSkinObject, T> }
#define ZV_CTL(k, T) \
    { k, &Make<TksDataSkinControl, T> }

constexpr TObjectKind kObjectKinds[SkinObjectKindCount] = {
    ZV_OBJ("menuitem", TksDataSkinMenuItem),
    ZV_OBJ("mainmenubaritem", TksDataSkinMainMenuBarItem),
    ZV_OBJ("mainmenuitem", TksDataSkinMainMenuItem),
    ZV_OBJ("stdbutton", TksDataSkinStdButton),
    ZV_OBJ("mainmenubarbutton", TksDataSkinMainMenuBarButton),
    ZV_OBJ("button", TksDataSkinButton),
    ZV_OBJ("caption", TksDataSkinCaption),
    ZV_OBJ("trackbar", TksDataSkinTrackBar),
    ZV_OBJ("gauge", TksDataSkinGauge),
    ZV_OBJ("framegauge", TksDataSkinFrameGaugeObject),
    ZV_OBJ("frameregulator", TksDataSkinFrameRegulatorObject),
    ZV_OBJ("label", TksDataSkinLabel),
    ZV_OBJ("bitlabel", TksDataSkinBitLabel),
    ZV_OBJ("switch", TksDataSkinSwitch),
    ZV_OBJ("animate", TksDataSkinAnimate),
    ZV_OBJ("userobject", TksDataUserObject),
};

constexpr TControlKind kControlKinds[SkinControlKindCount] = {
    ZV_CTL("slider", TksDataSkinSlider),
    ZV_CTL("bevel", TksDataSkinBevel),
    ZV_CTL("panel", TksDataSkinPanelControl),
    ZV_CTL("expanel", TksDataSkinExPanelControl),
    ZV_CTL("menubutton", TksDataSkinMenuButtonControl),
    ZV_CTL("button", TksDataSkinButtonControl),
    ZV_CTL("checkradio", TksDataSkinCheckRadioControl),
    ZV_CTL("gauge", TksDataSkinGaugeControl),
    ZV_CTL("splitter", TksDataSkinSplitterControl),
    ZV_CTL("trackbar", TksDataSkinTrackBarControl),
    ZV_CTL("label", TksDataSkinLabelControl),
    ZV_CTL("stdlabel", TksDataSkinStdLabelControl),
    ZV_CTL("bitlabel", TksDataSkinBitLabelControl),
    ZV_CTL("frameregulator", TksDataSkinFrameRegulator),
    ZV_CTL("framegauge", TksDataSkinFrameGauge),
    ZV_CTL("animate", TksDataSkinAnimateControl),
    ZV_CTL("updown", TksDataSkinUpDownControl),
    ZV_CTL("switch", TksDataSkinSwitchControl),
    ZV_CTL("grid", TksDataSkinGridControl),
    ZV_CTL("tab", TksDataSkinTabControl),
    ZV_CTL("mainmenubar", TksDataSkinMainMenuBar),
    ZV_CTL("controlbar", TksDataSkinControlBar),
    ZV_CTL("memo", TksDataSkinMemoControl),
    ZV_CTL("edit", TksDataSkinEditControl),
    ZV_CTL("checklistbox", TksDataSkinCheckListBox),
    ZV_CTL("listbox", TksDataSkinListBox),
    ZV_CTL("combobox", TksDataSkinComboBox),
    ZV_CTL("scrollbar", TksDataSkinScrollBarControl),
    ZV_CTL("spinedit", TksDataSkinSpinEditControl),
    ZV_CTL("scrollbox", TksDataSkinScrollBoxControl),
    ZV_CTL("treeview", TksDataSkinTreeView),
    ZV_CTL("listview", TksDataSkinListView),
    ZV_CTL("richedit", TksDataSkinRichEdit),
};

#undef ZV_OBJ
#undef ZV_CTL

}  // namespace

const char* const SkinObjectKinds[SkinObjectKindCount] = {
    kObjectKinds[0].kind,  kObjectKinds[1].kind,  kObjectKinds[2].kind,  kObjectKinds[3].kind,
    kObjectKinds[4].kind,  kObjectKinds[5].kind,  kObjectKinds[6].kind,  kObjectKinds[7].kind,
    kObjectKinds[8].kind,  kObjectKinds[9].kind,  kObjectKinds[10].kind, kObjectKinds[11].kind,
    kObjectKinds[12].kind, kObjectKinds[13].kind, kObjectKinds[14].kind, kObjectKinds[15].kind,
};

const char* const SkinControlKinds[SkinControlKindCount] = {
    kControlKinds[0].kind,  kControlKinds[1].kind,  kControlKinds[2].kind,  kControlKinds[3].kind,
    kControlKinds[4].kind,  kControlKinds[5].kind,  kControlKinds[6].kind,  kControlKinds[7].kind,
    kControlKinds[8].kind,  kControlKinds[9].kind,  kControlKinds[10].kind, kControlKinds[11].kind,
    kControlKinds[12].kind, kControlKinds[13].kind, kControlKinds[14].kind, kControlKinds[15].kind,
    kControlKinds[16].kind, kControlKinds[17].kind, kControlKinds[18].kind, kControlKinds[19].kind,
    kControlKinds[20].kind, kControlKinds[21].kind, kControlKinds[22].kind, kControlKinds[23].kind,
    kControlKinds[24].kind, kControlKinds[25].kind, kControlKinds[26].kind, kControlKinds[27].kind,
    kControlKinds[28].kind, kControlKinds[29].kind, kControlKinds[30].kind, kControlKinds[31].kind,
    kControlKinds[32].kind,
};

std::unique_ptr<TksDataSkinObject> CreateSkinObject(const std::string& kind) {
    for (const TObjectKind& k : kObjectKinds)
        if (kind == k.kind) return k.create();
    return nullptr;
}

std::unique_ptr<TksDataSkinControl> CreateSkinControl(const std::string& kind) {
    for (const TControlKind& k : kControlKinds)
        if (kind == k.kind) return k.create();
    return nullptr;
}

}  // namespace zv

// The skin data objects: plain records, one per description section, with
// fields named after the description keys.
//
//   TksDataFieldVisitor     walks a record's keys in reading order (parent
//                           keys first); loading, saving, dumping and the
//                           skin checker are visitors
//   TksDataSkinRecord       common root: VisitFields, LoadFromIni, SaveToIni
//   TksDataSkinControl      control data ([SKINCONTROLS]) and its 33 kinds
//   TksDataSkinObject       frame object data ([SKINOBJECTS]) and its 16 kinds
//   TksDataSkinArea         [SKINAREAS] entries
//   TksDataSkinPopupWindow, TksDataSkinHintWindow, TksDataSkinFormInfo
//   kind tables             CreateSkinObject, CreateSkinControl
#pragma once

#include <memory>
#include <string>

#include "base/Object.h"
#include "base/Types.h"
#include "skin/IniFile.h"
#include "skin/SkinValues.h"

namespace zv {

// Which picture a rect (or point) refers to, so that a checker can test it
// against the right bounds.
enum class TksRectPlace {
    Picture,         // the record's own picture: a control's "pictureindex", an object's active picture
    ObjectSkinRect,  // an object's "skinrect": the main picture, the roll-up picture or the active picture
    MainPicture,     // the frame picture ([FORMINFO])
    MaskPicture,     // the frame mask ([FORMINFO] "maskrectarea")
    Element,         // relative to the top-left corner of "skinrect", within its size
    Other,           // relative to something else; not checked
};

class TksDataFieldVisitor {
public:
    virtual ~TksDataFieldVisitor() = default;
    virtual void Integer(const char* key, int& value, int def) = 0;
    // An index into the active pictures; -1 means none.
    virtual void PictureIndex(const char* key, int& value) = 0;
    virtual void Color(const char* key, TColor& value, TColor def) = 0;
    virtual void Flag(const char* key, bool& value) = 0;
    virtual void Point(const char* key, TPoint& value, TksRectPlace place) = 0;
    virtual void Rect(const char* key, TRect& value, TksRectPlace place) = 0;
    virtual void String(const char* key, std::string& value, const char* def) = 0;
    virtual void FontStyle(const char* key, TFontStyles& value) = 0;
    virtual void Alignment(const char* key, TAlignment& value) = 0;
    virtual void MorphKind(const char* key, TMorphKind& value) = 0;
    virtual void InActiveEffect(const char* key, TInActiveEffect& value) = 0;
    virtual void Command(const char* key, TStdCommand& value) = 0;
};

// Reads every visited key from one section (missing keys give the defaults).
class TksIniLoadVisitor final : public TksDataFieldVisitor {
public:
    TksIniLoadVisitor(const TksMemIniFile& ini, std::string section)
        : m_ini(ini), m_section(std::move(section)) {}
    void Integer(const char* key, int& value, int def) override;
    void PictureIndex(const char* key, int& value) override;
    void Color(const char* key, TColor& value, TColor def) override;
    void Flag(const char* key, bool& value) override;
    void Point(const char* key, TPoint& value, TksRectPlace place) override;
    void Rect(const char* key, TRect& value, TksRectPlace place) override;
    void String(const char* key, std::string& value, const char* def) override;
    void FontStyle(const char* key, TFontStyles& value) override;
    void Alignment(const char* key, TAlignment& value) override;
    void MorphKind(const char* key, TMorphKind& value) override;
    void InActiveEffect(const char* key, TInActiveEffect& value) override;
    void Command(const char* key, TStdCommand& value) override;

private:
    const TksMemIniFile& m_ini;
    std::string m_section;
};

// Writes every visited key into one section in its description format.
class TksIniSaveVisitor final : public TksDataFieldVisitor {
public:
    TksIniSaveVisitor(TksMemIniFile& ini, std::string section) : m_ini(ini), m_section(std::move(section)) {}
    void Integer(const char* key, int& value, int def) override;
    void PictureIndex(const char* key, int& value) override;
    void Color(const char* key, TColor& value, TColor def) override;
    void Flag(const char* key, bool& value) override;
    void Point(const char* key, TPoint& value, TksRectPlace place) override;
    void Rect(const char* key, TRect& value, TksRectPlace place) override;
    void String(const char* key, std::string& value, const char* def) override;
    void FontStyle(const char* key, TFontStyles& value) override;
    void Alignment(const char* key, TAlignment& value) override;
    void MorphKind(const char* key, TMorphKind& value) override;
    void InActiveEffect(const char* key, TInActiveEffect& value) override;
    void Command(const char* key, TStdCommand& value) override;

private:
    TksMemIniFile& m_ini;
    std::string m_section;
};

class TksDataSkinRecord : public TObject {
public:
    TksDataSkinRecord() = default;
    // Runtime objects keep a copy of the record they were made from, with
    // every key it has.
    TksDataSkinRecord(const TksDataSkinRecord&) : TObject() {}
    TksDataSkinRecord& operator=(const TksDataSkinRecord&) { return *this; }
    [[nodiscard]] virtual const char* ClassName() const = 0;
    // Visits the record's keys, the parent class's first. The visitor may
    // change the fields (loading).
    virtual void VisitFields(TksDataFieldVisitor& v) = 0;
    // The IDName of a named entry, else empty.
    [[nodiscard]] virtual std::string RecordName() const { return {}; }
    void LoadFromIni(const TksMemIniFile& ini, const std::string& section);
    // Every field back to the value a missing key gives.
    void ResetFields();
    // Erases the section and writes every key back.
    void SaveToIni(TksMemIniFile& ini, const std::string& section);
    // "key=value" lines of every field, in reading order: the record as the
    // description would give it back.
    [[nodiscard]] std::string Dump();
};

// A named entry of one of the three lists; reads the section named IDName.
class TksDataSkinNamed : public TksDataSkinRecord {
public:
    std::string IDName;
    [[nodiscard]] std::string RecordName() const override { return IDName; }
    using TksDataSkinRecord::LoadFromIni;
    using TksDataSkinRecord::SaveToIni;
    void LoadFromIni(const TksMemIniFile& ini) { TksDataSkinRecord::LoadFromIni(ini, IDName); }
    void SaveToIni(TksMemIniFile& ini) { TksDataSkinRecord::SaveToIni(ini, IDName); }
};

#define ZV_SKIN_RECORD(Name)                               \
    [[nodiscard]] const char* ClassName() const override { \
        return #Name;                                      \
    }

// ---------------------------------------------------------------- controls

class TksDataSkinControl : public TksDataSkinNamed {
public:
    ZV_SKIN_RECORD(TksDataSkinControl)
    int PictureIndex = -1;
    int MaskPictureIndex = -1;
    TRect SkinRect{};
    int CursorIndex = -1;
    void VisitFields(TksDataFieldVisitor& v) override;
};

// Adds the nine-part layout; points and ClientRect are relative to the
// top-left corner of SkinRect.
class TksDataSkinCustomControl : public TksDataSkinControl {
public:
    ZV_SKIN_RECORD(TksDataSkinCustomControl)
    TPoint LeftTopPoint{};
    TPoint RightTopPoint{};
    TPoint LeftBottomPoint{};
    TPoint RightBottomPoint{};
    TRect ClientRect{};
    bool StretchEffect = false;
    void VisitFields(TksDataFieldVisitor& v) override;
};

class TksDataSkinPanelControl : public TksDataSkinCustomControl {
public:
    ZV_SKIN_RECORD(TksDataSkinPanelControl)
    int BGPictureIndex = -1;
    TRect CaptionRect{};
    TAlignment Alignment = TAlignment::taCenter;
    std::string FontName = "Arial";
    int FontHeight = 14;
    TFontStyles FontStyle = 0;
    TColor FontColor = 0;
    TRect CheckImageRect{};
    TRect UnCheckImageRect{};
    TRect MarkFrameRect{};
    TRect FrameRect{};
    TRect FrameTextRect{};
    int FrameLeftOffset = 0;
    int FrameRightOffset = 0;
    void VisitFields(TksDataFieldVisitor& v) override;
};

class TksDataSkinExPanelControl : public TksDataSkinCustomControl {
public:
    ZV_SKIN_RECORD(TksDataSkinExPanelControl)
};

class TksDataSkinStdLabelControl : public TksDataSkinControl {
public:
    ZV_SKIN_RECORD(TksDataSkinStdLabelControl)
    std::string FontName = "Arial";
    int FontHeight = 14;
    TFontStyles FontStyle = 0;
    TColor FontColor = 0;
    TColor ActiveFontColor = 16711680;
    void VisitFields(TksDataFieldVisitor& v) override;
};

class TksDataSkinButtonControl : public TksDataSkinCustomControl {
public:
    ZV_SKIN_RECORD(TksDataSkinButtonControl)
    std::string FontName = "Arial";
    int FontHeight = 14;
    TFontStyles FontStyle = 0;
    TColor FontColor = 0;
    TColor ActiveFontColor = 0;
    TColor DisabledFontColor = 0;
    TColor DownFontColor = 0;
    bool Morphing = false;
    TMorphKind MorphKind = TMorphKind::mkDefault;
    TRect ActiveSkinRect{};
    TRect DownSkinRect{};
    TRect DisabledSkinRect{};
    TRect AnimateSkinRect{};
    int FrameCount = 0;
    int AnimateInterval = 25;
    void VisitFields(TksDataFieldVisitor& v) override;
};

class TksDataSkinMenuButtonControl : public TksDataSkinButtonControl {
public:
    ZV_SKIN_RECORD(TksDataSkinMenuButtonControl)
};

class TksDataSkinListBox : public TksDataSkinCustomControl {
public:
    ZV_SKIN_RECORD(TksDataSkinListBox)
    TRect ItemRect{};
    TRect ActiveItemRect{};
    TRect FocusItemRect{};
    int ItemLeftOffset = 0;
    int ItemRightOffset = 0;
    TRect ItemTextRect{};
    std::string FontName = "Arial";
    int FontHeight = 14;
    TFontStyles FontStyle = 0;
    TColor FontColor = 0;
    TColor ActiveFontColor = 0;
    TColor FocusFontColor = 0;
    TRect CaptionRect{};
    std::string CaptionFontName = "Arial";
    int CaptionFontHeight = 14;
    TFontStyles CaptionFontStyle = 0;
    TColor CaptionFontColor = 0;
    TRect UpButtonRect{};
    TRect ActiveUpButtonRect{};
    TRect DownUpButtonRect{};
    TRect DownButtonRect{};
    TRect ActiveDownButtonRect{};
    TRect DownDownButtonRect{};
    TRect CheckButtonRect{};
    TRect ActiveCheckButtonRect{};
    TRect DownCheckButtonRect{};
    std::string VScrollBarName = "vscrollbar";
    std::string HScrollBarName = "hscrollbar";
    std::string BothHScrollBarName = "bothhscrollbar";
    void VisitFields(TksDataFieldVisitor& v) override;
};

class TksDataSkinCheckListBox : public TksDataSkinListBox {
public:
    ZV_SKIN_RECORD(TksDataSkinCheckListBox)
    TRect CheckImageRect{};
    TRect ItemCheckRect{};
    TRect UnCheckImageRect{};
    void VisitFields(TksDataFieldVisitor& v) override;
};

class TksDataSkinScrollBarControl : public TksDataSkinCustomControl {
public:
    ZV_SKIN_RECORD(TksDataSkinScrollBarControl)
    TRect TrackArea{};
    TRect UpButtonRect{};
    TRect ActiveUpButtonRect{};
    TRect DownUpButtonRect{};
    TRect DownButtonRect{};
    TRect ActiveDownButtonRect{};
    TRect DownDownButtonRect{};
    TRect ThumbRect{};
    TRect ActiveThumbRect{};
    TRect DownThumbRect{};
    int ThumbOffset1 = 0;
    int ThumbOffset2 = 0;
    bool ThumbTransparent = false;
    TColor ThumbTransparentColor = 0;
    TRect GlyphRect{};
    TRect ActiveGlyphRect{};
    TRect DownGlyphRect{};
    void VisitFields(TksDataFieldVisitor& v) override;
};

// Kinds no window of the program shows: recognised so that their entries
// keep their places in the list; they read the keys of their base class.
#define ZV_SKIN_PLAIN(Name, Base) \
    class Name : public Base {    \
    public:                       \
        ZV_SKIN_RECORD(Name)      \
    }

ZV_SKIN_PLAIN(TksDataSkinBevel, TksDataSkinControl);
ZV_SKIN_PLAIN(TksDataSkinSlider, TksDataSkinControl);
ZV_SKIN_PLAIN(TksDataSkinTreeView, TksDataSkinControl);
ZV_SKIN_PLAIN(TksDataSkinRichEdit, TksDataSkinControl);
ZV_SKIN_PLAIN(TksDataSkinListView, TksDataSkinControl);
ZV_SKIN_PLAIN(TksDataSkinMainMenuBar, TksDataSkinControl);
ZV_SKIN_PLAIN(TksDataSkinTabControl, TksDataSkinControl);
ZV_SKIN_PLAIN(TksDataSkinGridControl, TksDataSkinControl);
ZV_SKIN_PLAIN(TksDataSkinFrameControl, TksDataSkinControl);
ZV_SKIN_PLAIN(TksDataSkinAnimateControl, TksDataSkinFrameControl);
ZV_SKIN_PLAIN(TksDataSkinSwitchControl, TksDataSkinFrameControl);
ZV_SKIN_PLAIN(TksDataSkinFrameGauge, TksDataSkinFrameControl);
ZV_SKIN_PLAIN(TksDataSkinFrameRegulator, TksDataSkinFrameControl);
ZV_SKIN_PLAIN(TksDataSkinControlBar, TksDataSkinCustomControl);
ZV_SKIN_PLAIN(TksDataSkinUpDownControl, TksDataSkinCustomControl);
ZV_SKIN_PLAIN(TksDataSkinComboBox, TksDataSkinCustomControl);
ZV_SKIN_PLAIN(TksDataSkinSpinEditControl, TksDataSkinCustomControl);
ZV_SKIN_PLAIN(TksDataSkinEditControl, TksDataSkinCustomControl);
ZV_SKIN_PLAIN(TksDataSkinMemoControl, TksDataSkinEditControl);
ZV_SKIN_PLAIN(TksDataSkinLabelControl, TksDataSkinCustomControl);
ZV_SKIN_PLAIN(TksDataSkinBitLabelControl, TksDataSkinCustomControl);
ZV_SKIN_PLAIN(TksDataSkinTrackBarControl, TksDataSkinCustomControl);
ZV_SKIN_PLAIN(TksDataSkinSplitterControl, TksDataSkinCustomControl);
ZV_SKIN_PLAIN(TksDataSkinGaugeControl, TksDataSkinCustomControl);
ZV_SKIN_PLAIN(TksDataSkinCheckRadioControl, TksDataSkinCustomControl);
ZV_SKIN_PLAIN(TksDataSkinScrollBoxControl, TksDataSkinCustomControl);

// ----------------------------------------------------------------- objects

class TksDataSkinObject : public TksDataSkinNamed {
public:
    ZV_SKIN_RECORD(TksDataSkinObject)
    std::string Hint;
    bool SkinRectInAPicture = false;
    TRect SkinRect{};
    TRect ActiveSkinRect{};
    TRect InActiveSkinRect{};
    bool Morphing = false;
    TMorphKind MorphKind = TMorphKind::mkDefault;
    int ActivePictureIndex = -1;
    int CursorIndex = -1;
    bool RollUp = false;
    void VisitFields(TksDataFieldVisitor& v) override;
};

class TksDataSkinButton : public TksDataSkinObject {
public:
    ZV_SKIN_RECORD(TksDataSkinButton)
    int GroupIndex = -1;
    TRect DownRect{};
    TRect DisableSkinRect{};
    void VisitFields(TksDataFieldVisitor& v) override;
};

class TksDataSkinStdButton : public TksDataSkinButton {
public:
    ZV_SKIN_RECORD(TksDataSkinStdButton)
    TStdCommand Command = TStdCommand::cmDefault;
    TRect RestoreRect{};
    TRect RestoreActiveRect{};
    TRect RestoreDownRect{};
    TRect RestoreInActiveRect{};
    void VisitFields(TksDataFieldVisitor& v) override;
};

ZV_SKIN_PLAIN(TksDataSkinMainMenuBarButton, TksDataSkinStdButton);

class TksDataSkinCaption : public TksDataSkinObject {
public:
    ZV_SKIN_RECORD(TksDataSkinCaption)
    bool DefaultCaption = false;
    TRect TextRect{};
    std::string FontName = "Arial";
    int FontHeight = 14;
    TFontStyles FontStyle = 0;
    TColor FontColor = 0;
    TColor ActiveFontColor = 0;
    TAlignment Alignment = TAlignment::taCenter;
    bool Shadow = false;
    TColor ShadowColor = 0;
    TColor ActiveShadowColor = 0;
    bool Light = false;
    TColor LightColor = 0;
    TColor ActiveLightColor = 0;
    TRect FrameRect{};
    TRect ActiveFrameRect{};
    TRect FrameTextRect{};
    int FrameLeftOffset = 0;
    int FrameRightOffset = 0;
    void VisitFields(TksDataFieldVisitor& v) override;
};

// The entries of skinned popup menus; SkinRect and ActiveSkinRect lie in the
// active picture.
class TksDataSkinMenuItem : public TksDataSkinObject {
public:
    ZV_SKIN_RECORD(TksDataSkinMenuItem)
    int ItemLeftOffset = 0;
    int ItemRightOffset = 0;
    TRect DividerRect{};
    int DividerLeftOffset = 0;
    int DividerRightOffset = 0;
    TRect TextRect{};
    std::string FontName = "Arial";
    int FontHeight = 14;
    TFontStyles FontStyle = 0;
    TColor FontColor = 0;
    TColor ActiveFontColor = 0;
    TColor UnEnabledFontColor = 0;
    bool StretchEffect = false;
    bool DividerStretchEffect = false;
    void VisitFields(TksDataFieldVisitor& v) override;
};

ZV_SKIN_PLAIN(TksDataUserObject, TksDataSkinObject);
ZV_SKIN_PLAIN(TksDataSkinBitLabel, TksDataSkinObject);
ZV_SKIN_PLAIN(TksDataSkinAnimate, TksDataSkinObject);
ZV_SKIN_PLAIN(TksDataSkinLabel, TksDataSkinObject);
ZV_SKIN_PLAIN(TksDataSkinSwitch, TksDataSkinObject);
ZV_SKIN_PLAIN(TksDataSkinGauge, TksDataSkinObject);
ZV_SKIN_PLAIN(TksDataSkinFrameRegulatorObject, TksDataSkinObject);
ZV_SKIN_PLAIN(TksDataSkinFrameGaugeObject, TksDataSkinObject);
ZV_SKIN_PLAIN(TksDataSkinTrackBar, TksDataSkinObject);
ZV_SKIN_PLAIN(TksDataSkinMainMenuItem, TksDataSkinObject);
ZV_SKIN_PLAIN(TksDataSkinMainMenuBarItem, TksDataSkinMainMenuItem);

// ------------------------------------------------------------ stand-alone

class TksDataSkinArea : public TksDataSkinRecord {
public:
    ZV_SKIN_RECORD(TksDataSkinArea)
    std::string IDName;
    TRect AreaRect{};
    [[nodiscard]] std::string RecordName() const override { return IDName; }
    TksDataSkinArea() = default;
    TksDataSkinArea(std::string name, const TRect& rect) : IDName(std::move(name)), AreaRect(rect) {}
    void VisitFields(TksDataFieldVisitor& v) override;
};

class TksDataSkinPopupWindow : public TksDataSkinRecord {
public:
    ZV_SKIN_RECORD(TksDataSkinPopupWindow)
    int WindowPictureIndex = -1;
    int MaskPictureIndex = -1;
    TPoint LeftTopPoint{};
    TPoint RightTopPoint{};
    TPoint LeftBottomPoint{};
    TPoint RightBottomPoint{};
    int CursorIndex = -1;
    TRect ItemsRect{};
    TColor ScrollMarkerColor = 0;
    TColor ScrollMarkerActiveColor = 0;
    bool LeftStretch = false;
    bool RightStretch = false;
    bool TopStretch = false;
    bool BottomStretch = false;
    void VisitFields(TksDataFieldVisitor& v) override;
};

class TksDataSkinHintWindow : public TksDataSkinRecord {
public:
    ZV_SKIN_RECORD(TksDataSkinHintWindow)
    int WindowPictureIndex = -1;
    int MaskPictureIndex = -1;
    TPoint LeftTopPoint{};
    TPoint RightTopPoint{};
    TPoint LeftBottomPoint{};
    TPoint RightBottomPoint{};
    TRect ClientRect{};
    std::string FontName = "Arial";
    int FontHeight = 14;
    TFontStyles FontStyle = 0;
    TColor FontColor = 0;
    bool LeftStretch = false;
    bool RightStretch = false;
    bool TopStretch = false;
    bool BottomStretch = false;
    void VisitFields(TksDataFieldVisitor& v) override;
};

// The frame of a skinned window ([FORMINFO]); coordinates are pixels of the
// main picture. TksSkinData carries these fields as its own.
class TksDataSkinFormInfo : public TksDataSkinRecord {
public:
    ZV_SKIN_RECORD(TksDataSkinFormInfo)
    TPoint LeftTopPoint{};
    TPoint RightTopPoint{};
    TPoint LeftBottomPoint{};
    TPoint RightBottomPoint{};
    TRect ClientRect{};
    int BGPictureIndex = -1;
    int MDIBGPictureIndex = -1;
    bool LeftStretch = false;
    bool RightStretch = false;
    bool TopStretch = false;
    bool BottomStretch = false;
    TRect ButtonsRect{};
    TRect CaptionRect{};
    int ButtonsOffset = 0;
    bool ButtonsInLeft = false;
    TRect MaskRectArea{};
    TPoint HitTestLeftTopPoint{};
    TPoint HitTestRightTopPoint{};
    TPoint HitTestLeftBottomPoint{};
    TPoint HitTestRightBottomPoint{};
    TPoint RollUpLeftPoint{};
    TPoint RollUpRightPoint{};
    TRect MainMenuRect{};
    TRect IconRect{};
    bool MainMenuPopupUp = false;
    int BorderWidth = 0;
    int CursorIndex = -1;
    bool AutoRenderingInActiveImage = false;
    TInActiveEffect InActiveEffect = TInActiveEffect::ieBrightness;
    void VisitFields(TksDataFieldVisitor& v) override;
    // The normalisation run after the keys are read; maskName is the
    // [PICTURES] "mask" name.
    void Normalize(const std::string& maskName);
};

// ------------------------------------------------------------- kind tables

constexpr int SkinObjectKindCount = 16;
constexpr int SkinControlKindCount = 33;
extern const char* const SkinObjectKinds[SkinObjectKindCount];
extern const char* const SkinControlKinds[SkinControlKindCount];

// A new data object of the kind (exact, case-sensitive), or null for an
// unknown kind.
std::unique_ptr<TksDataSkinObject> CreateSkinObject(const std::string& kind);
std::unique_ptr<TksDataSkinControl> CreateSkinControl(const std::string& kind);

}  // namespace zv

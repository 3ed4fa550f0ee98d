// Frame objects: painting of every look, the morph, mouse and commands.
//
//   MorphStepValue                  helper
//   TksActiveSkinObject             looks, morph, enter/leave, events
//   TksSkinButtonObject             down/disabled looks, press and release
//   TksSkinStdButtonObject          commands, restore looks, default look
//   TksSkinCaptionObject            layout kinds, caption looks and text
#include "skinui/SkinFrameObjects.h"

#include <algorithm>

#include "skinui/CanvasText.h"
#include "skinui/SkinEffects.h"
#include "skinui/SkinFont.h"
#include "skinui/paint/BlockTransfer.h"
#include "skinui/paint/Glyphs.h"
#include "skinui/paint/SkinPaint.h"
#include "skinui/paint/TextLayout.h"

namespace zv {

double MorphStepValue(double factor, bool up) {
    // The step is added in extended precision and only then rounded to a
    // double, so five steps leave the factor just short of its end and the
    // sixth one reaches it.
    const long double sum = static_cast<long double>(factor) + (up ? 0.2L : -0.2L);
    const double v = static_cast<double>(sum);
    return std::clamp(v, 0.0, 1.0);
}

namespace {

const TksDataSkinFormInfo& FormInfoOf(const TksSkinData* data) {
    static const TksDataSkinFormInfo none{};
    return data != nullptr ? data->FormInfo() : none;
}

// A copy of `data` as a record of kind T: all of it when it is one,
// otherwise its object part with the rest as missing keys give it.
template <typename T>
std::unique_ptr<T> RecordCopy(const TksDataSkinObject* data) {
    if (const auto* d = dynamic_cast<const T*>(data)) return std::make_unique<T>(*d);
    auto record = std::make_unique<T>();
    if (data != nullptr) static_cast<TksDataSkinObject&>(*record) = *data;
    return record;
}

TRect ToCanvas(const TksFrameCanvas& c, const TRect& r) {
    return OffsetRect(r, -c.Origin.X, -c.Origin.Y);
}

// The map of an object's own pixels: the part of the canvas's map at the
// object's skin place.
TDeviceMap ObjectMap(const TksFrameCanvas& c, const TRect& skinPlace) {
    return c.Map.Part(c.FromSkin(skinPlace));
}

void BlitToCanvas(TksFrameCanvas& canvas, const TRect& objectRect, const TBitmap& look) {
    if (canvas.Bitmap == nullptr || look.Empty()) return;
    const TRect d = ToCanvas(canvas, objectRect);
    CopyBlock(canvas.Bitmap->Pixels(), d.Left, d.Top, look.Pixels(), {0, 0, look.Width(), look.Height()});
}

}  // namespace

TSkinSurface TksFrameCanvas::Surface() const {
    if (Bitmap == nullptr) return {};
    if (Map.IsIdentity()) return TSkinSurface(Bitmap->Pixels());
    return {Bitmap->Pixels(), Map, Pictures};
}

// ---- TksActiveSkinObject ---------------------------------------------------------

TksActiveSkinObject::TksActiveSkinObject(TksFrameObjectOwner* parent, TksSkinData* skinData,
                                         std::unique_ptr<TksDataSkinObject> record)
    : Parent(parent), SkinData(skinData), m_data(std::move(record)) {
    ObjectRect = m_data->SkinRect;
    SkinPlace = ObjectRect;
    if (SkinData != nullptr) {
        Picture = m_data->RollUp ? &SkinData->RollUpPicture() : &SkinData->Picture();
        // An index that names no picture leaves the object without active
        // and down looks; the skin data itself stays as it was read.
        ActivePicture = SkinData->ActivePicture(m_data->ActivePictureIndex);
    }
}

bool TksActiveSkinObject::MorphAllowed() const {
    return Data().Morphing && SkinData != nullptr && SkinData->EnableSkinEffects();
}

bool TksActiveSkinObject::MorphUnderWay() const {
    return (Active && MorphFactor != 1.0) || (!Active && MorphFactor != 0.0);
}

bool TksActiveSkinObject::MorphPending() const {
    return (Active && MorphFactor < 1.0) || (!Active && MorphFactor > 0.0);
}

void TksActiveSkinObject::StartMorphOrRedraw() {
    if (MorphAllowed())
        Parent->StartMorphTimer();
    else
        Parent->RedrawObject(this);
}

void TksActiveSkinObject::MorphStep() {
    if (!MorphAllowed() || !MorphPending()) return;
    MorphFactor = MorphStepValue(MorphFactor, Active);
    Parent->RedrawObject(this);
}

void TksActiveSkinObject::CopyToObject(TksFrameCanvas& canvas, const TksBitmap* pic, const TRect& src) const {
    if (canvas.Bitmap == nullptr || pic == nullptr || pic->Empty() || src.IsEmpty()) return;
    if (canvas.Map.IsIdentity()) {
        StretchBlock(canvas.Bitmap->Pixels(), ToCanvas(canvas, ObjectRect), pic->View(), src);
        return;
    }
    canvas.Surface().Stretch(canvas.FromSkin(SkinPlace), pic->View(), src);
}

TSkinSurface TksActiveSkinObject::ObjectSurface(const TksFrameCanvas& canvas, const TPixelView& own) const {
    if (canvas.Map.IsIdentity()) return TSkinSurface(own);
    return {own, ObjectMap(canvas, SkinPlace), canvas.Pictures};
}

TPixelBuffer TksActiveSkinObject::MakeLook(const TksFrameCanvas& canvas, const TksBitmap* pic,
                                           const TRect& src) const {
    TPixelBuffer look(std::max(ObjectRect.Width(), 0), std::max(ObjectRect.Height(), 0));
    if (pic == nullptr || pic->Empty() || src.IsEmpty() || look.Empty()) return look;
    const TSkinSurface surface = ObjectSurface(canvas, look.View());
    surface.Stretch(surface.Bounds(), pic->View(), src);
    return look;
}

void TksActiveSkinObject::DrawBuffer(TksFrameCanvas& canvas, const TPixelBuffer& look) const {
    if (canvas.Bitmap == nullptr || look.Empty()) return;
    const TRect d = ToCanvas(canvas, ObjectRect);
    CopyBlock(canvas.Bitmap->Pixels(), d.Left, d.Top, look.View(), look.View().Bounds());
}

void TksActiveSkinObject::DrawMorph(TksFrameCanvas& canvas, const TksBitmap* normalPic,
                                    const TRect& normalSrc, const TksBitmap* activePic,
                                    const TRect& activeSrc) const {
    TPixelBuffer normal = MakeLook(canvas, normalPic, normalSrc);
    if (activePic != nullptr && !activeSrc.IsEmpty()) {
        const TPixelBuffer active = MakeLook(canvas, activePic, activeSrc);
        MorphPixels(normal.View(), active.View(), static_cast<int>(Data().MorphKind), MorphFactor);
    }
    DrawBuffer(canvas, normal);
}

void TksActiveSkinObject::PaintObject(TksFrameCanvas& canvas, bool updateAll) {
    if (Enabled && !Parent->IsFormActive() && !Data().InActiveSkinRect.IsEmpty() &&
        ActivePicture != nullptr) {
        CopyToObject(canvas, ActivePicture, Data().InActiveSkinRect);
        return;
    }
    if (MorphAllowed() && MorphUnderWay()) {
        DrawMorph(canvas, NormalPicture(), Data().SkinRect, ActivePicture, Data().ActiveSkinRect);
        return;
    }
    if (Active && !Data().ActiveSkinRect.IsEmpty() && ActivePicture != nullptr) {
        CopyToObject(canvas, ActivePicture, Data().ActiveSkinRect);
        return;
    }
    if (!updateAll && !Data().SkinRectInAPicture) return;
    CopyToObject(canvas, NormalPicture(), Data().SkinRect);
}

void TksActiveSkinObject::MouseDown(int x, int y, TMouseButton button) {
    Parent->NotifyObjectEvent(TksObjectEventKind::MouseDown, *this, x, y, button);
}

void TksActiveSkinObject::MouseUp(int x, int y, TMouseButton button) {
    if (MouseInside) Parent->NotifyObjectEvent(TksObjectEventKind::MouseUp, *this, x, y, button);
}

void TksActiveSkinObject::MouseMove(int x, int y) {
    Parent->NotifyObjectEvent(TksObjectEventKind::MouseMove, *this, x, y, TMouseButton::mbLeft);
}

void TksActiveSkinObject::MouseEnter() {
    MouseInside = true;
    Active = true;
    if (!Data().ActiveSkinRect.IsEmpty()) StartMorphOrRedraw();
    Parent->NotifyObjectEvent(TksObjectEventKind::MouseEnter, *this, 0, 0, TMouseButton::mbLeft);
}

void TksActiveSkinObject::MouseLeave() {
    MouseInside = false;
    Active = false;
    if (!Data().ActiveSkinRect.IsEmpty()) StartMorphOrRedraw();
    Parent->NotifyObjectEvent(TksObjectEventKind::MouseLeave, *this, 0, 0, TMouseButton::mbLeft);
}

// ---- TksSkinButtonObject ---------------------------------------------------------

TksSkinButtonObject::TksSkinButtonObject(TksFrameObjectOwner* parent, TksSkinData* skinData,
                                         const TksDataSkinObject* data)
    : TksSkinButtonObject(parent, skinData, RecordCopy<TksDataSkinButton>(data)) {}

TksSkinButtonObject::TksSkinButtonObject(TksFrameObjectOwner* parent, TksSkinData* skinData,
                                         std::unique_ptr<TksDataSkinButton> record)
    : TksActiveSkinObject(parent, skinData, std::move(record)) {}

void TksSkinButtonObject::SetDown(bool value) {
    Down = value;
    if (Data().DownRect.IsEmpty() && !value) return;
    if (!Data().DownRect.IsEmpty()) {
        if (!value) {
            if (Data().GroupIndex != -1 || HasPopupItems()) Active = false;
            if (MorphAllowed()) Parent->RedrawObject(this);
            StartMorphOrRedraw();
        } else {
            if (MorphAllowed()) MorphFactor = 1.0;
            Parent->RedrawObject(this);
        }
    }
    if (Data().GroupIndex != -1) Parent->ReleaseGroup(this);
}

void TksSkinButtonObject::PaintObject(TksFrameCanvas& canvas, bool updateAll) {
    if (!Enabled && !Data().DisableSkinRect.IsEmpty() && ActivePicture != nullptr) {
        CopyToObject(canvas, ActivePicture, Data().DisableSkinRect);
        return;
    }
    if (Down && !Data().DownRect.IsEmpty() && (Data().GroupIndex != -1 || MouseInside) &&
        ActivePicture != nullptr) {
        CopyToObject(canvas, ActivePicture, Data().DownRect);
        return;
    }
    TksActiveSkinObject::PaintObject(canvas, updateAll);
}

void TksSkinButtonObject::MouseEnter() {
    MouseInside = true;
    Active = true;
    if (!Data().DownRect.IsEmpty() && Down) {
        if (Data().GroupIndex == -1) Parent->RedrawObject(this);
    } else if (!Data().ActiveSkinRect.IsEmpty()) {
        StartMorphOrRedraw();
    }
    Parent->NotifyObjectEvent(TksObjectEventKind::MouseEnter, *this, 0, 0, TMouseButton::mbLeft);
}

void TksSkinButtonObject::MouseLeave() {
    MouseInside = false;
    if (!(Down && !Data().DownRect.IsEmpty() && (HasPopupItems() || Data().GroupIndex != -1))) {
        Active = false;
        if (MorphAllowed() && Down) MorphFactor = 1.0;
        if (!Data().ActiveSkinRect.IsEmpty() || (!Data().DownRect.IsEmpty() && Data().GroupIndex == -1))
            StartMorphOrRedraw();
    }
    Parent->NotifyObjectEvent(TksObjectEventKind::MouseLeave, *this, 0, 0, TMouseButton::mbLeft);
}

void TksSkinButtonObject::MouseDown(int x, int y, TMouseButton button) {
    if (!Enabled) return;
    if (button == TMouseButton::mbLeft && !Down) {
        SetDown(true);
        if (HasPopupItems()) Parent->PopupObjectItems(this);
    }
    TksActiveSkinObject::MouseDown(x, y, button);
}

void TksSkinButtonObject::MouseUp(int x, int y, TMouseButton button) {
    if (!Enabled) return;
    if (button == TMouseButton::mbLeft && !HasPopupItems() && Down && Data().GroupIndex == -1) SetDown(false);
    TksActiveSkinObject::MouseUp(x, y, button);
}

// ---- TksSkinStdButtonObject ------------------------------------------------------

TksSkinStdButtonObject::TksSkinStdButtonObject(TksFrameObjectOwner* parent, TksSkinData* skinData,
                                               const TksDataSkinObject* data)
    : TksSkinButtonObject(parent, skinData, RecordCopy<TksDataSkinStdButton>(data)),
      HasSkinData(dynamic_cast<const TksDataSkinStdButton*>(data) != nullptr) {}

TksSkinStdButtonObject::TksSkinStdButtonObject(TksFrameObjectOwner* parent, TStdCommand command,
                                               const TRect& rect)
    : TksSkinButtonObject(parent, nullptr, RecordCopy<TksDataSkinStdButton>(nullptr)) {
    Data().Command = command;
    Data().SkinRect = rect;
    Data().SkinRectInAPicture = true;
    Data().IDName = CommandToStr(command);
    ObjectRect = rect;
}

bool TksSkinStdButtonObject::InRestoreState() const {
    const TksFrameWindowState w = Parent->WindowState();
    switch (Data().Command) {
        case TStdCommand::cmMaximize: return w.Maximized;
        case TStdCommand::cmMinimize: return w.Minimized;
        case TStdCommand::cmRollUp: return w.RolledUp;
        default: return false;
    }
}

bool TksSkinStdButtonObject::ShowsIcon() const {
    return Data().Command == TStdCommand::cmSysMenu && Parent->ShowsFormIcon() && Data().SkinRectInAPicture;
}

void TksSkinStdButtonObject::PaintObject(TksFrameCanvas& canvas, bool updateAll) {
    if (!HasSkinData) {
        PaintDefault(canvas);
        return;
    }
    if (ShowsIcon()) {
        if (canvas.Bitmap != nullptr) {
            HICON icon = Parent->FormIcon();
            const TRect d = ToCanvas(canvas, ObjectRect);
            if (icon != nullptr)
                DrawIconEx(canvas.Bitmap->Canvas().Handle(), d.Left, d.Top, icon, d.Width(), d.Height(), 0,
                           nullptr, DI_NORMAL);
        }
        MorphFactor = 0.0;
        return;
    }
    if (Enabled && InRestoreState() && !Data().RestoreRect.IsEmpty()) {
        if (!Parent->WindowActive() && !Data().RestoreInActiveRect.IsEmpty())
            CopyToObject(canvas, ActivePicture, Data().RestoreInActiveRect);
        else if (Down && MouseInside && !Data().RestoreDownRect.IsEmpty())
            CopyToObject(canvas, ActivePicture, Data().RestoreDownRect);
        else if (MorphAllowed() && MorphUnderWay())
            DrawMorph(canvas, ActivePicture, Data().RestoreRect, ActivePicture, Data().RestoreActiveRect);
        else if (Active && !Data().RestoreActiveRect.IsEmpty())
            CopyToObject(canvas, ActivePicture, Data().RestoreActiveRect);
        else
            CopyToObject(canvas, ActivePicture, Data().RestoreRect);
        return;
    }
    TksSkinButtonObject::PaintObject(canvas, updateAll);
}

void TksSkinStdButtonObject::PaintDefault(TksFrameCanvas& canvas) const {
    if (canvas.Bitmap == nullptr || ObjectRect.IsEmpty()) return;
    TPixelBuffer b(ObjectRect.Width(), ObjectRect.Height(), ColorToPixel(ColorToRGB(clBtnFace)));
    const bool pressed = Down && MouseInside;
    if (MouseInside) {
        b.Fill(ColorToPixel(pressed ? 11899781 : 13811126));
        DrawRectOutline(b.View(), b.View().Bounds(), ColorToPixel(8388608));
    }
    const TksFrameWindowState w = Parent->WindowState();
    TCaptionGlyph glyph = TCaptionGlyph::Cross;
    switch (Data().Command) {
        case TStdCommand::cmClose: glyph = TCaptionGlyph::Cross; break;
        case TStdCommand::cmMaximize:
            glyph = w.Maximized ? TCaptionGlyph::TwoBoxes : TCaptionGlyph::Box;
            break;
        case TStdCommand::cmMinimize:
            glyph = w.Minimized ? TCaptionGlyph::TwoBoxes : TCaptionGlyph::Underline;
            break;
        case TStdCommand::cmSysMenu: glyph = TCaptionGlyph::Bar; break;
        case TStdCommand::cmRollUp:
            glyph = w.RolledUp ? TCaptionGlyph::DownTriangle : TCaptionGlyph::UpTriangle;
            break;
        case TStdCommand::cmMinimizeToTray: glyph = TCaptionGlyph::Square; break;
        case TStdCommand::cmDefault: return;
    }
    const int shift = pressed ? 1 : 0;
    const TPixel colour = ColorToPixel(ColorToRGB(Enabled ? clBtnText : clBtnShadow));
    DrawCaptionGlyph(b.View(), glyph, b.Width() / 2 - 5 + shift, b.Height() / 2 - 4 + shift, colour);
    DrawBuffer(canvas, b);
}

void TksSkinStdButtonObject::MouseDown(int x, int y, TMouseButton button) {
    (void)x;
    (void)y;
    if (!Enabled || button != TMouseButton::mbLeft || Down) return;
    SetDown(true);
    if (Data().Command == TStdCommand::cmSysMenu) {
        PopupItems = Parent->BuildSystemMenu();
        Parent->PopupObjectItems(this);
    }
}

void TksSkinStdButtonObject::MouseUp(int x, int y, TMouseButton button) {
    if (Data().Command != TStdCommand::cmClose) {
        if (Active && button == TMouseButton::mbLeft) Execute();
        TksSkinButtonObject::MouseUp(x, y, button);
        return;
    }
    // The close command runs last: it may take the window away.
    TksSkinButtonObject::MouseUp(x, y, button);
    if (Active && button == TMouseButton::mbLeft) Execute();
}

void TksSkinStdButtonObject::DblClick() {
    if (Data().Command == TStdCommand::cmSysMenu) Parent->RunCommand(TStdCommand::cmClose);
}

void TksSkinStdButtonObject::Execute() {
    Parent->RunCommand(Data().Command);
}

bool TksSkinStdButtonObject::MorphPending() const {
    if (ShowsIcon()) return false;
    return TksSkinButtonObject::MorphPending();
}

// ---- TksSkinCaptionObject --------------------------------------------------------

TksSkinCaptionObject::TksSkinCaptionObject(TksFrameObjectOwner* parent, TksSkinData* skinData,
                                           const TksDataSkinObject* data)
    : TksActiveSkinObject(parent, skinData, RecordCopy<TksDataSkinCaption>(data)) {}

TCaptionLayout TksSkinCaptionObject::Layout() const {
    const TksDataSkinFormInfo& fi = FormInfoOf(SkinData);
    return CalcCaptionLayout(
        Data().SkinRect, {SkinPlace.Width(), SkinPlace.Height()},
        {fi.ClientRect, fi.LeftTopPoint, fi.RightTopPoint, fi.LeftBottomPoint, fi.RightBottomPoint});
}

void TksSkinCaptionObject::GetLayoutKind(TLayoutKind& kind, int& fixed1, int& fixed2) const {
    const TCaptionLayout l = Layout();
    kind = l.Kind;
    fixed1 = l.Fixed1;
    fixed2 = l.Fixed2;
}

TRect TksSkinCaptionObject::TextRectangle() const {
    return CaptionTextRect(Data(), SkinPlace.Width());
}

void TksSkinCaptionObject::MakeCaptionLook(const TksFrameCanvas& canvas, TBitmap& bmp, const TksBitmap* pic,
                                           const TRect& src) const {
    bmp.SetSize(std::max(ObjectRect.Width(), 0), std::max(ObjectRect.Height(), 0));
    if (pic == nullptr || pic->Empty() || bmp.Empty()) return;
    ComposeCaptionLook(ObjectSurface(canvas, bmp.Pixels()), pic->View(), src, Layout());
}

void TksSkinCaptionObject::DrawCaptionText(const TksFrameCanvas& canvas, TBitmap& bmp, int ox, int oy,
                                           const TRect& clip, bool activeLook, TColor color) const {
    std::string text = Parent->FormCaption();
    if (text.empty() || Data().TextRect.IsEmpty() || bmp.Empty()) return;
    // The rules place the text in skin pixels; the platform draws it on the
    // device pixels at the density's font height, so it stays sharp.
    const TDeviceMap map = canvas.Map.IsIdentity() ? TDeviceMap{} : ObjectMap(canvas, SkinPlace);
    const TDeviceScale scale = map.Scale;
    TCanvas& c = bmp.Canvas();
    c.SetPixelsPerInch(scale.PixelsPerInch());
    AssignSkinFont(c.Font(), &Data(), Parent->DefaultCaptionFont());
    TksCanvasText measure(c);
    const TRect tr = map.ToDevice(TextRectangle());
    FitTextToWidth(measure, text, tr.Width());
    const TSize size = c.TextExtent(text);
    const int y = tr.Top + tr.Height() / 2 - size.cy / 2 + oy;
    int x = tr.Left;
    switch (Data().Alignment) {
        case TAlignment::taLeftJustify: x = tr.Left; break;
        case TAlignment::taRightJustify: x = tr.Right - size.cx; break;
        case TAlignment::taCenter: x = tr.Left + tr.Width() / 2 - size.cx / 2; break;
    }
    x += ox;
    if (!Data().FrameRect.IsEmpty() && ActivePicture != nullptr) {
        const TRect src =
            (activeLook && !Data().ActiveFrameRect.IsEmpty()) ? Data().ActiveFrameRect : Data().FrameRect;
        // The frame piece around the text is as wide as the text in skin
        // pixels and drawn at the density.
        const TRect& ft = Data().FrameTextRect;
        TPixelBuffer piece;
        ComposeHorizontal(ActivePicture->View(), src, Data().FrameLeftOffset, Data().FrameRightOffset, piece,
                          Data().FrameRect.Width() + scale.Unmap(size.cx) - ft.Width(), false);
        if (scale.Identity()) {
            CopyBlock(bmp.Pixels(), x - ft.Left, y - ft.Top, piece.View(), piece.View().Bounds());
        } else if (!piece.Empty()) {
            TPixelBuffer device;
            ResamplePiece(piece.View(), piece.View().Bounds(), scale.Map(piece.Width()),
                          scale.Map(piece.Height()), device);
            CopyBlock(bmp.Pixels(), x - scale.Map(ft.Left), y - scale.Map(ft.Top), device.View(),
                      device.View().Bounds());
        }
    }
    // The light and the shadow lie one skin pixel off the text.
    const int off = scale.Map(1);
    if (Data().Light) {
        c.Font().SetColor(activeLook ? Data().ActiveLightColor : Data().LightColor);
        measure.TextOutClipped(clip, x - off, y - off, text);
    }
    if (Data().Shadow) {
        c.Font().SetColor(activeLook ? Data().ActiveShadowColor : Data().ShadowColor);
        measure.TextOutClipped(clip, x + off, y + off, text);
    }
    c.Font().SetColor(color);
    measure.TextOutClipped(clip, x, y, text);
    GdiFlush();
}

void TksSkinCaptionObject::InActiveEffect(TBitmap& bmp) const {
    if (SkinData == nullptr || !SkinData->FormInfo().AutoRenderingInActiveImage) return;
    FrameInActiveEffect(bmp.Pixels(), static_cast<int>(SkinData->FormInfo().InActiveEffect));
}

void TksSkinCaptionObject::PaintObject(TksFrameCanvas& canvas, bool updateAll) {
    Active = Parent->IsFormActive();
    if (canvas.Bitmap == nullptr || ObjectRect.IsEmpty()) return;
    const TRect own{0, 0, ObjectRect.Width(), ObjectRect.Height()};
    if (!Data().ActiveSkinRect.IsEmpty() && ActivePicture != nullptr && (Active || MorphFactor != 0.0)) {
        TBitmap active;
        MakeCaptionLook(canvas, active, ActivePicture, Data().ActiveSkinRect);
        DrawCaptionText(canvas, active, 0, 0, own, true, Data().ActiveFontColor);
        if ((MorphFactor == 0.0 && Active && !MorphAllowed()) || (Active && MorphFactor == 1.0)) {
            BlitToCanvas(canvas, ObjectRect, active);
            return;
        }
        TBitmap normal;
        MakeCaptionLook(canvas, normal, Picture, Data().SkinRect);
        DrawCaptionText(canvas, normal, 0, 0, own, false, Data().FontColor);
        MorphPixels(normal.Pixels(), active.Pixels(), static_cast<int>(Data().MorphKind), MorphFactor);
        if (!Active) InActiveEffect(normal);
        BlitToCanvas(canvas, ObjectRect, normal);
        return;
    }
    if (updateAll) {
        TBitmap normal;
        MakeCaptionLook(canvas, normal, Picture, Data().SkinRect);
        DrawCaptionText(canvas, normal, 0, 0, own, Active,
                        Active ? Data().ActiveFontColor : Data().FontColor);
        if (!Active) InActiveEffect(normal);
        BlitToCanvas(canvas, ObjectRect, normal);
        return;
    }
    const TRect d = ToCanvas(canvas, ObjectRect);
    DrawCaptionText(canvas, *canvas.Bitmap, d.Left, d.Top, d, Active,
                    Active ? Data().ActiveFontColor : Data().FontColor);
}

void TksSkinCaptionObject::MouseDown(int x, int y, TMouseButton button) {
    TksActiveSkinObject::MouseDown(x, y, button);
}

void TksSkinCaptionObject::MouseUp(int x, int y, TMouseButton button) {
    TksActiveSkinObject::MouseUp(x, y, button);
}

void TksSkinCaptionObject::MouseEnter() {
    MouseInside = true;
    Parent->NotifyObjectEvent(TksObjectEventKind::MouseEnter, *this, 0, 0, TMouseButton::mbLeft);
}

void TksSkinCaptionObject::MouseLeave() {
    MouseInside = false;
    Parent->NotifyObjectEvent(TksObjectEventKind::MouseLeave, *this, 0, 0, TMouseButton::mbLeft);
}

}  // namespace zv

// Frame objects of a skinned window: the caption and the caption buttons
// that TksSkinFrame draws into its non-client area.
//
//   TksFrameCanvas          where an object paints: a bitmap, the window
//                           coordinate of its top-left pixel, and how the
//                           skin pixels of its area lie on it
//   TksFrameObjectOwner     what the objects need of their frame: its
//                           activation, caption and window state, redraw
//                           and the morph timer, commands, the system menu,
//                           group release and the object events
//   TksActiveSkinObject     copy of a [SKINOBJECTS] entry plus its state on
//                           screen: looks (normal, active, inactive, morph),
//                           mouse enter/leave, the morph step
//   TksSkinButtonObject     adds the down and disabled looks, press/release
//   TksSkinStdButtonObject  caption buttons: commands, restore looks, the
//                           default look of the unskinned frame
//   TksSkinCaptionObject    the caption: layout kinds, text with shadow and
//                           light, cut with "..."
//   MorphStepValue          one morph step as the frame's timer makes it
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "base/PixelBuffer.h"
#include "base/Types.h"
#include "skin/SkinData.h"
#include "skinui/paint/DeviceScale.h"
#include "skinui/paint/FrameLayout.h"
#include "skinui/paint/SkinSurface.h"
#include "vcl/Controls.h"
#include "vcl/Graphics.h"
#include "vcl/Menus.h"

namespace zv {

class TksActiveSkinObject;
class TksSkinButtonObject;

// The frame lays its objects out in skin pixels and draws them on the
// window's device pixels: Map is the part of the window's map that the
// bitmap shows, SkinOrigin the skin position of its top-left pixel. At the
// skin's own density both are the identity and SkinOrigin is Origin.
struct TksFrameCanvas {
    TBitmap* Bitmap = nullptr;
    TPoint Origin;  // window coordinate of the bitmap's (0, 0)
    TPoint SkinOrigin{};
    TDeviceMap Map{};
    TScaledPictures* Pictures = nullptr;

    // The bitmap seen in skin pixels.
    [[nodiscard]] TSkinSurface Surface() const;
    // A skin rectangle of the window as a rectangle of that surface.
    [[nodiscard]] TRect FromSkin(const TRect& r) const { return OffsetRect(r, -SkinOrigin.X, -SkinOrigin.Y); }
};

// The morph factor after one step of 0.2 up or down, computed in extended
// precision and stored as a double, clamped to 0 .. 1: from one end to the
// other takes six steps.
double MorphStepValue(double factor, bool up);

enum class TksObjectKind { Object, Button, StdButton, Caption };

// What a caption button's look and glyph depend on of the window.
struct TksFrameWindowState {
    bool Maximized = false;
    bool Minimized = false;
    bool RolledUp = false;
};

enum class TksObjectEventKind { MouseEnter, MouseLeave, MouseDown, MouseUp, MouseMove };

// The frame as its objects see it (TksSkinFrame implements it).
class TksFrameObjectOwner {
public:
    TksFrameObjectOwner() = default;
    TksFrameObjectOwner(const TksFrameObjectOwner&) = delete;
    TksFrameObjectOwner& operator=(const TksFrameObjectOwner&) = delete;

    // The form is active and the application's active form.
    [[nodiscard]] virtual bool IsFormActive() const = 0;
    // The activation the platform last reported to the frame.
    [[nodiscard]] virtual bool WindowActive() const = 0;
    [[nodiscard]] virtual TksFrameWindowState WindowState() const = 0;
    // The caption text, and the font whose character set it is drawn in.
    [[nodiscard]] virtual std::string FormCaption() const = 0;
    [[nodiscard]] virtual const TFont& DefaultCaptionFont() const = 0;
    // Whether a system-menu button shows the form's icon, and the icon.
    [[nodiscard]] virtual bool ShowsFormIcon() const = 0;
    [[nodiscard]] virtual HICON FormIcon() const = 0;
    // Paints one object straight onto the window.
    virtual void RedrawObject(TksActiveSkinObject* object) = 0;
    // The 20 ms timer that steps every pending morph.
    virtual void StartMorphTimer() = 0;
    // Close, maximise or restore, minimise, roll up, send to the tray.
    virtual void RunCommand(TStdCommand command) = 0;
    // The system menu, rebuilt for the window's state.
    virtual TMenuItem* BuildSystemMenu() = 0;
    // Shows a button's popup items below it.
    virtual void PopupObjectItems(TksSkinButtonObject* button) = 0;
    // Releases the first other button of the frame in `button`'s group
    // that is down.
    virtual void ReleaseGroup(TksSkinButtonObject* button) = 0;
    // The frame's object events; x, y and the button only for the mouse
    // button and move events.
    virtual void NotifyObjectEvent(TksObjectEventKind kind, const TksActiveSkinObject& object, int x, int y,
                                   TMouseButton button) = 0;

protected:
    ~TksFrameObjectOwner() = default;
};

class TksActiveSkinObject {
public:
    virtual ~TksActiveSkinObject() = default;
    TksActiveSkinObject(const TksActiveSkinObject&) = delete;
    TksActiveSkinObject& operator=(const TksActiveSkinObject&) = delete;

    [[nodiscard]] virtual TksObjectKind Kind() const { return TksObjectKind::Object; }

    // The object's copy of the record it was made from (the frame replaces
    // the Hint of caption buttons).
    [[nodiscard]] TksDataSkinObject& Data() { return *m_data; }
    [[nodiscard]] const TksDataSkinObject& Data() const { return *m_data; }

    TksFrameObjectOwner* Parent;
    TksSkinData* SkinData = nullptr;
    const TksBitmap* Picture = nullptr;
    const TksBitmap* ActivePicture = nullptr;
    // Where the object is: ObjectRect in window (device) pixels, SkinPlace
    // the same place in the skin pixels the frame is laid out in (equal at
    // the skin's own density).
    TRect ObjectRect{};
    TRect SkinPlace{};
    bool Enabled = true;
    bool Visible = true;
    bool Active = false;
    bool MouseInside = false;
    double MorphFactor = 0.0;

    virtual void PaintObject(TksFrameCanvas& canvas, bool updateAll);
    virtual void DblClick() {}
    virtual void MouseDown(int x, int y, TMouseButton button);
    virtual void MouseUp(int x, int y, TMouseButton button);
    virtual void MouseMove(int x, int y);
    virtual void MouseEnter();
    virtual void MouseLeave();
    [[nodiscard]] virtual bool MorphPending() const;

    // Morphing is allowed when the object morphs and the skin's effects are on.
    [[nodiscard]] bool MorphAllowed() const;
    [[nodiscard]] bool MorphUnderWay() const;
    void StartMorphOrRedraw();
    // One tick of the frame's morph timer.
    void MorphStep();

protected:
    // Looks are taken from `skinData`'s pictures (none without skin data).
    TksActiveSkinObject(TksFrameObjectOwner* parent, TksSkinData* skinData,
                        std::unique_ptr<TksDataSkinObject> record);

    // Copies src of pic onto ObjectRect of the canvas, stretched when the
    // sizes differ. Nothing for a missing picture.
    void CopyToObject(TksFrameCanvas& canvas, const TksBitmap* pic, const TRect& src) const;
    // src of pic stretched to the size of ObjectRect, drawn at the density
    // of `canvas`.
    [[nodiscard]] TPixelBuffer MakeLook(const TksFrameCanvas& canvas, const TksBitmap* pic,
                                        const TRect& src) const;
    // The object's own pixels (ObjectRect's size, (0, 0) its top-left) seen
    // in skin pixels at the density of `canvas`.
    [[nodiscard]] TSkinSurface ObjectSurface(const TksFrameCanvas& canvas, const TPixelView& own) const;
    void DrawBuffer(TksFrameCanvas& canvas, const TPixelBuffer& look) const;
    // The morph between two looks of ObjectRect's size, drawn at its top-left.
    void DrawMorph(TksFrameCanvas& canvas, const TksBitmap* normalPic, const TRect& normalSrc,
                   const TksBitmap* activePic, const TRect& activeSrc) const;
    [[nodiscard]] const TksBitmap* NormalPicture() const {
        return Data().SkinRectInAPicture ? ActivePicture : Picture;
    }

private:
    std::unique_ptr<TksDataSkinObject> m_data;
};

class TksSkinButtonObject : public TksActiveSkinObject {
public:
    TksSkinButtonObject(TksFrameObjectOwner* parent, TksSkinData* skinData, const TksDataSkinObject* data);
    [[nodiscard]] TksObjectKind Kind() const override { return TksObjectKind::Button; }

    [[nodiscard]] TksDataSkinButton& Data() {
        return static_cast<TksDataSkinButton&>(TksActiveSkinObject::Data());
    }
    [[nodiscard]] const TksDataSkinButton& Data() const {
        return static_cast<const TksDataSkinButton&>(TksActiveSkinObject::Data());
    }

    bool Down = false;
    TMenuItem* PopupItems = nullptr;
    bool PopupUp = false;

    void SetDown(bool value);
    void PaintObject(TksFrameCanvas& canvas, bool updateAll) override;
    void MouseDown(int x, int y, TMouseButton button) override;
    void MouseUp(int x, int y, TMouseButton button) override;
    void MouseEnter() override;
    void MouseLeave() override;

protected:
    TksSkinButtonObject(TksFrameObjectOwner* parent, TksSkinData* skinData,
                        std::unique_ptr<TksDataSkinButton> record);
    [[nodiscard]] bool HasPopupItems() const { return PopupItems != nullptr && PopupItems->Count() > 0; }
};

class TksSkinStdButtonObject : public TksSkinButtonObject {
public:
    TksSkinStdButtonObject(TksFrameObjectOwner* parent, TksSkinData* skinData, const TksDataSkinObject* data);
    // A default button of the unskinned frame (no skin data).
    TksSkinStdButtonObject(TksFrameObjectOwner* parent, TStdCommand command, const TRect& rect);
    [[nodiscard]] TksObjectKind Kind() const override { return TksObjectKind::StdButton; }

    [[nodiscard]] TksDataSkinStdButton& Data() {
        return static_cast<TksDataSkinStdButton&>(TksActiveSkinObject::Data());
    }
    [[nodiscard]] const TksDataSkinStdButton& Data() const {
        return static_cast<const TksDataSkinStdButton&>(TksActiveSkinObject::Data());
    }

    // Made from the skin's data (the unskinned frame's buttons are not).
    bool HasSkinData = false;

    [[nodiscard]] bool InRestoreState() const;
    [[nodiscard]] bool ShowsIcon() const;
    void Execute();
    void PaintObject(TksFrameCanvas& canvas, bool updateAll) override;
    void MouseDown(int x, int y, TMouseButton button) override;
    void MouseUp(int x, int y, TMouseButton button) override;
    void DblClick() override;
    [[nodiscard]] bool MorphPending() const override;

private:
    void PaintDefault(TksFrameCanvas& canvas) const;
};

class TksSkinCaptionObject : public TksActiveSkinObject {
public:
    TksSkinCaptionObject(TksFrameObjectOwner* parent, TksSkinData* skinData, const TksDataSkinObject* data);
    [[nodiscard]] TksObjectKind Kind() const override { return TksObjectKind::Caption; }

    // The frame sets DefaultCaption when no caption object of the skin has
    // it. The text drawn is always the form's current caption.
    [[nodiscard]] TksDataSkinCaption& Data() {
        return static_cast<TksDataSkinCaption&>(TksActiveSkinObject::Data());
    }
    [[nodiscard]] const TksDataSkinCaption& Data() const {
        return static_cast<const TksDataSkinCaption&>(TksActiveSkinObject::Data());
    }

    using TLayoutKind = TCaptionLayoutKind;
    // The layout kind and its two fixed lengths (left/right widths or
    // top/bottom heights).
    void GetLayoutKind(TLayoutKind& kind, int& fixed1, int& fixed2) const;
    // The text rectangle in the object's own coordinates (skin pixels).
    [[nodiscard]] TRect TextRectangle() const;

    void PaintObject(TksFrameCanvas& canvas, bool updateAll) override;
    void MouseDown(int x, int y, TMouseButton button) override;
    void MouseUp(int x, int y, TMouseButton button) override;
    void MouseEnter() override;
    void MouseLeave() override;

private:
    [[nodiscard]] TCaptionLayout Layout() const;
    // A look of ObjectRect's size cut from src of pic by the layout kind.
    void MakeCaptionLook(const TksFrameCanvas& canvas, TBitmap& bmp, const TksBitmap* pic,
                         const TRect& src) const;
    // Draws the caption text onto bmp with its (0, 0) at the object's
    // (ox, oy) offset (device pixels); activeLook selects the active colours
    // and frame. The platform draws the text at the canvas's density.
    void DrawCaptionText(const TksFrameCanvas& canvas, TBitmap& bmp, int ox, int oy, const TRect& clip,
                         bool activeLook, TColor color) const;
    void InActiveEffect(TBitmap& bmp) const;
};

}  // namespace zv

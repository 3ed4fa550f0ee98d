// Layout of a skinned window's frame: where the client area, the caption and
// caption-button rows, the mask rectangle and every frame object lie for a
// window of a given size, and the hit test that answers from it. The frame
// computes one such value whenever the window's size, the skin or its frame
// objects change; painting and hit testing read that value and never lay
// anything out themselves.
//
//   THitCode                            the hit-test codes the frame answers
//   TFrameObjectRole, TFrameObjectEntry  what the layout needs of an object
//   TFrameObjectPlace, TFrameLayout     the layout value
//   CalcFrameLayout                     the [FORMINFO] targets for w x h
//   PlaceFrameObjects                   object places: mapped skin rects, the
//                                       caption-button row, the system-menu
//                                       button
//   CalcDefaultFrameLayout              the frame without skin
//   FindFrameObject, HitTestFrame       what lies under a point
//   TCaptionLayout, CalcCaptionLayout   how a caption look is fitted
//   CaptionTextRect                     where a caption's text goes
//   ComposeCaptionLook                  a caption look fitted to its place
//
// Coordinates are window coordinates (0, 0 at the window's top-left pixel)
// unless a function says otherwise.
#pragma once

#include <vector>

#include "base/PixelBuffer.h"
#include "base/Types.h"
#include "skin/SkinDataObjects.h"
#include "skinui/paint/MaskRegion.h"
#include "skinui/paint/SkinPaint.h"

namespace zv {

// The platform's hit-test codes; the values are Windows' own.
enum THitCode : int {
    htClient = 1,
    htCaption = 2,
    htLeft = 10,
    htRight = 11,
    htTop = 12,
    htTopLeft = 13,
    htTopRight = 14,
    htBottom = 15,
    htBottomLeft = 16,
    htBottomRight = 17,
    htObject = 19,  // a part the frame handles itself
};

enum class TFrameObjectRole { Other, Caption, CaptionButton };

// A frame object as the layout sees it, in the frame's object order.
struct TFrameObjectEntry {
    TFrameObjectRole Role = TFrameObjectRole::Other;
    TStdCommand Command = TStdCommand::cmDefault;  // caption buttons only
    TRect SkinRect{};                              // in the main picture
    // What a caption button takes in its row: the size of SkinRect, or the
    // small icon's for a system-menu button that shows the form's icon.
    TSize ButtonSize{};
    bool SkinRectInAPicture = false;
    bool RollUp = false;
    bool Enabled = true;
    bool Visible = true;
};

// An object's place and the flags the hit test reads.
struct TFrameObjectPlace {
    TRect Rect{};
    bool Caption = false;
    bool RollUp = false;
    bool Enabled = true;
    bool Visible = true;
};

struct TFrameLayout {
    bool Skinned = false;
    // The window size the layout was made for.
    int Width = 0;
    int Height = 0;
    // The main picture's size and its [FORMINFO] corner points and client
    // rectangle (picture coordinates).
    TSize Picture{};
    TSkinGeometry Source{};
    // LT', RT', LB', RB' and CL' for the window's size.
    TSkinGeometry Target{};
    // Where the client area is: CL', or the default frame's client area.
    TRect ClientRect{};
    TRect CaptionRect{};
    TRect ButtonsRect{};
    TRect MaskRect{};
    TPoint HitTestLeftTop{};
    TPoint HitTestRightTop{};
    TPoint HitTestLeftBottom{};
    TPoint HitTestRightBottom{};
    // The sizes of the four border strips the frame is painted from.
    TFrameStripSizes Strips{};
    // One per frame object, in the frame's order.
    std::vector<TFrameObjectPlace> Objects;

    // A rectangle of the main picture moved to the window by the corner
    // zones of [FORMINFO] (zone edges excluded); unchanged without skin.
    [[nodiscard]] TRect MapSkinRect(const TRect& r) const;
};

// The targets of [FORMINFO] for a w x h window whose main picture has the
// size `picture`. Without a client rectangle the window keeps the default
// frame's client area (3 pixels of border, a caption of
// `defaultCaptionHeight` + 3 at the top). Leaves Objects empty.
TFrameLayout CalcFrameLayout(const TksDataSkinFormInfo& fi, TSize picture, int w, int h,
                             int defaultCaptionHeight);

// Every object's place: its SkinRect mapped to the window; then the visible
// caption buttons whose look is part of a picture go into the buttons row
// (or the caption row when there is none), close, maximise, minimise, roll
// up, tray and the custom buttons from the row's right end leftwards (from
// its left end rightwards with "buttonsinleft"), "buttonsoffset" apart. The
// first caption object makes room for them and for a system-menu button
// placed at the caption row's left end.
void PlaceFrameObjects(TFrameLayout& layout, const TksDataSkinFormInfo& fi,
                       const std::vector<TFrameObjectEntry>& objects);

// The frame without skin for a w x h window: a 3-pixel border, a caption bar
// `captionHeight` high, square caption buttons of `buttonSize` from the
// right end (close, maximise, minimise, roll up, tray, 1 pixel apart) and
// the system-menu button at the left end. Objects that get no place keep
// their SkinRect.
TFrameLayout CalcDefaultFrameLayout(int w, int h, int captionHeight, int buttonSize,
                                    const std::vector<TFrameObjectEntry>& objects);

// The index of the first object under p that can take the mouse (enabled,
// visible, not a roll-up object); -1 for none.
int FindFrameObject(const TFrameLayout& layout, TPoint p);

// What the frame's state adds to its layout for a hit test.
struct TFrameHitState {
    bool RolledUpOrMinimized = false;
    bool ObjectHovered = false;
    bool MovingOrSizing = false;
    // Sizeable and not maximised: the border sizes the window.
    bool SizingBorder = false;
    int BorderWidth = 0;
    // The window's shape; null for a window without a mask.
    const TComposedMaskRegion* Mask = nullptr;
};

// The hit-test code for p.
int HitTestFrame(const TFrameLayout& layout, const TFrameHitState& state, TPoint p);

// How a caption object's look is fitted to its place: 1:1 when the place
// has the skin rectangle's size; otherwise as a band of the frame by where
// its skin rectangle lies against the corner points, with two fixed ends
// (left and right widths of a horizontal band, top and bottom heights of a
// vertical one) and a tiled middle.
enum class TCaptionLayoutKind { Plain, TopBand, BottomBand, RightBand, LeftBand };
struct TCaptionLayout {
    TCaptionLayoutKind Kind = TCaptionLayoutKind::Plain;
    int Fixed1 = 0;
    int Fixed2 = 0;
    // The whole look is stretched instead: plain, no fixed ends, or corner
    // points that make no frame (RB.x = LT.x or RB.y = LT.y).
    bool Stretched = true;
};
TCaptionLayout CalcCaptionLayout(const TRect& skinRect, TSize place, const TSkinGeometry& corners);

// The caption's text rectangle in the object's own coordinates for a place
// `placeWidth` wide: its text rectangle widened with the object, less the
// frame piece's margins when it has one.
TRect CaptionTextRect(const TksDataSkinCaption& caption, int placeWidth);

// Draws `src` of `picture` over the whole of `target` (a look of the
// caption's place) by `layout`: stretched, or the middle tiled across from
// the start and the fixed ends drawn over it. Nothing for an empty source.
void ComposeCaptionLook(const TPixelView& target, const TPixelView& picture, const TRect& src,
                        const TCaptionLayout& layout);

}  // namespace zv

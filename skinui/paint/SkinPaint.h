// Composition rules of the skin: how a skin element cut out of a picture is
// fitted to the size a window part has on screen.
//
//   TSkinGeometry, TSkinElementGeometry   client rect and corner points
//   TSkinLayout, GetSkinLayout            which composition draws an element
//   ResizeSkinGeometry, CalcSkinTarget    target geometry and size rules
//   TZoneEdges, MapSkinRect               a rectangle moved with the corner zones
//   ComposeNinePart                       nine-part elements (and popups)
//   ComposeHorizontal, ComposeVertical    three-part elements
//   ComposeByClientRect                   corners fixed, edges and centre stretched
//   ComposeFrameStrips, FrameStripSizes,  the four border strips of a frame
//   ComposeTiledStrips
//   DrawSkinElement                       the layout dispatch controls use
//
// All operations are stateless and work on whole rectangles through the
// block transfers of BlockTransfer.h (same stretching mapping everywhere).
// Each composition also draws onto a TSkinSurface (SkinSurface.h): its
// rules run in skin pixels and the surface puts them on device pixels; on a
// surface of the skin's own density the pixels are those of the plain form.
// Coordinates of the geometry are relative to the element's skin rectangle
// unless a function says otherwise. Every target a function sizes starts
// white, so pixels no rule reaches never count as black mask pixels; skin
// values beyond +-2^28 (a damaged description) draw nothing.
#pragma once

#include "base/PixelBuffer.h"
#include "base/Types.h"
#include "skinui/paint/SkinSurface.h"

namespace zv {

// The client rectangle CL and the four corner points of an element, either
// as the skin gives them or moved to a target size (the primed values).
struct TSkinGeometry {
    TRect ClientRect;
    TPoint LeftTop;
    TPoint RightTop;
    TPoint LeftBottom;
    TPoint RightBottom;
    friend bool operator==(const TSkinGeometry&, const TSkinGeometry&) = default;
};

// What a skin section gives for an element of the skin-control kind.
struct TSkinElementGeometry {
    TRect SkinRect;  // in the picture
    TSkinGeometry Geometry;
    bool StretchEffect = false;
};

enum class TSkinLayout : int { None = -1, Fixed = 0, NinePart = 1, Horizontal = 2, Vertical = 3 };

struct TStretchFlags {
    bool Top = false;
    bool Bottom = false;
    bool Left = false;
    bool Right = false;
};

// The four border strips of a window frame. A strip that is not made stays
// 0 x 0.
struct TFrameStrips {
    TPixelBuffer Top;
    TPixelBuffer Bottom;
    TPixelBuffer Left;
    TPixelBuffer Right;
};

TSkinLayout GetSkinLayout(const TSkinElementGeometry& element);

// Moves every corner point and the client rectangle's right/bottom edge with
// a size change of (dW, dH): LT' = LT, RT' = RT + (dW, 0), LB' = LB + (0, dH),
// RB' = RB + (dW, dH), CL' = CL with right + dW and bottom + dH.
TSkinGeometry ResizeSkinGeometry(const TSkinGeometry& g, int dW, int dH);

// The size an element may take for a requested size, and the target values
// its layout recomputes. Values a layout does not recompute keep the skin's.
struct TSkinTarget {
    int Width = 0;
    int Height = 0;
    TSkinGeometry Geometry;
};
TSkinTarget CalcSkinTarget(const TSkinElementGeometry& element, int width, int height);

// How a rectangle that spans two corner zones is recognised. A rectangle
// lying wholly in one zone is always found with the zone's right and bottom
// edges outside it, like every rectangle of this system. For the spanning
// rules the two users differ on purpose: the window frame keeps the edges
// outside (Excluded); the skinned controls count them in (Included), because
// their caption bands often run to the element's right or bottom edge, and
// such a band's exclusive corner lies on the zone's outer edge: with the
// edges outside it would stop stretching with the control.
enum class TZoneEdges { Excluded, Included };

// `r`, given in the coordinates of a sw x sh picture or element whose corner
// points are those of `g`, moved to a target dW wider and dH taller. The four
// corner zones are (0, 0, LT), (RT.x, 0, sw, RT.y), (0, LB.y, LB.x, sh) and
// (RB, sw, sh). A rectangle in one zone moves with it (not at all, right by
// dW, down by dH, or both); one whose top-left corner and bottom-right corner
// lie in two zones stretches between them: top-left to bottom-right grows by
// (dW, dH), along the top grows by dW, along the bottom grows by dW and moves
// down by dH, down the left grows by dH, down the right moves right by dW and
// grows by dH. Any other rectangle stays where it is.
TRect MapSkinRect(const TRect& r, const TSkinGeometry& g, int sw, int sh, int dW, int dH,
                  TZoneEdges spanEdges);

// Sets `target` to w x h and draws a nine-part element into it. `source` is
// in skin-rectangle coordinates, `dest` in target coordinates. Bands are
// tiled unless their stretch flag is set; the client area is tiled when
// `drawClient` is set. Stops after sizing when RB.x = LT.x, RB.y = LT.y or
// the picture is empty.
void ComposeNinePart(const TPixelView& picture, const TRect& skinRect, const TSkinGeometry& source,
                     TPixelBuffer& target, int w, int h, const TSkinGeometry& dest, bool drawClient,
                     TStretchFlags stretch);
// The same onto a surface of the target's size (w x h are its skin size),
// which starts white.
void ComposeNinePart(const TPixelView& picture, const TRect& skinRect, const TSkinGeometry& source,
                     const TSkinSurface& out, const TSkinGeometry& dest, bool drawClient,
                     TStretchFlags stretch);

// Sets `target` to w x (height of r) and draws the fixed left piece (width
// `left`), the fixed right piece (width `right`, drawn second so it covers
// the left one in a narrow target) and the middle, tiled or stretched.
// `r` is in picture coordinates. A middle of width 0 or less draws nothing.
void ComposeHorizontal(const TPixelView& picture, const TRect& r, int left, int right, TPixelBuffer& target,
                       int w, bool stretch);
// The same onto a surface w x (height of r) in skin pixels.
void ComposeHorizontal(const TPixelView& picture, const TRect& r, int left, int right,
                       const TSkinSurface& out, bool stretch);

// The same along y: target (width of r) x h, fixed top and bottom heights.
void ComposeVertical(const TPixelView& picture, const TRect& r, int top, int bottom, TPixelBuffer& target,
                     int h, bool stretch);
void ComposeVertical(const TPixelView& picture, const TRect& r, int top, int bottom, const TSkinSurface& out,
                     bool stretch);

// Nine copies into the already sized `target`: corners 1:1, edges and centre
// stretched, cut at `clientRect` (skin-rectangle coordinates of `r`).
void ComposeByClientRect(const TPixelView& picture, const TRect& r, const TRect& clientRect,
                         const TPixelView& target);
void ComposeByClientRect(const TPixelView& picture, const TRect& r, const TRect& clientRect,
                         const TSkinSurface& target);

// The four border strips of a w x h window from its whole main picture.
// Tiles start at each strip's origin; the fixed pieces are drawn over them.
void ComposeFrameStrips(const TPixelView& picture, const TSkinGeometry& source, const TSkinGeometry& dest,
                        int w, int h, TStretchFlags stretch, TFrameStrips& strips);

// The sizes of the strips ComposeFrameStrips makes for a w x h window; 0 x 0
// for a strip it does not make.
struct TFrameStripSizes {
    TSize Top;
    TSize Bottom;
    TSize Left;
    TSize Right;
};
TFrameStripSizes FrameStripSizes(const TSkinGeometry& source, const TSkinGeometry& dest, int w, int h);

// The same strips drawn straight into the caller's pixels (a platform
// bitmap's, say), which have the sizes FrameStripSizes gives; an empty view
// is a strip not made.
struct TFrameStripViews {
    TPixelView Top;
    TPixelView Bottom;
    TPixelView Left;
    TPixelView Right;
};
void ComposeFrameStrips(const TPixelView& picture, const TSkinGeometry& source, const TSkinGeometry& dest,
                        TStretchFlags stretch, const TFrameStripViews& strips);
// The same strips onto surfaces (parts of the window's surface, each with
// the skin size FrameStripSizes gives); an empty device view is a strip not
// made.
struct TFrameStripSurfaces {
    TSkinSurface Top;
    TSkinSurface Bottom;
    TSkinSurface Left;
    TSkinSurface Right;
};
void ComposeFrameStrips(const TPixelView& picture, const TSkinGeometry& source, const TSkinGeometry& dest,
                        TStretchFlags stretch, const TFrameStripSurfaces& strips);

// The same four strips, always tiled, from a picture (a mask or a separate
// inactive picture) whose (0, 0) is the element's (0, 0). Top and bottom
// middles are tiled from LT'.x and LB'.x.
void ComposeTiledStrips(const TPixelView& picture, const TSkinGeometry& source, const TSkinGeometry& dest,
                        int w, TFrameStrips& strips);

// Draws an element the way the skinned controls do: `target` becomes the
// size CalcSkinTarget allows for w x h, and the element's layout draws it
// (nine-part with the client area tiled, three-part with StretchEffect,
// fixed 1:1). A None layout gives a blank w x h target.
void DrawSkinElement(const TPixelView& picture, const TSkinElementGeometry& element, TPixelBuffer& target,
                     int w, int h);
// The same onto a surface whose skin size is the one CalcSkinTarget allows.
void DrawSkinElement(const TPixelView& picture, const TSkinElementGeometry& element, const TSkinSurface& out);

}  // namespace zv

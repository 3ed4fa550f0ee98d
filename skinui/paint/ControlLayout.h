// Geometry of the skinned controls and of the popup menu's levels: pure
// values from the skin element's numbers and the sizes, shared by the
// controls' painting and input and by the preview tool.
//
//   MapSkinRectToTarget      a rectangle of an element moved with a size change
//   CalcButtonLayout         where a button's glyph and caption go
//   CalcScrollBarGeometry    a scroll bar's track, arrows and thumb
//   ClampScrollPosition, ScrollPositionFromOffset   the scroll bar's range rules
//   PlaceMenuLevel           where a popup menu level goes on the screen
#pragma once

#include "base/Types.h"
#include "skinui/paint/SkinPaint.h"

namespace zv {

// A rectangle given in skin-rectangle coordinates moved to a w x h target of
// the element, the way caption bands follow a panel's size.
TRect MapSkinRectToTarget(const TRect& r, const TSkinElementGeometry& element, TSkinLayout layout, int w,
                          int h);

enum class TksButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

// Where a button's glyph frame and caption go in the caption area: Margin
// -1 centres both, otherwise they keep Margin from the edge the layout
// names; Spacing counts even without a glyph.
struct TksButtonPlacement {
    TPoint Glyph;
    TPoint Text;
};
TksButtonPlacement CalcButtonLayout(const TRect& area, TksButtonLayout layout, int margin, int spacing,
                                    TSize glyph, TSize text);

// ---- scroll bar: the three parts are the thumb, the increasing arrow
// (bottom or right, "up" in the skin's key names) and the decreasing arrow.

struct TksScrollBarMetrics {
    bool Vertical = false;
    int Width = 0;
    int Height = 0;
    int Min = 0;
    int Max = 100;
    int Position = 0;
    int PageSize = 0;
    // Taken off the length of a horizontal bar drawn without skin.
    int BothMarkerWidth = 0;
    bool Skinned = false;
    // Skin element values (used when Skinned): the size of "skinrect", the
    // corner points LB and RT, the element rectangles and the thumb
    // picture's size.
    TSize SkinSize{};
    TPoint LeftBottom{};
    TPoint RightTop{};
    TRect TrackArea{};
    TRect UpButtonRect{};
    TRect DownButtonRect{};
    TSize ThumbSize{};
};

struct TksScrollBarGeometry {
    TRect Track;
    TRect Thumb;
    TRect IncButton;
    TRect DecButton;
    // Travel limits of the thumb's centre along the bar and the thumb's
    // offset within them.
    int Offset1 = 0;
    int Offset2 = 0;
    int ThumbOffset = 0;
    friend bool operator==(const TksScrollBarGeometry&, const TksScrollBarGeometry&) = default;
};

TksScrollBarGeometry CalcScrollBarGeometry(const TksScrollBarMetrics& m);

// Never below min; never above max (or, with a page, max - page + 1).
int ClampScrollPosition(int value, int min, int max, int page);

// The position for a thumb offset `offset` (the start offset plus the mouse
// movement) along the travel Offset1 .. Offset2.
int ScrollPositionFromOffset(int offset, int offset1, int offset2, int min, int max, int page);

// ---- popup menu levels

// What decides where a level goes. Rectangles are in screen coordinates;
// ItemsTop is the top of the level's target items rect (window coordinates).
struct TksMenuPlacement {
    TRect Anchor;
    TRect WorkArea;
    int Width = 0;
    int Height = 0;
    int ItemsTop = 0;
    bool Submenu = false;
    bool PopupUp = false;
    bool Scrolling = false;
    bool ScrollingByLimit = false;
};
// The top-left corner of the level's window.
TPoint PlaceMenuLevel(const TksMenuPlacement& p);

}  // namespace zv

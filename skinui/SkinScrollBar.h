// Skinned scroll bar (unit SkinScrollBar).
//
//   TScrollBarKind              horizontal or vertical
//   TksSkinScrollBar            the control: range / page / position rules,
//                               drawing from the skin's pictures or the plain
//                               look, arrows and track with auto-repeat
//                               (500 ms, then 50 ms), thumb dragging,
//                               keyboard and wheel when it takes the focus
//
// The bar has three parts, indexed 0 thumb, 1 increasing arrow (bottom or
// right, "up" in the skin's key names) and 2 decreasing arrow (top or left).
//
// The geometry is worked out in skin pixels for the bar's skin size and
// drawn through SkinMap() onto the device pixels of its form's density;
// mouse points come back through the same map.
#pragma once

#include <string>

#include "skin/SkinDataObjects.h"
#include "skinui/SkinControlBase.h"
#include "skinui/paint/ControlLayout.h"

namespace zv {

enum class TScrollBarKind { sbHorizontal, sbVertical };

class TksSkinScrollBar : public TksSkinCustomControl {
public:
    enum : int { ptThumb = 0, ptIncButton = 1, ptDecButton = 2 };
    enum TTimerMode : int { tmNone = 0, tmDecrease = 1, tmIncrease = 2, tmPageBack = 3, tmPageForward = 4 };

    explicit TksSkinScrollBar(TComponent* owner);
    ~TksSkinScrollBar() override;

    [[nodiscard]] TScrollBarKind Kind() const { return m_kind; }
    void SetKind(TScrollBarKind value);
    [[nodiscard]] int Min() const { return m_min; }
    void SetMin(int value);
    [[nodiscard]] int Max() const { return m_max; }
    void SetMax(int value);
    [[nodiscard]] int Position() const { return m_position; }
    void SetPosition(int value);
    [[nodiscard]] int PageSize() const { return m_pageSize; }
    // Refused when the page would not fit between the position and max.
    void SetPageSize(int value);
    [[nodiscard]] int SmallChange() const { return m_smallChange; }
    void SetSmallChange(int value);
    [[nodiscard]] int LargeChange() const { return m_largeChange; }
    void SetLargeChange(int value);
    // Stores all four and clamps the position without raising OnChange.
    void SetRange(int min, int max, int page, int position);

    [[nodiscard]] bool CanFocused() const { return m_canFocused; }
    void SetCanFocused(bool value);
    [[nodiscard]] bool Both() const { return m_both; }
    void SetBoth(bool value);
    int BothMarkerWidth = 0;
    std::string BothSkinDataName = "bothhscrollbar";

    TNotifyEvent OnChange;
    TNotifyEvent OnLastChange;
    TNotifyEvent OnPageUp;
    TNotifyEvent OnPageDown;
    TNotifyEvent OnUpButtonClick;
    TNotifyEvent OnDownButtonClick;

    // The geometry for the current size, range and skin (skin pixels).
    [[nodiscard]] TksScrollBarGeometry CalcGeometry();
    // The same rectangles on the bar's device pixels (the travel limits
    // and offset stay in skin pixels).
    [[nodiscard]] TksScrollBarGeometry DeviceGeometry();
    // Part state, for the drawing and for tests.
    [[nodiscard]] bool PartMouseIn(int part) const { return m_parts[part].MouseIn; }
    [[nodiscard]] bool PartDown(int part) const { return m_parts[part].Down; }
    [[nodiscard]] bool Dragging() const { return m_dragging; }
    [[nodiscard]] int TimerMode() const { return m_timerMode; }
    [[nodiscard]] bool TimerRunning() const { return m_timer.Active(); }
    // The scroll-bar data object in use (null when drawn without skin).
    [[nodiscard]] const TksDataSkinScrollBarControl* ScrollBarData() const { return m_barData; }

    void LookUpSkinData() override;
    [[nodiscard]] bool WantsKey(WORD key) const override;

protected:
    void WndProc(TMessage& msg) override;
    void DrawFromSkin(TBitmap& bitmap) override;
    void DrawWithoutSkin(TBitmap& bitmap) override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseLeave() override;
    void KeyDown(WORD& key, TShiftState shift) override;
    void DoEnter() override;
    void DoExit() override;
    void Resize() override;

private:
    struct TPart {
        TRect R;
        bool MouseIn = false;
        bool Down = false;
    };

    [[nodiscard]] TksScrollBarMetrics Metrics() const;
    void UpdateGeometry();
    [[nodiscard]] int PartAt(TPoint p) const;
    void SetActivePart(int part);
    [[nodiscard]] int Along(TPoint p) const { return m_kind == TScrollBarKind::sbVertical ? p.Y : p.X; }
    [[nodiscard]] bool FocusedForLook() const;
    void IncStep();
    void DecStep();
    void PageBack();
    void PageForward();
    void StartTimer(UINT ms);
    void StopTimer();
    void TimerTick();
    void StopPaging();
    void ReleaseParts(TPoint p);
    // A mouse point of the bar's client area in skin pixels.
    [[nodiscard]] TPoint SkinPoint(int x, int y) const { return SkinMap().ToSkin({x, y}); }
    // How the bitmap the drawing got lies on the device: the bar's own map,
    // or the layout's size when the element forced another.
    [[nodiscard]] TDeviceMap DrawingMap(const TBitmap& bitmap) const;
    // Copies the skin values with the replacements for empty pictures.
    void TakeBarData(const TksDataSkinScrollBarControl& d);

    TScrollBarKind m_kind = TScrollBarKind::sbHorizontal;
    int m_min = 0;
    int m_max = 100;
    int m_position = 0;
    int m_pageSize = 0;
    int m_smallChange = 1;
    int m_largeChange = 1;
    bool m_canFocused = false;
    bool m_both = false;
    std::string m_savedSkinDataName;

    TPart m_parts[3];
    TksScrollBarGeometry m_geometry;
    int m_activePart = -1;
    int m_capturedPart = -1;
    TPoint m_mousePos{};
    bool m_mouseButtonHeld = false;
    bool m_dragging = false;
    int m_dragStartCoord = 0;
    int m_dragStartOffset = 0;
    int m_dragStartPosition = 0;
    int m_timerMode = tmNone;
    bool m_waiting = false;
    TTimerId m_timer;

    // The skin values in use; null without scroll-bar skin data.
    const TksDataSkinScrollBarControl* m_barData = nullptr;
    const TksBitmap* m_barPicture = nullptr;
    TRect m_activeUpButtonRect, m_downUpButtonRect;
    TRect m_activeDownButtonRect, m_downDownButtonRect;
    TRect m_thumbRect, m_activeThumbRect, m_downThumbRect;
    TRect m_glyphRect, m_activeGlyphRect, m_downGlyphRect;
};

}  // namespace zv

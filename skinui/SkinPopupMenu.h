// Skinned popup menu (unit SkinPopupMenu): a chain of borderless top-level
// windows, one per open menu level, painted from the skin's popup-window
// picture and its "menuitem" object, or in a plain look without them.
//
//   WM_SKINMENUCLOSED, WM_SKINMENUCOMMAND   what the owner form and the
//                         notify control are told
//   TksSkinMenuItem       one visible entry of a level: state, place, looks
//   TksSkinPopupWindow    one open level: building, sizing, placing,
//                         painting, mouse polling, selection, keyboard,
//                         scrolling with markers, morph steps
//   TksSkinMenu           the menu manager a frame owns: opens the first
//                         level, opens submenus (500 ms delay), runs the
//                         chosen command and closes levels
//
// A level is laid out in skin pixels (its size, EntryRect, the target
// layout, the scroll markers) and shown at the density of the menu's form:
// the pictures and marks are drawn in skin pixels and scaled through
// LevelMap(), the text is drawn on the device pixels at the density's font
// height, and mouse points come back through the same map.
//
// The menu shows and runs framework menu items (vcl/Menus.h); it never owns
// them. The frame around it owns the menu mode (message filter, the messages
// that end a menu) and hands key-downs to the last level's KeyDown.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "skin/SkinData.h"
#include "skinui/paint/ControlLayout.h"
#include "skinui/paint/DeviceScale.h"
#include "skinui/paint/SkinPaint.h"
#include "vcl/Controls.h"
#include "vcl/Forms.h"
#include "vcl/Menus.h"

namespace zv {

constexpr UINT WM_SKINMENUCLOSED = 1228, WM_SKINMENUCOMMAND = 1229;

class TksSkinMenu;
class TksSkinPopupWindow;

class TksSkinMenuItem : public TObject {
public:
    TksSkinMenuItem(TksSkinPopupWindow* window, TMenuItem* item);

    [[nodiscard]] TksSkinPopupWindow* Window() const { return m_window; }
    [[nodiscard]] TMenuItem* MenuItem() const { return m_item; }
    // The window's "menuitem" data (null: the plain look).
    [[nodiscard]] TksDataSkinMenuItem* EntryData() const;
    // The entry data's picture; null when its index is -1 or past the end.
    [[nodiscard]] const TksBitmap* Picture() const { return m_picture; }

    [[nodiscard]] bool IsDivider() const { return m_item->IsLine(); }
    [[nodiscard]] bool Selectable() const { return m_item->Enabled && !IsDivider(); }
    [[nodiscard]] bool HasSubItems() const { return m_item->Count() > 0; }
    [[nodiscard]] bool Highlighted() const { return Active || Down; }
    // Morphing is allowed with window data, the entry data's "morphing" and
    // the skin's effects switched on.
    [[nodiscard]] bool MorphAllowed() const;
    // Height the entry takes in its level (skin pixels).
    [[nodiscard]] int ItemHeight() const;

    // The entry's place in its level, in skin pixels.
    TRect EntryRect{};
    bool Active = false;
    bool Down = false;
    bool Shown = true;
    bool SelectedOnOpen = false;
    double MorphFactor = 0.0;

    // Draws the entry (nothing when not Shown) onto a canvas whose origin is
    // the window's top-left corner.
    void Paint(TCanvas& canvas);
    // The entry's look, highlighted or not, as a bitmap of EntryRect's
    // device size (entry coordinates). Used by Paint and by the morph.
    void DrawLook(TBitmap& bitmap, bool highlighted);

private:
    void DrawSkinLook(TBitmap& bitmap, bool highlighted);
    void DrawDefaultLook(TBitmap& bitmap, bool highlighted);
    // Caption, shortcut, submenu arrow and mark inside the text rect; the
    // plain look draws check marks one pixel further right (markShift).
    // Text and marks onto a bitmap whose pixels are the entry's skin pixels.
    void DrawContent(TBitmap& bitmap, const TRect& textRect, int glyphWidth, int markShift, TColor colour,
                     bool highlighted);
    // The caption, shortcut and (radio) round mark on the device pixels.
    // False when the item draws itself (no marks then).
    bool DrawText(TBitmap& bitmap, const TDeviceMap& map, const TRect& textRect, int glyphWidth,
                  int markShift, TColor colour, bool highlighted);
    // The submenu arrow and the glyph or check mark, in skin pixels.
    void DrawMarks(const TPixelView& view, const TRect& textRect, int markShift, TColor colour);
    // The entry's device pixels seen from its own top-left skin pixel.
    [[nodiscard]] TDeviceMap EntryMap() const;

    TksSkinPopupWindow* m_window;
    TMenuItem* m_item;
    const TksBitmap* m_picture = nullptr;
};

class TksSkinPopupWindow : public TCustomControl {
public:
    // Owned by the manager; skinData may be null (plain look).
    TksSkinPopupWindow(TksSkinMenu* manager, TksSkinData* skinData);
    ~TksSkinPopupWindow() override;

    // Builds the entries of items' sub-items from startIndex on, sizes,
    // places and shows the window (anchor in screen coordinates).
    void ShowLevel(const TRect& anchor, TMenuItem* items, bool popupUp, bool submenu, int startIndex);
    // Keyboard handling while this is the last open level: accelerators,
    // Enter, Esc, Left, Up, Right, Down. Acts only while shown.
    void KeyDown(WORD key);

    [[nodiscard]] TksSkinMenu* Manager() const { return m_manager; }
    [[nodiscard]] TksSkinData* SkinData() const { return m_skinData; }
    [[nodiscard]] TMenuItem* Items() const { return m_items; }
    [[nodiscard]] bool Submenu() const { return m_submenu; }
    // [POPUPWINDOW] data when the skin is loaded and has a window picture.
    [[nodiscard]] const TksDataSkinPopupWindow* WindowData() const { return m_windowData; }
    [[nodiscard]] const TksBitmap* WindowPicture() const { return m_windowPicture; }
    [[nodiscard]] const TksBitmap* WindowMask() const { return m_windowMask; }
    [[nodiscard]] TksDataSkinMenuItem* EntryData() const { return m_entryData; }

    [[nodiscard]] int EntryCount() const { return static_cast<int>(m_entries.size()); }
    [[nodiscard]] TksSkinMenuItem* Entries(int index) const {
        return m_entries.at(static_cast<size_t>(index)).get();
    }
    [[nodiscard]] int IndexOfEntry(const TksSkinMenuItem* entry) const;
    [[nodiscard]] int SelectedEntry() const { return m_selectedEntry; }
    [[nodiscard]] int PreviousEntry() const { return m_previousEntry; }
    [[nodiscard]] int FirstVisibleEntry() const { return m_firstVisibleEntry; }
    [[nodiscard]] int VisibleEntryCount() const { return m_visibleEntryCount; }
    [[nodiscard]] bool Scrolling() const { return m_scrolling; }
    [[nodiscard]] bool ScrollingByLimit() const { return m_scrollingByLimit; }
    // 0 none, 1 up, 2 down.
    [[nodiscard]] int ScrollDirection() const { return m_scrollDirection; }
    // LT', RT', LB', RB' and the target items rect for the window's size.
    [[nodiscard]] const TSkinGeometry& TargetLayout() const { return m_target; }
    [[nodiscard]] const TRect& TargetItemsRect() const { return m_target.ClientRect; }
    [[nodiscard]] int GlyphWidth() const { return m_glyphWidth; }
    [[nodiscard]] TPoint ShowPosition() const { return m_showPosition; }
    [[nodiscard]] bool LevelShown() const { return m_shown; }
    // The font entries are measured and drawn with.
    [[nodiscard]] const TFont& MenuFont() const { return m_menuFont; }
    // The density the level is shown at (its menu form's), its size in skin
    // pixels and how those lie on its device pixels.
    [[nodiscard]] TDeviceScale Scale() const { return m_scale; }
    [[nodiscard]] TSize SkinSize() const { return m_skinSize; }
    [[nodiscard]] TDeviceMap LevelMap() const {
        return TDeviceMap::ForSkinSize(m_skinSize.cx, m_skinSize.cy, m_scale);
    }
    // A rectangle of the level's skin pixels on its device pixels.
    [[nodiscard]] TRect DeviceRect(const TRect& skin) const { return LevelMap().ToDevice(skin); }

    // One tick of the 50 ms mouse polling (the timer calls it).
    void PollMouse();
    // The mouse is at p (window coordinates, device pixels) over this level.
    void TrackPoint(TPoint p);
    // A left-button release at p (window coordinates, device pixels).
    void LeftButtonUp(TPoint p);

    void SelectEntry(int index, bool byMouse);
    void DeselectEntry(int index);
    // Runs the entry: closes the menu and runs the command, or opens the
    // entry's sub-items as the next level.
    void ChooseEntry(int index);
    // Starts the morph or paints the entry at once onto the window.
    void RedrawEntry(int index);
    // The whole level as it looks now, W x H.
    void PaintLevel(TBitmap& bitmap);

    // What a screen reader gets: a menu popup whose entries are menu items
    // (dividers separators) named by their captions, with their shortcut,
    // state and the default action that runs them.
    void AccDescribeSelf(TAccInfo& info) override;
    [[nodiscard]] int AccItemCount() override { return EntryCount(); }
    void AccDescribeItem(int index, TAccInfo& info) override;
    [[nodiscard]] int AccItemAt(TPoint client) override;
    [[nodiscard]] int AccFocusedItem() override { return m_shown ? m_selectedEntry : -1; }
    [[nodiscard]] int AccSelectedItem() override { return m_shown ? m_selectedEntry : -1; }
    void AccPerformDefaultAction(int item) override;

    // Scrolling (only while Scrolling): direction 1 up, 2 down.
    void StartScroll(int direction);
    void StopScroll();
    // One 100 ms step; false when no move was possible (scrolling stopped).
    bool ScrollStep();

protected:
    void CreateParams(TCreateParams& params) override;
    void WndProc(TMessage& msg) override;
    void PaintWindow(HDC dc) override;
    using TWinControl::KeyDown;

private:
    friend class TksSkinMenu;
    void BuildEntries(TMenuItem* items, int startIndex);
    void CalcSize(int& width, int& height);
    void CalcTargetLayout();
    void LayoutEntries();
    void UpdateRegion();
    void MoveSelection(bool forward);
    void ScrollOneEntry(bool up);
    int LastPageStart() const;
    void PaintEntryNow(int index);
    void PaintMarkers(const TPixelView& view);
    void TrackSkinPoint(TPoint p);
    void RedrawMarkers();
    void MorphStep();
    void OnTimer(UINT_PTR id);
    void Retire();

    TksSkinMenu* m_manager;
    TksSkinData* m_skinData;
    TMenuItem* m_items = nullptr;
    bool m_submenu = false;
    const TksDataSkinPopupWindow* m_windowData = nullptr;
    const TksBitmap* m_windowPicture = nullptr;
    const TksBitmap* m_windowMask = nullptr;
    TksDataSkinMenuItem* m_entryData = nullptr;
    std::vector<std::unique_ptr<TksSkinMenuItem>> m_entries;
    int m_selectedEntry = -1;
    int m_previousEntry = -1;
    int m_firstVisibleEntry = 0;
    int m_visibleEntryCount = 0;
    bool m_scrolling = false;
    bool m_scrollingByLimit = false;
    int m_scrollDirection = 0;
    TSkinGeometry m_target;
    int m_glyphWidth = 16;
    TPoint m_showPosition{};
    TPoint m_lastMousePoint{-1, -1};
    bool m_shown = false;
    bool m_retired = false;
    int m_alpha = 0;
    TFont m_menuFont;
    TDeviceScale m_scale;
    TSize m_skinSize{};
    TTimerId m_pollTimer;
    TTimerId m_morphTimer;
    TTimerId m_scrollTimer;
    TTimerId m_alphaTimer;
};

class TksSkinMenu : public TComponent {
public:
    TksSkinMenu(TComponent* owner, TCustomForm* ownerForm);
    ~TksSkinMenu() override;

    // Shows the sub-items of items, from startIndex on, as a new menu; the
    // anchor is in screen coordinates. A menu that is open closes first.
    void PopupMenuItems(TWinControl* notifyControl, TksSkinData* skinData, bool popupUp, TMenuItem* items,
                        const TRect& anchor, int startIndex);
    // Closes all levels, then sends WM_SKINMENUCLOSED to the owner form.
    void CloseMenu();
    // Frees the levels from `level` on, last first; level 0 also stops the
    // submenu timer, tells the notify control and fires OnMenuClose once.
    void CloseLevelsFrom(int level);
    [[nodiscard]] bool MenuOpen() const { return m_menuOpen; }
    [[nodiscard]] int LevelCount() const { return static_cast<int>(m_levels.size()); }
    [[nodiscard]] TksSkinPopupWindow* Level(int index) const;
    [[nodiscard]] int IndexOfLevel(const TksSkinPopupWindow* level) const;

    [[nodiscard]] TCustomForm* OwnerForm() const { return m_ownerForm; }
    [[nodiscard]] TksSkinData* MenuSkinData() const { return m_menuSkinData; }
    [[nodiscard]] TWinControl* NotifyControl() const { return m_notifyControl; }
    [[nodiscard]] const TRect& MenuWorkArea() const { return m_menuWorkArea; }
    [[nodiscard]] TksSkinMenuItem* PendingEntry() const { return m_pendingEntry; }
    [[nodiscard]] bool SubmenuTimerActive() const { return m_submenuTimer.Active(); }

    int MaxMenuItemsInWindow = 0;
    int DefMenuItemHeight = 20;
    TFont DefMenuItemFont;
    bool UseSkinFontInMenu = true;
    bool MenusAlphaBlend = false;
    int MenusAlphaBlendValue = 200;
    bool MenusAlphaBlendAnimation = false;
    TNotifyEvent OnMenuClose;

    // The entry's sub-items open after the 500 ms delay.
    void StartSubmenuTimer(TksSkinMenuItem* entry);
    void StopSubmenuTimer();
    // The submenu timer fired (the pending entry's level forwards it).
    void SubmenuTimerFired();
    // Opens the entry's sub-items as the level after its own.
    void OpenSubmenu(TksSkinMenuItem* entry);

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    friend class TksSkinPopupWindow;
    TCustomForm* m_ownerForm;
    TksSkinData* m_menuSkinData = nullptr;
    TWinControl* m_notifyControl = nullptr;
    TRect m_menuWorkArea{};
    bool m_menuOpen = false;
    std::vector<std::unique_ptr<TksSkinPopupWindow>> m_levels;
    TksSkinMenuItem* m_pendingEntry = nullptr;
    TTimerId m_submenuTimer;
    // Cleared when the manager goes, so that code running a command can tell
    // whether the command freed the manager (and its frame).
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};

}  // namespace zv

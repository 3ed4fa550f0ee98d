// Skinned list controls (unit SkinListControls).
//
//   TksCheckListBoxDataWrapper  per-item state (0 unchecked, 1 checked) and
//                               the caller's item data
//   TksCheckListBox             the inner owner-drawn platform LISTBOX
//                               without non-client area
//                               (a line too wide for it shows its path
//                               shortened in the middle, and hovering it
//                               shows the whole line in the skinned hint)
//   TksSkinCheckListBox         the skinned frame around it: Items,
//                               ItemIndex, SetChecked / IsChecked, the
//                               layout of the list and of the skinned
//                               scroll bar that shows while the items do
//                               not fit
//
// With the skin's "checklistbox" data the items are drawn from its pictures
// (item background by state, check and uncheck pictures, the skin's font);
// without it in the plain look (a 13 x 13 box with a check mark, the text
// from x = 22).
//
// The box, its lines and its bar follow the density of their form: the
// numbers above are skin pixels. A line's pictures are drawn in skin
// pixels for the line's skin size and put on its device pixels through one
// map (ItemMap); its text is drawn on the device pixels at the density's
// font height, and is measured there when a path is shortened.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "base/Strings.h"
#include "skin/SkinDataObjects.h"
#include "skinui/SkinControlBase.h"
#include "skinui/SkinHintWindow.h"
#include "skinui/SkinScrollBar.h"

namespace zv {

class TksSkinCheckListBox;

// Replaces the text drawing of an item: the item bitmap's canvas, the index,
// the item state (ODS_* flags), the text rectangle and the bitmap's height
// and width.
using TksDrawItemEvent = std::function<void(TObject* sender, TCanvas& canvas, int index, UINT state,
                                            TRect textRect, int height, int width)>;

class TksCheckListBoxDataWrapper : public TObject {
public:
    std::intptr_t Data = 0;
    unsigned char State = 0;
};

class TksCheckListBox : public TWinControl {
public:
    TksCheckListBox(TComponent* owner, TksSkinCheckListBox* box);
    ~TksCheckListBox() override;

    TStrings& Items() { return *m_items; }
    [[nodiscard]] int ItemIndex();
    void SetItemIndex(int index);
    [[nodiscard]] int ItemHeight() const { return m_itemHeight; }
    void SetItemHeight(int h);

    [[nodiscard]] unsigned char State(int index);
    void SetState(int index, unsigned char state);
    [[nodiscard]] std::intptr_t ItemData(int index);
    void SetItemData(int index, std::intptr_t data);
    // 0 becomes 1 and 1 becomes 0; other states stay; out-of-range indices
    // are ignored.
    void ToggleChecked(int index);
    [[nodiscard]] TRect ItemRect(int index);
    void InvalidateItem(int index, bool updateNow);
    [[nodiscard]] int TopIndex();
    // The check box hot spot of an item drawn at the list's left edge
    // (item coordinates on the device, right and bottom edges excluded).
    [[nodiscard]] TRect CheckHotSpot(int itemWidth);
    // How a line of w x h device pixels shows its skin pixels.
    [[nodiscard]] TDeviceMap ItemMap(int w, int h) const;

    // The line as drawn: the whole text, or its path shortened in the middle
    // when it is wider than the line's text area.
    [[nodiscard]] std::string ShownText(int index);
    // The hint that shows a shortened line whole while the mouse rests on
    // it (null until first needed), and the line it shows.
    [[nodiscard]] TksSkinHintWindow* Hint() const { return m_hint.get(); }
    [[nodiscard]] int HintIndex() const { return m_hint && m_hint->Showing() ? m_hoverIndex : -1; }
    // Shows the hint for line `index` now when that line is shortened
    // (what resting the mouse on it does after the hint delay); false when
    // it is not. The hint goes once the mouse is not on that line, the list
    // is hidden or the program is at work (the hourglass shows); resting
    // the mouse brings none up meanwhile.
    bool ShowHintFor(int index);
    void HideHint();

    TNotifyEvent OnClickCheck;

    [[nodiscard]] bool WantsKey(WORD key) const override {
        return key == VK_UP || key == VK_DOWN || key == VK_LEFT || key == VK_RIGHT;
    }

    // What a screen reader gets: a list (named by the box's caption) whose
    // lines are check buttons named by their whole text, with their checked,
    // selected and focused states; the default action toggles the line.
    void AccDescribeSelf(TAccInfo& info) override;
    [[nodiscard]] int AccItemCount() override;
    void AccDescribeItem(int index, TAccInfo& info) override;
    [[nodiscard]] int AccItemAt(TPoint client) override;
    [[nodiscard]] int AccFocusedItem() override;
    [[nodiscard]] int AccSelectedItem() override;
    bool AccSelectItem(int index, long flags) override;
    void AccPerformDefaultAction(int item) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    void WndProc(TMessage& msg) override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void KeyPress(char& key) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseLeave() override;

private:
    friend class TListBoxStrings;
    friend class TksSkinCheckListBox;
    [[nodiscard]] TksCheckListBoxDataWrapper* Wrapper(int index, bool create);
    void FreeWrappers();
    void DrawItem(const DRAWITEMSTRUCT& dis);
    void DrawSkinItem(TBitmap& bmp, int index, bool selected, bool focused);
    void DrawPlainItem(TBitmap& bmp, int index, bool selected, bool focused);
    void EraseBelowItems(HDC dc);
    // An empty list paints only its background: the platform list would
    // paint a blank row with a focus rectangle for the caret.
    void PaintEmpty();
    void ScrollStateChanged();
    // Tells readers about a move of the selection (and, with the focus
    // here, of the focus) since the last report.
    void ReportSelection();
    // Drawn from the skin's pictures (else the plain look).
    [[nodiscard]] bool Skinned();
    // The hot spot in the skin pixels of a line sw x sh skin pixels large.
    [[nodiscard]] TRect SkinCheckHotSpot(int sw, int sh);
    // The device width the text of a line w x h device pixels large may
    // take, and the font it is drawn in (its colour aside).
    [[nodiscard]] int LineTextWidth(int w, int h, bool skinned) const;
    void AssignLineFont(TFont& font, bool skinned);
    void ForgetHover();
    // The mouse at (x, y) of the list: the line under it becomes the one
    // hovered, its hint delay starting when it is shortened.
    void HoverAt(int x, int y);
    void PollHint();

    TksSkinCheckListBox* m_box;
    std::unique_ptr<TStrings> m_items;
    int m_itemHeight = 20;
    // Item texts and states kept while the window does not exist.
    std::vector<std::string> m_savedTexts;
    std::vector<std::pair<unsigned char, std::intptr_t>> m_savedStates;
    int m_savedIndex = -1;
    int m_reportedSelection = -1;
    std::unique_ptr<TksSkinHintWindow> m_hint;
    int m_hoverIndex = -1;
    TTimerId m_hintTimer;
    TTimerId m_hintPoll;
};

class TksSkinCheckListBox : public TksSkinCustomControl {
public:
    explicit TksSkinCheckListBox(TComponent* owner);
    ~TksSkinCheckListBox() override;

    TStrings& Items() { return m_list->Items(); }
    [[nodiscard]] int ItemIndex() { return m_list->ItemIndex(); }
    void SetItemIndex(int i) { m_list->SetItemIndex(i); }
    void SetChecked(int index, bool value);
    [[nodiscard]] bool IsChecked(int index);
    [[nodiscard]] TksCheckListBox& ListBox() { return *m_list; }
    // The skinned scroll bar while the items do not fit, else null.
    [[nodiscard]] TksSkinScrollBar* ScrollBar() const { return m_scrollBar; }
    // The check list data in use (null when drawn without skin).
    [[nodiscard]] const TksDataSkinCheckListBox* CheckListData() const { return m_listData; }

    bool UseSkinItemHeight = true;
    [[nodiscard]] int DefaultItemHeight() const { return m_defaultItemHeight; }
    void SetDefaultItemHeight(int h);
    int Columns = 0;
    int RowCount = 0;
    bool CaptionMode = false;
    int DefaultCaptionHeight = 20;

    TMouseEvent OnListBoxMouseDown;
    TKeyPressEvent OnListBoxKeyPress;
    TNotifyEvent OnListBoxClick;
    TksDrawItemEvent OnDrawItem;

    void LookUpSkinData() override;
    void ApplySkinChange() override;
    // A new density: the lines take their height at it, and the list and
    // the bar their places (with or without skin).
    void ScaleChanged() override;
    // Places the inner list and the scroll bar in the box (redone on
    // resizing, when the bar comes or goes and on skin changes).
    void LayoutList();
    // Shows, updates or frees the scroll bar from the inner list's scroll
    // state.
    void UpdateScrollBar();

protected:
    void DrawWithoutSkin(TBitmap& bitmap) override;
    void Resize() override;
    void Notification(TComponent* component, TOperation operation) override;

private:
    friend class TksCheckListBox;
    void ScrollBarChange(TObject* sender);
    void FreeScrollBar();
    // The client rectangle CL' for the current size (skin data only).
    [[nodiscard]] TRect SkinClientRect() const;
    [[nodiscard]] int ListItemHeight() const;
    void PlaceListAndBar();

    TksCheckListBox* m_list = nullptr;
    TksSkinScrollBar* m_scrollBar = nullptr;
    int m_defaultItemHeight = 20;
    bool m_updatingBar = false;
    bool m_layingOut = false;
    bool m_layoutAgain = false;

    // The skin values in use, with empty item pictures replaced.
    const TksDataSkinCheckListBox* m_listData = nullptr;
    TRect m_activeItemRect;
    TRect m_focusItemRect;
};

}  // namespace zv

// Skinned list controls (unit SkinListControls).
//
//   TksCheckListBoxDataWrapper  per-item state (0 unchecked, 1 checked) and
//                               the caller's item data
//   TksCheckListBox             the inner owner-drawn platform LISTBOX
//                               without non-client area
//   TksSkinCheckListBox         the skinned frame around it: Items,
//                               ItemIndex, SetChecked / IsChecked
//
// Items are drawn in their look without skin data (a 13 x 13 box with a check
// mark, the text from x = 22); drawing from the skin's pictures and the
// skinned scroll bar are not built yet.
#pragma once

#include <memory>
#include <vector>

#include "base/Strings.h"
#include "skinui/SkinControls.h"

namespace zv {

class TksSkinCheckListBox;

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

    TNotifyEvent OnClickCheck;

    [[nodiscard]] bool WantsKey(WORD key) const override {
        return key == VK_UP || key == VK_DOWN || key == VK_LEFT || key == VK_RIGHT;
    }

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    void WndProc(TMessage& msg) override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void KeyPress(char& key) override;

private:
    friend class TListBoxStrings;
    [[nodiscard]] TksCheckListBoxDataWrapper* Wrapper(int index, bool create);
    void FreeWrappers();
    void DrawItem(const DRAWITEMSTRUCT& dis);

    TksSkinCheckListBox* m_box;
    std::unique_ptr<TStrings> m_items;
    int m_itemHeight = 20;
    // Item texts and states kept while the window does not exist.
    std::vector<std::string> m_savedTexts;
    std::vector<std::pair<unsigned char, std::intptr_t>> m_savedStates;
    int m_savedIndex = -1;
};

class TksSkinCheckListBox : public TksSkinCustomControl {
public:
    explicit TksSkinCheckListBox(TComponent* owner);

    TStrings& Items() { return m_list->Items(); }
    [[nodiscard]] int ItemIndex() { return m_list->ItemIndex(); }
    void SetItemIndex(int i) { m_list->SetItemIndex(i); }
    void SetChecked(int index, bool value);
    [[nodiscard]] bool IsChecked(int index);
    [[nodiscard]] TksCheckListBox& ListBox() { return *m_list; }

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

    void ApplySkinChange() override;
    // Places the inner list in the box (redone on resizing and item changes).
    void LayoutList();

protected:
    void DrawWithoutSkin(TBitmap& bitmap) override;
    void Resize() override;

private:
    friend class TksCheckListBox;

    TksCheckListBox* m_list = nullptr;
    int m_defaultItemHeight = 20;
};

}  // namespace zv

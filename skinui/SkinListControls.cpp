#include "skinui/SkinListControls.h"

#include <algorithm>

#include "base/Exceptions.h"
#include "base/SysUtils.h"
#include "skinui/paint/Glyphs.h"

namespace zv {

namespace {
TPixel SysPixel(TColor c) {
    return ColorToPixel(ColorToRGB(c));
}
}  // namespace

// The lines of the inner list: kept by the platform window, which is made
// when the first line is touched.
class TListBoxStrings : public TStrings {
public:
    explicit TListBoxStrings(TksCheckListBox& list) : m_list(list) {}

    [[nodiscard]] int Count() const override {
        return static_cast<int>(SendMessageA(m_list.Handle(), LB_GETCOUNT, 0, 0));
    }
    [[nodiscard]] std::string Get(int index) const override {
        CheckIndex(index);
        const auto len = SendMessageA(m_list.Handle(), LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
        std::string s(static_cast<size_t>(std::max<LRESULT>(len, 0)) + 1, '\0');
        SendMessageA(m_list.Handle(), LB_GETTEXT, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(s.data()));
        s.resize(static_cast<size_t>(std::max<LRESULT>(len, 0)));
        return s;
    }
    void Insert(int index, const std::string& s) override {
        if (index < 0 || index > Count()) Error(SListIndexError, index);
        SendMessageA(m_list.Handle(), LB_INSERTSTRING, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(s.c_str()));
        Changed();
    }
    void Delete(int index) override {
        CheckIndex(index);
        delete m_list.Wrapper(index, false);
        SendMessageA(m_list.Handle(), LB_DELETESTRING, static_cast<WPARAM>(index), 0);
        Changed();
    }
    void Clear() override {
        m_list.FreeWrappers();
        SendMessageA(m_list.Handle(), LB_RESETCONTENT, 0, 0);
        Changed();
    }
    // Per-line objects are the state wrappers; callers' data goes through
    // the list's ItemData.
    [[nodiscard]] TObject* Objects(int index) const override {
        CheckIndex(index);
        return m_list.Wrapper(index, false);
    }

protected:
    void SetUpdateState(bool updating) override {
        SendMessageA(m_list.Handle(), WM_SETREDRAW, updating ? FALSE : TRUE, 0);
        if (!updating) {
            InvalidateRect(m_list.Handle(), nullptr, TRUE);
            Changed();
        }
    }

private:
    void CheckIndex(int index) const {
        if (index < 0 || index >= Count()) Error(SListIndexError, index);
    }
    void Changed() {
        if (!Updating() && m_list.m_box) m_list.m_box->LayoutList();
    }
    TksCheckListBox& m_list;
};

// ---- TksCheckListBox ------------------------------------------------------------

TksCheckListBox::TksCheckListBox(TComponent* owner, TksSkinCheckListBox* box)
    : TWinControl(owner), m_box(box), m_items(std::make_unique<TListBoxStrings>(*this)) {
    SetTabStop(true);
    SetColor(clWindow);
}

TksCheckListBox::~TksCheckListBox() {
    if (HandleAllocated()) FreeWrappers();
}

void TksCheckListBox::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.SubClassOf = "LISTBOX";
    params.WinClassName = "ZvCheckListBox";
    // No border, no 3-D look; owner-drawn rows of one height.
    params.Style |=
        LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP;
    params.Style &= ~static_cast<DWORD>(WS_BORDER);
    params.ExStyle &= ~static_cast<DWORD>(WS_EX_CLIENTEDGE);
}

void TksCheckListBox::CreateWnd() {
    TWinControl::CreateWnd();
    SendMessageA(HandleOrNull(), LB_SETITEMHEIGHT, 0, m_itemHeight);
    // Lines and states kept while there was no window come back in order.
    for (size_t i = 0; i < m_savedTexts.size(); ++i)
        SendMessageA(HandleOrNull(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(m_savedTexts[i].c_str()));
    for (size_t i = 0; i < m_savedStates.size() && i < m_savedTexts.size(); ++i) {
        if (m_savedStates[i].first != 0 || m_savedStates[i].second != 0) {
            TksCheckListBoxDataWrapper* w = Wrapper(static_cast<int>(i), true);
            w->State = m_savedStates[i].first;
            w->Data = m_savedStates[i].second;
        }
    }
    if (m_savedIndex >= 0) SendMessageA(HandleOrNull(), LB_SETCURSEL, static_cast<WPARAM>(m_savedIndex), 0);
    m_savedTexts.clear();
    m_savedStates.clear();
    m_savedIndex = -1;
}

void TksCheckListBox::DestroyWnd() {
    if (HandleAllocated() && !IsDestroying()) {
        const int n = static_cast<int>(SendMessageA(HandleOrNull(), LB_GETCOUNT, 0, 0));
        m_savedTexts.clear();
        m_savedStates.clear();
        for (int i = 0; i < n; ++i) {
            m_savedTexts.push_back(m_items->Get(i));
            const TksCheckListBoxDataWrapper* w = Wrapper(i, false);
            m_savedStates.emplace_back(w ? w->State : 0, w ? w->Data : 0);
        }
        m_savedIndex = static_cast<int>(SendMessageA(HandleOrNull(), LB_GETCURSEL, 0, 0));
    }
    if (HandleAllocated()) FreeWrappers();
    TWinControl::DestroyWnd();
}

TksCheckListBoxDataWrapper* TksCheckListBox::Wrapper(int index, bool create) {
    const LRESULT data = SendMessageA(Handle(), LB_GETITEMDATA, static_cast<WPARAM>(index), 0);
    if (data == LB_ERR) throw EListError(Format(SListIndexError, index));
    auto* w = reinterpret_cast<TksCheckListBoxDataWrapper*>(data);
    if (!w && create) {
        w = new TksCheckListBoxDataWrapper();
        SendMessageA(Handle(), LB_SETITEMDATA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(w));
    }
    return w;
}

void TksCheckListBox::FreeWrappers() {
    const int n = static_cast<int>(SendMessageA(HandleOrNull(), LB_GETCOUNT, 0, 0));
    for (int i = 0; i < n; ++i) {
        const LRESULT data = SendMessageA(HandleOrNull(), LB_GETITEMDATA, static_cast<WPARAM>(i), 0);
        if (data != LB_ERR && data != 0) {
            delete reinterpret_cast<TksCheckListBoxDataWrapper*>(data);
            SendMessageA(HandleOrNull(), LB_SETITEMDATA, static_cast<WPARAM>(i), 0);
        }
    }
}

int TksCheckListBox::ItemIndex() {
    return static_cast<int>(SendMessageA(Handle(), LB_GETCURSEL, 0, 0));
}

void TksCheckListBox::SetItemIndex(int index) {
    SendMessageA(Handle(), LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void TksCheckListBox::SetItemHeight(int h) {
    if (h <= 0) return;
    m_itemHeight = h;
    if (HandleAllocated()) {
        SendMessageA(HandleOrNull(), LB_SETITEMHEIGHT, 0, h);
        Invalidate();
    }
}

unsigned char TksCheckListBox::State(int index) {
    const TksCheckListBoxDataWrapper* w = Wrapper(index, false);
    return w ? w->State : 0;
}

void TksCheckListBox::SetState(int index, unsigned char state) {
    Wrapper(index, true)->State = state;
}

std::intptr_t TksCheckListBox::ItemData(int index) {
    const TksCheckListBoxDataWrapper* w = Wrapper(index, false);
    return w ? w->Data : 0;
}

void TksCheckListBox::SetItemData(int index, std::intptr_t data) {
    Wrapper(index, true)->Data = data;
}

TRect TksCheckListBox::ItemRect(int index) {
    RECT r{};
    SendMessageA(Handle(), LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
    return {r.left, r.top, r.right, r.bottom};
}

void TksCheckListBox::InvalidateItem(int index, bool updateNow) {
    if (!HandleAllocated()) return;
    const TRect r = ItemRect(index);
    RECT rc{r.Left, r.Top, r.Right, r.Bottom};
    ::InvalidateRect(HandleOrNull(), &rc, FALSE);
    if (updateNow) UpdateWindow(HandleOrNull());
}

void TksCheckListBox::ToggleChecked(int index) {
    if (index < 0 || index >= m_items->Count()) return;
    TksCheckListBoxDataWrapper* w = Wrapper(index, true);
    if (w->State == 0)
        w->State = 1;
    else if (w->State == 1)
        w->State = 0;
    InvalidateItem(index, true);
    if (OnClickCheck) OnClickCheck(this);
}

void TksCheckListBox::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    const LRESULT hit = SendMessageA(HandleOrNull(), LB_ITEMFROMPOINT, 0, MAKELPARAM(x, y));
    const int index = LOWORD(hit);
    if (HIWORD(hit) == 0 && index < m_items->Count()) {
        const TRect r = ItemRect(index);
        // The check box: less than 20 pixels right of the line's left edge.
        if (x - r.Left < 20) ToggleChecked(index);
    }
    TWinControl::MouseDown(button, shift, x, y);
    if (m_box && m_box->OnListBoxMouseDown) m_box->OnListBoxMouseDown(m_box, button, shift, x, y);
}

void TksCheckListBox::KeyPress(char& key) {
    TWinControl::KeyPress(key);
    if (key == ' ') ToggleChecked(ItemIndex());
    if (m_box && m_box->OnListBoxKeyPress) m_box->OnListBoxKeyPress(m_box, key);
}

void TksCheckListBox::WndProc(TMessage& msg) {
    switch (msg.Msg) {
        case WM_NCCALCSIZE:
            // No non-client area: the list's own scroll bar is never shown.
            msg.Result = 0;
            return;
        case WM_NCPAINT: msg.Result = 0; return;
        case WM_ERASEBKGND: {
            // The space below the last line in the window colour.
            HDC dc = reinterpret_cast<HDC>(msg.WParam);
            RECT r;
            GetClientRect(HandleOrNull(), &r);
            const int n = static_cast<int>(SendMessageA(HandleOrNull(), LB_GETCOUNT, 0, 0));
            const int top = static_cast<int>(SendMessageA(HandleOrNull(), LB_GETTOPINDEX, 0, 0));
            r.top = std::max(0, (n - top) * m_itemHeight);
            if (r.top < r.bottom) {
                HBRUSH b = CreateSolidBrush(ToColorRef(clWindow));
                FillRect(dc, &r, b);
                DeleteObject(b);
            }
            msg.Result = 1;
            return;
        }
        case CN_BASE + WM_MEASUREITEM: {
            auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(msg.LParam);
            mis->itemHeight = static_cast<UINT>(m_itemHeight);
            msg.Result = TRUE;
            return;
        }
        case CN_BASE + WM_DRAWITEM:
            DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(msg.LParam));
            msg.Result = TRUE;
            return;
        case CN_BASE + WM_COMMAND:
            if (HIWORD(msg.WParam) == LBN_SELCHANGE && m_box && m_box->OnListBoxClick)
                m_box->OnListBoxClick(m_box);
            return;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            // The platform list selects first, then the press toggles.
            DefaultHandler(msg);
            if (Enabled()) {
                TMessage m = msg;
                TControl::WndProc(m);
            }
            return;
        default: break;
    }
    TWinControl::WndProc(msg);
}

void TksCheckListBox::DrawItem(const DRAWITEMSTRUCT& dis) {
    if (dis.itemID == static_cast<UINT>(-1)) return;
    const int index = static_cast<int>(dis.itemID);
    const TRect r{dis.rcItem.left, dis.rcItem.top, dis.rcItem.right, dis.rcItem.bottom};
    const int w = r.Width();
    const int h = r.Height();
    if (w <= 0 || h <= 0) return;
    const bool selected = (dis.itemState & ODS_SELECTED) != 0;
    const bool focused = (dis.itemState & ODS_FOCUS) != 0;
    TBitmap bmp(w, h);
    const TPixelView v = bmp.Pixels();
    FillRectClipped(v, {0, 0, 20, h}, SysPixel(clWindow));
    FillRectClipped(v, {20, 0, w, h}, SysPixel(selected ? clHighlight : clWindow));
    DrawRectOutline(v, {3, h / 2 - 6, 16, h / 2 + 7}, SysPixel(clBtnShadow));
    if (State(index) == 1) DrawCheckMark(v, 6, h / 2 - 4, SysPixel(clWindowText));
    TCanvas& c = bmp.Canvas();
    const TFont& font = m_box ? m_box->Font() : Font();
    c.Font().Assign(font);
    if (selected) c.Font().SetColor(clHighlightText);
    TksCanvasText text(c);
    DrawSingleLineText(text, m_items->Get(index), {22, 0, w - 2, h});
    if (focused) {
        RECT fr{20, 0, w, h};
        DrawFocusRect(c.Handle(), &fr);
    }
    bmp.DrawTo(dis.hDC, r.Left, r.Top);
}

// ---- TksSkinCheckListBox --------------------------------------------------------

TksSkinCheckListBox::TksSkinCheckListBox(TComponent* owner) : TksSkinCustomControl(owner) {
    m_skinDataName = "checklistbox";
    Font().SetName("Arial");
    Font().SetHeight(14);
    Font().SetColor(clWindowText);
    SetBounds(0, 0, 120, 120);
    m_list = new TksCheckListBox(this, this);
    m_list->SetParent(this);
    LayoutList();
}

void TksSkinCheckListBox::SetChecked(int index, bool value) {
    if ((m_list->State(index) == 1) == value) return;
    m_list->SetState(index, value ? 1 : 0);
    m_list->InvalidateItem(index, true);
}

bool TksSkinCheckListBox::IsChecked(int index) {
    return m_list->State(index) == 1;
}

void TksSkinCheckListBox::SetDefaultItemHeight(int h) {
    m_defaultItemHeight = h;
    if (m_dataIndex == -1 || !UseSkinItemHeight) m_list->SetItemHeight(h);
}

void TksSkinCheckListBox::ApplySkinChange() {
    TksSkinCustomControl::ApplySkinChange();
    if (m_dataIndex == -1) {
        m_list->SetItemHeight(m_defaultItemHeight);
        Font().Assign(DefaultFont());
    }
    LayoutList();
    m_list->Invalidate();
}

void TksSkinCheckListBox::LayoutList() {
    if (!m_list) return;
    // Without skin data: the list inside a one-pixel frame and a one-pixel
    // gap (no caption band).
    const int c = CaptionMode ? DefaultCaptionHeight : 1;
    m_list->SetBounds(2, c + 1, std::max(Width() - 4, 0), std::max(Height() - 2 - (c + 1), 0));
}

void TksSkinCheckListBox::Resize() {
    TksSkinCustomControl::Resize();
    LayoutList();
}

void TksSkinCheckListBox::DrawWithoutSkin(TBitmap& bitmap) {
    const TPixelView v = bitmap.Pixels();
    FillRectClipped(v, v.Bounds(), SysPixel(clBtnFace));
    DrawRectOutline(v, v.Bounds(), SysPixel(clBtnShadow));
}

}  // namespace zv

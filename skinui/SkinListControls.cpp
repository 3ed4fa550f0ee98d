// Skinned check list box.
//
//   TListBoxStrings        the inner list's lines as a string list
//   TksCheckListBox        wrappers, toggling, item drawing (skin and plain),
//                          erasing below the items, scroll-state changes
//   TksSkinCheckListBox    skin values, layout of the list and the scroll
//                          bar, showing and driving the scroll bar
#include "skinui/SkinListControls.h"

#include <algorithm>

#include "base/Exceptions.h"
#include "base/SysUtils.h"
#include "skinui/CanvasText.h"
#include "skinui/SkinFont.h"
#include "skinui/paint/BlockTransfer.h"
#include "skinui/paint/Glyphs.h"
#include "skinui/paint/SkinPaint.h"
#include "skinui/paint/TextLayout.h"
#include "vcl/WideText.h"

namespace zv {

namespace {

// Not one of the ids the platform list uses for its own timers.
constexpr UINT_PTR HintTimerId = 0x7A01;
// While the hint shows, where the mouse is is looked at this often: the
// hint may lie over the next line and take its mouse messages.
constexpr UINT_PTR HintPollId = 0x7A02;
constexpr UINT HintPollInterval = 100;

// The program is at work (the hourglass shows): no hint comes up meanwhile.
bool Busy() {
    return Screen != nullptr && Screen->Cursor() != crDefault;
}
TPixel SysPixel(TColor c) {
    return ColorToPixel(ColorToRGB(c));
}

TRect OrIfEmpty(const TRect& r, const TRect& fallback) {
    return r.IsEmpty() ? fallback : r;
}

// Draws rectangle `piece` of `pic` at (x, y), leaving out the pixels of the
// piece's bottom-left colour. Pixels outside the picture are never read.
void DrawTransparentPiece(const TPixelView& target, int x, int y, const TPixelView& pic, const TRect& piece) {
    if (piece.IsEmpty() || !pic.Contains(piece.Left, piece.Bottom - 1)) return;
    const TPixel key = PixelRGB(pic.At(piece.Left, piece.Bottom - 1));
    for (int sy = piece.Top; sy < piece.Bottom; ++sy)
        for (int sx = piece.Left; sx < piece.Right; ++sx) {
            if (!pic.Contains(sx, sy)) continue;
            const int tx = x + sx - piece.Left;
            const int ty = y + sy - piece.Top;
            if (!target.Contains(tx, ty)) continue;
            const TPixel p = pic.At(sx, sy);
            if (PixelRGB(p) != key) target.At(tx, ty) = p;
        }
}

// Keeps a flag set for the life of a scope.
class TFlagGuard {
public:
    explicit TFlagGuard(bool& flag) : m_flag(flag) { m_flag = true; }
    ~TFlagGuard() { m_flag = false; }
    TFlagGuard(const TFlagGuard&) = delete;
    TFlagGuard& operator=(const TFlagGuard&) = delete;

private:
    bool& m_flag;
};
}  // namespace

// The lines of the inner list: kept by the platform window, which is made
// when the first line is touched. The window is a Unicode one and the lines
// go in and out as UTF-16, so a path in any script stays as it is.
class TListBoxStrings : public TStrings {
public:
    explicit TListBoxStrings(TksCheckListBox& list) : m_list(list) {}

    [[nodiscard]] int Count() const override {
        return static_cast<int>(SendMessageA(m_list.Handle(), LB_GETCOUNT, 0, 0));
    }
    [[nodiscard]] std::string Get(int index) const override {
        CheckIndex(index);
        const auto len = SendMessageW(m_list.Handle(), LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
        std::wstring s(static_cast<size_t>(std::max<LRESULT>(len, 0)) + 1, L'\0');
        const auto got = SendMessageW(m_list.Handle(), LB_GETTEXT, static_cast<WPARAM>(index),
                                      reinterpret_cast<LPARAM>(s.data()));
        s.resize(static_cast<size_t>(std::clamp<LRESULT>(got, 0, std::max<LRESULT>(len, 0))));
        return FromWide(s);
    }
    void Insert(int index, const std::string& s) override {
        if (index < 0 || index > Count()) Error(SListIndexError, index);
        const std::wstring text = ToWide(s);
        SendMessageW(m_list.Handle(), LB_INSERTSTRING, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(text.c_str()));
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
        if (Updating()) return;
        if (m_list.m_box) m_list.m_box->UpdateScrollBar();
        // The lines a reader knows are not the lines any more.
        m_list.NotifyAccEvent(accEventReorder);
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
    m_hintTimer.Reset();
    m_hintPoll.Reset();
    m_hint.reset();
    if (HandleAllocated()) FreeWrappers();
}

void TksCheckListBox::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.SubClassOf = "LISTBOX";
    params.WinClassName = "ZvCheckListBox";
    params.Unicode = true;
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
    for (const std::string& saved : m_savedTexts) {
        const std::wstring text = ToWide(saved);
        SendMessageW(HandleOrNull(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
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
    ForgetHover();
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

int TksCheckListBox::TopIndex() {
    return static_cast<int>(SendMessageA(Handle(), LB_GETTOPINDEX, 0, 0));
}

TDeviceMap TksCheckListBox::ItemMap(int w, int h) const {
    const TDeviceScale scale(m_box ? m_box->CurrentPPI() : CurrentPPI());
    return TDeviceMap::ForSizes(scale.Unmap(w), scale.Unmap(h), w, h, scale);
}

TRect TksCheckListBox::SkinCheckHotSpot(int sw, int sh) {
    const TksDataSkinCheckListBox* d = m_box ? m_box->m_listData : nullptr;
    if (!d || m_box->DataIndex() == -1) return {0, 0, 20, sh};
    TRect r = d->ItemCheckRect;
    // A check box right of the text moves with the item's width.
    const int dx = sw - d->ItemRect.Width();
    if (r.Left >= d->ItemTextRect.Right) r = OffsetRect(r, dx, 0);
    if (!m_box->UseSkinItemHeight) r.Bottom += sh - d->ItemRect.Height();
    return r;
}

TRect TksCheckListBox::CheckHotSpot(int itemWidth) {
    const TDeviceMap map = ItemMap(itemWidth, m_itemHeight);
    return map.ToDevice(SkinCheckHotSpot(map.Width, map.Height));
}

void TksCheckListBox::ToggleChecked(int index) {
    if (index < 0 || index >= m_items->Count()) return;
    TksCheckListBoxDataWrapper* w = Wrapper(index, true);
    if (w->State == 0)
        w->State = 1;
    else if (w->State == 1)
        w->State = 0;
    InvalidateItem(index, true);
    NotifyAccEvent(accEventStateChange, index);
    if (OnClickCheck) OnClickCheck(this);
}

void TksCheckListBox::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    const LRESULT hit = SendMessageA(HandleOrNull(), LB_ITEMFROMPOINT, 0, MAKELPARAM(x, y));
    const int index = LOWORD(hit);
    if (HIWORD(hit) == 0 && index < m_items->Count()) {
        const TRect r = ItemRect(index);
        if (m_box) m_box->LookUpSkinData();
        const TRect spot = OffsetRect(CheckHotSpot(r.Width()), r.Left, r.Top);
        if (spot.Contains({x, y})) ToggleChecked(index);
    }
    TWinControl::MouseDown(button, shift, x, y);
    if (m_box && m_box->OnListBoxMouseDown) m_box->OnListBoxMouseDown(m_box, button, shift, x, y);
}

void TksCheckListBox::KeyPress(char& key) {
    TWinControl::KeyPress(key);
    if (key == ' ') ToggleChecked(ItemIndex());
    if (m_box && m_box->OnListBoxKeyPress) m_box->OnListBoxKeyPress(m_box, key);
}

void TksCheckListBox::ScrollStateChanged() {
    if (m_box) m_box->UpdateScrollBar();
}

void TksCheckListBox::EraseBelowItems(HDC dc) {
    RECT cr;
    GetClientRect(HandleOrNull(), &cr);
    const int n = static_cast<int>(SendMessageA(HandleOrNull(), LB_GETCOUNT, 0, 0));
    const int top = static_cast<int>(SendMessageA(HandleOrNull(), LB_GETTOPINDEX, 0, 0));
    const int y0 = std::max(0, (n - top) * m_itemHeight);
    const int w = cr.right;
    const int h = cr.bottom - y0;
    if (w <= 0 || h <= 0) return;
    TBitmap bmp(w, h);
    // Drawn in skin pixels from the end of the last item, then put on the
    // device pixels.
    const TDeviceMap map = ItemMap(w, h);
    TPixelBuffer skin;
    if (!map.IsIdentity()) skin.SetSize(map.Width, map.Height);
    const TPixelView v = map.IsIdentity() ? bmp.Pixels() : skin.View();
    const TksDataSkinCheckListBox* d = m_box ? m_box->m_listData : nullptr;
    const TksBitmap* pic = m_box ? m_box->SkinPicture() : nullptr;
    const TRect tile = d ? OffsetRect(d->ClientRect, d->SkinRect.Left, d->SkinRect.Top) : TRect{};
    if (d && pic && !tile.IsEmpty() && m_box->DataIndex() != -1) {
        // The box's client picture, tiled from the end of the last item.
        for (int ty = 0; ty < v.Height; ty += tile.Height())
            for (int tx = 0; tx < v.Width; tx += tile.Width()) CopyBlock(v, tx, ty, pic->View(), tile);
    } else {
        FillRectClipped(v, v.Bounds(), SysPixel(clWindow));
    }
    if (!map.IsIdentity()) TSkinSurface(bmp.Pixels(), map, nullptr).Copy(0, 0, v, v.Bounds());
    bmp.DrawTo(dc, 0, y0);
}

void TksCheckListBox::PaintEmpty() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(HandleOrNull(), &ps);
    if (m_box) m_box->LookUpSkinData();
    EraseBelowItems(dc);
    EndPaint(HandleOrNull(), &ps);
}

void TksCheckListBox::ReportSelection() {
    if (!HandleAllocated()) return;
    const int sel = static_cast<int>(SendMessageA(HandleOrNull(), LB_GETCURSEL, 0, 0));
    if (sel == m_reportedSelection) return;
    m_reportedSelection = sel;
    if (sel < 0) return;
    NotifyAccEvent(accEventSelection, sel);
    if (Focused()) NotifyAccEvent(accEventFocus, sel);
}

// ---- TksCheckListBox: accessibility ----------------------------------------------

void TksCheckListBox::AccDescribeSelf(TAccInfo& info) {
    TWinControl::AccDescribeSelf(info);
    info.Role = accRoleList;
    if (m_box) info.Name = m_box->Caption();
}

int TksCheckListBox::AccItemCount() {
    return HandleAllocated() ? static_cast<int>(SendMessageA(HandleOrNull(), LB_GETCOUNT, 0, 0)) : 0;
}

void TksCheckListBox::AccDescribeItem(int index, TAccInfo& info) {
    if (index < 0 || index >= AccItemCount()) return;
    info.Role = accRoleCheckButton;
    // The whole path, however the line is drawn.
    info.Name = m_items->Get(index);
    info.State = accStateFocusable | accStateSelectable;
    const unsigned char state = State(index);
    if (state == 1) info.State |= accStateChecked;
    if (state > 1) info.State |= accStateMixed;
    if (index == ItemIndex()) info.State |= accStateSelected;
    if (Focused() && index == AccFocusedItem()) info.State |= accStateFocused;
    info.DefaultAction = state == 1 ? "Uncheck" : "Check";
    info.KeyboardShortcut = "Space";
    info.Bounds = ItemRect(index);
    const TRect client = ClientRect();
    if (info.Bounds.Bottom <= client.Top || info.Bounds.Top >= client.Bottom) info.State |= accStateOffscreen;
}

int TksCheckListBox::AccItemAt(TPoint client) {
    const LRESULT hit = SendMessageA(HandleOrNull(), LB_ITEMFROMPOINT, 0, MAKELPARAM(client.X, client.Y));
    if (HIWORD(hit) != 0) return -1;
    return LOWORD(hit);
}

int TksCheckListBox::AccFocusedItem() {
    if (AccItemCount() == 0) return -1;
    return static_cast<int>(SendMessageA(HandleOrNull(), LB_GETCARETINDEX, 0, 0));
}

int TksCheckListBox::AccSelectedItem() {
    return HandleAllocated() ? ItemIndex() : -1;
}

bool TksCheckListBox::AccSelectItem(int index, long flags) {
    if (index < 0 || index >= AccItemCount() || !Enabled()) return false;
    if (flags & accSelTakeFocus) {
        if (!CanFocus()) return false;
        SetFocus();
    }
    if (flags & (accSelTakeSelection | accSelTakeFocus)) {
        SetItemIndex(index);
        if (m_box && m_box->OnListBoxClick) m_box->OnListBoxClick(m_box);
    }
    return (flags & (accSelTakeSelection | accSelTakeFocus)) != 0;
}

void TksCheckListBox::AccPerformDefaultAction(int item) {
    // As a press of Space on the line: selected, then toggled.
    if (item < 0 || item >= AccItemCount() || !Enabled()) return;
    if (item != ItemIndex()) SetItemIndex(item);
    ToggleChecked(item);
}

void TksCheckListBox::WndProc(TMessage& msg) {
    switch (msg.Msg) {
        case WM_MOUSEWHEEL:
        case WM_VSCROLL:
        case WM_HSCROLL:
        case WM_KEYDOWN:
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            // The lines move or the user acts on them: the hint goes.
            ForgetHover();
            break;
        default: break;
    }
    switch (msg.Msg) {
        case WM_NCCALCSIZE:
            // No non-client area: the list's own scroll bar is never shown.
            msg.Result = 0;
            return;
        case WM_NCPAINT: msg.Result = 0; return;
        case WM_PAINT:
            if (SendMessageA(HandleOrNull(), LB_GETCOUNT, 0, 0) == 0) {
                PaintEmpty();
                msg.Result = 0;
                return;
            }
            break;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            // The platform list draws (and takes away) a focus rectangle for
            // the caret straight onto an empty list: painted over again.
            TWinControl::WndProc(msg);
            if (HandleAllocated() && SendMessageA(HandleOrNull(), LB_GETCOUNT, 0, 0) == 0)
                RedrawWindow(HandleOrNull(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
            return;
        case WM_ERASEBKGND:
            if (m_box) m_box->LookUpSkinData();
            EraseBelowItems(reinterpret_cast<HDC>(msg.WParam));
            msg.Result = 1;
            ScrollStateChanged();
            return;
        case WM_MOUSEWHEEL:
            // With the skinned bar showing, one line per turn.
            if (m_box && m_box->ScrollBar()) {
                const int delta = GET_WHEEL_DELTA_WPARAM(msg.WParam);
                SendMessageA(HandleOrNull(), m_box->Columns == 0 ? WM_VSCROLL : WM_HSCROLL,
                             delta <= 0 ? SB_LINEDOWN : SB_LINEUP, 0);
                msg.Result = 0;
            } else {
                DefaultHandler(msg);
            }
            ScrollStateChanged();
            return;
        case WM_TIMER:
            if (msg.WParam == HintTimerId) {
                m_hintTimer.Reset();
                // At work or hidden: forgotten, so that the next move over
                // the line starts the delay again.
                if (Busy() || !IsWindowVisible(HandleOrNull()))
                    ForgetHover();
                else
                    ShowHintFor(m_hoverIndex);
                msg.Result = 0;
                return;
            }
            if (msg.WParam == HintPollId) {
                PollHint();
                msg.Result = 0;
                return;
            }
            DefaultHandler(msg);
            ScrollStateChanged();
            return;
        case WM_VSCROLL:
        case WM_HSCROLL:
        case LB_SETTOPINDEX:
        case LB_SETCURSEL:
            // The list scrolled on its own (keys, selection, drag): the bar
            // follows.
            DefaultHandler(msg);
            ScrollStateChanged();
            if (msg.Msg == LB_SETCURSEL) ReportSelection();
            return;
        case WM_KEYDOWN:
            TWinControl::WndProc(msg);
            ScrollStateChanged();
            ReportSelection();
            return;

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
            ScrollStateChanged();
            ReportSelection();
            return;
        default: break;
    }
    TWinControl::WndProc(msg);
}

void TksCheckListBox::DrawItem(const DRAWITEMSTRUCT& dis) {
    if (dis.itemID == static_cast<UINT>(-1)) return;
    const int index = static_cast<int>(dis.itemID);
    const TRect r{dis.rcItem.left, dis.rcItem.top, dis.rcItem.right, dis.rcItem.bottom};
    if (r.Width() <= 0 || r.Height() <= 0) return;
    const bool selected = (dis.itemState & ODS_SELECTED) != 0;
    const bool focused = (dis.itemState & ODS_FOCUS) != 0;
    const bool skinned = Skinned();
    TBitmap bmp(r.Width(), r.Height());
    bmp.Canvas().SetPixelsPerInch(m_box ? m_box->CurrentPPI() : CurrentPPI());
    if (skinned)
        DrawSkinItem(bmp, index, selected, focused);
    else
        DrawPlainItem(bmp, index, selected, focused);
    bmp.DrawTo(dis.hDC, r.Left, r.Top);
}

bool TksCheckListBox::Skinned() {
    if (m_box) m_box->LookUpSkinData();
    return m_box && m_box->m_listData && m_box->SkinPicture() && m_box->DataIndex() != -1 &&
           !m_box->m_listData->ItemRect.IsEmpty();
}

int TksCheckListBox::LineTextWidth(int w, int h, bool skinned) const {
    const TDeviceMap map = ItemMap(w, h);
    if (!skinned) return map.X.DeviceLength(22, map.Width - 2 - 22);
    const TksDataSkinCheckListBox& d = *m_box->m_listData;
    const int width =
        map.X.DeviceLength(d.ItemTextRect.Left, d.ItemTextRect.Width() + map.Width - d.ItemRect.Width());
    // Lines of their own height draw their text 2 pixels in.
    return m_box->UseSkinItemHeight ? width : width - 2;
}

void TksCheckListBox::AssignLineFont(TFont& font, bool skinned) {
    if (skinned)
        AssignSkinFont(font, m_box->UseSkinFont() ? m_box->m_listData : nullptr, m_box->DefaultFont());
    else
        font.Assign(m_box ? m_box->Font() : Font());
}

std::string TksCheckListBox::ShownText(int index) {
    const std::string line = m_items->Get(index);
    if (!HandleAllocated()) return line;
    const bool skinned = Skinned();
    RECT cr;
    GetClientRect(HandleOrNull(), &cr);
    TBitmap measure(1, 1);
    measure.Canvas().SetPixelsPerInch(m_box ? m_box->CurrentPPI() : CurrentPPI());
    AssignLineFont(measure.Canvas().Font(), skinned);
    TksCanvasText text(measure.Canvas());
    return ShortenPath(text, line, LineTextWidth(cr.right, m_itemHeight, skinned));
}

void TksCheckListBox::ForgetHover() {
    m_hintTimer.Reset();
    m_hintPoll.Reset();
    m_hoverIndex = -1;
    if (m_hint) m_hint->ReleaseHint();
}

void TksCheckListBox::HideHint() {
    ForgetHover();
}

bool TksCheckListBox::ShowHintFor(int index) {
    m_hintTimer.Reset();
    if (!HandleAllocated() || index < 0 || index >= m_items->Count() || m_box == nullptr) return false;
    const std::string line = m_items->Get(index);
    if (ShownText(index) == line) return false;
    if (!m_hint) m_hint = std::make_unique<TksSkinHintWindow>(nullptr);
    m_hint->SetSkinData(m_box->SkinData());
    m_hint->SetPixelsPerInch(m_box->CurrentPPI());
    // Just below the line, its text straight under the line's text.
    const TRect r = ItemRect(index);
    int textLeft = ItemMap(r.Width(), r.Height()).X.ToDevice(22);
    if (Skinned())
        textLeft = ItemMap(r.Width(), r.Height()).X.ToDevice(m_box->m_listData->ItemTextRect.Left) +
                   (m_box->UseSkinItemHeight ? 0 : 2);
    POINT p{r.Left + textLeft - m_hint->TextOrigin(line).X, r.Bottom + 1};
    ::ClientToScreen(HandleOrNull(), &p);
    m_hoverIndex = index;
    m_hint->ActivateHint(HandleOrNull(), p.x, p.y, line);
    m_hintPoll = TTimerId(HandleOrNull(), HintPollId, HintPollInterval);
    return true;
}

void TksCheckListBox::PollHint() {
    POINT p;
    if (Busy() || !IsWindowVisible(HandleOrNull()) || !GetCursorPos(&p)) {
        ForgetHover();
        return;
    }
    ::ScreenToClient(HandleOrNull(), &p);
    RECT cr;
    GetClientRect(HandleOrNull(), &cr);
    const bool inside = p.x >= 0 && p.y >= 0 && p.x < cr.right && p.y < cr.bottom;
    if (inside && m_hoverIndex >= 0 && ItemRect(m_hoverIndex).Contains({p.x, p.y})) return;
    ForgetHover();
    if (inside) HoverAt(p.x, p.y);
}

void TksCheckListBox::MouseMove(TShiftState shift, int x, int y) {
    TWinControl::MouseMove(shift, x, y);
    HoverAt(x, y);
}

void TksCheckListBox::HoverAt(int x, int y) {
    const LRESULT hit = SendMessageA(HandleOrNull(), LB_ITEMFROMPOINT, 0, MAKELPARAM(x, y));
    int index = HIWORD(hit) == 0 && LOWORD(hit) < m_items->Count() ? LOWORD(hit) : -1;
    // Below the last line the list answers with the nearest one.
    if (index >= 0 && !ItemRect(index).Contains({x, y})) index = -1;
    if (index == m_hoverIndex) return;
    ForgetHover();
    m_hoverIndex = index;
    // A line shown whole needs no hint; one shortened gets it once the
    // mouse rests on it as long as the system waits before a tooltip.
    if (index >= 0 && ShownText(index) != m_items->Get(index))
        m_hintTimer = TTimerId(HandleOrNull(), HintTimerId, GetDoubleClickTime());
}

void TksCheckListBox::MouseLeave() {
    ForgetHover();
    TWinControl::MouseLeave();
}

void TksCheckListBox::DrawSkinItem(TBitmap& bmp, int index, bool selected, bool focused) {
    const TksDataSkinCheckListBox& d = *m_box->m_listData;
    const TPixelView pic = m_box->SkinPicture()->View();
    const bool stretch = m_box->SkinElement().StretchEffect;
    const int w = bmp.Width();
    const int h = bmp.Height();
    // The pictures in skin pixels, the text and the focus cues on the
    // device pixels.
    const TDeviceMap map = ItemMap(w, h);
    const int sw = map.Width;
    const int sh = map.Height;
    const int ih = d.ItemRect.Height();
    const bool fixedHeight = m_box->UseSkinItemHeight;
    // Background by state, composed at the skin's item height.
    TRect piece = d.ItemRect;
    bool pieceStretch = stretch;
    bool focusFrame = false;
    if (fixedHeight) {
        if (focused && !selected) {
            focusFrame = true;
        } else if (focused && selected) {
            piece = m_box->m_focusItemRect;
        } else if (selected) {
            piece = m_box->m_activeItemRect;
        } else {
            pieceStretch = false;
        }
    } else if (focused) {
        piece = m_box->m_focusItemRect;
    } else if (selected) {
        piece = m_box->m_activeItemRect;
    }
    TPixelBuffer bg;
    ComposeHorizontal(pic, piece, d.ItemLeftOffset, d.ItemRightOffset, bg, sw, pieceStretch);
    TPixelBuffer skin;
    if (!map.IsIdentity()) skin.SetSize(sw, sh);
    const TPixelView v = map.IsIdentity() ? bmp.Pixels() : skin.View();
    if (bg.Height() == sh)
        CopyBlock(v, 0, 0, bg.View(), bg.View().Bounds());
    else
        StretchBlock(v, v.Bounds(), bg.View(), bg.View().Bounds());

    const int dx = sw - d.ItemRect.Width();
    const int dh = fixedHeight ? 0 : sh - ih;
    TRect textRect = d.ItemTextRect;
    textRect.Right += dx;
    textRect.Bottom += dh;
    const TRect check = SkinCheckHotSpot(sw, sh);
    const TRect checkPiece = State(index) == 1 ? d.CheckImageRect : d.UnCheckImageRect;
    const int cw = d.CheckImageRect.Width();
    const int ch = d.CheckImageRect.Height();
    DrawTransparentPiece(v, check.Left + check.Width() / 2 - cw / 2, check.Top + check.Height() / 2 - ch / 2,
                         pic, {checkPiece.Left, checkPiece.Top, checkPiece.Left + cw, checkPiece.Top + ch});
    if (!map.IsIdentity()) {
        TSkinSurface(bmp.Pixels(), map, nullptr).Copy(0, 0, v, v.Bounds());
        textRect = map.ToDevice(textRect);
    }

    TCanvas& c = bmp.Canvas();
    TFont& font = c.Font();
    AssignLineFont(font, true);
    if (fixedHeight)
        font.SetColor(focused && selected ? d.FocusFontColor : (selected ? d.ActiveFontColor : d.FontColor));
    else
        font.SetColor(focused ? d.FocusFontColor : (selected ? d.ActiveFontColor : d.FontColor));
    if (m_box->OnDrawItem) {
        UINT state = (selected ? ODS_SELECTED : 0) | (focused ? ODS_FOCUS : 0);
        m_box->OnDrawItem(m_box, c, index, state, textRect, h, w);
    } else {
        TksCanvasText text(c);
        const std::string line = ShortenPath(text, m_items->Get(index), LineTextWidth(w, h, true));
        if (fixedHeight)
            DrawSingleLineText(text, line, textRect);
        else
            DrawTextInRect(text, line, textRect);
    }
    if (focusFrame) {
        RECT fr{0, 0, w, h};
        DrawFocusRect(c.Handle(), &fr);
    } else if (focused && KeyboardCuesShown()) {
        // The keyboard's cue on the focused line: a dotted frame inside it in
        // the line's own text colour, which the skin makes readable on the
        // selection picture.
        GdiFlush();
        DrawFocusFrame(bmp.Pixels(), {1, 1, w - 1, h - 1}, ColorToPixel(ColorToRGB(font.Color())));
    }
}

void TksCheckListBox::DrawPlainItem(TBitmap& bmp, int index, bool selected, bool focused) {
    const int w = bmp.Width();
    const int h = bmp.Height();
    const TDeviceMap map = ItemMap(w, h);
    const int sw = map.Width;
    const int sh = map.Height;
    TPixelBuffer skin;
    if (!map.IsIdentity()) skin.SetSize(sw, sh);
    const TPixelView v = map.IsIdentity() ? bmp.Pixels() : skin.View();
    FillRectClipped(v, {0, 0, 20, sh}, SysPixel(clWindow));
    FillRectClipped(v, {20, 0, sw, sh}, SysPixel(selected ? clHighlight : clWindow));
    DrawRectOutline(v, {3, sh / 2 - 6, 16, sh / 2 + 7}, SysPixel(clBtnShadow));
    if (State(index) == 1) DrawCheckMark(v, 6, sh / 2 - 4, SysPixel(clWindowText));
    if (!map.IsIdentity()) TSkinSurface(bmp.Pixels(), map, nullptr).Copy(0, 0, v, v.Bounds());
    TCanvas& c = bmp.Canvas();
    AssignLineFont(c.Font(), false);
    if (selected) c.Font().SetColor(clHighlightText);
    const TRect textRect = map.ToDevice({22, 0, sw - 2, sh});
    if (m_box && m_box->OnDrawItem) {
        UINT state = (selected ? ODS_SELECTED : 0) | (focused ? ODS_FOCUS : 0);
        m_box->OnDrawItem(m_box, c, index, state, textRect, h, w);
    } else {
        TksCanvasText text(c);
        DrawSingleLineText(text, ShortenPath(text, m_items->Get(index), LineTextWidth(w, h, false)),
                           textRect);
    }
    if (focused) {
        RECT fr{map.X.ToDevice(20), 0, w, h};
        DrawFocusRect(c.Handle(), &fr);
    }
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

TksSkinCheckListBox::~TksSkinCheckListBox() {
    // The bar and the list go while the box is still whole; the list stops
    // reporting to it first.
    FreeScrollBar();
    if (m_list) m_list->m_box = nullptr;
    DestroyComponents();
}

void TksSkinCheckListBox::Notification(TComponent* component, TOperation operation) {
    TksSkinCustomControl::Notification(component, operation);
    if (operation == TOperation::opRemove) {
        if (component == m_scrollBar) m_scrollBar = nullptr;
        if (component == m_list) m_list = nullptr;
    }
}

void TksSkinCheckListBox::SetChecked(int index, bool value) {
    if ((m_list->State(index) == 1) == value) return;
    m_list->SetState(index, value ? 1 : 0);
    m_list->InvalidateItem(index, true);
    m_list->NotifyAccEvent(accEventStateChange, index);
}

bool TksSkinCheckListBox::IsChecked(int index) {
    return m_list->State(index) == 1;
}

void TksSkinCheckListBox::SetDefaultItemHeight(int h) {
    m_defaultItemHeight = h;
    if (m_dataIndex == -1 || !UseSkinItemHeight) m_list->SetItemHeight(Scale().Map(h));
}

void TksSkinCheckListBox::LookUpSkinData() {
    TksSkinCustomControl::LookUpSkinData();
    m_listData = nullptr;
    if (m_dataIndex == -1) return;
    const auto* d = dynamic_cast<const TksDataSkinCheckListBox*>(m_skinData->SkinControls(m_dataIndex));
    if (!d) {
        // Only a check list section has the item and check pictures.
        m_dataIndex = -1;
        return;
    }
    m_listData = d;
    m_activeItemRect = OrIfEmpty(d->ActiveItemRect, d->ItemRect);
    m_focusItemRect = OrIfEmpty(d->FocusItemRect, d->ItemRect);
}

int TksSkinCheckListBox::ListItemHeight() const {
    if (m_dataIndex != -1 && m_listData && UseSkinItemHeight && m_listData->ItemRect.Height() > 0)
        return m_listData->ItemRect.Height();
    return m_defaultItemHeight;
}

void TksSkinCheckListBox::ApplySkinChange() {
    TksSkinCustomControl::ApplySkinChange();
    const TDeviceScale scale = Scale();
    if (m_dataIndex == -1) {
        m_list->SetItemHeight(scale.Map(m_defaultItemHeight));
        Font().Assign(DefaultFont());
    } else if (UseSkinItemHeight) {
        m_list->SetItemHeight(scale.Map(ListItemHeight()));
    } else {
        m_list->SetItemHeight(scale.Map(m_defaultItemHeight));
    }
    if (m_scrollBar) {
        std::string name;
        if (m_listData) name = Columns == 0 ? m_listData->VScrollBarName : m_listData->HScrollBarName;
        m_scrollBar->SetSkinDataName(name);
        m_scrollBar->SetSkinData(m_skinData);
    }
    if (RowCount > 0) {
        // In skin pixels, then the device height for it.
        const int ih = scale.Unmap(m_list->ItemHeight());
        const int h = m_dataIndex == -1 ? RowCount * ih + 4
                                        : SkinElement().SkinRect.Height() + RowCount * ih -
                                              SkinElement().Geometry.ClientRect.Height();
        SetHeight(scale.Map(h));
    }
    LayoutList();
    UpdateScrollBar();
    m_list->Invalidate();
}

void TksSkinCheckListBox::ScaleChanged() {
    TksSkinCustomControl::ScaleChanged();
    // With skin data the skin change above did it all.
    if (m_skinData && !m_skinData->Empty()) return;
    m_list->SetItemHeight(Scale().Map(m_defaultItemHeight));
    LayoutList();
    UpdateScrollBar();
    m_list->Invalidate();
}

TRect TksSkinCheckListBox::SkinClientRect() const {
    const TSize size = SkinSize();
    return CalcSkinTarget(SkinElement(), size.cx, size.cy).Geometry.ClientRect;
}

void TksSkinCheckListBox::LayoutList() {
    if (!m_list || IsDestroying()) return;
    // Moving the list can erase it at once, and an erase may bring or free
    // the bar: such a nested request is done again after this one.
    if (m_layingOut) {
        m_layoutAgain = true;
        return;
    }
    TFlagGuard guard(m_layingOut);
    for (int pass = 0; pass < 3; ++pass) {
        m_layoutAgain = false;
        PlaceListAndBar();
        if (!m_layoutAgain) break;
    }
}

void TksSkinCheckListBox::PlaceListAndBar() {
    const bool vertical = Columns == 0;
    TRect area;
    const TDeviceScale scale = Scale();
    if (m_dataIndex != -1) {
        area = SkinMap().ToDevice(SkinClientRect());
        if (m_scrollBar) {
            if (vertical) {
                const int bw = m_scrollBar->Width();
                m_scrollBar->SetBounds(area.Right - bw, area.Top, bw, std::max(area.Height(), 0));
                area.Right -= bw;
            } else {
                const int bh = m_scrollBar->Height();
                m_scrollBar->SetBounds(area.Left, area.Bottom - bh, std::max(area.Width(), 0), bh);
                area.Bottom -= bh;
            }
        }
    } else {
        // The list inside a one-pixel frame and a one-pixel gap, below the
        // caption band when there is one.
        // (Skin pixels, each length at its device length.)
        auto px = [&](int skin) { return scale.Map(skin); };
        const int c = px(CaptionMode ? DefaultCaptionHeight : 1);
        area = {px(2), c + px(1), Width() - px(2), Height() - px(2)};
        if (m_scrollBar) {
            if (vertical) {
                m_scrollBar->SetBounds(Width() - px(20), c, px(19), std::max(Height() - c - px(1), 0));
                area.Right = Width() - px(20);
            } else {
                m_scrollBar->SetBounds(px(1), Height() - px(20), std::max(Width() - px(2), 0), px(19));
                area.Bottom = Height() - px(20);
            }
        }
    }
    m_list->SetBounds(area.Left, area.Top, std::max(area.Width(), 0), std::max(area.Height(), 0));
}

void TksSkinCheckListBox::UpdateScrollBar() {
    if (!m_list || m_updatingBar || IsDestroying() || !m_list->HandleAllocated()) return;
    const int count = static_cast<int>(SendMessageA(m_list->HandleOrNull(), LB_GETCOUNT, 0, 0));
    if (RowCount > 0 && RowCount == count) return;
    TFlagGuard guard(m_updatingBar);
    const bool vertical = Columns == 0;
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_RANGE | SIF_POS;
    if (!GetScrollInfo(m_list->HandleOrNull(), vertical ? SB_VERT : SB_HORZ, &si)) {
        si.nMin = 0;
        si.nMax = 0;
        si.nPos = 0;
    }
    int page = 0;
    bool show = false;
    if (vertical) {
        const int ih = m_list->ItemHeight();
        page = ih > 0 ? m_list->Height() / ih : 0;
        show = si.nMin < si.nMax && si.nMax >= si.nPos && page < count;
    } else {
        page = Columns;
        show = si.nMin < si.nMax && si.nMax >= si.nPos && si.nMax >= Columns;
    }
    if (!show) {
        if (m_scrollBar) {
            FreeScrollBar();
            LayoutList();
        }
        return;
    }
    if (!m_scrollBar) {
        auto* bar = new TksSkinScrollBar(this);
        bar->SetKind(vertical ? TScrollBarKind::sbVertical : TScrollBarKind::sbHorizontal);
        bar->SetPageSize(0);
        bar->SetMin(0);
        bar->SetPosition(0);
        std::string name;
        LookUpSkinData();
        if (m_listData) name = vertical ? m_listData->VScrollBarName : m_listData->HScrollBarName;
        bar->SetSkinDataName(name);
        bar->OnChange = [this](TObject* sender) { ScrollBarChange(sender); };
        m_scrollBar = bar;
        bar->SetParent(this);
        if (m_skinData) bar->SetSkinData(m_skinData);
        LayoutList();
    }
    m_scrollBar->SetRange(si.nMin, si.nMax, page, si.nPos);
    m_scrollBar->SetLargeChange(page);
}

void TksSkinCheckListBox::FreeScrollBar() {
    TksSkinScrollBar* bar = m_scrollBar;
    m_scrollBar = nullptr;
    delete bar;
}

void TksSkinCheckListBox::ScrollBarChange(TObject* sender) {
    (void)sender;
    if (!m_scrollBar || !m_list) return;
    const int pos = m_scrollBar->Position();
    // The bar already shows the position: the list follows without
    // reporting back, so the bar is never changed (or freed) under its own
    // event.
    TFlagGuard guard(m_updatingBar);
    SendMessageA(m_list->Handle(), Columns == 0 ? WM_VSCROLL : WM_HSCROLL,
                 MAKEWPARAM(SB_THUMBPOSITION, static_cast<WORD>(pos)), 0);
}

void TksSkinCheckListBox::Resize() {
    TksSkinCustomControl::Resize();
    LayoutList();
    UpdateScrollBar();
}

void TksSkinCheckListBox::DrawWithoutSkin(TBitmap& bitmap) {
    const TPixelView v = bitmap.Pixels();
    FillRectClipped(v, v.Bounds(), SysPixel(clBtnFace));
    // The one-pixel frame as thick as a skin pixel.
    const int t = Scale().Map(1);
    for (int i = 0; i < t; ++i) DrawRectOutline(v, {i, i, v.Width - i, v.Height - i}, SysPixel(clBtnShadow));
}

}  // namespace zv

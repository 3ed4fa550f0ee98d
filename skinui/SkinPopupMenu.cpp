// Skinned popup menu: levels, entries and the manager.
//
//   retired levels      closed levels wait here until no level's window
//                       procedure is running (a click closes the level it
//                       arrived in)
//   TksSkinMenuItem     entry state, size and the skinned / plain looks
//   TksSkinPopupWindow  building, sizing, placing, showing, painting,
//                       mouse polling and tracking, selection, choosing,
//                       keyboard, scrolling with markers, morph steps
//   TksSkinMenu         opening, the submenu delay, closing
#include "skinui/SkinPopupMenu.h"

#include <algorithm>
#include <cctype>

#include "skinui/SkinControlBase.h"
#include "skinui/SkinFont.h"
#include "skinui/SkinRegions.h"
#include "skinui/SkinWin32.h"
#include "skinui/paint/BlockTransfer.h"
#include "skinui/paint/EffectBitmap.h"
#include "skinui/paint/Glyphs.h"
#include "skinui/paint/SkinSurface.h"

namespace zv {

namespace {

enum : UINT_PTR {
    PollTimerId = 1,
    MorphTimerId = 2,
    ScrollTimerId = 3,
    SubmenuTimerId = 4,
    AlphaTimerId = 5,
};
constexpr UINT PollInterval = 50;
constexpr UINT MorphInterval = 20;
constexpr UINT ScrollInterval = 100;
constexpr UINT SubmenuInterval = 500;
constexpr UINT AlphaInterval = 10;
// Height of the scroll marker zones at the top and bottom of the items.
constexpr int MarkerZone = 10;
// Space kept free between the shortcut text and the end of the text area.
constexpr int ShortCutGap = 16;
// The plain look's column at the left of the entries.
constexpr int DefaultColumn = 19;
constexpr TColor DefaultHighlightBorder = 8388608;
constexpr TColor DefaultHighlightFill = 13811126;

TPixel Px(TColor c) {
    return ColorToPixel(ColorToRGB(c));
}

// ---- retired levels -----------------------------------------------------------------
//
// A level may be closed from inside its own window procedure (a click on an
// entry closes the menu). Its object must outlive that call, so closed
// levels are hidden at once and freed when no level is busy: at the end of
// the outermost call from outside, or from a message posted to a small
// message-only window.

int g_busy = 0;
std::vector<std::unique_ptr<TksSkinPopupWindow>>& Retired() {
    static std::vector<std::unique_ptr<TksSkinPopupWindow>> levels;
    return levels;
}

constexpr UINT WM_PURGELEVELS = WM_APP + 0x1B1;

void PurgeRetired() {
    if (g_busy != 0) return;
    // Freeing a level may not add another, but take the list first anyway.
    auto levels = std::move(Retired());
    Retired().clear();
    levels.clear();
}

LRESULT CALLBACK ReaperWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_PURGELEVELS) {
        PurgeRetired();
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

HWND ReaperWindow() {
    static HWND reaper = nullptr;
    if (reaper && IsWindow(reaper)) return reaper;
    static bool registered = false;
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    if (!registered) {
        WNDCLASSA wc{};
        wc.lpfnWndProc = ReaperWndProc;
        wc.hInstance = instance;
        wc.lpszClassName = "ZvSkinMenuReaper";
        registered = RegisterClassA(&wc) != 0;
    }
    reaper =
        CreateWindowExA(0, "ZvSkinMenuReaper", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, nullptr);
    return reaper;
}

void RetireLevel(std::unique_ptr<TksSkinPopupWindow> level) {
    Retired().push_back(std::move(level));
}

// Counts the calls that may be running inside a level; the outermost one
// frees what was closed meanwhile, unless it runs inside a level's own
// window procedure (then a posted message does it).
class TBusyGuard {
public:
    explicit TBusyGuard(bool insideWindowProc) : m_insideWindowProc(insideWindowProc) { ++g_busy; }
    ~TBusyGuard() {
        --g_busy;
        if (g_busy != 0 || Retired().empty()) return;
        if (m_insideWindowProc) {
            if (HWND reaper = ReaperWindow()) PostMessageA(reaper, WM_PURGELEVELS, 0, 0);
        } else {
            PurgeRetired();
        }
    }
    TBusyGuard(const TBusyGuard&) = delete;
    TBusyGuard& operator=(const TBusyGuard&) = delete;

private:
    bool m_insideWindowProc;
};

// Single-line text extent as DrawText measures it ("&" takes no room unless
// noPrefix is set).
TSize MeasureLine(TCanvas& canvas, const std::string& text, bool noPrefix) {
    TRect r{0, 0, 0, 0};
    canvas.DrawText(text, r, DT_CALCRECT | DT_SINGLELINE | (noPrefix ? DT_NOPREFIX : 0));
    return {r.Width(), r.Height()};
}

void CopyInto(TBitmap& target, const TPixelBuffer& source, int x, int y) {
    if (source.Empty()) return;
    CopyBlock(target.Pixels(), x, y, source.View(), {0, 0, source.Width(), source.Height()});
}

TPixelView PictureView(const TksBitmap* picture) {
    return picture ? picture->View() : TPixelView{};
}

}  // namespace

// ---- TksSkinMenuItem ----------------------------------------------------------------

TksSkinMenuItem::TksSkinMenuItem(TksSkinPopupWindow* window, TMenuItem* item)
    : m_window(window), m_item(item) {
    if (TksDataSkinMenuItem* data = EntryData(); data && window->SkinData())
        m_picture = window->SkinData()->ActivePicture(data->ActivePictureIndex);
}

TksDataSkinMenuItem* TksSkinMenuItem::EntryData() const {
    return m_window->EntryData();
}

bool TksSkinMenuItem::MorphAllowed() const {
    const TksDataSkinMenuItem* data = EntryData();
    return data && m_window->WindowData() && data->Morphing && m_window->SkinData() &&
           m_window->SkinData()->EnableSkinEffects();
}

int TksSkinMenuItem::ItemHeight() const {
    const TksDataSkinMenuItem* data = EntryData();
    if (!data) return IsDivider() ? 4 : m_window->Manager()->DefMenuItemHeight;
    if (IsDivider()) return std::max(data->DividerRect.Height(), 0);
    // Entry data without a valid picture draws nothing and takes no room.
    if (!m_picture) return 0;
    return std::max(data->SkinRect.Height(), 0);
}

void TksSkinMenuItem::Paint(TCanvas& canvas) {
    if (!Shown || EntryRect.IsEmpty()) return;
    TBitmap look;
    const bool highlighted = Highlighted();
    const bool morphing =
        MorphAllowed() && ((highlighted && MorphFactor != 1.0) || (!highlighted && MorphFactor != 0.0));
    if (morphing) {
        TBitmap other;
        DrawLook(look, false);
        DrawLook(other, true);
        TksEffectBmp normal(look.Pixels());
        const TksEffectBmp active(other.Pixels());
        ApplyMorph(normal, active, EntryData()->MorphKind, MorphFactor);
        normal.Draw(look.Pixels(), 0, 0);
    } else {
        DrawLook(look, highlighted);
    }
    const TRect r = m_window->DeviceRect(EntryRect);
    look.DrawTo(canvas.Handle(), r.Left, r.Top);
}

TDeviceMap TksSkinMenuItem::EntryMap() const {
    return m_window->LevelMap().Part(EntryRect);
}

void TksSkinMenuItem::DrawLook(TBitmap& bitmap, bool highlighted) {
    const TDeviceMap map = EntryMap();
    bitmap.SetSize(map.DeviceWidth(), map.DeviceHeight());
    if (bitmap.Empty()) return;
    bitmap.Canvas().SetPixelsPerInch(m_window->Scale().PixelsPerInch());  // the bitmap's DC, for the text
    if (map.IsIdentity()) {
        if (EntryData())
            DrawSkinLook(bitmap, highlighted);
        else
            DrawDefaultLook(bitmap, highlighted);
        return;
    }
    // The pictures and marks in the entry's skin pixels, scaled as one;
    // the text on the device pixels over them.
    TBitmap skin(map.Width, map.Height);
    skin.Canvas().SetPixelsPerInch(m_window->Scale().PixelsPerInch());
    if (EntryData())
        DrawSkinLook(skin, highlighted);
    else
        DrawDefaultLook(skin, highlighted);
    TSkinSurface(bitmap.Pixels(), map, nullptr).Copy(0, 0, skin.Pixels(), skin.Pixels().Bounds());
    if (IsDivider()) return;
    TRect tr{2, 2, map.Width - 2, map.Height - 2};
    int glyphWidth = DefaultColumn;
    int markShift = 1;
    TColor colour = clWindowText;
    if (const TksDataSkinMenuItem* data = EntryData()) {
        tr = data->TextRect;
        tr.Right = map.Width + data->TextRect.Right - data->SkinRect.Width();
        glyphWidth = m_window->GlyphWidth();
        markShift = 0;
        colour = data->UnEnabledFontColor;
        if (highlighted)
            colour = data->ActiveFontColor;
        else if (m_item->Enabled)
            colour = data->FontColor;
    } else if (!highlighted && !m_item->Enabled) {
        colour = clBtnShadow;
    }
    DrawText(bitmap, map, tr, glyphWidth, markShift, colour, highlighted);
}

void TksSkinMenuItem::DrawSkinLook(TBitmap& bitmap, bool highlighted) {
    const TksDataSkinMenuItem& data = *EntryData();
    const TPixelView picture = PictureView(m_picture);
    FillRectClipped(bitmap.Pixels(), {0, 0, bitmap.Width(), bitmap.Height()}, Px(clWhite));
    TPixelBuffer composed;
    if (IsDivider()) {
        ComposeHorizontal(picture, data.DividerRect, data.DividerLeftOffset, data.DividerRightOffset,
                          composed, bitmap.Width(), data.DividerStretchEffect);
        CopyInto(bitmap, composed, 0, 0);
        return;
    }
    ComposeHorizontal(picture, highlighted ? data.ActiveSkinRect : data.SkinRect, data.ItemLeftOffset,
                      data.ItemRightOffset, composed, bitmap.Width(), highlighted && data.StretchEffect);
    CopyInto(bitmap, composed, 0, 0);
    TRect tr = data.TextRect;
    tr.Right = bitmap.Width() + data.TextRect.Right - data.SkinRect.Width();
    TColor colour = data.UnEnabledFontColor;
    if (highlighted)
        colour = data.ActiveFontColor;
    else if (m_item->Enabled)
        colour = data.FontColor;
    DrawContent(bitmap, tr, m_window->GlyphWidth(), 0, colour, highlighted);
}

void TksSkinMenuItem::DrawDefaultLook(TBitmap& bitmap, bool highlighted) {
    const TPixelView view = bitmap.Pixels();
    const int w = bitmap.Width();
    const int h = bitmap.Height();
    TColor colour = clWindowText;
    if (highlighted && !IsDivider()) {
        FillRectClipped(view, {0, 0, w, h}, Px(DefaultHighlightFill));
        DrawRectOutline(view, {0, 0, w, h}, Px(DefaultHighlightBorder));
    } else {
        FillRectClipped(view, {0, 0, DefaultColumn, h}, Px(clBtnFace));
        FillRectClipped(view, {DefaultColumn, 0, w, h}, Px(clWindow));
        if (IsDivider()) {
            DrawLine(view, DefaultColumn, h / 2, w, h / 2, Px(clBtnShadow));
            return;
        }
        if (!m_item->Enabled) colour = clBtnShadow;
    }
    if (IsDivider()) return;
    DrawContent(bitmap, {2, 2, w - 2, h - 2}, DefaultColumn, 1, colour, highlighted);
}

void TksSkinMenuItem::DrawContent(TBitmap& bitmap, const TRect& tr, int glyphWidth, int markShift,
                                  TColor colour, bool highlighted) {
    // At another density the bitmap holds the skin pixels only: the text
    // comes on the device pixels after they are scaled (DrawLook).
    const TDeviceMap map = TDeviceMap::Identity(bitmap.Width(), bitmap.Height());
    if (!m_window->Scale().Identity()) {
        if (!m_item->OnDrawItem) DrawMarks(bitmap.Pixels(), tr, markShift, colour);
        return;
    }
    if (!DrawText(bitmap, map, tr, glyphWidth, markShift, colour, highlighted)) return;
    DrawMarks(bitmap.Pixels(), tr, markShift, colour);  // the pixels wait for the text
}

bool TksSkinMenuItem::DrawText(TBitmap& bitmap, const TDeviceMap& map, const TRect& skinTr, int glyphWidth,
                               int markShift, TColor colour, bool highlighted) {
    TCanvas& canvas = bitmap.Canvas();
    TksSkinMenu* manager = m_window->Manager();
    const TksDataSkinMenuItem* data = EntryData();
    TFont& font = canvas.Font();
    AssignSkinFont(font, manager->UseSkinFontInMenu ? data : nullptr, manager->DefMenuItemFont);
    font.SetColor(colour);
    canvas.Brush().SetStyle(TBrushStyle::bsClear);

    const TRect tr = map.ToDevice(skinTr);
    if (m_item->OnDrawItem) {
        m_item->OnDrawItem(m_item, canvas, tr, highlighted);
        return false;
    }
    // Caption: from the left of the text area after the glyph column,
    // centred vertically, drawn centred in its measured width + 2 (a single
    // line is measured at its full width, wherever the text area ends).
    const int glyph = map.X.DeviceLength(skinTr.Left, glyphWidth);
    const int two = map.X.DeviceLength(skinTr.Left, 2);
    const TSize ext = MeasureLine(canvas, m_item->Caption, false);
    const int captionTop = tr.Top + tr.Height() / 2 - ext.cy / 2;
    const TRect captionRect{tr.Left + glyph, captionTop, tr.Left + glyph + ext.cx + two, captionTop + ext.cy};
    TRect r = captionRect;
    canvas.DrawText(m_item->Caption, r, DT_SINGLELINE | DT_CENTER);

    if (m_item->ShortCut != scNone) {
        const std::string text = ShortCutToText(m_item->ShortCut);
        const int sw = MeasureLine(canvas, text, true).cx;
        const int gap = map.Scale.Map(ShortCutGap);
        TRect sr{tr.Right - gap - sw, captionRect.Top, tr.Right - gap, captionRect.Bottom};
        canvas.DrawText(text, sr, DT_SINGLELINE | DT_CENTER | DT_NOPREFIX);
    }
    const std::string& name = m_item->Name;
    const bool glyphItem = name == "SF_CLOSE" || name == "TRAY_SF_CLOSE" || name == "SF_MINITEM" ||
                           name == "SF_MAXITEM" || name == "SF_RESTORE" || name == "TRAY_SF_RESTORE" ||
                           name == "SF_ROLLUP" || name == "SF_MINTOTRAY";
    if (!glyphItem && m_item->Checked && m_item->RadioItem) {
        // The round mark, drawn by the platform as the text is.
        const int c = skinTr.Top + skinTr.Height() / 2;
        const int mx = skinTr.Left + 2 + markShift;
        const TRect dot = map.ToDevice({mx, c - 3, mx + 6, c + 3});
        canvas.Pen().SetColor(colour);
        canvas.Brush().SetStyle(TBrushStyle::bsSolid);
        canvas.Brush().SetColor(colour);
        canvas.RequireState();
        Ellipse(canvas.Handle(), dot.Left, dot.Top, dot.Right, dot.Bottom);
    }
    GdiFlush();
    return true;
}

void TksSkinMenuItem::DrawMarks(const TPixelView& view, const TRect& tr, int markShift, TColor colour) {
    const int c = tr.Top + tr.Height() / 2;
    const TPixel pen = Px(colour);
    if (HasSubItems()) {
        const int x = tr.Right - 7;
        const int y = c - 4;
        for (int i = 0; i < 4; ++i) DrawLine(view, x + i, y + i, x + i, y + 7 - i, pen);
    }
    const int mx = tr.Left + 2;
    const std::string& name = m_item->Name;
    if (name == "SF_CLOSE" || name == "TRAY_SF_CLOSE")
        DrawCaptionGlyph(view, TCaptionGlyph::Cross, mx, c - 4, pen);
    else if (name == "SF_MINITEM")
        DrawCaptionGlyph(view, TCaptionGlyph::Underline, mx, c - 4, pen);
    else if (name == "SF_MAXITEM")
        DrawCaptionGlyph(view, TCaptionGlyph::Box, mx, c - 4, pen);
    else if (name == "SF_RESTORE" || name == "TRAY_SF_RESTORE")
        DrawCaptionGlyph(view, TCaptionGlyph::TwoBoxes, mx, c - 4, pen);
    else if (name == "SF_ROLLUP")
        DrawCaptionGlyph(view, TCaptionGlyph::UpTriangle, mx, c - 4, pen);
    else if (name == "SF_MINTOTRAY")
        DrawCaptionGlyph(view, TCaptionGlyph::Square, mx, c - 4, pen);
    else if (m_item->Checked && !m_item->RadioItem)
        DrawCheckMark(view, mx + markShift, c - 4, pen);
}

// ---- TksSkinPopupWindow -------------------------------------------------------------

TksSkinPopupWindow::TksSkinPopupWindow(TksSkinMenu* manager, TksSkinData* skinData)
    : TCustomControl(nullptr), m_manager(manager), m_skinData(skinData) {
    TControl::SetVisible(false);
    if (m_skinData && !m_skinData->Empty() && m_skinData->PopupWindow().WindowPictureIndex != -1) {
        m_windowData = &m_skinData->PopupWindow();
        m_windowPicture = m_skinData->ActivePicture(m_windowData->WindowPictureIndex);
        m_windowMask = m_skinData->ActivePicture(m_windowData->MaskPictureIndex);
    }
}

TksSkinPopupWindow::~TksSkinPopupWindow() {
    m_pollTimer.Reset();
    m_morphTimer.Reset();
    m_scrollTimer.Reset();
    m_alphaTimer.Reset();
}

void TksSkinPopupWindow::CreateParams(TCreateParams& params) {
    TCustomControl::CreateParams(params);
    params.Style = WS_POPUP | WS_CLIPCHILDREN;
    params.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
    if (m_manager->MenusAlphaBlend) params.ExStyle |= WS_EX_LAYERED;
    params.WinClassName = IsWindowsXP() ? "ZvSkinMenuLevelXP" : "ZvSkinMenuLevel";
    params.ClassStyle = CS_SAVEBITS | (IsWindowsXP() ? CS_DROPSHADOW : 0);
    // Owned by the menu's form, so the level stays above it and goes with it.
    params.WndParent = m_manager->OwnerForm() ? m_manager->OwnerForm()->HandleOrNull() : nullptr;
}

void TksSkinPopupWindow::Retire() {
    if (m_shown && HandleAllocated())
        ::zv::NotifyAccEvent(accEventMenuPopupEnd, HandleOrNull(), accObjClient, 0);
    m_retired = true;
    m_shown = false;
    m_pollTimer.Reset();
    m_morphTimer.Reset();
    m_scrollTimer.Reset();
    m_alphaTimer.Reset();
    if (HandleAllocated()) ShowWindow(HandleOrNull(), SW_HIDE);
    TControl::SetVisible(false);
}

int TksSkinPopupWindow::IndexOfEntry(const TksSkinMenuItem* entry) const {
    for (size_t i = 0; i < m_entries.size(); ++i)
        if (m_entries[i].get() == entry) return static_cast<int>(i);
    return -1;
}

void TksSkinPopupWindow::BuildEntries(TMenuItem* items, int startIndex) {
    m_entries.clear();
    m_entryData = nullptr;
    if (m_skinData && !m_skinData->Empty()) {
        int index = m_skinData->IndexOfObject("MENUITEM");
        if (index < 0) index = m_skinData->IndexOfObject("menuitem");
        if (index >= 0) m_entryData = dynamic_cast<TksDataSkinMenuItem*>(m_skinData->SkinObjects(index));
    }
    AssignSkinFont(m_menuFont, (m_windowData && m_manager->UseSkinFontInMenu) ? m_entryData : nullptr,
                   m_manager->DefMenuItemFont);
    for (int i = std::max(startIndex, 0); i < items->Count(); ++i) {
        TMenuItem* item = items->Items(i);
        if (item->Visible) m_entries.push_back(std::make_unique<TksSkinMenuItem>(this, item));
    }
    // The framework's menus carry no image list.
    m_glyphWidth = 16;
}

void TksSkinPopupWindow::CalcSize(int& width, int& height) {
    TBitmap measure(1, 1);
    TCanvas& canvas = measure.Canvas();
    canvas.SetPixelsPerInch(m_scale.PixelsPerInch());
    canvas.Font().Assign(m_menuFont);
    // Texts are measured on the device and taken up to whole skin pixels.
    const int ppi = m_scale.PixelsPerInch();
    auto skinLength = [ppi](int device) { return (device * SkinPixelsPerInch + ppi - 1) / ppi; };
    int widest = 0;
    int total = 0;
    for (const auto& entry : m_entries) {
        const TMenuItem* item = entry->MenuItem();
        std::string text = item->Caption;
        if (item->ShortCut != scNone) text += "  " + ShortCutToText(item->ShortCut);
        widest = std::max(widest, skinLength(MeasureLine(canvas, text, false).cx) + 2);
        total += entry->ItemHeight();
    }
    width = widest + m_glyphWidth + 16;
    const int pw = m_windowPicture ? m_windowPicture->Width() : 0;
    const int ph = m_windowPicture ? m_windowPicture->Height() : 0;
    int margin = 6;
    if (m_windowData) {
        const TRect& items = m_windowData->ItemsRect;
        margin = ph - items.Height();
        if (m_entryData)
            width += m_entryData->TextRect.Left +
                     (m_entryData->SkinRect.Width() - m_entryData->TextRect.Right) + (pw - items.Width());
        else
            width += 4 + (pw - items.Width());  // the plain entries' 2-pixel margins
    } else {
        width += 10;
    }
    height = total + margin;
    m_scrolling = false;
    m_scrollingByLimit = false;
    const int maxItems = m_manager->MaxMenuItemsInWindow;
    if (maxItems > 0 && EntryCount() > maxItems) {
        int entryHeight = m_manager->DefMenuItemHeight;
        if (m_entryData) entryHeight = m_entryData->SkinRect.Height();
        height = entryHeight * maxItems + margin + 2 * MarkerZone;
        m_scrolling = true;
        m_scrollingByLimit = true;
    } else if (m_scale.Map(height) > m_manager->MenuWorkArea().Height()) {
        height = m_manager->MenuWorkArea().Height() * SkinPixelsPerInch / ppi;
        m_scrolling = true;
    }
}

void TksSkinPopupWindow::CalcTargetLayout() {
    const int w = m_skinSize.cx;
    const int h = m_skinSize.cy;
    if (m_windowData) {
        const int pw = m_windowPicture ? m_windowPicture->Width() : 0;
        const int ph = m_windowPicture ? m_windowPicture->Height() : 0;
        const TksDataSkinPopupWindow& d = *m_windowData;
        m_target.LeftTop = d.LeftTopPoint;
        m_target.RightTop = {w + d.RightTopPoint.X - pw, d.RightTopPoint.Y};
        m_target.LeftBottom = {d.LeftBottomPoint.X, h + d.LeftBottomPoint.Y - ph};
        m_target.RightBottom = {w + d.RightBottomPoint.X - pw, h + d.RightBottomPoint.Y - ph};
        m_target.ClientRect = {d.ItemsRect.Left, d.ItemsRect.Top, w + d.ItemsRect.Right - pw,
                               h + d.ItemsRect.Bottom - ph};
    } else {
        m_target = {};
        m_target.ClientRect = {3, 3, w - 3, h - 3};
    }
}

void TksSkinPopupWindow::LayoutEntries() {
    const TRect& items = TargetItemsRect();
    int top = items.Top + (m_scrolling ? MarkerZone : 0);
    const int limit = items.Bottom - (m_scrolling ? MarkerZone : 0);
    m_visibleEntryCount = 0;
    bool ended = false;
    for (int i = 0; i < EntryCount(); ++i) {
        TksSkinMenuItem& e = *m_entries[static_cast<size_t>(i)];
        if (i < m_firstVisibleEntry) {
            e.Shown = false;
            continue;
        }
        const int h = e.ItemHeight();
        e.EntryRect = {items.Left, top, items.Right, top + h};
        top += h;
        if (!ended && e.EntryRect.Bottom > limit) ended = true;
        e.Shown = !ended;
        if (e.Shown) ++m_visibleEntryCount;
    }
}

void TksSkinPopupWindow::UpdateRegion() {
    if (!m_windowMask || !m_windowData) return;
    const TksDataSkinPopupWindow& d = *m_windowData;
    const TSkinGeometry source{d.ItemsRect, d.LeftTopPoint, d.RightTopPoint, d.LeftBottomPoint,
                               d.RightBottomPoint};
    SetWindowRegion(
        CreateComposedMaskRegion(m_windowMask->View(), source, m_target, m_skinSize.cx, LevelMap()), false);
}

void TksSkinPopupWindow::ShowLevel(const TRect& anchor, TMenuItem* items, bool popupUp, bool submenu,
                                   int startIndex) {
    TBusyGuard busy(false);
    m_items = items;
    m_submenu = submenu;
    m_firstVisibleEntry = 0;
    m_scrollDirection = 0;
    // At the density of the form the menu belongs to.
    m_scale = TDeviceScale(m_manager->OwnerForm() ? m_manager->OwnerForm()->CurrentPPI() : SkinPixelsPerInch);
    BuildEntries(items, startIndex);
    int sw = 0;
    int sh = 0;
    CalcSize(sw, sh);
    m_skinSize = {sw, sh};
    const int w = LevelMap().DeviceWidth();
    const int h = LevelMap().DeviceHeight();
    SetBounds(Left(), Top(), w, h);
    CalcTargetLayout();
    LayoutEntries();
    HandleNeeded();
    UpdateRegion();

    TksMenuPlacement placement;
    placement.Anchor = anchor;
    placement.WorkArea = m_manager->MenuWorkArea();
    placement.Width = w;
    placement.Height = h;
    placement.ItemsTop = LevelMap().Y.ToDevice(TargetItemsRect().Top);
    placement.Submenu = submenu;
    placement.PopupUp = popupUp;
    placement.Scrolling = m_scrolling;
    placement.ScrollingByLimit = m_scrollingByLimit;
    m_showPosition = PlaceMenuLevel(placement);
    SetBounds(m_showPosition.X, m_showPosition.Y, w, h);

    // The first selectable entry is highlighted before the first paint.
    m_selectedEntry = -1;
    m_previousEntry = -1;
    for (int i = 0; i < EntryCount(); ++i) {
        if (!Entries(i)->Selectable()) continue;
        m_selectedEntry = i;
        Entries(i)->SelectedOnOpen = true;
        SelectEntry(i, false);
        break;
    }
    // A pending morph starts from the finished look: the level opens with its
    // highlight already in place.
    for (const auto& e : m_entries) e->MorphFactor = e->Highlighted() ? 1.0 : 0.0;

    // Skin cursors are numbered as the skinned controls number them.
    if (m_windowData && m_windowData->CursorIndex != -1)
        SetCursor(SkinFirstCursor + m_windowData->CursorIndex);
    HWND hwnd = Handle();
    if (m_manager->MenusAlphaBlend) {
        const bool animate = m_manager->MenusAlphaBlendAnimation && !submenu;
        m_alpha = animate ? 0 : std::clamp(m_manager->MenusAlphaBlendValue, 0, 255);
        SetWindowAlpha(hwnd, static_cast<BYTE>(m_alpha));
        if (animate) m_alphaTimer = TTimerId(hwnd, AlphaTimerId, AlphaInterval);
    }
    SetWindowPos(hwnd, HWND_TOPMOST, m_showPosition.X, m_showPosition.Y, w, h,
                 SWP_NOACTIVATE | SWP_SHOWWINDOW);
    TControl::SetVisible(true);
    m_shown = true;
    m_lastMousePoint = {-1, -1};
    m_pollTimer = TTimerId(hwnd, PollTimerId, PollInterval);
    // A reader hears the menu open and where its highlight is.
    ::zv::NotifyAccEvent(accEventMenuPopupStart, hwnd, accObjClient, 0);
    if (m_selectedEntry >= 0) TControl::NotifyAccEvent(accEventFocus, m_selectedEntry);
}

// ---- TksSkinPopupWindow: accessibility ----------------------------------------------

void TksSkinPopupWindow::AccDescribeSelf(TAccInfo& info) {
    info.Role = accRoleMenuPopup;
    if (!m_shown) info.State |= accStateInvisible;
}

void TksSkinPopupWindow::AccDescribeItem(int index, TAccInfo& info) {
    if (index < 0 || index >= EntryCount()) return;
    const TksSkinMenuItem& e = *Entries(index);
    const TMenuItem& item = *e.MenuItem();
    info.Bounds = DeviceRect(e.EntryRect);
    if (!e.Shown) info.State |= accStateOffscreen | accStateInvisible;
    if (e.IsDivider()) {
        info.Role = accRoleSeparator;
        return;
    }
    info.Role = accRoleMenuItem;
    info.Name = item.DisplayCaption();
    info.KeyboardShortcut =
        item.ShortCut != scNone ? ShortCutToText(item.ShortCut) : AccAccessKey(item.Caption);
    if (!item.Enabled) info.State |= accStateUnavailable;
    if (item.Checked) info.State |= accStateChecked;
    if (e.HasSubItems()) info.State |= accStateHasPopup;
    if (m_shown && index == m_selectedEntry) info.State |= accStateFocused | accStateHotTracked;
    if (item.Enabled) info.DefaultAction = e.HasSubItems() ? "Open" : "Execute";
}

int TksSkinPopupWindow::AccItemAt(TPoint device) {
    const TPoint client = LevelMap().ToSkin(device);
    for (int i = 0; i < EntryCount(); ++i)
        if (Entries(i)->Shown && Entries(i)->EntryRect.Contains(client)) return i;
    return -1;
}

void TksSkinPopupWindow::AccPerformDefaultAction(int item) {
    if (!m_shown || m_retired || item < 0 || item >= EntryCount() || !Entries(item)->Selectable()) return;
    const int old = m_selectedEntry;
    if (old != item) {
        SelectEntry(item, false);
        if (old >= 0) DeselectEntry(old);
        m_previousEntry = old;
        m_selectedEntry = item;
    }
    ChooseEntry(item);
}

void TksSkinPopupWindow::PaintLevel(TBitmap& bitmap) {
    const TDeviceMap map = LevelMap();
    const int w = m_skinSize.cx;
    const int h = m_skinSize.cy;
    bitmap.SetSize(map.DeviceWidth(), map.DeviceHeight());
    if (bitmap.Empty()) return;
    bitmap.Canvas().SetPixelsPerInch(m_scale.PixelsPerInch());
    TCanvas& canvas = bitmap.Canvas();
    // The background (and the markers) in skin pixels, scaled as one.
    TPixelBuffer skin;
    if (m_windowData) {
        const TksDataSkinPopupWindow& d = *m_windowData;
        const TPixelView picture = PictureView(m_windowPicture);
        const TSkinGeometry source{d.ItemsRect, d.LeftTopPoint, d.RightTopPoint, d.LeftBottomPoint,
                                   d.RightBottomPoint};
        ComposeNinePart(picture, {0, 0, picture.Width, picture.Height}, source, skin, w, h, m_target,
                        m_scrolling, {d.TopStretch, d.BottomStretch, d.LeftStretch, d.RightStretch});
    } else {
        skin.SetSize(w, h);
        const TPixelView view = skin.View();
        const int column = 22;
        FillRectClipped(view, {0, 0, column, h}, Px(clBtnFace));
        FillRectClipped(view, {column, 0, w, h}, Px(clWindow));
        DrawRectOutline(view, {0, 0, w, h}, Px(clBtnShadow));
        DrawRectOutline(view, {1, 1, w - 1, h - 1}, Px(clWindow));
    }
    if (map.IsIdentity()) {
        bitmap.Assign(skin);
    } else {
        if (m_scrolling) PaintMarkers(skin.View());
        TSkinSurface(bitmap.Pixels(), map, nullptr).Copy(0, 0, skin.View(), skin.View().Bounds());
    }
    for (const auto& e : m_entries) e->Paint(canvas);
    if (m_scrolling && map.IsIdentity()) PaintMarkers(bitmap.Pixels());
}

void TksSkinPopupWindow::PaintMarkers(const TPixelView& view) {
    TRect up;
    TRect down;
    TColor normal = clBtnShadow;
    TColor active = clBtnText;
    if (m_windowData) {
        const TRect& items = TargetItemsRect();
        up = {items.Left, items.Top, items.Right, items.Top + MarkerZone};
        down = {items.Left, items.Bottom - MarkerZone, items.Right, items.Bottom};
        normal = m_windowData->ScrollMarkerColor;
        active = m_windowData->ScrollMarkerActiveColor;
    } else {
        up = {3, 3, m_skinSize.cx - 3, 13};
        down = {3, m_skinSize.cy - 10, m_skinSize.cx - 3, m_skinSize.cy - 3};
    }
    DrawArrow(view, up, Px(m_scrollDirection == 1 ? active : normal), 3);
    DrawArrow(view, down, Px(m_scrollDirection == 2 ? active : normal), 4);
}

void TksSkinPopupWindow::PaintWindow(HDC dc) {
    // A closed level may outlive its manager until it is freed.
    if (m_retired) return;
    TBitmap bitmap;
    PaintLevel(bitmap);
    bitmap.DrawTo(dc, 0, 0);
}

void TksSkinPopupWindow::RedrawMarkers() {
    // The markers lie over the composed background: repaint the whole level.
    if (!m_shown || !HandleAllocated()) return;
    const TWindowDC dc = TWindowDC::Client(HandleOrNull());
    PaintWindow(dc.Get());
}

void TksSkinPopupWindow::PaintEntryNow(int index) {
    if (!m_shown || !HandleAllocated() || index < 0 || index >= EntryCount()) return;
    const TWindowDC dc = TWindowDC::Client(HandleOrNull());
    TCanvas canvas;
    canvas.SetHandle(dc.Get());
    Entries(index)->Paint(canvas);
    canvas.SetHandle(nullptr);
}

void TksSkinPopupWindow::RedrawEntry(int index) {
    if (index < 0 || index >= EntryCount()) return;
    if (Entries(index)->MorphAllowed()) {
        if (!m_morphTimer.Active() && HandleAllocated())
            m_morphTimer = TTimerId(HandleOrNull(), MorphTimerId, MorphInterval);
        return;
    }
    PaintEntryNow(index);
}

void TksSkinPopupWindow::MorphStep() {
    if (!m_windowData) {
        m_morphTimer.Reset();
        return;
    }
    bool pending = false;
    for (int i = 0; i < EntryCount(); ++i) {
        TksSkinMenuItem& e = *Entries(i);
        if (!e.Shown) {
            if (e.MorphFactor != 0.0) {
                e.Active = false;
                e.Down = false;
                e.MorphFactor = 0.0;
            }
            continue;
        }
        if (!e.MorphAllowed()) continue;
        const bool hl = e.Highlighted();
        if ((hl && e.MorphFactor < 1.0) || (!hl && e.MorphFactor > 0.0)) {
            e.MorphFactor = std::clamp(e.MorphFactor + (hl ? 0.2 : -0.2), 0.0, 1.0);
            PaintEntryNow(i);
            pending = true;
        }
    }
    if (!pending) m_morphTimer.Reset();
}

void TksSkinPopupWindow::SelectEntry(int index, bool byMouse) {
    if (index < 0 || index >= EntryCount()) return;
    TksSkinMenuItem& e = *Entries(index);
    e.Active = true;
    if (m_shown) TControl::NotifyAccEvent(accEventFocus, index);
    for (int i = 0; i < EntryCount(); ++i) {
        if (i == index || !Entries(i)->Down) continue;
        Entries(i)->Down = false;
        RedrawEntry(i);
    }
    if (e.SelectedOnOpen && byMouse) {
        RedrawEntry(index);
        return;
    }
    const int level = m_manager->IndexOfLevel(this);
    if (!e.Down) {
        RedrawEntry(index);
        if (byMouse && level >= 0) {
            m_manager->CloseLevelsFrom(level + 1);
            if (e.HasSubItems())
                m_manager->StartSubmenuTimer(&e);
            else
                m_manager->StopSubmenuTimer();
        }
        return;
    }
    // Its sub-items are open as the next level: close what follows that one.
    if (level >= 0 && m_manager->LevelCount() > level + 2) {
        m_manager->CloseLevelsFrom(level + 2);
        TksSkinPopupWindow* next = m_manager->Level(level + 1);
        for (int i = 0; i < next->EntryCount(); ++i) {
            if (!next->Entries(i)->Down) continue;
            next->Entries(i)->Down = false;
            next->RedrawEntry(i);
        }
    }
}

void TksSkinPopupWindow::DeselectEntry(int index) {
    if (index < 0 || index >= EntryCount()) return;
    TksSkinMenuItem& e = *Entries(index);
    e.SelectedOnOpen = false;
    e.Active = false;
    if (!e.Down) RedrawEntry(index);
    if (m_manager->PendingEntry() == &e) m_manager->StopSubmenuTimer();
}

void TksSkinPopupWindow::ChooseEntry(int index) {
    if (index < 0 || index >= EntryCount()) return;
    TksSkinMenuItem& e = *Entries(index);
    e.SelectedOnOpen = false;
    // A divider is never run, whichever way it was reached.
    if (e.Down || !e.Selectable()) return;
    TMenuItem* item = e.MenuItem();
    TksSkinMenu* manager = m_manager;
    if (!e.HasSubItems()) {
        manager->StopSubmenuTimer();
        const std::shared_ptr<bool> alive = manager->m_alive;
        manager->CloseMenu();
        if (!*alive) return;
        item->Click();
        // The command may free the manager with its form, or the notify
        // control: ask again afterwards.
        if (!*alive) return;
        TWinControl* notify = manager->NotifyControl();
        if (notify && notify->HandleAllocated())
            SendMessageA(notify->HandleOrNull(), WM_SKINMENUCOMMAND, 0, 0);
        return;
    }
    item->Click();
    manager->OpenSubmenu(&e);
}

void TksSkinPopupWindow::TrackPoint(TPoint p) {
    TrackSkinPoint(LevelMap().ToSkin(p));
}

void TksSkinPopupWindow::TrackSkinPoint(TPoint p) {
    if (!m_shown) return;
    if (m_scrolling) {
        const TRect& items = TargetItemsRect();
        const bool inUp = TRect{items.Left, items.Top, items.Right, items.Top + MarkerZone}.Contains(p);
        const bool inDown =
            TRect{items.Left, items.Bottom - MarkerZone, items.Right, items.Bottom}.Contains(p);
        if (inUp && m_firstVisibleEntry > 0 && m_scrollDirection == 0)
            StartScroll(1);
        else if (inDown && m_firstVisibleEntry + m_visibleEntryCount < EntryCount() && m_scrollDirection == 0)
            StartScroll(2);
        else if (!inUp && !inDown && m_scrollDirection != 0)
            StopScroll();
    }
    m_previousEntry = m_selectedEntry;
    for (int i = 0; i < EntryCount(); ++i) {
        if (Entries(i)->Shown && Entries(i)->EntryRect.Contains(p)) {
            m_selectedEntry = i;
            break;
        }
    }
    if (m_selectedEntry == m_previousEntry) {
        if (m_selectedEntry == -1) return;
        TksSkinMenuItem& e = *Entries(m_selectedEntry);
        if (e.SelectedOnOpen) {
            e.SelectedOnOpen = false;
            if (e.HasSubItems() && e.Selectable()) SelectEntry(m_selectedEntry, true);
        }
        return;
    }
    if (m_previousEntry >= 0 && Entries(m_previousEntry)->Selectable()) DeselectEntry(m_previousEntry);
    if (Entries(m_selectedEntry)->Selectable()) SelectEntry(m_selectedEntry, true);
}

void TksSkinPopupWindow::LeftButtonUp(TPoint device) {
    if (!m_shown) return;
    const TPoint p = LevelMap().ToSkin(device);
    TrackSkinPoint(p);
    if (m_retired || m_selectedEntry < 0) return;
    bool onEntry = false;
    for (const auto& e : m_entries) onEntry = onEntry || (e->Shown && e->EntryRect.Contains(p));
    if (onEntry && !Entries(m_selectedEntry)->IsDivider()) ChooseEntry(m_selectedEntry);
}

void TksSkinPopupWindow::PollMouse() {
    if (!m_shown || !HandleAllocated()) return;
    POINT screen{};
    if (!GetCursorPos(&screen)) return;
    POINT client = screen;
    ::ScreenToClient(HandleOrNull(), &client);
    const TPoint p{client.x, client.y};
    const bool overThis = WindowFromPoint(screen) == HandleOrNull();
    if (overThis && !(p == m_lastMousePoint)) {
        m_lastMousePoint = p;
        TrackPoint(p);
        return;
    }
    m_lastMousePoint = p;
    if (!overThis && m_scrolling && m_scrollDirection != 0) StopScroll();
}

void TksSkinPopupWindow::StartScroll(int direction) {
    if (!m_scrolling || (direction != 1 && direction != 2)) return;
    m_scrollDirection = direction;
    RedrawMarkers();
    const int level = m_manager->IndexOfLevel(this);
    if (level >= 0) m_manager->CloseLevelsFrom(level + 1);
    if (HandleAllocated()) m_scrollTimer = TTimerId(HandleOrNull(), ScrollTimerId, ScrollInterval);
}

void TksSkinPopupWindow::StopScroll() {
    m_scrollDirection = 0;
    m_scrollTimer.Reset();
    RedrawMarkers();
}

bool TksSkinPopupWindow::ScrollStep() {
    const bool canUp = m_scrollDirection == 1 && m_firstVisibleEntry > 0;
    const bool canDown = m_scrollDirection == 2 && m_firstVisibleEntry + m_visibleEntryCount < EntryCount();
    if (!canUp && !canDown) {
        StopScroll();
        return false;
    }
    m_firstVisibleEntry += canUp ? -1 : 1;
    LayoutEntries();
    RedrawMarkers();
    return true;
}

int TksSkinPopupWindow::LastPageStart() const {
    const TRect& items = TargetItemsRect();
    const int room = (items.Bottom - MarkerZone) - (items.Top + MarkerZone);
    int used = 0;
    int start = EntryCount();
    for (int i = EntryCount() - 1; i >= 0; --i) {
        used += m_entries[static_cast<size_t>(i)]->ItemHeight();
        if (used > room) break;
        start = i;
    }
    return std::min(start, std::max(EntryCount() - 1, 0));
}

void TksSkinPopupWindow::ScrollOneEntry(bool up) {
    m_firstVisibleEntry = std::clamp(m_firstVisibleEntry + (up ? -1 : 1), 0, std::max(EntryCount() - 1, 0));
    LayoutEntries();
}

void TksSkinPopupWindow::MoveSelection(bool forward) {
    const int count = EntryCount();
    if (count == 0) return;
    const int old = m_selectedEntry;
    int found = -1;
    if (forward) {
        int start = old + 1;
        if (old < 0 || start >= count) start = 0;
        for (int i = start; i < count && found < 0; ++i)
            if (Entries(i)->Selectable()) found = i;
    } else {
        int start = old - 1;
        if (old <= 0) start = count - 1;
        for (int i = start; i >= 0 && found < 0; --i)
            if (Entries(i)->Selectable()) found = i;
    }
    if (found < 0 || found == old) return;
    if (m_scrolling) {
        // Bring the new entry into the visible range one entry at a time;
        // a step past an end lands on the other end's page.
        bool moved = false;
        if (forward && found < old) {
            m_firstVisibleEntry = 0;
            LayoutEntries();
            moved = true;
        } else if (!forward && found > old && old >= 0) {
            m_firstVisibleEntry = LastPageStart();
            LayoutEntries();
            moved = true;
        }
        for (int guard = 0; guard < count && found < m_firstVisibleEntry; ++guard) {
            ScrollOneEntry(true);
            moved = true;
        }
        for (int guard = 0;
             guard < count && m_visibleEntryCount > 0 && found >= m_firstVisibleEntry + m_visibleEntryCount;
             ++guard) {
            ScrollOneEntry(false);
            moved = true;
        }
        if (moved) {
            const int level = m_manager->IndexOfLevel(this);
            if (level >= 0) m_manager->CloseLevelsFrom(level + 1);
        }
        m_previousEntry = old;
        m_selectedEntry = found;
        SelectEntry(found, false);
        if (old >= 0) DeselectEntry(old);
        if (moved) RedrawMarkers();
        return;
    }
    m_previousEntry = old;
    m_selectedEntry = found;
    SelectEntry(found, false);
    if (old >= 0) DeselectEntry(old);
}

void TksSkinPopupWindow::KeyDown(WORD key) {
    if (!m_shown || m_retired) return;
    TBusyGuard busy(false);
    TksSkinMenu* manager = m_manager;
    const bool letter = (key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9');
    if (letter) {
        for (int i = 0; i < EntryCount(); ++i) {
            if (Entries(i)->MenuItem()->AcceleratorChar() != static_cast<char>(key)) continue;
            const int old = m_selectedEntry;
            SelectEntry(i, true);
            if (old >= 0 && old != i) DeselectEntry(old);
            m_previousEntry = old;
            m_selectedEntry = i;
            ChooseEntry(i);
            return;
        }
    }
    switch (key) {
        case VK_RETURN:
            if (m_selectedEntry >= 0) ChooseEntry(m_selectedEntry);
            return;
        case VK_LEFT:
            if (manager->LevelCount() < 2) return;
            [[fallthrough]];
        case VK_ESCAPE: {
            manager->CloseLevelsFrom(manager->LevelCount() - 1);
            if (manager->LevelCount() > 0) {
                TksSkinPopupWindow* last = manager->Level(manager->LevelCount() - 1);
                const int sel = last->SelectedEntry();
                if (sel >= 0 && last->Entries(sel)->Down) {
                    last->Entries(sel)->Down = false;
                    last->RedrawEntry(sel);
                }
            }
            return;
        }
        case VK_UP: MoveSelection(false); return;
        case VK_RIGHT:
            if (m_selectedEntry >= 0 && Entries(m_selectedEntry)->HasSubItems()) ChooseEntry(m_selectedEntry);
            return;
        case VK_DOWN: MoveSelection(true); return;
        default: return;
    }
}

void TksSkinPopupWindow::OnTimer(UINT_PTR id) {
    switch (id) {
        case PollTimerId: PollMouse(); break;
        case MorphTimerId: MorphStep(); break;
        case ScrollTimerId: ScrollStep(); break;
        case SubmenuTimerId: m_manager->SubmenuTimerFired(); break;
        case AlphaTimerId: {
            const int target = std::clamp(m_manager->MenusAlphaBlendValue, 0, 255);
            m_alpha = std::min(m_alpha + 2, target);
            if (HandleAllocated()) SetWindowAlpha(HandleOrNull(), static_cast<BYTE>(m_alpha));
            if (m_alpha >= target) m_alphaTimer.Reset();
            break;
        }
        default: break;
    }
}

void TksSkinPopupWindow::WndProc(TMessage& msg) {
    if (m_retired) {
        // Closed and waiting to be freed: only the framework's own handling.
        if (msg.Msg == WM_MOUSEACTIVATE) {
            msg.Result = MA_NOACTIVATE;
            return;
        }
        if (msg.Msg == WM_TIMER) return;
        TCustomControl::WndProc(msg);
        return;
    }
    TBusyGuard busy(true);
    switch (msg.Msg) {
        case WM_MOUSEACTIVATE: msg.Result = MA_NOACTIVATE; return;
        case WM_ERASEBKGND: {
            PaintWindow(reinterpret_cast<HDC>(msg.WParam));
            msg.Result = 1;
            return;
        }
        case WM_TIMER: OnTimer(msg.WParam); return;
        case WM_LBUTTONUP: {
            const POINTS pt = MAKEPOINTS(msg.LParam);
            LeftButtonUp({pt.x, pt.y});
            return;
        }
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
        case WM_RBUTTONDBLCLK:
        case WM_MBUTTONDOWN:
        case WM_MBUTTONUP:
        case WM_MBUTTONDBLCLK:
            // Pressing a button in a level does nothing by itself.
            return;
        default: TCustomControl::WndProc(msg); return;
    }
}

// ---- TksSkinMenu --------------------------------------------------------------------

TksSkinMenu::TksSkinMenu(TComponent* owner, TCustomForm* ownerForm)
    : TComponent(owner), m_ownerForm(ownerForm) {
    DefMenuItemFont.SetName("Arial");
    DefMenuItemFont.SetHeight(14);
    if (m_ownerForm) FreeNotification(m_ownerForm);
}

TksSkinMenu::~TksSkinMenu() {
    *m_alive = false;
    m_submenuTimer.Reset();
    m_pendingEntry = nullptr;
    while (!m_levels.empty()) {
        std::unique_ptr<TksSkinPopupWindow> level = std::move(m_levels.back());
        m_levels.pop_back();
        level->Retire();
        RetireLevel(std::move(level));
    }
    if (g_busy == 0)
        PurgeRetired();
    else if (HWND reaper = ReaperWindow())
        PostMessageA(reaper, WM_PURGELEVELS, 0, 0);
}

void TksSkinMenu::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
    if (operation != TOperation::opRemove) return;
    if (component == m_notifyControl) m_notifyControl = nullptr;
    if (component == m_menuSkinData) {
        // The pictures the levels show are going: close before they do.
        CloseLevelsFrom(0);
        m_menuSkinData = nullptr;
    }
    if (component == m_ownerForm) m_ownerForm = nullptr;
}

TksSkinPopupWindow* TksSkinMenu::Level(int index) const {
    if (index < 0 || index >= LevelCount()) return nullptr;
    return m_levels[static_cast<size_t>(index)].get();
}

int TksSkinMenu::IndexOfLevel(const TksSkinPopupWindow* level) const {
    for (size_t i = 0; i < m_levels.size(); ++i)
        if (m_levels[i].get() == level) return static_cast<int>(i);
    return -1;
}

void TksSkinMenu::PopupMenuItems(TWinControl* notifyControl, TksSkinData* skinData, bool popupUp,
                                 TMenuItem* items, const TRect& anchor, int startIndex) {
    TBusyGuard busy(false);
    if (!m_levels.empty()) CloseLevelsFrom(0);
    if (m_notifyControl && m_notifyControl != notifyControl) RemoveFreeNotification(m_notifyControl);
    m_notifyControl = notifyControl;
    if (m_notifyControl) FreeNotification(m_notifyControl);
    HWND formWnd = m_ownerForm ? m_ownerForm->HandleOrNull() : nullptr;
    m_menuWorkArea = GetMonitorWorkArea(formWnd, true);
    if (m_menuSkinData && m_menuSkinData != skinData) RemoveFreeNotification(m_menuSkinData);
    m_menuSkinData = skinData;
    if (m_menuSkinData) FreeNotification(m_menuSkinData);
    if (!items || startIndex < 0 || startIndex >= items->Count()) return;
    m_menuOpen = true;
    TksSkinData* data = (m_menuSkinData && !m_menuSkinData->Empty()) ? m_menuSkinData : nullptr;
    m_levels.push_back(std::make_unique<TksSkinPopupWindow>(this, data));
    m_levels.back()->ShowLevel(anchor, items, popupUp, false, startIndex);
}

void TksSkinMenu::OpenSubmenu(TksSkinMenuItem* entry) {
    TBusyGuard busy(false);
    StopSubmenuTimer();
    TksSkinPopupWindow* window = entry->Window();
    const int level = IndexOfLevel(window);
    if (level < 0 || !entry->HasSubItems()) return;
    // Whatever followed this level belonged to another entry.
    CloseLevelsFrom(level + 1);
    entry->Down = true;
    window->RedrawEntry(window->IndexOfEntry(entry));
    const TPoint origin = window->ShowPosition();
    const TRect anchor = OffsetRect(window->DeviceRect(entry->EntryRect), origin.X, origin.Y);
    TksSkinData* data = (m_menuSkinData && !m_menuSkinData->Empty()) ? m_menuSkinData : nullptr;
    m_levels.push_back(std::make_unique<TksSkinPopupWindow>(this, data));
    m_levels.back()->ShowLevel(anchor, entry->MenuItem(), false, true, 0);
}

void TksSkinMenu::StartSubmenuTimer(TksSkinMenuItem* entry) {
    m_submenuTimer.Reset();
    m_pendingEntry = entry;
    TksSkinPopupWindow* window = entry ? entry->Window() : nullptr;
    if (window && window->HandleAllocated())
        m_submenuTimer = TTimerId(window->HandleOrNull(), SubmenuTimerId, SubmenuInterval);
}

void TksSkinMenu::StopSubmenuTimer() {
    m_submenuTimer.Reset();
    m_pendingEntry = nullptr;
}

void TksSkinMenu::SubmenuTimerFired() {
    TksSkinMenuItem* entry = m_pendingEntry;
    StopSubmenuTimer();
    if (!entry || IndexOfLevel(entry->Window()) < 0) return;
    TksSkinPopupWindow* window = entry->Window();
    window->ChooseEntry(window->IndexOfEntry(entry));
}

void TksSkinMenu::CloseLevelsFrom(int level) {
    TBusyGuard busy(false);
    level = std::max(level, 0);
    while (LevelCount() > level) {
        std::unique_ptr<TksSkinPopupWindow> last = std::move(m_levels.back());
        m_levels.pop_back();
        if (m_pendingEntry && m_pendingEntry->Window() == last.get()) StopSubmenuTimer();
        last->Retire();
        RetireLevel(std::move(last));
    }
    if (level != 0) return;
    StopSubmenuTimer();
    m_menuOpen = false;
    if (m_notifyControl && m_notifyControl->HandleAllocated())
        SendMessageA(m_notifyControl->HandleOrNull(), WM_SKINMENUCLOSED, 0, 0);
    if (OnMenuClose) {
        TNotifyEvent event = std::move(OnMenuClose);
        OnMenuClose = nullptr;
        event(this);
    }
}

void TksSkinMenu::CloseMenu() {
    TBusyGuard busy(false);
    const std::shared_ptr<bool> alive = m_alive;
    CloseLevelsFrom(0);
    if (!*alive) return;
    m_pendingEntry = nullptr;
    if (m_ownerForm && m_ownerForm->HandleAllocated())
        SendMessageA(m_ownerForm->HandleOrNull(), WM_SKINMENUCLOSED, 0, 0);
}

}  // namespace zv

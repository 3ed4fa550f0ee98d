// Skin previews (see SkinPreview.h): helpers, frame, controls, popup menu,
// the main window put together, and the sheet layout.
#include "tools/skintool/SkinPreview.h"

#include <algorithm>

#include "skinui/paint/BlockTransfer.h"
#include "skinui/paint/FrameLayout.h"
#include "skinui/paint/Glyphs.h"
#include "skinui/paint/SkinPaint.h"
#include "tools/skintool/PixelFont.h"

namespace zv {

namespace {

constexpr int kCapHeight = 7;  // of the pixel font; text is centred on it
// The default frame's caption height, for a skin without a client rectangle.
constexpr int kDefaultCaptionHeight = 19;

const TksBitmap& NeedPicture(const TksBitmap* picture, const std::string& what) {
    if (!picture || picture->Empty()) throw ESkinPreviewError(what + " has no picture");
    return *picture;
}

template <typename T>
T& NeedControl(const TksSkinData& data, const std::string& name) {
    const int i = data.IndexOfControl(name);
    if (i < 0) throw ESkinPreviewError("the skin has no control entry '" + name + "'");
    auto* c = dynamic_cast<T*>(data.SkinControls(i));
    if (!c) throw ESkinPreviewError("control entry '" + name + "' is not of the kind this preview draws");
    return *c;
}

TSkinElementGeometry ElementOf(const TksDataSkinCustomControl& c) {
    return {c.SkinRect,
            {c.ClientRect, c.LeftTopPoint, c.RightTopPoint, c.LeftBottomPoint, c.RightBottomPoint},
            c.StretchEffect};
}

void Blit(TPixelBuffer& target, int x, int y, const TPixelBuffer& source) {
    if (!source.Empty()) CopyBlock(target.View(), x, y, source.View(), source.View().Bounds());
}

// Copies `src` of `picture` to (x, y), leaving pixels of the piece's
// bottom-left colour alone (the controls' transparent drawing).
void BlitTransparent(const TPixelView& target, int x, int y, const TPixelView& picture, const TRect& src) {
    if (src.IsEmpty() || !picture.Contains(src.Left, src.Bottom - 1)) return;
    const TPixel key = PixelRGB(picture.At(src.Left, src.Bottom - 1));
    for (int sy = src.Top; sy < src.Bottom; ++sy)
        for (int sx = src.Left; sx < src.Right; ++sx) {
            if (!picture.Contains(sx, sy)) continue;
            const TPixel p = picture.At(sx, sy);
            const int tx = x + sx - src.Left, ty = y + sy - src.Top;
            if (PixelRGB(p) != key && target.Contains(tx, ty)) target.At(tx, ty) = p;
        }
}

// Tiles `tile` of `picture` over `area` of the target from the area's
// top-left corner, cut at the area's edges.
void TileOver(const TPixelView& target, const TRect& area, const TPixelView& picture, const TRect& tile) {
    if (tile.IsEmpty() || area.IsEmpty()) return;
    const TPixelView sub = SubView(target, area);
    if (sub.Empty()) return;
    for (int y = 0; y < sub.Height; y += tile.Height())
        for (int x = 0; x < sub.Width; x += tile.Width()) CopyBlock(sub, x, y, picture, tile);
}

void DrawAlignedText(const TPixelView& target, const TRect& r, const std::string& text, TPixel colour,
                     bool bold, TAlignment alignment, bool accel = false) {
    const int tw = PixelTextWidth(text, bold, accel);
    int x = r.Left;
    if (alignment == TAlignment::taCenter)
        x = r.Left + (r.Width() - tw) / 2;
    else if (alignment == TAlignment::taRightJustify)
        x = r.Right - tw;
    DrawPixelText(target, r, x, r.Top + (r.Height() - kCapHeight) / 2, text, colour, bold, accel);
}

TPreviewImage Opaque(int w, int h) {
    TPreviewImage img;
    img.Pixels.SetSize(std::max(w, 0), std::max(h, 0), MakePixel(255, 255, 255));
    return img;
}

// Breaks `text` at blanks into lines of at most `width` pixels (a word
// longer than that gets a line of its own).
std::vector<std::string> WrapText(const std::string& text, int width) {
    std::vector<std::string> lines;
    std::string line, word;
    auto flush = [&] {
        if (word.empty()) return;
        const std::string joined = line.empty() ? word : line + " " + word;
        if (!line.empty() && PixelTextWidth(joined, false) > width) {
            lines.push_back(line);
            line = word;
        } else {
            line = joined;
        }
        word.clear();
    };
    for (char ch : text) {
        if (ch == ' ')
            flush();
        else
            word += ch;
    }
    flush();
    if (!line.empty()) lines.push_back(line);
    return lines;
}

// The frame objects of the skin as the program's windows arrange them: only
// the close and the system-menu buttons work; the other caption buttons
// are hidden unless their normal look is part of the frame picture, and
// custom buttons are hidden.
std::vector<const TksDataSkinObject*> FrameObjectsOf(const TksSkinData& data,
                                                     std::vector<TFrameObjectEntry>& entries) {
    std::vector<const TksDataSkinObject*> objects;
    for (int i = 0; i < data.SkinObjectCount(); ++i) {
        const TksDataSkinObject* o = data.SkinObjects(i);
        if (dynamic_cast<const TksDataSkinMenuItem*>(o) || dynamic_cast<const TksDataSkinMainMenuItem*>(o) ||
            dynamic_cast<const TksDataSkinMainMenuBarButton*>(o))
            continue;
        TFrameObjectEntry entry;
        entry.SkinRect = o->SkinRect;
        entry.ButtonSize = {o->SkinRect.Width(), o->SkinRect.Height()};
        entry.SkinRectInAPicture = o->SkinRectInAPicture;
        entry.RollUp = o->RollUp;
        if (const auto* b = dynamic_cast<const TksDataSkinStdButton*>(o)) {
            entry.Role = TFrameObjectRole::CaptionButton;
            entry.Command = b->Command;
            if (b->Command == TStdCommand::cmDefault) {
                entry.Visible = false;
            } else if (b->Command != TStdCommand::cmClose && b->Command != TStdCommand::cmSysMenu) {
                entry.Enabled = false;
                entry.Visible = !b->SkinRectInAPicture;
            }
        } else if (dynamic_cast<const TksDataSkinCaption*>(o)) {
            entry.Role = TFrameObjectRole::Caption;
        } else if (!dynamic_cast<const TksDataSkinButton*>(o)) {
            continue;  // kinds the program's windows do not make
        }
        entries.push_back(entry);
        objects.push_back(o);
    }
    return objects;
}

}  // namespace

// ------------------------------------------------------------------ frame

TPreviewImage RenderFramePreview(const TksSkinData& data, int w, int h, bool active,
                                 const std::string& caption) {
    const TksBitmap& pic = NeedPicture(&data.Picture(), "the frame");
    const TksDataSkinFormInfo& fi = data.FormInfo();
    TPreviewImage img = Opaque(w, h);
    // The frame's own layout: the same targets and object places the
    // skinned windows use.
    std::vector<TFrameObjectEntry> entries;
    const std::vector<const TksDataSkinObject*> objects = FrameObjectsOf(data, entries);
    TFrameLayout layout = CalcFrameLayout(fi, {pic.Width(), pic.Height()}, w, h, kDefaultCaptionHeight);
    PlaceFrameObjects(layout, fi, entries);
    const TSkinGeometry& src = layout.Source;
    const TSkinGeometry& dst = layout.Target;

    TFrameStrips strips;
    ComposeFrameStrips(pic.View(), src, dst, w, h,
                       {fi.TopStretch, fi.BottomStretch, fi.LeftStretch, fi.RightStretch}, strips);
    Blit(img.Pixels, 0, 0, strips.Top);
    Blit(img.Pixels, 0, dst.ClientRect.Bottom, strips.Bottom);
    Blit(img.Pixels, 0, dst.ClientRect.Top, strips.Left);
    Blit(img.Pixels, dst.ClientRect.Right, dst.ClientRect.Top, strips.Right);

    // Client background: the picture's client part tiled, or an active picture.
    if (const TksBitmap* bg = data.ActivePicture(fi.BGPictureIndex))
        TileOver(img.Pixels.View(), dst.ClientRect, bg->View(), bg->View().Bounds());
    else
        TileOver(img.Pixels.View(), dst.ClientRect, pic.View(), fi.ClientRect);

    // The caption object and the close button; the system-menu button's
    // normal look is part of the frame picture.
    bool captionDone = false;
    for (std::size_t i = 0; i < objects.size(); ++i) {
        const TksDataSkinObject* o = objects[i];
        const TRect place = layout.Objects[i].Rect;
        const TksBitmap* objectPicture = data.ActivePicture(o->ActivePictureIndex);
        if (const auto* c = dynamic_cast<const TksDataSkinCaption*>(o); c && !captionDone) {
            captionDone = true;
            if (place.IsEmpty()) continue;
            TPixelBuffer look(place.Width(), place.Height());
            const TCaptionLayout fit = CalcCaptionLayout(c->SkinRect, {place.Width(), place.Height()}, src);
            if (active && objectPicture && !c->ActiveSkinRect.IsEmpty())
                ComposeCaptionLook(look.View(), objectPicture->View(), c->ActiveSkinRect, fit);
            else
                ComposeCaptionLook(look.View(), pic.View(), c->SkinRect, fit);
            Blit(img.Pixels, place.Left, place.Top, look);
            const TRect text = OffsetRect(CaptionTextRect(*c, place.Width()), place.Left, place.Top);
            const bool bold = (c->FontStyle & fsBold) != 0;
            if (c->Shadow)
                DrawAlignedText(img.Pixels.View(), OffsetRect(text, 1, 1), caption,
                                ColorToPixel(active ? c->ActiveShadowColor : c->ShadowColor), bold,
                                c->Alignment);
            DrawAlignedText(img.Pixels.View(), text, caption,
                            ColorToPixel(active ? c->ActiveFontColor : c->FontColor), bold, c->Alignment);
            continue;
        }
        const TFrameObjectEntry& entry = entries[i];
        if (entry.Command == TStdCommand::cmClose && entry.Role == TFrameObjectRole::CaptionButton &&
            entry.SkinRectInAPicture && objectPicture)
            CopyBlock(img.Pixels.View(), place.Left, place.Top, objectPicture->View(), o->SkinRect);
    }

    // The window's shape: inside the mask rect always, in the border only
    // where the mask is black.
    const TksBitmap& mask = data.Mask();
    if (!mask.Empty() && !fi.MaskRectArea.IsEmpty()) {
        TSkinGeometry msrc = src;
        msrc.ClientRect = fi.MaskRectArea;
        TSkinGeometry mdst = dst;
        mdst.ClientRect = layout.MaskRect;
        TFrameStrips ms;
        ComposeTiledStrips(mask.View(), msrc, mdst, w, ms);
        img.Alpha.assign(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), 0);
        auto setOpaque = [&](int x, int y) {
            if (x >= 0 && y >= 0 && x < w && y < h)
                img.Alpha[static_cast<std::size_t>(y) * static_cast<std::size_t>(w) +
                          static_cast<std::size_t>(x)] = 255;
        };
        const TRect& mr = mdst.ClientRect;
        for (int y = mr.Top; y < mr.Bottom; ++y)
            for (int x = mr.Left; x < mr.Right; ++x) setOpaque(x, y);
        auto strip = [&](const TPixelBuffer& s, int ox, int oy) {
            for (int y = 0; y < s.Height(); ++y)
                for (int x = 0; x < s.Width(); ++x)
                    if (PixelRGB(s.At(x, y)) == 0) setOpaque(ox + x, oy + y);
        };
        strip(ms.Top, 0, 0);
        strip(ms.Bottom, 0, mr.Bottom);
        strip(ms.Left, 0, mr.Top);
        strip(ms.Right, mr.Right, mr.Top);
    }
    return img;
}

// --------------------------------------------------------------- controls

TPreviewImage RenderButtonPreview(const TksSkinData& data, const std::string& name, int w, int h,
                                  TPreviewButtonState state, const std::string& caption) {
    const auto& b = NeedControl<TksDataSkinButtonControl>(data, name);
    const TksBitmap& pic = NeedPicture(data.ActivePicture(b.PictureIndex), "button entry '" + name + "'");
    TSkinElementGeometry element = ElementOf(b);
    TColor colour = b.FontColor;
    switch (state) {
        case TPreviewButtonState::Normal: break;
        case TPreviewButtonState::Active:
            if (!b.ActiveSkinRect.IsEmpty()) element.SkinRect = b.ActiveSkinRect;
            colour = b.ActiveFontColor;
            break;
        case TPreviewButtonState::Pressed:
            if (!b.DownSkinRect.IsEmpty()) element.SkinRect = b.DownSkinRect;
            colour = b.DownFontColor;
            break;
        case TPreviewButtonState::Disabled:
            if (!b.DisabledSkinRect.IsEmpty()) element.SkinRect = b.DisabledSkinRect;
            colour = b.DisabledFontColor;
            break;
    }
    TPreviewImage img;
    DrawSkinElement(pic.View(), element, img.Pixels, w, h);
    const TSkinTarget t = CalcSkinTarget(element, w, h);
    TRect client = t.Geometry.ClientRect;
    if (client.IsEmpty()) client = {0, 0, t.Width, t.Height};
    DrawAlignedText(img.Pixels.View(), client, caption, ColorToPixel(colour), (b.FontStyle & fsBold) != 0,
                    TAlignment::taCenter);
    return img;
}

TPreviewImage RenderPanelPreview(const TksSkinData& data, int w, int h) {
    const auto& p = NeedControl<TksDataSkinPanelControl>(data, "panel");
    const TksBitmap& pic = NeedPicture(data.ActivePicture(p.PictureIndex), "panel entry");
    TPreviewImage img;
    DrawSkinElement(pic.View(), ElementOf(p), img.Pixels, w, h);
    return img;
}

TPreviewImage RenderCheckListPreview(const TksSkinData& data, const std::string& name, int w, int h,
                                     const std::vector<TPreviewListItem>& items, int focus, int hot) {
    const auto& c = NeedControl<TksDataSkinCheckListBox>(data, name);
    const TksBitmap& pic = NeedPicture(data.ActivePicture(c.PictureIndex), "check list entry '" + name + "'");
    const TSkinElementGeometry element = ElementOf(c);
    TPreviewImage img;
    DrawSkinElement(pic.View(), element, img.Pixels, w, h);
    const TSkinTarget t = CalcSkinTarget(element, w, h);
    TRect client =
        GetSkinLayout(element) == TSkinLayout::NinePart ? t.Geometry.ClientRect : TRect{0, 0, w, h};
    const TPixelView area = SubView(img.Pixels.View(), client);
    const int itemH = c.ItemRect.Height();
    if (area.Empty() || itemH < 1) return img;
    const int dxItem = area.Width - c.ItemRect.Width();
    for (int i = 0; i < static_cast<int>(items.size()); ++i) {
        const int top = i * itemH;
        if (top + itemH > area.Height) break;
        TRect look = c.ItemRect;
        TColor colour = c.FontColor;
        if (i == focus && !c.FocusItemRect.IsEmpty()) {
            look = c.FocusItemRect;
            colour = c.FocusFontColor;
        } else if (i == hot && !c.ActiveItemRect.IsEmpty()) {
            look = c.ActiveItemRect;
            colour = c.ActiveFontColor;
        }
        TPixelBuffer row;
        ComposeHorizontal(pic.View(), look, c.ItemLeftOffset, c.ItemRightOffset, row, area.Width, false);
        CopyBlock(area, 0, top, row.View(), row.View().Bounds());
        const TRect text{c.ItemTextRect.Left, top + c.ItemTextRect.Top, c.ItemTextRect.Right + dxItem,
                         top + c.ItemTextRect.Bottom};
        TRect check = c.ItemCheckRect;
        if (check.Left >= c.ItemTextRect.Right) {
            check.Left += dxItem;
            check.Right += dxItem;
        }
        const TRect& mark =
            items[static_cast<std::size_t>(i)].Checked ? c.CheckImageRect : c.UnCheckImageRect;
        const int cx = check.Left + check.Width() / 2, cy = top + check.Top + check.Height() / 2;
        BlitTransparent(area, cx - c.CheckImageRect.Width() / 2, cy - c.CheckImageRect.Height() / 2,
                        pic.View(), mark);
        DrawAlignedText(area, text, items[static_cast<std::size_t>(i)].Text, ColorToPixel(colour),
                        (c.FontStyle & fsBold) != 0, TAlignment::taLeftJustify);
    }
    return img;
}

TPreviewImage RenderScrollBarPreview(const TksSkinData& data, const std::string& name, int length,
                                     int position, bool pressed) {
    const auto& s = NeedControl<TksDataSkinScrollBarControl>(data, name);
    const TksBitmap& pic = NeedPicture(data.ActivePicture(s.PictureIndex), "scroll bar entry '" + name + "'");
    const TSkinElementGeometry element = ElementOf(s);
    TPreviewImage img;
    DrawSkinElement(pic.View(), element, img.Pixels, s.SkinRect.Width(), length);
    const int dH = img.Pixels.Height() - s.SkinRect.Height();
    const TRect track{s.TrackArea.Left, s.TrackArea.Top, s.TrackArea.Right, s.TrackArea.Bottom + dH};
    if (pressed && !s.DownDownButtonRect.IsEmpty())
        CopyBlock(img.Pixels.View(), s.DownButtonRect.Left, s.DownButtonRect.Top, pic.View(),
                  s.DownDownButtonRect);
    const TRect thumb = pressed && !s.DownThumbRect.IsEmpty() ? s.DownThumbRect : s.ThumbRect;
    if (thumb.IsEmpty() || track.Height() < thumb.Height()) return img;
    // A thumb without a page size keeps its picture's length.
    const int travel = track.Height() - thumb.Height();
    const int y = track.Top + travel * std::clamp(position, 0, 100) / 100;
    CopyBlock(img.Pixels.View(), track.Left, y, pic.View(), thumb);
    const TRect& glyph = s.GlyphRect;
    if (!glyph.IsEmpty())
        CopyBlock(img.Pixels.View(), track.Left + (thumb.Width() - glyph.Width()) / 2,
                  y + (thumb.Height() - glyph.Height()) / 2, pic.View(), glyph);
    return img;
}

// ------------------------------------------------------------ popup menu

TPreviewImage RenderPopupPreview(const TksSkinData& data, const std::vector<TPreviewMenuEntry>& entries,
                                 int width) {
    const TksDataSkinPopupWindow& pw = data.PopupWindow();
    const TksBitmap& window = NeedPicture(data.ActivePicture(pw.WindowPictureIndex), "[POPUPWINDOW]");
    int index = data.IndexOfObject("MENUITEM");
    if (index < 0) index = data.IndexOfObject("menuitem");
    if (index < 0) throw ESkinPreviewError("the skin has no menuitem entry");
    const auto* item = dynamic_cast<const TksDataSkinMenuItem*>(data.SkinObjects(index));
    if (!item) throw ESkinPreviewError("entry 'menuitem' is not a menu item");
    const TksBitmap& entryPicture =
        NeedPicture(data.ActivePicture(item->ActivePictureIndex), "menuitem entry");

    const TRect& items = pw.ItemsRect;
    const int entryH = item->SkinRect.Height();
    const int dividerH = item->DividerRect.IsEmpty() ? entryH : item->DividerRect.Height();
    int contentH = 0;
    for (const TPreviewMenuEntry& e : entries)
        contentH += e.Kind == TPreviewEntryKind::Divider ? dividerH : entryH;
    const int w = items.Left + width + (window.Width() - items.Right);
    const int h = items.Top + contentH + (window.Height() - items.Bottom);
    const TSkinGeometry src{items, pw.LeftTopPoint, pw.RightTopPoint, pw.LeftBottomPoint,
                            pw.RightBottomPoint};
    const TSkinGeometry dst = ResizeSkinGeometry(src, w - window.Width(), h - window.Height());
    TPreviewImage img;
    ComposeNinePart(window.View(), window.View().Bounds(), src, img.Pixels, w, h, dst, true,
                    {pw.TopStretch, pw.BottomStretch, pw.LeftStretch, pw.RightStretch});

    int y = items.Top;
    const int grow = width - item->SkinRect.Width();
    for (const TPreviewMenuEntry& e : entries) {
        TPixelBuffer look;
        if (e.Kind == TPreviewEntryKind::Divider) {
            ComposeHorizontal(entryPicture.View(), item->DividerRect, item->DividerLeftOffset,
                              item->DividerRightOffset, look, width, item->DividerStretchEffect);
            Blit(img.Pixels, items.Left, y, look);
            y += dividerH;
            continue;
        }
        const bool hot = e.Kind == TPreviewEntryKind::Highlighted;
        ComposeHorizontal(entryPicture.View(), hot ? item->ActiveSkinRect : item->SkinRect,
                          item->ItemLeftOffset, item->ItemRightOffset, look, width,
                          hot && item->StretchEffect);
        Blit(img.Pixels, items.Left, y, look);
        const TColor colour = e.Kind == TPreviewEntryKind::Disabled ? item->UnEnabledFontColor
                              : hot                                 ? item->ActiveFontColor
                                                                    : item->FontColor;
        const TRect text{items.Left + item->TextRect.Left, y + item->TextRect.Top,
                         items.Left + item->TextRect.Right + grow, y + item->TextRect.Bottom};
        const TPixel pixel = ColorToPixel(colour);
        if (e.CloseGlyph)
            DrawCaptionGlyph(img.Pixels.View(), TCaptionGlyph::Cross, text.Left + 3, y + 5, pixel);
        const bool bold = (item->FontStyle & fsBold) != 0;
        DrawAlignedText(img.Pixels.View(), {text.Left + 19, text.Top, text.Right, text.Bottom}, e.Caption,
                        pixel, bold, TAlignment::taLeftJustify, true);
        DrawAlignedText(img.Pixels.View(), {text.Left, text.Top, text.Right - 16, text.Bottom}, e.ShortCut,
                        pixel, bold, TAlignment::taRightJustify);
        y += entryH;
    }
    return img;
}

// ------------------------------------------------------------ main window

TPreviewImage RenderMainWindowPreview(const TksSkinData& data, const std::vector<TPreviewListItem>& items) {
    const int w = 421, h = 271;
    TPreviewImage img = RenderFramePreview(data, w, h, true, "Zorvane Player Installation");
    const TksBitmap& pic = data.Picture();
    const TRect& cl = data.FormInfo().ClientRect;
    const TRect client{cl.Left, cl.Top, cl.Right + w - pic.Width(), cl.Bottom + h - pic.Height()};
    const int cw = client.Width();
    // Bands of the window template: 58 at the top, 33 at the bottom, the
    // middle takes the rest.
    const int topH = 58, bottomH = 33, middleH = client.Height() - topH - bottomH;
    const TPreviewImage top = RenderPanelPreview(data, cw, topH);
    const TPreviewImage middle = RenderPanelPreview(data, cw, middleH);
    const TPreviewImage bottom = RenderPanelPreview(data, cw, bottomH);
    Blit(img.Pixels, client.Left, client.Top, top.Pixels);
    Blit(img.Pixels, client.Left, client.Top + topH, middle.Pixels);
    Blit(img.Pixels, client.Left, client.Top + topH + middleH, bottom.Pixels);

    const auto& panel = NeedControl<TksDataSkinPanelControl>(data, "panel");
    const TRect pcl = panel.ClientRect;
    const int padR = panel.SkinRect.Width() - pcl.Right, padB = panel.SkinRect.Height() - pcl.Bottom;
    const TRect banner{client.Left + pcl.Left, client.Top + pcl.Top, client.Right - padR,
                       client.Top + topH - padB};
    const auto& label = NeedControl<TksDataSkinStdLabelControl>(data, "stdlabel");
    const std::vector<std::string> lines = WrapText(
        "The Player Installer collected the location of your Web-Browser plugin-directories. Press on "
        "\"Install\" in order to install the player component(s) in the corresponding directories.",
        banner.Width() - 8);
    int lineY = banner.Top + 4;
    for (const std::string& line : lines) {
        DrawPixelText(img.Pixels.View(), banner,
                      banner.Left + (banner.Width() - PixelTextWidth(line, false)) / 2, lineY, line,
                      ColorToPixel(label.FontColor), false);
        lineY += kPixelFontHeight + 3;
    }

    const int listTop = client.Top + topH + pcl.Top;
    const TPreviewImage list = RenderCheckListPreview(data, "checklistbox", cw - pcl.Left - padR,
                                                      middleH - pcl.Top - padB, items, 0, -1);
    Blit(img.Pixels, client.Left + pcl.Left, listTop, list.Pixels);

    const TPreviewImage button =
        RenderButtonPreview(data, "button", 97, 25, TPreviewButtonState::Normal, "Install");
    Blit(img.Pixels, client.Left + 148, client.Top + topH + middleH + 4, button.Pixels);
    return img;
}

// ----------------------------------------------------------------- sheet

TPreviewImage BuildPreviewSheet(const std::string& title, const std::vector<TPreviewCell>& cells) {
    constexpr int kMargin = 16, kGap = 20, kTitleH = 14;
    const TPixel background = MakePixel(30, 31, 34), text = MakePixel(214, 216, 222);
    // First pass: place the cells.
    struct TPlace {
        int x, y;
    };
    std::vector<TPlace> places;
    int x = kMargin, y = kMargin + kTitleH + 8, rowH = 0, sheetW = kMargin, sheetH = y;
    for (const TPreviewCell& c : cells) {
        const int cw = std::max(c.Image ? c.Image->Pixels.Width() : 0, PixelTextWidth(c.Title, false));
        const int ch = kTitleH + (c.Image ? c.Image->Pixels.Height() : 0);
        if (c.NewRow && x > kMargin) {
            x = kMargin;
            y += rowH + kGap;
            rowH = 0;
        }
        places.push_back({x, y});
        x += cw + kGap;
        rowH = std::max(rowH, ch);
        sheetW = std::max(sheetW, x - kGap + kMargin);
        sheetH = std::max(sheetH, y + rowH + kMargin);
    }
    sheetW = std::max(sheetW, 2 * kMargin + PixelTextWidth(title, true));
    TPreviewImage sheet;
    sheet.Pixels.SetSize(sheetW, sheetH, background);
    const TRect all{0, 0, sheetW, sheetH};
    DrawPixelText(sheet.Pixels.View(), all, kMargin, kMargin, title, text, true);
    for (std::size_t i = 0; i < cells.size(); ++i) {
        const TPreviewCell& c = cells[i];
        DrawPixelText(sheet.Pixels.View(), all, places[i].x, places[i].y, c.Title, text, false);
        if (!c.Image) continue;
        const TPixelBuffer& p = c.Image->Pixels;
        for (int py = 0; py < p.Height(); ++py)
            for (int px = 0; px < p.Width(); ++px) {
                const std::size_t k = static_cast<std::size_t>(py) * static_cast<std::size_t>(p.Width()) +
                                      static_cast<std::size_t>(px);
                if (!c.Image->Alpha.empty() && c.Image->Alpha[k] == 0) continue;
                const int tx = places[i].x + px, ty = places[i].y + kTitleH + py;
                if (sheet.Pixels.View().Contains(tx, ty)) sheet.Pixels.At(tx, ty) = p.At(px, py);
            }
    }
    return sheet;
}

}  // namespace zv

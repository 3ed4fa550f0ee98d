// Previews of a loaded skin, drawn with the paint core the way the windows
// compose them, for "skintool preview" and the documentation sheets.
//
//   TPreviewImage          pixels plus a per-pixel alpha (the window shape)
//   RenderFramePreview     a window frame of any size: strips, client
//                          background, caption plate and text, close button,
//                          the mask's shape as transparency
//   RenderButtonPreview    a skin "button" entry in one of its looks
//   RenderCheckListPreview a check list box with its items
//   RenderScrollBarPreview a vertical scroll bar with its thumb
//   RenderPopupPreview     a popup menu with entries and dividers
//   RenderMainWindowPreview the installer's main window put together
//   BuildPreviewSheet      several previews with titles on one picture
//   ScalePreview           a preview as a display of another density shows
//                          the skin: the program's picture scaling and the
//                          shape scaled from the mask at the same factor
//
// Text is drawn with the tool's own pixel font (PixelFont.h) in place of the
// platform font. The functions raise ESkinPreviewError for entries or
// pictures a skin lacks; the tool reports it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/PixelBuffer.h"
#include "skin/SkinData.h"

namespace zv {

ZV_DECLARE_EXCEPTION(ESkinPreviewError, Exception);

struct TPreviewImage {
    TPixelBuffer Pixels;
    std::vector<std::uint8_t> Alpha;  // empty: all opaque
};

enum class TPreviewButtonState { Normal, Active, Pressed, Disabled };

struct TPreviewListItem {
    std::string Text;
    bool Checked = false;
};

enum class TPreviewEntryKind { Normal, Highlighted, Disabled, Divider };

struct TPreviewMenuEntry {
    TPreviewEntryKind Kind = TPreviewEntryKind::Normal;
    std::string Caption;  // "&" before the accelerator letter
    std::string ShortCut;
    bool CloseGlyph = false;
};

// The window's frame at w x h, active or not, with `caption` on the caption
// object and the close button in the caption-button row (the program's
// windows show only close and the system menu). Raises ESkinPreviewError
// when the skin has no main picture.
TPreviewImage RenderFramePreview(const TksSkinData& data, int w, int h, bool active,
                                 const std::string& caption);

// The control entry `name` (a button entry) at w x h in a state, with the
// caption centred in the target client rect.
TPreviewImage RenderButtonPreview(const TksSkinData& data, const std::string& name, int w, int h,
                                  TPreviewButtonState state, const std::string& caption);

// A check list box entry at w x h; `focus` and `hot` are item indices (-1
// none). Items past the client area are not drawn.
TPreviewImage RenderCheckListPreview(const TksSkinData& data, const std::string& name, int w, int h,
                                     const std::vector<TPreviewListItem>& items, int focus, int hot);

// A vertical scroll bar entry `length` pixels long with the thumb at
// `position` (0..100); `pressed` shows the pressed decreasing arrow and the
// pressed thumb.
TPreviewImage RenderScrollBarPreview(const TksSkinData& data, const std::string& name, int length,
                                     int position, bool pressed);

// A popup menu of the skin's [POPUPWINDOW] and "menuitem" entry, entries
// `width` pixels wide.
TPreviewImage RenderPopupPreview(const TksSkinData& data, const std::vector<TPreviewMenuEntry>& entries,
                                 int width);

// The skin "panel" entry at w x h.
TPreviewImage RenderPanelPreview(const TksSkinData& data, int w, int h);

// The installer's main window (421 x 271): frame, three panels, banner,
// the check list with `items` and the "Install" button.
TPreviewImage RenderMainWindowPreview(const TksSkinData& data, const std::vector<TPreviewListItem>& items);

struct TPreviewCell {
    std::string Title;
    const TPreviewImage* Image = nullptr;
    bool NewRow = false;  // start a new row before this cell
};

// Lays the cells out left to right in rows on a dark background, each image
// under its title; transparent pixels show the background.
TPreviewImage BuildPreviewSheet(const std::string& title, const std::vector<TPreviewCell>& cells);

// `image` (skin pixels) at `pixelsPerInch`: its nearest device size, every
// pixel scaled by the rule the windows scale their pictures with (whole
// factors replicate each pixel, others filter by area), the shape (alpha)
// taken from the skin pixel each device pixel shows, as the window regions
// are. The pixel-font text is scaled with the rest rather than drawn taller.
TPreviewImage ScalePreview(const TPreviewImage& image, int pixelsPerInch);

}  // namespace zv

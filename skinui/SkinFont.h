// "The skin's font or the default font": the one rule every skinned part
// draws its text by.
#pragma once

#include "vcl/Graphics.h"

namespace zv {

// `font` becomes `fallback`, with the face of `skin` (a skin record's
// FontName, FontHeight and FontStyle) over it when the part draws with the
// skin's font (null: it does not, or has no skin record). The character set
// is always the fallback's; the caller sets the colour.
template <typename TRecord>
void AssignSkinFont(TFont& font, const TRecord* skin, const TFont& fallback) {
    font.Assign(fallback);
    if (skin == nullptr) return;
    font.SetName(skin->FontName);
    font.SetHeight(skin->FontHeight);
    font.SetStyle(skin->FontStyle);
}

}  // namespace zv

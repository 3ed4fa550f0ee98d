// TImage: a graphic control that shows an icon at its top-left corner (the
// dialogs' system icons). The framework has no picture control of its own.
#pragma once

#include "vcl/Controls.h"
#include "vcl/Graphics.h"

namespace zv {

class TImage : public TGraphicControl {
public:
    explicit TImage(TComponent* owner) : TGraphicControl(owner) {}
    TIcon& Picture() { return m_icon; }
    // Call after changing Picture(), so the new icon shows.
    void PictureChanged() { Invalidate(); }

protected:
    void Paint() override { Canvas().Draw(0, 0, m_icon.Handle()); }

private:
    TIcon m_icon;
};

}  // namespace zv

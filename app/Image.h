// TImage: a graphic control that shows an icon at its own size (the
// dialogs' system icons). The framework has no picture control of its own.
// A reader gets a graphic named by AccName.
#pragma once

#include <string>

#include "vcl/Controls.h"
#include "vcl/Graphics.h"

namespace zv {

class TImage : public TGraphicControl {
public:
    explicit TImage(TComponent* owner) : TGraphicControl(owner) {}
    TIcon& Picture() { return m_icon; }
    // Shows the system's stock icon `id`, made at the control's device size
    // (and made again when that size changes: at a higher density the icon
    // is the system's larger image, neither cut nor blown up).
    void LoadStockIcon(int id) {
        m_stockIcon = id;
        m_stockSize = {Width(), Height()};
        m_icon.LoadStock(id, Width(), Height());
        Invalidate();
    }
    // Call after changing Picture(), so the new icon shows.
    void PictureChanged() { Invalidate(); }
    // What the picture means, for screen readers ("Error").
    std::string AccName;
    void AccDescribeSelf(TAccInfo& info) override {
        if (m_icon.Handle() == nullptr) return;
        info.Role = accRoleGraphic;
        info.Name = AccName;
        info.State |= accStateReadOnly;
    }

protected:
    // An icon of another size is scaled to the control rather than cut.
    void Paint() override {
        if (m_stockIcon != 0 && (m_stockSize.cx != Width() || m_stockSize.cy != Height())) {
            m_stockSize = {Width(), Height()};
            m_icon.LoadStock(m_stockIcon, Width(), Height());
        }
        Canvas().Draw({0, 0, Width(), Height()}, m_icon.Handle());
    }

private:
    TIcon m_icon;
    int m_stockIcon = 0;
    TSize m_stockSize{};
};

}  // namespace zv

// Menu items of the framework: the plain model a popup menu shows and runs.
//
//   TMenuItem       caption ("&" marks the accelerator, "-" is a divider),
//                   shortcut, enabled / visible / checked / radio flags,
//                   image index, name, sub-items (owned), click handler and
//                   an optional owner-draw handler
//   ShortCutToText  the framework's text of a shortcut ("Alt+F4")
//   TextToShortCut  and back
//
// The framework has no native menu bar here: skinned windows show their
// menus with their own popup windows, which read these items and call Click.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/Component.h"
#include "base/Types.h"

namespace zv {

class TCanvas;

// Virtual-key code in the low word, modifier bits above it.
using TShortCut = unsigned;
enum : TShortCut { scShift = 0x2000, scCtrl = 0x4000, scAlt = 0x8000, scNone = 0 };

std::string ShortCutToText(TShortCut shortCut);
TShortCut TextToShortCut(const std::string& text);
inline TShortCut ShortCut(WORD key, TShortCut modifiers) {
    return key | modifiers;
}

class TMenuItem;
using TMenuDrawItemEvent =
    std::function<void(TMenuItem* item, TCanvas& canvas, const TRect& rect, bool selected)>;

class TMenuItem : public TObject {
public:
    TMenuItem() = default;
    ~TMenuItem() override = default;
    TMenuItem(const TMenuItem&) = delete;
    TMenuItem& operator=(const TMenuItem&) = delete;

    std::string Name;
    std::string Caption;
    TShortCut ShortCut = scNone;
    bool Enabled = true;
    bool Visible = true;
    bool Checked = false;
    bool RadioItem = false;
    int ImageIndex = -1;
    std::function<void(TObject* sender)> OnClick;
    TMenuDrawItemEvent OnDrawItem;

    [[nodiscard]] bool IsLine() const { return Caption == "-"; }
    // The letter after a single "&", upper-cased; 0 when the caption has none.
    [[nodiscard]] char AcceleratorChar() const;
    // The caption as drawn: single "&" removed, "&&" shown as "&".
    [[nodiscard]] std::string DisplayCaption() const;

    [[nodiscard]] int Count() const { return static_cast<int>(m_items.size()); }
    [[nodiscard]] TMenuItem* Items(int index) const { return m_items.at(static_cast<size_t>(index)).get(); }
    [[nodiscard]] TMenuItem* Parent() const { return m_parent; }
    // Takes ownership; returns the item added.
    TMenuItem* Add(std::unique_ptr<TMenuItem> item);
    TMenuItem* Add(const std::string& name, const std::string& caption, TShortCut shortCut = scNone,
                   std::function<void(TObject*)> onClick = {});
    void Clear() { m_items.clear(); }

    // The framework's menu-command dispatch: runs OnClick when enabled.
    virtual void Click();

private:
    std::vector<std::unique_ptr<TMenuItem>> m_items;
    TMenuItem* m_parent = nullptr;
};

}  // namespace zv

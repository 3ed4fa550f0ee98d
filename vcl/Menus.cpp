#include "vcl/Menus.h"

#include <cctype>

namespace zv {

namespace {

std::string KeyName(WORD key) {
    if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z'))
        return std::string(1, static_cast<char>(key));
    if (key >= VK_F1 && key <= VK_F24) {
        std::string name = std::to_string(key - VK_F1 + 1);
        name.insert(name.begin(), 'F');
        return name;
    }
    switch (key) {
        case VK_BACK: return "BkSp";
        case VK_TAB: return "Tab";
        case VK_RETURN: return "Enter";
        case VK_ESCAPE: return "Esc";
        case VK_SPACE: return "Space";
        case VK_PRIOR: return "PgUp";
        case VK_NEXT: return "PgDn";
        case VK_END: return "End";
        case VK_HOME: return "Home";
        case VK_LEFT: return "Left";
        case VK_UP: return "Up";
        case VK_RIGHT: return "Right";
        case VK_DOWN: return "Down";
        case VK_INSERT: return "Ins";
        case VK_DELETE: return "Del";
        default: return {};
    }
}

}  // namespace

std::string ShortCutToText(TShortCut shortCut) {
    const std::string name = KeyName(static_cast<WORD>(shortCut & 0xFF));
    if (name.empty()) return {};
    std::string text;
    if ((shortCut & scShift) != 0) text += "Shift+";
    if ((shortCut & scCtrl) != 0) text += "Ctrl+";
    if ((shortCut & scAlt) != 0) text += "Alt+";
    return text + name;
}

TShortCut TextToShortCut(const std::string& text) {
    TShortCut modifiers = scNone;
    std::string rest = text;
    for (;;) {
        auto eat = [&](const char* prefix, TShortCut bit) {
            const std::string p(prefix);
            if (rest.size() > p.size() && rest.compare(0, p.size(), p) == 0) {
                modifiers |= bit;
                rest.erase(0, p.size());
                return true;
            }
            return false;
        };
        if (!eat("Shift+", scShift) && !eat("Ctrl+", scCtrl) && !eat("Alt+", scAlt)) break;
    }
    for (unsigned key = 1; key < 256; ++key) {
        if (KeyName(static_cast<WORD>(key)) == rest) return key | modifiers;
    }
    return scNone;
}

char TMenuItem::AcceleratorChar() const {
    for (size_t i = 0; i + 1 < Caption.size(); ++i) {
        if (Caption[i] != '&') continue;
        if (Caption[i + 1] == '&') {
            ++i;
            continue;
        }
        return static_cast<char>(std::toupper(static_cast<unsigned char>(Caption[i + 1])));
    }
    return 0;
}

std::string TMenuItem::DisplayCaption() const {
    std::string text;
    for (size_t i = 0; i < Caption.size(); ++i) {
        if (Caption[i] == '&' && i + 1 < Caption.size())
            ++i;
        else if (Caption[i] == '&')
            continue;
        text += Caption[i];
    }
    return text;
}

TMenuItem* TMenuItem::Add(std::unique_ptr<TMenuItem> item) {
    item->m_parent = this;
    m_items.push_back(std::move(item));
    return m_items.back().get();
}

TMenuItem* TMenuItem::Add(const std::string& name, const std::string& caption, TShortCut shortCut,
                          std::function<void(TObject*)> onClick) {
    auto item = std::make_unique<TMenuItem>();
    item->Name = name;
    item->Caption = caption;
    item->ShortCut = shortCut;
    item->OnClick = std::move(onClick);
    return Add(std::move(item));
}

void TMenuItem::Click() {
    if (Enabled && OnClick) OnClick(this);
}

}  // namespace zv

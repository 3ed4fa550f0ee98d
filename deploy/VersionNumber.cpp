#include "deploy/VersionNumber.h"

#include "base/SysUtils.h"

namespace zv {

namespace {

// Appends a component padded to `width` digits; a component that is empty or
// longer than `width` does not take part in the number at all.
void AppendPadded(std::string& digits, const std::string& component, std::size_t width) {
    if (component.empty() || component.size() > width) return;
    digits.append(width - component.size(), '0');
    digits += component;
}

}  // namespace

std::int32_t VersionToNumber(const std::string& text) {
    std::string digits = "0";
    std::size_t dot = text.find('.');
    if (dot == std::string::npos) return StrToInt(digits);

    digits = text.substr(0, dot);
    std::size_t start = dot + 1;

    // Second and third components: two digits each, and only when a dot
    // follows them (a trailing component without its dot is never used).
    for (int i = 0; i < 2; ++i) {
        dot = text.find('.', start);
        if (dot == std::string::npos) return StrToInt(digits);
        AppendPadded(digits, text.substr(start, dot - start), 2);
        start = dot + 1;
    }

    const std::string fourth = text.substr(start);
    if (!fourth.empty()) AppendPadded(digits, fourth, 3);
    return StrToInt(digits);
}

}  // namespace zv

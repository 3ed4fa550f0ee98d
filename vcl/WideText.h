// Text at the boundary to the system: the program's UTF-8 strings as the
// UTF-16 that the wide (W) functions take, and back. Every name of a file,
// directory or registry entry, and every text the user sees, passes through
// these, so that it survives whatever the machine's ANSI code page is.
#pragma once

#include <string>
#include <string_view>

#include "base/Utf16.h"

namespace zv {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "the system's wide characters are UTF-16 units");

[[nodiscard]] inline std::wstring ToWide(std::string_view text) {
    const std::u16string units = Utf8ToUtf16(text);
    return {units.begin(), units.end()};
}

[[nodiscard]] inline std::string FromWide(std::wstring_view text) {
    return Utf16ToUtf8(std::u16string(text.begin(), text.end()));
}

}  // namespace zv

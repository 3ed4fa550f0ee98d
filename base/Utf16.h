// The program keeps its text in std::string as UTF-8; the system's wide
// calls take UTF-16. These two convert between them.
//
//   Utf8ToUtf16   decode; bytes that are no UTF-8 each become U+FFFD
//   Utf16ToUtf8   encode; pairs of surrogates become one 4-byte sequence
//   Utf8Back      start of the last character of a text (for cutting it)
//
// File and registry names may hold a surrogate without its partner, which
// is no character at all. Such a unit is written as the 3-byte sequence of
// its number and read back as the same unit, so every name the system hands
// out comes back to it unchanged.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace zv {

[[nodiscard]] std::u16string Utf8ToUtf16(std::string_view text);
[[nodiscard]] std::string Utf16ToUtf8(std::u16string_view text);

// Offset of the first byte of the last character of `text` (0 for an empty
// text): cutting there never leaves half a character behind.
[[nodiscard]] std::size_t Utf8Back(std::string_view text);

}  // namespace zv

// Turning a dotted version text into a number that can be compared.
// Portable: no Windows headers, so that the whole conversion table is
// checked natively.
#pragma once

#include <cstdint>
#include <string>

namespace zv {

// "1.7.9.174" -> 10709174: the first component as it stands, the second and
// third as two digits each, the fourth as three; a component of the wrong
// length is left out, and the digit string is converted once at the end.
// Raises EConvertError when the digits do not make a valid signed 32-bit
// integer ("1.7.9.17a", ".1", "300.0.0.0"). Only the numbers are ever
// compared, never the texts.
std::int32_t VersionToNumber(const std::string& text);

}  // namespace zv

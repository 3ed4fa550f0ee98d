// PNG output of the skin tool's previews: 8-bit RGBA, one zlib stream.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/PixelBuffer.h"

namespace zv {

// Encodes `pixels` as a PNG file (colour type 6). `alpha` holds one byte per
// pixel (row by row); when it is empty every pixel is opaque. Raises
// EWriteError when `alpha` has the wrong size.
std::vector<std::uint8_t> EncodePng(const TPixelBuffer& pixels, const std::vector<std::uint8_t>& alpha);

void SavePng(const std::string& path, const TPixelBuffer& pixels, const std::vector<std::uint8_t>& alpha);

}  // namespace zv

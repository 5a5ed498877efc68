// Portable: PNG files as pixels, for keeping screenshots in the repository: decode any
// 8-bit RGB or RGBA PNG, compare pictures by their pixels, and write a compressed PNG.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "testkit/robot/ImageFiles.h"

namespace tlv::tools::screenshots {

using robot::RgbImage;

/// The pixels of a non-interlaced PNG of colour type 2 (RGB) or 6 (RGBA, whose alpha is
/// dropped) with 8 bits per channel; nullopt for anything else or a damaged file.
std::optional<RgbImage> decodePng(std::span<const std::uint8_t> file);

/// The whole PNG file, deflated by zlib at its best compression.
std::vector<std::uint8_t> encodeCompressedPng(const RgbImage& image);

/// Same size and the same colour at every pixel.
bool samePixels(const RgbImage& a, const RgbImage& b);

}  // namespace tlv::tools::screenshots

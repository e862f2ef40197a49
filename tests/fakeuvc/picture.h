#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace fakeuvc {

// Three bytes a pixel, red first, rows top to bottom without padding.
struct RgbImage {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  std::vector<std::uint8_t> pixels;
};

// The camera's own scene at the given size: a dark field with a bright ring,
// a few small bright spots and a square near the top left corner (so a
// mirrored or turned picture shows).
RgbImage builtInPicture(std::uint32_t width, std::uint32_t height);

// A JPEG, binary PPM or BMP file; nullopt with `error` set when it cannot be
// read.
std::optional<RgbImage> loadPicture(const std::string& path, std::string& error);

// `source` stretched to the given size (bilinear).
RgbImage scaled(const RgbImage& source, std::uint32_t width, std::uint32_t height);

}  // namespace fakeuvc

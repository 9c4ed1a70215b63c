// Writes screenshots as PNG files without any library: the image data goes into
// stored (uncompressed) deflate blocks, which every PNG reader accepts.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quorvan::host {

struct RgbImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgb;  // width * height * 3 bytes, top row first
};

// Encodes the image as PNG bytes; empty for an image without pixels.
std::vector<std::uint8_t> EncodePng(const RgbImage& image);

// Writes the PNG to a file; false when it cannot be written.
bool WritePng(const std::string& path, const RgbImage& image);

}  // namespace quorvan::host

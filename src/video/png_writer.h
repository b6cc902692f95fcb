// A minimal PNG writer: 8-bit RGB or RGBA images, stored without compression
// (deflate "stored" blocks), so that no compression library is needed.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The PNG file bytes of an image of `channels` (3 = RGB, 4 = RGBA) bytes per
// pixel, rows top to bottom without padding. Empty when the arguments do not
// describe an image.
std::vector<uint8_t> encodePng(uint32_t width, uint32_t height, uint32_t channels,
                               const std::vector<uint8_t>& pixels);
// Writes the image to `path`; false (with a log line) when it cannot.
bool writePng(const std::string& path, uint32_t width, uint32_t height, uint32_t channels,
              const std::vector<uint8_t>& pixels);

// Checksums used by the format, exposed for their tests.
uint32_t crc32Png(const uint8_t* data, size_t size, uint32_t crc = 0);
uint32_t adler32Png(const uint8_t* data, size_t size);

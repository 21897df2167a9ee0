// The PNG writer for 8-bit RGB pictures: deflate-compressed through libpng, so that a line drawing
// of a view is a few tens of kilobytes rather than its raw 3 bytes a pixel.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

// The PNG file of a width x height picture whose rows of RGB triples lie top to bottom in `rgb`.
// Empty when the size is not positive, does not match the pixel data, or cannot be encoded.
std::vector<std::uint8_t> encodePng(int width, int height, std::span<const std::uint8_t> rgb);

// Writes the PNG to a file; false when it cannot be written in full.
bool writePngFile(const std::filesystem::path& path, int width, int height,
                  std::span<const std::uint8_t> rgb);

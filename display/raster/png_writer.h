// A small PNG writer for 8-bit RGB pictures: one zlib stream of stored (uncompressed) deflate
// blocks, so that it needs nothing beyond the standard library.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

// The PNG file of a width x height picture whose rows of RGB triples lie top to bottom in `rgb`.
// Empty when the size is not positive or does not match the pixel data.
std::vector<std::uint8_t> encodePng(int width, int height, std::span<const std::uint8_t> rgb);

// Writes the PNG to a file; false when it cannot be written in full.
bool writePngFile(const std::filesystem::path& path, int width, int height,
                  std::span<const std::uint8_t> rgb);

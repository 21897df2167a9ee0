// A strict reader for the PNG files the picture writer makes: 8-bit RGB, no interlace, one zlib
// stream of stored deflate blocks, filter 0 on every row. Checks every CRC-32 and the Adler-32.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct DecodedPng {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb; // rows top to bottom
    std::string error;             // empty when the file is sound
};

DecodedPng decodePng(const std::vector<std::uint8_t>& file);
DecodedPng decodePngFile(const std::string& path);

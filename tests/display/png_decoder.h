// A strict reader for the PNG files the picture writer makes: 8-bit RGB, no interlace, the
// critical chunks IHDR, IDAT and IEND only. It walks the chunks and checks every CRC-32 itself;
// libpng inflates and unfilters the pixels (and checks the zlib stream's Adler-32).
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

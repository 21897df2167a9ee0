#include "tests/display/png_decoder.h"

#include <cstring>
#include <fstream>
#include <iterator>

#include <png.h>

namespace {

// Bit by bit, independent of the writer's table-driven code.
std::uint32_t crc32(const std::uint8_t* p, std::size_t n) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < n; ++i) {
        crc ^= p[i];
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

std::uint32_t be32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3];
}

DecodedPng fail(const std::string& why) {
    DecodedPng d;
    d.error = why;
    return d;
}

} // namespace

DecodedPng decodePng(const std::vector<std::uint8_t>& file) {
    static const std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    if (file.size() < 8 || std::memcmp(file.data(), kSignature, 8) != 0) return fail("signature");
    std::size_t pos = 8;
    DecodedPng out;
    std::vector<std::uint8_t> zlib;
    bool seenHeader = false, seenEnd = false;
    while (pos < file.size()) {
        if (seenEnd) return fail("data after IEND");
        if (file.size() - pos < 12) return fail("truncated chunk");
        std::uint32_t len = be32(&file[pos]);
        if (len > file.size() - pos - 12) return fail("chunk length");
        std::string type(reinterpret_cast<const char*>(&file[pos + 4]), 4);
        const std::uint8_t* data = &file[pos + 8];
        if (crc32(&file[pos + 4], len + 4) != be32(data + len)) return fail("CRC of " + type);
        if (!seenHeader && type != "IHDR") return fail("IHDR not first");
        if (type == "IHDR") {
            if (seenHeader || len != 13) return fail("IHDR");
            out.width = static_cast<int>(be32(data));
            out.height = static_cast<int>(be32(data + 4));
            if (out.width <= 0 || out.height <= 0) return fail("size");
            if (data[8] != 8 || data[9] != 2 || data[10] != 0 || data[11] != 0 || data[12] != 0)
                return fail("IHDR fields");
            seenHeader = true;
        } else if (type == "IDAT") {
            zlib.insert(zlib.end(), data, data + len);
        } else if (type == "IEND") {
            if (len != 0) return fail("IEND length");
            seenEnd = true;
        } else if (!(type[0] >= 'a' && type[0] <= 'z')) {
            return fail("unexpected chunk " + type); // only ancillary chunks may be skipped
        }
        pos += 12 + len;
    }
    if (!seenEnd) return fail("no IEND");

    if (zlib.empty()) return fail("no IDAT");

    // The chunks are sound; libpng inflates and unfilters the pixels.
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, file.data(), file.size()))
        return fail(std::string("libpng: ") + image.message);
    image.format = PNG_FORMAT_RGB;
    out.rgb.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, out.rgb.data(), 0, nullptr)) {
        std::string why = std::string("libpng: ") + image.message;
        png_image_free(&image);
        return fail(why);
    }
    if (out.rgb.size() != static_cast<std::size_t>(out.width) * out.height * 3)
        return fail("pixel data size");
    return out;
}

DecodedPng decodePngFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return fail("cannot open " + path);
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                    std::istreambuf_iterator<char>());
    return decodePng(bytes);
}

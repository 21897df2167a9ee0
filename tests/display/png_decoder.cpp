#include "tests/display/png_decoder.h"

#include <cstring>
#include <fstream>
#include <iterator>

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

std::uint32_t adler32(const std::vector<std::uint8_t>& data) {
    std::uint32_t a = 1, b = 0;
    for (std::uint8_t v : data) {
        a = (a + v) % 65521;
        b = (b + a) % 65521;
    }
    return (b << 16) | a;
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
        } else {
            return fail("unexpected chunk " + type);
        }
        pos += 12 + len;
    }
    if (!seenEnd) return fail("no IEND");

    if (zlib.size() < 6) return fail("zlib too short");
    if ((zlib[0] & 0x0F) != 8 || (zlib[0] * 256 + zlib[1]) % 31 != 0 || (zlib[1] & 0x20))
        return fail("zlib header");
    std::vector<std::uint8_t> raw;
    std::size_t z = 2;
    while (true) {
        if (z + 5 > zlib.size()) return fail("block header");
        std::uint8_t head = zlib[z];
        if ((head >> 1) != 0) return fail("not a stored block");
        std::uint32_t len = zlib[z + 1] | zlib[z + 2] << 8;
        std::uint32_t nlen = zlib[z + 3] | zlib[z + 4] << 8;
        if ((len ^ 0xFFFFu) != nlen) return fail("LEN/NLEN");
        z += 5;
        if (z + len > zlib.size()) return fail("block data");
        raw.insert(raw.end(), zlib.begin() + z, zlib.begin() + z + len);
        z += len;
        if (head & 1) break;
    }
    if (zlib.size() - z != 4) return fail("Adler-32 position");
    if (be32(&zlib[z]) != adler32(raw)) return fail("Adler-32");

    std::size_t rowBytes = static_cast<std::size_t>(out.width) * 3;
    if (raw.size() != (rowBytes + 1) * static_cast<std::size_t>(out.height))
        return fail("pixel data size");
    out.rgb.reserve(rowBytes * out.height);
    for (int y = 0; y < out.height; ++y) {
        const std::uint8_t* row = &raw[y * (rowBytes + 1)];
        if (row[0] != 0) return fail("filter type");
        out.rgb.insert(out.rgb.end(), row + 1, row + 1 + rowBytes);
    }
    return out;
}

DecodedPng decodePngFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return fail("cannot open " + path);
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                    std::istreambuf_iterator<char>());
    return decodePng(bytes);
}

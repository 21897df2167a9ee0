#include "display/raster/png_writer.h"

#include <array>
#include <cstdio>

namespace {

// CRC-32 as PNG chunks use it (reflected polynomial 0xEDB88320), eight bytes per step.
using CrcTables = std::array<std::array<std::uint32_t, 256>, 8>;

constexpr CrcTables makeCrcTables() {
    CrcTables t{};
    for (std::uint32_t n = 0; n < 256; ++n) {
        std::uint32_t c = n;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        t[0][n] = c;
    }
    for (std::uint32_t n = 0; n < 256; ++n)
        for (std::size_t k = 1; k < 8; ++k)
            t[k][n] = (t[k - 1][n] >> 8) ^ t[0][t[k - 1][n] & 0xFF];
    return t;
}

constexpr CrcTables kCrc = makeCrcTables();

std::uint32_t crcUpdate(std::uint32_t crc, const std::uint8_t* p, std::size_t n) {
    crc = ~crc;
    while (n >= 8) {
        std::uint32_t lo = crc ^ (std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 |
                                  std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24);
        crc = kCrc[7][lo & 0xFF] ^ kCrc[6][(lo >> 8) & 0xFF] ^ kCrc[5][(lo >> 16) & 0xFF] ^
              kCrc[4][lo >> 24] ^ kCrc[3][p[4]] ^ kCrc[2][p[5]] ^ kCrc[1][p[6]] ^ kCrc[0][p[7]];
        p += 8;
        n -= 8;
    }
    while (n--)
        crc = kCrc[0][(crc ^ *p++) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

// Adler-32 of the zlib stream; the sums are reduced only every 5552 bytes, the most that
// cannot overflow 32 bits.
struct Adler32 {
    std::uint32_t a = 1, b = 0;
    void update(const std::uint8_t* p, std::size_t n) {
        while (n > 0) {
            std::size_t run = n < 5552 ? n : 5552;
            n -= run;
            while (run--) {
                a += *p++;
                b += a;
            }
            a %= 65521;
            b %= 65521;
        }
    }
    std::uint32_t value() const { return (b << 16) | a; }
};

void putBe32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    out.push_back(static_cast<std::uint8_t>(v >> 24));
    out.push_back(static_cast<std::uint8_t>(v >> 16));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
    out.push_back(static_cast<std::uint8_t>(v));
}

// Chunk length and type; the caller appends the data and then calls endChunk.
std::size_t beginChunk(std::vector<std::uint8_t>& out, std::uint32_t length, const char* type) {
    putBe32(out, length);
    std::size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    return start;
}

void endChunk(std::vector<std::uint8_t>& out, std::size_t start) {
    putBe32(out, crcUpdate(0, out.data() + start, out.size() - start));
}

constexpr std::size_t kStoredBlockMax = 65535;

} // namespace

std::vector<std::uint8_t> encodePng(int width, int height, std::span<const std::uint8_t> rgb) {
    if (width <= 0 || height <= 0) return {};
    const std::size_t rowBytes = static_cast<std::size_t>(width) * 3;
    const std::size_t rawBytes = (rowBytes + 1) * static_cast<std::size_t>(height);
    if (rgb.size() != rowBytes * static_cast<std::size_t>(height)) return {};
    const std::size_t blocks = (rawBytes + kStoredBlockMax - 1) / kStoredBlockMax;
    const std::size_t zlibBytes = 2 + rawBytes + 5 * blocks + 4;
    if (zlibBytes > 0x7FFFFFFFu) return {}; // one chunk holds at most 2^31 - 1 bytes

    std::vector<std::uint8_t> out;
    out.reserve(8 + 25 + 12 + zlibBytes + 12);
    static constexpr std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    out.insert(out.end(), kSignature, kSignature + 8);

    std::size_t c = beginChunk(out, 13, "IHDR");
    putBe32(out, static_cast<std::uint32_t>(width));
    putBe32(out, static_cast<std::uint32_t>(height));
    out.insert(out.end(), {8, 2, 0, 0, 0}); // 8 bits, RGB, deflate, adaptive filters, no interlace
    endChunk(out, c);

    c = beginChunk(out, static_cast<std::uint32_t>(zlibBytes), "IDAT");
    out.push_back(0x78); // deflate, 32 KiB window
    out.push_back(0x01); // no dictionary, check bits
    Adler32 adler;
    std::size_t row = 0, inRow = 0; // position in the filtered data: row and offset (0 = filter)
    std::size_t left = rawBytes;
    while (true) {
        std::size_t len = left < kStoredBlockMax ? left : kStoredBlockMax;
        left -= len;
        out.push_back(left == 0 ? 1 : 0); // final flag, stored block
        out.push_back(static_cast<std::uint8_t>(len));
        out.push_back(static_cast<std::uint8_t>(len >> 8));
        out.push_back(static_cast<std::uint8_t>(~len));
        out.push_back(static_cast<std::uint8_t>(~len >> 8));
        std::size_t blockStart = out.size();
        while (len > 0) {
            if (inRow == 0) { // filter type 0 at the start of every row
                out.push_back(0);
                inRow = 1;
                --len;
                continue;
            }
            std::size_t take = rowBytes - (inRow - 1);
            if (take > len) take = len;
            const std::uint8_t* src = rgb.data() + row * rowBytes + (inRow - 1);
            out.insert(out.end(), src, src + take);
            len -= take;
            inRow += take;
            if (inRow == rowBytes + 1) {
                inRow = 0;
                ++row;
            }
        }
        adler.update(out.data() + blockStart, out.size() - blockStart);
        if (left == 0) break;
    }
    putBe32(out, adler.value());
    endChunk(out, c);

    c = beginChunk(out, 0, "IEND");
    endChunk(out, c);
    return out;
}

bool writePngFile(const std::filesystem::path& path, int width, int height,
                  std::span<const std::uint8_t> rgb) {
    std::vector<std::uint8_t> png = encodePng(width, height, rgb);
    if (png.empty()) return false;
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(png.data(), 1, png.size(), f) == png.size();
    ok = (std::fclose(f) == 0) && ok;
    return ok;
}

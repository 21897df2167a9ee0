// The pixels of a one-pixel line, the same on every raster the program draws into (the console
// picture and the window's picture): each step along the major axis takes the pixel nearest the
// ideal line, halves rounding up. Only pixels inside width x height are visited.
#pragma once

#include <algorithm>
#include <cstdint>

template <class Plot>
void forEachLinePixel(std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1,
                      bool withEnd, std::int64_t width, std::int64_t height, Plot&& plot) {
    const std::int64_t dx = x1 - x0, dy = y1 - y0;
    const std::int64_t adx = dx < 0 ? -dx : dx, ady = dy < 0 ? -dy : dy;
    const std::int64_t n = std::max(adx, ady);
    if (n == 0) {
        if (withEnd && x0 >= 0 && y0 >= 0 && x0 < width && y0 < height) plot(x0, y0);
        return;
    }
    const std::int64_t last = withEnd ? n : n - 1;
    const bool xMajor = adx >= ady;
    const std::int64_t major0 = xMajor ? x0 : y0, minor0 = xMajor ? y0 : x0;
    const std::int64_t majorStep = (xMajor ? dx : dy) < 0 ? -1 : 1;
    const std::int64_t minorStep = (xMajor ? dy : dx) < 0 ? -1 : 1;
    const std::int64_t aMinor = xMajor ? ady : adx;
    const std::int64_t limit = (xMajor ? width : height) - 1;
    const std::int64_t minorLimit = (xMajor ? height : width) - 1;

    // Steps whose major coordinate lies within 0..limit.
    std::int64_t first, stop;
    if (majorStep > 0) {
        first = std::max<std::int64_t>(0, -major0);
        stop = std::min(last, limit - major0);
    } else {
        first = std::max<std::int64_t>(0, major0 - limit);
        stop = std::min(last, major0);
    }
    if (first > stop) return;

    // Offset of step i: floor((2 i aMinor + n) / 2n), kept as q and remainder r.
    const std::int64_t twoN = 2 * n;
    const __int128 start = static_cast<__int128>(2) * first * aMinor + n;
    std::int64_t q = static_cast<std::int64_t>(start / twoN);
    std::int64_t r = static_cast<std::int64_t>(start % twoN);
    std::int64_t major = major0 + first * majorStep;
    for (std::int64_t i = first; i <= stop; ++i) {
        const std::int64_t minor = minor0 + q * minorStep;
        if (minor >= 0 && minor <= minorLimit) {
            if (xMajor)
                plot(major, minor);
            else
                plot(minor, major);
        }
        major += majorStep;
        r += 2 * aMinor;
        if (r >= twoN) {
            r -= twoN;
            ++q;
        }
    }
}

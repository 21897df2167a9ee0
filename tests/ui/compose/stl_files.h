// STL files for the tests: a unit cube of 12 facets as ASCII text or as binary records.
#pragma once

#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace stltest {

using Triangle = std::array<std::array<float, 3>, 3>;

// The unit cube [0,1]^3, two triangles a side, outward normals.
inline std::vector<Triangle> cubeTriangles() {
    const float c[8][3] = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0},
                           {0, 0, 1}, {1, 0, 1}, {1, 1, 1}, {0, 1, 1}};
    const int faces[12][3] = {{0, 2, 1}, {0, 3, 2}, {4, 5, 6}, {4, 6, 7}, {0, 1, 5}, {0, 5, 4},
                              {2, 3, 7}, {2, 7, 6}, {1, 2, 6}, {1, 6, 5}, {0, 4, 7}, {0, 7, 3}};
    std::vector<Triangle> out;
    for (const auto& f : faces) {
        Triangle t;
        for (int v = 0; v < 3; ++v)
            for (int i = 0; i < 3; ++i)
                t[v][i] = c[f[v]][i];
        out.push_back(t);
    }
    return out;
}

inline std::string asciiFacet(const Triangle& t, const std::string& extraVertex = {}) {
    std::string s = "  facet normal 0 0 0\n    outer loop\n";
    for (const auto& v : t)
        s += "      vertex " + std::to_string(v[0]) + " " + std::to_string(v[1]) + " " +
             std::to_string(v[2]) + "\n";
    s += extraVertex;
    s += "    endloop\n  endfacet\n";
    return s;
}

inline std::string asciiSolid(const std::vector<Triangle>& ts, const std::string& name = "cube") {
    std::string s = "solid " + name + "\n";
    for (const auto& t : ts)
        s += asciiFacet(t);
    return s + "endsolid " + name + "\n";
}

inline void putU32(std::string& s, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        s += static_cast<char>((v >> (8 * i)) & 0xff);
}

inline void putFloat(std::string& s, float f) {
    std::uint32_t bits;
    std::memcpy(&bits, &f, 4);
    putU32(s, bits);
}

// A binary STL: 80 header bytes, the count (the real one unless given), 50 bytes a triangle.
inline std::string binaryStl(const std::vector<Triangle>& ts, long count = -1) {
    std::string s(80, ' ');
    s.replace(0, 11, "binary cube");
    putU32(s, count < 0 ? static_cast<std::uint32_t>(ts.size()) : static_cast<std::uint32_t>(count));
    for (const auto& t : ts) {
        for (int i = 0; i < 3; ++i)
            putFloat(s, 0);
        for (const auto& v : t)
            for (float x : v)
                putFloat(s, x);
        s += std::string(2, '\0');
    }
    return s;
}

} // namespace stltest

#include "display/plot/stroke_font.h"

#include <array>

namespace {

// Each glyph as polylines on the font grid: points "x,y" separated by blanks, polylines by ";".
// The first point of a polyline is a move, every other point a pen-down stroke. x runs from 0 to
// twice the half-width, y from 4 (base line) to 16; both in steps of 2. Lower-case letters stand
// on the base line with their body up to 10; those with a tail lift their body by 2 so that the
// tail ends on the base line.
struct GlyphSource {
    int halfWidth;
    const char* path;
};

constexpr GlyphSource kGlyphSources[] = {
    {0, "0,16 0,10; 0,4 0,6"},                                                        // !
    {1, "0,16 0,12; 2,16 2,12"},                                                      // "
    {3, "2,6 2,14; 4,6 4,14; 0,8 6,8; 0,12 6,12"},                                    // #
    {4, "8,12 6,14 2,14 0,12 2,10 6,10 8,8 6,6 2,6 0,8; 4,16 4,4"},                   // $
    {3, "0,4 6,16; 0,16 0,14 2,14 2,16 0,16; 4,4 4,6 6,6 6,4 4,4"},                   // %
    {3, "6,4 0,12 0,14 2,16 4,14 4,12 0,8 0,6 2,4 4,4 6,8"},                          // &
    {0, "0,16 0,12"},                                                                 // '
    {1, "2,16 0,12 0,8 2,4"},                                                         // (
    {1, "0,16 2,12 2,8 0,4"},                                                         // )
    {2, "2,14 2,6; 0,12 4,8; 0,8 4,12"},                                              // *
    {4, "4,6 4,14; 0,10 8,10"},                                                       // +
    {1, "2,8 2,6 0,4"},                                                               // ,
    {3, "0,10 6,10"},                                                                 // -
    {0, "0,4 0,4"},                                                                   // .
    {3, "0,4 6,16"},                                                                  // /
    {3, "2,4 0,6 0,14 2,16 4,16 6,14 6,6 4,4 2,4"},                                   // 0
    {3, "2,14 4,16 4,4; 2,4 6,4"},                                                    // 1
    {3, "0,14 2,16 4,16 6,14 6,12 0,6 0,4 6,4"},                                      // 2
    {3, "0,14 2,16 4,16 6,14 6,12 4,10 6,8 6,6 4,4 2,4 0,6; 2,10 4,10"},              // 3
    {3, "4,4 4,16 0,8 6,8"},                                                          // 4
    {3, "6,16 0,16 0,10 4,10 6,8 6,6 4,4 2,4 0,6"},                                   // 5
    {3, "6,14 4,16 2,16 0,14 0,6 2,4 4,4 6,6 6,8 4,10 2,10 0,8"},                     // 6
    {3, "0,16 6,16 6,14 2,4"},                                                        // 7
    {3, "2,10 0,12 0,14 2,16 4,16 6,14 6,12 4,10 2,10 0,8 0,6 2,4 4,4 6,6 6,8 4,10"}, // 8
    {3, "6,12 4,10 2,10 0,12 0,14 2,16 4,16 6,14 6,6 4,4 2,4 0,6"},                   // 9
    {0, "0,12 0,10; 0,6 0,4"},                                                        // :
    {1, "2,12 2,10; 2,8 2,6 0,4"},                                                    // ;
    {3, "6,14 0,10 6,6"},                                                             // <
    {3, "0,12 6,12; 0,8 6,8"},                                                        // =
    {3, "0,14 6,10 0,6"},                                                             // >
    {3, "0,14 2,16 4,16 6,14 6,12 4,10 2,10 2,8; 2,6 2,4"},                           // ?
    {4, "6,8 6,12 2,12 2,8 6,8 8,10 8,14 6,16 2,16 0,14 0,6 2,4 8,4"},                // @
    {3, "0,4 0,14 2,16 4,16 6,14 6,4; 0,8 6,8"},                                      // A
    {3, "0,4 0,16 4,16 6,14 6,12 4,10 0,10; 4,10 6,8 6,6 4,4 0,4"},                   // B
    {3, "6,14 4,16 2,16 0,14 0,6 2,4 4,4 6,6"},                                       // C
    {3, "0,4 0,16 4,16 6,14 6,6 4,4 0,4"},                                            // D
    {3, "6,16 0,16 0,4 6,4; 0,10 4,10"},                                              // E
    {3, "6,16 0,16 0,4; 0,10 4,10"},                                                  // F
    {3, "6,14 4,16 2,16 0,14 0,6 2,4 4,4 6,6 6,10 4,10"},                             // G
    {3, "0,4 0,16; 6,4 6,16; 0,10 6,10"},                                             // H
    {2, "0,16 4,16; 2,16 2,4; 0,4 4,4"},                                              // I
    {3, "6,16 6,6 4,4 2,4 0,6"},                                                      // J
    {3, "0,4 0,16; 6,16 0,8; 2,10 6,4"},                                              // K
    {3, "0,16 0,4 6,4"},                                                              // L
    {4, "0,4 0,16 4,10 8,16 8,4"},                                                    // M
    {3, "0,4 0,16 6,4 6,16"},                                                         // N
    {3, "2,4 0,6 0,14 2,16 4,16 6,14 6,6 4,4 2,4"},                                   // O
    {3, "0,4 0,16 4,16 6,14 6,12 4,10 0,10"},                                         // P
    {3, "2,4 0,6 0,14 2,16 4,16 6,14 6,6 4,4 2,4; 4,8 6,4"},                          // Q
    {3, "0,4 0,16 4,16 6,14 6,12 4,10 0,10; 2,10 6,4"},                               // R
    {3, "6,14 4,16 2,16 0,14 0,12 2,10 4,10 6,8 6,6 4,4 2,4 0,6"},                    // S
    {4, "0,16 8,16; 4,16 4,4"},                                                       // T
    {3, "0,16 0,6 2,4 4,4 6,6 6,16"},                                                 // U
    {3, "0,16 2,4 4,4 6,16"},                                                         // V
    {4, "0,16 2,4 4,10 6,4 8,16"},                                                    // W
    {3, "0,4 6,16; 0,16 6,4"},                                                        // X
    {4, "0,16 4,10 8,16; 4,10 4,4"},                                                  // Y
    {3, "0,16 6,16 0,4 6,4"},                                                         // Z
    {1, "2,16 0,16 0,4 2,4"},                                                         // [
    {3, "0,16 6,4"},                                                                  // backslash
    {1, "0,16 2,16 2,4 0,4"},                                                         // ]
    {2, "0,12 2,16 4,12"},                                                            // ^
    {3, "0,4 6,4"},                                                                   // _
    {1, "0,16 2,12"},                                                                 // `
    {3, "0,10 4,10 6,8 6,4 2,4 0,6 2,8 6,8"},                                         // a
    {3, "0,16 0,4 4,4 6,6 6,8 4,10 0,10"},                                            // b
    {3, "6,10 2,10 0,8 0,6 2,4 6,4"},                                                 // c
    {3, "6,16 6,4 2,4 0,6 0,8 2,10 6,10"},                                            // d
    {3, "0,8 6,8 4,10 2,10 0,8 0,6 2,4 6,4"},                                         // e
    {2, "4,16 2,14 2,4; 0,10 4,10"},                                                  // f
    {3, "6,6 2,6 0,8 0,10 2,12 6,12 6,6 4,4 0,4"},                                    // g
    {3, "0,16 0,4; 0,8 2,10 4,10 6,8 6,4"},                                           // h
    {0, "0,10 0,4; 0,14 0,12"},                                                       // i
    {1, "2,12 2,6 0,4; 2,16 2,14"},                                                   // j
    {3, "0,16 0,4; 6,10 0,6; 2,8 6,4"},                                               // k
    {0, "0,16 0,4"},                                                                  // l
    {4, "0,10 0,4; 0,8 2,10 4,8 4,4; 4,8 6,10 8,8 8,4"},                              // m
    {3, "0,10 0,4; 0,8 2,10 4,10 6,8 6,4"},                                           // n
    {3, "2,4 0,6 0,8 2,10 4,10 6,8 6,6 4,4 2,4"},                                     // o
    {3, "0,12 0,4; 0,12 4,12 6,10 6,8 4,6 0,6"},                                      // p
    {3, "6,12 6,4; 6,12 2,12 0,10 0,8 2,6 6,6"},                                      // q
    {3, "0,10 0,4; 0,8 2,10 4,10 6,8"},                                               // r
    {3, "6,10 2,10 0,8 6,6 4,4 0,4"},                                                 // s
    {2, "2,14 2,6 4,4; 0,10 4,10"},                                                   // t
    {3, "0,10 0,6 2,4 4,4 6,6; 6,10 6,4"},                                            // u
    {3, "0,10 2,4 4,4 6,10"},                                                         // v
    {4, "0,10 2,4 4,8 6,4 8,10"},                                                     // w
    {3, "0,10 6,4; 0,4 6,10"},                                                        // x
    {3, "0,12 0,8 2,6 6,6; 6,12 6,6 4,4 0,4"},                                        // y
    {3, "0,10 6,10 0,4 6,4"},                                                         // z
    {2, "4,16 2,14 2,12 0,10 2,8 2,6 4,4"},                                           // {
    {0, "0,16 0,4"},                                                                  // |
    {2, "0,16 2,14 2,12 4,10 2,8 2,6 0,4"},                                           // }
    {3, "0,10 2,12 4,10 6,12"},                                                       // ~
};

constexpr int kFirstChar = 33;
constexpr int kLastChar = 126;
constexpr int kGlyphCount = kLastChar - kFirstChar + 1;
static_assert(std::size(kGlyphSources) == kGlyphCount, "one glyph per character 33 to 126");

constexpr bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Walks a glyph path and reports each point to `visit(x, y, penDown)`; false on a syntax error.
template <class Visit> constexpr bool walkPath(const char* p, Visit visit) {
    bool penDown = false;
    while (*p) {
        if (*p == ' ') {
            ++p;
        } else if (*p == ';') {
            penDown = false;
            ++p;
        } else if (isDigit(*p)) {
            int x = 0, y = 0;
            while (isDigit(*p))
                x = x * 10 + (*p++ - '0');
            if (*p++ != ',' || !isDigit(*p)) return false;
            while (isDigit(*p))
                y = y * 10 + (*p++ - '0');
            visit(x, y, penDown);
            penDown = true;
        } else {
            return false;
        }
    }
    return true;
}

constexpr int countWords() {
    int n = 0;
    for (const auto& g : kGlyphSources)
        walkPath(g.path, [&](int, int, bool) { ++n; });
    return n;
}

// Every glyph parses, keeps to its grid and width, and draws something from every move.
constexpr bool glyphsAreWellFormed() {
    for (const auto& g : kGlyphSources) {
        if (g.halfWidth < 0 || g.halfWidth > 4) return false;
        bool ok = true;
        int points = 0, sinceMove = 0;
        bool parsed = walkPath(g.path, [&](int x, int y, bool down) {
            if (x % 2 || y % 2 || x > 2 * g.halfWidth || y < 4 || y > 16) ok = false;
            if (!down && points > 0 && sinceMove < 2) ok = false;
            sinceMove = down ? sinceMove + 1 : 1;
            ++points;
        });
        if (!parsed || !ok || points < 2 || sinceMove < 2) return false;
    }
    return true;
}
static_assert(glyphsAreWellFormed(), "a glyph leaves its grid or has a stray move");

constexpr int kWordCount = countWords();

struct FontTables {
    std::array<std::uint32_t, kWordCount> words{};
    std::array<StrokeGlyphEntry, kGlyphCount> glyphs{};
};

constexpr FontTables buildTables() {
    FontTables t;
    int next = 0;
    for (int i = 0; i < kGlyphCount; ++i) {
        const auto& g = kGlyphSources[i];
        int first = next, top = 0;
        walkPath(g.path, [&](int x, int y, bool down) {
            t.words[static_cast<std::size_t>(next++)] = encodeStrokeWord(x, y, down, false);
            if (y > top) top = y;
        });
        t.words[static_cast<std::size_t>(next - 1)] |= kStrokeLastWord;
        t.glyphs[static_cast<std::size_t>(i)] = {g.halfWidth, top / 2, 0, first};
    }
    return t;
}

constexpr FontTables kTables = buildTables();

} // namespace

const StrokeFont strokeFont = {
    4, 8, kFirstChar, kLastChar, kTables.words.data(), kTables.glyphs.data()};

int strokeFontWordCount() {
    return kWordCount;
}

const StrokeGlyphEntry* findStrokeGlyph(const StrokeFont& font, unsigned char c) {
    if (c < font.firstChar || c > font.lastChar) return nullptr;
    return &font.glyphs[c - font.firstChar];
}

int deviceCharAdvance(unsigned char c) {
    const StrokeGlyphEntry* g = findStrokeGlyph(strokeFont, c);
    return (g ? 2 * g->halfWidth : 2 * strokeFont.blankHalfAdvance) + 4;
}

TextExtent deviceTextExtent(std::string_view text) {
    TextExtent e{0, kDeviceTextHeight};
    for (char c : text)
        e.cx += deviceCharAdvance(static_cast<unsigned char>(c));
    return e;
}

void forEachDeviceStroke(std::string_view text, std::int64_t x, std::int64_t y,
                         const DeviceStroke& segment) {
    for (char ch : text) {
        auto c = static_cast<unsigned char>(ch);
        if (const StrokeGlyphEntry* g = findStrokeGlyph(strokeFont, c)) {
            std::int64_t left = x + 2; // half the letter spacing on each side
            std::int64_t px = 0, py = 0;
            for (int i = g->firstWord;; ++i) {
                StrokePoint s = decodeStrokeWord(strokeFont.words[i]);
                std::int64_t qx = left + s.x, qy = y + kDeviceTextHeight - s.y;
                if (s.penDown) segment(px, py, qx, qy);
                px = qx;
                py = qy;
                if (s.last) break;
            }
        }
        x += deviceCharAdvance(c);
    }
}

#include "display/raster/recording_surface.h"

#include "display/plot/stroke_font.h"

void RecordingSurface::selectPen(int pen) {
    calls.push_back("pen " + std::to_string(pen));
}

void RecordingSurface::moveTo(int x, int y) {
    calls.push_back("move " + std::to_string(x) + " " + std::to_string(y));
}

void RecordingSurface::lineTo(int x, int y) {
    calls.push_back("line " + std::to_string(x) + " " + std::to_string(y));
}

void RecordingSurface::setTextColor(Rgb c) {
    calls.push_back("textcolor " + std::to_string(c.r) + " " + std::to_string(c.g) + " " +
                    std::to_string(c.b));
}

void RecordingSurface::setTransparentText(bool transparent) {
    calls.push_back(std::string("transparent ") + (transparent ? "1" : "0"));
}

TextExtent RecordingSurface::textExtent(std::string_view text) const {
    calls.push_back("extent " + std::string(text));
    return deviceTextExtent(text);
}

void RecordingSurface::textOut(int x, int y, std::string_view text) {
    calls.push_back("text " + std::to_string(x) + " " + std::to_string(y) + " " +
                    std::string(text));
}

std::vector<std::string> RecordingSurface::drawing() const {
    std::vector<std::string> out;
    for (const auto& c : calls)
        if (c.starts_with("move") || c.starts_with("line") || c.starts_with("text "))
            out.push_back(c);
    return out;
}

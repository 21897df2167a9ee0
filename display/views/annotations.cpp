#include "display/views/annotations.h"

#include <cmath>

#include "command/messages/messages.h"
#include "command/settings/settings.h"
#include "command/text/number_text.h"
#include "display/plot/plot_primitives.h"
#include "display/views/repaint.h"
#include "display/views/segment_3d.h"
#include "display/views/view_modes.h"
#include "engine/model/view_transform.h"

namespace {

double& component(Vec3& v, int axis) {
    return axis == 0 ? v.x : (axis == 1 ? v.y : v.z);
}

// Head of length `size` with its tip on `tip`, pointing away from `tail`, in world units.
void drawArrowHead2d(PlotPoint tail, PlotPoint tip, double size) {
    double dx = tip.x - tail.x, dy = tip.y - tail.y;
    double length = std::sqrt(dx * dx + dy * dy);
    if (!(length > 0.0)) return;
    dx /= length;
    dy /= length;
    const PlotPoint base{tip.x - size * dx, tip.y - size * dy};
    const double half = (size / 2.0) * 0.67;
    const PlotPoint side1{base.x - half * dy, base.y + half * dx};
    const PlotPoint side2{base.x + half * dy, base.y - half * dx};
    for (PlotPoint side : {side1, side2}) {
        moveAbs(side.x, side.y);
        lineAbs(tip.x, tip.y);
    }
    for (PlotPoint side : {side1, side2}) {
        moveAbs(side.x, side.y);
        lineAbs(base.x, base.y);
    }
}

void drawDimensionLine(PlotPoint a, PlotPoint b, double headSize) {
    moveAbs(a.x, a.y);
    lineAbs(b.x, b.y);
    drawArrowHead2d(a, b, headSize);
    drawArrowHead2d(b, a, headSize);
}

std::string lengthText(double value) {
    return trimTrailingZeros(fixedText(value)) + " " + currentUnitName();
}

} // namespace

AnnotationState& annotationState() {
    static AnnotationState s;
    return s;
}

void resetAnnotationState() {
    annotationState() = AnnotationState{};
}

void drawWorkboxOutline(const Vec3& c, const Vec3& h) {
    const int previous = plotState().currentColourIndex;
    setPenColor(1);
    auto corner = [&](int i) {
        return Vec3{c.x + ((i & 1) ? h.x : -h.x), c.y + ((i & 2) ? h.y : -h.y),
                    c.z + ((i & 4) ? h.z : -h.z)};
    };
    // Each edge joins two corners that differ in one bit.
    for (int bit : {1, 2, 4})
        for (int i = 0; i < 8; ++i)
            if (!(i & bit)) drawLocalSegment(nullptr, corner(i), corner(i | bit));
    setPenColor(previous);
}

void drawGrid(int plane) {
    if (!gridOn || plane < 0 || plane > 2) return;
    static const int kAxes[3][3] = {{1, 2, 0}, {0, 2, 1}, {0, 1, 2}}; // two axes, then the third
    const int* axes = kAxes[plane];
    for (int i = 0; i < 2; ++i) {
        const double g = gridIncrements[axes[i]];
        if (!(g > 0.0) || !std::isfinite(g)) return;
    }
    const Vec3 centre = workboxCentre(), half = workboxHalfSizes();
    Vec3 c = centre, h = half;
    setPenColor(6);
    for (int pass = 0; pass < 2; ++pass) {
        const int along = axes[pass], other = axes[1 - pass], third = axes[2];
        const double g = gridIncrements[along], otherG = gridIncrements[other];
        const double lo = component(c, along) - component(h, along);
        const double hi = component(c, along) + component(h, along);
        const double count = std::trunc(2.0 * component(h, along) / g) + 1.0;
        if (!(count <= static_cast<double>(kMaxGridTicks))) continue;
        const double first = std::floor(lo / g) * g;
        const double tolerance = 1e-9 * g;
        const double otherLo = component(c, other) - component(h, other);
        const double otherHi = component(c, other) + component(h, other);
        for (long k = 0; k < static_cast<long>(count); ++k) {
            const double v = first + static_cast<double>(k) * g;
            if (v < lo - tolerance || v > hi + tolerance) continue;
            const double tick = (std::fabs(v) < tolerance ? 0.4 : 0.3) * otherG;
            Vec3 p, q;
            component(p, along) = component(q, along) = v;
            component(p, third) = component(q, third) = component(c, third) - component(h, third);
            component(p, other) = otherLo;
            component(q, other) = otherLo + tick;
            drawSegment3d(p, q);
            component(p, other) = otherHi;
            component(q, other) = otherHi - tick;
            drawSegment3d(p, q);
        }
    }
    setPenColor(15);
}

void drawGridLabel(double increment) {
    if (!gridOn) return;
    setPenColor(6);
    plotState().textHeightDivisor = 300.0;
    plotText("GRID = " + lengthText(increment));
}

void resetGridIncrement() {
    const double z = workbox.halfSize[2];
    double g = gridIncrements[0];
    // Neither loop ends for an increment of 0 or below, nor means anything for such a box.
    if (!(g > 0.0) || !std::isfinite(g) || !(z > 0.0) || !std::isfinite(z)) return;
    const double original = g;
    while (z / g > 50.0)
        g *= 10.0;
    while (z / g < 5.0)
        g *= 0.1;
    for (double& increment : gridIncrements)
        increment = g;
    if (g != original)
        outText(outputChannel, "Grid increment has been reset to %f %s.\n", g, currentUnitName());
}

std::string trimTrailingZeros(const std::string& text) {
    // Only the decimals of a fixed-point number are trimmed.
    if (text.find('.') == std::string::npos) return text;
    const std::size_t last = text.find_last_not_of('0');
    if (last == std::string::npos) return text;
    return text.substr(0, std::min(text.size(), last + 2));
}

void drawAxisTriad(double size, int labelX, int labelY, int labelZ) {
    PlotState& s = plotState();
    const double savedEye = eyeDistance, savedDivisor = s.textHeightDivisor;
    const PlotRange saved = s.viewport;
    eyeDistance = 1e100;
    s.textHeightDivisor = 40.0;
    const double fifth = static_cast<float>(0.2);
    setViewport(saved.x1, saved.x1 + fifth * (saved.x2 - saved.x1), saved.y1,
                saved.y1 + fifth * (saved.y2 - saved.y1));
    const Vec3 centre = workboxCentre();
    fitPlotWindow(centre, {size, size, size}, viewAzimuth, viewElevation, 1);
    // With the y axis shown the triad stands low in its box, so that it rises into it.
    Vec3 origin = centre;
    if (labelY == 1) origin.y -= 0.8 * size;
    const Vec3 ends[3] = {origin + Vec3{size, 0, 0}, origin + Vec3{0, size, 0},
                          origin + Vec3{0, 0, size}};
    const int labels[3] = {labelX, labelY, labelZ};
    static const char* const kNames[3] = {"X", "Y", "Z"};
    for (int i = 0; i < 3; ++i) {
        drawSegment3d(origin, ends[i]);
        double p[2];
        if (labels[i] == 1 && projectPoint(ends[i], p)) {
            moveAbs(p[0], p[1]);
            plotText(kNames[i]);
        }
    }
    setViewport(saved.x1, saved.x2, saved.y1, saved.y2);
    eyeDistance = savedEye;
    s.textHeightDivisor = savedDivisor;
}

void drawDimensionBox(double x1, double x2, double y1, double y2) {
    setPenColor(11);
    const double h = 0.04 * (x2 - x1);
    drawDimensionLine({x1, y2 + h}, {x2, y2 + h}, 0.15 * h);
    drawDimensionLine({x1 - h, y1}, {x1 - h, y2}, 0.15 * h);
    plotState().textHeightDivisor = 250.0;
    moveAbs(x1 - 0.05 * (x2 - x1), y1 + (y2 - y1) / 2.0);
    plotText(lengthText(y2 - y1));
    moveAbs(x1 + 0.4 * (x2 - x1), y2);
    plotText(lengthText(x2 - x1));
}

void drawPlotFrame() {
    if (!viewFrame) return;
    setPenColor(15);
    const PlotRange w = plotState().window;
    const double dx = 0.00001 * (w.x2 - w.x1), dy = 0.00001 * (w.y2 - w.y1);
    moveAbs(w.x1 + dx, w.y1 + dy);
    lineAbs(w.x2 - dx, w.y1 + dy);
    lineAbs(w.x2 - dx, w.y2 - dy);
    lineAbs(w.x1 + dx, w.y2 - dy);
    lineAbs(w.x1 + dx, w.y1 + dy);
}

// The view's paint over any drawing surface: the solid image, the intensity view and the
// wireframe in the order the view type asks, the printed header, and the pane mappings kept for
// the mouse.
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "command/interpreter/aliases.h"
#include "display/plot/plot_primitives.h"
#include "display/raster/bitmap_holder.h"
#include "display/raster/draw_surface.h"
#include "display/views/repaint.h"
#include "display/views/view_host.h"
#include "display/views/view_modes.h"
#include "engine/model/current_objects.h"
#include "ui/core/dib.h"
#include "ui/core/selected_radiometer.h"
#include "ui/core/view_controller.h"
#include "ui/core/view_paint.h"
#include "ui/core/view_state.h"

IndexedImage indexedImageOfDib(const DibBlock& dib) {
    IndexedImage out;
    if (!dibValid(dib) || DibBitCount(dib) != 8) return out;
    const int w = DibWidth(dib), h = DibHeight(dib);
    if (w <= 0 || h <= 0) return out;
    out.width = w;
    out.height = h;
    out.indices.resize(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            out.indices[static_cast<std::size_t>(y) * w + x] = static_cast<std::uint8_t>(dibIndexAt(dib, x, y));
    for (const DibColour& c : dibColourTable(dib))
        out.colours.push_back({c.red, c.green, c.blue});
    return out;
}

int intensityBarHeight(int surfaceHeight) {
    return std::max(1, static_cast<int>(0.03 * surfaceHeight));
}

void CQelView::OnDraw(ViewHost& host, DrawSurface& surface, bool monochromePage,
                      const std::string& header) {
    const PaintPlan plan = BeginPaint(surface, monochromePage);
    if (plan.solidImage)
        DrawSolidImage(surface);
    else if (plan.intensityImage)
        DrawIntensityView(host, surface);
    if (plan.wireframe) paintWireframe(host, surface);
    if (surface.printingNow() && !header.empty()) {
        if (!plan.wireframe) beginViewDraw(host, surface);
        // From the middle of the page near its bottom edge, moved left so that it ends inside
        // the page, and above the intensity view's colour bar and scale line.
        const TextExtent e = surface.textExtent(header);
        const int w = surface.width(), h = surface.height();
        int clear = static_cast<int>(0.01 * h);
        if (plan.intensityImage) clear = std::max(clear, intensityBarHeight(h) + 2 * e.cy + 2);
        surface.setTextColor({0, 0, 0});
        surface.setTransparentText(true);
        surface.textOut(std::max(0, std::min(w / 2, w - e.cx - 1)), std::max(0, h - 1 - clear - e.cy),
                        header);
    }
    EndPaint(monochromePage);
}

void CQelView::DrawSolidImage(DrawSurface& surface) {
    // The image view/image rendered, painted as the console paints it.
    paintImage(surface, imageDib);
}

void CQelView::DrawIntensityView(ViewHost& host, DrawSurface& surface) {
    QelViewState& v = qelViewState();
    BitmapState& b = bitmapState();
    const std::string label = viewObject > 0 ? objectLabel(viewObject) : "";
    if (b.paletteIndex != kPaletteGrey) b.paletteIndex = kPaletteSpectrum;
    for (double& f : filmWindow)
        f = 0.0;
    const IndexedImage image = indexedImageOfDib(b.dibHandle);
    if (!image.valid()) return;
    beginViewDraw(host, surface);
    const int w = surface.width(), h = surface.height();
    double ext[4] = {0.0, 1.0, 0.0, 1.0};
    if (!drawIntensityDetector(viewObject, ext)) {
        // Without a detector plot the image keeps a margin of a tenth, above the colour bar.
        ext[0] = ext[2] = 0.0;
        ext[1] = ext[3] = 1.0;
        setViewport(0.1 * (w - 1), 0.9 * (w - 1), 0.1 * (h - 1), 0.9 * (h - 1));
        setWindow(0.0, 1.0, 0.0, 1.0);
        setPenColor(0);
        moveAbs(0, 0);
        lineAbs(1, 0);
        lineAbs(1, 1);
        lineAbs(0, 1);
        lineAbs(0, 0);
    }
    const PlotState& s = plotState();
    v.energyMap.xScale = s.scale.x;
    v.energyMap.yScale = s.scale.y;
    v.energyMap.xOffset = s.bias.x;
    v.energyMap.yOffset = s.bias.y;
    v.energyMap.xRange[0] = ext[0];
    v.energyMap.xRange[1] = ext[1];
    v.energyMap.yRange[0] = ext[2];
    v.energyMap.yRange[1] = ext[3];
    const int bottom = h - 1;
    const double xa = v.energyMap.PixelX(ext[0]), xb = v.energyMap.PixelX(ext[1]);
    const double ya = bottom - v.energyMap.PixelY(ext[3]), yb = bottom - v.energyMap.PixelY(ext[2]);
    auto finite = [](double d) { return std::isfinite(d) && std::fabs(d) < 1e7; };
    if (!finite(xa) || !finite(xb) || !finite(ya) || !finite(yb)) return;
    const int left = static_cast<int>(std::min(xa, xb)), right = static_cast<int>(std::max(xa, xb));
    const int top = static_cast<int>(std::min(ya, yb)), low = static_cast<int>(std::max(ya, yb));
    const int barHeight = intensityBarHeight(h);
    const IndexedImage bar = indexedImageOfDib(b.image.paletteBarDib);
    if (bar.valid()) surface.paintDib(bar, left, bottom - barHeight, right - left, barHeight);
    surface.paintDib(image, left, top, right - left, low - top);
    // The scale texts on one line just above the colour bar, and the object's label.
    surface.setTextColor({0, 0, 0});
    surface.setTransparentText(true);
    const int textY = bottom - barHeight - surface.textExtent("0").cy - 1;
    char maximum[64];
    std::snprintf(maximum, sizeof maximum, "%lg", b.image.imageMaximum);
    surface.textOut(left, textY, "0.0");
    surface.textOut(static_cast<int>(left + 0.4 * (right - left)), textY, "Energy Map");
    surface.textOut(right - surface.textExtent(maximum).cx, textY, maximum);
    surface.textOut(left, std::max(0, top - surface.textExtent(label).cy - 1), label);
}

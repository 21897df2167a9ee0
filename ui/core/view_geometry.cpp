#include "ui/core/view_geometry.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <locale>
#include <sstream>
#include <iomanip>

#include "command/interpreter/reader.h"
#include "display/plot/plot_primitives.h"
#include "display/views/view_modes.h"

void normalizeAngles(double& azimuth, double& elevation) {
    // The same results as stepping by 360 until inside, without the loop: from above the
    // azimuth ends in (-180, 180], from below in [-180, 180).
    // fmod is exact, so even a huge azimuth lands in range.
    if (std::isfinite(azimuth) && (azimuth > 180.0 || azimuth < -180.0)) {
        azimuth = std::fmod(azimuth, 360.0);
        if (azimuth > 180.0) azimuth -= 360.0;
        if (azimuth < -180.0) azimuth += 360.0;
    }
    if (elevation > 90.0) elevation = 90.0;
    if (elevation < -90.0) elevation = -90.0;
}

bool applyAzElDrag(double& azimuth, double& elevation, int dx, int dy, int width, int height) {
    if (width <= 0 || height <= 0) return false;
    azimuth += -180.0 / width * dx;
    elevation += -90.0 / height * dy;
    normalizeAngles(azimuth, elevation);
    return true;
}

double snapCoordinate(double c, double increment) {
    if (!(increment > 0.0) || c == 0.0 || !std::isfinite(c)) return c;
    const double n = std::trunc(c / std::fabs(c) * 0.5 + c / increment);
    return n * increment;
}

double firstGridIncrement(double w) {
    if (!(w > 0.0) || !std::isfinite(w)) return 1.0;
    double increment = std::pow(10.0, std::floor(std::log10(w)));
    // log10 may land a hair off a decade boundary.
    if (increment > w) increment /= 10.0;
    if (increment * 10.0 <= w) increment *= 10.0;
    if (w / increment < 5.0) increment /= 10.0;
    return increment;
}

Pane paneOfPoint(double px, double py, double cx, double cy) {
    if (px == cx) return Pane::Y;
    if (px > cx && py > cy) return Pane::ThreeD;
    if (px < cx && py < cy) return Pane::X;
    if (px < cx) return Pane::Y;
    return Pane::Z;
}

namespace {
void mapThrough(const CScreenMapping& m, int px, int py, double& a, double& b) {
    a = m.PlotX(px);
    b = m.PlotY(py);
}
bool mapPane(Pane pane, int px, int py, double out[3]) {
    const QelViewState& v = qelViewState();
    switch (pane) {
    case Pane::X: mapThrough(v.xPaneMap, px, py, out[2], out[1]); return true;
    case Pane::Y: mapThrough(v.yPaneMap, px, py, out[2], out[0]); return true;
    case Pane::Z: mapThrough(v.zPaneMap, px, py, out[0], out[1]); return true;
    default: return false;
    }
}
} // namespace

bool ClientToModel(int px, int py, double out[3]) {
    if (orthogonalMode) {
        const PlotState& s = plotState();
        const double cx = (s.screenRange.x2 - s.screenRange.x1) * 0.5 + s.screenRange.x1;
        const double cy = (s.screenRange.y2 - s.screenRange.y1) * 0.5 + s.screenRange.y1;
        return mapPane(paneOfPoint(px, py, cx, cy), px, py, out);
    }
    if (filmMode) return mapPane(Pane::Z, px, py, out);
    switch (viewType) {
    case kViewAxisX: return mapPane(Pane::X, px, py, out);
    case kViewAxisY: return mapPane(Pane::Y, px, py, out);
    case kViewAxisZ: return mapPane(Pane::Z, px, py, out);
    default: return false;
    }
}

std::vector<std::string> workboxTexts(const double a[3], const double b[3]) {
    static const char* const formats[3] = {"set/workbox xs=%14.9lg xc=%14.9lg",
                                           "set/workbox ys=%14.9lg yc=%14.9lg",
                                           "set/workbox zs=%14.9lg zc=%14.9lg"};
    std::vector<std::string> out;
    for (int i = 0; i < 3; ++i) {
        const double half = std::fabs(b[i] - a[i]) * 0.5;
        const double centre = (a[i] + b[i]) * 0.5;
        if (half == 0.0 || !std::isfinite(half) || !std::isfinite(centre)) continue;
        char text[128];
        std::snprintf(text, sizeof text, formats[i], half, centre);
        out.emplace_back(text);
    }
    return out;
}

std::string progressText(double fraction) {
    if (fraction < 0.0) return "Escaped                    ";
    char text[64];
    const double percent = fraction * 100.0;
    const int whole = std::isfinite(percent) && std::fabs(percent) < 1e9 ? static_cast<int>(percent) : 0;
    std::snprintf(text, sizeof text, "%2d %% Complete       ", whole);
    return text;
}

PageLayout pageLayout(int pageWidth, int pageHeight, bool solidImage, double printAspect) {
    PageLayout p;
    p.width = static_cast<int>(0.95 * pageWidth);
    p.height = static_cast<int>(0.95 * pageHeight);
    if (solidImage && printAspect > 0.0 && std::isfinite(printAspect))
        p.height = static_cast<int>(p.width / printAspect);
    p.left = static_cast<int>(p.width * 0.025);
    p.top = static_cast<int>(p.height * 0.025);
    return p;
}

std::string printHeader(const std::tm& localTime, const std::string& title) {
    std::ostringstream out;
    out.imbue(std::locale::classic());
    out << std::put_time(&localTime, "%I:%M%p %a, %b %d, %Y ");
    return out.str() + " " + title;
}

bool useMonochromeTable(bool monochromeSetting, int printerColours) {
    return !monochromeSetting && printerColours < 8;
}

std::optional<std::string> boundedCommandText(const char* format, ...) {
    char text[kLineSignificant + 2];
    va_list args;
    va_start(args, format);
    const int n = std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    if (n < 0 || n > kLineSignificant) return std::nullopt;
    return std::string(text, static_cast<std::size_t>(n));
}

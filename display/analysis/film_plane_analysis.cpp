#include "display/analysis/film_plane_analysis.h"

#include <algorithm>
#include <cmath>
#include <new>

#include "command/settings/settings.h"
#include "display/plot/plot_primitives.h"
#include "display/views/annotations.h"
#include "display/views/view_modes.h"
#include "engine/commands/command_values.h"
#include "engine/model/object_table.h"
#include "parts/trace/trace_totals.h"
#include "platform/safe_file.h"

namespace {

const char* const kLinearValues[] = {"object", "nbins", " "};
const char* const kEncircledValues[] = {"object", "radiusmax", "nbuckets", " "};

// More cells than this are refused as a grid that does not fit.
constexpr double kMaxCells = 50000000.0;
constexpr double kPi = 3.141592654;

// Where a report goes: the named file (written whole at the end) or the output channel.
class ReportOutput {
  public:
    // False after "Unable to open file: %s for output." when the file cannot be made.
    bool open(const std::string& path) {
        if (path.empty()) return true;
        if (file_.open(path)) return true;
        errorText(outputChannel, "Unable to open file: %s for output.\n", path.c_str());
        return false;
    }
    OutputChannel channel() const {
        return file_.stream() ? OutputChannel(file_.stream()) : outputChannel;
    }
    // Puts the file in place; a file that could not be written is said once, and any old one
    // stays as it was.
    void finish(const std::string& path) {
        if (file_.stream() && !file_.commit())
            errorText(outputChannel, "Unable to write %s\n", path.c_str());
    }

  private:
    platform::ReplacementFile file_;
};

// The detector n (object number) with a first surface: its record, or nullptr after the
// command's message.
const ObjectRecord* filmObject(int n) {
    const ObjectRecord* object = getObject(n - 1);
    if (!object || !object->firstSurface) {
        errorText(outputChannel, "Film plane object not found.\n");
        return nullptr;
    }
    if (object->typeCode != kTypeRaytraceDetector) {
        errorText(outputChannel, "Object is not a film plane.\n");
        return nullptr;
    }
    return object;
}

// The bin of `offset` in bins of `width` among `count`: -1 outside (also for a zero or not
// finite width). A hit exactly on the upper edge goes to the last bin.
long binOf(double offset, double width, long count, bool onUpperEdge) {
    if (!(width > 0.0) || !std::isfinite(width) || !std::isfinite(offset)) return -1;
    if (onUpperEdge) return count - 1;
    const double f = offset / width;
    if (!(f >= 0.0) || f >= static_cast<double>(count)) return -1;
    return static_cast<long>(f);
}

void writeTallies(OutputChannel out) {
    const TraceTotals& t = traceTotals();
    outText(out, "Ray decendants/energy to deep space, %ld,%lg\n", t.noHitCount, t.noHitEnergy);
    outText(out, "Ray decendants/energy below minimum transmittance or max ghosts, %ld,%lg\n",
            t.thresholdCount, t.thresholdEnergy);
    outText(out, "Ray decendants/energy trucated at depth limit, %ld,%lg\n", t.depthLimitCount,
            t.depthLimitEnergy);
}

// A normalisation of 0 (nothing reached the film, or nothing was traced) is taken as 1.
double normalisation(double filmEnergy) {
    const double n = normaliseToTrace() ? traceTotals().totalSourceEnergy : filmEnergy;
    return n != 0.0 && std::isfinite(n) ? n : 1.0;
}

void drawBoxOutline(double x1, double x2, double y1, double y2) {
    moveAbs(x1, y1);
    lineAbs(x2, y1);
    lineAbs(x2, y2);
    lineAbs(x1, y2);
    lineAbs(x1, y1);
}

void drawRing(double x1, double x2, double y1, double y2) {
    const double cx = (x1 + x2) / 2.0, cy = (y1 + y2) / 2.0;
    const double a = (x2 - x1) / 2.0, b = (y2 - y1) / 2.0;
    moveAbs(cx + a, cy);
    for (int k = 1; k <= 32; ++k) {
        const double t = 2.0 * M_PI * k / 32.0;
        lineAbs(cx + a * std::cos(t), cy + b * std::sin(t));
    }
}

// Steps 1-4 of the spot diagram: checks, window, outline and dimension box. The window is the
// film zoom (centre x, centre y, half width, half height) when one is given with both half
// sizes nonzero, else the detector's extent with a margin. The detector's first surface, or
// nullptr after the message.
const SurfaceRecord* detectorFrame(int n, const double* zoom = nullptr) {
    if (!checkObjectState(n - 1, 1, 1, 1)) return nullptr;
    const ObjectRecord* object = getObject(n - 1);
    if (!object) return nullptr;
    if (object->typeCode != kTypeRaytraceDetector) {
        errorText(outputChannel, " Object number %d is not a ray trace detector.\n", n);
        return nullptr;
    }
    const SurfaceRecord* s = object->firstSurface;
    if (!s) return nullptr;
    const double x1 = s->extent[0], x2 = s->extent[1], y1 = s->extent[2], y2 = s->extent[3];
    const double mx = 0.1 * (x2 - x1), my = 0.1 * (y2 - y1);
    if (zoom && zoom[2] != 0.0 && zoom[3] != 0.0 && std::isfinite(zoom[0]) &&
        std::isfinite(zoom[1]) && std::isfinite(zoom[2]) && std::isfinite(zoom[3])) {
        const double hw = std::fabs(zoom[2]), hh = std::fabs(zoom[3]);
        setSpotWindow(zoom[0] - hw, zoom[0] + hw, zoom[1] - hh, zoom[1] + hh);
    } else {
        setSpotWindow(x1 - mx, x2 + mx, y1 - 2.0 * my, y2 + my);
    }
    setPenColor(15);
    const double tick = 0.04 * x2;
    moveAbs(x2, y2);
    lineAbs(x2 + tick, y2 + tick);
    if (s->edgeType == 1)
        drawRing(x1, x2, y1, y2);
    else
        drawBoxOutline(x1, x2, y1, y2);
    if (s->hasHole) {
        const double* h = s->holeLimits;
        if (s->holeShape == 1)
            drawRing(h[0], h[1], h[2], h[3]);
        else
            drawBoxOutline(h[0], h[1], h[2], h[3]);
    }
    drawDimensionBox(x1, x2, y1, y2);
    return s;
}

// The checks both analyses make after their count, in order: an object given, a film plane,
// and `cells` that fit in memory. False after the failed check's message; `n` is the object.
bool analysedFilmObject(double cells, const std::string& outputPath, int& n) {
    if (!numericGiven[0]) {
        errorText(outputChannel, "No object given. Command ignored.\n");
        return false;
    }
    n = commandNumberValue(numericValues[0]);
    if (!filmObject(n)) return false;
    if (cells > kMaxCells) {
        filmPlaneGrid(0, 0, n, outputPath, 1, 1);
        errorText(outputChannel, "No room for in memory for grid of this size.\n");
        return false;
    }
    return true;
}

// Opens spots.dat for reading; false after " Error opening spot data file." on `out`.
bool openSpotsForListing(OutputChannel out, bool inBox) {
    if (openSpotFileForReading() >= 0) return true;
    if (inBox)
        errorBox(" Error opening spot data file.\n");
    else
        outText(out, " Error opening spot data file.\n");
    return false;
}

} // namespace

FilmPlaneState& filmPlaneState() {
    static FilmPlaneState s;
    return s;
}

void resetFilmPlaneState() {
    closeSpotFile();
    filmPlaneState() = FilmPlaneState{};
}

int percentMode() {
    return energyPercentage;
}
int storeNormalised() {
    return energyDensity;
}
int normaliseToTrace() {
    return energyAbsolute;
}

bool nextDetectorHit(SpotRecord& r, double& x, double& y) {
    const int detector = filmPlaneState().analysedDetector;
    while (readSpotRecord(r.point, r.energy, r.objectNumber, r.surfaceNumber, r.direction) > 0) {
        r.wavelengthIndex = wavelengthIndex;
        if (r.objectNumber != detector) continue;
        if (!std::isfinite(r.point.x) || !std::isfinite(r.point.y) || !std::isfinite(r.point.z) ||
            !std::isfinite(r.energy)) {
            ++filmPlaneState().badSpots;
            continue;
        }
        x = r.point.x;
        y = r.point.y;
        return true;
    }
    return false;
}

void reportBadSpots() {
    long& bad = filmPlaneState().badSpots;
    if (bad != 0) errorText(outputChannel, "%ld Bad points are found in spot data.\n", bad);
    bad = 0;
}

int filmPlaneCommand(const char* word, const std::string& outputPath) {
    const std::string w = word ? word : "";
    FilmPlaneState& s = filmPlaneState();
    if (w == "xlinear" || w == "ylinear") {
        readCommandValues(kLinearValues, 2);
        const double bins = valueOr(1, 20.0);
        if (!(bins >= 1.0)) {
            errorText(outputChannel, "At least nbins must be 1 or greater. Read the manual.\n");
            return 0;
        }
        int n = 0;
        if (!analysedFilmObject(bins, outputPath, n)) return 0;
        const int count = static_cast<int>(bins);
        s.filmAxisTitle = w == "xlinear" ? kFilmAxisX : kFilmAxisY;
        return w == "xlinear" ? filmPlaneGrid(count, 1, n, outputPath, 0, 0)
                              : filmPlaneGrid(1, count, n, outputPath, 0, 0);
    }
    if (w == "encircled") {
        readCommandValues(kEncircledValues, 3);
        const double radius = valueOr(1, 0.0);
        const double buckets = valueOr(2, 5.0);
        if (!(buckets >= 1.0)) {
            errorText(outputChannel, "Number of buckets must be greater than 1.\n");
            return 0;
        }
        int n = 0;
        if (!analysedFilmObject(buckets, outputPath, n)) return 0;
        s.filmAxisTitle = kFilmAxisRadial;
        return encircledEnergy(n, radius, static_cast<int>(buckets), outputPath);
    }
    return 0;
}

int filmPlaneGrid(int nx, int ny, int detector, const std::string& outputPath, int freeOnly,
                  int noReport) {
    FilmPlaneState& s = filmPlaneState();
    s.cells.clear();
    s.cells.shrink_to_fit();
    s.nx = s.ny = 0;
    if (freeOnly) return 1;
    const ObjectRecord* object = getObject(detector - 1);
    if (!object || !object->firstSurface) return 0;
    if (openSpotFileForReading() < 0) {
        errorText(outputChannel, " Error opening spot data file.\n");
        return 0;
    }
    s.analysedDetector = detector;
    s.badSpots = 0;
    ReportOutput out;
    if (!noReport && !out.open(outputPath)) {
        closeSpotFile();
        return 0;
    }
    try {
        s.cells.assign(static_cast<std::size_t>(nx) * static_cast<std::size_t>(ny), FilmCell{});
    } catch (const std::bad_alloc&) {
        closeSpotFile();
        errorText(outputChannel, "No room for in memory for grid of this size.\n");
        return 0;
    }
    s.nx = nx;
    s.ny = ny;
    const double* e = object->firstSurface->extent;
    const bool alongY = s.filmAxisTitle == kFilmAxisY;
    s.xLow = alongY ? e[2] : e[0];
    s.xHigh = alongY ? e[3] : e[1];
    s.yLow = alongY ? e[0] : e[2];
    s.yHigh = alongY ? e[1] : e[3];
    if (!noReport) {
        const double cx = (e[0] + e[1]) / 2.0, cy = (e[2] + e[3]) / 2.0;
        const double hx = (e[1] - e[0]) / 2.0, hy = (e[3] - e[2]) / 2.0;
        filmPlaneReport(out.channel(), nx, ny, cx, cy, hx, hy);
        out.finish(outputPath);
    }
    return 1;
}

void filmPlaneReport(OutputChannel output, int nx, int ny, double cx, double cy, double hx,
                     double hy) {
    FilmPlaneState& s = filmPlaneState();
    const double incX = 2.0 * hx / nx, incY = 2.0 * hy / ny;
    double area = 4.0 * hx * hy / (static_cast<double>(nx) * ny);
    if (area == 0.0 || !std::isfinite(area)) area = 1.0;
    int filmHits = 0, outside = 0;
    double filmEnergy = 0.0;
    SpotRecord r;
    double x = 0.0, y = 0.0;
    while (nextDetectorHit(r, x, y)) {
        const long i = binOf(x - (cx - hx), incX, nx, x == cx + hx);
        const long j = binOf(y - (cy - hy), incY, ny, y == cy + hy);
        if (i < 0 || j < 0) {
            ++outside;
            continue;
        }
        FilmCell& cell = s.cells[static_cast<std::size_t>(i + j)];
        ++cell.hits;
        cell.energy += r.energy;
        ++filmHits;
        filmEnergy += r.energy;
    }
    reportBadSpots();
    const double norm = normalisation(filmEnergy);
    const TraceTotals& t = traceTotals();
    outText(output, "Film Plane Analysis:\nTotal Rays=,%d, Energy Sum=%lg.\n",
            static_cast<int>(t.raysTraced), t.totalSourceEnergy);
    outText(output, "x and y half widths ,%lg, %lg, and x and y increments ,%lg, %lg\n", hx, hy,
            incX, incY);
    outText(output, "   A total of ,%d, rays struck the film, total energy =, %f \n", filmHits,
            filmEnergy);
    outText(output, "Energy normalization factor, %lg\n", norm);
    outText(output, "Average density = ,%lg, per square unit area.\n", filmEnergy / area);
    outText(output, percentMode() ? "   Position,   N_hits, PercentEnergy,   PercentEnergy/Area \n"
                                  : "   Cell   N_hits  Energy   Energy/Area \n");
    // The profile runs along x for an x profile, along y otherwise; positions are cell centres.
    const bool alongX = ny == 1 && s.filmAxisTitle != kFilmAxisY;
    const double inc = alongX ? incX : incY, half = alongX ? hx : hy, centre = alongX ? cx : cy;
    const int count = nx * ny;
    for (int k = 0; k < count; ++k) {
        FilmCell& cell = s.cells[static_cast<std::size_t>(k)];
        const double position = centre - half + (k + 0.5) * inc;
        const double density = cell.energy / area;
        const double energy = percentMode() ? cell.energy / norm * 100.0 : cell.energy;
        outText(output, "    %lg, %5d,    %f,   %lg\n", position, cell.hits, energy,
                density / norm);
        if (storeNormalised()) cell.energy = density / norm;
    }
    if (outside) outText(output, "\nNOTE: %d film plane rays fell outside the grid.\n", outside);
    writeTallies(output);
}

int encircledEnergy(int detector, double radius, int buckets, const std::string& outputPath) {
    const ObjectRecord* object = getObject(detector - 1);
    if (!object || !object->firstSurface) return 0;
    if (!(radius > 0.0)) {
        const double* e = object->firstSurface->extent;
        const double hx = (e[1] - e[0]) / 2.0, hy = (e[3] - e[2]) / 2.0;
        radius = std::sqrt(hx * hx + hy * hy);
        outText(outputChannel, "Radius for this film plane is %f.\n", radius);
        if (!(radius > 0.0)) {
            filmPlaneGrid(0, 0, detector, outputPath, 1, 1);
            errorText(outputChannel, "Plane too small. Energy calculation aborted.\n");
            return 0;
        }
    }
    if (!filmPlaneGrid(buckets, 1, detector, outputPath, 0, 1)) return 0;
    FilmPlaneState& s = filmPlaneState();
    const double width = radius / buckets;
    int filmHits = 0;
    double filmEnergy = 0.0;
    SpotRecord r;
    double x = 0.0, y = 0.0;
    while (nextDetectorHit(r, x, y)) {
        ++filmHits;
        filmEnergy += r.energy;
        const long k = binOf(std::sqrt(x * x + y * y), width, buckets, false);
        if (k < 0) continue;
        FilmCell& cell = s.cells[static_cast<std::size_t>(k)];
        ++cell.hits;
        cell.energy += r.energy;
    }
    reportBadSpots();
    s.xLow = 0.0;
    s.xHigh = radius;
    ReportOutput out;
    if (!out.open(outputPath)) {
        filmPlaneGrid(0, 0, detector, outputPath, 1, 1);
        return 0;
    }
    const OutputChannel o = out.channel();
    const double norm = normalisation(filmEnergy);
    const TraceTotals& t = traceTotals();
    outText(o, "Film Plane Analysis (Encircled Energy):\n\n");
    outText(o, "Total rays, %d, Energy Sum=%lg.\n", static_cast<int>(t.raysTraced),
            t.totalSourceEnergy);
    outText(o, "   A total of, %d, rays struck the film, total film plane energy =, %f\n",
            filmHits, filmEnergy);
    outText(o, "   Radius,    N_hits,    Energy,   EncircledEnergy, Energy/Area\n");
    double sum = 0.0;
    for (int k = 0; k < buckets; ++k) {
        FilmCell& cell = s.cells[static_cast<std::size_t>(k)];
        const double energy = percentMode() ? cell.energy / norm * 100.0 : cell.energy;
        sum += energy;
        const double outer = (k + 1) * width;
        double circle = kPi * outer * outer;
        if (!(circle > 0.0) || !std::isfinite(circle)) circle = 1.0; // as the cell area
        outText(o, "    %7f, %5d,    %9f,  %lg,         %lg\n", outer, cell.hits, energy, sum,
                sum / circle);
        if (storeNormalised()) cell.energy = sum;
    }
    writeTallies(o);
    out.finish(outputPath);
    return 1;
}

void setSpotWindow(double x1, double x2, double y1, double y2) {
    x1 -= 0.001 * std::fabs(x1);
    x2 += 0.001 * std::fabs(x2);
    y1 -= 0.001 * std::fabs(y1);
    y2 += 0.001 * std::fabs(y2);
    // A box without width or height still gets a window of some size.
    if (!(x2 > x1)) {
        x1 -= 1.0;
        x2 += 1.0;
    }
    if (!(y2 > y1)) {
        y1 -= 1.0;
        y2 += 1.0;
    }
    const PlotRange sr = plotState().screenRange;
    const double sw = sr.x2 - sr.x1, sh = sr.y2 - sr.y1;
    const double scale = std::min(sw / (x2 - x1), sh / (y2 - y1));
    const double vw = (x2 - x1) * scale, vh = (y2 - y1) * scale;
    const double vx = sr.x1 + (sw - vw) / 2.0, vy = sr.y1 + (sh - vh) / 2.0;
    setViewport(vx, vx + vw, vy, vy + vh);
    setWindow(x1, x2, y1, y2);
}

int drawSpotDiagram(int n) {
    if (!detectorFrame(n, filmWindow)) return 0;
    // The film view's mouse maps through the z pane: film x and y to pixels.
    const PlotState& plot = plotState();
    paneScale[2] = PaneScale{plot.scale.x, plot.scale.y, plot.bias.x, plot.bias.y};
    setPenColor(14);
    if (openSpotFileForReading() < 0) return 1;
    filmPlaneState().analysedDetector = n;
    filmPlaneState().badSpots = 0;
    SpotRecord r;
    double x = 0.0, y = 0.0;
    const bool byEnergy = filmPlaneState().spotColourByEnergy != 0;
    while (nextDetectorHit(r, x, y)) {
        // Colours stay in the sixteen-entry table whatever the record holds.
        double c = byEnergy ? std::trunc(r.energy * 7.99999 + 8.0) : r.wavelengthIndex + 1.0;
        if (!(c >= 0.0)) c = 0.0;
        if (c > 15.0) c = 15.0;
        setPenColor(static_cast<int>(c));
        drawCross(x, y);
    }
    reportBadSpots();
    return 1;
}

int drawDetectorOutline(int n) {
    return detectorFrame(n) ? 1 : 0;
}

namespace {

// One listing line of a spot's direction cosines, transmittance, object and surface.
void writeSpotDirection(OutputChannel stream, const SpotRecord& r) {
    outText(stream, "%15.9lg,  %15.9lg,  %15.9lg,  %7.5f,  %3d,  %3d\n", r.direction.x,
            r.direction.y, r.direction.z, r.energy, r.objectNumber, r.surfaceNumber);
}

} // namespace

void listSpotData(OutputChannel stream) {
    if (!openSpotsForListing(stream, false)) return;
    outText(stream, "Locations:    X                Y                Z\n");
    outText(stream, "Dir. Cosines: X                Y                Z");
    outText(stream, "  Transm.   Obj# Surf# \n");
    SpotRecord r;
    while (readSpotRecord(r.point, r.energy, r.objectNumber, r.surfaceNumber, r.direction) > 0) {
        outText(stream, "%15.9lg,  %15.9lg,  %15.9lg \n", r.point.x, r.point.y, r.point.z);
        writeSpotDirection(stream, r);
    }
    outText(stream, "\n");
}

void listSpotDirections(OutputChannel stream) {
    if (!openSpotsForListing(stream, true)) return;
    outText(outputChannel, "Ray Intercept Angles\n");
    outText(outputChannel, "Dir. Cosines: X                Y                Z");
    outText(outputChannel, "  Transm.   Obj# Surf# \n");
    SpotRecord r;
    while (readSpotRecord(r.point, r.energy, r.objectNumber, r.surfaceNumber, r.direction) > 0)
        writeSpotDirection(stream, r);
    outText(stream, "\n");
}

void listSpotLocationsAndDirections(OutputChannel stream) {
    if (!openSpotsForListing(stream, false)) return;
    outText(stream, "\nRay Location and Intercept Angle\n");
    outText(stream, "Locations:    X                Y                Z      \n");
    outText(stream, "Dir. Cos.:    X                Y                Z      Transm.   Obj# Surf# \n");
    SpotRecord r;
    while (readSpotRecord(r.point, r.energy, r.objectNumber, r.surfaceNumber, r.direction) > 0) {
        outText(stream, "%15.9lg,  %15.9lg,  %15.9lg,  \n", r.point.x, r.point.y, r.point.z);
        outText(stream, "%15.9lg,  %15.9lg,  %15.9lg,       %7.5f,  %3d,  %3d\n", r.direction.x,
                r.direction.y, r.direction.z, r.energy, r.objectNumber, r.surfaceNumber);
    }
}

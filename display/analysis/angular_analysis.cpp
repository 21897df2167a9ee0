#include "display/analysis/angular_analysis.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "command/messages/messages.h"
#include "display/analysis/film_plane_analysis.h"
#include "display/plot/plot_primitives.h"
#include "engine/commands/command_values.h"
#include "engine/files/ray_files.h"
#include "engine/polynet/polynet_records.h"
#include "parts/part.h"
#include "parts/radiometers/radiometer.h"

namespace {

const char* const kAngularValues[] = {"radiusmax", "buckets", " "};
constexpr double kPolarDegree = 0.0174532925;
constexpr double kTwoPi = 6.283185307179586;

double clampedAcos(double c) {
    return std::acos(std::clamp(c, -1.0, 1.0));
}

// Adds w to bucket trunc(theta / width) of one axis, or to its spillage beyond the count.
void binAngle(int axis, double theta, double w) {
    AngularState& s = angularState();
    double* table = polarTables().rows[axis];
    const double f = theta / s.bucketWidth;
    if (!std::isfinite(f) || f > s.bucketCount + 1.0) {
        s.spillage[axis] += w;
        return;
    }
    const int k = static_cast<int>(f);
    if (k > s.bucketCount)
        s.spillage[axis] += w;
    else
        table[k] += w;
}

void moveTo(double x, double y) {
    moveAbs(x, y);
}

// The common frame of the polar plots; `heading` is the text at (-1, 0.9).
void polarFrame(int variant, const char* heading, double span) {
    setSpotWindow(-1.1, 1.1, -1.1, 1.1);
    setPenColor(9);
    moveTo(-0.9, -1.1);
    plotText("MERIDYN SYSTEM POLAR PLOT OF RAY TERMINAL DIRECTIONS");
    if (variant == 3) {
        moveTo(-1.0, 0.0);
        lineAbs(1.01, 0.0);
        plotText("+X AXIS");
        moveTo(-1.0, -1.0);
        plotText("Z IS PROJECTED ONTO THE XY PLANE");
    }
    moveTo(-1.0, 0.9);
    plotText(heading);
    moveTo(0.0, -1.0);
    lineAbs(0.0, 1.01);
    moveTo(0.0, 1.0);
    plotText(variant == 2 ? "+Z AXIS (AXISYMETRIC)"
                          : (variant == 0 ? "+X AXIS" : "+Y AXIS"));
    for (double r : {1.0, 0.8, 0.6, 0.4, 0.2})
        drawPolarArc(r, 9, span);
}

// The wedge of bucket k at radius r, on the right (side 1) or mirrored (side -1).
void drawWedge(int k, double width, double r, double side) {
    r = std::min(r, 1.05);
    moveTo(0.0, 0.0);
    lineAbs(side * r * std::sin((k + 1) * width), r * std::cos((k + 1) * width));
    lineAbs(side * r * std::sin(k * width), r * std::cos(k * width));
    lineAbs(0.0, 0.0);
}

// Clears the x, y, z and xy rows with their maxima; the intensity row is the radiometer's.
void clearAngularTables() {
    PolarTables& p = polarTables();
    for (int row = kPolarRowX; row <= kPolarRowXY; ++row) {
        std::fill(std::begin(p.rows[row]), std::end(p.rows[row]), 0.0);
        p.rowMaxima[row] = 0.0;
    }
}

// True when every number the table prints is finite: sums of far weights over narrow rings
// can leave the range of a double.
bool tablesPrintable(int buckets) {
    const PolarTables& p = polarTables();
    const AngularState& s = angularState();
    auto finite = [](const double* v, int n) {
        return std::all_of(v, v + n, [](double x) { return std::isfinite(x); });
    };
    for (int row = kPolarRowX; row <= kPolarRowZ; ++row)
        if (!finite(p.rows[row], buckets)) return false;
    return finite(p.rowMaxima, kPolarRowXY + 1) && finite(s.spillage, 3);
}

} // namespace

AngularState& angularState() {
    static AngularState s;
    return s;
}

void resetAngularState() {
    angularState() = AngularState{};
}

int angularCommand() {
    readCommandValues(kAngularValues, 2);
    const double radius = valueOr(0, 180.0);
    const double buckets = valueOr(1, 18.0);
    // Half angles beyond 180 degrees would make rings of negative solid angle.
    if (!(buckets >= 1.0 && buckets < kMaxPolarBuckets + 1.0) ||
        !(radius > 0.0 && radius <= 180.0)) {
        errorText(outputChannel, " Polar buckets must be 1 to 359 and radiusmax greater than 0 "
                                 "and at most 180.  Command ignored.\n");
        return 0;
    }
    angularEnergyAnalysis(radius, static_cast<int>(buckets));
    return 1;
}

void angularDefaultAnalysis() {
    angularEnergyAnalysis(180.0, 18);
}

void binTerminalDirection(double dx, double dy, double dz, double w) {
    AngularState& s = angularState();
    binAngle(0, clampedAcos(dx), w);
    binAngle(1, clampedAcos(dy), w);
    binAngle(2, clampedAcos(dz), w);
    // The azimuth is measured from +y towards +x; bin 180 starts at 0.
    const double f = std::floor(std::atan2(dx, dy) / s.bucketWidth);
    if (std::isfinite(f)) {
        long bin = (static_cast<long>(std::fmod(f, 360.0)) + 180) % 360;
        if (bin < 0) bin += 360;
        polarTables().rows[kPolarRowXY][bin] += w;
    }
    s.binCount += 1.0;
}

void angularEnergyAnalysis(double radiusMax, int buckets) {
    AngularState& s = angularState();
    s = AngularState{};
    clearAngularTables();
    PolarTables& p = polarTables();
    s.bucketWidth = radiusMax * kPolarDegree / buckets;
    s.bucketCount = buckets;
    int flag = 0;
    Vec3 point;
    if (openRayFile() < 0 || !readRayRecord(flag, point)) {
        outText(outputChannel, "No ray data found.\n");
        return;
    }
    auto finite = [](const Vec3& v) {
        return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
    };
    // A record that is no point leaves its path out (the way it went is not known); so does a
    // segment too long for a number.
    long badPoints = 0;
    bool broken = !finite(point);
    if (broken) ++badPoints;
    Vec3 previous = point, direction;
    double weight = 0.0;
    bool kept = false, previousExit = farPointMarker != 0;
    for (;;) {
        const int more = readRayRecord(flag, point);
        const bool exitPoint = more && farPointMarker;
        // A path ends at a new path's start or at the end of the file; it is binned when its
        // last record was an exit point.
        if (!more || flag > 0) {
            if (kept && previousExit && !broken)
                binTerminalDirection(direction.x, direction.y, direction.z, weight);
            kept = false;
            broken = false;
            if (!more) break;
        }
        if (!finite(point)) {
            ++badPoints;
            broken = true;
        } else if (flag <= 0 && !broken) {
            Vec3 d{point.x - previous.x, point.y - previous.y, point.z - previous.z};
            // Far points lie far out: the length of their segment must not overflow on the way.
            const double length = std::hypot(d.x, d.y, d.z);
            if (!std::isfinite(length)) {
                ++badPoints;
                broken = true;
            } else if (length > 0.0) {
                direction = {d.x / length, d.y / length, d.z / length};
                weight = length / 1000000.0;
                kept = true;
            }
        }
        previous = point;
        previousExit = exitPoint;
    }
    if (badPoints != 0)
        errorText(outputChannel, "%ld Bad points are found in ray data.\n", badPoints);
    const double width = s.bucketWidth;
    std::vector<double> rings(static_cast<std::size_t>(buckets));
    for (int k = 0; k < buckets; ++k) {
        // 2 pi (cos k w - cos (k + 1) w), in a form that keeps its digits for narrow rings.
        const double omega = 2.0 * kTwoPi * std::sin((k + 0.5) * width) * std::sin(0.5 * width);
        rings[static_cast<std::size_t>(k)] = omega;
        // A ring too narrow for a solid angle cannot give weight per steradian: its entry
        // becomes infinite and the table is refused below.
        for (int row = kPolarRowX; row <= kPolarRowZ; ++row)
            if (p.rows[row][k] != 0.0) p.rows[row][k] /= omega;
    }
    // The maxima of the per-steradian buckets: the edge bucket beyond them keeps a plain weight
    // and is neither printed nor drawn.
    for (int row = kPolarRowX; row <= kPolarRowZ; ++row)
        p.rowMaxima[row] = *std::max_element(p.rows[row], p.rows[row] + buckets);
    p.rowMaxima[kPolarRowXY] =
        *std::max_element(p.rows[kPolarRowXY], p.rows[kPolarRowXY] + kPolarTableCells);
    if (!tablesPrintable(buckets)) {
        clearAngularTables();
        errorText(outputChannel,
                  " Polar table values beyond the range of a number.  Command ignored.\n");
        return;
    }
    outText(outputChannel, "Half angle (degrees),     Solid angle (steradians),     x polar,     "
                           "y polar,     z polar\n");
    for (int k = 0; k < buckets; ++k)
        outText(outputChannel, "%11.6lg,%15.6lg,%15.6lg,%15.6lg,%15.6lg\n",
                (k + 1) * radiusMax / buckets, rings[static_cast<std::size_t>(k)],
                p.rows[kPolarRowX][k], p.rows[kPolarRowY][k], p.rows[kPolarRowZ][k]);
    outText(outputChannel, "X spillage, Y spillage, Z spillage\n");
    outText(outputChannel, "%15.6lg,%15.6lg,%15.6lg\n\n", s.spillage[0], s.spillage[1],
            s.spillage[2]);
    outText(outputChannel, "X max (/sr), Ymax (/sr), Z max (/sr),  XY max (unitless)\n");
    outText(outputChannel, "%15.6lg,%15.6lg,%15.6lg,%15.6lg\n", p.rowMaxima[kPolarRowX],
            p.rowMaxima[kPolarRowY], p.rowMaxima[kPolarRowZ], p.rowMaxima[kPolarRowXY]);
}

void polarPlot(int variant) {
    const AngularState& s = angularState();
    const PolarTables& p = polarTables();
    if (variant < 0 || variant > 3) variant = 0;
    const double maximum = p.rowMaxima[variant];
    const std::string heading =
        maximum == 0.0 ? "Zero energy." : formatText("Max. energy: %lg / sr.", maximum);
    polarFrame(variant, heading.c_str(), s.bucketCount * s.bucketWidth / kPolarDegree);
    setPenColor(15);
    if (!(maximum > 0.0)) return;
    for (int k = 0; k < s.bucketCount && k < 180; ++k) {
        if (variant == 3) {
            // The azimuth table holds the right side from bin 180 up, the left from 179 down.
            const double* xy = p.rows[kPolarRowXY];
            drawWedge(k, s.bucketWidth, xy[180 + k] / maximum, 1.0);
            drawWedge(k, s.bucketWidth, xy[179 - k] / maximum, -1.0);
        } else {
            const double r = p.rows[variant][k] / maximum;
            drawWedge(k, s.bucketWidth, r, 1.0);
            drawWedge(k, s.bucketWidth, r, -1.0);
        }
    }
}

int loadPolarRadiometer(const CPart* part) {
    // Only a net has the cells round the axis that the plot's wedges stand for.
    if (!part || !part->radiometer || part->kindName != "polynet" || !part->geometry) return 0;
    PolarTables& tables = polarTables();
    tables.currentRow = kPolarRowIntensity;
    // A new fill replaces what an earlier part left in the row.
    std::fill(std::begin(tables.rows[kPolarRowIntensity]),
              std::end(tables.rows[kPolarRowIntensity]), 0.0);
    tables.rowMaxima[kPolarRowIntensity] = 0.0;
    tables.cellWidth = 0.0;
    part->radiometer->FillPolarTable(objectPolynet(part->geometry->number));
    return 1;
}

void polarIntensityPlot() {
    const PolarTables& p = polarTables();
    const double maximum = p.rowMaxima[kPolarRowIntensity];
    const std::string heading =
        maximum == 0.0
            ? "Zero energy in polar plot."
            : formatText("MERIDYN Polar Plot Max. relative intensity: %lg / steradian", maximum);
    // The cells of a polar radiometer go round the full circle; the plot shows the half from
    // the vertical axis and its mirror.
    const double width = p.cellWidth;
    const int count = width > 0.0 && std::isfinite(width)
                          ? std::min(180, static_cast<int>(std::floor(M_PI / width + 1e-9)))
                          : 0;
    polarFrame(2, heading.c_str(), count * width / kPolarDegree);
    setPenColor(15);
    if (!(maximum > 0.0)) return;
    for (int k = 0; k < count; ++k) {
        const double r = p.rows[kPolarRowIntensity][k] / maximum;
        drawWedge(k, width, r, 1.0);
        drawWedge(k, width, r, -1.0);
    }
}

void drawPolarArc(double r, int colour, double span) {
    setPenColor(colour);
    const double step = span / 180.0 * kPolarDegree;
    for (double side : {1.0, -1.0}) {
        moveTo(0.0, r);
        for (int i = 0; i <= 180; ++i) {
            const double t = side * i * step;
            if (i % 2 == 0)
                moveTo(r * std::sin(t), r * std::cos(t));
            else
                lineAbs(r * std::sin(t), r * std::cos(t));
        }
    }
}

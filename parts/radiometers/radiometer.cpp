#include "parts/radiometers/radiometer.h"

#include <algorithm>
#include <cmath>

#include "engine/polynet/polynet_intercept.h"
#include "engine/polynet/polynet_records.h"
#include "engine/surfaces/surface_geometry.h"
#include "parts/radiometers/polar_tables.h"
#include "command/text/number_text.h"
#include "parts/trace/trace_totals.h"

RadiometerState& radiometerState() {
    static RadiometerState state;
    return state;
}

void resetRadiometerState() {
    radiometerState() = RadiometerState{};
}

CRadiometer::CRadiometer(int nx_, int ny_) {
    if (nx_ <= 0 || ny_ <= 0) return;
    // A grid too large to index is refused as a grid of no bins.
    if (static_cast<long long>(nx_) * ny_ > 100000000LL) return;
    nx = nx_;
    ny = ny_;
    size = nx * ny;
    bins.assign(static_cast<std::size_t>(size), 0.0);
    Reset();
    ++radiometerState().liveCount;
}

CRadiometer::~CRadiometer() {
    if (size > 0) --radiometerState().liveCount;
}

void CRadiometer::Reset() {
    maximum = 0;
    minimum = 0;
    secondTotal = 0;
    energySum = 0;
    for (int r = 0; r < ny; ++r)
        for (int c = 0; c < nx; ++c) SetBin(c, r, 0.0);
}

int CRadiometer::clampedIndex(int column, int row) const {
    column = std::clamp(column, 0, nx - 1);
    row = std::clamp(row, 0, ny - 1);
    return column + row * nx;
}

void CRadiometer::follow(double bin) {
    if (bin < minimum) minimum = bin;
    if (bin > maximum) maximum = bin;
}

double CRadiometer::Value(int column, int row) const {
    if (column < 0 || row < 0 || column >= nx || row >= ny) return -1.0;
    return bins[static_cast<std::size_t>(column + row * nx)];
}

double CRadiometer::ScaledValue(int column, int row) const {
    if (maximum == 0.0) return 0.0;
    if (column < 0 || row < 0 || column >= nx || row >= ny) return -1.0;
    return bins[static_cast<std::size_t>(column + row * nx)] / maximum * 255.99999;
}

void CRadiometer::SetBin(int column, int row, double value) {
    if (size <= 0) return;
    double& bin = bins[static_cast<std::size_t>(clampedIndex(column, row))];
    bin = value;
    follow(bin);
}

void CRadiometer::AddToBin(int column, int row, double energy) {
    if (size <= 0) return;
    double& bin = bins[static_cast<std::size_t>(clampedIndex(column, row))];
    bin += energy;
    energySum += energy;
    follow(bin);
}

namespace {

// truncate((v - low) / (high - low) * 0.999999 * n), 0 for a zero width or a value that is not
// finite, and kept within int range for the clamp that follows.
int cellOf(double v, double low, double high, int n) {
    double width = high - low;
    if (width == 0.0) return 0;
    double cell = (v - low) / width * 0.999999 * n;
    if (!std::isfinite(cell)) return 0;
    if (cell < -1.0) return -1;
    if (cell > static_cast<double>(n)) return n;
    return static_cast<int>(cell);
}

} // namespace

void CRadiometer::AddHitAt(const Vec3& point, double energy, const SurfaceRecord* surface) {
    if (size <= 0 || !surface) return;
    Vec3 local;
    toLocalPoint(point, local, surface);
    int column = cellOf(local.x, surface->extent[0], surface->extent[1], nx);
    int row = cellOf(local.y, surface->extent[2], surface->extent[3], ny);
    AddToBin(column, row, energy);
}

void CRadiometer::AddFacetHit(int facet, double energy) {
    if (size <= 0 || facet < 1) return;
    AddToBin((facet - 1) % nx, (facet - 1) / nx, energy);
}

void CRadiometer::AddPolynetHit(double energy) {
    if (polynetLastHitFacet == -1) return;
    AddFacetHit(polynetLastHitFacet, energy);
}

void CRadiometer::writeHeader(OutputChannel output) const {
    const TraceTotals& t = traceTotals();
    outText(output, "%s",
            "Total # rays traced, total system energy, Maximum # rays in a bin, minimum, energy "
            "sum\n");
    outText(output, "%s",
            formatCText("%ld,%lg,%lg,%lg,%lg\n", t.raysTraced,
                        t.totalSourceEnergy, maximum, minimum, energySum)
                .c_str());
}

void CRadiometer::WriteText(OutputChannel output) const {
    writeHeader(output);
    for (int r = 0; r < ny; ++r) {
        std::string line;
        for (int c = 0; c < nx; ++c) {
            if (c > 0) line += ",";
            line += formatCText(" %lg", bins[static_cast<std::size_t>(c + r * nx)]);
        }
        line += "\n";
        outText(output, "%s", line.c_str());
    }
}

namespace {

// bin / area of facet `cell`, 0 when the facet is missing or has no positive area.
double perArea(double bin, const PolynetRecord* net, int cell) {
    double area = polynetPolygonArea(net, cell);
    if (!(area > 0.0)) return 0.0;
    return bin / area;
}

} // namespace

void CRadiometer::WriteTextPerArea(OutputChannel output, const PolynetRecord* net) const {
    writeHeader(output);
    outText(outputChannel, "Energy divided by area\n");
    for (int r = 0; r < ny; ++r) {
        std::string line;
        for (int c = 0; c < nx; ++c) {
            if (c > 0) line += ",";
            int cell = c + r * nx + 1;
            line += formatCText("%lg", perArea(bins[static_cast<std::size_t>(cell - 1)], net, cell));
        }
        line += "\n";
        outText(output, "%s", line.c_str());
    }
}

int CRadiometer::FillPolarTable(const PolynetRecord* net) const {
    if (!net || !net->firstPolygon || net->polygonCount <= 0) return 0;
    PolarTables& tables = polarTables();
    const int row = std::clamp(tables.currentRow, 0, kPolarTableRows - 1);
    double* entries = tables.rows[row];
    const double r = polynetFirstVertexDistance(net);
    const double total = traceTotals().totalSourceEnergy;
    const int cells = std::min(size, kPolarTableCells);
    for (int k = 1; k <= cells; ++k) {
        double value = 0.0;
        if (total != 0.0) {
            double area = polynetPolygonArea(net, k);
            if (area > 0.0) value = r * r * (bins[static_cast<std::size_t>(k - 1)] / total) / area;
        }
        if (!std::isfinite(value)) value = 0.0;
        entries[k - 1] = value;
        if (k == 1 || value > tables.rowMaxima[row]) tables.rowMaxima[row] = value;
    }
    tables.cellWidth = 360.0 / net->polygonCount * 0.017453292519943295;
    return cells;
}

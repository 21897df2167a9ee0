// A radiometer: a grid of energy bins attached to a part. Every ray that reaches the part adds
// its energy to the bin under its hit point (a surface part) or to the bin of the facet it hit
// (a polygon-net part). The bin of column c, row r is bins[c + r * nx].
//
// Cells are always kept inside the grid: adds and sets clamp the column and row into it on both
// sides, and reads of a cell outside it give -1. A radiometer made with nx or ny not above 0
// holds no bins and ignores adds and resets.
#pragma once

#include <vector>

#include "command/messages/messages.h"
#include "engine/math/vector_math.h"

struct SurfaceRecord;
struct PolynetRecord;

class CRadiometer {
  public:
    // Allocates and resets nx x ny bins, and counts the radiometer, when both are above 0.
    CRadiometer(int nx, int ny);
    virtual ~CRadiometer();
    CRadiometer(const CRadiometer&) = delete;
    CRadiometer& operator=(const CRadiometer&) = delete;

    // Maximum, minimum and both totals to 0, then every bin to 0.
    void Reset();
    // The bin's energy; -1.0 for a cell outside the grid.
    double Value(int column, int row) const;
    // A grey level: 0.0 while the maximum is 0, -1.0 outside the grid, else
    // bin / maximum * 255.99999.
    double ScaledValue(int column, int row) const;
    // Stores `value` in the (clamped) cell; the minimum and maximum follow the bin.
    void SetBin(int column, int row, double value);
    // Adds `energy` to the (clamped) cell and to the energy sum; minimum and maximum follow.
    void AddToBin(int column, int row, double energy);
    // A hit at a global point of `surface`: the cell under the point in the surface's own frame,
    // across the surface's x and y extents. A zero-width extent or a coordinate that is not
    // finite gives column or row 0.
    void AddHitAt(const Vec3& point, double energy, const SurfaceRecord* surface);
    // A hit on a polygon-net part: the cell of the facet that the trace hit last (facet k goes
    // to column (k - 1) mod nx, row (k - 1) div nx); nothing when no facet was hit.
    void AddPolynetHit(double energy);
    // The same for facet k (1-based) directly.
    void AddFacetHit(int facet, double energy);

    // The text report: a header, the trace totals with the maximum, minimum and energy sum,
    // then one line of " %lg" values per row.
    void WriteText(OutputChannel output) const;
    // The same header, then "Energy divided by area" on the program's output channel, then the
    // rows with each bin divided by the area of its facet of `net` (0 for a facet that is
    // missing or has no area).
    void WriteTextPerArea(OutputChannel output, const PolynetRecord* net) const;
    // A polar radiometer's intensity per steradian into the current row of the polar tables:
    // r^2 x (bin / total system energy) / area of its facet, r being the distance of the net's
    // first corner from the origin. At most one row of cells; returns the number stored, 0 for a
    // net without facets.
    int FillPolarTable(const PolynetRecord* net) const;

    int nx = 0;
    int ny = 0;
    int size = 0;
    double maximum = 0;
    double minimum = 0;
    double secondTotal = 0; // zeroed with the totals, not otherwise used
    double energySum = 0;
    std::vector<double> bins;

  private:
    // The index of the clamped cell.
    int clampedIndex(int column, int row) const;
    void follow(double bin);
    void writeHeader(OutputChannel output) const;
};

struct RadiometerState {
    int liveCount = 0; // radiometers with bins in existence
};

RadiometerState& radiometerState();
// Forgets the count (tests).
void resetRadiometerState();

// The tables of the polar plots: rows of 360 cells, each with its largest entry. The angular
// analysis fills the x, y, z and xy rows from the stored rays; a polar radiometer fills the
// intensity row. The caller chooses the row a fill goes to (currentRow); the polar plot reads a
// row, its maximum and the angular width of one cell.
#pragma once

inline constexpr int kPolarTableCells = 360;
// The rows: angle from the x, y and z axes, azimuth in the xy plane, radiometer intensity.
enum PolarTableRow { kPolarRowX = 0, kPolarRowY, kPolarRowZ, kPolarRowXY, kPolarRowIntensity };
inline constexpr int kPolarTableRows = 5;

struct PolarTables {
    double rows[kPolarTableRows][kPolarTableCells] = {};
    double rowMaxima[kPolarTableRows] = {};
    int currentRow = kPolarRowIntensity; // 0 .. kPolarTableRows - 1
    double cellWidth = 0;                // radians per cell
};

PolarTables& polarTables();
// Every row and maximum to 0, the current row to the intensity row, the width to 0.
void resetPolarTables();

// Film-plane analyses of the spot file: linear energy profiles across a detector and the
// encircled-energy table (comma-separated reports, kept as cell values for the energy plot),
// the spot diagram and outline of a detector, and the plain listings of the spot file. The
// energy command calls the analyses; the repaint draws the spot diagram.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "command/messages/messages.h"
#include "engine/files/ray_files.h"

inline constexpr const char* kFilmAxisX = "X POSITION ON FILM PLANE";
inline constexpr const char* kFilmAxisY = "Y POSITION ON FILM PLANE";
inline constexpr const char* kFilmAxisRadial = "RADIAL POSITION ON FILM PLANE";

// One cell of the film grid: 16 bytes, hit count then energy.
struct FilmCell {
    std::int32_t hits = 0;
    std::int32_t padding = 0;
    double energy = 0.0;
};
static_assert(sizeof(FilmCell) == 16);

struct FilmPlaneState {
    // The cells of the last analysis, nx x ny (one of the two is 1); empty when there is none.
    std::vector<FilmCell> cells;
    int nx = 0, ny = 0;
    // The profile axis's bounds (the y bounds for a y profile, 0 to the radius for rings).
    double xLow = 0.0, xHigh = 0.0, yLow = 0.0, yHigh = 0.0;
    std::string filmAxisTitle = kFilmAxisX;
    int analysedDetector = 0;   // object number whose spots nextDetectorHit returns
    int spotColourByEnergy = 0; // spot diagram colours by transmittance (a view option)
    long badSpots = 0; // spots of the analysed detector that nextDetectorHit left out so far
};

FilmPlaneState& filmPlaneState();
// Frees the grid, closes the spot file's read and restores the start values.
void resetFilmPlaneState();

// The analysis options are the settings: percent of the normalisation, cells keep the density
// over the normalisation, normalise by the traced energy rather than the film's.
int percentMode();
int storeNormalised();
int normaliseToTrace();

// word "xlinear", "ylinear" or "encircled"; `outputPath` may be empty (report on the screen).
// 1 done, 0 refused.
int filmPlaneCommand(const char* word, const std::string& outputPath);
// Sets up the grid of nx x ny cells over the detector's first surface extent and, unless
// noReport, writes the report. With freeOnly only the old grid is freed. 1 done, 0 failed.
int filmPlaneGrid(int nx, int ny, int detector, const std::string& outputPath, int freeOnly,
                  int noReport);
// Bins the detector's spots into the grid and writes the report to `output`.
void filmPlaneReport(OutputChannel output, int nx, int ny, double cx, double cy, double hx,
                     double hy);
// The encircled-energy table of rings about the detector's origin. 1 done, 0 failed.
int encircledEnergy(int detector, double radius, int buckets, const std::string& outputPath);

// The next spot of the analysed detector (the spot file open for reading): its local x and y.
// False at the end of the file, where the file is closed. A spot whose point or energy is not
// a finite number is left out and counted in badSpots.
bool nextDetectorHit(SpotRecord& record, double& x, double& y);
// Says how many spots the walk just ended left out (once, when there were any) and starts the
// count again.
void reportBadSpots();

// The window over the box widened by 0.001 of each bound's magnitude, in a viewport of equal
// x and y scale centred in the screen range.
void setSpotWindow(double x1, double x2, double y1, double y2);
// The spot diagram of detector n: outline, dimension box and a cross per hit. 1 drawn, 0 refused.
int drawSpotDiagram(int n);
// The outline and dimension box of the detector given as numeric value "object".
int drawDetectorOutline(int n);

// Listings of the spot file.
void listSpotData(OutputChannel stream);
void listSpotDirections(OutputChannel stream);
void listSpotLocationsAndDirections(OutputChannel stream);

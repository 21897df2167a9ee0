// The angular analysis of the stored rays: where the light leaving the system goes, binned by
// the angle from each axis (weight per steradian) and by the azimuth in the xy plane; the polar
// plots that draw those tables as a rose of wedges, and the polar plot of a radiometer's
// intensity table. The energy command's polar form and the polar views call them.
#pragma once

#include "parts/radiometers/polar_tables.h"

inline constexpr int kMaxPolarBuckets = 359;

// The binning of the last analysis. Its tables are the x, y, z and xy rows of the shared polar
// tables (polarTables(), parts/radiometers/): weight per bucket of angle from each axis (per
// steradian once the analysis is done) and per azimuth bin (bin 180 starts at 0); their
// maxima are the rows' maxima. The intensity row belongs to the polar radiometer.
struct AngularState {
    double spillage[3] = {}; // weight beyond the last bucket, per axis
    double bucketWidth = 0.0; // radians per bucket
    int bucketCount = 0;
    double binCount = 0.0; // rays binned
};

AngularState& angularState();
// Clears the binning state (tests); the polar tables have their own reset.
void resetAngularState();

// energy/polar: values "radiusmax" (degrees, default 180) and "buckets" (default 18). Refuses
// buckets outside 1..359 and radiusmax not above 0 or above 180. 1 done, 0 refused.
int angularCommand();
// Fills the tables from rays.dat and writes the table per steradian to the output channel.
// Records that are no finite points leave their paths out, counted in one message; a table
// whose numbers leave the range of a double is refused and left cleared. The arguments are
// trusted (angularCommand checks them).
void angularEnergyAnalysis(double radiusMax, int buckets);
// The view's menu form: 180 degrees in 18 buckets.
void angularDefaultAnalysis();
// Bins one terminal direction (unit) with weight w.
void binTerminalDirection(double dx, double dy, double dz, double w);

class CPart;
// The polar radiometer view's data, as every paint loads it: when the part is a polygon net
// carrying a radiometer, its intensity per steradian fills the intensity row of the polar
// tables; 1 then, else 0 (the view then falls back to the four views).
int loadPolarRadiometer(const CPart* part);

// Variant 0 x polar, 1 y polar, 2 z polar, 3 xy projection.
void polarPlot(int variant);
void polarIntensityPlot();
// A dashed arc of radius r about the vertical axis over `span` degrees on both sides.
void drawPolarArc(double r, int colour, double span);

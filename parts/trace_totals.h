// The totals of a bundle trace: how many source rays were traced with how much energy, and how
// the branches of their trees ended. The tracer fills them; opening the ray files for a new
// trace (without added rays) zeroes them; the film-plane reports read them.
#pragma once

struct TraceTotals {
    int raysTraced = 0;        // source rays traced (one per wavelength traced)
    double totalEnergy = 0.0;  // sum of the weights of the traced source rays
    long lostCount = 0;        // branches that left the system (no hit)
    double lostEnergy = 0.0;
    long depthCount = 0;       // branches stopped at the depth limit
    double depthEnergy = 0.0;
    long thresholdCount = 0;   // branches stopped below the energy threshold
    double thresholdEnergy = 0.0;
};

TraceTotals& traceTotals();
// Zeroes the totals (a new trace; tests).
void resetTraceTotals();

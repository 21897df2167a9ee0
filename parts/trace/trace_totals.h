// The totals of a trace: how many source rays were traced, how much energy they carried, and how
// the branches of their ray trees ended. The tracer fills them (they are zeroed when a trace
// starts afresh) and the radiometer and energy reports read them.
#pragma once

struct TraceTotals {
    long raysTraced = 0;
    // The weight of every source ray traced: the "total system energy" of the reports.
    double totalSourceEnergy = 0;
    // Branches that left the system (no hit), hit the depth limit, or fell below the energy
    // threshold: a count and an energy sum each.
    long noHitCount = 0;
    double noHitEnergy = 0;
    long depthLimitCount = 0;
    double depthLimitEnergy = 0;
    long thresholdCount = 0;
    double thresholdEnergy = 0;
};

TraceTotals& traceTotals();
// All totals back to 0 (a fresh trace, and tests).
void resetTraceTotals();

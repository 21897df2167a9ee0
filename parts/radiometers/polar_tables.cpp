#include "parts/radiometers/polar_tables.h"

PolarTables& polarTables() {
    static PolarTables tables;
    return tables;
}

void resetPolarTables() {
    polarTables() = PolarTables{};
}

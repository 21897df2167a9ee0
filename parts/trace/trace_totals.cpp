#include "parts/trace/trace_totals.h"

TraceTotals& traceTotals() {
    static TraceTotals totals;
    return totals;
}

void resetTraceTotals() {
    traceTotals() = TraceTotals{};
}

#include "engine/trace/search_mode.h"

#include <cstdlib>
#include <cstring>

namespace {
NearestHitSearch environmentSearch() {
    const char* value = std::getenv("MERIDYN_PLAIN_SEARCH");
    return value && std::strcmp(value, "1") == 0 ? NearestHitSearch::PlainLoop
                                                 : NearestHitSearch::Hierarchy;
}

// Not part of the model: a reset between tests keeps the run's choice.
NearestHitSearch& searchInForce() {
    static NearestHitSearch search = environmentSearch();
    return search;
}
} // namespace

NearestHitSearch nearestHitSearch() { return searchInForce(); }

void setNearestHitSearch(NearestHitSearch search) { searchInForce() = search; }

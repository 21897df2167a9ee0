#include "engine/trace/search_mode.h"

#include <cstdlib>
#include <cstring>

NearestHitSearch search_mode_detail::environmentSearch() {
    const char* value = std::getenv("MERIDYN_PLAIN_SEARCH");
    return value && std::strcmp(value, "1") == 0 ? NearestHitSearch::PlainLoop
                                                 : NearestHitSearch::Hierarchy;
}

void setNearestHitSearch(NearestHitSearch search) {
    search_mode_detail::inForce = static_cast<int>(search);
}

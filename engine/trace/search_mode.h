// Which nearest-hit search the traces use. The bounding hierarchies over parts and over a
// polygon net's facets only choose which exact tests run; the plain loop runs every test in
// order. Both must give the same files to the last byte, and the check models prove it by
// tracing once with each: MERIDYN_PLAIN_SEARCH=1 in the environment selects the plain loop for a
// whole run of a program, and tests may switch it between traces.
#pragma once

enum class NearestHitSearch { Hierarchy, PlainLoop };

namespace search_mode_detail {
// -1 until the environment was read; else the NearestHitSearch in force. Not part of the model:
// a reset between tests keeps the run's choice.
inline int inForce = -1;
NearestHitSearch environmentSearch();
} // namespace search_mode_detail

// The search in force: the environment's choice until a setNearestHitSearch. Inline: every
// search asks for it, once per ray segment.
inline NearestHitSearch nearestHitSearch() {
    if (search_mode_detail::inForce < 0)
        search_mode_detail::inForce = static_cast<int>(search_mode_detail::environmentSearch());
    return static_cast<NearestHitSearch>(search_mode_detail::inForce);
}
void setNearestHitSearch(NearestHitSearch search);

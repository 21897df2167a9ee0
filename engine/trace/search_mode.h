// Which nearest-hit search the traces use. The bounding hierarchies over parts and over a
// polygon net's facets only choose which exact tests run; the plain loop runs every test in
// order. Both must give the same files to the last byte, and the check models prove it by
// tracing once with each: MERIDYN_PLAIN_SEARCH=1 in the environment selects the plain loop for a
// whole run of a program, and tests may switch it between traces.
#pragma once

enum class NearestHitSearch { Hierarchy, PlainLoop };

// The search in force: the environment's choice until a setNearestHitSearch.
NearestHitSearch nearestHitSearch();
void setNearestHitSearch(NearestHitSearch search);

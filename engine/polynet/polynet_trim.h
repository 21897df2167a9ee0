// Trim chains: closed chains of points laid over a net's facets. Ending a trim adds to each
// chain the points where it crosses from one facet to the next; cutting the facets along the
// chains is not done.
#pragma once

#include "engine/polynet/polynet_records.h"

inline constexpr int kMaxTrimChains = 100;
inline constexpr int kMaxTrimFacetsPerPoint = 4;

struct TrimChain {
    int inside = 0; // trims the inside (1) or the outside (0) of the chain
    ContourNode points;
    int closed = 0;
};

struct PolynetTrimState {
    int begun = 0;
    int chainCount = 0;
    TrimChain chains[kMaxTrimChains];
    PolynetRecord* net = nullptr; // the net the trim applies to
    int generation = 0;           // model-block generation the nodes belong to
};

PolynetTrimState& polynetTrimState();
void resetPolynetTrim();

// Starts an empty chain list ("Polynet trim commenced.\n"; "Error trim already begun." first
// when one has begun).
void polynetTrimBegin();
// Counts a new chain that trims inside or outside; 0 with its message when no trim has begun or
// 100 chains exist.
int polynetTrimChainBegin(int inside);
// Appends a point to the chain begun last; 0 when no chain is open or memory fails.
int polynetTrimChainAdd(PolyPoint* point);
// Ends the chain begun last ("Trim chain closed\n" once per chain).
void polynetTrimChainClose();
// Names the net to trim and reports the points of every chain.
void polynetTrimListChains(PolynetRecord* net);
// Adds the crossing points to every chain and ends the trim; 0 when no trim has begun or no
// net is named.
int polynetTrimEnd();

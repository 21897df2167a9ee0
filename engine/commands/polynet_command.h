// The polynet command: builds one polygon net at a time, step by step (start, polygon, chain,
// point, vertex, close, finish) or as a whole belt, and runs the net operations (output,
// modify, normalize, trim, thick, locus, silent). Reads the parsed command.
#pragma once

#include "engine/polynet/polynet_belt.h"
#include "engine/polynet/polynet_records.h"

// The net under construction and the object that carries it.
struct PolynetConstruction {
    PolynetRecord* net = nullptr; // nullptr: none
    PolygonRecord* polygon = nullptr;
    ContourNode* chain = nullptr;
    VertexNode* vertex = nullptr;
    ObjectRecord* object = nullptr;
    int objectNumber = 0;
    int generation = 0;      // model-block generation of the nodes
    double facetReflect = 0; // defaults of new facets: the net's start values
    double facetAbsorbtion = 0;
};

// What the part list needs to wrap a net made by the last polynet command into a part.
struct PolynetPartRequest {
    int objectNumber = 0; // the object start or belt made; 0 when the command made none
    int polarPlane = kPolarNone;
};

struct PolynetCommandState {
    PolynetConstruction building;
    int silent = 0;
    double thickness = 0;
    int trimChainPending = 0; // trim/inside or outside counted a chain: the next chain is it
    int trimChainOpen = 0;    // point and vertex go to that trim chain until close
    PolynetPartRequest partRequest;
};

PolynetCommandState& polynetCommandState();
// Restores the load-time state of the command, the trim chains, the node allocators, the
// trace state of nets and their facet hierarchies (tests).
void resetPolynets();

// The command handler: 1 done, 0 rejected (with its message).
int polynetCommand();
// Registers polynetCommand as the first handler of the keyword "polynet".
void registerPolynetCommand();

// The net under construction, nullptr when none is, or when its object was deleted since (a
// deleted object ends the construction and discards a trim begun on the net).
PolynetRecord* polynetUnderConstruction();
// The net of an object being deleted: ends its construction and a trim of it, then hands its
// records back for reuse.
void releaseDeletedPolynet(PolynetRecord* net);
// Ends the construction without finishing the net.
void endPolynetConstruction();

// The net the last polynet command created by start or belt, for the part list's polynet step
// that runs after the command (objectNumber 0 when it created none). Taking it clears it, so a
// net gets one part however often the step runs.
PolynetPartRequest takePolynetPartRequest();

// A new object of type 14 that carries `net` on its one surface, with the start values reflect,
// absorbtion, lumina, diffuse, volumin, volabsor and index. nullptr when no object slot or
// surface can be had (nothing changed).
ObjectRecord* createPolynetObject(PolynetRecord* net, const double startValues[7]);
// Gives the object the net's bounding sphere (its global centre follows a placed object).
void setPolynetBoundingSphere(ObjectRecord* object, PolynetRecord* net);

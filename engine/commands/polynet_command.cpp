#include "engine/commands/polynet_command.h"

#include <cstring>

#include "command/interpreter/aliases.h"
#include "command/interpreter/command_table.h"
#include "command/interpreter/parsed_command.h"
#include "command/interpreter/reader.h"
#include "engine/model/current_objects.h"
#include "engine/model/model_blocks.h"
#include "engine/model/model_version.h"
#include "engine/model/placement.h"
#include "engine/polynet/facet_hierarchy.h"
#include "engine/polynet/polynet_dump.h"
#include "engine/polynet/polynet_extrude.h"
#include "engine/polynet/polynet_facets.h"
#include "engine/polynet/polynet_intercept.h"
#include "engine/polynet/polynet_trim.h"
#include "engine/surfaces/surface_geometry.h"

namespace {

const char* const kPlaneTable[] = {"xypolar", "xzpolar", "yzpolar", " "};
const char* const kConfirmTable[] = {"confirm", " "};
const char* const kOperationTable[] = {"start",  "finish", "polygon", "chain", "close", "normalize",
                                       "silent", "modify", "trim",    "belt",  "point", "vertex",
                                       "output", "thick",  "locus",   " "};
const char* const kTrimTable[] = {"begin", "end", "inside", "outside", " "};

const char* const kStartValues[] = {"reflect", "absorbtion", "lumina", "diffuse",
                                    "volumin", "volabsor",   "index",  " "};
const char* const kBeltValues[] = {"radius", "heightrad", "nfacets", " "};
const char* const kObjectValue[] = {"object", " "};
const char* const kModifyValues[] = {"object", "polygon", "reflect", "absorbtion", " "};
const char* const kFacetValues[] = {"reflect", "absorbtion", " "};
const char* const kPointValues[] = {"x", "y", "z", " "};
const char* const kVertexValues[] = {"point", "chain", "polygon", " "};
const char* const kThickValues[] = {"thickness", " "};

constexpr double kDefaultIndex = 1.33;
constexpr int kMaxBeltFacets = 100000;

const char* const kNoMemory = "Not enough memory for polygon.\n";

// Fills the first `count` numeric values by position and by name.
void readValues(const char* const* names, int count) {
    getNumericValues(numericValues, names, count, numericGiven);
}

double valueOr(int i, double fallback) {
    return numericGiven[i] ? numericValues[i] : fallback;
}

// A 1-based number from a value; 0 for anything below 1 or out of range.
int countValue(double v) {
    if (!(v >= 1 && v < 2147483647.0)) return 0;
    return static_cast<int>(v);
}

// An object number from a value, rounded as object numbers are.
int objectValue(double v) {
    return countValue(v + 0.001);
}

bool say(const PolynetCommandState& st) {
    return !st.silent;
}

// The polygon net of an existing object (possibly none yet), with the object errors of the net
// operations; false when the object does not exist or is not a net.
bool existingNet(int number, PolynetRecord*& net) {
    const ObjectRecord* o = number >= 1 ? getObject(number - 1) : nullptr;
    if (!o) {
        errorText(outputChannel, "Object not found.\n");
        return false;
    }
    if (o->typeCode != kTypePolynet) {
        errorText(outputChannel, "This object is not a polygonal object.\n");
        return false;
    }
    net = o->firstSurface ? static_cast<PolynetRecord*>(o->firstSurface->typeData) : nullptr;
    return true;
}

void printComplete(const PolynetRecord* net) {
    outText(outputChannel, "Polynet complete. Radius %lf, center = %lf %lf %lf\n", net->radius,
            net->centroid.x, net->centroid.y, net->centroid.z);
}

bool hasFacetWithChain(const PolynetRecord* net) {
    for (const PolygonRecord* p = net->firstPolygon; p; p = p->nextPolygon)
        if (p->firstContour) return true;
    return false;
}

// Starts the construction of `net` on a new object; reports and returns 0 when the name is an
// alias in use or the object cannot be made.
int beginConstruction(PolynetCommandState& st, PolynetRecord* net, int plane,
                      const double values[7]) {
    // A net deleted while under construction takes its unfinished trim with it.
    polynetUnderConstruction();
    ObjectRecord* object = createPolynetObject(net, values);
    if (!object) {
        errorText(outputChannel, "Out of memory for polygon.\n");
        return 0;
    }
    registerPendingAlias(outputChannel, object->number);
    noteDefinedObject(object->number);
    st.building = PolynetConstruction{};
    st.building.net = net;
    st.building.object = object;
    st.building.objectNumber = object->number;
    st.building.generation = modelBlockGeneration();
    st.building.facetReflect = values[0];
    st.building.facetAbsorbtion = values[1];
    st.trimChainPending = st.trimChainOpen = 0;
    st.partRequest = {object->number, plane};
    if (say(st)) outText(outputChannel, "Polynet started.\n");
    return 1;
}

bool aliasInUse() {
    if (!readerState().aliasExpanded) return false;
    errorText(outputChannel, "Object name alias is already in use.  Use a different name.\n");
    return true;
}

int opStart(PolynetCommandState& st, int plane) {
    readValues(kStartValues, 7);
    if (aliasInUse()) return 0;
    double values[7];
    for (int i = 0; i < 7; ++i)
        values[i] = valueOr(i, i == 6 ? kDefaultIndex : 0);
    PolynetRecord* net = allocPolynet();
    if (!net) {
        errorText(outputChannel, "Not enough memory for polynet.\n");
        return 0;
    }
    return beginConstruction(st, net, plane, values);
}

void finishNet(PolynetCommandState& st, int confirm) {
    PolynetRecord* net = st.building.net;
    polynetCentroid(net);
    polynetRadius(net);
    setPolynetBoundingSphere(st.building.object, net);
    polynetFacetsChanged(net);
    printComplete(net);
    if (confirm) polynetDump(net, outputChannel);
    endPolynetConstruction();
}

int opBelt(PolynetCommandState& st, int plane, int confirm) {
    readValues(kBeltValues, 3);
    double radius = valueOr(0, 100);
    double height = valueOr(1, 0.25) * radius;
    double facets = valueOr(2, 36);
    if (!(height > 0)) height = 0;
    if (!(facets >= 1 && facets <= kMaxBeltFacets)) {
        errorText(outputChannel, "Belt needs 1 to %d facets. Command ignored.\n", kMaxBeltFacets);
        return 0;
    }
    if (aliasInUse()) return 0;
    PolynetRecord* net = allocPolynet();
    if (!net) {
        errorText(outputChannel, "Not enough memory for polynet.\n");
        return 0;
    }
    // The band is built before its object, so that a failure leaves the model as it was.
    if (!polynetBuildBelt(net, plane == kPolarNone ? kPolarXY : plane, radius, height,
                          static_cast<int>(facets))) {
        errorText(outputChannel, kNoMemory);
        return 0;
    }
    const double defaults[7] = {0, 0, 0, 0, 0, 0, kDefaultIndex};
    if (!beginConstruction(st, net, plane, defaults)) return 0;
    finishNet(st, confirm);
    return 1;
}

int opOutput() {
    if (PolynetRecord* net = polynetUnderConstruction()) {
        polynetDump(net, outputChannel);
        return 1;
    }
    readValues(kObjectValue, 1);
    PolynetRecord* net = nullptr;
    if (!existingNet(numericGiven[0] ? objectValue(numericValues[0]) : 0, net)) return 0;
    polynetDump(net, outputChannel);
    return 1;
}

int opModify() {
    readValues(kModifyValues, 4);
    PolynetRecord* net = nullptr;
    if (!existingNet(objectValue(valueOr(0, 1)), net)) return 0;
    PolygonRecord* p = polynetFindPolygon(net, countValue(valueOr(1, 1)));
    if (!p) return 0;
    if (numericGiven[2]) p->reflectance = numericValues[2];
    if (numericGiven[3]) p->absorbtion = numericValues[3];
    polynetFacetAttributesChanged(net, countValue(valueOr(1, 1)));
    return 1;
}

int opNormalize() {
    readValues(kObjectValue, 1);
    return polynetCheckNormals(objectValue(valueOr(0, 1)));
}

int opPolygon(PolynetCommandState& st) {
    readValues(kFacetValues, 2);
    double reflect = valueOr(0, st.building.facetReflect);
    double absorb = valueOr(1, st.building.facetAbsorbtion);
    PolygonRecord* p = allocPolygon();
    if (!p) {
        errorText(outputChannel, kNoMemory);
        return 0;
    }
    if (reflect + absorb < 0 || reflect + absorb > 1)
        errorText(outputChannel, "Unrealistic values of reflect and absorption.\n");
    p->reflectance = reflect;
    p->absorbtion = absorb;
    appendPolygon(st.building.net, p);
    st.building.polygon = p;
    st.building.chain = nullptr;
    if (say(st)) outText(outputChannel, "Polygon facet commenced.\n");
    return 1;
}

int opChain(PolynetCommandState& st) {
    if (st.trimChainPending) {
        st.trimChainPending = 0;
        st.trimChainOpen = 1;
    } else {
        if (!st.building.polygon) {
            errorText(outputChannel, "No polygon started. Command ignored.\n");
            return 0;
        }
        ContourNode* c = allocContour();
        if (!c) {
            errorText(outputChannel, kNoMemory);
            return 0;
        }
        appendContour(st.building.polygon, c);
        st.building.chain = c;
    }
    if (say(st)) outText(outputChannel, "Polygonal facet chain commenced.\n");
    return 1;
}

// Appends a point to the open trim chain or, else, as a new vertex node to the current chain.
int addPoint(PolynetCommandState& st, PolyPoint* point) {
    if (st.trimChainOpen) {
        if (!polynetTrimChainAdd(point)) {
            errorText(outputChannel, kNoMemory);
            return 0;
        }
        return 1;
    }
    VertexNode* v = allocVertexNode();
    if (!v) {
        errorText(outputChannel, kNoMemory);
        return 0;
    }
    v->point = point;
    appendVertex(st.building.chain, v);
    st.building.vertex = v;
    return 1;
}

bool hasChainForPoints(const PolynetCommandState& st) {
    if (st.trimChainOpen || st.building.chain) return true;
    errorText(outputChannel, "No polygon chain started. Command ignored.\n");
    return false;
}

int opPoint(PolynetCommandState& st) {
    readValues(kPointValues, 3);
    if (!hasChainForPoints(st)) return 0;
    PolyPoint* q = allocPolyPoint();
    if (!q) {
        errorText(outputChannel, kNoMemory);
        return 0;
    }
    *q = {valueOr(0, 0), valueOr(1, 0), valueOr(2, 0)};
    return addPoint(st, q);
}

int opVertex(PolynetCommandState& st) {
    readValues(kVertexValues, 3);
    if (!hasChainForPoints(st)) return 0;
    if (!numericGiven[0]) {
        errorText(outputChannel, "Need a point number.\n");
        return 0;
    }
    const PolygonRecord* p = polygonAt(st.building.net, countValue(valueOr(2, 1)));
    if (!p) {
        errorText(outputChannel, "Bad polygon #.\n");
        return 0;
    }
    const ContourNode* c = contourAt(p, countValue(valueOr(1, 1)));
    if (!c) {
        errorText(outputChannel, "Bad chain #.\n");
        return 0;
    }
    const VertexNode* v = vertexAt(c, countValue(numericValues[0]));
    if (!v) {
        errorText(outputChannel, "Bad vertex #.\n");
        return 0;
    }
    return addPoint(st, v->point);
}

int opClose(PolynetCommandState& st) {
    if (st.trimChainOpen) {
        st.trimChainOpen = 0;
        polynetTrimChainClose();
        return 1;
    }
    PolygonRecord* p = st.building.polygon;
    if (!p || !p->firstContour) return 1;
    polynetPreparePolygon(p);
    if (st.thickness > 0) {
        PolygonRecord* before = st.building.net->lastPolygon;
        if (!polynetThickenPolygon(st.building.net, p, st.thickness)) {
            errorText(outputChannel, kNoMemory);
            return 0;
        }
        polynetPreparePolygon(p); // moved and reversed
        for (PolygonRecord* q = before->nextPolygon; q; q = q->nextPolygon)
            polynetPreparePolygon(q);
    }
    st.building.polygon = nullptr;
    st.building.chain = nullptr;
    if (say(st)) outText(outputChannel, "Polygonal facet closed.\n");
    return 1;
}

int opTrim(PolynetCommandState& st) {
    int found = 0, several = 0, index = 0;
    getModifier(kTrimTable, &found, &several, &index, "trimming");
    if (!found) {
        errorText(outputChannel, "Polynet operation not given. Command ignored.\n");
        return 0;
    }
    const char* word = modifierWords[index];
    if (std::strcmp(word, "begin") == 0) {
        polynetTrimBegin();
        st.trimChainPending = st.trimChainOpen = 0;
    } else if (std::strcmp(word, "end") == 0) {
        polynetTrimListChains(st.building.net);
        polynetTrimEnd();
        st.trimChainPending = st.trimChainOpen = 0;
    } else {
        st.trimChainOpen = 0;
        st.trimChainPending = polynetTrimChainBegin(std::strcmp(word, "inside") == 0);
    }
    if (say(st)) outText(outputChannel, "Polygon %s.\n", word);
    return 1;
}

int opThick(PolynetCommandState& st) {
    readValues(kThickValues, 1);
    double t = valueOr(0, 0);
    st.thickness = t > 0 ? t : 0;
    outText(outputChannel, "Polygonal thickness: %f.\n", st.thickness);
    return 1;
}

int opLocus(PolynetCommandState& st) {
    readValues(kPointValues, 3);
    PolyPoint* q = allocPolyPoint();
    VertexNode* v = q ? allocVertexNode() : nullptr;
    if (!v) {
        errorText(outputChannel, kNoMemory);
        return 0;
    }
    *q = {valueOr(0, 0), valueOr(1, 0), valueOr(2, 0)};
    v->point = q;
    st.building.vertex = v;
    return 1;
}

int opFinish(PolynetCommandState& st, int confirm) {
    if (!hasFacetWithChain(st.building.net)) {
        errorText(outputChannel,
                  "This polynet contains no polygons, is void, and should be deleted.\n");
        outText(outputChannel,
                "The probable cause is importing an IGES file with no surface entities.\n");
        return 0;
    }
    finishNet(st, confirm);
    return 1;
}

} // namespace

PolynetCommandState& polynetCommandState() {
    static PolynetCommandState s;
    return s;
}

void resetPolynets() {
    polynetCommandState() = PolynetCommandState{};
    resetPolynetTrim();
    resetPolynetAllocators();
    resetPolynetTraceState();
    resetFacetHierarchies();
}

PolynetPartRequest takePolynetPartRequest() {
    PolynetPartRequest request = polynetCommandState().partRequest;
    polynetCommandState().partRequest = PolynetPartRequest{};
    return request;
}

PolynetRecord* polynetUnderConstruction() {
    auto& b = polynetCommandState().building;
    if (!b.net) return nullptr;
    const ObjectRecord* o =
        b.generation == modelBlockGeneration() ? getObject(b.objectNumber - 1) : nullptr;
    if (!o || o != b.object || o->typeCode != kTypePolynet || !o->firstSurface ||
        o->firstSurface->typeData != b.net) {
        endPolynetConstruction();
        resetPolynetTrim();
        return nullptr;
    }
    return b.net;
}

void releaseDeletedPolynet(PolynetRecord* net) {
    if (!net) return;
    // Nothing may go on building on, or trimming, records about to be handed out again.
    if (polynetCommandState().building.net == net) endPolynetConstruction();
    if (polynetTrimState().net == net || (polynetTrimState().begun && !polynetTrimState().net))
        resetPolynetTrim();
    dropFacetHierarchy(net);
    releasePolynet(net);
}

void endPolynetConstruction() {
    auto& st = polynetCommandState();
    st.building = PolynetConstruction{};
    st.trimChainPending = st.trimChainOpen = 0;
}

ObjectRecord* createPolynetObject(PolynetRecord* net, const double v[7]) {
    SurfaceRecord* s = allocSurface();
    if (!s) return nullptr;
    ObjectRecord* o = allocObjectSlot();
    if (!o) {
        freeSurface(s);
        return nullptr;
    }
    initObjectRecord(o);
    o->typeCode = kTypePolynet;
    o->wireframeKind = kWirePrism;
    o->traceable = 1;
    initSurfaceRecord(s);
    s->number = 1;
    s->owner = o;
    s->shapeCode = kShapeLinearNormal;
    // A ray meeting a facet against its (outward) normal enters the net's medium.
    s->side = -1;
    s->reflectance = v[0];
    s->absorbtion = v[1];
    s->luminance = v[2];
    s->diffuse = v[3];
    s->luminence = v[4];
    s->absorbtivity = v[5];
    s->index = v[6];
    s->typeData = net;
    s->intercept = polynetIntercept;
    o->firstSurface = s;
    o->surfaceCount = 1;
    return o;
}

void setPolynetBoundingSphere(ObjectRecord* object, PolynetRecord* net) {
    if (!object || !net) return;
    object->referencePoint = net->centroid;
    object->boundingRadius = net->radius;
    if (object->placed) setobj(object);
}

int polynetCommand() {
    auto& st = polynetCommandState();
    st.partRequest = PolynetPartRequest{};
    int found = 0, several = 1, index = 0;
    getModifier(kPlaneTable, &found, &several, &index, "define");
    if (found && several) {
        errorText(outputChannel, "Multiple define modifiers not permitted.");
        return 0;
    }
    int plane = kPolarNone;
    if (found) {
        const char* w = modifierWords[index];
        plane = std::strcmp(w, "xypolar") == 0   ? kPolarXY
                : std::strcmp(w, "xzpolar") == 0 ? kPolarXZ
                                                 : kPolarYZ;
    }
    int confirm = 0;
    several = 0;
    getModifier(kConfirmTable, &confirm, &several, &index, "confirm");
    several = 0;
    getModifier(kOperationTable, &found, &several, &index, "polygon");
    if (!found) {
        errorText(outputChannel, "Polynet operation not given. Command ignored.\n");
        return 0;
    }
    const std::string op = modifierWords[index];

    if (op == "silent") {
        st.silent = !st.silent;
        outText(outputChannel, "Polynet echo %s\n", st.silent ? "silent" : "");
        return 1;
    }
    if (op == "output") return opOutput();
    if (op == "modify") return opModify();
    if (op == "normalize") return opNormalize();
    if (op == "start") return opStart(st, plane);
    if (op == "belt") return opBelt(st, plane, confirm);

    if (!polynetUnderConstruction()) {
        errorText(outputChannel, "No polynet started. Command ignored.\n");
        return 0;
    }
    if (op == "polygon") return opPolygon(st);
    if (op == "chain") return opChain(st);
    if (op == "point") return opPoint(st);
    if (op == "vertex") return opVertex(st);
    if (op == "close") return opClose(st);
    if (op == "trim") return opTrim(st);
    if (op == "thick") return opThick(st);
    if (op == "locus") return opLocus(st);
    return opFinish(st, confirm);
}

void registerPolynetCommand() {
    addCommandHandler("polynet", [](CQelDoc&) { return changingModel(polynetCommand); });
}

#include "parts/raytrace_manager.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>

#include "command/interpreter/aliases.h"
#include "command/interpreter/parsed_command.h"
#include "command/settings/settings.h"
#include "engine/files/ray_files.h"
#include "engine/optics/random_sampling.h"
#include "engine/surfaces/surface_geometry.h"
#include "engine/trace/one_ray_trace.h"
#include "parts/output/ray_output_state.h"
#include "parts/part.h"
#include "parts/part_list.h"
#include "parts/plugin_binder.h"
#include "parts/trace/shade_ray.h"
#include "parts/trace/trace_progress.h"
#include "parts/trace/trace_totals.h"

namespace {

const char* const kLastWords[] = {"last", " "};
const char* const kBundleShapes[] = {"oval", "rectangle", " "};
const char* const kSaveWords[] = {"nosave", " "};
const char* const kTraceKinds[] = {"cone",   "custom", "collimated", "coslamp",
                                   "reemit", "single", " "};
const char* const kConeSpacings[] = {"fullangle", "eqang", "eqsolid", " "};
const char* const kSingleValues[] = {"object", "u", "v", "w", "x", "y", "z", " "};
const char* const kConeValues[] = {"object", "nx", "ny", "hfov", "vfov", " "};
const char* const kLampValues[] = {"object", "nx", " "};
const char* const kWidthValues[] = {"object", "nx", "ny", "hhwidth", "vhwidth", " "};

enum TraceKind { kCone, kCustom, kCollimated, kCosLamp, kReemit, kSingle };

// Cosine-lamp and re-emission progress comes after every this many rays.
constexpr int kProgressBatch = 51;

// The entry of a table that the command's modifiers name, or -1; several matching words set
// `several` (after the warning that names the table).
int modifierChoice(KeywordTable table, const char* label, bool* several = nullptr) {
    int found = 0, many = 0, index = 0;
    getModifier(table, &found, &many, &index, label);
    if (several) *several = found && many;
    if (!found) return -1;
    for (int i = 0; std::strcmp(table[i], " ") != 0; ++i)
        if (std::strcmp(table[i], modifierWords[index]) == 0) return i;
    return -1;
}

// A value as an int, range-checked as a double first.
int toInt(double v) {
    if (std::isnan(v)) return 0;
    if (v >= static_cast<double>(INT_MAX)) return INT_MAX;
    if (v <= static_cast<double>(INT_MIN)) return INT_MIN;
    return static_cast<int>(v);
}

// Scales the direction to unit length without overflow; false for a zero or non-finite one.
bool unitDirection(Vec3& d) {
    const double m = std::max({std::fabs(d.x), std::fabs(d.y), std::fabs(d.z)});
    if (!(m > 0) || !std::isfinite(m)) return false;
    // Divided, not multiplied by 1/m: the inverse of a subnormal magnitude is no number.
    d = {d.x / m, d.y / m, d.z / m};
    normalize3(d);
    return true;
}

bool finite3(const Vec3& v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

// A ray count the loops can count: 1 to the largest int once truncated (infinity and NaN fail).
bool countFits(double v) {
    return v >= 1.0 && v < static_cast<double>(INT_MAX) + 1.0;
}

// A collimated bundle whose steps and corners, taken into global coordinates, stay finite
// numbers; half widths beyond that would fill the files with infinities and NaNs.
bool collimatedBundleFits(const ObjectRecord* source, int nx, int ny, double a, double b) {
    if (nx > 1 && !std::isfinite(2 * a / (nx - 1))) return false;
    if (ny > 1 && !std::isfinite(2 * b / (ny - 1))) return false;
    const double x = nx > 1 ? a : 0.0, y = ny > 1 ? b : 0.0;
    for (double sx : {-x, x})
        for (double sy : {-y, y}) {
            Vec3 p;
            toGlobalPoint(Vec3{sx, sy, 0}, p, source->firstSurface);
            if (!finite3(p)) return false;
        }
    return true;
}

// The object of a 1-based number that exists, or null.
ObjectRecord* objectByNumber(int number) {
    if (number < 1 || number > kMaxObjects) return nullptr;
    ObjectRecord* o = getObject(number - 1);
    return o && o->number > 0 ? o : nullptr;
}

// The pi of the command's conversions.
const double kPi = 4 * std::atan(1.0);

} // namespace

LastTraceStore& lastTraceStore() {
    static LastTraceStore store;
    return store;
}

void resetLastTraceStore() {
    lastTraceStore() = LastTraceStore{};
}

CRaytraceManager::CRaytraceManager() {
    theRaytraceManager = this;
}

CRaytraceManager::~CRaytraceManager() {
    if (theRaytraceManager == this) theRaytraceManager = nullptr;
}

int CRaytraceManager::OpenRayFiles(int) {
    tracer.writeFailed = 0;
    tracer.mode = traceMode;
    tracer.BuildSearchList(thePartList);
    if (!addRays) resetTraceTotals();
    openRayOutput(addRays);
    if (traceMode == kTraceModeRays) {
        if (!addRays && thePartList) thePartList->ResetRadiometers();
        openSpotOutput(addRays);
    }
    return 1;
}

void CRaytraceManager::CloseRayFiles() {
    // Records are buffered: a full disk may only show when the files are closed. The chosen
    // rays go out at the end of every trace, so a crash between commands loses none of them.
    const bool spots = spotFileHandle < 0 || closeSpotFile();
    const bool rays = rayFileHandle < 0 || closeRayFile();
    const bool chosen = flushChosenRays(); // says its own failure
    if (tracer.writeFailed) return;
    if (!rays)
        errorText(outputChannel, "Out of space for ray data.\n");
    else if (!spots)
        errorText(outputChannel, "Unable to write %s\n", spotFilePath().c_str());
    tracer.writeFailed = !rays || !spots || !chosen;
}

void CRaytraceManager::loadLimits() {
    tracer.maxDepth = maxRayDepth;
    tracer.ghostLimit = maxGhosts;
    tracer.threshold = minRayEnergy;
    tracer.mode = traceMode;
}

bool CRaytraceManager::traceLocalRay(ObjectRecord* source, const Vec3& localPoint,
                                     const Vec3& localDirection) {
    SurfaceRecord* frame = source->firstSurface;
    Vec3 p, d;
    toGlobalPoint(localPoint, p, frame);
    toGlobalDirection(localDirection, d, frame);
    return tracer.TraceAllWavelengths(p, d, source, 0) != 0;
}

void CRaytraceManager::storeLastTrace(int object, int nx, int ny, double h, double v, int oval,
                                      const char* kind) {
    LastTraceStore& s = lastTraceStore();
    s.objectNumber = object;
    s.nx = nx;
    s.ny = ny;
    s.horizontal = h;
    s.vertical = v;
    s.oval = oval;
    s.kindWord = kind;
    s.spacing = tracer.spacing;
    s.custom = custom;
    s.stored = 1;
    s.serial = ++s.issued;
    s.hasPart = false;
    if (thePartList &&
        thePartList->StoreTraceParameters(object, nx, ny, h, v, oval, kind, tracer.spacing)) {
        thePartList->FindPart(objectLabel(object))->lastTrace.serial = s.serial;
        s.hasPart = true;
    }
}

int CRaytraceManager::TraceCone(int object, int nx, int ny, double a, double b, int oval) {
    ObjectRecord* source = objectByNumber(object);
    if (!source || !source->firstSurface) return 0;
    if (custom) return traceCustomCone(source, nx, ny, a, b, oval);
    const int spacing = tracer.spacing;
    double theta0 = -a / 2, phi0 = -b / 2;
    double dtheta = nx != 0 ? a / nx : 0, dphi = ny != 0 ? b / ny : 0;
    const double s0 = -std::sin(b / 2), ds = ny != 0 ? 2 * std::sin(b / 2) / ny : 0;
    if (spacing == kSpacingFullAngle) {
        if (nx > 1)
            dtheta = a / (nx - 1);
        else
            theta0 = dtheta = 0;
        if (ny > 1)
            dphi = b / (ny - 1);
        else
            phi0 = dphi = 0;
    }
    OpenRayFiles(0);
    loadLimits();
    for (int i = 0; i < nx; ++i) {
        const double theta =
            spacing == kSpacingFullAngle ? theta0 + i * dtheta : theta0 + (i + 0.5) * dtheta;
        bool ok = true;
        for (int j = 0; j < ny && ok; ++j) {
            double phi;
            if (spacing == kSpacingFullAngle)
                phi = phi0 + j * dphi;
            else if (spacing == kSpacingEqualSolidAngle)
                phi = std::asin(std::clamp(s0 + (j + 0.5) * ds, -1.0, 1.0));
            else
                phi = phi0 + (j + 0.5) * dphi;
            const Vec3 d{std::cos(phi) * std::sin(theta), std::sin(phi),
                         std::cos(phi) * std::cos(theta)};
            ok = traceLocalRay(source, Vec3{}, d);
        }
        if (!ok || traceProgress(i, nx - 1)) break;
    }
    CloseRayFiles();
    return 1;
}

int CRaytraceManager::traceCustomCone(ObjectRecord* source, int nx, int ny, double a, double b,
                                      int oval) {
    CPart* part = thePartList ? thePartList->FindPart(objectLabel(source->number)) : nullptr;
    if (!part) return 0;
    if (!part->sourceEntry) {
        outText(outputChannel, "This is not a custom source, and command ignored.");
        custom = 0;
        return 0;
    }
    SourceCallRecord& rec = part->sourceRecord;
    rec.v[SRC_CONE_X] = a * 180 / kPi;
    rec.v[SRC_CONE_Y] = b * 180 / kPi;
    rec.v[SRC_CONE_SHAPE] = oval ? 0.0 : 1.0;
    SurfaceRecord* frame = source->firstSurface;
    OpenRayFiles(0);
    loadLimits();
    const int savedIndex = wavelengthIndex;
    bool ok = true;
    for (int i = 0; i < nx && ok; ++i) {
        for (int j = 0; j < ny && ok; ++j) {
            for (int k = 0; k < kWavelengthSlots && ok; ++k) {
                if (!(weightTable[k] > 0)) continue;
                wavelengthIndex = k;
                rec.v[SRC_MODE] = 0.0;
                rec.v[SRC_WAVELENGTH] = wavelengthTable[k];
                rec.v[SRC_WEIGHT] = rec.v[SRC_WEIGHT_IN] = weightTable[k];
                rec.v[SRC_X] = rec.v[SRC_Y] = rec.v[SRC_Z] = 0;
                rec.v[SRC_DIR_X] = rec.v[SRC_DIR_Y] = 0;
                rec.v[SRC_DIR_Z] = 1;
                // A source that makes no rays still lets the user stop it.
                if (tracer.escapePoll.stop()) {
                    ok = false;
                    break;
                }
                // A call that made no ray, or made one without a place or a way, traces nothing.
                if (CallPluginEntry(part->sourceEntry, &rec) == -1) continue;
                const Vec3 lp{rec.v[SRC_X], rec.v[SRC_Y], rec.v[SRC_Z]};
                Vec3 ld{rec.v[SRC_DIR_X], rec.v[SRC_DIR_Y], rec.v[SRC_DIR_Z]};
                if (!finite3(lp) || !unitDirection(ld)) continue;
                Vec3 p, d;
                toGlobalPoint(lp, p, frame);
                toGlobalDirection(ld, d, frame);
                if (!finite3(p)) continue;
                const double saved = weightTable[k];
                weightTable[k] = rec.v[SRC_WEIGHT];
                ok = tracer.TraceSourceRay(p, d, source, 0) != 0;
                weightTable[k] = saved;
            }
        }
        if (ok && traceProgress(i, nx)) break;
    }
    wavelengthIndex = savedIndex;
    CloseRayFiles();
    return 1;
}

int CRaytraceManager::TraceCollimated(int object, int nx, int ny, double a, double b, int oval) {
    ObjectRecord* source = objectByNumber(object);
    if (!source || !source->firstSurface) return 0;
    OpenRayFiles(0);
    loadLimits();
    for (int i = 0; i < nx; ++i) {
        const double x = nx > 1 ? -a + i * (2 * a / (nx - 1)) : 0.0;
        bool ok = true;
        for (int j = 0; j < ny && ok; ++j) {
            const double y = ny > 1 ? -b + j * (2 * b / (ny - 1)) : 0.0;
            if (oval) {
                const double rx = a != 0 ? x / a : 0, ry = b != 0 ? y / b : 0;
                if (rx * rx + ry * ry > 1) continue;
            }
            ok = traceLocalRay(source, Vec3{x, y, 0}, Vec3{0, 0, 1});
        }
        if (!ok || traceProgress(i + 1, nx)) break;
    }
    CloseRayFiles();
    return 1;
}

int CRaytraceManager::TraceCosLamp(int object, int count) {
    ObjectRecord* source = objectByNumber(object);
    if (!source || !source->firstSurface) return 0;
    OpenRayFiles(0);
    loadLimits();
    for (int i = 0; i < count; ++i) {
        Vec3 d;
        randomDirection(d.x, d.y, d.z);
        if (!traceLocalRay(source, Vec3{}, d)) break;
        if ((i + 1) % kProgressBatch == 0 && traceProgress(i + 1, count)) break;
    }
    CloseRayFiles();
    return 1;
}

int CRaytraceManager::TraceReemit(int object, int count) {
    ObjectRecord* source = objectByNumber(object);
    if (!source || !source->firstSurface) return 0;
    // The emitter must not catch its own rays; it is visible again when the trace ends.
    const unsigned char traceable = source->traceable;
    source->traceable = 0;
    Vec3 p, d;
    double e = 0;
    int obj = 0, surf = 0;
    long records = 0;
    if (openReemitFile() >= 0) {
        while (readReemitRecord(p, e, obj, surf, d) > 0)
            ++records;
        closeReemitFile();
        if (openReemitFile() >= 0) {
            OpenRayFiles(0);
            loadLimits();
            const int savedIndex = wavelengthIndex;
            SurfaceRecord* frame = source->firstSurface;
            long emitted = 0, outOfRange = 0, notFinite = 0;
            bool held = false;
            while ((count < 1 || emitted < count) &&
                   readReemitRecord(p, e, obj, surf, d, &held) > 0) {
                if (tracer.escapePoll.stop()) break;
                if (obj != object) continue;
                // Without a wavelength of its own the record would go out at the last one's.
                if (!held) {
                    ++outOfRange;
                    continue;
                }
                Vec3 gp, gd;
                bool usable = finite3(p) && unitDirection(d);
                if (usable) {
                    toGlobalPoint(p, gp, frame);
                    toGlobalDirection(d, gd, frame);
                    usable = finite3(gp);
                }
                if (!usable) {
                    ++notFinite;
                    continue;
                }
                // The record's wavelength is current; its slot's weight is the ray's energy.
                if (!tracer.TraceSourceRay(gp, gd, source, 0)) break;
                ++emitted;
                if (emitted % kProgressBatch == 0 && traceProgress(emitted, records)) break;
            }
            closeReemitFile();
            wavelengthIndex = savedIndex;
            CloseRayFiles();
            if (outOfRange)
                errorText(outputChannel,
                          "%ld re-emission records with a wavelength index out of range were "
                          "skipped.\n",
                          outOfRange);
            if (notFinite)
                errorText(outputChannel,
                          "%ld re-emission records without a finite point and direction were "
                          "skipped.\n",
                          notFinite);
        }
    }
    source->traceable = traceable;
    return 1;
}

int CRaytraceManager::TraceUser(int object, int depthLimit, double minimumEnergy, int ghostLimit) {
    OpenRayFiles(0);
    tracer.maxDepth = depthLimit;
    tracer.threshold = minimumEnergy;
    tracer.ghostLimit = ghostLimit;
    tracer.mode = traceMode;
    tracer.TraceAllWavelengths(Vec3{}, Vec3{0, 0, 1}, objectByNumber(object), 0);
    CloseRayFiles();
    return 1;
}

int CRaytraceManager::RepeatLastTrace() {
    rayOutputOn = saveRays;
    LastTraceStore& s = lastTraceStore();
    if (!s.stored) return 0;
    ObjectRecord* o = objectByNumber(s.objectNumber);
    const CPart* part =
        s.hasPart && thePartList ? thePartList->FindPart(objectLabel(s.objectNumber)) : nullptr;
    const bool sameObject = !s.hasPart || (part && part->lastTrace.serial == s.serial);
    if (!o || !o->defined || !o->activated || !o->placed || !sameObject) {
        const long issued = s.issued;
        resetLastTraceStore();
        lastTraceStore().issued = issued;
        return 0;
    }
    tracer.spacing = s.spacing;
    if (s.kindWord == "collimated") {
        TraceCollimated(s.objectNumber, s.nx, s.ny, s.horizontal, s.vertical, s.oval);
    } else if (s.kindWord == "coslamp") {
        TraceCosLamp(s.objectNumber, s.nx);
    } else {
        custom = s.custom;
        TraceCone(s.objectNumber, s.nx, s.ny, s.horizontal, s.vertical, s.oval);
    }
    return 1;
}

int CRaytraceManager::Raytrace() {
    outText(outputChannel, "Using Advanced RayTrace Engine.\n");
    tracer.mode = kTracerModeRays;
    traceMode = kTraceModeRays;
    if (modifierChoice(kLastWords, "last") >= 0) {
        RepeatLastTrace();
        return 1;
    }
    const int oval = modifierChoice(kBundleShapes, "bundle shape") == 0 ? 1 : 0;
    rayOutputOn = modifierChoice(kSaveWords, "save rays type") >= 0 ? 0 : saveRays;
    bool several = false;
    int kind = modifierChoice(kTraceKinds, "ray trace type", &several);
    if (several) return 0;
    if (kind < 0) kind = kCone;
    if (kind == kSingle) return traceSingle();

    int nxDefault = 4;
    KeywordTable names = kWidthValues;
    if (kind == kCone) {
        names = kConeValues;
        const int spacing = modifierChoice(kConeSpacings, "ray cone type");
        if (spacing == 1) {
            tracer.spacing = kSpacingEqualAngle;
            outText(outputChannel, "Equal angle ray spacing.\n");
        } else if (spacing == 2) {
            tracer.spacing = kSpacingEqualSolidAngle;
            outText(outputChannel, "Equal solid angle ray spacing.\n");
        } else {
            tracer.spacing = kSpacingFullAngle;
            outText(outputChannel, "Full angle ray spacing.\n");
        }
    } else if (kind == kCosLamp || kind == kReemit) {
        names = kLampValues;
        nxDefault = kind == kCosLamp ? 50 : 1;
    }
    const int valueCount = names == kLampValues ? 2 : 5;
    getNumericValues(numericValues, names, valueCount, numericGiven);
    if (!numericGiven[0]) {
        outText(outputChannel, " No object specified.\n");
        return 0;
    }
    const int object = toInt(numericValues[0]);
    const int nx = numericGiven[1] ? toInt(numericValues[1]) : nxDefault;
    const int ny = valueCount > 2 && numericGiven[2] ? toInt(numericValues[2]) : 4;
    double h = valueCount > 3 && numericGiven[3] ? numericValues[3] : 30.0;
    double v = valueCount > 4 && numericGiven[4] ? numericValues[4] : 30.0;
    const int index = object > INT_MIN ? object - 1 : object;
    if (!checkObjectState(index, 1, 1, 1)) return 0;
    ObjectRecord* source = getObject(index);
    if (kind != kReemit && source->typeCode != kTypeLightSource) {
        errorText(outputChannel, "Object %s is not a ray trace light source.\n",
                  objectLabel(object));
        return 0;
    }
    // A count is whole rays: below 1 a trace would only empty the files, beyond an int it would
    // never end.
    if (numericGiven[1] && !countFits(numericValues[1])) {
        errorText(outputChannel, "Nx must be between 1 and %d.\n", INT_MAX);
        return 0;
    }
    if (valueCount > 2 && numericGiven[2] && !countFits(numericValues[2])) {
        errorText(outputChannel, "Ny must be between 1 and %d.\n", INT_MAX);
        return 0;
    }
    switch (kind) {
    case kCone:
    case kCustom: {
        if (nx != 1 && !(h > 0 && h <= 360)) {
            errorText(outputChannel, "Horizontal field of view must be between 0 and 360.\n");
            return 0;
        }
        if (ny != 1 && !(v > 0 && v <= 180)) {
            errorText(outputChannel, "Vertical field of view must be between 0 and 180.\n");
            return 0;
        }
        h *= kPi / 180;
        v *= kPi / 180;
        if (kind == kCustom) {
            // An unbound source is refused before the files or the store change.
            CPart* part = thePartList ? thePartList->FindPart(objectLabel(object)) : nullptr;
            if (!part) return 0;
            if (!part->sourceEntry) {
                outText(outputChannel, "This is not a custom source, and command ignored.");
                custom = 0;
                return 0;
            }
        }
        custom = kind == kCustom ? 1 : 0;
        storeLastTrace(object, nx, ny, h, v, oval, kind == kCustom ? "custom" : "cone");
        TraceCone(object, nx, ny, h, v, oval);
        break;
    }
    case kCollimated:
        if (nx != 1 && !(h > 0)) {
            errorText(outputChannel, "Horizontal field half width must be greater than 0.\n");
            return 0;
        }
        if (ny != 1 && !(v > 0)) {
            errorText(outputChannel, "Vertical field half width must be greater than 0.\n");
            return 0;
        }
        if (!collimatedBundleFits(source, nx, ny, h, 0.0)) {
            errorText(outputChannel, "Horizontal field half width is too large.\n");
            return 0;
        }
        if (!collimatedBundleFits(source, nx, ny, h, v)) {
            errorText(outputChannel, "Vertical field half width is too large.\n");
            return 0;
        }
        storeLastTrace(object, nx, ny, h, v, oval, "collimated");
        TraceCollimated(object, nx, ny, h, v, oval);
        break;
    case kCosLamp:
        storeLastTrace(object, nx, ny, h, v, oval, "coslamp");
        TraceCosLamp(object, nx);
        break;
    case kReemit:
        TraceReemit(object, numericGiven[1] ? nx : 0);
        break;
    default:
        break;
    }
    return 0;
}

int CRaytraceManager::traceSingle() {
    getNumericValues(numericValues, kSingleValues, 7, numericGiven);
    if (!numericGiven[0]) {
        outText(outputChannel, " No object specified.\n");
        return 0;
    }
    const int number = toInt(numericValues[0]);
    const int index = number > INT_MIN ? number - 1 : number;
    if (!checkObjectState(index, 1, 1, 1)) return 0;
    // x, y and z are read with the others, but the ray starts at the object's origin.
    Vec3 direction{numericGiven[1] ? numericValues[1] : 0.0,
                   numericGiven[2] ? numericValues[2] : 0.0,
                   numericGiven[3] ? numericValues[3] : 1.0};
    if (!unitDirection(direction)) {
        errorText(outputChannel, "Zero direction vector.  Command ignored.\n");
        return 0;
    }
    outText(outputChannel, "Direction vector: %lf %lf %lf\n", direction.x, direction.y,
            direction.z);
    traceSingleRay(direction, getObject(index));
    return 0;
}

double CRaytraceManager::ShadeRay(const Vec3& start, const Vec3& direction, const Vec3& light,
                                  double* shade) {
    return ::ShadeRay(start, direction, light, shade);
}

double CRaytraceManager::ShadePixel(const Vec3& start, const Vec3& direction, const Vec3& light,
                                    double* shade) {
    tracer.point = start;
    tracer.direction = direction;
    normalize3(tracer.direction);
    return ::ShadeRay(start, tracer.direction, light, shade);
}
